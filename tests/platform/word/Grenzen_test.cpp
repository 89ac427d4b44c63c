// Hostile documents: nesting deeper than the model walks, sizes the zip directory forges, parts
// of one name twice, a main part in UTF-16. Each is refused with its German reason before it
// costs memory or stack, or (UTF-16) written back as it says it is; refusing writes nothing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/Range.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word {
namespace {

namespace fs = std::filesystem;
using Teile = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

std::string Inhaltstypen() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
}

std::string Paketbeziehungen() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
         "2006/relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
}

std::string Kommentarbeziehung() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
         "2006/relationships/comments\" Target=\"comments.xml\"/></Relationships>";
}

std::string Hauptteil(const std::string& koerper) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
             "xmlns:w=\"") +
         kW + "\"><w:body>" + koerper + "</w:body></w:document>";
}

// `tiefe` times `auf`, then `mitte`, then `tiefe` times `zu`.
std::string Verschachtelt(int tiefe, const std::string& auf, const std::string& mitte,
                          const std::string& zu) {
  std::string text;
  text.reserve(static_cast<std::size_t>(tiefe) * (auf.size() + zu.size()) + mitte.size());
  for (int i = 0; i < tiefe; ++i) text += auf;
  text += mitte;
  for (int i = 0; i < tiefe; ++i) text += zu;
  return text;
}

const std::string kAbsatz = "<w:p><w:r><w:t>Rechnung</w:t></w:r></w:p>";

class GrenzenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner_ = fs::path(TARVO_BINARY_DIR) / "testdata" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
  }

  fs::path Datei(const std::string& name) const { return ordner_ / name; }

  // A zip of `teile` in order (deflated), written with libzip.
  fs::path Zip(const std::string& name, const Teile& teile) {
    const fs::path pfad = Datei(name);
    int fehler = 0;
    zip_t* zip = zip_open(pfad.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &fehler);
    EXPECT_NE(zip, nullptr);
    for (const auto& [teil, bytes] : teile) {
      zip_source_t* quelle = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
      zip_file_add(zip, teil.c_str(), quelle, ZIP_FL_ENC_UTF_8);
    }
    EXPECT_EQ(zip_close(zip), 0);
    return pfad;
  }

  // A document of the given main part, with a comments part when `kommentare` is not empty.
  fs::path Dokument(const std::string& name, const std::string& haupt,
                    const std::string& kommentare = {}) {
    Teile teile = {{"[Content_Types].xml", Inhaltstypen()},
                   {"_rels/.rels", Paketbeziehungen()},
                   {"word/document.xml", haupt}};
    if (!kommentare.empty()) {
      teile.push_back({"word/_rels/document.xml.rels", Kommentarbeziehung()});
      teile.push_back({"word/comments.xml", kommentare});
    }
    return Zip(name, teile);
  }

  static std::string Lesen(const fs::path& pfad) {
    std::ifstream ein(pfad, std::ios::binary);
    std::ostringstream aus;
    aus << ein.rdbuf();
    return aus.str();
  }
  static void Schreiben(const fs::path& pfad, const std::string& bytes) {
    std::ofstream(pfad, std::ios::binary) << bytes;
  }

  // The message Document::Open throws for `pfad` ("" when it opens), with its number.
  static std::string OeffnenFehler(const fs::path& pfad, int* nummer = nullptr) {
    try {
      Document::Open(pfad);
    } catch (const Laufzeitfehler& fehler) {
      if (nummer) *nummer = fehler.Nummer();
      return fehler.Beschreibung();
    }
    return "";
  }

  // Sets the sizes of entry `teil` in its local header and in the central directory.
  static void GroessenFaelschen(std::string& zip, const std::string& teil, std::uint32_t gepackt,
                                std::uint32_t entpackt) {
    auto setzen = [&zip](std::size_t stelle, std::uint32_t wert) {
      for (int i = 0; i < 4; ++i) zip[stelle + i] = static_cast<char>((wert >> (8 * i)) & 0xFF);
    };
    for (std::size_t at = zip.find(teil); at != std::string::npos; at = zip.find(teil, at + 1)) {
      if (at >= 30 && zip.compare(at - 30, 4, "PK\x03\x04") == 0) {
        setzen(at - 30 + 18, gepackt);
        setzen(at - 30 + 22, entpackt);
      } else if (at >= 46 && zip.compare(at - 46, 4, "PK\x01\x02") == 0) {
        setzen(at - 46 + 20, gepackt);
        setzen(at - 46 + 24, entpackt);
      }
    }
  }

  // The compressed size of entry `teil` of the zip at `pfad`.
  static std::uint32_t Gepackt(const fs::path& pfad, const char* teil) {
    zip_t* zip = zip_open(pfad.c_str(), ZIP_RDONLY, nullptr);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip) zip_stat(zip, teil, 0, &stat);
    if (zip) zip_discard(zip);
    return static_cast<std::uint32_t>(stat.comp_size);
  }

  fs::path ordner_;
};

long SpitzenspeicherKb() {
  rusage nutzung{};
  ::getrusage(RUSAGE_SELF, &nutzung);
  return nutzung.ru_maxrss;
}

TEST_F(GrenzenTest, NestingBeyondAThousandLevelsIsRefusedInMainPartAndComments) {
  const std::string sdt =
      Verschachtelt(30000, "<w:sdt><w:sdtContent>", kAbsatz, "</w:sdtContent></w:sdt>");
  const std::string tabellen =
      Verschachtelt(30000, "<w:tbl><w:tr><w:tc>", kAbsatz, "</w:tc></w:tr></w:tbl>");
  const std::string fremd =
      Verschachtelt(100000, "<x:a xmlns:x=\"urn:x\">", "", "</x:a>") + kAbsatz;
  const std::string smartTags =
      std::string("<w:comments xmlns:w=\"") + kW + "\"><w:comment w:id=\"0\"><w:p>" +
      Verschachtelt(200000, "<w:smartTag>", "<w:r><w:t>x</w:t></w:r>", "</w:smartTag>") +
      "</w:p></w:comment></w:comments>";
  struct Fall {
    const char* datei;
    std::string haupt, kommentare;
    const char* teil;
  } faelle[] = {
      {"sdt.docx", Hauptteil(sdt), "", "word/document.xml"},
      {"tabellen.docx", Hauptteil(tabellen), "", "word/document.xml"},
      {"fremd.docx", Hauptteil(fremd), "", "word/document.xml"},
      {"smarttag.docx", Hauptteil(kAbsatz), smartTags, "word/comments.xml"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.datei);
    int nummer = 0;
    const std::string text =
        OeffnenFehler(Dokument(fall.datei, fall.haupt, fall.kommentare), &nummer);
    EXPECT_EQ(nummer, 75);
    EXPECT_NE(text.find(std::string("»") + fall.datei + "«"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(fall.teil) + " ist tiefer als 1000 Ebenen verschachtelt"),
              std::string::npos)
        << text;
  }
}

TEST_F(GrenzenTest, NestingJustBelowTheLimitIsWalkedReadAndSaved) {
  // 490 content controls are 980 levels; the story, its tables and its text are walked through
  // all of them.
  const std::string innen = "<w:tbl><w:tr><w:tc>" + kAbsatz + "</w:tc></w:tr></w:tbl>" + kAbsatz;
  const fs::path pfad = Dokument(
      "tief.docx",
      Hauptteil(Verschachtelt(490, "<w:sdt><w:sdtContent>", innen, "</w:sdtContent></w:sdt>")));
  auto dokument = Document::Open(pfad);
  EXPECT_EQ(dokument->Tables().Count(), 1);
  EXPECT_EQ(dokument->Content().Text(), "Rechnung\r\a\r\aRechnung\r");
  dokument->Content().InsertAfter("Ende");  // before the story's last mark, as Word does
  dokument->Save(Datei("tief-kopie.docx"));
  EXPECT_EQ(Document::Open(Datei("tief-kopie.docx"))->Content().Text(),
            "Rechnung\r\a\r\aRechnungEnde\r");
}

TEST_F(GrenzenTest, RoundtripOfADeeplyNestedFileExitsWith2AndWritesNothing) {
  const fs::path ein = Dokument(
      "tief.docx",
      Hauptteil(Verschachtelt(30000, "<w:sdt><w:sdtContent>", kAbsatz, "</w:sdtContent></w:sdt>")));
  const fs::path aus = Datei("kopie.docx");
  for (const char* befehl : {"roundtrip", "inspect"}) {
    SCOPED_TRACE(befehl);
    const std::string zeile =
        std::string("'") + TARVO_EXE + "' " + befehl + " '" + ein.string() + "'" +
        (std::string(befehl) == "roundtrip" ? " '" + aus.string() + "'" : "") + " >/dev/null 2>&1";
    const int status = std::system(zeile.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
  }
  EXPECT_FALSE(fs::exists(aus));
}

TEST_F(GrenzenTest, ForgedAndExcessiveSizesAreRefusedBeforeTheyAreAllocated) {
  // A small document whose main part claims 2 GB, one that claims 100 MB from a few bytes of
  // deflate data (more than deflate can pack into them), and three parts of random data that
  // each claim 200 MB, plausibly, but together more than 512 MB.
  const fs::path klein = Dokument("gefaelscht.docx", Hauptteil(kAbsatz));
  std::string bytes = Lesen(klein);
  std::string zweiGb = bytes, hundertMb = bytes;
  const std::uint32_t gepackt = Gepackt(klein, "word/document.xml");
  GroessenFaelschen(zweiGb, "word/document.xml", gepackt, 0x7FFFFFF0u);
  GroessenFaelschen(hundertMb, "word/document.xml", gepackt, 100u << 20);
  Schreiben(Datei("zwei-gb.docx"), zweiGb);
  Schreiben(Datei("hundert-mb.docx"), hundertMb);
  std::mt19937 zufall(7);
  std::string rauschen(200 * 1024, '\0');
  for (char& c : rauschen) c = static_cast<char>(zufall());
  Teile teile = {{"[Content_Types].xml", Inhaltstypen()},
                 {"_rels/.rels", Paketbeziehungen()},
                 {"word/document.xml", Hauptteil(kAbsatz)}};
  for (const char* name : {"word/media/a.bin", "word/media/b.bin", "word/media/c.bin"})
    teile.push_back({name, rauschen});
  std::string gross = Lesen(Zip("gross.docx", teile));
  for (const char* name : {"word/media/a.bin", "word/media/b.bin", "word/media/c.bin"})
    GroessenFaelschen(gross, name, Gepackt(Datei("gross.docx"), name), 200u << 20);
  Schreiben(Datei("gross.docx"), gross);

  struct Fall {
    const char* datei;
    const char* grund;
  } faelle[] = {
      {"zwei-gb.docx", "der Teil »word/document.xml« ist entpackt größer als 256 MB"},
      {"hundert-mb.docx", "unmögliche Größe des Teils »word/document.xml«"},
      {"gross.docx", "die Teile sind entpackt größer als 512 MB"},
  };
  const long vorher = SpitzenspeicherKb();
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.datei);
    int nummer = 0;
    const std::string text = OeffnenFehler(Datei(fall.datei), &nummer);
    EXPECT_EQ(nummer, 75);
    EXPECT_NE(text.find(std::string("»") + fall.datei + "« ist kein gültiges Word-Dokument"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(fall.grund), std::string::npos) << text;
  }
  EXPECT_LT(SpitzenspeicherKb() - vorher, 64 * 1024) << "refused only after allocating";
}

TEST_F(GrenzenTest, AMainPartOfMoreThanTwoMillionTagsIsRefusedBeforeItIsParsed) {
  // 2.9 MB of empty paragraphs would cost the model about 1 GB.
  std::string absaetze;
  for (int i = 0; i < 500001; ++i) absaetze += "<w:p/>";
  absaetze += absaetze + absaetze + absaetze;  // 2,000,004 paragraphs
  int nummer = 0;
  const std::string text = OeffnenFehler(Dokument("absaetze.docx", Hauptteil(absaetze)), &nummer);
  EXPECT_EQ(nummer, 75);
  EXPECT_NE(text.find("der Teil word/document.xml ist zu groß (mehr als 2 Millionen Elemente)"),
            std::string::npos)
      << text;
}

TEST_F(GrenzenTest, AnEntryThatInflatesBeyondWhatItDeclaredIsDamaged) {
  std::string bytes = Lesen(Dokument("mehr.docx", Hauptteil(kAbsatz + kAbsatz + kAbsatz)));
  GroessenFaelschen(bytes, "word/document.xml", Gepackt(Datei("mehr.docx"), "word/document.xml"),
                    40);
  Schreiben(Datei("mehr.docx"), bytes);
  const std::string text = OeffnenFehler(Datei("mehr.docx"));
  EXPECT_NE(text.find("beschädigtes ZIP-Archiv"), std::string::npos) << text;
}

TEST_F(GrenzenTest, TwoPartsOfOneNameAreRefusedWhenReading) {
  // Names are compared as Word compares them: without regard to case.
  for (const char* zweiter : {"word/document.xml", "WORD/Document.xml"}) {
    SCOPED_TRACE(zweiter);
    // libzip refuses to add a name twice; the second entry is renamed in the bytes.
    std::string platzhalter(std::string(zweiter).size(), 'q');
    platzhalter.replace(0, 5, "word/");
    Zip("doppelt.docx", {{"[Content_Types].xml", Inhaltstypen()},
                         {"_rels/.rels", Paketbeziehungen()},
                         {"word/document.xml", Hauptteil(kAbsatz)},
                         {platzhalter, Hauptteil("<w:p/>")}});
    std::string bytes = Lesen(Datei("doppelt.docx"));
    for (std::size_t at = bytes.find(platzhalter); at != std::string::npos;
         at = bytes.find(platzhalter, at + 1))
      bytes.replace(at, platzhalter.size(), zweiter);
    Schreiben(Datei("doppelt.docx"), bytes);
    int nummer = 0;
    const std::string text = OeffnenFehler(Datei("doppelt.docx"), &nummer);
    EXPECT_EQ(nummer, 75);
    EXPECT_NE(text.find("»doppelt.docx« ist kein gültiges Word-Dokument (der Teil »" +
                        std::string(zweiter) + "« ist doppelt vorhanden)"),
              std::string::npos)
        << text;
  }
}

// UTF-16LE with a byte-order mark, as Word's XML save can write it.
std::string Utf16(const std::string& ascii) {
  std::string text = "\xFF\xFE";
  for (char c : ascii) {
    text += c;
    text += '\0';
  }
  return text;
}

TEST_F(GrenzenTest, PartsReadInUtf16AreWrittenInUtf8AndSaySo) {
  std::string haupt = Hauptteil(kAbsatz);
  haupt.replace(haupt.find("UTF-8"), 5, "UTF-16");
  std::string typen = Inhaltstypen();
  typen.replace(typen.find("UTF-8"), 5, "UTF-16");
  Zip("utf16.docx", {{"[Content_Types].xml", Utf16(typen)},
                     {"_rels/.rels", Paketbeziehungen()},
                     {"word/document.xml", Utf16(haupt)}});
  auto dokument = Document::Open(Datei("utf16.docx"));
  // A comment changes the main part and adds a comments part and its content type.
  dokument->Comments().Add(dokument->Range(0, 8), "Kennung");
  dokument->Save(Datei("utf8.docx"));

  docx::Package gespeichert = docx::Package::Open(Datei("utf8.docx"));
  for (const char* teil : {"word/document.xml", "[Content_Types].xml"}) {
    SCOPED_TRACE(teil);
    const std::string& bytes = gespeichert.PartBytes(teil);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u)
        << bytes.substr(0, 60);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
  }
  auto wieder = Document::Open(Datei("utf8.docx"));
  EXPECT_EQ(wieder->Content().Text(), "Rechnung\r");
  EXPECT_EQ(wieder->Comments().Count(), 1);
}

}  // namespace
}  // namespace tarvo::word
