// The error reporter FehlerProtokollieren and its log "Verw.log": six-line records with CRLF
// line ends, appended and closed per record. The log lives in the folder of the loaded tarvo_03
// library; where that is not writable, in $XDG_STATE_HOME/tarvo (default ~/.local/state/tarvo);
// TARVO_LOG_DIR overrides both. A record that cannot be written is dropped silently: the
// reporter never throws.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tarvo {

// The runtime's current error, as the trap leaves it for the reporter (the old `Err` object).
struct AktuellerFehler {
  std::int32_t Number = 0;
  std::string Description;
  std::int32_t Erl = 0;
};
AktuellerFehler& Err();

// Reports the current error (Err()) under module and procedure: appends a record to the log
// and, when module+procedure differ from LetzterFehler().Funktionsname, replaces that record.
void FehlerProtokollieren(std::string_view modul, std::string_view prozedur) noexcept;

namespace protokoll {

// The folder the next record goes to, or empty when no place is writable.
std::filesystem::path Ordner();
// The full path of the log file in Ordner() ("Verw.log"), or empty.
std::filesystem::path Datei();
// The six lines of one record for a given local time, joined with CRLF (test seam).
std::string Satz(const std::tm& zeit, std::int32_t nummer, std::string_view beschreibung,
                 std::int32_t zeile, std::string_view modul, std::string_view prozedur);
// Replaces the clock that stamps records (nullptr restores the system clock).
void SetzeUhr(std::function<std::tm()> uhr);
// The folder of the loaded tarvo_03 library (or of the program it is linked into), or empty
// when it cannot be found. The log and the help file are looked for there.
std::filesystem::path BibliotheksOrdner();
// Replaces the folder taken for the loaded library (test seam; an empty path restores the
// folder found at run time).
void SetzeBibliotheksOrdner(std::filesystem::path ordner);
// Number of errors reported in this process, written or not (for the command-line summary).
std::int64_t AnzahlGemeldet();

}  // namespace protokoll
}  // namespace tarvo
