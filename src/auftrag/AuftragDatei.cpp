#include "auftrag/AuftragDatei.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "errors/Laufzeitfehler.h"

namespace tarvo::auftrag {
namespace {

using Json = nlohmann::ordered_json;

// The rows a form's grid can hold: its row numbers are 16-bit, and row 0 is the heading.
constexpr std::size_t kRasterzeilen = 32766;

[[noreturn]] void Unbrauchbar(const std::string& datei, const std::string& was) {
  throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich,
                       "Die Auftragsdatei »" + datei + "« ist nicht verwendbar: " + was);
}

class Leser {
 public:
  Leser(const Json& wurzel, std::filesystem::path ordner, std::string datei)
      : wurzel_(wurzel), ordner_(std::move(ordner)), datei_(std::move(datei)) {}

  Auftrag Lesen() {
    if (!wurzel_.is_object()) Fehler("sie enthält kein JSON-Objekt.");
    Auftrag a;
    a.dokument = Pfad("dokument", true);
    a.ausgabe = wurzel_.contains("ausgabe") ? Pfad("ausgabe", true) : a.dokument;
    a.datenbank = Pfad("datenbank", true);
    a.benutzer = Ganzzahl(wurzel_, "benutzer", 0);
    if (wurzel_.contains("rechnung") && !wurzel_["rechnung"].is_null())
      a.rechnung = Ganzzahl(wurzel_, "rechnung", 0);
    a.fenster = Ganzzahl(wurzel_, "fenster", 0);
    Eigenschaften(a);
    const int kategorie = Ganzzahl(wurzel_, "kategorie", 0);
    if (kategorie < -32768 || kategorie > 32767)
      Fehler("»kategorie« liegt außerhalb von -32768 bis 32767.");
    a.kategorie = static_cast<std::int16_t>(kategorie);
    if (wurzel_.contains("cursor")) {
      const Json& c = wurzel_["cursor"];
      if (!c.is_object() || !c.contains("tabelle")) Fehler("»cursor« braucht {\"tabelle\": N}.");
      a.cursorTabelle = Ganzzahl(c, "tabelle", 0);
      if (*a.cursorTabelle < 1) Fehler("»cursor.tabelle« muss 1 oder größer sein.");
    }
    Antworten(a);
    Eingaben(a);
    Aktionen(a);
    if (wurzel_.contains("abschluss")) {
      const Json& s = wurzel_["abschluss"];
      if (s == "OK")
        a.abbruch = false;
      else if (s == "Abbruch")
        a.abbruch = true;
      else
        Fehler("»abschluss« muss \"OK\" oder \"Abbruch\" sein.");
    }
    return a;
  }

 private:
  [[noreturn]] void Fehler(const std::string& was) const { Unbrauchbar(datei_, was); }

  std::filesystem::path Pfad(const char* schluessel, bool pflicht) const {
    if (!wurzel_.contains(schluessel)) {
      if (pflicht) Fehler(std::string("der Eintrag »") + schluessel + "« fehlt.");
      return {};
    }
    const Json& w = wurzel_[schluessel];
    if (!w.is_string() || w.get<std::string>().empty())
      Fehler(std::string("»") + schluessel + "« muss ein Dateiname sein.");
    std::filesystem::path p = std::filesystem::u8path(w.get<std::string>());
    return p.is_absolute() ? p : ordner_ / p;
  }

  std::int32_t Ganzzahl(const Json& objekt, const char* schluessel, std::int32_t vorgabe) const {
    if (!objekt.contains(schluessel)) return vorgabe;
    const Json& w = objekt[schluessel];
    if (w.is_number_integer()) {
      const auto v = w.get<std::int64_t>();
      if (v >= INT32_MIN && v <= INT32_MAX) return static_cast<std::int32_t>(v);
    }
    if (w.is_number_float()) {
      const double v = w.get<double>();
      if (v == static_cast<double>(static_cast<std::int64_t>(v)) && v >= INT32_MIN &&
          v <= INT32_MAX)
        return static_cast<std::int32_t>(v);
    }
    Fehler(std::string("»") + schluessel + "« muss eine ganze Zahl sein.");
  }

  void Eigenschaften(Auftrag& a) const {
    if (!wurzel_.contains("auftrag")) return;
    const Json& e = wurzel_["auftrag"];
    if (!e.is_object()) Fehler("»auftrag« muss ein Objekt aus Eigenschaft und Wert sein.");
    for (const auto& [name, wert] : e.items()) {
      if (wert.is_string())
        a.eigenschaften.emplace_back(name, Variant(wert.get<std::string>()));
      else if (wert.is_number_integer() && wert.get<std::int64_t>() >= INT32_MIN &&
               wert.get<std::int64_t>() <= INT32_MAX)
        a.eigenschaften.emplace_back(name,
                                     Variant(static_cast<std::int32_t>(wert.get<std::int64_t>())));
      else if (wert.is_number())
        a.eigenschaften.emplace_back(name, Variant(wert.get<double>()));
      else if (wert.is_boolean())
        a.eigenschaften.emplace_back(name, Variant(wert.get<bool>()));
      else
        Fehler("der Wert von »auftrag." + name + "« muss ein Text oder eine Zahl sein.");
    }
  }

  void Antworten(Auftrag& a) const {
    if (!wurzel_.contains("antworten")) return;
    const Json& an = wurzel_["antworten"];
    if (!an.is_object()) Fehler("»antworten« muss ein Objekt sein.");
    if (an.contains("tabellenwahl")) {
      const Json& t = an["tabellenwahl"];
      if (t == "neu")
        a.tabellenwahl.art = Wahl::Neu;
      else if (t == "cursor")
        a.tabellenwahl.art = Wahl::Cursor;
      else if (t.is_number_integer() && t.get<std::int64_t>() >= 1 && t.get<std::int64_t>() <= 5) {
        a.tabellenwahl.art = Wahl::Eintrag;
        a.tabellenwahl.eintrag = static_cast<int>(t.get<std::int64_t>());
      } else {
        Fehler("»antworten.tabellenwahl« muss \"neu\", \"cursor\" oder 1 bis 5 sein.");
      }
    }
    if (an.contains("meldungen")) {
      const Json& m = an["meldungen"];
      if (!m.is_array()) Fehler("»antworten.meldungen« muss eine Liste von Zahlen sein.");
      for (const Json& w : m) {
        if (!w.is_number_integer())
          Fehler("»antworten.meldungen« muss eine Liste von Zahlen sein.");
        a.meldungen.push_back(static_cast<std::int32_t>(w.get<std::int64_t>()));
      }
    }
  }

  static bool Zelltext(const Json& w, std::string& text) {
    if (w.is_string())
      text = w.get<std::string>();
    else if (w.is_number_integer())
      text = std::to_string(w.get<std::int64_t>());
    else if (w.is_number())
      text = zahltext::Schreiben(w.get<double>());
    else
      return false;
    return true;
  }

  void Eingaben(Auftrag& a) const {
    if (!wurzel_.contains("eingaben")) return;
    const Json& e = wurzel_["eingaben"];
    if (!e.is_object()) Fehler("»eingaben« muss ein Objekt aus Feldname und Eingabe sein.");
    for (const auto& [name, wert] : e.items()) {
      if (name == "zeilen") {
        if (!wert.is_array()) Fehler("»eingaben.zeilen« muss eine Liste von Zeilen sein.");
        if (wert.size() > kRasterzeilen)
          Fehler("»eingaben.zeilen« hat " + std::to_string(wert.size()) +
                 " Zeilen; das Raster des Formulars fasst höchstens " +
                 std::to_string(kRasterzeilen) + " (seine Zeilennummern sind 16 Bit breit).");
        for (const Json& zeile : wert) {
          if (!zeile.is_array())
            Fehler("jede Zeile von »eingaben.zeilen« muss eine Liste von Zellen sein.");
          std::vector<std::optional<std::string>> zellen;
          for (const Json& z : zeile) {
            std::string text;
            if (z.is_null()) {
              zellen.emplace_back();
              continue;
            }
            if (!Zelltext(z, text))
              Fehler("eine Zelle von »eingaben.zeilen« ist weder Text, Zahl noch null.");
            zellen.emplace_back(std::move(text));
          }
          a.zeilen.push_back(std::move(zellen));
        }
        continue;
      }
      Feldeingabe f;
      f.name = name;
      if (wert.is_boolean()) {
        f.istHaken = true;
        f.haken = wert.get<bool>();
      } else if (!Zelltext(wert, f.text)) {
        Fehler("die Eingabe »eingaben." + name + "« muss Text, Zahl, true oder false sein.");
      }
      a.felder.push_back(std::move(f));
    }
  }

  void Aktionen(Auftrag& a) const {
    if (!wurzel_.contains("aktionen")) return;
    const Json& liste = wurzel_["aktionen"];
    if (!liste.is_array()) Fehler("»aktionen« muss eine Liste sein.");
    int nummer = 0;
    for (const Json& w : liste) {
      ++nummer;
      const std::string wo = "Aktion " + std::to_string(nummer) + " von »aktionen«";
      if (!w.is_object()) Fehler(wo + " ist kein Objekt.");
      Aktion ak;
      auto text = [&](const char* s) {
        std::string t;
        if (!w.contains(s) || !Zelltext(w[s], t))
          Fehler(wo + ": »" + s + "« fehlt oder ist kein Text.");
        return t;
      };
      if (w.contains("feld")) {
        ak.art = Aktion::Art::Feld;
        ak.name = text("feld");
        ak.text = text("eingabe");
      } else if (w.contains("zelle")) {
        const Json& z = w["zelle"];
        if (!z.is_array() || z.size() != 2 || !z[0].is_number_integer() ||
            !z[1].is_number_integer())
          Fehler(wo + ": »zelle« muss [ZEILE, SPALTE] sein.");
        ak.zeile = static_cast<std::int32_t>(z[0].get<std::int64_t>());
        ak.spalte = static_cast<std::int32_t>(z[1].get<std::int64_t>());
        if (w.contains("eingabe")) {
          ak.art = Aktion::Art::ZelleEingabe;
          ak.text = text("eingabe");
        } else if (w.contains("klick") && w["klick"] == true) {
          ak.art = Aktion::Art::ZelleKlick;
        } else {
          Fehler(wo + ": zu »zelle« gehört »eingabe« oder »klick«: true.");
        }
      } else if (w.contains("klick")) {
        ak.art = Aktion::Art::Klick;
        ak.name = text("klick");
      } else if (w.contains("taste")) {
        ak.art = Aktion::Art::Taste;
        const int t = Ganzzahl(w, "taste", 0), u = Ganzzahl(w, "umschalt", 0);
        if (t < 0 || t > 255 || u < 0 || u > 7) Fehler(wo + ": »taste« oder »umschalt« ungültig.");
        ak.taste = static_cast<std::int16_t>(t);
        ak.umschalt = static_cast<std::int16_t>(u);
      } else if (w.contains("combo")) {
        ak.art = Aktion::Art::Combo;
        ak.name = text("combo");
        ak.text = text("wahl");
      } else if (w.contains("zeilen_markieren")) {
        ak.art = Aktion::Art::ZeilenMarkieren;
        const Json& z = w["zeilen_markieren"];
        if (!z.is_array()) Fehler(wo + ": »zeilen_markieren« muss eine Liste von Zeilen sein.");
        for (const Json& r : z) {
          if (!r.is_number_integer())
            Fehler(wo + ": »zeilen_markieren« muss eine Liste von Zeilen sein.");
          ak.zeilen.push_back(static_cast<std::int32_t>(r.get<std::int64_t>()));
        }
      } else {
        Fehler(wo +
               " ist unbekannt (erwartet feld, klick, zelle, taste, combo oder zeilen_markieren).");
      }
      a.aktionen.push_back(std::move(ak));
    }
  }

  const Json& wurzel_;
  std::filesystem::path ordner_;
  std::string datei_;
};

}  // namespace

Auftrag AuftragAusText(const std::string& text, const std::filesystem::path& ordner,
                       const std::string& dateiname) {
  Json wurzel = Json::parse(text, nullptr, false);
  if (wurzel.is_discarded()) Unbrauchbar(dateiname, "sie enthält kein gültiges JSON.");
  Auftrag a = Leser(wurzel, ordner, dateiname).Lesen();
  return a;
}

Auftrag AuftragLesen(const std::filesystem::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  if (!ein) {
    throw Laufzeitfehler(fehlernummer::DateiNichtGefunden,
                         "Die Auftragsdatei »" + datei.string() + "« lässt sich nicht öffnen.");
  }
  std::ostringstream inhalt;
  inhalt << ein.rdbuf();
  std::string text = inhalt.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  const auto ordner = datei.has_parent_path() ? datei.parent_path() : std::filesystem::path(".");
  Auftrag a = AuftragAusText(text, ordner, datei.string());
  a.datei = datei;
  return a;
}

}  // namespace tarvo::auftrag
