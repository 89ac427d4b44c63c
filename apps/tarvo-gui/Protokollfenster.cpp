#include "Protokollfenster.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/qt/Protokollsaetze.h"

namespace tarvo::gui {

Protokollfenster::Protokollfenster(std::filesystem::path datei, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      datei_(std::move(datei)) {
  setObjectName("Protokoll");
  setWindowTitle("Protokoll – " + QString::fromStdString(datei_.string()));
  auto* layout = new QVBoxLayout(this);
  hinweis_ = new QLabel(this);
  tabelle_ = new QTableWidget(0, 4, this);
  tabelle_->setObjectName("ProtokollTabelle");
  tabelle_->setHorizontalHeaderLabels({"Zeit", "Ort", "Meldung", "Fehler"});
  tabelle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tabelle_->setWordWrap(true);
  tabelle_->verticalHeader()->setVisible(false);
  tabelle_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  tabelle_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  tabelle_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  tabelle_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Close, this);
  knoepfe->button(QDialogButtonBox::Close)->setText("&Schließen");
  QPushButton* neu = knoepfe->addButton("&Aktualisieren", QDialogButtonBox::ActionRole);
  connect(neu, &QPushButton::clicked, this, &Protokollfenster::Aktualisieren);
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(hinweis_);
  layout->addWidget(tabelle_, 1);
  layout->addWidget(knoepfe);
  resize(860, 480);
  Aktualisieren();
}

void Protokollfenster::Aktualisieren() {
  const std::vector<qt::Protokollsatz> saetze = qt::ProtokollLesen(datei_);
  tabelle_->setRowCount(static_cast<int>(saetze.size()));
  // The newest record (the last in the file) first.
  for (std::size_t i = 0; i < saetze.size(); ++i) {
    const qt::Protokollsatz& satz = saetze[saetze.size() - 1 - i];
    QString ort = satz.ort;
    if (satz.zeile != 0) ort += QString(", Zeile %1").arg(satz.zeile);
    if (!satz.benutzer.isEmpty()) ort += " (" + satz.benutzer + ")";
    const QString spalten[] = {satz.zeit, ort, satz.meldung, QString::number(satz.nummer)};
    for (int s = 0; s < 4; ++s) {
      auto* zelle = new QTableWidgetItem(spalten[s]);
      if (s == 3) zelle->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tabelle_->setItem(static_cast<int>(i), s, zelle);
    }
  }
  tabelle_->resizeRowsToContents();
  hinweis_->setText(saetze.empty()
                        ? QString("Das Protokoll ist leer.")
                        : QString("%1 Einträge, der neueste zuoberst.").arg(saetze.size()));
}

}  // namespace tarvo::gui
