#include "erechnung/Rechnungsmodell.h"

#include <chrono>
#include <cstdio>

namespace tarvo::erechnung {

std::string BetragXml(Cent betrag) {
  const Cent betragAbs = betrag < 0 ? -betrag : betrag;
  char puffer[40];
  std::snprintf(puffer, sizeof puffer, "%s%lld.%02lld", betrag < 0 ? "-" : "",
                static_cast<long long>(betragAbs / 100), static_cast<long long>(betragAbs % 100));
  return puffer;
}

std::string Tag::Iso() const {
  char puffer[16];
  std::snprintf(puffer, sizeof puffer, "%04d-%02d-%02d", jahr, monat, tag);
  return puffer;
}

std::string Tag::Kompakt() const {
  char puffer[16];
  std::snprintf(puffer, sizeof puffer, "%04d%02d%02d", jahr, monat, tag);
  return puffer;
}

std::string Tag::Deutsch() const {
  char puffer[16];
  std::snprintf(puffer, sizeof puffer, "%02d.%02d.%04d", tag, monat, jahr);
  return puffer;
}

Tag Tag::PlusTage(int tage) const {
  using namespace std::chrono;
  const sys_days tage0 = year_month_day{year{jahr}, month{static_cast<unsigned>(monat)},
                                        day{static_cast<unsigned>(tag)}};
  const year_month_day neu{tage0 + days{tage}};
  return {static_cast<int>(neu.year()), static_cast<int>(static_cast<unsigned>(neu.month())),
          static_cast<int>(static_cast<unsigned>(neu.day()))};
}

const char* Code(Steuerkategorie kategorie) {
  return kategorie == Steuerkategorie::S ? "S" : "E";
}

}  // namespace tarvo::erechnung
