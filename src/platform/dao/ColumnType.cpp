#include "platform/dao/ColumnType.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "errors/Pruefen.h"

namespace tarvo::dao {
namespace {

std::string Upper(const char* text) {
  std::string result = text ? text : "";
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// Lower-cases ASCII and the Latin-1 capitals U+00C0..U+00DE (except U+00D7) in UTF-8 text.
std::string Fold(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 'A' && c <= 'Z') {
      result += static_cast<char>(c - 'A' + 'a');
    } else if (c == 0xC3 && i + 1 < text.size()) {
      unsigned char next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97)
        next = static_cast<unsigned char>(next + 0x20);
      result += static_cast<char>(c);
      result += static_cast<char>(next);
      ++i;
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

bool BooleanText(const std::string& text, bool& value) {
  std::string folded = Fold(text);
  if (folded == "true" || folded == "wahr" || folded == "ja" || folded == "yes") {
    value = true;
    return true;
  }
  if (folded == "false" || folded == "falsch" || folded == "nein" || folded == "no") {
    value = false;
    return true;
  }
  return false;
}

Variant IntegerVariant(std::int64_t value) {
  if (value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max())
    return Variant(static_cast<std::int32_t>(value));
  return Variant(static_cast<double>(value));
}

RawValue Integer(std::int64_t value) {
  RawValue raw;
  raw.storage = RawValue::Storage::Integer;
  raw.integer = value;
  return raw;
}

RawValue Real(double value) {
  RawValue raw;
  raw.storage = RawValue::Storage::Real;
  raw.real = value;
  return raw;
}

RawValue Text(std::string value) {
  RawValue raw;
  raw.storage = RawValue::Storage::Text;
  raw.text = std::move(value);
  return raw;
}

double AsNumber(const RawValue& value) {
  return value.storage == RawValue::Storage::Integer ? static_cast<double>(value.integer)
                                                     : value.real;
}

}  // namespace

ColumnKind KindOfDeclaredType(const char* declared) {
  std::string type = Upper(declared);
  if (type.empty()) return ColumnKind::Any;
  if (Contains(type, "BOOL") || type == "BIT" || Contains(type, "YESNO") ||
      Contains(type, "LOGICAL"))
    return ColumnKind::Boolean;
  if (Contains(type, "DATE") || Contains(type, "TIME")) return ColumnKind::Date;
  if (Contains(type, "CHAR") || Contains(type, "TEXT") || Contains(type, "CLOB") ||
      Contains(type, "MEMO") || Contains(type, "STRING"))
    return ColumnKind::Text;
  if (Contains(type, "INT") || Contains(type, "LONG") || Contains(type, "SHORT") ||
      Contains(type, "BYTE") || Contains(type, "COUNTER"))
    return ColumnKind::Long;
  if (Contains(type, "REAL") || Contains(type, "FLOA") || Contains(type, "DOUB") ||
      Contains(type, "NUMERIC") || Contains(type, "DECIMAL") || Contains(type, "CURRENCY") ||
      Contains(type, "MONEY") || Contains(type, "SINGLE"))
    return ColumnKind::Double;
  return ColumnKind::Any;
}

Variant ToVariant(const RawValue& value, ColumnKind kind) {
  using S = RawValue::Storage;
  if (value.storage == S::Null) return Variant::Null();
  bool number = value.storage == S::Integer || value.storage == S::Real;
  switch (kind) {
    case ColumnKind::Long:
      if (value.storage == S::Integer) return IntegerVariant(value.integer);
      if (value.storage == S::Real) {
        double rounded = RundeGerade(value.real);
        if (std::fabs(rounded) <= std::numeric_limits<std::int32_t>::max())
          return Variant(static_cast<std::int32_t>(rounded));
        return Variant(value.real);
      }
      break;
    case ColumnKind::Double:
      if (number) return Variant(AsNumber(value));
      break;
    case ColumnKind::Boolean: {
      if (number) return Variant(AsNumber(value) != 0);
      bool flag = false;
      if (BooleanText(value.text, flag)) return Variant(flag);
      break;
    }
    case ColumnKind::Date: {
      if (number) {
        // A number beyond the date range stays a number; reading it as a date fails there.
        const Datum date{AsNumber(value)};
        return date.Gueltig() ? Variant(date) : Variant(AsNumber(value));
      }
      Datum date;
      if (IsoToDate(value.text, date)) return Variant(date);
      break;
    }
    case ColumnKind::Text:
      if (value.storage == S::Integer) return Variant(std::to_string(value.integer));
      if (value.storage == S::Real) return Variant(zahltext::Schreiben(value.real));
      break;
    case ColumnKind::Any:
      if (value.storage == S::Integer) return IntegerVariant(value.integer);
      if (value.storage == S::Real) return Variant(value.real);
      break;
  }
  // A text the column's type cannot read stays a text; the caller's conversion decides.
  return Variant(value.text);
}

RawValue FromVariant(const Variant& value, ColumnKind kind) {
  if (value.IstNull() || value.IstEmpty()) return RawValue{};
  if (value.IstObjekt()) throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
  switch (kind) {
    case ColumnKind::Long:
      return Integer(CLng(value));
    case ColumnKind::Double:
      return Real(CDbl(value));
    case ColumnKind::Text:
      return Text(CStr(value));
    case ColumnKind::Boolean:
      return Integer(CBool(value) ? 1 : 0);
    case ColumnKind::Date:
      return Text(DateToIso(CDate(value)));
    case ColumnKind::Any:
      break;
  }
  switch (value.Typ()) {
    case VarTyp::Boolean:
      return Integer(CBool(value) ? 1 : 0);
    case VarTyp::Integer:
    case VarTyp::Long:
      return Integer(CLng(value));
    case VarTyp::Double:
      return Real(CDbl(value));
    case VarTyp::Date:
      return Text(DateToIso(CDate(value)));
    default:
      return Text(CStr(value));
  }
}

std::string DateToIso(Datum date) {
  double day = std::floor(date.Seriell);
  long seconds = std::lround((date.Seriell - day) * 86400.0);
  if (seconds >= 86400) {
    day += 1;
    seconds = 0;
  }
  int year, month, dayOfMonth;
  Datum{day}.Tag(year, month, dayOfMonth);
  char buffer[64];
  if (seconds == 0)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, dayOfMonth);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02ld:%02ld:%02ld", year, month,
                  dayOfMonth, seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buffer;
}

bool IsoToDate(const std::string& text, Datum& date) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, consumed = 0;
  double second = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &consumed) != 3 ||
      consumed != 10)
    return false;
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  Datum result = Datum::AusTag(year, month, day);
  if (!result.Gueltig()) return false;
  int check_year, check_month, check_day;
  result.Tag(check_year, check_month, check_day);
  if (check_month != month) return false;  // 31 April and the like
  std::string rest = text.substr(10);
  if (!rest.empty()) {
    if (rest[0] != ' ' && rest[0] != 'T') return false;
    int used = 0;
    int fields = std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &hour, &minute, &used);
    if (fields != 2) return false;
    const char* after = rest.c_str() + 1 + used;
    if (*after == ':') {
      int more = 0;
      if (std::sscanf(after + 1, "%lf%n", &second, &more) != 1) return false;
      after += 1 + more;
    }
    if (*after != '\0' && *after != 'Z') return false;
    if (hour > 23 || minute > 59 || second < 0 || second >= 60) return false;
  }
  double fraction = (hour * 3600 + minute * 60 + std::round(second)) / 86400.0;
  date = Datum{result.Seriell + fraction};
  return true;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Fold(a) == Fold(b);
}

}  // namespace tarvo::dao
