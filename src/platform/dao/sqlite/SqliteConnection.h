// SqliteConnection: the job database as an SQLite file. Opens existing files only (3024 for a
// missing one, never created; 3343 for a file that is no database; 3051 when it cannot be
// opened). Writes take the file's write lock (BEGIN IMMEDIATE), waiting up to the lock timeout
// for other processes, then 3260; a read that finds the file locked waits likewise, then 3218.
// SQLite's result codes become the old engine's numbers and German texts.
#pragma once

#include <chrono>
#include <string>

#include "platform/dao/Connection.h"

struct sqlite3;

namespace tarvo::dao {

class SqliteConnection final : public Connection {
 public:
  SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout);
  ~SqliteConnection() override;
  // Makes a new, empty file at `path`; throws 3204 when anything exists there (it is left
  // untouched), 3044 when the folder does not exist, 3051 when it cannot be made.
  static void CreateFile(const std::string& path);

  const std::string& Name() const override { return path_; }
  QueryResult Query(const std::string& sql, const std::vector<RawValue>& parameters) override;
  void Execute(const std::string& sql) override;
  std::vector<std::string> PrimaryKey(const std::string& table) override;
  std::optional<std::vector<RawValue>> LockRow(const RowKey& key,
                                               const std::vector<std::string>& columns) override;
  void InsertRow(const std::string& table, const std::vector<std::string>& columns,
                 const std::vector<RawValue>& values) override;
  void UpdateRow(const RowKey& key, const std::vector<std::string>& columns,
                 const std::vector<RawValue>& values) override;

  sqlite3* Handle() const { return db_; }
  // Throws the Laufzeitfehler for SQLite result `rc` of an operation on `sql`; `writing`
  // picks 3260 rather than 3218 for a lock, and spoils an outer transaction.
  [[noreturn]] void Raise(int rc, const std::string& sql, bool writing);

 protected:
  void BeginWrite() override;
  std::optional<Laufzeitfehler> CommitWrite() noexcept override;
  void RollbackWrite() noexcept override;
  bool WriteActive() const noexcept override;

 private:
  Laufzeitfehler Error(int rc, const std::string& sql, bool writing) const;

  sqlite3* db_ = nullptr;
  std::string path_;
};

}  // namespace tarvo::dao
