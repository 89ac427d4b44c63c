#include "platform/controls/Kopflos.h"

#include <utility>

#include "errors/Falle.h"
#include "platform/controls/Form.h"

namespace tarvo::controls {

Kopflos::Kopflos() : Kopflos(Einstellungen::StandardDatei()) {}

Kopflos::Kopflos(std::filesystem::path einstellungsdatei)
    : einstellungen_(std::move(einstellungsdatei)) {}

void Kopflos::Antworten(std::vector<std::int32_t> antworten) {
  antworten_.insert(antworten_.end(), antworten.begin(), antworten.end());
}

void Kopflos::Dialog(const std::string& form, std::function<void(Form&)> aktion) {
  dialoge_[form] = std::move(aktion);
}

std::int32_t Kopflos::StandardAntwort(std::int32_t schaltflaechen) {
  static const std::vector<std::int32_t> knoepfe[] = {
      {msgbox::OK},
      {msgbox::OK, msgbox::Cancel},
      {msgbox::Abort, msgbox::Retry, msgbox::Ignore},
      {msgbox::Yes, msgbox::No, msgbox::Cancel},
      {msgbox::Yes, msgbox::No},
      {msgbox::Retry, msgbox::Cancel},
  };
  const auto satz = static_cast<std::size_t>(schaltflaechen & 7);
  if (satz >= std::size(knoepfe)) return msgbox::OK;
  const auto standard = static_cast<std::size_t>((schaltflaechen >> 8) & 3);
  const auto& liste = knoepfe[satz];
  return standard < liste.size() ? liste[standard] : liste.front();
}

std::int32_t Kopflos::MsgBox(const std::string& meldung, std::int32_t schaltflaechen,
                             const std::string& titel) {
  std::int32_t antwort = StandardAntwort(schaltflaechen);
  if (!antworten_.empty()) {
    antwort = antworten_.front();
    antworten_.pop_front();
  }
  meldungen_.push_back({meldung, schaltflaechen, titel, antwort});
  return antwort;
}

void Kopflos::HilfeAnzeigen(const std::filesystem::path& datei, const std::string& thema) {
  hilfe_.push_back({datei, thema});
}

std::string Kopflos::GetSetting(const std::string& anwendung, const std::string& abschnitt,
                                const std::string& schluessel, const std::string& standard) {
  return einstellungen_.Lesen(anwendung, abschnitt, schluessel).value_or(standard);
}

void Kopflos::SaveSetting(const std::string& anwendung, const std::string& abschnitt,
                          const std::string& schluessel, const std::string& wert) {
  einstellungen_.Schreiben(anwendung, abschnitt, schluessel, wert);
}

void Kopflos::Zeigen(Form& form, bool modal) {
  anzeigen_.push_back({form.Name(), modal});
  if (!modal) return;
  auto it = dialoge_.find(form.Name());
  if (it != dialoge_.end()) {
    // The script acts as the user would; what it breaks is logged like any handler's error.
    Falle falle("Kopflos", "Zeigen");
    auto aktion = it->second;
    falle([&] { aktion(form); });
  }
  // Nobody is left to answer: a dialog still open is closed through its frame.
  if (form.Loaded() && form.Visible()) form.Unload();
}

void Kopflos::Einbetten(Form& form, std::int32_t parent, std::int32_t extendedStyle) {
  einbettungen_.push_back({form.Name(), parent, extendedStyle});
}

}  // namespace tarvo::controls
