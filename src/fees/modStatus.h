// modStatus: the process-wide job state. One struct whose members carry the names and types of
// the state variables the host hands over through GO and that Show loads from the user's
// settings; one instance for the process (Status()), never reset by the library (tests reset it
// in their fixtures with Zuruecksetzen()). Objects are shared references.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "errors/Fehler.h"

namespace tarvo {
namespace word {
class Document;
class Application;
}  // namespace word
namespace dao {
class Database;
class Workspace;
class Recordset;
}  // namespace dao

// Every state variable but the error record; plain values, so a fresh one resets them all.
struct JobDaten {
  // Handed over by the host through GO's properties.
  std::string Flurstücksnummer;
  double Fläche = 0;
  double Bodenwert = 0;
  std::string Lage;
  double Baukosten = 0;
  std::int16_t Achslänge = 0;
  // Achslänge as the host let it: the category-3 form overwrites Achslänge with the axis it
  // computed last, a new row's built-up length takes this one.
  std::int16_t AchslängeAuftrag = 0;
  std::int32_t Grenzlänge = 0;
  std::int16_t Flurstücke = 0;
  std::int16_t AnzahlGrenzpunkte = 0;
  std::shared_ptr<word::Document> Doc;
  std::shared_ptr<word::Application> WordApp;
  std::int32_t ID_Benutzer = 0;
  std::shared_ptr<dao::Database> NeueAbfrage;
  std::string DatenbankPfad;
  std::shared_ptr<dao::Workspace> LumoWorkspace;

  // Set by Show.
  std::shared_ptr<dao::Recordset> Rechnung;
  std::int32_t hWndMDI = 0;
  std::int32_t ID_Auftragsnummer = 0;
  bool MeßtruppZusammenfassen = false;
  std::int32_t ID_Lieferschein = 0;
  double AbschlagAbsolut = 0;
  std::int16_t AbschlagProzent = 0;
  bool Zahlungsziel = false;
  std::int16_t Mehrwertsteuersatz = 0;
  std::int16_t Preisgruppe1 = 0;
  std::int16_t Preisgruppe2 = 0;
  std::int16_t Preisgruppe3 = 0;
  std::int16_t Preisgruppe4 = 0;
  std::int16_t Mehrwertsteuer = 0;
  std::int16_t MwStErmäßigt = 0;
  std::int16_t Rabatt = 0;
};

struct JobStatus : JobDaten {
  // The last error reported; the same record the reporter fills.
  GO_Error& Fehler = LetzterFehler();

  // Back to the empty state of a freshly loaded library (for tests), Fehler included.
  void Zuruecksetzen();
};

// The one job state of the process.
JobStatus& Status();

}  // namespace tarvo
