// Fixture for the frmKat1 tests: a fresh job state, a headless screen with a scripted table
// choice, an invoice document with the "lumoStart" marker, and helpers that act as the user
// does (type into a field, fill a grid row, press a button) and read the written tables back
// as text rows a surveyor can check.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/Dokumenthilfen.h"
#include "document/G_frmTabelle.h"
#include "document/KM_WordAuto.h"
#include "errors/Protokoll.h"
#include "fees/modStatus.h"
#include "forms/kat1/frmKat1.h"
#include "platform/controls/Kopflos.h"
#include "platform/word/Document.h"

namespace tarvo::test {

using Zeilen = std::vector<std::vector<std::string>>;

class Kat1Test : public ::testing::Test {
 public:
  static void Tippen(controls::MaskEdBox& feld, const std::string& ziffern) {
    feld.UserFocus();
    feld.UserType(ziffern);
    feld.UserLeave();
  }

  // Fills grid row `zeile` as the user does: text, category through the combo box, area.
  static void ParzelleEintragen(frmKat1& f, std::int32_t zeile, const std::string& text,
                                const std::string& kategorie, const std::string& fläche) {
    f.GridGebühren1.UserEditCell(zeile, 1, text);
    f.GridGebühren1.UserClickCell(zeile, 2);
    for (std::int32_t i = 0; i < f.ComboBox4.ListCount(); ++i)
      if (f.ComboBox4.List(i) == kategorie) f.ComboBox4.UserChoose(i);
    f.GridGebühren1.UserEditCell(zeile, 3, fläche);
  }

  // Adds a row with Tab at the end of the last row.
  static void ZeileAnfuegen(frmKat1& f) {
    f.GridGebühren1.UserClickCell(f.GridGebühren1.Rows(), 3);
    f.GridGebühren1.UserPressKey(controls::taste::Tab);
  }

 protected:
  void SetUp() override {
    Status().Zuruecksetzen();
    TabellenNummer = 0;
    ordner_ = std::filesystem::temp_directory_path() /
              ("tarvo-kat1-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(ordner_);
    bildschirm_ = std::make_shared<controls::Kopflos>(ordner_ / "einstellungen.ini");
    controls::Bildschirm::Setzen(bildschirm_);
    Status().Flurstücksnummer = "12/3";
    Status().Fläche = 151;
    Status().hWndMDI = 4711;
    NeuesDokument();
    fehlerVorher_ = protokoll::AnzahlGemeldet();
  }
  void TearDown() override {
    controls::Bildschirm::Setzen(nullptr);
    std::error_code egal;
    std::filesystem::remove_all(ordner_, egal);
  }

  // A letter with a paragraph "Zusammenfassung" marked "lumoStart" between two others.
  void NeuesDokument() {
    dokument_ = word::Document::New();
    word::Range anfang = dokument_->Range(0, 0);
    anfang.InsertAfter("Wir berechnen:\rZusammenfassung\rMit freundlichen Grüßen\r");
    dokument_->Comments().Add(dokument_->Range(15, 30), "lumoStart");
    Status().Doc = dokument_;
    Status().WordApp = dokument_->Application();
  }

  // Answers the table choice dialog: 0 a new statement, 1..5 that entry.
  void TabellenwahlSkript(int eintrag) {
    bildschirm_->Dialog("G_frmTabelle", [eintrag](controls::Form& f) {
      auto& dialog = dynamic_cast<G_frmTabelle&>(f);
      if (eintrag == 0)
        dialog.optNeu.UserClick();
      else
        dialog.optTabelle(eintrag - 1).UserClick();
      dialog.cmdEnde.UserPress();
    });
  }

  std::unique_ptr<frmKat1> Oeffnen(int eintrag = 0) {
    TabellenwahlSkript(eintrag);
    auto formular = std::make_unique<frmKat1>();
    formular->Load();
    return formular;
  }

  // The tables of the document tagged `tag`, in document order.
  std::vector<word::Table> Getaggt(const std::string& tag) const {
    std::vector<word::Table> gefunden;
    const word::Tables tabellen = dokument_->Tables();
    for (std::int32_t i = 1; i <= tabellen.Count(); ++i)
      if (ErsterKommentar(tabellen.Item(i)) == tag) gefunden.push_back(tabellen.Item(i));
    return gefunden;
  }

  // Every cell's text without its end mark, paragraph marks as "¶", outer blanks trimmed.
  static Zeilen Text(const word::Table& tabelle) {
    Zeilen zeilen;
    for (std::int32_t r = 1; r <= tabelle.Rows().Count(); ++r) {
      std::vector<std::string> zeile;
      for (std::int32_t s = 1; s <= 5; ++s) {
        std::string text = ZellText(tabelle, r, s);
        std::string aus;
        for (char c : text) aus += c == '\r' ? std::string("¶") : std::string(1, c);
        const auto a = aus.find_first_not_of(' ');
        const auto e = aus.find_last_not_of(' ');
        zeile.push_back(a == std::string::npos ? "" : aus.substr(a, e - a + 1));
      }
      zeilen.push_back(zeile);
    }
    return zeilen;
  }

  std::int64_t NeueFehler() const { return protokoll::AnzahlGemeldet() - fehlerVorher_; }

  std::filesystem::path ordner_;
  std::shared_ptr<controls::Kopflos> bildschirm_;
  std::shared_ptr<word::Document> dokument_;
  std::int64_t fehlerVorher_ = 0;
};

}  // namespace tarvo::test
