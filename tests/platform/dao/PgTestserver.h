// The tests' PostgreSQL server (started by the CTest fixture, tests/pg/pgserver.sh): where it
// listens, and fresh databases on it, one per test, dropped afterwards. Where the fixture found
// no server programs, Bereit() is false and says why; the tests that need it skip.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/dao/Database.h"
#include "platform/dao/Workspace.h"

namespace tarvo::dao::test {

inline std::filesystem::path PgOrdner() {
  return std::filesystem::path(TARVO_BINARY_DIR) / "pgtest";
}

// Whether the server runs; otherwise `warum` says why not.
inline bool PgBereit(std::string& warum) {
  const auto ordner = PgOrdner();
  if (std::filesystem::exists(ordner / "fehlt")) {
    std::ifstream datei(ordner / "fehlt");
    std::getline(datei, warum);
    return false;
  }
  if (!std::filesystem::exists(ordner / "pgpass")) {
    warum = "Der PostgreSQL-Testserver läuft nicht (CTest-Fixture PostgreSQL).";
    return false;
  }
  // The password, as an office keeps it: in a password file that libpq reads.
  ::setenv("PGPASSFILE", (ordner / "pgpass").c_str(), 1);
  return true;
}

// The connection string of database `name` on the test server, in libpq's key/value form.
inline std::string PgAdresse(const std::string& name) {
  return "host=" + PgOrdner().string() + " user=tarvo dbname=" + name;
}

// A fresh, empty database on the test server, dropped (with any connection still on it) when
// the object goes.
class PgDatenbank {
 public:
  PgDatenbank() {
    static std::atomic<int> zaehler{0};
    name_ = "t" + std::to_string(::getpid()) + "_" + std::to_string(++zaehler);
    Verwaltung()->Execute("CREATE DATABASE " + name_);
  }
  ~PgDatenbank() { Verwaltung()->Execute("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)"); }
  PgDatenbank(const PgDatenbank&) = delete;
  PgDatenbank& operator=(const PgDatenbank&) = delete;

  const std::string& Name() const { return name_; }
  std::string Adresse() const { return PgAdresse(name_); }
  // The URI form, with the password written into it.
  std::string AdresseMitKennwort() const {
    std::ifstream datei(PgOrdner() / "pgpass");
    std::string zeile;
    std::getline(datei, zeile);
    return "postgresql://tarvo:" + zeile.substr(zeile.rfind(':') + 1) + "@/" + name_ +
           "?host=" + PgOrdner().string();
  }
  static std::shared_ptr<Database> Verwaltung() {
    return Workspace().OpenDatabase(PgAdresse("postgres"));
  }

 private:
  std::string name_;
};

}  // namespace tarvo::dao::test
