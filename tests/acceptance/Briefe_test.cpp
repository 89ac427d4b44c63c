// Category-1 jobs on invoice letters our own model did not write: letters made by python-docx
// (tests/acceptance/briefe.py) with the "lumoStart" marker in every position, the same letters
// re-saved by LibreOffice, and our own template. Each letter goes through a first run, a
// re-opened statement confirmed without input, a re-opened statement with a changed parcel and a
// cancelled one; after every step each tag stands on exactly one table, the totals are the sum
// of the amounts, the letter's text around the marker is intact, and a confirmed statement
// keeps every cell. A property test plays random sequences of such steps.
#include <algorithm>
#include <map>
#include <random>
#include <regex>

#include "Auftrag_helpers.h"

namespace tarvo::abnahme {
namespace {

namespace fs = std::filesystem;

const std::string kSatz = "Für die Vermessung berechnen wir folgende Leistungen:";
const std::string kKopf = "Vermessungsbüro Beispiel, DresdenRechnung Nr. 1";

struct Form {
  const char* name;
  std::string text;  // the letter's text before "Mit freundlichen Grüßen", paragraphs joined
};
const Form kFormen[] = {
    {"anfang", kKopf + kSatz},
    {"mitte", kKopf + kSatz},
    {"ende", kKopf + kSatz},
    {"allein", kKopf + kSatz + "Leistungen"},
    {"leer", kKopf + kSatz},
    {"gemischt", kKopf + kSatz},
    {"zwei_absaetze", kKopf + "Für die Vermessung berechnen wir folgendeLeistungen:"},
    // A table of the letter's own before the marker: the job still runs clean (exit 0).
    {"briefkopf", kKopf + kSatz},
};

std::string Job(const std::string& ein, const std::string& aus, const std::string& rest) {
  return R"({"dokument": ")" + ein + R"(", "ausgabe": ")" + aus +
         R"(", "datenbank": "Auftraege.db", "benutzer": 1, "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Fläche": 1250}, "kategorie": 0)" +
         (rest.empty() ? "" : ", " + rest) + "}";
}

const std::string kNeu = R"("antworten": {"tabellenwahl": "neu"}, "eingaben": {
  "zeilen": [["Flst.Nr. 412/7", "II", "1250"], ["Flst.Nr. 412/8", "I", "480"]],
  "mskAnzahl": "8", "mskGP": "6"})";
const std::string kBestaetigen = R"("antworten": {"tabellenwahl": 1})";

// "  1.234,50 €" → 1234.5; texts without an amount give nothing.
bool Betrag(const std::string& text, double& wert) {
  static const std::regex muster(R"((-?[0-9.]+,[0-9]{2}) €)");
  std::smatch m;
  if (!std::regex_search(text, m, muster)) return false;
  std::string zahl = m[1];
  zahl.erase(std::remove(zahl.begin(), zahl.end(), '.'), zahl.end());
  std::replace(zahl.begin(), zahl.end(), ',', '.');
  wert = std::stod(zahl);
  return true;
}

class Briefe : public AuftragTest {
 protected:
  void SetUp() override {
    AuftragTest::SetUp();
    if (Shell("/usr/bin/python3 -c 'import docx' 2>/dev/null") != 0)
      GTEST_SKIP() << "python3-docx fehlt";
    ASSERT_EQ(Shell("/usr/bin/python3 '" TARVO_SOURCE_DIR "/tests/acceptance/briefe.py' '" +
                    ordner_.string() + "'"),
              0);
  }

  // The letter's text outside tables before `ende`, read by python-docx.
  std::string Brieftext(const std::string& datei, const std::string& ende) const {
    const fs::path aus = ordner_ / "brieftext.txt";
    Shell("/usr/bin/python3 '" TARVO_SOURCE_DIR "/tests/acceptance/briefe.py' --text '" +
          (ordner_ / datei).string() + "' '" + ende + "' > '" + aus.string() + "'");
    return DateiLesen(aus);
  }

  // Each tag on exactly `statements` statements (and their marking tables), one incidental
  // costs table and one totals table, whose sum is the sum of the amounts charged.
  void Pruefen(const std::string& datei, int statements) const {
    std::map<std::string, int> tags;
    double summe = 0, ausgewiesen = -1;
    for (const auto& [tag, zeilen] : Tabellen(datei)) {
      ++tags[tag];
      for (const auto& zeile : zeilen) {
        double wert = 0;
        if (tag == "RE_Summe") {
          if (zeile.size() >= 4 && zeile[1] == "Summe" && Betrag(zeile[3], wert))
            ausgewiesen = wert;
        } else if (tag.rfind("TARVO_", 0) == 0 && zeile.size() >= 5 && Betrag(zeile[4], wert)) {
          summe += wert;
        }
      }
    }
    EXPECT_EQ(tags["TARVO_03_1"], statements) << datei;
    EXPECT_EQ(tags["TARVO_03_1A"], statements) << datei;
    EXPECT_EQ(tags["TARVO_Neben"], 1) << datei;
    EXPECT_EQ(tags["RE_Summe"], 1) << datei;
    EXPECT_NEAR(summe, ausgewiesen, 0.005) << datei;
  }

  // One letter through the four steps.
  void Durchspielen(const std::string& brief, const std::string& text, const std::string& ende) {
    SCOPED_TRACE(brief);
    Lauf lauf = Ausfuehren(Job(brief, "R1.docx", kNeu));
    ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
    Pruefen("R1.docx", 1);
    EXPECT_EQ(Brieftext("R1.docx", ende), text);

    // Re-opened and confirmed without input: every cell as it was.
    lauf = Ausfuehren(Job("R1.docx", "R2.docx", kBestaetigen));
    ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
    Pruefen("R2.docx", 1);
    EXPECT_EQ(Tabellen("R2.docx"), Tabellen("R1.docx"));
    EXPECT_EQ(Brieftext("R2.docx", ende), text);

    // Re-opened, one parcel changed: that parcel and the amounts follow, nothing else moves.
    lauf = Ausfuehren(Job("R2.docx", "R3.docx",
                          kBestaetigen + R"(, "aktionen": [{"zelle": [2, 3], "eingabe": "150"}])"));
    ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
    Pruefen("R3.docx", 1);
    const Zeilen statement = Tabelle("R3.docx", "TARVO_03_1");
    ASSERT_EQ(statement.size(), 7u);
    EXPECT_EQ(statement[6][2], " 150");
    EXPECT_EQ(statement[6][4], "    256,00 €");
    EXPECT_EQ(statement[5], Tabelle("R2.docx", "TARVO_03_1")[5]);
    EXPECT_EQ(Brieftext("R3.docx", ende), text);

    // Re-opened and cancelled: nothing is written.
    lauf = Ausfuehren(Job("R3.docx", "R4.docx", kBestaetigen + R"(, "abschluss": "Abbruch")"));
    EXPECT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
    EXPECT_FALSE(fs::exists(ordner_ / "R4.docx"));
  }
};

TEST_F(Briefe, EveryMarkerPositionOfAPythonDocxLetter) {
  for (const Form& form : kFormen)
    Durchspielen(std::string("Brief-") + form.name + ".docx", form.text, "Mit freundlichen");
}

TEST_F(Briefe, OurOwnTemplate) {
  Durchspielen("Vorlage.docx", "Rechnung Nr. 2026-001Wir berechnen:Zusammenfassung", "Netto");
}

TEST_F(Briefe, LettersResavedByLibreOffice) {
  if (Shell("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice fehlt";
  const std::string profil = "file://" + (ordner_ / "lo-profil").string();
  fs::create_directories(ordner_ / "lo");
  for (const char* name : {"mitte", "ende", "zwei_absaetze"}) {
    const std::string brief = std::string("Brief-") + name + ".docx";
    ASSERT_EQ(Shell("cd '" + ordner_.string() + "' && timeout 120 soffice -env:UserInstallation=" +
                    profil + " --headless --convert-to 'docx:MS Word 2007 XML' --outdir lo '" +
                    brief + "' >/dev/null 2>&1"),
              0);
    fs::rename(ordner_ / "lo" / brief, ordner_ / ("LO-" + brief));
    for (const Form& form : kFormen)
      if (std::string(form.name) == name)
        Durchspielen("LO-" + brief, form.text, "Mit freundlichen");
  }
}

// A letter laid out in a table, the marker in a cell: refused before anything is written, with
// the marker's place named.
TEST_F(Briefe, AMarkerInATableCellIsRefusedUpFront) {
  const Lauf lauf = Ausfuehren(Job("Brief-zelle.docx", "R1.docx", kNeu));
  EXPECT_EQ(lauf.status, 2);
  EXPECT_NE(lauf.fehler.find("»lumoStart« steht in einer Tabelle (Tabelle 1, Zeile 1, Spalte 2)"),
            std::string::npos)
      << lauf.fehler;
  EXPECT_FALSE(fs::exists(ordner_ / "R1.docx"));
  EXPECT_EQ(Datenbankwert("SELECT NettoRechnung FROM Rechnung WHERE ID_Rechnungsnummer = 1"), "0");
}

// Random sequences of steps on random letters: new statements beside the old ones, confirmed
// and changed re-openings of any of them, cancelled ones. The invariants hold after each step.
TEST_F(Briefe, RandomSequencesOfStepsKeepEveryStatement) {
  std::mt19937 zufall(20261206);
  for (int folge = 0; folge < 3; ++folge) {
    const Form& form = kFormen[zufall() % std::size(kFormen)];
    SCOPED_TRACE(std::string("Folge ") + std::to_string(folge) + ", " + form.name);
    std::string aktuell = std::string("Brief-") + form.name + ".docx";
    int statements = 0;
    for (int schritt = 0; schritt < 6; ++schritt) {
      const std::string neu = "F" + std::to_string(folge) + "-" + std::to_string(schritt) + ".docx";
      const int art = statements == 0 ? 0 : static_cast<int>(zufall() % 4);
      const int wahl = statements == 0 ? 0 : 1 + static_cast<int>(zufall() % statements);
      const std::string antwort = R"("antworten": {"tabellenwahl": )" + std::to_string(wahl) + "}";
      SCOPED_TRACE("Schritt " + std::to_string(schritt) + ", Art " + std::to_string(art));
      Lauf lauf;
      switch (art) {
        case 0:  // a new statement
          lauf = Ausfuehren(Job(aktuell, neu, kNeu));
          ++statements;
          break;
        case 1: {  // confirmed without input
          lauf = Ausfuehren(Job(aktuell, neu, antwort));
          EXPECT_EQ(Tabellen(neu), Tabellen(aktuell));
          break;
        }
        case 2: {  // a changed parcel
          const int flaeche = 100 + static_cast<int>(zufall() % 5000);
          lauf = Ausfuehren(Job(aktuell, neu,
                                antwort + R"(, "aktionen": [{"zelle": [1, 3], "eingabe": ")" +
                                    std::to_string(flaeche) + R"("}])"));
          break;
        }
        default:  // cancelled
          lauf = Ausfuehren(Job(aktuell, neu, antwort + R"(, "abschluss": "Abbruch")"));
          EXPECT_FALSE(fs::exists(ordner_ / neu));
          break;
      }
      ASSERT_EQ(lauf.status, 0) << lauf.aus << lauf.fehler;
      if (art == 3) continue;
      Pruefen(neu, statements);
      EXPECT_EQ(Brieftext(neu, "Mit freundlichen"), form.text);
      aktuell = neu;
    }
  }
}

}  // namespace
}  // namespace tarvo::abnahme
