// The inside of a Package, shared by its reading, editing and saving units. Not part of the
// document model's interface: include Package.h instead.
#pragma once

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "errors/Laufzeitfehler.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word::docx {

// The archive a package was read from, kept open (over its bytes in memory) so that untouched
// parts can be copied into a saved package with their compressed data as it stands.
struct SourceArchive {
  std::string bytes;
  zip_t* zip = nullptr;
  ~SourceArchive() {
    if (zip) zip_discard(zip);
  }
};

struct Part {
  std::string name;               // the zip entry name, as read or as given
  std::string bytes;              // uncompressed
  bool modified = false;          // replaced or added since Open
  bool directory = false;         // a folder entry ("word/"), kept as it was
  std::int64_t sourceIndex = -1;  // entry index in the source archive; -1 for a new part
};

struct Package::Impl {
  std::filesystem::path source;
  std::shared_ptr<SourceArchive> archive;
  std::vector<Part> parts;
  std::map<std::string, std::size_t> byKey;  // PartKey → index into parts
  std::string mainPart;

  const Part* Find(const std::string& name) const;
  Part* Find(const std::string& name);
  void Add(Part part);
};

// The German description of a file that cannot be used as a document:
// "Die Datei »NAME« ist kein gültiges Word-Dokument (REASON)."
std::string InvalidDocumentText(const std::string& displayName, const std::string& reason);
// A Laufzeitfehler 75 (file access) with that description.
Laufzeitfehler InvalidDocument(const std::string& displayName, const std::string& reason);

}  // namespace tarvo::word::docx
