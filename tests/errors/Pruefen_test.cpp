#include "errors/Pruefen.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "errors/Erwartet.h"

namespace tarvo {
namespace {

using test::FehlerNummer;

TEST(Teile, DividesOrRaisesTheRuntimeErrors) {
  EXPECT_DOUBLE_EQ(Teile(1, 4), 0.25);
  EXPECT_DOUBLE_EQ(Teile(-9, 3), -3);
  EXPECT_DOUBLE_EQ(Teile(0, 5), 0);
  EXPECT_EQ(FehlerNummer([] { Teile(1, 0); }), 11);
  EXPECT_EQ(FehlerNummer([] { Teile(-1, 0); }), 11);
  EXPECT_EQ(FehlerNummer([] { Teile(0, 0); }), 6);
  EXPECT_EQ(FehlerNummer([] { Teile(1e308, 1e-308); }), 6);
  EXPECT_EQ(FehlerNummer([] { Teile(std::nan(""), 1); }), 6);
}

struct RundungsFall {
  double wert;
  double gerade;
};

TEST(RundeGerade, HalvesGoToTheEvenNeighbour) {
  const RundungsFall faelle[] = {
      {0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},      {-0.5, 0}, {-1.5, -2},
      {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {7, 7},    {1e15 + 0.5, 1e15},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.wert);
    EXPECT_EQ(RundeGerade(fall.wert), fall.gerade);
  }
}

TEST(NachInteger, RangeAndRounding) {
  EXPECT_EQ(NachInteger(32767.4), 32767);
  EXPECT_EQ(NachInteger(-32768.5), -32768);
  EXPECT_EQ(NachInteger(2.5), 2);
  EXPECT_EQ(FehlerNummer([] { NachInteger(32767.5); }), 6);
  EXPECT_EQ(FehlerNummer([] { NachInteger(-32768.51); }), 6);
  EXPECT_EQ(FehlerNummer([] { NachInteger(std::nan("")); }), 6);
  EXPECT_EQ(FehlerNummer([] { NachInteger(std::numeric_limits<double>::infinity()); }), 6);
}

TEST(NachLong, RangeAndRounding) {
  EXPECT_EQ(NachLong(2147483647.4), INT32_MAX);
  EXPECT_EQ(NachLong(-2147483648.5), INT32_MIN);
  EXPECT_EQ(NachLong(-3.5), -4);
  EXPECT_EQ(FehlerNummer([] { NachLong(2147483647.5); }), 6);
  EXPECT_EQ(FehlerNummer([] { NachLong(-2147483649.0); }), 6);
  EXPECT_EQ(FehlerNummer([] { NachLong(std::nan("")); }), 6);
}

TEST(LongArithmetik, OverflowRaisesSix) {
  EXPECT_EQ(LongPlus(INT32_MAX - 1, 1), INT32_MAX);
  EXPECT_EQ(LongMinus(INT32_MIN + 1, 1), INT32_MIN);
  EXPECT_EQ(LongMal(-46341, 46340), -2147441940);
  EXPECT_EQ(IntegerMal(181, 181), 32761);
  EXPECT_EQ(FehlerNummer([] { LongPlus(INT32_MAX, 1); }), 6);
  EXPECT_EQ(FehlerNummer([] { LongMinus(INT32_MIN, 1); }), 6);
  EXPECT_EQ(FehlerNummer([] { LongMal(46341, 46341); }), 6);
  EXPECT_EQ(FehlerNummer([] { LongMal(INT32_MIN, -1); }), 6);
  EXPECT_EQ(FehlerNummer([] { IntegerMal(182, 181); }), 6);
  EXPECT_EQ(FehlerNummer([] { IntegerMal(-32768, -1); }), 6);
}

}  // namespace
}  // namespace tarvo
