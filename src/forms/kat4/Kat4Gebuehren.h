// The fee rules of the boundary restoration: the fee of a parcel row from fee table 4 by the
// restored points, less 77 € per reduced point, then under Nr. 4.1 at least 511 € or under
// Nr. 4.2 seven tenths without a minimum; the client's share in thousandths (333 and 666 are
// exact thirds) and the texts the statement writes for amounts. Pure functions over the texts the
// form's controls hold; a text that is no number counts as 0 (CVal). They throw Laufzeitfehler
// only where the checked conversions do (6 Überlauf), which the calling handler traps.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo::kat4 {

// The item of the ordinance the rows are charged under (Option41 / Option42).
enum class Nr { Nr41, Nr42 };

inline constexpr double AbzugJeErmäßigtenPunkt = 77;
inline constexpr double Mindestgebühr41 = 511;
inline constexpr double Faktor42 = 0.7;
inline constexpr std::int16_t GanzeGebühr = 1000;

// Fee table 4 for the restored points of column 2, rounded half to even to whole points.
double GebührNachPunkten(const std::string& punkteText);
// What the reduced points of column 3 take off: 77 € each.
double AbzugErmäßigt(const std::string& ermäßigtText);
// The fee after the item's rule: under Nr. 4.1 at least 511, under Nr. 4.2 times 0.7 (which may
// fall below 511 and below 0).
double NachNummer(double gebühr, Nr nr);

// A share in thousandths read from the text of a share cell or of mskAnteil: a text without a
// digit is the whole fee (1000), as a fresh form shows it; otherwise its value as a 16-bit whole
// number (6 Überlauf beyond).
std::int16_t Anteil(const std::string& anteilText);
// The client's part of `gebühr`: 333 and 666 are one and two thirds, any other share thousandths.
double AnteilBetrag(double gebühr, std::int16_t anteil);

// An amount with the pattern "0.00": two places, decimal comma, no grouping ("1234,50").
std::string ZweiStellen(double betrag);
// `text` right-aligned in `breite` characters as the pattern "@@@@@@@@" does; longer texts whole.
std::string Rechtsbündig(const std::string& text, std::size_t breite);

}  // namespace tarvo::kat4
