// Einstellungspruefung: the user's invoice settings in TempDoc checked before a job opens its
// form. The form reads them as they come and would write a plainly wrong invoice without a
// word: a partial-payment percentage that is missing, zero or negative gives an invoice of
// nothing or a negative one, a missing or negative VAT rate an invoice without VAT. Such a
// setting refuses the job; what the conversions turn into a sensible value (77 tenths give 8 %)
// passes. A user without a settings row is left to the form, which logs each field it misses.
#pragma once

#include <cstdint>

namespace tarvo {
namespace dao {
class Database;
}

// Throws Laufzeitfehler 13 naming the field and its value ("TempDoc.AbschlagProzent ist leer
// (NULL) …") when a setting of `benutzer` would make a plainly wrong invoice.
void EinstellungenPruefen(dao::Database& datenbank, std::int32_t benutzer);

}  // namespace tarvo
