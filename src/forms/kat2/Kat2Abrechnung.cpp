#include "forms/kat2/Kat2Abrechnung.h"

#include <algorithm>

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "forms/Formularknoepfe.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat2/Kat2Gebuehren.h"
#include "forms/kat2/frmKat2.h"

namespace tarvo::kat2 {
namespace {

using formulare::Eintragen;
using formulare::Schrift;

constexpr const char* kZeilenenden = "\r\n\r\n";
constexpr const char* kAnteil = "Ihr Anteil beträgt ";
constexpr char kUmbruch = '\v';  // manual line break, character 11

// `anzahl` characters of `text` from the `von`-th on (1-based, UTF-8 characters, not bytes).
std::string Zeichenfolge(const std::string& text, std::size_t von, std::size_t anzahl) {
  auto byte = [&](std::size_t zeichen) {
    std::size_t i = 0;
    for (std::size_t n = 1; n < zeichen && i < text.size(); ++n) {
      ++i;
      while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return std::min(i, text.size());
  };
  const std::size_t anfang = byte(von);
  return text.substr(anfang, byte(von + anzahl) - anfang);
}

bool Leer(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// An amount cell ("    563,00 €") as the grid's fee column shows it; empty stays empty.
std::string Betragszelle(const std::string& text) {
  if (Leer(text)) return "";
  return GebührText(CVal(text));
}

// Appends the share line to cell (zeile, 1), two points smaller than the text before it.
void AnteilZeileSchreiben(word::Table& tabelle, std::int32_t zeile, const std::string& anteil) {
  const std::string text = kAnteil + anteil + "/1000";
  word::Range zelle = tabelle.Cell(zeile, 1).Range();
  const float größe = zelle.Font().Size();
  zelle.InsertAfter(std::string(1, kUmbruch) + text);
  const std::int32_t ende = tabelle.Cell(zeile, 1).Range().End() - 1;
  Dokument()
      .Range(ende - static_cast<std::int32_t>(formulare::Zeichen(text)), ende)
      .Font()
      .SetSize(größe - 2);
}

// Fills grid row `i` from statement row `r`.
void ZeileEinlesen(Falle& falle, frmKat2& f, const word::Table& t, std::int32_t i, std::int32_t r) {
  controls::Grid& grid = f.GridGebühren2;
  falle([&] { grid.SetRow(i); });
  falle([&] { grid.SetRowHeight(i, frmKat2::Zeilenhoehe); });
  bool leer = false;
  falle.Still([&] { leer = formulare::TabellenzeileLeer(t, r); });
  if (leer) return;
  falle([&] { grid.SetTextMatrix(i, 4, "1000"); });
  falle([&] {
    std::string text = ZellText(t, r, 1);
    std::string gebühr = ZellText(t, r, 5);
    const auto umbruch = text.find(kUmbruch);
    // A first cell without the line break (typed over by hand) is all parcel text.
    grid.SetTextMatrix(i, 1, text.substr(0, umbruch));
    text = umbruch == std::string::npos ? std::string() : text.substr(umbruch + 1);
    const auto zweiter = text.find(kUmbruch);
    if (zweiter != std::string::npos) {
      grid.SetTextMatrix(i, 6, text.substr(0, zweiter));
      // The share stands between "beträgt " and "/1000" as the grid showed it ("1.500" too).
      std::string anteil = text.substr(zweiter + 1);
      const auto stelle = anteil.find(kAnteil);
      if (stelle != std::string::npos) anteil = anteil.substr(stelle + std::string(kAnteil).size());
      anteil = anteil.substr(0, anteil.find('/'));
      grid.SetTextMatrix(i, 4, WertFormatieren(CStr(Variant(CVal(anteil))), 4, 0));
      gebühr = ZellText(t, r, 4);
    } else {
      grid.SetTextMatrix(i, 6, text);
    }
    grid.SetTextMatrix(i, 5, Betragszelle(gebühr));
  });
  falle([&] { grid.SetTextMatrix(i, 2, formulare::Zahlzelle(ZellText(t, r, 2), 8)); });
  falle([&] { grid.SetTextMatrix(i, 3, formulare::Zahlzelle(ZellText(t, r, 3), 4)); });
}

}  // namespace

std::string Titel(const frmKat2& f) {
  switch (f.Variante()) {
    case Variante::Nr32:
      return "Gebäudeaufnahme nach Nr. 3.2";
    case Variante::Nr33:
      return "Gebäudeaufnahme nach Nr. 3.3";
    case Variante::Nr31:
      break;
  }
  return "Gebäudeaufnahme nach Nr. 3.1";
}

void TabelleFormatieren(Falle& falle, word::Table& tabelle) {
  formulare::RahmenEntfernen(falle, tabelle);
  for (std::int32_t spalte = 2; spalte <= 5; ++spalte)
    formulare::SpalteAusrichten(falle, tabelle, spalte, word::wdAlignParagraphRight);
  formulare::SpaltenBreiten(falle, tabelle, Breiten);
}

void ÜberschriftSchreiben(Falle& falle, const frmKat2& f, std::int32_t zeile,
                          word::Table& tabelle) {
  bool mitAnteil = false;
  const std::int32_t zeilen = f.GridGebühren2.Rows();
  for (std::int32_t i = 1; i <= zeilen && !mitAnteil; ++i) {
    if (formulare::ZeileLeer(f.GridGebühren2, i, {5})) continue;
    std::int16_t anteil = 1000;
    if (falle.Still([&] { anteil = AnteilWert(f.GridGebühren2.TextMatrix(i, 4)); }))
      mitAnteil = IstAnteil(anteil);
  }
  const std::string kopf = kZeilenenden;
  if (mitAnteil) {
    falle([&] { Eintragen(tabelle, zeile, 5, kopf + "Ihr Anteil", Schrift::Fett); });
    falle([&] { Eintragen(tabelle, zeile, 4, kopf + "Gebühr", Schrift::Fett); });
  } else {
    falle([&] { Eintragen(tabelle, zeile, 5, kopf + "Gebühr", Schrift::Fett); });
  }
}

void GebührSchreiben(Falle& falle, std::int32_t zeile, double gebühr, word::Table& tabelle,
                     std::int16_t anteil) {
  if (!IstAnteil(anteil)) {
    falle([&] { Eintragen(tabelle, zeile, 5, BetragText(gebühr)); });
    return;
  }
  double betrag = 0;
  falle([&] { betrag = AnteilBetrag(gebühr, anteil); });
  falle([&] { Eintragen(tabelle, zeile, 5, WertFormatieren(CStr(Variant(betrag)), 10, 2)); });
  falle([&] { Eintragen(tabelle, zeile, 5, " €"); });
  falle([&] { Eintragen(tabelle, zeile, 4, BetragText(gebühr)); });
}

void AbrechnungSchreiben(Falle& falle, frmKat2& f) {
  controls::Grid& grid = f.GridGebühren2;
  word::Range stelle = formulare::NeueTabellenStelle(falle, f.AlteTabelle);
  const std::int32_t n = grid.Rows();
  word::Table t;
  falle([&] { t = Dokument().Tables().Add(stelle, n + 1, 5); });

  // The heading row: the title at the top of its cell, the column headings at the foot.
  const std::string kopf = kZeilenenden;
  falle([&] { Eintragen(t, 1, 1, Titel(f) + kopf, Schrift::Fett); });
  falle([&] { Eintragen(t, 1, 2, kopf + "Grundfläche [m²]", Schrift::Fett); });
  falle([&] { Eintragen(t, 1, 3, kopf + "Gebäudeteile", Schrift::Fett); });
  f.Überschrift(1, t);

  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t r = i + 1;
    // An empty row (what "Löschen" leaves of all rows) writes an empty line.
    if (formulare::ZeileLeer(grid, i, {5})) continue;
    std::int16_t anteil = 1000;
    const bool anteilLesbar = falle([&] { anteil = AnteilWert(grid.TextMatrix(i, 4)); });
    falle([&] { Eintragen(t, r, 1, grid.TextMatrix(i, 1) + kUmbruch + grid.TextMatrix(i, 6)); });
    if (anteilLesbar && IstAnteil(anteil))
      falle([&] { AnteilZeileSchreiben(t, r, grid.TextMatrix(i, 4)); });
    falle([&] { Eintragen(t, r, 2, grid.TextMatrix(i, 2)); });
    falle([&] { Eintragen(t, r, 3, grid.TextMatrix(i, 3)); });
    // A fee that could not be computed, or a share that cannot be read, charges nothing.
    std::string gebühr;
    falle([&] { gebühr = grid.TextMatrix(i, 5); });
    if (anteilLesbar && !Leer(gebühr)) f.GebührEintragen(r, CVal(gebühr), t, anteil);
  }

  falle([&] { Dokument().Content().InsertParagraphAfter(); });
  f.TabelleFormatieren(t);
  falle([&] { BookmarkSetzen(t, frmKat2::Tag); });
}

void AbrechnungEinlesen(Falle& falle, frmKat2& f, const word::Table& t) {
  falle([&] {
    const std::string variante = Zeichenfolge(ZellText(t, 1, 1), 26, 3);
    if (variante == "3.2")
      f.Option32.SetValue(true);
    else if (variante == "3.3")
      f.Option33.SetValue(true);
    else
      f.Option31.SetValue(true);
  });
  std::int32_t tabellenZeilen = 0;
  falle([&] { tabellenZeilen = t.Rows().Count(); });
  const std::int32_t zeilen = std::max(tabellenZeilen - 1, 0);
  falle([&] { f.GridGebühren2.SetRows(zeilen); });
  falle([&] { f.GridGebühren2.SetCols(frmKat2::Spalten); });
  for (std::int32_t i = 1; i <= zeilen; ++i) ZeileEinlesen(falle, f, t, i, i + 1);
}

}  // namespace tarvo::kat2
