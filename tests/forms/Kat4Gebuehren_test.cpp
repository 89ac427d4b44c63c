// The fee rules of the boundary restoration as tables of cases: the row fee by points, reduced
// points and item, the share in thousandths and the amount texts the statement writes.
#include "forms/kat4/Kat4Gebuehren.h"

#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"

namespace tarvo::test {
namespace {

using kat4::Nr;

TEST(Kat4Gebuehren, RowFeeByPointsReducedPointsAndItem) {
  struct Fall {
    const char* name;
    const char* punkte;
    const char* ermäßigt;
    Nr nr;
    double gebühr;
  } fälle[] = {
      {"4 points, 4.1: table value", "4", "0", Nr::Nr41, 1094},
      {"4 points 2 reduced, 4.1: 1094 - 154", "4", "2", Nr::Nr41, 940},
      {"2 points 2 reduced, 4.1: 434 raised to the minimum", "2", "2", Nr::Nr41, 511},
      {"2 points 2 reduced, 4.2: 0,7 × 434, no minimum", "2", "2", Nr::Nr42, 303.8},
      {"4 points, 4.2: 0,7 × 1094", "4", "0", Nr::Nr42, 765.8},
      {"1 point 5 reduced, 4.1: minimum", "1", "5", Nr::Nr41, 511},
      {"1 point 5 reduced, 4.2: below 0", "1", "5", Nr::Nr42, -40.6},
      {"2,5 points read as 2 (half to even)", "2,5", "0", Nr::Nr42, 0.7 * 588},
      {"3,5 points read as 4", "3,5", "0", Nr::Nr42, 0.7 * 1094},
      {"11 points beyond the table", "11", "0", Nr::Nr41, 2480},
      {"blanks are 0 points, 4.1: minimum", "    ", "    ", Nr::Nr41, 511},
      {"no number is 0 points, 4.2: 0", "viele", " 0", Nr::Nr42, 0},
      {"grouped count 1.000 points", "1.000", "0", Nr::Nr41, 2301 + 179 * 990},
  };
  for (const Fall& f : fälle) {
    SCOPED_TRACE(f.name);
    const double gebühr =
        kat4::NachNummer(kat4::GebührNachPunkten(f.punkte) - kat4::AbzugErmäßigt(f.ermäßigt), f.nr);
    EXPECT_NEAR(gebühr, f.gebühr, 1e-9);
  }
}

TEST(Kat4Gebuehren, ShareTextIsAWholeNumberAndBlankIsTheWholeFee) {
  const std::pair<const char*, std::int16_t> fälle[] = {
      {"1000", 1000}, {"1.000", 1000}, {" 500", 500}, {"250 ", 250}, {"0   ", 0},
      {"  50", 50},   {"    ", 1000},  {"", 1000},    {"333", 333},  {"500,5", 500},
  };
  for (const auto& [text, anteil] : fälle) {
    SCOPED_TRACE(std::string("»") + text + "«");
    EXPECT_EQ(kat4::Anteil(text), anteil);
  }
  EXPECT_THROW(kat4::Anteil("40000"), Laufzeitfehler);  // beyond 16 bits: 6 Überlauf
}

TEST(Kat4Gebuehren, SharedAmountsWithExactThirds) {
  struct Fall {
    double gebühr;
    std::int16_t anteil;
    const char* text;
  } fälle[] = {
      {100, 333, "33,33"},  {100, 666, "66,67"}, {100, 334, "33,40"},     {600, 500, "300,00"},
      {511, 250, "127,75"}, {511, 0, "0,00"},    {1094, 1000, "1094,00"}, {300, 333, "100,00"},
  };
  for (const Fall& f : fälle) {
    SCOPED_TRACE(std::to_string(f.anteil) + " of " + std::to_string(f.gebühr));
    EXPECT_EQ(kat4::ZweiStellen(kat4::AnteilBetrag(f.gebühr, f.anteil)), f.text);
  }
}

TEST(Kat4Gebuehren, AmountPatternsHaveNoGroupingAndAlignRight) {
  EXPECT_EQ(kat4::ZweiStellen(1234567.891), "1234567,89");
  EXPECT_EQ(kat4::ZweiStellen(-40.6), "-40,60");
  EXPECT_EQ(kat4::ZweiStellen(1.005), "1,01");  // display rounding, half away from zero
  EXPECT_EQ(kat4::ZweiStellen(-0.001), "0,00");
  EXPECT_EQ(kat4::Rechtsbündig("300,00", 8), "  300,00");
  EXPECT_EQ(kat4::Rechtsbündig("12345,67", 8), "12345,67");
  EXPECT_EQ(kat4::Rechtsbündig("123456,78", 8), "123456,78");  // longer: whole
  EXPECT_EQ(kat4::Rechtsbündig("ä", 3), "  ä");                // characters, not bytes
}

}  // namespace
}  // namespace tarvo::test
