// The system's SQL, written as SQLite takes it, in the server's dialect.
#include "platform/dao/postgres/PgDialect.h"

#include <gtest/gtest.h>

namespace tarvo::dao::postgres {
namespace {

TEST(PgDialect, TurnsTheSystemsStatementsIntoTheServers) {
  struct Fall {
    const char* sql;
    const char* erwartet;
  } faelle[] = {
      {"SELECT * FROM TempDoc WHERE ID_Benutzer = 1",
       "SELECT * FROM TempDoc WHERE ID_Benutzer = 1"},
      {"SELECT * FROM \"Version\"", "SELECT * FROM \"version\""},
      {"SELECT [MwStErmäßigt] FROM `TempDoc`", "SELECT \"mwstermäßigt\" FROM \"tempdoc\""},
      {"UPDATE \"Rechnung\" SET \"Brutto\" = ? WHERE \"ID_Rechnungsnummer\" = ?",
       "UPDATE \"rechnung\" SET \"brutto\" = $1 WHERE \"id_rechnungsnummer\" = $2"},
      {"SELECT 'Wer? \"Er\" [x]' FROM t WHERE a = ?",
       "SELECT 'Wer? \"Er\" [x]' FROM t WHERE a = $1"},
      {"SELECT * FROM t WHERE Flag = TRUE OR Flag = false",
       "SELECT * FROM t WHERE Flag = 1 OR Flag = 0"},
      {"SELECT * FROM t WHERE Name LIKE 'm%'", "SELECT * FROM t WHERE Name ILIKE 'm%'"},
      {"SELECT IFNULL(Brutto, 0) FROM Rechnung", "SELECT COALESCE(Brutto, 0) FROM Rechnung"},
      {"SELECT 1e5, x -- a ? here\nFROM t", "SELECT 1e5, x -- a ? here\nFROM t"},
      {"SELECT \"a\"\"b\" FROM t", "SELECT \"a\"\"b\" FROM t"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.sql);
    EXPECT_EQ(Translate(fall.sql).sql, fall.erwartet);
  }
  EXPECT_EQ(Translate("SELECT ? , ?, '?'").parameters, 2);
}

TEST(PgDialect, GivesDeclaredTypesTheServersTypesAndKeepsNamesAsWritten) {
  const std::string sql = Translate(
                              "CREATE TABLE TempDoc (\n"
                              "  ID_Benutzer INTEGER PRIMARY KEY,\n"
                              "  MeßtruppZusammenfassen BOOLEAN DEFAULT 0, -- a flag\n"
                              "  AbschlagAbsolut DOUBLE DEFAULT 0,\n"
                              "  AbschlagProzent SMALLINT DEFAULT 100,\n"
                              "  Nummer VARCHAR(20) NOT NULL,\n"
                              "  Datum DATE,\n"
                              "  Zeit DATETIME,\n"
                              "  Betrag NUMERIC(10, 2),\n"
                              "  Notiz TEXT,\n"
                              "  lfd INTEGER\n"
                              ") WITHOUT ROWID;")
                              .sql;
  for (const char* teil :
       {"CREATE DOMAIN yesno AS smallint", "ID_Benutzer bigint PRIMARY KEY",
        "MeßtruppZusammenfassen yesno DEFAULT 0, -- a flag",
        "AbschlagAbsolut double precision DEFAULT 0", "AbschlagProzent smallint DEFAULT 100",
        "Nummer varchar(20) NOT NULL", "Datum date", "Zeit timestamp(0)", "Betrag NUMERIC(10,2)",
        "Notiz text", "lfd bigint\n)",
        "COMMENT ON COLUMN TempDoc.\"meßtruppzusammenfassen\" IS 'MeßtruppZusammenfassen';",
        "COMMENT ON COLUMN TempDoc.\"id_benutzer\" IS 'ID_Benutzer';",
        "CREATE OR REPLACE FUNCTION tarvo_naechster_schluessel()",
        "CREATE TRIGGER tarvo_schluessel BEFORE INSERT ON TempDoc FOR EACH ROW EXECUTE FUNCTION "
        "tarvo_naechster_schluessel('id_benutzer');"}) {
    SCOPED_TRACE(teil);
    EXPECT_NE(sql.find(teil), std::string::npos) << sql;
  }
  EXPECT_EQ(sql.find("ROWID"), std::string::npos) << sql;
  EXPECT_EQ(sql.find("'lfd'"), std::string::npos) << "a lower-case name needs no comment";
  EXPECT_EQ(sql.find("INTEGER"), std::string::npos) << sql;
}

TEST(PgDialect, LeavesOtherStatementsOfAScriptAsTheyAre) {
  const std::string sql = Translate(
                              "BEGIN;\nCREATE INDEX R_A ON Rechnung (ID_Auftragsnummer);\n"
                              "INSERT INTO Version (Zahlungsziel) VALUES ('Zahlbar; bis <14>');\n"
                              "COMMIT;")
                              .sql;
  EXPECT_EQ(sql,
            "BEGIN;\nCREATE INDEX R_A ON Rechnung (ID_Auftragsnummer);\n"
            "INSERT INTO Version (Zahlungsziel) VALUES ('Zahlbar; bis <14>');\nCOMMIT;");
}

TEST(PgDialect, KnowsWhichStatementsReturnRows) {
  for (const char* ja : {"SELECT 1", "  select * from t", "WITH a AS (SELECT 1) SELECT * FROM a",
                         "(SELECT 1)", "VALUES (1)", "-- note\nSELECT 1"})
    EXPECT_TRUE(ReturnsRows(ja)) << ja;
  for (const char* nein : {"DELETE FROM t", "UPDATE t SET a = 1", "INSERT INTO t VALUES (1)",
                           "CREATE TABLE t (a INTEGER)", "", "Rechnung"})
    EXPECT_FALSE(ReturnsRows(nein)) << nein;
}

}  // namespace
}  // namespace tarvo::dao::postgres
