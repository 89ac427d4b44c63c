#include "document/KM_WordAuto.h"

#include "document/Dokumenthilfen.h"
#include "document/G_frmTabelle.h"
#include "errors/Falle.h"

namespace tarvo {

namespace {

constexpr const char* kModul = "KM_WordAuto";
constexpr const char* kKostentabelle = "RE_HOAI_Kosten";

std::optional<word::Table> TabelleWaehlen(const std::string& Name, Falle& falle) {
  std::int32_t n = 0;
  falle([&] {
    auto kommentare = Dokument().Comments();
    for (std::int32_t i = 1; i <= kommentare.Count(); ++i) {
      if (KommentarText(kommentare.Item(i)) == Name) ++n;
    }
  });

  // The cursor stands in a table that carries no tag: it may be taken as the table to edit.
  bool aktuell = false;
  falle([&] {
    auto tabellen = Anwendung().Selection().Tables();
    if (tabellen.Count() > 0) aktuell = tabellen.Item(1).Range().Comments().Count() == 0;
  });
  if (n == 0 && !aktuell) return std::nullopt;

  G_frmTabelle dialog;
  falle([&] {
    dialog.Load();
    for (int i = 0; i < 5; ++i) dialog.optTabelle(i).SetEnabled(i < n);
    dialog.optAktTabelle.SetEnabled(aktuell);
  });
  dialog.EintraegeBeschreiben(Name);
  falle([&] { dialog.Show(true); });

  std::int16_t eintrag = 5;
  auto wahl = Tabellenwahl::Neu;
  falle([&] { wahl = dialog.Auswahl(eintrag); });
  falle([&] { dialog.Unload(); });

  std::optional<word::Table> ergebnis;
  switch (wahl) {
    case Tabellenwahl::Cursorposition:
      falle([&] {
        auto gewaehlt = Anwendung().Selection().Tables().Item(1);
        auto tabellen = Dokument().Tables();
        for (std::int32_t k = 1; k <= tabellen.Count(); ++k) {
          if (tabellen.Item(k) == gewaehlt) {
            TabellenNummer = static_cast<std::int16_t>(k);
            break;
          }
        }
        ergebnis = gewaehlt;
      });
      break;
    case Tabellenwahl::Neu:
      TabellenNummer = 0;
      break;
    case Tabellenwahl::Eintrag:
      falle([&] {
        auto tabellen = Dokument().Tables();
        std::int32_t m = 0;
        for (std::int32_t k = 1; k <= tabellen.Count(); ++k) {
          auto tabelle = tabellen.Item(k);
          if (tabelle.Range().Comments().Count() == 0 || ErsterKommentar(tabelle) != Name) continue;
          if (++m == eintrag) {
            TabellenNummer = static_cast<std::int16_t>(k);
            ergebnis = tabelle;
            return;
          }
        }
      });
      break;
  }
  return ergebnis;
}

std::optional<word::Table> FolgetabelleSuchen(const std::string& Name, Falle& falle) {
  std::optional<word::Table> ergebnis;
  if (TabellenNummer == 0) return ergebnis;
  falle([&] {
    auto tabellen = Dokument().Tables();
    for (std::int32_t k = TabellenNummer; k <= tabellen.Count(); ++k) {
      auto tabelle = tabellen.Item(k);
      if (tabelle.Range().Comments().Count() == 0) continue;
      std::string tag = ErsterKommentar(tabelle);
      if (tag == Name) {
        ergebnis = tabelle;
        return;
      }
      // The companion never lies beyond the invoice's own cost table.
      if (k > TabellenNummer && tag == kKostentabelle) return;
    }
  });
  return ergebnis;
}

}  // namespace

void BookmarkSetzen(const word::Table& Tabelle, const std::string& Name) {
  Falle falle(kModul, "BookmarkSetzen");
  falle([&] { Tabelle.Cell(1, 5).Select(); });
  word::Range ende;
  falle([&] {
    ende = Tabelle.Cell(1, 5).Range();
    ende.Collapse(word::wdCollapseEnd);
  });
  falle([&] { ende.Comments().Add(Anwendung().Selection().Range(), Name); });
}

std::optional<word::Table> TabelleErmitteln(const std::string& Name, bool Folgetabelle) {
  Falle falle(kModul, "TabelleErmitteln");
  return Folgetabelle ? FolgetabelleSuchen(Name, falle) : TabelleWaehlen(Name, falle);
}

}  // namespace tarvo
