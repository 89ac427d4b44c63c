// The desktop UI seam: German message boxes answered through their buttons, the table choice
// dialog answered through the real dialog, window placement stored in the settings file the
// headless seam reads and restored on the next opening, forms parented into a host's MDI area,
// help shown from the HTML folder.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTextBrowser>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "ProbeFormular.h"
#include "document/G_frmTabelle.h"
#include "platform/controls/Kopflos.h"
#include "platform/controls/Oberflaeche.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/Masse.h"
#include "platform/qt/QtBildschirm.h"

namespace fs = std::filesystem;
using tarvo::controls::Bildschirm;
using tarvo::qt::QtBildschirm;
namespace msgbox = tarvo::controls::msgbox;

class QtBildschirmTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  std::shared_ptr<QtBildschirm> bildschirm_;

  fs::path Ini() const { return ordner_ / "einstellungen.ini"; }
  // Runs `antwort` on the next modal window once it is up and active (message box or dialog).
  // A window the answer left open is closed after a while, so a failing test cannot hang.
  static void Beantworten(std::function<void(QWidget*)> antwort) {
    QTimer::singleShot(0, [antwort] {
      QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
      QPointer<QWidget> fenster = QApplication::activeModalWidget();
      fenster->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(fenster));
      QTimer::singleShot(5000, [fenster] {
        if (fenster && fenster->isVisible()) fenster->close();
      });
      antwort(fenster);
    });
  }
  static QStringList Knoepfe(QMessageBox* box) {
    QStringList texte;
    for (QAbstractButton* knopf : box->buttons()) texte << knopf->text();
    texte.sort();
    return texte;
  }

 private slots:
  void init() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-qtbildschirm-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    bildschirm_ = std::make_shared<QtBildschirm>(Ini());
    Bildschirm::Setzen(bildschirm_);
  }
  void cleanup() {
    Bildschirm::Setzen(nullptr);
    bildschirm_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fs::remove_all(ordner_);
  }

  void meldungHatDeutscheKnoepfeUndDenStandardknopf_data() {
    QTest::addColumn<int>("stil");
    QTest::addColumn<QStringList>("knoepfe");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<int>("icon");
    QTest::newRow("36 Ja/Nein, Frage")
        << 36 << QStringList{"&Ja", "&Nein"} << "&Ja" << int(QMessageBox::Question);
    QTest::newRow("292 Ja/Nein, Nein vorgewählt")
        << 292 << QStringList{"&Ja", "&Nein"} << "&Nein" << int(QMessageBox::Question);
    QTest::newRow("0 OK") << 0 << QStringList{"OK"} << "OK" << int(QMessageBox::NoIcon);
    QTest::newRow("49 OK/Abbrechen, Warnung")
        << 49 << QStringList{"Abbrechen", "OK"} << "OK" << int(QMessageBox::Warning);
    QTest::newRow("19 Ja/Nein/Abbrechen, Stopp")
        << 19 << QStringList{"&Ja", "&Nein", "Abbrechen"} << "&Ja" << int(QMessageBox::Critical);
    QTest::newRow("64 Information")
        << 64 << QStringList{"OK"} << "OK" << int(QMessageBox::Information);
  }
  void meldungHatDeutscheKnoepfeUndDenStandardknopf() {
    QFETCH(int, stil);
    QFETCH(QStringList, knoepfe);
    QFETCH(QString, standard);
    QFETCH(int, icon);
    QStringList gesehen;
    QString vorgewaehlt;
    int symbol = -1;
    Beantworten([&](QWidget* fenster) {
      auto* box = qobject_cast<QMessageBox*>(fenster);
      QVERIFY(box);
      gesehen = Knoepfe(box);
      vorgewaehlt = box->defaultButton()->text();
      symbol = box->icon();
      QCOMPARE(box->text(), QString("Zeile löschen?"));
      QTest::keyClick(box, Qt::Key_Return);  // the default button
    });
    const std::int32_t antwort = tarvo::MsgBox("Zeile löschen?", stil, "");
    QCOMPARE(gesehen, knoepfe);
    QCOMPARE(vorgewaehlt, standard);
    QCOMPARE(symbol, icon);
    QCOMPARE(antwort, tarvo::controls::Kopflos::StandardAntwort(stil));
  }

  void meldungGibtDenGedruecktenKnopfZurueck() {
    Beantworten([](QWidget* fenster) {
      auto* box = qobject_cast<QMessageBox*>(fenster);
      for (QAbstractButton* knopf : box->buttons())
        if (knopf->text() == "&Nein") QTest::mouseClick(knopf, Qt::LeftButton);
    });
    QCOMPARE(tarvo::MsgBox("Zeile löschen?", 36, ""), msgbox::No);
    Beantworten([](QWidget* fenster) { QTest::keyClick(fenster, Qt::Key_Escape); });
    QCOMPARE(tarvo::MsgBox("Abbrechen?", 35, ""), msgbox::Cancel);
  }

  void tabellenwahlImEchtenDialog() {
    tarvo::G_frmTabelle dialog;
    dialog.Load();
    dialog.optTabelle(1).SetEnabled(false);
    Beantworten([](QWidget* fenster) {
      QVERIFY(fenster->findChild<QRadioButton*>("optTabelle(1)"));
      QVERIFY(!fenster->findChild<QRadioButton*>("optTabelle(1)")->isEnabled());
      auto* option = fenster->findChild<QRadioButton*>("optTabelle(0)");
      QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
      QTest::keyClick(fenster, Qt::Key_O, Qt::AltModifier);
    });
    dialog.Show(true);  // returns when "OK" has hidden the dialog
    std::int16_t eintrag = 0;
    QCOMPARE(int(dialog.Auswahl(eintrag)), int(tarvo::Tabellenwahl::Eintrag));
    QCOMPARE(eintrag, std::int16_t(1));
    dialog.Unload();
  }

  void dialogDurchSeinenRahmenGeschlossenIstEntladen() {
    tarvo::G_frmTabelle dialog;
    Beantworten([](QWidget* fenster) { fenster->close(); });
    dialog.Show(true);
    QVERIFY(!dialog.Loaded());
    std::int16_t eintrag = 0;
    QCOMPARE(int(dialog.Auswahl(eintrag)), int(tarvo::Tabellenwahl::Neu));
  }

  void fensterplatzGespeichertUndWiederhergestellt() {
    {
      tarvo::G_frmTabelle dialog;
      Beantworten([](QWidget* fenster) {
        fenster->move(300, 200);
        QTRY_COMPARE(fenster->pos(), QPoint(300, 200));
        fenster->close();
      });
      dialog.Show(true);
    }
    // The same file and keys as the headless seam.
    tarvo::controls::Kopflos kopflos(Ini());
    const auto lesen = [&](const char* schluessel) {
      return kopflos.GetSetting("LumoVerwaltung", "G_frmTabelle", schluessel, "-");
    };
    QCOMPARE(lesen("State"), std::string("0"));
    QCOMPARE(lesen("Left"), std::to_string(int(tarvo::qt::Twips(300, nullptr))));
    QCOMPARE(lesen("Top"), std::to_string(int(tarvo::qt::Twips(200, nullptr))));
    tarvo::G_frmTabelle wieder;
    QPoint platz;
    Beantworten([&](QWidget* fenster) {
      platz = fenster->pos();
      fenster->close();
    });
    wieder.Show(true);
    QCOMPARE(platz, QPoint(300, 200));
  }

  void formularWirdKindfensterDesHosts() {
    QMdiArea bereich;
    bereich.resize(800, 600);
    bereich.show();
    bildschirm_->Hostfenster(7, &bereich);
    tarvo::qt::test::ProbeFormular form;
    form.SetParentWindow(7, 0x140);
    form.Show(false);
    QCOMPARE(bereich.subWindowList().size(), 1);
    QMdiSubWindow* kind = bereich.subWindowList().front();
    QCOMPARE(kind->windowTitle(), QString("Probe"));
    // The form stands in a scroll area that fills the child window.
    auto* rolle = qobject_cast<QScrollArea*>(kind->widget());
    QVERIFY(rolle && qobject_cast<tarvo::qt::Formularansicht*>(rolle->widget()));
    QVERIFY(bereich.viewport()->rect().contains(kind->geometry()));
    // Closing the child window through its frame unloads the form.
    kind->close();
    QVERIFY(!form.Loaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(bereich.subWindowList().size(), 0);
  }

  void formularOhneHostIstEinEigenesFenster() {
    tarvo::qt::test::ProbeFormular form;
    form.Show(false);
    QWidget* fenster = bildschirm_->Fenster(form);
    QVERIFY(fenster && fenster->isWindow() && fenster->isVisible());
    form.Hide();
    QVERIFY(!fenster->isVisible());
    form.Unload();
    QVERIFY(!bildschirm_->Fenster(form));
  }

  void hilfeAusDemHtmlOrdner() {
    fs::create_directories(ordner_ / "Hilfe");
    std::ofstream(ordner_ / "Hilfe" / "index.html") << "<html><body><h1>Start</h1></body></html>";
    std::ofstream(ordner_ / "Hilfe" / "Kategorie1.html") << "<html><body>Zerlegung</body></html>";
    const fs::path chm = ordner_ / "Hilfe" / "LumoHelp.chm";
    bildschirm_->HilfeAnzeigen(chm, "");
    QVERIFY(bildschirm_->Hilfefenster());
    QVERIFY(bildschirm_->Hilfefenster()->toPlainText().contains("Start"));
    bildschirm_->HilfeAnzeigen(chm, "Kategorie1");
    QVERIFY(bildschirm_->Hilfefenster()->toPlainText().contains("Zerlegung"));
    bool fehler = false;
    try {
      bildschirm_->HilfeAnzeigen(chm, "fehlt");
    } catch (const tarvo::Laufzeitfehler& f) {
      fehler = f.Nummer() == 53;
    }
    QVERIFY(fehler);
  }
};

QTEST_MAIN(QtBildschirmTest)
#include "QtBildschirm_test.moc"
