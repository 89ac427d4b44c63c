#include "Rechnungswahl.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/Funktionen.h"

namespace tarvo::gui {
namespace {

QTableWidgetItem* Zelle(const QString& text, bool rechts = false) {
  auto* zelle = new QTableWidgetItem(text);
  zelle->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (rechts) zelle->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return zelle;
}

// The kinds of invoice the totals treat apart; other kinds show their number.
QString Art(std::int32_t art) {
  switch (art) {
    case 4:
      return "4 Schlussrechnung";
    case 5:
      return "5 Abschlagsrechnung";
    case 7:
      return "7 Gutschrift";
    default:
      return QString::number(art);
  }
}

}  // namespace

Rechnungswahl::Rechnungswahl(const QString& dokument,
                             const std::vector<Rechnungseintrag>& rechnungen,
                             std::optional<std::int32_t> vorgewaehlt, QWidget* parent)
    : QDialog(parent) {
  setObjectName("Rechnungswahl");
  setWindowTitle("Rechnung wählen – " + dokument);
  auto* layout = new QVBoxLayout(this);
  auto* hinweis = new QLabel("Zu welchem Rechnungssatz gehört »" + dokument + "«?");
  hinweis->setWordWrap(true);
  layout->addWidget(hinweis);
  suche_ = new QLineEdit;
  suche_->setObjectName("Suche");
  suche_->setPlaceholderText("Suchen (Nummer, Auftrag, Art, Datum, Betrag)");
  suche_->setClearButtonEnabled(true);
  layout->addWidget(suche_);
  tabelle_ = new QTableWidget(static_cast<int>(rechnungen.size()), 5);
  tabelle_->setObjectName("Rechnungen");
  tabelle_->setHorizontalHeaderLabels({"Nummer", "Auftrag", "Art", "Datum", "Brutto"});
  tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tabelle_->setSelectionMode(QAbstractItemView::SingleSelection);
  tabelle_->verticalHeader()->hide();
  tabelle_->horizontalHeader()->setStretchLastSection(true);
  int zeile = 0, marke = 0;
  for (const Rechnungseintrag& r : rechnungen) {
    tabelle_->setItem(zeile, 0, Zelle(QString::number(r.nummer), true));
    tabelle_->item(zeile, 0)->setData(Qt::UserRole, r.nummer);
    tabelle_->setItem(zeile, 1, Zelle(QString::number(r.auftrag), true));
    tabelle_->setItem(zeile, 2, Zelle(Art(r.art)));
    tabelle_->setItem(zeile, 3, Zelle(QString::fromStdString(r.datum)));
    tabelle_->setItem(zeile, 4,
                      Zelle(QString::fromStdString(werte::Formatiert(r.brutto, 2)) + " €", true));
    if (vorgewaehlt && r.nummer == *vorgewaehlt) marke = zeile;
    ++zeile;
  }
  tabelle_->resizeColumnsToContents();
  if (zeile > 0) tabelle_->selectRow(marke);
  layout->addWidget(tabelle_);
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  knoepfe->button(QDialogButtonBox::Ok)->setText("Ö&ffnen");
  knoepfe->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
  layout->addWidget(knoepfe);
  connect(knoepfe, &QDialogButtonBox::accepted, this, [this] {
    if (Gewaehlt()) accept();
  });
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tabelle_, &QTableWidget::cellDoubleClicked, this, [this] {
    if (Gewaehlt()) accept();
  });
  connect(suche_, &QLineEdit::textChanged, this, &Rechnungswahl::Filtern);
  // Up and down in the search field move the mark, so the keyboard never has to leave it.
  suche_->installEventFilter(this);
  resize(560, 360);
  suche_->setFocus();
}

std::optional<std::int32_t> Rechnungswahl::Gewaehlt() const {
  const auto markiert = tabelle_->selectionModel()->selectedRows();
  if (markiert.isEmpty() || tabelle_->isRowHidden(markiert.front().row())) return std::nullopt;
  return tabelle_->item(markiert.front().row(), 0)->data(Qt::UserRole).toInt();
}

void Rechnungswahl::Filtern(const QString& text) {
  int erste = -1;
  for (int zeile = 0; zeile < tabelle_->rowCount(); ++zeile) {
    bool passt = text.trimmed().isEmpty();
    for (int spalte = 0; spalte < tabelle_->columnCount() && !passt; ++spalte)
      passt = tabelle_->item(zeile, spalte)->text().contains(text.trimmed(), Qt::CaseInsensitive);
    tabelle_->setRowHidden(zeile, !passt);
    if (passt && erste < 0) erste = zeile;
  }
  if (!Gewaehlt() && erste >= 0) tabelle_->selectRow(erste);
}

bool Rechnungswahl::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt != suche_ || ereignis->type() != QEvent::KeyPress) return false;
  const int taste = static_cast<QKeyEvent*>(ereignis)->key();
  if (taste != Qt::Key_Up && taste != Qt::Key_Down) return false;
  const auto markiert = tabelle_->selectionModel()->selectedRows();
  int zeile = markiert.isEmpty() ? -1 : markiert.front().row();
  const int schritt = taste == Qt::Key_Down ? 1 : -1;
  for (int z = zeile + schritt; z >= 0 && z < tabelle_->rowCount(); z += schritt)
    if (!tabelle_->isRowHidden(z)) {
      tabelle_->selectRow(z);
      break;
    }
  return true;
}

std::optional<std::int32_t> RechnungWaehlen(QWidget* parent, const QString& dokument,
                                            const std::vector<Rechnungseintrag>& rechnungen,
                                            std::optional<std::int32_t> vorgewaehlt) {
  Rechnungswahl dialog(dokument, rechnungen, vorgewaehlt, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Gewaehlt();
}

}  // namespace tarvo::gui
