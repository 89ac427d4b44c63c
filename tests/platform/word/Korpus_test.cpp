// The corpus of real-world documents (read in place, never copied): every intact package opens
// and saves with every part unchanged; every damaged one fails with a clear German message.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Korpus.h"
#include "platform/word/Core.h"
#include "platform/word/Document.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word::docx {
namespace {

namespace fs = std::filesystem;

struct KorpusDatei {
  std::string name;
  bool beschaedigt = false;  // damaged on purpose or not a zip at all: must not open
};
void PrintTo(const KorpusDatei& datei, std::ostream* aus) {
  *aus << datei.name;
}

// The files of the corpus as its SOURCES.md lists them ("| name | ... | notes | bytes | zip |").
std::vector<KorpusDatei> KorpusLesen() {
  std::vector<KorpusDatei> dateien;
  std::ifstream sources(test::KorpusOrdner() / "SOURCES.md");
  std::string zeile;
  while (std::getline(sources, zeile)) {
    if (zeile.rfind("| ", 0) != 0) continue;
    std::vector<std::string> spalten;
    std::size_t start = 2;
    for (std::size_t bar; (bar = zeile.find(" | ", start)) != std::string::npos; start = bar + 3)
      spalten.push_back(zeile.substr(start, bar - start));
    if (spalten.size() < 7 || spalten[0] == "file") continue;
    const std::string& name = spalten[0];
    if (name.size() < 5 ||
        (name.substr(name.size() - 5) != ".docx" && name.substr(name.size() - 5) != ".docm"))
      continue;
    KorpusDatei datei;
    datei.name = name;
    datei.beschaedigt = spalten[4].rfind("BROKEN", 0) == 0 || spalten[6] == "not a zip";
    dateien.push_back(datei);
  }
  return dateien;
}

std::string TestName(const ::testing::TestParamInfo<KorpusDatei>& info) {
  std::string name;
  for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

fs::path Ausgabe(const std::string& name) {
  fs::path folder = fs::path(TARVO_BINARY_DIR) / "testdata" / "korpus";
  fs::create_directories(folder);
  return folder / name;
}

// Per part: method, compressed size and checksum, read straight from the zip directory.
std::map<std::string, std::string> Verzeichnis(const fs::path& path) {
  std::map<std::string, std::string> eintraege;
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (!zip) return eintraege;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(zip, i, 0, &stat);
    eintraege[stat.name] = std::to_string(stat.comp_method) + "/" + std::to_string(stat.comp_size) +
                           "/" + std::to_string(stat.crc);
  }
  zip_discard(zip);
  return eintraege;
}

std::vector<KorpusDatei> Auswahl(bool beschaedigt) {
  std::vector<KorpusDatei> auswahl;
  for (const KorpusDatei& datei : KorpusLesen())
    if (datei.beschaedigt == beschaedigt) auswahl.push_back(datei);
  // Without the corpus one stand-in case, which skips and says why.
  if (!test::KorpusDa()) auswahl.push_back({"ohne_Korpus", beschaedigt});
  return auswahl;
}

// Whitespace-only text matters only in the text elements; elsewhere it is indentation.
bool TextElement(const pugi::xml_node& node) {
  std::string name = node.name();
  std::size_t colon = name.find(':');
  name = colon == std::string::npos ? name : name.substr(colon + 1);
  return name == "t" || name == "delText" || name == "instrText" || name == "delInstrText";
}

void Bereinigen(pugi::xml_node node) {
  for (pugi::xml_node child = node.first_child(); child;) {
    pugi::xml_node next = child.next_sibling();
    if (child.type() == pugi::node_pcdata && !TextElement(node) &&
        std::string(child.value()).find_first_not_of(" \t\r\n") == std::string::npos)
      node.remove_child(child);
    else
      Bereinigen(child);
    child = next;
  }
}

// The XML as pugixml writes it after reading: equal for two texts that differ only in
// serialisation (declaration, quoting, empty-element form, indentation, line ends).
std::string Kanonisch(const std::string& xml) {
  pugi::xml_document doc;
  pugi::xml_parse_result result =
      doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata);
  if (!result) return std::string("nicht lesbar: ") + result.description();
  Bereinigen(doc);
  std::ostringstream out;
  doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
  return out.str();
}

class Korpus : public ::testing::TestWithParam<KorpusDatei> {
 protected:
  fs::path Original() const { return test::KorpusOrdner() / GetParam().name; }
};
using KorpusIntakt = Korpus;
using KorpusBeschaedigt = Korpus;

TEST(KorpusListe, ListsEveryFileOfTheCorpus) {
  TARVO_KORPUS_NOETIG();
  std::set<std::string> gelistet;
  for (const KorpusDatei& datei : KorpusLesen()) gelistet.insert(datei.name);
  std::set<std::string> vorhanden;
  for (const auto& entry : fs::directory_iterator(test::KorpusOrdner()))
    if (entry.path().extension() != ".md") vorhanden.insert(entry.path().filename().string());
  EXPECT_EQ(gelistet, vorhanden);
  EXPECT_GE(gelistet.size(), 130u);
  EXPECT_EQ(Auswahl(true).size(), 5u) << "four damaged files and one encrypted one";
}

TEST_P(KorpusIntakt, SavesWithEveryPartUnchanged) {
  TARVO_KORPUS_NOETIG();
  Package original = Package::Open(Original());
  ASSERT_FALSE(original.MainPartName().empty());
  ASSERT_TRUE(original.HasPart(original.MainPartName()));

  fs::path kopiePfad = Ausgabe(GetParam().name);
  original.Save(kopiePfad);
  Package kopie = Package::Open(kopiePfad);

  std::vector<std::string> erwartet = original.PartNames();
  std::stable_partition(erwartet.begin(), erwartet.end(),
                        [](const std::string& name) { return name == "[Content_Types].xml"; });
  ASSERT_EQ(kopie.PartNames(), erwartet);
  EXPECT_EQ(kopie.MainPartName(), original.MainPartName());
  for (const std::string& name : erwartet) {
    if (!original.HasPart(name)) continue;  // a folder entry
    SCOPED_TRACE(name);
    EXPECT_TRUE(kopie.PartBytes(name) == original.PartBytes(name));
  }
  // Untouched parts are copied with their compressed data, not packed anew.
  EXPECT_EQ(Verzeichnis(kopiePfad), Verzeichnis(Original()));
  fs::remove(kopiePfad);
}

TEST_P(KorpusIntakt, TheModelWritesItsXmlBackEqualUpToSerialisation) {
  TARVO_KORPUS_NOETIG();
  std::shared_ptr<word::Document> dokument = word::Document::Open(Original());
  Package original = Package::Open(Original());
  // Make the model serialise its DOMs as an edit would, instead of keeping the parts' bytes.
  dokument->Core()->mainDirty = true;
  dokument->Core()->commentsDirty = true;
  EXPECT_TRUE(Kanonisch(dokument->MainXml()) ==
              Kanonisch(original.PartBytes(original.MainPartName())));
  ASSERT_TRUE(dokument->Package().IsModified(original.MainPartName())) << "not serialised";
  std::string kommentare = original.RelatedPart(original.MainPartName(), kRelComments);
  if (!kommentare.empty() && original.HasPart(kommentare)) {
    EXPECT_TRUE(Kanonisch(dokument->CommentsXml()) == Kanonisch(original.PartBytes(kommentare)));
  }

  // What it wrote reads back as the same document.
  fs::path kopiePfad = Ausgabe("modell-" + GetParam().name);
  dokument->Core()->mainDirty = true;
  dokument->Core()->commentsDirty = true;
  dokument->Save(kopiePfad);
  std::shared_ptr<word::Document> kopie = word::Document::Open(kopiePfad);
  EXPECT_EQ(kopie->Tables().Count(), dokument->Tables().Count());
  EXPECT_EQ(kopie->Comments().Count(), dokument->Comments().Count());
  EXPECT_EQ(kopie->Shapes().Count(), dokument->Shapes().Count());
  EXPECT_TRUE(kopie->Content().Text() == dokument->Content().Text());
  fs::remove(kopiePfad);
}

TEST_P(KorpusBeschaedigt, FailsWithAGermanMessageNamingTheFile) {
  TARVO_KORPUS_NOETIG();
  try {
    Package::Open(Original());
    ADD_FAILURE() << "a damaged file opened";
  } catch (const Laufzeitfehler& fehler) {
    EXPECT_EQ(fehler.Nummer(), 75);
    const std::string& text = fehler.Beschreibung();
    EXPECT_NE(text.find("»" + GetParam().name + "«"), std::string::npos) << text;
    EXPECT_TRUE(text.find("kein gültiges Word-Dokument") != std::string::npos ||
                text.find("verschlüsselt") != std::string::npos)
        << text;
  }
}

INSTANTIATE_TEST_SUITE_P(Dateien, KorpusIntakt, ::testing::ValuesIn(Auswahl(false)), TestName);
INSTANTIATE_TEST_SUITE_P(Dateien, KorpusBeschaedigt, ::testing::ValuesIn(Auswahl(true)), TestName);

TEST(KorpusBesonders, AnExternalEntityIsNeitherFetchedNorExpanded) {
  TARVO_KORPUS_NOETIG();
  Package package = Package::Open(test::KorpusOrdner() / "poi__ExternalEntityInText.docx");
  pugi::xml_document doc;
  package.ParseXml(package.MainPartName(), doc, pugi::parse_full);
  std::ostringstream text;
  doc.save(text);
  EXPECT_EQ(text.str().find("root:x:0:0"), std::string::npos);
  EXPECT_EQ(text.str().find("<!ENTITY"), std::string::npos);
}

TEST(KorpusBesonders, FindsAMainDocumentStoredElsewhere) {
  TARVO_KORPUS_NOETIG();
  Package package = Package::Open(test::KorpusOrdner() / "pandoc__alternate_document_path.docx");
  EXPECT_NE(package.MainPartName(), "word/document.xml");
  EXPECT_TRUE(package.HasPart(package.MainPartName()));
}

TEST(KorpusBefehl, RoundtripRefusesADamagedFileWithStatus2AndWritesNothing) {
  TARVO_KORPUS_NOETIG();
  const fs::path aus = Ausgabe("roundtrip-abgelehnt.docx");
  fs::remove(aus);
  for (const char* name :
       {"poi__truncated62886.docx", "poi__bug53475-password-is-pass.docx", "gibt-es-nicht.docx"}) {
    SCOPED_TRACE(name);
    std::string befehl = std::string("'") + TARVO_EXE + "' roundtrip '" +
                         test::KorpusOrdner().string() + "/" + name + "' '" + aus.string() +
                         "' 2>/dev/null";
    int status = std::system(befehl.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_FALSE(fs::exists(aus));
  }
}

}  // namespace
}  // namespace tarvo::word::docx
