// Test fixture support for the database layer: a fresh job database in a folder of its own,
// removed afterwards, and a way to learn the error number an operation throws.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/Database.h"
#include "platform/dao/JobSchema.h"
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

}  // namespace tarvo::dao::test
