#include "forms/Zeilenloeschen.h"

#include "platform/controls/Bildschirm.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo::formulare {

bool ZeilenLöschen(Falle& falle, controls::Grid& grid,
                   const std::function<void(std::int32_t zeile)>& entfernt) {
  if (grid.Rows() < 2) return false;
  std::int32_t antwort = 0;
  falle([&] {
    antwort = MsgBox("Zeile löschen?", controls::msgbox::YesNo + controls::msgbox::Question, "");
  });
  if (antwort != controls::msgbox::Yes) return false;
  // One row always stays: a statement without a parcel line would be an empty table.
  while (!grid.SelectedRows().empty() && grid.Rows() > 1) {
    const std::int32_t zeile = grid.SelectedRows().front();
    if (!falle([&] { grid.RemoveRow(zeile); })) break;
    if (entfernt) entfernt(zeile);
  }
  falle([&] { grid.SetSetting("Rollbalken", grid.Rows() > 9 ? 1 : 0); });
  return true;
}

}  // namespace tarvo::formulare
