// Connection: the engine behind a Database and its recordsets, shared by them. Internal to the
// database layer. Two engines implement it, SQLite (sqlite/, a file) and PostgreSQL (postgres/,
// a server); Database and Recordset speak only to this interface. The engine runs statements,
// reads result rows with their columns' declared types and origins, and locks and writes single
// rows by key; failures throw Laufzeitfehler with the old engine's numbers and German texts.
// The counting of write transactions and of the job's outer transaction lives here, above the
// engines, so that both keep the same rules. The connection closes when its last holder lets go.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/ColumnType.h"

namespace tarvo::dao {

// One column of a query's result.
struct ResultColumn {
  std::string name;                   // as the query returns it
  ColumnKind kind = ColumnKind::Any;  // by the declared type; Any for a computed column
  std::string origin;                 // the table column it comes from, empty for a computed one
  std::string table;                  // the table it comes from, empty for a computed one
};

struct QueryResult {
  std::vector<ResultColumn> columns;
  std::vector<std::vector<RawValue>> rows;
};

// A row addressed by its table's primary key.
struct RowKey {
  std::string table;
  std::vector<std::string> columns;
  std::vector<RawValue> values;
};

class Connection {
 public:
  Connection() = default;
  virtual ~Connection() = default;  // engines roll back what is open
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The database as it was named when opened, without a password.
  virtual const std::string& Name() const = 0;

  // Runs one query written as the system writes it, its "?" bound to `parameters` in order, and
  // reads all its rows. Throws 3219 (not run) for a statement that returns no rows, 3061 when
  // the count of "?" is not that of the parameters, else as the engine maps its errors.
  virtual QueryResult Query(const std::string& sql, const std::vector<RawValue>& parameters) = 0;
  // Runs statements that return no rows, several separated by ";".
  virtual void Execute(const std::string& sql) = 0;
  // The columns of `table`'s primary key in key order; empty without one.
  virtual std::vector<std::string> PrimaryKey(const std::string& table) = 0;
  // Inside a write transaction: reads `columns` of the row at `key` and keeps other writers off
  // it until the transaction ends (3260 after the lock timeout). Empty when the row is gone.
  virtual std::optional<std::vector<RawValue>> LockRow(const RowKey& key,
                                                       const std::vector<std::string>& columns) = 0;
  // Inside a write transaction: adds a row to `table` with `values` in `columns` (the others
  // take their defaults).
  virtual void InsertRow(const std::string& table, const std::vector<std::string>& columns,
                         const std::vector<RawValue>& values) = 0;
  // Inside a write transaction: stores `values` into `columns` of the row at `key`.
  virtual void UpdateRow(const RowKey& key, const std::vector<std::string>& columns,
                         const std::vector<RawValue>& values) = 0;

  // Write transactions, counted: the first Begin opens the engine's transaction (on SQLite the
  // file's write lock, 3260 after the busy timeout), the matching Commit commits (on failure
  // everything is rolled back and the error thrown). Rollback undoes all levels, never throws.
  void Begin();
  void Commit();
  void Rollback() noexcept;
  // Ends one level without an error: the outermost level commits what was written meanwhile,
  // or rolls it back when the commit fails (used when an edit is cancelled).
  void Release() noexcept;
  bool InTransaction() const { return depth_ > 0; }

  // The outer transaction of a job (Database::BeginTrans): while it is open, the write
  // transactions above nest inside it and commit nothing; the first of them opens the engine's
  // transaction. A write that fails inside it spoils it (Spoil): CommitOuter then rolls
  // everything back and throws the first such error; otherwise it commits. A commit the engine
  // refuses while its transaction stays open (SQLite: a reader holds the file) leaves the job's
  // transaction as it was, writes pending, so that it can be committed again; one whose
  // transaction the engine ended is rolled back. Either way the error is thrown.
  // RollbackOuter undoes it, never throws.
  void BeginOuter();
  void CommitOuter();
  void RollbackOuter() noexcept;
  bool InOuter() const { return outer_; }
  const std::optional<std::pair<std::int32_t, std::string>>& Spoiled() const { return spoiled_; }
  // Remembers the first error of a write inside the outer transaction; nothing outside one.
  void Spoil(std::int32_t number, const std::string& description) noexcept;

 protected:
  // The engine's transaction: opened (throws when it cannot be), committed (returns the error
  // when it fails; the transaction is then still open), rolled back (never fails).
  virtual void BeginWrite() = 0;
  virtual std::optional<Laufzeitfehler> CommitWrite() noexcept = 0;
  virtual void RollbackWrite() noexcept = 0;
  // Whether the engine's transaction is still open (after a commit it refused, SQLite's is, so
  // the commit can be tried again; the server's has ended).
  virtual bool WriteActive() const noexcept = 0;
  // Whether the engine's transaction is open.
  bool WriteOpen() const { return open_; }
  // Throws `error`; a write's error spoils an outer transaction first.
  [[noreturn]] void Raise(const Laufzeitfehler& error, bool writing);

 private:
  void EndWrite();
  int depth_ = 0;
  bool open_ = false;   // the engine's transaction is open
  bool outer_ = false;  // a job's outer transaction is open
  std::optional<std::pair<std::int32_t, std::string>> spoiled_;
};

// Opens the database `name` names: a PostgreSQL connection string (IsServerAddress) on the
// server, anything else as an existing SQLite file. `lockTimeout` is how long a write waits
// for another's lock before 3260 (and, on SQLite, a read before 3218).
std::shared_ptr<Connection> OpenConnection(const std::string& name,
                                           std::chrono::milliseconds lockTimeout);

// Makes a new job database where `name` says and opens it: a new SQLite file (3204 when
// anything exists at the path, which is left untouched; 3044 when its folder does not exist;
// 3051 when it cannot be made), or, on a server, the existing database when it holds no table
// yet (3204 when it holds any; nothing is changed).
std::shared_ptr<Connection> CreateConnection(const std::string& name,
                                             std::chrono::milliseconds lockTimeout);

}  // namespace tarvo::dao
