// Laufzeitfehler: the one exception type of tarvo. Every operation that can fail (platform calls,
// conversions, checked arithmetic) throws it with the old runtime's error number and its German
// description; only the trap (Falle.h) catches it.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace tarvo {

class Laufzeitfehler : public std::exception {
 public:
  // Uses the runtime's standard description for `nummer` (StandardText).
  explicit Laufzeitfehler(std::int32_t nummer);
  Laufzeitfehler(std::int32_t nummer, std::string beschreibung, std::int32_t zeile = 0);

  std::int32_t Nummer() const { return nummer_; }
  const std::string& Beschreibung() const { return beschreibung_; }
  std::int32_t Zeile() const { return zeile_; }
  const char* what() const noexcept override { return beschreibung_.c_str(); }

  // The runtime's German description of an error number; a generic text for unknown numbers.
  static std::string StandardText(std::int32_t nummer);

 private:
  std::int32_t nummer_;
  std::string beschreibung_;
  std::int32_t zeile_;
};

// Error numbers used across the system.
namespace fehlernummer {
constexpr std::int32_t UngueltigerAufruf = 5;
constexpr std::int32_t Ueberlauf = 6;
constexpr std::int32_t KeinSpeicher = 7;
constexpr std::int32_t IndexAusserhalb = 9;
constexpr std::int32_t DivisionDurchNull = 11;
constexpr std::int32_t TypenUnvertraeglich = 13;
constexpr std::int32_t DateiNichtGefunden = 53;
constexpr std::int32_t DateiZugriff = 75;
constexpr std::int32_t ObjektNichtFestgelegt = 91;
constexpr std::int32_t NullVerwendung = 94;
constexpr std::int32_t ObjekterstellungNichtMoeglich = 429;
constexpr std::int32_t KeinAktuellerDatensatz = 3021;
constexpr std::int32_t DatenbankNichtGefunden = 3024;
constexpr std::int32_t TabelleNichtGefunden = 3078;
constexpr std::int32_t GesperrtDurchAnderen = 3218;
constexpr std::int32_t DatenbankGesperrt = 3260;
constexpr std::int32_t FeldNichtGefunden = 3265;
constexpr std::int32_t ElementFehlt = 5941;
}  // namespace fehlernummer

}  // namespace tarvo
