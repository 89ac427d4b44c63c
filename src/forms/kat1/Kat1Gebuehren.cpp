#include "forms/kat1/Kat1Gebuehren.h"

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "errors/Pruefen.h"
#include "fees/GebuehrTabellen.h"

namespace tarvo::kat1 {

double GebührTeilA(const std::string& anzahlText) {
  return GebührAusTabelle1(NachLong(CVal(anzahlText)));
}

double BetragErmäßigtePunkte(const std::string& ermäßigtText) {
  return -77 * CVal(ermäßigtText);
}

double GebührTeilB(const std::string& flächeText, const std::string& kategorie) {
  return GebührAusTabelle2(NachLong(CVal(flächeText)), kategorie);
}

std::int16_t ErmäßigungProzent(std::int32_t parzellen, bool eingeschaltet) {
  if (!eingeschaltet) return 0;
  std::int32_t p = LongMal(3, LongMinus(parzellen, 5));
  if (p > 50) p = 50;
  if (p < 3) p = 0;
  return static_cast<std::int16_t>(p);
}

std::string LabelText(double betrag) {
  return zahltext::Schreiben(betrag) + " €";
}

std::string BetragText(double betrag) {
  return WertFormatieren(CStr(Variant(betrag)), 10, 2) + " €";
}

bool AnteilTeilt(const std::string& anteilText) {
  return anteilText != "1000" && !anteilText.empty();
}

bool AnteilÜberschrift(const std::string& anteilText) {
  return CVal(anteilText) != 1000;
}

double AnteilBetrag(double gebühr, const std::string& anteilText) {
  const double v = CVal(anteilText);
  if (v == 333) return gebühr / 3;
  if (v == 666) return 2 * gebühr / 3;
  return gebühr * v / 1000;
}

}  // namespace tarvo::kat1
