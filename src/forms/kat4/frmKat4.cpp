#include "forms/kat4/frmKat4.h"

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/KM_WordAuto.h"
#include "errors/Falle.h"
#include "fees/modStatus.h"
#include "forms/Abmarkung.h"
#include "forms/Eingabehinweise.h"
#include "forms/Formulare.h"
#include "forms/Formularknoepfe.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat4/Kat4Abrechnung.h"
#include "forms/kat4/Kat4Einlesen.h"
#include "forms/kat4/Kat4Gebuehren.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo {
namespace {

constexpr const char* kModul = "frmKat4";

// Grid layout: headings (with their leading blank) and widths in twips.
constexpr const char* kUeberschriften[] = {"", " Grenzpunkte", " davon ermäßigt", " Anteil ",
                                           " Kosten [€]"};
constexpr float kBreiten[] = {3000, 1200, 1200, 1000, 1000};
constexpr const char* kFeldTexte[] = {"Abgemarkte Grenzpunkte nach 6.1",
                                      "Abgemarkte Grenzpunkte nach 6.22", "Anteil 1/1000"};

}  // namespace

frmKat4::frmKat4()
    : controls::Form("frmKat4", Titel),
      Label1(*this, "Label1"),
      GridGebühren6(*this, "GridGebühren6"),
      sevFrame1(*this, "sevFrame1"),
      Option41(*this, "Option41"),
      Option42(*this, "Option42"),
      mskneueAP(*this, "mskneueAP", 3),
      mskGP2(*this, "mskGP2", 3),
      mskAnteil(*this, "mskAnteil", 4),
      chk20(*this, "chk20"),
      lblVersion(*this, "lblVersion"),
      CommandEnde(*this, "CommandEnde"),
      CommandAbbruch(*this, "CommandAbbruch"),
      CommandNeu(*this, "CommandNeu"),
      CommandLöschen(*this, "CommandLöschen") {
  Label1.SetCaption("Grenzwiederherstellung");
  sevFrame1.SetCaption("Abrechnung nach");
  Option41.SetCaption("4.1");
  Option42.SetCaption("4.2");
  Option41.SetContainer(&sevFrame1);
  Option42.SetContainer(&sevFrame1);
  Option41.SetValue(true);  // as designed: Nr. 4.1 applies until the user chooses 4.2
  chk20.SetCaption("keine Mindestgebühr bei Nebenkosten");
  CommandEnde.SetCaption("&OK");
  CommandAbbruch.SetCaption("&Abbruch");
  CommandNeu.SetCaption("&Einfügen");
  CommandLöschen.SetCaption("&Löschen");
  for (int i = 0; i < 3; ++i) {
    lblGebühren7_[i] =
        std::make_unique<controls::Label>(*this, "lblGebühren7(" + std::to_string(i) + ")");
    lblGebühren7_[i]->SetCaption(kFeldTexte[i]);
  }
  // Designed positions (twips): the heading, the grid with the item options beside it, under
  // the grid the marking counts on the left, share and check box on the right, the buttons at
  // the foot. The options sit inside their frame.
  Width = 9840;
  Height = 5280;
  Label1.Move(120, 120, 4000, 300);
  GridGebühren6.Move(120, 480, 7560, 3000);
  sevFrame1.Move(7800, 480, 1920, 900);
  Option41.Move(7920, 780, 780, 300);
  Option42.Move(8820, 780, 780, 300);
  constexpr float kZeile = 360, kOben = 3620, kFeldhoehe = 300;
  lblGebühren7_[0]->Move(120, kOben, 2700, kFeldhoehe);
  mskneueAP.Move(2880, kOben, 600, kFeldhoehe);
  lblGebühren7_[1]->Move(120, kOben + kZeile, 2700, kFeldhoehe);
  mskGP2.Move(2880, kOben + kZeile, 600, kFeldhoehe);
  lblGebühren7_[2]->Move(5040, kOben, 1500, kFeldhoehe);
  mskAnteil.Move(6600, kOben, 700, kFeldhoehe);
  chk20.Move(5040, kOben + kZeile, 3400, kFeldhoehe);
  constexpr float kKnopfOben = 4680, kKnopf = 1100;
  lblVersion.Move(120, kKnopfOben + 60, 2000, kFeldhoehe);
  CommandNeu.Move(3360, kKnopfOben, kKnopf, 420);
  CommandLöschen.Move(3360 + kKnopf + 60, kKnopfOben, kKnopf, 420);
  CommandEnde.Move(3360 + 2 * (kKnopf + 60), kKnopfOben, kKnopf, 420);
  CommandAbbruch.Move(3360 + 3 * (kKnopf + 60), kKnopfOben, kKnopf, 420);

  GridGebühren6.CellIsDirty.Connect([this](std::int16_t& f) { GridGebühren6_CellIsDirty(f); });
  GridGebühren6.KeyDown.Connect(
      [this](std::int16_t& k, std::int16_t s) { GridGebühren6_KeyDown(k, s); });
  Option41.Click.Connect([this] { AlleZeilenBerechnen("Option41_Click"); });
  Option42.Click.Connect([this] { AlleZeilenBerechnen("Option42_Click"); });
  CommandEnde.Click.Connect([this] { CommandEnde_Click(); });
  CommandAbbruch.Click.Connect([this] { CommandAbbruch_Click(); });
  CommandNeu.Click.Connect([this] { CommandNeu_Click(); });
  CommandLöschen.Click.Connect([this] { CommandLöschen_Click(); });
  mskAnteil.GotFocus.Connect([this] { Markieren(mskAnteil, "mskAnteil_GotFocus"); });
  mskGP2.GotFocus.Connect([this] { Markieren(mskGP2, "mskGP2_GotFocus"); });
  mskneueAP.GotFocus.Connect([this] { Markieren(mskneueAP, "mskneueAP_GotFocus"); });
}

frmKat4::~frmKat4() = default;

controls::Label& frmKat4::lblGebühren7(int index) {
  if (index < 0 || index > 2) throw Laufzeitfehler(9);
  return *lblGebühren7_[static_cast<std::size_t>(index)];
}

void frmKat4::Form_Load() {
  Falle falle(kModul, "Form_Load");
  formulare::KnopfbilderSetzen(falle, CommandEnde, CommandAbbruch, CommandLöschen, CommandNeu);
  falle([&] { lblVersion.SetCaption(formulare::Versionsangabe()); });
  AlteTabelle = word::Table();
  AlteTabelleAbmarkung = word::Table();
  falle([&] {
    if (auto tabelle = TabelleErmitteln(Tag, false)) AlteTabelle = *tabelle;
  });
  Pointer = controls::MousePointer::Hourglass;
  if (!formulare::Vorhanden(AlteTabelle)) {
    falle([&] { GridGebühren6.SetRows(1); });
    falle([&] { GridGebühren6.SetCols(5); });
    falle([&] { GridGebühren6.SetRow(1); });
    falle([&] { GridGebühren6.SetRowHeight(1, Zeilenhoehe); });
    NeuWerte();
    ÜbernehmenWerte(1);
    falle([&] { mskAnteil.SetText("1000"); });
  } else {
    kat4::AbrechnungEinlesen(falle, *this, AlteTabelle);
  }

  // The marking table of the statement chosen; with none the marking share is the whole fee.
  falle([&] {
    if (auto tabelle = TabelleErmitteln(TagAbmarkung, true)) AlteTabelleAbmarkung = *tabelle;
  });
  falle([&] {
    if (formulare::Vorhanden(AlteTabelleAbmarkung) &&
        (!formulare::Vorhanden(AlteTabelle) ||
         !formulare::GehoertZu(AlteTabelle, AlteTabelleAbmarkung, Tag)))
      AlteTabelleAbmarkung = word::Table();
  });
  if (formulare::Vorhanden(AlteTabelleAbmarkung))
    kat4::AbmarkungEinlesen(falle, *this, AlteTabelleAbmarkung);
  else
    falle([&] { mskAnteil.SetText("1000"); });

  falle([&] { GridGebühren6.SetCols(5); });
  for (std::int32_t spalte = 1; spalte <= 5; ++spalte) {
    falle([&] { GridGebühren6.SetColHeading(spalte, kUeberschriften[spalte - 1]); });
    falle([&] { GridGebühren6.SetColWidth(spalte, kBreiten[spalte - 1]); });
    // Column 1 (the parcel text) aligns left, the numbers right; the fee is not editable.
    falle([&] { GridGebühren6.SetColSetting(spalte, "Ausrichtung", spalte == 1 ? 0 : 2); });
  }
  falle([&] { GridGebühren6.SetColSetting(5, "Bearbeitbar", 0); });
  // The columns that hold numbers: their cell editor takes only what a number may hold.
  for (std::int32_t spalte : {2, 3, 4})
    falle([&] { GridGebühren6.SetColSetting(spalte, "Zahl", 1); });
  falle([&] { GridGebühren6.SetRow(1); });
  formulare::Chk20AusNebenkosten(falle, chk20);
  formulare::InHostfensterEinbetten(falle, *this);
  Pointer = controls::MousePointer::Default;
}

void frmKat4::ÜbernehmenWerte(std::int16_t zeile) {
  Falle falle(kModul, "ÜbernehmenWerte");
  bool leer = false;
  falle.Still([&] { leer = formulare::ZeileLeer(GridGebühren6, zeile, {5}); });
  if (leer) {
    falle([&] { GridGebühren6.SetTextMatrix(zeile, 5, ""); });
    return;
  }
  double gebühr = 0;
  falle([&] { gebühr = kat4::GebührNachPunkten(GridGebühren6.TextMatrix(zeile, 2)); });
  falle([&] { gebühr -= kat4::AbzugErmäßigt(GridGebühren6.TextMatrix(zeile, 3)); });
  falle([&] {
    gebühr = kat4::NachNummer(gebühr, Option42.Value() ? kat4::Nr::Nr42 : kat4::Nr::Nr41);
  });
  falle(
      [&] { GridGebühren6.SetTextMatrix(zeile, 5, WertFormatieren(CStr(Variant(gebühr)), 6, 2)); });
}

void frmKat4::AlleZeilenBerechnen(const char* prozedur) {
  Falle falle(kModul, prozedur);
  const std::int32_t zeilen = GridGebühren6.Rows();
  for (std::int32_t i = 1; i <= zeilen && i <= 32767; ++i)
    ÜbernehmenWerte(static_cast<std::int16_t>(i));
}

void frmKat4::NeuWerte() {
  Falle falle(kModul, "NeuWerte");
  const std::int32_t zeile = GridGebühren6.Row();
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 1, "Flst.Nr. " + Status().Flurstücksnummer); });
  falle([&] {
    GridGebühren6.SetTextMatrix(zeile, 2,
                                kat4::Rechtsbündig(CStr(Variant(Status().AnzahlGrenzpunkte)), 2));
  });
  falle([&] { GridGebühren6.SetTextMatrix(zeile, 3, " 0"); });
  // The share goes in through the current cell, which then moves back to the parcel text.
  falle([&] { GridGebühren6.SetCol(4); });
  falle([&] { GridGebühren6.SetText("1000"); });
  falle([&] { GridGebühren6.SetCol(1); });
}

void frmKat4::GridGebühren6_CellIsDirty(std::int16_t& flag) {
  Falle falle(kModul, "GridGebühren6_CellIsDirty");
  falle([&] {
    const std::int32_t spalte = GridGebühren6.Col();
    if (spalte == 2 || spalte == 3 || spalte == 4)
      GridGebühren6.SetText(WertFormatieren(GridGebühren6.Text(), 4, 0));
  });
  falle([&] { ÜbernehmenWerte(static_cast<std::int16_t>(GridGebühren6.Row())); });
  flag = 0;
}

void frmKat4::GridGebühren6_KeyDown(std::int16_t& taste, std::int16_t umschalt) {
  Falle falle(kModul, "GridGebühren6_KeyDown");
  const bool genommen = formulare::Zeilenende(
      falle, GridGebühren6, taste, umschalt, 4, Zeilenhoehe, [&](std::int32_t zeile) {
        NeuWerte();
        falle([&] { ÜbernehmenWerte(static_cast<std::int16_t>(zeile)); });
      });
  if (genommen) falle([&] { GridGebühren6.SetCol(1); });
}

void frmKat4::Markieren(controls::MaskEdBox& feld, const char* prozedur) {
  Falle falle(kModul, prozedur);
  falle([&] { TextMarkieren(feld); });
}

void frmKat4::CommandNeu_Click() {
  Falle falle(kModul, "Commandneu_Click");
  falle([&] { GridGebühren6.InsertRow(std::max(GridGebühren6.Row(), 1)); });
  falle([&] { GridGebühren6.SetRowHeight(GridGebühren6.Row(), Zeilenhoehe); });
  NeuWerte();
  // Computed at once, as a row added with Tab is: what the row shows is what "OK" charges.
  ÜbernehmenWerte(static_cast<std::int16_t>(GridGebühren6.Row()));
}

void frmKat4::CommandLöschen_Click() {
  Falle falle(kModul, "CommandLöschen_Click");
  formulare::ZeilenLöschen(falle, GridGebühren6);
}

void frmKat4::CommandAbbruch_Click() {
  Falle falle(kModul, "CommandAbbruch_Click");
  falle([&] { Unload(); });
}

void frmKat4::CommandEnde_Click() {
  Falle falle(kModul, "CommandEnde_Click");
  Pointer = controls::MousePointer::Hourglass;
  kat4::AbrechnungSchreiben(falle, *this);
  falle([&] { Einsichtnahme(); });
  formulare::Abschliessen(falle, *this);
}

void frmKat4::Überschrift(std::int16_t zeile, word::Table tabelle) {
  Falle falle(kModul, "Überschrift");
  bool mitAnteil = false;
  // A share that cannot be read was reported with its row; it makes no share heading.
  for (std::int32_t i = 1; i <= GridGebühren6.Rows() && !mitAnteil; ++i)
    falle.Still([&] { mitAnteil = kat4::ZeileMitAnteil(GridGebühren6, i); });
  kat4::ÜberschriftSchreiben(falle, mitAnteil, zeile, tabelle);
}

void frmKat4::GebührEintragen(std::int16_t zeile, double gebühr, word::Table tabelle,
                              const std::int16_t& anteil) {
  Falle falle(kModul, "GebührEintragen");
  kat4::BetragSchreiben(falle, zeile, gebühr, tabelle, anteil);
}

void frmKat4::TabelleFormatieren(word::Table tabelle) {
  Falle falle(kModul, "TabelleFormatieren");
  kat4::TabelleFormatieren(falle, tabelle, kat4::BreitenAbrechnung);
}

void frmKat4::TabelleFormatiereneinsicht(word::Table tabelle) {
  Falle falle(kModul, "TabelleFormatiereneinsicht");
  kat4::TabelleFormatieren(falle, tabelle, formulare::BreitenAbmarkung);
}

void frmKat4::Einsichtnahme() {
  Falle falle(kModul, "Einsichtnahme");
  kat4::AbmarkungSchreiben(falle, *this);
}

std::vector<controls::Eingabehinweis> frmKat4::Eingabehinweise() const {
  formulare::Hinweise hinweise;
  for (std::int32_t zeile = 1; zeile <= GridGebühren6.Rows(); ++zeile) {
    const bool punkte =
        formulare::MengePruefen(hinweise, GridGebühren6, zeile, 2, formulare::Grenze16).has_value();
    if (formulare::MengePruefen(hinweise, GridGebühren6, zeile, 3, formulare::Grenze16) && punkte)
      formulare::TeilPruefen(hinweise, GridGebühren6, zeile, 3, 2);
    formulare::AnteilPruefen(hinweise, GridGebühren6, zeile, 4);
  }
  formulare::AnteilPruefen(hinweise, mskAnteil, "Anteil 1/1000");
  return hinweise;
}

void Kat4Registrieren() {
  formulare::FormularRegistrieren(3, [] { return std::make_shared<frmKat4>(); });
}

}  // namespace tarvo
