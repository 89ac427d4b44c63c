// The inside of a Recordset: its columns, the rows read when it was opened, the cursor and the
// edit buffer. Internal to the database layer; Database fills it, Recordset works on it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/dao/ColumnType.h"
#include "platform/dao/Connection.h"
#include "platform/dao/Recordset.h"

namespace tarvo::dao {

using Column = ResultColumn;

struct Recordset::Data {
  std::string sql;
  std::vector<Column> columns;
  std::vector<std::vector<RawValue>> rows;
  long position = 0;  // -1 before the first row (BOF), rows.size() after the last (EOF)
  // Editing: the table and the result columns that hold its primary key; empty when read-only.
  std::string table;
  std::vector<int> keyColumns;
  bool editing = false;
  bool adding = false;  // the edit is a new row (AddNew)
  std::vector<std::optional<RawValue>> assigned;
  bool closed = false;
};

}  // namespace tarvo::dao
