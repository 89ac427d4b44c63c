#include "common/XmlZeichen.h"

#include <cstdint>
#include <cstdio>

namespace tarvo::xmlzeichen {
namespace {

// Decodes the UTF-8 character at `i`; its length in bytes, or 0 when the bytes are not a valid,
// shortest encoding of one code point.
std::size_t Dekodieren(std::string_view text, std::size_t i, char32_t& zeichen) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    zeichen = c;
    return 1;
  }
  std::size_t laenge;
  char32_t mindestens;
  if ((c & 0xE0) == 0xC0) {
    laenge = 2, zeichen = c & 0x1F, mindestens = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    laenge = 3, zeichen = c & 0x0F, mindestens = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    laenge = 4, zeichen = c & 0x07, mindestens = 0x10000;
  } else {
    return 0;
  }
  if (i + laenge > text.size()) return 0;
  for (std::size_t k = 1; k < laenge; ++k) {
    const auto f = static_cast<unsigned char>(text[i + k]);
    if ((f & 0xC0) != 0x80) return 0;
    zeichen = (zeichen << 6) | (f & 0x3F);
  }
  if (zeichen < mindestens || zeichen > 0x10FFFF) return 0;
  return laenge;
}

bool Erlaubt(char32_t z, bool steuerzeichen) {
  if (z < 0x20) return steuerzeichen || z == 0x09 || z == 0x0A || z == 0x0D;
  if (z >= 0xD800 && z <= 0xDFFF) return false;
  return z != 0xFFFE && z != 0xFFFF;
}

}  // namespace

std::optional<Verboten> ErstesVerbotenes(std::string_view text) {
  char puffer[32];
  for (std::size_t i = 0; i < text.size();) {
    char32_t z = 0;
    const std::size_t laenge = Dekodieren(text, i, z);
    if (laenge == 0) {
      std::snprintf(puffer, sizeof puffer, "das Byte 0x%02X (kein UTF-8)",
                    static_cast<unsigned>(static_cast<unsigned char>(text[i])));
      return Verboten{i, puffer};
    }
    if (!Erlaubt(z, false)) {
      std::snprintf(puffer, sizeof puffer, "U+%04X", static_cast<unsigned>(z));
      return Verboten{i, puffer};
    }
    i += laenge;
  }
  return std::nullopt;
}

std::string Bereinigt(std::string_view text, bool steuerzeichen) {
  std::string rein;
  rein.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t z = 0;
    const std::size_t laenge = Dekodieren(text, i, z);
    if (laenge == 0) {
      ++i;
      continue;
    }
    if (Erlaubt(z, steuerzeichen)) rein.append(text.substr(i, laenge));
    i += laenge;
  }
  return rein;
}

bool Unbedenklich(std::string_view text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 || (b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0D)) return false;
  }
  return true;
}

}  // namespace tarvo::xmlzeichen
