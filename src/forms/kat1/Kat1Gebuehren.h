// The fee rules of the parcel division survey: part a by boundary points (fee table 1) less
// 77 € per reduced point, part b per parcel by area and category (fee table 2), the part-b
// reduction for many parcels, and the client's share in thousandths. Pure functions over the
// texts the form's controls hold; they read numbers with CVal (a text that is no number counts
// as 0) and throw Laufzeitfehler only where the checked conversions do (6 Überlauf), which the
// calling handler traps.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo::kat1 {

// Part a: the table-1 fee for the point count typed into mskAnzahl (rounded half to even).
double GebührTeilA(const std::string& anzahlText);
// The amount for reduced points typed into mskErmäßigt: -77 € each.
double BetragErmäßigtePunkte(const std::string& ermäßigtText);
// Part b of one grid row: the table-2 fee for the area text (rounded half to even to whole m²)
// and the category text as it stands in column 2.
double GebührTeilB(const std::string& flächeText, const std::string& kategorie);

// The part-b reduction in percent derived from the number of parcels: 3 % per parcel beyond
// five, at most 50; below 3 % none. 0 when the reduction is switched off.
std::int16_t ErmäßigungProzent(std::int32_t parzellen, bool eingeschaltet);

// The caption text of lblGP and lblErm: the amount as plain German number text, then " €"
// ("1815 €", "-154 €", "12,5 €").
std::string LabelText(double betrag);

// An amount as the statement writes it: WertFormatieren width 10, 2 places, then " €".
std::string BetragText(double betrag);

// Whether GebührEintragen splits an amount: the share text is neither "1000" nor empty.
bool AnteilTeilt(const std::string& anteilText);
// Whether the headings name a share: the numeric value of the share text is not 1000
// (a text of blanks counts as 0, so it names a share).
bool AnteilÜberschrift(const std::string& anteilText);
// The client's part of `gebühr` for the share text: 333 and 666 are exact thirds, other
// values thousandths.
double AnteilBetrag(double gebühr, const std::string& anteilText);

}  // namespace tarvo::kat1
