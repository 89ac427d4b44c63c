// The UN/CEFACT Cross Industry Invoice (D16B) of an invoice model: as XRechnung 3.0 (the German
// rules, with business process and Leitweg-ID) or as the EN 16931 profile that a ZUGFeRD /
// Factur-X PDF carries. Knows the model only; never fails.
#pragma once

#include <string>

#include "erechnung/Rechnungsmodell.h"

namespace tarvo::erechnung {

enum class CiiProfil { XRechnung, EN16931 };

std::string CiiSchreiben(const Rechnungsmodell& modell, CiiProfil profil);

// The profile identifiers (BT-24) and the business process (BT-23).
inline constexpr const char* kXRechnungKennung =
    "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";
inline constexpr const char* kEN16931Kennung = "urn:cen.eu:en16931:2017";
inline constexpr const char* kGeschaeftsprozess = "urn:fdc:peppol.eu:2017:poacc:billing:01:1.0";

// The document type code (BT-3): 381 credit note, 326 partial invoice, 380 invoice.
const char* Rechnungsart(const Rechnungsmodell& modell);

}  // namespace tarvo::erechnung
