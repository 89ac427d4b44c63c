// Package: a .docx file as a set of named parts (the zip entries), with its content types and
// relationships. It owns the bytes of every part, in the order the archive held them; parts
// nobody replaced are written back byte for byte (their compressed data is copied unchanged).
// Opening a file that is missing, empty, encrypted, not a zip, damaged or without a main part
// throws Laufzeitfehler with a German description naming the file and the reason; nothing is
// written then. Saving is atomic: a failed save leaves the old file and no temporary file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "errors/Laufzeitfehler.h"
#include "platform/word/docx/Deflate.h"

namespace tarvo::word::docx {

// Relationship types the document model looks up (transitional namespace; lookups match the
// strict namespace "http://purl.oclc.org/ooxml/officeDocument/relationships/..." as well).
inline constexpr const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr const char* kRelStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr const char* kRelComments =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
inline constexpr const char* kRelSettings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";

// Content types of the parts the model may add.
inline constexpr const char* kTypeComments =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml";
inline constexpr const char* kTypeStyles =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";

// The file-system steps of Save. A test installs a fault hook that makes one of them fail, to
// show that the old file survives and no temporary file is left.
enum class SaveStep { Write, Flush, Rename };
// Returns true to make `step` fail (as a full disk or a lost device would).
using SaveFaultHook = std::function<bool(SaveStep step)>;
// Installs a process-wide hook (an empty function removes it); for tests only.
void SetSaveFaultHookForTesting(SaveFaultHook hook);

struct Part;

class Package {
 public:
  // Reads every part of the file at `path` into memory and checks it can be used as a document:
  // the zip is intact (every part's checksum), [Content_Types].xml and _rels/.rels parse and the
  // main part named by the officeDocument relationship exists. Throws Laufzeitfehler (53 when the
  // file does not exist, 75 for every other reason) with a German description naming the file.
  static Package Open(const std::filesystem::path& path);
  // The same for the bytes of a file already read; `path` names it in messages.
  static Package FromBytes(std::string bytes, const std::filesystem::path& path);
  // A new empty A4 document package (one empty paragraph, styles with a Normal style at 11 pt,
  // settings, core and app properties) that Word, LibreOffice and python-docx open.
  static Package Blank();

  Package(const Package&);
  Package& operator=(const Package&);
  Package(Package&&) noexcept;
  Package& operator=(Package&&) noexcept;
  ~Package();

  // The file this package was opened from; empty for Blank(). Used in error messages.
  const std::filesystem::path& SourcePath() const;
  // A short name for messages: the file name of SourcePath, or "Neues Dokument".
  std::string DisplayName() const;

  // The main document part, e.g. "word/document.xml". Part names never start with "/".
  const std::string& MainPartName() const;

  // Part names are matched without regard to ASCII case (as Word does); a leading "/" is ignored.
  bool HasPart(const std::string& name) const;
  // The uncompressed bytes of a part. Throws Laufzeitfehler 5941 if there is no such part.
  const std::string& PartBytes(const std::string& name) const;
  // Hands over the uncompressed bytes of a part, for a caller that parses them in place. An
  // unchanged part of the file read stays as it is and is read again when asked for; of any
  // other part a copy is returned. Throws as PartBytes.
  std::string TakePartBytes(const std::string& name);
  // Every zip entry name, in the order they will be saved (as read; new parts at the end).
  std::vector<std::string> PartNames() const;
  // The declared content type of a part (Override, else Default by extension); "" if none.
  std::string ContentType(const std::string& name) const;

  // Replaces or adds a part. A new part, or a part given a different `contentType`, gets a
  // content-type Override unless the extension's Default already names that type.
  void SetPart(const std::string& name, std::string bytes, const std::string& contentType = {});
  // The same with the part given compressed (see Deflate.h); it is saved as it is and inflated
  // only when its bytes are asked for.
  void SetPart(const std::string& name, DeflatedPart deflated, const std::string& contentType = {});
  // Whether SetPart (or AddRelationship) changed the part since Open.
  bool IsModified(const std::string& name) const;

  // Target part name of the first internal relationship of `type` from part `source` ("" for
  // the package itself), resolved to a part name ("word/comments.xml"); "" if there is none.
  std::string RelatedPart(const std::string& source, const std::string& type) const;
  // Adds a relationship source → target, where `target` is a part name like "word/comments.xml"
  // (written relative to the source's folder). Creates the relationships part if needed and
  // returns the new id ("rId7"), unique among the source's relationships.
  std::string AddRelationship(const std::string& source, const std::string& type,
                              const std::string& target);

  // Parses a part into `doc` with `options` (pugixml parse flags; a DOCTYPE is never expanded:
  // parse_doctype is masked out). A byte-order mark is accepted. Throws Laufzeitfehler 5941 if the
  // part is missing, 75 naming the file, the part and the line if it is empty or not well-formed
  // XML, e.g.
  // "Die Datei »x.docx« ist kein gültiges Word-Dokument (fehlerhaftes XML in word/document.xml,
  // Zeile 3: …)." The document model raises its parse errors through this.
  void ParseXml(const std::string& name, pugi::xml_document& doc,
                unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single) const;
  // The same for the parts the document model keeps: the part's bytes are handed over
  // (TakePartBytes) into `buffer` and parsed in place, so `buffer` must outlive `doc`. A part
  // with more than two million tags is refused (75) before it is parsed: the model's memory
  // grows with them.
  void ParseXmlInPlace(const std::string& name, pugi::xml_document& doc, std::string& buffer,
                       unsigned options);

  // Writes the package to `path`: [Content_Types].xml first, then every part in order. Untouched
  // parts keep their compressed bytes. The archive goes to a temporary file beside `path`, is
  // flushed to disk and renamed over `path`. Throws Laufzeitfehler 75 naming the file on failure;
  // `path` is then as it was before and the temporary file is removed.
  void Save(const std::filesystem::path& path) const;

  struct Impl;  // defined in PackageImpl.h, for the package's own units only

 private:
  Package();
  // The part `name` (added when missing), marked modified, for SetPart to fill.
  Part& Replace(const std::string& name);
  // Adds a content-type Override for a part given `contentType`, unless one already applies.
  void Declare(const std::string& normal, const std::string& contentType);
  // Throws the parse error of `result`, or 75 when the part has no root element.
  void Parsed(const std::string& name, const pugi::xml_document& doc,
              const pugi::xml_parse_result& result) const;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarvo::word::docx
