#include "platform/dao/ColumnType.h"

#include <gtest/gtest.h>

#include "DaoTestDatei.h"

namespace tarvo::dao {
namespace {

using test::Fehlernummer;

RawValue Ganz(std::int64_t wert) {
  RawValue roh;
  roh.storage = RawValue::Storage::Integer;
  roh.integer = wert;
  return roh;
}
RawValue Reell(double wert) {
  RawValue roh;
  roh.storage = RawValue::Storage::Real;
  roh.real = wert;
  return roh;
}
RawValue Text(std::string wert) {
  RawValue roh;
  roh.storage = RawValue::Storage::Text;
  roh.text = std::move(wert);
  return roh;
}

TEST(ColumnType, DeclaredTypesMapToKinds) {
  struct Fall {
    const char* deklariert;
    ColumnKind art;
  } faelle[] = {
      {"INTEGER", ColumnKind::Long},
      {"smallint", ColumnKind::Long},
      {"LONG", ColumnKind::Long},
      {"COUNTER", ColumnKind::Long},
      {"DOUBLE", ColumnKind::Double},
      {"REAL", ColumnKind::Double},
      {"FLOAT", ColumnKind::Double},
      {"NUMERIC(10,2)", ColumnKind::Double},
      {"TEXT", ColumnKind::Text},
      {"VARCHAR(50)", ColumnKind::Text},
      {"LONGTEXT", ColumnKind::Text},
      {"MEMO", ColumnKind::Text},
      {"BOOLEAN", ColumnKind::Boolean},
      {"BIT", ColumnKind::Boolean},
      {"YESNO", ColumnKind::Boolean},
      {"DATE", ColumnKind::Date},
      {"DATETIME", ColumnKind::Date},
      {"TIMESTAMP", ColumnKind::Date},
      {"", ColumnKind::Any},
      {nullptr, ColumnKind::Any},
      {"BLOB", ColumnKind::Any},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.deklariert ? fall.deklariert : "(keiner)");
    EXPECT_EQ(KindOfDeclaredType(fall.deklariert), fall.art);
  }
}

TEST(ColumnType, ReadsStoredValuesByKind) {
  struct Fall {
    const char* name;
    RawValue roh;
    ColumnKind art;
    Variant erwartet;
  } faelle[] = {
      {"integer 7 in INTEGER", Ganz(7), ColumnKind::Long, Variant(std::int32_t{7})},
      {"big integer in INTEGER", Ganz(5000000000LL), ColumnKind::Long, Variant(5e9)},
      {"2.5 in INTEGER rounds to even", Reell(2.5), ColumnKind::Long, Variant(std::int32_t{2})},
      {"integer 3 in DOUBLE", Ganz(3), ColumnKind::Double, Variant(3.0)},
      {"1 in BOOLEAN", Ganz(1), ColumnKind::Boolean, Variant(true)},
      {"-1 in BOOLEAN", Ganz(-1), ColumnKind::Boolean, Variant(true)},
      {"0 in BOOLEAN", Ganz(0), ColumnKind::Boolean, Variant(false)},
      {"'Wahr' in BOOLEAN", Text("Wahr"), ColumnKind::Boolean, Variant(true)},
      {"ISO date", Text("2026-12-01"), ColumnKind::Date, Variant(Datum::AusTag(2026, 12, 1))},
      {"ISO date with time", Text("2026-12-01 12:00:00"), ColumnKind::Date,
       Variant(Datum{Datum::AusTag(2026, 12, 1).Seriell + 0.5})},
      {"serial number in DATE", Ganz(46357), ColumnKind::Date, Variant(Datum{46357})},
      {"number beyond the dates in DATE stays a number", Ganz(9223372036854775807LL),
       ColumnKind::Date, Variant(9223372036854775807.0)},
      {"integer in TEXT", Ganz(12), ColumnKind::Text, Variant("12")},
      {"real in TEXT reads German", Reell(12.5), ColumnKind::Text, Variant("12,5")},
      {"NULL in INTEGER", RawValue{}, ColumnKind::Long, Variant::Null()},
      {"NULL in TEXT", RawValue{}, ColumnKind::Text, Variant::Null()},
      {"empty text in INTEGER stays text", Text(""), ColumnKind::Long, Variant("")},
      {"garbage in DOUBLE stays text", Text("abc"), ColumnKind::Double, Variant("abc")},
      {"no ISO date stays text", Text("2026-02-30"), ColumnKind::Date, Variant("2026-02-30")},
      {"computed integer", Ganz(4), ColumnKind::Any, Variant(std::int32_t{4})},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    EXPECT_EQ(ToVariant(fall.roh, fall.art), fall.erwartet);
  }
}

TEST(ColumnType, ConvertsAssignedValuesByKind) {
  struct Fall {
    const char* name;
    Variant wert;
    ColumnKind art;
    RawValue erwartet;
  } faelle[] = {
      {"2.5 into INTEGER", Variant(2.5), ColumnKind::Long, Ganz(2)},
      {"3.5 into INTEGER", Variant(3.5), ColumnKind::Long, Ganz(4)},
      {"-2.5 into INTEGER", Variant(-2.5), ColumnKind::Long, Ganz(-2)},
      {"118999.99999 into INTEGER", Variant(118999.99999), ColumnKind::Long, Ganz(119000)},
      {"German text into INTEGER", Variant("1.234"), ColumnKind::Long, Ganz(1234)},
      {"True into INTEGER", Variant(true), ColumnKind::Long, Ganz(-1)},
      {"German text into DOUBLE", Variant("12,5"), ColumnKind::Double, Reell(12.5)},
      {"number into TEXT", Variant(12.5), ColumnKind::Text, Text("12,5")},
      {"True into BOOLEAN", Variant(true), ColumnKind::Boolean, Ganz(1)},
      {"number into BOOLEAN", Variant(std::int32_t{-1}), ColumnKind::Boolean, Ganz(1)},
      {"date into DATE", Variant(Datum::AusTag(2026, 1, 31)), ColumnKind::Date, Text("2026-01-31")},
      {"German date text into DATE", Variant("31.01.2026"), ColumnKind::Date, Text("2026-01-31")},
      {"Null into INTEGER", Variant::Null(), ColumnKind::Long, RawValue{}},
      {"Empty into TEXT", Variant(), ColumnKind::Text, RawValue{}},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    EXPECT_EQ(FromVariant(fall.wert, fall.art), fall.erwartet);
  }
}

TEST(ColumnType, RefusesValuesTheColumnCannotTake) {
  EXPECT_EQ(Fehlernummer([] { FromVariant(Variant("abc"), ColumnKind::Long); }), 13);
  EXPECT_EQ(Fehlernummer([] { FromVariant(Variant(3e9), ColumnKind::Long); }), 6);
  EXPECT_EQ(Fehlernummer([] { FromVariant(Variant("kein Datum"), ColumnKind::Date); }), 13);
  auto objekt = std::make_shared<Workspace>();
  EXPECT_EQ(Fehlernummer([&] { FromVariant(Variant(objekt), ColumnKind::Text); }), 13);
}

TEST(ColumnType, IsoDatesRoundTrip) {
  Datum mitZeit{Datum::AusTag(2024, 2, 29).Seriell + (13 * 3600 + 5 * 60 + 9) / 86400.0};
  EXPECT_EQ(DateToIso(mitZeit), "2024-02-29 13:05:09");
  Datum gelesen;
  ASSERT_TRUE(IsoToDate("2024-02-29 13:05:09", gelesen));
  EXPECT_EQ(DateToIso(gelesen), "2024-02-29 13:05:09");
  ASSERT_TRUE(IsoToDate("2024-02-29T13:05", gelesen));
  EXPECT_EQ(DateToIso(gelesen), "2024-02-29 13:05:00");
  for (const char* falsch : {"2023-02-29", "2024-13-01", "24-02-29", "2024-02-29x", "",
                             "2024-02-29 25:00", "-999-01-01"}) {
    SCOPED_TRACE(falsch);
    EXPECT_FALSE(IsoToDate(falsch, gelesen));
  }
}

TEST(ColumnType, FieldNamesCompareWithoutCase) {
  EXPECT_TRUE(SameName("Mehrwertsteuersatz", "MEHRWERTSTEUERSATZ"));
  EXPECT_TRUE(SameName("MwStErmäßigt", "MWSTERMÄßIGT"));
  EXPECT_TRUE(SameName("Übertrag", "übertrag"));
  EXPECT_FALSE(SameName("Brutto", "Brutt"));
  EXPECT_FALSE(SameName("Fläche", "Flache"));
}

}  // namespace
}  // namespace tarvo::dao
