#include "platform/qt/Masse.h"

#include <QWidget>
#include <cmath>

namespace tarvo::qt {
namespace {

double Dpi(const QWidget* widget) {
  const int dpi = widget ? widget->logicalDpiY() : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int Pixel(float twips, const QWidget* widget) {
  return static_cast<int>(std::lround(twips * Dpi(widget) / 1440.0));
}

float Twips(int pixel, const QWidget* widget) {
  return static_cast<float>(pixel * 1440.0 / Dpi(widget));
}

}  // namespace tarvo::qt
