// The main job of `tarvo run`: a job session (host/Auftragssitzung) opens the invoice document
// and the job database and shows the category form; this unit answers the dialogs from the job
// file, plays the user's input into the form through the controls' user-action entry points,
// presses "OK" (or "Abbruch"), has the session finish the job and collects what the summary
// reports. Input that cannot be used (job
// file, document, database, a control or row the form does not have) throws Laufzeitfehler with
// a German message before anything is saved.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "auftrag/AuftragDatei.h"

namespace tarvo::auftrag {

// One line of a statement table with an amount: its text, the full fee (column 4, when a share
// applies) and the amount charged (column 5), as the document shows them.
struct Betragszeile {
  std::string text;
  std::string gebühr;
  std::string betrag;
};
struct Tabellenbericht {
  std::string tag;
  std::vector<Betragszeile> zeilen;
};
// The invoice record's stored amounts (hundredths of a euro, rate in tenths of a percent).
struct Rechnungsbericht {
  std::int32_t id = 0;
  double netto = 0, frei = 0, brutto = 0, satz = 0;
};

struct Ergebnis {
  std::filesystem::path ausgabe;
  bool gespeichert = false;
  bool abbruch = false;
  std::vector<Tabellenbericht> tabellen;  // the fee tables, incidental costs included
  std::vector<Betragszeile> summen;       // the totals table: text, base, amount
  std::optional<Rechnungsbericht> rechnung;
  std::int64_t fehler = 0;  // errors logged during the run
  // Values the run computed as the fee ordinance defines them but a person should look at
  // (a negative area, count or length typed into a row).
  std::vector<std::string> hinweise;
  std::filesystem::path protokoll;
};

// Runs the job; see the header comment.
Ergebnis AuftragAusfuehren(const Auftrag& auftrag);

}  // namespace tarvo::auftrag
