#include "errors/Protokoll.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "Umgebung.h"
#include "errors/Falle.h"
#include "errors/Fehler.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

using test::Umgebung;

std::string Lesen(const fs::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  return {std::istreambuf_iterator<char>(ein), {}};
}

std::tm Zeit(int tag, int monat, int jahr, int stunde, int minute) {
  std::tm t{};
  t.tm_mday = tag;
  t.tm_mon = monat - 1;
  t.tm_year = jahr - 1900;
  t.tm_hour = stunde;
  t.tm_min = minute;
  return t;
}

// Each test gets its own empty log folder, a fixed clock and an empty error record.
class ProtokollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ordner_ = fs::temp_directory_path() /
              ("tarvo_protokoll_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    logOrdner_.emplace("TARVO_LOG_DIR", ordner_.string());
    protokoll::SetzeUhr([] { return Zeit(6, 12, 2026, 9, 5); });
    LetzterFehler() = GO_Error();
  }
  void TearDown() override {
    protokoll::SetzeUhr(nullptr);
    protokoll::SetzeBibliotheksOrdner({});
    logOrdner_.reset();
    fs::remove_all(ordner_);
    LetzterFehler() = GO_Error();
  }

  // Runs one failing statement under a trap, as a procedure of the system would.
  static void Fehlschlag(const char* modul, const char* prozedur, std::int32_t nummer,
                         std::string beschreibung = {}) {
    Falle falle(modul, prozedur);
    falle([&] {
      throw beschreibung.empty() ? Laufzeitfehler(nummer) : Laufzeitfehler(nummer, beschreibung);
    });
  }

  fs::path Log() const { return ordner_ / "Verw.log"; }

  fs::path ordner_;
  std::optional<Umgebung> logOrdner_;
};

TEST_F(ProtokollTest, RecordIsSixCrlfLinesByteForByte) {
  Fehlschlag("Rechnung", "Show", 6);
  EXPECT_EQ(Lesen(Log()),
            "6.12.26 09:05   Error 6: \r\n"
            "Überlauf\r\n"
            "Zeile: 0\r\n"
            "Ort  : Rechnung.Show\r\n"
            "User : , \r\n"
            "\r\n");
}

TEST_F(ProtokollTest, DateHasNoLeadingZerosTimeHasThem) {
  protokoll::SetzeUhr([] { return Zeit(31, 1, 2005, 23, 59); });
  Fehlschlag("Funktionen", "CVal", 13);
  protokoll::SetzeUhr([] { return Zeit(1, 10, 2030, 0, 0); });
  Fehlschlag("Funktionen", "CVal", 94);
  std::string log = Lesen(Log());
  EXPECT_EQ(log.substr(0, log.find("\r\n")), "31.1.05 23:59   Error 13: ");
  auto zweiter = log.find("\r\n\r\n") + 4;
  EXPECT_EQ(log.substr(zweiter, log.find("\r\n", zweiter) - zweiter), "1.10.30 00:00   Error 94: ");
}

TEST_F(ProtokollTest, RecordsAreAppendedToAnExistingLog) {
  { std::ofstream(Log(), std::ios::binary) << "alt\r\n"; }
  Fehlschlag("modStatus", "GebührAusTabelle1", 6);
  Fehlschlag("frmKat1", "mskAnzahl_Change", 3021, "Kein aktueller Datensatz.");
  EXPECT_EQ(Lesen(Log()),
            "alt\r\n"
            "6.12.26 09:05   Error 6: \r\nÜberlauf\r\nZeile: 0\r\n"
            "Ort  : modStatus.GebührAusTabelle1\r\nUser : , \r\n\r\n"
            "6.12.26 09:05   Error 3021: \r\nKein aktueller Datensatz.\r\nZeile: 0\r\n"
            "Ort  : frmKat1.mskAnzahl_Change\r\nUser : , \r\n\r\n");
}

TEST_F(ProtokollTest, RecordCarriesTheLineNumber) {
  Falle falle("KM_WordAuto", "TabelleErmitteln");
  falle([] { throw Laufzeitfehler(5941, "Das angeforderte Element fehlt.", 120); });
  EXPECT_NE(Lesen(Log()).find("Zeile: 120\r\nOrt  : KM_WordAuto.TabelleErmitteln\r\n"),
            std::string::npos);
  EXPECT_EQ(LetzterFehler().Hinweis, 120);
}

TEST_F(ProtokollTest, FehlerHoldsAllSixFields) {
  Fehlschlag("GebührenTabelle", "SummeBilden", 11);
  const GO_Error& f = LetzterFehler();
  EXPECT_EQ(f.Funktionsname, "GebührenTabelleSummeBilden");
  EXPECT_EQ(f.strFehler, "Division durch Null");
  EXPECT_EQ(f.strModul, "GebührenTabelle");
  EXPECT_EQ(f.strFunktion, "SummeBilden");
  EXPECT_EQ(f.strNr, "11");
  EXPECT_EQ(f.Hinweis, 0);
}

TEST_F(ProtokollTest, RepeatedProcedureKeepsTheFirstErrorButLogsBoth) {
  Fehlschlag("Rechnung", "Show", 3021);
  Fehlschlag("Rechnung", "Show", 94);
  EXPECT_EQ(LetzterFehler().strNr, "3021");
  std::string log = Lesen(Log());
  EXPECT_NE(log.find("Error 3021: "), std::string::npos);
  EXPECT_NE(log.find("Error 94: "), std::string::npos);
  // Another procedure replaces it; the first one again replaces that.
  Fehlschlag("Rechnung", "Shows", 13);
  EXPECT_EQ(LetzterFehler().strNr, "13");
  Fehlschlag("Rechnung", "Show", 6);
  EXPECT_EQ(LetzterFehler().strNr, "6");
}

TEST_F(ProtokollTest, ModuleAndProcedureCompareRunTogether) {
  // "ab"+"c" and "a"+"bc" are the same name run together: the record is kept.
  Fehlschlag("ab", "c", 6);
  Fehlschlag("a", "bc", 13);
  EXPECT_EQ(LetzterFehler().strNr, "6");
  EXPECT_EQ(LetzterFehler().strModul, "ab");
}

TEST_F(ProtokollTest, SilentSkipWritesNothing) {
  Falle falle("GebührenTabelle", "SummeBilden");
  EXPECT_FALSE(falle.Still([] { throw Laufzeitfehler(5941); }));
  EXPECT_FALSE(fs::exists(Log()));
  EXPECT_EQ(LetzterFehler().Funktionsname, "");
  EXPECT_EQ(falle.Fehlschlaege(), 1);
}

TEST_F(ProtokollTest, LogDirOverrideIsCreatedWhenMissing) {
  Umgebung anderer("TARVO_LOG_DIR", (ordner_ / "neu" / "tiefer").string());
  Fehlschlag("Funktionen", "Tausche", 5);
  EXPECT_TRUE(fs::exists(ordner_ / "neu" / "tiefer" / "Verw.log"));
}

// The library folder cannot take the log (here: a path below a regular file, which can never
// be a folder; root would write into a folder without write permission): records go to the
// user's state folder.
TEST_F(ProtokollTest, UnusableLibraryFolderFallsBackToStateFolder) {
  { std::ofstream(ordner_ / "datei") << "x"; }
  protokoll::SetzeBibliotheksOrdner(ordner_ / "datei" / "lib");
  Umgebung ohne("TARVO_LOG_DIR", std::nullopt);
  Umgebung zustand("XDG_STATE_HOME", (ordner_ / "state").string());
  EXPECT_EQ(protokoll::Datei(), ordner_ / "state" / "tarvo" / "Verw.log");
  Fehlschlag("Rechnung", "Show", 6);
  EXPECT_TRUE(fs::exists(ordner_ / "state" / "tarvo" / "Verw.log"));
}

TEST_F(ProtokollTest, StateFolderDefaultsToHome) {
  { std::ofstream(ordner_ / "datei") << "x"; }
  protokoll::SetzeBibliotheksOrdner(ordner_ / "datei" / "lib");
  Umgebung ohne("TARVO_LOG_DIR", std::nullopt);
  Umgebung ohneXdg("XDG_STATE_HOME", std::nullopt);
  Umgebung heim("HOME", (ordner_ / "heim").string());
  EXPECT_EQ(protokoll::Datei(), ordner_ / "heim" / ".local" / "state" / "tarvo" / "Verw.log");
}

TEST_F(ProtokollTest, WritableLibraryFolderIsPreferred) {
  fs::create_directories(ordner_ / "lib");
  protokoll::SetzeBibliotheksOrdner(ordner_ / "lib");
  Umgebung ohne("TARVO_LOG_DIR", std::nullopt);
  Umgebung zustand("XDG_STATE_HOME", (ordner_ / "state").string());
  Fehlschlag("Rechnung", "Show", 6);
  EXPECT_TRUE(fs::exists(ordner_ / "lib" / "Verw.log"));
  EXPECT_FALSE(fs::exists(ordner_ / "state"));
}

TEST_F(ProtokollTest, NowhereWritableDropsTheRecordAndGoesOn) {
  { std::ofstream(ordner_ / "datei") << "x"; }
  protokoll::SetzeBibliotheksOrdner(ordner_ / "datei" / "lib");
  Umgebung ohne("TARVO_LOG_DIR", std::nullopt);
  Umgebung zustand("XDG_STATE_HOME", (ordner_ / "datei" / "state").string());
  EXPECT_EQ(protokoll::Datei(), fs::path());
  auto vorher = protokoll::AnzahlGemeldet();
  Falle falle("Rechnung", "Show");
  int weiter = 0;
  falle([] { throw Laufzeitfehler(6); });
  falle([&] { ++weiter; });
  EXPECT_EQ(weiter, 1);
  EXPECT_EQ(protokoll::AnzahlGemeldet() - vorher, 1);
  EXPECT_EQ(LetzterFehler().Funktionsname, "RechnungShow");
}

TEST_F(ProtokollTest, UnusableOverrideDropsTheRecord) {
  { std::ofstream(ordner_ / "datei") << "x"; }
  Umgebung anderer("TARVO_LOG_DIR", (ordner_ / "datei").string());
  Fehlschlag("Rechnung", "Show", 6);
  EXPECT_EQ(Lesen(ordner_ / "datei"), "x");
  EXPECT_EQ(LetzterFehler().strNr, "6");
}

TEST_F(ProtokollTest, LogThatCannotBeOpenedIsSkipped) {
  fs::create_directories(Log());  // a folder where the file should be
  Fehlschlag("Rechnung", "Show", 6);
  EXPECT_TRUE(fs::is_directory(Log()));
  EXPECT_EQ(LetzterFehler().strNr, "6");
}

}  // namespace
}  // namespace tarvo
