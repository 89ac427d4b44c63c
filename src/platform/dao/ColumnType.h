// Column types of the database layer: how a column's declared type maps to the Variant it
// reads as, and how a Variant assigned to a field is converted before it is stored. Internal to
// the database layer. Reading never throws for a stored value that does not fit its column (a
// text in a number column reads as that text); writing throws 13, 6 or 94 as the old runtime's
// conversions do.
#pragma once

#include <cstdint>
#include <string>

#include "common/Variant.h"

namespace tarvo::dao {

enum class ColumnKind { Any, Long, Double, Text, Boolean, Date };

// The kind of a declared type ("INTEGER", "DOUBLE", "VARCHAR(50)", "BOOLEAN", "DATETIME" ...);
// Any for none (computed columns) or an unknown name.
ColumnKind KindOfDeclaredType(const char* declared);

// One stored value as the engine holds it (SQLite's storage classes; the server's values are
// read into the same four).
struct RawValue {
  enum class Storage { Null, Integer, Real, Text } storage = Storage::Null;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;
  bool operator==(const RawValue&) const = default;
};

// The Variant a stored value reads as in a column of `kind`.
Variant ToVariant(const RawValue& value, ColumnKind kind);
// The value stored for `value` assigned to a column of `kind`; Null and Empty store NULL.
RawValue FromVariant(const Variant& value, ColumnKind kind);

// Dates as stored: "YYYY-MM-DD", with " HH:MM:SS" when there is a time of day.
std::string DateToIso(Datum date);
// Reads "YYYY-MM-DD", optionally followed by " HH:MM[:SS[.fff]]" or "T..."; false otherwise.
bool IsoToDate(const std::string& text, Datum& date);

// Case-insensitive comparison of field names (ASCII and the Latin-1 letters such as umlauts).
bool SameName(const std::string& a, const std::string& b);

}  // namespace tarvo::dao
