#include "common/Funktionen.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Variant.h"
#include "errors/Falle.h"

namespace tarvo {
namespace {

// Positions in WertFormatieren count characters, not bytes: the text is worked on as code
// points. A byte that does not start a valid UTF-8 sequence stands for itself.
std::u32string Zeichen(const std::string& text) {
  std::u32string ergebnis;
  for (size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    int laenge = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    char32_t zeichen = laenge == 1   ? b
                       : laenge == 2 ? (b & 0x1F)
                       : laenge == 3 ? (b & 0x0F)
                                     : (b & 0x07);
    bool gueltig = laenge > 0 && i + laenge <= text.size();
    for (int k = 1; gueltig && k < laenge; ++k) {
      auto f = static_cast<unsigned char>(text[i + k]);
      if ((f >> 6) != 2) gueltig = false;
      zeichen = (zeichen << 6) | (f & 0x3F);
    }
    if (!gueltig) {
      ergebnis += static_cast<char32_t>(b);
      ++i;
      continue;
    }
    ergebnis += zeichen;
    i += laenge;
  }
  return ergebnis;
}

std::string Utf8(const std::u32string& text) {
  std::string ergebnis;
  for (char32_t z : text) {
    if (z < 0x80) {
      ergebnis += static_cast<char>(z);
    } else if (z < 0x800) {
      ergebnis += static_cast<char>(0xC0 | (z >> 6));
      ergebnis += static_cast<char>(0x80 | (z & 0x3F));
    } else if (z < 0x10000) {
      ergebnis += static_cast<char>(0xE0 | (z >> 12));
      ergebnis += static_cast<char>(0x80 | ((z >> 6) & 0x3F));
      ergebnis += static_cast<char>(0x80 | (z & 0x3F));
    } else {
      ergebnis += static_cast<char>(0xF0 | (z >> 18));
      ergebnis += static_cast<char>(0x80 | ((z >> 12) & 0x3F));
      ergebnis += static_cast<char>(0x80 | ((z >> 6) & 0x3F));
      ergebnis += static_cast<char>(0x80 | (z & 0x3F));
    }
  }
  return ergebnis;
}

bool IstZiffer(char c) {
  return c >= '0' && c <= '9';
}

// Groups the digits of a whole number with points: "1234567" -> "1.234.567".
std::string Gruppiert(const std::string& ziffern) {
  std::string ergebnis;
  size_t n = ziffern.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) ergebnis += '.';
    ergebnis += ziffern[i];
  }
  return ergebnis;
}

}  // namespace

namespace werte {

std::string OhneRand(const std::string& text) {
  size_t a = text.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return text.substr(a, text.find_last_not_of(' ') - a + 1);
}

double FuehrendeZahl(const std::string& text) {
  std::string zahl;
  bool vorzeichen = false, punkt = false, ziffern = false;
  for (char c : text) {
    if (c == ' ') continue;
    if ((c == '-' || c == '+') && !vorzeichen && !punkt && !ziffern) {
      vorzeichen = true;
    } else if (c == '.' && !punkt) {
      punkt = true;
    } else if (!IstZiffer(c)) {
      break;
    } else {
      ziffern = true;
    }
    zahl += c;
  }
  if (!ziffern) return 0;
  double wert = zahltext::PunktZahl(zahl);
  if (!std::isfinite(wert)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return wert;
}

std::string Formatiert(double wert, int stellen) {
  if (!std::isfinite(wert)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  if (stellen < 0) stellen = 0;
  // 15 significant digits: d.dddddddddddddd e±x.
  // Rounded exactly as printf's "%.14e" rounds, without its cost.
  char puffer[64];
  const auto [ende, fehler] = std::to_chars(puffer, puffer + sizeof puffer - 1, std::fabs(wert),
                                            std::chars_format::scientific, 14);
  *ende = '\0';
  std::string mantisse;
  for (const char* p = puffer; *p && *p != 'e'; ++p) {
    if (IstZiffer(*p)) mantisse += *p;
  }
  int exponent = std::atoi(std::strchr(puffer, 'e') + 1);
  // Digits as a whole number `ziffern` with `stellen` of them after the decimal point.
  // The mantissa's first digit has the weight 10^exponent.
  int vorne = exponent + 1;  // digits before the decimal point (may be <= 0)
  int behalten = vorne + stellen;
  std::string ziffern;
  bool aufrunden = false;
  if (behalten < 0) {
    ziffern = "0";
  } else {
    ziffern =
        behalten < static_cast<int>(mantisse.size()) ? mantisse.substr(0, behalten) : mantisse;
    if (behalten < static_cast<int>(mantisse.size())) aufrunden = mantisse[behalten] >= '5';
    while (static_cast<int>(ziffern.size()) < behalten) ziffern += '0';
    if (ziffern.empty()) ziffern = "0";
  }
  if (aufrunden) {
    int i = static_cast<int>(ziffern.size()) - 1;
    for (; i >= 0 && ziffern[i] == '9'; --i) ziffern[i] = '0';
    if (i < 0)
      ziffern.insert(ziffern.begin(), '1');
    else
      ++ziffern[i];
  }
  while (static_cast<int>(ziffern.size()) < stellen + 1) ziffern.insert(ziffern.begin(), '0');
  std::string ganz = ziffern.substr(0, ziffern.size() - stellen);
  std::string bruch = ziffern.substr(ziffern.size() - stellen);
  size_t erste = ganz.find_first_not_of('0');
  ganz = erste == std::string::npos ? "0" : ganz.substr(erste);
  bool null = ganz == "0" && bruch.find_first_not_of('0') == std::string::npos;
  std::string text = (wert < 0 && !null) ? "-" : "";
  text += Gruppiert(ganz);
  if (stellen > 0) text += "," + bruch;
  return text;
}

}  // namespace werte

double CVal(const std::string& Wert) {
  Falle falle("Funktionen", "CVal");
  double ergebnis = 0;
  std::string text;
  std::string gesammelt;
  bool zahl = false;
  falle([&] { text = werte::OhneRand(Wert); });
  falle([&] { zahl = zahltext::IstZahl(text); });
  if (zahl) {
    falle([&] { ergebnis = zahltext::Lesen(text); });
    return ergebnis;
  }
  falle([&] {
    for (char c : text) {
      if (!IstZiffer(c) && c != '-' && c != ',' && c != '.') break;
      gesammelt += c;
    }
  });
  if (gesammelt.empty() || gesammelt == ",") return 0;
  falle([&] { ergebnis = zahltext::Lesen(gesammelt); });
  return ergebnis;
}

std::string WertFormatieren(const std::string& Wert, std::int16_t Breite,
                            std::int16_t Nachkommastellen) {
  Falle falle("Funktionen", "WertFormatieren");
  std::u32string text;
  falle([&] {
    for (char32_t z : Zeichen(Wert)) {
      if (z == U'.') continue;
      text += z == U',' ? U'.' : z == U'%' ? U' ' : z;
    }
  });
  // Shift input that a masked edit padded with blanks to the right: while the character at
  // position p (1-based) is a blank, prepend a blank and keep the first p characters.
  int p = Breite - Nachkommastellen - 1;
  if (Nachkommastellen == 0) p += 1;
  falle([&] {
    if (p <= 0) return;
    for (int k = p - 1; static_cast<int>(text.size()) >= p && text[p - 1] == U' ' && k > 0; --k)
      text = U" " + text.substr(0, p);
  });
  if (text.empty()) text = U"0";
  falle([&] {
    if (werte::FuehrendeZahl(Utf8(text)) == 0 && text.back() == U' ') text.back() = U'0';
  });
  if (Nachkommastellen >= 0 && Nachkommastellen <= 3) {
    falle([&] {
      text = Zeichen(werte::Formatiert(werte::FuehrendeZahl(Utf8(text)), Nachkommastellen));
    });
  }
  std::string ergebnis;
  falle([&] {
    if (static_cast<int>(text.size()) < Breite) text.insert(0, Breite - text.size(), U' ');
    ergebnis = Utf8(text);
  });
  return ergebnis;
}

std::string Tausche(const std::string& Text, const std::string& Suchen,
                    const std::string& Ersetzen) {
  Falle falle("Funktionen", "Tausche");
  std::string ergebnis;
  falle([&] {
    if (Suchen.empty()) {
      ergebnis = Text;
      return;
    }
    size_t von = 0;
    for (size_t fund; (fund = Text.find(Suchen, von)) != std::string::npos;
         von = fund + Suchen.size()) {
      ergebnis.append(Text, von, fund - von);
      ergebnis += Ersetzen;
    }
    ergebnis.append(Text, von, std::string::npos);
  });
  return ergebnis;
}

}  // namespace tarvo
