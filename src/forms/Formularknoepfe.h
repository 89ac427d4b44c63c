// What the buttons and the grid keys of a category form do alike: the button pictures from the
// shared icon list, "Löschen", which asks before it removes the selected grid rows and always
// leaves one row, and Tab at the end of a grid row, which moves on or appends a row.
// Each step runs under the trap of the calling handler, so a failure is reported under the
// form's module and the handler's name and the next step still runs.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "errors/Falle.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Grid.h"

namespace tarvo::formulare {

// The pictures by key: "OK", "Abbruch", "Löschen" and "Dokument" (for "Einfügen").
void KnopfbilderSetzen(Falle& falle, controls::CommandButton& ende,
                       controls::CommandButton& abbruch, controls::CommandButton& löschen,
                       controls::CommandButton& neu);

// CommandLöschen_Click: with fewer than two rows nothing happens; otherwise "Zeile löschen?" is
// asked (Yes/No, question icon, no title) and on Yes the selected rows are removed one after
// the other while more than one row is left; when every row was selected, the row left is
// emptied (see ZeileLeer). The grid's scroll setting follows the row count.
// Returns the number each removed row had when it was removed, in order (empty when the user
// said No or nothing was selected).
std::vector<std::int32_t> ZeilenLöschen(Falle& falle, controls::Grid& grid);

// Whether every cell of row `zeile` but the output columns `ausgaben` is blank: such a row (what
// "Löschen" leaves of a grid whose rows were all deleted) is computed as nothing, and charges
// nothing.
bool ZeileLeer(const controls::Grid& grid, std::int32_t zeile,
               std::initializer_list<std::int32_t> ausgaben);

// The grid's KeyDown: with no shift key, Tab (9) or Right (39) in column `spalte`: on the last
// row a row is appended after it, made current with the height `höhe`, and `neueZeile(zeile)`
// fills and computes it; on any other row the next row becomes current. The key is then
// swallowed (set to 0) and true returned; any other key passes untouched (false).
bool Zeilenende(Falle& falle, controls::Grid& grid, std::int16_t& taste, std::int16_t umschalt,
                std::int32_t spalte, float höhe,
                const std::function<void(std::int32_t zeile)>& neueZeile);

}  // namespace tarvo::formulare
