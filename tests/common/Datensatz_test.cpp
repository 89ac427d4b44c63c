#include "common/Datensatz.h"

#include <gtest/gtest.h>

#include "errors/Erwartet.h"
#include "errors/Fehler.h"
#include "errors/Protokoll.h"

namespace tarvo {
namespace {

const Variant kNullInteger(std::int16_t{0});

TEST(ZahlDatensatzLesen, NullAndEmptyTextGiveIntegerZero) {
  EXPECT_EQ(ZahlDatensatzLesen(Variant::Null()), kNullInteger);
  EXPECT_EQ(ZahlDatensatzLesen(Variant("")), kNullInteger);
  EXPECT_EQ(ZahlDatensatzLesen(Variant()), kNullInteger);
}

TEST(ZahlDatensatzLesen, PassesOtherValuesUnchanged) {
  const Variant werte[] = {Variant(0.0),   Variant(std::int32_t{0}),
                           Variant(160),   Variant(12.5),
                           Variant(" "),   Variant("0"),
                           Variant(false), Variant(Datum::AusTag(2026, 12, 6))};
  for (const auto& wert : werte) {
    SCOPED_TRACE(CStr(wert));
    EXPECT_EQ(ZahlDatensatzLesen(wert), wert);
  }
}

TEST(ZahlDatensatzLesen, ObjectIsLoggedAndGivesEmpty) {
  auto vorher = protokoll::AnzahlGemeldet();
  Variant ergebnis = ZahlDatensatzLesen(Variant(std::make_shared<Objekt>()));
  EXPECT_TRUE(ergebnis.IstEmpty());
  EXPECT_EQ(protokoll::AnzahlGemeldet() - vorher, 1);
  EXPECT_EQ(LetzterFehler().Funktionsname, "FunktionenZahlDatensatzLesen");
  EXPECT_EQ(CDbl(ergebnis), 0);
}

TEST(BoolDatensatzLesen, NullGivesFalseOtherValuesPass) {
  EXPECT_EQ(BoolDatensatzLesen(Variant::Null()), kNullInteger);
  EXPECT_FALSE(CBool(BoolDatensatzLesen(Variant::Null())));
  EXPECT_EQ(BoolDatensatzLesen(Variant(true)), Variant(true));
  EXPECT_EQ(BoolDatensatzLesen(Variant(std::int16_t{0})), kNullInteger);
  EXPECT_EQ(BoolDatensatzLesen(Variant(0.0)), Variant(0.0));
  EXPECT_TRUE(BoolDatensatzLesen(Variant()).IstEmpty());
}

TEST(BoolDatensatzLesen, EmptyTextPassesAndThenFailsTheConversion) {
  Variant ergebnis = BoolDatensatzLesen(Variant(""));
  EXPECT_EQ(ergebnis, Variant(""));
  EXPECT_EQ(test::FehlerNummer([&] { CBool(ergebnis); }), 13);
}

}  // namespace
}  // namespace tarvo
