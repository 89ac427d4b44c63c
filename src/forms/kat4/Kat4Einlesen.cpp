#include "forms/kat4/Kat4Einlesen.h"

#include <algorithm>

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "errors/Pruefen.h"
#include "forms/Abmarkung.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat4/Kat4Abrechnung.h"
#include "forms/kat4/Kat4Gebuehren.h"
#include "forms/kat4/frmKat4.h"

namespace tarvo::kat4 {
namespace {

constexpr char kZeilenumbruch = '\v';

// The share text of a note line "Ihr Anteil beträgt 500/1000": what stands between the phrase
// and "/1000".
std::string AnteilAusNotiz(const std::string& notiz) {
  std::string rest = notiz;
  const std::size_t phrase = rest.find(AnteilNotiz);
  if (phrase != std::string::npos) rest = rest.substr(phrase + std::string(AnteilNotiz).size());
  return rest.substr(0, rest.find('/'));
}

}  // namespace

void AbrechnungEinlesen(Falle& falle, frmKat4& f, const word::Table& t) {
  // The item: characters 33 to 35 of the title read "4.2" under Nr. 4.2.
  falle([&] {
    const std::string titel = ZellText(t, 1, 1);
    if (titel.size() >= 35 && titel.compare(32, 3, "4.2") == 0)
      f.Option42.SetValue(true);
    else
      f.Option41.SetValue(true);
  });

  std::int32_t tabellenZeilen = 0;
  falle([&] { tabellenZeilen = t.Rows().Count(); });
  falle([&] { f.GridGebühren6.SetRows(std::max(tabellenZeilen - 1, 0)); });
  falle([&] { f.GridGebühren6.SetCols(5); });

  for (std::int32_t r = 2; r <= tabellenZeilen; ++r) {
    const std::int32_t i = r - 1;
    falle([&] { f.GridGebühren6.SetRowHeight(i, frmKat4::Zeilenhoehe); });
    bool leer = false;
    falle.Still([&] { leer = formulare::TabellenzeileLeer(t, r); });
    if (leer) continue;
    falle([&] { f.GridGebühren6.SetTextMatrix(i, 4, "1000"); });
    double anteil = GanzeGebühr;
    std::string zellen[6];
    for (std::int32_t j = 1; j <= 5; ++j) {
      falle([&] {
        std::string text = ZellText(t, r, j);
        const std::size_t umbruch = text.find(kZeilenumbruch);
        if (umbruch != std::string::npos) {
          if (j == 1) {
            // The share as it was written (" 250", "1.500"); any other text as its whole number.
            const std::string notiz = AnteilAusNotiz(text.substr(umbruch + 1));
            anteil = RundeGerade(CVal(notiz));
            f.GridGebühren6.SetTextMatrix(i, 4,
                                          formulare::ZahlWieAngezeigt(notiz, 4)
                                              ? notiz
                                              : Rechtsbündig(CStr(Variant(anteil)), 4));
          }
          text.erase(umbruch);
        }
        zellen[j] = std::move(text);
      });
    }
    for (std::int32_t j = 1; j <= 3; ++j)
      falle([&] { f.GridGebühren6.SetTextMatrix(i, j, zellen[j]); });
    falle([&] {
      const std::string& gebühr = anteil == GanzeGebühr ? zellen[5] : zellen[4];
      f.GridGebühren6.SetTextMatrix(i, 5, WertFormatieren(CStr(Variant(CVal(gebühr))), 8, 2));
    });
  }
}

void AbmarkungEinlesen(Falle& falle, frmKat4& f, const word::Table& t) {
  formulare::AbmarkungEinlesen(falle, t, f.mskneueAP, f.mskGP2, 2);
  falle([&] { f.mskAnteil.SetText(formulare::AnteilAusTitel(ZellText(t, 1, 1))); });
}

}  // namespace tarvo::kat4
