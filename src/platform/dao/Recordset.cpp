#include "platform/dao/Recordset.h"

#include <exception>

#include "platform/dao/Connection.h"
#include "platform/dao/RecordsetData.h"

namespace tarvo::dao {
namespace {

Laufzeitfehler NoCurrentRecord() {
  return Laufzeitfehler(fehlernummer::KeinAktuellerDatensatz);
}

// The table row the current row of `data` is, by its primary key.
RowKey KeyOf(const Recordset::Data& data) {
  RowKey key;
  key.table = data.table;
  const auto& row = data.rows[data.position];
  for (int k : data.keyColumns) {
    key.columns.push_back(data.columns[k].origin);
    key.values.push_back(row[k]);
  }
  return key;
}

// Cancels an edit when the scope is left by an error (the trap catches it further up).
class EditGuard {
 public:
  explicit EditGuard(Recordset::Data& data, Connection& connection)
      : data_(data), connection_(connection) {}
  ~EditGuard() {
    if (armed_) {
      data_.editing = false;
      data_.adding = false;
      data_.assigned.assign(data_.columns.size(), std::nullopt);
      connection_.Rollback();
    }
  }
  void Dismiss() { armed_ = false; }

 private:
  Recordset::Data& data_;
  Connection& connection_;
  bool armed_ = true;
};

// Spoils the connection's outer transaction when the scope is left by an error.
class SpoilOnError {
 public:
  SpoilOnError(Connection& connection, std::string description)
      : connection_(connection), description_(std::move(description)) {}
  ~SpoilOnError() {
    if (std::uncaught_exceptions() > pending_) connection_.Spoil(3000, description_);
  }

 private:
  Connection& connection_;
  std::string description_;
  int pending_ = std::uncaught_exceptions();
};

}  // namespace

std::string Field::Name() const {
  if (!recordset_) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  recordset_->CheckOpen();
  return recordset_->data_->columns[column_].name;
}

Variant Field::Value() const {
  if (!recordset_) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  recordset_->CheckOpen();
  const auto& data = *recordset_->data_;
  const Column& column = data.columns[column_];
  if (data.editing && data.assigned[column_])
    return ToVariant(*data.assigned[column_], column.kind);
  if (data.adding) return Variant::Null();
  if (data.position < 0 || data.position >= static_cast<long>(data.rows.size()))
    throw NoCurrentRecord();
  return ToVariant(data.rows[data.position][column_], column.kind);
}

void Field::SetValue(const Variant& value) {
  if (!recordset_) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  recordset_->CheckOpen();
  auto& data = *recordset_->data_;
  if (!data.editing)
    throw Laufzeitfehler(3020, "Aktualisieren oder CancelUpdate ohne AddNew oder Edit.");
  // A value the column refuses leaves the row half assigned: a job's transaction is spoiled.
  SpoilOnError spoil(*recordset_->connection_,
                     "Das Feld »" + data.columns[column_].name + "« nimmt den Wert nicht an.");
  data.assigned[column_] = FromVariant(value, data.columns[column_].kind);
}

Recordset::Recordset(std::shared_ptr<Connection> connection, std::unique_ptr<Data> data)
    : connection_(std::move(connection)), data_(std::move(data)) {
  data_->assigned.assign(data_->columns.size(), std::nullopt);
}

Recordset::~Recordset() {
  Discard();
}

void Recordset::CheckOpen() const {
  if (!data_ || data_->closed)
    throw Laufzeitfehler(3420, "Objekt ist ungültig oder nicht mehr festgelegt.");
}

void Recordset::Discard() noexcept {
  if (data_ && data_->editing) {
    data_->editing = false;
    data_->adding = false;
    data_->assigned.assign(data_->columns.size(), std::nullopt);
    connection_->Release();
  }
}

Field Recordset::Fields(const std::string& name) {
  CheckOpen();
  for (std::size_t i = 0; i < data_->columns.size(); ++i)
    if (SameName(data_->columns[i].name, name))
      return Field(shared_from_this(), static_cast<int>(i));
  Laufzeitfehler error(fehlernummer::FeldNichtGefunden,
                       "Element '" + name + "' in dieser Auflistung nicht gefunden.");
  // A field missing from the row being edited leaves it half assigned.
  if (data_->editing) connection_->Spoil(error.Nummer(), error.Beschreibung());
  throw error;
}

Field Recordset::Fields(std::int16_t index) {
  CheckOpen();
  if (index < 0 || index >= static_cast<int>(data_->columns.size()))
    throw Laufzeitfehler(fehlernummer::FeldNichtGefunden);
  return Field(shared_from_this(), index);
}

std::int16_t Recordset::FieldCount() const {
  CheckOpen();
  return static_cast<std::int16_t>(data_->columns.size());
}

bool Recordset::BOF() const {
  CheckOpen();
  return data_->rows.empty() || data_->position < 0;
}

bool Recordset::EOF() const {
  CheckOpen();
  return data_->rows.empty() || data_->position >= static_cast<long>(data_->rows.size());
}

std::int32_t Recordset::RecordCount() const {
  CheckOpen();
  return static_cast<std::int32_t>(data_->rows.size());
}

void Recordset::MoveFirst() {
  CheckOpen();
  Discard();
  if (data_->rows.empty()) throw NoCurrentRecord();
  data_->position = 0;
}

void Recordset::MoveLast() {
  CheckOpen();
  Discard();
  if (data_->rows.empty()) throw NoCurrentRecord();
  data_->position = static_cast<long>(data_->rows.size()) - 1;
}

void Recordset::MoveNext() {
  CheckOpen();
  Discard();
  if (EOF()) throw NoCurrentRecord();
  ++data_->position;
}

void Recordset::MovePrevious() {
  CheckOpen();
  Discard();
  if (BOF()) throw NoCurrentRecord();
  --data_->position;
}

bool Recordset::Updatable() const {
  CheckOpen();
  return !data_->keyColumns.empty();
}

void Recordset::Edit() {
  CheckOpen();
  Discard();
  auto& data = *data_;
  if (BOF() || EOF()) throw NoCurrentRecord();
  if (data.keyColumns.empty())
    throw Laufzeitfehler(3027,
                         "Aktualisieren nicht möglich. Datenbank oder Objekt ist "
                         "schreibgeschützt.");
  connection_->Begin();
  data.editing = true;
  EditGuard guard(data, *connection_);

  // Re-read the row under the write lock: what was read at open may be stale by now.
  std::vector<std::string> columns;
  for (const Column& column : data.columns) columns.push_back(column.origin);
  auto current = connection_->LockRow(KeyOf(data), columns);
  if (!current) throw Laufzeitfehler(3167, "Der Datensatz ist gelöscht worden.");
  data.rows[data.position] = std::move(*current);
  guard.Dismiss();
}

void Recordset::AddNew() {
  CheckOpen();
  Discard();
  auto& data = *data_;
  if (data.table.empty())
    throw Laufzeitfehler(3027,
                         "Aktualisieren nicht möglich. Datenbank oder Objekt ist "
                         "schreibgeschützt.");
  connection_->Begin();
  data.editing = true;
  data.adding = true;
  data.assigned.assign(data.columns.size(), std::nullopt);
}

void Recordset::Update() {
  CheckOpen();
  auto& data = *data_;
  if (!data.editing)
    throw Laufzeitfehler(3020, "Aktualisieren oder CancelUpdate ohne AddNew oder Edit.");
  EditGuard guard(data, *connection_);
  std::vector<int> written;
  std::vector<std::string> columns;
  std::vector<RawValue> values;
  for (std::size_t i = 0; i < data.columns.size(); ++i) {
    if (!data.assigned[i]) continue;
    written.push_back(static_cast<int>(i));
    columns.push_back(data.columns[i].origin);
    values.push_back(*data.assigned[i]);
  }
  if (data.adding) {
    connection_->InsertRow(data.table, columns, values);
  } else if (!written.empty()) {
    connection_->UpdateRow(KeyOf(data), columns, values);
  }
  connection_->Commit();
  guard.Dismiss();
  if (data.adding) {
    data.rows.emplace_back(data.columns.size());
    for (int i : written) data.rows.back()[i] = *data.assigned[i];
    data.editing = data.adding = false;
    data.assigned.assign(data.columns.size(), std::nullopt);
    return;
  }
  auto& row = data.rows[data.position];
  for (int i : written) row[i] = *data.assigned[i];
  data.editing = false;
  data.assigned.assign(data.columns.size(), std::nullopt);
}

void Recordset::CancelUpdate() {
  CheckOpen();
  Discard();
}

std::int16_t Recordset::EditMode() const {
  CheckOpen();
  return data_->adding ? 2 : data_->editing ? 1 : 0;
}

void Recordset::Close() {
  CheckOpen();
  Discard();
  data_->closed = true;
  data_->rows.clear();
  connection_.reset();
}

}  // namespace tarvo::dao
