// XmlZeichen: which characters an XML 1.0 document may hold. A Word document is XML, so a text
// that reaches it must be valid UTF-8 without the characters XML forbids: the control characters
// below U+0020 other than tab, line feed and carriage return, the surrogates U+D800–U+DFFF and
// U+FFFE, U+FFFF. Texts from a job file are checked where they enter; the document model removes
// whatever still comes, so a saved document is always well-formed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::xmlzeichen {

// The first character of `text` that XML forbids (or the first byte that is not UTF-8): its
// byte offset and a German name for messages ("U+FFFE", "das Byte 0xC3 (kein UTF-8)").
struct Verboten {
  std::size_t offset = 0;
  std::string name;
};
std::optional<Verboten> ErstesVerbotenes(std::string_view text);

// `text` without the characters XML forbids and without bytes that are not UTF-8. With
// `steuerzeichen` the control characters below U+0020 stay (a caller that gives them a meaning
// of its own, as the document's text gives "\v" and "\a", handles them itself).
std::string Bereinigt(std::string_view text, bool steuerzeichen = false);

// Whether `text` is plain ASCII without control characters other than tab, line feed and
// carriage return: such a text needs no check (the cheap test before Bereinigt).
bool Unbedenklich(std::string_view text);

}  // namespace tarvo::xmlzeichen
