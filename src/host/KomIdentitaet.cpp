#include "host/KomIdentitaet.h"

#include <cctype>

#include "errors/Laufzeitfehler.h"
#include "host/GO.h"

namespace tarvo::kom {
namespace {

bool GleichOhneGross(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

bool IstKlasse(std::string_view kennung) {
  return GleichOhneGross(kennung, ProgId) || GleichOhneGross(kennung, KlasseGuid);
}

std::shared_ptr<GO> ObjektErzeugen(std::string_view kennung) {
  if (!IstKlasse(kennung)) throw Laufzeitfehler(fehlernummer::ObjekterstellungNichtMoeglich);
  return std::make_shared<GO>();
}

}  // namespace tarvo::kom
