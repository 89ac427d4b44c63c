// A building survey job through `tarvo run`: two buildings under Nr. 3.3, one of them shared.
// The saved invoice is read back with tarvo's own reader, with python-docx and with LibreOffice,
// the invoice record with sqlite3; then the job is opened again on its own invoice and confirmed
// without input, which must leave every cell as it was.
#include <algorithm>
#include <fstream>

#include "Auftrag_helpers.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;

const char* kGebaeude = R"({
  "dokument": "Vorlage.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Baukosten": 180, "Lage": "Wohnhaus"},
  "kategorie": 1,
  "eingaben": {
    "Option33": true,
    "zeilen": [["Flst.Nr. 412/7", "180", "5", "1000", null, "Wohnhaus mit Garage"],
               ["Flst.Nr. 412/8", "620", "4", "500", null, "Scheune"]]
  }
})";

// (409 + 2 × 77) × 1,05 = 591,15 €; (869 + 77) × 1,05 = 993,30 €, half of it 496,65 €.
const Zeilen kAbrechnung = {
    {"Gebäudeaufnahme nach Nr. 3.3\r\r", "\r\rGrundfläche [m²]", "\r\rGebäudeteile", "\r\rGebühr",
     "\r\rIhr Anteil"},
    {"Flst.Nr. 412/7\vWohnhaus mit Garage", "     180", "   5", "", "    591,15 €"},
    {"Flst.Nr. 412/8\vScheune\vIhr Anteil beträgt  500/1000", "     620", "   4", "    993,30 €",
     "    496,65 €"},
};
// 2 % of the full fees 1.584,45 € is 31,69 €; of the amounts charged 1.087,80 € it is 21,76 €.
const Zeilen kNebenkosten = Nebenkostentabelle("   1.584,45 €", "      31,69 €", "      21,76 €");
// 591,15 + 496,65 + 21,76 = 1.109,56 € net; 19 % = 210,82 €.
const Zeilen kSumme = Summentabelle("   1.109,56 €", "     210,82 €", "   1.320,38 €");

using GebaeudeAuftrag = AuftragTest;

TEST_F(GebaeudeAuftrag, WholeBuildingSurveyInvoiceToTheCent) {
  const Lauf lauf = Ausfuehren(kGebaeude);
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  EXPECT_EQ(Tabelle("Rechnung.docx", "TARVO_03_2"), kAbrechnung);
  EXPECT_EQ(Tabelle("Rechnung.docx", "TARVO_Neben"), kNebenkosten);
  EXPECT_EQ(Tabelle("Rechnung.docx", "RE_Summe"), kSumme);
  EXPECT_EQ(Datenbankwert("SELECT NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, "
                          "Mehrwertsteuersatz FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
            "110956|0|132038|190");
  EXPECT_NE(lauf.aus.find("Keine Fehler protokolliert."), std::string::npos) << lauf.aus;
  EXPECT_NE(lauf.aus.find("Gebäudeaufnahme nach Nr. 3 (TARVO_03_2)"), std::string::npos)
      << lauf.aus;
}

TEST_F(GebaeudeAuftrag, JsonSummaryListsTheStatement) {
  const Lauf lauf = Ausfuehren(kGebaeude, "Auftrag.json", true);
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  const auto j = nlohmann::json::parse(lauf.aus);
  ASSERT_GE(j["tabellen"].size(), 1u);
  EXPECT_EQ(j["tabellen"][0]["tag"], "TARVO_03_2");
  ASSERT_EQ(j["tabellen"][0]["zeilen"].size(), 2u);
  EXPECT_DOUBLE_EQ(j["tabellen"][0]["zeilen"][0]["betrag"].get<double>(), 591.15);
  EXPECT_DOUBLE_EQ(j["tabellen"][0]["zeilen"][1]["betrag"].get<double>(), 496.65);
  EXPECT_EQ(j["rechnung"]["Brutto"], 132038);
}

TEST_F(GebaeudeAuftrag, PythonDocxReadsTheSameStatement) {
  ASSERT_EQ(Ausfuehren(kGebaeude).status, 0);
  const std::string skript =
      "import docx, json, sys\n"
      "from docx.table import _Cell\n"
      "d = docx.Document(sys.argv[1])\n"
      "t = d.tables[0]\n"
      "zellen = [[_Cell(tc, t).text for tc in tr.tc_lst] for tr in t._tbl.tr_lst]\n"
      "# The share line is the last run of its cell; its size in points.\n"
      "lauf = t._tbl.tr_lst[2].tc_lst[0]\n"
      "groesse = [r.font.size.pt if r.font.size else None\n"
      "           for p in _Cell(lauf, t).paragraphs for r in p.runs]\n"
      "print(json.dumps({'zellen': zellen, 'groesse': groesse}))\n";
  const auto j = PythonLesen(skript);
  ASSERT_FALSE(j.is_null());
  // python-docx shows paragraph marks and manual line breaks alike as "\n".
  auto alsPython = [](std::string text) {
    for (char& c : text)
      if (c == '\r' || c == '\v') c = '\n';
    return text;
  };
  ASSERT_EQ(j["zellen"].size(), kAbrechnung.size());
  for (std::size_t r = 0; r < kAbrechnung.size(); ++r)
    for (std::size_t s = 0; s < 5; ++s) {
      SCOPED_TRACE(std::to_string(r) + "/" + std::to_string(s));
      EXPECT_EQ(j["zellen"][r][s], alsPython(kAbrechnung[r][s]));
    }
  const auto& groesse = j["groesse"];
  ASSERT_FALSE(groesse.empty());
  ASSERT_TRUE(groesse.back().is_number());
  // Two points below the 11-point text of the test letter.
  EXPECT_DOUBLE_EQ(groesse.back().get<double>(), 9.0);
}

TEST_F(GebaeudeAuftrag, LibreOfficeRendersTheStatement) {
  if (Shell("command -v soffice >/dev/null && command -v pdftotext >/dev/null") != 0)
    GTEST_SKIP() << "LibreOffice oder pdftotext fehlt";
  ASSERT_EQ(Ausfuehren(kGebaeude).status, 0);
  const std::string profil = "file://" + (ordner_ / "lo-profil").string();
  ASSERT_EQ(Shell("cd '" + ordner_.string() + "' && timeout 120 soffice -env:UserInstallation=" +
                  profil + " --headless --convert-to pdf Rechnung.docx >/dev/null 2>&1 && " +
                  "pdftotext -layout Rechnung.pdf Rechnung.txt"),
            0);
  const std::string text = DateiLesen(ordner_ / "Rechnung.txt");
  for (const char* erwartet :
       {"Gebäudeaufnahme nach Nr. 3.3", "[m²]", "Wohnhaus mit Garage", "Scheune",
        "Ihr Anteil beträgt 500/1000", "591,15 €", "993,30 €", "496,65 €", "1.320,38"}) {
    EXPECT_NE(text.find(erwartet), std::string::npos) << erwartet << "\n" << text;
  }
  // The parcel, its description and the share line stand on lines of their own.
  const auto parzelle = text.find("Flst.Nr. 412/8");
  ASSERT_NE(parzelle, std::string::npos);
  EXPECT_LT(text.find('\n', parzelle), text.find("Scheune", parzelle));
  EXPECT_LT(text.find('\n', text.find("Scheune", parzelle)),
            text.find("Ihr Anteil beträgt", parzelle));
}

TEST_F(GebaeudeAuftrag, ReopenedAndConfirmedWithoutInputEveryCellStays) {
  ASSERT_EQ(Ausfuehren(kGebaeude).status, 0);
  const auto vorher = Tabellen("Rechnung.docx");
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
    "kategorie": 1,
    "antworten": {"tabellenwahl": 1}
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const auto nachher = Tabellen("Rechnung.docx");
  EXPECT_EQ(nachher, vorher);
  for (const char* tag : {"TARVO_03_2", "TARVO_Neben", "RE_Summe"}) Tabelle("Rechnung.docx", tag);
  EXPECT_EQ(Datenbankwert("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1"), "132038");
}

TEST_F(GebaeudeAuftrag, ReopenedToChangeTheVariantReplacesTheStatementInPlace) {
  ASSERT_EQ(Ausfuehren(kGebaeude).status, 0);
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
    "kategorie": 1,
    "antworten": {"tabellenwahl": 1},
    "aktionen": [{"klick": "Option31"}]
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const Zeilen abrechnung = Tabelle("Rechnung.docx", "TARVO_03_2");
  ASSERT_EQ(abrechnung.size(), 3u);
  EXPECT_EQ(abrechnung[0][0], "Gebäudeaufnahme nach Nr. 3.1\r\r");
  EXPECT_EQ(abrechnung[1][4], "    563,00 €");
  EXPECT_EQ(abrechnung[2][3], "    946,00 €");
  EXPECT_EQ(abrechnung[2][4], "    473,00 €");
  EXPECT_EQ(Tabellen("Rechnung.docx").size(), 3u);
}

// Every row of the statement deleted: one empty row is left, it charges nothing, and the
// incidental costs and the record see no fee of the deleted rows.
TEST_F(GebaeudeAuftrag, DeletingEveryRowLeavesAStatementThatChargesNothing) {
  ASSERT_EQ(Ausfuehren(kGebaeude).status, 0);
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
    "kategorie": 1,
    "antworten": {"tabellenwahl": 1},
    "aktionen": [{"zeilen_markieren": [1, 2]}, {"klick": "CommandLöschen"}]
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const Zeilen abrechnung = Tabelle("Rechnung.docx", "TARVO_03_2");
  ASSERT_EQ(abrechnung.size(), 2u);
  EXPECT_EQ(abrechnung[1], (std::vector<std::string>{"", "", "", "", ""}));
  const Zeilen neben = Tabelle("Rechnung.docx", "TARVO_Neben");
  ASSERT_EQ(neben.size(), 3u);
  EXPECT_EQ(neben[2][2], "       0,00 €");
}

// The invoice as the office keeps it: opened and saved by another word processor between two
// runs. The statement it wrote must still be found, read back and written again unchanged.
TEST_F(GebaeudeAuftrag, ReopenedAfterLibreOfficeSavedTheInvoice) {
  if (Shell("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice fehlt";
  ASSERT_EQ(Ausfuehren(kGebaeude).status, 0);
  const std::string profil = "file://" + (ordner_ / "lo-profil").string();
  ASSERT_EQ(
      Shell("cd '" + ordner_.string() + "' && timeout 120 soffice -env:UserInstallation=" + profil +
            " --headless --convert-to docx --outdir lo Rechnung.docx >/dev/null 2>&1"),
      0);
  ASSERT_TRUE(fs::exists(ordner_ / "lo" / "Rechnung.docx"));
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "lo/Rechnung.docx", "ausgabe": "Wieder.docx", "datenbank": "Auftraege.db",
    "benutzer": 1, "rechnung": 1, "kategorie": 1,
    "antworten": {"tabellenwahl": 1}
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  EXPECT_EQ(Tabelle("Wieder.docx", "TARVO_03_2"), kAbrechnung);
  EXPECT_EQ(Tabelle("Wieder.docx", "RE_Summe"), kSumme);
}

// Letters made by python-docx, not by tarvo, with the marker at the start, in the middle and at
// the end of a paragraph: the statement goes in, the letter's text stays whole, and confirming
// the re-opened statement changes nothing.
TEST_F(GebaeudeAuftrag, PythonDocxLettersWithTheMarkerAnywhereInItsParagraph) {
  if (Shell("/usr/bin/python3 -c 'import docx' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-docx fehlt";
  const std::string skript = TARVO_SOURCE_DIR "/tests/acceptance/briefe.py";
  ASSERT_EQ(Shell("/usr/bin/python3 '" + skript + "' '" + ordner_.string() + "' anfang mitte ende"),
            0);
  const std::string brieftext =
      "Vermessungsbüro Beispiel, DresdenRechnung Nr. 1"
      "Für die Vermessung berechnen wir folgende Leistungen:";
  auto text = [&](const std::string& datei) {
    Shell("/usr/bin/python3 '" + skript + "' --text '" + (ordner_ / datei).string() +
          "' 'Mit freundlichen' > '" + (ordner_ / "text.txt").string() + "'");
    return DateiLesen(ordner_ / "text.txt");
  };
  for (const std::string form : {"anfang", "mitte", "ende"}) {
    SCOPED_TRACE(form);
    std::string job = kGebaeude;
    job.replace(job.find("Vorlage.docx"), 12, "Brief-" + form + ".docx");
    job.replace(job.find("Rechnung.docx"), 13, "R1-" + form + ".docx");
    const Lauf lauf = Ausfuehren(job, form + ".json");
    ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
    EXPECT_EQ(Tabelle("R1-" + form + ".docx", "TARVO_03_2"), kAbrechnung);
    EXPECT_EQ(text("R1-" + form + ".docx"), brieftext);

    const Lauf zweiter = Ausfuehren(R"({"dokument": "R1-)" + form + R"(.docx", "ausgabe": "R2-)" +
                                        form + R"(.docx", "datenbank": "Auftraege.db",
      "benutzer": 1, "rechnung": 1, "kategorie": 1, "antworten": {"tabellenwahl": 1}})",
                                    form + "-2.json");
    ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
    EXPECT_EQ(Tabellen("R2-" + form + ".docx"), Tabellen("R1-" + form + ".docx"));
    EXPECT_EQ(text("R2-" + form + ".docx"), brieftext);
  }
}

TEST_F(GebaeudeAuftrag, DemoAddsTheBuildingSurveyAfterTheParcelDivision) {
  const Lauf lauf = Tarvo("demo Demo");
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  Zeilen erwartet = kAbrechnung;
  erwartet[1][0] = "Flst.Nr. 412/7\vEinfamilienhaus mit Garage";
  EXPECT_EQ(Tabelle("Demo/Rechnung.docx", "TARVO_03_2"), erwartet);
  // After the parcel division of the demo (the totals of the whole demo invoice are checked
  // with all categories together).
  const auto tabellen = Tabellen("Demo/Rechnung.docx");
  std::vector<std::string> tags;
  for (const auto& [tag, zeilen] : tabellen) tags.push_back(tag);
  const auto k1 = std::find(tags.begin(), tags.end(), "TARVO_03_1");
  const auto k2 = std::find(tags.begin(), tags.end(), "TARVO_03_2");
  ASSERT_NE(k2, tags.end());
  EXPECT_LT(k1, k2);
}

}  // namespace
}  // namespace tarvo::abnahme
