// The views of the control models, driven through the widgets as a user would: every action
// reaches the model through its User… entry point and the widgets then show what the model
// holds (checked after each step with the view contract).
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QtTest>
#include <memory>

#include "AnsichtVertrag.h"
#include "ProbeFormular.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/RasterAnsicht.h"
#include "platform/qt/RasterModell.h"

using tarvo::qt::Formularansicht;
using tarvo::qt::test::Abweichungen;
using tarvo::qt::test::ProbeFormular;

class AnsichtenTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ProbeFormular> form_;
  std::unique_ptr<Formularansicht> ansicht_;

  template <class W>
  W* Widget(const char* name) {
    auto* w = ansicht_->findChild<W*>(name);
    if (!w) qFatal("kein Widget %s", name);
    return w;
  }
  QTableView* Raster() { return Widget<QTableView>("Raster"); }
  void ZelleKlicken(int zeile, int spalte) {
    QTableView* t = Raster();
    const QRect r = t->visualRect(t->model()->index(zeile - 1, spalte - 1));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
  }
  // Clicks a check box or option where its indicator is (the only place that takes a click).
  void Anklicken(QAbstractButton* knopf, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(knopf, Qt::LeftButton, mods, QPoint(8, knopf->height() / 2));
  }
  // Types into whatever has the focus, key by key, as the keyboard does.
  void Tippen(const QString& text) {
    for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
  }
  void Vertrag() {
    const QStringList liste = Abweichungen(*ansicht_);
    QVERIFY2(liste.isEmpty(), qPrintable(liste.join("; ")));
  }

 private slots:
  void init() {
    form_ = std::make_unique<ProbeFormular>();
    ansicht_ = std::make_unique<Formularansicht>(*form_);
    ansicht_->resize(700, 400);
    ansicht_->show();
    ansicht_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ansicht_.get()));
  }
  void cleanup() {
    ansicht_.reset();
    form_.reset();
  }

  void jedesSteuerelementHatSeineAnsicht() {
    Vertrag();
    QCOMPARE(Widget<QPushButton>("CommandOK")->text(), QString("&OK"));
    QCOMPARE(Raster()->model()->headerData(2, Qt::Horizontal).toString(), QString("Fläche"));
    QVERIFY(!(Raster()->model()->flags(Raster()->model()->index(0, 3)) & Qt::ItemIsEditable));
    QVERIFY(Raster()->model()->flags(Raster()->model()->index(0, 2)) & Qt::ItemIsEditable);
    QCOMPARE(Raster()->horizontalHeader()->sectionSize(0), tarvo::qt::Pixel(2400, Raster()));
    QCOMPARE(Formularansicht::FeldBeschriftung("mskAnzahl"), QString("Anzahl:"));
    QCOMPARE(Formularansicht::FeldBeschriftung("MaskEdBoxErmäßigung"), QString("Ermäßigung:"));
  }

  void maskenfeldTipptInDasModell() {
    auto* feld = Widget<QLineEdit>("mskAnzahl");
    Widget<QPushButton>("CommandOK")->setFocus();
    QTest::mouseClick(feld, Qt::LeftButton);
    QCOMPARE(form_->ActiveControl(), &form_->mskAnzahl);
    QCOMPARE(form_->mskAnzahl.SelLength(), 3);  // GotFocus selected everything
    Vertrag();
    QTest::keyClicks(feld, "7");
    QCOMPARE(form_->mskAnzahl.Text(), std::string("7  "));
    QTest::keyClicks(feld, "x4-");  // only the digit counts
    QCOMPARE(form_->mskAnzahl.Text(), std::string("74 "));
    QTest::keyClick(feld, Qt::Key_Backspace);
    QCOMPARE(form_->mskAnzahl.Text(), std::string("7  "));
    QTest::keyClick(feld, Qt::Key_Home);
    QTest::keyClick(feld, Qt::Key_Delete);
    QCOMPARE(form_->mskAnzahl.Text(), std::string("   "));
    QTest::keyClicks(feld, "1234");  // the fourth digit has no place
    QCOMPARE(form_->mskAnzahl.Text(), std::string("123"));
    Vertrag();
  }

  void programmtextErscheintImFeld() {
    form_->mskAnzahl.SetText("5");
    QCOMPARE(Widget<QLineEdit>("mskAnzahl")->text(), QString("5  "));
    form_->Titel.SetCaption("Neu");
    form_->optB.SetVisible(false);
    form_->chkVeto.SetEnabled(false);
    Vertrag();
  }

  void handlerBehaeltBeimKontrollkaestchenRecht() {
    auto* box = Widget<QCheckBox>("chkVeto");
    Anklicken(box);
    QCOMPARE(form_->chkVeto.Value(), std::int16_t(0));  // refused: the field is empty
    QVERIFY(!box->isChecked());
    form_->mskAnzahl.SetText("3");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(form_->chkVeto.Value(), std::int16_t(1));
    QVERIFY(box->isChecked());
    Vertrag();
  }

  void optionenSchliessenSichImRahmenAus() {
    Anklicken(Widget<QRadioButton>("optA"));
    QVERIFY(form_->optA.Value());
    Anklicken(Widget<QRadioButton>("optB"));
    QVERIFY(form_->optB.Value());
    QVERIFY(!form_->optA.Value());
    QVERIFY(!Widget<QRadioButton>("optA")->isChecked());
    QCOMPARE(Widget<QRadioButton>("optB")->parentWidget(), Widget<QGroupBox>("Rahmen"));
    Vertrag();
  }

  void tastenkuerzelDrueckenDieSchaltflaeche() {
    QTest::keyClick(ansicht_.get(), Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(form_->ok, 1);  // the accelerator presses the button visibly, then clicks
    QTest::mouseClick(Widget<QPushButton>("CommandOK"), Qt::LeftButton);
    QCOMPARE(form_->ok, 2);
  }

  void rasterKlickTippenUndTabAmEnde() {
    ZelleKlicken(1, 1);
    QCOMPARE(form_->Raster.Row(), 1);
    QCOMPARE(form_->Raster.Col(), 1);
    QCOMPARE(form_->ActiveControl(), &form_->Raster);
    Tippen("Flst. 1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // commits, then Tab
    QCOMPARE(form_->Raster.TextMatrix(1, 1), std::string("Flst. 1"));
    QCOMPARE(form_->Raster.Col(), 2);
    Vertrag();
    ZelleKlicken(1, 3);
    Tippen("250");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    // The handler swallowed the Tab at the end of the last row and added a row.
    QCOMPARE(form_->Raster.TextMatrix(1, 4), std::string("500"));
    QCOMPARE(form_->Raster.Rows(), 2);
    QCOMPARE(form_->Raster.Row(), 2);
    QCOMPARE(form_->Raster.Col(), 1);
    Vertrag();
    // The computed column takes no typing.
    ZelleKlicken(1, 4);
    Tippen("9");
    QCOMPARE(form_->Raster.TextMatrix(1, 4), std::string("500"));
    QTest::keyClick(Raster(), Qt::Key_Left);
    QCOMPARE(form_->Raster.Col(), 3);
    Vertrag();
  }

  void zeilenkopfMarkiertZeilen() {
    form_->Raster.SetRows(3);
    auto* kopf = Raster()->verticalHeader();
    auto mitte = [&](int zeile) {
      return QPoint(kopf->width() / 2,
                    kopf->sectionViewportPosition(zeile - 1) + kopf->sectionSize(zeile - 1) / 2);
    };
    QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {}, mitte(2));
    QCOMPARE(form_->Raster.SelectedRows(), std::vector<std::int32_t>{2});
    QTest::mouseClick(kopf->viewport(), Qt::LeftButton, Qt::ControlModifier, mitte(3));
    QCOMPARE(form_->Raster.SelectedRows(), (std::vector<std::int32_t>{2, 3}));
    QVERIFY(Raster()->model()->index(2, 0).data(Qt::BackgroundRole).isValid());
    QVERIFY(!Raster()->model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    Vertrag();
  }

  void kombinationsfeldSchwebtUeberDerZelle() {
    ZelleKlicken(1, 2);
    auto* combo = Widget<QComboBox>("Kategorie");
    QVERIFY(combo->isVisible());
    QCOMPARE(combo->parentWidget(), Raster()->viewport());
    const QRect zelle = Raster()->visualRect(Raster()->model()->index(0, 1));
    QCOMPARE(combo->geometry().topLeft(), zelle.topLeft());
    QCOMPARE(combo->width(), zelle.width());
    // Keyboard only: F4 opens the list, Down and Return choose.
    QTest::keyClick(Raster(), Qt::Key_F4);
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCOMPARE(form_->Kategorie.Text(), std::string("II"));
    QCOMPARE(form_->ActiveControl(), &form_->Kategorie);
    Vertrag();
    // Leaving for another cell hands the choice to the grid and hides the box.
    ZelleKlicken(1, 3);
    QCOMPARE(form_->Raster.TextMatrix(1, 2), std::string("II"));
    QVERIFY(!combo->isVisible());
    Vertrag();
  }

  void rastermodellHaeltDenVertragDerQtModelle() {
    tarvo::qt::RasterModell modell(form_->Raster);
    QAbstractItemModelTester pruefer(&modell,
                                     QAbstractItemModelTester::FailureReportingMode::QtTest);
    form_->Raster.SetRows(5);
    modell.Abgleichen();
    QCOMPARE(modell.rowCount(), 5);
    form_->Raster.SetTextMatrix(2, 1, "x");
    modell.Abgleichen();
    QCOMPARE(modell.index(1, 0).data().toString(), QString("x"));
    form_->Raster.RemoveRow(1);
    form_->Raster.SetCols(2);
    modell.Abgleichen();
    QCOMPARE(modell.columnCount(), 2);
    QCOMPARE(modell.index(0, 0).data().toString(), QString("x"));
  }

  void geloesteAnsichtRuehrtDasModellNichtMehrAn() {
    ansicht_->Loesen();
    Anklicken(Widget<QCheckBox>("chkVeto"));
    QTest::keyClick(ansicht_.get(), Qt::Key_O, Qt::AltModifier);
    QTest::qWait(300);
    QCOMPARE(form_->ok, 0);
    form_->Titel.SetCaption("nachher");
    QCOMPARE(Widget<QLabel>("Titel")->text(), QString("Probe"));
  }
};

QTEST_MAIN(AnsichtenTest)
#include "Ansichten_test.moc"
