// Checked arithmetic: Doubles do not raise on their own, so division and narrowing go through
// these helpers, which throw Laufzeitfehler as the old runtime did (11 Division durch Null,
// 6 Überlauf). Narrowing rounds half to even.
#pragma once

#include <cstdint>

namespace tarvo {

// a / b; throws 11 when b is 0 (and a is not), 6 for 0 / 0 or a result that is not finite.
double Teile(double a, double b);

// Rounds half to even to a 16-bit integer; throws 6 outside -32768..32767 or for NaN.
std::int16_t NachInteger(double wert);
// Rounds half to even to a 32-bit integer; throws 6 outside the 32-bit range or for NaN.
std::int32_t NachLong(double wert);
// Rounds half to even to a whole number (the value stays a Double).
double RundeGerade(double wert);

// 32-bit integer arithmetic that throws 6 on overflow.
std::int32_t LongPlus(std::int32_t a, std::int32_t b);
std::int32_t LongMinus(std::int32_t a, std::int32_t b);
std::int32_t LongMal(std::int32_t a, std::int32_t b);
// 16-bit multiplication that throws 6 on overflow.
std::int16_t IntegerMal(std::int16_t a, std::int16_t b);

}  // namespace tarvo
