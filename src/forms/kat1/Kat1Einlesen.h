// The reader of an old category-1 statement: when frmKat1 opens on a statement that an earlier
// "OK" wrote, it fills the grid and the fields back from that table (parcels, categories,
// areas, fees as stored, share, point counts, the reduction and its percentage) and from its
// boundary marking companion (the counts under Nr. 6.1 and 6.22). Every statement runs under
// the trap of Form_Load: a cell that cannot be read leaves its field as it was.
#pragma once

#include <string>

#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo {
class frmKat1;
}

namespace tarvo::kat1 {

// The text of `text` from its `zeichen`-th character on (1-based, counting UTF-8 characters,
// not bytes); empty when the text is shorter.
std::string AbZeichen(const std::string& text, std::size_t zeichen);

// Fills the grid and fields of `formular` from the statement table `tabelle`.
void AbrechnungEinlesen(Falle& falle, frmKat1& formular, const word::Table& tabelle);
// Fills mskGP and mskGP2 from the boundary marking table `tabelle`.
void AbmarkungEinlesen(Falle& falle, frmKat1& formular, const word::Table& tabelle);

}  // namespace tarvo::kat1
