#include "fees/GebuehrTabellen.h"

#include <gtest/gtest.h>

#include <climits>

#include "errors/Fehler.h"
#include "errors/Protokoll.h"

namespace tarvo {
namespace {

struct AnzahlFall {
  std::int32_t anzahl;
  double gebuehr;
};

TEST(GebührAusTabelle1, EveryTableEntryAndTheFormulaBeyond) {
  const AnzahlFall faelle[] = {
      {0, 0},     {1, 235},     {2, 470},  {3, 685},    {4, 890},   {5, 1079},
      {6, 1258},  {7, 1421},    {8, 1570}, {9, 1697},   {10, 1815}, {11, 1933},
      {12, 2051}, {100, 12435}, {-1, 517}, {-10, -545},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.anzahl);
    EXPECT_EQ(GebührAusTabelle1(fall.anzahl), fall.gebuehr);
  }
}

TEST(GebührAusTabelle4, EveryTableEntryAndTheFormulaBeyond) {
  const AnzahlFall faelle[] = {
      {0, 0},    {1, 327},  {2, 588},  {3, 849},   {4, 1094},  {5, 1324},  {6, 1539},
      {7, 1744}, {8, 1938}, {9, 2122}, {10, 2301}, {11, 2480}, {20, 4091}, {-1, 332},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.anzahl);
    EXPECT_EQ(GebührAusTabelle4(fall.anzahl), fall.gebuehr);
  }
}

struct FlaechenFall {
  const char* name;
  std::int32_t quadratmeter;
  const char* kategorie;
  double gebuehr;
};

TEST(GebührAusTabelle2, BandsIncludeBothLimits) {
  const FlaechenFall faelle[] = {
      {"0 m² I -> first band, not 0", 0, "I", 256},
      {"150 m² I", 150, "I", 256},
      {"151 m² I", 151, "I", 409},
      {"1400 m² II", 1400, "II", 639},
      {"1401 m² II", 1401, "II", 844},
      {"5000 m² III", 5000, "III", 946},
      {"5001 m² III", 5001, "III", 1202},
      {"10000 m² III", 10000, "III", 1202},
      {"10001 m² III", 10001, "III", 1253},
      {"20000 m² III", 20000, "III", 1253},
      {"20001 m² III", 20001, "III", 1304},
      {"10001 m² I", 10001, "I", 767},
      {"25000 m² II", 25000, "II", 1099},
      {"-1 m² I -> base minus 51", -1, "I", 665},
      {"-20000 m² other -> rounds down to -3 steps", -20000, "", 844 - 153},
      {"-10000 m² other -> -2 steps", -10000, "", 844 - 102},
      {"2147483647 m² I", INT_MAX, "I", 716 + 51 * 214748},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    EXPECT_EQ(GebührAusTabelle2(fall.quadratmeter, fall.kategorie), fall.gebuehr);
  }
}

TEST(GebührAusTabelle2, AnyOtherCategoryTextSelectsTheFourthColumn) {
  const FlaechenFall faelle[] = {
      {"lower-case i", 0, "i", 307},
      {"empty", 0, "", 307},
      {"IV", 151, "IV", 460},
      {"I with blank", 1401, "I ", 665},
      {"blank with II", 1401, " II", 665},
      {"iii", 5001, "iii", 844},
      {"1", 0, "1", 307},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    EXPECT_EQ(GebührAusTabelle2(fall.quadratmeter, fall.kategorie), fall.gebuehr);
  }
}

// An overflow of the 32-bit formulas is logged under modStatus and gives the fee 0.
struct UeberlaufFall {
  const char* name;
  double (*rechnen)();
  const char* prozedur;
};

TEST(GebuehrTabellen, OverflowIsLoggedAndGivesZero) {
  const UeberlaufFall faelle[] = {
      {"table 1, 20 million points", [] { return GebührAusTabelle1(20'000'000); },
       "GebührAusTabelle1"},
      {"table 1, smallest count", [] { return GebührAusTabelle1(INT_MIN); }, "GebührAusTabelle1"},
      {"table 4, 12 million points", [] { return GebührAusTabelle4(12'000'000); },
       "GebührAusTabelle4"},
      {"table 4, -12 million points", [] { return GebührAusTabelle4(-12'000'000); },
       "GebührAusTabelle4"},
      {"table 2, smallest area", [] { return GebührAusTabelle2(INT_MIN, "I"); },
       "GebührAusTabelle2"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    LetzterFehler() = GO_Error();
    auto vorher = protokoll::AnzahlGemeldet();
    EXPECT_EQ(fall.rechnen(), 0);
    EXPECT_EQ(protokoll::AnzahlGemeldet() - vorher, 1);
    EXPECT_EQ(LetzterFehler().strModul, "modStatus");
    EXPECT_EQ(LetzterFehler().strFunktion, fall.prozedur);
    EXPECT_EQ(LetzterFehler().strNr, "6");
  }
}

TEST(GebuehrTabellen, LargestCountsBelowTheOverflowStillCompute) {
  // 1815 + 118 × (n − 10) stays within 32 bits up to n = 18 199 008.
  EXPECT_EQ(GebührAusTabelle1(18'199'008), 1815.0 + 118.0 * 18'198'998);
  auto vorher = protokoll::AnzahlGemeldet();
  EXPECT_EQ(GebührAusTabelle1(18'199'009), 0);
  EXPECT_EQ(protokoll::AnzahlGemeldet() - vorher, 1);
}

}  // namespace
}  // namespace tarvo
