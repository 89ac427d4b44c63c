// The table writing the category forms share: text appended to a cell and formatted, the
// character count of a text as document positions count it, widths in centimetres, the table
// layout steps (borders off, column widths, a column's alignment), and the version the forms
// show in lblVersion. Every step that takes a Falle runs each document call under it, so a
// failing call is reported under the calling procedure's name and the next one still runs; the
// others throw what the document model throws, for the caller's trap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo::formulare {

enum class Schrift { Normal, Fett, Kursiv };

// Appends `text` to cell (zeile, spalte); with Fett or Kursiv the whole content of the cell is
// then made bold or italic.
void Eintragen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
               const std::string& text, Schrift schrift = Schrift::Normal);

// The number of characters (not bytes) of a UTF-8 text, as document positions count them.
std::size_t Zeichen(const std::string& text);

// Centimetres in points, converted by the word processor (Anwendung).
float Punkte(float cm);

// Sets the widths (cm) of the cells of row `zeile`, from cell 1 on, without adjusting others.
void ZellBreiten(Falle& falle, word::Table& tabelle, std::int32_t zeile,
                 std::initializer_list<float> breitenCm);

// Selects the table and sets the line style of its six borders to none.
void RahmenEntfernen(Falle& falle, word::Table& tabelle);

// Sets the widths (cm) of the five columns, without adjusting others.
void SpaltenBreiten(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]);

// Selects column `spalte` and sets the alignment of its paragraphs (wdAlignParagraph…).
void SpalteAusrichten(Falle& falle, word::Table& tabelle, std::int32_t spalte,
                      std::int32_t ausrichtung);

// A number cell read back from a statement: a text that the grid's normalising to `breite`
// places would only realign (" 250 ", "1.500") is taken as it stands, so that confirming a
// re-opened statement writes the same cells; any other text is normalised to `breite` places
// without decimals.
bool ZahlWieAngezeigt(const std::string& text, std::int16_t breite);
std::string Zahlzelle(const std::string& text, std::int16_t breite);

// Whether every cell of row `zeile` of a statement holds no more than blanks: the empty row that
// "Löschen" leaves, read back as an empty grid row.
bool TabellenzeileLeer(const word::Table& tabelle, std::int32_t zeile);

// The text of lblVersion: "V " followed by the version and the source revision the build was
// made from ("V 0.1.0 (3f2a91c)"); without a known revision the version alone.
std::string Versionsangabe();

}  // namespace tarvo::formulare
