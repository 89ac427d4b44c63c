// The host window through a working day in a shared office: an "OK" marks the document changed
// until it is saved and Ctrl+Z takes it back; closing asks Speichern / Verwerfen / Abbrechen and
// Abbrechen leaves everything as it was; a form with its input asks before its window closes;
// the invoice is chosen (and remembered) before anything is locked; a colleague's lock is
// refused at once with "Schreibgeschützt öffnen"; the panel lets an empty field empty and names
// a refused value on the field; the layout survives a restart.
#include <QAction>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <chrono>
#include <filesystem>

#include "Dialogwaechter.h"
#include "Hauptfenster.h"
#include "Rechnungswahl.h"
#include "Vorschau.h"
#include "acceptance/Auftrag_helpers.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "host/Auftragssitzung.h"
#include "platform/controls/Form.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"
#include "platform/word/Document.h"

namespace fs = std::filesystem;
using tarvo::gui::Hauptfenster;

class ArbeitstagTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  std::shared_ptr<tarvo::qt::QtBildschirm> bildschirm_;
  std::unique_ptr<Hauptfenster> fenster_;
  Dialogwaechter waechter_{this};
  QStringList& fragen_ = waechter_.gesehen;                   // texts of the questions answered
  QStringList& antworten_ = waechter_.antworten;              // the button to press for each
  std::function<void(QWidget*)>& dialog_ = waechter_.dialog;  // the next other modal dialog

  fs::path Datei(const std::string& name) { return ordner_ / name; }

  void NeuesFenster() {
    fenster_.reset();
    fenster_ = std::make_unique<Hauptfenster>(bildschirm_);
    fenster_->Auftrag().Wiederherstellungsordner(Datei("wiederherstellung"));
    fenster_->VorschauDock()->SetzeLibreOffice("");
    fenster_->show();
    fenster_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster_.get()));
  }
  tarvo::controls::Form* Formular() {
    auto form = tarvo::formulare::Formular(std::int16_t(0));
    return form && form->Loaded() ? form.get() : nullptr;
  }
  void Ok() {
    QWidget* ansicht = bildschirm_->Ansicht(*Formular());
    QTest::mouseClick(ansicht->findChild<QPushButton*>("CommandEnde"), Qt::LeftButton);
  }
  int Tabellen() { return fenster_->Auftrag().Dokument()->Tables().Count(); }
  tarvo::Variant Gespeichert(const std::string& feld) {
    tarvo::dao::Workspace arbeitsbereich;
    auto satz = arbeitsbereich.OpenDatabase(Datei("Auftraege.db").string())
                    ->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
    return satz->Fields(feld).Value();
  }

 private slots:
  void initTestCase() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-arbeitstag-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    // Settings of their own: the layout this test leaves must not reach other tests' windows.
    qputenv("TARVO_CONFIG_DIR", QByteArray::fromStdString(Datei("einstellungen").string()));
    tarvo::abnahme::VorlageAnlegen(Datei("Rechnung.docx"));
    tarvo::abnahme::DatenbankAnlegen(Datei("Auftraege.db"));
    tarvo::dao::Workspace arbeitsbereich;
    arbeitsbereich.OpenDatabase(Datei("Auftraege.db").string())
        ->Execute(
            "INSERT INTO Rechnung (ID_Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, Brutto) "
            "VALUES (2, 17, 5, 23800); INSERT INTO Termine (ID_Termin, ID_Rechnungsnummer, "
            "ID_Terminart, Datum) VALUES (2, 2, 8, '2026-12-02')");
    bildschirm_ = std::make_shared<tarvo::qt::QtBildschirm>();
    NeuesFenster();
  }
  void cleanupTestCase() {
    fenster_.reset();
    tarvo::controls::Bildschirm::Setzen(nullptr);
    bildschirm_.reset();
    fs::remove_all(ordner_);
  }

  void dieRechnungWirdGewaehltUndGemerkt() {
    tarvo::gui::Rechnungswahl wahl("Rechnung.docx",
                                   tarvo::gui::Auftragsfuehrung::Rechnungen(Datei("Auftraege.db")),
                                   1, nullptr);
    auto* tabelle = wahl.findChild<QTableWidget*>("Rechnungen");
    QCOMPARE(tabelle->rowCount(), 2);
    QCOMPARE(tabelle->item(1, 4)->text(), QString("238,00 €"));
    QCOMPARE(wahl.Gewaehlt(), std::optional<std::int32_t>(1));
    wahl.Filtern("Abschlag");  // the kind's name finds invoice 2
    QVERIFY(tabelle->isRowHidden(0));
    QCOMPARE(wahl.Gewaehlt(), std::optional<std::int32_t>(2));
    wahl.Filtern("nichts dergleichen");
    QCOMPARE(wahl.Gewaehlt(), std::nullopt);

    // Opening asks; the choice is remembered for the document.
    dialog_ = [](QWidget* dialog) {
      auto* w = qobject_cast<tarvo::gui::Rechnungswahl*>(dialog);
      QVERIFY(w);
      w->Filtern("17");
      QTest::keyClick(dialog->findChild<QLineEdit*>("Suche"), Qt::Key_Return);
    };
    QVERIFY(fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db")));
    QCOMPARE(fenster_->Auftrag().Rechnung(), std::optional<std::int32_t>(2));
    QVERIFY(fenster_->windowTitle().contains("(Rechnung 2)"));
    std::optional<std::int32_t> vorgewaehlt;
    dialog_ = [&](QWidget* dialog) {
      vorgewaehlt = qobject_cast<tarvo::gui::Rechnungswahl*>(dialog)->Gewaehlt();
      dialog->close();  // cancelled: nothing changes
    };
    QVERIFY(!fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db")));
    QCOMPARE(vorgewaehlt, std::optional<std::int32_t>(2));
    QVERIFY(fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db"), 1));
  }

  void okMarkiertUndStrgZNimmtEsZurueck() {
    const int vorher = Tabellen();
    fenster_->activateWindow();  // after the chooser
    QVERIFY(QTest::qWaitForWindowActive(fenster_.get()));
    QTest::keyClick(fenster_.get(), Qt::Key_1, Qt::ControlModifier);
    QVERIFY2(Formular(),
             qPrintable(fenster_->statusBar()->currentMessage() + " | " + fragen_.join(" | ")));
    Ok();
    QTRY_VERIFY(fenster_->isWindowModified());
    QVERIFY(fenster_->Geaendert());
    QVERIFY(fenster_->findChild<QLabel*>("Dokument")->text().contains("geändert"));
    QVERIFY(Tabellen() > vorher);
    QCOMPARE(tarvo::CDbl(Gespeichert("Brutto")), 0.0);
    QTest::qWait(100);  // the form's window is gone; the marker stays
    QVERIFY(fenster_->isWindowModified());
    QTest::keyClick(fenster_.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!fenster_->Geaendert());
    QTRY_VERIFY(!fenster_->isWindowModified());
    QCOMPARE(Tabellen(), vorher);
  }

  void schliessenFragtUndAbbrechenLaesstAllesWieEsWar() {
    QVERIFY(fenster_->KategorieOeffnen(0));
    Ok();
    QTRY_VERIFY(fenster_->Geaendert());
    fragen_.clear();
    antworten_ = {"Abbrechen"};
    QVERIFY(!fenster_->close());
    QCOMPARE(fragen_, QStringList{"Änderungen an »Rechnung.docx« speichern?"});
    QVERIFY(fenster_->isVisible());
    QVERIFY(fenster_->Geaendert());
    // Opening another invoice asks too; Abbrechen keeps this one.
    antworten_ = {"Abbrechen"};
    QVERIFY(!fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db"), 2));
    QCOMPARE(fenster_->Auftrag().Rechnung(), std::optional<std::int32_t>(1));
    antworten_ = {"&Speichern"};
    QVERIFY(fenster_->close());
    QVERIFY(tarvo::CDbl(Gespeichert("Brutto")) > 0);
    QVERIFY(tarvo::word::Document::Open(Datei("Rechnung.docx"))->Tables().Count() >= 2);
  }

  void einFormularMitEingabenFragtVorDemSchliessen() {
    NeuesFenster();
    QVERIFY(fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db"), 1));
    dialog_ = [](QWidget* dialog) {  // the table choice: a new statement
      QTest::mouseClick(dialog->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
    };
    QVERIFY(fenster_->KategorieOeffnen(0));
    QWidget* rahmen = bildschirm_->Fenster(*Formular());
    QVERIFY(rahmen);
    fragen_.clear();
    // Without input it closes at once.
    rahmen->close();
    QTRY_VERIFY(!Formular());
    QVERIFY(fragen_.isEmpty());
    dialog_ = [](QWidget* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
    };
    QVERIFY(fenster_->KategorieOeffnen(0));
    rahmen = bildschirm_->Fenster(*Formular());
    auto* anzahl = bildschirm_->Ansicht(*Formular())->findChild<QLineEdit*>("mskAnzahl");
    QTest::mouseClick(anzahl, Qt::LeftButton);
    QTest::keyClicks(anzahl, "5");
    antworten_ = {"Abbrechen"};
    rahmen->close();
    QVERIFY(Formular());
    QCOMPARE(fragen_.size(), 1);
    QVERIFY(fragen_.front().contains("gehen verloren"));
    antworten_ = {"S&chließen"};
    rahmen->close();
    QTRY_VERIFY(!Formular());
    QVERIFY(!fenster_->Geaendert());
  }

  void einLeeresFeldLeertDieEigenschaftEinFalscherWertNenntDasFeld() {
    QLineEdit* flaeche = fenster_->Eigenschaft("Fläche");
    flaeche->setText("1250");
    dialog_ = [](QWidget* dialog) { dialog->close(); };
    QVERIFY(fenster_->KategorieOeffnen(0));
    QCOMPARE(tarvo::Status().Fläche, 1250.0);
    Formular()->Unload();
    flaeche->clear();
    dialog_ = [](QWidget* dialog) { dialog->close(); };
    QVERIFY(fenster_->KategorieOeffnen(0));
    QCOMPARE(tarvo::Status().Fläche, 0.0);  // nothing of the form before survives
    Formular()->Unload();

    flaeche->setText("zwölf");
    QVERIFY(!fenster_->KategorieOeffnen(0));
    QVERIFY(!Formular());
    QVERIFY2(flaeche->toolTip().startsWith("Fläche: »zwölf«") &&
                 flaeche->toolTip().contains("Typen unverträglich"),
             qPrintable(flaeche->toolTip()));
    QVERIFY(fenster_->statusBar()->currentMessage().contains("Fläche"));
    flaeche->setText("12,5");
    emit flaeche->editingFinished();
    QVERIFY(flaeche->toolTip().isEmpty());
    flaeche->clear();
  }

  void eineFremdeSperreWirdSofortAbgelehntUndBietetSchreibgeschuetzt() {
    fenster_->Auftrag().Schliessen();
    tarvo::Auftragsdaten daten;
    daten.dokument = Datei("Rechnung.docx");
    daten.datenbank = Datei("Auftraege.db");
    daten.benutzer = 1;
    daten.rechnung = 1;
    tarvo::Auftragssitzung kollege(daten);
    fragen_.clear();
    antworten_ = {"&Schreibgeschützt öffnen"};
    const auto start = std::chrono::steady_clock::now();
    QVERIFY(fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db"), 1));
    QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(3));
    QCOMPARE(fragen_.size(), 1);
    QVERIFY2(fragen_.front().contains("wird gerade") && fragen_.front().contains(", seit "),
             qPrintable(fragen_.front()));
    QVERIFY(fenster_->windowTitle().contains("schreibgeschützt"));
    QVERIFY(!fenster_->findChild<QPushButton*>("Kategorie1")->isEnabled());
    QVERIFY(!fenster_->KategorieOeffnen(0));
    fenster_->Auftrag().Schliessen();
  }

  void gezogeneSpaltenbreitenBleibenJeFormular() {
    QVERIFY(fenster_->Oeffnen(Datei("Rechnung.docx"), Datei("Auftraege.db"), 1));
    dialog_ = [](QWidget* dialog) { dialog->close(); };
    QVERIFY(fenster_->KategorieOeffnen(0));
    auto* raster = bildschirm_->Ansicht(*Formular())->findChild<QTableView*>("GridGebühren1");
    QVERIFY(raster);
    QHeaderView* kopf = raster->horizontalHeader();
    const int breite = kopf->sectionSize(2);
    // The border between columns 3 and 4 dragged 40 pixels to the right.
    const int grenze = kopf->sectionViewportPosition(2) + breite - 1;
    const int mitte = kopf->height() / 2;
    QTest::mousePress(kopf->viewport(), Qt::LeftButton, {}, QPoint(grenze, mitte));
    for (int dx = 5; dx <= 40; dx += 5) {
      QMouseEvent zug(QEvent::MouseMove, QPointF(grenze + dx, mitte),
                      kopf->viewport()->mapToGlobal(QPointF(grenze + dx, mitte)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(kopf->viewport(), &zug);
    }
    QTest::mouseRelease(kopf->viewport(), Qt::LeftButton, {}, QPoint(grenze + 40, mitte));
    QCOMPARE(kopf->sectionSize(2), breite + 40);
    Formular()->Unload();

    dialog_ = [](QWidget* dialog) { dialog->close(); };
    QVERIFY(fenster_->KategorieOeffnen(0));
    raster = bildschirm_->Ansicht(*Formular())->findChild<QTableView*>("GridGebühren1");
    QCOMPARE(raster->horizontalHeader()->sectionSize(2), breite + 40);
    Formular()->Unload();
  }

  void dasLayoutUebestehtDenNeustart() {
    QDockWidget* vorschau = fenster_->findChild<QDockWidget*>("VorschauDock");
    vorschau->close();
    fenster_->resize(1111, 777);
    QVERIFY(fenster_->close());
    NeuesFenster();
    QCOMPARE(fenster_->size(), QSize(1111, 777));
    vorschau = fenster_->findChild<QDockWidget*>("VorschauDock");
    QVERIFY(!vorschau->isVisible());
    // The "Fenster" menu shows it again.
    fenster_->findChild<QAction*>("ZeigenVorschauDock")->trigger();
    QVERIFY(vorschau->isVisible());
  }
};

QTEST_MAIN(ArbeitstagTest)
#include "Arbeitstag_test.moc"
