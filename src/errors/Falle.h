// Falle: the one trap mechanism of tarvo. A procedure creates one Falle naming its module and
// itself, then runs each statement through it. A statement that throws is abandoned, the error
// is reported once through FehlerProtokollieren (or skipped silently with Still), and the
// procedure carries on with its next statement. Nothing is rethrown.
//
//   Falle falle("modStatus", "GebührAusTabelle1");
//   double gebuehr = 0;
//   falle([&] { gebuehr = ...; });
//   return gebuehr;
#pragma once

#include <new>
#include <string>
#include <utility>

#include "errors/Laufzeitfehler.h"
#include "errors/Protokoll.h"

namespace tarvo {

class Falle {
 public:
  Falle(std::string modul, std::string prozedur)
      : modul_(std::move(modul)), prozedur_(std::move(prozedur)) {}

  // Runs one statement; returns false when it failed (the error is then reported).
  template <class Schritt>
  bool operator()(Schritt&& schritt) noexcept {
    return Ausfuehren(std::forward<Schritt>(schritt), true);
  }

  // Runs one statement with errors ignored: a failure is skipped without a log entry.
  template <class Schritt>
  bool Still(Schritt&& schritt) noexcept {
    return Ausfuehren(std::forward<Schritt>(schritt), false);
  }

  // Number of statements that failed under this trap (reported or skipped).
  int Fehlschlaege() const { return fehlschlaege_; }
  const std::string& Modul() const { return modul_; }
  const std::string& Prozedur() const { return prozedur_; }

 private:
  template <class Schritt>
  bool Ausfuehren(Schritt&& schritt, bool melden) noexcept {
    try {
      try {
        schritt();
        return true;
      } catch (const Laufzeitfehler& fehler) {
        Behandeln(fehler, melden);
      } catch (const std::bad_alloc&) {
        Behandeln(Laufzeitfehler(fehlernummer::KeinSpeicher), melden);
      } catch (const std::exception& fehler) {
        Behandeln(Laufzeitfehler(51, std::string("Interner Fehler: ") + fehler.what()), melden);
      }
    } catch (...) {
      Behandeln(Laufzeitfehler(51, "Interner Fehler"), melden);
    }
    return false;
  }

  void Behandeln(const Laufzeitfehler& fehler, bool melden) noexcept;

  std::string modul_;
  std::string prozedur_;
  int fehlschlaege_ = 0;
};

}  // namespace tarvo
