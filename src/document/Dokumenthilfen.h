// Small accessors the invoice routines share: the job's document and word processor from the job
// state, a comment's text as the marker and tag words are compared with it, and a cell's text
// without its end-of-cell mark. Each throws Laufzeitfehler (91 when the job state holds no
// document or application, the model's own errors otherwise); the calling procedure's trap
// reports or skips it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/word/Document.h"

namespace tarvo {

// The shared Doc and WordApp of the job state; throw 91 when unset.
word::Document& Dokument();
word::Application& Anwendung();

// A comment's text without the final paragraph mark of its story.
std::string KommentarText(const word::Comment& kommentar);

// The text of cell (zeile, spalte) without the two characters of its end-of-cell mark.
std::string ZellText(const word::Table& tabelle, std::int32_t zeile, std::int32_t spalte);

// The text of the first comment within the table, or "" when it carries none.
std::string ErsterKommentar(const word::Table& tabelle);

// Whether cell (1, 2) reads exactly "Summe": the totals table, which is no source of amounts.
bool IstSummentabelle(const word::Table& tabelle);

}  // namespace tarvo

namespace tarvo {

// The first comment of the document whose text is `wort`, or none.
std::optional<word::Comment> ErsterMarker(const std::string& wort);

// Where the first "lumoStart" marker stands when it stands inside a table: "Tabelle 2, Zeile 1,
// Spalte 3" (top-level table and cell, 1-based); nothing when it stands in the text or there is
// no marker. New tables cannot go there: the lookups and the totals see top-level tables only.
std::optional<std::string> MarkeInTabelle();

// The number of tables of the document whose first comment reads `tag`.
std::int32_t TabellenMitTag(const std::string& tag);

// The place where a new table goes: before the paragraph of the first "lumoStart" marker (the
// marker's reference collapsed to its start, its start moved back by one word, a paragraph
// inserted before it, collapsed to its start) or, without a marker, after a new paragraph at the
// end of the document. The marker and the text it comments stay as they are.
word::Range NeueTabellenstelle();

}  // namespace tarvo
