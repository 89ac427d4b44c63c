#include "erechnung/Erzeugung.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "erechnung/Cii.h"
#include "erechnung/Facturx.h"
#include "erechnung/Modellaufbau.h"
#include "erechnung/Ubl.h"
#include "platform/dao/Recordset.h"
#include "platform/word/Document.h"

namespace tarvo::erechnung {

namespace fs = std::filesystem;

namespace {

bool DateiLesen(const fs::path& datei, std::string& inhalt) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) return false;
  std::ostringstream puffer;
  puffer << ein.rdbuf();
  inhalt = puffer.str();
  return true;
}

fs::path Versteckt(const fs::path& ziel, const std::string& art) {
  return ziel.parent_path() /
         ("." + ziel.filename().string() + "." + art + std::to_string(::getpid()));
}

}  // namespace

Ausgabe::Ausgabe(Ausgabe&& andere) noexcept
    : temporaer_(std::move(andere.temporaer_)), ziel_(std::move(andere.ziel_)) {
  andere.temporaer_.clear();
}

Ausgabe& Ausgabe::operator=(Ausgabe&& andere) noexcept {
  if (this != &andere) {
    std::error_code egal;
    if (!temporaer_.empty()) fs::remove(temporaer_, egal);
    temporaer_ = std::move(andere.temporaer_);
    ziel_ = std::move(andere.ziel_);
    andere.temporaer_.clear();
  }
  return *this;
}

Ausgabe::~Ausgabe() {
  std::error_code egal;
  if (!temporaer_.empty()) fs::remove(temporaer_, egal);
}

bool Ausgabe::Festschreiben() {
  if (temporaer_.empty()) return false;
  std::error_code fehler;
  fs::rename(temporaer_, ziel_, fehler);
  if (fehler) fs::remove(temporaer_, fehler);
  temporaer_.clear();
  return !fehler;
}

fs::path StandardAusgabe(const fs::path& dokument, Format format) {
  const std::string stamm = (dokument.parent_path() / dokument.stem()).string();
  switch (format) {
    case Format::XRechnungCii:
      return stamm + "-xrechnung.xml";
    case Format::XRechnungUbl:
      return stamm + "-xrechnung-ubl.xml";
    case Format::Zugferd:
      return stamm + "-zugferd.pdf";
  }
  return stamm + ".xml";
}

Erzeugnis ERechnungVorbereiten(const Auftrag& a, const fs::path& ziel) {
  Erzeugnis e;
  auto& db = *a.datenbank;
  if (a.format == Format::Zugferd && !LibreOfficeFinden()) {
    e.fehler.push_back(
        "Für das Format »zugferd« wird LibreOffice gebraucht (Programm »soffice«); es ist nicht "
        "installiert. Die Formate »xrechnung-cii« und »xrechnung-ubl« gehen ohne LibreOffice.");
    return e;
  }
  if (db.OpenRecordset("SELECT ID_Rechnungsnummer FROM Rechnung WHERE ID_Rechnungsnummer = ?",
                       dao::dbOpenSnapshot, {Variant(a.rechnung)})
          ->EOF()) {
    e.fehler.push_back("Die Rechnung " + std::to_string(a.rechnung) +
                       " gibt es in der Datenbank nicht.");
    return e;
  }
  Quelle quelle;
  quelle.rechnung = a.rechnung;
  quelle.benutzer = a.benutzer;
  quelle.datenbank = &db;
  StammdatenLesen(db, a.rechnung, quelle.stammdaten);
  if (!a.stammdaten.empty()) {
    std::string text;
    if (!DateiLesen(a.stammdaten, text)) {
      e.fehler.push_back("Die Stammdaten-Datei »" + a.stammdaten.string() +
                         "« kann nicht gelesen werden.");
      return e;
    }
    bool v = false, k = false;
    e.fehler = StammdatenAusJson(text, quelle.stammdaten, v, k);
    if (!e.fehler.empty()) return e;
  }
  e.fehler = StammdatenPruefen(quelle.stammdaten, a.format);
  if (!e.fehler.empty()) return e;

  auto dokument = word::Document::Open(a.dokument);
  quelle.dokument = dokument.get();
  Aufbau aufbau = ModellAufbauen(quelle);
  if (!aufbau.modell) {
    e.fehler = std::move(aufbau.fehler);
    return e;
  }
  const Rechnungsmodell& m = *aufbau.modell;
  const fs::path temporaer = Versteckt(ziel, "tmp");
  if (a.format == Format::Zugferd) {
    const fs::path pdf = Versteckt(ziel, "pdfa");
    if (auto fehler = PdfA3Rendern(a.dokument, pdf)) {
      e.fehler.push_back(*fehler);
      return e;
    }
    auto fehler = FacturXEinbetten(pdf, CiiSchreiben(m, CiiProfil::EN16931), temporaer);
    std::error_code egal;
    fs::remove(pdf, egal);
    if (fehler) {
      e.fehler.push_back(*fehler);
      return e;
    }
  } else {
    const std::string xml =
        a.format == Format::XRechnungCii ? CiiSchreiben(m, CiiProfil::XRechnung) : UblSchreiben(m);
    std::ofstream aus(temporaer, std::ios::binary | std::ios::trunc);
    aus << xml;
    aus.flush();
    if (!aus) {
      aus.close();
      std::error_code egal;
      fs::remove(temporaer, egal);
      e.fehler.push_back("Die Datei »" + ziel.string() + "« kann nicht geschrieben werden.");
      return e;
    }
  }
  e.ausgabe = Ausgabe(temporaer, ziel);
  e.modell = std::move(aufbau.modell);
  return e;
}

}  // namespace tarvo::erechnung
