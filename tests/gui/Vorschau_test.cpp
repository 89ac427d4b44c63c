// The preview as a reader uses it (pages at the dock's width, zoom, page down and up, saved as
// PDF; the old page greyed at once when the same document changes and gone at once when another
// one comes; conversions through the LibreOffice kept running, and without it), and the log
// window as columns, newest first.
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "Protokollfenster.h"
#include "Vorschau.h"
#include "acceptance/Auftrag_helpers.h"
#include "platform/qt/Protokollsaetze.h"
#include "platform/word/Document.h"
#include "platform/word/Range.h"

namespace fs = std::filesystem;
using tarvo::gui::Vorschau;

class VorschauTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  QString soffice_;

  // A letter of `seiten` pages (the test template, with page breaks of text after it).
  std::shared_ptr<tarvo::word::Document> Brief(const std::string& name, int absaetze) {
    const fs::path datei = ordner_ / name;
    tarvo::abnahme::VorlageAnlegen(datei);
    auto dokument = tarvo::word::Document::Open(datei);
    for (int i = 0; i < absaetze; ++i)
      dokument->Content().InsertAfter("Zeile " + std::to_string(i + 1) + " des Briefes.\r");
    return dokument;
  }
  static bool Warten(Vorschau& vorschau) {
    QSignalSpy fertig(&vorschau, &Vorschau::Fertig);
    return fertig.count() > 0 || fertig.wait(120000);
  }
  static QLabel* Seite(Vorschau& vorschau, int nummer) {
    return vorschau.findChild<QLabel*>(QString("Seite%1").arg(nummer));
  }

 private slots:
  void initTestCase() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-vorschau-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    soffice_ = QStandardPaths::findExecutable("soffice");
  }
  void cleanupTestCase() { fs::remove_all(ordner_); }

  void seitenPassenInDieBreiteUndLassenSichLesen() {
    if (soffice_.isEmpty()) QSKIP("LibreOffice ist nicht installiert");
    Vorschau vorschau;
    vorschau.resize(460, 700);
    vorschau.show();
    auto dokument = Brief("lang.docx", 120);
    vorschau.Zeigen(dokument);
    QVERIFY(Warten(vorschau));
    QVERIFY2(vorschau.Seitenzahl() >= 2, qPrintable(vorschau.Hinweis()));
    auto* flaeche = vorschau.findChild<QScrollArea*>("VorschauFlaeche");
    // Fit to width: the page is as wide as the dock allows, never wider.
    QVERIFY(vorschau.BreiteAnpassen());
    QTRY_VERIFY(Seite(vorschau, 1)->width() >= flaeche->viewport()->width() - 40 &&
                Seite(vorschau, 1)->width() <= flaeche->viewport()->width());
    const double breit = vorschau.Massstab();
    vorschau.Vergroessern();
    QVERIFY(vorschau.Massstab() > breit);
    QVERIFY(!vorschau.BreiteAnpassen());
    QTRY_VERIFY(Seite(vorschau, 1)->width() > flaeche->viewport()->width());
    vorschau.AnBreiteAnpassen();
    QVERIFY(vorschau.BreiteAnpassen());
    QVERIFY(std::abs(vorschau.Massstab() - breit) < 0.05 * breit);
    QTRY_VERIFY(Seite(vorschau, 1)->width() <= flaeche->viewport()->width());
    // Page down and up (once the pages are laid out, as a reader finds them).
    QTest::qWait(100);
    QCOMPARE(vorschau.AktuelleSeite(), 0);
    vorschau.SeiteVor();
    QCOMPARE(vorschau.AktuelleSeite(), 1);
    vorschau.SeiteZurueck();
    QCOMPARE(vorschau.AktuelleSeite(), 0);
    // Saved as PDF: the converted file itself.
    const QString pdf = QString::fromStdString((ordner_ / "Rechnung.pdf").string());
    QVERIFY(vorschau.PdfSpeichern(pdf));
    QFile datei(pdf);
    QVERIFY(datei.open(QIODevice::ReadOnly));
    QVERIFY(datei.read(5) == "%PDF-");
    // The same document changed (once a LibreOffice waits for it, as after a while of reading):
    // the old pages are greyed at once, then replaced by the pages converted by the one waiting.
    QTRY_VERIFY_WITH_TIMEOUT(vorschau.Bereit(), 30000);
    vorschau.Zeigen(dokument);
    QVERIFY(vorschau.Veraltet());
    QVERIFY(Warten(vorschau));
    QVERIFY(!vorschau.Veraltet());
    QVERIFY(vorschau.UeberDienst());
    // Another document: the pages go at once.
    vorschau.Zeigen(Brief("kurz.docx", 0));
    QCOMPARE(vorschau.Seitenzahl(), 0);
    QVERIFY(Warten(vorschau));
    QCOMPARE(vorschau.Seitenzahl(), 1);
  }

  // Without the converter kept running (no UNO), each request starts LibreOffice: slower, and
  // the same pages.
  void ohneDienstDerLangsameWeg() {
    if (soffice_.isEmpty()) QSKIP("LibreOffice ist nicht installiert");
    Vorschau vorschau;
    vorschau.SetzeDienst(false);
    vorschau.resize(460, 700);
    vorschau.show();
    vorschau.Zeigen(Brief("einzeln.docx", 0));
    QVERIFY(Warten(vorschau));
    QCOMPARE(vorschau.Seitenzahl(), 1);
    QVERIFY(!vorschau.UeberDienst());
  }

  void protokollsaetzeAlsFelder() {
    const QString text =
        "7.12.26 01:05   Error 6: \r\nÜberlauf\r\nZeile: 0\r\nOrt  : frmKat3.ÜbernehmenWerte\r\n"
        "User : , \r\n\r\n"
        "7.12.26 01:06   Error 3020: \r\nUpdate oder CancelUpdate ohne AddNew oder Edit\r\n"
        "Zeile: 12\r\nOrt  : G_modSumme.Summe\r\nUser : , \r\n\r\n"
        "7.12.26 01:07   Error 91: \r\nabgeschnitten";
    const auto saetze = tarvo::qt::ProtokollsaetzeLesen(text);
    QCOMPARE(saetze.size(), std::size_t(2));
    QCOMPARE(saetze[0].nummer, 6);
    QCOMPARE(saetze[0].meldung, QString("Überlauf"));
    QCOMPARE(saetze[0].ort, QString("frmKat3.ÜbernehmenWerte"));
    QCOMPARE(saetze[0].zeit, QString("7.12.26 01:05"));
    QCOMPARE(saetze[1].zeile, 12);
    QVERIFY(saetze[1].benutzer.isEmpty());
    QVERIFY(tarvo::qt::ProtokollsaetzeLesen("").empty());
    QVERIFY(tarvo::qt::ProtokollLesen(ordner_ / "fehlt.log").empty());
  }

  void protokollfensterZeigtSpaltenNeuesteZuerst() {
    const fs::path log = ordner_ / "Verw.log";
    std::ofstream(log, std::ios::binary)
        << "7.12.26 01:05   Error 6: \r\nÜberlauf\r\nZeile: 0\r\nOrt  : frmKat3.ÜbernehmenWerte\r\n"
           "User : , \r\n\r\n7.12.26 01:06   Error 94: \r\nUnzulässige Verwendung von Null\r\n"
           "Zeile: 3\r\nOrt  : frmKat1.OK\r\nUser : , \r\n\r\n";
    tarvo::gui::Protokollfenster fenster(log);
    QTableWidget* t = fenster.Tabelle();
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(t->columnCount(), 4);
    QCOMPARE(t->horizontalHeaderItem(2)->text(), QString("Meldung"));
    QCOMPARE(t->item(0, 2)->text(), QString("Unzulässige Verwendung von Null"));
    QCOMPARE(t->item(0, 1)->text(), QString("frmKat1.OK, Zeile 3"));
    QCOMPARE(t->item(0, 3)->text(), QString("94"));
    QCOMPARE(t->item(1, 0)->text(), QString("7.12.26 01:05"));
    for (int s = 0; s < 4; ++s) QVERIFY(!t->item(1, s)->text().contains("Error"));
    QVERIFY(!(fenster.windowFlags() & Qt::WindowMaximizeButtonHint));
  }
};

QTEST_MAIN(VorschauTest)
#include "Vorschau_test.moc"
