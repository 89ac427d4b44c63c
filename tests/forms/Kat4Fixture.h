// Fixture for the frmKat4 tests: the job state, screen and invoice document of the category-1
// fixture (a letter with the "lumoStart" marker), a job of 4 boundary points, and helpers that
// act as the user does in the restoration form (fill a parcel row, add a row with Tab, type
// into a field, press "OK") and re-open the form on the written statement.
#pragma once

#include <memory>
#include <string>

#include "Kat1Fixture.h"
#include "forms/kat4/frmKat4.h"

namespace tarvo::test {

class Kat4Test : public Kat1Test {
 public:
  // Adds a row with Tab in the share column of the last row.
  static void ZeileAnfuegen(frmKat4& f) {
    f.GridGebühren6.UserClickCell(f.GridGebühren6.Rows(), 4);
    f.GridGebühren6.UserPressKey(controls::taste::Tab);
  }

  // Fills grid row `zeile` as the user does (adding it with Tab when it is the next one):
  // parcel text, points, reduced points, share.
  static void Parzelle(frmKat4& f, std::int32_t zeile, const std::string& text,
                       const std::string& punkte, const std::string& ermäßigt,
                       const std::string& anteil = "1000") {
    if (zeile > f.GridGebühren6.Rows()) ZeileAnfuegen(f);
    f.GridGebühren6.UserEditCell(zeile, 1, text);
    f.GridGebühren6.UserEditCell(zeile, 2, punkte);
    f.GridGebühren6.UserEditCell(zeile, 3, ermäßigt);
    f.GridGebühren6.UserEditCell(zeile, 4, anteil);
  }

  // Empties a masked field as the user does: focus (selects all) and delete.
  static void Leeren(controls::MaskEdBox& feld) {
    feld.UserFocus();
    feld.UserType("\x7f");
    feld.UserLeave();
  }

 protected:
  void SetUp() override {
    Kat1Test::SetUp();
    Status().AnzahlGrenzpunkte = 4;
  }

  std::unique_ptr<frmKat4> Oeffnen4(int eintrag = 0) {
    TabellenwahlSkript(eintrag);
    auto formular = std::make_unique<frmKat4>();
    formular->Load();
    return formular;
  }

  // The one table tagged `tag` as text rows (fails the test when there is not exactly one).
  Zeilen Einzige(const std::string& tag) const {
    const auto tabellen = Getaggt(tag);
    EXPECT_EQ(tabellen.size(), 1u) << tag;
    return tabellen.empty() ? Zeilen{} : Text(tabellen[0]);
  }
};

}  // namespace tarvo::test
