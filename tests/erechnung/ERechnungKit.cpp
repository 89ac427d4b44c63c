// Whole invoices to e-invoices: jobs run through `tarvo run`, then `tarvo erechnung` writes the
// XRechnung in CII and UBL (and for some the ZUGFeRD PDF). Every file goes through the
// validation kit (XSD, EN 16931 and XRechnung rules) in one batch, and its amounts are compared
// with the totals table of the saved document and with the invoice record, to the cent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <sstream>

#include "acceptance/Auftrag_helpers.h"
#include "erechnung/Kit.h"
#include "platform/word/Document.h"

namespace tarvo::erechnung {
namespace {

namespace fs = std::filesystem;
using abnahme::DateiLesen;
using abnahme::Shell;

const char* kKat1 = R"({
  "dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx", "datenbank": "Auftraege.db",
  "benutzer": 1, "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Fläche": 1250},
  "kategorie": 0,
  "eingaben": {
    "zeilen": [["Flst.Nr. 412/7 <Süd> & Nord", "II", "1250"], ["Flst.Nr. 412/8", "I", "480"]],
    "mskAnzahl": "8", "mskErmäßigt": "2", "mskGP": "6", "mskGP2": "1", "mskAnteil": "500"
  }
})";

const char* kKat2 = R"({
  "dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx", "datenbank": "Auftraege.db",
  "benutzer": 1, "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Baukosten": 180, "Lage": "Wohnhaus"},
  "kategorie": 1,
  "eingaben": {
    "Option33": true,
    "zeilen": [["Flst.Nr. 412/7", "180", "5", "1000", null, "Wohnhaus mit Garage"],
               ["Flst.Nr. 412/8", "620", "4", "500", null, "Scheune"]]
  }
})";

const char* kKat3 = R"({
  "dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx", "datenbank": "Auftraege.db",
  "benutzer": 1, "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "88/1", "Grenzlänge": 120, "Achslänge": 0},
  "kategorie": 2,
  "eingaben": {
    "zeilen": [[null, "5.1.1", "bis 5", null, null, null, null, null],
               ["Flst.Nr. 88/2", "5.1.2", "über 5 bis 15", "300", "100", "0"],
               ["Flst.Nr. 90", "5.1.3", "über 15", "80", "80", "40", null, null]]
  }
})";

const char* kKat4 = R"({
  "dokument": "Vorlage.docx", "ausgabe": "Rechnung.docx", "datenbank": "Auftraege.db",
  "benutzer": 1, "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "88/2", "AnzahlGrenzpunkte": 5},
  "kategorie": 3,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "zeilen": [[null, null, "1", null, null],
               ["Flst.Nr. 88/3", "2", "2", "500"],
               ["Flst.Nr. 88/4", "3", "0", "333", null]],
    "mskneueAP": "4", "mskGP2": "1", "mskAnteil": "500"
  }
})";

// A second statement on the invoice already written: the totals are computed again over both.
std::string AufRechnung(std::string json) {
  const std::string alt = R"("dokument": "Vorlage.docx")";
  json.replace(json.find(alt), alt.size(), R"("dokument": "Rechnung.docx")");
  return json;
}

struct Fall {
  std::string name;
  fs::path ordner;
  int rechnung = 1;
  bool zugferd = false;
  std::string fehler;                       // what went wrong while setting it up
  std::map<std::string, fs::path> dateien;  // format -> written file
  std::map<std::string, std::string> meldungen;
};

// Puts a comment with `text` on the amount cell (zeile, 5) of the table tagged `tag`.
void KommentarAnBetrag(const fs::path& datei, const std::string& tag, int zeile,
                       const std::string& text) {
  auto dokument = word::Document::Open(datei);
  for (int i = 1; i <= dokument->Tables().Count(); ++i) {
    auto tabelle = dokument->Tables().Item(i);
    auto kommentare = tabelle.Range().Comments();
    if (kommentare.Count() == 0) continue;
    std::string erster = kommentare.Item(1).Range().Text();
    if (!erster.empty() && erster.back() == '\r') erster.pop_back();
    if (erster != tag) continue;
    dokument->Comments().Add(tabelle.Cell(zeile, 5).Range(), text);
  }
  dokument->Save(datei);
}

// The amount of column 4 in the totals table row whose column 1 or 2 reads `label`, in cents,
// as `tarvo inspect --json` shows the saved document.
long long GedruckterBetrag(const fs::path& ordner, const std::string& label) {
  Tarvo(ordner, "inspect Rechnung.docx --json");
  const auto json = nlohmann::json::parse(DateiLesen(ordner / "aus.txt"), nullptr, false);
  if (json.is_discarded()) return -1;
  for (const auto& t : json["tables"]) {
    if (!t["tag"].is_string() || t["tag"] != "RE_Summe") continue;
    for (const auto& zeile : t["cells"]) {
      if (zeile.size() < 4 || !zeile[3].is_string()) continue;
      bool treffer = false;
      for (int s = 0; s < 2; ++s)
        if (zeile[s].is_string() && zeile[s].get<std::string>().find(label) != std::string::npos)
          treffer = true;
      if (!treffer) continue;
      std::string text;
      for (char c : zeile[3].get<std::string>())
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') text += c;
      return std::stoll(text);
    }
  }
  return -1;
}

class ERechnung : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  void SetUp() override {
    if (!kitFehlt_.empty()) GTEST_SKIP() << kitFehlt_;
  }

  static Fall& F(const std::string& name) { return faelle_.at(name); }

  // The kit's verdict on one file: "" when valid, else its ERROR lines.
  static std::string Urteil(const fs::path& datei) {
    auto it = urteile_.find(datei.string());
    return it == urteile_.end() ? "nicht geprüft" : it->second;
  }

  // Checks a case: every format written, valid, and its amounts those of document and record.
  void Pruefen(const std::string& name, const char* betragszeile = "Rechnungsbetrag") {
    const Fall& f = F(name);
    ASSERT_TRUE(f.fehler.empty()) << f.fehler;
    const long long gedruckt = GedruckterBetrag(f.ordner, betragszeile);
    long long gespeichert =
        std::stoll(SqlWert(f.ordner, "SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = " +
                                         std::to_string(f.rechnung)));
    const bool gutschrift = SqlWert(f.ordner,
                                    "SELECT Rechnungsart FROM Rechnung WHERE "
                                    "ID_Rechnungsnummer = " +
                                        std::to_string(f.rechnung)) == "7";
    if (gutschrift) gespeichert = -gespeichert;
    EXPECT_EQ(gedruckt, gespeichert) << "Dokument und Datensatz";
    for (const auto& [format, datei] : f.dateien) {
      if (format == "zugferd-pdf") continue;
      SCOPED_TRACE(format);
      EXPECT_EQ(Urteil(datei), "") << datei;
      const bool cii = format != "xrechnung-ubl";
      const long long faellig = Cent(XmlWert(datei, cii ? "DuePayableAmount" : "PayableAmount"));
      EXPECT_EQ(faellig, gedruckt);
      const long long brutto =
          Cent(XmlWert(datei, cii ? "GrandTotalAmount" : "TaxInclusiveAmount"));
      const std::string bezahlt = XmlWert(datei, cii ? "TotalPrepaidAmount" : "PrepaidAmount");
      const std::string rundung = XmlWert(datei, cii ? "RoundingAmount" : "PayableRoundingAmount");
      EXPECT_EQ(
          brutto - (bezahlt.empty() ? 0 : Cent(bezahlt)) + (rundung.empty() ? 0 : Cent(rundung)),
          faellig);
    }
  }

  static std::map<std::string, Fall> faelle_;
  static std::map<std::string, std::string> urteile_;
  static std::string kitFehlt_;
  static fs::path wurzel_;
};

std::map<std::string, Fall> ERechnung::faelle_;
std::map<std::string, std::string> ERechnung::urteile_;
std::string ERechnung::kitFehlt_;
fs::path ERechnung::wurzel_;

// Sets up one case: template and database, the preparation, the jobs, then the e-invoices.
void Anlegen(Fall& f, const std::vector<std::string>& auftraege,
             const std::function<void(const fs::path&)>& vorher = nullptr,
             const std::function<void(const fs::path&)>& zwischen = nullptr) {
  fs::create_directories(f.ordner);
  abnahme::VorlageAnlegen(f.ordner / "Vorlage.docx");
  abnahme::DatenbankAnlegen(f.ordner / "Auftraege.db");
  if (vorher) vorher(f.ordner);
  for (std::size_t i = 0; i < auftraege.size(); ++i) {
    std::ofstream(f.ordner / "Auftrag.json", std::ios::trunc) << auftraege[i];
    std::string fehler;
    const int status = Tarvo(f.ordner, "run Auftrag.json", &fehler);
    if (status != 0) {
      f.fehler = "tarvo run: " + std::to_string(status) + " " + fehler;
      return;
    }
    if (i == 0 && zwischen) zwischen(f.ordner);
  }
}

void Erzeugen(Fall& f) {
  if (!f.fehler.empty()) return;
  std::vector<std::string> formate = {"xrechnung-cii", "xrechnung-ubl"};
  if (f.zugferd) formate.push_back("zugferd");
  for (const std::string& format : formate) {
    const fs::path ziel =
        f.ordner / (f.name + (format == "zugferd" ? "-zugferd.pdf" : "-" + format + ".xml"));
    std::string fehler;
    const int status = Tarvo(f.ordner,
                             "erechnung Rechnung.docx --datenbank Auftraege.db --rechnung " +
                                 std::to_string(f.rechnung) + " --format " + format +
                                 " --ausgabe '" + ziel.string() + "'",
                             &fehler);
    f.meldungen[format] = fehler;
    if (status != 0) {
      f.fehler +=
          "tarvo erechnung --format " + format + ": " + std::to_string(status) + " " + fehler;
      continue;
    }
    if (format == "zugferd") {
      // The embedded XML goes into the batch as well.
      const fs::path xml = f.ordner / (f.name + "-zugferd-eingebettet.xml");
      Shell("qpdf --show-attachment=factur-x.xml '" + ziel.string() + "' > '" + xml.string() + "'");
      f.dateien["zugferd"] = xml;
      f.dateien["zugferd-pdf"] = ziel;
    } else {
      f.dateien[format] = ziel;
    }
  }
}

void ERechnung::SetUpTestSuite() {
  kitFehlt_ = KitFehlt();
  if (!kitFehlt_.empty()) return;
  wurzel_ = fs::temp_directory_path() / ("tarvo-erechnung-" + std::to_string(::getpid()));
  fs::remove_all(wurzel_);
  const bool libreoffice = Shell("command -v soffice >/dev/null") == 0;
  auto fall = [&](const std::string& name, bool zugferd) -> Fall& {
    Fall& f = faelle_[name];
    f.name = name;
    f.ordner = wurzel_ / name;
    f.zugferd = zugferd && libreoffice;
    return f;
  };

  Anlegen(fall("kat1", true), {kKat1});
  Anlegen(fall("kat2", false), {kKat2});
  Anlegen(fall("kat3", false), {kKat3});
  Anlegen(fall("kat4", false), {kKat4});
  Anlegen(fall("vier", true), {kKat1, AufRechnung(kKat2), AufRechnung(kKat3), AufRechnung(kKat4)});
  Anlegen(fall("abschlag40", false), {kKat1},
          [](const fs::path& o) { Sql(o, "UPDATE TempDoc SET AbschlagProzent = 40"); });
  Anlegen(fall("abschlagbetrag", false), {kKat2}, [](const fs::path& o) {
    Sql(o, "UPDATE TempDoc SET AbschlagAbsolut = 333.33, AbschlagProzent = 100");
  });
  Anlegen(fall("schluss", false), {kKat1}, [](const fs::path& o) {
    Sql(o,
        "UPDATE Rechnung SET Rechnungsart = 4;"
        "INSERT INTO Rechnung VALUES (2, '2026-A1', 1, 5, 40000, 0, 47600, 190);"
        "INSERT INTO Rechnung VALUES (3, '2026-A2', 1, 5, 20000, 1050, 24850, 190);"
        "INSERT INTO Termine VALUES (2, 2, 8, '2026-09-01');"
        "INSERT INTO Termine VALUES (3, 3, 8, '2026-10-15');");
  });
  Anlegen(fall("gutschrift", true), {kKat4},
          [](const fs::path& o) { Sql(o, "UPDATE Rechnung SET Rechnungsart = 7"); });
  // A VAT-free amount and a second rate, given by comments on amount cells; the second job
  // recomputes the totals over the commented table.
  Anlegen(fall("zweisaetze", false), {kKat1, AufRechnung(kKat2)}, nullptr, [](const fs::path& o) {
    KommentarAnBetrag(o / "Rechnung.docx", "TARVO_03_1A", 3, "7");
    KommentarAnBetrag(o / "Rechnung.docx", "TARVO_03_1", 3, "0");
  });
  Anlegen(
      fall("abschlagzweisaetze", false), {kKat1, AufRechnung(kKat4)},
      [](const fs::path& o) { Sql(o, "UPDATE TempDoc SET AbschlagProzent = 50"); },
      [](const fs::path& o) { KommentarAnBetrag(o / "Rechnung.docx", "TARVO_03_1", 3, "7"); });

  std::vector<fs::path> xml;
  for (auto& [name, f] : faelle_) {
    Erzeugen(f);
    for (const auto& [format, datei] : f.dateien)
      if (format != "zugferd-pdf") xml.push_back(datei);
  }
  urteile_ = KitPruefen(xml, wurzel_ / "kit.txt");
}

void ERechnung::TearDownTestSuite() {
  if (!wurzel_.empty() && !std::getenv("TARVO_ERECHNUNG_BEHALTEN")) fs::remove_all(wurzel_);
}

TEST_F(ERechnung, CategoryOneWithReductionRowAndMarkupInNames) {
  Pruefen("kat1");
  // The reduction is a line of its own with a negative amount, the names keep < and &.
  const auto xml = DateiLesen(F("kat1").dateien.at("xrechnung-cii"));
  EXPECT_NE(xml.find("<ram:LineTotalAmount>-77.00</ram:LineTotalAmount>"), std::string::npos);
  EXPECT_NE(xml.find("Flst.Nr. 412/7 &lt;Süd&gt; &amp; Nord"), std::string::npos);
}

TEST_F(ERechnung, CategoryTwoAlone) {
  Pruefen("kat2");
}
TEST_F(ERechnung, CategoryThreeAlone) {
  Pruefen("kat3");
}
TEST_F(ERechnung, CategoryFourAlone) {
  Pruefen("kat4");
}
TEST_F(ERechnung, FourCategoriesOnOneInvoice) {
  Pruefen("vier");
}

TEST_F(ERechnung, PartialPaymentAsPercentageChargesThePrintedPart) {
  Pruefen("abschlag40");
  const Fall& f = F("abschlag40");
  EXPECT_EQ(Cent(XmlWert(f.dateien.at("xrechnung-cii"), "TaxBasisTotalAmount")),
            GedruckterBetrag(f.ordner, "Abschlagszahlung"));
  EXPECT_EQ(XmlWert(f.dateien.at("xrechnung-ubl"), "InvoiceTypeCode"), "326");
}

TEST_F(ERechnung, PartialPaymentAsAmount) {
  Pruefen("abschlagbetrag");
}

TEST_F(ERechnung, FinalInvoiceDeductsTwoEarlierInvoicesAsPaid) {
  Pruefen("schluss", "verbl. Restbetrag");
  const Fall& f = F("schluss");
  EXPECT_EQ(Cent(XmlWert(f.dateien.at("xrechnung-cii"), "TotalPrepaidAmount")), 47600 + 24850);
  EXPECT_EQ(Cent(XmlWert(f.dateien.at("xrechnung-ubl"), "PrepaidAmount")), 47600 + 24850);
}

TEST_F(ERechnung, CreditNoteIsACreditNote) {
  Pruefen("gutschrift");
  const Fall& f = F("gutschrift");
  EXPECT_EQ(XmlWert(f.dateien.at("xrechnung-cii"), "TypeCode"), "381");
  pugi::xml_document ubl;
  ubl.load_file(f.dateien.at("xrechnung-ubl").c_str());
  EXPECT_STREQ(ubl.document_element().name(), "CreditNote");
}

TEST_F(ERechnung, VatFreeAmountAndSecondRateFromCellComments) {
  Pruefen("zweisaetze");
  const auto xml = DateiLesen(F("zweisaetze").dateien.at("xrechnung-cii"));
  EXPECT_NE(xml.find("<ram:CategoryCode>E</ram:CategoryCode>"), std::string::npos);
  EXPECT_NE(xml.find("<ram:RateApplicablePercent>7</ram:RateApplicablePercent>"),
            std::string::npos);
}

TEST_F(ERechnung, PartialPaymentWithTwoRates) {
  Pruefen("abschlagzweisaetze");
}

TEST_F(ERechnung, ZugferdPdfCarriesTheInvoice) {
  const Fall& f = F("kat1");
  if (!f.dateien.count("zugferd-pdf")) GTEST_SKIP() << "LibreOffice fehlt";
  const fs::path pdf = f.dateien.at("zugferd-pdf");
  const int status = Shell("'" + (Kit() / "validate-facturx-pdf.sh").string() + "' '" +
                           pdf.string() + "' > '" + (f.ordner / "pdf.txt").string() + "' 2>&1");
  EXPECT_EQ(status, 0) << DateiLesen(f.ordner / "pdf.txt");
  Shell("pdfinfo -meta '" + pdf.string() + "' > '" + (f.ordner / "xmp.txt").string() + "'");
  const std::string xmp = DateiLesen(f.ordner / "xmp.txt");
  EXPECT_NE(xmp.find("<pdfaid:part>3</pdfaid:part>"), std::string::npos);
  EXPECT_NE(xmp.find("<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>"), std::string::npos);
  EXPECT_NE(xmp.find("<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>"), std::string::npos);
  Shell("pdftotext '" + pdf.string() + "' '" + (f.ordner / "text.txt").string() + "'");
  const std::string text = DateiLesen(f.ordner / "text.txt");
  EXPECT_NE(text.find("Rechnungsbetrag"), std::string::npos);
  EXPECT_NE(text.find("1.627,10"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::erechnung
