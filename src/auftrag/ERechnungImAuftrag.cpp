#include "auftrag/ERechnungImAuftrag.h"

#include <memory>

#include "erechnung/Erzeugung.h"
#include "errors/Laufzeitfehler.h"

namespace tarvo::auftrag {

std::function<std::function<void()>(const std::filesystem::path&, dao::Database&)>
ERechnungImAuftrag(const Auftrag& a) {
  erechnung::Auftrag vorlage;
  erechnung::FormatLesen(a.erechnung->format, vorlage.format);
  vorlage.rechnung = *a.rechnung;
  vorlage.benutzer = a.benutzer;
  vorlage.stammdaten = a.erechnung->stammdaten;
  const std::filesystem::path ziel = a.erechnung->ausgabe.empty()
                                         ? erechnung::StandardAusgabe(a.ausgabe, vorlage.format)
                                         : a.erechnung->ausgabe;
  return [vorlage, ziel](const std::filesystem::path& neu,
                         dao::Database& db) -> std::function<void()> {
    erechnung::Auftrag auftrag = vorlage;
    auftrag.dokument = neu;
    auftrag.datenbank = &db;
    erechnung::Erzeugnis e = erechnung::ERechnungVorbereiten(auftrag, ziel);
    if (!e.fehler.empty()) {
      std::string text = "die E-Rechnung »" + ziel.filename().string() + "« ist nicht möglich:";
      for (const auto& f : e.fehler) text += " " + f;
      throw Laufzeitfehler(5, text + " Der Auftrag wurde nicht gespeichert.");
    }
    auto ausgabe = std::make_shared<erechnung::Ausgabe>(std::move(e.ausgabe));
    return [ausgabe, ziel] {
      if (!ausgabe->Festschreiben())
        throw Laufzeitfehler(75, "Die E-Rechnung »" + ziel.string() +
                                     "« konnte nicht geschrieben werden; Dokument und Rechnung "
                                     "sind gespeichert.");
    };
  };
}

}  // namespace tarvo::auftrag
