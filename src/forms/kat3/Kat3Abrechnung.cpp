#include "forms/kat3/Kat3Abrechnung.h"

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "forms/Kategorieformular.h"
#include "forms/Tabellenschrift.h"
#include "forms/kat3/Kat3Gebuehren.h"
#include "forms/kat3/frmKat3.h"

namespace tarvo::kat3 {
namespace {

using formulare::Eintragen;
using formulare::Schrift;

constexpr const char* kZeilenende = "\r\n";
constexpr const char* kDavon = "Davon ";

// An amount cell of the statement: WertFormatieren width 8, two places, then " €".
std::string Betragszelle(double betrag) {
  return WertFormatieren(CStr(Variant(betrag)), 8, 2) + " €";
}

// `text` split at its first tab: the part before and the part after ("" when there is none).
std::pair<std::string, std::string> AmTabTeilen(const std::string& text) {
  const std::size_t tab = text.find('\t');
  if (tab == std::string::npos) return {text, ""};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

// One surcharge row after row `zeile` (the table's last rows are filled in order, so the row
// added at the end is the next free one): the sentence, the amount in column 5, the widths
// that give the sentence nearly the whole line.
void Zuschlagszeile(Falle& falle, word::Table& t, std::int32_t zeile, const std::string& satz,
                    double betrag) {
  falle([&] { t.Rows().Add(); });
  falle([&] { Eintragen(t, zeile, 1, satz); });
  falle([&] { Eintragen(t, zeile, 5, Betragszelle(betrag)); });
  formulare::ZellBreiten(falle, t, zeile, {14.1f, 0.3f, 0.3f, 0.3f, 2.5f});
}

}  // namespace

std::string ZuschlagOrtslage(double meter) {
  return kDavon + CStr(Variant(meter)) +
         " m innerhalb geschlossener Ortslage ergibt einen Zuschlag von ";
}

std::string ZuschlagFahrstreifen(double meter) {
  return kDavon + CStr(Variant(meter)) +
         " m mit vier oder mehr Fahrstreifen ergibt einen Zuschlag von ";
}

void TabelleFormatieren(Falle& falle, word::Table& tabelle) {
  formulare::RahmenEntfernen(falle, tabelle);
  formulare::SpalteAusrichten(falle, tabelle, 5, word::wdAlignParagraphRight);
  formulare::SpaltenBreiten(falle, tabelle, BreitenAbrechnung);
}

void AbrechnungSchreiben(Falle& falle, frmKat3& f) {
  controls::Grid& grid = f.GridGebühren6;
  word::Range stelle = formulare::NeueTabellenStelle(falle, f.AlteTabelle);
  const std::int32_t n = grid.Rows();
  word::Table t;
  falle([&] { t = Dokument().Tables().Add(stelle, n + 1, 5); });
  f.TabelleFormatieren(t);

  // The heading row; the bookmark on cell (1,5) marks the fee column.
  const std::string absatz = std::string(kZeilenende) + kZeilenende;
  falle([&] { Eintragen(t, 1, 1, std::string(frmKat3::Titel) + absatz, Schrift::Fett); });
  falle([&] { Eintragen(t, 1, 2, absatz + " Nr.\t Flurstücke", Schrift::Fett); });
  falle([&] {
    t.Cell(1, 3).Range().ParagraphFormat().TabStops().Add(
        formulare::Punkte(1.8f), word::wdAlignTabLeft, word::wdTabLeaderSpaces);
  });
  falle([&] { Eintragen(t, 1, 3, absatz + " Achse [m]   Preis/lfdm", Schrift::Fett); });
  falle([&] { Eintragen(t, 1, 5, absatz + "Gebühr", Schrift::Fett); });
  falle([&] { t.Cell(1, 5).Select(); });
  falle([&] {
    // The document model refuses a bookmark that ends behind the last cell's end mark (at the
    // end of the row), so the mark stays outside it.
    word::Range zelle = Anwendung().Selection().Range();
    zelle.MoveEnd(word::wdCharacter, -1);
    Dokument().Bookmarks().Add(frmKat3::Tag, zelle);
  });

  // One fee line per axis section, each followed by its surcharge lines.
  std::int32_t r = 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t zeile = r + 1;
    falle([&] { Eintragen(t, zeile, 1, grid.TextMatrix(i, 1)); });
    falle([&] { Eintragen(t, zeile, 2, grid.TextMatrix(i, 2) + "\t" + grid.TextMatrix(i, 3)); });
    falle([&] {
      Eintragen(
          t, zeile, 3,
          grid.TextMatrix(i, 4) + "\t" + WertFormatieren(grid.TextMatrix(i, 7), 11, 2) + " €");
    });
    falle([&] { Eintragen(t, zeile, 5, Betragszelle(CVal(grid.TextMatrix(i, 8)))); });
    double preis = 0, imOrt = 0, mehrspurig = 0;
    falle([&] { preis = CVal(grid.TextMatrix(i, 7)); });
    falle([&] { imOrt = CVal(grid.TextMatrix(i, 5)); });
    falle([&] { mehrspurig = CVal(grid.TextMatrix(i, 6)); });
    if (imOrt != 0) {
      Zuschlagszeile(falle, t, r + 2, ZuschlagOrtslage(imOrt),
                     Zuschlag(preis, imOrt, FaktorOrtslage));
      ++r;
    }
    if (mehrspurig != 0) {
      Zuschlagszeile(falle, t, r + 2, ZuschlagFahrstreifen(mehrspurig),
                     Zuschlag(preis, mehrspurig, FaktorFahrstreifen));
      ++r;
    }
    ++r;
  }

  falle([&] { Dokument().Content().InsertParagraphAfter(); });
  falle([&] { BookmarkSetzen(t, frmKat3::Tag); });
}

void AbrechnungEinlesen(Falle& falle, frmKat3& f, const word::Table& t) {
  controls::Grid& grid = f.GridGebühren6;
  std::int32_t tabellenZeilen = 0;
  falle([&] { tabellenZeilen = t.Rows().Count(); });
  falle([&] { grid.SetRows(std::max(tabellenZeilen - 1, 0)); });
  falle([&] { grid.SetCols(frmKat3::Spalten); });
  std::int32_t g = 1;
  for (std::int32_t r = 2; r <= tabellenZeilen; ++r) {
    std::string erste;
    falle([&] { erste = ZellText(t, r, 1); });
    if (erste.compare(0, 6, kDavon) == 0) {
      // A surcharge line: its length goes back to the section above it. One before any
      // section has no row to go to.
      if (g == 1) continue;
      falle([&] {
        const std::string länge = CStr(Variant(CVal(erste.substr(6))));
        grid.SetTextMatrix(g - 1, erste.find("Ort") != std::string::npos ? 5 : 6, länge);
      });
      continue;
    }
    bool leer = false;
    falle.Still([&] { leer = formulare::TabellenzeileLeer(t, r); });
    if (leer) {
      falle([&] { grid.SetRowHeight(g, frmKat3::Zeilenhoehe); });
      ++g;
      continue;
    }
    falle([&] { grid.SetTextMatrix(g, 1, erste); });
    falle([&] {
      const auto [nr, dichte] = AmTabTeilen(ZellText(t, r, 2));
      grid.SetTextMatrix(g, 2, nr);
      grid.SetTextMatrix(g, 3, dichte);
    });
    falle([&] {
      const auto [achse, preis] = AmTabTeilen(ZellText(t, r, 3));
      grid.SetTextMatrix(g, 4, achse);
      grid.SetTextMatrix(g, 7, preis);
    });
    falle([&] {
      grid.SetTextMatrix(g, 8, WertFormatieren(CStr(Variant(CVal(ZellText(t, r, 5)))), 8, 2));
    });
    falle([&] { grid.SetRowHeight(g, frmKat3::Zeilenhoehe); });
    ++g;
  }
  falle([&] { grid.SetRows(std::max(g - 1, 1)); });
}

}  // namespace tarvo::kat3
