#include "common/Variant.h"

#include <locale.h>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/Pruefen.h"

namespace tarvo {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long TageAusDatum(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void DatumAusTagen(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long kNullpunkt = -25569;

std::string Getrimmt(const std::string& text) {
  size_t a = text.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  size_t b = text.find_last_not_of(' ');
  return text.substr(a, b - a + 1);
}

bool GleichOhneGross(const std::string& a, const char* b) {
  return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

Datum Datum::AusTag(int jahr, int monat, int tag) {
  return Datum{static_cast<double>(TageAusDatum(jahr, monat, tag) - kNullpunkt)};
}

bool Datum::Gueltig() const {
  // 1.1.100 and the last moment of 31.12.9999.
  return Seriell >= -657434.0 && Seriell < 2958466.0;
}

void Datum::Tag(int& jahr, int& monat, int& tag) const {
  if (!Gueltig()) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  DatumAusTagen(static_cast<long long>(std::floor(Seriell)) + kNullpunkt, jahr, monat, tag);
}

Variant Variant::Null() {
  Variant v;
  v.wert_ = NullWert{};
  return v;
}

VarTyp Variant::Typ() const {
  return static_cast<VarTyp>(wert_.index());
}

bool Variant::IstZahl() const {
  VarTyp t = Typ();
  return t == VarTyp::Integer || t == VarTyp::Long || t == VarTyp::Double;
}

const std::string& Variant::Text() const {
  if (auto* s = std::get_if<std::string>(&wert_)) return *s;
  throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
}

const std::shared_ptr<Objekt>& Variant::Objektwert() const {
  if (auto* o = std::get_if<std::shared_ptr<Objekt>>(&wert_)) return *o;
  throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
}

namespace zahltext {

bool IstZahl(const std::string& roh) {
  std::string text = Getrimmt(roh);
  size_t i = 0, n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool ziffern = false, komma = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      ziffern = true;
    } else if (c == '.') {
      if (komma) return false;  // grouping points only before the decimal comma
    } else if (c == ',') {
      if (komma) return false;
      komma = true;
    } else {
      break;
    }
  }
  if (!ziffern) return false;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t start = i;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i == start) return false;
  }
  return i == n;
}

double PunktZahl(const std::string& text) {
  // The C locale's number rules, independent of whatever locale the host process runs in.
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c ? strtod_l(text.c_str(), nullptr, c) : std::strtod(text.c_str(), nullptr);
}

double Lesen(const std::string& roh) {
  if (!IstZahl(roh)) throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
  std::string c;
  for (char z : Getrimmt(roh)) {
    if (z == '.') continue;
    c += z == ',' ? '.' : z;
  }
  double wert = PunktZahl(c);
  if (!std::isfinite(wert)) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return wert;
}

std::string Schreiben(double wert) {
  if (wert == 0) return "0";
  // As printf's "%.15G" writes it (no trailing zeros in the mantissa), without its cost; only
  // the separator changes.
  char puffer[64];
  const auto [ende, fehler] =
      std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::general, 15);
  std::string text(puffer, ende);
  for (char& c : text) {
    if (c == '.')
      c = ',';
    else if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string DatumText(Datum wert) {
  int j, m, t;
  wert.Tag(j, m, t);
  char puffer[64];
  std::snprintf(puffer, sizeof puffer, "%02d.%02d.%04d", t, m, j);
  std::string text = puffer;
  double bruch = wert.Seriell - std::floor(wert.Seriell);
  if (bruch > 0) {
    long sekunden = std::lround(bruch * 86400.0);
    std::snprintf(puffer, sizeof puffer, " %02ld:%02ld:%02ld", sekunden / 3600, sekunden / 60 % 60,
                  sekunden % 60);
    text += puffer;
  }
  return text;
}

}  // namespace zahltext

std::string CStr(const Variant& v) {
  return std::visit(
      [](const auto& w) -> std::string {
        using T = std::decay_t<decltype(w)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          return "";
        else if constexpr (std::is_same_v<T, Variant::NullWert>)
          throw Laufzeitfehler(fehlernummer::NullVerwendung);
        else if constexpr (std::is_same_v<T, bool>)
          return w ? "Wahr" : "Falsch";
        else if constexpr (std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::int32_t>)
          return std::to_string(w);
        else if constexpr (std::is_same_v<T, double>)
          return zahltext::Schreiben(w);
        else if constexpr (std::is_same_v<T, std::string>)
          return w;
        else if constexpr (std::is_same_v<T, Datum>)
          return zahltext::DatumText(w);
        else
          throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
      },
      v.wert_);
}

double CDbl(const Variant& v) {
  return std::visit(
      [](const auto& w) -> double {
        using T = std::decay_t<decltype(w)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          return 0;
        else if constexpr (std::is_same_v<T, Variant::NullWert>)
          throw Laufzeitfehler(fehlernummer::NullVerwendung);
        else if constexpr (std::is_same_v<T, bool>)
          return w ? -1 : 0;
        else if constexpr (std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::int32_t> ||
                           std::is_same_v<T, double>)
          return static_cast<double>(w);
        else if constexpr (std::is_same_v<T, std::string>) {
          std::string t = Getrimmt(w);
          if (GleichOhneGross(t, "Wahr") || GleichOhneGross(t, "True")) return -1;
          if (GleichOhneGross(t, "Falsch") || GleichOhneGross(t, "False")) return 0;
          return zahltext::Lesen(w);
        } else if constexpr (std::is_same_v<T, Datum>)
          return w.Seriell;
        else
          throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
      },
      v.wert_);
}

std::int16_t CInt(const Variant& v) {
  return NachInteger(CDbl(v));
}
std::int32_t CLng(const Variant& v) {
  return NachLong(CDbl(v));
}

bool CBool(const Variant& v) {
  if (auto* b = std::get_if<bool>(&v.wert_)) return *b;
  if (v.IstEmpty()) return false;
  return CDbl(v) != 0;
}

namespace {
// A number made into a date must name a day of the date range; otherwise error 6.
Datum ImBereich(Datum datum) {
  if (!datum.Gueltig()) throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return datum;
}
}  // namespace

Datum CDate(const Variant& v) {
  if (auto* d = std::get_if<Datum>(&v.wert_)) return *d;
  if (auto* s = std::get_if<std::string>(&v.wert_)) {
    int t = 0, m = 0, j = 0, hh = 0, mm = 0, ss = 0;
    std::string text = Getrimmt(*s);
    int gelesen = std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d", &t, &m, &j, &hh, &mm, &ss);
    if (gelesen >= 3) {
      // Shaped like a date: it must be one (31.2. is no date, and no number either).
      if (j < 100) j += j < 30 ? 2000 : 1900;
      Datum d = Datum::AusTag(j, m, t);
      if (!d.Gueltig()) throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
      int jj, mm2, tt;
      d.Tag(jj, mm2, tt);
      if (m < 1 || m > 12 || jj != j || mm2 != m || tt != t || hh < 0 || hh > 23 || mm < 0 ||
          mm > 59 || ss < 0 || ss > 59)
        throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
      d.Seriell += (hh * 3600 + mm * 60 + ss) / 86400.0;
      return d;
    }
    if (zahltext::IstZahl(text)) return ImBereich(Datum{zahltext::Lesen(text)});
    throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
  }
  return ImBereich(Datum{CDbl(v)});
}

}  // namespace tarvo
