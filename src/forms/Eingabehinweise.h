// The checks behind the category forms' input hints: whether a field's or a grid cell's text is
// a number the form can sensibly charge (not letters, not negative, a share from 1 to 1000, no
// more than the integers the form computes with hold). Each check appends a hint naming the
// place and the value to a list and changes nothing; an empty text is no hint (the forms read it
// as 0 or as their default).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/Eingabehinweis.h"
#include "platform/controls/Grid.h"
#include "platform/controls/MaskEdBox.h"

namespace tarvo::formulare {

using Hinweise = std::vector<controls::Eingabehinweis>;

// The value of a number written German-style ("1.250", "-500", "12,5", blanks around); nullopt
// for a text that is no number. An empty text reads as 0.
std::optional<double> ZahlLesen(const std::string& text);

// The largest values the forms' 16- and 32-bit integers hold.
inline constexpr double Grenze16 = 32767;
inline constexpr double Grenze32 = 2147483647;

// A count or length in cell (zeile, spalte): no number, negative, or above `grenze`.
// Returns the value read (nullopt when there is none to compare).
std::optional<double> MengePruefen(Hinweise& hinweise, const controls::Grid& grid,
                                   std::int32_t zeile, std::int32_t spalte, double grenze);
// A share in thousandths in cell (zeile, spalte) outside 1 … 1000.
void AnteilPruefen(Hinweise& hinweise, const controls::Grid& grid, std::int32_t zeile,
                   std::int32_t spalte);
// A part in cell (zeile, teil) larger than the whole in cell (zeile, ganzes), both numbers.
void TeilPruefen(Hinweise& hinweise, const controls::Grid& grid, std::int32_t zeile,
                 std::int32_t teil, std::int32_t ganzes);
// A text in cell (zeile, spalte) that is none of `eintraege` (a list column).
void ListePruefen(Hinweise& hinweise, const controls::Grid& grid, std::int32_t zeile,
                  std::int32_t spalte, const std::vector<std::string>& eintraege);

// The same for masked fields, named by their label text `bezeichnung`.
void AnteilPruefen(Hinweise& hinweise, const controls::MaskEdBox& feld,
                   const std::string& bezeichnung);
void TeilPruefen(Hinweise& hinweise, const controls::MaskEdBox& teil,
                 const std::string& bezeichnungTeil, const controls::MaskEdBox& ganzes,
                 const std::string& bezeichnungGanzes);

}  // namespace tarvo::formulare
