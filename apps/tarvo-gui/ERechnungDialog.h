// ERechnungDialog: "E-Rechnung erzeugen …" of the host window. For the open, saved invoice it
// shows the buyer as the job database holds it (name, address, Leitweg-ID, e-mail; filled in
// where known), the format and the file to write. "Prüfen" lists what the chosen format still
// misses and what cannot be right, field by field with its business term; "Erzeugen" stores the
// buyer, checks again and writes the e-invoice from the saved document beside it, or lists the
// reasons and writes nothing. Errors of the database come back as messages too, never thrown.
#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace tarvo::dao {
class Database;
}

namespace tarvo::gui {

class ERechnungDialog : public QDialog {
  Q_OBJECT
 public:
  ERechnungDialog(dao::Database& datenbank, std::filesystem::path dokument, std::int32_t rechnung,
                  std::int32_t benutzer, QWidget* parent = nullptr);

  // Checks the buyer as typed for the chosen format; true when nothing is missing or wrong.
  // The messages stand in the dialog's list.
  bool Pruefen();
  // Stores the buyer, checks and writes the e-invoice; true when it was written (its path in
  // Geschrieben()).
  bool Erzeugen();

  QLineEdit* Feld(const std::string& name) const;  // "name", "leitweg_id", …; nullptr if none
  QComboBox* FormatWahl() const { return format_; }
  QString Meldungen() const;
  const std::filesystem::path& Geschrieben() const { return geschrieben_; }

 private:
  void ZielVorschlagen();

  dao::Database& datenbank_;
  std::filesystem::path dokument_;
  std::int32_t rechnung_;
  std::int32_t benutzer_;
  std::map<std::string, QLineEdit*> felder_;
  QComboBox* format_;
  QLineEdit* ziel_;
  QPlainTextEdit* meldungen_;
  std::filesystem::path geschrieben_;
};

}  // namespace tarvo::gui
