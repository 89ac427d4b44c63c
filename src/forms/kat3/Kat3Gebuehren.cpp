#include "forms/kat3/Kat3Gebuehren.h"

#include "common/Funktionen.h"
#include "common/Variant.h"
#include "errors/Pruefen.h"

namespace tarvo::kat3 {

double Koeffizient(const std::string& unterposition) {
  if (unterposition == "5.1.1") return 4.0;
  if (unterposition == "5.1.2") return 3.5;
  return 3.0;
}

double Dichtewert(const std::string& dichte) {
  if (dichte == "bis 5") return 5.0;
  if (dichte == "über 5 bis 15") return 5.5;
  return 6.0;
}

double PreisJeMeter(const std::string& unterposition, const std::string& dichte) {
  return Koeffizient(unterposition) * Dichtewert(dichte);
}

std::int16_t Achslänge(const std::string& achseText) {
  const std::int16_t achse = NachInteger(CVal(achseText));
  return achse < 1 ? std::int16_t{1} : achse;
}

double Zuschlag(double preis, double meter, double faktor) {
  return preis * meter * faktor;
}

std::string Rasterbetrag(double betrag) {
  return WertFormatieren(CStr(Variant(betrag)), 8, 2);
}

Zeilenwerte ZeileBerechnen(const std::string& unterposition, const std::string& dichte,
                           const std::string& achseText) {
  Zeilenwerte werte;
  werte.achse = Achslänge(achseText);
  const double preis = PreisJeMeter(unterposition, dichte);
  werte.preis = Rasterbetrag(preis);
  werte.gebühr = Rasterbetrag(preis * werte.achse);
  return werte;
}

}  // namespace tarvo::kat3
