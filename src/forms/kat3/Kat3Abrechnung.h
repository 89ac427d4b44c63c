// The statement of frmKat3 in the invoice document: the table written on "OK" (heading row with
// the bookmark "TARVO_03_3", one line per axis section with its fee, below it one "Davon …"
// line per non-zero built-up or lane length with its surcharge; tagged "TARVO_03_3") and the
// reading back of such a table into the grid for re-editing, each "Davon …" line folded into
// the length column of the section above it. Each routine runs its statements under the trap it
// is given, so a failing document step is reported under the calling handler's name and the
// next step still runs.
#pragma once

#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo {
class frmKat3;
}

namespace tarvo::kat3 {

// Column widths in cm of the statement (column 4 is a narrow spacer) and of a "Davon …" row.
inline constexpr float BreitenAbrechnung[5] = {7.12f, 3.5f, 4.07f, 0.3f, 2.5f};

// The sentence of a surcharge row for `meter` metres (the number as German text, "12,5").
std::string ZuschlagOrtslage(double meter);
std::string ZuschlagFahrstreifen(double meter);

// Selects the table, removes its six borders, right-aligns column 5 and sets the column widths.
void TabelleFormatieren(Falle& falle, word::Table& tabelle);

// The statement at the place of the old one (deleted), or at the "lumoStart" marker, or at the
// end of the document; formatted, filled, followed by an empty paragraph at the end of the
// document, and tagged "TARVO_03_3".
void AbrechnungSchreiben(Falle& falle, frmKat3& formular);

// Fills the grid of `formular` from the statement `tabelle`: one grid row per fee line, the
// lengths of its "Davon …" lines in columns 5 and 6, price and fee as they were charged.
void AbrechnungEinlesen(Falle& falle, frmKat3& formular, const word::Table& tabelle);

}  // namespace tarvo::kat3
