// Bad surroundings: no document, a database locked by another workstation, garbage in a field,
// an empty terms table. Every routine logs what failed and finishes the rest; none throws.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "document/G_modSumme.h"
#include "document/KM_WordAuto.h"
#include "document/Nebenkosten.h"
#include "document/Rechnung_helpers.h"
#include "errors/Fehler.h"
#include "fees/modStatus.h"

namespace tarvo {
namespace {

using testhilfe::Zeilen;

class Stoerung : public testhilfe::RechnungTest {
 protected:
  void Betrag(const std::string& betrag) {
    Gebuehrentabelle({{"Nr.", "", "", "", "Gebühr"}, {"1", "", "", "", betrag}}, "TARVO_03_2");
  }
};

TEST_F(Stoerung, WithoutDocumentEveryRoutineLogsAndReturns) {
  Status().Doc = nullptr;
  Status().WordApp = nullptr;
  controls::Form formular("frmKat2", "");
  EXPECT_NO_THROW(Nebenkosten(formular));
  EXPECT_EQ(LetzterFehler().strModul, "modStatus");
  EXPECT_NO_THROW(SummeBilden(true));
  EXPECT_EQ(LetzterFehler().strModul, "GebührenTabelle");
  EXPECT_FALSE(TabelleErmitteln("TARVO_03_2", false).has_value());
  EXPECT_EQ(LetzterFehler().strFunktion, "TabelleErmitteln");
  EXPECT_EQ(LetzterFehler().strNr, "91");
}

TEST_F(Stoerung, LockedDatabaseLeavesTheRecordAsItWasAndTheDocumentComplete) {
  Datenbank();
  Betrag("   1.000,00 €");
  sqlite3* andere = nullptr;
  ASSERT_EQ(sqlite3_open((ordner_ / "auftrag.db").c_str(), &andere), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(andere, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
  SummeBilden(false);
  sqlite3_exec(andere, "ROLLBACK;", nullptr, nullptr, nullptr);
  sqlite3_close(andere);
  EXPECT_EQ(LetzterFehler().Funktionsname, "GebührenTabelleSummeBilden");
  EXPECT_EQ(CDbl(Gespeichert("Brutto")), 0);
  auto summe = TabelleMitTag("RE_Summe");
  ASSERT_TRUE(summe.has_value());
  EXPECT_EQ(Inhalt(*summe).back(),
            (std::vector<std::string>{"", "Rechnungsbetrag", "", "   1.160,00 €"}));
}

TEST_F(Stoerung, GarbageInTheKindOfInvoiceCountsAsAnOrdinaryInvoice) {
  Datenbank();
  db_->Execute("UPDATE Rechnung SET Rechnungsart = 'abc' WHERE ID_Rechnungsnummer = 1;");
  Status().Rechnung = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  Betrag("     100,00 €");
  SummeBilden(false);
  EXPECT_EQ(LetzterFehler().strModul, "GebührenTabelle");
  EXPECT_EQ(CDbl(Gespeichert("Brutto")), 11600);
}

TEST_F(Stoerung, EmptyTermsTableLeavesAnEmptyBox) {
  Datenbank();
  db_->Execute("DELETE FROM Version;");
  ZahlungsZiel(*doc_, true);
  auto feld = doc_->Shapes().Item("Zahlungsziel");
  EXPECT_EQ(feld.TextFrame().TextRange().Text().find_first_not_of("\r\a"), std::string::npos);
  EXPECT_EQ(LetzterFehler().Funktionsname, "GebührenTabelleZahlungsZiel");
}

}  // namespace
}  // namespace tarvo
