#include "Auftrag_helpers.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo::abnahme {

namespace fs = std::filesystem;

int Shell(const std::string& befehl) {
  const int status = std::system(befehl.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string DateiLesen(const fs::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::ostringstream inhalt;
  inhalt << ein.rdbuf();
  return inhalt.str();
}

void VorlageAnlegen(const fs::path& datei) {
  auto dokument = word::Document::New();
  const std::string text =
      "Rechnung Nr. 2026-001\rWir berechnen:\rZusammenfassung\r"
      "Netto 0,00 € zuzüglich MwSt 0,00 € ergibt Brutto 0,00 €, Auslagen 0,00 €.\r"
      "Gesamt 0,00 €\r";
  dokument->Range(0, 0).InsertAfter(text);
  // Each marker comment on its word; positions count characters, not bytes.
  auto stelle = [&](const std::string& wort) {
    const std::size_t byte = text.find(wort);
    std::int32_t zeichen = 0;
    for (std::size_t i = 0; i < byte; ++i)
      zeichen += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return zeichen;
  };
  const std::pair<const char*, const char*> marken[] = {
      {"Zusammenfassung", "lumoStart"}, {"Netto", "lumoNetto"},       {"MwSt", "lumoMwSt"},
      {"Brutto", "lumoBrutto"},         {"Auslagen", "lumoAuslagen"}, {"Gesamt", "lumoGesamt"}};
  for (const auto& [wort, marke] : marken) {
    const std::int32_t anfang = stelle(wort);
    dokument->Comments().Add(
        dokument->Range(anfang, anfang + static_cast<std::int32_t>(std::string(wort).size())),
        marke);
  }
  dokument->Save(datei);
}

void DatenbankAnlegen(const fs::path& datei) {
  dao::Workspace arbeitsbereich;
  auto datenbank = arbeitsbereich.CreateDatabase(datei.string());
  datenbank->Execute(std::string(dao::JobDatabaseSchema()));
  datenbank->Execute(std::string(dao::JobDatabaseSample()));
  datenbank->Close();
}

void AuftragTest::SetUp() {
  ordner_ =
      fs::temp_directory_path() / ("tarvo-abnahme-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(ordner_);
  fs::create_directories(ordner_ / "log");
  VorlageAnlegen(ordner_ / "Vorlage.docx");
  DatenbankAnlegen(ordner_ / "Auftraege.db");
}

void AuftragTest::TearDown() {
  if (!HasFailure()) fs::remove_all(ordner_);
}

Lauf AuftragTest::Tarvo(const std::string& argumente) const {
  Lauf lauf;
  const fs::path aus = ordner_ / "stdout.txt", fehler = ordner_ / "stderr.txt";
  // A log folder of its own, and a settings folder, so runs never share files.
  lauf.status =
      Shell("cd '" + ordner_.string() + "' && TARVO_LOG_DIR='" + (ordner_ / "log").string() +
            "' TARVO_CONFIG_DIR='" + ordner_.string() + "' '" + TARVO_EXE + "' " + argumente +
            " >'" + aus.string() + "' 2>'" + fehler.string() + "'");
  lauf.aus = DateiLesen(aus);
  lauf.fehler = DateiLesen(fehler);
  return lauf;
}

Lauf AuftragTest::Ausfuehren(const std::string& json, const std::string& name, bool alsJson) const {
  std::ofstream(ordner_ / name, std::ios::trunc) << json;
  return Tarvo("run '" + name + "'" + (alsJson ? " --json" : ""));
}

std::vector<std::pair<std::string, Zeilen>> AuftragTest::Tabellen(const std::string& datei) const {
  const Lauf lauf = Tarvo("inspect '" + datei + "' --json");
  EXPECT_EQ(lauf.status, 0) << lauf.fehler;
  std::vector<std::pair<std::string, Zeilen>> tabellen;
  const auto json = nlohmann::json::parse(lauf.aus, nullptr, false);
  if (json.is_discarded() || !json.contains("tables")) return tabellen;
  for (const auto& t : json["tables"]) {
    Zeilen zeilen;
    for (const auto& zeile : t["cells"]) {
      std::vector<std::string> zellen;
      for (const auto& zelle : zeile) {
        if (zellen.size() == 5) break;
        if (zelle.is_string()) zellen.push_back(zelle.get<std::string>());
      }
      zeilen.push_back(zellen);
    }
    tabellen.emplace_back(t["tag"].is_string() ? t["tag"].get<std::string>() : "", zeilen);
  }
  return tabellen;
}

Zeilen AuftragTest::Tabelle(const std::string& datei, const std::string& tag) const {
  Zeilen gefunden;
  int anzahl = 0;
  for (auto& [t, zeilen] : Tabellen(datei)) {
    if (t != tag) continue;
    ++anzahl;
    gefunden = zeilen;
  }
  EXPECT_EQ(anzahl, 1) << "Tabellen mit dem Tag " << tag;
  return gefunden;
}

nlohmann::json AuftragTest::PythonLesen(const std::string& skript) const {
  std::ofstream(ordner_ / "lesen.py") << skript;
  const int status = Shell("cd '" + ordner_.string() +
                           "' && /usr/bin/python3 lesen.py Rechnung.docx > python.json");
  EXPECT_EQ(status, 0) << "python-docx konnte Rechnung.docx nicht lesen";
  if (status != 0) return nullptr;
  return nlohmann::json::parse(DateiLesen(ordner_ / "python.json"));
}

Zeilen Nebenkostentabelle(const std::string& summe, const std::string& gebuehr,
                          const std::string& anteil) {
  return {
      {"Auslagen nach Nr. 1.3\v", "", "", "", ""},
      {"Nebenkosten nach 1.3.2 ", "", "Summe", "Gebühr", "Ihr Anteil"},
      {"2% nach Nr.2 bis 7, 8.1 bis 8.4, 8.8 und 8.9 mind. 20€", "", summe, gebuehr, anteil},
  };
}

Zeilen Summentabelle(const std::string& netto, const std::string& mwst, const std::string& brutto) {
  return {
      {"", "Summe", "", netto},
      {"", "Mehrwertsteuer 19 %", netto, mwst},
      {"", "", "", ""},
      {"", "Rechnungsbetrag", "", brutto},
  };
}

std::string AuftragTest::Datenbankwert(const std::string& sql) const {
  const fs::path aus = ordner_ / "sqlite.txt";
  Shell("sqlite3 '" + (ordner_ / "Auftraege.db").string() + "' \"" + sql + "\" >'" + aus.string() +
        "'");
  std::string wert = DateiLesen(aus);
  while (!wert.empty() && (wert.back() == '\n' || wert.back() == '\r')) wert.pop_back();
  return wert;
}

}  // namespace tarvo::abnahme
