#include "forms/Formularknoepfe.h"

#include <algorithm>
#include <set>

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
  // The grid keeps one row. When every row was chosen, the one left is emptied: it then charges
  // nothing, as nothing of what was chosen for deletion stays.
  const std::set<std::int32_t> gewählt(grid.SelectedRows().begin(), grid.SelectedRows().end());
  const bool alle = gewählt.size() == static_cast<std::size_t>(grid.Rows()) &&
                    *gewählt.begin() == 1 && *gewählt.rbegin() == grid.Rows();
  while (!grid.SelectedRows().empty() && grid.Rows() > 1) {
    const std::int32_t zeile = grid.SelectedRows().front();
    if (!falle([&] { grid.RemoveRow(zeile); })) break;
    entfernt.push_back(zeile);
  }
  if (alle && grid.Rows() == 1)
    for (std::int32_t spalte = 1; spalte <= grid.Cols(); ++spalte)
      falle([&] { grid.SetTextMatrix(1, spalte, ""); });
  falle([&] { grid.SetSetting("Rollbalken", grid.Rows() > 9 ? 1 : 0); });
  return entfernt;
}

bool ZeileLeer(const controls::Grid& grid, std::int32_t zeile,
               std::initializer_list<std::int32_t> ausgaben) {
  for (std::int32_t spalte = 1; spalte <= grid.Cols(); ++spalte) {
    if (std::find(ausgaben.begin(), ausgaben.end(), spalte) != ausgaben.end()) continue;
    if (grid.TextMatrix(zeile, spalte).find_first_not_of(' ') != std::string::npos) return false;
  }
  return true;
}

bool Zeilenende(Falle& falle, controls::Grid& grid, std::int16_t& taste, std::int16_t umschalt,
                std::int32_t spalte, float höhe,
                const std::function<void(std::int32_t zeile)>& neueZeile) {
  if (umschalt != controls::umschalt::Keine || grid.Col() != spalte) return false;
  if (taste != controls::taste::Tab && taste != controls::taste::Rechts) return false;
  if (grid.Row() == grid.Rows()) {
    // The new row goes after the last one, so the row just finished stays where it is.
    falle([&] { grid.InsertRow(grid.Rows() + 1); });
    falle([&] { grid.SetRow(grid.Rows()); });
    falle([&] { grid.SetRowHeight(grid.Row(), höhe); });
    neueZeile(grid.Row());
  } else {
    falle([&] { grid.SetRow(grid.Row() + 1); });
  }
  taste = 0;
  return true;
}

}  // namespace tarvo::formulare
