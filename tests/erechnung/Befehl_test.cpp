// `tarvo erechnung`, `tarvo stammdaten` and `tarvo init-db --ergaenzen` as a user runs them:
// missing or invalid master data is named field by field with exit status 2 and nothing is
// written; the master data given in a file wins over the database.
#include <fstream>

#include "Umgebung.h"
#include "acceptance/Auftrag_helpers.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;

const char* kAuftrag = R"({
  "dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx", "datenbank": "Auftraege.db",
  "benutzer": 1, "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "88/2", "AnzahlGrenzpunkte": 5},
  "kategorie": 3,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {"zeilen": [[null, null, "1", null, null]], "mskneueAP": "4"}
})";

class ERechnungBefehl : public AuftragTest {
 protected:
  void SetUp() override {
    AuftragTest::SetUp();
    const Lauf lauf = Ausfuehren(kAuftrag);
    ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  }
  Lauf ERechnung(const std::string& weiter) const {
    return Tarvo("erechnung Rechnung.docx --datenbank Auftraege.db --rechnung 1 " + weiter);
  }
  void Datei(const std::string& name, const std::string& inhalt) const {
    std::ofstream(ordner_ / name, std::ios::trunc) << inhalt;
  }
};

TEST_F(ERechnungBefehl, WritesEachFormatBesideTheDocument) {
  const Lauf cii = ERechnung("--format xrechnung-cii");
  ASSERT_EQ(cii.status, 0) << cii.fehler;
  EXPECT_NE(cii.aus.find("fällig"), std::string::npos);
  EXPECT_TRUE(fs::exists(ordner_ / "Rechnung-xrechnung.xml"));
  ASSERT_EQ(ERechnung("--format xrechnung-ubl").status, 0);
  const std::string ubl = DateiLesen(ordner_ / "Rechnung-xrechnung-ubl.xml");
  EXPECT_NE(ubl.find("<cbc:BuyerReference>14627000-0001-55</cbc:BuyerReference>"),
            std::string::npos);
}

TEST_F(ERechnungBefehl, MissingMasterDataIsNamedAndNothingIsWritten) {
  ASSERT_EQ(Shell("sqlite3 '" + (ordner_ / "Auftraege.db").string() +
                  "' \"UPDATE ERechnungKaeufer SET LeitwegID = NULL; "
                  "UPDATE ERechnungVerkaeufer SET Telefon = NULL\""),
            0);
  const Lauf lauf = ERechnung("--format xrechnung-cii");
  EXPECT_EQ(lauf.status, 2);
  EXPECT_EQ(lauf.fehler,
            "Fehler: Für die XRechnung fehlt: Telefon des Verkäufers (BT-42)\n"
            "Fehler: Für die XRechnung fehlt: Leitweg-ID des Empfängers (BT-10)\n");
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung-xrechnung.xml"));
}

TEST_F(ERechnungBefehl, MasterDataFileOverridesTheDatabaseAndIsChecked) {
  Datei("kaeufer.json", R"({"kaeufer": {"name": "Gemeinde Müglitztal & Co <Ost>"}})");
  ASSERT_EQ(ERechnung("--format xrechnung-cii --stammdaten kaeufer.json").status, 0);
  EXPECT_NE(DateiLesen(ordner_ / "Rechnung-xrechnung.xml")
                .find("Gemeinde Müglitztal &amp; Co &lt;Ost&gt;"),
            std::string::npos);

  Datei("falsch.json", R"({"verkaeufer": {"iban": "DE02120300000000202052",
                                          "email": "buero at muster.de"}})");
  const Lauf lauf = ERechnung("--format xrechnung-ubl --stammdaten falsch.json");
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("Ungültig: IBAN des Verkäufers (BT-84)"), std::string::npos);
  EXPECT_NE(lauf.fehler.find("Ungültig: E-Mail des Verkäufers (BT-43)"), std::string::npos);
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung-xrechnung-ubl.xml"));
}

TEST_F(ERechnungBefehl, UnusableCallsAreRefused) {
  const std::pair<std::string, std::string> faelle[] = {
      {"--format pdf", "Unbekanntes Format »pdf«"},
      {"--format xrechnung-cii --ausgabe Rechnung.docx", "wird nicht überschrieben"},
      {"--format xrechnung-cii --stammdaten fehlt.json", "kann nicht gelesen werden"},
  };
  for (const auto& [weiter, meldung] : faelle) {
    SCOPED_TRACE(weiter);
    const Lauf lauf = ERechnung(weiter);
    EXPECT_EQ(lauf.status, 2);
    EXPECT_NE(lauf.fehler.find(meldung), std::string::npos) << lauf.fehler;
  }
  const Lauf andere =
      Tarvo("erechnung Rechnung.docx --datenbank Auftraege.db --rechnung 9 --format xrechnung-cii");
  EXPECT_EQ(andere.status, 2);
  EXPECT_NE(andere.fehler.find("Die Rechnung 9 gibt es in der Datenbank nicht."), std::string::npos)
      << andere.fehler;
}

TEST_F(ERechnungBefehl, ZugferdWithoutLibreOfficeIsRefusedAndXmlStillWorks) {
  test::Umgebung ohne("TARVO_SOFFICE", "/nicht/da/soffice");
  const Lauf lauf = ERechnung("--format zugferd --ausgabe ohne.pdf");
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("wird LibreOffice gebraucht"), std::string::npos) << lauf.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "ohne.pdf"));
  EXPECT_EQ(ERechnung("--format xrechnung-cii").status, 0);
}

TEST_F(ERechnungBefehl, StammdatenStoresSellerAndBuyerOfAnInvoice) {
  Datei("stamm.json", R"({"verkaeufer": {"name": "Büro Süd", "ust_id": "DE987654321"},
                          "kaeufer": {"name": "Stadt Pirna", "leitweg_id": "14628410-0001-40"}})");
  const Lauf lauf = Tarvo("stammdaten Auftraege.db --rechnung 1 --aus stamm.json");
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  EXPECT_EQ(Datenbankwert("SELECT Name, UStID, Ort FROM ERechnungVerkaeufer"),
            "Büro Süd|DE987654321|");
  EXPECT_EQ(Datenbankwert("SELECT Name, LeitwegID FROM ERechnungKaeufer "
                          "WHERE ID_Rechnungsnummer = 1"),
            "Stadt Pirna|14628410-0001-40");
  // Now the seller has no address: the e-invoice names what is missing.
  const Lauf fehlt = ERechnung("--format zugferd");
  EXPECT_EQ(fehlt.status, 2);
  EXPECT_NE(fehlt.fehler.find("Für die ZUGFeRD-Rechnung fehlt: Ort des Verkäufers (BT-37)"),
            std::string::npos)
      << fehlt.fehler;

  Datei("ohne.json", R"({"kaeufer": {"name": "X"}})");
  EXPECT_EQ(Tarvo("stammdaten Auftraege.db --aus ohne.json").status, 2);
  Datei("falsch.json", R"({"verkaeufer": {"ust_id": "DE12"}})");
  const Lauf falsch = Tarvo("stammdaten Auftraege.db --aus falsch.json");
  EXPECT_EQ(falsch.status, 2);
  EXPECT_EQ(Datenbankwert("SELECT UStID FROM ERechnungVerkaeufer"), "DE987654321");
}

TEST_F(ERechnungBefehl, InitDbErgaenzenAddsOnlyTheMasterDataTables) {
  ASSERT_EQ(Shell("cd '" + ordner_.string() +
                  "' && sqlite3 alt.db \"CREATE TABLE Rechnung "
                  "(ID_Rechnungsnummer INTEGER PRIMARY KEY, X TEXT);"
                  "INSERT INTO Rechnung VALUES (1, 'bleibt')\""),
            0);
  const Lauf lauf = Tarvo("init-db --ergaenzen alt.db");
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  EXPECT_EQ(Shell("cd '" + ordner_.string() +
                  "' && test \"$(sqlite3 alt.db "
                  "'SELECT X FROM Rechnung; SELECT COUNT(*) FROM "
                  "ERechnungVerkaeufer; SELECT COUNT(*) FROM "
                  "ERechnungKaeufer')\" = \"$(printf 'bleibt\\n0\\n0')\""),
            0);
  EXPECT_EQ(Tarvo("init-db --ergaenzen alt.db").status, 0);  // twice is harmless
  EXPECT_EQ(Tarvo("init-db --ergaenzen fehlt.db").status, 2);
  EXPECT_FALSE(fs::exists(ordner_ / "fehlt.db"));
}

// A job file's "erechnung": document, record and e-invoice change together or not at all.
TEST_F(ERechnungBefehl, JobWritesTheEInvoiceWithDocumentAndRecord) {
  std::string auftrag = kAuftrag;
  auftrag.insert(auftrag.rfind('}'),
                 R"(, "erechnung": {"format": "xrechnung-ubl", "ausgabe": "Job.xml"})");
  std::string ausgabe = R"("ausgabe": "Rechnung.docx")";
  auftrag.replace(auftrag.find(ausgabe), ausgabe.size(), R"("ausgabe": "Job.docx")");
  const Lauf lauf = Ausfuehren(auftrag, "Job.json");
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  ASSERT_TRUE(fs::exists(ordner_ / "Job.docx"));
  const std::string xml = DateiLesen(ordner_ / "Job.xml");
  const std::string brutto = Datenbankwert("SELECT Brutto FROM Rechnung");
  const std::string betrag =
      brutto.substr(0, brutto.size() - 2) + "." + brutto.substr(brutto.size() - 2);
  EXPECT_NE(xml.find("<cbc:PayableAmount currencyID=\"EUR\">" + betrag + "</cbc:PayableAmount>"),
            std::string::npos)
      << betrag;
}

TEST_F(ERechnungBefehl, JobWhoseEInvoiceIsRefusedChangesNothing) {
  const std::string vorher = Datenbankwert("SELECT Brutto FROM Rechnung");
  ASSERT_EQ(Shell("sqlite3 '" + (ordner_ / "Auftraege.db").string() +
                  "' \"UPDATE ERechnungKaeufer SET LeitwegID = NULL\""),
            0);
  std::string auftrag = kAuftrag;
  auftrag.insert(auftrag.rfind('}'), R"(, "erechnung": {"format": "xrechnung-cii"})");
  const std::string ausgabe = R"("ausgabe": "Rechnung.docx")";
  auftrag.replace(auftrag.find(ausgabe), ausgabe.size(), R"("ausgabe": "Neu.docx")");
  std::string mehr = R"("mskneueAP": "4")";
  auftrag.replace(auftrag.find(mehr), mehr.size(), R"("mskneueAP": "7")");
  const Lauf lauf = Ausfuehren(auftrag, "Job.json");
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("Leitweg-ID des Empfängers (BT-10)"), std::string::npos)
      << lauf.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "Neu.docx"));
  EXPECT_FALSE(fs::exists(ordner_ / "Neu-xrechnung.xml"));
  EXPECT_EQ(Datenbankwert("SELECT Brutto FROM Rechnung"), vorher);

  std::string falsch = kAuftrag;
  falsch.insert(falsch.rfind('}'), R"(, "erechnung": {"format": "pdf"})");
  const Lauf format = Ausfuehren(falsch, "Falsch.json");
  EXPECT_EQ(format.status, 2);
  EXPECT_NE(format.fehler.find("»erechnung.format«"), std::string::npos) << format.fehler;
}

}  // namespace
}  // namespace tarvo::abnahme
