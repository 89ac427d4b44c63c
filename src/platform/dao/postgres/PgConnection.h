// PgConnection: the job database on a PostgreSQL server, over libpq. The database must exist
// on the server; the connection string is libpq's (URI or key/value), so host, port, user,
// password (or ~/.pgpass, or libpq's environment) and sslmode work as libpq defines them. The
// name it reports never carries the password. SQL is turned into the server's dialect
// (PgDialect); values always travel as parameters. An edit locks its row (SELECT … FOR UPDATE)
// and waits up to the lock timeout for another writer, then 3260. Reads inside a write
// transaction run under a savepoint, so a read that fails does not spoil the writes around it.
// A connection that breaks gives 3043 for every later call and is never silently re-opened,
// so an open transaction is lost as a whole, never in part.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dao/Connection.h"

struct pg_conn;
struct pg_result;

namespace tarvo::dao {

class PgConnection final : public Connection {
 public:
  // Connects; throws 3029 (login refused), 3024 (no such database), 3151 (no server reached).
  PgConnection(const std::string& address, std::chrono::milliseconds lockTimeout);
  ~PgConnection() override;

  const std::string& Name() const override { return name_; }
  QueryResult Query(const std::string& sql, const std::vector<RawValue>& parameters) override;
  void Execute(const std::string& sql) override;
  std::vector<std::string> PrimaryKey(const std::string& table) override;
  std::optional<std::vector<RawValue>> LockRow(const RowKey& key,
                                               const std::vector<std::string>& columns) override;
  void InsertRow(const std::string& table, const std::vector<std::string>& columns,
                 const std::vector<RawValue>& values) override;
  void UpdateRow(const RowKey& key, const std::vector<std::string>& columns,
                 const std::vector<RawValue>& values) override;

  // Whether the current schema holds any table.
  bool HasTables();
  // Takes the server's session lock named `key` if it is free; true when this connection
  // holds it (until it closes).
  bool TryLock(const std::string& key);

 protected:
  void BeginWrite() override;
  std::optional<Laufzeitfehler> CommitWrite() noexcept override;
  void RollbackWrite() noexcept override;
  bool WriteActive() const noexcept override;

 private:
  struct Table {
    std::string name;
    std::map<int, std::string> columns;  // by column number: the server's name
    std::map<int, std::string> written;  // the name as the schema wrote it
    std::map<int, ColumnKind> kinds;
    std::vector<std::string> key;
  };
  using Parameters = std::vector<const RawValue*>;
  // Runs `sql` (the server's dialect) with `parameters`; throws the mapped error for `shown`.
  pg_result* Run(const std::string& sql, const Parameters& parameters, const std::string& shown,
                 bool writing);
  pg_result* RunOnce(const std::string& sql, const Parameters& parameters);
  // Runs `step`; inside a write transaction a read runs under a savepoint.
  pg_result* Guarded(const std::function<pg_result*()>& step, const std::string& shown,
                     bool writing);
  const Table& TableInfo(unsigned int oid);
  Laufzeitfehler Error(pg_result* result, const std::string& sql, bool writing) const;
  Laufzeitfehler Lost() const;
  bool Broken() const;

  pg_conn* conn_ = nullptr;
  std::string name_;
  std::map<unsigned int, Table> tables_;
  std::map<std::string, unsigned int> tableOids_;
};

}  // namespace tarvo::dao
