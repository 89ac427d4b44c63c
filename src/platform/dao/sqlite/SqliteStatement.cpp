#include "platform/dao/sqlite/SqliteStatement.h"

#include <sqlite3.h>

#include "platform/dao/sqlite/SqliteConnection.h"

namespace tarvo::dao {

SqliteStatement::SqliteStatement(SqliteConnection& connection, const char* sql, bool writing)
    : connection_(connection), sql_(sql), writing_(writing) {
  int rc = sqlite3_prepare_v2(connection_.Handle(), sql, -1, &stmt_, &rest_);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    connection_.Raise(rc, sql_, writing_);
  }
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(stmt_);
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  connection_.Raise(rc, sql_, writing_);
}

RawValue ReadColumn(sqlite3_stmt* stmt, int column) {
  RawValue raw;
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      raw.storage = RawValue::Storage::Integer;
      raw.integer = sqlite3_column_int64(stmt, column);
      break;
    case SQLITE_FLOAT:
      raw.storage = RawValue::Storage::Real;
      raw.real = sqlite3_column_double(stmt, column);
      break;
    case SQLITE_NULL:
      break;
    default: {
      raw.storage = RawValue::Storage::Text;
      const unsigned char* text = sqlite3_column_text(stmt, column);
      int length = sqlite3_column_bytes(stmt, column);
      if (text) raw.text.assign(reinterpret_cast<const char*>(text), length);
    }
  }
  return raw;
}

void BindValue(sqlite3_stmt* stmt, int parameter, const RawValue& value) {
  switch (value.storage) {
    case RawValue::Storage::Null:
      sqlite3_bind_null(stmt, parameter);
      break;
    case RawValue::Storage::Integer:
      sqlite3_bind_int64(stmt, parameter, value.integer);
      break;
    case RawValue::Storage::Real:
      sqlite3_bind_double(stmt, parameter, value.real);
      break;
    case RawValue::Storage::Text:
      sqlite3_bind_text(stmt, parameter, value.text.c_str(), static_cast<int>(value.text.size()),
                        SQLITE_TRANSIENT);
      break;
  }
}

}  // namespace tarvo::dao
