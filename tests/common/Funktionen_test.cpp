#include "common/Funktionen.h"

#include <gtest/gtest.h>

#include "errors/Fehler.h"
#include "errors/Protokoll.h"

namespace tarvo {
namespace {

// Counts the errors reported while a test step runs.
struct Meldungen {
  std::int64_t vorher = protokoll::AnzahlGemeldet();
  std::int64_t Neu() const { return protokoll::AnzahlGemeldet() - vorher; }
};

struct CValFall {
  const char* name;
  const char* eingabe;
  double wert;
  int meldungen;
};

TEST(CVal, ReadsGermanNumbersAndLeadingRuns) {
  const CValFall faelle[] = {
      {"1.234,50 with blanks -> 1234,5", "  1.234,50  ", 1234.5, 0},
      {"12,5 -> 12,5", "12,5", 12.5, 0},
      {"12.5 -> 125 (grouping point ignored)", "12.5", 125, 0},
      {"-3,25 -> -3,25", "-3,25", -3.25, 0},
      {"1,5E3 -> 1500", "1,5E3", 1500, 0},
      {"12,5 m² -> 12,5 (scan stops at the blank)", "12,5 m²", 12.5, 0},
      {"7Stk -> 7", "7Stk", 7, 0},
      {"12,5m12 -> 12,5 (digits after the stop ignored)", "12,5m12", 12.5, 0},
      {"1.000 m -> 1000", "1.000 m", 1000, 0},
      // Rejected inputs: no number, no log entry.
      {"abc -> 0", "abc", 0, 0},
      {"lone comma -> 0", ",", 0, 0},
      {"lone comma before text -> 0", ",x", 0, 0},
      {"empty -> 0", "", 0, 0},
      {"blanks only -> 0", "   ", 0, 0},
      {"m 12 -> 0 (scan stops at the first character)", "m 12", 0, 0},
      {"€5 -> 0", "€5", 0, 0},
      // Rejected inputs that pass the scan but are no number: logged.
      {"1-2 -> 0, logged", "1-2", 0, 1},
      {"lone minus -> 0, logged", "-", 0, 1},
      {"1,2,3 -> 0, logged", "1,2,3", 0, 1},
      {"1,2,3x -> 0, logged", "1,2,3x", 0, 1},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    Meldungen m;
    EXPECT_DOUBLE_EQ(CVal(fall.eingabe), fall.wert);
    EXPECT_EQ(m.Neu(), fall.meldungen);
  }
}

TEST(CVal, LogsUnderFunktionenCVal) {
  LetzterFehler() = GO_Error();
  CVal("1-2");
  EXPECT_EQ(LetzterFehler().Funktionsname, "FunktionenCVal");
  EXPECT_EQ(LetzterFehler().strNr, "13");
}

struct FormatFall {
  const char* name;
  const char* eingabe;
  std::int16_t breite;
  std::int16_t stellen;
  const char* erwartet;
};

TEST(WertFormatieren, FormatsAndRightAligns) {
  const FormatFall faelle[] = {
      {"1234,5 w8 p2 -> exactly 8 characters", "1234,5", 8, 2, "1.234,50"},
      {"5 w8 p2", "5", 8, 2, "    5,00"},
      {"empty w8 p2", "", 8, 2, "    0,00"},
      {"12 w2 p0", "12", 2, 0, "12"},
      {"12345 w2 p0 -> longer, not cut", "12345", 2, 0, "12.345"},
      {"7 w6 p5 -> no pattern, only aligned", "7", 6, 5, "     7"},
      {"1,5 w6 p5 -> normalised text kept", "1,5", 6, 5, "   1.5"},
      {"1.234.567,891 w0 p3", "1.234.567,891", 0, 3, "1.234.567,891"},
      {"0,05 w6 p1 -> half away from zero", "0,05", 6, 1, "   0,1"},
      {"2,5 w3 p0 -> 3", "2,5", 3, 0, "  3"},
      {"-2,5 w4 p0 -> -3", "-2,5", 4, 0, "  -3"},
      {"-1234,5 w0 p2", "-1234,5", 0, 2, "-1.234,50"},
      {"-0,001 w5 p2 -> no sign on zero", "-0,001", 5, 2, " 0,00"},
      {"999,995 w0 p2 -> carry", "999,995", 0, 2, "1.000,00"},
      {"16% w4 p0 -> percent sign dropped", "16%", 4, 0, "  16"},
      {"text w6 p2 -> 0,00", "abc", 6, 2, "  0,00"},
      {"12abc w6 p0 -> leading number", "12abc", 6, 0, "    12"},
      {"blanks inside are skipped", "1 234", 0, 0, "1.234"},
      {"1e3 reads the leading 1 only", "1e3", 0, 0, "1"},
      {"negative width pads nothing", "5", -3, 0, "5"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    EXPECT_EQ(WertFormatieren(fall.eingabe, fall.breite, fall.stellen), fall.erwartet);
  }
}

TEST(WertFormatieren, ShiftsMaskPaddedInputRight) {
  // A masked edit of five places holding "12" followed by three prompt blanks.
  EXPECT_EQ(WertFormatieren("12   ", 8, 2), "   12,00");
  // Each shift keeps only the first p characters: a decimal part behind the blanks is lost.
  EXPECT_EQ(WertFormatieren("12   ,50", 8, 2), "   12,00");
  // No blank at position p: nothing shifts, the decimals stay.
  EXPECT_EQ(WertFormatieren("12345,50", 8, 2), "12.345,50");
  // All blanks: the last blank becomes 0.
  EXPECT_EQ(WertFormatieren("     ", 8, 2), "    0,00");
  EXPECT_EQ(WertFormatieren("  ", 3, 5), "  0");
}

TEST(WertFormatieren, RoundsForDisplayAfterFifteenDigits) {
  const FormatFall faelle[] = {
      {"1,005 -> 1,01 (binary 1.00499.. reduced to 15 digits)", "1,005", 0, 2, "1,01"},
      {"2,675 -> 2,68", "2,675", 0, 2, "2,68"},
      {"1,045 -> 1,05", "1,045", 0, 2, "1,05"},
      {"0,125 -> 0,13", "0,125", 0, 2, "0,13"},
      {"-0,125 -> -0,13", "-0,125", 0, 2, "-0,13"},
      {"1,0049 -> 1,00", "1,0049", 0, 2, "1,00"},
      {"0,5 p0 -> 1", "0,5", 0, 0, "1"},
      {"1,5 p0 -> 2", "1,5", 0, 0, "2"},
      {"1234567,5 p0", "1234567,5", 0, 0, "1.234.568"},
      {"0,0004 p3 -> 0,000", "0,0004", 0, 3, "0,000"},
      {"0,0005 p3 -> 0,001", "0,0005", 0, 3, "0,001"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    EXPECT_EQ(WertFormatieren(fall.eingabe, fall.breite, fall.stellen), fall.erwartet);
  }
}

TEST(WertFormatieren, CountsCharactersNotBytes) {
  EXPECT_EQ(WertFormatieren("ä", 3, 5), "  ä");
}

TEST(WertFormatieren, HugeDigitRunIsLoggedAndKeepsTheText) {
  Meldungen m;
  std::string riesig(400, '9');
  std::string text = WertFormatieren(riesig, 0, 2);
  // Both readings of the leading number overflow: the zero check and the formatting.
  EXPECT_EQ(m.Neu(), 2);
  EXPECT_EQ(text, riesig);
  EXPECT_EQ(LetzterFehler().strFunktion, "WertFormatieren");
}

TEST(Werte, FormatsLargeAndSmallDoubles) {
  EXPECT_EQ(werte::Formatiert(1e20, 2), "100.000.000.000.000.000.000,00");
  EXPECT_EQ(werte::Formatiert(0.1 + 0.2, 2), "0,30");
  EXPECT_EQ(werte::Formatiert(123456789012345.67, 0), "123.456.789.012.346");
  EXPECT_EQ(werte::Formatiert(1e-20, 3), "0,000");
  EXPECT_EQ(werte::Formatiert(999.5, 0), "1.000");
}

TEST(Werte, LeadingNumberIgnoresLocale) {
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl("  -12.5xyz"), -12.5);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl("+3"), 3);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl(".5"), 0.5);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl("--5"), 0);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl("5-"), 5);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl("x5"), 0);
  EXPECT_DOUBLE_EQ(werte::FuehrendeZahl(""), 0);
}

TEST(Tausche, ReplacesEveryOccurrenceWithoutOverlap) {
  EXPECT_EQ(Tausche("a.b.c", ".", ""), "abc");
  EXPECT_EQ(Tausche("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(Tausche("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Tausche("Abc abc", "abc", "x"), "Abc x");
  EXPECT_EQ(Tausche("1,5", ",", "."), "1.5");
  EXPECT_EQ(Tausche("ab", "a", "aa"), "aab");
  EXPECT_EQ(Tausche("Fläche", "ä", "ae"), "Flaeche");
  EXPECT_EQ(Tausche("abc", "", "x"), "abc");
  EXPECT_EQ(Tausche("", "a", "x"), "");
}

}  // namespace
}  // namespace tarvo
