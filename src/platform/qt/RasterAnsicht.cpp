#include "platform/qt/RasterAnsicht.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/qt/Masse.h"
#include "platform/qt/RasterModell.h"

namespace tarvo::qt {
namespace {

// The cell editor currently open, so the model's EditEnd can commit it.
class Zellenbearbeiter : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    offen = editor;
    return editor;
  }
  mutable QPointer<QWidget> offen;
};

std::int16_t Umschalt(Qt::KeyboardModifiers modifiers) {
  std::int16_t wert = controls::umschalt::Keine;
  if (modifiers & Qt::ShiftModifier) wert |= controls::umschalt::Shift;
  if (modifiers & Qt::ControlModifier) wert |= controls::umschalt::Strg;
  if (modifiers & Qt::AltModifier) wert |= controls::umschalt::Alt;
  return wert;
}

}  // namespace

RasterAnsicht::RasterAnsicht(controls::Grid& grid, QWidget* parent)
    : QTableView(parent), Bindung(grid, *this), grid_(grid), modell_(new RasterModell(grid, this)) {
  setModel(modell_);
  setItemDelegate(new Zellenbearbeiter(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
  setTabKeyNavigation(true);
  setWordWrap(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setHighlightSections(false);
  connect(verticalHeader(), &QHeaderView::sectionPressed, this,
          [this](int abschnitt) { KopfGeklickt(abschnitt); });
  editEnde_ = grid_.EditEnd.ConnectFront([this] { EditorUebernehmen(); });
}

RasterAnsicht::~RasterAnsicht() {
  if (Gebunden()) grid_.EditEnd.Disconnect(editEnde_);
}

void RasterAnsicht::Zeigen() {
  modell_->Abgleichen();
  QHeaderView* kopf = horizontalHeader();
  for (std::int32_t spalte = 1; spalte <= grid_.Cols(); ++spalte) {
    const int breite = Pixel(grid_.ColWidth(spalte), this);
    if (kopf->sectionSize(spalte - 1) != breite) kopf->resizeSection(spalte - 1, breite);
  }
  const int kopfhoehe = std::max(Pixel(grid_.RowHeight(0), this), fontMetrics().height() + 4);
  if (kopf->height() != kopfhoehe) kopf->setFixedHeight(kopfhoehe);
  // Rows of the usual height take the header's default; only the others are sized one by one.
  QHeaderView* zeilen = verticalHeader();
  const int mindest = fontMetrics().height() + 2;
  const int ueblich = std::max(Pixel(controls::Grid::StandardHoehe, this), mindest);
  if (zeilen->defaultSectionSize() != ueblich) {
    zeilen->setMinimumSectionSize(mindest);
    zeilen->setDefaultSectionSize(ueblich);
  }
  for (std::int32_t zeile = 1; zeile <= grid_.Rows(); ++zeile) {
    const int hoehe = std::max(Pixel(grid_.RowHeight(zeile), this), mindest);
    if (zeilen->sectionSize(zeile - 1) != hoehe) zeilen->resizeSection(zeile - 1, hoehe);
  }
  if (grid_.Row() > 0 && grid_.Col() > 0) {
    const QModelIndex aktuell = modell_->index(grid_.Row() - 1, grid_.Col() - 1);
    if (currentIndex() != aktuell && state() != QAbstractItemView::EditingState) {
      selectionModel()->setCurrentIndex(aktuell, QItemSelectionModel::ClearAndSelect);
      scrollTo(aktuell);
    }
  }
}

void RasterAnsicht::EditorUebernehmen() {
  auto* bearbeiter = static_cast<Zellenbearbeiter*>(itemDelegate());
  if (QWidget* editor = bearbeiter->offen) {
    bearbeiter->offen = nullptr;
    commitData(editor);
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void RasterAnsicht::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hinweis) {
  auto* bearbeiter = static_cast<Zellenbearbeiter*>(itemDelegate());
  if (bearbeiter->offen == editor) bearbeiter->offen = nullptr;
  // Closed by Return or Tab the grid takes the focus back; closed because the user clicked
  // elsewhere, the focus stays there.
  const bool fokus = editor && editor->hasFocus();
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (fokus) setFocus(Qt::OtherFocusReason);
  // Tab in the editor: the text is committed, now the grid's key handling decides.
  if (hinweis == QAbstractItemDelegate::EditNextItem) Taste(controls::taste::Tab, 0);
  if (hinweis == QAbstractItemDelegate::EditPreviousItem)
    Taste(controls::taste::Tab, controls::umschalt::Shift);
}

QModelIndex RasterAnsicht::moveCursor(CursorAction, Qt::KeyboardModifiers) {
  // The grid model moves the current cell; Qt's own cursor movement never does.
  return currentIndex();
}

void RasterAnsicht::Taste(std::int16_t taste, std::int16_t umschalt) {
  Aktion("UserPressKey", [&] { grid_.UserPressKey(taste, umschalt); });
  Abgleichen();
}

void RasterAnsicht::dataChanged(const QModelIndex& oben, const QModelIndex& unten,
                                const QList<int>& rollen) {
  // An open editor keeps what the user typed until it is committed; the cells repaint.
  if (state() == QAbstractItemView::EditingState) {
    viewport()->update();
    return;
  }
  QTableView::dataChanged(oben, unten, rollen);
}

void RasterAnsicht::keyPressEvent(QKeyEvent* ereignis) {
  // A key the open editor passed on (Return, Escape) is the editor's: it commits or cancels.
  if (state() == QAbstractItemView::EditingState) {
    ereignis->ignore();
    return;
  }
  const Qt::KeyboardModifiers mods = ereignis->modifiers();
  const std::int16_t umschalt = Umschalt(mods);
  if ((ereignis->key() == Qt::Key_Tab || ereignis->key() == Qt::Key_Backtab) &&
      (mods & Qt::ControlModifier)) {
    QWidget::focusNextPrevChild(ereignis->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
    return;
  }
  if (schwebend_ && schwebend_->isVisible() &&
      (ereignis->key() == Qt::Key_F4 || ereignis->key() == Qt::Key_Space ||
       (ereignis->key() == Qt::Key_Down && (mods & Qt::AltModifier)))) {
    schwebend_->setFocus(Qt::TabFocusReason);
    if (auto* combo = qobject_cast<QComboBox*>(schwebend_.data())) combo->showPopup();
    return;
  }
  switch (ereignis->key()) {
    case Qt::Key_Tab:
      return Taste(controls::taste::Tab, umschalt);
    case Qt::Key_Backtab:
      return Taste(controls::taste::Tab, umschalt | controls::umschalt::Shift);
    case Qt::Key_Left:
      return Taste(controls::taste::Links, umschalt);
    case Qt::Key_Right:
      return Taste(controls::taste::Rechts, umschalt);
    case Qt::Key_Up:
      return Taste(controls::taste::Hoch, umschalt);
    case Qt::Key_Down:
      return Taste(controls::taste::Runter, umschalt);
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return Taste(controls::taste::Return, umschalt);
    case Qt::Key_Delete:
      return Taste(controls::taste::Entf, umschalt);
    default:
      break;
  }
  // Typing or F2 opens the editor of an editable current cell; other keys do nothing.
  if (currentIndex().isValid() && (modell_->flags(currentIndex()) & Qt::ItemIsEditable) &&
      (ereignis->key() == Qt::Key_F2 ||
       (!ereignis->text().isEmpty() && ereignis->text().at(0).isPrint() &&
        !(mods & (Qt::ControlModifier | Qt::AltModifier))))) {
    QTableView::keyPressEvent(ereignis);
    return;
  }
  ereignis->ignore();
}

void RasterAnsicht::mousePressEvent(QMouseEvent* ereignis) {
  const QModelIndex index = indexAt(ereignis->position().toPoint());
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  if (!index.isValid() || ereignis->button() != Qt::LeftButton) return;
  Aktion("UserClickCell", [&] { grid_.UserClickCell(index.row() + 1, index.column() + 1); });
  Abgleichen();
}

void RasterAnsicht::mouseDoubleClickEvent(QMouseEvent* ereignis) {
  const QModelIndex index = indexAt(ereignis->position().toPoint());
  if (index.isValid() && index == currentIndex() && (modell_->flags(index) & Qt::ItemIsEditable) &&
      !(schwebend_ && schwebend_->isVisible()))
    edit(index);
}

void RasterAnsicht::mouseMoveEvent(QMouseEvent*) {
  // Dragging selects nothing: the selection is the model's.
}

void RasterAnsicht::focusInEvent(QFocusEvent* ereignis) {
  QTableView::focusInEvent(ereignis);
  FokusErhalten();
}

void RasterAnsicht::KopfGeklickt(int abschnitt) {
  std::vector<std::int32_t> zeilen;
  if (QApplication::keyboardModifiers() & Qt::ControlModifier) zeilen = grid_.SelectedRows();
  const std::int32_t zeile = abschnitt + 1;
  const auto vorhanden = std::find(zeilen.begin(), zeilen.end(), zeile);
  if (vorhanden != zeilen.end())
    zeilen.erase(vorhanden);
  else
    zeilen.push_back(zeile);
  Aktion("UserSelectRows", [&] { grid_.UserSelectRows(zeilen); });
  Abgleichen();
}

}  // namespace tarvo::qt
