// Fixture for the frmKat2 tests. It builds on the category-1 fixture (fresh job state, headless
// screen with a scripted table choice, a letter with the "lumoStart" marker, tables read back as
// text) and adds what a building survey needs: the job's base area and description, opening
// frmKat2, and filling a building row as the user types it.
#pragma once

#include <memory>
#include <string>

#include "Kat1Fixture.h"
#include "forms/kat2/frmKat2.h"

namespace tarvo::test {

class Kat2Test : public Kat1Test {
 public:
  // Types the cells of grid row `zeile` that are given (empty texts are skipped), as the user
  // does: parcel, area, parts, share, then the description.
  static void GebäudeEintragen(frmKat2& f, std::int32_t zeile, const std::string& parzelle,
                               const std::string& fläche, const std::string& teile,
                               const std::string& anteil = "", const std::string& text = "") {
    const std::pair<std::int32_t, const std::string*> zellen[] = {
        {1, &parzelle}, {2, &fläche}, {3, &teile}, {4, &anteil}, {6, &text}};
    for (const auto& [spalte, wert] : zellen)
      if (!wert->empty()) f.GridGebühren2.UserEditCell(zeile, spalte, *wert);
  }

  // Adds a row with Tab in the description column of the last row.
  static void ZeileAnfuegen(frmKat2& f) {
    f.GridGebühren2.UserClickCell(f.GridGebühren2.Rows(), frmKat2::Spalten);
    f.GridGebühren2.UserPressKey(controls::taste::Tab);
  }

  static const std::string& Gebühr(const frmKat2& f, std::int32_t zeile) {
    return f.GridGebühren2.TextMatrix(zeile, 5);
  }

 protected:
  void SetUp() override {
    Kat1Test::SetUp();
    Status().Baukosten = 151.4;
    Status().Lage = "Wohnhaus";
  }

  std::unique_ptr<frmKat2> Oeffnen2(int eintrag = 0) {
    TabellenwahlSkript(eintrag);
    auto formular = std::make_unique<frmKat2>();
    formular->Load();
    return formular;
  }

  // Presses "OK" on `f` and returns the one statement it wrote.
  word::Table Bestaetigen(frmKat2& f) {
    f.CommandEnde.UserPress();
    const auto tabellen = Getaggt(frmKat2::Tag);
    EXPECT_EQ(tabellen.size(), 1u);
    return tabellen.empty() ? word::Table() : tabellen.front();
  }
};

}  // namespace tarvo::test
