// The .docx package: finding the main part, reading bad files, editing parts and relationships,
// and saving atomically with untouched parts kept byte for byte.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/word/docx/Package.h"
#include "platform/word/docx/PartName.h"

namespace tarvo::word::docx {
namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kMainType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

std::string ContentTypes(const std::string& mainPart = "/word/document.xml") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"" +
         mainPart + "\" ContentType=\"" + kMainType + "\"/></Types>";
}

std::string PackageRels(const std::string& target) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
         "2006/relationships/officeDocument\" Target=\"" +
         target + "\"/></Relationships>";
}

const std::string kBody =
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:body><w:p><w:r><w:t>Hallo</w:t></w:r></w:p></w:body></w:document>";

class PaketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(TARVO_BINARY_DIR) / "testdata" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { SetSaveFaultHookForTesting({}); }

  fs::path Datei(const std::string& name) const { return folder_ / name; }

  // Writes a zip with the given entries in order; `stored` leaves them uncompressed.
  fs::path Zip(const std::string& name, const Entries& entries, bool stored = false) {
    fs::path path = Datei(name);
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(zip, nullptr);
    for (const auto& [entry, bytes] : entries) {
      zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
      zip_int64_t index = zip_file_add(zip, entry.c_str(), source, ZIP_FL_ENC_UTF_8);
      if (stored) zip_set_file_compression(zip, index, ZIP_CM_STORE, 0);
    }
    EXPECT_EQ(zip_close(zip), 0);
    return path;
  }

  fs::path Dokument(const std::string& name = "d.docx") {
    return Zip(name, {{"[Content_Types].xml", ContentTypes()},
                      {"_rels/.rels", PackageRels("word/document.xml")},
                      {"word/document.xml", kBody}});
  }

  static void Schreiben(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Lesen(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  std::vector<std::string> DateienImOrdner() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // The message Open throws for `path`, or "" if it opens.
  static std::string OpenFehler(const fs::path& path, int* nummer = nullptr) {
    try {
      Package::Open(path);
    } catch (const Laufzeitfehler& fehler) {
      if (nummer) *nummer = fehler.Nummer();
      return fehler.Beschreibung();
    }
    return "";
  }

  fs::path folder_;
};

TEST(PartName, ResolvesTargetsAsThePackageRulesSay) {
  struct Fall {
    const char* source;
    const char* target;
    const char* erwartet;
  } faelle[] = {
      {"", "word/document.xml", "word/document.xml"},
      {"", "/word/document.xml", "word/document.xml"},
      {"", "./word/document.xml", "word/document.xml"},
      {"word/document.xml", "comments.xml", "word/comments.xml"},
      {"word/document.xml", "../customXml/item1.xml", "customXml/item1.xml"},
      {"word/document.xml", "/word/media/a.png", "word/media/a.png"},
      {"word/document.xml", "media\\a.png", "word/media/a.png"},
      {"word/document.xml", "../../../x.xml", "x.xml"},
      {"word/document.xml", "footnotes.xml#frag", "word/footnotes.xml"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(std::string(fall.source) + " → " + fall.target);
    EXPECT_EQ(ResolveTarget(fall.source, fall.target), fall.erwartet);
  }
}

TEST(PartName, WritesRelativeTargetsThatResolveBack) {
  const std::pair<const char*, const char*> faelle[] = {
      {"word/document.xml", "word/comments.xml"},
      {"word/document.xml", "customXml/item1.xml"},
      {"", "word/document.xml"},
      {"word/glossary/document.xml", "word/styles.xml"},
  };
  for (const auto& [source, target] : faelle) {
    SCOPED_TRACE(std::string(source) + " → " + target);
    EXPECT_EQ(ResolveTarget(source, RelativeTarget(source, target)), target);
  }
  EXPECT_EQ(RelativeTarget("word/document.xml", "word/comments.xml"), "comments.xml");
}

TEST(PartName, NamesRelationshipPartsAndDecodesEscapes) {
  EXPECT_EQ(RelationshipsPartName(""), "_rels/.rels");
  EXPECT_EQ(RelationshipsPartName("/word/document.xml"), "word/_rels/document.xml.rels");
  EXPECT_EQ(RelationshipsPartName("main.xml"), "_rels/main.xml.rels");
  EXPECT_EQ(PercentDecoded("media/image%201.png"), "media/image 1.png");
  EXPECT_EQ(PercentDecoded("100%"), "100%");
  EXPECT_EQ(PercentDecoded("%zz%4"), "%zz%4");
  EXPECT_EQ(PartKey("/Word/Document.XML"), "word/document.xml");
  EXPECT_TRUE(
      SameRelationshipType("http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument",
                           kRelOfficeDocument));
  EXPECT_FALSE(SameRelationshipType(kRelStyles, kRelOfficeDocument));
}

TEST_F(PaketTest, FindsTheMainPartThroughThePackageRelationships) {
  struct Fall {
    const char* name;
    std::string eintrag;
    std::string target;
  } faelle[] = {
      {"elsewhere", "doc/main.xml", "doc/main.xml"},
      {"leading slash", "word/document.xml", "/word/document.xml"},
      {"escaped blank", "word/main document.xml", "word/main%20document.xml"},
      {"other case", "Word/Document.xml", "word/document.xml"},
      {"dot segment", "word/document.xml", "./word/../word/document.xml"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    fs::path path = Zip("main.docx", {{"[Content_Types].xml", ContentTypes("/" + fall.eintrag)},
                                      {"_rels/.rels", PackageRels(fall.target)},
                                      {fall.eintrag, kBody}});
    Package package = Package::Open(path);
    EXPECT_EQ(package.MainPartName(), fall.eintrag);
    EXPECT_EQ(package.PartBytes(package.MainPartName()), kBody);
  }
}

TEST_F(PaketTest, RejectsFilesItCannotUseWithAGermanReasonNamingTheFile) {
  Dokument("gut.docx");
  std::string gut = Lesen(Datei("gut.docx"));
  Schreiben(Datei("leer.docx"), "");
  Schreiben(Datei("alt.docx"),
            std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
  Schreiben(Datei("text.docx"), "Dies ist kein Dokument.");
  Schreiben(Datei("abgeschnitten.docx"), gut.substr(0, gut.size() / 2));
  Zip("ohnehaupt.docx",
      {{"[Content_Types].xml", ContentTypes()}, {"_rels/.rels", PackageRels("word/document.xml")}});
  Zip("ohnetypen.docx",
      {{"_rels/.rels", PackageRels("word/document.xml")}, {"word/document.xml", kBody}});
  Zip("ohnerels.docx", {{"[Content_Types].xml", ContentTypes()}, {"word/document.xml", kBody}});
  Zip("kaputtetypen.docx", {{"[Content_Types].xml", "<Types><Default"},
                            {"_rels/.rels", PackageRels("word/document.xml")},
                            {"word/document.xml", kBody}});
  // A stored part whose bytes no longer match the checksum.
  Zip("pruefsumme.docx",
      {{"[Content_Types].xml", ContentTypes()},
       {"_rels/.rels", PackageRels("word/document.xml")},
       {"word/document.xml", kBody}},
      true);
  std::string kaputt = Lesen(Datei("pruefsumme.docx"));
  kaputt[kaputt.find("Hallo")] = 'X';
  Schreiben(Datei("pruefsumme.docx"), kaputt);
  fs::create_directories(Datei("ordner.docx"));

  struct Fall {
    const char* datei;
    int nummer;
    const char* grund;
  } faelle[] = {
      {"fehlt.docx", 53, "wurde nicht gefunden"},
      {"ordner.docx", 75, "ist ein Ordner"},
      {"leer.docx", 75, "(die Datei ist leer)"},
      {"alt.docx", 75, "ist verschlüsselt oder im alten Word-Format"},
      {"text.docx", 75, "(kein ZIP-Archiv)"},
      {"abgeschnitten.docx", 75, "(beschädigtes oder unvollständiges ZIP-Archiv)"},
      {"ohnehaupt.docx", 75, "(das Hauptdokument fehlt)"},
      {"ohnetypen.docx", 75, "[Content_Types].xml fehlt"},
      {"ohnerels.docx", 75, "_rels/.rels fehlen"},
      {"kaputtetypen.docx", 75, "fehlerhaftes XML in [Content_Types].xml, Zeile 1"},
      {"pruefsumme.docx", 75, "Prüfsummen- oder Lesefehler im Teil »word/document.xml«"},
  };
  auto vorher = DateienImOrdner();
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.datei);
    int nummer = 0;
    std::string text = OpenFehler(Datei(fall.datei), &nummer);
    EXPECT_EQ(nummer, fall.nummer);
    EXPECT_NE(text.find(fall.datei), std::string::npos) << text;
    EXPECT_NE(text.find(fall.grund), std::string::npos) << text;
  }
  EXPECT_EQ(DateienImOrdner(), vorher) << "reading must never write";
}

TEST_F(PaketTest, ParsesPartsWithByteOrderMarkAndNeverExpandsEntities) {
  const std::string mitBom = "\xEF\xBB\xBF" + kBody;
  const std::string mitDoctype =
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">"
      "<!ENTITY lol \"lollollollollol\">]><d><t>&xxe;&lol;</t></d>";
  Zip("xml.docx", {{"[Content_Types].xml", "\xEF\xBB\xBF" + ContentTypes()},
                   {"_rels/.rels", PackageRels("word/document.xml")},
                   {"word/document.xml", mitBom},
                   {"word/doctype.xml", mitDoctype},
                   {"word/kaputt.xml", "<a>\n<b>\n</a>"}});
  Package package = Package::Open(Datei("xml.docx"));
  pugi::xml_document doc;
  package.ParseXml("word/document.xml", doc);
  EXPECT_STREQ(doc.child("w:document").child("w:body").child("w:p").child("w:r").child_value("w:t"),
               "Hallo");
  package.ParseXml("word/doctype.xml", doc, pugi::parse_full);
  std::string text = doc.child("d").child_value("t");
  EXPECT_EQ(text.find("root:"), std::string::npos);
  EXPECT_EQ(text.find("lollol"), std::string::npos);

  try {
    package.ParseXml("word/kaputt.xml", doc);
    ADD_FAILURE() << "malformed XML parsed";
  } catch (const Laufzeitfehler& fehler) {
    EXPECT_EQ(fehler.Beschreibung().rfind("Die Datei »xml.docx« ist kein gültiges Word-Dokument "
                                          "(fehlerhaftes XML in word/kaputt.xml, Zeile 3",
                                          0),
              0u)
        << fehler.Beschreibung();
  }
}

TEST_F(PaketTest, SetPartAddsAContentTypeOnlyWhereTheDefaultDoesNotCoverIt) {
  Package package = Package::Open(Dokument());
  package.SetPart("word/comments.xml", "<w:comments/>", kTypeComments);
  package.SetPart("word/extra.xml", "<x/>", "application/xml");
  package.SetPart("/word/document.xml", "<neu/>");
  EXPECT_EQ(package.ContentType("word/comments.xml"), kTypeComments);
  EXPECT_EQ(package.ContentType("/WORD/COMMENTS.XML"), kTypeComments);
  EXPECT_EQ(package.ContentType("word/extra.xml"), "application/xml");
  EXPECT_EQ(package.ContentType("word/document.xml"), kMainType);
  EXPECT_EQ(package.PartBytes("word/document.xml"), "<neu/>");
  const std::string& types = package.PartBytes("[Content_Types].xml");
  EXPECT_NE(types.find("PartName=\"/word/comments.xml\""), std::string::npos);
  EXPECT_EQ(types.find("/word/extra.xml"), std::string::npos);
  EXPECT_TRUE(package.IsModified("word/document.xml"));
  EXPECT_FALSE(package.IsModified("_rels/.rels"));

  EXPECT_THROW(package.PartBytes("word/fehlt.xml"), Laufzeitfehler);
  try {
    package.PartBytes("word/fehlt.xml");
  } catch (const Laufzeitfehler& fehler) {
    EXPECT_EQ(fehler.Nummer(), 5941);
  }
}

TEST_F(PaketTest, AddRelationshipGivesUniqueIdsAndResolvesBack) {
  Package package = Package::Open(Dokument());
  EXPECT_EQ(package.RelatedPart("word/document.xml", kRelComments), "");
  std::string erste = package.AddRelationship("word/document.xml", kRelStyles, "word/styles.xml");
  std::string zweite =
      package.AddRelationship("word/document.xml", kRelComments, "word/comments.xml");
  std::string dritte = package.AddRelationship("", kRelSettings, "word/settings.xml");
  EXPECT_NE(erste, zweite);
  EXPECT_NE(dritte, "rId1") << "rId1 is taken by the main document";
  EXPECT_EQ(package.RelatedPart("word/document.xml", kRelComments), "word/comments.xml");
  EXPECT_EQ(package.RelatedPart("word/document.xml", kRelStyles), "word/styles.xml");
  EXPECT_EQ(package.RelatedPart("", kRelSettings), "word/settings.xml");
  EXPECT_EQ(package.RelatedPart("", kRelOfficeDocument), "word/document.xml");
  EXPECT_NE(package.PartBytes("word/_rels/document.xml.rels").find("Target=\"comments.xml\""),
            std::string::npos);
}

TEST_F(PaketTest, SaveKeepsUntouchedPartsAsTheyWereAndPutsContentTypesFirst) {
  const std::string bild(70000, '\x7f');
  fs::path original = Zip("o.docx", {{"_rels/.rels", PackageRels("word/document.xml")},
                                     {"word/document.xml", kBody},
                                     {"word/media/bild.bin", bild},
                                     {"[Content_Types].xml", ContentTypes()}});
  Package package = Package::Open(original);
  package.SetPart("word/document.xml", "<geaendert/>");
  package.Save(Datei("k.docx"));

  Package kopie = Package::Open(Datei("k.docx"));
  EXPECT_EQ(kopie.PartNames(),
            (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "word/document.xml",
                                      "word/media/bild.bin"}));
  EXPECT_EQ(kopie.PartBytes("word/media/bild.bin"), bild);
  EXPECT_EQ(kopie.PartBytes("word/document.xml"), "<geaendert/>");

  // Untouched parts carry the very same compressed data.
  int error = 0;
  zip_t* a = zip_open(original.c_str(), ZIP_RDONLY, &error);
  zip_t* b = zip_open(Datei("k.docx").c_str(), ZIP_RDONLY, &error);
  for (const char* name : {"_rels/.rels", "word/media/bild.bin"}) {
    SCOPED_TRACE(name);
    zip_stat_t sa, sb;
    ASSERT_EQ(zip_stat(a, name, 0, &sa), 0);
    ASSERT_EQ(zip_stat(b, name, 0, &sb), 0);
    EXPECT_EQ(sa.comp_size, sb.comp_size);
    EXPECT_EQ(sa.comp_method, sb.comp_method);
    EXPECT_EQ(sa.crc, sb.crc);
  }
  zip_discard(a);
  zip_discard(b);
}

TEST_F(PaketTest, SavingOverTheFileItWasOpenedFromWorks) {
  fs::path path = Dokument();
  Package package = Package::Open(path);
  package.SetPart("word/document.xml", "<zweiter/>");
  package.Save(path);
  package.Save(path);  // the source archive is held in memory, not read from the file again
  EXPECT_EQ(Package::Open(path).PartBytes("word/document.xml"), "<zweiter/>");
  EXPECT_EQ(DateienImOrdner(), std::vector<std::string>{"d.docx"});
}

TEST_F(PaketTest, AFailingSaveLeavesTheOldFileAndNoTemporaryFile) {
  fs::path path = Dokument();
  const std::string vorher = Lesen(path);
  Package package = Package::Open(path);
  package.SetPart("word/document.xml", "<neu/>");
  for (SaveStep schritt : {SaveStep::Write, SaveStep::Flush, SaveStep::Rename}) {
    SCOPED_TRACE(static_cast<int>(schritt));
    SetSaveFaultHookForTesting([schritt](SaveStep s) { return s == schritt; });
    try {
      package.Save(path);
      ADD_FAILURE() << "save did not fail";
    } catch (const Laufzeitfehler& fehler) {
      EXPECT_EQ(fehler.Nummer(), 75);
      EXPECT_NE(fehler.Beschreibung().find("konnte nicht gespeichert werden"), std::string::npos);
    }
    EXPECT_EQ(Lesen(path), vorher);
    EXPECT_EQ(DateienImOrdner(), std::vector<std::string>{"d.docx"});
  }
  SetSaveFaultHookForTesting({});
  package.Save(path);
  EXPECT_EQ(Package::Open(path).PartBytes("word/document.xml"), "<neu/>");
}

TEST_F(PaketTest, SaveToAPlaceItCannotWriteFailsWithAReasonAndLeavesNothing) {
  Package package = Package::Blank();
  fs::create_directories(Datei("ordner.docx"));
  struct Fall {
    fs::path ziel;
    const char* grund;
  } faelle[] = {
      {Datei("gibtsnicht") / "x.docx", "(der Ordner existiert nicht)"},
      {Datei("ordner.docx"), "(dort liegt ein Ordner)"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.ziel.string());
    try {
      package.Save(fall.ziel);
      ADD_FAILURE() << "saved";
    } catch (const Laufzeitfehler& fehler) {
      EXPECT_NE(fehler.Beschreibung().find(fall.grund), std::string::npos) << fehler.Beschreibung();
    }
  }
  EXPECT_EQ(DateienImOrdner(), std::vector<std::string>{"ordner.docx"});
  EXPECT_TRUE(fs::is_empty(Datei("ordner.docx")));
}

TEST_F(PaketTest, BlankIsACompleteA4DocumentThatOpensAgain) {
  Package blank = Package::Blank();
  EXPECT_EQ(blank.MainPartName(), "word/document.xml");
  EXPECT_EQ(blank.DisplayName(), "Neues Dokument");
  blank.Save(Datei("neu.docx"));
  Package package = Package::Open(Datei("neu.docx"));
  EXPECT_EQ(package.RelatedPart("word/document.xml", kRelStyles), "word/styles.xml");
  EXPECT_EQ(package.RelatedPart("word/document.xml", kRelSettings), "word/settings.xml");
  for (const std::string& name : package.PartNames()) {
    SCOPED_TRACE(name);
    EXPECT_NE(package.ContentType(name), "");
    pugi::xml_document doc;
    EXPECT_NO_THROW(package.ParseXml(name, doc));
  }
  pugi::xml_document doc;
  package.ParseXml("word/document.xml", doc);
  pugi::xml_node size = doc.select_node("//w:sectPr/w:pgSz").node();
  EXPECT_STREQ(size.attribute("w:w").value(), "11906");
  EXPECT_STREQ(size.attribute("w:h").value(), "16838");
  package.ParseXml("word/styles.xml", doc);
  EXPECT_STREQ(doc.select_node("//w:docDefaults//w:sz").node().attribute("w:val").value(), "22");
}

}  // namespace
}  // namespace tarvo::word::docx
