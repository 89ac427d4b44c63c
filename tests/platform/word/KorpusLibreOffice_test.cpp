// A real client reads what we save: for a representative subset of the corpus, the copy that
// `tarvo roundtrip` writes converts to PDF in LibreOffice like the original and gives the same
// text. Each file runs with a LibreOffice profile of its own, so tests may run side by side.
// scripts/corpus-libreoffice.sh does the same for the whole corpus.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Korpus.h"
#include "platform/word/docx/Package.h"

namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) {
  std::string quoted = "'";
  for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Lesen(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Runs a shell command; returns its exit status.
int Ausfuehren(const std::string& command) {
  int status = std::system(("{ " + command + "; } >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class KorpusLibreOffice : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    TARVO_KORPUS_NOETIG();
    ASSERT_EQ(Ausfuehren("command -v soffice && command -v pdftotext"), 0)
        << "LibreOffice (soffice) and poppler-utils (pdftotext) are needed";
    stem_ = fs::path(GetParam()).stem().string();
    folder_ = fs::path(TARVO_BINARY_DIR) / "testdata" / "libreoffice" / stem_;
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(folder_);
  }

  // Converts a document to PDF into `outdir` with the test's own profile.
  int NachPdf(const fs::path& docx, const fs::path& outdir) {
    return Ausfuehren("timeout 300 soffice -env:UserInstallation=file://" +
                      (folder_ / "profil").string() + " --headless --convert-to pdf --outdir " +
                      Quoted(outdir) + " " + Quoted(docx));
  }
  std::string Text(const fs::path& pdf) {
    fs::path text = pdf;
    text.replace_extension(".txt");
    EXPECT_EQ(Ausfuehren("pdftotext -enc UTF-8 " + Quoted(pdf) + " " + Quoted(text)), 0) << pdf;
    return Lesen(text);
  }

  std::string stem_;
  fs::path folder_;
};

TEST_P(KorpusLibreOffice, TheSavedCopyShowsTheSameText) {
  const fs::path original = tarvo::test::KorpusOrdner() / GetParam();
  // The copy keeps the original's name, as a FILENAME field shows it.
  fs::create_directories(folder_ / "kopie");
  const fs::path kopie = folder_ / "kopie" / GetParam();
  ASSERT_EQ(Ausfuehren(std::string(Quoted(TARVO_EXE)) + " roundtrip " + Quoted(original) + " " +
                       Quoted(kopie)),
            0);
  ASSERT_TRUE(fs::exists(kopie));
  EXPECT_EQ(NachPdf(original, folder_), 0);
  EXPECT_EQ(NachPdf(kopie, folder_ / "kopie"), 0);
  const fs::path pdfOriginal = folder_ / (stem_ + ".pdf");
  const fs::path pdfKopie = folder_ / "kopie" / (stem_ + ".pdf");
  ASSERT_TRUE(fs::exists(pdfOriginal) && fs::file_size(pdfOriginal) > 0);
  ASSERT_TRUE(fs::exists(pdfKopie) && fs::file_size(pdfKopie) > 0)
      << "LibreOffice converted the original but not the copy";
  const std::string textOriginal = Text(pdfOriginal);
  EXPECT_FALSE(textOriginal.empty());
  EXPECT_EQ(Text(pdfKopie), textOriginal);
}

TEST(NeuesDokument, OpensAsA4InPythonDocxAndLibreOffice) {
  const fs::path folder = fs::path(TARVO_BINARY_DIR) / "testdata" / "libreoffice" / "neu";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path neu = folder / "neu.docx";
  tarvo::word::docx::Package::Blank().Save(neu);
  EXPECT_EQ(Ausfuehren("/usr/bin/python3 -c \"import docx,sys; d=docx.Document(sys.argv[1]); "
                       "assert len(d.paragraphs) == 1; "
                       "assert abs(d.sections[0].page_width.cm - 21.0) < 0.01\" " +
                       Quoted(neu)),
            0);
  EXPECT_EQ(Ausfuehren("timeout 300 soffice -env:UserInstallation=file://" +
                       (folder / "profil").string() + " --headless --convert-to pdf --outdir " +
                       Quoted(folder) + " " + Quoted(neu)),
            0);
  ASSERT_TRUE(fs::exists(folder / "neu.pdf"));
  EXPECT_EQ(Ausfuehren("pdfinfo " + Quoted(folder / "neu.pdf") + " | grep -q 'A4'"), 0);
}

// Comments, tables, text boxes, headers, content controls, a field, an invoice template.
INSTANTIATE_TEST_SUITE_P(Auswahl, KorpusLibreOffice,
                         ::testing::Values("poi__testComment.docx", "oxsdk__cellWithComment.docx",
                                           "pydocx__tbl-cell-access.docx",
                                           "oxsdk__complex_tables.docx", "mammoth__text-box.docx",
                                           "docx4j__Headers.docx", "pandoc__sdt_elements.docx",
                                           "docx4j__invoice.docx", "poi__FldSimple.docx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name;
                           for (const char* c = info.param; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

}  // namespace
