#include "platform/dao/Connection.h"

#include <sqlite3.h>

#include <filesystem>
#include <string_view>
#include <system_error>

#include "errors/Laufzeitfehler.h"

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

}  // namespace

Connection::Connection(const std::string& path, std::chrono::milliseconds busyTimeout)
    : path_(path) {
  std::error_code error;
  auto status = std::filesystem::status(std::filesystem::path(path), error);
  if (path.empty() || !std::filesystem::exists(status))
    throw Laufzeitfehler(3024, "Datei '" + path + "' nicht gefunden.");
  if (std::filesystem::is_directory(status))
    throw Laufzeitfehler(
        3051, "Die Datei '" + path + "' kann nicht geöffnet werden: " + "es ist ein Ordner.");
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

Connection::~Connection() {
  Rollback();
  sqlite3_close_v2(db_);
}

void Connection::Begin() {
  if (!open_) {
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Raise(rc, "BEGIN IMMEDIATE", true);
    open_ = true;
  }
  ++depth_;
}

void Connection::Commit() {
  if (depth_ == 0) return;
  if (--depth_ > 0 || outer_) return;
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    // A commit that could not get its lock leaves the transaction open: undo it, so that
    // nothing half-done survives and the caller learns that nothing was written.
    ++depth_;
    Rollback();
    Raise(rc, "COMMIT", true);
  }
  open_ = false;
}

void Connection::Rollback() noexcept {
  if (depth_ == 0 && !outer_ && !open_) return;
  // Inside a job, undoing one edit undoes the job's earlier writes too: the job is spoiled.
  if (outer_ && open_) Spoil(3000, "Die Änderungen an der Datenbank wurden zurückgenommen.");
  depth_ = 0;
  if (open_ && !sqlite3_get_autocommit(db_))
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  open_ = false;
}

void Connection::Release() noexcept {
  if (depth_ == 0) return;
  if (--depth_ > 0 || outer_) return;
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    ++depth_;
    Rollback();
  }
  open_ = false;
}

void Connection::BeginOuter() {
  if (outer_ || depth_ > 0)
    throw Laufzeitfehler(3003, "Es kann keine weitere Transaktion begonnen werden.");
  outer_ = true;
  spoiled_.reset();
}

void Connection::CommitOuter() {
  if (!outer_)
    throw Laufzeitfehler(3034, "Sie haben versucht, eine Transaktion ohne BeginTrans zu beenden.");
  if (spoiled_) {
    auto [number, description] = *spoiled_;
    RollbackOuter();
    throw Laufzeitfehler(number, description);
  }
  outer_ = false;
  depth_ = 0;
  if (!open_) return;
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    Rollback();
    Raise(rc, "COMMIT", true);
  }
  open_ = false;
}

void Connection::RollbackOuter() noexcept {
  Rollback();
  outer_ = false;
  spoiled_.reset();
}

void Connection::Spoil(std::int32_t number, const std::string& description) noexcept {
  if (outer_ && !spoiled_) spoiled_.emplace(number, description);
}

Laufzeitfehler Connection::Error(int rc, const std::string& sql, bool writing) const {
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

void Connection::Raise(int rc, const std::string& sql, bool writing) {
  Laufzeitfehler error = Error(rc, sql, writing);
  // A write that fails inside a job spoils it; the job learns why when it commits.
  if (writing) Spoil(error.Nummer(), error.Beschreibung());
  throw error;
}

Statement::Statement(Connection& connection, const char* sql, bool writing)
    : connection_(connection), sql_(sql), writing_(writing) {
  int rc = sqlite3_prepare_v2(connection_.Handle(), sql, -1, &stmt_, &rest_);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    connection_.Raise(rc, sql_, writing_);
  }
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  connection_.Raise(rc, sql_, writing_);
}

}  // namespace tarvo::dao
