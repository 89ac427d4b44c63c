// The fee rules of the survey priced by axis length (Nr. 5.1.1 to 5.1.3): the price per running
// metre from the sub-item and the parcel density class, the row fee on the whole-metre axis of
// at least 1 m, and the surcharges for a built-up area (25 %) and for four or more lanes (30 %).
// Pure functions over the texts the grid's cells hold; numbers are read with CVal (a text that
// is no number counts as 0). Only the axis conversion throws: Laufzeitfehler 6 (Überlauf) for an
// axis beyond the 16-bit range, which the calling handler traps.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo::kat3 {

// The items of the two floating combo boxes, in list order.
inline constexpr const char* Unterpositionen[] = {"5.1.1", "5.1.2", "5.1.3"};
inline constexpr const char* Dichteklassen[] = {"bis 5", "über 5 bis 15", "über 15"};

// Surcharge factors of the price per metre times the metres concerned.
inline constexpr double FaktorOrtslage = 0.25;
inline constexpr double FaktorFahrstreifen = 0.3;

// The coefficient of a sub-item: "5.1.1" 4.0, "5.1.2" 3.5, any other text 3.0.
double Koeffizient(const std::string& unterposition);
// The value of a density class: "bis 5" 5.0, "über 5 bis 15" 5.5, any other text 6.0.
double Dichtewert(const std::string& dichte);
// Price per running metre: coefficient × density value.
double PreisJeMeter(const std::string& unterposition, const std::string& dichte);

// The axis length charged: CVal of the text rounded half to even to a 16-bit integer, at least
// 1 (empty, zero, negative and non-numeric texts give 1). Throws 6 beyond -32768..32767.
std::int16_t Achslänge(const std::string& achseText);

// A surcharge: price × metres × factor (the product first, then the factor); negative metres
// give a negative surcharge.
double Zuschlag(double preis, double meter, double faktor);

// An amount as the grid shows it: WertFormatieren width 8, two places ("2.400,00", "   20,00").
std::string Rasterbetrag(double betrag);

// The figures of one grid row: the axis charged, the price and the fee as the grid shows them.
struct Zeilenwerte {
  std::int16_t achse = 1;
  std::string preis;
  std::string gebühr;
};
// Computes a row from its sub-item, density class and axis texts; throws 6 as Achslänge does.
Zeilenwerte ZeileBerechnen(const std::string& unterposition, const std::string& dichte,
                           const std::string& achseText);

}  // namespace tarvo::kat3
