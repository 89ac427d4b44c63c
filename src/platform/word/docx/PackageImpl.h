// The inside of a Package, shared by its reading, editing and saving units. Not part of the
// document model's interface: include Package.h instead.
#pragma once

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "errors/Laufzeitfehler.h"
#include "platform/word/docx/Deflate.h"
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

// One part. Its uncompressed bytes are held in `bytes` unless they were handed over
// (TakePartBytes) or the part was given compressed (`deflated`); they are then read again from
// the source archive or inflated when asked for.
struct Part {
  std::string name;                      // the zip entry name, as read or as given
  mutable std::string bytes;             // uncompressed, while `held`
  mutable bool held = true;              // whether `bytes` holds the part
  std::optional<DeflatedPart> deflated;  // new content given compressed
  bool modified = false;                 // replaced or added since Open
  bool directory = false;                // a folder entry ("word/"), kept as it was
  std::int64_t sourceIndex = -1;         // entry index in the source archive; -1 for a new part
};

struct Package::Impl {
  std::filesystem::path source;
  std::shared_ptr<SourceArchive> archive;
  std::vector<Part> parts;
  std::map<std::string, std::size_t> byKey;  // PartKey → index into parts
  std::string mainPart;

  const Part* Find(const std::string& name) const;
  // The uncompressed bytes of `part`, read again or inflated when they are not held.
  const std::string& Bytes(const Part& part, const std::string& display) const;
  Part* Find(const std::string& name);
  void Add(Part part);
};

// The German description of a file that cannot be used as a document:
// "Die Datei »NAME« ist kein gültiges Word-Dokument (REASON)."
std::string InvalidDocumentText(const std::string& displayName, const std::string& reason);
// A Laufzeitfehler 75 (file access) with that description.
Laufzeitfehler InvalidDocument(const std::string& displayName, const std::string& reason);

// Limits of what a package may cost: a file larger than this is not read, nor an archive whose
// parts declare more than kMaxUncompressed together or one part more than kMaxPart; an entry
// that inflates to more than it declared is damaged. Far beyond any invoice (the largest real
// document known has a 13 MB main part), and small enough that memory never runs out first.
inline constexpr std::uint64_t kMaxFile = std::uint64_t{256} << 20;
inline constexpr std::uint64_t kMaxUncompressed = std::uint64_t{512} << 20;
inline constexpr std::uint64_t kMaxPart = std::uint64_t{256} << 20;

}  // namespace tarvo::word::docx
