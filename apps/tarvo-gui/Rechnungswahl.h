// Rechnungswahl: the dialog that asks which invoice record a document belongs to before the job
// is opened (and its invoice locked): the records of `Rechnung` with number, job, kind, date and
// gross amount, filtered as the user types into the search field (every column is searched).
// Return or a double click takes the marked record; Escape cancels.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

#include "Auftragsfuehrung.h"

class QLineEdit;
class QTableWidget;

namespace tarvo::gui {

class Rechnungswahl : public QDialog {
  Q_OBJECT
 public:
  // `vorgewaehlt`: the record marked at first (the one remembered for the document).
  Rechnungswahl(const QString& dokument, const std::vector<Rechnungseintrag>& rechnungen,
                std::optional<std::int32_t> vorgewaehlt, QWidget* parent = nullptr);

  // The record marked (none when the filter hides every row).
  std::optional<std::int32_t> Gewaehlt() const;
  // Shows only the rows that contain `text` in one of their columns; marks the first shown when
  // the marked one is hidden.
  void Filtern(const QString& text);

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  QLineEdit* suche_;
  QTableWidget* tabelle_;
};

// Asks for the invoice of `dokument`; none when the user cancels.
std::optional<std::int32_t> RechnungWaehlen(QWidget* parent, const QString& dokument,
                                            const std::vector<Rechnungseintrag>& rechnungen,
                                            std::optional<std::int32_t> vorgewaehlt);

}  // namespace tarvo::gui
