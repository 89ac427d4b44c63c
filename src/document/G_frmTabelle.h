// G_frmTabelle: the small modal dialog "Tabellenwahl" with which the table lookup lets the user
// choose the fee table to edit: one of up to five tables written earlier, the table at the cursor,
// or a new one. It only presents the choice; the caller makes options available, shows it modally
// and reads the options afterwards. Its handlers trap their errors under "G_frmTabelle" and carry
// on; window state and position are kept in the per-user settings store.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/Buttons.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"

namespace tarvo {

// What the dialog's options say once it is hidden or closed.
enum class Tabellenwahl {
  Neu,             // "neuer Abrechnungspunkt" (also when the dialog was closed by its frame)
  Cursorposition,  // "aktuelle Cursorposition als Abrechnungspunkt interpretieren"
  Eintrag,         // one of the entries "1. vorhandener Eintrag" … "5. vorhandener Eintrag"
};

class G_frmTabelle : public controls::Form {
 public:
  G_frmTabelle();
  ~G_frmTabelle() override;

  controls::Frame sevFrame1;
  controls::OptionButton optNeu;
  controls::OptionButton optAktTabelle;
  controls::CommandButton cmdEnde;
  // The control array optTabelle(0) … optTabelle(4); index outside 0..4 throws 9.
  controls::OptionButton& optTabelle(int index);

  // Makes each available entry say what it holds: the statements of the document tagged `tag`,
  // in document order, get "N. vorhandener Eintrag – <first line of the first row>, <rows>
  // Zeilen, <sum of the last column> €". A statement that cannot be read keeps its caption;
  // errors are reported under "G_frmTabelle", "EintraegeBeschreiben".
  void EintraegeBeschreiben(const std::string& tag);

  // The choice as the caller reads it: the current position first, then a new table, then the
  // entries; `eintrag` gets 1 to 4 for the first four entries and 5 for anything else. Loads the
  // dialog afresh when it was closed by its frame, which reads as a new table.
  Tabellenwahl Auswahl(std::int16_t& eintrag);

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void cmdEnde_Click();
  std::array<std::unique_ptr<controls::OptionButton>, 5> optTabelle_;
};

}  // namespace tarvo
