#include "forms/kat1/Kat1Einlesen.h"

#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "errors/Pruefen.h"
#include "forms/Abmarkung.h"
#include "forms/kat1/frmKat1.h"

namespace tarvo::kat1 {
namespace {

constexpr const char* kErmäßigungsZeile = "Die Gebühr nach Gebü";

bool BeginntMit(const std::string& text, const std::string& anfang) {
  return text.compare(0, anfang.size(), anfang) == 0;
}

// A cell's number as the grid or a field shows it.
std::string Zahl(const std::string& zelle, std::int16_t breite, std::int16_t stellen) {
  return WertFormatieren(CStr(Variant(CVal(zelle))), breite, stellen);
}

// A count or area as the statement shows it, taken back as it stands when it is a plain number
// (digits, blanks, grouping points, a decimal comma): what the form wrote comes back unchanged,
// so confirming a re-opened statement rewrites the same cells. Anything else is normalised.
bool SchlichteZahl(const std::string& text) {
  bool ziffer = false;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      ziffer = true;
    else if (c != ' ' && c != '.' && c != ',' && c != '-')
      return false;
  }
  return ziffer;
}
std::string ZahlWieGeschrieben(const std::string& zelle, std::int16_t breite) {
  return SchlichteZahl(zelle) ? zelle : Zahl(zelle, breite, 0);
}
}  // namespace

std::string AbZeichen(const std::string& text, std::size_t zeichen) {
  std::size_t i = 0;
  for (std::size_t gezählt = 1; gezählt < zeichen && i < text.size(); ++gezählt) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return i < text.size() ? text.substr(i) : std::string();
}

void AbrechnungEinlesen(Falle& falle, frmKat1& f, const word::Table& t) {
  std::int32_t tabellenZeilen = 0;
  falle([&] { tabellenZeilen = t.Rows().Count(); });

  // 1. The reduction note, found by its beginning; its percentage starts at character 40.
  bool mitNotiz = false;
  for (std::int32_t r = 2; r <= tabellenZeilen && !mitNotiz; ++r) {
    falle([&] {
      const std::string text = ZellText(t, r, 1);
      if (!BeginntMit(text, kErmäßigungsZeile)) return;
      mitNotiz = true;
      double prozent = werte::FuehrendeZahl(AbZeichen(text, 40));
      if (prozent > 50) prozent = 50;
      f.CheckBoxEinsichtnahme.SetValue(1);
      f.MaskEdBoxErmäßigung.SetText(WertFormatieren(CStr(Variant(prozent)), 2, 0));
    });
  }

  // 2. The grid: one row per parcel line.
  bool mitErmäßigtenPunkten = false;
  falle(
      [&] { mitErmäßigtenPunkten = tabellenZeilen >= 4 && ZellText(t, 4, 2) == "davon ermäßigt"; });
  const std::int32_t parzellen =
      tabellenZeilen - 5 - (mitNotiz ? 1 : 0) - (mitErmäßigtenPunkten ? 1 : 0);
  falle([&] { f.GridGebühren1.SetRows(std::max(parzellen, 0)); });
  falle([&] { f.GridGebühren1.SetCols(4); });

  // 3. The share from the title's second line.
  falle([&] { f.mskAnteil.SetText(formulare::AnteilAusTitel(ZellText(t, 1, 1))); });

  // 4. The point counts.
  falle([&] { formulare::ZahlfeldAusZelle(f.mskAnzahl, ZellText(t, 3, 3), 3); });
  if (mitErmäßigtenPunkten)
    falle([&] { formulare::ZahlfeldAusZelle(f.mskErmäßigt, ZellText(t, 4, 3), 3); });

  // 5. The parcels, with the fees as they were charged.
  const std::int32_t erste = mitErmäßigtenPunkten ? 7 : 6;
  std::int32_t r = erste;
  for (std::int32_t i = 1; i <= parzellen; ++i, ++r) {
    falle([&] {
      if (BeginntMit(ZellText(t, r, 1), kErmäßigungsZeile)) ++r;
    });
    // A parcel line without parcel, category and area is the empty row "Löschen" left: it comes
    // back empty, so it is computed as nothing again.
    bool leer = false;
    falle.Still([&] {
      leer = ZellText(t, r, 1).find_first_not_of(' ') == std::string::npos &&
             ZellText(t, r, 2).find_first_not_of(' ') == std::string::npos &&
             ZellText(t, r, 3).find_first_not_of(' ') == std::string::npos;
    });
    if (leer) {
      falle([&] { f.GridGebühren1.SetRowHeight(i, frmKat1::Zeilenhoehe); });
      continue;
    }
    falle([&] { f.GridGebühren1.SetTextMatrix(i, 1, ZellText(t, r, 1)); });
    falle([&] { f.GridGebühren1.SetTextMatrix(i, 2, ZellText(t, r, 2)); });
    falle([&] { f.GridGebühren1.SetTextMatrix(i, 3, ZahlWieGeschrieben(ZellText(t, r, 3), 4)); });
    falle([&] {
      std::string gebühr = ZellText(t, r, 4);
      if (gebühr.empty()) gebühr = ZellText(t, r, 5);
      f.GridGebühren1.SetTextMatrix(i, 4, Zahl(gebühr, 8, 2));
    });
    falle([&] { f.GridGebühren1.SetRowHeight(i, frmKat1::Zeilenhoehe); });
  }
}

void AbmarkungEinlesen(Falle& falle, frmKat1& f, const word::Table& t) {
  formulare::AbmarkungEinlesen(falle, t, f.mskGP, f.mskGP2, 3);
}

}  // namespace tarvo::kat1
