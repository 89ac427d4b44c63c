#include "platform/qt/RasterAnsicht.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/qt/Ansichten.h"
#include "platform/qt/Masse.h"
#include "platform/qt/RasterModell.h"

namespace tarvo::qt {
namespace {

// Whether `text` may stand in a number cell: digits, grouping points, one decimal comma, a
// leading minus, blanks.
bool Zahltext(const QString& text) {
  static const QRegularExpression muster("^ *-? *[0-9.]*(,[0-9]*)? *$");
  return muster.match(text).hasMatch();
}

// The editor of a number cell: keys and pastes that no number may hold are refused with a hint.
class Zahleneditor : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* ereignis) override {
    if (ereignis->matches(QKeySequence::Paste)) {
      const QString text = QApplication::clipboard()->text().trimmed();
      QString neu = QLineEdit::text();
      const int start = hasSelectedText() ? selectionStart() : cursorPosition();
      neu.replace(start, hasSelectedText() ? selectedText().size() : 0, text);
      if (text.isEmpty() || !Zahltext(neu)) {
        Kurzhinweis(this, "»" + text.left(40) +
                              "« ist keine Zahl und wurde nicht eingefügt (erlaubt: Ziffern, "
                              "Tausenderpunkt, Dezimalkomma).");
        return;
      }
      insert(text);
      return;
    }
    const QString zeichen = ereignis->text();
    if (!zeichen.isEmpty() && zeichen.at(0).isPrint() &&
        !(ereignis->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      QString neu = QLineEdit::text();
      const int start = hasSelectedText() ? selectionStart() : cursorPosition();
      neu.replace(start, hasSelectedText() ? selectedText().size() : 0, zeichen);
      if (!Zahltext(neu)) {
        Kurzhinweis(this, "»" + zeichen +
                              "« gehört in keine Zahl; in dieser Spalte stehen "
                              "nur Zahlen.");
        return;
      }
    }
    QLineEdit::keyPressEvent(ereignis);
  }
  void contextMenuEvent(QContextMenuEvent* ereignis) override { ereignis->accept(); }
};

// The cell editor currently open, so the model's EditEnd can commit it.
class Zellenbearbeiter : public QStyledItemDelegate {
 public:
  Zellenbearbeiter(controls::Grid& grid, QObject* parent)
      : QStyledItemDelegate(parent), grid_(grid) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = grid_.ColSetting(index.column() + 1, "Zahl") == 1
                          ? new Zahleneditor(parent)
                          : QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* zeile = qobject_cast<QLineEdit*>(editor)) zeile->setFrame(false);
    offen = editor;
    return editor;
  }
  mutable QPointer<QWidget> offen;

 private:
  controls::Grid& grid_;
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
  setItemDelegate(new Zellenbearbeiter(grid_, this));
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
    const int breite = Spaltenbreite(spalte);
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

int RasterAnsicht::Spaltenbreite(std::int32_t spalte) const {
  const QHeaderView* kopf = horizontalHeader();
  const QString text = QString::fromStdString(grid_.ColHeading(spalte)).trimmed();
  // The heading's text and the margins the style puts on either side of it.
  const int noetig = text.isEmpty()
                         ? 0
                         : kopf->fontMetrics().horizontalAdvance(text) +
                               2 * kopf->style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
  return std::max(Pixel(grid_.ColWidth(spalte), this), noetig);
}

void RasterAnsicht::Verlassen(bool vor) {
  EditorUebernehmen();
  for (QWidget* w = vor ? nextInFocusChain() : previousInFocusChain(); w && w != this;
       w = vor ? w->nextInFocusChain() : w->previousInFocusChain()) {
    if (isAncestorOf(w) || !w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
      continue;
    if (window() != w->window()) continue;
    w->setFocus(vor ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return;
  }
}

void RasterAnsicht::ZelleAnklicken(std::int32_t zeile, std::int32_t spalte) {
  Aktion("UserClickCell", [&] { grid_.UserClickCell(zeile, spalte); });
  Abgleichen();
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
  // The edit was committed (setData): the form view marks hints and shows logged errors.
  if (Gebunden() && NachAktion) NachAktion();
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
    Verlassen(ereignis->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
    return;
  }
  // A blank typed in the middle of an item ("über 5") belongs to the item, not to the list.
  const auto* auswahl = dynamic_cast<const Auswahlfeld*>(schwebend_.data());
  const bool suche = auswahl && !auswahl->Getippt().isEmpty();
  if (schwebend_ && schwebend_->isVisible() &&
      (ereignis->key() == Qt::Key_F4 || (ereignis->key() == Qt::Key_Space && !suche) ||
       (ereignis->key() == Qt::Key_Down && (mods & Qt::AltModifier)))) {
    schwebend_->setFocus(Qt::TabFocusReason);
    if (auto* combo = qobject_cast<QComboBox*>(schwebend_.data())) combo->showPopup();
    return;
  }
  // Typing over a floating combo box chooses in its list; the cell itself is never edited.
  if (schwebend_ && schwebend_->isVisible() && !ereignis->text().isEmpty() &&
      ereignis->text().at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
    QPointer<QWidget> ziel = schwebend_;
    ziel->setFocus(Qt::TabFocusReason);
    if (ziel) QApplication::sendEvent(ziel, ereignis);
    return;
  }
  // Ctrl+Return confirms the form and Escape asks to cancel it: both are the form's.
  if ((ereignis->key() == Qt::Key_Return || ereignis->key() == Qt::Key_Enter) &&
      (mods & Qt::ControlModifier)) {
    ereignis->ignore();
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
      !(schwebend_ && schwebend_->isVisible()) &&
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
  else if (schwebend_ && schwebend_->isVisible() && index == currentIndex())
    if (auto* combo = qobject_cast<QComboBox*>(schwebend_.data())) combo->showPopup();
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
