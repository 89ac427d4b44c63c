#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/WortTest.h"

namespace tarvo::word {
namespace {

using test::Absatz;
using test::Dokument;
using test::Sichtbar;

TEST(RangeText, MarksParagraphsTabsAndBreaks) {
  auto doc = Dokument("<w:p><w:r><w:t>ab</w:t><w:tab/><w:t>c</w:t><w:br/><w:t>d</w:t></w:r></w:p>" +
                      Absatz("ef"));
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "ab\\tc\\vd\\ref\\r");
  EXPECT_EQ(doc->Content().End(), 10);
  EXPECT_EQ(doc->Range(1, 4).Text(), "b\tc");
}

TEST(RangeText, SkipsDeletedTextFieldCodesAndTextBoxes) {
  auto doc = Dokument(
      "<w:p><w:r><w:t>a</w:t></w:r><w:del w:id=\"1\"><w:r><w:delText>weg</w:delText></w:r></w:del>"
      "<w:r><w:instrText> PAGE </w:instrText></w:r><w:r><w:t>b</w:t></w:r>"
      "<w:r><w:drawing><w:txbxContent><w:p><w:r><w:t>box</w:t></w:r></w:p></w:txbxContent>"
      "</w:drawing></w:r></w:p>");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "ab\\r");
}

TEST(RangeText, CellAndRowMarksAreOnePositionEach) {
  auto doc = Dokument(
      "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>x</w:t></w:r></w:p></w:tc><w:tc><w:p/></w:tc></w:tr>"
      "</w:tbl>" +
      Absatz("z"));
  Range alles = doc->Content();
  EXPECT_EQ(Sichtbar(alles.Text()), "x\\r\\a\\r\\a\\r\\az\\r");
  EXPECT_EQ(alles.End(), 6);
  Table t = doc->Tables().Item(1);
  EXPECT_EQ(t.Range().Start(), 0);
  EXPECT_EQ(t.Range().End(), 4);
  EXPECT_EQ(Sichtbar(t.Cell(1, 1).Range().Text()), "x\\r\\a");
  EXPECT_EQ(t.Cell(1, 2).Range().Start(), 2);
}

TEST(RangeInsert, InsertAfterExtendsTheRangeOverTheNewText) {
  auto doc = Dokument(Absatz("Hallo Welt"));
  Range r = doc->Range(0, 5);
  r.InsertAfter(" schöne");
  EXPECT_EQ(r.Text(), "Hallo schöne");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Hallo schöne Welt\\r");
}

TEST(RangeInsert, InsertBeforeExtendsTheRangeOverTheNewText) {
  auto doc = Dokument(Absatz("Welt"));
  Range r = doc->Range(0, 4);
  r.InsertBefore("Hallo ");
  EXPECT_EQ(r.Start(), 0);
  EXPECT_EQ(r.Text(), "Hallo Welt");
}

TEST(RangeInsert, OtherRangesShiftAsTheWordProcessorShiftsThem) {
  auto doc = Dokument(Absatz("abcdef"));
  Range vor = doc->Range(0, 2);      // ends at the insertion point: does not grow
  Range nach = doc->Range(2, 4);     // starts at it: moves on
  Range ueber = doc->Range(1, 5);    // spans it: grows
  Range punkt = doc->Range(2, 2);    // collapsed at it: moves on
  Range spaeter = doc->Range(5, 6);  // after it: moves on
  doc->Range(2, 2).InsertAfter("XY");
  EXPECT_EQ(vor.Text(), "ab");
  EXPECT_EQ(nach.Text(), "cd");
  EXPECT_EQ(ueber.Text(), "bXYcde");
  EXPECT_EQ(punkt.Start(), 4);
  EXPECT_EQ(spaeter.Text(), "f");
}

TEST(RangeInsert, RangesShiftOnDeletionAndCollapseInsideIt) {
  auto doc = Dokument(Absatz("abcdefgh"));
  Range innen = doc->Range(3, 4);
  Range danach = doc->Range(6, 8);
  Range teil = doc->Range(1, 4);
  doc->Range(2, 5).Delete();
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "abfgh\\r");
  EXPECT_EQ(innen.Start(), 2);
  EXPECT_EQ(innen.End(), 2);
  EXPECT_EQ(danach.Text(), "gh");
  EXPECT_EQ(teil.Text(), "b");
}

TEST(RangeInsert, ParagraphBreaksSplitTheParagraph) {
  auto doc = Dokument(
      "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr>"
      "<w:t>abcd</w:t></w:r></w:p>");
  doc->Range(2, 2).InsertAfter("X\r\nY\rZ");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "abX\\rY\\rZcd\\r");
  // Both halves keep the paragraph's and the run's formatting.
  std::string xml = doc->MainXml();
  EXPECT_EQ(doc->Content().ParagraphFormat().Alignment(), wdAlignParagraphCenter);
  EXPECT_EQ(doc->Content().Bold(), wdTrue);
  EXPECT_NE(xml.find("<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>"), std::string::npos);
}

TEST(RangeInsert, InsertParagraphBeforeOnACollapsedRangeCoversTheNewMark) {
  auto doc = Dokument(Absatz("eins") + Absatz("zwei"));
  Range r = doc->Range(5, 5);  // start of "zwei"
  r.InsertParagraphBefore();
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "eins\\r\\rzwei\\r");
  EXPECT_EQ(r.Start(), 5);
  EXPECT_EQ(r.End(), 6);
  r.Collapse(wdCollapseStart);
  r.InsertAfter("neu");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "eins\\rneu\\rzwei\\r");
}

TEST(RangeInsert, AfterTheFinalMarkGoesBeforeIt) {
  auto doc = Dokument(Absatz("ende"));
  Range r = doc->Content();
  r.Collapse(wdCollapseEnd);
  r.InsertParagraphAfter();
  r.Collapse(wdCollapseEnd);
  r.InsertAfter("neu");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "ende\\rneu\\r");
}

TEST(RangeInsert, TextSetOnACellReplacesItsContentAndKeepsTheMark) {
  auto doc = Dokument(
      "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>alt</w:t></w:r></w:p></w:tc></w:tr>"
      "</w:tbl>" +
      Absatz(""));
  Range zelle = doc->Tables().Item(1).Cell(1, 1).Range();
  zelle.SetText("neu");
  EXPECT_EQ(Sichtbar(zelle.Text()), "neu\\r\\a");
  zelle.InsertAfter(" €");
  EXPECT_EQ(Sichtbar(doc->Tables().Item(1).Cell(1, 1).Range().Text()), "neu €\\r\\a");
}

TEST(RangeInsert, RowMarkRefusesText) {
  auto doc = Dokument("<w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>" + Absatz(""));
  Range r = doc->Range(1, 1);  // the end-of-row mark
  try {
    r.InsertAfter("x");
    FAIL();
  } catch (const Laufzeitfehler& f) {
    EXPECT_EQ(f.Nummer(), 4605);
  }
}

TEST(RangeMove, ByWordAcrossBlanksPunctuationAndParagraphs) {
  auto doc = Dokument(Absatz("Summe: 12,50 Euro") + Absatz("weiter"));
  Range r = doc->Range(0, 0);
  EXPECT_EQ(r.MoveEnd(wdWord, 1), 1);
  EXPECT_EQ(r.Text(), "Summe");
  r.MoveEnd(wdWord, 1);
  EXPECT_EQ(r.Text(), "Summe: ");
  r.MoveEnd(wdWord, 4);  // 12 , 50 Euro
  EXPECT_EQ(r.Text(), "Summe: 12,50 Euro");
  r.MoveEnd(wdWord, 1);  // the paragraph mark is a word of its own
  EXPECT_EQ(Sichtbar(r.Text()), "Summe: 12,50 Euro\\r");
  Range w = doc->Range(18, 18);  // start of "weiter"
  EXPECT_EQ(w.MoveStart(wdWord, -1), -1);
  EXPECT_EQ(w.Start(), 17);  // back over the paragraph mark
  w.MoveStart(wdWord, -1);
  EXPECT_EQ(w.Start(), 13);  // start of "Euro"
}

TEST(RangeMove, ByWordInsideAWordGoesToItsStart) {
  auto doc = Dokument(Absatz("lumoStart hier"));
  Range r = doc->Range(6, 6);
  r.MoveStart(wdWord, -1);
  EXPECT_EQ(r.Start(), 0);
  EXPECT_EQ(r.MoveStart(wdWord, -1), 0);
}

TEST(RangeMove, ByWordAcrossCellMarks) {
  auto doc = Dokument(
      "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a b</w:t></w:r></w:p></w:tc>"
      "<w:tc><w:p><w:r><w:t>c</w:t></w:r></w:p></w:tc></w:tr></w:tbl>" +
      Absatz(""));
  Range r = doc->Range(0, 0);
  r.MoveEnd(wdWord, 3);  // "a ", "b", cell mark
  EXPECT_EQ(r.End(), 4);
  r.MoveEnd(wdCharacter, 100);
  EXPECT_EQ(r.End(), doc->Content().End());
}

TEST(RangeErrors, PositionsOutsideTheStoryAndUnsetHandles) {
  auto doc = Dokument(Absatz("ab"));
  EXPECT_THROW(doc->Range(0, 9), Laufzeitfehler);
  EXPECT_THROW(doc->Range(-1, 1), Laufzeitfehler);
  Range leer;
  try {
    leer.Text();
    FAIL();
  } catch (const Laufzeitfehler& f) {
    EXPECT_EQ(f.Nummer(), 91);
  }
  EXPECT_THROW(doc->Range(0, 1).Collapse(7), Laufzeitfehler);
}

TEST(RangeFormat, BoldSplitsRunsAtTheRangeEdges) {
  auto doc = Dokument(Absatz("abcdef"));
  Range r = doc->Range(2, 4);
  r.SetBold(true);
  EXPECT_EQ(r.Bold(), wdTrue);
  EXPECT_EQ(doc->Range(0, 2).Bold(), wdFalse);
  EXPECT_EQ(doc->Range(0, 6).Bold(), wdUndefined);
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "abcdef\\r");
  std::string xml = doc->MainXml();
  EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t>cd</w:t></w:r>"), std::string::npos) << xml;
}

TEST(RangeFormat, FontSizeResolvesThroughStylesAndDefaults) {
  auto doc = Dokument(
      "<w:p><w:r><w:t>a</w:t></w:r><w:r><w:rPr><w:sz w:val=\"28\"/></w:rPr>"
      "<w:t>b</w:t></w:r></w:p>");
  // The blank package's Normal style gives 11 pt.
  EXPECT_FLOAT_EQ(doc->Range(0, 1).Font().Size(), 11.0f);
  EXPECT_FLOAT_EQ(doc->Range(1, 2).Font().Size(), 14.0f);
  EXPECT_FLOAT_EQ(doc->Range(0, 2).Font().Size(), static_cast<float>(wdUndefined));
  Range b = doc->Range(1, 2);
  b.Font().SetSize(b.Font().Size() - 2);
  EXPECT_FLOAT_EQ(b.Font().Size(), 12.0f);
}

TEST(RangeFormat, FormattingACellBeforeTypingCarriesOver) {
  auto doc = Dokument("<w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>" + Absatz(""));
  Range zelle = doc->Tables().Item(1).Cell(1, 1).Range();
  zelle.SetBold(true);
  zelle.InsertAfter("fett");
  EXPECT_EQ(doc->Range(0, 4).Bold(), wdTrue);
  zelle.Collapse(wdCollapseEnd);
  EXPECT_EQ(zelle.Start(), 5);  // after the end-of-cell mark
}

TEST(RangeInformation, WithInTable) {
  auto doc = Dokument("<w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>" + Absatz("x"));
  EXPECT_TRUE(doc->Range(0, 0).Information(wdWithInTable));
  EXPECT_TRUE(doc->Range(1, 1).Information(wdWithInTable));
  EXPECT_FALSE(doc->Range(2, 2).Information(wdWithInTable));
  EXPECT_EQ(doc->Range(0, 0).Tables().Count(), 1);
  EXPECT_EQ(doc->Range(2, 3).Tables().Count(), 0);
}

}  // namespace
}  // namespace tarvo::word

namespace tarvo::word {
namespace {

TEST(RangeInsert, AStoryEndingWithATableOrEmptyGetsAFinalParagraph) {
  auto leer = test::Dokument("");
  EXPECT_EQ(leer->Content().End(), 0);
  leer->Content().InsertAfter("neu");
  EXPECT_EQ(test::Sichtbar(leer->Content().Text()), "neu\\r");
  auto tabelle = test::Dokument("<w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>");
  Range ende = tabelle->Content();
  ende.Collapse(wdCollapseEnd);
  ende.InsertAfter("danach");
  EXPECT_EQ(test::Sichtbar(tabelle->Content().Text()), "\\r\\a\\r\\adanach\\r");
  EXPECT_NE(tabelle->MainXml().find("</w:tbl><w:p><w:r><w:t>danach</w:t></w:r></w:p><w:sectPr/>"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvo::word

namespace tarvo::word {
namespace {

TEST(RangeDelete, AcrossAParagraphMarkJoinsIntoTheFollowingParagraph) {
  auto doc = test::Dokument(test::Absatz("eins") +
                            "<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr><w:r><w:t>zwei</w:t></w:r>"
                            "</w:p>");
  Range danach = doc->Range(7, 9);  // "ei" of "zwei"
  doc->Range(2, 7).Delete();        // "ns\rzw"
  EXPECT_EQ(test::Sichtbar(doc->Content().Text()), "eiei\\r");
  EXPECT_EQ(danach.Text(), "ei");
  EXPECT_EQ(danach.Start(), 2);
  // The joined paragraph keeps the properties of the paragraph whose mark survived.
  EXPECT_EQ(doc->Content().ParagraphFormat().Alignment(), wdAlignParagraphRight);
}

TEST(RangeDelete, KeepsCellMarksAndComments) {
  auto doc = test::Dokument(
      "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>b</w:t>"
      "</w:r></w:p></w:tc></w:tr></w:tbl>" +
      test::Absatz("c"));
  doc->Range(0, 4).Delete();
  EXPECT_EQ(test::Sichtbar(doc->Content().Text()), "\\r\\a\\r\\a\\r\\ac\\r");
  EXPECT_EQ(doc->Tables().Item(1).Rows().Count(), 1);
}

TEST(RangeFormat, DirectOffSwitchesAndMixedRangesReadUndefined) {
  auto doc = test::Dokument(
      "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:r><w:t>a</w:t>"
      "</w:r><w:r><w:rPr><w:i w:val=\"0\"/><w:u w:val=\"single\"/></w:rPr>"
      "<w:t>b</w:t></w:r></w:p>");
  // A style the package does not define gives nothing; an explicit "0" switches off.
  EXPECT_EQ(doc->Range(0, 1).Italic(), wdFalse);
  EXPECT_EQ(doc->Range(1, 2).Italic(), wdFalse);
  EXPECT_EQ(doc->Range(1, 2).Underline(), wdTrue);
  EXPECT_EQ(doc->Range(0, 2).Underline(), wdUndefined);
  doc->Range(0, 2).SetUnderline(false);
  EXPECT_EQ(doc->Range(0, 2).Underline(), wdFalse);
}

}  // namespace
}  // namespace tarvo::word
