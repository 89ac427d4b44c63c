// Two real processes on one job database: the office shares it among workstations.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "DaoTestDatei.h"

namespace tarvo::dao {
namespace {

using namespace std::chrono_literals;

// Runs `kind` in a child process and returns its exit status (255 when it died otherwise).
template <class Kind>
pid_t Starten(Kind kind) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(kind());
  return pid;
}

int Warten(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

// A one-way signal between parent and child: the holder of a lock keeps it until the other
// side has seen it locked, however slow the machine. Waiting gives up after 60 s, so a test
// that failed half-way does not leave a child behind.
class Zeichen {
 public:
  Zeichen() {
    if (::pipe(ende_) != 0) ende_[0] = ende_[1] = -1;
  }
  ~Zeichen() {
    for (int fd : ende_)
      if (fd >= 0) ::close(fd);
  }
  Zeichen(const Zeichen&) = delete;
  Zeichen& operator=(const Zeichen&) = delete;

  bool Geben() {
    const char eins = 1;
    return ::write(ende_[1], &eins, 1) == 1;
  }
  bool Abwarten() {
    pollfd warten{ende_[0], POLLIN, 0};
    char eins = 0;
    return ::poll(&warten, 1, 60000) == 1 && ::read(ende_[0], &eins, 1) == 1;
  }

 private:
  int ende_[2];
};

// Adds 1 to Brutto of invoice 1 `mal` times, each in its own Edit/Update; an edit refused as
// locked is tried again. Returns how many increments failed otherwise.
int Hochzaehlen(const std::string& datei, int mal) {
  Workspace ws;
  auto db = ws.OpenDatabase(datei);
  int fehlgeschlagen = 0;
  for (int i = 0; i < mal; ++i) {
    int nummer = 0;
    do {
      nummer = test::Fehlernummer([&] {
        // Opened a moment before the edit, as the host opens the invoice long before it is
        // stored: what was read at open is stale by the time of the edit.
        auto rs = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
        std::this_thread::sleep_for(2ms);
        rs->Edit();
        rs->Fields("Brutto") = Variant(CLng(rs->Fields("Brutto").Value()) + 1);
        rs->Update();
      });
    } while (nummer == 3260);
    if (nummer != 0) ++fehlgeschlagen;
  }
  return fehlgeschlagen;
}

class Sperre : public test::BeideMaschinen {};
INSTANTIATE_TEST_SUITE_P(Maschinen, Sperre,
                         ::testing::Values(test::Maschine::SQLite, test::Maschine::PostgreSQL),
                         test::Maschinenname);

TEST_P(Sperre, TwoProcessesIncrementingOneInvoiceLoseNoUpdate) {
  test::Testdatenbank datenbank(GetParam());
  const std::string& datei = datenbank.Name();
  pid_t a = Starten([&] { return Hochzaehlen(datei, 30); });
  pid_t b = Starten([&] { return Hochzaehlen(datei, 30); });
  EXPECT_EQ(Warten(a), 0);
  EXPECT_EQ(Warten(b), 0);
  auto rs = Workspace().OpenDatabase(datei)->OpenRecordset(
      "SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  EXPECT_EQ(rs->Fields("Brutto").Value(), Variant(std::int32_t{60}));
}

TEST_P(Sperre, AnEditHeldTooLongGivesTheOtherProcessLockedAndNothingIsWritten) {
  test::Testdatenbank datenbank(GetParam());
  const std::string& datei = datenbank.Name();
  Zeichen bearbeitet, abgewiesen;

  // The child edits invoice 1 and holds the lock until the parent was refused.
  pid_t halter = Starten([&] {
    Workspace ws;
    auto rs = ws.OpenDatabase(datei)->OpenRecordset(
        "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
    rs->Edit();
    rs->Fields("Brutto") = Variant(std::int32_t{111});
    if (!bearbeitet.Geben()) return 1;
    abgewiesen.Abwarten();
    rs->Update();
    return 0;
  });
  ASSERT_TRUE(bearbeitet.Abwarten());

  Workspace ws;
  ws.BusyTimeout = 200ms;
  auto db = ws.OpenDatabase(datei);
  auto rs = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  EXPECT_EQ(rs->Fields("Brutto").Value(), Variant(std::int32_t{0})) << "reading is not blocked";
  EXPECT_EQ(test::Fehlernummer([&] { rs->Edit(); }), 3260);
  EXPECT_EQ(rs->EditMode(), 0);
  abgewiesen.Geben();

  EXPECT_EQ(Warten(halter), 0);
  rs->Edit();  // now free; the edit sees the other process's value
  EXPECT_EQ(rs->Fields("Brutto").Value(), Variant(std::int32_t{111}));
  rs->Fields("Brutto") = Variant(std::int32_t{222});
  rs->Update();
  EXPECT_EQ(Workspace()
                .OpenDatabase(datei)
                ->OpenRecordset("SELECT Brutto FROM Rechnung")
                ->Fields("Brutto")
                .Value(),
            Variant(std::int32_t{222}));
}

TEST(SperreSqlite, ADatabaseLockedForWritingElsewhereGivesLockedOnOpenAndRead) {
  test::TestOrdner ordner;
  std::string datei = test::NeueDatenbank(ordner);
  Zeichen gesperrt, abgewiesen;
  // The child holds an exclusive lock (as a workstation in the middle of writing its journal).
  pid_t halter = Starten([&] {
    Workspace ws;
    auto db = ws.OpenDatabase(datei);
    db->Execute("BEGIN EXCLUSIVE; UPDATE Rechnung SET Brutto = 5");
    if (!gesperrt.Geben()) return 1;
    abgewiesen.Abwarten();
    return 0;  // ends without commit: the change is rolled back
  });
  ASSERT_TRUE(gesperrt.Abwarten());
  Workspace ws;
  ws.BusyTimeout = 200ms;
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase(datei); }), 3218);
  abgewiesen.Geben();
  EXPECT_EQ(Warten(halter), 0);
  auto db = ws.OpenDatabase(datei);
  EXPECT_EQ(db->OpenRecordset("SELECT Brutto FROM Rechnung")->Fields("Brutto").Value(),
            Variant(std::int32_t{0}))
      << "the unfinished write never reached the file";
}

}  // namespace
}  // namespace tarvo::dao
