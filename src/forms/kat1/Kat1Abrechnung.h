// The statement writer of frmKat1: the category-1 fee table (title with the share line, part a
// with the reduced points, part b with one line per parcel, the part-b reduction) and the
// boundary marking table under Nr. 6, with their layouts, widths and tags, and the share rules
// of the amount cells. Each routine runs its statements under the trap it is given, so a
// failing document step is reported under the calling handler's name and the next step runs.
#pragma once

#include <cstdint>
#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo {
class frmKat1;
}

namespace tarvo::kat1 {

// Column widths in cm of the statement and of the boundary marking table.
inline constexpr float BreitenAbrechnung[5] = {7.12f, 2.75f, 2.75f, 2.37f, 2.5f};
inline constexpr float BreitenAbmarkung[5] = {7.37f, 1.63f, 3.63f, 2.37f, 2.5f};

// Selects the table, removes its six borders, right-aligns every paragraph, left-aligns
// column 1 and sets the five column widths (cm).
void TabelleFormatieren(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]);

// The headings of the amount columns in row `zeile`: with a share (numeric value of
// `anteilText` not 1000) "Gebühr" in column 4 and "Ihr Anteil" in column 5, else "Gebühr" in
// column 5; bold.
void ÜberschriftSchreiben(Falle& falle, const std::string& anteilText, std::int32_t zeile,
                          word::Table& tabelle);
// The amount cells of row `zeile`: with a share text that is neither "1000" nor empty the
// client's part in column 5 and the full fee in column 4, else the fee in column 5.
void GebührSchreiben(Falle& falle, const std::string& anteilText, std::int32_t zeile, double gebühr,
                     word::Table& tabelle);

// Steps 1 to 12 of "OK": the statement table at the place of the old one (deleted), or at the
// "lumoStart" marker, or at the end of the document; formatted, filled and tagged "TARVO_03_1".
void AbrechnungSchreiben(Falle& falle, frmKat1& formular);

// The boundary marking table: replaces the companion found at load (or goes to a new place),
// written only when a count under Nr. 6.1 or 6.22 is above 0, tagged "TARVO_03_1A".
void AbmarkungSchreiben(Falle& falle, frmKat1& formular);

}  // namespace tarvo::kat1
