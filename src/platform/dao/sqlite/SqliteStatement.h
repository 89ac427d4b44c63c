// A prepared SQLite statement that finalizes itself, and the reading and binding of values.
// Internal to the SQLite engine.
#pragma once

#include "platform/dao/ColumnType.h"

struct sqlite3_stmt;

namespace tarvo::dao {

class SqliteConnection;

class SqliteStatement {
 public:
  // Prepares the first statement of `sql`; throws as SqliteConnection::Raise.
  SqliteStatement(SqliteConnection& connection, const char* sql, bool writing);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  sqlite3_stmt* Handle() const { return stmt_; }
  bool Empty() const { return stmt_ == nullptr; }  // only blanks or comments were prepared
  // Steps once; true for a row, false when done. Throws as SqliteConnection::Raise.
  bool Step();
  // The SQL text after the statement that was prepared.
  const char* Rest() const { return rest_; }

 private:
  SqliteConnection& connection_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
  const char* rest_ = nullptr;
  bool writing_;
};

RawValue ReadColumn(sqlite3_stmt* stmt, int column);
void BindValue(sqlite3_stmt* stmt, int parameter, const RawValue& value);

}  // namespace tarvo::dao
