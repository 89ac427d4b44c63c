// The fee rules of the building survey under Nr. 3: the base fee by area class of the whole
// square metres, 77 € for every building part beyond three (a 16-bit product, as the parts
// column holds a 16-bit count), the factor of the variant 3.1, 3.2 or 3.3 on both, and the
// client's share in thousandths (333 and 666 as exact thirds). Pure functions over the texts of
// the grid cells, read with CVal (a text that is no number counts as 0); they throw
// Laufzeitfehler 6 (Überlauf) where a count leaves the 16-bit range, which the calling handler
// traps.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo::kat2 {

// The variant chosen with Option31, Option32, Option33.
enum class Variante { Nr31, Nr32, Nr33 };

// The base fee of the area class of Int(fläche): 153 € up to 50 m², 409 € up to 300, 562 € up
// to 500, 869 € up to 1000, 1534 € up to 5000, 2556 € up to 10000, and 4090 € for anything
// else (above 10000 or below 0).
double Grundgebühr(double fläche);

// The fee of one building: the base fee of the area text, the surcharge for the parts text
// beyond three, both times the variant's factor (3.2: 0.25, 3.3: 1.05). Throws 6 when the parts
// do not fit 16 bits or their surcharge exceeds 32767 € (more than 428 parts).
double Gebäudegebühr(const std::string& flächeText, const std::string& teileText,
                     Variante variante);

// The share value of a share text: its number rounded half to even to 16 bits; throws 6 beyond.
std::int16_t AnteilWert(const std::string& anteilText);
// Whether a share value splits the fee: everything but 1000.
inline bool IstAnteil(std::int16_t anteil) {
  return anteil != 1000;
}
// The client's part of `gebühr`: a third for 333, two thirds for 666, else anteil/1000 of it
// (product first, then the division).
double AnteilBetrag(double gebühr, std::int16_t anteil);

// An amount as the statement writes it: WertFormatieren width 10, 2 places, then " €".
std::string BetragText(double betrag);
// A fee as the grid shows it: WertFormatieren width 8, 2 places.
std::string GebührText(double gebühr);

}  // namespace tarvo::kat2
