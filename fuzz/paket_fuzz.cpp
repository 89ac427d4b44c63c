// Any bytes as a .docx package: opening either refuses them with Laufzeitfehler or gives a
// package whose parts, content types and relationships can all be asked for.
#include <cstddef>
#include <cstdint>
#include <string>

#include "errors/Laufzeitfehler.h"
#include "platform/word/docx/Package.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
  using tarvo::word::docx::Package;
  try {
    Package paket =
        Package::FromBytes(std::string(reinterpret_cast<const char*>(daten), groesse), "x.docx");
    for (const std::string& name : paket.PartNames()) {
      if (!paket.HasPart(name)) continue;
      paket.ContentType(name);
      paket.PartBytes(name);
      paket.RelatedPart(name, tarvo::word::docx::kRelStyles);
    }
    std::string haupt = paket.TakePartBytes(paket.MainPartName());
    paket.PartBytes(paket.MainPartName());
    paket.AddRelationship(paket.MainPartName(), tarvo::word::docx::kRelComments,
                          "word/comments.xml");
  } catch (const tarvo::Laufzeitfehler&) {
  }
  return 0;
}
