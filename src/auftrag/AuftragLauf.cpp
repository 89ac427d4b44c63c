#include "auftrag/AuftragLauf.h"

#include <algorithm>

#include "auftrag/ERechnungImAuftrag.h"
#include "auftrag/Kontext.h"
#include "common/Dateiart.h"
#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "document/G_frmTabelle.h"
#include "errors/Falle.h"
#include "errors/Protokoll.h"
#include "host/Auftragssitzung.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Grid.h"
#include "platform/controls/Kopflos.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/dao/Recordset.h"
#include "platform/word/Document.h"

namespace tarvo::auftrag {
namespace {

[[noreturn]] void Unbrauchbar(const std::string& was) {
  throw Laufzeitfehler(fehlernummer::UngueltigerAufruf, was);
}

// The table choice dialog answered as the job file says: an option, then "OK".
void TabellenwahlBeantworten(controls::Kopflos& bildschirm, Tabellenwahl wahl) {
  bildschirm.Dialog("G_frmTabelle", [wahl](controls::Form& formular) {
    auto& dialog = dynamic_cast<G_frmTabelle&>(formular);
    switch (wahl.art) {
      case Wahl::Neu:
        dialog.optNeu.UserClick();
        break;
      case Wahl::Cursor:
        dialog.optAktTabelle.UserClick();
        break;
      case Wahl::Eintrag:
        dialog.optTabelle(wahl.eintrag - 1).UserClick();
        break;
    }
    dialog.cmdEnde.UserPress();
  });
}

// Plays the user's input into a form through the controls' user-action entry points.
class Spieler {
 public:
  Spieler(controls::Form& formular, std::int16_t kategorie, std::vector<std::string>& hinweise)
      : formular_(formular), kategorie_(kategorie), hinweise_(hinweise) {}

  void Zeilen(const std::vector<std::vector<std::optional<std::string>>>& zeilen) {
    if (zeilen.empty()) return;
    controls::Grid& grid = Raster();
    std::size_t letzteSpalte = 1;
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
      const auto zeile = static_cast<std::int32_t>(i + 1);
      Kontext() = "Zeile " + std::to_string(zeile) + " von »eingaben.zeilen«";
      if (zeile > grid.Rows()) Anhaengen(grid, static_cast<std::int32_t>(letzteSpalte));
      if (zeile > grid.Rows()) Unbrauchbar("das Formular legt keine weitere Zeile an.");
      const auto& zellen = zeilen[i];
      if (static_cast<std::int32_t>(zellen.size()) > grid.Cols())
        Unbrauchbar("die Zeile hat mehr Zellen, als das Raster Spalten hat.");
      for (std::size_t s = 0; s < zellen.size(); ++s)
        if (zellen[s]) Zelle(grid, zeile, static_cast<std::int32_t>(s + 1), *zellen[s]);
      letzteSpalte = std::max<std::size_t>(zellen.size(), 1);
    }
  }

  void Feld(const Feldeingabe& feld) {
    Kontext() = "Feld »" + feld.name + "«";
    controls::Control* control = formular_.Steuerelement(feld.name);
    if (!control) Unbrauchbar("das Formular hat kein solches Feld.");
    if (auto* box = dynamic_cast<controls::CheckBox*>(control)) {
      if (!feld.istHaken) Unbrauchbar("ein Kontrollkästchen erwartet true oder false.");
      if ((box->Value() == 1) != feld.haken) box->UserClick();
    } else if (auto* option = dynamic_cast<controls::OptionButton*>(control)) {
      if (!feld.istHaken) Unbrauchbar("ein Optionsfeld erwartet true oder false.");
      if (feld.haken) option->UserClick();
    } else if (auto* maske = dynamic_cast<controls::MaskEdBox*>(control)) {
      if (feld.istHaken) Unbrauchbar("ein Eingabefeld erwartet Ziffern.");
      Tippen(*maske, feld.text);
    } else if (auto* combo = dynamic_cast<controls::ComboBox*>(control)) {
      if (feld.istHaken) Unbrauchbar("ein Kombinationsfeld erwartet einen Eintrag.");
      Waehlen(*combo, feld.text);
    } else {
      Unbrauchbar("in dieses Steuerelement lässt sich nichts eingeben.");
    }
  }

  void Spielen(const Aktion& aktion, std::size_t nummer) {
    Kontext() = "Aktion " + std::to_string(nummer) + " von »aktionen«";
    switch (aktion.art) {
      case Aktion::Art::Feld: {
        Feldeingabe feld;
        feld.name = aktion.name;
        feld.text = aktion.text;
        Feld(feld);
        break;
      }
      case Aktion::Art::Klick: {
        controls::Control* control = formular_.Steuerelement(aktion.name);
        if (auto* knopf = dynamic_cast<controls::CommandButton*>(control)) {
          if (aktion.name == "CommandEnde") okGedrueckt_ = true;
          knopf->UserPress();
        } else if (auto* box = dynamic_cast<controls::CheckBox*>(control)) {
          box->UserClick();
        } else if (auto* option = dynamic_cast<controls::OptionButton*>(control)) {
          option->UserClick();
        } else {
          Unbrauchbar("»" + aktion.name +
                      "« ist keine Schaltfläche, kein Kontrollkästchen und "
                      "kein Optionsfeld des Formulars.");
        }
        break;
      }
      case Aktion::Art::ZelleEingabe:
        NegativPruefen(aktion.zeile, aktion.spalte, aktion.text);
        ImRaster(aktion.zeile, aktion.spalte)
            .UserEditCell(aktion.zeile, aktion.spalte, aktion.text);
        break;
      case Aktion::Art::ZelleKlick:
        ImRaster(aktion.zeile, aktion.spalte).UserClickCell(aktion.zeile, aktion.spalte);
        break;
      case Aktion::Art::Taste:
        Raster().UserPressKey(aktion.taste, aktion.umschalt);
        break;
      case Aktion::Art::Combo: {
        auto* combo = dynamic_cast<controls::ComboBox*>(formular_.Steuerelement(aktion.name));
        if (!combo) Unbrauchbar("»" + aktion.name + "« ist kein Kombinationsfeld des Formulars.");
        Waehlen(*combo, aktion.text);
        break;
      }
      case Aktion::Art::ZeilenMarkieren:
        for (std::int32_t zeile : aktion.zeilen) ImRaster(zeile, 1);
        Raster().UserSelectRows(aktion.zeilen);
        break;
    }
  }

  bool OkGedrueckt() const { return okGedrueckt_; }
  void OkGedrueckt(bool wert) { okGedrueckt_ = wert; }

 private:
  controls::Grid& Raster() {
    for (controls::Control* control : formular_.Steuerelemente())
      if (auto* grid = dynamic_cast<controls::Grid*>(control)) return *grid;
    Unbrauchbar("das Formular hat kein Gebührenraster.");
  }

  // A further row as the user adds one: Tab at the end of the last row. The column where Tab
  // appends a row is the form's; the last column typed is tried first, then the others from the
  // right.
  void Anhaengen(controls::Grid& grid, std::int32_t letzteSpalte) {
    const std::int32_t vorher = grid.Rows();
    std::vector<std::int32_t> spalten{std::min(letzteSpalte, grid.Cols())};
    for (std::int32_t s = grid.Cols(); s >= 1; --s)
      if (s != spalten.front()) spalten.push_back(s);
    for (std::int32_t spalte : spalten) {
      grid.UserClickCell(grid.Rows(), spalte);
      grid.UserPressKey(controls::taste::Tab);
      if (grid.Rows() > vorher) return;
    }
  }

  // The grid, when it has the cell; otherwise the job names a cell the user cannot reach.
  controls::Grid& ImRaster(std::int32_t zeile, std::int32_t spalte) {
    controls::Grid& grid = Raster();
    if (zeile < 1 || zeile > grid.Rows() || spalte < 1 || spalte > grid.Cols())
      Unbrauchbar("die Zelle (" + std::to_string(zeile) + ", " + std::to_string(spalte) +
                  ") gibt es nicht; das Raster hat die Zeilen 1 bis " +
                  std::to_string(grid.Rows()) + " und die Spalten 1 bis " +
                  std::to_string(grid.Cols()) + ".");
    return grid;
  }

  // A cell as the user fills it: click it; where the form floats a combo box over it, choose
  // the item, otherwise type the text.
  // A negative number typed into a row: a share cannot be negative (nothing defines what it
  // would charge), so the job is refused; an area, count or length is computed as the fee
  // ordinance's tables define it for negative values, with a hint in the report.
  void NegativPruefen(std::int32_t zeile, std::int32_t spalte, const std::string& text) {
    if (!zahltext::IstZahl(text) || CVal(text) >= 0) return;
    const std::string wo = "Zeile " + std::to_string(zeile) + ", Spalte " + std::to_string(spalte);
    // The share column of the building survey's and the boundary restoration's grids.
    if ((kategorie_ == 1 || kategorie_ == 3) && spalte == 4)
      Unbrauchbar(wo + ": ein negativer Anteil (»" + text +
                  "«) ist nicht möglich; ein Anteil liegt zwischen 1 und 1000 (Tausendstel).");
    hinweise_.push_back(wo + ": der negative Wert »" + text +
                        "« wurde so berechnet, wie die Gebührentabellen negative Werte "
                        "behandeln; bitte prüfen.");
  }

  void Zelle(controls::Grid& grid, std::int32_t zeile, std::int32_t spalte,
             const std::string& text) {
    NegativPruefen(zeile, spalte, text);
    grid.UserClickCell(zeile, spalte);
    for (controls::Control* control : formular_.Steuerelemente()) {
      auto* combo = dynamic_cast<controls::ComboBox*>(control);
      if (combo && combo->Visible()) {
        Waehlen(*combo, text);
        return;
      }
    }
    grid.UserEditCell(zeile, spalte, text);
  }

  void Waehlen(controls::ComboBox& combo, const std::string& text) {
    for (std::int32_t i = 0; i < combo.ListCount(); ++i) {
      if (combo.List(i) == text) {
        combo.UserChoose(i);
        return;
      }
    }
    Unbrauchbar("»" + text + "« steht in der Auswahlliste nicht zur Wahl.");
  }

  // Focus, typing, leaving. Blanks are not typed (a masked field shows untyped places as
  // blanks); other characters than digits are refused by the field and stop the job.
  void Tippen(controls::MaskEdBox& feld, const std::string& text) {
    std::string tasten;
    for (char c : text) {
      if (c == ' ') continue;
      if (c < '0' || c > '9') Unbrauchbar("das Feld nimmt nur Ziffern an, nicht »" + text + "«.");
      tasten += c;
    }
    if (static_cast<std::int32_t>(tasten.size()) > feld.Stellen())
      Unbrauchbar("»" + text + "« hat mehr Ziffern, als das Feld Stellen hat.");
    feld.UserFocus();
    feld.UserType(tasten);
    feld.UserLeave();
  }

  controls::Form& formular_;
  std::int16_t kategorie_;
  std::vector<std::string>& hinweise_;
  bool okGedrueckt_ = false;
};

std::string Bereinigt(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\v', ' ');
  std::replace(text.begin(), text.end(), '\t', ' ');
  const auto anfang = text.find_first_not_of(' ');
  if (anfang == std::string::npos) return {};
  const auto ende = text.find_last_not_of(' ');
  return text.substr(anfang, ende - anfang + 1);
}

std::string Zelle(const word::Table& tabelle, std::int32_t zeile, std::int32_t spalte) {
  return Bereinigt(ZellText(tabelle, zeile, spalte));
}

void TabellenLesen(word::Document& dokument, Ergebnis& ergebnis) {
  const word::Tables tabellen = dokument.Tables();
  for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
    const word::Table tabelle = tabellen.Item(i);
    const std::string tag = ErsterKommentar(tabelle);
    const std::int32_t zeilen = tabelle.Rows().Count();
    if (tag == "RE_Summe") {
      for (std::int32_t r = 1; r <= zeilen; ++r) {
        Betragszeile z{Zelle(tabelle, r, 2), Zelle(tabelle, r, 3), Zelle(tabelle, r, 4)};
        if (!z.text.empty() || !z.betrag.empty()) ergebnis.summen.push_back(z);
      }
      continue;
    }
    if (tag.rfind("TARVO_", 0) != 0) continue;
    Tabellenbericht bericht{tag, {}};
    std::string abschnitt;
    for (std::int32_t r = 1; r <= zeilen; ++r) {
      const std::string betrag = Zelle(tabelle, r, 5);
      const std::string erste = Zelle(tabelle, r, 1);
      if (betrag.find("€") == std::string::npos) {
        if (!erste.empty()) abschnitt = erste;
        continue;
      }
      std::string text;
      for (std::int32_t s = 1; s <= 3; ++s) {
        const std::string zelle = Zelle(tabelle, r, s);
        if (zelle.empty()) continue;
        text += (text.empty() ? "" : ", ") + zelle;
      }
      if (erste.empty() && !abschnitt.empty()) text = abschnitt + ": " + text;
      bericht.zeilen.push_back({text, Zelle(tabelle, r, 4), betrag});
    }
    ergebnis.tabellen.push_back(std::move(bericht));
  }
}

double Feldwert(dao::Recordset& satz, const char* name) {
  const Variant wert = satz.Fields(name).Value();
  return wert.IstNull() || wert.IstEmpty() ? 0 : CDbl(wert);
}

// The files of the job must be regular files: a device or FIFO as document or output would
// hang the run or be replaced, and a lock file as output would go with the lock.
void DateienPruefen(const Auftrag& a) {
  Kontext() = "»dokument« »" + a.dokument.string() + "«";
  dateiart::NurGewoehnlich(a.dokument, "Word-Dokument");
  Kontext() = "»ausgabe« »" + a.ausgabe.string() + "«";
  dateiart::NurGewoehnlich(a.ausgabe, "Ausgabe der Rechnung");
  const std::string name = a.ausgabe.filename().string();
  if (name.size() > 8 && name.front() == '.' && name.ends_with(".sperre"))
    Unbrauchbar("»" + a.ausgabe.string() +
                "« ist eine Sperrdatei von tarvo; sie darf nicht mit der Rechnung überschrieben "
                "werden.");
  Kontext() = "Datenbank »" + a.datenbank.string() + "«";
  dateiart::NurGewoehnlich(a.datenbank, "Auftragsdatenbank");
}

}  // namespace

Ergebnis AuftragAusfuehren(const Auftrag& a) {
  DateienPruefen(a);
  const std::int64_t fehlerVorher = protokoll::AnzahlGemeldet();
  Ergebnis ergebnis;
  ergebnis.ausgabe = a.ausgabe;

  Auftragsdaten daten;
  daten.dokument = a.dokument;
  daten.datenbank = a.datenbank;
  daten.benutzer = a.benutzer;
  daten.rechnung = a.rechnung;
  daten.eigenschaften = a.eigenschaften;
  daten.ausgabe = a.ausgabe;
  if (!a.datei.empty()) daten.eingaben.push_back(a.datei);
  if (a.erechnung) daten.vorDemCommit = ERechnungImAuftrag(a);
  Auftragssitzung sitzung(std::move(daten),
                          [](const std::string& schritt) { Kontext() = schritt; });
  word::Document& dokument = *sitzung.Dokument();
  if (a.cursorTabelle) {
    Kontext() = "»cursor.tabelle«";
    const word::Tables tabellen = dokument.Tables();
    if (*a.cursorTabelle > tabellen.Count())
      Unbrauchbar("das Dokument hat nur " + std::to_string(tabellen.Count()) + " Tabellen.");
    word::Range stelle = tabellen.Item(*a.cursorTabelle).Cell(1, 1).Range();
    stelle.Collapse(word::wdCollapseStart);
    stelle.Select();
  }

  auto bildschirm = std::make_shared<controls::Kopflos>();
  bildschirm->Antworten(a.meldungen);
  TabellenwahlBeantworten(*bildschirm, a.tabellenwahl);
  controls::Bildschirm::Setzen(bildschirm);

  sitzung.Zeigen(a.kategorie, a.fenster);
  std::shared_ptr<controls::Form> formular = sitzung.Formular();
  Spieler spieler(*formular, a.kategorie, ergebnis.hinweise);
  spieler.Zeilen(a.zeilen);
  for (const Feldeingabe& feld : a.felder) spieler.Feld(feld);
  std::size_t nummer = 0;
  for (const Aktion& aktion : a.aktionen) {
    if (!formular->Loaded()) break;
    spieler.Spielen(aktion, ++nummer);
  }

  Kontext() = "»abschluss«";
  if (formular->Loaded()) {
    const char* knopf = a.abbruch ? "CommandAbbruch" : "CommandEnde";
    formular->Steuerelement<controls::CommandButton>(knopf).UserPress();
    if (!a.abbruch) spieler.OkGedrueckt(true);
  }
  ergebnis.abbruch = !spieler.OkGedrueckt();

  if (spieler.OkGedrueckt()) {
    sitzung.Abschliessen(a.ausgabe);
    ergebnis.gespeichert = true;
  }

  // What is saved stays saved: a summary that cannot be read is logged (exit 3), never a
  // refusal that would claim that nothing was saved.
  Kontext() = "Zusammenfassung";
  Falle falle("Auftrag", "Zusammenfassung");
  falle([&] { TabellenLesen(dokument, ergebnis); });
  falle([&] {
    if (auto satz = sitzung.Rechnungssatz())
      ergebnis.rechnung =
          Rechnungsbericht{*a.rechnung, Feldwert(*satz, "NettoRechnung"),
                           Feldwert(*satz, "MehrwertsteuerFreierbetrag"), Feldwert(*satz, "Brutto"),
                           Feldwert(*satz, "Mehrwertsteuersatz")};
  });
  ergebnis.fehler = protokoll::AnzahlGemeldet() - fehlerVorher;
  ergebnis.protokoll = protokoll::Datei();
  controls::Bildschirm::Setzen(nullptr);
  Kontext().clear();
  return ergebnis;
}

}  // namespace tarvo::auftrag
