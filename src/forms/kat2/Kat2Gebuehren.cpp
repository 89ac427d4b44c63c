#include "forms/kat2/Kat2Gebuehren.h"

#include <cmath>

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "errors/Pruefen.h"

namespace tarvo::kat2 {
namespace {

// Upper bound of each area class (whole m²) and its base fee, ascending.
struct Klasse {
  double bis;
  double gebühr;
};
constexpr Klasse kKlassen[] = {{50, 153},   {300, 409},   {500, 562},
                               {1000, 869}, {5000, 1534}, {10000, 2556}};
constexpr double kSonstige = 4090;
constexpr std::int16_t kEingeschlosseneTeile = 3;
constexpr std::int16_t kJeWeiteresTeil = 77;

}  // namespace

double Grundgebühr(double fläche) {
  const double x = std::floor(fläche);
  if (x < 0) return kSonstige;
  for (const Klasse& klasse : kKlassen)
    if (x <= klasse.bis) return klasse.gebühr;
  return kSonstige;
}

double Gebäudegebühr(const std::string& flächeText, const std::string& teileText,
                     Variante variante) {
  const std::int16_t teile = NachInteger(CVal(teileText));
  double gebühr = Grundgebühr(CVal(flächeText));
  if (teile > kEingeschlosseneTeile)
    gebühr += IntegerMal(static_cast<std::int16_t>(teile - kEingeschlosseneTeile), kJeWeiteresTeil);
  switch (variante) {
    case Variante::Nr31:
      break;
    case Variante::Nr32:
      gebühr *= 0.25;
      break;
    case Variante::Nr33:
      gebühr *= 1.05;
      break;
  }
  return gebühr;
}

std::int16_t AnteilWert(const std::string& anteilText) {
  return NachInteger(CVal(anteilText));
}

double AnteilBetrag(double gebühr, std::int16_t anteil) {
  if (anteil == 333) return gebühr / 3;
  if (anteil == 666) return (gebühr + gebühr) / 3;
  return gebühr * anteil / 1000;
}

std::string BetragText(double betrag) {
  return WertFormatieren(CStr(Variant(betrag)), 10, 2) + " €";
}

std::string GebührText(double gebühr) {
  return WertFormatieren(CStr(Variant(gebühr)), 8, 2);
}

}  // namespace tarvo::kat2
