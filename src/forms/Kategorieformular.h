// The workflow the category forms share: where a new statement table goes (at the place of the
// statement chosen for editing, else at the marker comment "lumoStart", else at the end of the
// document), the check of chk20 against the incidental costs of the last run, the parenting
// into the host window, and the completion sequence after a form has written its tables
// (incidental costs, invoice totals, unload). Each routine runs its statements under the trap of
// the calling handler, so a failing step is reported with the form's module and procedure name
// and the next step still runs.
#pragma once

#include <cstdint>
#include <string>

#include "errors/Falle.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Form.h"
#include "platform/word/Document.h"

namespace tarvo::formulare {

// The marker comment where new tables go, and the tag of the incidental costs table.
inline constexpr const char* MarkeStart = "lumoStart";
inline constexpr const char* TagNebenkosten = "TARVO_Neben";
// Extended window style of a category form inside the host window (MDI child, window edge).
inline constexpr std::int32_t FensterstilKind = 0x140;

// Whether `tabelle` is set and not deleted.
bool Vorhanden(const word::Table& tabelle);

// Whether `begleiter` (a companion found by its tag after the statement `haupt`) belongs to that
// statement: no other table tagged `tagHaupt` stands between the two. A companion beyond the
// next statement of the same category is that statement's own.
bool GehoertZu(const word::Table& haupt, const word::Table& begleiter, const std::string& tagHaupt);

// The place of a new statement table, as a collapsed range of the job's document (Doc). With
// `alteTabelle` set, the place is where that table stood, and the table is deleted. Otherwise
// the place is taken at the first comment reading "lumoStart" (its anchor collapsed to its
// start, moved back by one word, a paragraph inserted before it) and, without one, at the end of
// the document in a new paragraph. Failing steps are reported through `falle`; the result is
// then an unset range, on which adding a table fails in its turn.
word::Range NeueTabellenStelle(Falle& falle, word::Table& alteTabelle);

// Ticks `chk20` when the first table of Doc tagged "TARVO_Neben" charges less than 20 € in its
// cell (3,5): the minimum was not applied last time. Without such a table nothing changes.
void Chk20AusNebenkosten(Falle& falle, controls::CheckBox& chk20);

// Makes the form a child of the host window hWndMDI with the extended style 0x140.
void InHostfensterEinbetten(Falle& falle, controls::Form& formular);

// The completion sequence after the form's own tables are written: the incidental costs (which
// read the form's chk20), the invoice totals with the flag Zahlungsziel, the mouse pointer back
// to default, and the form unloaded.
void Abschliessen(Falle& falle, controls::Form& formular);

}  // namespace tarvo::formulare
