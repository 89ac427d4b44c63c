#include "common/Datensatz.h"

#include "errors/Falle.h"

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

}  // namespace tarvo
