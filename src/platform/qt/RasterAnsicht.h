// RasterAnsicht: the view of a Grid model, a QTableView over a RasterModell. Widths and heights
// come from the model's twips; the current cell and the selected rows are the model's. A mouse
// click on a cell is UserClickCell, a click on a row heading UserSelectRows (with Ctrl: added to
// the selection); Tab, Shift+Tab, the arrow keys, Return and Delete are UserPressKey, so a form
// handler that swallows a key gets its way (Ctrl+Tab leaves the grid). Typing into an editable
// cell opens an editor whose text is committed through UserEditCell when it closes; Tab in the
// editor commits and then presses Tab. The model's EditEnd commits an open editor. A combo box
// floating over a cell is opened with F4, Alt+Down or the space bar.
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
  // Commits an open cell editor through UserEditCell.
  void EditorUebernehmen();

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
