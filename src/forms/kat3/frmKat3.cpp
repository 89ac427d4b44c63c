#include "forms/kat3/frmKat3.h"

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/KM_WordAuto.h"
#include "errors/Falle.h"
#include "fees/modStatus.h"
#include "forms/Eingabehinweise.h"
#include "forms/Formulare.h"
#include "forms/Formularknoepfe.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat3/Kat3Abrechnung.h"
#include "forms/kat3/Kat3Gebuehren.h"

namespace tarvo {
namespace {

constexpr const char* kModul = "frmKat3";

// Grid layout: headings (with their leading blank) and widths in twips.
constexpr const char* kUeberschriften[frmKat3::Spalten] = {
    "",       " Nr.",       " Flurstücksdichte", " Achse [m]", " im Ort [m]", " mehrspurig [m]",
    " [€/m]", " Gebühr [€]"};
constexpr float kBreiten[frmKat3::Spalten] = {1700, 800, 1300, 1200, 1000, 1100, 1000, 1200};

// The list index a combo box takes from a cell: the item's position, the first for any other
// text.
std::int32_t Listenplatz(const std::string& text, const char* const (&items)[3]) {
  for (std::int32_t i = 2; i >= 1; --i)
    if (text == items[i]) return i;
  return 0;
}

}  // namespace

frmKat3::frmKat3()
    : controls::Form("frmKat3", Titel),
      Label1(*this, "Label1"),
      GridGebühren6(*this, "GridGebühren6"),
      ComboBox4(*this, "ComboBox4"),
      ComboBox5(*this, "ComboBox5"),
      chk20(*this, "chk20"),
      lblVersion(*this, "lblVersion"),
      CommandEnde(*this, "CommandEnde"),
      CommandAbbruch(*this, "CommandAbbruch"),
      CommandNeu(*this, "CommandNeu"),
      CommandLöschen(*this, "CommandLöschen"),
      auswahlNr_(
          GridGebühren6, ComboBox4, 2,
          [](const std::string& text) { return Listenplatz(text, kat3::Unterpositionen); },
          [this](std::int32_t zeile) { ZeileBerechnen(zeile); }),
      auswahlDichte_(
          GridGebühren6, ComboBox5, 3,
          [](const std::string& text) { return Listenplatz(text, kat3::Dichteklassen); },
          [this](std::int32_t zeile) { ZeileBerechnen(zeile); }) {
  Label1.SetCaption(Titel);
  chk20.SetCaption("keine Mindestgebühr bei Nebenkosten");
  CommandEnde.SetCaption("&OK");
  CommandAbbruch.SetCaption("&Abbruch");
  CommandNeu.SetCaption("&Einfügen");
  CommandLöschen.SetCaption("&Löschen");
  // Designed positions (twips): the heading, the grid of eight columns, chk20 under it, the
  // version and the buttons at the foot. The combo boxes float over the grid.
  Width = 9780;
  Height = 5100;
  Label1.Move(120, 120, 9420, 300);
  GridGebühren6.Move(120, 480, 9420, 3000);
  ComboBox4.Move(0, 0, 800, 300);
  ComboBox5.Move(0, 0, 1300, 300);
  ComboBox4.SetVisible(false);
  ComboBox5.SetVisible(false);
  chk20.Move(120, 3620, 3600, 300);
  constexpr float kKnopfOben = 4140, kKnopf = 1100, kAbstand = 60;
  lblVersion.Move(120, kKnopfOben + 60, 2000, 300);
  const float links = 120 + 9420 - 4 * kKnopf - 3 * kAbstand;
  CommandNeu.Move(links, kKnopfOben, kKnopf, 420);
  CommandLöschen.Move(links + (kKnopf + kAbstand), kKnopfOben, kKnopf, 420);
  CommandEnde.Move(links + 2 * (kKnopf + kAbstand), kKnopfOben, kKnopf, 420);
  CommandAbbruch.Move(links + 3 * (kKnopf + kAbstand), kKnopfOben, kKnopf, 420);

  GridGebühren6.CellClick.Connect(
      [this](std::int32_t r, std::int32_t c) { GridGebühren6_CellClick(r, c); });
  GridGebühren6.RowChange.Connect([this](std::int32_t r) { GridGebühren6_RowChange(r); });
  GridGebühren6.ColChange.Connect([this](std::int32_t c) { GridGebühren6_ColChange(c); });
  GridGebühren6.CellIsDirty.Connect([this](std::int16_t& f) { GridGebühren6_CellIsDirty(f); });
  GridGebühren6.KeyDown.Connect(
      [this](std::int16_t& k, std::int16_t s) { GridGebühren6_KeyDown(k, s); });
  ComboBox4.LostFocus.Connect([this] { ComboBox4_LostFocus(); });
  ComboBox5.LostFocus.Connect([this] { ComboBox5_LostFocus(); });
  CommandEnde.Click.Connect([this] { CommandEnde_Click(); });
  CommandAbbruch.Click.Connect([this] { CommandAbbruch_Click(); });
  CommandNeu.Click.Connect([this] { CommandNeu_Click(); });
  CommandLöschen.Click.Connect([this] { CommandLöschen_Click(); });
}

frmKat3::~frmKat3() = default;

std::int32_t frmKat3::ComboZeile() const {
  return auswahlNr_.Zeile() != 0 ? auswahlNr_.Zeile() : auswahlDichte_.Zeile();
}

void frmKat3::Form_Load() {
  Falle falle(kModul, "Form_Load");
  formulare::KnopfbilderSetzen(falle, CommandEnde, CommandAbbruch, CommandLöschen, CommandNeu);
  falle([&] { lblVersion.SetCaption(formulare::Versionsangabe()); });
  falle([&] {
    ComboBox4.Clear();
    for (const char* nr : kat3::Unterpositionen) ComboBox4.AddItem(nr);
    ComboBox4.SetListIndex(0);
  });
  falle([&] {
    ComboBox5.Clear();
    for (const char* dichte : kat3::Dichteklassen) ComboBox5.AddItem(dichte);
    ComboBox5.SetListIndex(0);
  });
  AlteTabelle = word::Table();
  falle([&] {
    if (auto tabelle = TabelleErmitteln(Tag, false)) AlteTabelle = *tabelle;
  });
  Pointer = controls::MousePointer::Hourglass;
  if (!formulare::Vorhanden(AlteTabelle)) {
    falle([&] { GridGebühren6.SetRows(1); });
    falle([&] { GridGebühren6.SetCols(Spalten); });
    falle([&] { GridGebühren6.SetRow(1); });
    falle([&] { GridGebühren6.SetRowHeight(1, Zeilenhoehe); });
    NeuWerte();
  } else {
    kat3::AbrechnungEinlesen(falle, *this, AlteTabelle);
    falle([&] { ComboBox4.SetVisible(false); });
    falle([&] { ComboBox5.SetVisible(false); });
    falle([&] { GridGebühren6.SetCol(1); });
  }
  falle([&] { GridGebühren6.SetRow(1); });
  for (std::int32_t spalte = 1; spalte <= Spalten; ++spalte) {
    falle([&] { GridGebühren6.SetColHeading(spalte, kUeberschriften[spalte - 1]); });
    falle([&] { GridGebühren6.SetColWidth(spalte, kBreiten[spalte - 1]); });
    // Column 1 (the parcel text) aligns left, the others right, as in every fee grid.
    falle([&] { GridGebühren6.SetColSetting(spalte, "Ausrichtung", spalte == 1 ? 0 : 2); });
  }
  // Price and fee are the form's output.
  falle([&] { GridGebühren6.SetColSetting(7, "Bearbeitbar", 0); });
  falle([&] { GridGebühren6.SetColSetting(8, "Bearbeitbar", 0); });
  // The columns that hold numbers: their cell editor takes only what a number may hold.
  for (std::int32_t spalte : {4, 5, 6})
    falle([&] { GridGebühren6.SetColSetting(spalte, "Zahl", 1); });
  formulare::Chk20AusNebenkosten(falle, chk20);
  formulare::InHostfensterEinbetten(falle, *this);
  Pointer = controls::MousePointer::Default;
}

void frmKat3::ÜbernehmenWerte() {
  ZeileBerechnen(GridGebühren6.Row());
}

void frmKat3::ZeileBerechnen(std::int32_t zeile) {
  Falle falle(kModul, "ÜbernehmenWerte");
  if (zeile < 1 || zeile > GridGebühren6.Rows()) return;
  kat3::Zeilenwerte werte;
  const bool berechnet = !formulare::ZeileLeer(GridGebühren6, zeile, {7, 8}) && falle([&] {
    werte =
        kat3::ZeileBerechnen(GridGebühren6.TextMatrix(zeile, 2), GridGebühren6.TextMatrix(zeile, 3),
                             GridGebühren6.TextMatrix(zeile, 4));
  });
  // An empty row, or an axis the 16-bit length cannot hold, leaves price and fee empty: no fee
  // of an earlier input stays in the row to be charged.
  if (berechnet) Status().Achslänge = werte.achse;
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 7, berechnet ? werte.preis : ""); });
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 8, berechnet ? werte.gebühr : ""); });
}

void frmKat3::NeuWerte() {
  Falle falle(kModul, "NeuWerte");
  const std::int32_t zeile = GridGebühren6.Row();
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 1, "Flst.Nr. " + Status().Flurstücksnummer); });
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 2, kat3::Unterpositionen[0]); });
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 3, kat3::Dichteklassen[0]); });
  falle([&] {
    GridGebühren6.SetTextMatrix(zeile, 4,
                                WertFormatieren(CStr(Variant(Status().Grenzlänge)), 8, 0));
  });
  falle([&] {
    GridGebühren6.SetTextMatrix(zeile, 5,
                                WertFormatieren(CStr(Variant(Status().AchslängeAuftrag)), 8, 0));
  });
  falle([&] { GridGebühren6.SetCol(1); });
  ÜbernehmenWerte();
}

void frmKat3::TestComboEdit(std::int32_t zeile, std::int32_t spalte) {
  Falle falle(kModul, "TestComboEdit");
  auswahlNr_.TestComboEdit(falle, zeile, spalte);
  auswahlDichte_.TestComboEdit(falle, zeile, spalte);
}

void frmKat3::GridGebühren6_CellClick(std::int32_t zeile, std::int32_t spalte) {
  Falle falle(kModul, "GridGebühren6_CellClick");
  // A combo box shown for another cell gives its choice back to its own row first.
  if (auswahlNr_.Zeile() != 0 && (spalte != 2 || zeile != auswahlNr_.Zeile()))
    auswahlNr_.Übernehmen(falle);
  if (auswahlDichte_.Zeile() != 0 && (spalte != 3 || zeile != auswahlDichte_.Zeile()))
    auswahlDichte_.Übernehmen(falle);
  TestComboEdit(zeile, spalte);
}

void frmKat3::GridGebühren6_RowChange(std::int32_t zeile) {
  Falle falle(kModul, "GridGebühren6_RowChange");
  falle([&] { TestComboEdit(zeile, GridGebühren6.Col()); });
}

void frmKat3::GridGebühren6_ColChange(std::int32_t spalte) {
  Falle falle(kModul, "GridGebühren6_ColChange");
  falle([&] { TestComboEdit(GridGebühren6.Row(), spalte); });
}

void frmKat3::AuswahlÜbernehmen(formulare::SchwebendeAuswahl& auswahl, std::int32_t nächsteSpalte) {
  Falle falle(kModul, &auswahl == &auswahlNr_ ? "ComboBox4_LostFocus" : "ComboBox5_LostFocus");
  auswahl.Übernehmen(falle);
  falle([&] {
    if (ActiveControl() == &GridGebühren6) GridGebühren6.SetCol(nächsteSpalte);
  });
}

void frmKat3::ComboBox4_LostFocus() {
  AuswahlÜbernehmen(auswahlNr_, 3);
}

void frmKat3::ComboBox5_LostFocus() {
  AuswahlÜbernehmen(auswahlDichte_, 4);
}

void frmKat3::GridGebühren6_CellIsDirty(std::int16_t& flag) {
  Falle falle(kModul, "GridGebühren6_CellIsDirty");
  falle([&] {
    const std::int32_t spalte = GridGebühren6.Col();
    if (spalte >= 2 && spalte <= 6)
      GridGebühren6.SetText(WertFormatieren(GridGebühren6.Text(), 4, 0));
  });
  ÜbernehmenWerte();
  flag = 0;
}

void frmKat3::GridGebühren6_KeyDown(std::int16_t& taste, std::int16_t umschalt) {
  Falle falle(kModul, "GridGebühren6_KeyDown");
  // A row appended by the keyboard is computed twice (NeuWerte computes it), as designed.
  const bool genommen = formulare::Zeilenende(falle, GridGebühren6, taste, umschalt, 6, Zeilenhoehe,
                                              [this](std::int32_t) {
                                                NeuWerte();
                                                ÜbernehmenWerte();
                                              });
  if (!genommen) return;
  falle([&] { GridGebühren6.SetSetting("Rollbalken", GridGebühren6.Rows() > 9 ? 1 : 0); });
  falle([&] { GridGebühren6.SetCol(1); });
}

void frmKat3::CommandNeu_Click() {
  Falle falle(kModul, "Commandneu_Click");
  // A combo box still shown gives its choice back before the rows below it move down.
  auswahlNr_.Übernehmen(falle);
  auswahlDichte_.Übernehmen(falle);
  falle([&] { GridGebühren6.InsertRow(std::max(GridGebühren6.Row(), 1)); });
  falle([&] { GridGebühren6.SetRowHeight(GridGebühren6.Row(), Zeilenhoehe); });
  NeuWerte();
}

void frmKat3::CommandLöschen_Click() {
  Falle falle(kModul, "CommandLöschen_Click");
  // A combo box still shown gives its choice back before the rows below it move up.
  auswahlNr_.Übernehmen(falle);
  auswahlDichte_.Übernehmen(falle);
  formulare::ZeilenLöschen(falle, GridGebühren6);
}

void frmKat3::CommandAbbruch_Click() {
  Falle falle(kModul, "CommandAbbruch_Click");
  falle([&] { Unload(); });
}

void frmKat3::CommandEnde_Click() {
  Falle falle(kModul, "CommandEnde_Click");
  Pointer = controls::MousePointer::Hourglass;
  // An entry still open in the grid is committed, and a combo box still shown (the user clicked
  // its cell and went straight to "OK") gives its choice to its row: neither is lost. Then the
  // current row is computed once more.
  falle([&] { GridGebühren6.EndEdit(); });
  auswahlNr_.Übernehmen(falle);
  auswahlDichte_.Übernehmen(falle);
  ÜbernehmenWerte();
  kat3::AbrechnungSchreiben(falle, *this);
  formulare::Abschliessen(falle, *this);
}

void frmKat3::TabelleFormatieren(word::Table tabelle) {
  Falle falle(kModul, "TabelleFormatieren");
  kat3::TabelleFormatieren(falle, tabelle);
}

std::vector<controls::Eingabehinweis> frmKat3::Eingabehinweise() const {
  formulare::Hinweise hinweise;
  const std::vector<std::string> nummern(std::begin(kat3::Unterpositionen),
                                         std::end(kat3::Unterpositionen));
  const std::vector<std::string> dichten(std::begin(kat3::Dichteklassen),
                                         std::end(kat3::Dichteklassen));
  for (std::int32_t zeile = 1; zeile <= GridGebühren6.Rows(); ++zeile) {
    // A combo box still open over its cell holds what will go into it.
    if (auswahlNr_.Zeile() != zeile)
      formulare::ListePruefen(hinweise, GridGebühren6, zeile, 2, nummern);
    if (auswahlDichte_.Zeile() != zeile)
      formulare::ListePruefen(hinweise, GridGebühren6, zeile, 3, dichten);
    const bool achse =
        formulare::MengePruefen(hinweise, GridGebühren6, zeile, 4, formulare::Grenze16).has_value();
    for (std::int32_t spalte = 5; spalte <= 6; ++spalte)
      if (formulare::MengePruefen(hinweise, GridGebühren6, zeile, spalte, formulare::Grenze16) &&
          achse)
        formulare::TeilPruefen(hinweise, GridGebühren6, zeile, spalte, 4);
  }
  return hinweise;
}

void Kat3Registrieren() {
  formulare::FormularRegistrieren(2, [] { return std::make_shared<frmKat3>(); });
}

}  // namespace tarvo
