// Serververbindung: the field for a server connection beside the file choice of "Datenbank
// öffnen". The dialog asks for the server, its port, the database, the user and libpq's
// sslmode, or takes a whole connection string as typed, and tries the connection before it
// closes. A password typed there goes to libpq's environment for this session and is never
// part of the address it returns, so it is neither shown nor kept among the recent files;
// a password file (~/.pgpass) spares the typing altogether.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvo::gui {

// What the fields hold; empty fields are left to libpq's defaults (PGHOST, PGUSER …).
struct Serverangaben {
  std::string rechner;  // host name, address, or the folder of a Unix socket
  std::string port;
  std::string datenbank;
  std::string benutzer;
  std::string sslmodus;  // disable, allow, prefer, require, verify-ca, verify-full; empty: libpq's
};

// The connection URI of `angaben` ("postgresql://benutzer@rechner:5432/datenbank?sslmode=…"),
// every part percent-encoded; a socket folder goes into the query as host=.
std::string ServerAdresse(const Serverangaben& angaben);

class Serververbindung : public QDialog {
  Q_OBJECT
 public:
  explicit Serververbindung(QWidget* parent = nullptr);

  // The address chosen, without its password; empty until the connection was tried and worked.
  const std::string& Adresse() const { return adresse_; }

  // Shows the dialog; the address of a connection that worked, or nothing when cancelled.
  static std::optional<std::string> Erfragen(QWidget* parent);

 private:
  // The address the fields (or the typed connection string) give, the password handed on.
  std::string Zusammensetzen() const;
  void Pruefen();

  QLineEdit* rechner_;
  QLineEdit* port_;
  QLineEdit* datenbank_;
  QLineEdit* benutzer_;
  QLineEdit* kennwort_;
  QComboBox* ssl_;
  QLineEdit* zeichenkette_;
  QLabel* ergebnis_;
  std::string adresse_;
};

}  // namespace tarvo::gui
