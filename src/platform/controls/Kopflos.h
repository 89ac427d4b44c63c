// Kopflos: the headless Bildschirm, used by the tests and the job runner. Message boxes are
// answered from a script (a queue of answers, one per box) and otherwise by the box's default
// button (Yes for 36, OK for 0). Modal dialogs run the scripted action registered for their
// form name (it gets the form and acts on it: picks an option, presses a button); a dialog still
// shown afterwards, or one without a script, is closed through its frame (Unload). Everything
// that would be shown is recorded. Settings live in an INI file (Einstellungen).
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/Bildschirm.h"
#include "platform/controls/Einstellungen.h"

namespace tarvo::controls {

class Kopflos : public Bildschirm {
 public:
  struct Meldung {
    std::string Text;
    std::int32_t Schaltflaechen = 0;
    std::string Titel;
    std::int32_t Antwort = 0;
  };
  struct Hilfe {
    std::filesystem::path Datei;
    std::string Thema;
  };
  struct Anzeige {
    std::string Form;
    bool Modal = false;
  };
  struct Einbettung {
    std::string Form;
    std::int32_t Parent = 0;
    std::int32_t ExtendedStyle = 0;
  };

  // Settings in Einstellungen::StandardDatei().
  Kopflos();
  // Settings in `einstellungsdatei`.
  explicit Kopflos(std::filesystem::path einstellungsdatei);

  // Queues answers for the next message boxes, one each, in order.
  void Antworten(std::vector<std::int32_t> antworten);
  // The action for modal dialogs of form name `form` (replaces an earlier one).
  void Dialog(const std::string& form, std::function<void(Form&)> aktion);

  const std::vector<Meldung>& Meldungen() const { return meldungen_; }
  const std::vector<Hilfe>& Hilfeaufrufe() const { return hilfe_; }
  const std::vector<Anzeige>& Anzeigen() const { return anzeigen_; }
  const std::vector<Einbettung>& Einbettungen() const { return einbettungen_; }
  Einstellungen& Speicher() { return einstellungen_; }

  // The default button's code for a message box style (1 for an unknown button set).
  static std::int32_t StandardAntwort(std::int32_t schaltflaechen);

  std::int32_t MsgBox(const std::string& meldung, std::int32_t schaltflaechen,
                      const std::string& titel) override;
  void HilfeAnzeigen(const std::filesystem::path& datei, const std::string& thema) override;
  std::string GetSetting(const std::string& anwendung, const std::string& abschnitt,
                         const std::string& schluessel, const std::string& standard) override;
  void SaveSetting(const std::string& anwendung, const std::string& abschnitt,
                   const std::string& schluessel, const std::string& wert) override;
  void Zeigen(Form& form, bool modal) override;
  void Verbergen(Form& form) override {}
  void Entladen(Form& form) override {}
  void Einbetten(Form& form, std::int32_t parent, std::int32_t extendedStyle) override;

 private:
  std::deque<std::int32_t> antworten_;
  std::map<std::string, std::function<void(Form&)>> dialoge_;
  std::vector<Meldung> meldungen_;
  std::vector<Hilfe> hilfe_;
  std::vector<Anzeige> anzeigen_;
  std::vector<Einbettung> einbettungen_;
  Einstellungen einstellungen_;
};

}  // namespace tarvo::controls
