// Whole boundary restoration jobs through `tarvo run`: the saved invoice read back with tarvo's
// own reader, with python-docx and with LibreOffice, the invoice record with sqlite3, and the
// statement re-opened and confirmed. The expectations are the tables a surveyor checks, to the
// cent.
#include <fstream>

#include "Auftrag_helpers.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;

// Three parcels under Nr. 4.1: the first as the form fills it (5 points of the job) with one
// reduced point, two shared rows; marking under 6.1 and 6.22 with a half share.
const char* kGrenzwiederherstellung = R"({
  "dokument": "Vorlage.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "88/2", "AnzahlGrenzpunkte": 5},
  "kategorie": 3,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "zeilen": [[null, null, "1", null, null],
               ["Flst.Nr. 88/3", "2", "2", "500"],
               ["Flst.Nr. 88/4", "3", "0", "333", null]],
    "mskneueAP": "4",
    "mskGP2": "1",
    "mskAnteil": "500"
  }
})";

const Zeilen kAbrechnung = {
    {"Grenzwiederherstellung nach Nr. 4.1\r\rFlurstücke", "\r\rGrenzpunkte", "\r\rermäßigt",
     "\r\rGebühr", "\r\rIhr Anteil"},
    {"Flst.Nr. 88/2", " 5", "   1", "", "1247,00 €"},  // table 4: 1324 − 77
    {"Flst.Nr. 88/3\vIhr Anteil beträgt 500/1000", "   2", "   2", "511,00 €", "  255,50 €"},
    {"Flst.Nr. 88/4\vIhr Anteil beträgt 333/1000", "   3", "   0", "849,00 €", "  283,00 €"},
};
const Zeilen kAbmarkung = {
    {"Abmarkung von Grenzpunkten nach Nr. 6\r(Ihr Anteil beträgt 500 /1000)", "", "", "", ""},
    {"", "Anzahl", "Gebühr je Punkt", "Gebühr", "Ihr Anteil"},
    {"Abgemarkte Grenzpunkte nach Nr. 6.1", "4  ", "26 €", "104,00 €", "   52,00 €"},
    {"Abgemarkte Grenzpunkte nach Nr. 6.22", "1  ", "61 €", "61,00 €", "   30,50 €"},
};
// Fees 2.772,00 €; the client's share 1.868,00 €, of which 2 % = 37,36 €.
const Zeilen kNebenkosten = Nebenkostentabelle("   2.772,00 €", "      55,44 €", "      37,36 €");
// 1247 + 255,50 + 283 + 52 + 30,50 + 37,36 = 1.905,36 € net; 19 % = 362,02 €.
const Zeilen kSumme = Summentabelle("   1.905,36 €", "     362,02 €", "   2.267,38 €");

using Kat4Auftrag = AuftragTest;

TEST_F(Kat4Auftrag, WholeRestorationInvoiceToTheCent) {
  const Lauf lauf = Ausfuehren(kGrenzwiederherstellung);
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  const auto tabellen = Tabellen("Rechnung.docx");
  ASSERT_EQ(tabellen.size(), 4u);
  EXPECT_EQ(tabellen[0], std::make_pair(std::string("TARVO_03_4"), kAbrechnung));
  EXPECT_EQ(tabellen[1], std::make_pair(std::string("TARVO_03_4A"), kAbmarkung));
  EXPECT_EQ(tabellen[2], std::make_pair(std::string("TARVO_Neben"), kNebenkosten));
  EXPECT_EQ(tabellen[3], std::make_pair(std::string("RE_Summe"), kSumme));
  EXPECT_EQ(Datenbankwert("SELECT NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, "
                          "Mehrwertsteuersatz FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
            "190536|0|226738|190");
  EXPECT_NE(lauf.aus.find("Keine Fehler protokolliert."), std::string::npos) << lauf.aus;
  EXPECT_NE(lauf.aus.find("Brutto                          2.267,38 €"), std::string::npos)
      << lauf.aus;
}

TEST_F(Kat4Auftrag, PythonDocxReadsTheSameTablesWidthsAndFonts) {
  ASSERT_EQ(Ausfuehren(kGrenzwiederherstellung).status, 0);
  const std::string skript =
      "import docx, json, sys\n"
      "from docx.table import _Cell\n"
      "d = docx.Document(sys.argv[1])\n"
      "def zellen(t):\n"
      "    return [[_Cell(tc, t) for tc in tr.tc_lst] for tr in t._tbl.tr_lst]\n"
      "aus = {'texte': [[[c.text for c in z] for z in zellen(t)] for t in d.tables]}\n"
      "t = zellen(d.tables[0])\n"
      "aus['breiten'] = [round(c.width / 360000, 2) for c in t[1]]\n"
      "aus['breitenAbmarkung'] = [round(c.width / 360000, 2) for c in zellen(d.tables[1])[2]]\n"
      "notiz = [r for p in t[2][0].paragraphs for r in p.runs]\n"
      "aus['notiz'] = [[r.text, r.font.size.pt if r.font.size else None] for r in notiz]\n"
      "titel = [r for p in t[0][0].paragraphs for r in p.runs]\n"
      "aus['titel'] = [[r.text, r.bold, r.underline] for r in titel]\n"
      "print(json.dumps(aus))\n";
  const auto j = PythonLesen(skript);
  ASSERT_FALSE(j.is_null());
  ASSERT_EQ(j["texte"].size(), 4u);
  // python-docx reads paragraph marks and line breaks as "\n".
  const auto& abrechnung = j["texte"][0];
  EXPECT_EQ(abrechnung[0][0], "Grenzwiederherstellung nach Nr. 4.1\n\nFlurstücke");
  EXPECT_EQ(abrechnung[0][4], "\n\nIhr Anteil");
  EXPECT_EQ(abrechnung[2][0], "Flst.Nr. 88/3\nIhr Anteil beträgt 500/1000");
  EXPECT_EQ(abrechnung[3][4], "  283,00 €");
  EXPECT_EQ(j["texte"][1][3][4], "   30,50 €");
  EXPECT_EQ(j["texte"][3][3][3], "   2.267,38 €");
  EXPECT_EQ(j["breiten"], nlohmann::json::parse("[8.0, 2.5, 2.13, 2.37, 2.5]"));
  EXPECT_EQ(j["breitenAbmarkung"], nlohmann::json::parse("[7.37, 1.63, 3.63, 2.37, 2.5]"));
  // The note line is 9 pt beside the letter's 11 pt; the title and "Flurstücke" are bold.
  ASSERT_EQ(j["notiz"].size(), 3u);
  EXPECT_EQ(j["notiz"][2], nlohmann::json::parse(R"(["Ihr Anteil beträgt 500/1000", 9.0])"));
  EXPECT_EQ(j["titel"].front()[1], true);
  EXPECT_EQ(j["titel"].back(), nlohmann::json::parse(R"(["Flurstücke", true, false])"));
}

TEST_F(Kat4Auftrag, LibreOfficeRendersTheInvoice) {
  if (Shell("command -v soffice >/dev/null && command -v pdftotext >/dev/null") != 0)
    GTEST_SKIP() << "LibreOffice oder pdftotext fehlt";
  ASSERT_EQ(Ausfuehren(kGrenzwiederherstellung).status, 0);
  const std::string profil = "file://" + (ordner_ / "lo-profil").string();
  ASSERT_EQ(Shell("cd '" + ordner_.string() + "' && timeout 120 soffice -env:UserInstallation=" +
                  profil + " --headless --convert-to pdf Rechnung.docx >/dev/null 2>&1 && " +
                  "pdftotext -layout Rechnung.pdf Rechnung.txt"),
            0);
  const std::string text = DateiLesen(ordner_ / "Rechnung.txt");
  for (const char* erwartet :
       {"Grenzwiederherstellung nach Nr. 4.1", "Flurstücke", "Grenzpunkte", "ermäßigt",
        "Ihr Anteil beträgt 333/1000", "1247,00 €", "283,00 €", "(Ihr Anteil beträgt 500 /1000)",
        "Abgemarkte Grenzpunkte nach Nr. 6.22", "Rechnungsbetrag", "2.267,38"}) {
    EXPECT_NE(text.find(erwartet), std::string::npos) << erwartet << "\n" << text;
  }
  EXPECT_EQ(text.find("Gesamt 0,00"), std::string::npos) << text;
}

TEST_F(Kat4Auftrag, ReopenedAndConfirmedWithoutInputKeepsEveryAmount) {
  ASSERT_EQ(Ausfuehren(kGrenzwiederherstellung).status, 0);
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
    "kategorie": 3,
    "antworten": {"tabellenwahl": 1}
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const auto tabellen = Tabellen("Rechnung.docx");
  ASSERT_EQ(tabellen.size(), 4u);
  EXPECT_EQ(tabellen[0].first, "TARVO_03_4");
  EXPECT_EQ(tabellen[1].first, "TARVO_03_4A");
  // The statement is written again as it was; read back, the fees of the grid are shown in
  // eight places, which the statement's amounts do not show.
  EXPECT_EQ(tabellen[0].second, kAbrechnung);
  // The marking counts and the share come back as written ("500 /1000" stays as it was).
  EXPECT_EQ(tabellen[1].second, kAbmarkung);
  EXPECT_EQ(tabellen[3].second, kSumme);
  EXPECT_EQ(
      Datenbankwert("SELECT NettoRechnung, Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
      "190536|226738");
}

TEST_F(Kat4Auftrag, ReopensTheStatementAfterLibreOfficeSavedTheInvoice) {
  if (Shell("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice fehlt";
  ASSERT_EQ(Ausfuehren(kGrenzwiederherstellung).status, 0);
  // LibreOffice writes the invoice anew: its own table, comment and line break markup.
  const std::string profil = "file://" + (ordner_ / "lo-profil").string();
  ASSERT_EQ(Shell("cd '" + ordner_.string() + "' && mkdir -p lo && timeout 120 soffice " +
                  "-env:UserInstallation=" + profil + " --headless --convert-to " +
                  "'docx:MS Word 2007 XML' --outdir lo Rechnung.docx >/dev/null 2>&1"),
            0);
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "lo/Rechnung.docx", "ausgabe": "Wieder.docx", "datenbank": "Auftraege.db",
    "benutzer": 1, "rechnung": 1, "kategorie": 3, "antworten": {"tabellenwahl": 1}
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const auto tabellen = Tabellen("Wieder.docx");
  ASSERT_EQ(tabellen.size(), 4u);
  EXPECT_EQ(tabellen[0], std::make_pair(std::string("TARVO_03_4"), kAbrechnung));
  EXPECT_EQ(tabellen[1].second.at(3).at(4), "   30,50 €");
  EXPECT_EQ(tabellen[3].second, kSumme);
}

TEST_F(Kat4Auftrag, Nr42AndAChangedRowReplaceTheStatementInPlace) {
  ASSERT_EQ(Ausfuehren(kGrenzwiederherstellung).status, 0);
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
    "kategorie": 3,
    "antworten": {"tabellenwahl": 1},
    "eingaben": {"Option42": true, "mskneueAP": "0", "mskGP2": "0"},
    "aktionen": [{"zelle": [2, 4], "eingabe": "1000"}]
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const auto tabellen = Tabellen("Rechnung.docx");
  ASSERT_EQ(tabellen.size(), 3u);  // both counts 0: the marking table is gone
  EXPECT_EQ(tabellen[0].first, "TARVO_03_4");
  const Zeilen& abrechnung = tabellen[0].second;
  ASSERT_EQ(abrechnung.size(), 4u);
  EXPECT_EQ(abrechnung[0][0], "Grenzwiederherstellung nach Nr. 4.2\r\rFlurstücke");
  EXPECT_EQ(abrechnung[1][4], "872,90 €");  // 0,7 × 1247
  EXPECT_EQ(abrechnung[2], (std::vector<std::string>{"Flst.Nr. 88/3", "   2", "   2", "",
                                                     "303,80 €"}));  // 0,7 × 434, no minimum
  EXPECT_EQ(abrechnung[3][4], "  198,10 €");                         // a third of 594,30
  // 872,90 + 303,80 + 198,10 = 1.374,80; 2 % = 27,50 (27,496); 1.402,30 € net.
  EXPECT_EQ(Datenbankwert("SELECT NettoRechnung FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
            "140230");
}

// An amount cell ("  1.385,00 €", "-77,00 €") in cents; 0 for a cell without an amount.
long long Cent(const std::string& zelle) {
  if (zelle.find("€") == std::string::npos) return 0;
  std::string ziffern;
  for (char c : zelle)
    if ((c >= '0' && c <= '9') || c == '-') ziffern += c;
  return ziffern.empty() ? 0 : std::stoll(ziffern);
}

TEST_F(Kat4Auftrag, DemoInvoiceCarriesTheRestorationAndAddsUpToTheCent) {
  const Lauf lauf = Tarvo("demo Demo");
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  const auto tabellen = Tabellen("Demo/Rechnung.docx");
  const Zeilen abrechnung = Tabelle("Demo/Rechnung.docx", "TARVO_03_4");
  ASSERT_EQ(abrechnung.size(), 3u);
  EXPECT_EQ(abrechnung[1], (std::vector<std::string>{"Flst.Nr. 412/9", " 6", "   2", "",
                                                     "1385,00 €"}));  // 1539 − 2 × 77
  EXPECT_EQ(abrechnung[2][4], "  424,50 €");                          // half of 849
  EXPECT_EQ(Tabelle("Demo/Rechnung.docx", "TARVO_03_4A")[2][4], "78,00 €");
  EXPECT_EQ(Tabelle("Demo/Rechnung.docx", "TARVO_03_1").size(), 8u);
  // One incidental costs table and one totals table for every category of the invoice; the net
  // sum is column 5 of every other table, VAT 19 % of it, to the cent.
  long long netto = 0;
  int summentabellen = 0, nebenkosten = 0;
  Zeilen summe;
  for (const auto& [tag, zeilen] : tabellen) {
    if (tag == "RE_Summe") {
      ++summentabellen;
      summe = zeilen;
      continue;
    }
    nebenkosten += tag == "TARVO_Neben";
    for (const auto& zeile : zeilen) netto += Cent(zeile.at(4));
  }
  EXPECT_EQ(nebenkosten, 1);
  ASSERT_EQ(summentabellen, 1);
  ASSERT_EQ(summe.size(), 4u);
  const long long mwst = (netto * 19 + 50) / 100;
  EXPECT_EQ(Cent(summe[0][3]), netto);
  EXPECT_EQ(Cent(summe[1][3]), mwst);
  EXPECT_EQ(Cent(summe[3][3]), netto + mwst);
  // The demo's invoice record holds the same amounts.
  const std::string db = (ordner_ / "Demo" / "Auftraege.db").string();
  EXPECT_EQ(Shell("test \"$(sqlite3 '" + db +
                  "' 'SELECT NettoRechnung || \" \" || Brutto FROM Rechnung "
                  "WHERE ID_Rechnungsnummer = 1')\" = '" +
                  std::to_string(netto) + " " + std::to_string(netto + mwst) + "'"),
            0);
  EXPECT_NE(lauf.aus.find("== Auftrag-Kategorie4.json =="), std::string::npos);
}

}  // namespace
}  // namespace tarvo::abnahme
