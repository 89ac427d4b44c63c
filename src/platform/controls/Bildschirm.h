// Bildschirm: the one seam between the system and a screen. Message boxes, the help viewer, the
// per-user settings store, showing, hiding and unloading forms and parenting a form into the host
// window all go through it, so the same forms run headless (Kopflos) or under a desktop view.
// There is one current implementation per process (Aktuell); tests and the desktop front end
// replace it with Setzen. An implementation that cannot do what is asked throws Laufzeitfehler;
// the routines that call it trap and log the error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace tarvo::controls {

class Form;

// Style and answer codes of the message box.
namespace msgbox {
constexpr std::int32_t OKOnly = 0;
constexpr std::int32_t OKCancel = 1;
constexpr std::int32_t AbortRetryIgnore = 2;
constexpr std::int32_t YesNoCancel = 3;
constexpr std::int32_t YesNo = 4;
constexpr std::int32_t RetryCancel = 5;
constexpr std::int32_t Critical = 16;
constexpr std::int32_t Question = 32;
constexpr std::int32_t Exclamation = 48;
constexpr std::int32_t Information = 64;
constexpr std::int32_t DefaultButton2 = 256;
constexpr std::int32_t DefaultButton3 = 512;

constexpr std::int32_t OK = 1;
constexpr std::int32_t Cancel = 2;
constexpr std::int32_t Abort = 3;
constexpr std::int32_t Retry = 4;
constexpr std::int32_t Ignore = 5;
constexpr std::int32_t Yes = 6;
constexpr std::int32_t No = 7;
}  // namespace msgbox

class Bildschirm {
 public:
  virtual ~Bildschirm() = default;

  // Shows a modal message box with the standard style code (buttons + icon + default button)
  // and returns the code of the button pressed.
  virtual std::int32_t MsgBox(const std::string& meldung, std::int32_t schaltflaechen,
                              const std::string& titel) = 0;
  // Shows `thema` of help file `datei`; the file's start page when `thema` is empty.
  virtual void HilfeAnzeigen(const std::filesystem::path& datei, const std::string& thema) = 0;

  // The per-user settings store: the value of (application, section, key), or `standard` when
  // there is none.
  virtual std::string GetSetting(const std::string& anwendung, const std::string& abschnitt,
                                 const std::string& schluessel, const std::string& standard) = 0;
  virtual void SaveSetting(const std::string& anwendung, const std::string& abschnitt,
                           const std::string& schluessel, const std::string& wert) = 0;

  // Called by Form::Show after the form is loaded and marked visible. Modeless returns at once;
  // modal returns when the form has been hidden or unloaded.
  virtual void Zeigen(Form& form, bool modal) = 0;
  // Called by Form::Hide and Form::Unload after the form changed its state.
  virtual void Verbergen(Form& form) = 0;
  virtual void Entladen(Form& form) = 0;
  // Called by ~Form: the form object goes away; whatever shows it must let go of it now.
  virtual void Vergessen(Form& form) {}
  // Called by Form::SetParentWindow: show the form inside host window `parent`.
  virtual void Einbetten(Form& form, std::int32_t parent, std::int32_t extendedStyle) = 0;

  // The current implementation; a headless one (Kopflos) until another is set.
  static Bildschirm& Aktuell();
  // Replaces the current implementation; nullptr restores a fresh headless one.
  static void Setzen(std::shared_ptr<Bildschirm> bildschirm);
};

}  // namespace tarvo::controls
