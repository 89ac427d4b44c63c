#include "common/Datensatz.h"

#include <cmath>

#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"

namespace tarvo {

Variant ZahlDatensatzLesen(Variant Wert) {
  Falle falle("Funktionen", "ZahlDatensatzLesen");
  Variant ergebnis;
  falle([&] {
    bool leer = false;
    switch (Wert.Typ()) {
      case VarTyp::Null:
      case VarTyp::Empty:
        leer = true;
        break;
      case VarTyp::String:
        leer = Wert.Text().empty();
        break;
      case VarTyp::Object:
        throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
      default:
        break;  // numbers, Booleans and dates are never equal to the empty text
    }
    ergebnis = leer ? Variant(std::int16_t{0}) : Wert;
  });
  return ergebnis;
}

Variant BoolDatensatzLesen(Variant Wert) {
  Falle falle("Funktionen", "BoolDatensatzLesen");
  Variant ergebnis;
  falle([&] { ergebnis = Wert.IstNull() ? Variant(std::int16_t{0}) : Wert; });
  return ergebnis;
}

Variant Schluessel(const Variant& Wert) {
  if (Wert.Typ() == VarTyp::String && !zahltext::IstZahl(CStr(Wert)))
    throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich,
                         "Der Schlüssel »" + CStr(Wert) + "« ist keine ganze Zahl.");
  const double zahl = CDbl(Wert);
  if (zahl != std::floor(zahl) || std::fabs(zahl) > 2147483647.0)
    throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich,
                         "Der Schlüssel »" + CStr(Wert) + "« ist keine ganze Zahl.");
  return Variant(static_cast<std::int32_t>(zahl));
}

}  // namespace tarvo
