// Helpers of the tests that run whole invoices through `tarvo` and the validation kit beside the
// checkout (../shared/einvoice): where the kit is and whether it can run, a `tarvo` call in a
// job folder, the job database through sqlite3, values of a written XML file, and one batch call
// of the kit that gives each file's verdict.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tarvo::erechnung {

std::filesystem::path Kit();
// Why the kit cannot run here ("" when it can).
std::string KitFehlt();
// Runs `tarvo ARGUMENTE` in `ordner`; its exit status, stderr into *fehler.
int Tarvo(const std::filesystem::path& ordner, const std::string& argumente,
          std::string* fehler = nullptr);
// Runs SQL on the job database Auftraege.db of `ordner` (fails the test when it fails), or
// reads one value.
void Sql(const std::filesystem::path& ordner, const std::string& sql);
std::string SqlWert(const std::filesystem::path& ordner, const std::string& sql);
// "1234.56" as cents.
long long Cent(const std::string& text);
// The text of the first element named `name` (any prefix) in the XML file.
std::string XmlWert(const std::filesystem::path& datei, const std::string& name);
// Validates all `dateien` in one call of the kit; the kit's output goes to `protokoll`. Maps
// each file to "" when valid, else to its ERROR and RESULT lines.
std::map<std::string, std::string> KitPruefen(const std::vector<std::filesystem::path>& dateien,
                                              const std::filesystem::path& protokoll);

}  // namespace tarvo::erechnung
