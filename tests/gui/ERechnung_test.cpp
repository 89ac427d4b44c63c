// The desktop's "E-Rechnung erzeugen …": the buyer as the database holds it, a check that names
// what the format misses and writes nothing, and the e-invoice written from the saved invoice
// with the buyer as typed.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "ERechnungDialog.h"
#include "acceptance/Auftrag_helpers.h"
#include "platform/dao/Database.h"
#include "platform/dao/Workspace.h"

namespace fs = std::filesystem;
using tarvo::gui::ERechnungDialog;

class ERechnungTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  std::shared_ptr<tarvo::dao::Database> db_;

  std::unique_ptr<ERechnungDialog> Dialog() {
    return std::make_unique<ERechnungDialog>(*db_, ordner_ / "Rechnung.docx", 1, 1);
  }

 private slots:
  void initTestCase() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-erechnung-gui-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    tarvo::abnahme::VorlageAnlegen(ordner_ / "Vorlage.docx");
    tarvo::abnahme::DatenbankAnlegen(ordner_ / "Auftraege.db");
    std::ofstream(ordner_ / "Auftrag.json") << R"({"dokument": "Vorlage.docx",
      "ausgabe": "Rechnung.docx", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
      "kategorie": 0, "eingaben": {"zeilen": [["Flst.Nr. 412/7", "II", "1250"]]}})";
    QCOMPARE(tarvo::abnahme::Shell("cd '" + ordner_.string() + "' && TARVO_LOG_DIR='" +
                                   ordner_.string() + "' '" + TARVO_EXE +
                                   "' run Auftrag.json >/dev/null"),
             0);
    db_ = tarvo::dao::Workspace().OpenDatabase((ordner_ / "Auftraege.db").string());
  }
  void cleanupTestCase() {
    db_.reset();
    fs::remove_all(ordner_);
  }

  void zeigtDenKaeuferDerDatenbank() {
    auto dialog = Dialog();
    QCOMPARE(dialog->Feld("name")->text(), QString("Landratsamt Meißen"));
    QCOMPARE(dialog->Feld("leitweg_id")->text(), QString("14627000-0001-55"));
  }

  void nenntWasFehltUndSchreibtNichts() {
    auto dialog = Dialog();
    dialog->Feld("leitweg_id")->clear();
    QVERIFY(!dialog->Pruefen());
    QVERIFY2(dialog->Meldungen().contains("Leitweg-ID des Empfängers (BT-10)"),
             qPrintable(dialog->Meldungen()));
    dialog->Feld("email")->setText("keine-adresse");
    QVERIFY(!dialog->Erzeugen());
    QVERIFY2(dialog->Meldungen().contains("BT-10"), qPrintable(dialog->Meldungen()));
    QVERIFY(!fs::exists(ordner_ / "Rechnung-xrechnung.xml"));
    // Nothing was stored either: the next dialog shows the database's buyer.
    QCOMPARE(Dialog()->Feld("leitweg_id")->text(), QString("14627000-0001-55"));
  }

  void schreibtDieERechnungMitDemGetipptenKaeufer() {
    auto dialog = Dialog();
    dialog->Feld("name")->setText("Gemeinde Moritzburg");
    dialog->FormatWahl()->setCurrentIndex(1);  // UBL
    QVERIFY2(dialog->Erzeugen(), qPrintable(dialog->Meldungen()));
    QCOMPARE(dialog->Geschrieben().filename().string(), std::string("Rechnung-xrechnung-ubl.xml"));
    const std::string xml = tarvo::abnahme::DateiLesen(dialog->Geschrieben());
    QVERIFY(xml.find("Invoice") != std::string::npos);
    QVERIFY(xml.find("Gemeinde Moritzburg") != std::string::npos);
    QCOMPARE(Dialog()->Feld("name")->text(), QString("Gemeinde Moritzburg"));
  }
};

QTEST_MAIN(ERechnungTest)
#include "ERechnung_test.moc"
