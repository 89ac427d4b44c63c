// Fixture for the frmKat3 tests: the category-1 fixture's job state, headless screen, invoice
// document and table readers, with the axis-length form opened instead, and helpers that act as
// the user does (choose a combo item, fill an axis section, add a row with Tab).
#pragma once

#include "Kat1Fixture.h"
#include "forms/kat3/frmKat3.h"

namespace tarvo::test {

class Kat3Test : public Kat1Test {
 public:
  // Chooses `text` in a combo box (fails the test when it is no item).
  static void Waehlen(controls::ComboBox& combo, const std::string& text) {
    for (std::int32_t i = 0; i < combo.ListCount(); ++i) {
      if (combo.List(i) == text) {
        combo.UserChoose(i);
        return;
      }
    }
    ADD_FAILURE() << "»" << text << "« steht nicht in " << combo.Name();
  }

  // Fills grid row `zeile` as the user does: parcel, sub-item and density through their combo
  // boxes, then the three lengths ("" leaves a length as it is).
  static void AchseEintragen(frmKat3& f, std::int32_t zeile, const std::string& flurstück,
                             const std::string& nr, const std::string& dichte,
                             const std::string& achse, const std::string& imOrt,
                             const std::string& mehrspurig) {
    f.GridGebühren6.UserEditCell(zeile, 1, flurstück);
    f.GridGebühren6.UserClickCell(zeile, 2);
    Waehlen(f.ComboBox4, nr);
    f.GridGebühren6.UserClickCell(zeile, 3);
    Waehlen(f.ComboBox5, dichte);
    const std::string längen[] = {achse, imOrt, mehrspurig};
    for (std::int32_t spalte = 4; spalte <= 6; ++spalte)
      if (!längen[spalte - 4].empty())
        f.GridGebühren6.UserEditCell(zeile, spalte, längen[spalte - 4]);
  }

  // Adds a row with Tab in column 6 of the last row.
  static void ZeileAnfuegen(frmKat3& f) {
    f.GridGebühren6.UserClickCell(f.GridGebühren6.Rows(), 6);
    f.GridGebühren6.UserPressKey(controls::taste::Tab);
  }

  // The texts of grid row `zeile`, columns 1 to 8.
  static std::vector<std::string> Rasterzeile(const frmKat3& f, std::int32_t zeile) {
    std::vector<std::string> zellen;
    for (std::int32_t s = 1; s <= frmKat3::Spalten; ++s)
      zellen.push_back(f.GridGebühren6.TextMatrix(zeile, s));
    return zellen;
  }

 protected:
  void SetUp() override {
    Kat1Test::SetUp();
    Status().Grenzlänge = 120;
    Status().Achslänge = Status().AchslängeAuftrag = 40;
  }

  // The last error reported, for the message of a failed check.
  static std::string LetzterFehlerText() {
    return Status().Fehler.Funktionsname + ": " + Status().Fehler.strNr + " " +
           Status().Fehler.strFehler;
  }

  std::unique_ptr<frmKat3> Oeffnen(int eintrag = 0) {
    TabellenwahlSkript(eintrag);
    auto formular = std::make_unique<frmKat3>();
    formular->Load();
    return formular;
  }
};

}  // namespace tarvo::test
