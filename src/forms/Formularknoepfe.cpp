#include "forms/Formularknoepfe.h"

#include "platform/controls/Bildschirm.h"
#include "platform/controls/Oberflaeche.h"

namespace tarvo::formulare {

void KnopfbilderSetzen(Falle& falle, controls::CommandButton& ende,
                       controls::CommandButton& abbruch, controls::CommandButton& löschen,
                       controls::CommandButton& neu) {
  falle([&] { ende.SetPicture("OK"); });
  falle([&] { abbruch.SetPicture("Abbruch"); });
  falle([&] { löschen.SetPicture("Löschen"); });
  falle([&] { neu.SetPicture("Dokument"); });
}

std::vector<std::int32_t> ZeilenLöschen(Falle& falle, controls::Grid& grid) {
  std::vector<std::int32_t> entfernt;
  if (grid.Rows() < 2) return entfernt;
  std::int32_t antwort = 0;
  falle([&] {
    antwort = MsgBox("Zeile löschen?", controls::msgbox::YesNo + controls::msgbox::Question, "");
  });
  if (antwort != controls::msgbox::Yes) return entfernt;
  // One row always stays: a statement needs a line to charge.
  while (!grid.SelectedRows().empty() && grid.Rows() > 1) {
    const std::int32_t zeile = grid.SelectedRows().front();
    if (!falle([&] { grid.RemoveRow(zeile); })) break;
    entfernt.push_back(zeile);
  }
  falle([&] { grid.SetSetting("Rollbalken", grid.Rows() > 9 ? 1 : 0); });
  return entfernt;
}

}  // namespace tarvo::formulare
