// Test fixture support for the database layer: a fresh job database in a folder of its own or
// on the test server, removed afterwards, the suites that run on both engines, and a way to
// learn the error number an operation throws.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
#include "platform/dao/PgTestserver.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"

namespace tarvo {
// Variants in failure messages as their type and text.
inline void PrintTo(const Variant& wert, std::ostream* aus) {
  static const char* typen[] = {"Empty",  "Null",   "Boolean", "Integer", "Long",
                                "Double", "String", "Date",    "Object"};
  *aus << typen[static_cast<int>(wert.Typ())];
  if (!wert.IstEmpty() && !wert.IstNull() && !wert.IstObjekt()) *aus << " " << CStr(wert);
}
}  // namespace tarvo

namespace tarvo::dao::test {

class TestOrdner {
 public:
  TestOrdner() {
    std::string muster = (std::filesystem::temp_directory_path() / "tarvo-dao-XXXXXX").string();
    pfad_ = ::mkdtemp(muster.data());
  }
  ~TestOrdner() {
    std::error_code fehler;
    std::filesystem::remove_all(pfad_, fehler);
  }
  std::string Datei(const std::string& name) const { return (pfad_ / name).string(); }

 private:
  std::filesystem::path pfad_;
};

// The error number `schritt` throws, or 0 when it succeeds.
inline int Fehlernummer(const std::function<void()>& schritt) {
  try {
    schritt();
  } catch (const Laufzeitfehler& fehler) {
    return fehler.Nummer();
  }
  return 0;
}

// A job database with the schema and, when asked, the example rows.
inline std::string NeueDatenbank(const TestOrdner& ordner, bool beispiel = true,
                                 const std::string& name = "auftrag.db") {
  std::string datei = ordner.Datei(name);
  Workspace ws;
  auto db = ws.CreateDatabase(datei);
  db->Execute(std::string(JobDatabaseSchema()));
  if (beispiel) db->Execute(std::string(JobDatabaseSample()));
  return datei;
}

enum class Maschine { SQLite, PostgreSQL };

inline void PrintTo(Maschine maschine, std::ostream* aus) {
  *aus << (maschine == Maschine::SQLite ? "SQLite" : "PostgreSQL");
}

inline std::string Maschinenname(const ::testing::TestParamInfo<Maschine>& info) {
  return info.param == Maschine::SQLite ? "SQLite" : "PostgreSQL";
}

// A job database with the schema and, when asked, the example rows: a file in a folder of its
// own, or a fresh database on the test server. Removed when the object goes.
class Testdatenbank {
 public:
  explicit Testdatenbank(Maschine maschine, bool beispiel = true) {
    if (maschine == Maschine::SQLite) {
      name_ = NeueDatenbank(ordner_, beispiel);
      return;
    }
    server_.emplace();
    name_ = server_->Adresse();
    auto db = Workspace().CreateDatabase(name_);
    db->Execute(std::string(JobDatabaseSchema()));
    if (beispiel) db->Execute(std::string(JobDatabaseSample()));
  }
  // The name to open it by: the file's path or the server's connection string.
  const std::string& Name() const { return name_; }
  const TestOrdner& Ordner() const { return ordner_; }
  const std::optional<PgDatenbank>& Server() const { return server_; }

 private:
  TestOrdner ordner_;
  std::optional<PgDatenbank> server_;
  std::string name_;
};

// A suite that runs on both engines. PostgreSQL's cases are skipped, saying why, where the
// test server is missing; a fixture's SetUp calls this one first and returns when skipped.
class BeideMaschinen : public ::testing::TestWithParam<Maschine> {
 protected:
  void SetUp() override {
    std::string warum;
    if (GetParam() == Maschine::PostgreSQL && !PgBereit(warum)) GTEST_SKIP() << warum;
  }
};

}  // namespace tarvo::dao::test
