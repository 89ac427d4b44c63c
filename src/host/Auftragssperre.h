// Auftragssperre: keeps two jobs from working on the same invoice document or the same invoice
// record at the same time, whether they run in one process or in several on a shared folder.
// Each thing is locked through a hidden lock file beside it (".Rechnung.docx.sperre",
// ".Auftraege.db.Rechnung-1.sperre") that holds an open-file lock; the system drops the lock
// when its holder ends, even when it is killed, and the holder removes the file when it lets go.
// The lock file says who holds it (user, host, since when, process); a job that finds the lock
// held waits up to the given time (none: it tries once), then gets Laufzeitfehler 3260 with a
// German message naming what is in use and by whom. Where no lock file can be made (a read-only
// folder), nobody can save there either, and the thing is not locked.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/dao/NamedLock.h"

namespace tarvo {

class Auftragssperre {
 public:
  Auftragssperre() = default;
  ~Auftragssperre();  // lets go of everything held
  Auftragssperre(const Auftragssperre&) = delete;
  Auftragssperre& operator=(const Auftragssperre&) = delete;

  // Locks the document at `datei` (a symbolic link stands for its target). Does nothing when
  // this lock already holds it. Throws 3260 after `warten` when another job holds it.
  void Dokument(const std::filesystem::path& datei, std::chrono::milliseconds warten);
  // Locks invoice `nummer` of the job database at `datenbank`, likewise; for a database on a
  // server the server holds the lock (a named lock of its own connection).
  void Rechnung(const std::filesystem::path& datenbank, std::int32_t nummer,
                std::chrono::milliseconds warten);

  // "anna auf buero-3, seit 2026-12-07 08:15:02, Prozess 4711" from a lock file; "" when it
  // names nobody (free, or written by an older version).
  static std::string Inhaber(const std::filesystem::path& sperrdatei);

 private:
  struct Halter {
    std::filesystem::path datei;  // the lock file
    int fd = -1;
  };
  void Sperren(const std::filesystem::path& sperrdatei, const std::string& was,
               std::chrono::milliseconds warten);

  std::vector<Halter> halter_;
  std::vector<std::unique_ptr<dao::NamedLock>> serversperren_;
};

// The local time as lock notes and recovery entries write it: "2026-12-07 05:13:30".
std::string Zeitstempel();

}  // namespace tarvo
