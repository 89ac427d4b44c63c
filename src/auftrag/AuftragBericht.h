// The summary of a job run, as German text for the terminal or as JSON (`--json`): the amounts
// of every fee table, the incidental costs, the totals, what the invoice record now holds, and
// how many errors were logged and where. A failure never reads like success: a run with logged
// errors says so in its last line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "auftrag/AuftragLauf.h"

namespace tarvo::auftrag {

std::string BerichtText(const Ergebnis& ergebnis);
nlohmann::ordered_json BerichtJson(const Ergebnis& ergebnis);

}  // namespace tarvo::auftrag
