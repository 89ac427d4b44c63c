// The SQL the system writes, as SQLite accepts it, turned into PostgreSQL's: identifiers compare
// without regard to ASCII case however they are written ("Rechnung", Rechnung, [Rechnung] and
// `Rechnung` are one table), parameters "?" become "$1", "$2" …, TRUE and FALSE are 1 and 0,
// LIKE ignores case, IFNULL is COALESCE. In CREATE TABLE the declared types become the
// server's (INTEGER bigint, DOUBLE double precision, BOOLEAN the domain yesno over smallint,
// TEXT text, DATE date, DATETIME timestamp), and each column whose name has capitals gets the
// name as written as its comment, so that results can show it; an INTEGER PRIMARY KEY gives a
// new row without a key the highest key plus one, as SQLite does. Never fails: text it does not
// understand goes through as it stands, and the server judges it.
#pragma once

#include <string>

namespace tarvo::dao::postgres {

struct Translated {
  std::string sql;
  int parameters = 0;  // how many "?" there were
};

Translated Translate(const std::string& sql);

// Whether `sql` begins as a query that returns rows (SELECT, WITH, VALUES, TABLE, "(").
bool ReturnsRows(const std::string& sql);

// The domain BOOLEAN columns are made of.
inline constexpr const char* kBooleanDomain = "yesno";

}  // namespace tarvo::dao::postgres
