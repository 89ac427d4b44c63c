#include "platform/controls/Oberflaeche.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <vector>

#include "common/Variant.h"
#include "errors/Falle.h"
#include "errors/Protokoll.h"
#include "platform/controls/Bildschirm.h"

namespace tarvo {
namespace {

constexpr const char* Modul = "G_Funktionen";

std::string Einstellung(const controls::Form& form, const char* schluessel) {
  return controls::Bildschirm::Aktuell().GetSetting(FensterAnwendung, form.Name(), schluessel, "0");
}

void Speichern(const controls::Form& form, const char* schluessel, const std::string& wert) {
  controls::Bildschirm::Aktuell().SaveSetting(FensterAnwendung, form.Name(), schluessel, wert);
}

// A stored text as a Single: 13 for no number, 6 beyond the Single range.
float NachSingle(const std::string& text) {
  const double wert = CDbl(Variant(text));
  if (!std::isfinite(wert) || std::fabs(wert) > std::numeric_limits<float>::max())
    throw Laufzeitfehler(fehlernummer::Ueberlauf);
  return static_cast<float>(wert);
}

// A Single as the runtime writes it: up to 7 significant digits, decimal comma.
std::string SingleText(float wert) {
  char puffer[32];
  std::snprintf(puffer, sizeof puffer, "%.7g", static_cast<double>(wert));
  std::string text = puffer;
  for (char& zeichen : text) {
    if (zeichen == '.') zeichen = ',';
  }
  return text;
}

}  // namespace

void GetWindowReg(controls::Form& form) {
  Falle falle(Modul, "GetWindowReg");
  falle([&] {
    const std::int16_t zustand = CInt(Variant(Einstellung(form, "State")));
    if (zustand < 0 || zustand > 2)
      throw Laufzeitfehler(controls::steuerfehler::UngueltigerWert, "Ungültiger Eigenschaftswert");
    form.WindowState = zustand;
  });
  if (form.WindowState == 0) {
    falle([&] { form.Top = NachSingle(Einstellung(form, "Top")); });
    falle([&] { form.Left = NachSingle(Einstellung(form, "Left")); });
  }
}

void SetWindowReg(controls::Form& form) {
  Falle falle(Modul, "SetWindowReg");
  falle([&] { Speichern(form, "State", std::to_string(form.WindowState)); });
  if (form.WindowState == 0) {
    falle([&] { Speichern(form, "Top", SingleText(form.Top)); });
    falle([&] { Speichern(form, "Left", SingleText(form.Left)); });
  }
}

std::filesystem::path HilfeDatei() {
  const std::filesystem::path relativ = std::filesystem::path("Hilfe") / "LumoHelp.chm";
  const std::filesystem::path bibliothek = tarvo::protokoll::BibliotheksOrdner();
  std::vector<std::filesystem::path> orte;
  if (!bibliothek.empty()) orte.push_back(bibliothek);
#ifdef TARVO_DATEN_RELATIV
  if (!bibliothek.empty()) orte.push_back((bibliothek / TARVO_DATEN_RELATIV).lexically_normal());
#endif
#ifdef TARVO_DATEN_ORDNER
  orte.push_back(TARVO_DATEN_ORDNER);
#endif
  std::error_code fehler;
  for (const std::filesystem::path& ort : orte)
    if (std::filesystem::is_directory(ort / "Hilfe", fehler)) return ort / relativ;
  return bibliothek.empty() ? relativ : bibliothek / relativ;
}

std::string HilfeThema(const std::string& Formular) {
  // The one table of forms and their help pages.
  static const std::map<std::string, std::string> seiten = {
      {"frmKat1", "kategorie1.html"},        {"frmKat2", "kategorie2.html"},
      {"frmKat3", "kategorie3.html"},        {"frmKat4", "kategorie4.html"},
      {"G_frmTabelle", "tabellenwahl.html"},
  };
  const auto seite = seiten.find(Formular);
  return seite == seiten.end() ? std::string() : seite->second;
}

void HTMLHelp_ShowTopic(const std::string& Thema) {
  Falle falle(Modul, "HTMLHelp_ShowTopic");
  falle([&] { controls::Bildschirm::Aktuell().HilfeAnzeigen(HilfeDatei(), Thema); });
}

std::int32_t MsgBox(const std::string& Meldung, std::int32_t Schaltflächen,
                    const std::string& Titel) {
  Falle falle(Modul, "MsgBox");
  std::int32_t antwort = 0;
  falle([&] { antwort = controls::Bildschirm::Aktuell().MsgBox(Meldung, Schaltflächen, Titel); });
  return antwort;
}

void TextMarkieren(controls::MaskEdBox& feld) {
  Falle falle(Modul, "TextMarkieren");
  falle.Still([&] { feld.SetSelStart(0); });
  falle.Still([&] { feld.SetSelLength(255); });
}

}  // namespace tarvo
