#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/WortTest.h"

namespace tarvo::word {
namespace {

using test::Absatz;
using test::Dokument;
using test::Sichtbar;

TEST(Selection, TypingReplacesTheSelectionAndCollapsesAfterIt) {
  auto doc = Dokument(Absatz("Hallo Welt"));
  Selection& sel = doc->Application()->Selection();
  doc->Range(6, 10).Select();
  EXPECT_EQ(sel.Text(), "Welt");
  sel.TypeText("Erde");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Hallo Erde\\r");
  EXPECT_EQ(sel.Start(), 10);
  EXPECT_EQ(sel.End(), 10);
  sel.TypeText("!");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Hallo Erde!\\r");
}

TEST(Selection, FollowsEditsMadeElsewhere) {
  auto doc = Dokument(Absatz("abc"));
  Selection& sel = doc->Application()->Selection();
  doc->Range(2, 3).Select();
  doc->Range(0, 0).InsertAfter("xy");
  EXPECT_EQ(sel.Text(), "c");
  // Changing a range got from the selection does not move the selection.
  Range kopie = sel.Range();
  kopie.Collapse(wdCollapseStart);
  EXPECT_EQ(sel.Text(), "c");
}

TEST(Selection, InTableAndItsTables) {
  auto doc = Dokument(Absatz("") + Absatz("x"));
  Table t = doc->Tables().Add(doc->Range(0, 0), 1, 2);
  Selection& sel = doc->Application()->Selection();
  t.Cell(1, 2).Select();
  EXPECT_TRUE(sel.Information(wdWithInTable));
  EXPECT_TRUE(sel.Tables().Item(1) == t);
  doc->Content().Select();
  sel.Collapse(wdCollapseEnd);
  EXPECT_FALSE(sel.Information(wdWithInTable));
  EXPECT_EQ(sel.Tables().Count(), 0);
}

TEST(SelectionFormat, TableWithoutBordersRightAlignedFirstColumnLeft) {
  auto doc = Dokument(Absatz(""));
  Table t = doc->Tables().Add(doc->Range(0, 0), 2, 3);
  Selection& sel = doc->Application()->Selection();
  t.Select();
  for (std::int32_t rand = wdBorderTop; rand >= wdBorderVertical; --rand)
    sel.Borders(rand).SetLineStyle(wdLineStyleNone);
  sel.ParagraphFormat().SetAlignment(wdAlignParagraphRight);
  t.Columns(1).Select();
  sel.ParagraphFormat().SetAlignment(wdAlignParagraphLeft);
  EXPECT_EQ(sel.Borders(wdBorderTop).LineStyle(), wdLineStyleNone);
  EXPECT_EQ(t.Cell(2, 1).Range().ParagraphFormat().Alignment(), wdAlignParagraphLeft);
  EXPECT_EQ(t.Cell(2, 2).Range().ParagraphFormat().Alignment(), wdAlignParagraphRight);
  EXPECT_EQ(t.Range().ParagraphFormat().Alignment(), wdUndefined);
  std::string xml = doc->MainXml();
  EXPECT_NE(xml.find("<w:tblBorders><w:top w:val=\"nil\"/><w:left w:val=\"nil\"/>"
                     "<w:bottom w:val=\"nil\"/><w:right w:val=\"nil\"/><w:insideH w:val=\"nil\"/>"
                     "<w:insideV w:val=\"nil\"/></w:tblBorders>"),
            std::string::npos)
      << xml;
  EXPECT_THROW(sel.Borders(-7).SetLineStyle(wdLineStyleNone), Laufzeitfehler);
}

// Borders taken off a whole table take the cells' own borders on that side with them: those
// of a loaded table, and those given to a cell after the table was looked through once.
TEST(SelectionFormat, WholeTableBordersTakeTheCellsOwnWithThem) {
  const std::string zelle =
      "<w:tc><w:tcPr><w:tcBorders><w:top w:val=\"single\"/><w:bottom w:val=\"single\"/>"
      "</w:tcBorders></w:tcPr><w:p/></w:tc>";
  auto doc = Dokument("<w:tbl><w:tr>" + zelle + zelle + "</w:tr></w:tbl>" + Absatz(""));
  Selection& sel = doc->Application()->Selection();
  Table t = doc->Tables().Item(1);
  t.Select();
  sel.Borders(wdBorderTop).SetLineStyle(wdLineStyleNone);
  std::string xml = doc->MainXml();
  EXPECT_EQ(xml.find("<w:tcBorders><w:top"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<w:tcBorders><w:bottom"), std::string::npos) << xml;
  sel.Borders(wdBorderBottom).SetLineStyle(wdLineStyleNone);
  EXPECT_EQ(doc->MainXml().find("<w:bottom w:val=\"single\"/>"), std::string::npos);

  const std::int32_t ende = doc->Content().End() - 1;
  Table neu = doc->Tables().Add(doc->Range(ende, ende), 2, 2);
  neu.Select();
  for (std::int32_t rand = wdBorderTop; rand >= wdBorderVertical; --rand)
    sel.Borders(rand).SetLineStyle(wdLineStyleNone);
  neu.Cell(2, 2).Select();
  sel.Borders(wdBorderBottom).SetLineStyle(wdLineStyleSingle);
  EXPECT_NE(doc->MainXml().find("<w:bottom w:val=\"single\""), std::string::npos);
  neu.Select();
  sel.Borders(wdBorderBottom).SetLineStyle(wdLineStyleNone);
  EXPECT_EQ(doc->MainXml().find("<w:bottom w:val=\"single\""), std::string::npos) << doc->MainXml();
}

TEST(SelectionFormat, FontSizeOfTypedTextAndTabStops) {
  auto doc = Dokument(Absatz("Titel"));
  Selection& sel = doc->Application()->Selection();
  doc->Range(0, 5).Select();
  float groesse = sel.Font().Size();
  sel.Collapse(wdCollapseEnd);
  sel.TypeText("\vklein");
  sel.MoveStart(wdCharacter, -5);
  sel.Font().SetSize(groesse - 2);
  EXPECT_EQ(sel.Text(), "klein");
  EXPECT_FLOAT_EQ(doc->Range(0, 5).Font().Size(), groesse);
  EXPECT_FLOAT_EQ(doc->Range(6, 11).Font().Size(), groesse - 2);
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Titel\\vklein\\r");
  sel.ParagraphFormat().TabStops().Add(doc->Application()->CentimetersToPoints(5), wdAlignTabLeft,
                                       wdTabLeaderSpaces);
  sel.ParagraphFormat().TabStops().Add(72);
  EXPECT_EQ(sel.ParagraphFormat().TabStops().Count(), 2);
  std::string xml = doc->MainXml();
  EXPECT_NE(xml.find("<w:tabs><w:tab w:val=\"left\" w:pos=\"1440\"/><w:tab w:val=\"left\" "
                     "w:pos=\"2835\"/></w:tabs>"),
            std::string::npos)
      << xml;
}

TEST(SelectionFormat, ParagraphBordersOutsideTables) {
  auto doc = Dokument(Absatz("a"));
  Selection& sel = doc->Application()->Selection();
  doc->Content().Select();
  sel.Borders(wdBorderBottom).SetLineStyle(wdLineStyleSingle);
  EXPECT_EQ(sel.Borders(wdBorderBottom).LineStyle(), wdLineStyleSingle);
  EXPECT_EQ(sel.Borders(wdBorderTop).LineStyle(), wdLineStyleNone);
}

TEST(Application, CentimetersToPoints) {
  Application app;
  EXPECT_FLOAT_EQ(app.CentimetersToPoints(2.54f), 72.0f);
  EXPECT_NEAR(app.CentimetersToPoints(2.5f), 70.866f, 0.001);
  EXPECT_FLOAT_EQ(app.CentimetersToPoints(0), 0);
}

TEST(Selection, UnsetSelectionThrows91) {
  Selection sel;
  try {
    sel.Text();
    FAIL();
  } catch (const Laufzeitfehler& f) {
    EXPECT_EQ(f.Nummer(), 91);
  }
}

}  // namespace
}  // namespace tarvo::word
