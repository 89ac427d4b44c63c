// The master data of the e-invoice that the host's tables do not hold: the office as seller
// (one row of ERechnungVerkaeufer) and the client as buyer of each invoice (ERechnungKaeufer,
// keyed by ID_Rechnungsnummer). They are read from and written to the job database, read from
// a JSON file ({"verkaeufer": {…}, "kaeufer": {…}}) and checked: what a format needs and is
// missing, and values that cannot be right (IBAN check digits, VAT ID, e-mail), come back as
// German messages naming each field with its business term. Database errors throw
// Laufzeitfehler from the database layer.
#pragma once

#include <string>
#include <vector>

#include "erechnung/Rechnungsmodell.h"
#include "platform/dao/Database.h"

namespace tarvo::erechnung {

enum class Format { XRechnungCii, XRechnungUbl, Zugferd };

// "xrechnung-cii", "xrechnung-ubl", "zugferd"; false for any other text.
bool FormatLesen(const std::string& text, Format& format);

struct Stammdaten {
  Verkaeufer verkaeufer;
  Kaeufer kaeufer;
};

// Reads the JSON text into `daten`: every field given replaces the one there, a missing one
// leaves it. Returns the messages for a text that is no JSON object, unknown sections or fields
// and values that are not text; nothing is changed then.
std::vector<std::string> StammdatenAusJson(const std::string& text, Stammdaten& daten,
                                           bool& mitVerkaeufer, bool& mitKaeufer);

// Messages for values that cannot be right: IBAN (length, check digits), VAT ID (country and
// form), e-mail addresses, country codes, Leitweg-ID form. Empty fields are not checked here.
std::vector<std::string> UngueltigeFelder(const Stammdaten& daten);

// Messages "Für die XRechnung fehlt: Leitweg-ID des Empfängers (BT-10)" for each field the
// format needs and that is empty, then the messages of UngueltigeFelder.
std::vector<std::string> StammdatenPruefen(const Stammdaten& daten, Format format);

// The CREATE TABLE statements of the two tables, taken from the job database schema.
std::string StammdatenSchema();

// Creates the two tables where they are missing; the host's tables are not touched.
void StammdatenTabellenAnlegen(dao::Database& db);

// Reads the seller and the buyer of invoice `rechnung`; rows that are not there leave `daten`
// as it was.
void StammdatenLesen(dao::Database& db, std::int32_t rechnung, Stammdaten& daten);

// Stores the seller (mitVerkaeufer) and the buyer of invoice `rechnung` (mitKaeufer), each row
// replaced as a whole (an empty field stores NULL).
void StammdatenSpeichern(dao::Database& db, std::int32_t rechnung, const Stammdaten& daten,
                         bool mitVerkaeufer, bool mitKaeufer);

}  // namespace tarvo::erechnung
