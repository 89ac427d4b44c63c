#include "forms/kat1/frmKat1.h"

#include "common/Funktionen.h"
#include "document/KM_WordAuto.h"
#include "errors/Falle.h"
#include "errors/Pruefen.h"
#include "fees/modStatus.h"
#include "forms/Eingabehinweise.h"
#include "forms/Formulare.h"
#include "forms/Formularknoepfe.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat1/Kat1Abrechnung.h"
#include "forms/kat1/Kat1Einlesen.h"
#include "forms/kat1/Kat1Gebuehren.h"
#include "platform/controls/Bildschirm.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo {
namespace {

constexpr const char* kModul = "frmKat1";

// Grid layout: headings (with their leading blank) and widths in twips.
constexpr const char* kUeberschriften[] = {"", " Kategorie", " Fläche [m²]", " Gebühr b)"};
constexpr float kBreiten[] = {4500, 1000, 1150, 880};

// The item of the category combo box for a cell's text: "II", "III", "IV", anything else "I".
std::int32_t KategorieIndex(const std::string& text) {
  if (text == "II") return 1;
  if (text == "IV") return 3;
  if (text == "III") return 2;
  return 0;
}

}  // namespace

frmKat1::frmKat1()
    : controls::Form("frmKat1", Titel),
      Label1(*this, "Label1"),
      GridGebühren1(*this, "GridGebühren1"),
      ComboBox4(*this, "ComboBox4"),
      mskAnteil(*this, "mskAnteil", 4),
      mskAnzahl(*this, "mskAnzahl", 3),
      mskErmäßigt(*this, "mskErmäßigt", 3),
      mskGP(*this, "mskGP", 3),
      mskGP2(*this, "mskGP2", 3),
      MaskEdBoxErmäßigung(*this, "MaskEdBoxErmäßigung", 2),
      CheckBoxEinsichtnahme(*this, "CheckBoxEinsichtnahme"),
      chk20(*this, "chk20"),
      lblGP(*this, "lblGP"),
      lblErm(*this, "lblErm"),
      lblVersion(*this, "lblVersion"),
      lblAnzahl(*this, "lblAnzahl"),
      lblErmäßigt(*this, "lblErmäßigt"),
      lblAnteil(*this, "lblAnteil"),
      lblGP61(*this, "lblGP61"),
      lblGP622(*this, "lblGP622"),
      lblErmäßigung(*this, "lblErmäßigung"),
      CommandEnde(*this, "CommandEnde"),
      CommandAbbruch(*this, "CommandAbbruch"),
      CommandNeu(*this, "CommandNeu"),
      CommandLöschen(*this, "CommandLöschen"),
      kategorie_(GridGebühren1, ComboBox4, 2, KategorieIndex, [this](std::int32_t zeile) {
        ZeileGeändert(zeile);
        GebührenBerechnen();
      }) {
  Label1.SetCaption(Titel);
  CheckBoxEinsichtnahme.SetCaption("Ermäßigung");
  chk20.SetCaption("keine Mindestgebühr bei Nebenkosten");
  CommandEnde.SetCaption("&OK");
  CommandAbbruch.SetCaption("&Abbruch");
  CommandNeu.SetCaption("&Einfügen");
  CommandLöschen.SetCaption("&Löschen");
  lblAnzahl.SetCaption("Anzahl Grenzpunkte nach Nr. 2");
  lblErmäßigt.SetCaption("davon ermäßigt");
  lblAnteil.SetCaption("Anteil 1/1000");
  lblGP61.SetCaption("Abgemarkte Grenzpunkte nach 6.1");
  lblGP622.SetCaption("Abgemarkte Grenzpunkte nach 6.22");
  lblErmäßigung.SetCaption("%");
  // Designed positions (twips): the heading, the grid, under it the point counts with their
  // live amounts on the left, share and reduction on the right, the buttons at the foot. The
  // combo box floats over the grid.
  Width = 9500;
  Height = 6120;
  Label1.Move(120, 120, 7800, 300);
  GridGebühren1.Move(120, 480, 7800, 3000);
  ComboBox4.Move(0, 0, 1000, 300);
  ComboBox4.SetVisible(false);
  constexpr float kZeile = 360, kOben = 3620, kFeldhoehe = 300;
  constexpr float kText = 3300, kFeld = 3480, kBetrag = 4140, kRechts = 5460, kRechtsFeld = 6900;
  lblAnzahl.Move(120, kOben, kText, kFeldhoehe);
  mskAnzahl.Move(kFeld, kOben, 600, kFeldhoehe);
  lblGP.Move(kBetrag, kOben, 1200, kFeldhoehe);
  lblErmäßigt.Move(120, kOben + kZeile, kText, kFeldhoehe);
  mskErmäßigt.Move(kFeld, kOben + kZeile, 600, kFeldhoehe);
  lblErm.Move(kBetrag, kOben + kZeile, 1200, kFeldhoehe);
  lblGP61.Move(120, kOben + 2 * kZeile, kText, kFeldhoehe);
  mskGP.Move(kFeld, kOben + 2 * kZeile, 600, kFeldhoehe);
  lblGP622.Move(120, kOben + 3 * kZeile, kText, kFeldhoehe);
  mskGP2.Move(kFeld, kOben + 3 * kZeile, 600, kFeldhoehe);
  lblAnteil.Move(kRechts, kOben, 1400, kFeldhoehe);
  mskAnteil.Move(kRechtsFeld, kOben, 700, kFeldhoehe);
  CheckBoxEinsichtnahme.Move(kRechts, kOben + kZeile, 1400, kFeldhoehe);
  MaskEdBoxErmäßigung.Move(kRechtsFeld, kOben + kZeile, 500, kFeldhoehe);
  lblErmäßigung.Move(kRechtsFeld + 540, kOben + kZeile, 300, kFeldhoehe);
  chk20.Move(kRechts, kOben + 2 * kZeile, 3900, kFeldhoehe);
  constexpr float kKnopfOben = 5160, kKnopf = 1100;
  lblVersion.Move(120, kKnopfOben + 60, 3000, kFeldhoehe);
  CommandNeu.Move(3360, kKnopfOben, kKnopf, 420);
  CommandLöschen.Move(3360 + kKnopf + 60, kKnopfOben, kKnopf, 420);
  CommandEnde.Move(3360 + 2 * (kKnopf + 60), kKnopfOben, kKnopf, 420);
  CommandAbbruch.Move(3360 + 3 * (kKnopf + 60), kKnopfOben, kKnopf, 420);

  GridGebühren1.CellClick.Connect(
      [this](std::int32_t r, std::int32_t c) { GridGebühren1_CellClick(r, c); });
  GridGebühren1.RowChange.Connect([this](std::int32_t r) { GridGebühren1_RowChange(r); });
  GridGebühren1.ColChange.Connect([this](std::int32_t c) { GridGebühren1_ColChange(c); });
  GridGebühren1.CellIsDirty.Connect([this](std::int16_t& f) { GridGebühren1_CellIsDirty(f); });
  GridGebühren1.KeyDown.Connect(
      [this](std::int16_t& k, std::int16_t s) { GridGebühren1_KeyDown(k, s); });
  ComboBox4.LostFocus.Connect([this] { ComboBox4_LostFocus(); });
  CheckBoxEinsichtnahme.Click.Connect([this] { CheckBoxEinsichtnahme_Click(); });
  CommandEnde.Click.Connect([this] { CommandEnde_Click(); });
  CommandAbbruch.Click.Connect([this] { CommandAbbruch_Click(); });
  CommandNeu.Click.Connect([this] { CommandNeu_Click(); });
  CommandLöschen.Click.Connect([this] { CommandLöschen_Click(); });

  mskAnteil.GotFocus.Connect([this] { Markieren(mskAnteil, "mskAnteil_GotFocus"); });
  mskAnzahl.GotFocus.Connect([this] { Markieren(mskAnzahl, "mskAnzahl_GotFocus"); });
  mskErmäßigt.GotFocus.Connect([this] { Markieren(mskErmäßigt, "mskErmäßigt_GotFocus"); });
  mskGP.GotFocus.Connect([this] { Markieren(mskGP, "mskGP_GotFocus"); });
  mskGP2.GotFocus.Connect([this] { Markieren(mskGP2, "mskGP2_GotFocus"); });
  MaskEdBoxErmäßigung.GotFocus.Connect(
      [this] { Markieren(MaskEdBoxErmäßigung, "MaskEdBoxErmäßigung_GotFocus"); });
  MaskEdBoxErmäßigung.LostFocus.Connect([this] { MaskEdBoxErmäßigung_LostFocus(); });
  mskAnzahl.Change.Connect([this] { TeilAZeigen("mskAnzahl_Change"); });
  mskAnzahl.LostFocus.Connect([this] { TeilAZeigen("mskAnzahl_LostFocus"); });
  mskErmäßigt.Change.Connect([this] { ErmäßigtZeigen("mskErmäßigt_Change"); });
  mskErmäßigt.LostFocus.Connect([this] { ErmäßigtZeigen("mskErmäßigt_LostFocus"); });
}

frmKat1::~frmKat1() = default;

void frmKat1::Form_Load() {
  Falle falle(kModul, "Form_Load");
  formulare::KnopfbilderSetzen(falle, CommandEnde, CommandAbbruch, CommandLöschen, CommandNeu);
  falle([&] { lblVersion.SetCaption(formulare::Versionsangabe()); });
  falle([&] {
    ComboBox4.Clear();
    for (const char* kategorie : {"I", "II", "III", "IV"}) ComboBox4.AddItem(kategorie);
  });
  falle([&] { MaskEdBoxErmäßigung.SetText(" 0"); });
  falle([&] { mskGP.SetText("  0"); });
  falle([&] { mskGP2.SetText("  0"); });
  AlteTabelle = word::Table();
  AlteTabelleAbmarkung = word::Table();
  falle([&] {
    if (auto tabelle = TabelleErmitteln(Tag, false)) AlteTabelle = *tabelle;
  });
  Pointer = controls::MousePointer::Hourglass;
  if (!formulare::Vorhanden(AlteTabelle)) {
    falle([&] { GridGebühren1.SetRows(1); });
    falle([&] { GridGebühren1.SetCols(4); });
    falle([&] { GridGebühren1.SetRow(1); });
    NeuWerte();
    GebührenBerechnen();
  } else {
    kat1::AbrechnungEinlesen(falle, *this, AlteTabelle);
    falle([&] {
      if (auto tabelle = TabelleErmitteln(TagAbmarkung, true)) AlteTabelleAbmarkung = *tabelle;
    });
    falle([&] {
      if (formulare::Vorhanden(AlteTabelleAbmarkung) &&
          !formulare::GehoertZu(AlteTabelle, AlteTabelleAbmarkung, Tag))
        AlteTabelleAbmarkung = word::Table();
    });
    if (formulare::Vorhanden(AlteTabelleAbmarkung))
      kat1::AbmarkungEinlesen(falle, *this, AlteTabelleAbmarkung);
  }
  falle([&] { GridGebühren1.SetCols(4); });
  for (std::int32_t spalte = 1; spalte <= 4; ++spalte) {
    falle([&] { GridGebühren1.SetColHeading(spalte, kUeberschriften[spalte - 1]); });
    falle([&] { GridGebühren1.SetColWidth(spalte, kBreiten[spalte - 1]); });
    // Column 1 (the parcel text) aligns left, the numbers right; the fee is not editable.
    falle([&] { GridGebühren1.SetColSetting(spalte, "Ausrichtung", spalte == 1 ? 0 : 2); });
  }
  falle([&] { GridGebühren1.SetColSetting(4, "Bearbeitbar", 0); });
  // The columns that hold numbers: their cell editor takes only what a number may hold.
  for (std::int32_t spalte : {3}) falle([&] { GridGebühren1.SetColSetting(spalte, "Zahl", 1); });
  falle([&] { GridGebühren1.SetRowHeight(1, Zeilenhoehe); });
  falle([&] { ComboBox4.SetVisible(false); });
  falle([&] { GridGebühren1.SetRow(1); });
  formulare::Chk20AusNebenkosten(falle, chk20);
  formulare::InHostfensterEinbetten(falle, *this);
  Pointer = controls::MousePointer::Default;
}

void frmKat1::GebührenBerechnen() {
  Falle falle(kModul, "GebührenBerechnen");
  ErmäßigungErmitteln();
  const std::int32_t zeilen = GridGebühren1.Rows();
  auto berechnen = [&](std::int32_t i) {
    const std::string& kategorie = GridGebühren1.TextMatrix(i, 2);
    const std::string& fläche = GridGebühren1.TextMatrix(i, 3);
    Berechnet& alt = berechnet_[static_cast<std::size_t>(i - 1)];
    if (alt.gültig && alt.kategorie == kategorie && alt.fläche == fläche &&
        alt.gebühr == GridGebühren1.TextMatrix(i, 4)) {
      return;
    }
    alt.gültig = false;
    falle([&] {
      std::string text =
          formulare::ZeileLeer(GridGebühren1, i, {4})
              ? std::string()
              : WertFormatieren(CStr(Variant(kat1::GebührTeilB(fläche, kategorie))), 8, 2);
      GridGebühren1.SetTextMatrix(i, 4, text);
      alt = {true, kategorie, fläche, std::move(text)};
    });
  };
  if (berechnet_.size() != static_cast<std::size_t>(zeilen)) {
    berechnet_.assign(static_cast<std::size_t>(zeilen), Berechnet{});
    for (std::int32_t i = 1; i <= zeilen; ++i) berechnen(i);
  } else {
    for (std::int32_t i : geändert_)
      if (i >= 1 && i <= zeilen) berechnen(i);
  }
  geändert_.clear();
  if (zeilen > 0) falle([&] { Status().Fläche = CVal(GridGebühren1.TextMatrix(zeilen, 3)); });
}

void frmKat1::ZeileEingefügt(std::int32_t zeile) {
  if (berechnet_.size() + 1 != static_cast<std::size_t>(GridGebühren1.Rows())) return;
  berechnet_.insert(berechnet_.begin() + (zeile - 1), Berechnet{});
  ZeileGeändert(zeile);
}

void frmKat1::ZeileEntfernt(std::int32_t zeile) {
  if (berechnet_.size() != static_cast<std::size_t>(GridGebühren1.Rows()) + 1) return;
  berechnet_.erase(berechnet_.begin() + (zeile - 1));
}

void frmKat1::NeuWerte() {
  Falle falle(kModul, "NeuWerte");
  const std::int32_t zeile = GridGebühren1.Row();
  ZeileGeändert(zeile);
  falle([&] { GridGebühren1.SetTextMatrix(zeile, 3, CStr(Variant(Status().Fläche))); });
  falle([&] { GridGebühren1.SetTextMatrix(zeile, 2, "I"); });
  falle([&] { GridGebühren1.SetTextMatrix(zeile, 1, "Flst.Nr. " + Status().Flurstücksnummer); });
  falle([&] { mskAnteil.SetText("1000"); });
}

void frmKat1::ErmäßigungErmitteln() {
  Falle falle(kModul, "ErmäßigungErmitteln");
  std::int16_t p = 0;
  falle([&] {
    p = kat1::ErmäßigungProzent(GridGebühren1.Rows(), CheckBoxEinsichtnahme.Value() == 1);
  });
  ProzentErmäßigung = p;
  falle([&] { MaskEdBoxErmäßigung.SetText(WertFormatieren(CStr(Variant(p)), 2, 0)); });
}

void frmKat1::TeilAZeigen(const char* prozedur) {
  Falle falle(kModul, prozedur);
  falle([&] { lblGP.SetCaption(kat1::LabelText(kat1::GebührTeilA(mskAnzahl.Text()))); });
}

void frmKat1::ErmäßigtZeigen(const char* prozedur) {
  Falle falle(kModul, prozedur);
  falle(
      [&] { lblErm.SetCaption(kat1::LabelText(kat1::BetragErmäßigtePunkte(mskErmäßigt.Text()))); });
}

void frmKat1::TestComboEdit(std::int32_t zeile, std::int32_t spalte) {
  Falle falle(kModul, "TestComboEdit");
  kategorie_.TestComboEdit(falle, zeile, spalte);
}

void frmKat1::GridGebühren1_CellClick(std::int32_t zeile, std::int32_t spalte) {
  Falle falle(kModul, "GridGebühren1_CellClick");
  falle([&] { TestComboEdit(zeile, spalte); });
}

void frmKat1::GridGebühren1_RowChange(std::int32_t zeile) {
  Falle falle(kModul, "GridGebühren1_RowChange");
  falle([&] { TestComboEdit(zeile, GridGebühren1.Col()); });
}

void frmKat1::GridGebühren1_ColChange(std::int32_t spalte) {
  Falle falle(kModul, "GridGebühren1_ColChange");
  falle([&] { TestComboEdit(GridGebühren1.Row(), spalte); });
}

void frmKat1::GridGebühren1_CellIsDirty(std::int16_t& flag) {
  Falle falle(kModul, "GridGebühren1_CellIsDirty");
  ZeileGeändert(GridGebühren1.Row());
  falle([&] {
    switch (GridGebühren1.Col()) {
      case 3:
        GridGebühren1.SetText(WertFormatieren(GridGebühren1.Text(), 4, 0));
        break;
      case 4:
        GridGebühren1.SetText(WertFormatieren(GridGebühren1.Text(), 8, 0));
        break;
      default:
        break;
    }
  });
  GebührenBerechnen();
  flag = 0;
}

void frmKat1::GridGebühren1_KeyDown(std::int16_t& taste, std::int16_t umschalt) {
  Falle falle(kModul, "GridGebühren1_KeyDown");
  formulare::Zeilenende(falle, GridGebühren1, taste, umschalt, 3, Zeilenhoehe,
                        [this](std::int32_t zeile) {
                          ZeileEingefügt(zeile);
                          NeuWerte();
                          GebührenBerechnen();
                        });
}

void frmKat1::ComboBox4_LostFocus() {
  Falle falle(kModul, "ComboBox4_LostFocus");
  // The category goes into the row the combo box was shown for, which is then recomputed.
  kategorie_.Übernehmen(falle);
  falle([&] {
    if (ActiveControl() == &GridGebühren1) GridGebühren1.SetCol(3);
  });
}

void frmKat1::CheckBoxEinsichtnahme_Click() {
  Falle falle(kModul, "CheckBoxEinsichtnahme_Click");
  falle([&] { GebührenBerechnen(); });
}

void frmKat1::Markieren(controls::MaskEdBox& feld, const char* prozedur) {
  Falle falle(kModul, prozedur);
  falle([&] { TextMarkieren(feld); });
}

void frmKat1::MaskEdBoxErmäßigung_LostFocus() {
  Falle falle(kModul, "MaskEdBoxErmäßigung_LostFocus");
  falle([&] { ProzentErmäßigung = NachInteger(CVal(MaskEdBoxErmäßigung.Text())); });
  falle([&] {
    MaskEdBoxErmäßigung.SetText(WertFormatieren(CStr(Variant(ProzentErmäßigung)), 2, 0));
  });
}

void frmKat1::CommandNeu_Click() {
  Falle falle(kModul, "Commandneu_Click");
  falle([&] {
    const std::int32_t zeile = std::max(GridGebühren1.Row(), 1);
    GridGebühren1.InsertRow(zeile);
    ZeileEingefügt(zeile);
  });
  falle([&] { GridGebühren1.SetRowHeight(GridGebühren1.Row(), Zeilenhoehe); });
  NeuWerte();
}

void frmKat1::CommandLöschen_Click() {
  Falle falle(kModul, "CommandLöschen_Click");
  // A category still in the combo box goes into its row before rows can move.
  kategorie_.Übernehmen(falle);
  const std::vector<std::int32_t> entfernt = formulare::ZeilenLöschen(falle, GridGebühren1);
  for (std::int32_t zeile : entfernt) ZeileEntfernt(zeile);
  // The row left when every row went is empty now: its fee is computed again, as nothing.
  if (!entfernt.empty() && formulare::ZeileLeer(GridGebühren1, 1, {4})) ZeileGeändert(1);
  if (!entfernt.empty()) ErmäßigungErmitteln();
}

void frmKat1::CommandAbbruch_Click() {
  Falle falle(kModul, "CommandAbbruch_Click");
  falle([&] { Unload(); });
}

void frmKat1::CommandEnde_Click() {
  Falle falle(kModul, "CommandEnde_Click");
  Pointer = controls::MousePointer::Hourglass;
  kat1::AbrechnungSchreiben(falle, *this);
  falle([&] { Einsichtnahme(); });
  formulare::Abschliessen(falle, *this);
}

void frmKat1::Überschrift(std::int16_t zeile, word::Table tabelle) {
  Falle falle(kModul, "Überschrift");
  kat1::ÜberschriftSchreiben(falle, mskAnteil.Text(), zeile, tabelle);
}

void frmKat1::GebührEintragen(std::int16_t zeile, double gebühr, word::Table tabelle) {
  Falle falle(kModul, "GebührEintragen");
  kat1::GebührSchreiben(falle, mskAnteil.Text(), zeile, gebühr, tabelle);
}

void frmKat1::TabelleFormatieren(word::Table tabelle) {
  Falle falle(kModul, "TabelleFormatieren");
  kat1::TabelleFormatieren(falle, tabelle, kat1::BreitenAbrechnung);
}

void frmKat1::TabelleFormatiereneinsicht(word::Table tabelle) {
  Falle falle(kModul, "TabelleFormatiereneinsicht");
  kat1::TabelleFormatieren(falle, tabelle, kat1::BreitenAbmarkung);
}

void frmKat1::Einsichtnahme() {
  Falle falle(kModul, "Einsichtnahme");
  kat1::AbmarkungSchreiben(falle, *this);
}

std::vector<controls::Eingabehinweis> frmKat1::Eingabehinweise() const {
  formulare::Hinweise hinweise;
  for (std::int32_t zeile = 1; zeile <= GridGebühren1.Rows(); ++zeile) {
    formulare::ListePruefen(hinweise, GridGebühren1, zeile, 2, {"I", "II", "III", "IV"});
    formulare::MengePruefen(hinweise, GridGebühren1, zeile, 3, formulare::Grenze32);
  }
  formulare::TeilPruefen(hinweise, mskErmäßigt, "davon ermäßigt", mskAnzahl,
                         "Anzahl Grenzpunkte nach Nr. 2");
  formulare::AnteilPruefen(hinweise, mskAnteil, "Anteil 1/1000");
  return hinweise;
}

void Kat1Registrieren() {
  formulare::FormularRegistrieren(0, [] { return std::make_shared<frmKat1>(); });
}

}  // namespace tarvo
