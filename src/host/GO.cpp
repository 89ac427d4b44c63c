#include "host/GO.h"

#include "fees/modStatus.h"
#include "platform/dao/Database.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo {

std::int32_t Ereignis::Verbinden(Sink sink) {
  std::int32_t cookie = naechster_++;
  sinks_.emplace(cookie, std::move(sink));
  return cookie;
}

void Ereignis::Trennen(std::int32_t cookie) {
  sinks_.erase(cookie);
}

void Ereignis::Ausloesen() const {
  auto kopie = sinks_;  // a sink may disconnect itself
  for (const auto& [cookie, sink] : kopie) {
    if (sink) sink();
  }
}

void GO::Aktualisieren() {}

// Each let converts first and stores only when the conversion succeeded, so a failing let
// leaves the state as it was.

Variant GO::Flurstücksnummer() const {
  return Variant(Status().Flurstücksnummer);
}
void GO::Flurstücksnummer(const Variant& wert) {
  Status().Flurstücksnummer = CStr(wert);
}

Variant GO::Fläche() const {
  return Variant(Status().Fläche);
}
void GO::Fläche(const Variant& wert) {
  Status().Fläche = CDbl(wert);
}

Variant GO::Bodenwert() const {
  return Variant(Status().Bodenwert);
}
void GO::Bodenwert(const Variant& wert) {
  Status().Bodenwert = CDbl(wert);
}

Variant GO::Lage() const {
  return Variant(Status().Lage);
}
void GO::Lage(const Variant& wert) {
  Status().Lage = CStr(wert);
}

Variant GO::Baukosten() const {
  return Variant(Status().Baukosten);
}
void GO::Baukosten(const Variant& wert) {
  Status().Baukosten = CDbl(wert);
}

Variant GO::Achslänge() const {
  return Variant(Status().Achslänge);
}
void GO::Achslänge(const Variant& wert) {
  Status().Achslänge = Status().AchslängeAuftrag = CInt(wert);
}

Variant GO::Grenzlänge() const {
  return Variant(Status().Grenzlänge);
}
void GO::Grenzlänge(const Variant& wert) {
  Status().Grenzlänge = CLng(wert);
}

Variant GO::Flurstücke() const {
  return Variant(Status().Flurstücke);
}
void GO::Flurstücke(const Variant& wert) {
  Status().Flurstücke = CInt(wert);
}

Variant GO::AnzahlGrenzpunkte() const {
  return Variant(Status().AnzahlGrenzpunkte);
}
void GO::AnzahlGrenzpunkte(const Variant& wert) {
  Status().AnzahlGrenzpunkte = CInt(wert);
}

Variant GO::Doc() const {
  return Variant(std::shared_ptr<Objekt>(Status().Doc));
}
void GO::Doc(const Variant& wert) {
  auto doc = CObj<word::Document>(wert);
  auto app = doc->Application();
  Status().Doc = std::move(doc);
  Status().WordApp = std::move(app);
}

Variant GO::ID_Benutzer() const {
  return Variant(Status().ID_Benutzer);
}
void GO::ID_Benutzer(const Variant& wert) {
  Status().ID_Benutzer = CLng(wert);
}

Variant GO::NeueAbfrage() const {
  return Variant(std::shared_ptr<Objekt>(Status().NeueAbfrage));
}
void GO::NeueAbfrage(const Variant& wert) {
  Status().NeueAbfrage = CObj<dao::Database>(wert);
}

const std::string& GO::DatenbankPfad() const {
  return Status().DatenbankPfad;
}
void GO::DatenbankPfad(const std::string& wert) {
  Status().DatenbankPfad = wert;
}

std::shared_ptr<dao::Workspace> GO::LumoWorkspace() const {
  return Status().LumoWorkspace;
}
void GO::LumoWorkspace(const Variant& wert) {
  Status().LumoWorkspace = CObj<dao::Workspace>(wert);
}

}  // namespace tarvo
