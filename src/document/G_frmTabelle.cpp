#include "document/G_frmTabelle.h"

#include <string>

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
