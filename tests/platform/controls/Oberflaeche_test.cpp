#include "platform/controls/Oberflaeche.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "errors/Fehler.h"
#include "errors/Protokoll.h"
#include "platform/controls/Grid.h"
#include "platform/controls/Kopflos.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using controls::Bildschirm;
using controls::Kopflos;

class Fenster : public controls::Form {
 public:
  explicit Fenster(float top = 500, float left = 700) : Form("G_frmTabelle", "Tabellenwahl") {
    Top = top;
    Left = left;
  }
};

class OberflaecheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner = fs::path(::testing::TempDir()) /
             ("tarvo-oberflaeche-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(ordner);
    kopflos = std::make_shared<Kopflos>(ordner / "einstellungen.ini");
    Bildschirm::Setzen(kopflos);
    gemeldet = protokoll::AnzahlGemeldet();
  }
  void TearDown() override {
    Bildschirm::Setzen(nullptr);
    fs::remove_all(ordner);
  }
  std::string Gespeichert(const char* schluessel) {
    return kopflos->Speicher().Lesen(FensterAnwendung, "G_frmTabelle", schluessel).value_or("-");
  }
  std::int64_t NeueFehler() const { return protokoll::AnzahlGemeldet() - gemeldet; }

  fs::path ordner;
  std::shared_ptr<Kopflos> kopflos;
  std::int64_t gemeldet = 0;
};

TEST_F(OberflaecheTest, FirstUseOpensNormalAtTheTopLeftCorner) {
  Fenster fenster;
  fenster.WindowState = 2;
  GetWindowReg(fenster);
  EXPECT_EQ(fenster.WindowState, 0);
  EXPECT_EQ(fenster.Top, 0);
  EXPECT_EQ(fenster.Left, 0);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(OberflaecheTest, NormalWindowRoundTrips) {
  Fenster fenster(1440, 2880.5f);
  SetWindowReg(fenster);
  EXPECT_EQ(Gespeichert("State"), "0");
  EXPECT_EQ(Gespeichert("Left"), "2880,5");
  Fenster wieder;
  GetWindowReg(wieder);
  EXPECT_EQ(wieder.WindowState, 0);
  EXPECT_EQ(wieder.Top, 1440);
  EXPECT_EQ(wieder.Left, 2880.5f);
  EXPECT_EQ(NeueFehler(), 0);
}

TEST_F(OberflaecheTest, MaximisedWindowStoresOnlyItsStateAndKeepsTheOldPosition) {
  Fenster normal(1440, 2880);
  SetWindowReg(normal);
  Fenster maximiert(10, 20);
  maximiert.WindowState = 2;
  SetWindowReg(maximiert);
  EXPECT_EQ(Gespeichert("State"), "2");
  EXPECT_EQ(Gespeichert("Top"), "1440");

  Fenster wieder(500, 700);
  GetWindowReg(wieder);
  EXPECT_EQ(wieder.WindowState, 2);
  EXPECT_EQ(wieder.Top, 500);  // the position is ignored
  EXPECT_EQ(wieder.Left, 700);
}

TEST_F(OberflaecheTest, StoredValueThatIsNoNumberFailsOnlyItsOwnAssignment) {
  kopflos->SaveSetting(FensterAnwendung, "G_frmTabelle", "Top", "oben");
  kopflos->SaveSetting(FensterAnwendung, "G_frmTabelle", "Left", "1200");
  Fenster fenster(500, 700);
  GetWindowReg(fenster);
  EXPECT_EQ(fenster.Top, 500);
  EXPECT_EQ(fenster.Left, 1200);
  EXPECT_EQ(NeueFehler(), 1);
  EXPECT_EQ(Err().Number, 13);
  EXPECT_EQ(LetzterFehler().strModul, "G_Funktionen");
  EXPECT_EQ(LetzterFehler().strFunktion, "GetWindowReg");
}

TEST_F(OberflaecheTest, StoredStateOutsideTheKnownStatesIsRefused) {
  kopflos->SaveSetting(FensterAnwendung, "G_frmTabelle", "State", "7");
  Fenster fenster(500, 700);
  GetWindowReg(fenster);
  EXPECT_EQ(fenster.WindowState, 0);
  EXPECT_EQ(fenster.Top, 0);  // still normal: the position is read
  EXPECT_EQ(NeueFehler(), 1);
  EXPECT_EQ(Err().Number, 380);
}

TEST_F(OberflaecheTest, UnwritableStoreIsLoggedAndTheFormIsUntouched) {
  fs::create_directories(ordner / "einstellungen.ini" / "belegt");
  Fenster fenster(1440, 2880);
  SetWindowReg(fenster);
  EXPECT_EQ(NeueFehler(), 3);  // State, Top, Left: each a step of its own
  EXPECT_EQ(Err().Number, 75);
  EXPECT_EQ(fenster.Top, 1440);
}

TEST_F(OberflaecheTest, HelpFileLiesBelowTheLibraryFolder) {
  HTMLHelp_ShowTopic("Fehlermeldungen.htm");
  HTMLHelp_ShowTopic("");
  ASSERT_EQ(kopflos->Hilfeaufrufe().size(), 2u);
  const auto& datei = kopflos->Hilfeaufrufe()[0].Datei;
  EXPECT_EQ(datei.filename(), "LumoHelp.chm");
  EXPECT_EQ(datei.parent_path().filename(), "Hilfe");
  // These tests link the controls statically: the "library" is the test program itself.
  EXPECT_EQ(datei.parent_path().parent_path(), fs::canonical("/proc/self/exe").parent_path());
  EXPECT_EQ(kopflos->Hilfeaufrufe()[0].Thema, "Fehlermeldungen.htm");
  EXPECT_EQ(kopflos->Hilfeaufrufe()[1].Thema, "");  // the start page
}

// A screen whose message box cannot be created.
class OhneMeldungen : public Kopflos {
 public:
  using Kopflos::Kopflos;
  std::int32_t MsgBox(const std::string&, std::int32_t, const std::string&) override {
    throw Laufzeitfehler(429, "Objekterstellung durch ActiveX-Komponente nicht möglich");
  }
};

TEST_F(OberflaecheTest, MessageBoxThatCannotBeShownAnswersZero) {
  Bildschirm::Setzen(std::make_shared<OhneMeldungen>(ordner / "einstellungen.ini"));
  EXPECT_EQ(MsgBox("Zeile löschen?", 36, ""), 0);
  EXPECT_EQ(NeueFehler(), 1);
  EXPECT_EQ(LetzterFehler().strFunktion, "MsgBox");
}

TEST_F(OberflaecheTest, RowDeletionAnsweredWithNoLeavesTheGridUnchanged) {
  controls::Grid grid("GridGebühren1");
  grid.SetCols(4);
  grid.SetRows(3);
  grid.UserSelectRows({2});
  auto loeschen = [&] {
    if (MsgBox("Zeile löschen?", 36, "") != controls::msgbox::Yes) return;
    while (!grid.SelectedRows().empty()) grid.RemoveRow(grid.SelectedRows().front());
  };
  kopflos->Antworten({controls::msgbox::No});
  loeschen();
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.SelectedRows().size(), 1u);
  loeschen();  // unscripted: the default button, Yes
  EXPECT_EQ(grid.Rows(), 2);
  ASSERT_EQ(kopflos->Meldungen().size(), 2u);
  EXPECT_EQ(kopflos->Meldungen()[0].Schaltflaechen, 36);
  EXPECT_EQ(kopflos->Meldungen()[0].Titel, "");
}

TEST_F(OberflaecheTest, TextMarkierenSelectsTheWholeEntryWithoutLogging) {
  controls::MaskEdBox feld("mskGP", 3);
  feld.SetText("  0");
  feld.SetSelStart(2);
  TextMarkieren(feld);
  EXPECT_EQ(feld.SelStart(), 0);
  EXPECT_EQ(feld.SelLength(), 3);
  EXPECT_EQ(NeueFehler(), 0);
}

}  // namespace
}  // namespace tarvo
