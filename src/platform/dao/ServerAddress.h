// How a database is named: a PostgreSQL connection string (a URI "postgresql://…" or
// "postgres://…", or libpq's "key=value …" form) names a database on a server, anything else a
// database file. The helpers here read such a string without connecting; they never fail.
#pragma once

#include <string>

namespace tarvo::dao {

// Whether `name` is a PostgreSQL connection string rather than a file path. A key/value string
// must begin with one of libpq's keywords ("host=", "dbname=", "service=" …).
bool IsServerAddress(const std::string& name);

// `name` with any password taken out (the URI's "user:password@", "password=" in the query or
// the key/value form), fit for messages, logs and reports. File paths come back unchanged.
std::string WithoutPassword(const std::string& name);

// The password `name` carries, empty when none.
std::string PasswordOf(const std::string& name);

// For a server address that carries a password: hands the password to libpq through its
// environment (PGPASSWORD, for this process and what it starts) and returns the address
// without it, so that the address may be shown anywhere. Anything else comes back unchanged.
std::string PasswordToEnvironment(const std::string& name);

}  // namespace tarvo::dao
