#include "forms/Abmarkung.h"

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"

namespace tarvo::formulare {
namespace {

constexpr const char* kAnteil = "Ihr Anteil beträgt";

// Whether a cell holds a count as a field of `stellen` places wrote it: digits and blanks only,
// not longer than the field, at least one digit.
bool WieGeschrieben(std::int32_t stellen, const std::string& zelle) {
  bool ziffer = false;
  for (char c : zelle) {
    if (c >= '0' && c <= '9')
      ziffer = true;
    else if (c != ' ')
      return false;
  }
  return ziffer && static_cast<std::int32_t>(zelle.size()) <= stellen;
}

}  // namespace

void ZahlfeldAusZelle(controls::MaskEdBox& feld, const std::string& zelle, std::int16_t breite) {
  feld.SetText(WieGeschrieben(feld.Stellen(), zelle)
                   ? zelle
                   : WertFormatieren(CStr(Variant(CVal(zelle))), breite, 0));
}

word::Range Anhängen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
                     const std::string& text) {
  // The cell's range ends with its end mark; what is appended goes before it.
  const std::int32_t vorher = tabelle.Cell(zeile, spalte).Range().End() - 1;
  tabelle.Cell(zeile, spalte).Range().InsertAfter(text);
  const std::int32_t nachher = tabelle.Cell(zeile, spalte).Range().End() - 1;
  return Dokument().Range(vorher, nachher);
}

void AbmarkungSchreiben(Falle& falle, word::Table& alteTabelle, const Abmarkung& a) {
  const bool alteDa = Vorhanden(alteTabelle);
  word::Range stelle = NeueTabellenStelle(falle, alteTabelle);
  double g1 = 0, g2 = 0;
  falle([&] { g1 = CVal(a.punkteNr61); });
  falle([&] { g2 = CVal(a.punkteNr622); });
  if (!(g1 > 0) && !(g2 > 0)) return;

  if (a.eigenerAbsatz && !alteDa) {
    falle([&] {
      stelle.InsertParagraphAfter();
      stelle.Collapse(word::wdCollapseEnd);
    });
  }
  const std::int32_t zeilen = 2 + (g1 > 0 ? 1 : 0) + (g2 > 0 ? 1 : 0);
  word::Table t;
  falle([&] { t = Dokument().Tables().Add(stelle, zeilen, 5); });
  a.formatieren(t);

  falle([&] { Eintragen(t, 1, 1, TitelAbmarkung, Schrift::Fett); });
  if (a.mitAnteil && !a.anteilImTitel.empty()) {
    falle([&] {
      const float größe = t.Cell(1, 1).Range().Font().Size();
      word::Range zeile =
          Anhängen(t, 1, 1, "\r\n(" + std::string(kAnteil) + " " + a.anteilImTitel + "/1000)");
      zeile.Font().SetSize(größe - 2);
      zeile.SetBold(false);
    });
  }
  falle([&] { Eintragen(t, 2, 2, "Anzahl", Schrift::Fett); });
  falle([&] { Eintragen(t, 2, 3, "Gebühr je Punkt", Schrift::Fett); });
  if (a.mitAnteil) {
    falle([&] { Eintragen(t, 2, 5, "Ihr Anteil", Schrift::Fett); });
    falle([&] { Eintragen(t, 2, 4, "Gebühr", Schrift::Fett); });
  } else {
    falle([&] { Eintragen(t, 2, 5, "Gebühr", Schrift::Fett); });
  }
  std::int16_t r = 3;
  if (g1 > 0) {
    falle([&] { Eintragen(t, r, 1, ZeileNr61, Schrift::Kursiv); });
    falle([&] { Eintragen(t, r, 2, a.punkteNr61); });
    falle([&] { Eintragen(t, r, 3, "26 €"); });
    a.gebührEintragen(r, GebührJePunktNr61 * g1, t);
    ++r;
  }
  if (g2 > 0) {
    falle([&] { Eintragen(t, r, 1, ZeileNr622, Schrift::Kursiv); });
    falle([&] { Eintragen(t, r, 2, a.punkteNr622); });
    falle([&] { Eintragen(t, r, 3, "61 €"); });
    a.gebührEintragen(r, GebührJePunktNr622 * g2, t);
  }
  falle([&] { BookmarkSetzen(t, a.tag); });
}

void AbmarkungEinlesen(Falle& falle, const word::Table& t, controls::MaskEdBox& nr61,
                       controls::MaskEdBox& nr622, std::int16_t breite) {
  falle([&] {
    if (ZellText(t, 3, 1) == ZeileNr61) {
      ZahlfeldAusZelle(nr61, ZellText(t, 3, 2), breite);
      if (t.Rows().Count() >= 4) ZahlfeldAusZelle(nr622, ZellText(t, 4, 2), breite);
    } else {
      ZahlfeldAusZelle(nr622, ZellText(t, 3, 2), breite);
    }
  });
}

std::string AnteilAusTitel(const std::string& titel) {
  const std::size_t stelle = titel.find(kAnteil);
  if (stelle == std::string::npos) return "1000";
  // The number stands one blank after the phrase (19 characters after its start). The share
  // field's text as it was written ("250 ") comes back as it stands.
  const std::string rest = titel.substr(stelle + std::string(kAnteil).size() + 1);
  const std::string geschrieben = rest.substr(0, rest.find('/'));
  if (rest.find('/') != std::string::npos && WieGeschrieben(4, geschrieben) &&
      werte::FuehrendeZahl(geschrieben) != 0)
    return geschrieben;
  double anteil = werte::FuehrendeZahl(rest);
  if (anteil == 0) anteil = 1;
  std::string text = CStr(Variant(anteil));
  if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
  return text;
}

}  // namespace tarvo::formulare
