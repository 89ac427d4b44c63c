// The e-invoice as data: what one invoice says in the terms of the European invoice standard,
// independent of the XML syntax that carries it. Amounts are whole cents, so that every sum the
// writers print is exact; rates are decimal texts as the invoice shows them ("19", "7.5"). The
// model is built by Modellaufbau from the document and the job database and read by the CII and
// UBL writers; it knows nothing of either.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::erechnung {

using Cent = std::int64_t;

// "1234.50", "-0.07": an amount as the XML carries it.
std::string BetragXml(Cent betrag);

// A calendar date.
struct Tag {
  int jahr = 0, monat = 0, tag = 0;
  bool Gesetzt() const { return jahr > 0; }
  std::string Iso() const;      // 2026-12-01
  std::string Kompakt() const;  // 20261201
  std::string Deutsch() const;  // 01.12.2026
  Tag PlusTage(int tage) const;
};

// VAT categories used: S standard rate, E exempt (the amounts the statements mark VAT-free).
enum class Steuerkategorie { S, E };
const char* Code(Steuerkategorie kategorie);

struct Steuer {
  Steuerkategorie kategorie = Steuerkategorie::S;
  std::string satz = "0";  // percent, decimal point
  bool operator==(const Steuer&) const = default;
};

// The text of an exemption for the VAT-free amounts.
inline constexpr const char* kBefreiungsgrund =
    "Umsatzsteuerfrei (durchlaufende Posten und Auslagen)";

struct Position {
  std::string name;  // item name: category title and parcel or item
  Cent netto = 0;    // the amount of the statement row; negative for a reduction
  Steuer steuer;
};

// A document-level allowance: the part of the job a partial-payment invoice does not charge.
struct Nachlass {
  Cent betrag = 0;
  std::string grund;
  Steuer steuer;
};

// One line of the VAT breakdown.
struct Steueraufschluesselung {
  Steuer steuer;
  Cent basis = 0;
  Cent betrag = 0;
};

struct Anschrift {
  std::string strasse, plz, ort, land = "DE";
};

struct Verkaeufer {
  std::string name;
  Anschrift anschrift;
  std::string ustId, steuernummer, kontakt, telefon, email, iban, bic, bank;
};

struct Kaeufer {
  std::string name;
  Anschrift anschrift;
  std::string leitwegId, email;
};

// An earlier invoice of the job that a final invoice deducts.
struct FruehereRechnung {
  std::string nummer;
  Tag datum;
  Cent brutto = 0;
};

struct Summen {
  Cent positionen = 0;  // sum of line net amounts
  Cent nachlaesse = 0;  // sum of document-level allowances
  Cent netto = 0;       // total without VAT
  Cent steuer = 0;      // total VAT
  Cent brutto = 0;      // total with VAT
  Cent bezahlt = 0;     // paid before (earlier invoices of a final invoice)
  Cent rundung = 0;     // rounding so that the amount due is the printed one
  Cent faellig = 0;     // amount due
};

struct Rechnungsmodell {
  std::string nummer;
  Tag datum;
  bool gutschrift = false;  // credit note: the amounts are what is credited
  bool abschlag = false;    // a partial-payment invoice
  std::vector<std::string> hinweise;
  Verkaeufer verkaeufer;
  Kaeufer kaeufer;
  std::vector<Position> positionen;
  std::vector<Nachlass> nachlaesse;
  std::vector<Steueraufschluesselung> steuern;
  std::vector<FruehereRechnung> frueher;
  Summen summen;
  std::string zahlungsbedingungen;
  Tag faelligAm;
};

}  // namespace tarvo::erechnung
