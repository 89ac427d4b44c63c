// tarvo hilfe: names the start page of the help that F1 and Hilfe → Inhalt open, as the help
// call finds it (beside the component, else in the package's data folder). A help that cannot
// be found is said in German with exit status 2.
#include <filesystem>
#include <iostream>

#include "Befehle.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo::cli {

void HilfeBefehl(CLI::App& app, int& status) {
  CLI::App* hilfe =
      app.add_subcommand("hilfe", "Startseite der Hilfe nennen (wo tarvo sie findet)");
  hilfe->callback([&status] {
    const std::filesystem::path start = HilfeDatei().parent_path() / "index.html";
    if (!std::filesystem::is_regular_file(start)) {
      std::cerr << "Fehler: Die Hilfe wurde nicht gefunden (erwartet: " << start.string()
                << "). Bitte tarvo neu installieren.\n";
      status = kUnbrauchbar;
      return;
    }
    std::cout << start.string() << "\n";
    status = kErfolg;
  });
}

}  // namespace tarvo::cli
