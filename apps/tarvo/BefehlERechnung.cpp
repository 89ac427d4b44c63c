// tarvo erechnung: writes the e-invoice of an invoice that a job has computed, as XRechnung (CII
// or UBL) or as a ZUGFeRD / Factur-X PDF, from the saved document, the job database and the
// master data. tarvo stammdaten: stores the master data (seller, buyer of an invoice) from a JSON
// file in the job database. Missing or invalid master data, an invoice whose document and record
// do not agree, or one the e-invoice could not carry to the cent, is refused with exit status 2
// and a German message per point; nothing is written then. Output is written atomically.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Befehle.h"
#include "erechnung/Erzeugung.h"
#include "erechnung/Stammdaten.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using namespace tarvo::erechnung;

int Ablehnen(const std::vector<std::string>& meldungen) {
  for (const auto& m : meldungen) std::cerr << "Fehler: " << m << "\n";
  return kUnbrauchbar;
}

bool DateiLesen(const std::string& datei, std::string& inhalt) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) return false;
  std::ostringstream puffer;
  puffer << ein.rdbuf();
  inhalt = puffer.str();
  return true;
}

bool Gleich(const fs::path& a, const fs::path& b) {
  std::error_code egal;
  return fs::exists(a, egal) && fs::exists(b, egal) && fs::equivalent(a, b, egal);
}

const char* FormatName(Format format) {
  switch (format) {
    case Format::XRechnungCii:
      return "XRechnung (CII)";
    case Format::XRechnungUbl:
      return "XRechnung (UBL)";
    case Format::Zugferd:
      return "ZUGFeRD/Factur-X (EN 16931)";
  }
  return "";
}

struct Aufruf {
  std::string dokument, datenbank, format, ausgabe, stammdaten;
  std::int32_t rechnung = 0;
  std::int32_t benutzer = 1;
};

int ERechnungErzeugen(const Aufruf& a) {
  Format format;
  if (!FormatLesen(a.format, format))
    return Ablehnen({"Unbekanntes Format »" + a.format +
                     "« (erlaubt: xrechnung-cii, xrechnung-ubl, zugferd)."});
  const fs::path ausgabe =
      a.ausgabe.empty() ? StandardAusgabe(a.dokument, format) : fs::path(a.ausgabe);
  if (Gleich(ausgabe, a.dokument) || Gleich(ausgabe, a.datenbank))
    return Ablehnen(
        {"Die Ausgabe »" + ausgabe.string() +
         "« ist das Dokument oder die Datenbank selbst; sie wird nicht überschrieben."});

  Erzeugnis e;
  try {
    dao::Workspace ws;
    auto db = ws.OpenDatabase(a.datenbank);
    erechnung::Auftrag auftrag;
    auftrag.dokument = a.dokument;
    auftrag.datenbank = db.get();
    auftrag.rechnung = a.rechnung;
    auftrag.benutzer = a.benutzer;
    auftrag.format = format;
    auftrag.stammdaten = a.stammdaten;
    e = ERechnungVorbereiten(auftrag, ausgabe);
  } catch (const Laufzeitfehler& fehler) {
    return Ablehnen({fehler.Beschreibung() + " (Fehler " + std::to_string(fehler.Nummer()) +
                     "). Fehlen der Datenbank »" + a.datenbank +
                     "« die Stammdaten-Tabellen, legt »tarvo init-db --ergaenzen« sie an."});
  }
  if (!e.fehler.empty()) return Ablehnen(e.fehler);
  if (!e.ausgabe.Festschreiben())
    return Ablehnen({"Die Datei »" + ausgabe.string() + "« kann nicht geschrieben werden."});
  const Rechnungsmodell& m = *e.modell;
  const auto euro = [](Cent c) { return BetragXml(c) + " EUR"; };
  std::cout << "E-Rechnung " << FormatName(format) << " geschrieben: " << ausgabe.string() << "\n"
            << (m.gutschrift ? "Gutschrift " : "Rechnung ") << m.nummer << " vom "
            << m.datum.Deutsch() << ", " << m.positionen.size() << " Positionen\n"
            << "Netto " << euro(m.summen.netto) << ", Umsatzsteuer " << euro(m.summen.steuer)
            << ", Brutto " << euro(m.summen.brutto);
  if (m.summen.bezahlt) std::cout << ", bereits bezahlt " << euro(m.summen.bezahlt);
  std::cout << ", fällig " << euro(m.summen.faellig);
  if (m.faelligAm.Gesetzt()) std::cout << " bis " << m.faelligAm.Deutsch();
  std::cout << "\n";
  return kErfolg;
}

int StammdatenSpeichern_(const std::string& datenbank, std::int32_t rechnung,
                         const std::string& datei) {
  std::string text;
  if (!DateiLesen(datei, text))
    return Ablehnen({"Die Stammdaten-Datei »" + datei + "« kann nicht gelesen werden."});
  Stammdaten daten;
  bool mitVerkaeufer = false, mitKaeufer = false;
  if (auto fehler = StammdatenAusJson(text, daten, mitVerkaeufer, mitKaeufer); !fehler.empty())
    return Ablehnen(fehler);
  if (mitKaeufer && rechnung <= 0)
    return Ablehnen({"Die Käuferdaten gehören zu einer Rechnung: bitte --rechnung N angeben."});
  if (auto fehler = UngueltigeFelder(daten); !fehler.empty()) return Ablehnen(fehler);
  try {
    dao::Workspace ws;
    auto db = ws.OpenDatabase(datenbank);
    StammdatenTabellenAnlegen(*db);
    StammdatenSpeichern(*db, rechnung, daten, mitVerkaeufer, mitKaeufer);
  } catch (const Laufzeitfehler& fehler) {
    return Ablehnen({"Datenbank »" + datenbank + "«: " + fehler.Beschreibung() + " (Fehler " +
                     std::to_string(fehler.Nummer()) + ")"});
  }
  std::cout << "Stammdaten in »" << datenbank
            << "« gespeichert:" << (mitVerkaeufer ? " Verkäufer" : "")
            << (mitKaeufer ? " Empfänger der Rechnung " + std::to_string(rechnung) : "") << "\n";
  return kErfolg;
}

}  // namespace

int StammdatenTabellenErgaenzen(const std::string& datei) {
  try {
    if (!fs::exists(datei)) {
      std::cerr << "Fehler: Die Datenbank »" << datei << "« gibt es nicht.\n";
      return kUnbrauchbar;
    }
    dao::Workspace ws;
    auto db = ws.OpenDatabase(datei);
    StammdatenTabellenAnlegen(*db);
  } catch (const Laufzeitfehler& fehler) {
    std::cerr << "Fehler: Datenbank »" << datei << "«: " << fehler.Beschreibung() << " (Fehler "
              << fehler.Nummer() << ")\n";
    return kUnbrauchbar;
  }
  std::cout << "Datenbank »" << datei
            << "« ergänzt: Tabellen ERechnungVerkaeufer und ERechnungKaeufer.\n";
  return kErfolg;
}

void ERechnungBefehle(CLI::App& app, int& status) {
  auto a = std::make_shared<Aufruf>();
  CLI::App* erechnung = app.add_subcommand(
      "erechnung",
      "Die E-Rechnung einer berechneten Rechnung schreiben (XRechnung CII/UBL, ZUGFeRD)");
  erechnung->add_option("DOKUMENT", a->dokument, "Das gespeicherte Rechnungsdokument (.docx)")
      ->required();
  erechnung->add_option("--datenbank", a->datenbank, "Die Auftragsdatenbank")->required();
  erechnung->add_option("--rechnung", a->rechnung, "ID_Rechnungsnummer der Rechnung")->required();
  erechnung->add_option("--format", a->format, "xrechnung-cii, xrechnung-ubl oder zugferd")
      ->required();
  erechnung->add_option("--ausgabe", a->ausgabe,
                        "Zieldatei (Vorgabe: neben dem Dokument, -xrechnung.xml, "
                        "-xrechnung-ubl.xml oder -zugferd.pdf)");
  erechnung->add_option("--stammdaten", a->stammdaten,
                        "JSON-Datei mit Verkäufer- und Käuferdaten (ergänzt die Datenbank)");
  erechnung->add_option("--benutzer", a->benutzer,
                        "Benutzer (TempDoc) mit den Abschlagseinstellungen, Vorgabe 1");
  erechnung->callback([a, &status] { status = ERechnungErzeugen(*a); });

  auto db = std::make_shared<std::string>();
  auto rechnung = std::make_shared<std::int32_t>(0);
  auto datei = std::make_shared<std::string>();
  CLI::App* stammdaten = app.add_subcommand(
      "stammdaten", "Stammdaten der E-Rechnung (Verkäufer, Empfänger) in die Datenbank schreiben");
  stammdaten->add_option("DB", *db, "Die Auftragsdatenbank")->required();
  stammdaten->add_option("--rechnung", *rechnung,
                         "ID_Rechnungsnummer, zu der die Empfängerdaten gehören");
  stammdaten->add_option("--aus", *datei, "JSON-Datei ({\"verkaeufer\": …, \"kaeufer\": …})")
      ->required();
  stammdaten->callback(
      [db, rechnung, datei, &status] { status = StammdatenSpeichern_(*db, *rechnung, *datei); });
}

}  // namespace tarvo::cli
