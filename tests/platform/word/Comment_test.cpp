#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/WortTest.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word {
namespace {

using test::Absatz;
using test::Dokument;
using test::Kommentar;
using test::Sichtbar;

// A paragraph with `vor`, then `scope` commented with id `id`, then `nach`.
std::string Kommentiert(const std::string& vor, int id, const std::string& scope,
                        const std::string& nach) {
  std::string i = std::to_string(id);
  return "<w:p><w:r><w:t xml:space=\"preserve\">" + vor +
         "</w:t></w:r><w:commentRangeStart w:id=\"" + i + "\"/><w:r><w:t>" + scope +
         "</w:t></w:r><w:commentRangeEnd w:id=\"" + i +
         "\"/><w:r><w:rPr><w:rStyle w:val=\"CommentReference\"/></w:rPr><w:commentReference "
         "w:id=\"" +
         i + "\"/></w:r><w:r><w:t xml:space=\"preserve\">" + nach + "</w:t></w:r></w:p>";
}

Comment Finden(Document& doc, const std::string& text) {
  Comments alle = doc.Comments();
  for (std::int32_t i = 1; i <= alle.Count(); ++i) {
    std::string t = alle.Item(i).Range().Text();
    if (t.substr(0, t.size() - 1) == text) return alle.Item(i);
  }
  ADD_FAILURE() << "kein Kommentar " << text;
  return {};
}

// The amount-field routine of the invoice: replace the amount right after a marker.
void BetragErsetzen(Document& doc, const std::string& marke, const std::string& neu) {
  Selection& sel = doc.Application()->Selection();
  Range anker = Finden(doc, marke).Reference();
  anker.Collapse(wdCollapseEnd);
  anker.Select();
  sel.MoveEnd(wdCharacter, 15);
  std::string text = sel.Text();
  sel.Collapse(wdCollapseStart);
  std::size_t p = text.find(" €");
  if (p != std::string::npos) {
    std::int32_t zeichen = 0;
    for (std::size_t i = 0; i < p; ++i)
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++zeichen;
    sel.MoveEnd(wdCharacter, zeichen + 3);
  }
  sel.SetText(neu + " ");
}

TEST(Comments, AreListedByTheirReferenceMarksWithTextScopeAndReference) {
  auto doc = Dokument(
      Kommentiert("Netto: ", 7, "Betrag", " 10,00 € fertig") + Kommentiert("", 2, "lumoStart", ""),
      Kommentar(2, "lumoStart") + Kommentar(7, "lumoNetto"));
  Comments alle = doc->Comments();
  ASSERT_EQ(alle.Count(), 2);
  EXPECT_EQ(Sichtbar(alle.Item(1).Range().Text()), "lumoNetto\\r");
  EXPECT_EQ(alle.Item(1).Scope().Text(), "Betrag");
  EXPECT_EQ(alle.Item(1).Scope().Start(), 7);
  EXPECT_EQ(alle.Item(1).Reference().Start(), 13);
  EXPECT_EQ(alle.Item(1).Reference().End(), 13);
  EXPECT_EQ(alle.Item(2).Scope().Text(), "lumoStart");
  EXPECT_EQ(alle.Item(1).Author(), "A");
  EXPECT_THROW(alle.Item(3), Laufzeitfehler);
}

TEST(Comments, RewritingTheAmountAfterAMarkerKeepsTheMarker) {
  auto doc = Dokument(Kommentiert("Gesamt ", 1, "Betrag:", " 1.234,50 € und weiter"),
                      Kommentar(1, "lumoGesamt"));
  BetragErsetzen(*doc, "lumoGesamt", "     987,65 €");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Gesamt Betrag:     987,65 € und weiter\\r");
  Comment c = Finden(*doc, "lumoGesamt");
  EXPECT_EQ(c.Scope().Text(), "Betrag:");
  // A second run finds the new amount the same way.
  BetragErsetzen(*doc, "lumoGesamt", "   5,00 €");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Gesamt Betrag:   5,00 € und weiter\\r");
  std::string xml = doc->MainXml();
  EXPECT_LT(xml.find("commentReference"), xml.find("5,00"));
  EXPECT_LT(xml.find("commentRangeEnd"), xml.find("commentReference"));
}

TEST(Comments, WithoutAnAmountTheNewTextGoesRightAfterTheMarker) {
  auto doc = Dokument(Kommentiert("", 1, "Netto", "ohne Betrag hier"), Kommentar(1, "lumoNetto"));
  BetragErsetzen(*doc, "lumoNetto", "  12,00 €");
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "Netto  12,00 € ohne Betrag hier\\r");
  EXPECT_EQ(Finden(*doc, "lumoNetto").Scope().Text(), "Netto");
}

TEST(Comments, MoveWithTheirText) {
  auto doc = Dokument(Absatz("davor") + Kommentiert("x", 3, "Ziel", "y"), Kommentar(3, "k"));
  Comment c = doc->Comments().Item(1);
  doc->Range(0, 0).InsertAfter("neu ");
  doc->Range(5, 5).InsertParagraphBefore();
  EXPECT_EQ(c.Scope().Text(), "Ziel");
  EXPECT_EQ(c.Scope().Start(), 12);
  doc->Range(0, 4).Delete();
  EXPECT_EQ(c.Scope().Text(), "Ziel");
  EXPECT_EQ(c.Scope().Start(), 8);
}

// The markers, the shapes and the comments' positions are remembered between questions; each
// kind of edit must show in the next answer.
TEST(Comments, AnswersFollowEveryEditBetweenTwoQuestions) {
  auto doc = Dokument(Absatz("davor") + Kommentiert("x", 3, "Ziel", "y"), Kommentar(3, "k"));
  // "davor\r" then "x", "Ziel", the reference at 11.
  auto kommentareBei = [&](std::int32_t pos) { return doc->Range(pos, pos).Comments().Count(); };
  ASSERT_EQ(kommentareBei(11), 1);
  doc->Range(0, 0).InsertAfter("neu ");
  EXPECT_EQ(kommentareBei(11), 0);
  EXPECT_EQ(kommentareBei(15), 1);
  doc->Range(0, 4).Delete();
  EXPECT_EQ(kommentareBei(11), 1);
  doc->Tables().Add(doc->Range(0, 0), 2, 2);  // 2 × 3 marks and a paragraph before the text
  const std::int32_t nachTabelle = doc->Tables().Item(1).Range().End();
  EXPECT_EQ(kommentareBei(11), 0);
  EXPECT_EQ(kommentareBei(11 + nachTabelle), 1);
  doc->Tables().Item(1).Delete();
  EXPECT_EQ(kommentareBei(11), 1);
  doc->Bookmarks().Add("Marke", doc->Range(6, 7));
  EXPECT_EQ(kommentareBei(11), 1);
  EXPECT_TRUE(doc->Bookmarks().Exists("Marke"));
  doc->Range(6, 6).Comments().Add(doc->Range(6, 6), "neu");
  EXPECT_EQ(doc->Comments().Count(), 2);
  EXPECT_EQ(Sichtbar(doc->Comments().Item(1).Range().Text()), "neu\\r");
  const std::int32_t ende = doc->Content().End() - 1;
  doc->Range(ende, ende).Comments().Add(doc->Range(ende, ende), "am Ende");
  doc->Range(6, 6).Comments().Add(doc->Range(6, 6), "daneben");  // beside "neu": walked again
  ASSERT_EQ(doc->Comments().Count(), 4);
  EXPECT_EQ(Sichtbar(doc->Comments().Item(4).Range().Text()), "am Ende\\r");
  EXPECT_EQ(Sichtbar(doc->Comments().Item(3).Range().Text()), "k\\r");
  EXPECT_EQ(doc->Range(6, 6).Comments().Count(), 2);
  EXPECT_EQ(doc->Shapes().Count(), 0);
  doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 0, 0, 100, 20);
  EXPECT_EQ(doc->Shapes().Count(), 1);
  doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 0, 40, 100, 20);
  ASSERT_EQ(doc->Shapes().Count(), 2);
  EXPECT_NE(doc->Shapes().Item(1).Name(), doc->Shapes().Item(2).Name());
  doc->Shapes().Item(1).Delete();
  EXPECT_EQ(doc->Shapes().Count(), 1);
}

TEST(CommentsAdd, SplitsRunsAtTheRangeEdgesWithUniqueIds) {
  auto doc = Dokument("<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>abcdef</w:t></w:r></w:p>" +
                          Kommentiert("", 5, "alt", ""),
                      Kommentar(5, "alt"));
  Comment neu = doc->Comments().Add(doc->Range(2, 4), "Notiz");
  EXPECT_EQ(neu.Scope().Text(), "cd");
  EXPECT_EQ(Sichtbar(neu.Range().Text()), "Notiz\\r");
  EXPECT_EQ(doc->Comments().Count(), 2);
  EXPECT_TRUE(doc->Comments().Item(1) == neu);
  std::string xml = doc->MainXml();
  EXPECT_NE(xml.find("<w:t>ab</w:t></w:r><w:commentRangeStart w:id=\"6\"/><w:r><w:rPr><w:i/>"
                     "</w:rPr><w:t>cd</w:t></w:r><w:commentRangeEnd w:id=\"6\"/><w:r>"
                     "<w:commentReference w:id=\"6\"/></w:r><w:r><w:rPr><w:i/></w:rPr>"
                     "<w:t>ef</w:t>"),
            std::string::npos)
      << xml;
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "abcdef\\ralt\\r");
  // The other comment is untouched.
  EXPECT_NE(doc->CommentsXml().find("w:id=\"5\""), std::string::npos);
}

TEST(CommentsAdd, OnACollapsedRangeAndInANewCommentsPart) {
  auto doc = Dokument(Absatz("ab"));
  EXPECT_EQ(doc->CommentsXml(), "");
  Comment c = doc->Comments().Add(doc->Range(1, 1), "Punkt");
  EXPECT_EQ(c.Scope().Start(), 1);
  EXPECT_EQ(c.Scope().End(), 1);
  EXPECT_NE(doc->CommentsXml().find("<w:t>Punkt</w:t>"), std::string::npos);
  EXPECT_TRUE(doc->Package().HasPart("word/comments.xml"));
  EXPECT_EQ(doc->Package().RelatedPart(doc->Package().MainPartName(), docx::kRelComments),
            "word/comments.xml");
}

TEST(CommentsAdd, ATagInACellIsTheTablesFirstComment) {
  auto doc = Dokument(Absatz(""));
  Table t = doc->Tables().Add(doc->Range(0, 0), 2, 5);
  t.Cell(1, 5).Range().InsertAfter("Gebühr");
  // Tag the table as the invoice routines do: select cell (1,5), comment on the selection.
  t.Cell(1, 5).Select();
  Range ziel = t.Cell(1, 5).Range();
  ziel.Collapse(wdCollapseEnd);
  ziel.Comments().Add(doc->Application()->Selection().Range(), "TARVO_03_1");
  Comments inTabelle = t.Range().Comments();
  ASSERT_EQ(inTabelle.Count(), 1);
  EXPECT_EQ(Sichtbar(inTabelle.Item(1).Range().Text()), "TARVO_03_1\\r");
  EXPECT_EQ(inTabelle.Item(1).Scope().Text(), "Gebühr");
  EXPECT_EQ(t.Cell(1, 5).Range().Comments().Count(), 1);
  EXPECT_EQ(t.Cell(1, 4).Range().Comments().Count(), 0);
  EXPECT_EQ(t.Cell(2, 1).Range().Comments().Count(), 0);
  // Text appended to the cell later goes after the tag's markers.
  t.Cell(1, 5).Range().InsertAfter(" neu");
  EXPECT_EQ(inTabelle.Item(1).Scope().Text(), "Gebühr");
}

TEST(CommentsDelete, RemovesRepliesStateOfThatCommentOnly) {
  docx::Package paket = docx::Package::Blank();
  std::string haupt = paket.MainPartName();
  paket.SetPart(haupt, test::Hauptteil(Kommentiert("", 1, "a", "") + Kommentiert("", 2, "b", "")));
  paket.AddRelationship(haupt, docx::kRelComments, "word/comments.xml");
  paket.SetPart(
      "word/comments.xml",
      test::Kommentarteil("<w:comment w:id=\"1\"><w:p xmlns:w14=\"x\" w14:paraId=\"00000001\"><w:r>"
                          "<w:t>eins</w:t></w:r></w:p></w:comment><w:comment w:id=\"2\"><w:p "
                          "xmlns:w14=\"x\" w14:paraId=\"00000002\"><w:r><w:t>zwei</w:t></w:r></w:p>"
                          "</w:comment>"),
      docx::kTypeComments);
  const char* kEx = "http://schemas.microsoft.com/office/2011/relationships/commentsExtended";
  paket.AddRelationship(haupt, kEx, "word/commentsExtended.xml");
  std::string extended =
      "<?xml version=\"1.0\"?><w15:commentsEx xmlns:w15=\"y\"><w15:commentEx "
      "w15:paraId=\"00000001\" w15:done=\"1\"/><w15:commentEx w15:paraId=\"00000002\" "
      "w15:paraIdParent=\"00000001\" w15:done=\"0\"/></w15:commentsEx>";
  paket.SetPart(
      "word/commentsExtended.xml", extended,
      "application/vnd.openxmlformats-officedocument.wordprocessingml.commentsExtended+xml");
  auto doc = Document::FromPackage(std::move(paket));
  // Adding a comment leaves the resolved state and replies alone.
  doc->Comments().Add(doc->Range(0, 1), "neu");
  EXPECT_EQ(doc->Package().PartBytes("word/commentsExtended.xml"), extended);
  Finden(*doc, "zwei").Delete();
  std::string danach = doc->Package().PartBytes("word/commentsExtended.xml");
  EXPECT_NE(danach.find("00000001"), std::string::npos);
  EXPECT_EQ(danach.find("00000002"), std::string::npos);
  EXPECT_EQ(doc->Comments().Count(), 2);
}

TEST(Comments, TablesGoToTheStartMarkerAndLeaveItInPlace) {
  auto doc = Dokument(Absatz("Anschreiben") + Kommentiert("", 4, "hier", "") + Absatz("Gruß"),
                      Kommentar(4, "lumoStart"));
  for (int lauf = 1; lauf <= 2; ++lauf) {
    // The insertion point of the invoice routines.
    Range ort = Finden(*doc, "lumoStart").Reference();
    ort.Collapse(wdCollapseStart);
    ort.MoveStart(wdWord, -1);
    ort.InsertParagraphBefore();
    ort.Collapse(wdCollapseStart);
    ort.Collapse(wdCollapseEnd);
    ort.InsertParagraphAfter();
    ort.Collapse(wdCollapseEnd);
    Table t = doc->Tables().Add(ort, 1, 1);
    t.Cell(1, 1).Range().InsertAfter("T" + std::to_string(lauf));
  }
  EXPECT_EQ(Sichtbar(doc->Content().Text()),
            "Anschreiben\\r\\rT1\\r\\a\\r\\a\\r\\rT2\\r\\a\\r\\a\\rhier\\rGruß\\r");
  EXPECT_EQ(doc->Comments().Count(), 1);
  EXPECT_EQ(Finden(*doc, "lumoStart").Scope().Text(), "hier");
}

}  // namespace
}  // namespace tarvo::word
