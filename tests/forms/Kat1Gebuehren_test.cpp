// The category-1 fee rules on the texts the form's fields hold.
#include "forms/kat1/Kat1Gebuehren.h"

#include <gtest/gtest.h>

namespace tarvo::kat1 {
namespace {

TEST(Kat1Gebuehren, ReductionGrowsThreePercentPerParcelBeyondFiveUpToFifty) {
  struct Fall {
    int parzellen;
    int prozent;
  } fälle[] = {{1, 0}, {5, 0}, {6, 3}, {10, 15}, {21, 48}, {22, 50}, {40, 50}};
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.parzellen);
    EXPECT_EQ(ErmäßigungProzent(fall.parzellen, true), fall.prozent);
    EXPECT_EQ(ErmäßigungProzent(fall.parzellen, false), 0);
  }
}

TEST(Kat1Gebuehren, ShareTextDecidesSplittingAndHeadingsApart) {
  // Text "1000" and the empty text do not split; blanks count as a share of 0.
  EXPECT_FALSE(AnteilTeilt("1000"));
  EXPECT_FALSE(AnteilTeilt(""));
  EXPECT_TRUE(AnteilTeilt("    "));
  EXPECT_TRUE(AnteilTeilt("500 "));
  EXPECT_FALSE(AnteilÜberschrift("1000"));
  EXPECT_TRUE(AnteilÜberschrift(""));
  EXPECT_TRUE(AnteilÜberschrift("    "));
}

TEST(Kat1Gebuehren, ThirdsAreExactOtherSharesAreThousandths) {
  EXPECT_EQ(BetragText(AnteilBetrag(1000, "333 ")), "    333,33 €");
  EXPECT_EQ(BetragText(AnteilBetrag(1000, " 666")), "    666,67 €");
  EXPECT_EQ(BetragText(AnteilBetrag(1000, "500")), "    500,00 €");
  EXPECT_EQ(BetragText(AnteilBetrag(1000, "    ")), "      0,00 €");
  EXPECT_DOUBLE_EQ(AnteilBetrag(999, "333"), 333);
}

TEST(Kat1Gebuehren, PartAFromTableOneAndMinus77PerReducedPoint) {
  EXPECT_EQ(LabelText(GebührTeilA("10 ")), "1815 €");
  EXPECT_EQ(LabelText(GebührTeilA("   ")), "0 €");
  EXPECT_EQ(LabelText(BetragErmäßigtePunkte("3  ")), "-231 €");
  EXPECT_EQ(LabelText(BetragErmäßigtePunkte("  2")), "-154 €");
}

TEST(Kat1Gebuehren, PartBRoundsTheAreaHalfToEven) {
  EXPECT_EQ(GebührTeilB(" 150", "I"), 256);
  EXPECT_EQ(GebührTeilB(" 151", "I"), 409);
  EXPECT_EQ(GebührTeilB("150,5", "I"), 256);  // looked up as 150
  EXPECT_EQ(GebührTeilB("151,5", "I"), 409);  // looked up as 152
  EXPECT_EQ(GebührTeilB("0", "IV"), 307);
  EXPECT_EQ(GebührTeilB("", "II"), 435);  // an empty area is 0 m², the first band
}

TEST(Kat1Gebuehren, AmountTextIsTenWideWithEuroSign) {
  EXPECT_EQ(BetragText(1234.5), "  1.234,50 €");
  EXPECT_EQ(BetragText(-66.5), "    -66,50 €");
}

}  // namespace
}  // namespace tarvo::kat1
