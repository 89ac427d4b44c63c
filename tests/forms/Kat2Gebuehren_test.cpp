// The building survey fee rules where the form cannot reach them: an area with decimals (the
// grid rounds what the user types) and the 16-bit limits of the parts and the share.
#include "forms/kat2/Kat2Gebuehren.h"

#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"

namespace tarvo::kat2 {
namespace {

TEST(Kat2Gebuehren, AreaWithDecimalsIsClassedByItsWholePart) {
  EXPECT_EQ(Grundgebühr(50.9), 153);
  EXPECT_EQ(Grundgebühr(300.99), 409);
  EXPECT_EQ(Grundgebühr(10000.5), 2556);
  EXPECT_EQ(Grundgebühr(-0.5), 4090);  // Int(-0,5) is -1
  EXPECT_EQ(Gebäudegebühr("50,6", "0", Variante::Nr31), 153);
}

TEST(Kat2Gebuehren, PartsBeyondSixteenBitsOverflow) {
  EXPECT_EQ(Gebäudegebühr("0", "428", Variante::Nr31), 153 + 425 * 77);
  for (const char* teile : {"429", "32767", "32768", "-40000"}) {
    SCOPED_TRACE(teile);
    EXPECT_THROW(Gebäudegebühr("0", teile, Variante::Nr31), Laufzeitfehler);
  }
  // Negative counts add nothing.
  EXPECT_EQ(Gebäudegebühr("0", "-5", Variante::Nr31), 153);
}

TEST(Kat2Gebuehren, ShareTextsAsTheGridNormalisesThem) {
  EXPECT_FALSE(IstAnteil(AnteilWert("1.000")));  // 1000 typed, grouped by the grid
  EXPECT_TRUE(IstAnteil(AnteilWert("    ")));    // blanks read as 0: a share
  EXPECT_THROW(AnteilWert("40.000"), Laufzeitfehler);
}

}  // namespace
}  // namespace tarvo::kat2
