#include "platform/word/docx/PartName.h"

#include <vector>

namespace tarvo::word::docx {

namespace {

std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> segments;
  std::string current;
  for (char c : path) {
    if (c == '/') {
      segments.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  segments.push_back(current);
  return segments;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr const char* kTransitionalRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* kStrictRelationships =
    "http://purl.oclc.org/ooxml/officeDocument/relationships/";

std::string TransitionalType(const std::string& type) {
  const std::string strict = kStrictRelationships;
  if (type.compare(0, strict.size(), strict) == 0)
    return kTransitionalRelationships + type.substr(strict.size());
  return type;
}

}  // namespace

std::string NormalPartName(const std::string& name) {
  std::string result = name;
  for (char& c : result)
    if (c == '\\') c = '/';
  std::size_t start = result.find_first_not_of('/');
  return start == std::string::npos ? std::string() : result.substr(start);
}

std::string PartKey(const std::string& name) {
  std::string key = NormalPartName(name);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

std::string PercentDecoded(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        result += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

std::string PartFolder(const std::string& name) {
  std::string normal = NormalPartName(name);
  std::size_t slash = normal.rfind('/');
  return slash == std::string::npos ? std::string() : normal.substr(0, slash);
}

std::string RelationshipsPartName(const std::string& source) {
  std::string normal = NormalPartName(source);
  if (normal.empty()) return "_rels/.rels";
  std::string folder = PartFolder(normal);
  std::string file = folder.empty() ? normal : normal.substr(folder.size() + 1);
  return (folder.empty() ? std::string() : folder + "/") + "_rels/" + file + ".rels";
}

std::string ResolveTarget(const std::string& source, const std::string& target) {
  std::string cleaned = target;
  for (char& c : cleaned)
    if (c == '\\') c = '/';
  std::size_t fragment = cleaned.find('#');
  if (fragment != std::string::npos) cleaned.erase(fragment);
  std::string path =
      !cleaned.empty() && cleaned[0] == '/' ? cleaned : PartFolder(source) + "/" + cleaned;
  std::vector<std::string> resolved;
  for (const std::string& segment : Segments(path)) {
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(segment);
  }
  std::string result;
  for (const std::string& segment : resolved) {
    if (!result.empty()) result += '/';
    result += segment;
  }
  return result;
}

std::string RelativeTarget(const std::string& source, const std::string& target) {
  std::string folder = PartFolder(source);
  std::vector<std::string> from = folder.empty() ? std::vector<std::string>{} : Segments(folder);
  std::vector<std::string> to = Segments(NormalPartName(target));
  std::size_t common = 0;
  while (common < from.size() && common + 1 < to.size() && from[common] == to[common]) ++common;
  std::string result;
  for (std::size_t i = common; i < from.size(); ++i) result += "../";
  for (std::size_t i = common; i < to.size(); ++i) {
    result += to[i];
    if (i + 1 < to.size()) result += '/';
  }
  return result;
}

bool SameRelationshipType(const std::string& a, const std::string& b) {
  return TransitionalType(a) == TransitionalType(b);
}

}  // namespace tarvo::word::docx
