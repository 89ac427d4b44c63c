// Workspace: the session in which job databases are opened and created. It holds the lock
// timeout that every database opened through it uses. OpenDatabase opens an existing SQLite
// file for reading and writing and never creates one: a missing file throws 3024, a file that
// is no database 3343. CreateDatabase makes a new, empty file and refuses an existing one (3204).
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "common/Variant.h"

namespace tarvo::dao {

class Database;

class Workspace : public Objekt {
 public:
  Workspace() = default;

  // How long a database opened here waits for another process's lock before it reports
  // 3218 (reading) or 3260 (Edit, Update). Applies to databases opened afterwards.
  std::chrono::milliseconds BusyTimeout{5000};

  // Opens the database file at `path` (UTF-8). Throws 3024 when the file does not exist (it is
  // not created), 3343 when it is not a database, 3051 when it cannot be opened.
  std::shared_ptr<Database> OpenDatabase(const std::string& path);

  // Creates a new, empty database file at `path` and opens it. Throws 3204 when anything
  // already exists at `path` (it is left untouched), 3044 when the folder does not exist,
  // 3051 when the file cannot be created.
  std::shared_ptr<Database> CreateDatabase(const std::string& path);
};

}  // namespace tarvo::dao
