// Fremdaenderung: what other programs did to a job's files while the job ran. At the start of a
// job it notes the invoice document's identity (device, inode, size, modification time) and the
// database file's; before the job commits, Pruefen finds out whether the document was saved by
// another program meanwhile, whether it is open in a word processor now (their lock files
// ".~lock.NAME#" and "~$NAME" beside it), or whether the database file was replaced, and
// refuses the job, naming what changed. A server database (no file) is not watched.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <optional>

namespace tarvo {

class Fremdaenderung {
 public:
  // Notes the state of `dokument` and, when it is a file, of `datenbank`.
  Fremdaenderung(std::filesystem::path dokument, std::filesystem::path datenbank);

  // Throws Laufzeitfehler 5 with a German message naming the file when the document was
  // changed or replaced since, a word processor holds it or the output `ziel` open, or the
  // database file is no longer the one opened.
  void Pruefen(const std::filesystem::path& ziel) const;
  // Notes the document's state anew (after the job itself saved it).
  void Erneuern();

 private:
  struct Stand {
    dev_t geraet = 0;
    ino_t knoten = 0;
    off_t groesse = 0;
    timespec geaendert{};
  };
  static std::optional<Stand> Lesen(const std::filesystem::path& datei);

  std::filesystem::path dokument_, datenbank_;
  std::optional<Stand> dokumentStand_, datenbankStand_;
};

// The lock file a word processor keeps beside `datei` while it has it open, or an empty path:
// LibreOffice's ".~lock.NAME#", Word's "~$NAME" (the first two letters of a longer name
// replaced).
std::filesystem::path Textverarbeitungssperre(const std::filesystem::path& datei);

}  // namespace tarvo
