#include "platform/word/docx/Package.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "common/Dateiart.h"
#include "platform/word/docx/PackageImpl.h"
#include "platform/word/docx/PartName.h"

namespace tarvo::word::docx {

namespace {

namespace fs = std::filesystem;

constexpr const char* kContentTypesPart = "[Content_Types].xml";
constexpr const char* kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kRelationshipsType =
    "application/vnd.openxmlformats-package.relationships+xml";
// Deflate packs at most about 1:1032; an entry declaring more than this per compressed byte
// has a forged size.
constexpr std::uint64_t kMaxRatio = 1100;
// Parts the document model parses may hold this many tags ("<"): four times the largest real
// document known. An element and its attributes cost the compact tree about 25 bytes (the text
// aside), so the tree stays below 100 MB.
constexpr std::size_t kMaxTags = 2'000'000;
// Parts up to this size stay in memory after reading; larger ones are read again when needed.
constexpr std::size_t kHeldUpTo = std::size_t{1} << 20;

std::string FileName(const fs::path& path) {
  std::string name = path.filename().string();
  return name.empty() ? path.string() : name;
}

std::string LocalName(const pugi::xml_node& node) {
  std::string name = node.name();
  std::size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::string Extension(const std::string& name) {
  std::size_t slash = name.rfind('/');
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return PartKey(name.substr(dot + 1));
}

// The part as UTF-8 text; a declaration it was read with now says so.
std::string Serialised(pugi::xml_document& doc) {
  pugi::xml_node declaration = doc.first_child();
  if (declaration.type() == pugi::node_declaration)
    if (pugi::xml_attribute encoding = declaration.attribute("encoding")) encoding = "UTF-8";
  std::ostringstream out;
  doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
  return out.str();
}

constexpr unsigned kPackageXmlOptions = pugi::parse_default | pugi::parse_declaration;

std::string ReadWholeFile(const fs::path& path) {
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status))
    throw Laufzeitfehler(fehlernummer::DateiNichtGefunden,
                         "Die Datei »" + path.string() + "« wurde nicht gefunden.");
  if (fs::is_directory(status))
    throw Laufzeitfehler(fehlernummer::DateiZugriff,
                         "»" + path.string() + "« ist ein Ordner und kein Word-Dokument.");
  if (fs::file_size(path, error) > kMaxFile && !error)
    throw InvalidDocument(FileName(path), "die Datei ist größer als 256 MB");
  // A device or a FIFO is refused before it is opened; the read stops at the size limit.
  return dateiart::Lesen(path, kMaxFile, "Word-Dokument");
}

// The number of tags ("<") in `text`, eight bytes at a time: it runs over every part the model
// parses before it is parsed.
std::size_t Tags(const std::string& text) {
  constexpr std::uint64_t kEins = 0x0101010101010101ull, kHoch = 0x8080808080808080ull;
  std::size_t n = 0, i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t wort;
    std::memcpy(&wort, text.data() + i, 8);
    const std::uint64_t x = wort ^ (kEins * '<');  // a zero byte where a '<' stood
    const std::uint64_t nichtNull = ((x & ~kHoch) + ~kHoch) | x;
    n += static_cast<std::size_t>(std::popcount(~nichtNull & kHoch));
  }
  for (; i < text.size(); ++i) n += text[i] == '<';
  return n;
}

bool StartsWith(const std::string& bytes, const std::string& magic) {
  return bytes.compare(0, magic.size(), magic) == 0;
}

// Reads one entry to its end, so that libzip checks its checksum.
std::string ReadEntry(zip_t* zip, zip_uint64_t index, std::uint64_t size,
                      const std::string& display, const std::string& name) {
  zip_file_t* file = zip_fopen_index(zip, index, 0);
  if (!file) {
    int code = zip_error_code_zip(zip_get_error(zip));
    std::string reason = code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD
                             ? "der Teil »" + name + "« ist verschlüsselt"
                         : code == ZIP_ER_COMPNOTSUPP
                             ? "der Teil »" + name + "« ist mit einem unbekannten Verfahren gepackt"
                             : "beschädigtes ZIP-Archiv, Teil »" + name + "« nicht lesbar";
    throw InvalidDocument(display, reason);
  }
  std::string bytes;
  bytes.resize(size);
  std::uint64_t done = 0;
  char scratch[1];
  bool fault = false;
  while (true) {
    char* target = done < size ? bytes.data() + done : scratch;
    zip_uint64_t want = done < size ? size - done : sizeof scratch;
    zip_int64_t got = zip_fread(file, target, want);
    if (got < 0) {
      fault = true;
      break;
    }
    if (got == 0) break;
    done += static_cast<std::uint64_t>(got);
    if (done > size) {  // more data than the directory promised
      fault = true;
      break;
    }
  }
  int closeError = zip_fclose(file);
  if (fault || closeError != 0 || done != size)
    throw InvalidDocument(
        display, "beschädigtes ZIP-Archiv, Prüfsummen- oder Lesefehler im Teil »" + name + "«");
  return bytes;
}

}  // namespace

std::string InvalidDocumentText(const std::string& displayName, const std::string& reason) {
  return "Die Datei »" + displayName + "« ist kein gültiges Word-Dokument (" + reason + ").";
}

Laufzeitfehler InvalidDocument(const std::string& displayName, const std::string& reason) {
  return Laufzeitfehler(fehlernummer::DateiZugriff, InvalidDocumentText(displayName, reason));
}

const std::string& Package::Impl::Bytes(const Part& part, const std::string& display) const {
  if (!part.held) {
    if (part.deflated)
      part.bytes = Inflate(*part.deflated);
    else {
      zip_stat_t stat;
      zip_stat_init(&stat);
      auto index = static_cast<zip_uint64_t>(part.sourceIndex);
      if (!archive || !archive->zip || zip_stat_index(archive->zip, index, 0, &stat) != 0)
        throw InvalidDocument(display, "Teil »" + part.name + "« nicht mehr lesbar");
      part.bytes = ReadEntry(archive->zip, index, stat.size, display, part.name);
    }
    part.held = true;
  }
  return part.bytes;
}

const Part* Package::Impl::Find(const std::string& name) const {
  auto found = byKey.find(PartKey(name));
  return found == byKey.end() ? nullptr : &parts[found->second];
}

Part* Package::Impl::Find(const std::string& name) {
  auto found = byKey.find(PartKey(name));
  return found == byKey.end() ? nullptr : &parts[found->second];
}

void Package::Impl::Add(Part part) {
  byKey.emplace(PartKey(part.name), parts.size());  // Open refuses two parts of one name
  parts.push_back(std::move(part));
}

Package::Package() : impl_(std::make_unique<Impl>()) {}
Package::Package(const Package& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
Package& Package::operator=(const Package& other) {
  if (this != &other) impl_ = std::make_unique<Impl>(*other.impl_);
  return *this;
}
Package::Package(Package&&) noexcept = default;
Package& Package::operator=(Package&&) noexcept = default;
Package::~Package() = default;

Package Package::Open(const fs::path& path) {
  return FromBytes(ReadWholeFile(path), path);
}

Package Package::FromBytes(std::string bytes, const fs::path& path) {
  const std::string display = FileName(path);
  if (bytes.size() > kMaxFile) throw InvalidDocument(display, "die Datei ist größer als 256 MB");
  if (bytes.empty()) throw InvalidDocument(display, "die Datei ist leer");
  if (StartsWith(bytes, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
    throw Laufzeitfehler(fehlernummer::DateiZugriff,
                         "Die Datei »" + display +
                             "« ist verschlüsselt oder im alten Word-Format (.doc) gespeichert und "
                             "kann nicht gelesen werden. Bitte speichern Sie sie in Word ohne "
                             "Kennwort als .docx-Dokument.");

  Package package;
  Impl& impl = *package.impl_;
  impl.source = path;
  impl.archive = std::make_shared<SourceArchive>();
  impl.archive->bytes = std::move(bytes);
  const std::string& data = impl.archive->bytes;

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(data.data(), data.size(), 0, &error);
  zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!zip) {
    if (source) zip_source_free(source);
    int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (code == ZIP_ER_MEMORY) throw Laufzeitfehler(fehlernummer::KeinSpeicher);
    throw InvalidDocument(display, StartsWith(data, "PK")
                                       ? "beschädigtes oder unvollständiges ZIP-Archiv"
                                       : "kein ZIP-Archiv");
  }
  zip_error_fini(&error);
  impl.archive->zip = zip;

  // The sizes the directory declares are checked before anything is inflated: the parts
  // together and each alone against the limits, and each against what its compressed data can
  // hold. Reading an entry then stops as soon as it gives more than it declared.
  zip_int64_t count = zip_get_num_entries(zip, 0);
  std::vector<zip_stat_t> stats(static_cast<std::size_t>(std::max<zip_int64_t>(count, 0)));
  std::uint64_t total = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t& stat = stats[static_cast<std::size_t>(i)];
    zip_stat_init(&stat);
    if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat) != 0 || !stat.name)
      throw InvalidDocument(display, "beschädigtes ZIP-Archiv, Verzeichnis nicht lesbar");
    const std::uint64_t size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
    const std::uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
    if (size > kMaxPart)
      throw InvalidDocument(
          display, std::string("der Teil »") + stat.name + "« ist entpackt größer als 256 MB");
    if ((stat.valid & ZIP_STAT_COMP_SIZE) && size > packed * kMaxRatio + 4096)
      throw InvalidDocument(display, std::string("beschädigtes ZIP-Archiv, unmögliche Größe des "
                                                 "Teils »") +
                                         stat.name + "«");
    total += size;
    if (total > kMaxUncompressed)
      throw InvalidDocument(display, "die Teile sind entpackt größer als 512 MB");
  }
  for (zip_int64_t i = 0; i < count; ++i) {
    const zip_stat_t& stat = stats[static_cast<std::size_t>(i)];
    const char* rawName = zip_get_name(zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    if (!rawName)
      throw InvalidDocument(display, "beschädigtes ZIP-Archiv, Verzeichnis nicht lesbar");
    Part part;
    part.name = rawName;
    part.sourceIndex = i;
    part.directory = !part.name.empty() && part.name.back() == '/';
    // Two entries of one name (up to case, as Word compares them) make the package ambiguous.
    if (impl.Find(part.name))
      throw InvalidDocument(display, "der Teil »" + part.name + "« ist doppelt vorhanden");
    if (!part.directory) {
      std::uint64_t size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
      part.bytes = ReadEntry(zip, static_cast<zip_uint64_t>(i), size, display, part.name);
    }
    impl.Add(std::move(part));
  }

  if (!impl.Find(kContentTypesPart))
    throw InvalidDocument(display, "die Liste der Inhaltstypen [Content_Types].xml fehlt");
  pugi::xml_document check;
  package.ParseXml(kContentTypesPart, check, kPackageXmlOptions);
  if (!impl.Find("_rels/.rels"))
    throw InvalidDocument(display, "die Paketbeziehungen _rels/.rels fehlen");
  package.ParseXml("_rels/.rels", check, kPackageXmlOptions);
  std::string main = package.RelatedPart("", kRelOfficeDocument);
  const Part* mainPart = main.empty() ? nullptr : impl.Find(main);
  if (!mainPart || mainPart->directory) throw InvalidDocument(display, "das Hauptdokument fehlt");
  impl.mainPart = mainPart->name;
  // Large parts besides the main document (a styles part of megabytes) are checked, then left
  // in the archive until someone asks for them: most runs never do.
  for (Part& part : impl.parts)
    if (part.bytes.size() > kHeldUpTo && part.name != impl.mainPart) {
      std::string().swap(part.bytes);
      part.held = false;
    }
  return package;
}

const fs::path& Package::SourcePath() const {
  return impl_->source;
}

std::string Package::DisplayName() const {
  return impl_->source.empty() ? std::string("Neues Dokument") : FileName(impl_->source);
}

const std::string& Package::MainPartName() const {
  return impl_->mainPart;
}

bool Package::HasPart(const std::string& name) const {
  const Part* part = impl_->Find(name);
  return part && !part->directory;
}

const std::string& Package::PartBytes(const std::string& name) const {
  const Part* part = impl_->Find(name);
  if (!part || part->directory)
    throw Laufzeitfehler(fehlernummer::ElementFehlt,
                         "Der Teil »" + name + "« fehlt im Dokument »" + DisplayName() + "«.");
  return impl_->Bytes(*part, DisplayName());
}

std::string Package::TakePartBytes(const std::string& name) {
  const std::string& bytes = PartBytes(name);
  Part& part = *impl_->Find(name);
  if (part.modified || part.sourceIndex < 0 || !impl_->archive) return bytes;
  std::string taken = std::move(part.bytes);
  part.bytes.clear();
  part.held = false;
  return taken;
}

std::vector<std::string> Package::PartNames() const {
  std::vector<std::string> names;
  names.reserve(impl_->parts.size());
  for (const Part& part : impl_->parts) names.push_back(part.name);
  return names;
}

bool Package::IsModified(const std::string& name) const {
  const Part* part = impl_->Find(name);
  return part && part->modified;
}

std::string Package::ContentType(const std::string& name) const {
  pugi::xml_document types;
  if (!HasPart(kContentTypesPart)) return {};
  ParseXml(kContentTypesPart, types, kPackageXmlOptions);
  const std::string key = PartKey(name);
  const std::string extension = Extension(key);
  std::string byDefault;
  for (pugi::xml_node entry : types.document_element().children()) {
    std::string kind = LocalName(entry);
    if (kind == "Override" && PartKey(entry.attribute("PartName").value()) == key)
      return entry.attribute("ContentType").value();
    if (kind == "Default" && byDefault.empty() &&
        PartKey(entry.attribute("Extension").value()) == extension)
      byDefault = entry.attribute("ContentType").value();
  }
  return byDefault;
}

void Package::SetPart(const std::string& name, std::string bytes, const std::string& contentType) {
  Part& part = Replace(name);
  part.bytes = std::move(bytes);
  part.held = true;
  Declare(part.name, contentType);
}

void Package::SetPart(const std::string& name, DeflatedPart deflated,
                      const std::string& contentType) {
  Part& part = Replace(name);
  part.bytes.clear();
  part.held = false;
  part.deflated = std::move(deflated);
  Declare(part.name, contentType);
}

Part& Package::Replace(const std::string& name) {
  const std::string normal = NormalPartName(name);
  Part* part = impl_->Find(normal);
  if (!part) {
    Part added;
    added.name = normal;
    impl_->Add(std::move(added));
    part = impl_->Find(normal);
  }
  part->modified = true;
  part->directory = false;
  part->deflated.reset();
  return *part;
}

void Package::Declare(const std::string& normal, const std::string& contentType) {
  if (contentType.empty() || PartKey(normal) == PartKey(kContentTypesPart) ||
      ContentType(normal) == contentType)
    return;

  pugi::xml_document types;
  ParseXml(kContentTypesPart, types, kPackageXmlOptions);
  pugi::xml_node root = types.document_element();
  pugi::xml_node override;
  for (pugi::xml_node entry : root.children())
    if (LocalName(entry) == "Override" &&
        PartKey(entry.attribute("PartName").value()) == PartKey(normal))
      override = entry;
  if (!override) {
    override = root.append_child("Override");
    override.append_attribute("PartName") = ("/" + normal).c_str();
    override.append_attribute("ContentType");
  }
  override.attribute("ContentType") = contentType.c_str();
  SetPart(kContentTypesPart, Serialised(types));
}

std::string Package::RelatedPart(const std::string& source, const std::string& type) const {
  const std::string relsName = RelationshipsPartName(source);
  if (!HasPart(relsName)) return {};
  pugi::xml_document rels;
  ParseXml(relsName, rels, kPackageXmlOptions);
  for (pugi::xml_node rel : rels.document_element().children()) {
    if (LocalName(rel) != "Relationship") continue;
    if (!SameRelationshipType(rel.attribute("Type").value(), type)) continue;
    if (PartKey(rel.attribute("TargetMode").value()) == "external") continue;
    const std::string target = rel.attribute("Target").value();
    std::string decoded = ResolveTarget(source, PercentDecoded(target));
    if (const Part* part = impl_->Find(decoded)) return part->name;
    std::string raw = ResolveTarget(source, target);
    if (const Part* part = impl_->Find(raw)) return part->name;
    return decoded;
  }
  return {};
}

std::string Package::AddRelationship(const std::string& source, const std::string& type,
                                     const std::string& target) {
  const std::string relsName = RelationshipsPartName(source);
  pugi::xml_document rels;
  if (HasPart(relsName)) {
    ParseXml(relsName, rels, kPackageXmlOptions);
  } else {
    pugi::xml_node declaration = rels.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    rels.append_child("Relationships").append_attribute("xmlns") = kRelationshipsNamespace;
  }
  pugi::xml_node root = rels.document_element();
  std::set<std::string> ids;
  for (pugi::xml_node rel : root.children()) ids.insert(rel.attribute("Id").value());
  std::string id;
  for (std::size_t n = ids.size() + 1;; ++n) {
    id = "rId" + std::to_string(n);
    if (!ids.count(id)) break;
  }
  // Keep the prefix the part already uses for its elements.
  std::string element = root.name();
  std::size_t colon = element.find(':');
  element =
      colon == std::string::npos ? "Relationship" : element.substr(0, colon + 1) + "Relationship";
  pugi::xml_node rel = root.append_child(element.c_str());
  rel.append_attribute("Id") = id.c_str();
  rel.append_attribute("Type") = type.c_str();
  rel.append_attribute("Target") = RelativeTarget(source, target).c_str();
  std::string relsType = ContentType(relsName) == kRelationshipsType ? "" : kRelationshipsType;
  SetPart(relsName, Serialised(rels), relsType);
  return id;
}

void Package::ParseXml(const std::string& name, pugi::xml_document& doc, unsigned options) const {
  const std::string& bytes = PartBytes(name);
  pugi::xml_parse_result result =
      doc.load_buffer(bytes.data(), bytes.size(),
                      options & ~static_cast<unsigned>(pugi::parse_doctype), pugi::encoding_auto);
  Parsed(name, doc, result);
}

void Package::ParseXmlInPlace(const std::string& name, pugi::xml_document& doc, std::string& buffer,
                              unsigned options) {
  buffer = TakePartBytes(name);
  if (Tags(buffer) > kMaxTags)
    throw InvalidDocument(DisplayName(), "der Teil " + NormalPartName(name) +
                                             " ist zu groß (mehr als 2 Millionen Elemente)");
  pugi::xml_parse_result result = doc.load_buffer_inplace(
      buffer.data(), buffer.size(), options & ~static_cast<unsigned>(pugi::parse_doctype),
      pugi::encoding_auto);
  Parsed(name, doc, result);
}

void Package::Parsed(const std::string& name, const pugi::xml_document& doc,
                     const pugi::xml_parse_result& result) const {
  if (result) {
    if (doc.document_element()) return;
    throw InvalidDocument(DisplayName(), "der Teil " + NormalPartName(name) + " ist leer");
  }
  // The line is counted in the part as it stands (parsing in place changes the buffer).
  const std::string& bytes = PartBytes(name);
  std::size_t line =
      1 + static_cast<std::size_t>(std::count(
              bytes.begin(), bytes.begin() + std::min<std::ptrdiff_t>(result.offset, bytes.size()),
              '\n'));
  throw InvalidDocument(DisplayName(), "fehlerhaftes XML in " + NormalPartName(name) + ", Zeile " +
                                           std::to_string(line) + ": " + result.description());
}

}  // namespace tarvo::word::docx
