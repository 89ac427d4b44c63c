// Fixtures for the invoice routines: a letter with marker comments built with the document
// model, fee tables tagged as the category forms tag them, a job database created from the
// schema in a temporary folder, the headless screen, and readers that give a written table back
// as rows of cell texts, so that expectations read like the printed invoice.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/Kopflos.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/word/Document.h"

namespace tarvo::testhilfe {

using Zeilen = std::vector<std::vector<std::string>>;

class RechnungTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the document by a new one whose main text is `absaetze` (one paragraph each).
  void Brief(const std::vector<std::string>& absaetze);
  // The invoice letter used by most tests: a "lumoStart" marker on "Leistungen", amount fields
  // for gross, net, VAT and gross again, and the VAT-free part.
  void Rechnungsbrief();
  // Anchors a comment `text` on the n-th occurrence of `stelle` in the main text (before any
  // table); fails the test when it is not there.
  word::Comment Marke(const std::string& stelle, const std::string& text, int vorkommen = 1);
  // A fee table of 5 columns at the "lumoStart" marker (or the end), one row per entry, tagged
  // `tag` in cell (1, 5) unless `tag` is empty.
  word::Table Gebuehrentabelle(const Zeilen& zeilen, const std::string& tag);
  // Adds a comment `text` to cell (zeile, spalte), as a VAT rate on an amount.
  void Satz(const word::Table& tabelle, int zeile, int spalte, const std::string& text);

  // Every table as its cell texts without end marks; rows may differ in length.
  static Zeilen Inhalt(const word::Table& tabelle);
  // The tables whose first comment is `tag`.
  std::vector<word::Table> TabellenMitTag(const std::string& tag) const;
  std::optional<word::Table> TabelleMitTag(const std::string& tag) const;
  // The first paragraph of the main text that begins with `anfang`, without its mark.
  std::string Absatz(const std::string& anfang) const;
  // The texts of all comments of the document, in order.
  std::vector<std::string> Kommentare() const;

  // A job database from the schema, with a Version row; invoice 1 of job 12 becomes Rechnung.
  void Datenbank(int rechnungsart = 1);
  // Adds an invoice (amounts in cents) and optionally its appointment of kind 8.
  void FruehereRechnung(int id, const std::string& nummer, long netto, long frei, long brutto,
                        const std::string& datum);
  // Field `name` of invoice 1 as stored.
  Variant Gespeichert(const std::string& name);

  // Saves the document to the test folder and returns the path.
  std::filesystem::path Speichern(const std::string& name);

  std::filesystem::path ordner_;
  std::shared_ptr<word::Document> doc_;
  std::shared_ptr<controls::Kopflos> bildschirm_;
  std::shared_ptr<dao::Database> db_;
};

// Converts `docx` to PDF with LibreOffice (private profile) and returns the text pdftotext reads,
// or nullopt when LibreOffice is not installed. Fails the test when the conversion fails.
std::optional<std::string> LibreOfficeText(const std::filesystem::path& docx);

}  // namespace tarvo::testhilfe
