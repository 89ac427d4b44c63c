// tarvo gebuehr: the fee calculator for a quick figure. Prints the base fee of fee table 1, 2
// or 4 for a count of boundary points or an area, formatted as the statements show amounts
// ("2.051,00 €"). Numbers are typed German-style ("1.234,5"), read with CVal and rounded to a
// whole number half away from zero, as a form's cell shows a typed value and charges what it
// shows (150,5 is shown as 151 and charged as 151). A count or area that is no number, is negative
// or too large gets a German message and exit status 2; a fee the table cannot compute (overflow,
// logged) exit 3.
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Befehle.h"
#include "common/Funktionen.h"
#include "common/Variant.h"
#include "errors/Protokoll.h"
#include "errors/Pruefen.h"
#include "fees/GebuehrTabellen.h"

namespace tarvo::cli {
namespace {

// The whole number a German number text stands for, or a message why it cannot be used.
std::optional<std::int32_t> GanzeZahl(const std::string& text, const char* was) {
  if (text.empty()) {
    std::cerr << "Fehler: Die " << was << " fehlt. Mit »tarvo gebuehr --help« erfahren Sie mehr.\n";
    return std::nullopt;
  }
  if (!zahltext::IstZahl(text)) {
    std::cerr << "Fehler: »" << text << "« ist keine Zahl. Die " << was
              << " wird als Zahl erwartet, z. B. 12 oder 1.234,5.\n";
    return std::nullopt;
  }
  const double gerundet = std::round(CVal(text));
  if (gerundet < 0) {
    std::cerr << "Fehler: Die " << was << " darf nicht negativ sein (»" << text << "«).\n";
    return std::nullopt;
  }
  if (gerundet > 2147483647.0) {
    std::cerr << "Fehler: Die " << was << " »" << text << "« ist zu groß.\n";
    return std::nullopt;
  }
  return static_cast<std::int32_t>(gerundet);
}

// Prints the fee as the statements show amounts; exit 3 when the table logged an error.
int Ausgeben(double gebuehr, std::int64_t meldungenVorher) {
  if (protokoll::AnzahlGemeldet() != meldungenVorher) {
    std::cerr << "Fehler: Die Gebühr ist für diesen Wert nicht berechenbar "
                 "(Überlauf, im Fehlerprotokoll Verw.log vermerkt).\n";
    return kFehlerProtokolliert;
  }
  std::cout << WertFormatieren(zahltext::Schreiben(gebuehr), 0, 2) << " €\n";
  return kErfolg;
}

struct Eingaben {
  std::string anzahl;
  std::string flaeche;
  std::string kategorie;
};

// A subcommand of `tarvo gebuehr` with German help; extra arguments reach the callback, which
// refuses them in German.
CLI::App* Tabelle(CLI::App* gebuehr, const char* name, const char* beschreibung) {
  CLI::App* tabelle = gebuehr->add_subcommand(name, beschreibung);
  tabelle->set_help_flag("-h,--help", "Diese Hilfe anzeigen und beenden")->group("Optionen");
  tabelle->group("Tabellen");
  tabelle->allow_extras();
  return tabelle;
}

bool OhneUeberzaehlige(const CLI::App* tabelle) {
  if (tabelle->remaining_size() == 0) return true;
  std::cerr << "Fehler: Zu viele Angaben: »" << tabelle->remaining().front()
            << "«. Mit »tarvo gebuehr " << tabelle->get_name() << " --help« erfahren Sie mehr.\n";
  return false;
}

// Computes a fee by count (tables 1 and 4) and stores the exit status.
void NachAnzahl(const CLI::App* tabelle, const std::string& text, double (*gebuehr)(std::int32_t),
                int& status) {
  auto anzahl = GanzeZahl(text, "Anzahl der Grenzpunkte");
  if (!anzahl || !OhneUeberzaehlige(tabelle)) {
    status = kUnbrauchbar;
    return;
  }
  auto vorher = protokoll::AnzahlGemeldet();
  status = Ausgeben(gebuehr(*anzahl), vorher);
}

}  // namespace

void GebuehrBefehl(CLI::App& app, int& status) {
  auto eingaben = std::make_shared<Eingaben>();
  CLI::App* gebuehr =
      app.add_subcommand("gebuehr", "Grundgebühr aus den Gebührentabellen 1, 2 und 4 berechnen");
  // German labels for the help of this command and its subcommands (created below, they
  // inherit the formatter and the footer).
  auto formatter = std::make_shared<CLI::Formatter>();
  formatter->label("Usage", "Aufruf");
  formatter->label("OPTIONS", "OPTIONEN");
  formatter->label("SUBCOMMAND", "TABELLE");
  formatter->label("SUBCOMMANDS", "TABELLEN");
  formatter->label("Options", "Optionen");
  formatter->label("Positionals", "Argumente");
  formatter->label("Subcommands", "Tabellen");
  formatter->label("REQUIRED", "NÖTIG");
  gebuehr->formatter(formatter);
  gebuehr->set_help_flag("-h,--help", "Diese Hilfe anzeigen und beenden")->group("Optionen");
  gebuehr->footer(
      "Zahlen werden deutsch geschrieben (1.234,5) und auf ganze Zahlen gerundet, ein halber\n"
      "Wert zur geraden Zahl (2,5 wird 2). Beispiel: tarvo gebuehr tabelle2 1.234,5 II");
  gebuehr->require_subcommand(0, 1);
  gebuehr->callback([gebuehr, &status] {
    if (gebuehr->get_subcommands().empty()) {
      std::cerr << "Fehler: Bitte eine Tabelle angeben: tabelle1, tabelle2 oder tabelle4.\n"
                   "Mit »tarvo gebuehr --help« erfahren Sie mehr.\n";
      status = kUnbrauchbar;
    }
  });

  CLI::App* t1 = Tabelle(gebuehr, "tabelle1", "Tabelle 1: Gebühr nach Anzahl der Grenzpunkte");
  t1->add_option("ANZAHL", eingaben->anzahl, "Anzahl der Grenzpunkte")->type_name("ZAHL");
  t1->callback(
      [t1, eingaben, &status] { NachAnzahl(t1, eingaben->anzahl, GebührAusTabelle1, status); });

  CLI::App* t2 = Tabelle(gebuehr, "tabelle2", "Tabelle 2: Gebühr nach Fläche und Kategorie");
  t2->add_option("FLAECHE", eingaben->flaeche, "Fläche in m²")->type_name("ZAHL");
  CLI::Option* kategorie =
      t2->add_option("KATEGORIE", eingaben->kategorie,
                     "Kategorie I, II oder III (jeder andere Text: vierte Spalte)")
          ->type_name("TEXT");
  t2->callback([t2, eingaben, kategorie, &status] {
    auto flaeche = GanzeZahl(eingaben->flaeche, "Fläche");
    if (!flaeche) {
      status = kUnbrauchbar;
      return;
    }
    if (kategorie->count() == 0) {
      std::cerr << "Fehler: Die Kategorie fehlt (I, II oder III).\n";
      status = kUnbrauchbar;
      return;
    }
    if (!OhneUeberzaehlige(t2)) {
      status = kUnbrauchbar;
      return;
    }
    auto vorher = protokoll::AnzahlGemeldet();
    status = Ausgeben(GebührAusTabelle2(*flaeche, eingaben->kategorie), vorher);
  });

  CLI::App* t4 = Tabelle(gebuehr, "tabelle4", "Tabelle 4: Gebühr nach Anzahl der Grenzpunkte");
  t4->add_option("ANZAHL", eingaben->anzahl, "Anzahl der Grenzpunkte")->type_name("ZAHL");
  t4->callback(
      [t4, eingaben, &status] { NachAnzahl(t4, eingaben->anzahl, GebührAusTabelle4, status); });
}

}  // namespace tarvo::cli
