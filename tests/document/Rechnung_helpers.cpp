#include "document/Rechnung_helpers.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "fees/modStatus.h"
#include "platform/controls/Bildschirm.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"

namespace tarvo::testhilfe {

namespace {

// Number of characters (not bytes) of a UTF-8 text.
std::int32_t Zeichenzahl(const std::string& text) {
  std::int32_t n = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

}  // namespace

void RechnungTest::SetUp() {
  Status().Zuruecksetzen();
  TabellenNummer = 0;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  ordner_ = std::filesystem::path(::testing::TempDir()) / "tarvo_document" /
            (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(ordner_);
  std::filesystem::create_directories(ordner_);
  if (!std::getenv("TARVO_LOG_DIR")) setenv("TARVO_LOG_DIR", ordner_.c_str(), 1);
  bildschirm_ = std::make_shared<controls::Kopflos>(ordner_ / "einstellungen.ini");
  controls::Bildschirm::Setzen(bildschirm_);
  Status().Mehrwertsteuersatz = 16;
  Status().AbschlagProzent = 100;
  Status().AbschlagAbsolut = 0;
  Brief({""});
}

void RechnungTest::TearDown() {
  Status().Zuruecksetzen();
  controls::Bildschirm::Setzen(nullptr);
}

void RechnungTest::Brief(const std::vector<std::string>& absaetze) {
  doc_ = word::Document::New();
  std::string text;
  for (std::size_t i = 0; i < absaetze.size(); ++i) {
    if (i > 0) text += "\r";
    text += absaetze[i];
  }
  auto anfang = doc_->Content();
  anfang.Collapse(word::wdCollapseStart);
  anfang.InsertBefore(text);
  Status().Doc = doc_;
  Status().WordApp = doc_->Application();
}

void RechnungTest::Rechnungsbrief() {
  Brief({"Vermessungsbüro Beispiel, Dresden", "Rechnung Nr. 2026-117",
         "Für die Zerlegungsvermessung berechnen wir Ihnen:", "Leistungen",
         "Gesamtbetrag: 1.234,50 € zu zahlen bis zum Zahlungsziel.", "Netto: 0,00 €.",
         "Mehrwertsteuer: 0,00 €", "Brutto: 0,00 €, Brutto: 0,00 €.",
         "Auslagen ohne Umsatzsteuer: 0,00 €", "Mit freundlichen Grüßen"});
  Marke("Leistungen", "lumoStart");
  Marke("Gesamtbetrag:", "lumoGesamt");
  Marke("Netto:", "lumoNetto");
  Marke("Mehrwertsteuer:", "lumoMwSt");
  Marke("Brutto:", "lumoBrutto");
  Marke("Brutto:", "lumoBrutto", 2);
  Marke("Umsatzsteuer:", "lumoAuslagen");
}

word::Comment RechnungTest::Marke(const std::string& stelle, const std::string& text,
                                  int vorkommen) {
  const std::string inhalt = doc_->Content().Text();
  auto pos = inhalt.find(stelle);
  for (int i = 1; i < vorkommen && pos != std::string::npos; ++i)
    pos = inhalt.find(stelle, pos + 1);
  EXPECT_NE(pos, std::string::npos) << stelle;
  if (pos == std::string::npos) return {};
  const std::int32_t start = Zeichenzahl(inhalt.substr(0, pos));
  return doc_->Comments().Add(doc_->Range(start, start + Zeichenzahl(stelle)), text);
}

word::Table RechnungTest::Gebuehrentabelle(const Zeilen& zeilen, const std::string& tag) {
  auto stelle = NeueTabellenstelle();
  auto tabelle = doc_->Tables().Add(stelle, static_cast<std::int32_t>(zeilen.size()), 5);
  for (std::size_t r = 0; r < zeilen.size(); ++r) {
    for (std::size_t c = 0; c < zeilen[r].size() && c < 5; ++c) {
      if (!zeilen[r][c].empty()) {
        tabelle.Cell(static_cast<std::int32_t>(r + 1), static_cast<std::int32_t>(c + 1))
            .Range()
            .InsertAfter(zeilen[r][c]);
      }
    }
  }
  if (!tag.empty()) BookmarkSetzen(tabelle, tag);
  return tabelle;
}

void RechnungTest::Satz(const word::Table& tabelle, int zeile, int spalte,
                        const std::string& text) {
  doc_->Comments().Add(tabelle.Cell(zeile, spalte).Range(), text);
}

Zeilen RechnungTest::Inhalt(const word::Table& tabelle) {
  Zeilen zeilen;
  const std::int32_t spalten = tabelle.Columns().Count();
  for (std::int32_t r = 1; r <= tabelle.Rows().Count(); ++r) {
    std::vector<std::string> zeile;
    for (std::int32_t c = 1; c <= spalten; ++c) zeile.push_back(ZellText(tabelle, r, c));
    zeilen.push_back(zeile);
  }
  return zeilen;
}

std::vector<word::Table> RechnungTest::TabellenMitTag(const std::string& tag) const {
  std::vector<word::Table> gefunden;
  auto tabellen = doc_->Tables();
  for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
    if (ErsterKommentar(tabellen.Item(i)) == tag) gefunden.push_back(tabellen.Item(i));
  }
  return gefunden;
}

std::optional<word::Table> RechnungTest::TabelleMitTag(const std::string& tag) const {
  auto gefunden = TabellenMitTag(tag);
  if (gefunden.empty()) return std::nullopt;
  return gefunden.front();
}

std::string RechnungTest::Absatz(const std::string& anfang) const {
  std::stringstream text(doc_->Content().Text());
  std::string absatz;
  while (std::getline(text, absatz, '\r')) {
    if (absatz.rfind(anfang, 0) == 0) return absatz;
  }
  return "(kein Absatz beginnt mit " + anfang + ")";
}

std::vector<std::string> RechnungTest::Kommentare() const {
  std::vector<std::string> texte;
  auto kommentare = doc_->Comments();
  for (std::int32_t i = 1; i <= kommentare.Count(); ++i) {
    texte.push_back(KommentarText(kommentare.Item(i)));
  }
  return texte;
}

void RechnungTest::Datenbank(int rechnungsart) {
  dao::Workspace ws;
  ws.BusyTimeout = std::chrono::milliseconds(300);
  db_ = ws.CreateDatabase((ordner_ / "auftrag.db").string());
  db_->Execute(std::string(dao::JobDatabaseSchema()));
  db_->Execute(
      "INSERT INTO Version (ID_Version, Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel) "
      "VALUES (1, 'Zahlbar bis <14> ohne Abzug', 26, 0);");
  db_->Execute(
      "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, "
      "Rechnungsart) VALUES (1, '2026-117', 12, " +
      std::to_string(rechnungsart) + ");");
  db_->Execute(
      "INSERT INTO Termine (ID_Rechnungsnummer, ID_Terminart, Datum) VALUES (1, 8, "
      "'2026-12-01');");
  Status().NeueAbfrage = db_;
  Status().Rechnung = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
}

void RechnungTest::FruehereRechnung(int id, const std::string& nummer, long netto, long frei,
                                    long brutto, const std::string& datum) {
  db_->Execute(
      "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, "
      "Rechnungsart, NettoRechnung, MehrwertsteuerFreierbetrag, Brutto) VALUES (" +
      std::to_string(id) + ", '" + nummer + "', 12, 5, " + std::to_string(netto) + ", " +
      std::to_string(frei) + ", " + std::to_string(brutto) + ");");
  if (!datum.empty()) {
    db_->Execute("INSERT INTO Termine (ID_Rechnungsnummer, ID_Terminart, Datum) VALUES (" +
                 std::to_string(id) + ", 8, '" + datum + "');");
  }
}

Variant RechnungTest::Gespeichert(const std::string& name) {
  auto satz = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  return satz->Fields(name).Value();
}

std::filesystem::path RechnungTest::Speichern(const std::string& name) {
  auto pfad = ordner_ / name;
  doc_->Save(pfad);
  return pfad;
}

std::optional<std::string> LibreOfficeText(const std::filesystem::path& docx) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) return std::nullopt;
  const auto ordner = docx.parent_path();
  const auto profil = ordner / "lo-profil";
  const std::string befehl =
      "cd '" + ordner.string() + "' && soffice -env:UserInstallation=file://" + profil.string() +
      " --headless --convert-to pdf '" + docx.filename().string() + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(befehl.c_str()), 0) << befehl;
  auto pdf = docx;
  pdf.replace_extension(".pdf");
  auto txt = docx;
  txt.replace_extension(".txt");
  const std::string text = "pdftotext -layout '" + pdf.string() + "' '" + txt.string() + "'";
  EXPECT_EQ(std::system(text.c_str()), 0) << text;
  std::ifstream ein(txt);
  std::stringstream inhalt;
  inhalt << ein.rdbuf();
  return inhalt.str();
}

}  // namespace tarvo::testhilfe
