#include "Demo.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "auftrag/AuftragBericht.h"
#include "auftrag/AuftragDatei.h"
#include "auftrag/AuftragLauf.h"
#include "auftrag/Kontext.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"
#include "platform/word/docx/Package.h"

namespace tarvo::auftrag {
namespace {

namespace fs = std::filesystem;

constexpr const char* kListe = "tarvo-demo.txt";
constexpr const char* kVorlage = "Vorlage.docx";
constexpr const char* kDatenbank = "Auftraege.db";
constexpr const char* kRechnung = "Rechnung.docx";
constexpr const char* kPdf = "Rechnung.pdf";

// One job file per category form that exists.
struct Demoauftrag {
  const char* datei;
  const char* json;
};
const Demoauftrag kAuftraege[] = {
    {"Auftrag-Kategorie1.json", R"({
  "dokument": "Vorlage.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Fläche": 1250},
  "kategorie": 0,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "zeilen": [["Flst.Nr. 412/7", "II", "1250"],
               ["Flst.Nr. 412/8", "I", "480"]],
    "mskAnzahl": "8",
    "mskErmäßigt": "2",
    "mskGP": "6",
    "mskGP2": "1",
    "mskAnteil": "500"
  },
  "abschluss": "OK"
}
)"},
    {"Auftrag-Kategorie2.json", R"({
  "dokument": "Rechnung.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Baukosten": 180, "Lage": "Einfamilienhaus"},
  "kategorie": 1,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "Option33": true,
    "zeilen": [["Flst.Nr. 412/7", "180", "5", "1000", null, "Einfamilienhaus mit Garage"],
               ["Flst.Nr. 412/8", "620", "4", "500", null, "Scheune"]]
  },
  "abschluss": "OK"
}
)"},
    {"Auftrag-Kategorie3.json", R"({
  "dokument": "Rechnung.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Grenzlänge": 250, "Achslänge": 0},
  "kategorie": 2,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "zeilen": [["Flst.Nr. 412/7", "5.1.2", "über 5 bis 15", "250", "0", "0"],
               ["Flst.Nr. 412/8", "5.1.1", "bis 5", "180", "60", "40"]]
  },
  "abschluss": "OK"
}
)"},
    {"Auftrag-Kategorie4.json", R"({
  "dokument": "Rechnung.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": 1,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/9", "AnzahlGrenzpunkte": 6},
  "kategorie": 3,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "zeilen": [[null, null, "2", null],
               ["Flst.Nr. 413", "3", "0", "500"]],
    "Option41": true,
    "mskneueAP": "3",
    "mskGP2": "0"
  },
  "abschluss": "OK"
}
)"},
};

std::size_t Zeichen(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

// Builds the letter paragraph by paragraph and remembers where marked words stand.
class Brief {
 public:
  struct Stelle {
    std::int32_t anfang, ende;
  };
  Stelle Absatz(const std::string& text) { return Teil(text, true); }
  Stelle Teil(const std::string& text, bool absatzEnde = false) {
    const auto anfang = static_cast<std::int32_t>(länge_);
    text_ += text;
    länge_ += Zeichen(text);
    const Stelle stelle{anfang, static_cast<std::int32_t>(länge_)};
    if (absatzEnde) {
      text_ += "\r";
      ++länge_;
    }
    return stelle;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::size_t länge_ = 0;
};

std::vector<std::string> ListeLesen(const fs::path& ordner) {
  std::vector<std::string> namen;
  std::ifstream ein(ordner / kListe);
  for (std::string zeile; std::getline(ein, zeile);)
    if (!zeile.empty()) namen.push_back(zeile);
  return namen;
}

// The files the demo makes; refuses when one exists that an earlier demo did not make.
std::vector<std::string> Dateien() {
  std::vector<std::string> namen = {kVorlage, kDatenbank, kRechnung, kPdf};
  for (const Demoauftrag& a : kAuftraege) namen.push_back(a.datei);
  return namen;
}

void Freimachen(const fs::path& ordner) {
  const bool mitListe = fs::exists(ordner / kListe);
  const std::vector<std::string> gemacht =
      mitListe ? ListeLesen(ordner) : std::vector<std::string>{};
  for (const std::string& name : Dateien()) {
    if (!fs::exists(ordner / name)) continue;
    if (std::find(gemacht.begin(), gemacht.end(), name) == gemacht.end()) {
      throw Laufzeitfehler(58, "Im Ordner »" + ordner.string() + "« gibt es schon »" + name +
                                   "«, das nicht von »tarvo demo« stammt. Die Demo überschreibt "
                                   "keine fremden Dateien; bitte einen anderen Ordner wählen.");
    }
  }
  for (const std::string& name : gemacht) fs::remove(ordner / name);
}

void ListeSchreiben(const fs::path& ordner, const std::vector<std::string>& namen) {
  std::ofstream aus(ordner / kListe, std::ios::trunc);
  for (const std::string& name : namen) aus << name << "\n";
}

// soffice in PATH, or empty.
fs::path LibreOffice() {
  const char* pfad = std::getenv("PATH");
  std::stringstream teile(pfad ? pfad : "");
  for (std::string teil; std::getline(teile, teil, ':');) {
    const fs::path kandidat = fs::path(teil) / "soffice";
    if (!teil.empty() && ::access(kandidat.c_str(), X_OK) == 0) return kandidat;
  }
  return {};
}

// Converts `docx` to PDF beside it with a private LibreOffice profile; false when it failed.
bool NachPdf(const fs::path& soffice, const fs::path& docx) {
  std::error_code keinTemp;
  std::string muster = (fs::temp_directory_path(keinTemp) / "tarvo-lo-XXXXXX").string();
  if (keinTemp || !::mkdtemp(muster.data())) return false;
  const fs::path profil = muster;
  const std::string profilArg = "-env:UserInstallation=file://" + profil.string();
  const std::string ziel = docx.parent_path().empty() ? "." : docx.parent_path().string();
  const pid_t kind = ::fork();
  if (kind == 0) {
    ::alarm(300);  // a conversion that hangs ends the converter, not the demo
    const int leer = ::open("/dev/null", O_WRONLY);
    if (leer >= 0) {
      ::dup2(leer, 1);
      ::dup2(leer, 2);
    }
    ::execl(soffice.c_str(), "soffice", profilArg.c_str(), "--headless", "--convert-to", "pdf",
            "--outdir", ziel.c_str(), docx.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 1;
  if (kind > 0) ::waitpid(kind, &status, 0);
  std::error_code egal;
  fs::remove_all(profil, egal);
  return kind > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A blank package set up as the office's letter paper: Arial 10 pt (shown with a metric twin
// where Arial is missing) and margins of 2 cm left and 1.5 cm right, so that the 17.5 cm wide
// fee tables fit the text width and the amount columns hold their bold totals on one line.
std::shared_ptr<word::Document> Briefpapier() {
  word::docx::Package paket = word::docx::Package::Blank();
  auto ersetzen = [&](const std::string& teil, const std::string& alt, const std::string& neu) {
    std::string text = paket.PartBytes(teil);
    const auto stelle = text.find(alt);
    if (stelle == std::string::npos) return;
    text.replace(stelle, alt.size(), neu);
    paket.SetPart(teil, text);
  };
  ersetzen("word/styles.xml", "<w:sz w:val=\"22\"/><w:szCs w:val=\"22\"/>",
           "<w:sz w:val=\"20\"/><w:szCs w:val=\"20\"/>");
  ersetzen(paket.MainPartName(), "w:right=\"1417\"", "w:right=\"850\"");
  ersetzen(paket.MainPartName(), "w:left=\"1417\"", "w:left=\"1134\"");
  return word::Document::FromPackage(std::move(paket));
}

}  // namespace

void VorlageSchreiben(const fs::path& datei) {
  auto dokument = Briefpapier();
  Brief brief;
  const auto kopf = brief.Absatz("Vermessungsbüro Dipl.-Ing. Anna Muster");
  const auto kopf2 = brief.Absatz("Öffentlich bestellte Vermessungsingenieurin");
  const auto kopf3 = brief.Absatz("Bautzner Straße 12 · 01099 Dresden · Telefon 0351 4711 0");
  brief.Absatz("");
  brief.Absatz("Frau");
  brief.Absatz("Erika Beispiel");
  brief.Absatz("Lindenweg 7");
  brief.Absatz("01307 Dresden");
  brief.Absatz("");
  brief.Absatz("Dresden, 1. Dezember 2026");
  const auto betreff = brief.Absatz("Rechnung Nr. 2026-001");
  brief.Absatz("Auftrag 1: Zerlegung des Flurstücks 412/7, Gemarkung Striesen");
  brief.Absatz("");
  brief.Absatz("Sehr geehrte Frau Beispiel,");
  brief.Absatz("für die Vermessung berechnen wir Ihnen nach der Gebührenordnung:");
  const auto start = brief.Absatz("Zusammenfassung");
  const auto netto = brief.Teil("Nettobetrag");
  brief.Teil(" 0,00 € zuzüglich ");
  const auto mwst = brief.Teil("Mehrwertsteuer");
  brief.Teil(" 0,00 € ergibt ");
  const auto brutto = brief.Teil("brutto");
  brief.Teil(" 0,00 €. Darin enthalten sind ");
  const auto auslagen = brief.Teil("Auslagen");
  brief.Teil(" 0,00 € ohne Mehrwertsteuer.", true);
  const auto gesamt = brief.Teil("Rechnungsbetrag:");
  brief.Teil(" 0,00 €", true);
  brief.Absatz("");
  brief.Absatz("Mit freundlichen Grüßen");
  brief.Absatz("Anna Muster");

  word::Range anfang = dokument->Range(0, 0);
  anfang.InsertAfter(brief.Text());
  for (const auto& zeile : {kopf, kopf2, kopf3}) {
    word::Range r = dokument->Range(zeile.anfang, zeile.ende);
    r.SetBold(zeile.anfang == kopf.anfang);
    r.Font().SetSize(zeile.anfang == kopf.anfang ? 14 : 9);
  }
  dokument->Range(betreff.anfang, betreff.ende).SetBold(true);
  const std::pair<Brief::Stelle, const char*> marken[] = {
      {start, "lumoStart"},   {netto, "lumoNetto"},       {mwst, "lumoMwSt"},
      {brutto, "lumoBrutto"}, {auslagen, "lumoAuslagen"}, {gesamt, "lumoGesamt"}};
  for (const auto& [stelle, wort] : marken)
    dokument->Comments().Add(dokument->Range(stelle.anfang, stelle.ende), wort);
  dokument->Save(datei);
}

int DemoAusfuehren(const fs::path& ordner, std::ostream& aus) {
  Kontext() = "Ordner »" + ordner.string() + "«";
  std::error_code fehler;
  fs::create_directories(ordner, fehler);
  if (!fs::is_directory(ordner)) throw Laufzeitfehler(75, "der Ordner lässt sich nicht anlegen.");
  Freimachen(ordner);
  std::vector<std::string> gemacht;

  Kontext() = "Vorlage";
  gemacht.push_back(kVorlage);
  ListeSchreiben(ordner, gemacht);
  VorlageSchreiben(ordner / kVorlage);

  Kontext() = "Datenbank";
  gemacht.push_back(kDatenbank);
  ListeSchreiben(ordner, gemacht);
  {
    dao::Workspace arbeitsbereich;
    auto datenbank = arbeitsbereich.CreateDatabase((ordner / kDatenbank).string());
    datenbank->Execute(std::string(dao::JobDatabaseSchema()));
    datenbank->Execute(std::string(dao::JobDatabaseSample()));
    datenbank->Close();
  }

  int status = 0;
  gemacht.push_back(kRechnung);
  for (const Demoauftrag& a : kAuftraege) {
    Kontext() = a.datei;
    gemacht.push_back(a.datei);
    ListeSchreiben(ordner, gemacht);
    std::ofstream(ordner / a.datei, std::ios::trunc) << a.json;
    const Auftrag auftrag = AuftragLesen(ordner / a.datei);
    aus << "== " << a.datei << " ==\n";
    const Ergebnis ergebnis = AuftragAusfuehren(auftrag);
    aus << BerichtText(ergebnis) << "\n";
    if (ergebnis.fehler > 0) status = 3;
  }

  const fs::path soffice = LibreOffice();
  if (soffice.empty()) {
    aus << "LibreOffice (soffice) ist nicht installiert: kein PDF erzeugt.\n";
  } else {
    gemacht.push_back(kPdf);
    ListeSchreiben(ordner, gemacht);
    if (NachPdf(soffice, ordner / kRechnung))
      aus << "PDF: " << (ordner / kPdf).string() << "\n";
    else
      aus << "LibreOffice konnte »" << kRechnung << "« nicht in PDF umwandeln.\n";
  }
  aus << "Rechnung: " << (ordner / kRechnung).string() << "\n";
  Kontext().clear();
  return status;
}

}  // namespace tarvo::auftrag
