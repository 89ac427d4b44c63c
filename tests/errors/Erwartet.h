// Test helper: the number of the Laufzeitfehler a step throws, 0 when it throws none. Lets a
// table of cases state the expected error number beside the input.
#pragma once

#include "errors/Laufzeitfehler.h"

namespace tarvo::test {

template <class Schritt>
int FehlerNummer(Schritt&& schritt) {
  try {
    schritt();
  } catch (const Laufzeitfehler& fehler) {
    return fehler.Nummer();
  }
  return 0;
}

}  // namespace tarvo::test
