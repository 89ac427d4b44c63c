#include "host/Satzwerte.h"

#include <charconv>
#include <cstdio>
#include <sstream>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/Recordset.h"

namespace tarvo {
namespace {

std::string Maskiert(const std::string& text) {
  std::string aus;
  for (char c : text) {
    if (c == '\\')
      aus += "\\\\";
    else if (c == '\t')
      aus += "\\t";
    else if (c == '\n')
      aus += "\\n";
    else if (c == '\r')
      aus += "\\r";
    else
      aus += c;
  }
  return aus;
}

std::string Unmaskiert(const std::string& text) {
  std::string aus;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      aus += text[i];
      continue;
    }
    const char c = text[++i];
    aus += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return aus;
}

std::string Zahl(double wert) {
  char puffer[40];
  const auto ende = std::to_chars(puffer, puffer + sizeof puffer, wert);
  return std::string(puffer, ende.ptr);
}

template <class T>
T ZahlLesen(const std::string& text, std::size_t zeile) {
  T wert{};
  const auto [ende, fehler] = std::from_chars(text.data(), text.data() + text.size(), wert);
  if (fehler != std::errc() || ende != text.data() + text.size())
    throw Laufzeitfehler(fehlernummer::UngueltigerAufruf,
                         "Zeile " + std::to_string(zeile) + ": »" + text + "« ist keine Zahl.");
  return wert;
}

// A value as the user reads it in a message: amounts and dates as stored, Null as "(leer)".
std::string Gezeigt(const Variant& wert) {
  if (wert.IstNull() || wert.IstEmpty()) return "(leer)";
  if (wert.Typ() == VarTyp::Double) return Zahl(CDbl(wert));
  return CStr(wert);
}

const Variant* Suchen(const Satzwerte& werte, const std::string& name) {
  for (const auto& [feld, wert] : werte)
    if (feld == name) return &wert;
  return nullptr;
}

}  // namespace

Satzwerte SatzwerteLesen(dao::Recordset& satz) {
  Satzwerte werte;
  if (satz.EOF() || satz.BOF()) return werte;
  for (std::int16_t i = 0; i < satz.FieldCount(); ++i) {
    dao::Field feld = satz.Fields(i);
    werte.emplace_back(feld.Name(), feld.Value());
  }
  return werte;
}

Satzwerte GeaenderteFelder(const Satzwerte& vorher, const Satzwerte& nachher) {
  Satzwerte anders;
  for (const auto& [feld, wert] : nachher) {
    const Variant* alt = Suchen(vorher, feld);
    if (!alt || !(*alt == wert)) anders.emplace_back(feld, wert);
  }
  return anders;
}

std::string Unterschiede(const Satzwerte& a, const Satzwerte& b) {
  std::string text;
  for (const auto& [feld, neu] : GeaenderteFelder(a, b)) {
    const Variant* alt = Suchen(a, feld);
    if (!text.empty()) text += "; ";
    text += feld + ": " + (alt ? Gezeigt(*alt) : "(fehlt)") + " → " + Gezeigt(neu);
  }
  return text;
}

std::string SatzwerteAlsText(const Satzwerte& werte) {
  std::string text;
  for (const auto& [feld, wert] : werte) {
    std::string art, inhalt;
    switch (wert.Typ()) {
      case VarTyp::Empty:
        art = "leer";
        break;
      case VarTyp::Null:
        art = "null";
        break;
      case VarTyp::Boolean:
        art = "wahrheit", inhalt = CBool(wert) ? "1" : "0";
        break;
      case VarTyp::Integer:
        art = "integer", inhalt = std::to_string(CInt(wert));
        break;
      case VarTyp::Long:
        art = "long", inhalt = std::to_string(CLng(wert));
        break;
      case VarTyp::Double:
        art = "double", inhalt = Zahl(CDbl(wert));
        break;
      case VarTyp::Date:
        art = "datum", inhalt = Zahl(CDate(wert).Seriell);
        break;
      case VarTyp::String:
        art = "text", inhalt = wert.Text();
        break;
      case VarTyp::Object:
        continue;  // a record holds no objects
    }
    text += Maskiert(feld) + "\t" + art + "\t" + Maskiert(inhalt) + "\n";
  }
  return text;
}

Satzwerte SatzwerteAusText(const std::string& text) {
  Satzwerte werte;
  std::istringstream ein(text);
  std::string zeile;
  for (std::size_t nummer = 1; std::getline(ein, zeile); ++nummer) {
    if (zeile.empty()) continue;
    const auto a = zeile.find('\t');
    const auto b = a == std::string::npos ? a : zeile.find('\t', a + 1);
    if (b == std::string::npos)
      throw Laufzeitfehler(fehlernummer::UngueltigerAufruf,
                           "Zeile " + std::to_string(nummer) + " ist kein Feldwert.");
    const std::string feld = Unmaskiert(zeile.substr(0, a));
    const std::string art = zeile.substr(a + 1, b - a - 1);
    const std::string inhalt = Unmaskiert(zeile.substr(b + 1));
    Variant wert;
    if (art == "leer")
      wert = Variant();
    else if (art == "null")
      wert = Variant::Null();
    else if (art == "wahrheit")
      wert = Variant(inhalt == "1");
    else if (art == "integer")
      wert = Variant(ZahlLesen<std::int16_t>(inhalt, nummer));
    else if (art == "long")
      wert = Variant(ZahlLesen<std::int32_t>(inhalt, nummer));
    else if (art == "double")
      wert = Variant(ZahlLesen<double>(inhalt, nummer));
    else if (art == "datum")
      wert = Variant(Datum{ZahlLesen<double>(inhalt, nummer)});
    else if (art == "text")
      wert = Variant(inhalt);
    else
      throw Laufzeitfehler(fehlernummer::UngueltigerAufruf,
                           "Zeile " + std::to_string(nummer) + ": unbekannte Art »" + art + "«.");
    werte.emplace_back(feld, wert);
  }
  return werte;
}

}  // namespace tarvo
