// Control: the base of every control model, plus the two passive controls Label and Frame. A
// control has a Name, visibility, availability, a position on its form (twips) and optionally a
// container (the Frame it sits in, which groups option buttons). Constructed with its owning form
// it registers itself there under its name and deregisters when destroyed. Every real change of
// a control's state raises StateChanged once (for views and the contract checker); setting a
// value a control already has raises nothing. Bad arguments throw Laufzeitfehler (5 for focus on
// a hidden or disabled control, 380 for an invalid property value, 381 for an invalid index).
#pragma once

#include <cstdint>
#include <string>

#include "platform/controls/Event.h"

namespace tarvo::controls {

class Form;
class Frame;

// Error numbers of the old control runtime.
namespace steuerfehler {
constexpr std::int32_t UngueltigerWert = 380;   // "Ungültiger Eigenschaftswert"
constexpr std::int32_t UngueltigerIndex = 381;  // "Ungültiger Index für Eigenschaftsfeld"
constexpr std::int32_t NichtGefunden = 730;     // "Steuerelement nicht gefunden"
}  // namespace steuerfehler

class Control {
 public:
  // A control on no form (tests); grouping and focus then stay local to it.
  explicit Control(std::string name);
  // A control of `besitzer`, registered there under `name` (a later one of the same name wins).
  Control(Form& besitzer, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Form* Besitzer() const { return besitzer_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool wert);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool wert);

  float Left() const { return left_; }
  float Top() const { return top_; }
  float Width() const { return width_; }
  float Height() const { return height_; }
  void SetLeft(float wert);
  void SetTop(float wert);
  void SetWidth(float wert);
  void SetHeight(float wert);
  // Moves and sizes in one step (one StateChanged at most).
  void Move(float left, float top, float width, float height);

  // The frame this control sits in, or nullptr (the form itself).
  Frame* Container() const { return container_; }
  void SetContainer(Frame* frame);

  // Whether this control has the focus on its form.
  bool HasFocus() const;
  // Gives this control the focus: the form's active control becomes this one first, then the
  // old one raises LostFocus and this one GotFocus (so a LostFocus handler can already ask who
  // has the focus now). Nothing happens when it has the focus already. Throws 5 when the control
  // is hidden or disabled.
  void SetFocus();

  Event<> GotFocus;
  Event<> LostFocus;
  // Raised once after every real change of this control's state.
  Event<> StateChanged;

 protected:
  // Derived controls call this after they changed their state.
  void Geaendert() { StateChanged(); }
  // Takes the focus from this control (LostFocus) without giving it to another one.
  void FokusAbgeben();

 private:
  friend class Form;
  std::string name_;
  Form* besitzer_ = nullptr;
  Frame* container_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  bool fokus_ohne_form_ = false;  // focus state of a control that has no form
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

class Label : public Control {
 public:
  using Control::Control;
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string wert);

 private:
  std::string caption_;
};

// A frame: a caption and a container that groups the option buttons placed in it.
class Frame : public Control {
 public:
  using Control::Control;
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string wert);

 private:
  std::string caption_;
};

}  // namespace tarvo::controls
