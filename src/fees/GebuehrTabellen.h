// The ordinance's fee tables 1, 2 and 4: a count of boundary points or an area in a category
// mapped to a base fee in whole euro (returned as Double). The tables know nothing of the job.
// Each function traps its errors under module "modStatus": a 32-bit overflow in a formula is
// logged and the fee is 0.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// Table 1 by number of boundary points; outside 0…10 (negative counts included)
// 1815 + 118 × (Anzahl − 10).
double GebührAusTabelle1(std::int32_t Anzahl);

// Table 2 by area in m² and category "I", "II" or "III" (exact, case-sensitive); any other
// text selects the fourth column. Bands 0–150, 151–1400, 1401–5000, 5001–10000 m²; any other
// area adds 51 euro for each started further 10000 m² to the last band (a negative area
// subtracts 51).
double GebührAusTabelle2(std::int32_t Quadratmeter, const std::string& Kategorie);

// Table 4 by number of boundary points; outside 0…10 2301 + 179 × (Anzahl − 10).
double GebührAusTabelle4(std::int32_t Anzahl);

}  // namespace tarvo
