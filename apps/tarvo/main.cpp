// tarvo: the command-line program. Runs fee jobs without a screen, inspects invoice documents,
// creates job databases and runs the demo. Messages are German; exit status 2 means the input
// could not be used.
#include <cstdio>
#include <iostream>

#include "Befehle.h"

extern "C" const char* tarvo_03_version();

namespace {

// The parser's own errors in German; the English detail follows only where it names the input.
std::string Meldung(const CLI::ParseError& e) {
  if (dynamic_cast<const CLI::RequiredError*>(&e))
    return std::string("Es fehlt ein Befehl oder eine nötige Angabe (") + e.what() + ").";
  if (dynamic_cast<const CLI::ExtrasError*>(&e))
    return std::string("Unbekannte oder überzählige Angabe (") + e.what() + ").";
  if (dynamic_cast<const CLI::ConversionError*>(&e) || dynamic_cast<const CLI::ValidationError*>(&e))
    return std::string("Ungültiger Wert (") + e.what() + ").";
  return std::string("Ungültiger Aufruf (") + e.what() + ").";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"tarvo – Vermessungsgebühren nach der sächsischen Gebührenordnung"};
  // German headings for every help page; subcommands made later inherit formatter and defaults.
  auto formatter = std::make_shared<CLI::Formatter>();
  formatter->label("Usage", "Aufruf");
  formatter->label("OPTIONS", "OPTIONEN");
  formatter->label("SUBCOMMAND", "BEFEHL");
  formatter->label("SUBCOMMANDS", "BEFEHLE");
  formatter->label("Positionals", "Argumente");
  formatter->label("REQUIRED", "NÖTIG");
  formatter->label("TEXT", "TEXT");
  app.formatter(formatter);
  app.option_defaults()->group("Optionen");
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
  for (CLI::App* befehl : app.get_subcommands({})) befehl->group("Befehle");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "Fehler: " << Meldung(e) << "\nMit »tarvo --help« erfahren Sie mehr.\n";
    return tarvo::cli::kUnbrauchbar;
  }
  return status;
}
