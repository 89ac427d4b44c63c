// The invoice model built from a document whose totals SummeBilden has just computed: lines,
// VAT breakdown and totals as the printed invoice has them, and the refusals where the
// e-invoice could not carry the printed amounts.
#include "erechnung/Modellaufbau.h"

#include <gtest/gtest.h>

#include "common/Variant.h"
#include "document/G_modSumme.h"
#include "document/Rechnung_helpers.h"
#include "erechnung/Cii.h"
#include "fees/modStatus.h"

namespace tarvo::erechnung {
namespace {

class Modell : public testhilfe::RechnungTest {
 protected:
  // A statement whose amounts (column 5) are `betraege`, under a heading row, tagged as the
  // category 1 statement; returns the table.
  word::Table Abrechnung(const std::vector<std::string>& betraege) {
    testhilfe::Zeilen zeilen = {{"Vermessung nach Nr. 2", "", "", "", ""},
                                {"Gebührenteil b)", "Kategorie", "Fläche", "Gebühr", "Ihr Anteil"}};
    int nr = 0;
    for (const auto& b : betraege)
      zeilen.push_back({"Flst.Nr. " + std::to_string(++nr), "II", "100", "", b});
    return Gebuehrentabelle(zeilen, "TARVO_03_1");
  }

  // Computes the totals as the form does, then builds the model of invoice 1.
  Aufbau Aufbauen() {
    db_->Execute(
        "INSERT INTO TempDoc (ID_Benutzer, AbschlagAbsolut, AbschlagProzent, "
        "Mehrwertsteuersatz) VALUES (1, " +
        std::to_string(Status().AbschlagAbsolut) + ", " + std::to_string(Status().AbschlagProzent) +
        ", 160)");
    SummeBilden(false);
    Quelle q;
    q.dokument = doc_.get();
    q.datenbank = db_.get();
    q.rechnung = 1;
    return ModellAufbauen(q);
  }
};

TEST_F(Modell, TwoRatesAndAVatFreeAmountAsPrinted) {
  Rechnungsbrief();
  Datenbank();
  auto tabelle = Abrechnung({"     100,03 €", "      50,00 €", "      -7,50 €", "      20,00 €"});
  Satz(tabelle, 4, 5, "7");
  Satz(tabelle, 6, 5, "0");
  const Aufbau a = Aufbauen();
  ASSERT_TRUE(a.modell) << a.fehler.front();
  const Rechnungsmodell& m = *a.modell;
  ASSERT_EQ(m.positionen.size(), 4u);  // the heading rows are no lines
  EXPECT_EQ(m.positionen[0].name,
            "Vermessung nach Nr. 2: Gebührenteil b), Flst.Nr. 1, "
            "Kategorie II, Fläche 100");
  EXPECT_EQ(m.positionen[2].netto, -750);
  ASSERT_EQ(m.steuern.size(), 3u);
  // 16 %: 92,53 € → 14,80 €; 7 %: 50,00 € → 3,50 €; VAT-free 20,00 €.
  EXPECT_EQ(m.steuern[0].steuer, (Steuer{Steuerkategorie::S, "16"}));
  EXPECT_EQ(m.steuern[0].basis, 9253);
  EXPECT_EQ(m.steuern[0].betrag, 1480);
  EXPECT_EQ(m.steuern[1].steuer, (Steuer{Steuerkategorie::S, "7"}));
  EXPECT_EQ(m.steuern[1].betrag, 350);
  EXPECT_EQ(m.steuern[2].steuer, (Steuer{Steuerkategorie::E, "0"}));
  EXPECT_EQ(m.steuern[2].basis, 2000);
  EXPECT_EQ(m.summen.netto, 16253);
  EXPECT_EQ(m.summen.brutto, 16253 + 1480 + 350);
  EXPECT_EQ(m.summen.faellig, m.summen.brutto);
  EXPECT_EQ(m.summen.rundung, 0);
  EXPECT_EQ(m.nummer, "2026-117");
  EXPECT_EQ(m.datum.Iso(), "2026-12-01");
  EXPECT_EQ(m.faelligAm.Iso(), "2026-12-15");
  EXPECT_EQ(m.zahlungsbedingungen, "Zahlbar bis 15.12.2026 ohne Abzug");
  // The reduction: a negative quantity at a positive price.
  const std::string cii = CiiSchreiben(m, CiiProfil::XRechnung);
  EXPECT_NE(cii.find("<ram:ChargeAmount>7.50</ram:ChargeAmount>"), std::string::npos);
  EXPECT_NE(cii.find("<ram:BilledQuantity unitCode=\"C62\">-1</ram:BilledQuantity>"),
            std::string::npos);
}

// 50 % of 0,05 € at 16 % and 0,05 € at 7 %: each base rounds up to 0,03 €, the printed net of
// 0,10 € × 50 % is 0,05 €. No e-invoice can show both, so it is refused.
TEST_F(Modell, PartialPaymentWhoseRoundedBasesMissThePrintedNetIsRefused) {
  Rechnungsbrief();
  Datenbank();
  Status().AbschlagProzent = 50;
  auto tabelle = Abrechnung({"       0,05 €", "       0,05 €"});
  Satz(tabelle, 4, 5, "7");
  const Aufbau a = Aufbauen();
  ASSERT_FALSE(a.modell);
  ASSERT_EQ(a.fehler.size(), 1u);
  EXPECT_NE(a.fehler[0].find("ergeben gerundet nicht den gedruckten Nettobetrag (0,05 €)"),
            std::string::npos)
      << a.fehler[0];
}

// 40 % of 1.367,31 € at 16 %: the printed VAT row rounds 16 % of the unrounded base, the gross
// adds the scaled VAT; the rounding amount makes the amount due the printed one.
TEST_F(Modell, PartialPaymentKeepsThePrintedAmountDue) {
  Rechnungsbrief();
  Datenbank();
  Status().AbschlagProzent = 40;
  Abrechnung({"   1.367,31 €"});
  const Aufbau a = Aufbauen();
  ASSERT_TRUE(a.modell) << a.fehler.front();
  const Rechnungsmodell& m = *a.modell;
  EXPECT_TRUE(m.abschlag);
  EXPECT_EQ(m.summen.positionen, 136731);
  EXPECT_EQ(m.summen.netto, 54692);
  ASSERT_EQ(m.nachlaesse.size(), 1u);
  EXPECT_EQ(m.nachlaesse[0].betrag, 136731 - 54692);
  EXPECT_EQ(m.summen.faellig, CLng(Gespeichert("Brutto")));
  EXPECT_EQ(m.summen.faellig, m.summen.brutto + m.summen.rundung);
  EXPECT_EQ(std::string(Rechnungsart(m)), "326");
}

TEST_F(Modell, FinalInvoiceDeductsEarlierInvoicesAsPaid) {
  Rechnungsbrief();
  Datenbank(4);
  FruehereRechnung(2, "2026-090", 100000, 0, 116000, "2026-09-01");
  FruehereRechnung(3, "2026-101", 50000, 0, 58000, "");
  Abrechnung({"   3.000,00 €"});
  const Aufbau a = Aufbauen();
  ASSERT_TRUE(a.modell) << a.fehler.front();
  const Rechnungsmodell& m = *a.modell;
  EXPECT_EQ(m.summen.brutto, 348000);
  EXPECT_EQ(m.summen.bezahlt, 174000);
  EXPECT_EQ(m.summen.faellig, 174000);
  EXPECT_EQ(m.summen.rundung, 0);
  ASSERT_EQ(m.frueher.size(), 2u);
  EXPECT_EQ(m.frueher[0].datum.Deutsch(), "01.09.2026");
  EXPECT_FALSE(m.frueher[1].datum.Gesetzt());
}

TEST_F(Modell, CreditNoteShowsThePrintedPositiveAmounts) {
  Rechnungsbrief();
  Datenbank(7);
  Abrechnung({"     500,00 €"});
  const Aufbau a = Aufbauen();
  ASSERT_TRUE(a.modell) << a.fehler.front();
  EXPECT_TRUE(a.modell->gutschrift);
  EXPECT_EQ(a.modell->summen.faellig, 58000);
  EXPECT_EQ(std::string(Rechnungsart(*a.modell)), "381");
}

TEST_F(Modell, DocumentAndRecordThatDisagreeAreRefused) {
  Rechnungsbrief();
  Datenbank();
  Abrechnung({"     500,00 €"});
  db_->Execute("INSERT INTO TempDoc (ID_Benutzer) VALUES (1)");
  SummeBilden(false);
  db_->Execute("UPDATE Rechnung SET Brutto = 58001");
  Quelle q;
  q.dokument = doc_.get();
  q.datenbank = db_.get();
  q.rechnung = 1;
  const Aufbau a = ModellAufbauen(q);
  ASSERT_FALSE(a.modell);
  ASSERT_EQ(a.fehler.size(), 1u);
  EXPECT_NE(a.fehler[0].find("Dokument und Datensatz passen nicht zusammen"), std::string::npos);
}

TEST_F(Modell, MissingDateNumberAndTotalsAreNamed) {
  Rechnungsbrief();
  Datenbank();
  Abrechnung({"     500,00 €"});
  db_->Execute("INSERT INTO TempDoc (ID_Benutzer) VALUES (1)");
  db_->Execute("DELETE FROM Termine; UPDATE Rechnung SET Rechnungsnummer = NULL");
  Quelle q;
  q.dokument = doc_.get();
  q.datenbank = db_.get();
  q.rechnung = 1;
  const Aufbau a = ModellAufbauen(q);  // no totals computed: the document has no totals table
  ASSERT_FALSE(a.modell);
  std::string alle;
  for (const auto& f : a.fehler) alle += f + "\n";
  EXPECT_NE(alle.find("Rechnungsnummer (BT-1)"), std::string::npos) << alle;
  EXPECT_NE(alle.find("Rechnungsdatum (BT-2)"), std::string::npos) << alle;
  EXPECT_NE(alle.find("keine Summentabelle"), std::string::npos) << alle;
}

TEST(Betrag, XmlTextOfCents) {
  const std::pair<Cent, const char*> faelle[] = {
      {0, "0.00"}, {5, "0.05"}, {-5, "-0.05"}, {123456, "1234.56"}, {-7700, "-77.00"}};
  for (const auto& [cent, text] : faelle) EXPECT_EQ(BetragXml(cent), text);
}

TEST(Tag, DueDateAcrossMonthAndYear) {
  EXPECT_EQ((Tag{2026, 12, 20}.PlusTage(14).Iso()), "2027-01-03");
  EXPECT_EQ((Tag{2028, 2, 20}.PlusTage(14).Kompakt()), "20280305");
  EXPECT_EQ((Tag{2026, 12, 1}.PlusTage(0).Deutsch()), "01.12.2026");
}

}  // namespace
}  // namespace tarvo::erechnung
