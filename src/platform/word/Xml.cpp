#include "platform/word/Xml.h"

#include <cstring>

#include "common/XmlZeichen.h"
#include "errors/Laufzeitfehler.h"

namespace tarvo::word::detail {

namespace {
constexpr const char* kMainTransitional =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kMainStrict = "http://purl.oclc.org/ooxml/wordprocessingml/main";
}  // namespace

const std::initializer_list<const char*> kPPrOrder = {"pStyle",
                                                      "keepNext",
                                                      "keepLines",
                                                      "pageBreakBefore",
                                                      "framePr",
                                                      "widowControl",
                                                      "numPr",
                                                      "suppressLineNumbers",
                                                      "pBdr",
                                                      "shd",
                                                      "tabs",
                                                      "suppressAutoHyphens",
                                                      "kinsoku",
                                                      "wordWrap",
                                                      "overflowPunct",
                                                      "topLinePunct",
                                                      "autoSpaceDE",
                                                      "autoSpaceDN",
                                                      "bidi",
                                                      "adjustRightInd",
                                                      "snapToGrid",
                                                      "spacing",
                                                      "ind",
                                                      "contextualSpacing",
                                                      "mirrorIndents",
                                                      "suppressOverlap",
                                                      "jc",
                                                      "textDirection",
                                                      "textAlignment",
                                                      "textboxTightWrap",
                                                      "outlineLvl",
                                                      "divId",
                                                      "cnfStyle",
                                                      "rPr",
                                                      "sectPr",
                                                      "pPrChange"};
const std::initializer_list<const char*> kRPrOrder = {"ins",
                                                      "del",
                                                      "moveFrom",
                                                      "moveTo",
                                                      "rStyle",
                                                      "rFonts",
                                                      "b",
                                                      "bCs",
                                                      "i",
                                                      "iCs",
                                                      "caps",
                                                      "smallCaps",
                                                      "strike",
                                                      "dstrike",
                                                      "outline",
                                                      "shadow",
                                                      "emboss",
                                                      "imprint",
                                                      "noProof",
                                                      "snapToGrid",
                                                      "vanish",
                                                      "webHidden",
                                                      "color",
                                                      "spacing",
                                                      "w",
                                                      "kern",
                                                      "position",
                                                      "sz",
                                                      "szCs",
                                                      "highlight",
                                                      "u",
                                                      "effect",
                                                      "bdr",
                                                      "shd",
                                                      "fitText",
                                                      "vertAlign",
                                                      "rtl",
                                                      "cs",
                                                      "em",
                                                      "lang",
                                                      "eastAsianLayout",
                                                      "specVanish",
                                                      "oMath",
                                                      "rPrChange"};
const std::initializer_list<const char*> kTblPrOrder = {"tblStyle",
                                                        "tblpPr",
                                                        "tblOverlap",
                                                        "bidiVisual",
                                                        "tblStyleRowBandSize",
                                                        "tblStyleColBandSize",
                                                        "tblW",
                                                        "jc",
                                                        "tblCellSpacing",
                                                        "tblInd",
                                                        "tblBorders",
                                                        "shd",
                                                        "tblLayout",
                                                        "tblCellMar",
                                                        "tblLook",
                                                        "tblCaption",
                                                        "tblDescription",
                                                        "tblPrChange"};
const std::initializer_list<const char*> kTcPrOrder = {
    "cnfStyle", "tcW",     "gridSpan", "hMerge",        "vMerge",    "tcBorders",
    "shd",      "noWrap",  "tcMar",    "textDirection", "tcFitText", "vAlign",
    "hideMark", "headers", "cellIns",  "cellDel",       "cellMerge", "tcPrChange"};
const std::initializer_list<const char*> kBorderOrder = {"top",     "left", "start",   "bottom",
                                                         "right",   "end",  "insideH", "insideV",
                                                         "between", "bar",  "tl2br",   "tr2bl"};

void Wml::Init(pugi::xml_node root) {
  for (pugi::xml_attribute a : root.attributes()) {
    std::string_view name = a.name();
    std::string_view wert = a.value();
    if (wert != kMainTransitional && wert != kMainStrict) continue;
    if (name == "xmlns") {
      prefix_.clear();
      return;
    }
    if (name.substr(0, 6) == "xmlns:") {
      prefix_ = std::string(name.substr(6)) + ":";
      return;
    }
  }
}

namespace {
// The rest of `name` after `prefix`, or nullptr when it does not start with it. Inline: the
// stories ask this of every element they walk.
inline const char* NachPraefix(const char* name, const std::string& prefix) {
  for (char p : prefix)
    if (*name++ != p) return nullptr;
  return name;
}
}  // namespace

bool Wml::Ist(pugi::xml_node node, const char* local) const {
  const char* rest = NachPraefix(node.name(), prefix_);
  return rest && std::strcmp(rest, local) == 0;
}

const char* Wml::Lokal(pugi::xml_node node) const {
  const char* rest = NachPraefix(node.name(), prefix_);
  if (!rest) return nullptr;
  if (prefix_.empty() && std::strchr(rest, ':')) return nullptr;
  return rest;
}

std::string Wml::N(std::string_view local) const {
  return prefix_ + std::string(local);
}

pugi::xml_attribute Wml::Attr(pugi::xml_node node, const char* local) const {
  return node.attribute(N(local).c_str());
}

pugi::xml_node Wml::Kind(pugi::xml_node node, const char* local) const {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && Ist(c, local)) return c;
  return {};
}

namespace {
int Rang(const char* local, std::initializer_list<const char*> order) {
  if (!local) return -1;
  int i = 0;
  for (const char* o : order) {
    if (std::strcmp(o, local) == 0) return i;
    ++i;
  }
  return -1;
}
}  // namespace

pugi::xml_node Wml::KindGeordnet(pugi::xml_node node, const char* local,
                                 std::initializer_list<const char*> order) const {
  if (pugi::xml_node da = Kind(node, local)) return da;
  int mein = Rang(local, order);
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    int rang = Rang(Lokal(c), order);
    if (rang > mein) return node.insert_child_before(N(local).c_str(), c);
  }
  return node.append_child(N(local).c_str());
}

void Wml::Setze(pugi::xml_node node, const char* local, const std::string& wert) const {
  // What XML forbids never reaches the document.
  std::string bereinigt;
  if (!xmlzeichen::Unbedenklich(wert)) bereinigt = xmlzeichen::Bereinigt(wert);
  const std::string& value = xmlzeichen::Unbedenklich(wert) ? wert : bereinigt;
  std::string name = N(local);
  pugi::xml_attribute a = node.attribute(name.c_str());
  if (!a)
    a = node.append_attribute(name.c_str());
  else if (value == a.value())
    return;  // unchanged: no new copy of the text
  a.set_value(value.c_str());
}

pugi::xml_node Wml::Vorfahr(pugi::xml_node node, const char* local, pugi::xml_node grenze) const {
  for (pugi::xml_node n = node; n && n != grenze; n = n.parent())
    if (Ist(n, local)) return n;
  return {};
}

std::int32_t Utf8Laenge(std::string_view text) {
  std::int32_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::size_t Utf8Offset(std::string_view text, std::int32_t zeichen) {
  std::size_t i = 0;
  while (i < text.size() && zeichen > 0) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    --zeichen;
  }
  return i;
}

char32_t Utf8Zeichen(std::string_view text, std::size_t i) {
  if (i >= text.size()) return 0;
  unsigned char c = text[i];
  int mehr = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  char32_t z = mehr == 0 ? c : mehr == 1 ? (c & 0x1F) : mehr == 2 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k <= mehr && i + k < text.size(); ++k)
    z = (z << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  return z;
}

void Utf8Anhaengen(std::string& text, char32_t z) {
  if (z < 0x80) {
    text += static_cast<char>(z);
  } else if (z < 0x800) {
    text += static_cast<char>(0xC0 | (z >> 6));
    text += static_cast<char>(0x80 | (z & 0x3F));
  } else if (z < 0x10000) {
    text += static_cast<char>(0xE0 | (z >> 12));
    text += static_cast<char>(0x80 | ((z >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (z & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (z >> 18));
    text += static_cast<char>(0x80 | ((z >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((z >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (z & 0x3F));
  }
}

void LeerzeichenSchuetzen(pugi::xml_node t) {
  std::string_view text = t.child_value();
  bool noetig = !text.empty() && (text.front() == ' ' || text.back() == ' ' ||
                                  text.find("  ") != std::string_view::npos);
  pugi::xml_attribute a = t.attribute("xml:space");
  if (noetig && !a) t.append_attribute("xml:space") = "preserve";
}

void Fehler(std::int32_t nummer, const std::string& text) {
  if (text.empty()) throw Laufzeitfehler(nummer);
  throw Laufzeitfehler(nummer, text);
}

}  // namespace tarvo::word::detail
