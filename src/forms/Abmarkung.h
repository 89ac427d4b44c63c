// The boundary marking table under Nr. 6 that the forms of categories 1 and 4 write after their
// statement: a title, the headings, one line for the points marked under Nr. 6.1 (26 € each)
// and one for those under Nr. 6.22 (61 € each), tagged as the form's companion table; and the
// reading back of its counts and share when the form re-opens. The writer runs its statements
// under the trap it is given and calls the form's own procedures for the layout and the amount
// cells, so every failure is reported under the name of the procedure that failed and the next
// step still runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "errors/Falle.h"
#include "platform/controls/MaskEdBox.h"
#include "platform/word/Document.h"

namespace tarvo::formulare {

inline constexpr const char* TitelAbmarkung = "Abmarkung von Grenzpunkten nach Nr. 6";
inline constexpr const char* ZeileNr61 = "Abgemarkte Grenzpunkte nach Nr. 6.1";
inline constexpr const char* ZeileNr622 = "Abgemarkte Grenzpunkte nach Nr. 6.22";
inline constexpr double GebührJePunktNr61 = 26;
inline constexpr double GebührJePunktNr622 = 61;
// Column widths of the marking table in cm.
inline constexpr float BreitenAbmarkung[5] = {7.37f, 1.63f, 3.63f, 2.37f, 2.5f};

// What one form hands the writer.
struct Abmarkung {
  // The texts of the two count fields, written as they stand (with their blanks).
  std::string punkteNr61;
  std::string punkteNr622;
  // Whether a share applies: the headings "Gebühr" and "Ihr Anteil" instead of "Gebühr".
  bool mitAnteil = false;
  // With a share, the text of the share field for a second, smaller line of the title
  // "(Ihr Anteil beträgt …/1000)"; empty for no such line.
  std::string anteilImTitel;
  // Whether a table going to a new place (no old table) gets a paragraph of its own first.
  bool eigenerAbsatz = false;
  // The tag of the table.
  std::string tag;
  // The form's layout procedure and its amount procedure (columns 4 and 5 of a row).
  std::function<void(word::Table&)> formatieren;
  std::function<void(std::int16_t zeile, double gebühr, word::Table&)> gebührEintragen;
};

// Deletes `alteTabelle` (when set) and writes the marking table at its place, or at the place
// of a new table (Kategorieformular's NeueTabellenStelle) without one. Both counts at 0 or below
// write nothing: an old table is then gone.
void AbmarkungSchreiben(Falle& falle, word::Table& alteTabelle, const Abmarkung& abmarkung);

// Fills the count fields from a marking table: a Nr. 6.1 line in row 3 goes to `nr61` and a
// fourth row to `nr622`; a lone Nr. 6.22 line goes to `nr622`, each through ZahlfeldAusZelle.
// Cells that cannot be read leave their field.
void AbmarkungEinlesen(Falle& falle, const word::Table& tabelle, controls::MaskEdBox& nr61,
                       controls::MaskEdBox& nr622, std::int16_t breite);

// A masked count field from a table cell: the cell's text as it stands when the field takes it
// (digits and blanks, at most the field's places), so that confirming a re-opened statement
// writes the same cells; anything else as its number with WertFormatieren at `breite`, no
// decimals.
void ZahlfeldAusZelle(controls::MaskEdBox& feld, const std::string& zelle, std::int16_t breite);

// The share of a title cell that carries "Ihr Anteil beträgt": the share field's text as it was
// written ("250 ", so that confirming a re-opened statement writes the same title), otherwise
// the number after the phrase (0 taken as 1) right-aligned in four characters; "1000" when the
// phrase is not there.
std::string AnteilAusTitel(const std::string& titel);

// Appends `text` to the content of cell (zeile, spalte) and returns the range of what was
// appended ("\r\n" starts a new paragraph inside the cell, character 11 a new line).
word::Range Anhängen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
                     const std::string& text);

}  // namespace tarvo::formulare
