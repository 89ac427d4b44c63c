#include "platform/dao/sqlite/SqliteConnection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/dao/sqlite/SqliteStatement.h"

namespace tarvo::dao {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The part of an SQLite message after its first ": " ("no such table: Foo" gives "Foo").
std::string AfterColon(std::string_view message) {
  auto pos = message.find(": ");
  return std::string(pos == std::string_view::npos ? message : message.substr(pos + 2));
}

std::string Quoted(const std::string& name) {
  std::string result = "\"";
  for (char c : name) {
    if (c == '"') result += '"';
    result += c;
  }
  return result + "\"";
}

std::string KeyCondition(const RowKey& key) {
  std::string sql;
  for (std::size_t k = 0; k < key.columns.size(); ++k)
    sql += (k ? " AND " : "") + Quoted(key.columns[k]) + " = ?";
  return sql;
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout)
    : path_(path) {
  std::error_code error;
  auto status = std::filesystem::status(std::filesystem::path(path), error);
  if (path.empty() || !std::filesystem::exists(status))
    throw Laufzeitfehler(3024, "Datei '" + path + "' nicht gefunden.");
  if (std::filesystem::is_directory(status))
    throw Laufzeitfehler(
        3051, "Die Datei '" + path + "' kann nicht geöffnet werden: " + "es ist ein Ordner.");
  // A FIFO would block the first read until some writer comes, a device read without end.
  if (!std::filesystem::is_regular_file(status))
    throw Laufzeitfehler(3051, "Die Datei '" + path +
                                   "' kann nicht geöffnet werden: es ist keine gewöhnliche Datei "
                                   "(ein Gerät oder eine FIFO).");
  // READWRITE without CREATE: a file that vanished in between is reported, never created.
  int rc =
      sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    if (rc == SQLITE_CANTOPEN && !std::filesystem::exists(std::filesystem::path(path)))
      throw Laufzeitfehler(3024, "Datei '" + path + "' nicht gefunden.");
    throw Laufzeitfehler(3051, "Die Datei '" + path + "' kann nicht geöffnet werden.");
  }
  sqlite3_extended_result_codes(db_, 0);
  sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout.count()));
  // Reading the schema proves the file is a database (SQLite itself only finds out at the
  // first statement).
  rc = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    int failed = rc;
    sqlite3_close(db_);
    db_ = nullptr;
    if (failed == SQLITE_NOTADB || failed == SQLITE_CORRUPT)
      throw Laufzeitfehler(3343, "Nicht erkennbares Datenbankformat '" + path + "'.");
    if (failed == SQLITE_BUSY || failed == SQLITE_LOCKED)
      throw Laufzeitfehler(
          3218, "Die Datenbank '" + path + "' ist momentan von einem anderen Benutzer gesperrt.");
    throw Laufzeitfehler(3051, "Die Datei '" + path + "' kann nicht geöffnet werden.");
  }
}

void SqliteConnection::CreateFile(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path file = fs::path(path);
  fs::path folder = file.parent_path();
  std::error_code error;
  if (path.empty() || (!folder.empty() && !fs::is_directory(folder, error)))
    throw Laufzeitfehler(3044, "'" + folder.string() + "' ist kein gültiger Pfad.");
  // O_EXCL: an existing file, even one created a moment ago by someone else, is never touched.
  int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    if (errno == EEXIST)
      throw Laufzeitfehler(3204, "Die Datenbank '" + path + "' ist bereits vorhanden.");
    throw Laufzeitfehler(3051, "Die Datei '" + path + "' kann nicht angelegt werden.");
  }
  ::close(descriptor);
}

SqliteConnection::~SqliteConnection() {
  Rollback();
  sqlite3_close_v2(db_);
}

void SqliteConnection::BeginWrite() {
  int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Raise(rc, "BEGIN IMMEDIATE", true);
}

std::optional<Laufzeitfehler> SqliteConnection::CommitWrite() noexcept {
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) return std::nullopt;
  return Error(rc, "COMMIT", true);
}

void SqliteConnection::RollbackWrite() noexcept {
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteConnection::WriteActive() const noexcept {
  return !sqlite3_get_autocommit(db_);
}

QueryResult SqliteConnection::Query(const std::string& sql,
                                    const std::vector<RawValue>& parameters) {
  QueryResult result;
  SqliteStatement statement(*this, sql.c_str(), false);
  if (statement.Empty() || !sqlite3_stmt_readonly(statement.Handle()) ||
      sqlite3_column_count(statement.Handle()) == 0)
    throw Laufzeitfehler(3219, "Ungültige Operation: '" + sql + "' liefert keine Datensätze.");
  sqlite3_stmt* stmt = statement.Handle();
  const int erwartet = sqlite3_bind_parameter_count(stmt);
  if (erwartet != static_cast<int>(parameters.size()))
    throw Laufzeitfehler(
        3061, "Falsche Anzahl an Parametern. Erwartet: " + std::to_string(erwartet) + ".");
  for (std::size_t i = 0; i < parameters.size(); ++i)
    BindValue(stmt, static_cast<int>(i + 1), parameters[i]);
  int count = sqlite3_column_count(stmt);
  for (int i = 0; i < count; ++i) {
    ResultColumn column;
    column.name = sqlite3_column_name(stmt, i);
    column.kind = KindOfDeclaredType(sqlite3_column_decltype(stmt, i));
    const char* origin = sqlite3_column_origin_name(stmt, i);
    column.origin = origin ? origin : "";
    // Only tables of the file itself can be edited (not those of an attached one).
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* database = sqlite3_column_database_name(stmt, i);
    if (table && database && std::string_view(database) == "main") column.table = table;
    result.columns.push_back(std::move(column));
  }
  while (statement.Step()) {
    std::vector<RawValue> row;
    row.reserve(count);
    for (int i = 0; i < count; ++i) row.push_back(ReadColumn(stmt, i));
    result.rows.push_back(std::move(row));
  }
  return result;
}

void SqliteConnection::Execute(const std::string& sql) {
  const char* rest = sql.c_str();
  while (*rest) {
    SqliteStatement statement(*this, rest, true);
    if (!statement.Empty())
      while (statement.Step()) {
      }
    rest = statement.Rest();
  }
}

std::vector<std::string> SqliteConnection::PrimaryKey(const std::string& table) {
  std::vector<std::pair<int, std::string>> key;
  SqliteStatement statement(*this, "SELECT name, pk FROM pragma_table_info(?) WHERE pk > 0", false);
  sqlite3_bind_text(statement.Handle(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  while (statement.Step())
    key.emplace_back(sqlite3_column_int(statement.Handle(), 1),
                     reinterpret_cast<const char*>(sqlite3_column_text(statement.Handle(), 0)));
  std::sort(key.begin(), key.end());
  std::vector<std::string> names;
  for (auto& [order, name] : key) names.push_back(name);
  return names;
}

std::optional<std::vector<RawValue>> SqliteConnection::LockRow(
    const RowKey& key, const std::vector<std::string>& columns) {
  // The write lock of BEGIN IMMEDIATE already keeps every other writer off the file.
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i) sql += (i ? ", " : "") + Quoted(columns[i]);
  sql += " FROM " + Quoted(key.table) + " WHERE " + KeyCondition(key);
  SqliteStatement statement(*this, sql.c_str(), true);
  for (std::size_t k = 0; k < key.values.size(); ++k)
    BindValue(statement.Handle(), static_cast<int>(k + 1), key.values[k]);
  if (!statement.Step()) return std::nullopt;
  std::vector<RawValue> row;
  for (std::size_t i = 0; i < columns.size(); ++i)
    row.push_back(ReadColumn(statement.Handle(), static_cast<int>(i)));
  return row;
}

void SqliteConnection::InsertRow(const std::string& table, const std::vector<std::string>& columns,
                                 const std::vector<RawValue>& values) {
  std::string names, marks;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    names += (i ? ", " : "") + Quoted(columns[i]);
    marks += i ? ", ?" : "?";
  }
  const std::string sql =
      columns.empty() ? "INSERT INTO " + Quoted(table) + " DEFAULT VALUES"
                      : "INSERT INTO " + Quoted(table) + " (" + names + ") VALUES (" + marks + ")";
  SqliteStatement statement(*this, sql.c_str(), true);
  for (std::size_t i = 0; i < values.size(); ++i)
    BindValue(statement.Handle(), static_cast<int>(i + 1), values[i]);
  statement.Step();
}

void SqliteConnection::UpdateRow(const RowKey& key, const std::vector<std::string>& columns,
                                 const std::vector<RawValue>& values) {
  std::string sql;
  for (std::size_t i = 0; i < columns.size(); ++i)
    sql += (i ? ", " : "") + Quoted(columns[i]) + " = ?";
  sql = "UPDATE " + Quoted(key.table) + " SET " + sql + " WHERE " + KeyCondition(key);
  SqliteStatement statement(*this, sql.c_str(), true);
  int parameter = 1;
  for (const RawValue& value : values) BindValue(statement.Handle(), parameter++, value);
  for (const RawValue& value : key.values) BindValue(statement.Handle(), parameter++, value);
  statement.Step();
}

Laufzeitfehler SqliteConnection::Error(int rc, const std::string& sql, bool writing) const {
  std::string message = db_ ? sqlite3_errmsg(db_) : "";
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      if (writing)
        return Laufzeitfehler(3260,
                              "Aktualisieren nicht möglich; momentan von einem anderen Benutzer "
                              "gesperrt.");
      return Laufzeitfehler(3218, "Lesen nicht möglich; momentan gesperrt.");
    case SQLITE_READONLY:
      return Laufzeitfehler(3027,
                            "Aktualisieren nicht möglich. Datenbank oder Objekt ist "
                            "schreibgeschützt.");
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Laufzeitfehler(3343, "Nicht erkennbares Datenbankformat '" + path_ + "'.");
    case SQLITE_FULL:
      return Laufzeitfehler(3035, "Der Datenträger oder die Datenbank '" + path_ + "' ist voll.");
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
      return Laufzeitfehler(3051, "Auf die Datei '" + path_ + "' kann nicht zugegriffen werden.");
    case SQLITE_CONSTRAINT:
      if (StartsWith(message, "NOT NULL"))
        return Laufzeitfehler(
            3314, "Das Feld '" + AfterColon(message) + "' darf keinen Nullwert enthalten.");
      if (StartsWith(message, "UNIQUE") || StartsWith(message, "PRIMARY KEY"))
        return Laufzeitfehler(3022,
                              "Die Änderungen wurden nicht durchgeführt, da sie doppelte Werte "
                              "im Feld '" +
                                  AfterColon(message) + "' erzeugen würden.");
      return Laufzeitfehler(3317, "Der Wert verletzt eine Gültigkeitsregel der Tabelle.");
    case SQLITE_ERROR:
      if (StartsWith(message, "no such table"))
        return Laufzeitfehler(3078, "Die Eingabetabelle oder Abfrage '" + AfterColon(message) +
                                        "' wurde nicht gefunden.");
      if (StartsWith(message, "no such column"))
        return Laufzeitfehler(
            3061, "Zu wenig Parameter. Unbekanntes Feld '" + AfterColon(message) + "'.");
      if (message.find("syntax error") != std::string::npos ||
          StartsWith(message, "incomplete input") || StartsWith(message, "unrecognized token"))
        return Laufzeitfehler(3075, "Syntaxfehler in der Abfrage '" + sql + "'.");
      if (StartsWith(message, "table") && message.find("already exists") != std::string::npos)
        return Laufzeitfehler(3010, "Die Tabelle ist bereits vorhanden.");
      break;
    default:
      break;
  }
  return Laufzeitfehler(3000, "Datenbankfehler bei '" + sql + "' (SQLite: " + message + ").");
}

void SqliteConnection::Raise(int rc, const std::string& sql, bool writing) {
  Connection::Raise(Error(rc, sql, writing), writing);
}

}  // namespace tarvo::dao
