#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "errors/Laufzeitfehler.h"
#include "platform/word/Document.h"
#include "platform/word/WortTest.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word {
namespace {

namespace fs = std::filesystem;
using test::Absatz;
using test::Sichtbar;

class DocumentDatei : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner_ = fs::temp_directory_path() /
              ("tarvo_word_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(ordner_);
  }
  void TearDown() override {
    docx::SetSaveFaultHookForTesting({});
    fs::remove_all(ordner_);
  }
  fs::path Pfad(const std::string& name) const { return ordner_ / name; }

  static std::string Lesen(const fs::path& pfad) {
    std::ifstream ein(pfad, std::ios::binary);
    std::stringstream s;
    s << ein.rdbuf();
    return s.str();
  }

  // A statement table as the invoice routines write it: widths, tag, amounts.
  static void Rechnung(Document& doc) {
    Application& app = *doc.Application();
    Range ende = doc.Content();
    ende.Collapse(wdCollapseEnd);
    ende.InsertParagraphAfter();
    ende.Collapse(wdCollapseEnd);
    Table t = doc.Tables().Add(ende, 3, 5);
    t.Select();
    for (std::int32_t rand = wdBorderTop; rand >= wdBorderVertical; --rand)
      app.Selection().Borders(rand).SetLineStyle(wdLineStyleNone);
    app.Selection().ParagraphFormat().SetAlignment(wdAlignParagraphRight);
    const float breiten[] = {7.12f, 2.75f, 2.75f, 2.37f, 2.5f};
    for (int c = 1; c <= 5; ++c)
      t.Columns(c).SetWidth(app.CentimetersToPoints(breiten[c - 1]), wdAdjustNone);
    t.Columns(1).Select();
    app.Selection().ParagraphFormat().SetAlignment(wdAlignParagraphLeft);
    t.Cell(1, 1).Range().InsertAfter("Katastervermessung nach Nr. 2");
    t.Cell(1, 1).Range().SetBold(true);
    t.Cell(2, 5).Range().InsertAfter("Gebühr");
    t.Cell(3, 1).Range().InsertAfter("Flurstück 12/3");
    t.Cell(3, 5).Range().InsertAfter("  1.234,50");
    t.Cell(3, 5).Range().InsertAfter(" €");
    t.Cell(1, 5).Select();
    Range zelle = t.Cell(1, 5).Range();
    zelle.Collapse(wdCollapseEnd);
    zelle.Comments().Add(app.Selection().Range(), "TARVO_03_1");
  }

  fs::path ordner_;
};

TEST_F(DocumentDatei, SavedDocumentReadsBackTheSame) {
  auto doc = Document::New();
  Rechnung(*doc);
  doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 70, 700, 400, 50);
  doc->Shapes().Item(1).TextFrame().TextRange().InsertAfter("Zahlbar bis 15.12.2026");
  doc->Save(Pfad("a.docx"));
  auto wieder = Document::Open(Pfad("a.docx"));
  EXPECT_EQ(Sichtbar(wieder->Content().Text()), Sichtbar(doc->Content().Text()));
  ASSERT_EQ(wieder->Tables().Count(), 1);
  Table t = wieder->Tables().Item(1);
  EXPECT_EQ(t.Rows().Count(), 3);
  EXPECT_EQ(Sichtbar(t.Cell(3, 5).Range().Text()), "  1.234,50 €\\r\\a");
  EXPECT_EQ(Sichtbar(t.Range().Comments().Item(1).Range().Text()), "TARVO_03_1\\r");
  EXPECT_NEAR(t.Columns(1).Width(), 201.85, 0.05);
  EXPECT_EQ(wieder->Shapes().Count(), 1);
  // Saving again without edits changes nothing.
  wieder->Save(Pfad("b.docx"));
  auto drittes = Document::Open(Pfad("b.docx"));
  EXPECT_EQ(drittes->MainXml(), wieder->MainXml());
}

TEST_F(DocumentDatei, UntouchedPartsStayByteIdentical) {
  auto doc = Document::New();
  doc->Content().InsertAfter("Text");
  doc->Save(Pfad("a.docx"));
  auto geladen = Document::Open(Pfad("a.docx"));
  geladen->Range(0, 0).InsertAfter("neu ");
  const docx::Package& paket = geladen->Package();
  EXPECT_TRUE(paket.IsModified(paket.MainPartName()));
  for (const std::string& teil : paket.PartNames()) {
    if (teil != paket.MainPartName()) {
      EXPECT_FALSE(paket.IsModified(teil)) << teil;
    }
  }
}

TEST_F(DocumentDatei, BadFilesGiveAGermanErrorNamingTheFile) {
  std::ofstream(Pfad("kaputt.docx")) << "kein zip";
  for (const char* name : {"kaputt.docx", "fehlt.docx"}) {
    SCOPED_TRACE(name);
    try {
      Document::Open(Pfad(name));
      FAIL();
    } catch (const Laufzeitfehler& f) {
      EXPECT_NE(f.Beschreibung().find(name), std::string::npos) << f.Beschreibung();
    }
  }
  // A main part without a body.
  docx::Package paket = docx::Package::Blank();
  paket.SetPart(paket.MainPartName(),
                test::Hauptteil("").substr(0, 0) + "<w:document xmlns:w=\"" + test::kWNs + "\"/>");
  try {
    Document::FromPackage(std::move(paket));
    FAIL();
  } catch (const Laufzeitfehler& f) {
    EXPECT_EQ(f.Nummer(), 75);
    EXPECT_NE(f.Beschreibung().find("kein Dokumentkörper"), std::string::npos);
  }
}

TEST_F(DocumentDatei, FailedSaveKeepsTheOldFile) {
  auto doc = Document::New();
  doc->Content().InsertAfter("alt");
  doc->Save(Pfad("r.docx"));
  std::string vorher = Lesen(Pfad("r.docx"));
  doc->Content().InsertAfter(" und neu");
  docx::SetSaveFaultHookForTesting([](docx::SaveStep s) { return s == docx::SaveStep::Rename; });
  EXPECT_THROW(doc->Save(Pfad("r.docx")), Laufzeitfehler);
  docx::SetSaveFaultHookForTesting({});
  EXPECT_EQ(Lesen(Pfad("r.docx")), vorher);
  std::size_t dateien = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(ordner_)) ++dateien;
  EXPECT_EQ(dateien, 1u);
  EXPECT_EQ(Sichtbar(Document::Open(Pfad("r.docx"))->Content().Text()), "alt\\r");
}

// An independent reader: python-docx sees the tables, widths, texts and comments we wrote.
TEST_F(DocumentDatei, PythonDocxReadsWhatWeWrote) {
  if (std::system("/usr/bin/python3 -c 'import docx' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-docx fehlt";
  auto doc = Document::New();
  doc->Content().InsertAfter("Rechnung Nr. 7");
  Rechnung(*doc);
  doc->Shapes().AddTextbox(msoTextOrientationHorizontal, 70, 700, 400, 50);
  doc->Save(Pfad("p.docx"));
  std::ofstream(Pfad("lesen.py"))
      << "import sys, docx\n"
         "d = docx.Document(sys.argv[1])\n"
         "print('P', '|'.join(p.text for p in d.paragraphs))\n"
         "for t in d.tables:\n"
         "    print('T', len(t.rows), len(t.columns))\n"
         "    for r in t.rows:\n"
         "        print('R', '|'.join(c.text for c in r.cells))\n"
         "    print('W', ','.join(str(round(c.width.cm, 2)) for c in t.rows[2].cells))\n"
         "for part in d.part.package.parts:\n"
         "    if str(part.partname).endswith('comments.xml'):\n"
         "        print('C', b'TARVO_03_1' in part.blob)\n";
  std::string befehl = "/usr/bin/python3 " + Pfad("lesen.py").string() + " " +
                       Pfad("p.docx").string() + " > " + Pfad("aus.txt").string() + " 2>&1";
  ASSERT_EQ(std::system(befehl.c_str()), 0) << Lesen(Pfad("aus.txt"));
  EXPECT_EQ(Lesen(Pfad("aus.txt")),
            "P Rechnung Nr. 7|\n"
            "T 3 5\n"
            "R Katastervermessung nach Nr. 2||||\n"
            "R ||||Gebühr\n"
            "R Flurstück 12/3||||  1.234,50 €\n"
            "W 7.12,2.75,2.75,2.37,2.5\n"
            "C True\n");
}

}  // namespace
}  // namespace tarvo::word
