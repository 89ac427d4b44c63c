// How a package holds its parts: text handed over for parsing in place and read again from the
// archive, parts given compressed, large parts left in the archive until asked for. Whatever it
// holds, every part reads back as it was and saves into an archive that checks out.
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "errors/Laufzeitfehler.h"
#include "platform/word/docx/Deflate.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word::docx {
namespace {

namespace fs = std::filesystem;

const std::string kTypen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
const std::string kBeziehungen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";

// XML text of about `groesse` bytes that compresses as real documents do.
std::string Text(std::size_t groesse, unsigned saat = 1) {
  std::mt19937 zufall(saat);
  std::string text = "<?xml version=\"1.0\"?><w:document xmlns:w=\"urn:w\"><w:body>";
  while (text.size() < groesse)
    text += "<w:p><w:r><w:t>Flst.Nr. " + std::to_string(zufall() % 100000) + "</w:t></w:r></w:p>";
  return text + "</w:body></w:document>";
}

class PaketSpeicherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner_ = fs::path(TARVO_BINARY_DIR) / "testdata" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
  }

  fs::path Zip(const std::string& name,
               const std::vector<std::pair<std::string, std::string>>& teile) {
    const fs::path pfad = ordner_ / name;
    zip_t* zip = zip_open(pfad.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    for (const auto& [teil, bytes] : teile)
      zip_file_add(zip, teil.c_str(), zip_source_buffer(zip, bytes.data(), bytes.size(), 0),
                   ZIP_FL_ENC_UTF_8);
    EXPECT_EQ(zip_close(zip), 0);
    return pfad;
  }

  fs::path ordner_;
};

TEST(Deflate, WhatIsWrittenInflatesBackWithItsSizeAndChecksum) {
  struct Fall {
    const char* name;
    std::string text;
    bool schnell;
  } faelle[] = {
      {"leer", "", false},
      {"ein Absatz", Text(100), false},
      {"drei Megabyte, schnell", Text(3 << 20), true},
      {"drei Megabyte, Standard", Text(3 << 20), false},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    DeflateWriter schreiber(fall.schnell);
    // In pieces of every size, as pugixml hands them over.
    for (std::size_t an = 0, stueck = 1; an < fall.text.size();
         an += stueck, stueck = stueck * 3 % 9001 + 1)
      schreiber.Append(std::string_view(fall.text).substr(an, stueck));
    DeflatedPart teil = schreiber.Finish();
    EXPECT_EQ(teil.size, fall.text.size());
    if (fall.text.size() > 1000) {
      EXPECT_LT(teil.data.size(), fall.text.size() / 3);
    }
    EXPECT_EQ(Inflate(teil), fall.text);
  }
}

TEST(Deflate, DamagedDataOrAWrongChecksumIsRefused) {
  DeflateWriter schreiber(false);
  schreiber.Append(Text(5000));
  const DeflatedPart gut = schreiber.Finish();
  DeflatedPart kaputt = gut, falscheSumme = gut, falscheGroesse = gut;
  kaputt.data[kaputt.data.size() / 2] ^= 0x55;
  falscheSumme.crc ^= 1;
  falscheGroesse.size -= 1;
  for (const DeflatedPart* teil : {&kaputt, &falscheSumme, &falscheGroesse}) {
    try {
      Inflate(*teil);
      ADD_FAILURE() << "damage not noticed";
    } catch (const Laufzeitfehler& fehler) {
      EXPECT_EQ(fehler.Nummer(), 75);
    }
  }
}

TEST_F(PaketSpeicherTest, APartHandedOverIsReadAgainAndSavedAsItWas) {
  const std::string haupt = Text(20000);
  Package paket = Package::Open(Zip("a.docx", {{"[Content_Types].xml", kTypen},
                                               {"_rels/.rels", kBeziehungen},
                                               {"word/document.xml", haupt}}));
  std::string uebergeben = paket.TakePartBytes("word/document.xml");
  EXPECT_EQ(uebergeben, haupt);
  uebergeben.assign(uebergeben.size(), 'x');  // as parsing in place does to it
  EXPECT_EQ(paket.PartBytes("word/document.xml"), haupt);
  EXPECT_FALSE(paket.IsModified("word/document.xml"));
  paket.Save(ordner_ / "b.docx");
  EXPECT_EQ(Package::Open(ordner_ / "b.docx").PartBytes("word/document.xml"), haupt);

  // A new part has no archive to come back from: it is copied, not handed over.
  paket.SetPart("word/neu.xml", std::string("<neu/>"));
  EXPECT_EQ(paket.TakePartBytes("word/neu.xml"), "<neu/>");
  EXPECT_EQ(paket.PartBytes("word/neu.xml"), "<neu/>");
}

TEST_F(PaketSpeicherTest, APartGivenCompressedReadsBackAndSavesIntoAnArchiveThatChecksOut) {
  Package paket = Package::Open(Zip("a.docx", {{"[Content_Types].xml", kTypen},
                                               {"_rels/.rels", kBeziehungen},
                                               {"word/document.xml", Text(100)}}));
  const std::string neu = Text(2 << 20, 2);
  DeflateWriter schreiber(true);
  schreiber.Append(neu);
  paket.SetPart("word/document.xml", schreiber.Finish());
  EXPECT_TRUE(paket.IsModified("word/document.xml"));
  paket.Save(ordner_ / "b.docx");
  EXPECT_EQ(paket.PartBytes("word/document.xml"), neu);
  // Open reads every entry to its end, so libzip checks the CRC the directory states.
  Package wieder = Package::Open(ordner_ / "b.docx");
  EXPECT_EQ(wieder.PartBytes("word/document.xml"), neu);
  EXPECT_EQ(wieder.PartNames().front(), "[Content_Types].xml");
}

TEST_F(PaketSpeicherTest, LargePartsBesidesTheMainPartAreReadWhenAskedAndCopiedUnchanged) {
  const std::string stile = Text(3 << 20, 3);
  Package paket = Package::Open(Zip("a.docx", {{"[Content_Types].xml", kTypen},
                                               {"_rels/.rels", kBeziehungen},
                                               {"word/document.xml", Text(100)},
                                               {"word/styles.xml", stile}}));
  paket.Save(ordner_ / "b.docx");
  EXPECT_EQ(paket.PartBytes("word/styles.xml"), stile);
  EXPECT_EQ(Package::Open(ordner_ / "b.docx").PartBytes("word/styles.xml"), stile);
}

}  // namespace
}  // namespace tarvo::word::docx
