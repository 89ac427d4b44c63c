#include "forms/kat4/Kat4Gebuehren.h"

#include <algorithm>

#include "common/Funktionen.h"
#include "errors/Pruefen.h"
#include "fees/GebuehrTabellen.h"
#include "forms/Tabellenschrift.h"

namespace tarvo::kat4 {

double GebührNachPunkten(const std::string& punkteText) {
  return GebührAusTabelle4(NachLong(CVal(punkteText)));
}

double AbzugErmäßigt(const std::string& ermäßigtText) {
  return AbzugJeErmäßigtenPunkt * CVal(ermäßigtText);
}

double NachNummer(double gebühr, Nr nr) {
  if (nr == Nr::Nr42) return gebühr * Faktor42;
  return std::max(gebühr, Mindestgebühr41);
}

std::int16_t Anteil(const std::string& anteilText) {
  if (std::none_of(anteilText.begin(), anteilText.end(),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return GanzeGebühr;
  return NachInteger(CVal(anteilText));
}

double AnteilBetrag(double gebühr, std::int16_t anteil) {
  if (anteil == 333) return gebühr / 3;
  if (anteil == 666) return 2 * gebühr / 3;
  return gebühr * anteil / 1000;
}

std::string ZweiStellen(double betrag) {
  std::string text = werte::Formatiert(betrag, 2);
  text.erase(std::remove(text.begin(), text.end(), '.'), text.end());
  return text;
}

std::string Rechtsbündig(const std::string& text, std::size_t breite) {
  const std::size_t zeichen = formulare::Zeichen(text);
  return zeichen >= breite ? text : std::string(breite - zeichen, ' ') + text;
}

}  // namespace tarvo::kat4
