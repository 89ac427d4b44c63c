// Any text as a job file: reading either refuses it with Laufzeitfehler or gives a job.
#include <cstddef>
#include <cstdint>
#include <string>

#include "auftrag/AuftragDatei.h"
#include "errors/Laufzeitfehler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
  try {
    tarvo::auftrag::AuftragAusText(std::string(reinterpret_cast<const char*>(daten), groesse),
                                   "/auftraege", "Auftrag.json");
  } catch (const tarvo::Laufzeitfehler&) {
  }
  return 0;
}
