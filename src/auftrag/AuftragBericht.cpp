#include "auftrag/AuftragBericht.h"

#include <sstream>

#include "common/Funktionen.h"

namespace tarvo::auftrag {
namespace {

std::string Titel(const std::string& tag) {
  if (tag == "TARVO_Neben") return "Auslagen nach Nr. 1.3";
  if (tag == "TARVO_03_1") return "Flurstückszerlegung nach Nr. 2";
  if (tag == "TARVO_03_1A" || tag == "TARVO_03_4A") return "Abmarkung nach Nr. 6";
  if (tag == "TARVO_03_2") return "Gebäudeaufnahme nach Nr. 3";
  if (tag == "TARVO_03_3") return "Vermessung nach Nr. 5";
  if (tag == "TARVO_03_4") return "Grenzwiederherstellung nach Nr. 4";
  return tag;
}

// Hundredths of a euro as German amount text.
std::string Cent(double hundertstel) {
  return werte::Formatiert(hundertstel / 100, 2) + " €";
}

std::string Rechts(const std::string& text, std::size_t breite) {
  std::size_t zeichen = 0;
  for (unsigned char c : text) zeichen += (c & 0xC0) != 0x80;
  return zeichen >= breite ? text : std::string(breite - zeichen, ' ') + text;
}

double Wert(const std::string& text) {
  return text.empty() ? 0 : CVal(text);
}

}  // namespace

std::string BerichtText(const Ergebnis& e) {
  std::ostringstream aus;
  if (e.gespeichert)
    aus << "Rechnung gespeichert: " << e.ausgabe.string() << "\n";
  else
    aus << "Abgebrochen: das Dokument wurde nicht geändert.\n";
  for (const Tabellenbericht& tabelle : e.tabellen) {
    aus << "\n" << Titel(tabelle.tag) << " (" << tabelle.tag << ")\n";
    for (const Betragszeile& z : tabelle.zeilen) {
      aus << "  " << z.text << "\n    ";
      if (!z.gebühr.empty())
        aus << "Gebühr " << Rechts(z.gebühr, 14) << "   Ihr Anteil ";
      else
        aus << "Betrag ";
      aus << Rechts(z.betrag, 14) << "\n";
    }
  }
  if (!e.summen.empty()) {
    aus << "\nRechnungssumme\n";
    for (const Betragszeile& z : e.summen) {
      aus << "  " << z.text;
      if (!z.gebühr.empty()) aus << "  (Basis " << z.gebühr << ")";
      aus << "  " << z.betrag << "\n";
    }
  }
  if (e.rechnung) {
    const Rechnungsbericht& r = *e.rechnung;
    aus << "\nRechnung " << r.id << " in der Datenbank\n"
        << "  NettoRechnung               " << Rechts(Cent(r.netto), 14) << "\n"
        << "  MehrwertsteuerFreierbetrag  " << Rechts(Cent(r.frei), 14) << "\n"
        << "  Brutto                      " << Rechts(Cent(r.brutto), 14) << "\n"
        << "  Mehrwertsteuersatz          " << Rechts(werte::Formatiert(r.satz / 10, 1) + " %", 14)
        << "\n";
  }
  aus << "\n";
  for (const std::string& hinweis : e.hinweise) aus << "Hinweis: " << hinweis << "\n";
  if (e.fehler == 0) {
    aus << "Keine Fehler protokolliert.\n";
  } else {
    aus << "ACHTUNG: " << e.fehler << (e.fehler == 1 ? " Fehler wurde" : " Fehler wurden")
        << " protokolliert, siehe " << (e.protokoll.empty() ? "Verw.log" : e.protokoll.string())
        << ". Das Ergebnis ist unvollständig.\n";
  }
  return aus.str();
}

nlohmann::ordered_json BerichtJson(const Ergebnis& e) {
  using Json = nlohmann::ordered_json;
  Json j;
  j["gespeichert"] = e.gespeichert;
  j["ausgabe"] = e.ausgabe.string();
  j["abschluss"] = e.abbruch ? "Abbruch" : "OK";
  j["tabellen"] = Json::array();
  for (const Tabellenbericht& t : e.tabellen) {
    Json zeilen = Json::array();
    for (const Betragszeile& z : t.zeilen) {
      Json zeile;
      zeile["text"] = z.text;
      if (!z.gebühr.empty()) zeile["gebuehr"] = Wert(z.gebühr);
      zeile["betrag"] = Wert(z.betrag);
      zeilen.push_back(zeile);
    }
    j["tabellen"].push_back({{"tag", t.tag}, {"zeilen", zeilen}});
  }
  j["summen"] = Json::array();
  for (const Betragszeile& z : e.summen) {
    Json zeile;
    zeile["text"] = z.text;
    if (!z.gebühr.empty()) zeile["basis"] = Wert(z.gebühr);
    zeile["betrag"] = Wert(z.betrag);
    j["summen"].push_back(zeile);
  }
  if (e.rechnung) {
    j["rechnung"] = {{"ID_Rechnungsnummer", e.rechnung->id},
                     {"NettoRechnung", e.rechnung->netto},
                     {"MehrwertsteuerFreierbetrag", e.rechnung->frei},
                     {"Brutto", e.rechnung->brutto},
                     {"Mehrwertsteuersatz", e.rechnung->satz}};
  } else {
    j["rechnung"] = nullptr;
  }
  j["fehler"] = {{"anzahl", e.fehler}, {"protokoll", e.protokoll.string()}};
  j["hinweise"] = e.hinweise;
  return j;
}

}  // namespace tarvo::auftrag
