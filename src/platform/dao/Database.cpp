#include "platform/dao/Database.h"

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

// Finds the table and key columns that make the rows editable; leaves `data` read-only when
// the columns do not all come from one table or its key is not among them.
void FindKey(Connection& connection, Recordset::Data& data) {
  std::string table;
  for (std::size_t i = 0; i < data.columns.size(); ++i) {
    const std::string& columnTable = data.columns[i].table;
    if (columnTable.empty()) return;
    if (i == 0)
      table = columnTable;
    else if (table != columnTable)
      return;
  }
  if (table.empty()) return;
  // New rows can go into the table; editing one needs its key among the columns.
  data.table = table;
  for (const std::string& keyName : connection.PrimaryKey(table)) {
    int found = -1;
    for (int i = 0; i < static_cast<int>(data.columns.size()); ++i)
      if (SameName(data.columns[i].origin, keyName)) found = i;
    if (found < 0) {
      data.keyColumns.clear();
      return;
    }
    data.keyColumns.push_back(found);
  }
}

}  // namespace

Database::Database(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

Database::~Database() = default;

const std::string& Database::Name() const {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  return connection_->Name();
}

std::shared_ptr<Recordset> Database::OpenRecordset(const std::string& sql, std::int16_t type,
                                                   const std::vector<Variant>& parameter) {
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
  std::vector<RawValue> werte;
  for (const Variant& wert : parameter) werte.push_back(FromVariant(wert, ColumnKind::Any));
  QueryResult result = connection_->Query(text, werte);
  data->columns = std::move(result.columns);
  data->rows = std::move(result.rows);
  if (type == dbOpenDynaset || type == dbOpenTable) FindKey(*connection_, *data);
  return std::make_shared<Recordset>(connection_, std::move(data));
}

void Database::Execute(const std::string& sql) {
  if (!connection_) throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
  connection_->Execute(sql);
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
