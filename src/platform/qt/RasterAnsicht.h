// RasterAnsicht: the view of a Grid model, a QTableView over a RasterModell. Widths and heights
// come from the model's twips; the current cell and the selected rows are the model's. A mouse
// click on a cell is UserClickCell, a click on a row heading UserSelectRows (with Ctrl: added to
// the selection); Tab, Shift+Tab, the arrow keys, Return and Delete are UserPressKey, so a form
// handler that swallows a key gets its way (Ctrl+Tab leaves the grid). Typing into an editable
// cell opens an editor whose text is committed through UserEditCell when it closes; Tab in the
// editor commits and then presses Tab. The model's EditEnd commits an open editor. A combo box
// floating over a cell is opened with F4, Alt+Down or the space bar, and typing over it goes to
// it, never into the cell. A column is at least as wide as its heading needs at the screen's
// font. In a column whose "Zahl" setting is 1 the cell editor takes only what a number may hold
// (digits, grouping point, decimal comma, minus, blank) and says so when it refuses a key or a
// paste. Ctrl+Return and Escape go on to the form.
#pragma once

#include <QPointer>
#include <QTableView>

#include "platform/controls/Grid.h"
#include "platform/qt/Bindung.h"

namespace tarvo::qt {

class RasterModell;

class RasterAnsicht : public QTableView, public Bindung {
  Q_OBJECT
 public:
  RasterAnsicht(controls::Grid& grid, QWidget* parent = nullptr);
  ~RasterAnsicht() override;

  controls::Grid& Raster() const { return grid_; }
  RasterModell& Modell() const { return *modell_; }
  // The widget floating over the current cell (set by the form view), or nullptr.
  void Schwebend(QWidget* widget) { schwebend_ = widget; }
  QWidget* Schwebend() const { return schwebend_; }
  // Clicks cell (zeile, spalte) as the mouse does (UserClickCell).
  void ZelleAnklicken(std::int32_t zeile, std::int32_t spalte);
  // The width column `spalte` (from 1) gets: the model's, or more when its heading needs it.
  int Spaltenbreite(std::int32_t spalte) const;
  // Commits an open cell editor through UserEditCell.
  void EditorUebernehmen();
  // Ctrl+Tab, Ctrl+Shift+Tab: gives the focus to the next (previous) control outside the grid.
  void Verlassen(bool vor);

 protected:
  void Zeigen() override;
  void keyPressEvent(QKeyEvent* ereignis) override;
  void mousePressEvent(QMouseEvent* ereignis) override;
  void mouseDoubleClickEvent(QMouseEvent* ereignis) override;
  void mouseMoveEvent(QMouseEvent* ereignis) override;
  void focusInEvent(QFocusEvent* ereignis) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hinweis) override;
  QModelIndex moveCursor(CursorAction aktion, Qt::KeyboardModifiers modifiers) override;
  void dataChanged(const QModelIndex& oben, const QModelIndex& unten,
                   const QList<int>& rollen = QList<int>()) override;

 private:
  void Taste(std::int16_t taste, std::int16_t umschalt);
  void KopfGeklickt(int abschnitt);

  controls::Grid& grid_;
  RasterModell* modell_;
  std::size_t editEnde_ = 0;
  QPointer<QWidget> schwebend_;
};

}  // namespace tarvo::qt
