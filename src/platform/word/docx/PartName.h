// Part names of a package: the rules by which relationship targets become part names and back.
// Part names are kept as zip entry names, without a leading "/". These functions are pure and
// never throw; a target that climbs above the package root stays at the root.
#pragma once

#include <string>

namespace tarvo::word::docx {

// The name without a leading "/" and with "\" turned into "/".
std::string NormalPartName(const std::string& name);
// The key under which a part is found: NormalPartName in ASCII lower case.
std::string PartKey(const std::string& name);
// Decodes %XX escapes; a malformed escape is kept as it stands.
std::string PercentDecoded(const std::string& text);
// The folder of a part ("word" for "word/document.xml", "" for a part at the root).
std::string PartFolder(const std::string& name);
// The relationships part of `source`: "_rels/.rels" for "" (the package),
// "word/_rels/document.xml.rels" for "word/document.xml".
std::string RelationshipsPartName(const std::string& source);
// Resolves a relationship target of `source` to a part name: an absolute target ("/word/x.xml")
// from the root, a relative one from the source's folder; "." and ".." are applied.
std::string ResolveTarget(const std::string& source, const std::string& target);
// The target to write in the relationships of `source` for part `target` (relative).
std::string RelativeTarget(const std::string& source, const std::string& target);
// Whether two relationship types are the same, reading the strict namespace as transitional.
bool SameRelationshipType(const std::string& a, const std::string& b);

}  // namespace tarvo::word::docx
