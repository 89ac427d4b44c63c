#include "platform/qt/Bindung.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

#include "errors/Falle.h"
#include "platform/controls/Form.h"

namespace tarvo::qt {
namespace {
constexpr const char* kEigenschaft = "tarvoBindung";
}

Bindung::Bindung(controls::Control& control, QWidget& widget) : control_(control), widget_(widget) {
  widget_.setObjectName(QString::fromStdString(control.Name()));
  widget_.setProperty(kEigenschaft, QVariant::fromValue(static_cast<void*>(this)));
  verbindung_ = control_.StateChanged.ConnectFront([this] { Abgleichen(); });
}

Bindung::~Bindung() {
  Loesen();
  widget_.setProperty(kEigenschaft, QVariant());
}

void Bindung::Loesen() {
  if (!gebunden_) return;
  gebunden_ = false;
  control_.StateChanged.Disconnect(verbindung_);
}

void Bindung::Abgleichen() {
  if (!gebunden_) return;
  widget_.setEnabled(control_.Enabled());
  Zeigen();
  // A widget inside a hidden container stays hidden with it; only the model's own flag counts.
  if (!Schwebt) widget_.setVisible(control_.Visible());
}

void Bindung::Aktion(const char* prozedur, const std::function<void()>& schritt) {
  if (!gebunden_) return;
  Falle falle("Ansicht", std::string(prozedur) + " " + control_.Name());
  falle(schritt);
  if (NachAktion) NachAktion();
}

void Bindung::FokusErhalten() {
  if (!gebunden_ || control_.HasFocus() || !control_.Visible() || !control_.Enabled()) return;
  Aktion("Fokus", [this] { control_.SetFocus(); });
}

bool Bindung::FokusBleibtImFormular() const {
  const Bindung* neu = nullptr;
  for (const QWidget* w = QApplication::focusWidget(); w && !neu; w = w->parentWidget())
    neu = BindungVon(w);
  return neu && neu != this && neu->control_.Besitzer() == control_.Besitzer();
}

Bindung* BindungVon(const QWidget* widget) {
  if (!widget) return nullptr;
  return static_cast<Bindung*>(widget->property(kEigenschaft).value<void*>());
}

}  // namespace tarvo::qt
