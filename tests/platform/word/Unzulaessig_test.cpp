// Values a caller should never pass, and the model still writes a well-formed document: texts
// with characters XML forbids, comment ids beyond 32 bits.
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "WortTest.h"

namespace tarvo::word::test {
namespace {

bool Wohlgeformt(const std::string& xml) {
  pugi::xml_document dom;
  return dom.load_string(xml.c_str());
}

TEST(ForbiddenCharacters, NeverReachTheSavedParts) {
  struct Fall {
    const char* name;
    std::string text;
    const char* bleibt;
  } faelle[] = {
      {"U+FFFE",
       "a\xEF\xBF\xBE"
       "b",
       "ab"},
      {"U+FFFF",
       "a\xEF\xBF\xBF"
       "b",
       "ab"},
      {"Surrogat",
       "a\xED\xA0\x80"
       "b",
       "ab"},
      {"kein UTF-8", "a\xC3(b", "a(b"},
      {"abgeschnittenes UTF-8", "ab\xE2\x82", "ab"},
      {"Steuerzeichen",
       std::string("a\x01\x1F"
                   "b"),
       "ab"},
      {"Umlaute bleiben", "Fläche ß €", "Fläche ß €"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    auto doc = Dokument(Absatz("x"));
    doc->Range(0, 0).InsertAfter(fall.text);
    doc->Comments().Add(doc->Range(0, 1), fall.text);
    EXPECT_TRUE(Wohlgeformt(doc->MainXml())) << doc->MainXml();
    EXPECT_TRUE(Wohlgeformt(doc->CommentsXml())) << doc->CommentsXml();
    EXPECT_EQ(Sichtbar(doc->Content().Text()), std::string(fall.bleibt) + "x\\r");
    EXPECT_EQ(Sichtbar(doc->Comments().Item(1).Range().Text()), std::string(fall.bleibt) + "\\r");
  }
}

TEST(CommentIds, BeyondThirtyTwoBitsGiveAFreeIdWithoutOverflow) {
  // Ids a letter from elsewhere may carry: more digits than any integer type holds.
  auto doc = Dokument(
      "<w:p><w:commentRangeStart w:id=\"99999999999999999999\"/><w:r><w:t>ab"
      "</w:t></w:r><w:commentRangeEnd w:id=\"99999999999999999999\"/><w:r>"
      "<w:commentReference w:id=\"99999999999999999999\"/></w:r></w:p>" +
          Absatz("cd"),
      "<w:comment w:id=\"99999999999999999999\" w:author=\"A\"><w:p><w:r><w:t>alt"
      "</w:t></w:r></w:p></w:comment><w:comment w:id=\"0\" w:author=\"A\"><w:p>"
      "<w:r><w:t>null</w:t></w:r></w:p></w:comment>");
  Comment neu = doc->Comments().Add(doc->Range(3, 4), "neu");
  Comment zweiter = doc->Comments().Add(doc->Range(4, 5), "zweiter");
  EXPECT_EQ(neu.Range().Text(), "neu\r");
  EXPECT_EQ(zweiter.Range().Text(), "zweiter\r");
  const std::string xml = doc->CommentsXml();
  EXPECT_NE(xml.find("w:id=\"1\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("w:id=\"2\""), std::string::npos) << xml;
}

}  // namespace
}  // namespace tarvo::word::test
