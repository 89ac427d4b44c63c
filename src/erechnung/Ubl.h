// The OASIS UBL 2.1 document of an invoice model as XRechnung 3.0: an Invoice, or a CreditNote
// for a credit note. Knows the model only; never fails.
#pragma once

#include <string>

#include "erechnung/Rechnungsmodell.h"

namespace tarvo::erechnung {

std::string UblSchreiben(const Rechnungsmodell& modell);

}  // namespace tarvo::erechnung
