// tarvo-gui: the desktop host. Usage: tarvo-gui [DOKUMENT [DATENBANK] [--rechnung N]]; without
// a database the file "Auftraege.db" beside the document is used; without --rechnung the window
// asks which invoice record the document belongs to. Work a crashed window left unsaved is
// offered first.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "Hauptfenster.h"
#include "platform/qt/QtBildschirm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tarvo");
  // Qt's own texts (file dialogs, context menus) in German.
  QTranslator qtDeutsch;
  if (qtDeutsch.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtDeutsch);

  QStringList dateien;
  std::optional<std::int32_t> rechnung;
  const QStringList argumente = QApplication::arguments();
  for (int i = 1; i < argumente.size(); ++i) {
    if (argumente[i] == "--rechnung") {
      bool zahl = false;
      const int nummer = i + 1 < argumente.size() ? argumente[i + 1].toInt(&zahl) : 0;
      if (!zahl) {
        std::fprintf(stderr, "Fehler: --rechnung verlangt die Nummer eines Rechnungssatzes.\n");
        return 2;
      }
      rechnung = nummer;
      ++i;
    } else if (argumente[i].startsWith("--")) {
      std::fprintf(stderr,
                   "Fehler: unbekannte Option »%s«.\nAufruf: tarvo-gui [DOKUMENT [DATENBANK] "
                   "[--rechnung N]]\n",
                   qPrintable(argumente[i]));
      return 2;
    } else {
      dateien << argumente[i];
    }
  }
  if (dateien.size() > 2 || (rechnung && dateien.isEmpty())) {
    std::fprintf(stderr, "Aufruf: tarvo-gui [DOKUMENT [DATENBANK] [--rechnung N]]\n");
    return 2;
  }

  auto bildschirm = std::make_shared<tarvo::qt::QtBildschirm>();
  tarvo::gui::Hauptfenster fenster(bildschirm);
  fenster.show();
  // The window is on the screen before anything is opened: a person sees at once that the
  // program runs, however long the invoice takes.
  QApplication::processEvents();
  fenster.WiederherstellungAnbieten();
  if (!dateien.isEmpty() && !fenster.Auftrag().Offen()) {
    const std::filesystem::path dokument = dateien.at(0).toStdString();
    const std::filesystem::path datenbank = dateien.size() > 1
                                                ? std::filesystem::path(dateien.at(1).toStdString())
                                                : dokument.parent_path() / "Auftraege.db";
    fenster.Oeffnen(dokument, datenbank, rechnung);
  }
  return app.exec();
}
