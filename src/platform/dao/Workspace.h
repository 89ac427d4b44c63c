// Workspace: the session in which job databases are opened and created. It holds the lock
// timeout that every database opened through it uses. A database is named by a file path
// (SQLite) or by a PostgreSQL connection string ("postgresql://…", "postgres://…" or libpq's
// "host=… dbname=…"); everything else works alike on both. OpenDatabase opens an existing
// database for reading and writing and never creates one: a missing file throws 3024, a file
// that is no database 3343. CreateDatabase makes a new, empty file and refuses an existing one
// (3204); on a server it takes an existing database that holds no table yet.
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

  // Opens the database file at `path` (UTF-8) or on the server `path` names. Throws 3024 when
  // the file or the server's database does not exist (it is not created), 3343 when it is not
  // a database, 3051 when it cannot be opened, 3029 when the server refuses the login, 3151
  // when no server answers.
  std::shared_ptr<Database> OpenDatabase(const std::string& path);

  // Creates a new, empty database file at `path` and opens it. Throws 3204 when anything
  // already exists at `path` (it is left untouched), 3044 when the folder does not exist,
  // 3051 when the file cannot be created. A server's database must exist and hold no table
  // (else 3204, nothing changed); it is opened as it is.
  std::shared_ptr<Database> CreateDatabase(const std::string& path);
};

}  // namespace tarvo::dao
