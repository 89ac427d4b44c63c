// The document side of the invoice totals: removing the earlier totals tables, writing the new
// totals table with its rows, the partial-payment row, the rows that deduct earlier invoices, its
// formatting, and the amount fields after the marker comments of the letter. Every function runs
// its steps under the caller's trap, so a failing step is reported (or, for the removal, skipped)
// and the next one runs; none throws.
#pragma once

#include <cstdint>
#include <string>

#include "document/Rechnungssummen.h"
#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo {

// Deletes every table of the shared Doc that carries a comment "RE_Summe"; errors are skipped.
void SummentabellenEntfernen(Falle& falle);

// Adds the totals table (Zeilenzahl() rows, 4 columns) at the "lumoStart" marker or at the end,
// tags it "RE_Summe" and writes "Summe", the VAT rows and "Rechnungsbetrag" with their amounts.
// Returns the table, unset when it could not be added.
word::Table SummentabelleSchreiben(const Rechnungssummen& summen, Falle& falle);

// Row 2 of cases B and C: "Abschlagszahlung von " with the percentage, and the net X.
void AbschlagszeileSchreiben(const word::Table& tabelle, const Rechnungssummen& summen,
                             std::int16_t abschlagProzent, Falle& falle);

// Replaces the amount after every comment whose text is `marke` by `betrag` (see the .cpp).
void BetragsfeldErsetzen(const word::Comment& kommentar, double betrag, Falle& falle);
void BetragsfelderErsetzen(const std::string& marke, double betrag, Falle& falle);

// The deduction rows of a final invoice, appended one by one as the earlier invoices are read.
class Abzugszeilen {
 public:
  Abzugszeilen(word::Table tabelle, std::int32_t zeilenzahl, Falle& falle)
      : tabelle_(std::move(tabelle)), n_(zeilenzahl), falle_(falle) {}
  // "Zwischensumme" in row n, the header row and the line of this invoice (net, VAT, gross),
  // then "abzgl. Anzahlungen".
  void Kopf(double netto, double steuer, double brutto);
  // One earlier invoice.
  void Rechnung(const std::string& bezeichnung, double netto, double steuer, double brutto);
  // "verbl. Restbetrag" and the last, empty row.
  void Rest(double netto, double steuer, double brutto);
  std::int32_t AnzahlRechnungen() const { return k_; }

 private:
  void Zeile(std::int32_t zeile, std::int32_t spalte, const std::string& text, int fett);
  word::Table tabelle_;
  std::int32_t n_;
  std::int32_t k_ = 0;
  Falle& falle_;
};

// Borders off, right-aligned, the column widths; with `abzuege` earlier invoices the widths of
// their label rows (starting at row zeilenzahl + 5).
void SummentabelleFormatieren(const word::Table& tabelle, std::int32_t zeilenzahl,
                              std::int32_t abzuege, Falle& falle);

}  // namespace tarvo
