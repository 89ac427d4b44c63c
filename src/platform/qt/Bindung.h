// Bindung: what every view of a control model shares. It connects the view to the model's
// StateChanged (ahead of the form's handlers) so the widget is brought up to date after each
// real change, shows the model's visibility and availability, hands the focus to the model when
// the widget receives it, and runs the user's actions under the trap of module "Ansicht" so a
// refused action is logged and never reaches Qt's event loop. Loesen disconnects the view for
// good; a view no longer bound ignores the user and never touches its model again.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/controls/Control.h"

class QWidget;

namespace tarvo::qt {

class Bindung {
 public:
  Bindung(controls::Control& control, QWidget& widget);
  virtual ~Bindung();
  Bindung(const Bindung&) = delete;
  Bindung& operator=(const Bindung&) = delete;

  controls::Control& Steuerelement() const { return control_; }
  QWidget& Widget() const { return widget_; }
  bool Gebunden() const { return gebunden_; }

  // Brings the widget up to the model's state (visibility, availability, then Zeigen).
  void Abgleichen();
  // Disconnects from the model; the view stays inert until it is deleted.
  void Loesen();

  // Called after every user action on any view of the form (the form view's cursor and the
  // floating controls follow the models there).
  std::function<void()> NachAktion;
  // A floating view (a combo box over a grid cell): its form view places and shows it.
  bool Schwebt = false;
  // Where in its caption a check box or option button shows its accelerator ("&"), set by the
  // form view for captions without one; -1 for none.
  long long Kuerzel = -1;

 protected:
  // Shows the model's own state in the widget.
  virtual void Zeigen() = 0;
  // Runs one user action (named for the log) when bound; then NachAktion.
  void Aktion(const char* prozedur, const std::function<void()>& schritt);
  // The widget received the focus: the model takes it too (without the events the model
  // raises itself, when it has it already).
  void FokusErhalten();
  // Whether the widget that now has the focus shows a control of the same form.
  bool FokusBleibtImFormular() const;

 private:
  controls::Control& control_;
  QWidget& widget_;
  std::size_t verbindung_ = 0;
  bool gebunden_ = true;
};

// The binding shown by `widget`, or nullptr (it is kept as a property of the widget).
Bindung* BindungVon(const QWidget* widget);

}  // namespace tarvo::qt
