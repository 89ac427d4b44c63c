// Small helpers the two XML writers share: a child element with text, an amount element with
// its currency, and the serialised document (UTF-8, indented, with declaration).
#pragma once

#include <pugixml.hpp>
#include <string>

#include "erechnung/Rechnungsmodell.h"

namespace tarvo::erechnung::xml {

// Appends <name>text</name> to `eltern` and returns it.
pugi::xml_node Text(pugi::xml_node eltern, const char* name, const std::string& text);
// Appends <name>text</name> only when `text` is not empty (the standards forbid empty elements).
void TextWennDa(pugi::xml_node eltern, const char* name, const std::string& text);
// Appends <name currencyID="EUR">1234.50</name> (without the attribute when `mitWaehrung` is
// false).
pugi::xml_node Betrag(pugi::xml_node eltern, const char* name, Cent betrag,
                      bool mitWaehrung = true);
std::string Serialisieren(const pugi::xml_document& dokument);

}  // namespace tarvo::erechnung::xml
