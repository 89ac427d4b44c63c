// The statement writer of frmKat2 and its reader. The statement is one table of five columns:
// a bold heading row (the title with the variant, the column headings at the foot of their
// cells), then per building the parcel, its description after a manual line break and, for a
// share, a smaller line "Ihr Anteil beträgt …/1000"; the base area and the parts in columns 2
// and 3, the full fee in column 4 (share rows only) and the amount charged in column 5. It is
// tagged "TARVO_03_2", which is how the reader finds it to fill the form again. Each routine runs
// its statements under the trap it is given, so a failing document step is reported under the
// calling handler's name and the next step runs.
#pragma once

#include <cstdint>
#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo {
class frmKat2;
}

namespace tarvo::kat2 {

// Column widths of the statement in cm.
inline constexpr float Breiten[5] = {7.5f, 2.62f, 2.5f, 2.37f, 2.5f};

// The title of the statement for the variant selected on the form.
std::string Titel(const frmKat2& formular);

// Removes the six borders, right-aligns columns 2 to 5 and sets the five widths.
void TabelleFormatieren(Falle& falle, word::Table& tabelle);
// The amount headings of row `zeile`: "Gebühr" in column 4 and "Ihr Anteil" in column 5 when
// any grid row has a share, else "Gebühr" in column 5; each after two line ends, bold. A share
// that cannot be read is left to the statement row that uses it.
void ÜberschriftSchreiben(Falle& falle, const frmKat2& formular, std::int32_t zeile,
                          word::Table& tabelle);
// The amount cells of row `zeile`: for the share 1000 the fee in column 5; for any other share
// the client's part in column 5 and the full fee in column 4.
void GebührSchreiben(Falle& falle, std::int32_t zeile, double gebühr, word::Table& tabelle,
                     std::int16_t anteil);

// "OK": the statement at the place of the old one (deleted), or at the "lumoStart" marker, or
// at the end of the document; one row per building, formatted and tagged "TARVO_03_2". A row
// whose fee could not be computed (empty column 5) or whose share cannot be read is written
// without an amount, so it charges nothing.
void AbrechnungSchreiben(Falle& falle, frmKat2& formular);

// Fills the variant and the grid of `formular` from the statement `tabelle`: every row's
// parcel, description, share, area, parts and fee as it was charged (not recomputed).
void AbrechnungEinlesen(Falle& falle, frmKat2& formular, const word::Table& tabelle);

}  // namespace tarvo::kat2
