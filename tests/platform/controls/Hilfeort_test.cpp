// Where the help call finds the help: beside the library first (the build tree, an office's own
// copy), then the package's data folder beside the installed library's lib folder; and which
// page F1 opens in which form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "errors/Protokoll.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class Hilfeort : public ::testing::Test {
 protected:
  void SetUp() override {
    wurzel_ = fs::temp_directory_path() / ("tarvo-hilfeort-" + std::to_string(::getpid()));
    fs::remove_all(wurzel_);
    bibliothek_ = wurzel_ / "prefix" / "lib";
    fs::create_directories(bibliothek_);
    daten_ = (bibliothek_ / TARVO_DATEN_RELATIV).lexically_normal();
    protokoll::SetzeBibliotheksOrdner(bibliothek_);
  }
  void TearDown() override {
    protokoll::SetzeBibliotheksOrdner({});
    fs::remove_all(wurzel_);
  }
  static void Anlegen(const fs::path& ordner) {
    fs::create_directories(ordner / "Hilfe");
    std::ofstream(ordner / "Hilfe" / "index.html") << "<html></html>";
  }

  fs::path wurzel_, bibliothek_, daten_;
};

TEST_F(Hilfeort, HelpBesideTheLibraryComesFirst) {
  Anlegen(bibliothek_);
  Anlegen(daten_);
  EXPECT_EQ(HilfeDatei(), bibliothek_ / "Hilfe" / "LumoHelp.chm");
}

TEST_F(Hilfeort, AnInstalledSystemFindsItInThePackageDataFolder) {
  Anlegen(daten_);
  EXPECT_EQ(HilfeDatei(), daten_ / "Hilfe" / "LumoHelp.chm");
  EXPECT_EQ(daten_.filename(), "tarvo");
  EXPECT_EQ(daten_.parent_path().filename(), "share");
}

TEST_F(Hilfeort, WithoutAnyHelpTheLibraryFolderIsNamed) {
  EXPECT_EQ(HilfeDatei(), bibliothek_ / "Hilfe" / "LumoHelp.chm");
}

TEST(Hilfethema, EachCategoryFormAndTheTableChoiceHaveAPageThatExists) {
  const char* formulare[] = {"frmKat1", "frmKat2", "frmKat3", "frmKat4", "G_frmTabelle"};
  for (const char* formular : formulare) {
    SCOPED_TRACE(formular);
    const std::string seite = HilfeThema(formular);
    ASSERT_FALSE(seite.empty());
    EXPECT_TRUE(fs::is_regular_file(fs::path(TARVO_SOURCE_DIR) / "Hilfe" / seite));
  }
  EXPECT_NE(HilfeThema("frmKat1"), HilfeThema("frmKat4"));
  EXPECT_EQ(HilfeThema("frmUnbekannt"), "");  // the start page
}

}  // namespace
}  // namespace tarvo
