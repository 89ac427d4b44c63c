// What only a database server has: logins, connections that break, a database that exists
// before its tables, and passwords that must never be shown.
#include <gtest/gtest.h>

#include "DaoTestDatei.h"
#include "platform/dao/NamedLock.h"

namespace tarvo::dao {
namespace {

using namespace std::chrono_literals;
using test::Fehlernummer;

// The error `schritt` throws (number 0 and no text when it succeeds).
Laufzeitfehler Fehler(const std::function<void()>& schritt) {
  try {
    schritt();
  } catch (const Laufzeitfehler& fehler) {
    return fehler;
  }
  return Laufzeitfehler(0, "");
}

class Server : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string warum;
    if (!test::PgBereit(warum)) GTEST_SKIP() << warum;
    datenbank_.emplace(test::Maschine::PostgreSQL);
  }
  std::string Brutto() {
    return CStr(Workspace()
                    .OpenDatabase(datenbank_->Name())
                    ->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1")
                    ->Fields("Brutto")
                    .Value());
  }
  // Ends every other session on the job's database, as a server restart or a broken network
  // would.
  void VerbindungenTrennen() {
    test::PgDatenbank::Verwaltung()->OpenRecordset(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" +
        datenbank_->Server()->Name() + "' AND pid <> pg_backend_pid()");
  }
  std::optional<test::Testdatenbank> datenbank_;
};

TEST_F(Server, ALoginThatFailsIsNamedWithoutThePassword) {
  const std::string richtig = datenbank_->Server()->AdresseMitKennwort();
  const std::string kennwort = "tarvo-" + richtig.substr(richtig.find(":tarvo-") + 7, 16);
  struct Fall {
    std::string adresse;
    int nummer;
    const char* text;
  } faelle[] = {
      {"postgresql://tarvo:Falsch-4711@/" + datenbank_->Server()->Name() +
           "?host=" + test::PgOrdner().string(),
       3029, "Benutzername oder Kennwort ungültig"},
      {"postgresql://niemand:Falsch-4711@/postgres?host=" + test::PgOrdner().string(), 3029,
       "Benutzername oder Kennwort ungültig"},
      {"host=" + test::PgOrdner().string() + " dbname=gibtsnicht user=tarvo password=" + kennwort,
       3024, "gibt es auf dem Server nicht"},
      {"host=" + test::PgOrdner().string() + "/fehlt dbname=x user=tarvo password=" + kennwort,
       3151, "Keine Verbindung zur Datenbank"},
      // sslmode as libpq reads it: a value it does not know is refused before connecting.
      {datenbank_->Name() + " password=" + kennwort + " sslmode=immer", 3151,
       "invalid sslmode value"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.adresse);
    const Laufzeitfehler fehler = Fehler([&] { Workspace().OpenDatabase(fall.adresse); });
    EXPECT_EQ(fehler.Nummer(), fall.nummer) << fehler.Beschreibung();
    EXPECT_NE(fehler.Beschreibung().find(fall.text), std::string::npos) << fehler.Beschreibung();
    EXPECT_EQ(fehler.Beschreibung().find("Falsch-4711"), std::string::npos);
    EXPECT_EQ(fehler.Beschreibung().find(kennwort), std::string::npos);
  }
  // The right password in the URI works, and the database's name does not show it.
  auto db = Workspace().OpenDatabase(richtig);
  EXPECT_EQ(db->Name().find(kennwort), std::string::npos) << db->Name();
  EXPECT_EQ(db->OpenRecordset("Version")->RecordCount(), 1);
}

TEST_F(Server, TheRowLockWaitsFiveSecondsByDefault) {
  auto rs = Workspace()
                .OpenDatabase(datenbank_->Name())
                ->OpenRecordset("SELECT current_setting('lock_timeout')");
  EXPECT_EQ(CStr(rs->Fields(std::int16_t{0}).Value()), "5s");
}

TEST_F(Server, ALostConnectionInTheMiddleOfAJobWritesNothingAndSaysSo) {
  Workspace ws;
  auto db = ws.OpenDatabase(datenbank_->Name());
  db->BeginTrans();
  auto rs = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  rs->Edit();
  rs->Fields("Brutto") = Variant(std::int32_t{119000});
  rs->Update();
  VerbindungenTrennen();
  const Laufzeitfehler fehler = Fehler([&] { db->CommitTrans(); });
  EXPECT_EQ(fehler.Nummer(), 3043);
  EXPECT_NE(fehler.Beschreibung().find("Verbindung zur Datenbank"), std::string::npos)
      << fehler.Beschreibung();
  EXPECT_EQ(Brutto(), "0");
  // Later calls say so too, and nothing is silently re-opened.
  EXPECT_EQ(Fehlernummer([&] { db->OpenRecordset("Version"); }), 3043);
  EXPECT_EQ(Fehlernummer([&] { rs->Edit(); }), 3043);
}

TEST_F(Server, AConnectionLostBeforeTheFirstEditSpoilsTheJob) {
  auto db = Workspace().OpenDatabase(datenbank_->Name());
  auto rs = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  db->BeginTrans();
  VerbindungenTrennen();
  EXPECT_EQ(Fehlernummer([&] { rs->Edit(); }), 3043);
  EXPECT_EQ(Fehlernummer([&] { db->CommitTrans(); }), 3043);
  EXPECT_EQ(Brutto(), "0");
}

TEST_F(Server, CreateDatabaseTakesOnlyADatabaseWithoutTables) {
  EXPECT_EQ(Fehlernummer([&] { Workspace().CreateDatabase(datenbank_->Name()); }), 3204);
  test::PgDatenbank leer;
  auto db = Workspace().CreateDatabase(leer.Adresse());
  db->Execute(std::string(JobDatabaseSchema()));
  EXPECT_EQ(db->OpenRecordset("TempDoc")->RecordCount(), 0);
}

TEST_F(Server, ANamedLockIsHeldUntilItsHolderLetsGo) {
  auto erste = NamedLock::Acquire(datenbank_->Name(), "Rechnung-1", 100ms);
  ASSERT_NE(erste, nullptr);
  EXPECT_EQ(NamedLock::Acquire(datenbank_->Name(), "Rechnung-1", 100ms), nullptr);
  EXPECT_NE(NamedLock::Acquire(datenbank_->Name(), "Rechnung-2", 100ms), nullptr);
  erste.reset();
  EXPECT_NE(NamedLock::Acquire(datenbank_->Name(), "Rechnung-1", 100ms), nullptr);
}

}  // namespace
}  // namespace tarvo::dao
