#include "document/Nebenkosten.h"

#include <initializer_list>
#include <string>

#include "common/Funktionen.h"
#include "document/Dokumenthilfen.h"
#include "document/KM_WordAuto.h"
#include "document/Rechnungssummen.h"
#include "errors/Falle.h"
#include "errors/Pruefen.h"
#include "platform/controls/Buttons.h"

namespace tarvo {

namespace {

constexpr const char* kTag = "TARVO_Neben";

void AlteTabelleEntfernen(Falle& falle) {
  std::int32_t anzahl = 0;
  falle([&] { anzahl = Dokument().Tables().Count(); });
  for (std::int32_t i = 1; i <= anzahl; ++i) {
    bool entfernt = false;
    // A table of the letter's own (no comment at all: an address block, a letterhead) is passed
    // by silently, as the other table walks do; a failure on a table that has comments is
    // logged and the walk goes on.
    falle([&] {
      auto tabelle = Dokument().Tables().Item(i);
      word::Comments kommentare = tabelle.Range().Comments();
      if (kommentare.Count() == 0) return;
      if (KommentarText(kommentare.Item(1)) == kTag) {
        tabelle.Delete();
        entfernt = true;
      }
    });
    if (entfernt) break;
  }
}

struct Gebuehrensummen {
  double Anteil = 0;   // what is charged to the client (column 5)
  double Gebuehr = 0;  // the full fees (column 4, else column 5)
};

Gebuehrensummen GebuehrenSummieren(Falle& falle) {
  Gebuehrensummen summen;
  std::int32_t anzahl = 0;
  falle.Still([&] { anzahl = Dokument().Tables().Count(); });
  for (std::int32_t i = 1; i <= anzahl; ++i) {
    word::Table tabelle;
    if (!falle.Still([&] { tabelle = Dokument().Tables().Item(i); })) continue;
    bool summe = false;
    falle.Still([&] { summe = IstSummentabelle(tabelle); });
    if (summe) continue;
    std::int32_t zeilen = 0;
    falle.Still([&] { zeilen = tabelle.Rows().Count(); });
    for (std::int32_t r = 1; r <= zeilen; ++r) {
      std::string anteil, gebuehr;
      falle.Still([&] { anteil = ZellText(tabelle, r, 5); });
      falle.Still([&] { gebuehr = ZellText(tabelle, r, 4); });
      if (!anteil.empty()) summen.Anteil += CVal(Tausche(anteil, "\r", ""));
      if (!gebuehr.empty()) {
        summen.Gebuehr += CVal(gebuehr);
      } else if (!anteil.empty()) {
        summen.Gebuehr += CVal(Tausche(anteil, "\r", ""));
      }
    }
  }
  return summen;
}

void Schreiben(const word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
               const std::string& text) {
  tabelle.Cell(zeile, spalte).Range().InsertAfter(text);
}

}  // namespace

void Nebenkosten(controls::Form& formular) {
  Falle falle("modStatus", "Nebenkosten");
  AlteTabelleEntfernen(falle);

  const auto summen = GebuehrenSummieren(falle);
  const bool anteilig = summen.Gebuehr != summen.Anteil;

  word::Table tabelle;
  if (!falle.Still([&] { tabelle = Dokument().Tables().Add(NeueTabellenstelle(), 3, 5); })) {
    return;
  }
  falle.Still([&] {
    Schreiben(tabelle, 1, 1, "Auslagen nach Nr. 1.3\v");
    tabelle.Cell(1, 1).Range().SetBold(true);
  });
  falle.Still([&] {
    Schreiben(tabelle, 2, 1, "Nebenkosten nach 1.3.2 ");
    tabelle.Cell(2, 1).Range().SetItalic(true);
  });
  falle.Still([&] {
    Schreiben(tabelle, 2, 3, "Summe");
    tabelle.Cell(2, 3).Range().SetBold(true);
  });
  if (anteilig) {
    falle.Still([&] {
      Schreiben(tabelle, 2, 4, "Gebühr");
      tabelle.Cell(2, 4).Range().SetBold(true);
    });
  }
  falle.Still([&] {
    Schreiben(tabelle, 2, 5, anteilig ? "Ihr Anteil" : "Gebühr");
    tabelle.Cell(2, 5).Range().SetBold(true);
  });
  falle.Still([&] {
    Schreiben(tabelle, 3, 1, "2% nach Nr.2 bis 7, 8.1 bis 8.4, 8.8 und 8.9 mind. 20€");
    tabelle.Cell(3, 1).Range().SetBold(false);
  });
  falle.Still([&] { Schreiben(tabelle, 3, 3, BetragText(summen.Gebuehr)); });

  double quote = 0;
  falle.Still([&] { quote = Teile(summen.Anteil, summen.Gebuehr); });
  double auslagen = summen.Gebuehr * 0.02;
  bool ohneMindestgebuehr = false;
  falle.Still(
      [&] { ohneMindestgebuehr = formular.Steuerelement<controls::CheckBox>("chk20").Value(); });
  if (auslagen < 20 && !ohneMindestgebuehr) auslagen = 20;
  if (anteilig) {
    falle.Still([&] { Schreiben(tabelle, 3, 5, BetragText(auslagen * quote)); });
    falle.Still([&] { Schreiben(tabelle, 3, 4, BetragText(auslagen)); });
  } else {
    falle.Still([&] { Schreiben(tabelle, 3, 5, BetragText(auslagen)); });
  }

  falle.Still([&] { tabelle.Select(); });
  for (std::int32_t rand :
       {word::wdBorderTop, word::wdBorderLeft, word::wdBorderBottom, word::wdBorderRight,
        word::wdBorderHorizontal, word::wdBorderVertical}) {
    falle.Still([&] { Anwendung().Selection().Borders(rand).SetLineStyle(word::wdLineStyleNone); });
  }
  falle.Still(
      [&] { Anwendung().Selection().ParagraphFormat().SetAlignment(word::wdAlignParagraphRight); });
  const std::pair<std::int32_t, float> breiten[] = {
      {4, 2.37f}, {5, 2.5f}, {1, 9.5f}, {3, 2.63f}, {2, 0.5f}};
  for (auto [spalte, cm] : breiten) {
    falle.Still([&] {
      tabelle.Columns(spalte).SetWidth(Anwendung().CentimetersToPoints(cm), word::wdAdjustNone);
    });
  }
  falle.Still([&] {
    tabelle.Columns(1).Select();
    Anwendung().Selection().ParagraphFormat().SetAlignment(word::wdAlignParagraphLeft);
  });

  BookmarkSetzen(tabelle, kTag);
}

}  // namespace tarvo
