// tarvo: the command-line program. Runs fee jobs without a screen, inspects invoice documents,
// creates job databases and runs the demo. Messages are German; exit status 2 means the input
// could not be used.
#include <cstdio>
#include <iostream>

#include "Befehle.h"

extern "C" const char* tarvo_03_version();

int main(int argc, char** argv) {
  CLI::App app{"tarvo – Vermessungsgebühren nach der sächsischen Gebührenordnung"};
  app.set_help_flag("-h,--help", "Diese Hilfe anzeigen und beenden");
  app.set_version_flag("--version", std::string("tarvo ") + tarvo_03_version(),
                       "Version anzeigen und beenden");
  app.require_subcommand(1);
  app.footer("Mit »tarvo BEFEHL --help« erfahren Sie mehr über einen Befehl.");
  int status = tarvo::cli::kErfolg;
  tarvo::cli::GebuehrBefehl(app, status);
  tarvo::cli::DokumentBefehle(app, status);
  tarvo::cli::DatenbankBefehle(app, status);
  tarvo::cli::AuftragBefehle(app, status);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "Fehler: " << e.what() << "\nMit »tarvo --help« erfahren Sie mehr.\n";
    return tarvo::cli::kUnbrauchbar;
  }
  return status;
}
