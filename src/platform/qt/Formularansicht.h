// Formularansicht: the view of any Form model, built from the form's registered controls
// without code of its own for a particular form. Each control gets its view (Ansichten.h,
// RasterAnsicht.h), named like the control. The layout follows the kinds of controls: the first
// label as the heading, the grids, then the masked edits and combo boxes as labelled fields
// beside the frames (with their option buttons), the check boxes and the further labels, and
// the command buttons in a row at the bottom. A combo box that lies over a grid, or is hidden
// when the form is shown, floats over the grid cell at its position. The tab order is the
// order of registration. The form's mouse pointer shows as the wait cursor. Loesen disconnects
// every view (before the form unloads its controls).
#pragma once

#include <QWidget>
#include <vector>

#include "platform/controls/Form.h"

namespace tarvo::qt {

class Bindung;
class Auswahlfeld;
class RasterAnsicht;

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

 signals:
  // After every user action on one of the form's views.
  void Bedient();

 private:
  void Schwebende();
  void NachAktion();
  int Pixel(float twips) const;

  controls::Form& form_;
  std::vector<Bindung*> ansichten_;
  std::vector<RasterAnsicht*> raster_;
  std::vector<Auswahlfeld*> schwebend_;
  bool gebunden_ = true;
};

}  // namespace tarvo::qt
