// QtBildschirm: the desktop implementation of the UI seam. Message boxes are QMessageBoxes with
// German buttons, icon and default button from the style code; a modal form is a dialog that
// returns when the form is hidden or unloaded (closing it through its frame unloads it); a
// modeless form parented into a registered host window becomes a child window of that host's
// MDI area, otherwise a window of its own. The window's place and state are kept in the form
// model while it is shown (WindowState, Top, Left in twips), so the forms' own SetWindowReg
// stores them; GetWindowReg's values are applied when the window appears. The settings store is
// the same INI file the headless seam uses. Help is read from an HTML folder: for the help file
// ".../Hilfe/LumoHelp.chm" the pages of ".../Hilfe/" (the topic, else index.html); a missing page
// throws 53 "Datei nicht gefunden" (the callers log it).
//
// A child window lies wholly inside its MDI area and shows its form in a scroll area, so a form
// larger than the area scrolls instead of being cut. Dialogs and message boxes have no minimise
// or maximise button; a dialog opens at its remembered place on the screen (the top left corner
// the first time), Return presses its "OK", and Escape closes it as its frame does and also
// closes, unseen, the form that is shown right after it (the table choice cancelled: nothing
// is written).
#pragma once

#include <QPointer>
#include <QTextBrowser>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>

#include "platform/controls/Bildschirm.h"
#include "platform/controls/Einstellungen.h"

class QMdiArea;
class QWidget;

namespace tarvo::qt {

// Dialogs and message boxes: a title and a close button, no minimise or maximise.
inline constexpr Qt::WindowFlags kDialogRahmen =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

class Formularansicht;

class QtBildschirm : public controls::Bildschirm {
 public:
  QtBildschirm();
  explicit QtBildschirm(std::filesystem::path einstellungsdatei);
  ~QtBildschirm() override;

  // Registers the MDI area of a host window under the handle the host hands to GO::Show.
  void Hostfenster(std::int32_t handle, QMdiArea* bereich);
  // The window forms without a host and message boxes belong to (may be nullptr).
  void Hauptfenster(QWidget* fenster) { hauptfenster_ = fenster; }

  // The view of a shown form, or nullptr.
  Formularansicht* Ansicht(const controls::Form& form) const;
  // The window that shows the form (MDI child, dialog or top-level window), or nullptr.
  QWidget* Fenster(const controls::Form& form) const;
  // Called after a form was unloaded and its window closed (the host finishes the job there).
  std::function<void(controls::Form&)> NachEntladen;
  // The help window, once help was shown.
  QTextBrowser* Hilfefenster() const { return hilfe_; }

  std::int32_t MsgBox(const std::string& meldung, std::int32_t schaltflaechen,
                      const std::string& titel) override;
  void HilfeAnzeigen(const std::filesystem::path& datei, const std::string& thema) override;
  std::string GetSetting(const std::string& anwendung, const std::string& abschnitt,
                         const std::string& schluessel, const std::string& standard) override;
  void SaveSetting(const std::string& anwendung, const std::string& abschnitt,
                   const std::string& schluessel, const std::string& wert) override;
  void Zeigen(controls::Form& form, bool modal) override;
  void Verbergen(controls::Form& form) override;
  void Entladen(controls::Form& form) override;
  void Einbetten(controls::Form& form, std::int32_t parent, std::int32_t extendedStyle) override;
  void Vergessen(controls::Form& form) override;

 private:
  bool Abbauen(controls::Form& form);
  struct Anzeige {
    QPointer<Formularansicht> ansicht;
    QPointer<QWidget> fenster;
    bool modal = false;
  };
  Anzeige& Aufbauen(controls::Form& form, bool modal);
  // The visible window new dialogs and message boxes belong to, or nullptr.
  QWidget* Eltern() const;

  controls::Einstellungen einstellungen_;
  std::map<std::int32_t, QPointer<QMdiArea>> hosts_;
  std::map<const controls::Form*, Anzeige> anzeigen_;
  QPointer<QWidget> hauptfenster_;
  QPointer<QTextBrowser> hilfe_;
  bool abgebrochen_ = false;  // a dialog was just cancelled with Escape
  QPointer<QObject> tastenfilter_;
};

}  // namespace tarvo::qt
