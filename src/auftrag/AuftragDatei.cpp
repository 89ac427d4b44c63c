#include "auftrag/AuftragDatei.h"

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/Dateiart.h"
#include "common/XmlZeichen.h"
#include "errors/Laufzeitfehler.h"
#include "platform/dao/ServerAddress.h"

namespace tarvo::auftrag {
namespace {

using Json = nlohmann::ordered_json;

// The rows a form's grid can hold: its row numbers are 16-bit, and row 0 is the heading.
constexpr std::size_t kRasterzeilen = 32766;
constexpr std::size_t kRasterzeilenKategorie1 = 32761;
// A job file of the largest grid with long cells stays far below this.
constexpr std::uint64_t kAuftragsdateiGroesste = std::uint64_t{64} << 20;

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
    a.datenbank = Datenbank();
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
    if (wurzel_.contains("erechnung")) ERechnungLesen(a);
    return a;
  }

 private:
  [[noreturn]] void Fehler(const std::string& was) const { Unbrauchbar(datei_, was); }

  void ERechnungLesen(Auftrag& a) const {
    const Json& e = wurzel_["erechnung"];
    const std::string formate =
        "»erechnung.format« muss \"xrechnung-cii\", \"xrechnung-ubl\" "
        "oder \"zugferd\" sein.";
    if (!e.is_object() || !e.contains("format") || !e["format"].is_string()) Fehler(formate);
    Auftrag::ERechnung r;
    r.format = e["format"].get<std::string>();
    if (r.format != "xrechnung-cii" && r.format != "xrechnung-ubl" && r.format != "zugferd")
      Fehler(formate);
    for (const char* schluessel : {"ausgabe", "stammdaten"}) {
      if (!e.contains(schluessel)) continue;
      const Json& w = e[schluessel];
      if (!w.is_string() || w.get<std::string>().empty())
        Fehler(std::string("»erechnung.") + schluessel + "« muss ein Dateiname sein.");
      std::filesystem::path p = std::filesystem::u8path(w.get<std::string>());
      (std::string(schluessel) == "ausgabe" ? r.ausgabe : r.stammdaten) =
          p.is_absolute() ? p : ordner_ / p;
    }
    if (!a.rechnung) Fehler("»erechnung« braucht eine »rechnung«.");
    a.erechnung = r;
  }

  std::filesystem::path Pfad(const char* schluessel, bool pflicht) const {
    if (!wurzel_.contains(schluessel)) {
      if (pflicht) Fehler(std::string("der Eintrag »") + schluessel + "« fehlt.");
      return {};
    }
    const Json& w = wurzel_[schluessel];
    if (!w.is_string() || w.get<std::string>().empty())
      Fehler(std::string("»") + schluessel + "« muss ein Dateiname sein.");
    // A NUL would cut the name short; the other characters XML forbids are no file names either.
    std::filesystem::path p = std::filesystem::u8path(Text(w, std::string("»") + schluessel + "«"));
    return p.is_absolute() ? p : ordner_ / p;
  }

  // A file path (relative to the job file) or a server's connection string, kept as it is
  // but for a password, which goes to libpq's environment so that no message shows it.
  std::filesystem::path Datenbank() const {
    const Json& w = wurzel_.contains("datenbank") ? wurzel_["datenbank"] : Json();
    if (w.is_string() && dao::IsServerAddress(w.get<std::string>()))
      return std::filesystem::u8path(dao::PasswordToEnvironment(w.get<std::string>()));
    return Pfad("datenbank", true);
  }

  std::int32_t Ganzzahl(const Json& objekt, const char* schluessel, std::int32_t vorgabe) const {
    if (!objekt.contains(schluessel)) return vorgabe;
    const auto v = GanzeZahl(objekt[schluessel]);
    if (!v) Fehler(std::string("»") + schluessel + "« muss eine ganze Zahl sein.");
    return *v;
  }

  // A whole number that fits 32 bits: an integer, or a float without fraction ("2.0"); the
  // range is checked before any conversion (4.7e38 is refused, not cut).
  static std::optional<std::int32_t> GanzeZahl(const Json& w) {
    if (w.is_number_unsigned()) {
      const auto v = w.get<std::uint64_t>();
      if (v <= static_cast<std::uint64_t>(INT32_MAX)) return static_cast<std::int32_t>(v);
    } else if (w.is_number_integer()) {
      const auto v = w.get<std::int64_t>();
      if (v >= INT32_MIN && v <= INT32_MAX) return static_cast<std::int32_t>(v);
    } else if (w.is_number_float()) {
      const double v = w.get<double>();
      if (v >= INT32_MIN && v <= INT32_MAX && v == std::trunc(v))
        return static_cast<std::int32_t>(v);
    }
    return std::nullopt;
  }

  // A text of the file, refused when it holds a character a Word document cannot (named in the
  // message together with `wo`, the key it stands under).
  std::string Text(const Json& w, const std::string& wo) const {
    std::string text = w.get<std::string>();
    if (const auto verboten = xmlzeichen::ErstesVerbotenes(text))
      Fehler(wo + " enthält das Zeichen " + verboten->name +
             ", das in Word-Dokumenten nicht stehen darf (an Stelle " +
             std::to_string(verboten->offset + 1) + ").");
    return text;
  }

  void Eigenschaften(Auftrag& a) const {
    if (!wurzel_.contains("auftrag")) return;
    const Json& e = wurzel_["auftrag"];
    if (!e.is_object()) Fehler("»auftrag« muss ein Objekt aus Eigenschaft und Wert sein.");
    for (const auto& [name, wert] : e.items()) {
      if (wert.is_string())
        a.eigenschaften.emplace_back(name, Variant(Text(wert, "»auftrag." + name + "«")));
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
        const auto antwort = w.is_number_integer() ? GanzeZahl(w) : std::nullopt;
        if (!antwort) Fehler("»antworten.meldungen« muss eine Liste von Zahlen sein.");
        a.meldungen.push_back(*antwort);
      }
    }
  }

  bool Zelltext(const Json& w, std::string& text, const std::string& wo) const {
    if (w.is_string())
      text = Text(w, wo);
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
        // The statement of category 1 adds up to six rows of its own (headings, the reduced
        // points, the reduction) to the table it writes, whose row numbers are 16-bit as well.
        if (a.kategorie == 0 && wert.size() > kRasterzeilenKategorie1)
          Fehler("»eingaben.zeilen« hat " + std::to_string(wert.size()) +
                 " Zeilen; die Abrechnung der Kategorie 1 fügt bis zu sechs Zeilen hinzu, und "
                 "ihre Tabelle fasst höchstens 32767 (16 Bit breite Zeilennummern): höchstens " +
                 std::to_string(kRasterzeilenKategorie1) + " Zeilen.");
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
            const std::string wo = "die Zelle (" + std::to_string(a.zeilen.size() + 1) + ", " +
                                   std::to_string(zellen.size() + 1) + ") von »eingaben.zeilen«";
            if (!Zelltext(z, text, wo))
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
      } else if (!Zelltext(wert, f.text, "»eingaben." + name + "«")) {
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
        if (!w.contains(s) || !Zelltext(w[s], t, wo + ": »" + s + "«"))
          Fehler(wo + ": »" + s + "« fehlt oder ist kein Text.");
        return t;
      };
      if (w.contains("feld")) {
        ak.art = Aktion::Art::Feld;
        ak.name = text("feld");
        ak.text = text("eingabe");
      } else if (w.contains("zelle")) {
        const Json& z = w["zelle"];
        const bool paar =
            z.is_array() && z.size() == 2 && z[0].is_number_integer() && z[1].is_number_integer();
        const auto zeile = paar ? GanzeZahl(z[0]) : std::nullopt;
        const auto spalte = paar ? GanzeZahl(z[1]) : std::nullopt;
        if (!zeile || !spalte) Fehler(wo + ": »zelle« muss [ZEILE, SPALTE] sein.");
        ak.zeile = *zeile;
        ak.spalte = *spalte;
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
          const auto zeile = r.is_number_integer() ? GanzeZahl(r) : std::nullopt;
          if (!zeile) Fehler(wo + ": »zeilen_markieren« muss eine Liste von Zeilen sein.");
          ak.zeilen.push_back(*zeile);
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
  std::error_code fehler;
  if (!std::filesystem::exists(datei, fehler))
    throw Laufzeitfehler(fehlernummer::DateiNichtGefunden,
                         "Die Auftragsdatei »" + datei.string() + "« lässt sich nicht öffnen.");
  std::string text = dateiart::Lesen(datei, kAuftragsdateiGroesste, "Auftragsdatei");
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  const auto ordner = datei.has_parent_path() ? datei.parent_path() : std::filesystem::path(".");
  Auftrag a = AuftragAusText(text, ordner, datei.string());
  a.datei = datei;
  return a;
}

}  // namespace tarvo::auftrag
