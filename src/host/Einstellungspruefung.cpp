#include "host/Einstellungspruefung.h"

#include <string>

#include "common/Variant.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"

namespace tarvo {
namespace {

std::string Anzeige(const Variant& wert) {
  if (wert.IstNull()) return "leer (NULL)";
  if (wert.IstEmpty()) return "leer";
  const std::string text = CStr(wert);
  return text.empty() ? "leer" : "»" + text + "«";
}

[[noreturn]] void Falsch(std::int32_t benutzer, const char* feld, const Variant& wert,
                         const std::string& folge) {
  throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich,
                       "Rechnungseinstellungen des Benutzers " + std::to_string(benutzer) +
                           ": TempDoc." + feld + " ist " + Anzeige(wert) + "; " + folge +
                           " Bitte die Einstellung berichtigen.");
}

// The value as a number; none for Null, Empty, or a text that is no number (an empty one too).
bool Zahl(const Variant& wert, double& zahl) {
  if (wert.IstNull() || wert.IstEmpty()) return false;
  if (wert.Typ() == VarTyp::String && !zahltext::IstZahl(CStr(wert))) return false;
  zahl = CDbl(wert);
  return true;
}

}  // namespace

void EinstellungenPruefen(dao::Database& datenbank, std::int32_t benutzer) {
  auto satz = datenbank.OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = ?",
                                      dao::dbOpenDynaset, {Variant(benutzer)});
  if (satz->EOF()) return;
  auto feld = [&](const char* name) { return satz->Fields(name).Value(); };

  const Variant prozent = feld("AbschlagProzent"), absolut = feld("AbschlagAbsolut");
  double p = 0, a = 0;
  if (!Zahl(prozent, p))
    Falsch(benutzer, "AbschlagProzent", prozent,
           "die Rechnung beliefe sich auf 0 % der Gebühren (100 steht für eine Rechnung ohne "
           "Abschlag).");
  if (p < 0.5)
    Falsch(benutzer, "AbschlagProzent", prozent,
           "eine Rechnung über einen Anteil von null oder weniger Prozent ist nicht möglich.");
  if (!absolut.IstNull() && !absolut.IstEmpty() && Zahl(absolut, a) && a < 0)
    Falsch(benutzer, "AbschlagAbsolut", absolut, "ein negativer Abschlag ist nicht möglich.");
  if (p > 100 && a == 0)
    Falsch(benutzer, "AbschlagProzent", prozent,
           "über 100 % gilt AbschlagAbsolut als Betrag der Rechnung, und der ist 0.");

  for (const char* name : {"Mehrwertsteuersatz", "Mehrwertsteuer", "MwStErmäßigt"}) {
    const Variant satzwert = feld(name);
    double zehntel = 0;
    const bool pflicht = std::string(name) == "Mehrwertsteuersatz";
    if (!Zahl(satzwert, zehntel)) {
      if (pflicht)
        Falsch(benutzer, name, satzwert,
               "die Rechnung enthielte keine Umsatzsteuer (der Satz steht in Zehntelprozent, "
               "190 für 19 %).");
      continue;
    }
    if (zehntel < 0 || zehntel > 1000)
      Falsch(benutzer, name, satzwert,
             "ein Steuersatz liegt zwischen 0 und 1000 Zehntelprozent (190 für 19 %).");
  }
}

}  // namespace tarvo
