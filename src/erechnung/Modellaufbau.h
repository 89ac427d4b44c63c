// Builds the e-invoice model of one invoice from what tarvo computed: the amount rows of every
// statement table of the saved document (with their VAT rate as the totals assign it), the
// user's partial-payment settings, the invoice record, its appointment of kind 8, the terms text,
// the job's earlier invoices for a final invoice, and the master data. The totals are computed
// as the printed invoice computes them and then compared with the document's totals table and
// the invoice record; where the e-invoice could not equal them to the cent, or data is missing,
// the result carries German messages instead of a model. Database and document errors throw
// Laufzeitfehler from their layers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "erechnung/Rechnungsmodell.h"
#include "erechnung/Stammdaten.h"
#include "platform/dao/Database.h"
#include "platform/word/Document.h"

namespace tarvo::erechnung {

struct Aufbau {
  std::optional<Rechnungsmodell> modell;  // set when `fehler` is empty
  std::vector<std::string> fehler;
};

struct Quelle {
  const word::Document* dokument = nullptr;
  dao::Database* datenbank = nullptr;
  std::int32_t rechnung = 0;  // ID_Rechnungsnummer
  std::int32_t benutzer = 1;  // the TempDoc row with the partial-payment settings
  Stammdaten stammdaten;
};

Aufbau ModellAufbauen(const Quelle& quelle);

// The item name of one statement row: the table's title, the sub-heading above the row, and the
// row's texts (amounts left out), each labelled with the heading of its column:
// "Abmarkung von Grenzpunkten nach Nr. 6: Abgemarkte Grenzpunkte nach Nr. 6.1, Anzahl 6".
std::string Positionsname(const std::string& titel, const std::vector<std::string>& kopf,
                          const std::vector<std::string>& zellen);

}  // namespace tarvo::erechnung
