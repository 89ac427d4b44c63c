#include "platform/dao/Recordset.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "DaoTestDatei.h"

namespace tarvo::dao {
namespace {

using test::Fehlernummer;

// Runs on both engines: the file and the server database behave alike.
class RecordsetTest : public test::BeideMaschinen {
 protected:
  void SetUp() override {
    BeideMaschinen::SetUp();
    if (IsSkipped()) return;
    datenbank_.emplace(GetParam());
    datei_ = datenbank_->Name();
    db_ = ws_.OpenDatabase(datei_);
  }
  std::shared_ptr<Recordset> Rechnung(int id) {
    return db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " +
                              std::to_string(id));
  }
  std::optional<test::Testdatenbank> datenbank_;
  std::string datei_;
  Workspace ws_;
  std::shared_ptr<Database> db_;
};

INSTANTIATE_TEST_SUITE_P(Maschinen, RecordsetTest,
                         ::testing::Values(test::Maschine::SQLite, test::Maschine::PostgreSQL),
                         test::Maschinenname);

TEST_P(RecordsetTest, RunsTheSystemsStatementsUnchanged) {
  auto tempDoc = db_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = 1");
  EXPECT_EQ(tempDoc->Fields("Mehrwertsteuersatz").Value(), Variant(std::int32_t{190}));
  EXPECT_EQ(tempDoc->Fields("Zahlungsziel").Value(), Variant(true));
  EXPECT_EQ(tempDoc->Fields("AbschlagAbsolut").Value(), Variant(0.0));

  auto frueher = db_->OpenRecordset(
      "SELECT * FROM Rechnung WHERE ID_Auftragsnummer = 1 AND Rechnungsart = 1", dbOpenDynaset);
  EXPECT_EQ(frueher->RecordCount(), 1);

  auto termin = db_->OpenRecordset(
      "SELECT ID_Terminart, ID_Rechnungsnummer, Datum From Termine WHERE (((ID_Terminart)=8) "
      "AND ((ID_Rechnungsnummer)=1));");
  EXPECT_EQ(termin->Fields("Datum").Value(), Variant(Datum::AusTag(2026, 12, 1)));
  EXPECT_FALSE(termin->Updatable()) << "the key is not selected";

  // The desktop's lists of users and invoices.
  EXPECT_EQ(db_->OpenRecordset("SELECT ID_Benutzer FROM TempDoc ORDER BY 1")->RecordCount(), 1);
  auto liste = db_->OpenRecordset(
      "SELECT r.ID_Rechnungsnummer, r.Rechnungsart, (SELECT t.Datum FROM Termine t WHERE "
      "t.ID_Rechnungsnummer = r.ID_Rechnungsnummer AND t.ID_Terminart = 8) AS Datum "
      "FROM Rechnung r ORDER BY 1");
  EXPECT_EQ(liste->Fields("Datum").Value(), Variant(Datum::AusTag(2026, 12, 1)))
      << "a column through a subquery keeps its declared type";
  EXPECT_EQ(liste->Fields("Rechnungsart").Value(), Variant(std::int32_t{1}));

  auto version = db_->OpenRecordset("Version", dbOpenDynaset);
  version->MoveFirst();
  EXPECT_EQ(version->Fields("Zahlungsziel").Value(), Variant("Zahlbar bis <14> ohne Abzug"));
  EXPECT_EQ(CDbl(version->Fields("AbstandZahlungsziel").Value()), 26.0);
}

// A parameter is a value, never SQL text: a text that would widen the condition matches
// nothing, numbers and dates find their rows, and a count that differs from the "?" is refused.
TEST_P(RecordsetTest, ParametersAreBoundAsValuesNeverAsSql) {
  auto gefunden = [&](const std::string& sql, std::vector<Variant> werte) {
    return db_->OpenRecordset(sql, dbOpenSnapshot, werte)->RecordCount();
  };
  const std::string rechnung = "SELECT * FROM Rechnung WHERE ID_Auftragsnummer = ?";
  EXPECT_EQ(gefunden(rechnung, {Variant(std::int32_t{1})}), 1);
  EXPECT_EQ(gefunden(rechnung + " AND Rechnungsart = ?",
                     {Variant(std::int32_t{1}), Variant(std::int16_t{1})}),
            1);
  // The file keeps the text and compares it as a text; the server refuses it for its number
  // column. Neither reads it as SQL.
  std::int32_t zeilen = -1;
  try {
    zeilen = gefunden("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = ? OR 1 = 0",
                      {Variant("1 OR 1=1")});
  } catch (const Laufzeitfehler&) {
    zeilen = 0;
  }
  EXPECT_EQ(zeilen, 0);
  EXPECT_EQ(
      gefunden("SELECT * FROM Termine WHERE Datum = ?", {Variant(Datum::AusTag(2026, 12, 1))}), 1);
  // A "?" inside a quoted text is text, not a parameter.
  EXPECT_EQ(gefunden("SELECT * FROM TempDoc WHERE ID_Benutzer = ? AND '?' = '?'",
                     {Variant(std::int32_t{1})}),
            1);
  EXPECT_EQ(Fehlernummer([&] { gefunden(rechnung, {}); }), 3061);
  EXPECT_EQ(Fehlernummer([&] { gefunden(rechnung, {Variant(1), Variant(2)}); }), 3061);
  EXPECT_EQ(Fehlernummer([&] { gefunden("SELECT * FROM Rechnung", {Variant(1)}); }), 3061);
  // An edit through a recordset opened with a parameter finds its row again.
  auto satz = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = ?",
                                 dbOpenDynaset, {Variant(std::int32_t{1})});
  satz->Edit();
  satz->Fields("Brutto") = Variant(std::int32_t{4711});
  satz->Update();
  EXPECT_EQ(Rechnung(1)->Fields("Brutto").Value(), Variant(std::int32_t{4711}));
}

TEST_P(RecordsetTest, FieldsAreFoundWithoutRegardToCase) {
  auto rs = db_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = 1");
  EXPECT_EQ(rs->Fields("mwstermäßigt").Value(), Variant(std::int32_t{70}));
  EXPECT_EQ(rs->Fields("MEßTRUPPZUSAMMENFASSEN").Name(), "MeßtruppZusammenfassen");
  EXPECT_EQ(Fehlernummer([&] { rs->Fields("Gibtsnicht"); }), 3265);
  EXPECT_EQ(Fehlernummer([&] { rs->Fields(std::int16_t{99}); }), 3265);
}

TEST_P(RecordsetTest, MovesThroughRowsAndReportsNoCurrentRecord) {
  db_->Execute(
      "INSERT INTO Rechnung (ID_Rechnungsnummer, ID_Auftragsnummer, Rechnungsart) VALUES (2, 1, "
      "5), (3, 1, 5)");
  auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE Rechnungsart = 5 ORDER BY 1");
  EXPECT_FALSE(rs->BOF());
  EXPECT_FALSE(rs->EOF());
  EXPECT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(rs->Fields("ID_Rechnungsnummer").Value(), Variant(std::int32_t{2}));
  rs->MoveNext();
  EXPECT_EQ(rs->Fields("ID_Rechnungsnummer").Value(), Variant(std::int32_t{3}));
  rs->MoveNext();
  EXPECT_TRUE(rs->EOF());
  EXPECT_EQ(Fehlernummer([&] { rs->Fields("Brutto").Value(); }), 3021);
  EXPECT_EQ(Fehlernummer([&] { rs->MoveNext(); }), 3021);
  rs->MoveFirst();
  EXPECT_EQ(rs->Fields("ID_Rechnungsnummer").Value(), Variant(std::int32_t{2}));

  auto leer = db_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = 7");
  EXPECT_TRUE(leer->BOF());
  EXPECT_TRUE(leer->EOF());
  EXPECT_EQ(leer->RecordCount(), 0);
  EXPECT_EQ(Fehlernummer([&] { leer->Fields("Mehrwertsteuersatz").Value(); }), 3021);
  EXPECT_EQ(Fehlernummer([&] { leer->MoveFirst(); }), 3021);
  EXPECT_EQ(Fehlernummer([&] { leer->Edit(); }), 3021);
}

TEST_P(RecordsetTest, NullAndEmptyTextComeBackAsTheyAreStored) {
  db_->Execute(
      "INSERT INTO TempDoc (ID_Benutzer, AbschlagAbsolut, Zahlungsziel) VALUES (2, NULL, NULL)");
  db_->Execute(
      "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer) "
      "VALUES (2, '', 1)");
  auto rs = db_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = 2");
  EXPECT_TRUE(rs->Fields("AbschlagAbsolut").Value().IstNull());
  EXPECT_TRUE(rs->Fields("Zahlungsziel").Value().IstNull());
  EXPECT_EQ(Rechnung(2)->Fields("Rechnungsnummer").Value(), Variant(""));
}

TEST_P(RecordsetTest, EditAndUpdateWriteTheRowBackRounded) {
  auto rs = Rechnung(1);
  ASSERT_TRUE(rs->Updatable());
  rs->Edit();
  EXPECT_EQ(rs->EditMode(), 1);
  rs->Fields("NettoRechnung") = Variant(100000.5);  // half to even: 100000
  rs->Fields("Brutto") = Variant(119000.5000001);   // rounds up: 119001
  rs->Fields("MehrwertsteuerFreierbetrag") = Variant(-0.5);
  rs->Fields("Mehrwertsteuersatz") = Variant(std::int16_t{190});
  EXPECT_EQ(rs->Fields("NettoRechnung").Value(), Variant(std::int32_t{100000}));
  rs->Update();
  EXPECT_EQ(rs->EditMode(), 0);

  auto neu = Workspace().OpenDatabase(datei_)->OpenRecordset(
      "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  EXPECT_EQ(neu->Fields("NettoRechnung").Value(), Variant(std::int32_t{100000}));
  EXPECT_EQ(neu->Fields("Brutto").Value(), Variant(std::int32_t{119001}));
  EXPECT_EQ(neu->Fields("MehrwertsteuerFreierbetrag").Value(), Variant(std::int32_t{0}));
  EXPECT_EQ(neu->Fields("Rechnungsnummer").Value(), Variant("2026-001")) << "untouched";
}

TEST_P(RecordsetTest, EditRereadsTheRowAndCancelWritesNothing) {
  auto rs = Rechnung(1);
  db_->Execute("UPDATE Rechnung SET Brutto = 4711 WHERE ID_Rechnungsnummer = 1");
  EXPECT_EQ(rs->Fields("Brutto").Value(), Variant(std::int32_t{0})) << "read at open";
  rs->Edit();
  EXPECT_EQ(rs->Fields("Brutto").Value(), Variant(std::int32_t{4711})) << "re-read by Edit";
  rs->Fields("Brutto") = Variant(std::int32_t{1});
  rs->CancelUpdate();
  EXPECT_EQ(rs->Fields("Brutto").Value(), Variant(std::int32_t{4711}));
  EXPECT_EQ(Rechnung(1)->Fields("Brutto").Value(), Variant(std::int32_t{4711}));
}

TEST_P(RecordsetTest, RefusesWritesOutsideAnEdit) {
  auto rs = Rechnung(1);
  EXPECT_EQ(Fehlernummer([&] { rs->Fields("Brutto") = Variant(std::int32_t{1}); }), 3020);
  EXPECT_EQ(Fehlernummer([&] { rs->Update(); }), 3020);
  auto snapshot = db_->OpenRecordset("SELECT * FROM Rechnung", dbOpenSnapshot);
  EXPECT_EQ(Fehlernummer([&] { snapshot->Edit(); }), 3027);
  auto verbund = db_->OpenRecordset(
      "SELECT r.ID_Rechnungsnummer, t.Datum FROM Rechnung r JOIN Termine t USING "
      "(ID_Rechnungsnummer)");
  EXPECT_EQ(Fehlernummer([&] { verbund->Edit(); }), 3027);
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("DELETE FROM Rechnung"); }), 3219);
  EXPECT_EQ(Rechnung(1)->RecordCount(), 1);
}

TEST_P(RecordsetTest, AValueTheColumnCannotTakeLeavesTheRowAlone) {
  auto rs = Rechnung(1);
  rs->Edit();
  EXPECT_EQ(Fehlernummer([&] { rs->Fields("Brutto") = Variant("viel"); }), 13);
  rs->Fields("ID_Auftragsnummer") = Variant::Null();
  EXPECT_EQ(Fehlernummer([&] { rs->Update(); }), 3314);
  EXPECT_EQ(rs->EditMode(), 0);
  EXPECT_EQ(Rechnung(1)->Fields("ID_Auftragsnummer").Value(), Variant(std::int32_t{1}));
  rs->Edit();  // the lock was released: a new edit works
  rs->Fields("Brutto") = Variant(std::int32_t{5});
  rs->Update();
  EXPECT_EQ(Rechnung(1)->Fields("Brutto").Value(), Variant(std::int32_t{5}));
}

TEST_P(RecordsetTest, ARecordsetOutlivesItsDatabaseUntilClosed) {
  auto rs = Rechnung(1);
  db_->Close();
  db_.reset();
  rs->Edit();
  rs->Fields("Brutto") = Variant(std::int32_t{77});
  rs->Update();
  rs->Close();
  EXPECT_EQ(Fehlernummer([&] { rs->Fields("Brutto"); }), 3420);
  EXPECT_EQ(Fehlernummer([&] { rs->MoveFirst(); }), 3420);
  auto db = ws_.OpenDatabase(datei_);
  EXPECT_EQ(db->OpenRecordset("SELECT Brutto FROM Rechnung")->Fields("Brutto").Value(),
            Variant(std::int32_t{77}));
}

TEST_P(RecordsetTest, NamesWithUmlautsWorkAsWrittenInAnyCase) {
  db_->Execute(
      "CREATE TABLE Meßpunkte (Nr INTEGER PRIMARY KEY, Höhe DOUBLE, Straße TEXT, "
      "Geprüft BOOLEAN DEFAULT 0, Gemessen DATE);"
      "INSERT INTO Meßpunkte (Nr, Höhe, Straße, Geprüft, Gemessen) "
      "VALUES (1, 112.5, 'Große Gasse', 1, '2026-12-01')");
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("SELECT * FROM MESSPUNKTE"); }), 3078)
      << "ß is no SS";
  auto rs = db_->OpenRecordset("SELECT * FROM meßpunkte WHERE \"NR\" = 1 OR [Nr] = 1");
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Fields(std::int16_t{1}).Name(), "Höhe");
  EXPECT_EQ(rs->Fields("STRAßE").Value(), Variant("Große Gasse"));
  EXPECT_EQ(rs->Fields("Geprüft").Value(), Variant(true));
  EXPECT_EQ(rs->Fields("Gemessen").Value(), Variant(Datum::AusTag(2026, 12, 1)));
  rs->Edit();
  rs->Fields("Höhe") = Variant(std::int32_t{113});
  rs->Fields("Geprüft") = Variant(false);
  rs->Update();
  auto neu = db_->OpenRecordset("SELECT Höhe, Geprüft FROM Meßpunkte");
  EXPECT_EQ(neu->Fields("Höhe").Value(), Variant(113.0));
  EXPECT_EQ(neu->Fields("Geprüft").Value(), Variant(false));
}

TEST_P(RecordsetTest, AddNewAppendsARowWithItsValuesAsParameters) {
  const char* boese = "x'); DROP TABLE Rechnung; --";
  auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE 1 = 0");
  rs->AddNew();
  EXPECT_EQ(rs->EditMode(), 2);
  rs->Fields("ID_Rechnungsnummer") = Variant(std::int32_t{7});
  rs->Fields("Rechnungsnummer") = Variant(boese);
  rs->Fields("ID_Auftragsnummer") = Variant(3.0);
  rs->Update();
  EXPECT_EQ(rs->EditMode(), 0);
  EXPECT_EQ(rs->RecordCount(), 1);
  auto neu = Rechnung(7);
  ASSERT_EQ(neu->RecordCount(), 1) << "the table is still there";
  EXPECT_EQ(neu->Fields("Rechnungsnummer").Value(), Variant(boese));
  EXPECT_EQ(neu->Fields("Rechnungsart").Value(), Variant(std::int32_t{1})) << "the default";

  auto zaehlung = db_->OpenRecordset("SELECT count(*) FROM Rechnung");
  EXPECT_EQ(Fehlernummer([&] { zaehlung->AddNew(); }), 3027);
  rs->AddNew();
  rs->Fields("ID_Rechnungsnummer") = Variant(std::int32_t{7});
  rs->Fields("ID_Auftragsnummer") = Variant(std::int32_t{8});
  EXPECT_EQ(Fehlernummer([&] { rs->Update(); }), 3022) << "the key is taken";
  EXPECT_EQ(db_->OpenRecordset("SELECT * FROM Rechnung")->RecordCount(), 2);
  // Without a key, the row gets the highest plus one.
  rs->AddNew();
  rs->Fields("ID_Auftragsnummer") = Variant(std::int32_t{9});
  rs->Update();
  EXPECT_EQ(
      db_->OpenRecordset("SELECT ID_Rechnungsnummer FROM Rechnung WHERE ID_Auftragsnummer = 9")
          ->Fields("ID_Rechnungsnummer")
          .Value(),
      Variant(std::int32_t{8}));
}

TEST_P(RecordsetTest, BadStatementsGetTheEnginesNumbers) {
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("SELECT * FROM Rechnungen"); }), 3078);
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("Rechnungen"); }), 3078);
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("SELECT Nix FROM Rechnung"); }), 3061);
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("SELEKT * FROM Rechnung"); }), 3075);
  EXPECT_EQ(Fehlernummer([&] { db_->OpenRecordset("Version", 3); }), 3001);
}

TEST(Workspace, AMissingFileIsReportedAndNotCreated) {
  test::TestOrdner ordner;
  std::string datei = ordner.Datei("fehlt.db");
  Workspace ws;
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase(datei); }), 3024);
  EXPECT_FALSE(std::filesystem::exists(datei));
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase(""); }), 3024);
}

TEST(Workspace, AFileThatIsNoDatabaseIsReportedAndKept) {
  test::TestOrdner ordner;
  std::string datei = ordner.Datei("kaputt.db");
  std::ofstream(datei) << "Das ist keine Datenbank, sondern ein Brief an den Kunden.";
  auto vorher = std::filesystem::file_size(datei);
  Workspace ws;
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase(datei); }), 3343);
  EXPECT_EQ(std::filesystem::file_size(datei), vorher);
}

// What is no regular file is refused before the engine reads it: a FIFO would block the first
// read until some writer came, a device read without end, a folder is no database.
TEST(Workspace, OnlyARegularFileOpensAsADatabase) {
  test::TestOrdner ordner;
  const std::string fifo = ordner.Datei("warteschlange.db");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Workspace ws;
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase(fifo); }), 3051);
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase("/dev/zero"); }), 3051);
  EXPECT_EQ(test::Fehlernummer([&] { ws.OpenDatabase(ordner.Datei("")); }), 3051);
}

TEST(Workspace, CreateDatabaseNeverOverwrites) {
  test::TestOrdner ordner;
  std::string datei = test::NeueDatenbank(ordner);
  Workspace ws;
  EXPECT_EQ(test::Fehlernummer([&] { ws.CreateDatabase(datei); }), 3204);
  EXPECT_EQ(ws.OpenDatabase(datei)->OpenRecordset("Version")->RecordCount(), 1);
  EXPECT_EQ(test::Fehlernummer([&] { ws.CreateDatabase(ordner.Datei("gibtsnicht/neu.db")); }),
            3044);
}

}  // namespace
}  // namespace tarvo::dao
