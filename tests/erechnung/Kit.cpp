#include "erechnung/Kit.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sstream>

#include "acceptance/Auftrag_helpers.h"

namespace tarvo::erechnung {

namespace fs = std::filesystem;
using abnahme::DateiLesen;
using abnahme::Shell;

fs::path Kit() {
  return fs::path(TARVO_SOURCE_DIR) / ".." / "shared" / "einvoice";
}

std::string KitFehlt() {
  if (!fs::exists(Kit() / "validate-einvoice.sh"))
    return "Validierungskit " + Kit().string() + " fehlt";
  if (Shell("command -v java >/dev/null && command -v xmllint >/dev/null && "
            "test -r /usr/share/java/Saxon-HE.jar") != 0)
    return "Java, xmllint oder Saxon-HE fehlen (../shared/einvoice/setup.sh)";
  return "";
}

int Tarvo(const fs::path& ordner, const std::string& argumente, std::string* fehler) {
  const int status = Shell("cd '" + ordner.string() + "' && TARVO_LOG_DIR='" + ordner.string() +
                           "' TARVO_CONFIG_DIR='" + ordner.string() + "' '" + TARVO_EXE + "' " +
                           argumente + " >aus.txt 2>fehler.txt");
  if (fehler) *fehler = DateiLesen(ordner / "fehler.txt");
  return status;
}

void Sql(const fs::path& ordner, const std::string& sql) {
  ASSERT_EQ(Shell("sqlite3 '" + (ordner / "Auftraege.db").string() + "' \"" + sql + "\""), 0)
      << sql;
}

std::string SqlWert(const fs::path& ordner, const std::string& sql) {
  Shell("sqlite3 '" + (ordner / "Auftraege.db").string() + "' \"" + sql + "\" > '" +
        (ordner / "wert.txt").string() + "'");
  std::string wert = DateiLesen(ordner / "wert.txt");
  while (!wert.empty() && (wert.back() == '\n' || wert.back() == '\r')) wert.pop_back();
  return wert;
}

long long Cent(const std::string& text) {
  const auto punkt = text.find('.');
  const bool negativ = !text.empty() && text[0] == '-';
  long long euro = std::stoll(text.substr(0, punkt));
  long long cent = punkt == std::string::npos ? 0 : std::stoll(text.substr(punkt + 1, 2));
  return negativ ? euro * 100 - cent : euro * 100 + cent;
}

// The value of the first element named `name` (any namespace prefix) in the XML file.
std::string XmlWert(const fs::path& datei, const std::string& name) {
  pugi::xml_document dokument;
  dokument.load_file(datei.c_str());
  const std::string suche = "//*[local-name()='" + name + "']";
  return dokument.select_node(suche.c_str()).node().text().get();
}

std::map<std::string, std::string> KitPruefen(const std::vector<fs::path>& dateien,
                                              const fs::path& protokoll) {
  std::map<std::string, std::string> urteile;
  std::string aufruf = "'" + (Kit() / "validate-einvoice.sh").string() + "'";
  for (const auto& d : dateien) aufruf += " '" + d.string() + "'";
  Shell(aufruf + " > '" + protokoll.string() + "' 2>&1");
  // FILE lines open a file's findings, ERROR lines are kept, RESULT lines close it.
  std::istringstream ein(DateiLesen(protokoll));
  std::string zeile, datei;
  while (std::getline(ein, zeile)) {
    if (zeile.rfind("FILE\t", 0) == 0) {
      datei = zeile.substr(5, zeile.find('\t', 5) - 5);
      urteile[datei];
    } else if (zeile.rfind("ERROR\t", 0) == 0) {
      urteile[datei] += zeile + "\n";
    } else if (zeile.rfind("RESULT\t", 0) == 0 && zeile.rfind("RESULT\tVALID\t", 0) != 0) {
      urteile[datei] += zeile + "\n";
    }
  }
  return urteile;
}

}  // namespace tarvo::erechnung
