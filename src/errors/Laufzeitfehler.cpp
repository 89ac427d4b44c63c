#include "errors/Laufzeitfehler.h"

#include <utility>

namespace tarvo {

Laufzeitfehler::Laufzeitfehler(std::int32_t nummer)
    : Laufzeitfehler(nummer, StandardText(nummer)) {}

Laufzeitfehler::Laufzeitfehler(std::int32_t nummer, std::string beschreibung, std::int32_t zeile)
    : nummer_(nummer), beschreibung_(std::move(beschreibung)), zeile_(zeile) {}

std::string Laufzeitfehler::StandardText(std::int32_t nummer) {
  switch (nummer) {
    case 5:
      return "Unzulässiger Prozeduraufruf oder ungültiges Argument";
    case 6:
      return "Überlauf";
    case 7:
      return "Nicht genügend Speicher";
    case 9:
      return "Index außerhalb des gültigen Bereichs";
    case 11:
      return "Division durch Null";
    case 13:
      return "Typen unverträglich";
    case 53:
      return "Datei nicht gefunden";
    case 75:
      return "Fehler beim Zugriff auf Pfad/Datei";
    case 91:
      return "Objektvariable oder With-Blockvariable nicht festgelegt";
    case 94:
      return "Unzulässige Verwendung von Null";
    case 429:
      return "Objekterstellung durch die Komponente nicht möglich";
    case 3021:
      return "Kein aktueller Datensatz.";
    case 3024:
      return "Datei nicht gefunden.";
    case 3078:
      return "Die Eingabetabelle oder Abfrage wurde nicht gefunden.";
    case 3218:
      return "Aktualisieren nicht möglich; momentan gesperrt.";
    case 3260:
      return "Aktualisieren nicht möglich; momentan von einem anderen Benutzer gesperrt.";
    case 3265:
      return "Element in dieser Auflistung nicht gefunden.";
    case 5941:
      return "Das angeforderte Element ist nicht in der Auflistung vorhanden.";
    default:
      return "Anwendungs- oder objektdefinierter Fehler";
  }
}

}  // namespace tarvo
