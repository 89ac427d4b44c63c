// Xml: small helpers of the document model over pugixml: the prefix a part binds to the
// WordprocessingML namespace (Wml), element order as the schema wants it (Word rejects property
// elements out of order), UTF-8 character counting, and the model's error helper. Nothing here
// throws except Fehler, which throws the given Laufzeitfehler.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace tarvo::word::detail {

// The WordprocessingML prefix of one part ("w:" almost always) and name tests against it.
class Wml {
 public:
  // Reads the prefix bound to the transitional or strict main namespace on `root`.
  void Init(pugi::xml_node root);
  const std::string& Prefix() const { return prefix_; }
  // Whether `node` is the element `local` of this namespace.
  bool Ist(pugi::xml_node node, const char* local) const;
  // The local name of `node` if it belongs to this namespace, else nullptr.
  const char* Lokal(pugi::xml_node node) const;
  // The qualified name of `local`: "w:" + local.
  std::string N(std::string_view local) const;
  // The attribute `local` of this namespace.
  pugi::xml_attribute Attr(pugi::xml_node node, const char* local) const;
  // The first child element `local`, or an empty node.
  pugi::xml_node Kind(pugi::xml_node node, const char* local) const;
  // The first child `local`, created when missing at its place by `order` (local names in
  // schema order; children not named in `order` are passed over).
  pugi::xml_node KindGeordnet(pugi::xml_node node, const char* local,
                              std::initializer_list<const char*> order) const;
  // Sets attribute `local` (creating it).
  void Setze(pugi::xml_node node, const char* local, const std::string& value) const;
  // The nearest ancestor (or the node itself) named `local`, stopping at `grenze`.
  pugi::xml_node Vorfahr(pugi::xml_node node, const char* local, pugi::xml_node grenze) const;

 private:
  std::string prefix_ = "w:";
};

// Schema orders of the property containers the model writes into.
extern const std::initializer_list<const char*> kPPrOrder;
extern const std::initializer_list<const char*> kRPrOrder;
extern const std::initializer_list<const char*> kTblPrOrder;
extern const std::initializer_list<const char*> kTcPrOrder;
extern const std::initializer_list<const char*> kBorderOrder;

// Characters of a UTF-8 text (code points).
std::int32_t Utf8Laenge(std::string_view text);
// Byte offset of character `zeichen` in a UTF-8 text (size() when beyond).
std::size_t Utf8Offset(std::string_view text, std::int32_t zeichen);
// The code point at byte offset `offset`.
char32_t Utf8Zeichen(std::string_view text, std::size_t offset);
void Utf8Anhaengen(std::string& text, char32_t zeichen);

// Sets or clears xml:space="preserve" on a w:t as its text needs.
void LeerzeichenSchuetzen(pugi::xml_node t);

// Throws Laufzeitfehler `nummer` with `text` (the runtime's standard text when empty).
[[noreturn]] void Fehler(std::int32_t nummer, const std::string& text = {});

// Error numbers of the document model beyond the shared ones.
constexpr std::int32_t kNichtVerfuegbar = 4605;
constexpr std::int32_t kObjektGeloescht = 5825;
constexpr std::int32_t kTextmarkenname = 5828;

}  // namespace tarvo::word::detail
