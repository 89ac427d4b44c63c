// The reader of an old restoration statement: when frmKat4 opens on a statement that an earlier
// "OK" wrote, it sets the item option from the title, fills the grid back (parcel texts, points,
// reduced points, each row's share from its note line, the full fees as stored), and takes the
// marking counts and the marking share from the companion table. Every statement runs under the
// trap of Form_Load: a cell that cannot be read leaves its field as it was.
#pragma once

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo {
class frmKat4;
}

namespace tarvo::kat4 {

// Fills the option and the grid of `formular` from the statement table `tabelle`.
void AbrechnungEinlesen(Falle& falle, frmKat4& formular, const word::Table& tabelle);
// Fills mskneueAP, mskGP2 and mskAnteil from the marking table `tabelle`.
void AbmarkungEinlesen(Falle& falle, frmKat4& formular, const word::Table& tabelle);

}  // namespace tarvo::kat4
