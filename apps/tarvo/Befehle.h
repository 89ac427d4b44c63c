// The commands of the `tarvo` program. Each command lives in a file of its own and registers
// itself on the application with one of these functions; main() calls them all in this order.
#pragma once

#include <CLI/CLI.hpp>

namespace tarvo::cli {

// Exit statuses shared by all commands.
constexpr int kErfolg = 0;
constexpr int kFehlerProtokolliert = 3;  // the job ran, but errors were logged
constexpr int kUnbrauchbar = 2;          // input that cannot be used; nothing was written

// Each function adds its subcommand(s) to `app`; the callback stores the exit status in `status`.
void GebuehrBefehl(CLI::App& app, int& status);     // tarvo gebuehr
void DokumentBefehle(CLI::App& app, int& status);   // tarvo inspect, tarvo roundtrip
void DatenbankBefehle(CLI::App& app, int& status);  // tarvo init-db
void AuftragBefehle(CLI::App& app, int& status);    // tarvo run, tarvo demo
void ERechnungBefehle(CLI::App& app, int& status);  // tarvo erechnung, tarvo stammdaten
void HilfeBefehl(CLI::App& app, int& status);       // tarvo hilfe

// tarvo init-db --ergaenzen: adds the e-invoice master data tables to an existing database.
int StammdatenTabellenErgaenzen(const std::string& datei);

}  // namespace tarvo::cli
