// Variant: the dynamic value the host, the database and the forms exchange (Empty, Null,
// Boolean, Integer, Long, Double, String, Date, Object), with the old runtime's conversions.
// Conversions throw Laufzeitfehler: 94 for Null into a number or text, 13 for a text that is no
// number or an object of the wrong kind, 6 for integers out of range. Number texts are German
// (decimal comma, grouping point ignored) whatever the process locale. Strings are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "errors/Laufzeitfehler.h"

namespace tarvo {

// Base of every platform object a Variant can hold (document, recordset, workspace, ...).
class Objekt {
 public:
  virtual ~Objekt() = default;
};

// A date as the old runtime held it: days since 30 December 1899, the time as the fraction.
struct Datum {
  double Seriell = 0;
  static Datum AusTag(int jahr, int monat, int tag);
  // Whether the value is a date of the years 100 to 9999, the range dates have.
  bool Gueltig() const;
  // Year, month, day of the date part; error 6 "Überlauf" outside the range.
  void Tag(int& jahr, int& monat, int& tag) const;
  bool operator==(const Datum&) const = default;
};

enum class VarTyp { Empty, Null, Boolean, Integer, Long, Double, String, Date, Object };

class Variant {
 public:
  Variant() = default;  // Empty
  static Variant Null();
  Variant(bool wert) : wert_(wert) {}
  Variant(std::int16_t wert) : wert_(wert) {}
  Variant(std::int32_t wert) : wert_(wert) {}
  Variant(double wert) : wert_(wert) {}
  Variant(std::string wert) : wert_(std::move(wert)) {}
  Variant(const char* wert) : wert_(std::string(wert)) {}
  Variant(Datum wert) : wert_(wert) {}
  Variant(std::shared_ptr<Objekt> wert) : wert_(std::move(wert)) {}
  template <class T, class = std::enable_if_t<std::is_base_of_v<Objekt, T>>>
  Variant(std::shared_ptr<T> wert) : wert_(std::shared_ptr<Objekt>(std::move(wert))) {}

  VarTyp Typ() const;
  bool IstEmpty() const { return Typ() == VarTyp::Empty; }
  bool IstNull() const { return Typ() == VarTyp::Null; }
  bool IstObjekt() const { return Typ() == VarTyp::Object; }
  bool IstZahl() const;  // Integer, Long or Double

  // Raw access; throws 13 when the Variant holds another type.
  const std::string& Text() const;
  const std::shared_ptr<Objekt>& Objektwert() const;

  // Structural equality (same type and value); not the runtime's comparison operator.
  bool operator==(const Variant& andere) const { return wert_ == andere.wert_; }

 private:
  struct NullWert {
    bool operator==(const NullWert&) const = default;
  };
  friend std::string CStr(const Variant&);
  friend double CDbl(const Variant&);
  friend bool CBool(const Variant&);
  friend Datum CDate(const Variant&);
  std::variant<std::monostate, NullWert, bool, std::int16_t, std::int32_t, double, std::string,
               Datum, std::shared_ptr<Objekt>>
      wert_;
};

// Conversions with the old runtime's semantics.
std::string CStr(const Variant& wert);   // "1234,5", "Wahr"/"Falsch", dates "dd.mm.yyyy"
double CDbl(const Variant& wert);        // Empty 0; True -1; German number texts
std::int16_t CInt(const Variant& wert);  // half to even; 6 outside 16 bits
std::int32_t CLng(const Variant& wert);  // half to even; 6 outside 32 bits
bool CBool(const Variant& wert);         // numbers != 0; "Wahr"/"Falsch"/"True"/"False"
Datum CDate(const Variant& wert);        // dates, numbers, texts "d.m.yyyy"

// The object held, as the interface asked for; throws 13 for anything else (91 for Empty).
template <class T>
std::shared_ptr<T> CObj(const Variant& wert) {
  if (wert.IstEmpty()) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  if (!wert.IstObjekt()) throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
  auto ergebnis = std::dynamic_pointer_cast<T>(wert.Objektwert());
  if (!ergebnis) throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
  return ergebnis;
}

// German number text rules shared by CDbl, CVal and IsNumeric.
namespace zahltext {
// Whether `text` is a number by the German rules: blanks around, a sign, digits with grouping
// points anywhere, at most one decimal comma, an optional exponent ("1,5E3").
bool IstZahl(const std::string& text);
// The value of such a text; throws 13 when IstZahl is false.
double Lesen(const std::string& text);
// A point-decimal text ("1234.5", "1e3") read in the C locale whatever the process locale;
// inf for a value beyond the range of a Double.
double PunktZahl(const std::string& text);
// A Double as the runtime shows it: up to 15 significant digits, decimal comma, no grouping.
std::string Schreiben(double wert);
// A date as the short German date "dd.mm.yyyy" (with " hh:mm:ss" when it has a time).
std::string DatumText(Datum wert);
}  // namespace zahltext

}  // namespace tarvo
