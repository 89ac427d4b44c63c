// The help in the desktop host: F1 in each category form opens that form's own page, Hilfe →
// Inhalt and F1 in the host window the start page; the pages come from the help beside the
// component in the build tree, as an installed system takes them from its package.
#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>
#include <filesystem>

#include "Hauptfenster.h"
#include "acceptance/Auftrag_helpers.h"
#include "platform/controls/Form.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"

namespace fs = std::filesystem;
using tarvo::gui::Hauptfenster;

class HilfeTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  std::shared_ptr<tarvo::qt::QtBildschirm> bildschirm_;
  std::unique_ptr<Hauptfenster> fenster_;

  QString Seite() const {
    QTextBrowser* hilfe = bildschirm_->Hilfefenster();
    return hilfe && hilfe->isVisible() ? hilfe->source().fileName() : QString();
  }
  void HilfeSchliessen() {
    if (bildschirm_->Hilfefenster()) bildschirm_->Hilfefenster()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private slots:
  void initTestCase() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-hilfe-test-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    tarvo::abnahme::VorlageAnlegen(ordner_ / "Rechnung.docx");
    tarvo::abnahme::DatenbankAnlegen(ordner_ / "Auftraege.db");
    bildschirm_ = std::make_shared<tarvo::qt::QtBildschirm>();
    fenster_ = std::make_unique<Hauptfenster>(bildschirm_);
    fenster_->show();
    fenster_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster_.get()));
    QVERIFY(fenster_->Oeffnen(ordner_ / "Rechnung.docx", ordner_ / "Auftraege.db", 1));
  }
  void cleanupTestCase() {
    fenster_.reset();
    tarvo::controls::Bildschirm::Setzen(nullptr);
    bildschirm_.reset();
    fs::remove_all(ordner_);
  }

  void f1ImFormularZeigtSeineSeite_data() {
    QTest::addColumn<int>("kategorie");
    QTest::addColumn<QString>("seite");
    QTest::addColumn<QString>("ueberschrift");
    QTest::newRow("frmKat1") << 0 << "kategorie1.html"
                             << "Kategorie 1: Zerlegungs";
    QTest::newRow("frmKat2") << 1 << "kategorie2.html"
                             << "Kategorie 2: Gebäudeeinmessung";
    QTest::newRow("frmKat3") << 2 << "kategorie3.html"
                             << "Kategorie 3: Vermessung nach Achslänge";
    QTest::newRow("frmKat4") << 3 << "kategorie4.html"
                             << "Kategorie 4: Grenzwiederherstellung";
  }
  void f1ImFormularZeigtSeineSeite() {
    QFETCH(int, kategorie);
    QFETCH(QString, seite);
    QFETCH(QString, ueberschrift);
    HilfeSchliessen();
    tarvo::controls::Form* form = fenster_->KategorieOeffnen(static_cast<std::int16_t>(kategorie));
    QVERIFY(form);
    QWidget* ansicht = bildschirm_->Ansicht(*form);
    QVERIFY(ansicht);
    QWidget* fokus = QApplication::focusWidget();
    QVERIFY2(fokus && ansicht->isAncestorOf(fokus), "the focus is inside the form");
    QTest::keyClick(fokus, Qt::Key_F1);
    QCOMPARE(Seite(), seite);
    QVERIFY(bildschirm_->Hilfefenster()->toPlainText().contains(ueberschrift));
    QTest::mouseClick(ansicht->findChild<QPushButton*>("CommandAbbruch"), Qt::LeftButton);
    QVERIFY(!form->Loaded());
  }

  void hilfeInhaltZeigtDieStartseite() {
    HilfeSchliessen();
    QAction* inhalt = nullptr;
    for (QAction* menue : fenster_->menuBar()->actions())
      if (menue->text() == "&Hilfe" && menue->menu())
        for (QAction* eintrag : menue->menu()->actions())
          if (eintrag->text() == "&Inhalt") inhalt = eintrag;
    QVERIFY(inhalt);
    inhalt->trigger();
    QCOMPARE(Seite(), QString("index.html"));
    HilfeSchliessen();
    QTest::keyClick(fenster_.get(), Qt::Key_F1);
    QCOMPARE(Seite(), QString("index.html"));
  }
};

QTEST_MAIN(HilfeTest)
#include "Hilfe_test.moc"
