#include "platform/controls/Control.h"

#include <utility>

#include "errors/Laufzeitfehler.h"
#include "platform/controls/Form.h"

namespace tarvo::controls {

Control::Control(std::string name) : name_(std::move(name)) {}

Control::Control(Form& besitzer, std::string name) : name_(std::move(name)), besitzer_(&besitzer) {
  besitzer.Registrieren(*this);
}

Control::~Control() {
  if (besitzer_) besitzer_->Abmelden(*this);
}

void Control::SetVisible(bool wert) {
  if (visible_ == wert) return;
  visible_ = wert;
  Geaendert();
}

void Control::SetEnabled(bool wert) {
  if (enabled_ == wert) return;
  enabled_ = wert;
  Geaendert();
}

void Control::SetLeft(float wert) {
  Move(wert, top_, width_, height_);
}
void Control::SetTop(float wert) {
  Move(left_, wert, width_, height_);
}
void Control::SetWidth(float wert) {
  Move(left_, top_, wert, height_);
}
void Control::SetHeight(float wert) {
  Move(left_, top_, width_, wert);
}

void Control::Move(float left, float top, float width, float height) {
  if (width < 0 || height < 0)
    throw Laufzeitfehler(steuerfehler::UngueltigerWert, "Ungültiger Eigenschaftswert");
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Geaendert();
}

void Control::SetContainer(Frame* frame) {
  if (container_ == frame) return;
  container_ = frame;
  Geaendert();
}

bool Control::HasFocus() const {
  return besitzer_ ? besitzer_->ActiveControl() == this : fokus_ohne_form_;
}

void Control::SetFocus() {
  if (!visible_ || !enabled_) throw Laufzeitfehler(fehlernummer::UngueltigerAufruf);
  if (besitzer_) {
    besitzer_->FokusSetzen(this);
  } else if (!fokus_ohne_form_) {
    fokus_ohne_form_ = true;
    GotFocus();
  }
}

void Control::FokusAbgeben() {
  if (besitzer_) {
    if (besitzer_->ActiveControl() == this) besitzer_->FokusSetzen(nullptr);
  } else if (fokus_ohne_form_) {
    fokus_ohne_form_ = false;
    LostFocus();
  }
}

void Label::SetCaption(std::string wert) {
  if (caption_ == wert) return;
  caption_ = std::move(wert);
  Geaendert();
}

void Frame::SetCaption(std::string wert) {
  if (caption_ == wert) return;
  caption_ = std::move(wert);
  Geaendert();
}

}  // namespace tarvo::controls
