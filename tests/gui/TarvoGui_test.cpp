// The desktop host driven as a surveyor drives it: a category-1 invoice typed through the
// widgets (clicks into the grid, typing, Tab on the last row, the category chosen in the
// floating combo box by keyboard, the masked fields, "OK") gives exactly the statement, totals
// and invoice record that the same input gives through `tarvo run`; re-opening it answers the
// table choice dialog and the delete question through the real dialogs; closing with unsaved
// work asks. The test writes the screenshots the README shows (build/bilder/).
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "../platform/qt/AnsichtVertrag.h"
#include "Dialogwaechter.h"
#include "Hauptfenster.h"
#include "Vorschau.h"
#include "acceptance/Auftrag_helpers.h"
#include "errors/Protokoll.h"
#include "forms/Formulare.h"
#include "platform/controls/Form.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/qt/Formularansicht.h"
#include "platform/qt/QtBildschirm.h"

namespace fs = std::filesystem;
using tarvo::gui::Hauptfenster;

namespace {

// The statement rows of the example job and the masked fields in the order they are typed.
const std::vector<std::vector<std::string>> kZeilen = {{"Flst.Nr. 412/7", "II", "1250"},
                                                       {"Flst.Nr. 412/8", "I", "480"}};
const std::vector<std::pair<std::string, std::string>> kFelder = {{"mskAnzahl", "8"},
                                                                  {"mskErmäßigt", "2"},
                                                                  {"mskGP", "6"},
                                                                  {"mskGP2", "1"},
                                                                  {"mskAnteil", "500"}};

nlohmann::json Tabellen(const fs::path& docx) {
  const fs::path aus = docx.parent_path() / "inspect.json";
  tarvo::abnahme::Shell(std::string("\"") + TARVO_EXE + "\" inspect \"" + docx.string() +
                        "\" --json > \"" + aus.string() + "\"");
  return nlohmann::json::parse(tarvo::abnahme::DateiLesen(aus))["tables"];
}

std::string Rechnungssatz(const fs::path& db) {
  tarvo::dao::Workspace arbeitsbereich;
  auto datenbank = arbeitsbereich.OpenDatabase(db.string());
  auto satz = datenbank->OpenRecordset(
      "SELECT NettoRechnung, MehrwertsteuerFreierbetrag, Brutto, Mehrwertsteuersatz "
      "FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  std::string text;
  for (const char* feld :
       {"NettoRechnung", "MehrwertsteuerFreierbetrag", "Brutto", "Mehrwertsteuersatz"})
    text += std::string(feld) + "=" + tarvo::CStr(satz->Fields(feld).Value()) + " ";
  return text;
}

}  // namespace

class TarvoGuiTest : public QObject {
  Q_OBJECT

 private:
  fs::path ordner_;
  std::shared_ptr<tarvo::qt::QtBildschirm> bildschirm_;
  std::unique_ptr<Hauptfenster> fenster_;
  Dialogwaechter waechter_{this};
  QStringList& meldungen_ = waechter_.gesehen;                // texts of the message boxes answered
  QStringList& antworten_ = waechter_.antworten;              // the button to press for each
  std::function<void(QWidget*)>& dialog_ = waechter_.dialog;  // the next modal dialog

  tarvo::qt::Formularansicht* Ansicht() {
    auto form = tarvo::formulare::Formular(std::int16_t(0));
    return form ? bildschirm_->Ansicht(*form) : nullptr;
  }
  template <class W>
  W* Widget(const char* name) {
    W* w = Ansicht()->findChild<W*>(name);
    if (!w) qFatal("kein Widget %s", name);
    return w;
  }
  QTableView* Raster() { return Widget<QTableView>("GridGebühren1"); }
  void Vertrag() {
    const QStringList liste = tarvo::qt::test::Abweichungen(*Ansicht());
    QVERIFY2(liste.isEmpty(), qPrintable(liste.join("; ")));
  }
  void Zelle(int zeile, int spalte) {
    QTableView* t = Raster();
    const QModelIndex index = t->model()->index(zeile - 1, spalte - 1);
    t->scrollTo(index);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(index).center());
  }
  void Tippen(const std::string& text) {
    for (QChar c : QString::fromStdString(text)) QTest::keyClicks(QApplication::focusWidget(), c);
  }
  // The category in the combo box floating over the cell: F4, arrow keys, Return.
  void Waehlen(const QString& text) {
    auto* combo = Widget<QComboBox>("ComboBox4");
    QVERIFY(combo->isVisible());
    QTest::keyClick(Raster(), Qt::Key_F4);
    QTRY_VERIFY(combo->view()->isVisible());
    const int ziel = combo->findText(text);
    QVERIFY(ziel >= 0);
    for (int i = combo->currentIndex(); i < ziel; ++i) QTest::keyClick(combo->view(), Qt::Key_Down);
    for (int i = combo->currentIndex(); i > ziel; --i) QTest::keyClick(combo->view(), Qt::Key_Up);
    QTest::keyClick(combo->view(), Qt::Key_Return);
  }
  void Feld(const std::string& name, const std::string& ziffern) {
    QTest::mouseClick(Widget<QLineEdit>(name.c_str()), Qt::LeftButton);
    Tippen(ziffern);
  }
  void OK() { QTest::mouseClick(Widget<QPushButton>("CommandEnde"), Qt::LeftButton); }
  // The job typed in: rows (a new row with Tab at the end of the last row), then the fields.
  void Eingeben() {
    for (std::size_t i = 0; i < kZeilen.size(); ++i) {
      const int zeile = int(i) + 1;
      if (i > 0) {
        Zelle(zeile - 1, 3);
        QTest::keyClick(Raster(), Qt::Key_Tab);
        QCOMPARE(Raster()->model()->rowCount(), zeile);
      }
      Zelle(zeile, 1);
      Tippen(kZeilen[i][0]);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      Zelle(zeile, 2);
      Waehlen(QString::fromStdString(kZeilen[i][1]));
      Zelle(zeile, 3);
      Tippen(kZeilen[i][2]);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      Vertrag();
    }
    for (const auto& [name, ziffern] : kFelder) {
      Feld(name, ziffern);
      Vertrag();
    }
  }
  void Bild(QWidget* widget, const QString& name) {
    QDir().mkpath(TARVO_BINARY_DIR "/bilder");
    QVERIFY(widget->grab().save(TARVO_BINARY_DIR "/bilder/" + name));
  }
  // `tarvo run` on the same input, in a folder of its own; the saved invoice.
  fs::path TarvoRun(const std::string& name, const nlohmann::json& zusatz) {
    const fs::path ordner = ordner_ / name;
    fs::create_directories(ordner);
    tarvo::abnahme::VorlageAnlegen(ordner / "Vorlage.docx");
    tarvo::abnahme::DatenbankAnlegen(ordner / "Auftraege.db");
    nlohmann::json auftrag = {{"dokument", "Vorlage.docx"},
                              {"ausgabe", "Rechnung.docx"},
                              {"datenbank", "Auftraege.db"},
                              {"benutzer", 1},
                              {"rechnung", 1},
                              {"auftrag", {{"Flurstücksnummer", "412/7"}, {"Fläche", 1250}}},
                              {"kategorie", 0},
                              {"antworten", {{"tabellenwahl", "neu"}}},
                              {"abschluss", "OK"}};
    nlohmann::json eingaben = {{"zeilen", kZeilen}};
    for (const auto& [feld, ziffern] : kFelder) eingaben[feld] = ziffern;
    auftrag["eingaben"] = eingaben;
    std::ofstream(ordner / "Auftrag.json") << auftrag.dump(2);
    const int status = tarvo::abnahme::Shell(std::string("\"") + TARVO_EXE + "\" run \"" +
                                             (ordner / "Auftrag.json").string() + "\" > \"" +
                                             (ordner / "aus.txt").string() + "\"");
    if (status != 0) qWarning("tarvo run: %d", status);
    if (!zusatz.is_null()) {
      nlohmann::json zweiter = zusatz;
      std::ofstream(ordner / "Auftrag2.json") << zweiter.dump(2);
      tarvo::abnahme::Shell(std::string("\"") + TARVO_EXE + "\" run \"" +
                            (ordner / "Auftrag2.json").string() + "\" > \"" +
                            (ordner / "aus2.txt").string() + "\"");
    }
    return ordner / "Rechnung.docx";
  }

 private slots:
  void initTestCase() {
    ordner_ = fs::temp_directory_path() /
              ("tarvo-gui-test-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(ordner_);
    fs::create_directories(ordner_ / "gui");
  }
  void cleanupTestCase() {
    if (getenv("TARVO_GUI_BEHALTEN")) return;
    fenster_.reset();
    tarvo::controls::Bildschirm::Setzen(nullptr);
    bildschirm_.reset();
    fs::remove_all(ordner_);
  }

  void kategorie1DurchDieWidgetsWieTarvoRun() {
    const fs::path gui = ordner_ / "gui";
    tarvo::abnahme::VorlageAnlegen(gui / "Rechnung.docx");
    tarvo::abnahme::DatenbankAnlegen(gui / "Auftraege.db");
    bildschirm_ = std::make_shared<tarvo::qt::QtBildschirm>();
    fenster_ = std::make_unique<Hauptfenster>(bildschirm_);
    fenster_->VorschauDock()->SetzeLibreOffice("");  // the pages are the next test's matter
    fenster_->show();
    fenster_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fenster_.get()));
    QVERIFY(fenster_->Oeffnen(gui / "Rechnung.docx", gui / "Auftraege.db", 1));
    fenster_->Eigenschaft("Flurstücksnummer")->setText("412/7");
    fenster_->Eigenschaft("Fläche")->setText("1250");
    QTest::mouseClick(fenster_->findChild<QPushButton*>("Kategorie1"), Qt::LeftButton);
    QVERIFY(Ansicht());
    QCOMPARE(fenster_->Bereich()->subWindowList().size(), 1);
    Vertrag();
    Eingeben();
    Bild(fenster_.get(), "gui-kategorie1.png");
    Bild(Ansicht(), "formular-kategorie1.png");
    OK();
    QVERIFY(!Ansicht());
    QVERIFY(fenster_->Geaendert());
    QVERIFY(fenster_->windowTitle().contains("[*]"));
    const QString status = fenster_->statusBar()->currentMessage();
    QVERIFY2(status.contains("Flurstückszerlegung nach Nr. 2") && status.contains("brutto"),
             qPrintable(status));
    QVERIFY(fenster_->VorschauDock()->Ersatztext().contains("TARVO_03_1"));
    // Ctrl+S: the atomic save of the document model.
    QTest::keyClick(fenster_.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!fenster_->Geaendert());
    // A saved job ends its session; the window goes on with the saved document, and saving
    // again works (a finished session would refuse a second save).
    QTest::keyClick(fenster_.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY2(fenster_->statusBar()->currentMessage().startsWith("Gespeichert"),
             qPrintable(fenster_->statusBar()->currentMessage()));

    const fs::path lauf = TarvoRun("lauf", nullptr);
    QCOMPARE(Tabellen(gui / "Rechnung.docx").dump(1), Tabellen(lauf).dump(1));
    QCOMPARE(Rechnungssatz(gui / "Auftraege.db"),
             Rechnungssatz(lauf.parent_path() / "Auftraege.db"));
  }

  void wiederOeffnenTabellenwahlUndLoeschfrage() {
    const fs::path gui = ordner_ / "gui";
    QVERIFY(fenster_->Oeffnen(gui / "Rechnung.docx", gui / "Auftraege.db", 1));
    bool gewaehlt = false;
    dialog_ = [&](QWidget* dialog) {
      auto* eintrag = dialog->findChild<QRadioButton*>("optTabelle(0)");
      QVERIFY(eintrag && eintrag->isEnabled());
      Bild(dialog, "dialog-tabellenwahl.png");
      QTest::mouseClick(eintrag, Qt::LeftButton, {}, QPoint(8, eintrag->height() / 2));
      QTest::mouseClick(dialog->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
      gewaehlt = true;
    };
    fenster_->KategorieOeffnen(0);
    QVERIFY(gewaehlt);
    QVERIFY(Ansicht());
    QCOMPARE(Raster()->model()->rowCount(), 2);
    QCOMPARE(Raster()->model()->index(1, 0).data().toString(), QString("Flst.Nr. 412/8"));
    Vertrag();
    // Row 2 marked at its heading, "Löschen", the question answered "Ja".
    QHeaderView* kopf = Raster()->verticalHeader();
    QTest::mouseClick(
        kopf->viewport(), Qt::LeftButton, {},
        QPoint(kopf->width() / 2, kopf->sectionViewportPosition(1) + kopf->sectionSize(1) / 2));
    meldungen_.clear();
    QTest::mouseClick(Widget<QPushButton>("CommandLöschen"), Qt::LeftButton);
    QCOMPARE(meldungen_, QStringList{"Zeile löschen?"});
    QCOMPARE(Raster()->model()->rowCount(), 1);
    Vertrag();
    OK();
    QVERIFY(fenster_->Speichern());

    const nlohmann::json zweiter = {
        {"dokument", "Rechnung.docx"},
        {"ausgabe", "Rechnung.docx"},
        {"datenbank", "Auftraege.db"},
        {"benutzer", 1},
        {"rechnung", 1},
        {"kategorie", 0},
        {"auftrag", {{"Flurstücksnummer", "412/7"}, {"Fläche", 1250}}},
        {"antworten", {{"tabellenwahl", 1}, {"meldungen", {6}}}},
        {"aktionen", {{{"zeilen_markieren", {2}}}, {{"klick", "CommandLöschen"}}}},
        {"abschluss", "OK"}};
    const fs::path lauf = TarvoRun("lauf2", zweiter);
    QCOMPARE(Tabellen(gui / "Rechnung.docx").dump(1), Tabellen(lauf).dump(1));
    QCOMPARE(Rechnungssatz(gui / "Auftraege.db"),
             Rechnungssatz(lauf.parent_path() / "Auftraege.db"));
  }

  void vorschauZeigtDieSeitenImHintergrund() {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) QSKIP("LibreOffice ist nicht installiert");
    tarvo::gui::Vorschau* vorschau = fenster_->VorschauDock();
    vorschau->SetzeLibreOffice(soffice);
    vorschau->Zeigen(fenster_->Auftrag().Dokument());
    QVERIFY(vorschau->Beschaeftigt());  // the window is not blocked meanwhile
    QVERIFY(vorschau->findChild<QWidget*>("VorschauLaeuft")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!vorschau->Beschaeftigt(), 120000);
    QVERIFY2(vorschau->Seitenzahl() >= 1, qPrintable(vorschau->Hinweis()));
    fenster_->KategorieOeffnen(0);  // the table choice dialog is closed: a new statement
    QVERIFY(Ansicht());
    Bild(fenster_.get(), "gui-vorschau.png");
    QTest::mouseClick(Widget<QPushButton>("CommandAbbruch"), Qt::LeftButton);
    QVERIFY(!Ansicht());
  }

  void zeitgrenzeBeendetEineHaengendeUmwandlung() {
    tarvo::gui::Vorschau vorschau;
    vorschau.SetzeLibreOffice("/bin/sleep");  // takes the arguments and never converts
    vorschau.SetzeZeitgrenze(300);
    vorschau.Zeigen(fenster_->Auftrag().Dokument());
    QTRY_VERIFY_WITH_TIMEOUT(!vorschau.Beschaeftigt(), 10000);
    QVERIFY(vorschau.Ersatztext().contains("TARVO_03_1"));
  }

  // Every other category form on screen as designed: each of its widgets inside the form, the
  // form closed again with "Abbruch" (a picture of each for the README's readers).
  void jedesKategorieformularStehtWieEntworfen() {
    dialog_ = [](QWidget* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
    };
    for (std::int16_t kategorie = 1; kategorie <= 3; ++kategorie) {
      tarvo::controls::Form* form = fenster_->KategorieOeffnen(kategorie);
      QVERIFY(form);
      QWidget* ansicht = bildschirm_->Ansicht(*form);
      QVERIFY(ansicht);
      Bild(ansicht, QString("formular-kategorie%1.png").arg(kategorie + 1));
      const QRect innen = ansicht->rect();
      for (QWidget* kind : ansicht->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!kind->isVisible()) continue;
        QVERIFY2(innen.contains(kind->geometry()),
                 qPrintable(kind->objectName() + " liegt außerhalb des Formulars"));
      }
      QTest::mouseClick(ansicht->findChild<QPushButton*>("CommandAbbruch"), Qt::LeftButton);
      QVERIFY(!form->Loaded());
    }
  }

  void schliessenMitUngespeicherterArbeitFragt() {
    dialog_ = [](QWidget* dialog) {  // a new statement this time
      QTest::mouseClick(dialog->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
    };
    QVERIFY(fenster_->KategorieOeffnen(0));
    QVERIFY(Ansicht());
    OK();
    QVERIFY(fenster_->Geaendert());
    meldungen_.clear();
    antworten_ = {"&Verwerfen"};  // Verwerfen: the changes are given up, the window closes
    QVERIFY(fenster_->close());
    QVERIFY(!fenster_->Geaendert());
    QCOMPARE(meldungen_.size(), 1);
    QVERIFY2(meldungen_.front().contains("speichern?"), qPrintable(meldungen_.front()));
  }

  // Settings that would make a plainly wrong invoice (no partial-payment percentage: an invoice
  // of nothing) keep the form shut in the window as they refuse `tarvo run`, naming the field.
  void einstellungenFuerEineFalscheRechnungOeffnenKeinFormular() {
    const fs::path ordner = ordner_ / "einstellungen";
    fs::create_directories(ordner);
    tarvo::abnahme::VorlageAnlegen(ordner / "Rechnung.docx");
    tarvo::abnahme::DatenbankAnlegen(ordner / "Auftraege.db");
    tarvo::dao::Workspace()
        .OpenDatabase((ordner / "Auftraege.db").string())
        ->Execute("UPDATE TempDoc SET AbschlagProzent = NULL");
    fenster_ = std::make_unique<Hauptfenster>(bildschirm_);
    fenster_->VorschauDock()->SetzeLibreOffice("");
    fenster_->show();
    QVERIFY(fenster_->Oeffnen(ordner / "Rechnung.docx", ordner / "Auftraege.db", 1));
    meldungen_.clear();
    QVERIFY(!fenster_->KategorieOeffnen(0));
    QVERIFY(!Ansicht());
    QCOMPARE(meldungen_.size(), 1);
    QVERIFY2(meldungen_.front().contains("TempDoc.AbschlagProzent ist leer (NULL)"),
             qPrintable(meldungen_.front()));
    QVERIFY(!fenster_->Geaendert());
  }
};

QTEST_MAIN(TarvoGuiTest)
#include "TarvoGui_test.moc"
