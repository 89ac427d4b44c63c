// The C interface (tarvo/tarvo.h): turns C calls into calls of GO, the class factory and the job
// runner, and every error into its number. Nothing thrown below may leave through a C function:
// each one ends in Grenze(), which maps the system's Laufzeitfehler to its number, memory
// exhaustion to 7 and anything else to 51 (internal error). One lock serialises the calls that
// touch the process-wide job state.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "auftrag/AuftragBericht.h"
#include "auftrag/AuftragDatei.h"
#include "auftrag/AuftragLauf.h"
#include "auftrag/Kontext.h"
#include "common/Version.h"
#include "errors/Fehler.h"
#include "errors/Laufzeitfehler.h"
#include "host/GO.h"
#include "host/KomIdentitaet.h"
#include "tarvo/tarvo.h"

struct tarvo_go {
  std::shared_ptr<tarvo::GO> objekt;
};

namespace {

using tarvo::GO;
using tarvo::Laufzeitfehler;
using tarvo::Variant;

constexpr int kUnbekannteEigenschaft = 438;
constexpr int kInternerFehler = 51;

std::mutex& Sperre() {
  static std::mutex sperre;
  return sperre;
}

// Runs `schritt` under the lock; its Laufzeitfehler becomes the return value.
template <class Schritt>
int Grenze(Schritt&& schritt) {
  try {
    std::lock_guard<std::mutex> gesperrt(Sperre());
    schritt();
    return 0;
  } catch (const Laufzeitfehler& fehler) {
    return fehler.Nummer();
  } catch (const std::bad_alloc&) {
    return tarvo::fehlernummer::KeinSpeicher;
  } catch (...) {
    return kInternerFehler;
  }
}

// A copy of `text` the caller releases with tarvo_freigeben; throws bad_alloc.
char* Herausgeben(std::string_view text) {
  char* kopie = static_cast<char*>(std::malloc(text.size() + 1));
  if (!kopie) throw std::bad_alloc();
  std::memcpy(kopie, text.data(), text.size());
  kopie[text.size()] = '\0';
  return kopie;
}

bool GleichOhneGross(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if ((x < 0x80 ? std::tolower(x) : x) != (y < 0x80 ? std::tolower(y) : y)) return false;
  }
  return true;
}

// The properties a text can be let into and read from, with their get and let.
using Lesen = Variant (GO::*)() const;
using Setzen = void (GO::*)(const Variant&);
struct Eigenschaft {
  const char* name;
  Lesen lesen;
  Setzen setzen;
};
#define TARVO_EIGENSCHAFT(name)                                              \
  Eigenschaft {                                                              \
#name, static_cast < Lesen>(&GO::name), static_cast < Setzen>(&GO::name) \
  }
const Eigenschaft kEigenschaften[] = {
    TARVO_EIGENSCHAFT(Flurstücksnummer),  TARVO_EIGENSCHAFT(Fläche),
    TARVO_EIGENSCHAFT(Bodenwert),         TARVO_EIGENSCHAFT(Lage),
    TARVO_EIGENSCHAFT(Baukosten),         TARVO_EIGENSCHAFT(Achslänge),
    TARVO_EIGENSCHAFT(Grenzlänge),        TARVO_EIGENSCHAFT(Flurstücke),
    TARVO_EIGENSCHAFT(AnzahlGrenzpunkte), TARVO_EIGENSCHAFT(ID_Benutzer),
};
#undef TARVO_EIGENSCHAFT
// Properties that hold objects: a text is no object (13).
const char* const kObjekte[] = {"Doc", "NeueAbfrage", "LumoWorkspace"};
constexpr const char* kPfad = "DatenbankPfad";

GO& Objekt(tarvo_go* go) {
  if (!go || !go->objekt) throw Laufzeitfehler(tarvo::fehlernummer::ObjektNichtFestgelegt);
  return *go->objekt;
}

const Eigenschaft* Suchen(const char* name) {
  for (const Eigenschaft& e : kEigenschaften)
    if (GleichOhneGross(name, e.name)) return &e;
  return nullptr;
}

void Unbekannt() {
  throw Laufzeitfehler(kUnbekannteEigenschaft,
                       "Objekt unterstützt diese Eigenschaft oder Methode nicht");
}

// The property is an object property (13) or unknown (438); returns for DatenbankPfad.
void KeinWert(const char* name) {
  for (const char* objekt : kObjekte)
    if (GleichOhneGross(name, objekt))
      throw Laufzeitfehler(tarvo::fehlernummer::TypenUnvertraeglich);
  if (!GleichOhneGross(name, kPfad)) Unbekannt();
}

std::string Bericht(const char* auftrag_json, const char* basisordner, int& status) {
  namespace auftrag = tarvo::auftrag;
  auftrag::Kontext().clear();
  try {
    if (!auftrag_json)
      throw Laufzeitfehler(tarvo::fehlernummer::UngueltigerAufruf,
                           "Es wurde kein Auftrag übergeben.");
    std::string text = auftrag_json;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    const std::filesystem::path ordner = basisordner && *basisordner
                                             ? std::filesystem::u8path(basisordner)
                                             : std::filesystem::path(".");
    const auftrag::Auftrag a = auftrag::AuftragAusText(text, ordner, "Auftrag");
    const auftrag::Ergebnis ergebnis = auftrag::AuftragAusfuehren(a);
    status = ergebnis.fehler == 0 ? TARVO_ERFOLG : TARVO_FEHLER_PROTOKOLLIERT;
    return auftrag::BerichtJson(ergebnis).dump(2) + "\n";
  } catch (const Laufzeitfehler& fehler) {
    std::string meldung = fehler.Beschreibung();
    if (!auftrag::Kontext().empty()) meldung = auftrag::Kontext() + ": " + meldung;
    auftrag::Kontext().clear();
    status = TARVO_UNBRAUCHBAR;
    nlohmann::ordered_json j;
    j["gespeichert"] = false;
    j["fehler"] = {{"nummer", fehler.Nummer()}, {"meldung", meldung}};
    return j.dump(2) + "\n";
  }
}

}  // namespace

extern "C" {

const char* tarvo_version(void) {
  static const std::string text = tarvo::VersionMitRevision();
  return text.c_str();
}

void tarvo_freigeben(void* p) {
  std::free(p);
}

int tarvo_auftrag_ausfuehren(const char* auftrag_json, const char* basisordner,
                             char** bericht_json) {
  if (bericht_json) *bericht_json = nullptr;
  int status = TARVO_UNBRAUCHBAR;
  std::string bericht;
  // A failure outside the job's own (memory, an internal error) is unusable input as well.
  if (Grenze([&] { bericht = Bericht(auftrag_json, basisordner, status); }) != 0)
    return TARVO_UNBRAUCHBAR;
  if (bericht_json && Grenze([&] { *bericht_json = Herausgeben(bericht); }) != 0)
    return TARVO_UNBRAUCHBAR;
  return status;
}

tarvo_go* tarvo_go_neu(void) {
  tarvo_go* go = nullptr;
  tarvo_objekt_erzeugen(TARVO_PROGID, &go);
  return go;
}

int tarvo_objekt_erzeugen(const char* kennung, tarvo_go** go) {
  if (!go) return tarvo::fehlernummer::UngueltigerAufruf;
  *go = nullptr;
  return Grenze([&] {
    auto objekt = tarvo::kom::ObjektErzeugen(kennung ? kennung : "");
    *go = new tarvo_go{std::move(objekt)};
  });
}

void tarvo_go_freigeben(tarvo_go* go) {
  if (go) Grenze([&] { delete go; });
}

int tarvo_go_setzen(tarvo_go* go, const char* eigenschaft, const char* wert) {
  return Grenze([&] {
    GO& objekt = Objekt(go);
    if (!eigenschaft) Unbekannt();
    const Variant v = wert ? Variant(std::string(wert)) : Variant::Null();
    if (const Eigenschaft* e = Suchen(eigenschaft)) return (objekt.*(e->setzen))(v);
    KeinWert(eigenschaft);
    objekt.DatenbankPfad(CStr(v));
  });
}

int tarvo_go_lesen(tarvo_go* go, const char* eigenschaft, char** wert) {
  if (wert) *wert = nullptr;
  return Grenze([&] {
    GO& objekt = Objekt(go);
    if (!eigenschaft) Unbekannt();
    if (!wert) throw Laufzeitfehler(tarvo::fehlernummer::UngueltigerAufruf);
    std::string text;
    if (const Eigenschaft* e = Suchen(eigenschaft)) {
      text = CStr((objekt.*(e->lesen))());
    } else {
      KeinWert(eigenschaft);
      text = objekt.DatenbankPfad();
    }
    *wert = Herausgeben(text);
  });
}

int tarvo_go_fehler(tarvo_go* go, char** fehler_json) {
  if (fehler_json) *fehler_json = nullptr;
  return Grenze([&] {
    Objekt(go);
    if (!fehler_json) throw Laufzeitfehler(tarvo::fehlernummer::UngueltigerAufruf);
    const tarvo::GO_Error& f = tarvo::LetzterFehler();
    nlohmann::ordered_json j;
    j["Funktionsname"] = f.Funktionsname;
    j["strFehler"] = f.strFehler;
    j["strModul"] = f.strModul;
    j["strFunktion"] = f.strFunktion;
    j["strNr"] = f.strNr;
    j["Hinweis"] = f.Hinweis;
    *fehler_json = Herausgeben(j.dump());
  });
}

int tarvo_go_aktualisieren(tarvo_go* go) {
  return Grenze([&] { Objekt(go).Aktualisieren(); });
}

}  // extern "C"
