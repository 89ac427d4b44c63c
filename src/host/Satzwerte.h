// Satzwerte: the values of one invoice record's fields, in column order, as the desktop host
// keeps them between "OK" and saving: what the record held when the invoice was opened, and what
// the totals wrote into it (the pending record). They convert to and from a line-based text for
// the recovery file; a text that cannot be read throws Laufzeitfehler 5 naming the line.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/Variant.h"

namespace tarvo {
namespace dao {
class Recordset;
}

using Satzwerte = std::vector<std::pair<std::string, Variant>>;

// Every field of the recordset's current row (none at EOF).
Satzwerte SatzwerteLesen(dao::Recordset& satz);

// The fields of `nachher` whose value differs from `vorher` (field names as in `nachher`).
Satzwerte GeaenderteFelder(const Satzwerte& vorher, const Satzwerte& nachher);

// "Brutto: 0 → 119000; NettoRechnung: …" for the fields in which `a` and `b` differ.
std::string Unterschiede(const Satzwerte& a, const Satzwerte& b);

// One line per field: name, type and value separated by tabs (tabs, line breaks and backslashes
// in names and texts escaped); doubles are written exactly.
std::string SatzwerteAlsText(const Satzwerte& werte);
Satzwerte SatzwerteAusText(const std::string& text);

}  // namespace tarvo
