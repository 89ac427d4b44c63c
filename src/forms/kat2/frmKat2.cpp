#include "forms/kat2/frmKat2.h"

#include <algorithm>

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
#include "forms/kat2/Kat2Abrechnung.h"

namespace tarvo {
namespace {

constexpr const char* kModul = "frmKat2";

// Grid layout: headings (with their leading blanks) and widths in twips.
constexpr const char* kUeberschriften[] = {"Flurstücksnummer", " Fläche [m²]",
                                           " Gebäudeteile",    " Anteil [1/1000]",
                                           " Kosten [€]",      " Gebäudebeschreibung"};
constexpr float kBreiten[] = {2700, 1300, 1100, 1400, 1000, 3000};

}  // namespace

frmKat2::frmKat2()
    : controls::Form("frmKat2", Titel),
      Label1(*this, "Label1"),
      GridGebühren2(*this, "GridGebühren2"),
      sevFrame1(*this, "sevFrame1"),
      Option31(*this, "Option31"),
      Option32(*this, "Option32"),
      Option33(*this, "Option33"),
      chk20(*this, "chk20"),
      lblVersion(*this, "lblVersion"),
      CommandEnde(*this, "CommandEnde"),
      CommandAbbruch(*this, "CommandAbbruch"),
      CommandNeu(*this, "CommandNeu"),
      CommandLöschen(*this, "CommandLöschen") {
  Label1.SetCaption(Titel);
  sevFrame1.SetCaption("Abrechnung nach");
  Option31.SetCaption("3.1");
  Option32.SetCaption("3.2");
  Option33.SetCaption("3.3");
  for (controls::OptionButton* option : {&Option31, &Option32, &Option33})
    option->SetContainer(&sevFrame1);
  // 3.1 is the designed choice; set before the handlers are connected, it computes nothing.
  Option31.SetValue(true);
  chk20.SetCaption("keine Mindestgebühr bei Nebenkosten");
  CommandEnde.SetCaption("&OK");
  CommandAbbruch.SetCaption("&Abbruch");
  CommandNeu.SetCaption("&Einfügen");
  CommandLöschen.SetCaption("&Löschen");
  // Designed positions (twips, on the form): the heading, the grid, under it the variant frame
  // with its three options and the check box, the buttons at the foot.
  Width = 11280;
  Height = 5340;
  Label1.Move(120, 120, 10800, 300);
  GridGebühren2.Move(120, 480, 10800, 3000);
  sevFrame1.Move(120, 3600, 3360, 660);
  Option31.Move(240, 3840, 900, 300);
  Option32.Move(1260, 3840, 900, 300);
  Option33.Move(2280, 3840, 900, 300);
  chk20.Move(3720, 3780, 3300, 300);
  constexpr float kKnopfOben = 4380, kKnopf = 1100, kAbstand = 60;
  lblVersion.Move(120, kKnopfOben + 60, 2400, 300);
  float links = 10920 - 4 * kKnopf - 3 * kAbstand;
  for (controls::CommandButton* knopf :
       {&CommandNeu, &CommandLöschen, &CommandEnde, &CommandAbbruch}) {
    knopf->Move(links, kKnopfOben, kKnopf, 420);
    links += kKnopf + kAbstand;
  }

  GridGebühren2.CellIsDirty.Connect([this](std::int16_t& f) { GridGebühren2_CellIsDirty(f); });
  GridGebühren2.KeyDown.Connect(
      [this](std::int16_t& k, std::int16_t s) { GridGebühren2_KeyDown(k, s); });
  Option31.Click.Connect([this] { AlleZeilenBerechnen("Option31_Click"); });
  Option32.Click.Connect([this] { AlleZeilenBerechnen("Option32_Click"); });
  Option33.Click.Connect([this] { AlleZeilenBerechnen("Option33_Click"); });
  CommandEnde.Click.Connect([this] { CommandEnde_Click(); });
  CommandAbbruch.Click.Connect([this] { CommandAbbruch_Click(); });
  CommandNeu.Click.Connect([this] { CommandNeu_Click(); });
  CommandLöschen.Click.Connect([this] { CommandLöschen_Click(); });
}

frmKat2::~frmKat2() = default;

kat2::Variante frmKat2::Variante() const {
  if (Option32.Value()) return kat2::Variante::Nr32;
  if (Option33.Value()) return kat2::Variante::Nr33;
  return kat2::Variante::Nr31;
}

void frmKat2::Form_Load() {
  Falle falle(kModul, "Form_Load");
  formulare::KnopfbilderSetzen(falle, CommandEnde, CommandAbbruch, CommandLöschen, CommandNeu);
  falle([&] { lblVersion.SetCaption(formulare::Versionsangabe()); });
  AlteTabelle = word::Table();
  falle([&] {
    if (auto tabelle = TabelleErmitteln(Tag, false)) AlteTabelle = *tabelle;
  });
  Pointer = controls::MousePointer::Hourglass;
  if (!formulare::Vorhanden(AlteTabelle)) {
    falle([&] { GridGebühren2.SetRows(1); });
    falle([&] { GridGebühren2.SetCols(Spalten); });
    falle([&] { GridGebühren2.SetRow(1); });
    NeuWerte();
    ÜbernehmenWerte(GridGebühren2.Row());
  } else {
    kat2::AbrechnungEinlesen(falle, *this, AlteTabelle);
  }
  falle([&] { GridGebühren2.SetCols(Spalten); });
  for (std::int32_t spalte = 1; spalte <= Spalten; ++spalte) {
    falle([&] { GridGebühren2.SetColHeading(spalte, kUeberschriften[spalte - 1]); });
    falle([&] { GridGebühren2.SetColWidth(spalte, kBreiten[spalte - 1]); });
    // The parcel aligns left, the numbers right; the description keeps the grid's default.
    if (spalte < Spalten)
      falle([&] { GridGebühren2.SetColSetting(spalte, "Ausrichtung", spalte == 1 ? 0 : 2); });
  }
  falle([&] { GridGebühren2.SetColSetting(5, "Bearbeitbar", 0); });
  // The columns that hold numbers: their cell editor takes only what a number may hold.
  for (std::int32_t spalte : {2, 3, 4})
    falle([&] { GridGebühren2.SetColSetting(spalte, "Zahl", 1); });
  falle([&] { GridGebühren2.SetRowHeight(1, Zeilenhoehe); });
  falle([&] { GridGebühren2.SetCol(1); });
  formulare::Chk20AusNebenkosten(falle, chk20);
  formulare::InHostfensterEinbetten(falle, *this);
  Pointer = controls::MousePointer::Default;
}

void frmKat2::ÜbernehmenWerte(std::int32_t zeile) {
  Falle falle(kModul, "ÜbernehmenWerte");
  bool leer = false;
  falle.Still([&] { leer = formulare::ZeileLeer(GridGebühren2, zeile, {5}); });
  if (leer) {
    falle([&] { GridGebühren2.SetTextMatrix(zeile, 5, ""); });
    return;
  }
  falle([&] { Status().Lage = GridGebühren2.TextMatrix(zeile, 6); });
  falle([&] { Status().Baukosten = CVal(GridGebühren2.TextMatrix(zeile, 2)); });
  // Stays empty when the fee cannot be computed: no fee of an earlier input may remain.
  std::string gebühr;
  falle([&] {
    gebühr = kat2::GebührText(kat2::Gebäudegebühr(GridGebühren2.TextMatrix(zeile, 2),
                                                  GridGebühren2.TextMatrix(zeile, 3), Variante()));
  });
  falle([&] { GridGebühren2.SetTextMatrix(zeile, 5, gebühr); });
}

void frmKat2::AlleZeilenBerechnen(const char* prozedur) {
  Falle falle(kModul, prozedur);
  const std::int32_t zeilen = GridGebühren2.Rows();
  for (std::int32_t zeile = 1; zeile <= zeilen; ++zeile) ÜbernehmenWerte(zeile);
}

void frmKat2::NeuWerte() {
  Falle falle(kModul, "NeuWerte");
  auto setzen = [&](std::int32_t spalte, const std::string& text) {
    falle([&] {
      GridGebühren2.SetCol(spalte);
      GridGebühren2.SetText(text);
    });
  };
  setzen(6, Status().Lage);
  setzen(3, " 0");
  std::string fläche;
  falle([&] { fläche = WertFormatieren(CStr(Variant(Status().Baukosten)), 8, 0); });
  setzen(2, fläche);
  setzen(4, "1000");
  setzen(1, "Flst.Nr. " + Status().Flurstücksnummer);
}

void frmKat2::GridGebühren2_CellIsDirty(std::int16_t& flag) {
  Falle falle(kModul, "GridGebühren2_CellIsDirty");
  falle([&] {
    switch (GridGebühren2.Col()) {
      case 2:
        GridGebühren2.SetText(WertFormatieren(GridGebühren2.Text(), 8, 0));
        break;
      case 3:
      case 4:
        GridGebühren2.SetText(WertFormatieren(GridGebühren2.Text(), 4, 0));
        break;
      default:
        break;
    }
  });
  ÜbernehmenWerte(GridGebühren2.Row());
  flag = 0;
}

void frmKat2::GridGebühren2_KeyDown(std::int16_t& taste, std::int16_t umschalt) {
  Falle falle(kModul, "GridGebühren2_KeyDown");
  const bool genommen = formulare::Zeilenende(falle, GridGebühren2, taste, umschalt, Spalten,
                                              Zeilenhoehe, [this](std::int32_t zeile) {
                                                NeuWerte();
                                                ÜbernehmenWerte(zeile);
                                              });
  if (genommen)
    falle([&] { GridGebühren2.SetSetting("Rollbalken", GridGebühren2.Rows() > 9 ? 1 : 0); });
}

void frmKat2::CommandNeu_Click() {
  Falle falle(kModul, "Commandneu_Click");
  falle([&] { GridGebühren2.InsertRow(std::max(GridGebühren2.Row(), 1)); });
  falle([&] { GridGebühren2.SetRowHeight(GridGebühren2.Row(), Zeilenhoehe); });
  NeuWerte();
  ÜbernehmenWerte(GridGebühren2.Row());
}

void frmKat2::CommandLöschen_Click() {
  Falle falle(kModul, "CommandLöschen_Click");
  formulare::ZeilenLöschen(falle, GridGebühren2);
}

void frmKat2::CommandAbbruch_Click() {
  Falle falle(kModul, "CommandAbbruch_Click");
  falle([&] { Unload(); });
}

void frmKat2::CommandEnde_Click() {
  Falle falle(kModul, "CommandEnde_Click");
  Pointer = controls::MousePointer::Hourglass;
  falle([&] { GridGebühren2.EndEdit(); });
  kat2::AbrechnungSchreiben(falle, *this);
  formulare::Abschliessen(falle, *this);
}

void frmKat2::Überschrift(std::int32_t zeile, word::Table tabelle) {
  Falle falle(kModul, "Überschrift");
  kat2::ÜberschriftSchreiben(falle, *this, zeile, tabelle);
}

void frmKat2::GebührEintragen(std::int32_t zeile, double gebühr, word::Table tabelle,
                              std::int16_t& anteil) {
  Falle falle(kModul, "GebührEintragen");
  kat2::GebührSchreiben(falle, zeile, gebühr, tabelle, anteil);
}

void frmKat2::TabelleFormatieren(word::Table tabelle) {
  Falle falle(kModul, "TabelleFormatieren");
  kat2::TabelleFormatieren(falle, tabelle);
}

std::vector<controls::Eingabehinweis> frmKat2::Eingabehinweise() const {
  formulare::Hinweise hinweise;
  for (std::int32_t zeile = 1; zeile <= GridGebühren2.Rows(); ++zeile) {
    formulare::MengePruefen(hinweise, GridGebühren2, zeile, 2, formulare::Grenze32);
    formulare::MengePruefen(hinweise, GridGebühren2, zeile, 3, formulare::Grenze16);
    formulare::AnteilPruefen(hinweise, GridGebühren2, zeile, 4);
  }
  return hinweise;
}

void Kat2Registrieren() {
  formulare::FormularRegistrieren(1, [] { return std::make_shared<frmKat2>(); });
}

}  // namespace tarvo
