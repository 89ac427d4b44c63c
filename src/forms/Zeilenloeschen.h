// Deleting the selected rows of a fee grid, as the "&Löschen" button of every category form does:
// refused silently while the grid has fewer than two rows, otherwise after the question
// "Zeile löschen?" (Yes/No, question icon) every selected row goes, one after the other, while
// more than one row is left. Runs its statements under the caller's trap.
#pragma once

#include <cstdint>
#include <functional>

#include "errors/Falle.h"
#include "platform/controls/Grid.h"

namespace tarvo::formulare {

// Deletes the selected rows of `grid` after asking; `entfernt` (when set) hears of each row
// removed, by its number at the time. Sets the grid's scroll setting "Rollbalken" for more than
// nine rows left. Returns whether the user said Yes (false when the question was not asked).
bool ZeilenLöschen(Falle& falle, controls::Grid& grid,
                   const std::function<void(std::int32_t zeile)>& entfernt = {});

}  // namespace tarvo::formulare
