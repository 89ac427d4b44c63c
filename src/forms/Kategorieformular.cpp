#include "forms/Kategorieformular.h"

#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "document/G_modSumme.h"
#include "document/Nebenkosten.h"
#include "fees/modStatus.h"

namespace tarvo::formulare {

bool Vorhanden(const word::Table& tabelle) {
  return tabelle.State() && !tabelle.IsDeleted();
}

bool GehoertZu(const word::Table& haupt, const word::Table& begleiter,
               const std::string& tagHaupt) {
  const word::Tables tabellen = Dokument().Tables();
  bool dahinter = false;
  for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
    const word::Table tabelle = tabellen.Item(i);
    if (tabelle == begleiter) return dahinter;
    if (tabelle == haupt)
      dahinter = true;
    else if (dahinter && ErsterKommentar(tabelle) == tagHaupt)
      return false;
  }
  return false;
}

word::Range NeueTabellenStelle(Falle& falle, word::Table& alteTabelle) {
  word::Range stelle;
  if (Vorhanden(alteTabelle)) {
    falle([&] {
      stelle = alteTabelle.Range();
      stelle.Collapse(word::wdCollapseStart);
    });
    falle([&] { alteTabelle.Delete(); });
    return stelle;
  }
  falle([&] { stelle = NeueTabellenstelle(); });
  return stelle;
}

void Chk20AusNebenkosten(Falle& falle, controls::CheckBox& chk20) {
  falle([&] {
    const word::Tables tabellen = Dokument().Tables();
    for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
      const word::Table tabelle = tabellen.Item(i);
      if (ErsterKommentar(tabelle) != TagNebenkosten) continue;
      // With a share, column 5 holds only the client's part of the incidental costs; whether
      // the minimum applied shows in the full amount, which then stands in column 4.
      std::string betrag = ZellText(tabelle, 3, 4);
      if (betrag.empty()) betrag = ZellText(tabelle, 3, 5);
      if (CVal(betrag) < 20) chk20.SetValue(1);
      return;
    }
  });
}

void InHostfensterEinbetten(Falle& falle, controls::Form& formular) {
  falle([&] { formular.SetParentWindow(Status().hWndMDI, FensterstilKind); });
}

void Abschliessen(Falle& falle, controls::Form& formular) {
  falle([&] { Nebenkosten(formular); });
  falle([&] { SummeBilden(Status().Zahlungsziel); });
  formular.Pointer = controls::MousePointer::Default;
  falle([&] { formular.Unload(); });
}

}  // namespace tarvo::formulare
