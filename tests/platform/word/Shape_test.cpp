#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/WortTest.h"

namespace tarvo::word {
namespace {

using test::Absatz;
using test::Dokument;
using test::Sichtbar;

// The due-date box as the invoice routine writes it.
Shape Zahlungsziel(Document& doc, const std::string& text) {
  Application& app = *doc.Application();
  Selection& sel = app.Selection();
  Range ende = doc.Content();
  ende.Collapse(wdCollapseEnd);
  ende.Select();
  Shape box = doc.Shapes().AddTextbox(msoTextOrientationHorizontal, 70.5f, 766.5f, 450.75f, 54);
  box.Select();
  box.SetName("Zahlungsziel");
  box.TextFrame().TextRange().Select();
  box.Fill().SetVisible(false);
  box.Fill().SetTransparency(1.0f);
  box.Line().SetVisible(false);
  box.SetRelativeVerticalPosition(wdRelativeVerticalPositionPage);
  box.SetTop(app.CentimetersToPoints(27));
  sel.ParagraphFormat().SetAlignment(wdAlignParagraphCenter);
  sel.TypeText(text);
  return box;
}

TEST(Shapes, TextBoxGetsNamePositionFillLineAndText) {
  auto doc = Dokument(Absatz("Rechnung"));
  Shape box = Zahlungsziel(*doc, "Zahlbar bis  15.12.2026  ohne Abzug");
  EXPECT_EQ(doc->Shapes().Count(), 1);
  Shape gefunden = doc->Shapes().Item("Zahlungsziel");
  EXPECT_EQ(gefunden.Name(), "Zahlungsziel");
  EXPECT_FALSE(gefunden.Fill().Visible());
  EXPECT_FALSE(gefunden.Line().Visible());
  EXPECT_EQ(gefunden.RelativeVerticalPosition(), wdRelativeVerticalPositionPage);
  EXPECT_NEAR(gefunden.Top(), 765.35, 0.01);
  EXPECT_NEAR(gefunden.Width(), 450.75, 0.01);
  Range text = gefunden.TextFrame().TextRange();
  EXPECT_EQ(Sichtbar(text.Text()), "Zahlbar bis  15.12.2026  ohne Abzug\\r");
  EXPECT_EQ(text.ParagraphFormat().Alignment(), wdAlignParagraphCenter);
  EXPECT_EQ(text.StoryType(), wdTextFrameStory);
  // The main text does not see the box's text.
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Rechnung\\r");
  std::string xml = doc->MainXml();
  EXPECT_NE(xml.find("<wp:positionV relativeFrom=\"page\"><wp:posOffset>9720000</wp:posOffset>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<a:noFill/><a:ln w=\"6350\"><a:noFill/></a:ln>"), std::string::npos);
}

TEST(Shapes, DeleteByNameLeavesExactlyOneBoxAfterTwoRuns) {
  auto doc = Dokument(Absatz("Rechnung"));
  for (int lauf = 0; lauf < 2; ++lauf) {
    Shapes alle = doc->Shapes();
    for (std::int32_t i = alle.Count(); i >= 1; --i)
      if (alle.Item(i).Name() == "Zahlungsziel") alle.Item(i).Delete();
    Zahlungsziel(*doc, "Lauf " + std::to_string(lauf));
  }
  ASSERT_EQ(doc->Shapes().Count(), 1);
  EXPECT_EQ(Sichtbar(doc->Shapes().Item(1).TextFrame().TextRange().Text()), "Lauf 1\\r");
}

TEST(Shapes, DeletedShapesAndTheirTextFail) {
  auto doc = Dokument(Absatz("x"));
  Shape box = doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 0, 0, 100, 20);
  Range text = box.TextFrame().TextRange();
  box.Delete();
  EXPECT_TRUE(box.IsDeleted());
  EXPECT_EQ(doc->Shapes().Count(), 0);
  EXPECT_THROW(box.Name(), Laufzeitfehler);
  EXPECT_THROW(text.Text(), Laufzeitfehler);
  EXPECT_THROW(doc->Shapes().Item("Zahlungsziel"), Laufzeitfehler);
  EXPECT_THROW(doc->Shapes().Item(1), Laufzeitfehler);
}

TEST(Shapes, FindsVmlShapesOfExistingDocuments) {
  auto doc = Dokument(
      "<w:p><w:r><w:pict><v:shape xmlns:v=\"urn:schemas-microsoft-com:vml\" id=\"Alt\" "
      "style=\"position:absolute;margin-top:10pt;width:100pt;height:2cm\" filled=\"f\">"
      "<v:textbox><w:txbxContent><w:p><w:r><w:t>alt</w:t></w:r></w:p></w:txbxContent>"
      "</v:textbox></v:shape></w:pict></w:r></w:p>");
  ASSERT_EQ(doc->Shapes().Count(), 1);
  Shape s = doc->Shapes().Item(1);
  EXPECT_EQ(s.Name(), "Alt");
  EXPECT_FALSE(s.Fill().Visible());
  EXPECT_TRUE(s.Line().Visible());
  EXPECT_NEAR(s.Height(), 56.69, 0.01);
  EXPECT_EQ(Sichtbar(s.TextFrame().TextRange().Text()), "alt\\r");
}

TEST(Bookmarks, AddWithUniqueNamesAndValidNamesOnly) {
  auto doc = Dokument(Absatz("Gebühr hier"));
  doc->Bookmarks().Add("TARVO_03_3", doc->Range(0, 6));
  EXPECT_EQ(doc->Bookmarks().Item("TARVO_03_3").Range().Text(), "Gebühr");
  doc->Bookmarks().Add("TARVO_03_3", doc->Range(7, 11));
  EXPECT_EQ(doc->Bookmarks().Count(), 1);
  EXPECT_EQ(doc->Bookmarks().Item("TARVO_03_3").Range().Text(), "hier");
  doc->Bookmarks().Add("Punkt", doc->Range(3, 3));
  EXPECT_EQ(doc->Bookmarks().Count(), 2);
  for (const char* falsch :
       {"", "1abc", "mit blank", "a234567890123456789012345678901234567890x"}) {
    SCOPED_TRACE(falsch);
    try {
      doc->Bookmarks().Add(falsch, doc->Range(0, 1));
      FAIL();
    } catch (const Laufzeitfehler& f) {
      EXPECT_EQ(f.Nummer(), 5828);
    }
  }
  EXPECT_THROW(doc->Bookmarks().Item("fehlt"), Laufzeitfehler);
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Gebühr hier\\r");
}

// A bookmark over a whole cell (its range ends behind the end-of-cell mark), the last cell of
// a row included, ends inside the cell before its mark.
TEST(Bookmarks, OverAWholeLastCellEndsBeforeItsMark) {
  auto doc = Dokument(Absatz("vor"));
  Table t = doc->Tables().Add(doc->Range(0, 0), 1, 5);
  t.Cell(1, 5).Range().InsertAfter("Gebühr");
  doc->Bookmarks().Add("TARVO_03_3", t.Cell(1, 5).Range());
  EXPECT_EQ(doc->Bookmarks().Item("TARVO_03_3").Range().Text(), "Gebühr");
  EXPECT_NE(doc->MainXml().find("Gebühr</w:t></w:r><w:bookmarkEnd"), std::string::npos)
      << doc->MainXml();
}

}  // namespace
}  // namespace tarvo::word

namespace tarvo::word {
namespace {

// A new text box's drawing id lies above every id in the text (in tables and in text boxes
// too) and above every id handed out before.
TEST(Shapes, NewTextBoxesGetDrawingIdsAboveAllOthers) {
  auto bild = [](int id) {
    return "<w:p><w:r><w:drawing><wp:inline><wp:docPr id=\"" + std::to_string(id) +
           "\" name=\"Bild\"/></wp:inline></w:drawing></w:r></w:p>";
  };
  // A picture in the text box of an old-style (VML) shape counts too.
  const std::string vml = "<w:p><w:r><w:pict><v:shape><v:textbox><w:txbxContent>" + bild(41) +
                          "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p>";
  auto doc = test::Dokument(test::Absatz("vor") + bild(3) + "<w:tbl><w:tr><w:tc>" + bild(17) +
                            "</w:tc></w:tr></w:tbl>" + vml + test::Absatz("nach"));
  EXPECT_EQ(doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 0, 0, 100, 20).Name(),
            "Textfeld 42");
  EXPECT_EQ(doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 0, 40, 100, 20).Name(),
            "Textfeld 43");
  doc->Shapes().Item(2).Delete();
  EXPECT_EQ(doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 0, 80, 100, 20).Name(),
            "Textfeld 44");
}

}  // namespace
}  // namespace tarvo::word
