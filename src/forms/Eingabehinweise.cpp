#include "forms/Eingabehinweise.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "common/Funktionen.h"

namespace tarvo::formulare {
namespace {

using werte::OhneRand;

// "Zeile 2, Fläche [m²]" for a cell (the heading without its leading blank).
std::string Ort(const controls::Grid& grid, std::int32_t zeile, std::int32_t spalte) {
  std::string ort = "Zeile " + std::to_string(zeile);
  const std::string kopf = OhneRand(grid.ColHeading(spalte));
  if (!kopf.empty()) ort += ", " + kopf;
  return ort;
}

// A whole number with grouping points ("32.767"), as the forms show numbers.
std::string Gruppiert(double wert) {
  std::string ziffern = std::to_string(static_cast<long long>(wert < 0 ? -wert : wert));
  for (int i = static_cast<int>(ziffern.size()) - 3; i > 0; i -= 3) ziffern.insert(i, ".");
  return (wert < 0 ? "-" : "") + ziffern;
}

void Anfuegen(Hinweise& hinweise, const std::string& name, std::int32_t zeile, std::int32_t spalte,
              std::string text) {
  hinweise.push_back({name, zeile, spalte, std::move(text)});
}

// The hint text for a value that is no count or length the form can charge, or "".
std::string Mengenfehler(const std::string& text, const std::optional<double>& wert,
                         double grenze) {
  if (!wert) return "»" + OhneRand(text) + "« ist keine Zahl.";
  if (*wert < 0) return "»" + OhneRand(text) + "« ist negativ.";
  if (*wert > grenze)
    return "»" + OhneRand(text) + "« ist größer als " + Gruppiert(grenze) +
           ", die größte Zahl, mit der das Formular hier rechnen kann.";
  return "";
}

std::string Anteilfehler(const std::string& text, const std::optional<double>& wert) {
  if (OhneRand(text).empty()) return "";
  if (!wert) return "»" + OhneRand(text) + "« ist keine Zahl.";
  if (*wert < 1 || *wert > 1000)
    return "Der Anteil »" + OhneRand(text) + "« liegt nicht zwischen 1 und 1000 Tausendsteln.";
  return "";
}

}  // namespace

std::optional<double> ZahlLesen(const std::string& text) {
  const std::string t = OhneRand(text);
  if (t.empty()) return 0.0;
  std::string zahl;
  bool ziffer = false, komma = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      zahl += c;
      ziffer = true;
    } else if (c == '-' && i == 0) {
      zahl += c;
    } else if (c == '.' && !komma) {
      // a grouping point
    } else if (c == ',' && !komma) {
      komma = true;
      zahl += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!ziffer) return std::nullopt;
  return std::strtod(zahl.c_str(), nullptr);
}

std::optional<double> MengePruefen(Hinweise& hinweise, const controls::Grid& grid,
                                   std::int32_t zeile, std::int32_t spalte, double grenze) {
  const std::string& text = grid.TextMatrix(zeile, spalte);
  const std::optional<double> wert = ZahlLesen(text);
  const std::string fehler = Mengenfehler(text, wert, grenze);
  if (!fehler.empty()) {
    Anfuegen(hinweise, grid.Name(), zeile, spalte, Ort(grid, zeile, spalte) + ": " + fehler);
    return std::nullopt;
  }
  return wert;
}

void AnteilPruefen(Hinweise& hinweise, const controls::Grid& grid, std::int32_t zeile,
                   std::int32_t spalte) {
  const std::string& text = grid.TextMatrix(zeile, spalte);
  const std::string fehler = Anteilfehler(text, ZahlLesen(text));
  if (!fehler.empty())
    Anfuegen(hinweise, grid.Name(), zeile, spalte, Ort(grid, zeile, spalte) + ": " + fehler);
}

void TeilPruefen(Hinweise& hinweise, const controls::Grid& grid, std::int32_t zeile,
                 std::int32_t teil, std::int32_t ganzes) {
  const std::optional<double> t = ZahlLesen(grid.TextMatrix(zeile, teil));
  const std::optional<double> g = ZahlLesen(grid.TextMatrix(zeile, ganzes));
  if (t && g && *t > *g && *t >= 0)
    Anfuegen(hinweise, grid.Name(), zeile, teil,
             Ort(grid, zeile, teil) + ": " + Gruppiert(*t) + " ist mehr als " + Gruppiert(*g) +
                 " (" + OhneRand(grid.ColHeading(ganzes)) + ").");
}

void ListePruefen(Hinweise& hinweise, const controls::Grid& grid, std::int32_t zeile,
                  std::int32_t spalte, const std::vector<std::string>& eintraege) {
  const std::string& text = grid.TextMatrix(zeile, spalte);
  if (std::find(eintraege.begin(), eintraege.end(), text) != eintraege.end()) return;
  std::string liste;
  for (const std::string& e : eintraege) liste += (liste.empty() ? "" : ", ") + e;
  Anfuegen(hinweise, grid.Name(), zeile, spalte,
           Ort(grid, zeile, spalte) + ": »" + text + "« steht nicht in der Liste (" + liste + ").");
}

void AnteilPruefen(Hinweise& hinweise, const controls::MaskEdBox& feld,
                   const std::string& bezeichnung) {
  const std::string fehler = Anteilfehler(feld.Text(), ZahlLesen(feld.Text()));
  if (!fehler.empty()) Anfuegen(hinweise, feld.Name(), 0, 0, bezeichnung + ": " + fehler);
}

void TeilPruefen(Hinweise& hinweise, const controls::MaskEdBox& teil,
                 const std::string& bezeichnungTeil, const controls::MaskEdBox& ganzes,
                 const std::string& bezeichnungGanzes) {
  const std::optional<double> t = ZahlLesen(teil.Text());
  const std::optional<double> g = ZahlLesen(ganzes.Text());
  if (t && g && *t > *g)
    Anfuegen(hinweise, teil.Name(), 0, 0,
             bezeichnungTeil + ": " + Gruppiert(*t) + " ist mehr als " + Gruppiert(*g) + " (" +
                 bezeichnungGanzes + ").");
}

}  // namespace tarvo::formulare
