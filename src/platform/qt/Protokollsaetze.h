// Reading the error log back for people: the records of Verw.log (six lines each: time and
// "Error N:", the description, "Zeile: N", "Ort  : Modul.Prozedur", the user, an empty line) as
// fields. A file that cannot be read gives no records; lines that do not make a record are
// skipped, so a log cut off in the middle still shows every whole record before the cut.
#pragma once

#include <QString>
#include <filesystem>
#include <vector>

namespace tarvo::qt {

struct Protokollsatz {
  QString zeit;     // "7.12.26 01:05", as written
  int nummer = 0;   // the error number
  QString meldung;  // the description (German)
  int zeile = 0;    // the line label the procedure had reached (0: none)
  QString ort;      // "frmKat3.ÜbernehmenWerte"
  QString benutzer;
};

// The records of `text` (the log's content) in file order.
std::vector<Protokollsatz> ProtokollsaetzeLesen(const QString& text);
// The records of the file, in file order; none when it is missing or unreadable.
std::vector<Protokollsatz> ProtokollLesen(const std::filesystem::path& datei);

}  // namespace tarvo::qt
