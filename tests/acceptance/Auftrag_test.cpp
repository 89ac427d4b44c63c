// Whole jobs through `tarvo run`: the saved invoice read back with tarvo's own reader, with
// python-docx and with LibreOffice, and the invoice record with sqlite3. The expectations are
// the tables a surveyor checks, cell by cell, to the cent.
#include <fstream>

#include "Auftrag_helpers.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;

// Two parcels, part a with reduced points, boundary marks under 6.1 and 6.22, a half share.
const char* kGanzeRechnung = R"({
  "dokument": "Vorlage.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Fläche": 1250},
  "kategorie": 0,
  "eingaben": {
    "zeilen": [["Flst.Nr. 412/7", "II", "1250"], ["Flst.Nr. 412/8", "I", "480"]],
    "mskAnzahl": "8",
    "mskErmäßigt": "2",
    "mskGP": "6",
    "mskGP2": "1",
    "mskAnteil": "500"
  }
})";

const Zeilen kAbrechnung = {
    {"Katastervermessung zum Zweck der Bildung von Flurstücken nach Nr. 2\r"
     "(Ihr Anteil beträgt 500 /1000)",
     "", "", "", ""},
    {"Gebührenteil a) Grenzwiederherstellung", "", "Anz. Grenzpkt.", "Gebühr", "Ihr Anteil"},
    {"", "", "8  ", "  1.570,00 €", "    785,00 €"},
    {"", "davon ermäßigt", "2  ", "   -154,00 €", "    -77,00 €"},
    {"", "", "", "", ""},
    {"Gebührenteil b) Grenzfeststellung", "Kategorie", "Fläche", "Gebühr", "Ihr Anteil"},
    {"Flst.Nr. 412/7", "II", "1250", "    639,00 €", "    319,50 €"},
    {"Flst.Nr. 412/8", "I", " 480", "    409,00 €", "    204,50 €"},
};
const Zeilen kAbmarkung = {
    {"Abmarkung von Grenzpunkten nach Nr. 6", "", "", "", ""},
    {"", "Anzahl", "Gebühr je Punkt", "Gebühr", "Ihr Anteil"},
    {"Abgemarkte Grenzpunkte nach Nr. 6.1", "6  ", "26 €", "    156,00 €", "     78,00 €"},
    {"Abgemarkte Grenzpunkte nach Nr. 6.22", "1  ", "61 €", "     61,00 €", "     30,50 €"},
};
// Fees 2.681,00 €, of which the client pays half: 2 % = 53,62 €, the half 26,81 €.
const Zeilen kNebenkosten = Nebenkostentabelle("   2.681,00 €", "      53,62 €", "      26,81 €");
// 785 − 77 + 319,50 + 204,50 + 78 + 30,50 + 26,81 = 1.367,31 € net; 19 % = 259,79 €.
const Zeilen kSumme = Summentabelle("   1.367,31 €", "     259,79 €", "   1.627,10 €");

using Auftrag = AuftragTest;

TEST_F(Auftrag, WholeCategoryOneInvoiceToTheCent) {
  const Lauf lauf = Ausfuehren(kGanzeRechnung);
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  EXPECT_EQ(Tabelle("Rechnung.docx", "TARVO_03_1"), kAbrechnung);
  EXPECT_EQ(Tabelle("Rechnung.docx", "TARVO_03_1A"), kAbmarkung);
  EXPECT_EQ(Tabelle("Rechnung.docx", "TARVO_Neben"), kNebenkosten);
  EXPECT_EQ(Tabelle("Rechnung.docx", "RE_Summe"), kSumme);
  // Amounts in hundredths of a euro, the rate in tenths of a percent.
  EXPECT_EQ(Datenbankwert("SELECT NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, "
                          "Mehrwertsteuersatz FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
            "136731|0|162710|190");
  EXPECT_NE(lauf.aus.find("Keine Fehler protokolliert."), std::string::npos) << lauf.aus;
  EXPECT_NE(lauf.aus.find("Brutto                          1.627,10 €"), std::string::npos)
      << lauf.aus;
  // The template is left as it was.
  EXPECT_EQ(Tabellen("Vorlage.docx").size(), 0u);
}

TEST_F(Auftrag, PythonDocxReadsTheSameStatement) {
  ASSERT_EQ(Ausfuehren(kGanzeRechnung).status, 0);
  const std::string skript =
      "import docx, json, sys\n"
      "from docx.table import _Cell\n"
      "d = docx.Document(sys.argv[1])\n"
      "aus = []\n"
      "# One entry per cell element: python-docx 0.8 repeats or shifts spanned cells in\n"
      "# row.cells, so the cells are read from the row elements themselves.\n"
      "for t in d.tables:\n"
      "    aus.append([[_Cell(tc, t).text for tc in tr.tc_lst] for tr in t._tbl.tr_lst])\n"
      "print(json.dumps(aus))\n";
  const auto tabellen = PythonLesen(skript);
  ASSERT_FALSE(tabellen.is_null());
  ASSERT_EQ(tabellen.size(), 4u);
  // python-docx shows paragraph marks as "\n"; the title cell's two paragraphs:
  EXPECT_EQ(tabellen[0][0][0],
            "Katastervermessung zum Zweck der Bildung von Flurstücken nach Nr. 2\n"
            "(Ihr Anteil beträgt 500 /1000)");
  for (std::size_t r = 1; r < kAbrechnung.size(); ++r) {
    SCOPED_TRACE(r);
    const auto& zeile = tabellen[0][r];
    ASSERT_EQ(zeile.size(), 5u);
    for (std::size_t s = 0; s < 5; ++s) EXPECT_EQ(zeile[s], kAbrechnung[r][s]);
  }
  EXPECT_EQ(tabellen[1][3][4], "     30,50 €");
  EXPECT_EQ(tabellen[3][3][3], "   1.627,10 €");
}

TEST_F(Auftrag, LibreOfficeRendersTheInvoice) {
  if (Shell("command -v soffice >/dev/null && command -v pdftotext >/dev/null") != 0)
    GTEST_SKIP() << "LibreOffice oder pdftotext fehlt";
  ASSERT_EQ(Ausfuehren(kGanzeRechnung).status, 0);
  const std::string profil = "file://" + (ordner_ / "lo-profil").string();
  ASSERT_EQ(Shell("cd '" + ordner_.string() + "' && timeout 120 soffice -env:UserInstallation=" +
                  profil + " --headless --convert-to pdf Rechnung.docx >/dev/null 2>&1 && " +
                  "pdftotext -layout Rechnung.pdf Rechnung.txt"),
            0);
  const std::string text = DateiLesen(ordner_ / "Rechnung.txt");
  for (const char* erwartet : {"(Ihr Anteil beträgt 500 /1000)", "Flst.Nr. 412/7", "Flst.Nr. 412/8",
                               "davon", "Abgemarkte Grenzpunkte", "Auslagen nach Nr. 1.3",
                               "Rechnungsbetrag", "1.627,10", "Zahlbar bis"}) {
    EXPECT_NE(text.find(erwartet), std::string::npos) << erwartet << "\n" << text;
  }
  // The amount fields of the letter text carry the new amounts.
  EXPECT_NE(text.find("Gesamt"), std::string::npos);
  EXPECT_EQ(text.find("Gesamt 0,00"), std::string::npos) << text;
}

TEST_F(Auftrag, SecondRunOnTheInvoiceReplacesTheStatementInPlace) {
  ASSERT_EQ(Ausfuehren(kGanzeRechnung).status, 0);
  const Lauf zweiter = Ausfuehren(R"({
    "dokument": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
    "kategorie": 0,
    "antworten": {"tabellenwahl": 1},
    "aktionen": [{"zelle": [2, 3], "eingabe": "150"}]
  })",
                                  "Zweiter.json");
  ASSERT_EQ(zweiter.status, 0) << zweiter.aus << zweiter.fehler;
  const auto tabellen = Tabellen("Rechnung.docx");
  ASSERT_EQ(tabellen.size(), 4u);
  EXPECT_EQ(tabellen[0].first, "TARVO_03_1");
  EXPECT_EQ(tabellen[1].first, "TARVO_03_1A");
  const Zeilen& abrechnung = tabellen[0].second;
  EXPECT_EQ(abrechnung[7], (std::vector<std::string>{"Flst.Nr. 412/8", "I", " 150", "    256,00 €",
                                                     "    128,00 €"}));
  // The share re-read from the title as it was typed and written.
  EXPECT_EQ(abrechnung[0][0],
            "Katastervermessung zum Zweck der Bildung von Flurstücken nach Nr. 2\r"
            "(Ihr Anteil beträgt 500 /1000)");
  // 1.367,31 − (204,50 − 128,00) − the share of 2 % of 153,00 €: 1.289,28 € net.
  EXPECT_EQ(Datenbankwert("SELECT NettoRechnung FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
            "128928");
}

TEST_F(Auftrag, FieldsArePlayedInTheOrderOfTheFile) {
  // Ticking the reduction recalculates and so replaces a percentage typed before it.
  const char* vorlage = R"({
    "dokument": "Vorlage.docx", "ausgabe": "%s", "datenbank": "Auftraege.db",
    "benutzer": 1, "kategorie": 0,
    "eingaben": {"zeilen": [["A", "I", "100"], ["B", "I", "100"]], %s}
  })";
  char eins[600], zwei[600];
  std::snprintf(eins, sizeof eins, vorlage, "Eins.docx",
                R"("MaskEdBoxErmäßigung": "7", "CheckBoxEinsichtnahme": true)");
  std::snprintf(zwei, sizeof zwei, vorlage, "Zwei.docx",
                R"("CheckBoxEinsichtnahme": true, "MaskEdBoxErmäßigung": "7")");
  ASSERT_EQ(Ausfuehren(eins, "Eins.json").status, 0);
  ASSERT_EQ(Ausfuehren(zwei, "Zwei.json").status, 0);
  EXPECT_EQ(Tabelle("Eins.docx", "TARVO_03_1").size(), 7u);
  const Zeilen zweite = Tabelle("Zwei.docx", "TARVO_03_1");
  ASSERT_EQ(zweite.size(), 8u);
  EXPECT_EQ(zweite[7][0], "Die Gebühr nach Gebührenteil b) ist um 7% ermäßigt");
  EXPECT_EQ(zweite[7][4], "    -35,84 €");  // 7 % of 2 × 256,00 €
}

TEST_F(Auftrag, JsonSummaryNamesAmountsAndRecord) {
  const Lauf lauf = Ausfuehren(kGanzeRechnung, "Auftrag.json", true);
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  const auto j = nlohmann::json::parse(lauf.aus);
  EXPECT_EQ(j["gespeichert"], true);
  EXPECT_EQ(j["rechnung"]["Brutto"], 162710);
  EXPECT_EQ(j["fehler"]["anzahl"], 0);
  ASSERT_EQ(j["tabellen"].size(), 3u);
  EXPECT_EQ(j["tabellen"][0]["tag"], "TARVO_03_1");
  EXPECT_DOUBLE_EQ(j["tabellen"][0]["zeilen"][2]["betrag"].get<double>(), 319.5);
  EXPECT_DOUBLE_EQ(j["summen"].back()["betrag"].get<double>(), 1627.1);
}

TEST_F(Auftrag, CancelWritesNothing) {
  const Lauf lauf = Ausfuehren(R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx",
    "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1, "kategorie": 0,
    "abschluss": "Abbruch"})");
  EXPECT_EQ(lauf.status, 0) << lauf.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));
  EXPECT_EQ(Datenbankwert("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1"), "0");
}

TEST_F(Auftrag, LoggedErrorsGiveStatusThreeAndSaySo) {
  // User 7 has no settings row: Show logs every field it cannot read; the job still runs.
  const Lauf lauf = Ausfuehren(R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx",
    "datenbank": "Auftraege.db", "benutzer": 7, "kategorie": 0})");
  EXPECT_EQ(lauf.status, 3) << lauf.aus << lauf.fehler;
  EXPECT_NE(lauf.aus.find("ACHTUNG"), std::string::npos) << lauf.aus;
  EXPECT_NE(lauf.aus.find("Verw.log"), std::string::npos) << lauf.aus;
  EXPECT_TRUE(fs::exists(ordner_ / "Rechnung.docx"));
  EXPECT_NE(DateiLesen(ordner_ / "log" / "Verw.log").find("Ort  : Rechnung.Show"),
            std::string::npos);
}

TEST_F(Auftrag, UnusableInputStopsWithStatusTwoAndWritesNothing) {
  std::ofstream(ordner_ / "Kaputt.docx") << "kein Word-Dokument";
  struct Fall {
    const char* name;
    std::string json;
    const char* meldung;
  } fälle[] = {
      {"kein JSON", "{ dokument: ", "kein gültiges JSON"},
      {"ohne Datenbank", R"({"dokument": "Vorlage.docx"})", "»datenbank« fehlt"},
      {"Dokument fehlt", R"({"dokument": "Fehlt.docx", "datenbank": "Auftraege.db"})",
       "Fehlt.docx"},
      {"Dokument kaputt", R"({"dokument": "Kaputt.docx", "datenbank": "Auftraege.db"})",
       "Kaputt.docx"},
      {"Datenbank fehlt", R"({"dokument": "Vorlage.docx", "datenbank": "Fehlt.db"})", "Datenbank"},
      {"Datenbank ist keine", R"({"dokument": "Vorlage.docx", "datenbank": "Kaputt.docx"})",
       "Datenbank"},
      {"Rechnung fehlt",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "rechnung": 99})",
       "Rechnung 99"},
      {"Eigenschaft falsch",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "auftrag": {"Fläche": "abc"}})",
       "»Fläche«"},
      {"Eigenschaft unbekannt",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "auftrag": {"Farbe": 1}})",
       "»Farbe«"},
      {"Feld unbekannt",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "eingaben": {"mskX": "1"}})",
       "»mskX«"},
      {"Buchstaben im Zahlenfeld",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "eingaben": {"mskAnteil": "1/2"}})",
       "nur Ziffern"},
      {"Kategorie ohne Formular",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "kategorie": 9})",
       "kein Gebührenformular"},
      {"Kategorie II gibt es nicht im Raster",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "eingaben": {"zeilen": [["A", "V", "1"]]}})",
       "»V«"},
      {"Aktion unbekannt",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "aktionen": [{"tanzen": 1}]})",
       "Aktion 1"},
      {"Zelle außerhalb",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "aktionen": [{"zelle": [9, 1], "klick": true}]})",
       "Aktion 1 von »aktionen«: die Zelle (9, 1) gibt es nicht; das Raster hat die Zeilen 1 bis 1 "
       "und die Spalten 1 bis 4."},
      {"Spalte 0",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "aktionen": [{"zelle": [1, 0], "eingabe": "5"}]})",
       "die Zelle (1, 0) gibt es nicht"},
      {"Rechnungsnummer jenseits von 32 Bit",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "rechnung": 4.7e38})",
       "»rechnung« muss eine ganze Zahl sein"},
      {"Zeile jenseits von 32 Bit",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "aktionen": [{"zelle": [4294967297, 3], "eingabe": "1"}]})",
       "»zelle« muss [ZEILE, SPALTE] sein"},
      {"NUL im Dateinamen",
       R"({"dokument": "Vorlage.docx\u0000.txt", "datenbank": "Auftraege.db"})",
       "»dokument« enthält das Zeichen U+0000"},
      {"U+FFFE in einer Eigenschaft",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "auftrag": {"Flurstücksnummer": "12\uFFFE"}})",
       "»auftrag.Flurstücksnummer« enthält das Zeichen U+FFFE"},
      {"U+FFFF in einer Zelle",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "eingaben": {"zeilen": [["A\uFFFF", "I", "1"]]}})",
       "die Zelle (1, 1) von »eingaben.zeilen« enthält das Zeichen U+FFFF"},
      {"Zeile zum Markieren fehlt",
       R"({"dokument": "Vorlage.docx", "datenbank": "Auftraege.db", "aktionen": [{"zeilen_markieren": [1, 4]}]})",
       "die Zelle (4, 1) gibt es nicht"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.name);
    const Lauf lauf = Ausfuehren(fall.json);
    EXPECT_EQ(lauf.status, 2) << lauf.aus << lauf.fehler;
    EXPECT_NE(lauf.fehler.find(fall.meldung), std::string::npos) << lauf.fehler;
    EXPECT_NE(lauf.fehler.find("Es wurde nichts gespeichert."), std::string::npos);
    EXPECT_FALSE(fs::exists(ordner_ / "Vorlage.docx.tmp"));
  }
  EXPECT_EQ(Tabellen("Vorlage.docx").size(), 0u);
  EXPECT_EQ(Tarvo("run Fehlt.json").status, 2);
}

// Devices and FIFOs as document, output or job file: refused before anything is opened, so
// nothing hangs, nothing reads without end and no device is replaced by a regular file.
TEST_F(Auftrag, OnlyRegularFilesAreReadOrReplaced) {
  ASSERT_EQ(Shell("mkfifo '" + (ordner_ / "Rohr.docx").string() + "' '" +
                  (ordner_ / "Rohr.json").string() + "'"),
            0);
  struct Fall {
    const char* name;
    std::string json;
    const char* meldung;
  } fälle[] = {
      {"FIFO als Dokument", R"({"dokument": "Rohr.docx", "datenbank": "Auftraege.db"})",
       "ist eine FIFO"},
      {"Gerät als Dokument", R"({"dokument": "/dev/zero", "datenbank": "Auftraege.db"})",
       "»/dev/zero« ist ein Gerät"},
      {"Gerät als Ausgabe",
       R"({"dokument": "Vorlage.docx", "ausgabe": "/dev/null", "datenbank": "Auftraege.db"})",
       "»/dev/null« ist ein Gerät"},
      {"FIFO als Ausgabe",
       R"({"dokument": "Vorlage.docx", "ausgabe": "Rohr.docx", "datenbank": "Auftraege.db"})",
       "ist eine FIFO"},
      {"Sperrdatei als Ausgabe",
       R"({"dokument": "Vorlage.docx", "ausgabe": ".Vorlage.docx.sperre", "datenbank": "Auftraege.db"})",
       "ist eine Sperrdatei"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.name);
    const Lauf lauf = Ausfuehren(fall.json);
    EXPECT_EQ(lauf.status, 2) << lauf.aus << lauf.fehler;
    EXPECT_NE(lauf.fehler.find(fall.meldung), std::string::npos) << lauf.fehler;
  }
  const Lauf rohr = Tarvo("run Rohr.json");
  EXPECT_EQ(rohr.status, 2);
  EXPECT_NE(rohr.fehler.find("ist eine FIFO"), std::string::npos) << rohr.fehler;
  EXPECT_EQ(Shell("test -c /dev/null && test -p '" + (ordner_ / "Rohr.docx").string() + "'"), 0);
  EXPECT_EQ(Tabellen("Vorlage.docx").size(), 0u);
}

// Settings that would make a plainly wrong invoice refuse the job before the form opens;
// what the conversions turn into a sensible rate passes.
TEST_F(Auftrag, SettingsThatMakeAWrongInvoiceRefuseTheJob) {
  const std::string zurueck =
      "UPDATE TempDoc SET AbschlagProzent = 100, AbschlagAbsolut = 0, Mehrwertsteuersatz = 190";
  struct Fall {
    const char* setzen;
    const char* meldung;
  } fälle[] = {
      {"AbschlagProzent = NULL", "TempDoc.AbschlagProzent ist leer (NULL)"},
      {"AbschlagProzent = -50", "TempDoc.AbschlagProzent ist »-50«"},
      {"AbschlagProzent = 0", "TempDoc.AbschlagProzent ist »0«"},
      {"AbschlagAbsolut = -100", "TempDoc.AbschlagAbsolut ist »-100«"},
      {"AbschlagProzent = 150", "TempDoc.AbschlagProzent ist »150«"},
      {"Mehrwertsteuersatz = NULL", "TempDoc.Mehrwertsteuersatz ist leer (NULL)"},
      {"Mehrwertsteuersatz = ''", "TempDoc.Mehrwertsteuersatz ist leer"},
      {"Mehrwertsteuersatz = -190", "TempDoc.Mehrwertsteuersatz ist »-190«"},
  };
  for (const Fall& fall : fälle) {
    SCOPED_TRACE(fall.setzen);
    Datenbankwert(zurueck + ", " + fall.setzen);
    const Lauf lauf = Ausfuehren(kGanzeRechnung);
    EXPECT_EQ(lauf.status, 2) << lauf.aus << lauf.fehler;
    EXPECT_NE(lauf.fehler.find(fall.meldung), std::string::npos) << lauf.fehler;
    EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));
  }
  // 77 tenths are 8 % by the conversion of the settings: computed as such.
  Datenbankwert(zurueck + ", Mehrwertsteuersatz = 77");
  const Lauf lauf = Ausfuehren(kGanzeRechnung);
  EXPECT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  EXPECT_EQ(Datenbankwert("SELECT Mehrwertsteuersatz FROM Rechnung WHERE ID_Rechnungsnummer = 1"),
            "80");
}

// A record value never becomes part of a query: a final invoice whose job number holds the
// text "1 OR 1=1" deducts no other job's partial invoices; the key is refused and logged.
TEST_F(Auftrag, ARecordValueIsNeverSplicedIntoAQuery) {
  Datenbankwert(
      "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, "
      "Rechnungsart, NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, Mehrwertsteuersatz) "
      "VALUES (2, '2026-002', 7, 5, 50000, 0, 59500, 190); "
      "INSERT INTO Termine (ID_Termin, ID_Rechnungsnummer, ID_Terminart, Datum) "
      "VALUES (2, 2, 8, '2026-11-01'); "
      "UPDATE Rechnung SET Rechnungsart = 4, ID_Auftragsnummer = '1 OR 1=1' "
      "WHERE ID_Rechnungsnummer = 1");
  const Lauf lauf = Ausfuehren(kGanzeRechnung);
  EXPECT_EQ(lauf.status, 3) << lauf.aus << lauf.fehler;
  for (const auto& [tag, zeilen] : Tabellen("Rechnung.docx"))
    for (const auto& zeile : zeilen)
      for (const auto& zelle : zeile)
        EXPECT_EQ(zelle.find("2026-002"), std::string::npos) << "another job's invoice deducted";
}

// Negative numbers in rows: a share is refused, naming row and column; an area is computed as
// the fee table defines it for negative values, and the report says so.
TEST_F(Auftrag, NegativeRowValuesAreRefusedOrComputedWithAHint) {
  const Lauf anteil = Ausfuehren(R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx",
    "datenbank": "Auftraege.db", "rechnung": 1, "kategorie": 3,
    "eingaben": {"zeilen": [["Flst.Nr. 413", "3", "0", "-1000"]]}})");
  EXPECT_EQ(anteil.status, 2) << anteil.aus << anteil.fehler;
  EXPECT_NE(anteil.fehler.find("Zeile 1, Spalte 4: ein negativer Anteil (»-1000«)"),
            std::string::npos)
      << anteil.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));

  const Lauf flaeche = Ausfuehren(R"({"dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx",
    "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1, "kategorie": 0,
    "eingaben": {"zeilen": [["Flst.Nr. 1", "I", "-1"]]}})",
                                  "Auftrag.json", true);
  EXPECT_EQ(flaeche.status, 0) << flaeche.aus << flaeche.fehler;
  const auto bericht = nlohmann::json::parse(flaeche.aus);
  ASSERT_EQ(bericht["hinweise"].size(), 1u) << flaeche.aus;
  EXPECT_NE(bericht["hinweise"][0].get<std::string>().find("Zeile 1, Spalte 3: der negative Wert"),
            std::string::npos);
}

TEST_F(Auftrag, AWrongCallIsNamedInGerman) {
  const std::pair<const char*, const char*> fälle[] = {
      {"", "Es fehlt ein Befehl."},
      {"tanzen", "Unbekannter Befehl »tanzen«."},
      {"run", "Es fehlt die Angabe AUFTRAG."},
      {"run --schnell Auftrag.json", "Unbekannte oder überzählige Angabe: --schnell."},
  };
  for (const auto& [argumente, meldung] : fälle) {
    SCOPED_TRACE(argumente);
    const Lauf lauf = Tarvo(argumente);
    EXPECT_EQ(lauf.status, 2);
    EXPECT_NE(lauf.fehler.find(std::string("Fehler: ") + meldung), std::string::npos)
        << lauf.fehler;
    EXPECT_EQ(lauf.fehler.find(" is "), std::string::npos) << lauf.fehler;
  }
}

TEST_F(Auftrag, EveryHelpPageIsGerman) {
  for (const char* befehl :
       {"", "run", "demo", "inspect", "roundtrip", "init-db", "gebuehr", "gebuehr tabelle1"}) {
    SCOPED_TRACE(befehl);
    const Lauf hilfe = Tarvo(std::string(befehl) + " --help");
    EXPECT_EQ(hilfe.status, 0);
    EXPECT_NE(hilfe.aus.find("Aufruf:"), std::string::npos) << hilfe.aus;
    EXPECT_NE(hilfe.aus.find("Optionen:\n  -h,--help"), std::string::npos) << hilfe.aus;
    for (const char* englisch : {"Usage", "Options", "OPTIONS", "Positionals", "REQUIRED"})
      EXPECT_EQ(hilfe.aus.find(englisch), std::string::npos) << englisch << "\n" << hilfe.aus;
  }
}

TEST_F(Auftrag, DemoBuildsTheInvoiceAndRefusesForeignFiles) {
  const Lauf lauf = Tarvo("demo Demo");
  ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
  EXPECT_TRUE(fs::exists(ordner_ / "Demo" / "Rechnung.docx"));
  EXPECT_EQ(Tabelle("Demo/Rechnung.docx", "TARVO_03_1"), kAbrechnung);
  EXPECT_NE(lauf.aus.find("Rechnungsbetrag  1.627,10 €"), std::string::npos) << lauf.aus;
  // Running it again replaces its own files.
  EXPECT_EQ(Tarvo("demo Demo").status, 0);
  // A folder with a file the demo did not make is left alone.
  fs::create_directories(ordner_ / "Fremd");
  std::ofstream(ordner_ / "Fremd" / "Rechnung.docx") << "meins";
  const Lauf fremd = Tarvo("demo Fremd");
  EXPECT_EQ(fremd.status, 2);
  EXPECT_NE(fremd.fehler.find("überschreibt keine fremden Dateien"), std::string::npos);
  EXPECT_EQ(DateiLesen(ordner_ / "Fremd" / "Rechnung.docx"), "meins");
}

}  // namespace
}  // namespace tarvo::abnahme
