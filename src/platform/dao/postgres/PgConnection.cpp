#include "platform/dao/postgres/PgConnection.h"

#include <libpq-fe.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/dao/ServerAddress.h"
#include "platform/dao/postgres/PgDialect.h"

namespace tarvo::dao {
namespace {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// Type numbers of the server's built-in types, as its catalog fixes them.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700, kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184;

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

std::string FirstLine(const char* message) {
  std::string text = message ? message : "";
  std::size_t end = text.find('\n');
  return end == std::string::npos ? text : text.substr(0, end);
}

std::string Quoted(const std::string& name) {
  std::string result = "\"";
  for (char c : name) {
    if (c == '"') result += '"';
    result += c;
  }
  return result + "\"";
}

// The text between the first pair of double quotes of a server message ("relation \"x\" does
// not exist" gives x).
std::string NameInMessage(const char* message) {
  std::string text = message ? message : "";
  std::size_t open = text.find('"');
  std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
  return close == std::string::npos ? text : text.substr(open + 1, close - open - 1);
}

// `name` as `sql` writes it: the server folds unquoted names to lower case (ASCII letters only,
// so the spelling keeps its length).
std::string AsWritten(const std::string& sql, const std::string& name) {
  auto lower = [](std::string text) {
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
  };
  const std::size_t at = lower(sql).find(lower(name));
  return at == std::string::npos || name.empty() ? name : sql.substr(at, name.size());
}

std::string ParameterText(const RawValue& value) {
  switch (value.storage) {
    case RawValue::Storage::Integer:
      return std::to_string(value.integer);
    case RawValue::Storage::Real: {
      if (std::isnan(value.real)) return "NaN";
      if (std::isinf(value.real)) return value.real > 0 ? "Infinity" : "-Infinity";
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.17g", value.real);
      return buffer;
    }
    default:
      return value.text;
  }
}

// One value of a result as SQLite would hold it: integers and floating point by the column's
// type on the server, everything else as its text.
RawValue ReadValue(PGresult* result, int row, int column) {
  RawValue raw;
  if (PQgetisnull(result, row, column)) return raw;
  const char* text = PQgetvalue(result, row, column);
  switch (PQftype(result, column)) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      raw.storage = RawValue::Storage::Integer;
      raw.integer = std::strtoll(text, nullptr, 10);
      return raw;
    case kBool:
      raw.storage = RawValue::Storage::Integer;
      raw.integer = text[0] == 't' ? 1 : 0;
      return raw;
    case kNumeric:
      // A whole number stays an integer, as SQLite keeps it in a NUMERIC column.
      if (std::string(text).find_first_of(".eE") == std::string::npos &&
          std::string(text).size() < 19) {
        raw.storage = RawValue::Storage::Integer;
        raw.integer = std::strtoll(text, nullptr, 10);
        return raw;
      }
      [[fallthrough]];
    case kFloat4:
    case kFloat8:
      raw.storage = RawValue::Storage::Real;
      raw.real = std::strtod(text, nullptr);
      return raw;
    default:
      raw.storage = RawValue::Storage::Text;
      raw.text.assign(text, PQgetlength(result, row, column));
      return raw;
  }
}

void IgnoreNotice(void*, const char*) {}

}  // namespace

PgConnection::PgConnection(const std::string& address, std::chrono::milliseconds lockTimeout)
    : name_(WithoutPassword(address)) {
  // The string's own settings override the defaults before it; the encoding is always UTF-8.
  const char* keywords[] = {"connect_timeout", "application_name", "dbname", "client_encoding",
                            nullptr};
  const char* values[] = {"10", "tarvo", address.c_str(), "UTF8", nullptr};
  conn_ = PQconnectdbParams(keywords, values, 1);
  if (!conn_) throw Laufzeitfehler(7, "Kein Speicher für die Verbindung zur Datenbank.");
  if (PQstatus(conn_) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(conn_);
    PQfinish(conn_);
    conn_ = nullptr;
    if (Contains(message, "authentication failed") || Contains(message, "no password supplied") ||
        (Contains(message, "role") && Contains(message, "does not exist")) ||
        Contains(message, "Authentifizierung") || Contains(message, "kein Passwort"))
      throw Laufzeitfehler(3029, "Die Anmeldung an der Datenbank »" + name_ +
                                     "« ist fehlgeschlagen: Benutzername oder Kennwort ungültig.");
    if ((Contains(message, "database") || Contains(message, "Datenbank")) &&
        (Contains(message, "does not exist") || Contains(message, "existiert nicht")))
      throw Laufzeitfehler(3024, "Die Datenbank »" + name_ + "« gibt es auf dem Server nicht.");
    throw Laufzeitfehler(
        3151, "Keine Verbindung zur Datenbank »" + name_ + "«: " + FirstLine(message.c_str()));
  }
  PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
  const std::string settings = "SET lock_timeout = " + std::to_string(lockTimeout.count()) +
                               "; SET DateStyle = ISO, YMD; SET extra_float_digits = 3; "
                               "SET client_min_messages = warning";
  Result result(PQexec(conn_, settings.c_str()), &PQclear);
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
    Laufzeitfehler error = Error(result.get(), "SET", false);
    PQfinish(conn_);
    conn_ = nullptr;
    throw error;
  }
}

PgConnection::~PgConnection() {
  Rollback();
  PQfinish(conn_);
}

bool PgConnection::Broken() const {
  return PQstatus(conn_) != CONNECTION_OK;
}

Laufzeitfehler PgConnection::Lost() const {
  return Laufzeitfehler(3043, "Datenträger- oder Netzwerkfehler: Die Verbindung zur Datenbank »" +
                                  name_ + "« ist abgebrochen.");
}

PGresult* PgConnection::RunOnce(const std::string& sql, const Parameters& parameters) {
  std::vector<std::string> texts;
  texts.reserve(parameters.size());
  std::vector<const char*> values;
  for (const RawValue* value : parameters) {
    if (value->storage == RawValue::Storage::Null) {
      texts.emplace_back();
      values.push_back(nullptr);
    } else {
      texts.push_back(ParameterText(*value));
      values.push_back(texts.back().c_str());
    }
  }
  // Text pointers stay valid: `texts` was reserved and is not grown again.
  return PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                      nullptr, nullptr, 0);
}

PGresult* PgConnection::Run(const std::string& sql, const Parameters& parameters,
                            const std::string& shown, bool writing) {
  return Guarded([&] { return RunOnce(sql, parameters); }, shown, writing);
}

PGresult* PgConnection::Guarded(const std::function<PGresult*()>& step, const std::string& shown,
                                bool writing) {
  if (Broken()) Raise(Lost(), writing);
  // A read that fails inside a write transaction would abort it on the server; the savepoint
  // keeps the failure to the read, as it is on SQLite.
  const bool guarded = !writing && WriteOpen();
  if (guarded) PQclear(PQexec(conn_, "SAVEPOINT tarvo_lesen"));
  PGresult* result = step();
  const auto status = PQresultStatus(result);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY) {
    if (guarded) PQclear(PQexec(conn_, "RELEASE SAVEPOINT tarvo_lesen"));
    return result;
  }
  Laufzeitfehler error = Error(result, shown, writing);
  PQclear(result);
  if (guarded && !Broken()) PQclear(PQexec(conn_, "ROLLBACK TO SAVEPOINT tarvo_lesen"));
  Raise(error, writing);
}

QueryResult PgConnection::Query(const std::string& sql, const std::vector<RawValue>& values) {
  const postgres::Translated translated = postgres::Translate(sql);
  if (translated.parameters != static_cast<int>(values.size()))
    throw Laufzeitfehler(3061, "Falsche Anzahl an Parametern. Erwartet: " +
                                   std::to_string(translated.parameters) + ".");
  Parameters parameters;
  for (const RawValue& value : values) parameters.push_back(&value);
  if (!postgres::ReturnsRows(sql)) {
    // Only parsed, never run: a statement that is no query is refused, one that is no SQL
    // gets its syntax error.
    PQclear(Guarded([&] { return PQprepare(conn_, "", translated.sql.c_str(), 0, nullptr); }, sql,
                    false));
    throw Laufzeitfehler(3219, "Ungültige Operation: '" + sql + "' liefert keine Datensätze.");
  }
  Result result(Run(translated.sql, parameters, sql, false), &PQclear);
  if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
    throw Laufzeitfehler(3219, "Ungültige Operation: '" + sql + "' liefert keine Datensätze.");
  QueryResult query;
  const int count = PQnfields(result.get());
  for (int i = 0; i < count; ++i) {
    ResultColumn column;
    column.name = PQfname(result.get(), i);
    const Oid table = PQftable(result.get(), i);
    const int number = PQftablecol(result.get(), i);
    if (table != InvalidOid && number > 0) {
      const Table& info = TableInfo(table);
      auto found = info.columns.find(number);
      if (found != info.columns.end()) {
        // A column selected under its own name shows it as the schema wrote it.
        if (column.name == found->second && info.written.count(number))
          column.name = info.written.at(number);
        column.origin = found->second;
        column.kind = info.kinds.at(number);
        column.table = info.name;
      }
    }
    // A computed column has no declared type, but one that selects a date or a flag (through
    // a subquery) reads as one, as SQLite keeps the type of the column it selects.
    const Oid type = PQftype(result.get(), i);
    if (column.table.empty() && (type == kDate || type == kTimestamp || type == kTimestampTz))
      column.kind = ColumnKind::Date;
    else if (column.table.empty() && type == kBool)
      column.kind = ColumnKind::Boolean;
    query.columns.push_back(std::move(column));
  }
  const int rows = PQntuples(result.get());
  query.rows.reserve(rows);
  for (int r = 0; r < rows; ++r) {
    std::vector<RawValue> row;
    row.reserve(count);
    for (int i = 0; i < count; ++i) row.push_back(ReadValue(result.get(), r, i));
    query.rows.push_back(std::move(row));
  }
  return query;
}

void PgConnection::Execute(const std::string& sql) {
  if (Broken()) Raise(Lost(), true);
  // Several statements without parameters: the simple protocol runs them in order.
  Result result(PQexec(conn_, postgres::Translate(sql).sql.c_str()), &PQclear);
  const auto status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
    Raise(Error(result.get(), sql, true), true);
}

const PgConnection::Table& PgConnection::TableInfo(unsigned int oid) {
  auto cached = tables_.find(oid);
  if (cached != tables_.end()) return cached->second;
  RawValue parameter;
  parameter.storage = RawValue::Storage::Integer;
  parameter.integer = oid;
  Result result(
      Run("SELECT c.relname, a.attnum, a.attname, format_type(a.atttypid, a.atttypmod), "
          "col_description(c.oid, a.attnum), "
          "coalesce((SELECT k.n FROM unnest(i.indkey) WITH ORDINALITY k(attnum, n) "
          "WHERE k.attnum = a.attnum), 0) "
          "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
          "LEFT JOIN pg_catalog.pg_index i ON i.indrelid = c.oid AND i.indisprimary "
          "WHERE c.oid = $1 AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
          {&parameter}, "pg_attribute", false),
      &PQclear);
  Table table;
  std::map<int, std::string> key;
  for (int r = 0; r < PQntuples(result.get()); ++r) {
    table.name = PQgetvalue(result.get(), r, 0);
    const int attnum = std::atoi(PQgetvalue(result.get(), r, 1));
    const std::string name = PQgetvalue(result.get(), r, 2);
    table.columns[attnum] = name;
    table.kinds[attnum] = KindOfDeclaredType(PQgetvalue(result.get(), r, 3));
    if (!PQgetisnull(result.get(), r, 4)) {
      // The comment names the column as the schema wrote it, when that is this very column.
      const std::string written = PQgetvalue(result.get(), r, 4);
      if (SameName(written, name)) table.written[attnum] = written;
    }
    const int position = std::atoi(PQgetvalue(result.get(), r, 5));
    if (position > 0) key[position] = name;
  }
  for (auto& [position, name] : key) table.key.push_back(name);
  tableOids_[table.name] = oid;
  return tables_.emplace(oid, std::move(table)).first->second;
}

std::vector<std::string> PgConnection::PrimaryKey(const std::string& table) {
  auto oid = tableOids_.find(table);
  if (oid == tableOids_.end()) {
    RawValue name;
    name.storage = RawValue::Storage::Text;
    name.text = Quoted(table);
    Result result(Run("SELECT $1::regclass::oid", {&name}, table, false), &PQclear);
    return TableInfo(
               static_cast<unsigned int>(std::strtoul(PQgetvalue(result.get(), 0, 0), nullptr, 10)))
        .key;
  }
  return TableInfo(oid->second).key;
}

namespace {

std::string KeyCondition(const RowKey& key, int first) {
  std::string sql;
  for (std::size_t k = 0; k < key.columns.size(); ++k)
    sql += (k ? " AND " : "") + Quoted(key.columns[k]) + " = $" + std::to_string(first + k);
  return sql;
}

}  // namespace

std::optional<std::vector<RawValue>> PgConnection::LockRow(
    const RowKey& key, const std::vector<std::string>& columns) {
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i) sql += (i ? ", " : "") + Quoted(columns[i]);
  sql += " FROM " + Quoted(key.table) + " WHERE " + KeyCondition(key, 1) + " FOR UPDATE";
  Parameters parameters;
  for (const RawValue& value : key.values) parameters.push_back(&value);
  Result result(Run(sql, parameters, sql, true), &PQclear);
  if (PQntuples(result.get()) == 0) return std::nullopt;
  std::vector<RawValue> row;
  for (int i = 0; i < PQnfields(result.get()); ++i) row.push_back(ReadValue(result.get(), 0, i));
  return row;
}

void PgConnection::InsertRow(const std::string& table, const std::vector<std::string>& columns,
                             const std::vector<RawValue>& values) {
  std::string names, marks;
  Parameters parameters;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    names += (i ? ", " : "") + Quoted(columns[i]);
    marks += (i ? ", $" : "$") + std::to_string(i + 1);
    parameters.push_back(&values[i]);
  }
  const std::string sql =
      columns.empty() ? "INSERT INTO " + Quoted(table) + " DEFAULT VALUES"
                      : "INSERT INTO " + Quoted(table) + " (" + names + ") VALUES (" + marks + ")";
  PQclear(Run(sql, parameters, sql, true));
}

void PgConnection::UpdateRow(const RowKey& key, const std::vector<std::string>& columns,
                             const std::vector<RawValue>& values) {
  std::string sql;
  Parameters parameters;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    sql += (i ? ", " : "") + Quoted(columns[i]) + " = $" + std::to_string(i + 1);
    parameters.push_back(&values[i]);
  }
  sql = "UPDATE " + Quoted(key.table) + " SET " + sql + " WHERE " +
        KeyCondition(key, static_cast<int>(columns.size()) + 1);
  for (const RawValue& value : key.values) parameters.push_back(&value);
  PQclear(Run(sql, parameters, sql, true));
}

bool PgConnection::HasTables() {
  Result result(Run("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = "
                    "current_schema()",
                    {}, "pg_tables", false),
                &PQclear);
  return std::atoll(PQgetvalue(result.get(), 0, 0)) > 0;
}

bool PgConnection::TryLock(const std::string& key) {
  RawValue name;
  name.storage = RawValue::Storage::Text;
  name.text = key;
  Result result(Run("SELECT pg_try_advisory_lock(hashtextextended($1, 0))", {&name}, key, false),
                &PQclear);
  return PQgetvalue(result.get(), 0, 0)[0] == 't';
}

void PgConnection::BeginWrite() {
  PQclear(Run("BEGIN", {}, "BEGIN", true));
}

std::optional<Laufzeitfehler> PgConnection::CommitWrite() noexcept {
  if (Broken()) return Lost();
  Result result(PQexec(conn_, "COMMIT"), &PQclear);
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
    // Cut off without the server's word, the commit may or may not have happened.
    if (Broken() && !PQresultErrorField(result.get(), PG_DIAG_SQLSTATE))
      return Laufzeitfehler(
          3043, "Datenträger- oder Netzwerkfehler: Die Verbindung zur Datenbank »" + name_ +
                    "« brach beim Speichern ab; ob die Änderung "
                    "gespeichert wurde, ist ungewiss.");
    return Error(result.get(), "COMMIT", true);
  }
  // A transaction the server had already aborted ends in a rollback, not a commit.
  if (std::string(PQcmdStatus(result.get())) != "COMMIT")
    return Laufzeitfehler(3000, "Die Änderungen an der Datenbank wurden zurückgenommen.");
  return std::nullopt;
}

bool PgConnection::WriteActive() const noexcept {
  // An aborted transaction (PQTRANS_INERROR) can only be rolled back.
  return !Broken() && PQtransactionStatus(conn_) == PQTRANS_INTRANS;
}

void PgConnection::RollbackWrite() noexcept {
  if (!Broken()) PQclear(PQexec(conn_, "ROLLBACK"));
}

Laufzeitfehler PgConnection::Error(PGresult* result, const std::string& sql, bool writing) const {
  if (Broken()) return Lost();
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const std::string code = state ? state : "";
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  const std::string message = primary ? primary : FirstLine(PQerrorMessage(conn_));
  if (code == "55P03" || code == "40P01" || code == "40001" || code == "57014") {
    if (writing)
      return Laufzeitfehler(3260,
                            "Aktualisieren nicht möglich; momentan von einem anderen Benutzer "
                            "gesperrt.");
    return Laufzeitfehler(3218, "Lesen nicht möglich; momentan gesperrt.");
  }
  if (code.rfind("08", 0) == 0 || code == "57P01" || code == "57P02" || code == "57P03")
    return Lost();
  if (code == "42P01")
    return Laufzeitfehler(3078, "Die Eingabetabelle oder Abfrage '" +
                                    AsWritten(sql, NameInMessage(primary)) +
                                    "' wurde nicht gefunden.");
  if (code == "42703")
    return Laufzeitfehler(3061, "Zu wenig Parameter. Unbekanntes Feld '" +
                                    AsWritten(sql, NameInMessage(primary)) + "'.");
  if (code == "42601") return Laufzeitfehler(3075, "Syntaxfehler in der Abfrage '" + sql + "'.");
  if (code == "42P07") return Laufzeitfehler(3010, "Die Tabelle ist bereits vorhanden.");
  if (code == "23502") {
    const char* column = PQresultErrorField(result, PG_DIAG_COLUMN_NAME);
    return Laufzeitfehler(3314, "Das Feld '" + std::string(column ? column : "") +
                                    "' darf keinen Nullwert enthalten.");
  }
  if (code == "23505")
    return Laufzeitfehler(3022,
                          "Die Änderungen wurden nicht durchgeführt, da sie doppelte Werte im "
                          "Feld '" +
                              NameInMessage(primary) + "' erzeugen würden.");
  if (code.rfind("23", 0) == 0)
    return Laufzeitfehler(3317, "Der Wert verletzt eine Gültigkeitsregel der Tabelle.");
  if (code == "25006" || code == "42501")
    return Laufzeitfehler(3027,
                          "Aktualisieren nicht möglich. Datenbank oder Objekt ist "
                          "schreibgeschützt.");
  if (code == "53100")
    return Laufzeitfehler(3035, "Der Datenträger oder die Datenbank '" + name_ + "' ist voll.");
  return Laufzeitfehler(3000, "Datenbankfehler bei '" + sql + "' (PostgreSQL: " + message + ").");
}

}  // namespace tarvo::dao
