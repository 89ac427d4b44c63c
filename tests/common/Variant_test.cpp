#include "common/Variant.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "errors/Erwartet.h"

namespace tarvo {
namespace {

using test::FehlerNummer;

struct TextFall {
  const char* name;
  Variant wert;
  const char* text;  // nullptr: the conversion fails with `fehler`
  int fehler;
};

TEST(Variant, ConvertsToGermanText) {
  const TextFall faelle[] = {
      {"Double 1234,5", Variant(1234.5), "1234,5", 0},
      {"Double -0,25", Variant(-0.25), "-0,25", 0},
      {"Double 0", Variant(0.0), "0", 0},
      {"Double 0,1+0,2 shows 15 digits", Variant(0.1 + 0.2), "0,3", 0},
      {"Double 1/3", Variant(1.0 / 3), "0,333333333333333", 0},
      {"Double 123456789012345678", Variant(123456789012345678.0), "1,23456789012346E+17", 0},
      {"Double 1E-05", Variant(0.00001), "1E-05", 0},
      {"Double 100000", Variant(100000.0), "100000", 0},
      {"Integer -7", Variant(std::int16_t{-7}), "-7", 0},
      {"Long 2147483647", Variant(std::int32_t{2147483647}), "2147483647", 0},
      {"True", Variant(true), "Wahr", 0},
      {"False", Variant(false), "Falsch", 0},
      {"Empty", Variant(), "", 0},
      {"String", Variant("Fläche"), "Fläche", 0},
      {"Date", Variant(Datum::AusTag(2026, 12, 6)), "06.12.2026", 0},
      {"Null -> 94", Variant::Null(), nullptr, 94},
      {"Object -> 13", Variant(std::make_shared<Objekt>()), nullptr, 13},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    if (fall.text) {
      EXPECT_EQ(CStr(fall.wert), fall.text);
    } else {
      EXPECT_EQ(FehlerNummer([&] { CStr(fall.wert); }), fall.fehler);
    }
  }
}

struct ZahlFall {
  const char* name;
  Variant wert;
  double zahl;
  int fehler;
};

TEST(Variant, ConvertsToDouble) {
  const ZahlFall faelle[] = {
      {"1.234,5 -> 1234,5", Variant("1.234,5"), 1234.5, 0},
      {"12.5 -> 125", Variant("12.5"), 125, 0},
      {"1.2.3,5 -> 123,5", Variant("1.2.3,5"), 123.5, 0},
      {" -3,5  -> -3,5", Variant(" -3,5 "), -3.5, 0},
      {"+7 -> 7", Variant("+7"), 7, 0},
      {",5 -> 0,5", Variant(",5"), 0.5, 0},
      {"1,5E3 -> 1500", Variant("1,5E3"), 1500, 0},
      {"2e-1 -> 0,2", Variant("2e-1"), 0.2, 0},
      {"Wahr -> -1", Variant("Wahr"), -1, 0},
      {"True -> -1", Variant(true), -1, 0},
      {"Empty -> 0", Variant(), 0, 0},
      {"Integer", Variant(std::int16_t{12}), 12, 0},
      {"Date serial", Variant(Datum{45000.5}), 45000.5, 0},
      // Rejected.
      {"empty text -> 13", Variant(""), 0, 13},
      {"abc -> 13", Variant("abc"), 0, 13},
      {"1-2 -> 13", Variant("1-2"), 0, 13},
      {"1,2,3 -> 13", Variant("1,2,3"), 0, 13},
      {"1,5.3 -> 13 (point after the comma)", Variant("1,5.3"), 0, 13},
      {"12,5 m -> 13", Variant("12,5 m"), 0, 13},
      {"1 234 -> 13", Variant("1 234"), 0, 13},
      {"lone comma -> 13", Variant(","), 0, 13},
      {"lone minus -> 13", Variant("-"), 0, 13},
      {"1E -> 13", Variant("1E"), 0, 13},
      {"1E400 -> 6", Variant("1E400"), 0, 6},
      {"Null -> 94", Variant::Null(), 0, 94},
      {"Object -> 13", Variant(std::make_shared<Objekt>()), 0, 13},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    double zahl = 0;
    EXPECT_EQ(FehlerNummer([&] { zahl = CDbl(fall.wert); }), fall.fehler);
    if (fall.fehler == 0) {
      EXPECT_DOUBLE_EQ(zahl, fall.zahl);
    }
  }
}

struct GanzFall {
  const char* name;
  Variant wert;
  std::int32_t zahl;
  int fehler;
};

TEST(Variant, ConvertsToIntegerHalfToEven) {
  const GanzFall faelle[] = {
      {"2,5 -> 2", Variant(2.5), 2, 0},
      {"3,5 -> 4", Variant(3.5), 4, 0},
      {"-2,5 -> -2", Variant(-2.5), -2, 0},
      {"-3,5 -> -4", Variant(-3.5), -4, 0},
      {"0,5 -> 0", Variant(0.5), 0, 0},
      {"2,51 -> 3", Variant(2.51), 3, 0},
      {"text 16,5 -> 16", Variant("16,5"), 16, 0},
      {"32767,49 -> 32767", Variant(32767.49), 32767, 0},
      {"-32768,5 -> -32768", Variant(-32768.5), -32768, 0},
      {"True -> -1", Variant(true), -1, 0},
      // Rejected.
      {"32767,5 -> 6", Variant(32767.5), 0, 6},
      {"40000 -> 6", Variant(40000), 0, 6},
      {"-32769 -> 6", Variant(-32769.0), 0, 6},
      {"NaN -> 6", Variant(std::nan("")), 0, 6},
      {"abc -> 13", Variant("abc"), 0, 13},
      {"Null -> 94", Variant::Null(), 0, 94},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    std::int32_t zahl = 0;
    EXPECT_EQ(FehlerNummer([&] { zahl = CInt(fall.wert); }), fall.fehler);
    if (fall.fehler == 0) {
      EXPECT_EQ(zahl, fall.zahl);
    }
  }
}

TEST(Variant, ConvertsToLongHalfToEven) {
  const GanzFall faelle[] = {
      {"1234,5 -> 1234", Variant(1234.5), 1234, 0},
      {"1235,5 -> 1236", Variant(1235.5), 1236, 0},
      {"2147483647", Variant(2147483647.0), 2147483647, 0},
      {"-2147483648,5 -> -2147483648", Variant(-2147483648.5), INT32_MIN, 0},
      {"2147483647,5 -> 6", Variant(2147483647.5), 0, 6},
      {"-2147483649 -> 6", Variant(-2147483649.0), 0, 6},
      {"1E10 text -> 6", Variant("1E10"), 0, 6},
      {"x -> 13", Variant("x"), 0, 13},
      {"Null -> 94", Variant::Null(), 0, 94},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    std::int32_t zahl = 0;
    EXPECT_EQ(FehlerNummer([&] { zahl = CLng(fall.wert); }), fall.fehler);
    if (fall.fehler == 0) {
      EXPECT_EQ(zahl, fall.zahl);
    }
  }
}

struct BoolFall {
  const char* name;
  Variant wert;
  bool ja;
  int fehler;
};

TEST(Variant, ConvertsToBoolean) {
  const BoolFall faelle[] = {
      {"-1 -> True", Variant(-1), true, 0},
      {"0,1 -> True", Variant(0.1), true, 0},
      {"0 -> False", Variant(std::int16_t{0}), false, 0},
      {"Empty -> False", Variant(), false, 0},
      {"Wahr -> True", Variant("Wahr"), true, 0},
      {"falsch -> False", Variant("falsch"), false, 0},
      {"text 1 -> True", Variant("1"), true, 0},
      {"text 0 -> False", Variant("0"), false, 0},
      {"empty text -> 13", Variant(""), false, 13},
      {"ja -> 13", Variant("ja"), false, 13},
      {"Null -> 94", Variant::Null(), false, 94},
      {"Object -> 13", Variant(std::make_shared<Objekt>()), false, 13},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    bool ja = false;
    EXPECT_EQ(FehlerNummer([&] { ja = CBool(fall.wert); }), fall.fehler);
    if (fall.fehler == 0) {
      EXPECT_EQ(ja, fall.ja);
    }
  }
}

struct Dokument : Objekt {};
struct Arbeitsbereich : Objekt {};

TEST(Variant, ObjectConvertsOnlyToTheInterfaceAskedFor) {
  auto dok = std::make_shared<Dokument>();
  Variant wert(dok);
  EXPECT_EQ(CObj<Dokument>(wert), dok);
  EXPECT_EQ(CObj<Objekt>(wert).get(), dok.get());
  EXPECT_EQ(FehlerNummer([&] { CObj<Arbeitsbereich>(wert); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CObj<Dokument>(Variant("Dokument")); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CObj<Dokument>(Variant(std::int16_t{1})); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CObj<Dokument>(Variant::Null()); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CObj<Dokument>(Variant(std::shared_ptr<Dokument>())); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CObj<Dokument>(Variant()); }), 91);
}

TEST(Variant, DatesRoundTripThroughText) {
  Datum d = Datum::AusTag(2000, 2, 29);
  int j, m, t;
  d.Tag(j, m, t);
  EXPECT_EQ(j * 10000 + m * 100 + t, 20000229);
  EXPECT_EQ(Datum::AusTag(1899, 12, 30).Seriell, 0);
  EXPECT_EQ(CDate(Variant("29.02.2000")), d);
  EXPECT_EQ(CDate(Variant("1.3.26")), Datum::AusTag(2026, 3, 1));
  EXPECT_EQ(CStr(Variant(Datum{d.Seriell + 0.5})), "29.02.2000 12:00:00");
  EXPECT_EQ(FehlerNummer([&] { CDate(Variant("morgen")); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CDate(Variant("32.1.2000")); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CDate(Variant("29.2.2001")); }), 13);
  EXPECT_EQ(FehlerNummer([&] { CDate(Variant("1.13.2001")); }), 13);
}

TEST(Variant, DatesStayWithinTheYears100To9999) {
  EXPECT_EQ(CStr(Variant(CDate(Variant(2958465.0)))), "31.12.9999");
  EXPECT_EQ(CStr(Variant(CDate(Variant(-657434.0)))), "01.01.0100");
  // Beyond the range a number is no date: overflow, as for any number too big for its type.
  for (double zahl : {2958466.0, -657435.0, 9.2e18, -9.2e18, 1e308}) {
    SCOPED_TRACE(zahl);
    EXPECT_EQ(FehlerNummer([&] { CDate(Variant(zahl)); }), 6);
    EXPECT_EQ(FehlerNummer([&] { CStr(Variant(Datum{zahl})); }), 6);
  }
  EXPECT_EQ(FehlerNummer([&] { CDate(Variant("9999999999")); }), 6);
  EXPECT_EQ(FehlerNummer([&] { CDate(Variant("1.1.10000")); }), 13);
}

// Number texts are German whatever the process locale: a host that switched its numeric
// locale must not change how texts are read or written.
TEST(Variant, NumberTextsIgnoreTheProcessLocale) {
  std::string alt = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "en_US.UTF-8"))
    GTEST_SKIP() << "no second locale installed";
  EXPECT_DOUBLE_EQ(CDbl(Variant("1.234,5")), 1234.5);
  EXPECT_EQ(CStr(Variant(1234.5)), "1234,5");
  EXPECT_DOUBLE_EQ(zahltext::PunktZahl("0.25"), 0.25);
  std::setlocale(LC_NUMERIC, alt.c_str());
}

}  // namespace
}  // namespace tarvo
