// The SQL of the job database, built into the program from data/schema.sql and
// data/beispiel.sql at build time: the host's tables (TempDoc, Rechnung, Termine, Version) and
// an example user, invoice and appointment. Both texts are run with Database::Execute.
#pragma once

#include <string_view>

namespace tarvo::dao {

// CREATE TABLE statements of the job database, in one transaction.
std::string_view JobDatabaseSchema();
// The example rows (one user's settings, one invoice, its appointment, the terms text).
std::string_view JobDatabaseSample();

}  // namespace tarvo::dao
