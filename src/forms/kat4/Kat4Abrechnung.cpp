#include "forms/kat4/Kat4Abrechnung.h"

#include <algorithm>

#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "forms/Abmarkung.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat4/Kat4Gebuehren.h"
#include "forms/kat4/frmKat4.h"

namespace tarvo::kat4 {
namespace {

using formulare::Eintragen;
using formulare::Schrift;

// Two empty lines above the headings of row 1, so that they stand level with "Flurstücke".
constexpr const char* kZweiZeilen = "\r\n\r\n";

}  // namespace

void TabelleFormatieren(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]) {
  formulare::RahmenEntfernen(falle, tabelle);
  falle(
      [&] { Anwendung().Selection().ParagraphFormat().SetAlignment(word::wdAlignParagraphRight); });
  formulare::SpalteAusrichten(falle, tabelle, 1, word::wdAlignParagraphLeft);
  formulare::SpaltenBreiten(falle, tabelle, breitenCm);
}

void BetragSchreiben(Falle& falle, std::int32_t zeile, double gebühr, word::Table& tabelle,
                     std::int16_t anteil) {
  if (anteil == GanzeGebühr) {
    falle([&] { Eintragen(tabelle, zeile, 5, ZweiStellen(gebühr) + " €"); });
    return;
  }
  falle([&] {
    Eintragen(tabelle, zeile, 5, Rechtsbündig(ZweiStellen(AnteilBetrag(gebühr, anteil)), 8));
  });
  falle([&] { Eintragen(tabelle, zeile, 5, " €"); });
  falle([&] { Eintragen(tabelle, zeile, 4, ZweiStellen(gebühr) + " €"); });
}

bool ZeileMitAnteil(const controls::Grid& grid, std::int32_t zeile) {
  return Anteil(grid.TextMatrix(zeile, 4)) != GanzeGebühr;
}

void ÜberschriftSchreiben(Falle& falle, bool mitAnteil, std::int32_t zeile, word::Table& tabelle) {
  const std::string vor = kZweiZeilen;
  if (mitAnteil) {
    falle([&] { Eintragen(tabelle, zeile, 5, vor + "Ihr Anteil", Schrift::Fett); });
    falle([&] { Eintragen(tabelle, zeile, 4, vor + "Gebühr", Schrift::Fett); });
  } else {
    falle([&] { Eintragen(tabelle, zeile, 5, vor + "Gebühr", Schrift::Fett); });
  }
}

void AbrechnungSchreiben(Falle& falle, frmKat4& f) {
  falle([&] { f.GridGebühren6.EndEdit(); });

  // The place, the table, its layout.
  word::Range stelle = formulare::NeueTabellenStelle(falle, f.AlteTabelle);
  const std::int32_t n = f.GridGebühren6.Rows();
  word::Table t;
  falle([&] { t = Dokument().Tables().Add(stelle, n + 1, 5); });
  f.TabelleFormatieren(t);

  // Row 1: the title with the item, and the column headings two lines below it.
  falle([&] {
    Eintragen(t, 1, 1, f.Option41.Value() ? TitelNr41 : TitelNr42, Schrift::Fett);
    word::Range flurstücke = formulare::Anhängen(t, 1, 1, std::string(kZweiZeilen) + "Flurstücke");
    flurstücke.SetBold(true);
    flurstücke.SetUnderline(false);
  });
  falle([&] { Eintragen(t, 1, 2, std::string(kZweiZeilen) + "Grenzpunkte", Schrift::Fett); });
  falle([&] { Eintragen(t, 1, 3, std::string(kZweiZeilen) + "ermäßigt", Schrift::Fett); });

  // One line per parcel; a shared row carries the note of its share in a smaller second line.
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t r = i + 1;
    const std::int16_t zeile = static_cast<std::int16_t>(std::min<std::int32_t>(r, 32767));
    falle([&] { Eintragen(t, r, 1, f.GridGebühren6.TextMatrix(i, 1)); });
    std::int16_t anteil = GanzeGebühr;
    const bool anteilLesbar = falle([&] { anteil = Anteil(f.GridGebühren6.TextMatrix(i, 4)); });
    if (anteilLesbar && anteil != GanzeGebühr) {
      falle([&] {
        const float größe = t.Cell(r, 1).Range().Font().Size();
        word::Range notiz = formulare::Anhängen(
            t, r, 1, std::string("\v") + AnteilNotiz + f.GridGebühren6.TextMatrix(i, 4) + "/1000");
        notiz.Font().SetSize(größe - 2);
      });
    }
    // A share that cannot be read (reported above), or a row without a fee, charges nothing.
    std::string gebühr;
    falle([&] { gebühr = f.GridGebühren6.TextMatrix(i, 5); });
    if (anteilLesbar && gebühr.find_first_not_of(' ') != std::string::npos)
      f.GebührEintragen(zeile, CVal(gebühr), t, anteil);
    falle([&] { Eintragen(t, r, 2, f.GridGebühren6.TextMatrix(i, 2)); });
    falle([&] { Eintragen(t, r, 3, f.GridGebühren6.TextMatrix(i, 3)); });
  }
  f.Überschrift(1, t);

  // A paragraph after the document's end, then the tag the next load finds the statement by.
  falle([&] {
    word::Range ende = Dokument().Content();
    ende.Collapse(word::wdCollapseEnd);
    ende.InsertParagraphAfter();
  });
  falle([&] { BookmarkSetzen(t, frmKat4::Tag); });
}

void AbmarkungSchreiben(Falle& falle, frmKat4& f) {
  formulare::Abmarkung a;
  a.punkteNr61 = f.mskneueAP.Text();
  a.punkteNr622 = f.mskGP2.Text();
  std::int16_t anteil = GanzeGebühr;
  falle([&] { anteil = Anteil(f.mskAnteil.Text()); });
  a.mitAnteil = anteil != GanzeGebühr;
  a.anteilImTitel = f.mskAnteil.Text();
  a.eigenerAbsatz = true;
  a.tag = frmKat4::TagAbmarkung;
  a.formatieren = [&](word::Table& t) { f.TabelleFormatiereneinsicht(t); };
  a.gebührEintragen = [&](std::int16_t zeile, double gebühr, word::Table& t) {
    f.GebührEintragen(zeile, gebühr, t, anteil);
  };
  formulare::AbmarkungSchreiben(falle, f.AlteTabelleAbmarkung, a);
}

}  // namespace tarvo::kat4
