// Database: one open job database (an SQLite file or a PostgreSQL database). It opens recordsets
// from SQL text, which runs unchanged, or from a bare table name, which stands for the whole table.
// The connection lives as long as the database or any recordset opened on it, so releasing the
// Database while a recordset is still in use is safe. Failures throw Laufzeitfehler with the
// old engine's numbers: 3078 unknown table, 3061 unknown field, 3075 syntax error, 3218 locked,
// 3420 after Close.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Variant.h"
#include "errors/Laufzeitfehler.h"

namespace tarvo::dao {

class Connection;
class Recordset;

// Recordset types of OpenRecordset.
constexpr std::int16_t dbOpenTable = 1;
constexpr std::int16_t dbOpenDynaset = 2;
constexpr std::int16_t dbOpenSnapshot = 4;
constexpr std::int16_t dbOpenForwardOnly = 8;

class Database : public Objekt {
 public:
  explicit Database(std::shared_ptr<Connection> connection);
  ~Database() override;

  // The path of the database file as it was opened, or the server connection string without
  // its password.
  const std::string& Name() const;

  // Runs a query (or, for a bare table name such as "Version", the whole table) and returns a
  // recordset positioned on its first row (BOF and EOF both true when there is none). A
  // dynaset (the default) or table recordset over the rows of one table with their primary key
  // can be edited; a snapshot, or a query joining tables or computing columns, is read-only.
  // Throws 3078, 3061, 3075, 3218, 3001 (unknown type), 3219 (a statement that returns no
  // rows, such as UPDATE: it is not run), 3420. Each "?" of the query takes the next of
  // `parameter` as a bound value, never as SQL text (3061 when their counts differ): values
  // from a record, a job or a person go in this way.
  std::shared_ptr<Recordset> OpenRecordset(const std::string& sql,
                                           std::int16_t type = dbOpenDynaset,
                                           const std::vector<Variant>& parameter = {});

  // Runs SQL statements that return no rows (several, separated by ";", are allowed). Throws as
  // OpenRecordset; a statement that fails leaves those before it done unless the text itself
  // wraps them in a transaction.
  void Execute(const std::string& sql);

  // The job's transaction: between BeginTrans and CommitTrans every edit of a recordset opened
  // on this database (Edit/Update) is held back; the first one takes the write lock, which is
  // kept until the end. An edit that fails meanwhile (a lock, a field missing or refusing its
  // value) spoils the transaction: CommitTrans then undoes every change and throws that first
  // error. CommitTrans also throws 3260 when the commit cannot get its lock: nothing is written
  // then and the transaction stays open with its edits, so that CommitTrans can be called
  // again (or Rollback). It throws 3034 without BeginTrans; BeginTrans throws 3003 when one is
  // already open. Rollback undoes every change since BeginTrans and never throws. Closing the
  // database or releasing the last reference to its connection rolls an open transaction back.
  void BeginTrans();
  void CommitTrans();
  void Rollback() noexcept;
  // The first error that spoiled the open job transaction (the one CommitTrans would throw);
  // none while it is sound or when none is open.
  std::optional<Laufzeitfehler> TransactionError() const;

  // Closes this reference to the database; recordsets opened on it stay usable until they are
  // closed. Further calls on this object throw 3420.
  void Close();

 private:
  std::shared_ptr<Connection> connection_;
};

}  // namespace tarvo::dao
