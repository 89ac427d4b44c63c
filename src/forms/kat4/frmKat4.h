// frmKat4: the category form of the boundary restoration ("Grenzwiederherstellung nach Nr. 4").
// It owns its control models (the fee grid of one row per parcel, the options for Nr. 4.1 and
// 4.2, the fields of the boundary marking, check box, labels and buttons) and holds their event
// handlers: the row fee computed after every edit, both options recomputing every row, rows
// added with Tab, re-editing of a statement already in the invoice document, and the "OK" path
// that writes the restoration statement and the boundary marking table and completes the
// invoice. Every handler traps its errors under module "frmKat4" and its own name, reports them
// and carries on; nothing reaches the caller. The fee rules live in Kat4Gebuehren, the statement
// in Kat4Abrechnung, the reading back in Kat4Einlesen, the marking table in forms/Abmarkung.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/Buttons.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/word/Document.h"

namespace tarvo {

class frmKat4 : public controls::Form {
 public:
  // The statement's tags: the restoration table and its boundary marking companion.
  static constexpr const char* Tag = "TARVO_03_4";
  static constexpr const char* TagAbmarkung = "TARVO_03_4A";
  static constexpr const char* Titel = "Grenzwiederherstellung nach Nr. 4";
  static constexpr float Zeilenhoehe = 300;  // twips, every data row

  frmKat4();
  ~frmKat4() override;

  controls::Label Label1;
  controls::Grid GridGebühren6;
  controls::Frame sevFrame1;
  controls::OptionButton Option41;
  controls::OptionButton Option42;
  controls::MaskEdBox mskneueAP;
  controls::MaskEdBox mskGP2;
  controls::MaskEdBox mskAnteil;
  controls::CheckBox chk20;
  controls::Label lblVersion;
  controls::CommandButton CommandEnde;
  controls::CommandButton CommandAbbruch;
  controls::CommandButton CommandNeu;
  controls::CommandButton CommandLöschen;
  // The control array of the field captions lblGebühren7(0) … (2); index outside 0..2 throws 9.
  controls::Label& lblGebühren7(int index);

  // The statement chosen for editing at load and its boundary marking table; unset for a new
  // statement.
  word::Table AlteTabelle;
  word::Table AlteTabelleAbmarkung;

  // Writes the fee column headings into row `zeile`: when any grid row has a share "Gebühr" in
  // column 4 and "Ihr Anteil" in column 5, else "Gebühr" in column 5; each below two empty
  // lines, bold.
  void Überschrift(std::int16_t zeile, word::Table tabelle);
  // Writes the amount of row `zeile`: with the share 1000 the fee in column 5; otherwise the
  // client's part in column 5 (right-aligned) and the fee in column 4.
  void GebührEintragen(std::int16_t zeile, double gebühr, word::Table tabelle,
                       const std::int16_t& anteil);
  // Writes or replaces the boundary marking table.
  void Einsichtnahme();
  // Lay out the statement and the marking table: no borders, right-aligned except column 1,
  // the column widths of each.
  void TabelleFormatieren(word::Table tabelle);
  void TabelleFormatiereneinsicht(word::Table tabelle);

  // Shares outside 1 … 1000, parts above their whole, counts and lengths that are no number,
  // negative or beyond the form's integers.
  std::vector<controls::Eingabehinweis> Eingabehinweise() const override;

 protected:
  void Form_Load() override;

 private:
  void ÜbernehmenWerte(std::int16_t zeile);
  void AlleZeilenBerechnen(const char* prozedur);
  void NeuWerte();

  void CommandEnde_Click();
  void CommandAbbruch_Click();
  void CommandNeu_Click();
  void CommandLöschen_Click();
  void GridGebühren6_CellIsDirty(std::int16_t& flag);
  void GridGebühren6_KeyDown(std::int16_t& taste, std::int16_t umschalt);
  void Markieren(controls::MaskEdBox& feld, const char* prozedur);

  std::array<std::unique_ptr<controls::Label>, 3> lblGebühren7_;
};

// Adds frmKat4 to the form registry under index 3.
void Kat4Registrieren();

}  // namespace tarvo
