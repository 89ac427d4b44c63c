#include "document/G_frmTabelle.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "errors/Falle.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo {

namespace {
constexpr const char* kModul = "G_frmTabelle";
}

G_frmTabelle::G_frmTabelle()
    : controls::Form("G_frmTabelle", "Tabellenwahl"),
      sevFrame1(*this, "sevFrame1"),
      optNeu(*this, "optNeu"),
      optAktTabelle(*this, "optAktTabelle"),
      cmdEnde(*this, "cmdEnde") {
  sevFrame1.SetCaption("zu bearbeitende Tabelle auswählen");
  optNeu.SetCaption("neuer Abrechnungspunkt");
  optNeu.SetContainer(&sevFrame1);
  for (int i = 0; i < 5; ++i) {
    optTabelle_[i] =
        std::make_unique<controls::OptionButton>(*this, "optTabelle(" + std::to_string(i) + ")");
    optTabelle_[i]->SetCaption(std::to_string(i + 1) + ". vorhandener Eintrag");
    optTabelle_[i]->SetContainer(&sevFrame1);
  }
  optAktTabelle.SetCaption("aktuelle Cursorposition als Abrechnungspunkt interpretieren");
  optAktTabelle.SetContainer(&sevFrame1);
  cmdEnde.SetCaption("&OK");
  cmdEnde.Click.Connect([this] { cmdEnde_Click(); });
}

G_frmTabelle::~G_frmTabelle() = default;

controls::OptionButton& G_frmTabelle::optTabelle(int index) {
  if (index < 0 || index > 4) throw Laufzeitfehler(fehlernummer::IndexAusserhalb);
  return *optTabelle_[index];
}

void G_frmTabelle::Form_Load() {
  Falle falle(kModul, "Form_Load");
  falle([&] { GetWindowReg(*this); });
  // The dialog carries no icon of its own; the host's window icon serves.
  falle([&] { optNeu.SetValue(true); });
  falle([&] { cmdEnde.SetPicture("OK"); });
}

void G_frmTabelle::cmdEnde_Click() {
  Falle falle(kModul, "cmdEnde_Click");
  falle([&] { Hide(); });
}

void G_frmTabelle::Form_Unload() {
  Falle falle(kModul, "Form_Unload");
  falle([&] { SetWindowReg(*this); });
}

namespace {

// The first line of a cell's text, without the cell's end mark and surrounding blanks.
std::string ErsteZeile(std::string text) {
  const auto ende = text.find_first_of("\r\a\v\n");
  if (ende != std::string::npos) text.erase(ende);
  const auto anfang = text.find_first_not_of(' ');
  if (anfang == std::string::npos) return "";
  return text.substr(anfang, text.find_last_not_of(' ') - anfang + 1);
}

// An amount as the statements show it: "1.234,50".
std::string Betrag(double wert) {
  char puffer[64];
  std::snprintf(puffer, sizeof puffer, "%.2f", wert < 0 ? -wert : wert);
  std::string text = puffer;
  text[text.size() - 3] = ',';
  for (int i = static_cast<int>(text.size()) - 6; i > 0; i -= 3) text.insert(i, ".");
  return (wert < 0 ? "-" : "") + text;
}

}  // namespace

void G_frmTabelle::EintraegeBeschreiben(const std::string& tag) {
  Falle falle(kModul, "EintraegeBeschreiben");
  std::vector<word::Table> eintraege;
  falle([&] {
    const word::Tables tabellen = Dokument().Tables();
    for (std::int32_t k = 1; k <= tabellen.Count() && eintraege.size() < 5; ++k)
      if (ErsterKommentar(tabellen.Item(k)) == tag) eintraege.push_back(tabellen.Item(k));
  });
  for (std::size_t i = 0; i < eintraege.size(); ++i) {
    const word::Table& tabelle = eintraege[i];
    falle([&] {
      const std::int32_t zeilen = tabelle.Rows().Count();
      std::string erstes;
      double summe = 0;
      for (std::int32_t r = 2; r <= zeilen; ++r) {
        // Rows of a statement differ in their cells (surcharge lines are merged): the first and
        // the last cell a row has.
        std::string text;
        if (erstes.empty()) falle.Still([&] { erstes = ErsteZeile(ZellText(tabelle, r, 1)); });
        for (std::int32_t spalte = 8; spalte >= 1 && text.empty(); --spalte)
          falle.Still([&] { text = ErsteZeile(ZellText(tabelle, r, spalte)); });
        summe += CVal(text);
      }
      std::string text = std::to_string(i + 1) + ". vorhandener Eintrag – ";
      if (!erstes.empty()) text += erstes + ", ";
      text += std::to_string(zeilen - 1) + (zeilen == 2 ? " Zeile, " : " Zeilen, ") +
              Betrag(summe) + " €";
      optTabelle(static_cast<int>(i)).SetCaption(text);
    });
  }
}

Tabellenwahl G_frmTabelle::Auswahl(std::int16_t& eintrag) {
  // Reading a control of an unloaded dialog loads it again, with the new table selected.
  Load();
  eintrag = 5;
  if (optAktTabelle.Value()) return Tabellenwahl::Cursorposition;
  if (optNeu.Value()) return Tabellenwahl::Neu;
  for (int i = 0; i < 4; ++i) {
    if (optTabelle_[i]->Value()) {
      eintrag = static_cast<std::int16_t>(i + 1);
      break;
    }
  }
  return Tabellenwahl::Eintrag;
}

}  // namespace tarvo
