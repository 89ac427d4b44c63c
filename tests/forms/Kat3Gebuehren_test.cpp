// The fee rules of the axis-length survey: the nine prices per metre, the row fee on the axis
// charged, the surcharges, and the axis beyond the 16-bit range.
#include "forms/kat3/Kat3Gebuehren.h"

#include <gtest/gtest.h>

#include "errors/Laufzeitfehler.h"

namespace tarvo::kat3 {
namespace {

TEST(Kat3Gebuehren, NinePricesPerMetreFromSubItemAndDensity) {
  struct Fall {
    const char* nr;
    const char* dichte;
    const char* preis;
  } fälle[] = {
      {"5.1.1", "bis 5", "   20,00"},         {"5.1.1", "über 5 bis 15", "   22,00"},
      {"5.1.1", "über 15", "   24,00"},       {"5.1.2", "bis 5", "   17,50"},
      {"5.1.2", "über 5 bis 15", "   19,25"}, {"5.1.2", "über 15", "   21,00"},
      {"5.1.3", "bis 5", "   15,00"},         {"5.1.3", "über 5 bis 15", "   16,50"},
      {"5.1.3", "über 15", "   18,00"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(std::string(fall.nr) + " " + fall.dichte);
    EXPECT_EQ(Rasterbetrag(PreisJeMeter(fall.nr, fall.dichte)), fall.preis);
  }
}

TEST(Kat3Gebuehren, UnknownTextsTakeTheLastCoefficientAndDensity) {
  for (const char* nr : {"5.1.3", "", "5.1.4", " 5.1.1", "5,1,1"}) {
    SCOPED_TRACE(nr);
    EXPECT_EQ(Koeffizient(nr), 3.0);
  }
  for (const char* dichte : {"über 15", "", "bis 15", "Bis 5", "bis 5 "}) {
    SCOPED_TRACE(dichte);
    EXPECT_EQ(Dichtewert(dichte), 6.0);
  }
}

TEST(Kat3Gebuehren, WorkedExamplesToTheCent) {
  struct Fall {
    const char* nr;
    const char* dichte;
    const char* achse;
    const char* preis;
    const char* gebühr;
  } fälle[] = {
      {"5.1.1", "bis 5", "120", "   20,00", "2.400,00"},
      {"5.1.2", "über 5 bis 15", "300", "   19,25", "5.775,00"},
      {"5.1.3", "über 15", "80", "   18,00", "1.440,00"},
      {"5.1.1", "bis 5", "0", "   20,00", "   20,00"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.achse);
    const Zeilenwerte werte = ZeileBerechnen(fall.nr, fall.dichte, fall.achse);
    EXPECT_EQ(werte.preis, fall.preis);
    EXPECT_EQ(werte.gebühr, fall.gebühr);
  }
}

TEST(Kat3Gebuehren, AxisIsWholeMetresHalfToEvenAndAtLeastOne) {
  struct Fall {
    const char* text;
    int achse;
  } fälle[] = {
      {"", 1},          {"0", 1},      {"-5", 1},    {"abc", 1},      {"    ", 1},
      {"0,4", 1},       {"2,5", 2},    {"3,5", 4},   {"1.234", 1234}, {"     120", 120},
      {"32767", 32767}, {"-32768", 1}, {"12 m", 12},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.text);
    EXPECT_EQ(Achslänge(fall.text), fall.achse);
  }
  // The fee is charged on the whole metres: 2,5 m at 20 € are 2 m.
  EXPECT_EQ(ZeileBerechnen("5.1.1", "bis 5", "2,5").gebühr, "   40,00");
}

TEST(Kat3Gebuehren, AxisBeyondSixteenBitsOverflows) {
  for (const char* text : {"32768", "40.000", "-32769", "99999,9"}) {
    SCOPED_TRACE(text);
    try {
      ZeileBerechnen("5.1.1", "bis 5", text);
      ADD_FAILURE() << "kein Überlauf";
    } catch (const Laufzeitfehler& fehler) {
      EXPECT_EQ(fehler.Nummer(), 6);
    }
  }
}

TEST(Kat3Gebuehren, SurchargesFromThePriceAsShown) {
  EXPECT_EQ(Rasterbetrag(Zuschlag(19.25, 100, FaktorOrtslage)), "  481,25");
  EXPECT_EQ(Rasterbetrag(Zuschlag(18, 80, FaktorOrtslage)), "  360,00");
  EXPECT_EQ(Rasterbetrag(Zuschlag(18, 40, FaktorFahrstreifen)), "  216,00");
  EXPECT_EQ(Rasterbetrag(Zuschlag(20, -10, FaktorOrtslage)), "  -50,00");
  EXPECT_EQ(Rasterbetrag(Zuschlag(16.5, 0.5, FaktorFahrstreifen)), "    2,48");
}

}  // namespace
}  // namespace tarvo::kat3
