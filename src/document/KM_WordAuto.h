// The table tags and their lookup. Every fee table the system writes is tagged with a comment in
// cell (1, 5) whose text is the table's template name ("TARVO_03_1" … "TARVO_Neben");
// BookmarkSetzen writes that tag, TabelleErmitteln finds the table a category form is to edit,
// asking the user through G_frmTabelle where there is a choice. Both trap their errors under
// "KM_WordAuto", log them and carry on: a table with fewer than five columns gets no tag, and a
// lookup that fails gives no table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/word/Document.h"

namespace tarvo {

// Position (1-based, among all tables of the document) of the fee table chosen by the last
// TabelleErmitteln(…, false); 0 when a new table is to be written. Kept between calls.
inline std::int16_t TabellenNummer = 0;

// Tags `Tabelle` with a comment `Name` on its cell (1, 5), through the shared selection.
void BookmarkSetzen(const word::Table& Tabelle, const std::string& Name);

// Folgetabelle false: the table tagged `Name` that the user chooses (no dialog when there is
// nothing to choose), the table at the cursor when the user takes that, or none for a new table;
// sets TabellenNummer. Folgetabelle true: the companion table tagged `Name` from position
// TabellenNummer on, but not beyond the invoice's own cost table "RE_HOAI_Kosten"; none when
// TabellenNummer is 0 or there is no such table.
std::optional<word::Table> TabelleErmitteln(const std::string& Name, bool Folgetabelle);

}  // namespace tarvo
