#include "document/KM_WordAuto.h"

#include <gtest/gtest.h>

#include "document/Dokumenthilfen.h"
#include "document/G_frmTabelle.h"
#include "document/Rechnung_helpers.h"
#include "errors/Fehler.h"

namespace tarvo {
namespace {

using testhilfe::Zeilen;

class Tabellensuche : public testhilfe::RechnungTest {
 protected:
  // A statement table of 5 columns tagged `tag` (untagged for "").
  word::Table Tabelle(const std::string& tag) {
    return Gebuehrentabelle({{"Pos.", "", "", "", "Gebühr"}, {"1", "", "", "", "100,00 €"}}, tag);
  }
  // The dialog answers: the action runs on the shown dialog, then presses OK.
  void Antwort(std::function<void(G_frmTabelle&)> wahl) {
    bildschirm_->Dialog("G_frmTabelle", [this, wahl](controls::Form& form) {
      auto& dialog = dynamic_cast<G_frmTabelle&>(form);
      angeboten_.clear();
      for (int i = 0; i < 5; ++i) angeboten_.push_back(dialog.optTabelle(i).Enabled());
      aktuellAngeboten_ = dialog.optAktTabelle.Enabled();
      wahl(dialog);
      dialog.cmdEnde.UserPress();
    });
  }
  int Position(const word::Table& tabelle) {
    auto tabellen = doc_->Tables();
    for (int i = 1; i <= tabellen.Count(); ++i) {
      if (tabellen.Item(i) == tabelle) return i;
    }
    return 0;
  }
  std::vector<bool> angeboten_;
  bool aktuellAngeboten_ = false;
};

TEST_F(Tabellensuche, BookmarkSetzenTagsCellOneFive) {
  auto tabelle = Tabelle("TARVO_03_2");
  EXPECT_EQ(ErsterKommentar(tabelle), "TARVO_03_2");
  auto kommentare = tabelle.Cell(1, 5).Range().Comments();
  ASSERT_EQ(kommentare.Count(), 1);
  EXPECT_EQ(KommentarText(kommentare.Item(1)), "TARVO_03_2");
  EXPECT_EQ(tabelle.Cell(1, 4).Range().Comments().Count(), 0);
}

TEST_F(Tabellensuche, TableWithFewerThanFiveColumnsGetsNoTagAndTheFailureIsLogged) {
  auto tabelle = doc_->Tables().Add(NeueTabellenstelle(), 2, 4);
  BookmarkSetzen(tabelle, "TARVO_03_2");
  EXPECT_EQ(doc_->Comments().Count(), 0);
  EXPECT_EQ(LetzterFehler().strModul, "KM_WordAuto");
  EXPECT_EQ(LetzterFehler().strFunktion, "BookmarkSetzen");
}

TEST_F(Tabellensuche, NothingTaggedAndCursorOutsideTablesAsksNothing) {
  Tabelle("TARVO_03_3");
  auto anfang = doc_->Content();
  anfang.Collapse(word::wdCollapseStart);
  anfang.Select();
  EXPECT_FALSE(TabelleErmitteln("TARVO_03_2", false).has_value());
  EXPECT_TRUE(bildschirm_->Anzeigen().empty());
}

TEST_F(Tabellensuche, CursorInUntaggedTableOffersOnlyTheCursorPosition) {
  Tabelle("TARVO_03_3");
  auto frei = Tabelle("");
  frei.Cell(2, 2).Range().Select();
  Antwort([](G_frmTabelle& d) { d.optAktTabelle.UserClick(); });
  auto gefunden = TabelleErmitteln("TARVO_03_2", false);
  EXPECT_EQ(angeboten_, std::vector<bool>(5, false));
  EXPECT_TRUE(aktuellAngeboten_);
  ASSERT_TRUE(gefunden.has_value());
  EXPECT_TRUE(*gefunden == frei);
  EXPECT_EQ(TabellenNummer, 2);
}

TEST_F(Tabellensuche, SixTaggedTablesOfferFiveAndTheFifthEntryIsTheFifthTable) {
  std::vector<word::Table> tabellen;
  for (int i = 0; i < 6; ++i) tabellen.push_back(Tabelle("TARVO_03_2"));
  Antwort([](G_frmTabelle& d) { d.optTabelle(4).UserClick(); });
  auto gefunden = TabelleErmitteln("TARVO_03_2", false);
  EXPECT_EQ(angeboten_, std::vector<bool>(5, true));
  EXPECT_FALSE(aktuellAngeboten_);
  ASSERT_TRUE(gefunden.has_value());
  EXPECT_TRUE(*gefunden == tabellen[4]);
  EXPECT_EQ(TabellenNummer, 5);

  Antwort([](G_frmTabelle& d) { d.optTabelle(1).UserClick(); });
  gefunden = TabelleErmitteln("TARVO_03_2", false);
  ASSERT_TRUE(gefunden.has_value());
  EXPECT_TRUE(*gefunden == tabellen[1]);
  EXPECT_EQ(TabellenNummer, 2);
}

TEST_F(Tabellensuche, EntriesCountOnlyTablesTaggedWithTheName) {
  Tabelle("TARVO_03_3");
  Tabelle("");
  auto zweite = Tabelle("TARVO_03_2");
  Tabelle("TARVO_03_2");
  Antwort([](G_frmTabelle& d) { d.optTabelle(0).UserClick(); });
  auto gefunden = TabelleErmitteln("TARVO_03_2", false);
  EXPECT_EQ(angeboten_, (std::vector<bool>{true, true, false, false, false}));
  ASSERT_TRUE(gefunden.has_value());
  EXPECT_TRUE(*gefunden == zweite);
  EXPECT_EQ(TabellenNummer, 3);
}

TEST_F(Tabellensuche, DialogClosedByItsFrameMeansANewTable) {
  Tabelle("TARVO_03_2");
  TabellenNummer = 7;
  // No scripted answer: the headless screen closes the dialog through its frame.
  EXPECT_FALSE(TabelleErmitteln("TARVO_03_2", false).has_value());
  ASSERT_EQ(bildschirm_->Anzeigen().size(), 1u);
  EXPECT_EQ(bildschirm_->Anzeigen()[0].Form, "G_frmTabelle");
  EXPECT_TRUE(bildschirm_->Anzeigen()[0].Modal);
  EXPECT_EQ(TabellenNummer, 0);
}

TEST_F(Tabellensuche, NewTableChosenResetsTheTablePosition) {
  Tabelle("TARVO_03_2");
  TabellenNummer = 1;
  Antwort([](G_frmTabelle& d) { d.optNeu.UserClick(); });
  EXPECT_FALSE(TabelleErmitteln("TARVO_03_2", false).has_value());
  EXPECT_EQ(TabellenNummer, 0);
}

TEST_F(Tabellensuche, CompanionIsNotSoughtBeyondTheInvoicesCostTable) {
  Tabelle("");                // position 1: the host's own table
  Tabelle("TARVO_03_1");      // position 2
  Tabelle("RE_HOAI_Kosten");  // position 3
  Tabelle("TARVO_03_1A");     // position 4
  Antwort([](G_frmTabelle& d) { d.optTabelle(0).UserClick(); });
  ASSERT_TRUE(TabelleErmitteln("TARVO_03_1", false).has_value());
  EXPECT_EQ(TabellenNummer, 2);
  EXPECT_FALSE(TabelleErmitteln("TARVO_03_1A", true).has_value());
}

TEST_F(Tabellensuche, CompanionFoundAfterTheChosenTable) {
  Tabelle("TARVO_03_1");
  Tabelle("");
  auto begleit = Tabelle("TARVO_03_1A");
  Antwort([](G_frmTabelle& d) { d.optTabelle(0).UserClick(); });
  ASSERT_TRUE(TabelleErmitteln("TARVO_03_1", false).has_value());
  auto gefunden = TabelleErmitteln("TARVO_03_1A", true);
  ASSERT_TRUE(gefunden.has_value());
  EXPECT_TRUE(*gefunden == begleit);
}

TEST_F(Tabellensuche, CompanionIsTheChosenTableWhenItCarriesTheCompanionsName) {
  Tabelle("TARVO_03_1A");
  TabellenNummer = 1;
  auto gefunden = TabelleErmitteln("TARVO_03_1A", true);
  ASSERT_TRUE(gefunden.has_value());
  EXPECT_EQ(Position(*gefunden), 1);
  TabellenNummer = 0;
  EXPECT_FALSE(TabelleErmitteln("TARVO_03_1A", true).has_value());
}

TEST_F(Tabellensuche, DialogStartsWithNewTableEachTimeAndKeepsItsPlacement) {
  G_frmTabelle dialog;
  EXPECT_EQ(dialog.Caption, "Tabellenwahl");
  EXPECT_EQ(dialog.sevFrame1.Caption(), "zu bearbeitende Tabelle auswählen");
  EXPECT_EQ(dialog.optTabelle(2).Caption(), "3. vorhandener Eintrag");
  EXPECT_EQ(dialog.cmdEnde.Caption(), "&OK");
  dialog.Load();
  EXPECT_TRUE(dialog.optNeu.Value());
  dialog.optTabelle(3).UserClick();
  EXPECT_FALSE(dialog.optNeu.Value());
  dialog.Top = 1200;
  dialog.Left = 300;
  dialog.Unload();

  G_frmTabelle wieder;
  wieder.Load();
  EXPECT_TRUE(wieder.optNeu.Value());
  EXPECT_FALSE(wieder.optTabelle(3).Value());
  EXPECT_EQ(wieder.Top, 1200);
  EXPECT_EQ(wieder.Left, 300);
  std::int16_t eintrag = 0;
  EXPECT_EQ(wieder.Auswahl(eintrag), Tabellenwahl::Neu);
  wieder.Unload();
}

}  // namespace
}  // namespace tarvo
