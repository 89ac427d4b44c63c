#include "errors/Falle.h"

namespace tarvo {

void Falle::Behandeln(const Laufzeitfehler& fehler, bool melden) noexcept {
  ++fehlschlaege_;
  AktuellerFehler& err = Err();
  err.Number = fehler.Nummer();
  err.Description = fehler.Beschreibung();
  err.Erl = fehler.Zeile();
  if (melden) FehlerProtokollieren(modul_, prozedur_);
}

}  // namespace tarvo
