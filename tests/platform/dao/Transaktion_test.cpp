// The job's transaction: edits held back until CommitTrans, undone by Rollback, and spoiled by
// the first edit that fails, so that a job never commits half a record.
#include <gtest/gtest.h>

#include "DaoTestDatei.h"

namespace tarvo::dao {
namespace {

using test::Fehlernummer;

class TransaktionTest : public test::BeideMaschinen {
 protected:
  void SetUp() override {
    BeideMaschinen::SetUp();
    if (IsSkipped()) return;
    datenbank_.emplace(GetParam());
    datei_ = datenbank_->Name();
    ws_.BusyTimeout = std::chrono::milliseconds(100);
    db_ = ws_.OpenDatabase(datei_);
  }

  // Stores `brutto` into invoice 1 as the totals do: Edit, assign, Update.
  void Speichern(double brutto, const char* feld = "Brutto") {
    auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
    rs->Edit();
    rs->Fields(feld) = Variant(brutto);
    rs->Update();
  }
  // Invoice 1's gross as another connection sees it.
  std::string BruttoVonAussen() {
    Workspace anderer;
    auto rs = anderer.OpenDatabase(datei_)->OpenRecordset(
        "SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1");
    return CStr(rs->Fields("Brutto").Value());
  }

  // Another writer's lock on invoice 1, held by `sperre` until it rolls back: the whole file's
  // write lock on SQLite, the row's lock on the server.
  void Sperren(Database& sperre) {
    if (GetParam() == test::Maschine::SQLite)
      sperre.Execute("BEGIN IMMEDIATE");
    else
      sperre.Execute("BEGIN; SELECT 1 FROM Rechnung WHERE ID_Rechnungsnummer = 1 FOR UPDATE");
  }

  std::optional<test::Testdatenbank> datenbank_;
  std::string datei_;
  Workspace ws_;
  std::shared_ptr<Database> db_;
};

TEST_P(TransaktionTest, EditsAreHeldBackUntilCommit) {
  db_->BeginTrans();
  Speichern(119000);
  Speichern(119100);
  EXPECT_EQ(BruttoVonAussen(), "0");
  db_->CommitTrans();
  EXPECT_EQ(BruttoVonAussen(), "119100");
}

TEST_P(TransaktionTest, RollbackAndAnUnfinishedJobUndoEverything) {
  db_->BeginTrans();
  Speichern(119000);
  db_->Rollback();
  EXPECT_EQ(BruttoVonAussen(), "0");

  db_->BeginTrans();
  Speichern(119000);
  db_.reset();  // the job ends without finishing
  EXPECT_EQ(BruttoVonAussen(), "0");
}

TEST_P(TransaktionTest, AFailedEditSpoilsTheJobAndCommitNamesIt) {
  struct Fall {
    const char* name;
    std::function<void()> fehler;
    int nummer;
    bool vorher = true;  // an edit stored before the failure
  } faelle[] = {
      {"a field the table lacks", [this] { Speichern(5, "Bruttobetrag"); },
       fehlernummer::FeldNichtGefunden},
      {"a value the column refuses", [this] { Speichern(1e300); }, 3000},
      // Another writer holds the lock from before the job's first edit.
      {"another writer's lock",
       [this] {
         Workspace anderer;
         anderer.BusyTimeout = std::chrono::milliseconds(100);
         auto sperre = anderer.OpenDatabase(datei_);
         Sperren(*sperre);
         Speichern(119000);
       },
       fehlernummer::DatenbankGesperrt, false},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    db_->BeginTrans();
    if (fall.vorher) Speichern(42);
    EXPECT_NE(Fehlernummer([&] { fall.fehler(); }), 0);
    EXPECT_EQ(Fehlernummer([&] { db_->CommitTrans(); }), fall.nummer);
    EXPECT_EQ(BruttoVonAussen(), "0") << "the edit before the failure is undone too";
    db_->BeginTrans();  // the failed commit ended the transaction
    db_->Rollback();
  }
}

// SQLite only: a reader that keeps its snapshot holds off a commit there; on the server readers
// never block a writer.
class TransaktionSqliteTest : public TransaktionTest {};
INSTANTIATE_TEST_SUITE_P(Maschinen, TransaktionSqliteTest,
                         ::testing::Values(test::Maschine::SQLite), test::Maschinenname);

TEST_P(TransaktionSqliteTest, ACommitThatCannotGetItsLockWritesNothingAndCanBeRetried) {
  db_->BeginTrans();
  Speichern(119000);
  Workspace anderer;
  anderer.BusyTimeout = std::chrono::milliseconds(100);
  auto leser = anderer.OpenDatabase(datei_);
  leser->Execute("BEGIN");
  leser->OpenRecordset("SELECT * FROM Rechnung");  // a reader that keeps its snapshot
  EXPECT_EQ(Fehlernummer([&] { db_->CommitTrans(); }), fehlernummer::DatenbankGesperrt);
  EXPECT_EQ(CStr(leser->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1")
                     ->Fields("Brutto")
                     .Value()),
            "0");
  leser->Execute("ROLLBACK");
  // The job's transaction is still open (until it commits or rolls back, it keeps the file's
  // write lock): a further edit joins it instead of being written on its own, and the second
  // commit stores both.
  Speichern(119100, "NettoRechnung");
  db_->CommitTrans();
  EXPECT_EQ(BruttoVonAussen(), "119000");
  Workspace dritter;
  EXPECT_EQ(CStr(dritter.OpenDatabase(datei_)
                     ->OpenRecordset("SELECT NettoRechnung FROM Rechnung WHERE "
                                     "ID_Rechnungsnummer = 1")
                     ->Fields("NettoRechnung")
                     .Value()),
            "119100");
}

TEST_P(TransaktionTest, TransactionsDoNotNest) {
  EXPECT_EQ(Fehlernummer([&] { db_->CommitTrans(); }), 3034);
  db_->BeginTrans();
  EXPECT_EQ(Fehlernummer([&] { db_->BeginTrans(); }), 3003);
  db_->Rollback();
}

TEST_P(TransaktionTest, AReadThatFailsInsideAJobLeavesTheJobWhole) {
  db_->BeginTrans();
  Speichern(119000);
  // A table the job reads that is missing is logged where it fails to open; the job goes on.
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("SELECT * FROM Versionen"); }), 3078);
  Speichern(119100);
  db_->CommitTrans();
  EXPECT_EQ(BruttoVonAussen(), "119100");
}

INSTANTIATE_TEST_SUITE_P(Maschinen, TransaktionTest,
                         ::testing::Values(test::Maschine::SQLite, test::Maschine::PostgreSQL),
                         test::Maschinenname);

}  // namespace
}  // namespace tarvo::dao
