// Conversions between the models' twips (1/1440 inch) and the pixels of a widget's screen, at
// that screen's logical DPI (96 on an ordinary desktop: 15 twips a pixel). Never fails: a widget
// without a screen counts 96 DPI.
#pragma once

class QWidget;

namespace tarvo::qt {

int Pixel(float twips, const QWidget* widget);
float Twips(int pixel, const QWidget* widget);

}  // namespace tarvo::qt
