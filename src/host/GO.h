// GO: the component's one public, creatable class. The host hands over the job's data through
// its properties; each let converts the Variant it is given and stores it in the process-wide
// job state (Status()), each get returns the stored value. A GO holds no state of its own: two
// objects share everything, the last write wins. A let that cannot convert its value throws
// Laufzeitfehler (13 type mismatch, 6 overflow, 94 Null) to the caller, logs nothing and leaves
// the stored value as it was. Show (the host's entry into the fee forms) lives in host/Show.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/Variant.h"

namespace tarvo {
namespace dao {
class Recordset;
class Workspace;
}  // namespace dao

// An event of the outgoing interface: sinks connect and disconnect; Ausloesen calls every sink
// connected at that moment in the order of connection.
class Ereignis {
 public:
  using Sink = std::function<void()>;
  // Connects a sink; returns the cookie that disconnects it (never 0).
  std::int32_t Verbinden(Sink sink);
  // Disconnects the sink with this cookie; does nothing for an unknown cookie.
  void Trennen(std::int32_t cookie);
  std::size_t Anzahl() const { return sinks_.size(); }
  void Ausloesen() const;

 private:
  std::map<std::int32_t, Sink> sinks_;
  std::int32_t naechster_ = 1;
};

class GO : public Objekt {
 public:
  // Members in the order of the interface's slots.

  // Loads the user's invoice settings and opens the category form `Index` (host/Show.cpp).
  void Show(std::int16_t Index, std::shared_ptr<dao::Recordset> Rechnung, std::int32_t hWndMDI);
  // Has no effect and raises no event.
  void Aktualisieren();

  Variant Flurstücksnummer() const;  // String
  void Flurstücksnummer(const Variant& wert);
  Variant Fläche() const;  // Double
  void Fläche(const Variant& wert);
  Variant Bodenwert() const;  // Double
  void Bodenwert(const Variant& wert);
  Variant Lage() const;  // String
  void Lage(const Variant& wert);
  Variant Baukosten() const;  // Double
  void Baukosten(const Variant& wert);
  Variant Achslänge() const;  // Integer; let rounds half to even, 6 outside 16 bits
  void Achslänge(const Variant& wert);
  Variant Grenzlänge() const;  // Long; let rounds half to even, 6 outside 32 bits
  void Grenzlänge(const Variant& wert);
  Variant Flurstücke() const;  // Integer
  void Flurstücke(const Variant& wert);
  Variant AnzahlGrenzpunkte() const;  // Integer
  void AnzahlGrenzpunkte(const Variant& wert);
  // The document; an object Variant holding no object until one is let. The let takes only a
  // word::Document (else 13) and stores its application as WordApp too.
  Variant Doc() const;
  void Doc(const Variant& wert);
  Variant ID_Benutzer() const;  // Long
  void ID_Benutzer(const Variant& wert);
  // The job database; the let takes only a dao::Database (else 13).
  Variant NeueAbfrage() const;
  void NeueAbfrage(const Variant& wert);
  const std::string& DatenbankPfad() const;
  void DatenbankPfad(const std::string& wert);
  // The workspace Show opens the database in; the let takes only a dao::Workspace (else 13).
  std::shared_ptr<dao::Workspace> LumoWorkspace() const;
  void LumoWorkspace(const Variant& wert);

  // The outgoing interface's one event. Declared for the host to connect to; nothing raises it.
  Ereignis DatenAktualisieren;
};

}  // namespace tarvo
