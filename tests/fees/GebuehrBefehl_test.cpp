// Runs the program `tarvo gebuehr` as a surveyor would and checks what it prints and its exit
// status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Lauf {
  std::string ausgabe;  // standard output
  std::string fehler;   // standard error
  int status = -1;
};

// Runs TARVO_EXE with `argumente` (already quoted for the shell).
Lauf Tarvo(const std::string& argumente) {
  static int nummer = 0;
  std::string fehlerDatei = ::testing::TempDir() + "tarvo_gebuehr_" + std::to_string(::getpid()) +
                            "_" + std::to_string(++nummer);
  std::string befehl = std::string("'") + TARVO_EXE + "' " + argumente + " 2>'" + fehlerDatei + "'";
  Lauf lauf;
  FILE* rohr = ::popen(befehl.c_str(), "r");
  if (!rohr) return lauf;
  std::array<char, 256> puffer{};
  while (size_t n = std::fread(puffer.data(), 1, puffer.size(), rohr))
    lauf.ausgabe.append(puffer.data(), n);
  int roh = ::pclose(rohr);
  lauf.status = WIFEXITED(roh) ? WEXITSTATUS(roh) : -1;
  if (FILE* f = std::fopen(fehlerDatei.c_str(), "r")) {
    while (size_t n = std::fread(puffer.data(), 1, puffer.size(), f))
      lauf.fehler.append(puffer.data(), n);
    std::fclose(f);
  }
  std::remove(fehlerDatei.c_str());
  return lauf;
}

struct BefehlFall {
  const char* argumente;
  const char* ausgabe;
};

TEST(TarvoGebuehr, PrintsTheFeeAsTheStatementsShowAmounts) {
  const BefehlFall faelle[] = {
      {"gebuehr tabelle1 12", "2.051,00 €\n"},        {"gebuehr tabelle1 0", "0,00 €\n"},
      {"gebuehr tabelle1 2,5", "685,00 €\n"},        // as a cell shows it: 3
      {"gebuehr tabelle1 3,5", "890,00 €\n"},        // 4
      {"gebuehr tabelle1 3,4", "685,00 €\n"},        // 3
      {"gebuehr tabelle1 ' 1.2 '", "2.051,00 €\n"},  // grouping point ignored: 12
      {"gebuehr tabelle4 11", "2.480,00 €\n"},        {"gebuehr tabelle2 1.234,5 II", "639,00 €\n"},
      {"gebuehr tabelle2 150,5 I", "409,00 €\n"},  // shown as 151 and charged so
      {"gebuehr tabelle2 150,4 I", "256,00 €\n"},     {"gebuehr tabelle2 151,5 I", "409,00 €\n"},
      {"gebuehr tabelle2 20001 III", "1.304,00 €\n"}, {"gebuehr tabelle2 0 i", "307,00 €\n"},
      {"gebuehr tabelle2 0 ''", "307,00 €\n"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.argumente);
    Lauf lauf = Tarvo(fall.argumente);
    EXPECT_EQ(lauf.status, 0);
    EXPECT_EQ(lauf.ausgabe, fall.ausgabe);
    EXPECT_EQ(lauf.fehler, "");
  }
}

struct AbweisungsFall {
  const char* argumente;
  const char* meldung;  // part of the German message on standard error
};

TEST(TarvoGebuehr, RefusesUnusableInputWithExitTwo) {
  const AbweisungsFall faelle[] = {
      {"gebuehr tabelle1 abc", "»abc« ist keine Zahl"},
      {"gebuehr tabelle1 '12 Punkte'", "»12 Punkte« ist keine Zahl"},
      {"gebuehr tabelle1 1-2", "»1-2« ist keine Zahl"},
      {"gebuehr tabelle1 ''", "Anzahl der Grenzpunkte fehlt"},
      {"gebuehr tabelle4 ,", "»,« ist keine Zahl"},
      {"gebuehr tabelle4 -1", "darf nicht negativ sein"},
      {"gebuehr tabelle1 3E9", "ist zu groß"},
      {"gebuehr tabelle1", "Anzahl der Grenzpunkte fehlt"},
      {"gebuehr tabelle1 1 2", "Zu viele Angaben: »2«"},
      {"gebuehr tabelle2 'zwölf' I", "»zwölf« ist keine Zahl"},
      {"gebuehr tabelle2 12,5m² I", "»12,5m²« ist keine Zahl"},
      {"gebuehr tabelle2 100", "Die Kategorie fehlt"},
      {"gebuehr tabelle2", "Die Fläche fehlt"},
      {"gebuehr", "Bitte eine Tabelle angeben"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.argumente);
    Lauf lauf = Tarvo(fall.argumente);
    EXPECT_EQ(lauf.status, 2);
    EXPECT_EQ(lauf.ausgabe, "");
    EXPECT_NE(lauf.fehler.find(fall.meldung), std::string::npos) << lauf.fehler;
  }
}

TEST(TarvoGebuehr, OverflowInTheTableIsReportedWithExitThree) {
  Lauf lauf = Tarvo("gebuehr tabelle1 18.199.009");
  EXPECT_EQ(lauf.status, 3);
  EXPECT_EQ(lauf.ausgabe, "");
  EXPECT_NE(lauf.fehler.find("nicht berechenbar"), std::string::npos);
}

TEST(TarvoGebuehr, HelpAndVersionAreGerman) {
  Lauf hilfe = Tarvo("gebuehr tabelle2 --help");
  EXPECT_EQ(hilfe.status, 0);
  EXPECT_NE(hilfe.ausgabe.find("Aufruf:"), std::string::npos);
  EXPECT_NE(hilfe.ausgabe.find("Fläche in m²"), std::string::npos);
  Lauf version = Tarvo("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.ausgabe.rfind("tarvo ", 0), 0u);
}

}  // namespace
