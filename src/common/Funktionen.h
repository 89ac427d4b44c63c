// The value conversion and formatting functions of the shared module: CVal reads what the user
// typed into a cell or masked edit as a number, WertFormatieren turns a number text into the
// fixed-width German text the forms show and the document receives, Tausche replaces text.
// Each traps its own errors under module "Funktionen": a failure is logged and the function
// returns what its result held at that point (0 or the text built so far); nothing is thrown.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// The number in `Wert`: the whole (space-trimmed) text when it is a German number ("1.234,50"),
// otherwise the leading run of digits, "-", "," and "." ("12,5 m²" gives 12.5). Gives 0 for a
// text without such a run and for a lone ","; a run that is still no number ("1-2") is logged
// and gives 0.
double CVal(const std::string& Wert);

// `Wert` (German or point-decimal number text, possibly padded with blanks by a masked edit)
// formatted with `Nachkommastellen` places (0 to 3: "#,##0" … "#,##0.000", German separators,
// display rounding half away from zero) and right-aligned in `Breite` characters; a longer text
// is returned whole. Other place counts leave the normalised text unformatted, only aligned.
std::string WertFormatieren(const std::string& Wert, std::int16_t Breite,
                            std::int16_t Nachkommastellen);

// `Text` with every occurrence of `Suchen` (left to right, case-sensitive, no overlaps)
// replaced by `Ersetzen`. An empty `Suchen` leaves the text unchanged.
std::string Tausche(const std::string& Text, const std::string& Suchen,
                    const std::string& Ersetzen);

namespace werte {
// The leading-number value of a text, independent of any locale: blanks are skipped, then a
// sign and digits with at most one decimal point are read up to the first character that cannot
// continue the number. An empty or non-numeric text gives 0. Throws 6 when the digits exceed
// the range of a Double.
double FuehrendeZahl(const std::string& text);
// `wert` with `stellen` decimal places (0 or more), German separators ("1.234,50"): the Double
// is first reduced to 15 significant digits, then rounded half away from zero. A value that
// rounds to zero is shown without a sign.
std::string Formatiert(double wert, int stellen);
// `text` without the blanks at its start and end.
std::string OhneRand(const std::string& text);
}  // namespace werte

}  // namespace tarvo
