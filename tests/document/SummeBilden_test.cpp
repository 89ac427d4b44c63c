#include <gtest/gtest.h>

#include <cmath>

#include "document/Dokumenthilfen.h"
#include "document/G_modSumme.h"
#include "document/Rechnung_helpers.h"
#include "errors/Fehler.h"
#include "fees/modStatus.h"

namespace tarvo {
namespace {

using testhilfe::Zeilen;

class Rechnungssumme : public testhilfe::RechnungTest {
 protected:
  void SetUp() override {
    RechnungTest::SetUp();
    Rechnungsbrief();
  }
  // A statement table with one amount per line in column 5 (heading "Gebühr" tagged as the
  // category forms tag it); rates[i] non-empty puts that rate comment on line i.
  word::Table Betraege(const std::vector<std::string>& betraege,
                       const std::vector<std::string>& saetze = {}) {
    Zeilen zeilen{{"Nr.", "Gegenstand", "", "", "Gebühr"}};
    for (const auto& b : betraege) zeilen.push_back({"", "Position", "", "", b});
    auto tabelle = Gebuehrentabelle(zeilen, "TARVO_03_2");
    for (std::size_t i = 0; i < saetze.size(); ++i) {
      if (!saetze[i].empty()) Satz(tabelle, static_cast<int>(i) + 2, 5, saetze[i]);
    }
    return tabelle;
  }
  Zeilen Summe() {
    auto tabelle = TabelleMitTag("RE_Summe");
    EXPECT_TRUE(tabelle.has_value());
    return tabelle ? Inhalt(*tabelle) : Zeilen{};
  }
  double Cent(const std::string& feld) { return CDbl(Gespeichert(feld)); }
};

TEST_F(Rechnungssumme, DocumentWithoutAmountsGivesThreeRowsOfZero) {
  Datenbank();
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "       0,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "       0,00 €"},
                     }));
  EXPECT_EQ(Cent("NettoRechnung"), 0);
  EXPECT_EQ(Cent("Brutto"), 0);
  EXPECT_EQ(Cent("MehrwertsteuerFreierbetrag"), 0);
  EXPECT_EQ(Cent("Mehrwertsteuersatz"), 160);
}

TEST_F(Rechnungssumme, CaseAWithOneRateWritesTableAndAmountFields) {
  Datenbank();
  Betraege({"   1.000,00 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "   1.000,00 €"},
                         {"", "Mehrwertsteuer 16 %", "   1.000,00 €", "     160,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "   1.160,00 €"},
                     }));
  auto tabelle = *TabelleMitTag("RE_Summe");
  EXPECT_EQ(tabelle.Cell(4, 2).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(4, 4).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(1, 2).Range().Bold(), word::wdFalse);
  EXPECT_EQ(KommentarText(tabelle.Cell(1, 1).Range().Comments().Item(1)), "RE_Summe");

  // The old amount, " €" and the blank after it are replaced; the words after it stay.
  EXPECT_EQ(Absatz("Gesamtbetrag:"), "Gesamtbetrag:   1.160,00 € zu zahlen bis zum Zahlungsziel.");
  // A full stop, a comma or the paragraph end after the euro sign is kept.
  EXPECT_EQ(Absatz("Netto:"), "Netto:   1.000,00 €.");
  EXPECT_EQ(Absatz("Mehrwertsteuer:"), "Mehrwertsteuer:     160,00 €");
  EXPECT_EQ(Absatz("Brutto:"), "Brutto:   1.160,00 €, Brutto:   1.160,00 €.");
  EXPECT_EQ(Absatz("Auslagen ohne"), "Auslagen ohne Umsatzsteuer:       0,00 €");
  EXPECT_EQ(Absatz("Mit freundlichen"), "Mit freundlichen Grüßen");

  EXPECT_EQ(Cent("NettoRechnung"), 100000);
  EXPECT_EQ(Cent("Brutto"), 116000);
  EXPECT_EQ(Cent("MehrwertsteuerFreierbetrag"), 0);
}

TEST_F(Rechnungssumme, AmountFieldWithoutEuroSignGetsTheAmountInsertedBeforeItsText) {
  Brief({"Leistungen", "Nettobetrag siehe Aufstellung unten"});
  Marke("Leistungen", "lumoStart");
  Marke("Nettobetrag", "lumoNetto");
  Betraege({"     200,00 €"});
  SummeBilden(false);
  EXPECT_EQ(Absatz("Nettobetrag"), "Nettobetrag     200,00 €  siehe Aufstellung unten");
}

TEST_F(Rechnungssumme, RatesInOrderOfFirstAppearanceEachRoundedToTheCent) {
  Betraege({"     100,00 €", "     200,00 €", "     300,00 €"}, {"7", "", ""});
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "     600,00 €"},
                         {"", "Mehrwertsteuer 7 %", "     100,00 €", "       7,00 €"},
                         {"", "Mehrwertsteuer 16 %", "     500,00 €", "      80,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "     687,00 €"},
                     }));
}

TEST_F(Rechnungssumme, SixteenAndSixteenCommaZeroAreOneRate) {
  Status().Mehrwertsteuersatz = 19;
  Betraege({"     100,00 €", "      50,00 €"}, {"16", "16,0"});
  SummeBilden(false);
  EXPECT_EQ(Summe()[1], (std::vector<std::string>{"", "Mehrwertsteuer 16 %", "     150,00 €",
                                                  "      24,00 €"}));
  EXPECT_EQ(Summe().size(), 4u);
}

TEST_F(Rechnungssumme, FreeOfVatAndAHeadingReadAsZeroAtTheDefaultRate) {
  Datenbank();
  // An untagged table: its heading "Betrag" carries no comment and reads as 0 at 16 %.
  auto tabelle = Gebuehrentabelle({{"", "", "", "", "Betrag"},
                                   {"", "Vervielfältigung", "", "", "      50,00 €"},
                                   {"", "Pauschale", "", "", "      25,00 €"}},
                                  "");
  Satz(tabelle, 2, 5, "0");
  Satz(tabelle, 3, 5, "Pauschale");
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "      75,00 €"},
                         {"", "Mehrwertsteuer 16 %", "       0,00 €", "       0,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "      75,00 €"},
                     }));
  EXPECT_EQ(Absatz("Auslagen ohne"), "Auslagen ohne Umsatzsteuer:      75,00 €");
  EXPECT_EQ(Cent("MehrwertsteuerFreierbetrag"), 7500);
  EXPECT_EQ(Cent("NettoRechnung"), 0);
}

TEST_F(Rechnungssumme, VatOfThreeCentsRoundsDownAndOfFourCentsUp) {
  Betraege({"       0,03 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe()[1], (std::vector<std::string>{"", "Mehrwertsteuer 16 %", "       0,03 €",
                                                  "       0,00 €"}));
  Brief({""});
  Betraege({"       0,04 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe()[1], (std::vector<std::string>{"", "Mehrwertsteuer 16 %", "       0,04 €",
                                                  "       0,01 €"}));
}

TEST_F(Rechnungssumme, CaseCWithFortyPercent) {
  Status().AbschlagProzent = 40;
  Betraege({"   1.000,00 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "   1.000,00 €"},
                         {"", "\rAbschlagszahlung von 40%", "", "\r     400,00 €"},
                         {"", "Mehrwertsteuer 16 %", "     400,00 €", "      64,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "     464,00 €"},
                     }));
  auto tabelle = *TabelleMitTag("RE_Summe");
  EXPECT_EQ(tabelle.Cell(2, 2).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(2, 4).Range().Bold(), word::wdFalse);
  EXPECT_EQ(Absatz("Netto:"), "Netto:     400,00 €.");
}

TEST_F(Rechnungssumme, CaseBWithAnAmountOfAQuarter) {
  Status().AbschlagAbsolut = 1000;
  Betraege({"   4.000,00 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "   4.000,00 €"},
                         {"", "\rAbschlagszahlung von ", "", "\r   1.000,00 €"},
                         {"", "Mehrwertsteuer 16 %", "   1.000,00 €", "     160,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "   1.160,00 €"},
                     }));
}

TEST_F(Rechnungssumme, CaseBWithoutFeesReportsTheDivisionAndWritesNoNonsense) {
  Datenbank();
  Status().AbschlagAbsolut = 500;
  Betraege({"       0,00 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "       0,00 €"},
                         {"", "\rAbschlagszahlung von ", "", "\r     500,00 €"},
                         {"", "Mehrwertsteuer 16 %", "       0,00 €", "       0,00 €"},
                         {"", "", "", ""},
                         {"", "Rechnungsbetrag", "", "     500,00 €"},
                     }));
  EXPECT_EQ(LetzterFehler().Funktionsname, "GebührenTabelleSummeBilden");
  EXPECT_EQ(LetzterFehler().strNr, "11");
  EXPECT_EQ(Cent("NettoRechnung"), 0);
  EXPECT_EQ(Cent("Brutto"), 50000);
  EXPECT_EQ(Cent("MehrwertsteuerFreierbetrag"), 50000);
  EXPECT_EQ(Absatz("Mehrwertsteuer:"), "Mehrwertsteuer:       0,00 €");
}

TEST_F(Rechnungssumme, CreditNoteStoresNegatedAmountsAndShowsPositiveOnes) {
  Datenbank(7);
  Betraege({"   1.000,00 €", "     100,00 €"}, {"", "0"});
  SummeBilden(false);
  EXPECT_EQ(Summe().back(), (std::vector<std::string>{"", "Rechnungsbetrag", "", "   1.260,00 €"}));
  EXPECT_EQ(Cent("NettoRechnung"), -100000);
  EXPECT_EQ(Cent("Brutto"), -126000);
  EXPECT_EQ(Cent("MehrwertsteuerFreierbetrag"), -10000);
  EXPECT_EQ(Cent("Mehrwertsteuersatz"), 160);
}

TEST_F(Rechnungssumme, FinalInvoiceDeductsTwoEarlierInvoices) {
  Datenbank(4);
  FruehereRechnung(2, "2026-050", 100000, 0, 119000, "2026-10-01");
  FruehereRechnung(3, "2026-088", 50000, 0, 59500, "2026-11-02");
  Betraege({"   2.000,00 €", "   1.000,00 €", "     500,00 €", "     100,00 €"},
           {"", "7", "19", "0"});
  SummeBilden(false);
  // This invoice's own line carries its own net, VAT and gross, so it agrees with the
  // subtotal above it and the remainder below.
  EXPECT_EQ(Summe(), (Zeilen{
                         {"", "Summe", "", "   3.600,00 €"},
                         {"", "Mehrwertsteuer 16 %", "   2.000,00 €", "     320,00 €"},
                         {"", "Mehrwertsteuer 7 %", "   1.000,00 €", "      70,00 €"},
                         {"", "Mehrwertsteuer 19 %", "     500,00 €", "      95,00 €"},
                         {"", "", "", ""},
                         {"", "Zwischensumme", "", "   4.085,00 €"},
                         {"", "", "", ""},
                         {"", "Entgeld", "Umsatzsteuer", "Summe"},
                         {"", "   3.600,00 €", "     485,00 €", "   4.085,00 €"},
                         {"abzgl. Anzahlungen", "", "", ""},
                         {"Rechnung Nr. 2026-050 vom 01.10.2026", "   1.000,00 €", "     190,00 €",
                          "   1.190,00 €"},
                         {"Rechnung Nr. 2026-088 vom 02.11.2026", "     500,00 €", "      95,00 €",
                          "     595,00 €"},
                         {"verbl. Restbetrag", "   2.100,00 €", "     200,00 €", "   2.300,00 €"},
                         {"", "", "", ""},
                     }));
  EXPECT_EQ(Cent("NettoRechnung"), 210000);
  EXPECT_EQ(Cent("Brutto"), 230000);
  EXPECT_EQ(Cent("MehrwertsteuerFreierbetrag"), 0);

  auto tabelle = *TabelleMitTag("RE_Summe");
  auto& app = *doc_->Application();
  EXPECT_NEAR(tabelle.Cell(11, 1).Width(), app.CentimetersToPoints(9.0f), 0.1);
  EXPECT_NEAR(tabelle.Cell(12, 2).Width(), app.CentimetersToPoints(3.0f), 0.1);
  EXPECT_NEAR(tabelle.Cell(1, 2).Width(), app.CentimetersToPoints(8.0f), 0.1);
  EXPECT_EQ(tabelle.Cell(13, 1).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(11, 4).Range().Bold(), word::wdFalse);
}

TEST_F(Rechnungssumme, RemainderOfZeroShowsZeroNotRoundingNoise) {
  Datenbank(4);
  // 100,10 € at 16 %: 16,02 € VAT, 116,12 € gross, all of it paid before.
  FruehereRechnung(2, "2026-050", 10010, 0, 11612, "2026-10-01");
  Betraege({"     100,10 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe()[Summe().size() - 2],
            (std::vector<std::string>{"verbl. Restbetrag", "       0,00 €", "       0,00 €",
                                      "       0,00 €"}));
}

TEST_F(Rechnungssumme, EarlierInvoiceWithoutAppointmentIsStillDeducted) {
  Datenbank(4);
  FruehereRechnung(2, "2026-050", 100000, 0, 116000, "");
  Betraege({"   1.000,00 €"});
  SummeBilden(false);
  auto zeilen = Summe();
  ASSERT_GE(zeilen.size(), 3u);
  EXPECT_EQ(zeilen[zeilen.size() - 3],
            (std::vector<std::string>{"Rechnung Nr. 2026-050", "   1.000,00 €", "     160,00 €",
                                      "   1.160,00 €"}));
  EXPECT_EQ(LetzterFehler().strModul, "GebührenTabelle");
}

TEST_F(Rechnungssumme, FinalInvoiceWithoutEarlierInvoicesHasNoDeduction) {
  Datenbank(4);
  Betraege({"   1.000,00 €"});
  SummeBilden(false);
  EXPECT_EQ(Summe().back(), (std::vector<std::string>{"", "Rechnungsbetrag", "", "   1.160,00 €"}));
}

TEST_F(Rechnungssumme, SecondRunReplacesTheTableAndFindsEveryMarkerAgain) {
  Datenbank();
  Betraege({"   1.000,00 €"});
  SummeBilden(true);
  const auto kommentare = Kommentare();
  SummeBilden(true);
  EXPECT_EQ(TabellenMitTag("RE_Summe").size(), 1u);
  EXPECT_EQ(Kommentare(), kommentare);
  EXPECT_EQ(Absatz("Gesamtbetrag:"), "Gesamtbetrag:   1.160,00 € zu zahlen bis zum Zahlungsziel.");
  EXPECT_EQ(Absatz("Netto:"), "Netto:   1.000,00 €.");

  // A re-run on the saved document finds its markers and tags again.
  auto pfad = Speichern("rechnung.docx");
  doc_ = word::Document::Open(pfad);
  Status().Doc = doc_;
  Status().WordApp = doc_->Application();
  Status().AbschlagProzent = 50;
  SummeBilden(true);
  EXPECT_EQ(TabellenMitTag("RE_Summe").size(), 1u);
  EXPECT_EQ(TabellenMitTag("TARVO_03_2").size(), 1u);
  EXPECT_EQ(Kommentare(), kommentare);
  EXPECT_EQ(Absatz("Gesamtbetrag:"), "Gesamtbetrag:     580,00 € zu zahlen bis zum Zahlungsziel.");
  EXPECT_EQ(Absatz("Brutto:"), "Brutto:     580,00 €, Brutto:     580,00 €.");
  EXPECT_EQ(doc_->Shapes().Count(), 1);
}

TEST_F(Rechnungssumme, MovedTotalsTableIsFoundAndOneThatLostItsTagStays) {
  Betraege({"   1.000,00 €"});
  // A totals table the user moved to the end, and one whose tag was deleted.
  auto verschoben = Gebuehrentabelle({{"", "Summe", "", "", "   5.000,00 €"}}, "");
  doc_->Comments().Add(verschoben.Cell(1, 1).Range(), "RE_Summe");
  Gebuehrentabelle({{"", "Summe", "", "", "   7.000,00 €"}}, "");
  SummeBilden(false);
  EXPECT_EQ(TabellenMitTag("RE_Summe").size(), 1u);
  EXPECT_EQ(doc_->Tables().Count(), 3);
  EXPECT_EQ(Summe()[0], (std::vector<std::string>{"", "Summe", "", "   1.000,00 €"}));
}

TEST_F(Rechnungssumme, CursorEndsAtTheStartOfTheDocument) {
  Betraege({"   1.000,00 €"});
  SummeBilden(false);
  EXPECT_EQ(doc_->Application()->Selection().Start(), 0);
  EXPECT_EQ(doc_->Application()->Selection().End(), 0);
}

}  // namespace
}  // namespace tarvo
