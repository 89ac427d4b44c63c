#include "Serververbindung.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/ServerAddress.h"
#include "platform/dao/Workspace.h"

namespace tarvo::gui {
namespace {

std::string Kodiert(const std::string& text) {
  static const char* ziffern = "0123456789ABCDEF";
  std::string ergebnis;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      ergebnis += static_cast<char>(c);
    } else {
      ergebnis += '%';
      ergebnis += ziffern[c >> 4];
      ergebnis += ziffern[c & 15];
    }
  }
  return ergebnis;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string S(const QLineEdit* feld) {
  return feld->text().trimmed().toStdString();
}

}  // namespace

std::string ServerAdresse(const Serverangaben& angaben) {
  const bool ordner = !angaben.rechner.empty() && angaben.rechner.front() == '/';
  std::string adresse = "postgresql://";
  if (!angaben.benutzer.empty()) adresse += Kodiert(angaben.benutzer) + "@";
  if (!ordner) adresse += Kodiert(angaben.rechner);
  if (!angaben.port.empty()) adresse += ":" + Kodiert(angaben.port);
  adresse += "/" + Kodiert(angaben.datenbank);
  std::string abfrage;
  if (ordner) abfrage += "host=" + Kodiert(angaben.rechner);
  if (!angaben.sslmodus.empty())
    abfrage += (abfrage.empty() ? "" : "&") + std::string("sslmode=") + Kodiert(angaben.sslmodus);
  return abfrage.empty() ? adresse : adresse + "?" + abfrage;
}

Serververbindung::Serververbindung(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Auftragsdatenbank auf dem Server");
  auto* felder = new QFormLayout;
  rechner_ = new QLineEdit;
  rechner_->setPlaceholderText("server.buero.local");
  port_ = new QLineEdit;
  port_->setPlaceholderText("5432");
  datenbank_ = new QLineEdit;
  datenbank_->setPlaceholderText("auftraege");
  benutzer_ = new QLineEdit;
  kennwort_ = new QLineEdit;
  kennwort_->setEchoMode(QLineEdit::Password);
  kennwort_->setPlaceholderText("leer: aus ~/.pgpass");
  ssl_ = new QComboBox;
  ssl_->addItems({"", "disable", "allow", "prefer", "require", "verify-ca", "verify-full"});
  zeichenkette_ = new QLineEdit;
  zeichenkette_->setPlaceholderText("oder: postgresql://benutzer@server/auftraege");
  felder->addRow("Server:", rechner_);
  felder->addRow("Port:", port_);
  felder->addRow("Datenbank:", datenbank_);
  felder->addRow("Benutzer:", benutzer_);
  felder->addRow("Kennwort:", kennwort_);
  felder->addRow("SSL-Modus:", ssl_);
  felder->addRow("Verbindungsadresse:", zeichenkette_);
  ergebnis_ = new QLabel;
  ergebnis_->setWordWrap(true);
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  knoepfe->button(QDialogButtonBox::Ok)->setText("Verbinden");
  knoepfe->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
  connect(knoepfe, &QDialogButtonBox::accepted, this, &Serververbindung::Pruefen);
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* spalte = new QVBoxLayout(this);
  spalte->addLayout(felder);
  spalte->addWidget(ergebnis_);
  spalte->addWidget(knoepfe);
}

std::string Serververbindung::Zusammensetzen() const {
  std::string adresse = S(zeichenkette_);
  if (adresse.empty())
    adresse = ServerAdresse(
        {S(rechner_), S(port_), S(datenbank_), S(benutzer_), ssl_->currentText().toStdString()});
  // A typed password stays out of the address: libpq takes it from its environment.
  adresse = dao::PasswordToEnvironment(adresse);
  const std::string kennwort = kennwort_->text().toStdString();
  if (!kennwort.empty()) ::setenv("PGPASSWORD", kennwort.c_str(), 1);
  return adresse;
}

void Serververbindung::Pruefen() {
  const std::string adresse = Zusammensetzen();
  if (!dao::IsServerAddress(adresse)) {
    ergebnis_->setText("Das ist keine Verbindungsadresse eines Datenbankservers.");
    return;
  }
  try {
    dao::Workspace().OpenDatabase(adresse)->OpenRecordset("SELECT count(*) FROM Rechnung");
  } catch (const Laufzeitfehler& fehler) {
    ergebnis_->setText(Q(fehler.Beschreibung()));
    return;
  }
  adresse_ = adresse;
  accept();
}

std::optional<std::string> Serververbindung::Erfragen(QWidget* parent) {
  Serververbindung dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Adresse();
}

}  // namespace tarvo::gui
