// Fixture for the acceptance tests: a fresh folder with an invoice template (letter with the
// "lumoStart" marker and the amount fields) and a job database with the example rows; helpers
// that write a job file, run `tarvo` as a separate process and read what it printed, and read
// the saved invoice back with `tarvo inspect --json`, python-docx and LibreOffice.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tarvo::abnahme {

struct Lauf {
  int status = -1;
  std::string aus;     // stdout
  std::string fehler;  // stderr
};

using Zeilen = std::vector<std::vector<std::string>>;

class AuftragTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs TARVO_EXE with `argumente` (already quoted as the shell needs) in the test folder.
  Lauf Tarvo(const std::string& argumente) const;
  // Writes `json` as a job file and runs `tarvo run` on it.
  Lauf Ausfuehren(const std::string& json, const std::string& name = "Auftrag.json",
                  bool alsJson = false) const;
  // The tables of a saved document as `tarvo inspect --json` reports them (first five cells of
  // each row, as they stand), with their tags.
  std::vector<std::pair<std::string, Zeilen>> Tabellen(const std::string& datei) const;
  // The cells of one tagged table (fails the test when it is not there exactly once).
  Zeilen Tabelle(const std::string& datei, const std::string& tag) const;
  // One value of the invoice record, read with the sqlite3 program.
  std::string Datenbankwert(const std::string& sql) const;
  // Runs the Python script `skript` with /usr/bin/python3 (python-docx) on Rechnung.docx in the
  // test folder and reads the JSON it prints (null, and the test failed, when it fails).
  nlohmann::json PythonLesen(const std::string& skript) const;

  std::filesystem::path ordner_;
};

// The incidental-costs table every statement gets: 2 % of the fees `summe`, the fee and the
// client's share, as the cells show them.
Zeilen Nebenkostentabelle(const std::string& summe, const std::string& gebuehr,
                          const std::string& anteil);
// The totals table of an invoice at 19 % VAT, as the cells show the amounts.
Zeilen Summentabelle(const std::string& netto, const std::string& mwst, const std::string& brutto);

// Writes the invoice template used by the tests to `datei`.
void VorlageAnlegen(const std::filesystem::path& datei);
// Creates the job database with the example rows at `datei`.
void DatenbankAnlegen(const std::filesystem::path& datei);
// Runs a shell command; its exit status.
int Shell(const std::string& befehl);
std::string DateiLesen(const std::filesystem::path& datei);

}  // namespace tarvo::abnahme
