// Fixtures of the document-model tests: documents built from a few paragraphs of body XML.
#pragma once

#include <memory>
#include <string>

#include "platform/word/Document.h"

namespace tarvo::word::test {

inline const char* kWNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// A main part with `body` as the content of w:body.
inline std::string Hauptteil(const std::string& body) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>") +
         "<w:document xmlns:w=\"" + kWNs +
         "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<w:body>" +
         body + "<w:sectPr/></w:body></w:document>";
}

inline std::string Kommentarteil(const std::string& inhalt) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>") +
         "<w:comments xmlns:w=\"" + kWNs + "\">" + inhalt + "</w:comments>";
}

inline std::shared_ptr<Document> Dokument(const std::string& body,
                                          const std::string& kommentare = {}) {
  return Document::FromXml(Hauptteil(body), kommentare.empty() ? "" : Kommentarteil(kommentare));
}

// Paragraphs from plain texts: Absaetze({"ab", "cd"}) gives two paragraphs.
inline std::string Absatz(const std::string& text) {
  return "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

// A comment element with one paragraph of text.
inline std::string Kommentar(int id, const std::string& text) {
  return "<w:comment w:id=\"" + std::to_string(id) + "\" w:author=\"A\"><w:p><w:r><w:t>" + text +
         "</w:t></w:r></w:p></w:comment>";
}

// "ab\r" → "ab\\r", control characters visible in failure messages.
inline std::string Sichtbar(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\a')
      out += "\\a";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\v')
      out += "\\v";
    else
      out += c;
  }
  return out;
}

}  // namespace tarvo::word::test
