#include "ERechnungDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "erechnung/Erzeugung.h"
#include "erechnung/Stammdaten.h"
#include "errors/Laufzeitfehler.h"
#include "platform/qt/QtBildschirm.h"

namespace tarvo::gui {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The buyer's fields as the dialog shows them: key, label, where the value lives.
struct Kaeuferfeld {
  const char* name;
  const char* beschriftung;
  std::string erechnung::Kaeufer::*text = nullptr;
  std::string erechnung::Anschrift::*anschrift = nullptr;
};
const std::vector<Kaeuferfeld>& Kaeuferfelder() {
  using K = erechnung::Kaeufer;
  using A = erechnung::Anschrift;
  static const std::vector<Kaeuferfeld> felder = {
      {"name", "&Name des Käufers:", &K::name, nullptr},
      {"strasse", "&Straße:", nullptr, &A::strasse},
      {"plz", "&PLZ:", nullptr, &A::plz},
      {"ort", "&Ort:", nullptr, &A::ort},
      {"land", "&Land (ISO):", nullptr, &A::land},
      {"leitweg_id", "&Leitweg-ID:", &K::leitwegId, nullptr},
      {"email", "&E-Mail:", &K::email, nullptr},
  };
  return felder;
}

std::string& Wert(erechnung::Kaeufer& kaeufer, const Kaeuferfeld& feld) {
  return feld.text ? kaeufer.*(feld.text) : kaeufer.anschrift.*(feld.anschrift);
}

erechnung::Format GewaehltesFormat(const QComboBox& wahl) {
  erechnung::Format format = erechnung::Format::XRechnungCii;
  erechnung::FormatLesen(wahl.currentData().toString().toStdString(), format);
  return format;
}

}  // namespace

ERechnungDialog::ERechnungDialog(dao::Database& datenbank, std::filesystem::path dokument,
                                 std::int32_t rechnung, std::int32_t benutzer, QWidget* parent)
    : QDialog(parent),
      datenbank_(datenbank),
      dokument_(std::move(dokument)),
      rechnung_(rechnung),
      benutzer_(benutzer) {
  setObjectName("ERechnung");
  setWindowTitle(QString("E-Rechnung erzeugen – Rechnung %1").arg(rechnung_));
  setWindowFlags(qt::kDialogRahmen);
  auto* layout = new QVBoxLayout(this);
  auto* formular = new QFormLayout;
  format_ = new QComboBox;
  format_->setObjectName("Format");
  format_->addItem("XRechnung (CII) – öffentliche Auftraggeber", "xrechnung-cii");
  format_->addItem("XRechnung (UBL) – Portale, die UBL verlangen", "xrechnung-ubl");
  format_->addItem("ZUGFeRD / Factur-X (PDF) – Unternehmen", "zugferd");
  formular->addRow("&Format:", format_);

  erechnung::Stammdaten daten;
  QString lesefehler;
  try {
    erechnung::StammdatenLesen(datenbank_, rechnung_, daten);
  } catch (const Laufzeitfehler& fehler) {
    lesefehler = Q("Die Stammdaten ließen sich nicht lesen: " + fehler.Beschreibung());
  }
  for (const Kaeuferfeld& feld : Kaeuferfelder()) {
    auto* zeile = new QLineEdit(Q(Wert(daten.kaeufer, feld)));
    zeile->setObjectName(feld.name);
    felder_[feld.name] = zeile;
    formular->addRow(feld.beschriftung, zeile);
  }
  ziel_ = new QLineEdit;
  ziel_->setObjectName("Ziel");
  formular->addRow("&Datei:", ziel_);
  layout->addLayout(formular);
  meldungen_ = new QPlainTextEdit(lesefehler);
  meldungen_->setObjectName("Meldungen");
  meldungen_->setReadOnly(true);
  meldungen_->setMinimumHeight(90);
  layout->addWidget(meldungen_);

  auto* knoepfe = new QDialogButtonBox;
  QPushButton* pruefen = knoepfe->addButton("&Prüfen", QDialogButtonBox::ActionRole);
  QPushButton* erzeugen = knoepfe->addButton("E&rzeugen", QDialogButtonBox::AcceptRole);
  knoepfe->addButton("Schließen", QDialogButtonBox::RejectRole);
  erzeugen->setDefault(true);
  layout->addWidget(knoepfe);
  connect(pruefen, &QPushButton::clicked, this, [this] { Pruefen(); });
  connect(erzeugen, &QPushButton::clicked, this, [this] { Erzeugen(); });
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(format_, &QComboBox::currentIndexChanged, this, [this] { ZielVorschlagen(); });
  ZielVorschlagen();
}

void ERechnungDialog::ZielVorschlagen() {
  ziel_->setText(Q(erechnung::StandardAusgabe(dokument_, GewaehltesFormat(*format_)).string()));
}

QLineEdit* ERechnungDialog::Feld(const std::string& name) const {
  const auto it = felder_.find(name);
  return it == felder_.end() ? nullptr : it->second;
}

QString ERechnungDialog::Meldungen() const {
  return meldungen_->toPlainText();
}

bool ERechnungDialog::Pruefen() {
  std::vector<std::string> meldungen;
  try {
    erechnung::Stammdaten daten;
    erechnung::StammdatenLesen(datenbank_, rechnung_, daten);
    for (const Kaeuferfeld& feld : Kaeuferfelder())
      Wert(daten.kaeufer, feld) = felder_[feld.name]->text().trimmed().toStdString();
    meldungen = erechnung::StammdatenPruefen(daten, GewaehltesFormat(*format_));
  } catch (const Laufzeitfehler& fehler) {
    meldungen.push_back(fehler.Beschreibung());
  }
  QStringList zeilen;
  for (const std::string& m : meldungen) zeilen << Q(m);
  meldungen_->setPlainText(zeilen.isEmpty() ? "Alle nötigen Angaben sind vorhanden."
                                            : zeilen.join('\n'));
  return meldungen.empty();
}

bool ERechnungDialog::Erzeugen() {
  geschrieben_.clear();
  if (!Pruefen()) return false;
  std::vector<std::string> meldungen;
  try {
    erechnung::Stammdaten daten;
    erechnung::StammdatenLesen(datenbank_, rechnung_, daten);
    for (const Kaeuferfeld& feld : Kaeuferfelder())
      Wert(daten.kaeufer, feld) = felder_[feld.name]->text().trimmed().toStdString();
    erechnung::StammdatenSpeichern(datenbank_, rechnung_, daten, false, true);
    erechnung::Auftrag auftrag;
    auftrag.dokument = dokument_;
    auftrag.datenbank = &datenbank_;
    auftrag.rechnung = rechnung_;
    auftrag.benutzer = benutzer_;
    auftrag.format = GewaehltesFormat(*format_);
    const std::filesystem::path ziel = ziel_->text().trimmed().toStdString();
    erechnung::Erzeugnis e = erechnung::ERechnungVorbereiten(auftrag, ziel);
    meldungen = e.fehler;
    if (meldungen.empty() && !e.ausgabe.Festschreiben())
      meldungen.push_back("Die Datei »" + ziel.string() + "« ließ sich nicht schreiben.");
    if (meldungen.empty()) geschrieben_ = ziel;
  } catch (const Laufzeitfehler& fehler) {
    meldungen.push_back(fehler.Beschreibung());
  }
  QStringList zeilen;
  for (const std::string& m : meldungen) zeilen << Q(m);
  meldungen_->setPlainText(geschrieben_.empty() ? "Nichts geschrieben:\n" + zeilen.join('\n')
                                                : Q("Geschrieben: " + geschrieben_.string()));
  return !geschrieben_.empty();
}

}  // namespace tarvo::gui
