// Formularansicht: the view of any Form model, built from the form's registered controls
// without code of its own for a particular form. Each control gets its view (Ansichten.h,
// RasterAnsicht.h), named like the control. The layout follows the kinds of controls: the first
// label as the heading, the grids, then the masked edits and combo boxes as labelled fields
// beside the frames (with their option buttons), the check boxes and the further labels, and
// the command buttons in a row at the bottom. A combo box that lies over a grid, or is hidden
// when the form is shown, floats over the grid cell at its position. The tab order is the
// order of registration. The form's mouse pointer shows as the wait cursor. Loesen disconnects
// every view (before the form unloads its controls).
//
// A designed form is widened and heightened evenly until every caption, heading and field shows
// whole at the screen's font; given more room, its grid takes it and what stands below or to
// the right of the grid moves along. The form's input hints (Form::Eingabehinweise) mark their
// fields and cells after every action, and "OK" with a mark standing asks once. An error the
// form logs during an action shows in the message line at the foot (with the cell it happened
// in) until the form's values change again. Escape asks and then presses "Abbruch", Ctrl+Return
// presses "OK"; check boxes and option buttons get an accelerator of their own.
#pragma once

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/Form.h"

class QLabel;

namespace tarvo::qt {

class Bindung;
class Auswahlfeld;
class RasterAnsicht;
class Schaltflaeche;

class Formularansicht : public QWidget {
  Q_OBJECT
 public:
  explicit Formularansicht(controls::Form& form, QWidget* parent = nullptr);
  ~Formularansicht() override;

  controls::Form& Formular() const { return form_; }
  const std::vector<Bindung*>& Ansichten() const { return ansichten_; }
  // Brings every view and the floating controls up to the models.
  void Abgleichen();
  void Loesen();
  bool Gebunden() const { return gebunden_; }

  // The label a field without a caption gets, from its name ("mskAnzahl" → "Anzahl").
  static QString FeldBeschriftung(const std::string& name);

  // The form's hints as last shown.
  const std::vector<controls::Eingabehinweis>& Hinweise() const { return hinweise_; }
  // The message line's text (empty when it is hidden).
  QString Meldung() const;
  // "OK" with marks standing: asks whether to go on; true when there are none or the answer
  // is yes.
  bool HinweiseBestaetigen();
  // Escape: asks, then presses "Abbruch" (false when the form has none or the answer is no).
  bool AbbruchFragen();

 signals:
  // After every user action on one of the form's views.
  void Bedient();

 private:
  void Schwebende();
  void NachAktion();
  void HinweiseZeigen();
  void FehlerZeigen();
  void Anordnen();
  void Kuerzel();
  void ZurueckInsRaster(Auswahlfeld* combo, bool rueckwaerts);
  std::string Fingerabdruck() const;
  int Pixel(float twips) const;

 protected:
  void resizeEvent(QResizeEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;

 private:
  struct Platz {
    QWidget* widget;
    QRect basis;  // at the smallest size
    bool raster;
  };
  std::vector<Platz> plaetze_;
  QRect rasterBasis_;
  QLabel* meldung_ = nullptr;
  std::vector<controls::Eingabehinweis> hinweise_;
  std::int64_t fehlerStand_ = 0;
  std::string meldungsStand_;  // the values when the message was shown
  bool entworfen_ = false;
  controls::Form& form_;
  std::vector<Bindung*> ansichten_;
  std::vector<RasterAnsicht*> raster_;
  std::vector<Auswahlfeld*> schwebend_;
  bool gebunden_ = true;
};

}  // namespace tarvo::qt
