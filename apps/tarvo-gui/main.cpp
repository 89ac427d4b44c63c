// tarvo-gui: the desktop host. Usage: tarvo-gui [DOKUMENT [DATENBANK]]; without a database the
// file "Auftraege.db" beside the document is used.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <filesystem>

#include "Hauptfenster.h"
#include "platform/qt/QtBildschirm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tarvo");
  // Qt's own texts (file dialogs, context menus) in German.
  QTranslator qtDeutsch;
  if (qtDeutsch.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtDeutsch);

  auto bildschirm = std::make_shared<tarvo::qt::QtBildschirm>();
  tarvo::gui::Hauptfenster fenster(bildschirm);
  fenster.show();
  const QStringList argumente = QApplication::arguments();
  if (argumente.size() > 1) {
    const std::filesystem::path dokument = argumente.at(1).toStdString();
    const std::filesystem::path datenbank =
        argumente.size() > 2 ? std::filesystem::path(argumente.at(2).toStdString())
                             : dokument.parent_path() / "Auftraege.db";
    fenster.Oeffnen(dokument, datenbank);
  }
  return app.exec();
}
