// frmKat2: the category form of the building survey ("Gebäudeaufnahme nach Nr. 3"). It owns its
// control models (the fee grid with one row per building, the frame with the variant options
// 3.1, 3.2 and 3.3, the check box for the incidental costs, labels and buttons) and holds their
// event handlers: the fee of a row recomputed after every edit of it, all rows recomputed when
// the variant changes, rows added with Tab in the description column, re-editing of a statement
// already in the invoice document, and the "OK" path that writes the statement tagged
// "TARVO_03_2" and completes the invoice. Every handler traps its errors under module "frmKat2"
// and its own name, reports them and carries on; nothing reaches the caller. The fee rules live
// in Kat2Gebuehren, the statement writer and its reader in Kat2Abrechnung.
#pragma once

#include <cstdint>
#include <string>

#include "forms/kat2/Kat2Gebuehren.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/word/Document.h"

namespace tarvo {

class frmKat2 : public controls::Form {
 public:
  static constexpr const char* Tag = "TARVO_03_2";
  static constexpr const char* Titel = "Gebäudeaufnahme nach Nr. 3";
  static constexpr float Zeilenhoehe = 300;  // twips, every data row
  static constexpr std::int32_t Spalten = 6;

  frmKat2();
  ~frmKat2() override;

  controls::Label Label1;
  controls::Grid GridGebühren2;
  controls::Frame sevFrame1;
  controls::OptionButton Option31;
  controls::OptionButton Option32;
  controls::OptionButton Option33;
  controls::CheckBox chk20;
  controls::Label lblVersion;
  controls::CommandButton CommandEnde;
  controls::CommandButton CommandAbbruch;
  controls::CommandButton CommandNeu;
  controls::CommandButton CommandLöschen;

  // The statement chosen for editing at load; unset for a new statement.
  word::Table AlteTabelle;

  // The variant of the selected option button.
  kat2::Variante Variante() const;

  // Computes the fee of grid row `zeile` into its column 5 and leaves the row's description and
  // area in the job state's Lage and Baukosten. A fee that cannot be computed (a parts count
  // beyond the 16-bit surcharge) is reported and leaves column 5 empty, so that no fee of an
  // earlier input remains.
  void ÜbernehmenWerte(std::int32_t zeile);
  // Writes `gebühr` into row `zeile` of `tabelle`: the amount charged in column 5 and, for a
  // share other than 1000, the full fee in column 4.
  void GebührEintragen(std::int32_t zeile, double gebühr, word::Table tabelle,
                       std::int16_t& anteil);
  // Writes the headings of the amount columns into row `zeile`: "Gebühr" and "Ihr Anteil" when
  // any row has a share, else "Gebühr" in column 5; bold, at the foot of their cells.
  void Überschrift(std::int32_t zeile, word::Table tabelle);
  // No borders, columns 2 to 5 right-aligned, the five column widths.
  void TabelleFormatieren(word::Table tabelle);

  // Shares outside 1 … 1000, parts above their whole, counts and lengths that are no number,
  // negative or beyond the form's integers.
  std::vector<controls::Eingabehinweis> Eingabehinweise() const override;

 protected:
  void Form_Load() override;

 private:
  void NeuWerte();
  void AlleZeilenBerechnen(const char* prozedur);

  void CommandEnde_Click();
  void CommandAbbruch_Click();
  void CommandNeu_Click();
  void CommandLöschen_Click();
  void GridGebühren2_CellIsDirty(std::int16_t& flag);
  void GridGebühren2_KeyDown(std::int16_t& taste, std::int16_t umschalt);
};

// Adds frmKat2 to the form registry under index 1.
void Kat2Registrieren();

}  // namespace tarvo
