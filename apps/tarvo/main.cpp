// tarvo: the command-line program. Runs fee jobs without a screen, inspects invoice documents,
// creates job databases and runs the demo. Messages are German; exit status 2 means the input
// could not be used.
#include <cstdio>
#include <iostream>

#include "Befehle.h"

extern "C" const char* tarvo_03_version();

namespace {

// What follows `prefix` in the parser's English message: the input it names.
std::string Nach(const std::string& text, const std::string& prefix) {
  const auto stelle = text.find(prefix);
  return stelle == std::string::npos ? std::string() : text.substr(stelle + prefix.size());
}

// A subcommand's help flag is made before the German group name applies: put it, and that of
// every subcommand below, under "Optionen".
void HilfeUnterOptionen(CLI::App& befehl) {
  if (CLI::Option* hilfe = befehl.get_help_ptr()) hilfe->group("Optionen");
  for (CLI::App* unter : befehl.get_subcommands({})) HilfeUnterOptionen(*unter);
}

bool IstBefehl(const CLI::App& app, const std::string& name) {
  for (const CLI::App* befehl : app.get_subcommands({}))
    if (befehl->check_name(name)) return true;
  return false;
}

// The parser's own errors in German. Where the English text names the input (an option, a
// value), that name is taken over; otherwise the English detail stays in parentheses.
std::string Meldung(const CLI::App& app, const CLI::ParseError& e, int argc, char** argv) {
  const std::string text = e.what();
  if (dynamic_cast<const CLI::RequiredError*>(&e)) {
    if (text.find("subcommand") != std::string::npos) {
      if (argc > 1 && argv[1][0] != '-' && !IstBefehl(app, argv[1]))
        return std::string("Unbekannter Befehl »") + argv[1] + "«.";
      return "Es fehlt ein Befehl.";
    }
    if (const auto ende = text.find(" is required"); ende != std::string::npos)
      return "Es fehlt die Angabe " + text.substr(0, ende) + ".";
    return "Es fehlt eine nötige Angabe (" + text + ").";
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
    std::string extra = Nach(text, "expected: ");
    if (extra.empty()) return "Unbekannte oder überzählige Angabe (" + text + ").";
    return std::string(extra.find(' ') == std::string::npos
                           ? "Unbekannte oder überzählige Angabe: "
                           : "Unbekannte oder überzählige Angaben: ") +
           extra + ".";
  }
  if (dynamic_cast<const CLI::ConversionError*>(&e) ||
      dynamic_cast<const CLI::ValidationError*>(&e))
    return "Ungültiger Wert (" + text + ").";
  return "Ungültiger Aufruf (" + text + ").";
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
  tarvo::cli::ERechnungBefehle(app, status);
  tarvo::cli::HilfeBefehl(app, status);
  for (CLI::App* befehl : app.get_subcommands({})) {
    befehl->group("Befehle");
    HilfeUnterOptionen(*befehl);
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "Fehler: " << Meldung(app, e, argc, argv)
              << "\nMit »tarvo --help« erfahren Sie mehr.\n";
    return tarvo::cli::kUnbrauchbar;
  }
  return status;
}
