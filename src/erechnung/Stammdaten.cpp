#include "erechnung/Stammdaten.h"

#include <cctype>
#include <nlohmann/json.hpp>

#include "common/Variant.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/Recordset.h"

namespace tarvo::erechnung {

namespace {

// One field of the master data: its key in the JSON file, its column, how the messages name
// it, and where it lives.
struct Feld {
  const char* schluessel;
  const char* spalte;
  const char* bezeichnung;
  std::string& (*wert)(Stammdaten&);
};

const Feld kVerkaeufer[] = {
    {"name", "Name", "Name des Verkäufers (BT-27)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.name; }},
    {"strasse", "Strasse", "Straße des Verkäufers (BT-35)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.anschrift.strasse; }},
    {"plz", "PLZ", "Postleitzahl des Verkäufers (BT-38)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.anschrift.plz; }},
    {"ort", "Ort", "Ort des Verkäufers (BT-37)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.anschrift.ort; }},
    {"land", "Land", "Land des Verkäufers (BT-40)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.anschrift.land; }},
    {"ust_id", "UStID", "Umsatzsteuer-Identifikationsnummer des Verkäufers (BT-31)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.ustId; }},
    {"steuernummer", "Steuernummer", "Steuernummer des Verkäufers (BT-32)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.steuernummer; }},
    {"kontakt", "Kontakt", "Ansprechpartner des Verkäufers (BT-41)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.kontakt; }},
    {"telefon", "Telefon", "Telefon des Verkäufers (BT-42)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.telefon; }},
    {"email", "EMail", "E-Mail des Verkäufers (BT-43)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.email; }},
    {"iban", "IBAN", "IBAN des Verkäufers (BT-84)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.iban; }},
    {"bic", "BIC", "BIC des Verkäufers (BT-86)",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.bic; }},
    {"bank", "Bank", "Bank des Verkäufers",
     [](Stammdaten& d) -> std::string& { return d.verkaeufer.bank; }},
};

const Feld kKaeufer[] = {
    {"name", "Name", "Name des Empfängers (BT-44)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.name; }},
    {"strasse", "Strasse", "Straße des Empfängers (BT-50)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.anschrift.strasse; }},
    {"plz", "PLZ", "Postleitzahl des Empfängers (BT-53)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.anschrift.plz; }},
    {"ort", "Ort", "Ort des Empfängers (BT-52)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.anschrift.ort; }},
    {"land", "Land", "Land des Empfängers (BT-55)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.anschrift.land; }},
    {"leitweg_id", "LeitwegID", "Leitweg-ID des Empfängers (BT-10)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.leitwegId; }},
    {"email", "EMail", "E-Mail des Empfängers (BT-49)",
     [](Stammdaten& d) -> std::string& { return d.kaeufer.email; }},
};

const Feld* FeldNamens(const Feld* anfang, const Feld* ende, const std::string& schluessel) {
  for (const Feld* f = anfang; f != ende; ++f)
    if (schluessel == f->schluessel) return f;
  return nullptr;
}

std::string Trimmen(const std::string& text) {
  const auto a = text.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  return text.substr(a, text.find_last_not_of(" \t\r\n") - a + 1);
}

std::string OhneLeerzeichen(const std::string& text) {
  std::string aus;
  for (char c : text)
    if (c != ' ') aus += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return aus;
}

bool IbanGueltig(const std::string& roh) {
  const std::string iban = OhneLeerzeichen(roh);
  if (iban.size() < 15 || iban.size() > 34) return false;
  if (!std::isalpha(static_cast<unsigned char>(iban[0])) ||
      !std::isalpha(static_cast<unsigned char>(iban[1])) ||
      !std::isdigit(static_cast<unsigned char>(iban[2])) ||
      !std::isdigit(static_cast<unsigned char>(iban[3])))
    return false;
  if (iban.compare(0, 2, "DE") == 0 && iban.size() != 22) return false;
  const std::string umgestellt = iban.substr(4) + iban.substr(0, 4);
  int rest = 0;
  for (char c : umgestellt) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      rest = (rest * 10 + (c - '0')) % 97;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      const int zahl = c - 'A' + 10;
      rest = (rest * 100 + zahl) % 97;
    } else {
      return false;
    }
  }
  return rest == 1;
}

bool UstIdGueltig(const std::string& roh) {
  const std::string id = OhneLeerzeichen(roh);
  if (id.size() < 4 || id.size() > 14) return false;
  if (!std::isalpha(static_cast<unsigned char>(id[0])) ||
      !std::isalpha(static_cast<unsigned char>(id[1])))
    return false;
  for (std::size_t i = 2; i < id.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(id[i]))) return false;
  if (id.compare(0, 2, "DE") == 0) {
    if (id.size() != 11) return false;
    for (std::size_t i = 2; i < id.size(); ++i)
      if (!std::isdigit(static_cast<unsigned char>(id[i]))) return false;
  }
  return true;
}

bool EmailGueltig(const std::string& email) {
  const auto at = email.find('@');
  if (at == std::string::npos || at == 0 || email.find('@', at + 1) != std::string::npos)
    return false;
  const std::string domain = email.substr(at + 1);
  const auto punkt = domain.find('.');
  if (punkt == std::string::npos || punkt == 0 || domain.back() == '.') return false;
  for (char c : email)
    if (std::isspace(static_cast<unsigned char>(c)) || c == '<' || c == '>') return false;
  return true;
}

bool LandGueltig(const std::string& land) {
  return land.size() == 2 && std::isupper(static_cast<unsigned char>(land[0])) &&
         std::isupper(static_cast<unsigned char>(land[1]));
}

// Leitweg-ID: coarse address, optional fine address, check digits, separated by hyphens.
bool LeitwegIdGueltig(const std::string& id) {
  std::vector<std::string> teile;
  std::string teil;
  for (char c : id) {
    if (c == '-') {
      teile.push_back(teil);
      teil.clear();
    } else {
      teil += c;
    }
  }
  teile.push_back(teil);
  if (teile.size() < 2 || teile.size() > 3) return false;
  const std::string& grob = teile.front();
  if (grob.size() < 2 || grob.size() > 12) return false;
  for (char c : grob)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  const std::string& pruef = teile.back();
  if (pruef.size() != 2 || !std::isdigit(static_cast<unsigned char>(pruef[0])) ||
      !std::isdigit(static_cast<unsigned char>(pruef[1])))
    return false;
  if (teile.size() == 3) {
    if (teile[1].empty() || teile[1].size() > 30) return false;
    for (char c : teile[1])
      if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string Spalte(dao::Recordset& satz, const char* spalte) {
  const Variant wert = satz.Fields(spalte).Value();
  if (wert.IstNull() || wert.IstEmpty()) return "";
  return CStr(wert);
}

template <std::size_t n>
void ZeileLesen(dao::Database& db, const std::string& sql, std::int32_t id, const Feld (&felder)[n],
                Stammdaten& daten) {
  auto satz = db.OpenRecordset(sql, dao::dbOpenSnapshot, {Variant(id)});
  if (satz->EOF()) return;
  for (const Feld& f : felder) {
    const std::string wert = Spalte(*satz, f.spalte);
    if (!wert.empty()) f.wert(daten) = wert;
  }
}

template <std::size_t n>
void ZeileSchreiben(dao::Database& db, const std::string& tabelle, const std::string& schluessel,
                    std::int32_t id, const Feld (&felder)[n], const Stammdaten& daten) {
  const std::string nr = std::to_string(id);
  db.Execute("INSERT INTO " + tabelle + " (" + schluessel + ") SELECT " + nr +
             " WHERE NOT EXISTS (SELECT 1 FROM " + tabelle + " WHERE " + schluessel + " = " + nr +
             ")");
  auto satz = db.OpenRecordset("SELECT * FROM " + tabelle + " WHERE " + schluessel + " = ?",
                               dao::dbOpenDynaset, {Variant(id)});
  satz->Edit();
  Stammdaten kopie = daten;
  for (const Feld& f : felder) {
    const std::string& wert = f.wert(kopie);
    satz->Fields(f.spalte) = wert.empty() ? Variant::Null() : Variant(wert);
  }
  satz->Update();
}

}  // namespace

bool FormatLesen(const std::string& text, Format& format) {
  if (text == "xrechnung-cii")
    format = Format::XRechnungCii;
  else if (text == "xrechnung-ubl")
    format = Format::XRechnungUbl;
  else if (text == "zugferd")
    format = Format::Zugferd;
  else
    return false;
  return true;
}

std::vector<std::string> StammdatenAusJson(const std::string& text, Stammdaten& daten,
                                           bool& mitVerkaeufer, bool& mitKaeufer) {
  std::vector<std::string> fehler;
  mitVerkaeufer = mitKaeufer = false;
  const auto json = nlohmann::json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_object())
    return {"Die Stammdaten sind kein JSON-Objekt ({\"verkaeufer\": {…}, \"kaeufer\": {…}})."};
  Stammdaten neu = daten;
  for (const auto& [abschnitt, inhalt] : json.items()) {
    const Feld* anfang = nullptr;
    const Feld* ende = nullptr;
    if (abschnitt == "verkaeufer") {
      anfang = std::begin(kVerkaeufer);
      ende = std::end(kVerkaeufer);
      mitVerkaeufer = true;
    } else if (abschnitt == "kaeufer") {
      anfang = std::begin(kKaeufer);
      ende = std::end(kKaeufer);
      mitKaeufer = true;
    } else {
      fehler.push_back("Unbekannter Abschnitt »" + abschnitt +
                       "« in den Stammdaten (erlaubt: »verkaeufer«, »kaeufer«).");
      continue;
    }
    if (!inhalt.is_object()) {
      fehler.push_back("Der Abschnitt »" + abschnitt + "« der Stammdaten ist kein JSON-Objekt.");
      continue;
    }
    for (const auto& [schluessel, wert] : inhalt.items()) {
      const Feld* feld = FeldNamens(anfang, ende, schluessel);
      if (!feld) {
        fehler.push_back("Unbekanntes Feld »" + schluessel + "« im Abschnitt »" + abschnitt +
                         "« der Stammdaten.");
      } else if (wert.is_null()) {
        feld->wert(neu).clear();
      } else if (!wert.is_string()) {
        fehler.push_back(std::string(feld->bezeichnung) + ": »" + schluessel +
                         "« muss ein Text sein.");
      } else {
        feld->wert(neu) = Trimmen(wert.get<std::string>());
      }
    }
  }
  if (fehler.empty()) daten = std::move(neu);
  return fehler;
}

std::vector<std::string> UngueltigeFelder(const Stammdaten& d) {
  std::vector<std::string> fehler;
  auto melde = [&](const std::string& bezeichnung, const std::string& wert,
                   const std::string& grund) {
    fehler.push_back("Ungültig: " + bezeichnung + " »" + wert + "« (" + grund + ").");
  };
  const auto& v = d.verkaeufer;
  if (!v.iban.empty() && !IbanGueltig(v.iban))
    melde("IBAN des Verkäufers (BT-84)", v.iban, "Länge oder Prüfziffer stimmt nicht");
  if (!v.ustId.empty() && !UstIdGueltig(v.ustId))
    melde("Umsatzsteuer-Identifikationsnummer des Verkäufers (BT-31)", v.ustId,
          "erwartet Länderkennung und Nummer, in Deutschland DE und 9 Ziffern");
  if (!v.email.empty() && !EmailGueltig(v.email))
    melde("E-Mail des Verkäufers (BT-43)", v.email, "keine E-Mail-Adresse");
  if (!v.anschrift.land.empty() && !LandGueltig(v.anschrift.land))
    melde("Land des Verkäufers (BT-40)", v.anschrift.land, "zwei Großbuchstaben, z. B. DE");
  if (!v.bic.empty() && v.bic.size() != 8 && v.bic.size() != 11)
    melde("BIC des Verkäufers (BT-86)", v.bic, "8 oder 11 Zeichen");
  const auto& k = d.kaeufer;
  if (!k.email.empty() && !EmailGueltig(k.email))
    melde("E-Mail des Empfängers (BT-49)", k.email, "keine E-Mail-Adresse");
  if (!k.anschrift.land.empty() && !LandGueltig(k.anschrift.land))
    melde("Land des Empfängers (BT-55)", k.anschrift.land, "zwei Großbuchstaben, z. B. DE");
  if (!k.leitwegId.empty() && !LeitwegIdGueltig(k.leitwegId))
    melde("Leitweg-ID des Empfängers (BT-10)", k.leitwegId,
          "erwartet z. B. 04011000-12345-03: Grobadressierung, Feinadressierung, Prüfziffer");
  return fehler;
}

std::vector<std::string> StammdatenPruefen(const Stammdaten& daten, Format format) {
  const bool xrechnung = format != Format::Zugferd;
  const std::string vorspann =
      xrechnung ? "Für die XRechnung fehlt: " : "Für die ZUGFeRD-Rechnung fehlt: ";
  std::vector<std::string> fehler;
  Stammdaten d = daten;
  auto pruefe = [&](const Feld* anfang, const Feld* ende,
                    std::initializer_list<const char*> noetig) {
    for (const char* schluessel : noetig) {
      const Feld* f = FeldNamens(anfang, ende, schluessel);
      if (f && f->wert(d).empty()) fehler.push_back(vorspann + f->bezeichnung);
    }
  };
  const Feld* va = std::begin(kVerkaeufer);
  const Feld* ve = std::end(kVerkaeufer);
  pruefe(va, ve, {"name", "strasse", "plz", "ort", "land"});
  if (d.verkaeufer.ustId.empty() && d.verkaeufer.steuernummer.empty())
    fehler.push_back(vorspann +
                     "Umsatzsteuer-Identifikationsnummer (BT-31) oder Steuernummer (BT-32) des "
                     "Verkäufers");
  if (xrechnung) pruefe(va, ve, {"kontakt", "telefon", "email"});
  pruefe(va, ve, {"iban"});
  const Feld* ka = std::begin(kKaeufer);
  const Feld* ke = std::end(kKaeufer);
  pruefe(ka, ke, {"name", "strasse", "plz", "ort", "land"});
  if (xrechnung) pruefe(ka, ke, {"leitweg_id"});
  for (auto& f : UngueltigeFelder(daten)) fehler.push_back(std::move(f));
  return fehler;
}

std::string StammdatenSchema() {
  // The schema without its comments; then every statement that creates one of the two tables.
  std::string schema;
  for (std::string_view rest = dao::JobDatabaseSchema(); !rest.empty();) {
    const auto zeilenende = rest.find('\n');
    std::string_view zeile = rest.substr(0, zeilenende);
    rest = zeilenende == std::string_view::npos ? "" : rest.substr(zeilenende + 1);
    schema += std::string(zeile.substr(0, zeile.find("--"))) + "\n";
  }
  std::string aus;
  const std::string anfang = "CREATE TABLE IF NOT EXISTS ERechnung";
  for (auto stelle = schema.find(anfang); stelle != std::string::npos;
       stelle = schema.find(anfang, stelle + 1)) {
    const auto ende = schema.find(';', stelle);
    if (ende == std::string::npos) break;
    aus += schema.substr(stelle, ende - stelle + 1) + "\n";
  }
  return aus;
}

void StammdatenTabellenAnlegen(dao::Database& db) {
  db.Execute("BEGIN;\n" + StammdatenSchema() + "COMMIT;");
}

void StammdatenLesen(dao::Database& db, std::int32_t rechnung, Stammdaten& daten) {
  ZeileLesen(db, "SELECT * FROM ERechnungVerkaeufer WHERE ID = ?", 1, kVerkaeufer, daten);
  ZeileLesen(db, "SELECT * FROM ERechnungKaeufer WHERE ID_Rechnungsnummer = ?", rechnung, kKaeufer,
             daten);
}

void StammdatenSpeichern(dao::Database& db, std::int32_t rechnung, const Stammdaten& daten,
                         bool mitVerkaeufer, bool mitKaeufer) {
  if (mitVerkaeufer) ZeileSchreiben(db, "ERechnungVerkaeufer", "ID", 1, kVerkaeufer, daten);
  if (mitKaeufer)
    ZeileSchreiben(db, "ERechnungKaeufer", "ID_Rechnungsnummer", rechnung, kKaeufer, daten);
}

}  // namespace tarvo::erechnung
