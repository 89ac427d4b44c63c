// frmKat3: the category form of the survey priced by axis length ("Vermessung nach Nr. 5"). It
// owns its control models (the fee grid GridGebühren6 with its two floating combo boxes for the
// sub-item and the parcel density class, chk20, the labels and buttons) and holds their event
// handlers: each row is computed at once after every edit, rows are appended with Tab at the
// end of the last row, a statement already in the invoice document is read back for re-editing,
// and "OK" writes the statement with its surcharge rows and completes the invoice. Every handler
// traps its errors under module "frmKat3" and its own name, reports them and carries on; nothing
// reaches the caller. The fee rules live in Kat3Gebuehren, the statement writer and reader in
// Kat3Abrechnung.
#pragma once

#include <cstdint>
#include <string>

#include "forms/SchwebendeAuswahl.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/word/Document.h"

namespace tarvo {

class frmKat3 : public controls::Form {
 public:
  static constexpr const char* Tag = "TARVO_03_3";
  static constexpr const char* Titel = "Vermessung nach Nr. 5";
  static constexpr float Zeilenhoehe = 300;  // twips, every data row
  static constexpr std::int32_t Spalten = 8;

  frmKat3();
  ~frmKat3() override;

  controls::Label Label1;
  controls::Grid GridGebühren6;
  controls::ComboBox ComboBox4;  // sub-item, floats over column 2
  controls::ComboBox ComboBox5;  // density class, floats over column 3
  controls::CheckBox chk20;
  controls::Label lblVersion;
  controls::CommandButton CommandEnde;
  controls::CommandButton CommandAbbruch;
  controls::CommandButton CommandNeu;
  controls::CommandButton CommandLöschen;

  // The statement chosen for editing at load; unset for a new statement.
  word::Table AlteTabelle;

  // The row a visible combo box was shown for, and so the one row its choice is written back
  // into; 0 when neither is shown.
  std::int32_t ComboZeile() const;

  // Floats the combo box of column 2 or 3 over cell (zeile, spalte); for any other column a
  // visible combo box writes its text back into the row it was shown for, which is then
  // recomputed, and is hidden.
  void TestComboEdit(std::int32_t zeile, std::int32_t spalte);
  // Computes the grid's current row: columns 7 and 8 and the job state's Achslänge. An axis
  // beyond the 16-bit range is reported (6, Überlauf) and leaves both cells empty.
  void ÜbernehmenWerte();
  // The statement layout: no borders, column 5 right-aligned, the five column widths.
  void TabelleFormatieren(word::Table tabelle);

  // Shares outside 1 … 1000, parts above their whole, counts and lengths that are no number,
  // negative or beyond the form's integers.
  std::vector<controls::Eingabehinweis> Eingabehinweise() const override;

 protected:
  void Form_Load() override;

 private:
  void ZeileBerechnen(std::int32_t zeile);
  void NeuWerte();

  void CommandEnde_Click();
  void CommandAbbruch_Click();
  void CommandNeu_Click();
  void CommandLöschen_Click();
  void GridGebühren6_CellClick(std::int32_t zeile, std::int32_t spalte);
  void GridGebühren6_RowChange(std::int32_t zeile);
  void GridGebühren6_ColChange(std::int32_t spalte);
  void GridGebühren6_CellIsDirty(std::int16_t& flag);
  void GridGebühren6_KeyDown(std::int16_t& taste, std::int16_t umschalt);
  void ComboBox4_LostFocus();
  void ComboBox5_LostFocus();
  void AuswahlÜbernehmen(formulare::SchwebendeAuswahl& auswahl, std::int32_t nächsteSpalte);

  formulare::SchwebendeAuswahl auswahlNr_;
  formulare::SchwebendeAuswahl auswahlDichte_;
};

// Adds frmKat3 to the form registry under index 2.
void Kat3Registrieren();

}  // namespace tarvo
