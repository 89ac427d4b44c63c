// A job is one unit: whatever stops it (a save that fails, a record that cannot be stored, a
// lock, a kill), the invoice document and the invoice record change together or not at all.
// And input that would hurt the job's own files is refused before anything runs.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "Auftrag_helpers.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;

// The demo job with `ausgabe` and the first parcel's area as given.
std::string Job(const std::string& ausgabe, int flaeche = 1250) {
  return R"({"dokument": "Vorlage.docx", "ausgabe": ")" + ausgabe + R"(",
    "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1, "kategorie": 0,
    "eingaben": {"zeilen": [["Flst.Nr. 412/7", "II", ")" +
         std::to_string(flaeche) + R"("], ["Flst.Nr. 412/8", "I", "480"]],
      "mskAnzahl": "8", "mskGP": "6", "mskAnteil": "500"}})";
}

// "  1.627,10 €" as cents.
long Cent(const std::string& betrag) {
  long cent = 0;
  bool negativ = false;
  for (char c : betrag) {
    if (c == '-') negativ = true;
    if (c >= '0' && c <= '9') cent = cent * 10 + (c - '0');
  }
  return negativ ? -cent : cent;
}

class Auftragseinheit : public AuftragTest {
 protected:
  std::string Brutto() const {
    return Datenbankwert("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  }
  // The gross amount the saved invoice shows (its totals table's last row); -1 without one.
  long BruttoImDokument(const std::string& datei) const {
    for (const auto& [tag, zeilen] : Tabellen(datei))
      if (tag == "RE_Summe" && !zeilen.empty() && zeilen.back().size() >= 4)
        return Cent(zeilen.back()[3]);
    return -1;
  }
  bool Unveraendert(const Lauf& lauf) const {
    return lauf.status == 2 &&
           lauf.fehler.find("Es wurde nichts gespeichert.") != std::string::npos &&
           Brutto() == "0" && !fs::exists(ordner_ / "Rechnung.docx");
  }
  // Hidden temporary files left beside the invoice.
  int Reste() const {
    int anzahl = 0;
    for (const auto& eintrag : fs::directory_iterator(ordner_))
      anzahl += eintrag.path().filename().string().rfind(".Rechnung.docx.tmp", 0) == 0;
    return anzahl;
  }
};

TEST_F(Auftragseinheit, ADatabaseWithoutTheTermsTableIsLoggedNotACrash) {
  Shell("sqlite3 '" + (ordner_ / "Auftraege.db").string() + "' 'DROP TABLE Version'");
  const Lauf lauf = Ausfuehren(Job("Rechnung.docx"));
  EXPECT_EQ(lauf.status, 3) << lauf.aus << lauf.fehler;
  EXPECT_NE(DateiLesen(ordner_ / "log" / "Verw.log").find("3078"), std::string::npos);
  EXPECT_EQ(BruttoImDokument("Rechnung.docx"), std::stol(Brutto()));
}

TEST_F(Auftragseinheit, ADocumentThatCannotBeSavedLeavesTheRecordAlone) {
  fs::create_directory(ordner_ / "Ordner.docx");
  for (const char* ausgabe : {"Ordner.docx", "fehlt/Rechnung.docx"}) {
    SCOPED_TRACE(ausgabe);
    const Lauf lauf = Ausfuehren(Job(ausgabe));
    EXPECT_TRUE(Unveraendert(lauf)) << lauf.fehler << Brutto();
    EXPECT_NE(lauf.fehler.find(ausgabe), std::string::npos) << lauf.fehler;
  }
  EXPECT_NE(Ausfuehren(Job("fehlt/Rechnung.docx")).fehler.find("sein Ordner existiert nicht"),
            std::string::npos);
}

TEST_F(Auftragseinheit, ARecordThatCannotBeStoredLeavesTheDocumentAlone) {
  Shell("sqlite3 '" + (ordner_ / "Auftraege.db").string() +
        "' 'ALTER TABLE Rechnung DROP COLUMN MehrwertsteuerFreierbetrag'");
  const Lauf lauf = Ausfuehren(Job("Rechnung.docx"));
  EXPECT_TRUE(Unveraendert(lauf)) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("»MehrwertsteuerFreierbetrag«"), std::string::npos) << lauf.fehler;
}

TEST_F(Auftragseinheit, ASummaryThatCannotBeReadDoesNotDenyTheSave) {
  // The host's own trigger leaves a text where the summary reads a number.
  Shell("sqlite3 '" + (ordner_ / "Auftraege.db").string() +
        "' \"CREATE TRIGGER t AFTER UPDATE OF Brutto ON Rechnung BEGIN UPDATE Rechnung SET "
        "Mehrwertsteuersatz = 'neunzehn' WHERE ID_Rechnungsnummer = NEW.ID_Rechnungsnummer; "
        "END\"");
  const Lauf lauf = Ausfuehren(Job("Rechnung.docx"));
  EXPECT_EQ(lauf.status, 3) << lauf.aus << lauf.fehler;
  EXPECT_EQ(lauf.fehler.find("nichts gespeichert"), std::string::npos) << lauf.fehler;
  EXPECT_EQ(BruttoImDokument("Rechnung.docx"), std::stol(Brutto()));
  EXPECT_NE(DateiLesen(ordner_ / "log" / "Verw.log").find("Auftrag.Zusammenfassung"),
            std::string::npos);
}

TEST_F(Auftragseinheit, AnotherProgramsReadLockMakesTheRunChangeNothing) {
  // A reader that keeps its transaction open past the run's lock timeout (5 s): the record
  // cannot be committed, so the document is not saved either.
  std::ofstream(ordner_ / "Auftrag.json") << Job("Rechnung.docx");
  const int status = Shell("cd '" + ordner_.string() +
                           "' && /usr/bin/python3 -c \"import sqlite3, subprocess, sys\n"
                           "c = sqlite3.connect('Auftraege.db', isolation_level=None)\n"
                           "c.execute('BEGIN'); c.execute('SELECT * FROM Rechnung').fetchall()\n"
                           "r = subprocess.run(['" +
                           std::string(TARVO_EXE) +
                           "', 'run', 'Auftrag.json'], "
                           "stderr=open('stderr.txt', 'w'), stdout=subprocess.DEVNULL, "
                           "env={'TARVO_LOG_DIR': 'log', 'TARVO_CONFIG_DIR': '.'})\n"
                           "sys.exit(r.returncode)\"");
  Lauf lauf{status, "", DateiLesen(ordner_ / "stderr.txt")};
  EXPECT_TRUE(Unveraendert(lauf)) << lauf.status << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("Rechnung 1 speichern"), std::string::npos) << lauf.fehler;
  EXPECT_EQ(Reste(), 0);
}

TEST_F(Auftragseinheit, AnOutputThatIsAnInputOfTheJobIsRefused) {
  fs::create_symlink("Auftraege.db", ordner_ / "Verweis.docx");
  const std::string vorher = DateiLesen(ordner_ / "Auftraege.db");
  for (const char* ausgabe : {"Auftraege.db", "Verweis.docx", "./Auftrag.json"}) {
    SCOPED_TRACE(ausgabe);
    const Lauf lauf = Ausfuehren(Job(ausgabe));
    EXPECT_EQ(lauf.status, 2) << lauf.fehler;
    EXPECT_NE(lauf.fehler.find("darf nicht mit der Rechnung überschrieben werden"),
              std::string::npos)
        << lauf.fehler;
  }
  EXPECT_EQ(DateiLesen(ordner_ / "Auftraege.db"), vorher);
}

TEST_F(Auftragseinheit, MoreRowsThanTheGridHoldsAreRefusedBeforeRunning) {
  std::string zeilen;
  for (int i = 0; i < 40000; ++i) zeilen += std::string(i ? "," : "") + R"(["A", "I", "1"])";
  const Lauf lauf = Ausfuehren(R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx",
    "datenbank": "Auftraege.db", "rechnung": 1, "eingaben": {"zeilen": [)" +
                               zeilen + "]}}");
  EXPECT_TRUE(Unveraendert(lauf)) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("40000 Zeilen; das Raster des Formulars fasst höchstens 32766"),
            std::string::npos)
      << lauf.fehler;
  // Category 1's statement adds six rows of its own: one row more than it can take is named
  // with that reason before anything runs, not a lost statement after seconds of work.
  zeilen.clear();
  for (int i = 0; i < 32762; ++i) zeilen += std::string(i ? "," : "") + R"(["A", "I", "1"])";
  const Lauf kat1 = Ausfuehren(R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx",
    "datenbank": "Auftraege.db", "rechnung": 1, "kategorie": 0, "eingaben": {"zeilen": [)" +
                               zeilen + "]}}");
  EXPECT_TRUE(Unveraendert(kat1)) << kat1.fehler;
  EXPECT_NE(kat1.fehler.find("32762 Zeilen; die Abrechnung der Kategorie 1 fügt bis zu sechs"),
            std::string::npos)
      << kat1.fehler;
}

// An invoice file that cannot be replaced is found out before the record is committed: both
// stay as they were. As root only (chattr, and a colleague's user to own the file).
TEST_F(Auftragseinheit, AFileThatCannotBeReplacedLeavesTheRecordAsItWas) {
  if (::geteuid() != 0) GTEST_SKIP() << "braucht root (chattr, fremde Benutzer)";
  const fs::path rechnung = ordner_ / "Rechnung.docx";
  fs::copy_file(ordner_ / "Vorlage.docx", rechnung);
  const std::string vorher = DateiLesen(rechnung);

  if (Shell("chattr +i '" + rechnung.string() + "' 2>/dev/null") != 0)
    GTEST_SKIP() << "das Dateisystem kennt keine unveränderlichen Dateien";
  struct Freigeben {
    fs::path datei;
    ~Freigeben() { Shell("chattr -i '" + datei.string() + "'"); }
  } freigeben{rechnung};
  std::ofstream(ordner_ / "Auftrag.json") << Job("Rechnung.docx");
  Lauf lauf = Tarvo("run Auftrag.json");
  EXPECT_EQ(lauf.status, 2) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("unveränderlich"), std::string::npos) << lauf.fehler;
  EXPECT_EQ(Brutto(), "0");
  Shell("chattr -i '" + rechnung.string() + "'");
  EXPECT_EQ(DateiLesen(rechnung), vorher);

  // A shared folder (sticky bit) where the invoice belongs to a colleague: a clerk who is not
  // root may not replace it there, and learns so before anything is stored.
  ASSERT_EQ(Shell("chown daemon '" + rechnung.string() + "' && chmod 666 '" + rechnung.string() +
                  "' && chmod 1777 '" + ordner_.string() + "' && chmod 666 '" +
                  (ordner_ / "Auftraege.db").string() + "' && chmod -R a+rX '" +
                  ordner_.string() + "'"),
            0);
  lauf.status = Shell("cd '" + ordner_.string() +
                      "' && setpriv --reuid=nobody --regid=nogroup --clear-groups env "
                      "TARVO_LOG_DIR=/tmp TARVO_CONFIG_DIR=/tmp '" + TARVO_EXE +
                      "' run Auftrag.json >/dev/null 2>Fremd.txt");
  lauf.fehler = DateiLesen(ordner_ / "Fremd.txt");
  EXPECT_EQ(lauf.status, 2) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("gehört einem anderen Benutzer"), std::string::npos) << lauf.fehler;
  EXPECT_EQ(Brutto(), "0");
  EXPECT_EQ(DateiLesen(rechnung), vorher);
}

// The invoice open in LibreOffice (its lock file beside it): the run refuses to overwrite it.
TEST_F(Auftragseinheit, AnInvoiceOpenInAWordProcessorIsNotOverwritten) {
  fs::copy_file(ordner_ / "Vorlage.docx", ordner_ / "Rechnung.docx");
  std::ofstream(ordner_ / ".~lock.Rechnung.docx#") << ",Kollege,rechner,07.12.2026 10:00,file://";
  const std::string vorher = DateiLesen(ordner_ / "Rechnung.docx");
  std::ofstream(ordner_ / "Auftrag.json") << Job("Rechnung.docx");
  const Lauf lauf = Tarvo("run Auftrag.json");
  EXPECT_EQ(lauf.status, 2) << lauf.fehler;
  EXPECT_NE(lauf.fehler.find("in einer Textverarbeitung geöffnet"), std::string::npos)
      << lauf.fehler;
  EXPECT_EQ(Brutto(), "0");
  EXPECT_EQ(DateiLesen(ordner_ / "Rechnung.docx"), vorher);
}

TEST_F(Auftragseinheit, TwoRunsOnOneInvoiceTakeTurns) {
  std::ofstream(ordner_ / "A.json") << Job("Rechnung.docx", 1250);
  std::ofstream(ordner_ / "B.json") << Job("Rechnung.docx", 5000);
  for (int runde = 0; runde < 4; ++runde) {
    SCOPED_TRACE(runde);
    const std::string lauf =
        "TARVO_LOG_DIR=log TARVO_CONFIG_DIR=. '" + std::string(TARVO_EXE) + "' run ";
    const int status = Shell("cd '" + ordner_.string() + "' && (" + lauf + "A.json >/dev/null & " +
                             lauf + "B.json >/dev/null; b=$?; wait $!; a=$?; exit $((a + b)))");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(BruttoImDokument("Rechnung.docx"), std::stol(Brutto()));
  }
}

// The kill test: a run killed at a random moment, mostly while it saves, leaves the document
// and the record both old or both new. The one exception is a kill in the instant between the
// record's commit and the rename of the new document: the record is new, the document old, and
// the new document lies complete in the hidden temporary file beside it (README, "Running a
// job"). The next run clears what killed runs left behind.
TEST_F(Auftragseinheit, AJobKilledAtAnyMomentLeavesDocumentAndRecordInStep) {
  std::ofstream(ordner_ / "A.json") << Job("Rechnung.docx", 1250);
  std::ofstream(ordner_ / "B.json") << Job("Rechnung.docx", 5000);
  ASSERT_EQ(Tarvo("run A.json").status, 0);
  // How long a run takes here, to spread the kills over it.
  const auto anfang = std::chrono::steady_clock::now();
  ASSERT_EQ(Tarvo("run B.json").status, 0);
  const auto dauer = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - anfang);
  std::mt19937 zufall(20261206);
  std::uniform_int_distribution<long> moment(0, dauer.count());
  int getroffen = 0, imFenster = 0;
  for (int i = 0; i < 30; ++i) {
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
    const long brutto = std::stol(Brutto());
    if (BruttoImDokument("Rechnung.docx") == brutto) continue;
    // Only the instant between commit and rename may leave them apart, and then the new
    // document is complete beside the old one.
    bool neuDaneben = false;
    for (const auto& eintrag : fs::directory_iterator(ordner_)) {
      const std::string name = eintrag.path().filename().string();
      if (name.rfind(".Rechnung.docx.tmp", 0) == 0 && BruttoImDokument(name) == brutto)
        neuDaneben = true;
    }
    EXPECT_TRUE(neuDaneben) << "record " << brutto << ", document "
                            << BruttoImDokument("Rechnung.docx");
    ++imFenster;
    ASSERT_EQ(Tarvo("run A.json").status, 0);
  }
  EXPECT_GT(getroffen, 10) << "most runs must be killed before they end";
  EXPECT_LE(imFenster, 3) << "kills between commit and rename must stay rare";
  ASSERT_EQ(Tarvo("run A.json").status, 0);
  EXPECT_EQ(Reste(), 0) << "the next save removes what killed runs left";
  EXPECT_EQ(BruttoImDokument("Rechnung.docx"), std::stol(Brutto()));
}

}  // namespace
}  // namespace tarvo::abnahme
