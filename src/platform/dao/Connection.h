// Connection: the SQLite connection behind a Database and its recordsets, shared by them, plus
// the translation of SQLite result codes into the old engine's error numbers and German texts.
// Internal to the database layer. The connection closes when its last holder lets go.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "errors/Laufzeitfehler.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tarvo::dao {

class Connection {
 public:
  // Opens an existing file for reading and writing (never creates it); throws 3024, 3343, 3051.
  Connection(const std::string& path, std::chrono::milliseconds busyTimeout);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }

  // Write transactions, counted: the first Begin takes the write lock (BEGIN IMMEDIATE, 3260
  // after the busy timeout), the matching Commit commits (3260 when it cannot get its lock; the
  // transaction is then rolled back). Rollback undoes all levels and never throws.
  void Begin();
  void Commit();
  void Rollback() noexcept;
  // Ends one level without an error: the outermost level commits what was written meanwhile,
  // or rolls it back when the commit fails (used when an edit is cancelled).
  void Release() noexcept;
  bool InTransaction() const { return depth_ > 0; }

  // The outer transaction of a job (Database::BeginTrans): while it is open, the write
  // transactions above nest inside it and commit nothing; the first of them takes the write
  // lock. A write that fails inside it spoils it (Spoil): CommitOuter then rolls everything
  // back and throws the first such error; otherwise it commits (3260 when it cannot get its
  // lock, everything rolled back). RollbackOuter undoes it and never throws.
  void BeginOuter();
  void CommitOuter();
  void RollbackOuter() noexcept;
  bool InOuter() const { return outer_; }
  const std::optional<std::pair<std::int32_t, std::string>>& Spoiled() const { return spoiled_; }
  // Remembers the first error of a write inside the outer transaction; nothing outside one.
  void Spoil(std::int32_t number, const std::string& description) noexcept;

  // Throws the Laufzeitfehler for SQLite result `rc` of an operation on `sql`; `writing`
  // picks 3260 rather than 3218 for a lock, and spoils an outer transaction.
  [[noreturn]] void Raise(int rc, const std::string& sql, bool writing);

 private:
  Laufzeitfehler Error(int rc, const std::string& sql, bool writing) const;

  sqlite3* db_ = nullptr;
  std::string path_;
  int depth_ = 0;
  bool open_ = false;   // an SQLite transaction is open
  bool outer_ = false;  // a job's outer transaction is open
  std::optional<std::pair<std::int32_t, std::string>> spoiled_;
};

// A prepared statement that finalizes itself.
class Statement {
 public:
  // Prepares the first statement of `sql`; throws as Connection::Raise.
  Statement(Connection& connection, const char* sql, bool writing);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* Handle() const { return stmt_; }
  bool Empty() const { return stmt_ == nullptr; }  // only blanks or comments were prepared
  // Steps once; true for a row, false when done. Throws as Connection::Raise.
  bool Step();
  // The SQL text after the statement that was prepared.
  const char* Rest() const { return rest_; }

 private:
  Connection& connection_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
  const char* rest_ = nullptr;
  bool writing_;
};

}  // namespace tarvo::dao
