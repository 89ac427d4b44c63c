// Writing into the statement tables: text appended to a cell with its font style, the character
// count of a text as document positions count it, centimetres to points, and the layout steps
// every statement table shares (borders removed, column widths, column alignment). Each layout
// step runs under the trap it is given, so a failing document call is reported under the
// calling procedure's name and the next step still runs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo::formulare {

enum class Schrift { Normal, Fett, Kursiv };

// Appends `text` to cell (zeile, spalte), then formats the whole content of the cell.
void Eintragen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
               const std::string& text, Schrift schrift = Schrift::Normal);

// The number of characters (not bytes) of a UTF-8 text, as document positions count them.
std::size_t Zeichen(const std::string& text);

// Centimetres in points, through the job's word processor.
float Punkte(float cm);

// The widths of the cells of row `zeile`, from cell 1 on; the other cells keep theirs.
void ZellBreiten(Falle& falle, word::Table& tabelle, std::int32_t zeile,
                 std::initializer_list<float> breitenCm);

// Selects the table and sets its six borders to none.
void RahmenEntfernen(Falle& falle, word::Table& tabelle);

// The widths of the five columns, without adjusting the others.
void SpaltenBreiten(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]);

// Selects column `spalte` and aligns its paragraphs (wdAlignParagraph*).
void SpalteAusrichten(Falle& falle, word::Table& tabelle, std::int32_t spalte,
                      std::int32_t ausrichtung);

// The caption of lblVersion: "V " and the library's revision.
std::string Versionsangabe();

}  // namespace tarvo::formulare
