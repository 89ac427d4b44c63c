// The statement writer of frmKat4: the restoration table (title with the item and the column
// headings in row 1, one line per parcel with the share note of a shared row), its layout and
// tag, the amount cells with the client's share, and the boundary marking companion through the
// shared writer of forms/Abmarkung. Each routine runs its statements under the trap it is given,
// so a failing document step is reported under the calling handler's name and the next step runs.
#pragma once

#include <cstdint>
#include <string>

#include "errors/Falle.h"
#include "platform/controls/Grid.h"
#include "platform/word/Document.h"

namespace tarvo {
class frmKat4;
}

namespace tarvo::kat4 {

// Column widths in cm of the restoration statement.
inline constexpr float BreitenAbrechnung[5] = {8.0f, 2.5f, 2.13f, 2.37f, 2.5f};
inline constexpr const char* TitelNr41 = "Grenzwiederherstellung nach Nr. 4.1";
inline constexpr const char* TitelNr42 = "Grenzwiederherstellung nach Nr. 4.2";
// The note of a shared row, on a second line of its first cell: phrase, share, "/1000".
inline constexpr const char* AnteilNotiz = "Ihr Anteil beträgt";

// Selects the table, removes its six borders, right-aligns every paragraph, left-aligns column 1
// and sets the five column widths (cm).
void TabelleFormatieren(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]);

// The amount cells of row `zeile`: with the share 1000 "0.00 €" of the fee in column 5; with any
// other share the client's part right-aligned in eight characters and " €" in column 5 and the
// fee in column 4.
void BetragSchreiben(Falle& falle, std::int32_t zeile, double gebühr, word::Table& tabelle,
                     std::int16_t anteil);

// Whether grid row `zeile` has a share (its column-4 share is not 1000).
bool ZeileMitAnteil(const controls::Grid& grid, std::int32_t zeile);

// The headings of the amount columns in row `zeile`, each below two empty lines: with a share
// "Gebühr" in column 4 and "Ihr Anteil" in column 5, else "Gebühr" in column 5; bold.
void ÜberschriftSchreiben(Falle& falle, bool mitAnteil, std::int32_t zeile, word::Table& tabelle);

// Steps 1 to 8 of "OK": the statement at the place of the old one (deleted), or at the
// "lumoStart" marker, or at the end of the document; formatted, filled and tagged "TARVO_03_4".
void AbrechnungSchreiben(Falle& falle, frmKat4& formular);

// The boundary marking table from mskneueAP, mskGP2 and mskAnteil, tagged "TARVO_03_4A".
void AbmarkungSchreiben(Falle& falle, frmKat4& formular);

}  // namespace tarvo::kat4
