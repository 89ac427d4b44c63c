#include "erechnung/Xml.h"

#include <sstream>

namespace tarvo::erechnung::xml {

pugi::xml_node Text(pugi::xml_node eltern, const char* name, const std::string& text) {
  pugi::xml_node knoten = eltern.append_child(name);
  knoten.text().set(text.c_str());
  return knoten;
}

void TextWennDa(pugi::xml_node eltern, const char* name, const std::string& text) {
  if (!text.empty()) Text(eltern, name, text);
}

pugi::xml_node Betrag(pugi::xml_node eltern, const char* name, Cent betrag, bool mitWaehrung) {
  pugi::xml_node knoten = Text(eltern, name, BetragXml(betrag));
  if (mitWaehrung) knoten.append_attribute("currencyID").set_value("EUR");
  return knoten;
}

std::string Serialisieren(const pugi::xml_document& dokument) {
  std::ostringstream aus;
  dokument.save(aus, "  ", pugi::format_indent, pugi::encoding_utf8);
  return aus.str();
}

}  // namespace tarvo::erechnung::xml
