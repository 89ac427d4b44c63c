// Recordset and Field: the rows of one query, read into memory when the recordset is opened,
// with a current-row cursor. Field values come back as Variants by the column's declared type
// (integers Long, floating point Double, text String, BOOLEAN/BIT/YESNO Boolean, DATE/DATETIME
// Date, SQL NULL Null). A recordset over the rows of one table with its primary key can be
// edited: Edit locks the database for writing and re-reads the current row, assignments are
// converted by the declared type (a Double into an integer column rounds half to even), Update
// writes them back and commits in the same transaction. Dates are stored as ISO text
// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"; a number in a date column is read as the old serial
// date (days since 30 December 1899). Errors: 3021 no current record, 3265 unknown field,
// 3020 Update without Edit, 3027 read-only, 3167 row deleted meanwhile, 3260 locked by another
// process, 3420 closed, 13/6 for a value the column cannot take.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "common/Variant.h"

// The C library's EOF macro would swallow Recordset::EOF. It is included above and dropped
// here; code that needs the end-of-file constant uses std::char_traits<char>::eof().
#undef EOF

namespace tarvo::dao {

class Connection;
class Recordset;

// A handle to one column of a recordset; cheap to copy. Value and assignment act on the
// recordset's current row. A default-constructed Field throws 91.
class Field {
 public:
  Field() = default;

  // The column name as the query returns it.
  std::string Name() const;
  // The current row's value (or, while editing, the value assigned so far). Throws 3021 without
  // a current record, 13 when the stored value does not fit the declared type.
  Variant Value() const;
  // Assigns a value to the current row; only between Edit and Update (else 3020). Converts by
  // the declared type at once, so a value the column cannot take throws here (13, or 6 for a
  // number out of range); Null and Empty store NULL.
  void SetValue(const Variant& value);
  Field& operator=(const Variant& value) {
    SetValue(value);
    return *this;
  }
  operator Variant() const { return Value(); }

 private:
  friend class Recordset;
  Field(std::shared_ptr<Recordset> recordset, int column)
      : recordset_(std::move(recordset)), column_(column) {}
  std::shared_ptr<Recordset> recordset_;
  int column_ = -1;
};

class Recordset : public Objekt, public std::enable_shared_from_this<Recordset> {
 public:
  struct Data;
  Recordset(std::shared_ptr<Connection> connection, std::unique_ptr<Data> data);
  ~Recordset() override;  // an edit not yet updated is cancelled

  // The column named `name`, compared case-insensitively (umlauts included). Throws 3265.
  Field Fields(const std::string& name);
  // The column at `index` (0-based). Throws 3265.
  Field Fields(std::int16_t index);
  std::int16_t FieldCount() const;

  bool BOF() const;
  bool EOF() const;
  // Number of rows of the query (all are read when the recordset opens).
  std::int32_t RecordCount() const;
  // Moving cancels an edit not yet updated. MoveFirst/MoveLast throw 3021 on an empty
  // recordset; MoveNext at EOF and MovePrevious at BOF throw 3021.
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();

  // Whether the recordset can be edited (single table, primary key selected, not a snapshot).
  bool Updatable() const;
  // Starts editing the current row: takes the write lock (waiting up to the workspace's busy
  // timeout, then 3260) and re-reads the row, so what Update writes rests on current data.
  // Throws 3021 without a current record, 3027 when not updatable, 3167 when the row has been
  // deleted by someone else meanwhile.
  void Edit();
  // Starts a new row of the recordset's table: fields read Null until assigned; Update adds
  // it (the current row stays where it was, the new row is appended to the recordset). Throws
  // 3027 when the recordset is no dynaset or table recordset over one table.
  void AddNew();
  // Writes the assigned fields of the row being edited (or added) and commits. Throws 3020 without
  // Edit, 3260 when the commit cannot get its lock (nothing is written then), 3022/3314 for values
  // the table refuses. After a failed Update the edit is cancelled.
  void Update();
  // Drops the assignments and releases the write lock; does nothing when not editing.
  void CancelUpdate();
  // 1 while editing (dbEditInProgress), 2 while adding (dbEditAdd), 0 otherwise.
  std::int16_t EditMode() const;

  // Releases the rows and the connection; further calls throw 3420. Cancels an open edit.
  void Close();

 private:
  friend class Field;
  void CheckOpen() const;
  void Discard() noexcept;
  std::shared_ptr<Connection> connection_;
  std::unique_ptr<Data> data_;
};

}  // namespace tarvo::dao
