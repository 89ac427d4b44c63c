// Protokollfenster: the error log Verw.log as a person reads it: one row per record with time,
// place (module and procedure, the line label when there is one), the German message and the
// error number, newest first. "Aktualisieren" reads the file again. A missing or empty log
// shows an empty table and says so.
#pragma once

#include <QDialog>
#include <filesystem>

class QLabel;
class QTableWidget;

namespace tarvo::gui {

class Protokollfenster : public QDialog {
  Q_OBJECT
 public:
  Protokollfenster(std::filesystem::path datei, QWidget* parent = nullptr);

  // Reads the log again and shows it.
  void Aktualisieren();
  QTableWidget* Tabelle() const { return tabelle_; }

 private:
  std::filesystem::path datei_;
  QTableWidget* tabelle_;
  QLabel* hinweis_;
};

}  // namespace tarvo::gui
