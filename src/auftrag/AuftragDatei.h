// The job file of `tarvo run`: a UTF-8 JSON file that names the invoice document, the job
// database, the host's properties for GO, the category, the scripted answers and the user's
// input. AuftragLesen reads and checks it completely before anything is opened, so a job file
// that cannot be used stops the run with a German message (Laufzeitfehler) and nothing written.
// Relative paths are taken relative to the folder of the job file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Variant.h"

namespace tarvo::auftrag {

// The answer to the table choice dialog.
enum class Wahl { Neu, Eintrag, Cursor };
struct Tabellenwahl {
  Wahl art = Wahl::Neu;
  int eintrag = 0;  // 1..5 with Wahl::Eintrag
};

// One single user action of "aktionen", played after "eingaben".
struct Aktion {
  enum class Art { Feld, Klick, ZelleEingabe, ZelleKlick, Taste, Combo, ZeilenMarkieren };
  Art art = Art::Klick;
  std::string name;                    // Feld, Klick, Combo
  std::string text;                    // Feld, ZelleEingabe: the typed text; Combo: the item
  std::int32_t zeile = 0, spalte = 0;  // ZelleEingabe, ZelleKlick
  std::int16_t taste = 0, umschalt = 0;
  std::vector<std::int32_t> zeilen;  // ZeilenMarkieren
};

// A field of "eingaben": a control name and what the user enters (text or tick).
struct Feldeingabe {
  std::string name;
  bool istHaken = false;  // a check box or option: true/false
  bool haken = false;
  std::string text;
};

struct Auftrag {
  std::filesystem::path datei;  // the job file itself
  std::filesystem::path dokument;
  std::filesystem::path ausgabe;    // defaults to dokument
  std::filesystem::path datenbank;  // a file, or a server's connection string without password
  std::int32_t benutzer = 0;
  std::optional<std::int32_t> rechnung;
  std::int32_t fenster = 0;
  // GO's properties in the order of the file.
  std::vector<std::pair<std::string, Variant>> eigenschaften;
  std::int16_t kategorie = 0;
  std::optional<std::int32_t> cursorTabelle;
  Tabellenwahl tabellenwahl;
  std::vector<std::int32_t> meldungen;  // scripted message box answers, in order
  // The grid rows, cells from column 1 on; an empty optional (JSON null) leaves the cell as the
  // form filled it.
  std::vector<std::vector<std::optional<std::string>>> zeilen;
  std::vector<Feldeingabe> felder;  // in the order of the file
  std::vector<Aktion> aktionen;
  bool abbruch = false;  // "abschluss": "Abbruch"
  // "erechnung": {"format": …, "ausgabe": …, "stammdaten": …}: the e-invoice of the invoice,
  // written within the job's unit; ausgabe and stammdaten may be empty.
  struct ERechnung {
    std::string format;
    std::filesystem::path ausgabe, stammdaten;
  };
  std::optional<ERechnung> erechnung;
};

// Reads and checks the job file. Throws Laufzeitfehler with a German description naming the
// file and the key when the file is missing, is no JSON, or a key has an unusable value.
Auftrag AuftragLesen(const std::filesystem::path& datei);

// The same from a JSON text (for tests and the demo); `ordner` resolves relative paths.
Auftrag AuftragAusText(const std::string& text, const std::filesystem::path& ordner,
                       const std::string& dateiname = "Auftrag");

}  // namespace tarvo::auftrag
