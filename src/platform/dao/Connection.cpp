#include "platform/dao/Connection.h"

#include "platform/dao/ServerAddress.h"
#include "platform/dao/postgres/PgConnection.h"
#include "platform/dao/sqlite/SqliteConnection.h"

namespace tarvo::dao {

std::shared_ptr<Connection> OpenConnection(const std::string& name,
                                           std::chrono::milliseconds lockTimeout) {
  if (IsServerAddress(name)) return std::make_shared<PgConnection>(name, lockTimeout);
  return std::make_shared<SqliteConnection>(name, lockTimeout);
}

std::shared_ptr<Connection> CreateConnection(const std::string& name,
                                             std::chrono::milliseconds lockTimeout) {
  if (IsServerAddress(name)) {
    auto connection = std::make_shared<PgConnection>(name, lockTimeout);
    if (connection->HasTables())
      throw Laufzeitfehler(3204, "Die Datenbank '" + connection->Name() +
                                     "' ist bereits vorhanden: sie enthält schon Tabellen.");
    return connection;
  }
  SqliteConnection::CreateFile(name);
  return std::make_shared<SqliteConnection>(name, lockTimeout);
}

void Connection::Begin() {
  if (!open_) {
    BeginWrite();
    open_ = true;
  }
  ++depth_;
}

void Connection::EndWrite() {
  if (auto error = CommitWrite()) {
    // A commit that failed leaves the transaction open: undo it, so that nothing half-done
    // survives and the caller learns that nothing was written.
    ++depth_;
    Rollback();
    Raise(*error, true);
  }
  open_ = false;
}

void Connection::Commit() {
  if (depth_ == 0) return;
  if (--depth_ > 0 || outer_) return;
  EndWrite();
}

void Connection::Rollback() noexcept {
  if (depth_ == 0 && !outer_ && !open_) return;
  // Inside a job, undoing one edit undoes the job's earlier writes too: the job is spoiled.
  if (outer_ && open_) Spoil(3000, "Die Änderungen an der Datenbank wurden zurückgenommen.");
  depth_ = 0;
  if (open_) RollbackWrite();
  open_ = false;
}

void Connection::Release() noexcept {
  if (depth_ == 0) return;
  if (--depth_ > 0 || outer_) return;
  if (CommitWrite()) {
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
  if (open_) {
    if (auto error = CommitWrite()) {
      // Forget nothing before the commit has succeeded: a refused commit can be tried again.
      if (WriteActive()) throw *error;
      RollbackOuter();
      throw *error;
    }
  }
  outer_ = false;
  depth_ = 0;
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

void Connection::Raise(const Laufzeitfehler& error, bool writing) {
  // A write that fails inside a job spoils it; the job learns why when it commits.
  if (writing) Spoil(error.Nummer(), error.Beschreibung());
  throw error;
}

}  // namespace tarvo::dao
