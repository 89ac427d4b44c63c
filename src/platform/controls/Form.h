// Form: the model of a window with controls (category forms, dialogs). It holds the window's
// state (caption, visibility, mouse pointer, placement, parent window) and its life cycle: Load
// runs the form's Form_Load once, Unload runs Form_Unload and drops the loaded state. Showing
// goes through the UI seam (Bildschirm), so the same form runs headless or under Qt.
// Derived forms own their control models and hold the event handlers. Controls constructed with
// the form register themselves under their names (Steuerelement); the form tracks which of them
// has the focus (ActiveControl).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Variant.h"
#include "errors/Laufzeitfehler.h"
#include "platform/controls/Control.h"
#include "platform/controls/Eingabehinweis.h"

namespace tarvo::controls {

enum class MousePointer : std::int16_t { Default = 0, Hourglass = 11 };

class Form : public Objekt {
 public:
  Form(std::string name, std::string caption);
  ~Form() override;

  const std::string& Name() const { return name_; }
  std::string Caption;
  MousePointer Pointer = MousePointer::Default;
  std::int16_t WindowState = 0;                    // 0 normal, 1 minimised, 2 maximised
  float Top = 0, Left = 0, Width = 0, Height = 0;  // twips
  std::int32_t ParentWindow = 0;                   // host window the form is parented into
  std::int32_t ExtendedStyle = 0;

  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }

  // Loads the form when not loaded (runs Form_Load); otherwise does nothing.
  void Load();
  // Loads if needed, then shows the form through the UI seam: modeless returns at once,
  // modal returns when the form is hidden or unloaded.
  void Show(bool modal = false);
  // Hides the form; it stays loaded.
  void Hide();
  // Runs Form_Unload and drops the loaded and visible state; does nothing when not loaded.
  void Unload();

  // Makes the form a child of the host window `parent` with the given extended window style
  // (ParentWindow, ExtendedStyle), through the UI seam.
  void SetParentWindow(std::int32_t parent, std::int32_t extendedStyle);

  // The control registered under `name`, or nullptr.
  Control* Steuerelement(std::string_view name) const;
  // The control registered under `name` as a T; throws 730 when there is none, 13 when it is
  // of another kind.
  template <class T>
  T& Steuerelement(std::string_view name) const {
    Control* control = Steuerelement(name);
    if (!control)
      throw Laufzeitfehler(730, "Steuerelement '" + std::string(name) + "' nicht gefunden");
    T* typed = dynamic_cast<T*>(control);
    if (!typed) throw Laufzeitfehler(fehlernummer::TypenUnvertraeglich);
    return *typed;
  }
  // Every registered control, in registration order.
  const std::vector<Control*>& Steuerelemente() const { return controls_; }

  // The control that has the focus, or nullptr.
  Control* ActiveControl() const { return active_; }

  // The values the form holds that a person most likely did not mean, in the order of the
  // controls; empty by default. Reads only: asking changes nothing and raises no event.
  virtual std::vector<Eingabehinweis> Eingabehinweise() const { return {}; }

 protected:
  virtual void Form_Load() {}
  virtual void Form_Unload() {}

 private:
  friend class Control;
  void Registrieren(Control& control);
  void Abmelden(Control& control);
  // Moves the focus (nullptr: to no control): active first, then LostFocus, GotFocus.
  void FokusSetzen(Control* neu);

  std::string name_;
  std::vector<Control*> controls_;
  Control* active_ = nullptr;
  bool loaded_ = false;
  bool visible_ = false;
};

}  // namespace tarvo::controls
