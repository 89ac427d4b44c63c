// Whole jobs on a job database on a PostgreSQL server beside the same jobs on an SQLite file:
// the same invoice and record, the same turn-taking, and what only a server brings: logins,
// passwords that must never be shown, and a connection that breaks in the middle of a job.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "Auftrag_helpers.h"
#include "platform/dao/DaoTestDatei.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;
using dao::test::Maschine;

std::string Job(const std::string& datenbank, int flaeche = 1250) {
  return R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx", "datenbank": ")" + datenbank +
         R"(", "benutzer": 1, "rechnung": 1, "kategorie": 0,
    "eingaben": {"zeilen": [["Flst.Nr. 412/7", "II", ")" +
         std::to_string(flaeche) + R"("], ["Flst.Nr. 412/8", "I", "480"]],
      "mskAnzahl": "8", "mskErmäßigt": "2", "mskGP": "6", "mskGP2": "1", "mskAnteil": "500"}})";
}

class Serverauftrag : public AuftragTest, public ::testing::WithParamInterface<Maschine> {
 protected:
  void SetUp() override {
    std::string warum;
    if (GetParam() == Maschine::PostgreSQL && !dao::test::PgBereit(warum)) GTEST_SKIP() << warum;
    AuftragTest::SetUp();
    if (GetParam() == Maschine::PostgreSQL) {
      server_.emplace();
      auto db = dao::Workspace().CreateDatabase(server_->Adresse());
      db->Execute(std::string(dao::JobDatabaseSchema()));
      db->Execute(std::string(dao::JobDatabaseSample()));
      name_ = server_->Adresse();
    } else {
      name_ = "Auftraege.db";
    }
  }
  // The job database as tarvo opens it from the test folder.
  std::string Datenbank() const {
    return GetParam() == Maschine::SQLite ? (ordner_ / name_).string() : name_;
  }
  std::string Rechnungssatz() const {
    auto rs =
        dao::Workspace()
            .OpenDatabase(Datenbank())
            ->OpenRecordset(
                "SELECT NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, Mehrwertsteuersatz FROM "
                "Rechnung WHERE ID_Rechnungsnummer = 1");
    std::string satz;
    for (std::int16_t i = 0; i < rs->FieldCount(); ++i)
      satz += (i ? "|" : "") + CStr(rs->Fields(i).Value());
    return satz;
  }
  std::optional<dao::test::PgDatenbank> server_;
  std::string name_;
};

INSTANTIATE_TEST_SUITE_P(Maschinen, Serverauftrag,
                         ::testing::Values(Maschine::SQLite, Maschine::PostgreSQL),
                         dao::test::Maschinenname);

TEST_P(Serverauftrag, AJobStoresTheSameInvoiceOnBothEngines) {
  const Lauf lauf = Ausfuehren(Job(name_));
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  EXPECT_EQ(Tabelle("Rechnung.docx", "RE_Summe"),
            Summentabelle("   1.367,31 €", "     259,79 €", "   1.627,10 €"));
  EXPECT_EQ(Rechnungssatz(), "136731|0|162710|190");
  EXPECT_NE(lauf.aus.find("Keine Fehler protokolliert."), std::string::npos) << lauf.aus;
}

TEST_P(Serverauftrag, TwoRunsOnOneInvoiceTakeTurns) {
  std::ofstream(ordner_ / "A.json") << Job(name_, 1250);
  std::ofstream(ordner_ / "B.json") << Job(name_, 5000);
  for (int runde = 0; runde < 3; ++runde) {
    SCOPED_TRACE(runde);
    const std::string lauf =
        "TARVO_LOG_DIR=log TARVO_CONFIG_DIR=. '" + std::string(TARVO_EXE) + "' run ";
    const int status = Shell("cd '" + ordner_.string() + "' && (" + lauf + "A.json >/dev/null & " +
                             lauf + "B.json >/dev/null; b=$?; wait $!; a=$?; exit $((a + b)))");
    EXPECT_EQ(status, 0);
    // The document and the record are those of one and the same run.
    const std::string satz = Rechnungssatz();
    const auto summe = Tabelle("Rechnung.docx", "RE_Summe");
    ASSERT_EQ(summe.size(), 4u);
    std::string brutto;
    for (char c : summe.back()[3])
      if (c >= '0' && c <= '9') brutto += c;
    EXPECT_EQ(satz.substr(satz.find('|', satz.find('|') + 1) + 1, brutto.size()), brutto) << satz;
  }
}

class Serververbindung : public Serverauftrag {};
INSTANTIATE_TEST_SUITE_P(Maschinen, Serververbindung, ::testing::Values(Maschine::PostgreSQL),
                         dao::test::Maschinenname);

TEST_P(Serververbindung, APasswordNeverReachesAMessageTheLogOrTheReport) {
  const std::string adresse = server_->AdresseMitKennwort();
  const std::string kennwort = adresse.substr(adresse.find(":tarvo-") + 1, 22);
  ASSERT_EQ(kennwort.rfind("tarvo-", 0), 0u);
  // Without the password file, only the address carries the password.
  const std::string datei = std::getenv("PGPASSFILE");
  ::setenv("PGPASSFILE", "/nicht/da", 1);
  std::ofstream(ordner_ / "Auftrag.json") << Job(adresse);
  Lauf lauf = Tarvo("run Auftrag.json --json");
  const Lauf text = Tarvo("run Auftrag.json");
  ::setenv("PGPASSFILE", datei.c_str(), 1);
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  EXPECT_EQ(text.status, 0) << text.fehler;
  // A wrong password, a database without the tables, and a job that stops in the middle.
  std::ofstream(ordner_ / "Falsch.json")
      << Job("postgresql://tarvo:Falsch-" + kennwort + "@/" + server_->Name() +
             "?host=" + dao::test::PgOrdner().string());
  const Lauf falsch = Tarvo("run Falsch.json");
  EXPECT_EQ(falsch.status, 2);
  EXPECT_NE(falsch.fehler.find("Benutzername oder Kennwort ungültig"), std::string::npos)
      << falsch.fehler;
  for (const std::string& ausgabe : {lauf.aus, lauf.fehler, text.aus, text.fehler, falsch.aus,
                                     falsch.fehler, DateiLesen(ordner_ / "log" / "Verw.log")})
    EXPECT_EQ(ausgabe.find(kennwort), std::string::npos) << ausgabe;
}

TEST_P(Serververbindung, ADatabaseWithoutTheTablesOrAFieldIsRefusedAndNothingWritten) {
  dao::test::PgDatenbank leer;
  Lauf lauf = Ausfuehren(Job(leer.Adresse()));
  EXPECT_EQ(lauf.status, 2) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("TempDoc"), std::string::npos) << lauf.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));

  dao::Workspace().OpenDatabase(name_)->Execute(
      "ALTER TABLE Rechnung DROP COLUMN MehrwertsteuerFreierbetrag");
  lauf = Ausfuehren(Job(name_));
  EXPECT_EQ(lauf.status, 2) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("»MehrwertsteuerFreierbetrag«"), std::string::npos) << lauf.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));
  auto rs = dao::Workspace().OpenDatabase(name_)->OpenRecordset(
      "SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  EXPECT_EQ(CStr(rs->Fields("Brutto").Value()), "0");
}

TEST_P(Serververbindung, AConnectionLostInTheMiddleOfAJobLeavesDocumentAndRecordAndSaysSo) {
  // Another workstation holds invoice 1's row, so the job waits at its edit; there its
  // connection is cut.
  auto halter = dao::Workspace().OpenDatabase(name_);
  halter->Execute("BEGIN; SELECT 1 FROM Rechnung WHERE ID_Rechnungsnummer = 1 FOR UPDATE");
  std::ofstream(ordner_ / "Auftrag.json") << Job(name_);
  const pid_t kind = ::fork();
  if (kind == 0) {
    if (::chdir(ordner_.c_str()) != 0) ::_exit(126);
    ::setenv("TARVO_LOG_DIR", "log", 1);
    ::setenv("TARVO_CONFIG_DIR", ".", 1);
    if (!::freopen("stdout.txt", "w", stdout) || !::freopen("stderr.txt", "w", stderr))
      ::_exit(126);
    ::execl(TARVO_EXE, TARVO_EXE, "run", "Auftrag.json", nullptr);
    ::_exit(127);
  }
  auto verwaltung = dao::test::PgDatenbank::Verwaltung();
  const std::string wartend = "SELECT pid FROM pg_stat_activity WHERE datname = '" +
                              server_->Name() + "' AND wait_event_type = 'Lock'";
  bool getrennt = false;
  for (int i = 0; i < 500 && !getrennt; ++i) {
    auto rs = verwaltung->OpenRecordset(wartend);
    if (!rs->EOF()) {
      verwaltung->OpenRecordset("SELECT pg_terminate_backend(pid) FROM (" + wartend + ") w");
      getrennt = true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  int status = 0;
  ::waitpid(kind, &status, 0);
  halter->Execute("ROLLBACK");
  ASSERT_TRUE(getrennt) << "the job never waited at its edit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  const std::string fehler = DateiLesen(ordner_ / "stderr.txt");
  EXPECT_NE(fehler.find("Verbindung zur Datenbank"), std::string::npos) << fehler;
  EXPECT_NE(fehler.find("Es wurde nichts gespeichert."), std::string::npos) << fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));
  EXPECT_EQ(Rechnungssatz(), "0|0|0|190");
}

// The gross amount the saved invoice `datei` shows, in cents; -1 without a totals table.
long BruttoImDokument(const AuftragTest& test, const std::string& datei,
                      const std::function<Zeilen(const std::string&)>& tabelle) {
  const Zeilen summe = tabelle(datei);
  if (summe.size() != 4 || summe.back().size() < 4) return -1;
  long cent = 0;
  for (char c : summe.back()[3])
    if (c >= '0' && c <= '9') cent = cent * 10 + (c - '0');
  return cent;
}

class Mehrplatz : public Serverauftrag {
 protected:
  long Brutto(int rechnung) const {
    auto rs = dao::Workspace()
                  .OpenDatabase(Datenbank())
                  ->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = " +
                                  std::to_string(rechnung));
    return CLng(rs->Fields("Brutto").Value());
  }
  long BruttoIn(const std::string& datei) const {
    return BruttoImDokument(*this, datei,
                            [this](const std::string& d) { return Tabelle(d, "RE_Summe"); });
  }
  // Runs `prozesse` shell loops at once, loop i running `jobs` jobs of job file A-i.json; each
  // line of `ergebnis.txt` is one run's exit status.
  void Starten(int prozesse, int jobs) const {
    std::string befehl =
        "cd '" + ordner_.string() + "' && export TARVO_LOG_DIR=log TARVO_CONFIG_DIR=.; ";
    for (int p = 0; p < prozesse; ++p)
      befehl += "(for j in $(seq " + std::to_string(jobs) + "); do '" + std::string(TARVO_EXE) +
                "' run A-" + std::to_string(p) +
                ".json >/dev/null 2>>fehler.txt; echo $? >>ergebnis.txt; done) & ";
    Shell(befehl + "wait");
  }
};
INSTANTIATE_TEST_SUITE_P(Maschinen, Mehrplatz, ::testing::Values(Maschine::PostgreSQL),
                         dao::test::Maschinenname);

TEST_P(Mehrplatz, EightProcessesOnEightInvoicesStoreEveryRecord) {
  auto db = dao::Workspace().OpenDatabase(Datenbank());
  for (int r = 2; r <= 8; ++r)
    db->Execute(
        "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer) "
        "VALUES (" +
        std::to_string(r) + ", '2026-00" + std::to_string(r) + "', " + std::to_string(r) +
        "); INSERT INTO Termine (ID_Termin, ID_Rechnungsnummer, "
        "ID_Terminart, Datum) VALUES (" +
        std::to_string(r) + ", " + std::to_string(r) + ", 8, '2026-12-01')");
  for (int p = 0; p < 8; ++p) {
    std::string job = Job(name_, 1000 + 250 * p);
    const std::string rechnung = "\"rechnung\": 1";
    job.replace(job.find(rechnung), rechnung.size(), "\"rechnung\": " + std::to_string(p + 1));
    job.replace(job.find("Rechnung.docx"), 13, "Rechnung-" + std::to_string(p + 1) + ".docx");
    std::ofstream(ordner_ / ("A-" + std::to_string(p) + ".json")) << job;
  }
  Starten(8, 25);
  const std::string fehler = DateiLesen(ordner_ / "fehler.txt");
  EXPECT_TRUE(fehler.empty()) << fehler.substr(0, 1000);
  std::string alleNull;
  for (int i = 0; i < 200; ++i) alleNull += "0\n";
  EXPECT_EQ(DateiLesen(ordner_ / "ergebnis.txt"), alleNull);
  for (int r = 1; r <= 8; ++r) {
    SCOPED_TRACE(r);
    EXPECT_GT(Brutto(r), 0);
    EXPECT_EQ(BruttoIn("Rechnung-" + std::to_string(r) + ".docx"), Brutto(r));
  }
}

TEST_P(Mehrplatz, EightProcessesOnOneInvoiceTakeTurnsOrAreRefusedClearly) {
  for (int p = 0; p < 8; ++p)
    std::ofstream(ordner_ / ("A-" + std::to_string(p) + ".json")) << Job(name_, 1000 + 250 * p);
  Starten(8, 3);
  // A run refused after waiting says so; every other one stored its invoice.
  std::istringstream fehler(DateiLesen(ordner_ / "fehler.txt"));
  for (std::string zeile; std::getline(fehler, zeile);) {
    if (!zeile.empty() && zeile != "Es wurde nichts gespeichert.") {
      EXPECT_NE(zeile.find("wird gerade von einem anderen Auftrag bearbeitet"), std::string::npos)
          << zeile;
    }
  }
  std::istringstream ergebnis(DateiLesen(ordner_ / "ergebnis.txt"));
  int laeufe = 0, gespeichert = 0;
  for (std::string zeile; std::getline(ergebnis, zeile); ++laeufe) {
    EXPECT_TRUE(zeile == "0" || zeile == "2") << zeile;
    gespeichert += zeile == "0";
  }
  EXPECT_EQ(laeufe, 24);
  EXPECT_GT(gespeichert, 0);
  EXPECT_EQ(BruttoIn("Rechnung.docx"), Brutto(1));
}

// The kill test on the server: a run killed at a random moment leaves the document and the
// record both old or both new (or, in the instant between commit and rename, the new document
// complete beside the old one), and the server drops the killed run's locks at once.
TEST_P(Mehrplatz, AJobKilledAtAnyMomentLeavesDocumentAndRecordInStep) {
  std::ofstream(ordner_ / "A.json") << Job(name_, 1250);
  std::ofstream(ordner_ / "B.json") << Job(name_, 5000);
  ASSERT_EQ(Tarvo("run A.json").status, 0);
  const auto anfang = std::chrono::steady_clock::now();
  ASSERT_EQ(Tarvo("run B.json").status, 0);
  const auto dauer = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - anfang);
  std::mt19937 zufall(20261207);
  std::uniform_int_distribution<long> moment(0, dauer.count());
  int getroffen = 0;
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    const pid_t kind = ::fork();
    if (kind == 0) {
      if (::chdir(ordner_.c_str()) != 0) ::_exit(126);
      ::setenv("TARVO_LOG_DIR", "log", 1);
      ::setenv("TARVO_CONFIG_DIR", ".", 1);
      if (!::freopen("/dev/null", "w", stdout)) ::_exit(126);
      ::execl(TARVO_EXE, TARVO_EXE, "run", i % 2 ? "B.json" : "A.json", nullptr);
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(moment(zufall)));
    ::kill(kind, SIGKILL);
    int status = 0;
    ::waitpid(kind, &status, 0);
    getroffen += WIFSIGNALED(status);
    const long brutto = Brutto(1);
    if (BruttoIn("Rechnung.docx") == brutto) continue;
    bool neuDaneben = false;
    for (const auto& eintrag : fs::directory_iterator(ordner_)) {
      const std::string name = eintrag.path().filename().string();
      if (name.rfind(".Rechnung.docx.tmp", 0) == 0 && BruttoIn(name) == brutto) neuDaneben = true;
    }
    EXPECT_TRUE(neuDaneben) << "record " << brutto << ", document " << BruttoIn("Rechnung.docx");
    ASSERT_EQ(Tarvo("run A.json").status, 0);
  }
  EXPECT_GT(getroffen, 5) << "most runs must be killed before they end";
  ASSERT_EQ(Tarvo("run A.json").status, 0) << "no lock of a killed run is left behind";
  EXPECT_EQ(BruttoIn("Rechnung.docx"), Brutto(1));
}

}  // namespace
}  // namespace tarvo::abnahme
