#include "forms/kat1/Kat1Abrechnung.h"

#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "errors/Pruefen.h"
#include "forms/Abmarkung.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat1/Kat1Gebuehren.h"
#include "forms/kat1/frmKat1.h"

namespace tarvo::kat1 {
namespace {

constexpr const char* kTitel =
    "Katastervermessung zum Zweck der Bildung von Flurstücken nach Nr. 2";

using formulare::Eintragen;
using formulare::Schrift;
using formulare::Zeichen;
using formulare::ZellBreiten;

}  // namespace

void TabelleFormatieren(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]) {
  formulare::RahmenEntfernen(falle, tabelle);
  falle(
      [&] { Anwendung().Selection().ParagraphFormat().SetAlignment(word::wdAlignParagraphRight); });
  formulare::SpaltenBreiten(falle, tabelle, breitenCm);
  formulare::SpalteAusrichten(falle, tabelle, 1, word::wdAlignParagraphLeft);
}

void ÜberschriftSchreiben(Falle& falle, const std::string& anteilText, std::int32_t zeile,
                          word::Table& tabelle) {
  if (AnteilÜberschrift(anteilText)) {
    falle([&] { Eintragen(tabelle, zeile, 5, "Ihr Anteil", Schrift::Fett); });
    falle([&] { Eintragen(tabelle, zeile, 4, "Gebühr", Schrift::Fett); });
  } else {
    falle([&] { Eintragen(tabelle, zeile, 5, "Gebühr", Schrift::Fett); });
  }
}

void GebührSchreiben(Falle& falle, const std::string& anteilText, std::int32_t zeile, double gebühr,
                     word::Table& tabelle) {
  if (AnteilTeilt(anteilText)) {
    falle([&] { Eintragen(tabelle, zeile, 5, BetragText(AnteilBetrag(gebühr, anteilText))); });
    falle([&] { Eintragen(tabelle, zeile, 4, BetragText(gebühr)); });
  } else {
    falle([&] { Eintragen(tabelle, zeile, 5, BetragText(gebühr)); });
  }
}

void AbrechnungSchreiben(Falle& falle, frmKat1& f) {
  // 1. The percentage shown; the grid's open edit ends first.
  std::int16_t p = 0;
  falle([&] { p = NachInteger(CVal(f.MaskEdBoxErmäßigung.Text())); });
  falle([&] { f.GridGebühren1.EndEdit(); });
  falle([&] {
    if (CVal(f.MaskEdBoxErmäßigung.Text()) == 0)
      f.MaskEdBoxErmäßigung.SetText(WertFormatieren(CStr(Variant(p)), 2, 0));
  });

  // 2. to 4. The place, the table, its layout.
  word::Range stelle = formulare::NeueTabellenStelle(falle, f.AlteTabelle);
  const std::int32_t n = f.GridGebühren1.Rows();
  const bool mitErmäßigung = CVal(f.MaskEdBoxErmäßigung.Text()) > 0;
  const bool mitErmäßigtenPunkten = CVal(f.mskErmäßigt.Text()) > 0;
  const std::int32_t zeilen = n + 5 + (mitErmäßigung ? 1 : 0) + (mitErmäßigtenPunkten ? 1 : 0);
  word::Table t;
  falle([&] { t = Dokument().Tables().Add(stelle, zeilen, 5); });
  f.TabelleFormatieren(t);

  // 5. The title, with the share line when a share applies.
  const std::string anteil = f.mskAnteil.Text();
  falle([&] {
    word::Range titel = t.Cell(1, 1).Range();
    titel.InsertAfter(kTitel);
    titel.SetBold(true);
    const float größe = titel.Font().Size();
    t.Cell(1, 1).Range().InsertAfter("\r\n");
    if (AnteilÜberschrift(anteil)) {
      const std::string text = "(Ihr Anteil beträgt " + anteil + "/1000)";
      word::Range zelle = t.Cell(1, 1).Range();
      zelle.InsertAfter(text);
      // The share line: the text just inserted before the end-of-cell mark.
      const std::int32_t ende = t.Cell(1, 1).Range().End() - 1;
      word::Range zeile = Dokument().Range(ende - static_cast<std::int32_t>(Zeichen(text)), ende);
      zeile.SetBold(false);
      zeile.Font().SetSize(größe - 2);
    }
  });
  ZellBreiten(falle, t, 1, {13, 0.5f, 0.5f, 1});

  // 6. to 8. Part a and the reduced points.
  falle([&] { Eintragen(t, 2, 1, "Gebührenteil a) Grenzwiederherstellung", Schrift::Kursiv); });
  falle([&] { Eintragen(t, 2, 3, "Anz. Grenzpkt.", Schrift::Fett); });
  f.Überschrift(2, t);
  falle([&] { Eintragen(t, 3, 3, f.mskAnzahl.Text()); });
  f.GebührEintragen(3, CVal(f.lblGP.Caption()), t);
  std::int32_t h = 5;
  if (mitErmäßigtenPunkten) {
    falle([&] { Eintragen(t, 4, 2, "davon ermäßigt"); });
    falle([&] { Eintragen(t, 4, 3, f.mskErmäßigt.Text()); });
    f.GebührEintragen(4, CVal(f.lblErm.Caption()), t);
    h = 6;
  }

  // 9. and 10. Part b, one line per parcel.
  falle([&] { Eintragen(t, h, 1, "Gebührenteil b) Grenzfeststellung", Schrift::Kursiv); });
  falle([&] { Eintragen(t, h, 2, "Kategorie", Schrift::Fett); });
  falle([&] { Eintragen(t, h, 3, "Fläche", Schrift::Fett); });
  f.Überschrift(static_cast<std::int16_t>(h), t);
  double summeB = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int16_t zeile = static_cast<std::int16_t>(std::min<std::int32_t>(h + i, 32767));
    for (std::int32_t spalte = 1; spalte <= 3; ++spalte)
      falle([&] { Eintragen(t, h + i, spalte, f.GridGebühren1.TextMatrix(i, spalte)); });
    double gebühr = 0;
    falle([&] { gebühr = CVal(f.GridGebühren1.TextMatrix(i, 4)); });
    f.GebührEintragen(zeile, gebühr, t);
    summeB += gebühr;
  }

  // 11. The part-b reduction.
  if (mitErmäßigung) {
    falle([&] {
      f.ProzentErmäßigung = NachInteger(CVal(f.MaskEdBoxErmäßigung.Text()));
      p = f.ProzentErmäßigung;
    });
    const std::int32_t r = h + n + 1;
    falle([&] {
      Eintragen(t, r, 1,
                "Die Gebühr nach Gebührenteil b) ist um " + CStr(Variant(p)) + "% ermäßigt",
                Schrift::Fett);
    });
    double ermäßigung = 0;
    falle([&] { ermäßigung = CVal(CStr(Variant(summeB * p * -0.01))); });
    f.GebührEintragen(static_cast<std::int16_t>(std::min<std::int32_t>(r, 32767)), ermäßigung, t);
    ZellBreiten(falle, t, r, {10, 1, 1, 3});
  }

  // 12. The tag the next load finds the statement by.
  falle([&] { BookmarkSetzen(t, frmKat1::Tag); });
}

void AbmarkungSchreiben(Falle& falle, frmKat1& f) {
  formulare::Abmarkung a;
  a.punkteNr61 = f.mskGP.Text();
  a.punkteNr622 = f.mskGP2.Text();
  a.mitAnteil = AnteilÜberschrift(f.mskAnteil.Text());
  a.tag = frmKat1::TagAbmarkung;
  a.formatieren = [&](word::Table& t) { f.TabelleFormatiereneinsicht(t); };
  a.gebührEintragen = [&](std::int16_t zeile, double gebühr, word::Table& t) {
    f.GebührEintragen(zeile, gebühr, t);
  };
  formulare::AbmarkungSchreiben(falle, f.AlteTabelleAbmarkung, a);
}

}  // namespace tarvo::kat1
