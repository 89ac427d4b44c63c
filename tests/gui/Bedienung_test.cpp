// The category forms operated as a clerk at a 1366×768 screen operates them: every control and
// heading whole or reachable by scrolling, the floating combo boxes opened and typed into from
// the keyboard, Tab never adding two rows, the input hints on implausible values (and "OK"
// asking once), the keyboard's Escape, Ctrl+Return, Ctrl+Tab and accelerators, the table choice
// dialog by keyboard alone, and a category-3 invoice typed by keyboard compared with `tarvo run`
// of the same values.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "Dialogwaechter.h"
#include "Hauptfenster.h"
#include "Vorschau.h"
#include "acceptance/Auftrag_helpers.h"
#include "forms/Formulare.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"

namespace fs = std::filesystem;
using tarvo::gui::Hauptfenster;

namespace {

nlohmann::json Tabellen(const fs::path& docx) {
  const fs::path aus = docx.parent_path() / "inspect.json";
  tarvo::abnahme::Shell(std::string("\"") + TARVO_EXE + "\" inspect \"" + docx.string() +
                        "\" --json > \"" + aus.string() + "\"");
  return nlohmann::json::parse(tarvo::abnahme::DateiLesen(aus))["tables"];
}

}  // namespace

class BedienungTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  std::shared_ptr<tarvo::qt::QtBildschirm> bildschirm_;
  std::unique_ptr<Hauptfenster> fenster_;
  Dialogwaechter waechter_{this};
  QStringList& meldungen_ = waechter_.gesehen;                // texts of the message boxes answered
  QStringList& antworten_ = waechter_.antworten;              // the button to press for each
  std::function<void(QWidget*)>& dialog_ = waechter_.dialog;  // the next modal dialog
  int kategorie_ = 0;

  tarvo::qt::Formularansicht* Ansicht() {
    auto form = tarvo::formulare::Formular(std::int16_t(kategorie_));
    return form && form->Loaded() ? bildschirm_->Ansicht(*form) : nullptr;
  }
  template <class W>
  W* Widget(const char* name) {
    W* w = Ansicht()->findChild<W*>(name);
    if (!w) qFatal("kein Widget %s", name);
    return w;
  }
  QTableView* Raster() { return Ansicht()->findChild<QTableView*>(); }
  tarvo::controls::Grid& Grid() {
    return static_cast<tarvo::controls::Grid&>(
        *tarvo::formulare::Formular(std::int16_t(kategorie_))
             ->Steuerelement(Raster()->objectName().toStdString()));
  }
  void Zelle(int zeile, int spalte) {
    QTableView* t = Raster();
    const QModelIndex index = t->model()->index(zeile - 1, spalte - 1);
    t->scrollTo(index);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(index).center());
  }
  // Types `text` key by key into whatever has the focus when the key comes (umlauts too).
  static void Tippen(const QString& text) {
    for (QChar c : text) TippenIn(QApplication::focusWidget(), c);
  }
  // Types `text` into `widget`, every key to it.
  static void TippenIn(QWidget* widget, const QString& text) {
    for (QChar c : text) {
      if (c.unicode() < 128)
        QTest::keyClick(widget, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    }
  }
  // A key to whatever has the focus; what the key queued (the cell editor commits Return
  // that way) is done before the next step.
  void Taste(Qt::Key taste, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(QApplication::focusWidget(), taste, mods);
    QCoreApplication::processEvents();
  }
  // A fresh invoice and database in folder `name`, opened in the window.
  fs::path NeueRechnung(const std::string& name) {
    const fs::path ordner = ordner_ / name;
    fs::create_directories(ordner);
    tarvo::abnahme::VorlageAnlegen(ordner / "Rechnung.docx");
    tarvo::abnahme::DatenbankAnlegen(ordner / "Auftraege.db");
    if (!fenster_->Oeffnen(ordner / "Rechnung.docx", ordner / "Auftraege.db", 1)) return {};
    return ordner;
  }
  // Opens a category form; the table choice dialog, when it comes, is answered with "OK".
  bool Oeffnen(int kategorie) {
    kategorie_ = kategorie;
    dialog_ = [](QWidget* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
    };
    const bool offen = fenster_->KategorieOeffnen(std::int16_t(kategorie)) && Ansicht();
    dialog_ = nullptr;
    // A message box or dialog before may have left the window inactive.
    fenster_->activateWindow();
    return offen && QTest::qWaitForWindowActive(fenster_.get());
  }
  void Abbrechen() {
    if (!Ansicht()) return;
    QTest::mouseClick(Widget<QPushButton>("CommandAbbruch"), Qt::LeftButton);
  }
  // `tarvo run` of `auftrag` (document and database made fresh in folder `name`).
  fs::path TarvoRun(const std::string& name, nlohmann::json auftrag) {
    const fs::path ordner = ordner_ / name;
    fs::create_directories(ordner);
    tarvo::abnahme::VorlageAnlegen(ordner / "Vorlage.docx");
    tarvo::abnahme::DatenbankAnlegen(ordner / "Auftraege.db");
    auftrag["dokument"] = "Vorlage.docx";
    auftrag["ausgabe"] = "Rechnung.docx";
    auftrag["datenbank"] = "Auftraege.db";
    auftrag["benutzer"] = 1;
    auftrag["rechnung"] = 1;
    auftrag["abschluss"] = "OK";
    std::ofstream(ordner / "Auftrag.json") << auftrag.dump(2);
    tarvo::abnahme::Shell(std::string("\"") + TARVO_EXE + "\" run \"" +
                          (ordner / "Auftrag.json").string() + "\" > \"" +
                          (ordner / "aus.txt").string() + "\" 2>&1");
    return ordner / "Rechnung.docx";
  }

 private slots:
  void initTestCase() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-bedienung-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_);
    bildschirm_ = std::make_shared<tarvo::qt::QtBildschirm>();
    fenster_ = std::make_unique<Hauptfenster>(bildschirm_);
    fenster_->VorschauDock()->SetzeLibreOffice("");
    fenster_->resize(1366, 768);
    fenster_->show();
    fenster_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster_.get()));
    QVERIFY(!NeueRechnung("start").empty());
  }
  void cleanupTestCase() {
    fenster_.reset();
    tarvo::controls::Bildschirm::Setzen(nullptr);
    bildschirm_.reset();
    if (!getenv("TARVO_GUI_BEHALTEN")) fs::remove_all(ordner_);
  }
  void init() {
    fenster_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster_.get()));
  }
  void cleanup() {
    antworten_ = {"&Nein"};  // a question left over is answered "Nein"
    Abbrechen();
    antworten_.clear();
    meldungen_.clear();
  }

  // At 1366×768 each form's window lies inside the MDI area and every control inside the form,
  // which its scroll area reaches; headings, captions and fields show their whole text.
  void jedesFormularPasstUndZeigtAllesGanz() {
    for (int kategorie = 0; kategorie <= 3; ++kategorie) {
      QVERIFY(Oeffnen(kategorie));
      tarvo::qt::Formularansicht* ansicht = Ansicht();
      auto* kind = qobject_cast<QMdiSubWindow*>(
          bildschirm_->Fenster(*tarvo::formulare::Formular(std::int16_t(kategorie))));
      QVERIFY(kind);
      const QRect bereich = fenster_->Bereich()->viewport()->rect();
      QVERIFY2(bereich.contains(kind->geometry()),
               qPrintable(QString("Kategorie %1: Fenster außerhalb").arg(kategorie + 1)));
      auto* rolle = kind->findChild<QScrollArea*>();
      QVERIFY(rolle);
      QCoreApplication::processEvents();  // the scroll bars settle once both are laid out
      QVERIFY2(
          rolle->horizontalScrollBar()->maximum() >= ansicht->width() - rolle->viewport()->width(),
          qPrintable(QString("Kategorie %1: Breite %2 (mindestens %5), sichtbar %3, Rollweite %4")
                         .arg(kategorie + 1)
                         .arg(ansicht->width())
                         .arg(rolle->viewport()->width())
                         .arg(rolle->horizontalScrollBar()->maximum())
                         .arg(ansicht->minimumWidth())));
      QVERIFY2(
          rolle->verticalScrollBar()->maximum() >= ansicht->height() - rolle->viewport()->height(),
          qPrintable(QString("Kategorie %1: Höhe %2, sichtbar %3, Rollweite %4")
                         .arg(kategorie + 1)
                         .arg(ansicht->height())
                         .arg(rolle->viewport()->height())
                         .arg(rolle->verticalScrollBar()->maximum())));
      for (QWidget* w : ansicht->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!w->isVisible()) continue;
        const QString name = QString("Kategorie %1, %2").arg(kategorie + 1).arg(w->objectName());
        QVERIFY2(ansicht->rect().contains(w->geometry()), qPrintable(name + " außerhalb"));
        if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) {
          QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(name + " abgeschnitten"));
          QVERIFY2(w->height() >= w->fontMetrics().height(), qPrintable(name + " zu niedrig"));
        }
      }
      QTableView* raster = Raster();
      for (int s = 0; s < raster->model()->columnCount(); ++s) {
        const QString kopf = raster->model()->headerData(s, Qt::Horizontal).toString();
        QVERIFY2(raster->horizontalHeader()->sectionSize(s) >=
                     raster->horizontalHeader()->fontMetrics().horizontalAdvance(kopf) + 4,
                 qPrintable(QString("Kategorie %1: Überschrift »%2« abgeschnitten")
                                .arg(kategorie + 1)
                                .arg(kopf)));
      }
      // Given more room, the grid takes it and the buttons stay below it.
      auto* ok = Widget<QPushButton>("CommandEnde");
      const int breite = raster->width() - (ansicht->width() - ansicht->minimumWidth());
      const int okOben = ok->y() - (ansicht->height() - ansicht->minimumHeight());
      kind->resize(kind->width() + ansicht->minimumWidth() - rolle->viewport()->width() + 100,
                   kind->height() + ansicht->minimumHeight() - rolle->viewport()->height() + 80);
      QTRY_VERIFY(ansicht->width() >= ansicht->minimumWidth() + 100);
      QTRY_COMPARE(raster->width(), breite + ansicht->width() - ansicht->minimumWidth());
      QCOMPARE(ok->y(), okOben + ansicht->height() - ansicht->minimumHeight());
      Abbrechen();
      QVERIFY(!Ansicht());
    }
  }

  // F4, Alt+Down and the space bar open every floating combo box from its cell; the closed box
  // is wide enough for its longest item.
  void jedesAuswahlfeldOeffnetMitDerTastatur() {
    const std::vector<std::tuple<int, const char*, int>> faelle = {
        {0, "ComboBox4", 2}, {2, "ComboBox4", 2}, {2, "ComboBox5", 3}};
    for (const auto& [kategorie, name, spalte] : faelle) {
      QVERIFY(Oeffnen(kategorie));
      for (const QKeyCombination& taste :
           {QKeyCombination(Qt::Key_F4), QKeyCombination(Qt::AltModifier, Qt::Key_Down),
            QKeyCombination(Qt::Key_Space)}) {
        Zelle(1, spalte);
        auto* combo = Widget<QComboBox>(name);
        QVERIFY(combo->isVisible());
        QTest::keyClick(Raster(), taste.key(), taste.keyboardModifiers());
        QTRY_VERIFY2(combo->view()->isVisible(),
                     qPrintable(QString("%1 in Kategorie %2").arg(name).arg(kategorie + 1)));
        combo->hidePopup();
        int breitestes = 0;
        for (int i = 0; i < combo->count(); ++i)
          breitestes =
              std::max(breitestes, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
        QVERIFY(combo->width() >= breitestes);
      }
      Abbrechen();
    }
  }

  // Typed over the cell, a sub-item is that sub-item and priced as such; a text that is no item
  // is refused on the spot and leaves the item as it was.
  void getippterEintragIstDieserEintrag() {
    QVERIFY(Oeffnen(2));
    Zelle(1, 2);
    TippenIn(Raster(), "5.1.2");
    auto* combo = Widget<QComboBox>("ComboBox4");
    QCOMPARE(combo->currentText(), QString("5.1.2"));
    Zelle(1, 4);
    QCOMPARE(Grid().TextMatrix(1, 2), std::string("5.1.2"));
    const std::string preis = Grid().TextMatrix(1, 7);
    Zelle(1, 2);
    TippenIn(Raster(), "5.1.9");
    QVERIFY(combo->property("tarvoKurzhinweis").toString().contains("nicht in der Liste"));
    Zelle(1, 4);
    QCOMPARE(Grid().TextMatrix(1, 2), std::string("5.1.2"));
    QCOMPARE(Grid().TextMatrix(1, 7), preis);
    // The density class by its unique beginning.
    Zelle(1, 3);
    TippenIn(Raster(), "über 1");
    Zelle(1, 4);
    QCOMPARE(Grid().TextMatrix(1, 3), std::string("über 15"));
  }

  // From every focusable control of every form, Tab adds at most one row; from the floating
  // combo box of the last row it moves on by one column and adds none.
  void tabFuegtHoechstensEineZeileAn() {
    for (int kategorie = 0; kategorie <= 3; ++kategorie) {
      QVERIFY(Oeffnen(kategorie));
      for (QWidget* w : Ansicht()->findChildren<QWidget*>()) {
        if (!w->isVisible() || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()) continue;
        if (!Ansicht()) break;
        const int vorher = Grid().Rows();
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w, Qt::Key_Tab);
        QVERIFY2(Grid().Rows() - vorher <= 1,
                 qPrintable(QString("Kategorie %1, Tab in %2: %3 Zeilen")
                                .arg(kategorie + 1)
                                .arg(w->objectName())
                                .arg(Grid().Rows() - vorher)));
      }
      if (kategorie == 0 || kategorie == 2) {
        Zelle(Grid().Rows(), 2);
        const int vorher = Grid().Rows();
        auto* combo = Widget<QComboBox>("ComboBox4");
        combo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(combo, Qt::Key_Tab);
        QCOMPARE(Grid().Rows(), vorher);
        QCOMPARE(Grid().Col(), 3);
      }
      Abbrechen();
    }
  }

  // Ctrl+Tab leaves the grid for the next field; Escape asks and only then cancels; Ctrl+Return
  // confirms; option buttons answer to their accelerators.
  void tastaturVerlaesstRasterBrichtAbUndBestaetigt() {
    QVERIFY(Oeffnen(0));
    Zelle(1, 1);
    Taste(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(QApplication::focusWidget() != Raster());
    QVERIFY(Ansicht()->isAncestorOf(QApplication::focusWidget()));
    antworten_ = {"&Nein"};
    Zelle(1, 1);
    QTest::keyClick(Raster(), Qt::Key_Escape);
    QCOMPARE(meldungen_.size(), 1);
    QVERIFY(Ansicht());
    antworten_ = {"&Ja"};
    QTest::keyClick(Raster(), Qt::Key_Escape);
    QVERIFY(!Ansicht());
    QVERIFY(!fenster_->Geaendert());

    QVERIFY(Oeffnen(1));
    auto* option = Widget<QRadioButton>("Option32");
    QVERIFY(option->text().contains('&'));
    const QChar kuerzel = option->text().at(option->text().indexOf('&') + 1);
    Zelle(1, 1);
    QTest::keyClick(QApplication::focusWidget(), kuerzel.toLatin1(), Qt::AltModifier);
    QTRY_VERIFY(option->isChecked());
    QTest::keyClick(option, Qt::Key_Right);
    QVERIFY(Widget<QRadioButton>("Option33")->isChecked());
    QTest::keyClick(Raster(), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!Ansicht());
    QVERIFY(fenster_->Geaendert());
  }

  // Each hint appears for its value, and the statement written after "Trotzdem übernehmen?"
  // is exactly what `tarvo run` writes for the same value: the person is warned, nothing else.
  void hinweisWarntUndAendertNichts() {
    const fs::path ordner = NeueRechnung("hinweis");
    fenster_->Eigenschaft("Flurstücksnummer")->setText("412/7");
    fenster_->Eigenschaft("Fläche")->setText("1250");
    QVERIFY(Oeffnen(0));
    Zelle(1, 3);
    Tippen("-500");
    Taste(Qt::Key_Return);
    QVERIFY(Raster()->model()->index(0, 2).data(Qt::ToolTipRole).toString().contains("negativ"));
    Zelle(1, 3);
    Tippen("480");
    Taste(Qt::Key_Return);
    QVERIFY(Raster()->model()->index(0, 2).data(Qt::ToolTipRole).isNull());
    auto* anteil = Widget<QLineEdit>("mskAnteil");
    QTest::mouseClick(anteil, Qt::LeftButton);
    Tippen("1004");
    QVERIFY(anteil->toolTip().contains("1004"));
    QTest::mouseClick(Widget<QLineEdit>("mskAnzahl"), Qt::LeftButton);
    Tippen("12");
    QTest::mouseClick(Widget<QLineEdit>("mskErmäßigt"), Qt::LeftButton);
    Tippen("999");
    QVERIFY(Widget<QLineEdit>("mskErmäßigt")->toolTip().contains("mehr als"));
    // "OK" asks once; "Nein" keeps the form open, "Ja" writes.
    // (Opening this test's invoice asked whether to save the previous test's changes.)
    meldungen_.clear();
    antworten_ = {"&Nein"};
    QTest::mouseClick(Widget<QPushButton>("CommandEnde"), Qt::LeftButton);
    QVERIFY2(meldungen_.size() == 1, qPrintable(meldungen_.join(" | ")));
    QVERIFY(meldungen_.front().contains("Trotzdem übernehmen?"));
    QVERIFY(meldungen_.front().contains("1004"));
    QVERIFY(Ansicht());
    antworten_ = {"&Ja"};
    QTest::mouseClick(Widget<QPushButton>("CommandEnde"), Qt::LeftButton);
    QVERIFY(!Ansicht());
    QVERIFY(fenster_->Speichern());
    const fs::path lauf =
        TarvoRun("lauf", {{"auftrag", {{"Flurstücksnummer", "412/7"}, {"Fläche", 1250}}},
                          {"kategorie", 0},
                          {"antworten", {{"tabellenwahl", "neu"}}},
                          {"eingaben",
                           {{"zeilen", {{"Flst.Nr. 412/7", "I", "480"}}},
                            {"mskAnzahl", "12"},
                            {"mskErmäßigt", "999"},
                            {"mskAnteil", "1004"}}}});
    QCOMPARE(Tabellen(ordner / "Rechnung.docx").dump(1), Tabellen(lauf).dump(1));
  }

  // An overflow the form logs while open shows at once in its message line, with the row and
  // the value, and goes with the next change; the axis is marked before that.
  void ueberlaufStehtImFormular() {
    QVERIFY(Oeffnen(2));
    Zelle(1, 4);
    Tippen("40000");
    Taste(Qt::Key_Return);
    const QString meldung = Ansicht()->Meldung();
    QVERIFY2(meldung.contains("Zeile 1") && meldung.contains("40") && meldung.contains("Überlauf"),
             qPrintable(meldung));
    QVERIFY(Raster()->model()->index(0, 3).data(Qt::ToolTipRole).toString().contains("32.767"));
    Zelle(1, 4);
    Tippen("400");
    Taste(Qt::Key_Return);
    QVERIFY(Ansicht()->Meldung().isEmpty());
  }

  // Pastes follow the typing rules and say when they refuse; a click into the focused masked
  // field selects it whole.
  void einfuegenUndKlickFolgenDenTippregeln() {
    QVERIFY(Oeffnen(0));
    auto* anzahl = Widget<QLineEdit>("mskAnzahl");
    QTest::mouseClick(anzahl, Qt::LeftButton);
    QTRY_VERIFY(anzahl->hasFocus());
    TippenIn(anzahl, "7");
    QApplication::clipboard()->setText("4a5-6,7");
    QTest::keyClick(anzahl, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(anzahl->text().trimmed(), QString("7"));
    QVERIFY(anzahl->property("tarvoKurzhinweis").toString().contains("nur Ziffern"));
    QTest::mouseClick(anzahl, Qt::LeftButton, {}, QPoint(4, anzahl->height() / 2));
    QCOMPARE(anzahl->selectedText().size(), anzahl->text().size());
    QApplication::clipboard()->setText("45");
    QTest::keyClick(anzahl, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(anzahl->text().trimmed(), QString("45"));
    // A number cell's editor refuses letters, typed or pasted.
    Zelle(1, 3);
    Tippen("12");
    QApplication::clipboard()->setText("4a5");
    Taste(Qt::Key_V, Qt::ControlModifier);
    Tippen("x");
    Taste(Qt::Key_Return);
    QCOMPARE(QString::fromStdString(Grid().TextMatrix(1, 3)).trimmed(), QString("12"));
  }

  // The table choice dialog by keyboard alone: the arrow keys choose, Return confirms, Escape
  // cancels without opening the form or writing anything.
  void tabellenwahlPerTastatur() {
    const fs::path ordner = NeueRechnung("tabellenwahl");
    QVERIFY(Oeffnen(0));
    Zelle(1, 1);
    Taste(Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!Ansicht());
    QVERIFY(fenster_->Speichern());
    const std::string vorher = Tabellen(ordner / "Rechnung.docx").dump(1);

    bool gesehen = false;
    dialog_ = [&](QWidget* dialog) {
      gesehen = true;
      QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
      // The entry says what it holds: its first line, its rows, the sum of its fees.
      const QString eintrag = dialog->findChild<QRadioButton*>("optTabelle(0)")->text();
      QVERIFY2(eintrag.contains("Gebührenteil") && eintrag.contains(" Zeilen, ") &&
                   eintrag.endsWith(",00 €"),
               qPrintable(eintrag));
      auto* neu = dialog->findChild<QRadioButton*>("optNeu");
      neu->setFocus();
      QTest::keyClick(neu, Qt::Key_Down);
      QVERIFY(dialog->findChild<QRadioButton*>("optTabelle(0)")->isChecked());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    kategorie_ = 0;
    fenster_->KategorieOeffnen(0);
    QVERIFY(gesehen);
    QVERIFY(Ansicht());
    QCOMPARE(Raster()->model()->rowCount(), 1);
    Abbrechen();

    gesehen = false;
    dialog_ = [&](QWidget* dialog) {
      gesehen = true;
      QTest::keyClick(dialog, Qt::Key_Escape);
    };
    fenster_->KategorieOeffnen(0);
    QVERIFY(gesehen);
    QTRY_VERIFY(!Ansicht());
    QVERIFY(!fenster_->Geaendert());
    QVERIFY(fenster_->Speichern());
    QCOMPARE(Tabellen(ordner / "Rechnung.docx").dump(1), vorher);
  }

  // A whole category-3 invoice typed by keyboard alone, from the form's first field to "OK":
  // the same statement as `tarvo run` of the same values.
  void kategorie3PerTastaturWieTarvoRun() {
    const fs::path ordner = NeueRechnung("kat3");
    fenster_->Eigenschaft("Flurstücksnummer")->setText("88/1");
    QVERIFY(Oeffnen(2));
    Zelle(1, 1);
    // Row 1: the parcel as given, Nr. 5.1.2, density "über 5 bis 15", 120 m, 80 m, 40 m.
    Taste(Qt::Key_Tab);
    TippenIn(Raster(), "5.1.2");
    Taste(Qt::Key_Tab);
    TippenIn(QApplication::focusWidget(), "über 5");
    Taste(Qt::Key_Tab);
    for (const char* laenge : {"120", "80", "40"}) {
      Tippen(laenge);
      Taste(Qt::Key_Tab);
    }
    QCOMPARE(Grid().Rows(), 2);
    // Row 2: "Flst.Nr. 90", Nr. 5.1.3, density "über 15", 300 m.
    Tippen("Flst.Nr. 90");
    Taste(Qt::Key_Tab);
    TippenIn(QApplication::focusWidget(), "5.1.3");
    Taste(Qt::Key_Tab);
    TippenIn(QApplication::focusWidget(), "über 1");
    Taste(Qt::Key_Tab);
    Tippen("300");
    Taste(Qt::Key_Return);
    QCOMPARE(QString::fromStdString(Grid().TextMatrix(2, 2)), QString("5.1.3"));
    Taste(Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!Ansicht());
    QVERIFY(fenster_->Speichern());
    const fs::path lauf =
        TarvoRun("lauf3", {{"auftrag", {{"Flurstücksnummer", "88/1"}}},
                           {"kategorie", 2},
                           {"antworten", {{"tabellenwahl", "neu"}}},
                           {"eingaben",
                            {{"zeilen",
                              {{nullptr, "5.1.2", "über 5 bis 15", "120", "80", "40"},
                               {"Flst.Nr. 90", "5.1.3", "über 15", "300", nullptr, nullptr}}}}}});
    QCOMPARE(Tabellen(ordner / "Rechnung.docx").dump(1), Tabellen(lauf).dump(1));
  }
};

QTEST_MAIN(BedienungTest)
#include "Bedienung_test.moc"
