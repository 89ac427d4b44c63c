#include "platform/dao/Database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "platform/dao/Connection.h"
#include "platform/dao/RecordsetData.h"

namespace tarvo::dao {
namespace {

std::string Trimmed(const std::string& text) {
  auto begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  auto end = text.find_last_not_of(" \t\r\n;");
  return text.substr(begin, end + 1 - begin);
}

// A bare table name ("Version", "[Version]") opens the whole table.
bool IsTableName(const std::string& text, std::string& name) {
  if (text.empty()) return false;
  name = text;
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
    name = name.substr(1, name.size() - 2);
  for (unsigned char c : name)
    if (std::isspace(c) || c == '"' || c == '[' || c == ']' || c == '(' || c == ',' || c == '*')
      return false;
  return !name.empty();
}

// The columns of `table` that make up its primary key, in key order; empty without one.
std::vector<std::string> PrimaryKey(Connection& connection, const std::string& table) {
  std::vector<std::pair<int, std::string>> key;
  Statement statement(connection, "SELECT name, pk FROM pragma_table_info(?) WHERE pk > 0", false);
  sqlite3_bind_text(statement.Handle(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  while (statement.Step())
    key.emplace_back(sqlite3_column_int(statement.Handle(), 1),
                     reinterpret_cast<const char*>(sqlite3_column_text(statement.Handle(), 0)));
  std::sort(key.begin(), key.end());
  std::vector<std::string> names;
  for (auto& [order, name] : key) names.push_back(name);
  return names;
}

// Finds the table and key columns that make the rows editable; leaves `data` read-only when
// the columns do not all come from one table or its key is not among them.
void FindKey(Connection& connection, sqlite3_stmt* stmt, Recordset::Data& data) {
  std::string table;
  for (int i = 0; i < static_cast<int>(data.columns.size()); ++i) {
    const char* columnTable = sqlite3_column_table_name(stmt, i);
    const char* database = sqlite3_column_database_name(stmt, i);
    if (!columnTable || !database || std::string(database) != "main") return;
    if (i == 0)
      table = columnTable;
    else if (table != columnTable)
      return;
  }
  if (table.empty()) return;
  for (const std::string& keyName : PrimaryKey(connection, table)) {
    int found = -1;
    for (int i = 0; i < static_cast<int>(data.columns.size()); ++i)
      if (SameName(data.columns[i].origin, keyName)) found = i;
    if (found < 0) {
      data.keyColumns.clear();
      return;
    }
    data.keyColumns.push_back(found);
  }
  data.table = table;
}

}  // namespace

Database::Database(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

Database::~Database() = default;

const std::string& Database::Name() const {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  return connection_->Path();
}

std::shared_ptr<Recordset> Database::OpenRecordset(const std::string& sql, std::int16_t type) {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  if (type != dbOpenTable && type != dbOpenDynaset && type != dbOpenSnapshot &&
      type != dbOpenForwardOnly)
    throw Laufzeitfehler(3001, "Ungültiges Argument.");
  std::string text = Trimmed(sql);
  std::string table;
  if (IsTableName(text, table)) {
    std::string quoted = "\"";
    for (char c : table) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    text = "SELECT * FROM " + quoted + "\"";
  }
  auto data = std::make_unique<Recordset::Data>();
  data->sql = sql;
  Statement statement(*connection_, text.c_str(), false);
  if (statement.Empty() || !sqlite3_stmt_readonly(statement.Handle()))
    throw Laufzeitfehler(3219, "Ungültige Operation: '" + sql + "' liefert keine Datensätze.");
  sqlite3_stmt* stmt = statement.Handle();
  int count = sqlite3_column_count(stmt);
  if (count == 0)
    throw Laufzeitfehler(3219, "Ungültige Operation: '" + sql + "' liefert keine Datensätze.");
  for (int i = 0; i < count; ++i) {
    Column column;
    column.name = sqlite3_column_name(stmt, i);
    column.kind = KindOfDeclaredType(sqlite3_column_decltype(stmt, i));
    const char* origin = sqlite3_column_origin_name(stmt, i);
    column.origin = origin ? origin : "";
    data->columns.push_back(std::move(column));
  }
  if (type == dbOpenDynaset || type == dbOpenTable) FindKey(*connection_, stmt, *data);
  while (statement.Step()) {
    std::vector<RawValue> row;
    row.reserve(count);
    for (int i = 0; i < count; ++i) row.push_back(ReadColumn(stmt, i));
    data->rows.push_back(std::move(row));
  }
  return std::make_shared<Recordset>(connection_, std::move(data));
}

void Database::Execute(const std::string& sql) {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  const char* rest = sql.c_str();
  while (*rest) {
    Statement statement(*connection_, rest, true);
    if (!statement.Empty())
      while (statement.Step()) {
      }
    rest = statement.Rest();
  }
}

void Database::BeginTrans() {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  connection_->BeginOuter();
}

void Database::CommitTrans() {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  connection_->CommitOuter();
}

void Database::Rollback() noexcept {
  if (connection_) connection_->RollbackOuter();
}

std::optional<Laufzeitfehler> Database::TransactionError() const {
  if (!connection_ || !connection_->InOuter() || !connection_->Spoiled()) return std::nullopt;
  const auto& [number, description] = *connection_->Spoiled();
  return Laufzeitfehler(number, description);
}

void Database::Close() {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  connection_.reset();
}

}  // namespace tarvo::dao
