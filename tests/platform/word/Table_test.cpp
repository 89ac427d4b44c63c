#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/WortTest.h"

namespace tarvo::word {
namespace {

using test::Absatz;
using test::Dokument;
using test::Sichtbar;

int Fehlernummer(const std::function<void()>& schritt) {
  try {
    schritt();
  } catch (const Laufzeitfehler& f) {
    return f.Nummer();
  }
  return 0;
}

// The cell texts of a table without their end marks, rows joined by "|" and cells by ",".
std::string ZellText(const Table& t) {
  std::string text = t.Cell(1, 1).Range().Text();
  return text.substr(0, text.size() - 2);
}

std::string Zellen(const Table& t) {
  std::string out;
  for (std::int32_t r = 1; r <= t.Rows().Count(); ++r) {
    if (r > 1) out += "|";
    for (std::int32_t c = 1; c <= t.Columns().Count(); ++c) {
      std::string text = t.Cell(r, c).Range().Text();
      if (c > 1) out += ",";
      out += text.substr(0, text.size() - 2);
    }
  }
  return out;
}

TEST(TablesAdd, AtAParagraphStartGoesBeforeIt) {
  auto doc = Dokument(Absatz("vor") + Absatz("nach"));
  Range stelle = doc->Range(4, 4);
  Range danach = doc->Range(4, 8);  // "nach" moves behind the table
  Table t = doc->Tables().Add(stelle, 2, 3);
  EXPECT_EQ(doc->Tables().Count(), 1);
  EXPECT_EQ(t.Rows().Count(), 2);
  EXPECT_EQ(t.Columns().Count(), 3);
  EXPECT_EQ(Sichtbar(doc->Content().Text()),
            "vor\\r\\r\\a\\r\\a\\r\\a\\r\\a\\r\\a\\r\\a\\r\\a\\r\\anach\\r");
  EXPECT_EQ(danach.Text(), "nach");
  EXPECT_EQ(t.Range().Start(), 4);
  EXPECT_EQ(t.Range().End(), 12);
}

TEST(TablesAdd, InsideAParagraphSplitsIt) {
  auto doc = Dokument(Absatz("linksrechts"));
  doc->Tables().Add(doc->Range(5, 5), 1, 1);
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "links\\r\\r\\a\\r\\arechts\\r");
}

TEST(TablesAdd, AtTheEndGetsAParagraphAfterIt) {
  auto doc = Dokument(Absatz("text"));
  Range ende = doc->Content();
  ende.Collapse(wdCollapseEnd);
  ende.InsertParagraphAfter();
  ende.Collapse(wdCollapseEnd);
  Table t = doc->Tables().Add(ende, 1, 2);
  std::string xml = doc->MainXml();
  // Every cell ends with a paragraph, the table is followed by one, grid and widths written.
  EXPECT_NE(xml.find("<w:tblGrid><w:gridCol w:w=\"4819\"/><w:gridCol w:w=\"4819\"/></w:tblGrid>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<w:tc><w:tcPr><w:tcW w:w=\"4819\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>"),
            std::string::npos);
  EXPECT_NE(xml.find("</w:tbl><w:p"), std::string::npos);
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "text\\r\\r\\a\\r\\a\\r\\a\\r");
}

// Two tables that touch are one table to the word processors: a table added right after
// another (an empty paragraph directly after it, as a marker placed mid-paragraph leaves it)
// keeps an empty paragraph between the two.
TEST(TablesAdd, RightAfterATableKeepsAParagraphBetween) {
  auto doc = Dokument(Absatz("vor") + Absatz("nach"));
  Table erste = doc->Tables().Add(doc->Range(3, 3), 1, 1);  // at the end of "vor"
  Range stelle = doc->Range(erste.Range().End(), erste.Range().End());
  stelle.InsertParagraphBefore();  // an empty paragraph right after the table
  stelle.Collapse(wdCollapseStart);
  Table zweite = doc->Tables().Add(stelle, 1, 1);
  EXPECT_EQ(doc->Tables().Count(), 2);
  EXPECT_EQ(doc->MainXml().find("</w:tbl><w:tbl"), std::string::npos) << doc->MainXml();
  EXPECT_EQ(Sichtbar(doc->Content().Text()),
            "vor\\r\\r\\a\\r\\a\\r\\r\\a\\r\\a\\r"
            "nach\\r");
  EXPECT_EQ(zweite.Range().Start(), erste.Range().End() + 1);
}

// Deleting a table that another follows leaves an empty paragraph in its place: a range held at
// its start stays between the two instead of sliding into the next table, so a table added
// there (a statement replaced in place) is neither nested nor joined.
TEST(TableDelete, AFollowingTableKeepsThePlaceApart) {
  // Two touching tables, as files written before may hold them.
  auto doc2 =
      Dokument(Absatz("vor") +
               "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>A</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
               "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>B</w:t></w:r></w:p></w:tc></w:tr></w:tbl>" +
               Absatz("nach"));
  ASSERT_EQ(doc2->Tables().Count(), 2);
  Table a = doc2->Tables().Item(1);
  Table b = doc2->Tables().Item(2);
  Range stelle = a.Range();
  stelle.Collapse(wdCollapseStart);
  Range nachB = doc2->Range(b.Range().End(), b.Range().End() + 4);
  ASSERT_EQ(nachB.Text(), "nach");
  a.Delete();
  EXPECT_EQ(Sichtbar(doc2->Content().Text()), "vor\\r\\rB\\r\\a\\r\\anach\\r");
  EXPECT_EQ(stelle.Start(), 4);
  EXPECT_FALSE(stelle.Information(wdWithInTable));
  EXPECT_EQ(nachB.Text(), "nach");
  Table neu = doc2->Tables().Add(stelle, 1, 1);
  neu.Cell(1, 1).Range().InsertAfter("N");
  ASSERT_EQ(doc2->Tables().Count(), 2);
  EXPECT_EQ(ZellText(doc2->Tables().Item(1)), "N");
  EXPECT_EQ(ZellText(doc2->Tables().Item(2)), "B");
  EXPECT_EQ(doc2->MainXml().find("</w:tbl><w:tbl"), std::string::npos);
  EXPECT_EQ(doc2->MainXml().find("<w:tc><w:tbl"), std::string::npos);
}

TEST(TableCells, TextAppendedGoesAfterWhatTheCellHolds) {
  auto doc = Dokument(Absatz(""));
  Table t = doc->Tables().Add(doc->Range(0, 0), 2, 2);
  t.Cell(2, 1).Range().InsertAfter("unten");
  t.Cell(1, 2).Range().InsertAfter("12,50");
  t.Cell(1, 2).Range().InsertAfter(" €");
  t.Cell(1, 1).Range().InsertAfter("Zeile 1\r\nzweite");
  EXPECT_EQ(Zellen(t), "Zeile 1\rzweite,12,50 €|unten,");
}

TEST(TableCells, MissingCellsRowsAndColumnsThrow5941) {
  auto doc = Dokument(Absatz(""));
  Table t = doc->Tables().Add(doc->Range(0, 0), 2, 3);
  EXPECT_EQ(Fehlernummer([&] { t.Cell(3, 1); }), 5941);
  EXPECT_EQ(Fehlernummer([&] { t.Cell(1, 4); }), 5941);
  EXPECT_EQ(Fehlernummer([&] { t.Cell(0, 1); }), 5941);
  EXPECT_EQ(Fehlernummer([&] { t.Columns(4); }), 5941);
  EXPECT_EQ(Fehlernummer([&] { doc->Tables().Item(2); }), 5941);
  EXPECT_EQ(Fehlernummer([&] { doc->Tables().Item(0); }), 5941);
}

TEST(TableRows, AddAppendsAnEmptyRowLikeTheLast) {
  auto doc = Dokument(Absatz("") + Absatz("danach"));
  Table t = doc->Tables().Add(doc->Range(0, 0), 1, 2);
  t.Cell(1, 1).Range().InsertAfter("a");
  t.Cell(1, 1).Range().ParagraphFormat().SetAlignment(wdAlignParagraphRight);
  Range danach = doc->Range(t.Range().End() + 1, t.Range().End() + 7);
  ASSERT_EQ(danach.Text(), "danach");
  t.Rows().Add();
  t.Rows().Add();
  EXPECT_EQ(t.Rows().Count(), 3);
  EXPECT_EQ(Zellen(t), "a,|,|,");
  EXPECT_EQ(t.Cell(3, 1).Range().ParagraphFormat().Alignment(), wdAlignParagraphRight);
  t.Cell(3, 2).Range().InsertAfter("z");
  EXPECT_EQ(danach.Text(), "danach");  // ranges after the table shift along
}

TEST(TableWidths, ColumnAndCellWidthsRebuildTheGrid) {
  auto doc = Dokument(Absatz(""));
  Application& app = *doc->Application();
  Table t = doc->Tables().Add(doc->Range(0, 0), 2, 3);
  t.Columns(1).SetWidth(app.CentimetersToPoints(2), wdAdjustNone);
  t.Columns(2).SetWidth(app.CentimetersToPoints(3), wdAdjustNone);
  t.Columns(3).SetWidth(app.CentimetersToPoints(1), wdAdjustNone);
  EXPECT_NEAR(t.Cell(2, 2).Width(), 85.04, 0.05);
  // Row 1 spans differently: 4 cm and 1 cm and 1 cm.
  t.Cell(1, 1).SetWidth(app.CentimetersToPoints(4), wdAdjustNone);
  t.Cell(1, 2).SetWidth(app.CentimetersToPoints(1), wdAdjustNone);
  std::string xml = doc->MainXml();
  // Edges: 1134 (row 2), 1701, 2268 (row 1), 3402; the grid holds every edge once.
  EXPECT_NE(xml.find("<w:tblGrid><w:gridCol w:w=\"1134\"/><w:gridCol w:w=\"1134\"/>"
                     "<w:gridCol w:w=\"567\"/><w:gridCol w:w=\"567\"/></w:tblGrid>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<w:tcW w:w=\"2268\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/>"),
            std::string::npos);
  EXPECT_NE(xml.find("<w:tcW w:w=\"1701\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/>"),
            std::string::npos);
}

TEST(TableDelete, RemovesTheTableItsCommentsAndKillsHandles) {
  auto doc = Dokument(Absatz("a") + Absatz("b"));
  Table t = doc->Tables().Add(doc->Range(2, 2), 2, 2);
  Range b = doc->Range(t.Range().End(), t.Range().End() + 1);
  ASSERT_EQ(b.Text(), "b");
  Cell zelle = t.Cell(1, 2);
  zelle.Range().InsertAfter("x");
  doc->Comments().Add(zelle.Range(), "TARVO_Neben");
  Comment c = doc->Comments().Item(1);
  Range r = t.Range();
  t.Delete();
  EXPECT_TRUE(t.IsDeleted());
  EXPECT_EQ(doc->Tables().Count(), 0);
  EXPECT_EQ(doc->Comments().Count(), 0);
  EXPECT_EQ(Sichtbar(doc->Content().Text()), "a\\rb\\r");
  EXPECT_EQ(b.Text(), "b");
  EXPECT_EQ(r.Start(), 2);
  EXPECT_EQ(r.End(), 2);
  EXPECT_EQ(Fehlernummer([&] { t.Rows().Count(); }), 5825);
  EXPECT_EQ(Fehlernummer([&] { zelle.Range(); }), 5825);
  EXPECT_EQ(Fehlernummer([&] { c.Range(); }), 5825);
  EXPECT_EQ(doc->MainXml().find("commentRangeStart"), std::string::npos);
  EXPECT_EQ(doc->CommentsXml().find("TARVO_Neben"), std::string::npos);
}

TEST(Tables, AreListedInDocumentOrderAndCompareBySameTable) {
  auto doc = Dokument(Absatz("") + Absatz("") + Absatz(""));
  Table zweite = doc->Tables().Add(doc->Range(1, 1), 1, 1);
  Table erste = doc->Tables().Add(doc->Range(0, 0), 1, 1);
  EXPECT_TRUE(doc->Tables().Item(1) == erste);
  EXPECT_TRUE(doc->Tables().Item(2) == zweite);
  EXPECT_FALSE(erste == zweite);
  Range inZweiter = zweite.Cell(1, 1).Range();
  inZweiter.Collapse(wdCollapseStart);
  EXPECT_TRUE(inZweiter.Tables().Item(1) == zweite);
}

TEST(Tables, TablesInsideContentControlsCountNestedOnesDoNot) {
  auto doc = Dokument(
      "<w:sdt><w:sdtContent><w:tbl><w:tr><w:tc><w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>"
      "<w:p/></w:tc></w:tr></w:tbl></w:sdtContent></w:sdt>" +
      Absatz(""));
  EXPECT_EQ(doc->Tables().Count(), 1);
  EXPECT_EQ(Sichtbar(doc->Tables().Item(1).Cell(1, 1).Range().Text()), "\\r\\a\\r\\a\\r\\a");
}

}  // namespace
}  // namespace tarvo::word

namespace tarvo::word {
namespace {

// A width change queues the table for a grid rebuild at save; a document dropped before saving
// must still release everything it holds.
TEST(TableLifetime, DocumentDroppedWithPendingWidthsReleasesItsCore) {
  std::weak_ptr<detail::Core> kern;
  {
    auto doc = Document::New();
    Table t = doc->Tables().Add(doc->Range(0, 0), 2, 2);
    t.Columns(1).SetWidth(50, wdAdjustNone);
    t.Cell(1, 2).SetWidth(20, wdAdjustNone);
    kern = doc->Core();
  }
  EXPECT_TRUE(kern.expired());
}

}  // namespace
}  // namespace tarvo::word

namespace tarvo::word {
namespace {

// A cell of the test table below: its body XML.
std::string Zellxml(std::int32_t r, std::int32_t c) {
  const std::string text = std::to_string(r) + "/" + std::to_string(c);
  switch ((r * 3 + c) % 6) {
    case 0:
      return "<w:tc><w:tcPr><w:tcW w:w=\"1000\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>";
    case 1:
      return "<w:tc>" + test::Absatz(text) + test::Absatz("zwei") + "</w:tc>";
    case 2:  // a table in the cell
      return "<w:tc><w:tbl><w:tr><w:tc>" + test::Absatz("innen") + "</w:tc><w:tc>" +
             test::Absatz(text) + "</w:tc></w:tr></w:tbl>" + test::Absatz("") + "</w:tc>";
    case 3:
      return "<w:tc><w:bookmarkStart w:id=\"" + std::to_string(r * 10 + c) + "\" w:name=\"m" +
             std::to_string(r * 10 + c) + "\"/><w:p><w:r><w:t>" + text +
             "</w:t></w:r><w:r><w:tab/></w:r></w:p><w:bookmarkEnd w:id=\"" +
             std::to_string(r * 10 + c) + "\"/></w:tc>";
    default:
      return "<w:tc>" + test::Absatz(text) + "</w:tc>";
  }
}

// Reading many cells of a long table without changing it counts on from the cell read before:
// every range must be the one a single read of that cell in a fresh document gives, whichever
// order the cells are read in.
TEST(TableCells, ReadOneAfterAnotherGiveTheRangesOfSingleReads) {
  constexpr std::int32_t zeilen = 40, spalten = 3;
  std::string body = test::Absatz("davor") + "<w:tbl><w:tblPr/>";
  for (std::int32_t r = 1; r <= zeilen; ++r) {
    body += "<w:tr><w:trPr/>";
    for (std::int32_t c = 1; c <= spalten; ++c) body += Zellxml(r, c);
    body += "</w:tr>";
  }
  body += "</w:tbl>" + test::Absatz("danach");
  std::map<std::pair<int, int>, std::pair<int, int>> einzeln;
  for (std::int32_t r = 1; r <= zeilen; ++r)
    for (std::int32_t c = 1; c <= spalten; ++c) {
      auto doc = Dokument(body);  // a fresh document: the cell is the first one read
      Range z = doc->Tables().Item(1).Cell(r, c).Range();
      einzeln[{r, c}] = {z.Start(), z.End()};
    }
  auto doc = Dokument(body);
  Table t = doc->Tables().Item(1);
  for (int runde = 0; runde < 2; ++runde)
    for (std::int32_t i = 0; i < zeilen * spalten; ++i) {
      const std::int32_t k = runde == 0 ? i : zeilen * spalten - 1 - i;
      const std::int32_t r = k / spalten + 1, c = k % spalten + 1;
      Range z = t.Cell(r, c).Range();
      ASSERT_EQ(std::make_pair(z.Start(), z.End()), (einzeln[{r, c}]))
          << "Zelle " << r << "/" << c << ", Runde " << runde;
    }
  // After a change the ranges follow it.
  t.Cell(2, 1).Range().InsertAfter("neu");
  for (std::int32_t c = 1; c <= spalten; ++c)
    EXPECT_EQ(t.Cell(zeilen, c).Range().Start(), (einzeln[{zeilen, c}].first + 3));
  EXPECT_EQ(Sichtbar(t.Cell(2, 1).Range().Text()), "2/1\\rzweineu\\r\\a");
}

}  // namespace
}  // namespace tarvo::word
