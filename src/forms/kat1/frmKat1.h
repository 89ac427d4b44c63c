// frmKat1: the category form of the parcel division and formation survey ("Flurstückszerlegung
// nach Nr. 2"). It owns its control models (the fee grid with its floating category combo box,
// the masked edit fields, check boxes, labels and buttons) and holds their event handlers: live
// recalculation after every edit, the grid's keyboard and row handling, re-editing of a
// statement already in the invoice document, and the "OK" path that writes the statement and
// the boundary marking table and completes the invoice. Every handler traps its errors under
// module "frmKat1" and its own name, reports them and carries on; nothing reaches the caller.
// The fee rules live in Kat1Gebuehren, the tables it writes in Kat1Abrechnung, the reading back
// of an old statement in Kat1Einlesen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/SchwebendeAuswahl.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/word/Document.h"

namespace tarvo {

class frmKat1 : public controls::Form {
 public:
  // The statement's tags: the category table and its boundary marking companion.
  static constexpr const char* Tag = "TARVO_03_1";
  static constexpr const char* TagAbmarkung = "TARVO_03_1A";
  static constexpr const char* Titel = "Flurstückszerlegung nach Nr. 2";
  static constexpr float Zeilenhoehe = 300;  // twips, every data row

  frmKat1();
  ~frmKat1() override;

  controls::Label Label1;
  controls::Grid GridGebühren1;
  controls::ComboBox ComboBox4;
  controls::MaskEdBox mskAnteil;
  controls::MaskEdBox mskAnzahl;
  controls::MaskEdBox mskErmäßigt;
  controls::MaskEdBox mskGP;
  controls::MaskEdBox mskGP2;
  controls::MaskEdBox MaskEdBoxErmäßigung;
  controls::CheckBox CheckBoxEinsichtnahme;
  controls::CheckBox chk20;
  controls::Label lblGP;
  controls::Label lblErm;
  controls::Label lblVersion;
  // The captions of the fields.
  controls::Label lblAnzahl;
  controls::Label lblErmäßigt;
  controls::Label lblAnteil;
  controls::Label lblGP61;
  controls::Label lblGP622;
  controls::Label lblErmäßigung;
  controls::CommandButton CommandEnde;
  controls::CommandButton CommandAbbruch;
  controls::CommandButton CommandNeu;
  controls::CommandButton CommandLöschen;

  // The statement chosen for editing at load and its boundary marking table; unset for a new
  // statement.
  word::Table AlteTabelle;
  word::Table AlteTabelleAbmarkung;
  // The part-b reduction in percent.
  std::int16_t ProzentErmäßigung = 0;

  // Writes the fee column headings into row `zeile` of `tabelle`: "Ihr Anteil" and "Gebühr"
  // when a share applies, else "Gebühr" in column 5; bold.
  void Überschrift(std::int16_t zeile, word::Table tabelle);
  // Writes `gebühr` into row `zeile`: the amount charged in column 5 and, when the share splits
  // it, the full fee in column 4.
  void GebührEintragen(std::int16_t zeile, double gebühr, word::Table tabelle);
  // Floats the category combo box over cell (row, 2), or, for any other column, takes its
  // text back into the row it was shown for and recomputes that row.
  void TestComboEdit(std::int32_t zeile, std::int32_t spalte);
  // Writes or replaces the boundary marking table.
  void Einsichtnahme();
  // Lay out the statement table and the boundary marking table: no borders, right-aligned
  // except column 1, the column widths of each.
  void TabelleFormatieren(word::Table tabelle);
  void TabelleFormatiereneinsicht(word::Table tabelle);

  // Shares outside 1 … 1000, parts above their whole, counts and lengths that are no number,
  // negative or beyond the form's integers.
  std::vector<controls::Eingabehinweis> Eingabehinweise() const override;

 protected:
  void Form_Load() override;

 private:
  // What the last calculation of each grid row saw and wrote (the fee depends only on
  // category and area), and the rows the handlers changed since. A recalculation computes the
  // changed rows only; when the grid's row count no longer matches (rows set by the program),
  // it checks every row against what it saw.
  struct Berechnet {
    bool gültig = false;
    std::string kategorie, fläche, gebühr;
  };
  std::vector<Berechnet> berechnet_;
  std::vector<std::int32_t> geändert_;
  // The category combo box floating over column 2.
  formulare::SchwebendeAuswahl kategorie_;
  void ZeileGeändert(std::int32_t zeile) { geändert_.push_back(zeile); }
  void ZeileEingefügt(std::int32_t zeile);
  void ZeileEntfernt(std::int32_t zeile);

  void GebührenBerechnen();
  void NeuWerte();
  void ErmäßigungErmitteln();
  void TeilAZeigen(const char* prozedur);
  void ErmäßigtZeigen(const char* prozedur);

  void CommandEnde_Click();
  void CommandAbbruch_Click();
  void CommandNeu_Click();
  void CommandLöschen_Click();
  void GridGebühren1_CellClick(std::int32_t zeile, std::int32_t spalte);
  void GridGebühren1_RowChange(std::int32_t zeile);
  void GridGebühren1_ColChange(std::int32_t spalte);
  void GridGebühren1_CellIsDirty(std::int16_t& flag);
  void GridGebühren1_KeyDown(std::int16_t& taste, std::int16_t umschalt);
  void ComboBox4_LostFocus();
  void CheckBoxEinsichtnahme_Click();
  void Markieren(controls::MaskEdBox& feld, const char* prozedur);
  void MaskEdBoxErmäßigung_LostFocus();
};

// Adds frmKat1 to the form registry under index 0.
void Kat1Registrieren();

}  // namespace tarvo
