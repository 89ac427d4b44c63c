#include "errors/Pruefen.h"

#include <cmath>

#include "errors/Laufzeitfehler.h"

namespace tarvo {

double Teile(double a, double b) {
  if (b == 0)
    throw Laufzeitfehler(a == 0 ? fehlernummer::Ueberlauf : fehlernummer::DivisionDurchNull);
  double ergebnis = a / b;
  if (!std::isfinite(ergebnis)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return ergebnis;
}

double RundeGerade(double wert) {
  double unten = std::floor(wert);
  double rest = wert - unten;
  if (rest > 0.5) return unten + 1;
  if (rest < 0.5) return unten;
  return std::fmod(unten, 2.0) == 0 ? unten : unten + 1;
}

std::int16_t NachInteger(double wert) {
  if (std::isnan(wert)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  double r = RundeGerade(wert);
  if (r < -32768.0 || r > 32767.0) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return static_cast<std::int16_t>(r);
}

std::int32_t NachLong(double wert) {
  if (std::isnan(wert)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  double r = RundeGerade(wert);
  if (r < -2147483648.0 || r > 2147483647.0) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return static_cast<std::int32_t>(r);
}

std::int32_t LongPlus(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return r;
}

std::int32_t LongMinus(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return r;
}

std::int32_t LongMal(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return r;
}

std::int16_t IntegerMal(std::int16_t a, std::int16_t b) {
  std::int16_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return r;
}

}  // namespace tarvo
