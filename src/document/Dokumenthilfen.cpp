#include "document/Dokumenthilfen.h"

#include "errors/Falle.h"
#include "errors/Laufzeitfehler.h"
#include "fees/modStatus.h"

namespace tarvo {

word::Document& Dokument() {
  if (!Status().Doc) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  return *Status().Doc;
}

word::Application& Anwendung() {
  if (!Status().WordApp) throw Laufzeitfehler(fehlernummer::ObjektNichtFestgelegt);
  return *Status().WordApp;
}

std::string KommentarText(const word::Comment& kommentar) {
  std::string text = kommentar.Range().Text();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

std::string ZellText(const word::Table& tabelle, std::int32_t zeile, std::int32_t spalte) {
  std::string text = tabelle.Cell(zeile, spalte).Range().Text();
  return text.size() >= 2 ? text.substr(0, text.size() - 2) : std::string();
}

std::string ErsterKommentar(const word::Table& tabelle) {
  auto kommentare = tabelle.Range().Comments();
  return kommentare.Count() > 0 ? KommentarText(kommentare.Item(1)) : std::string();
}

bool IstSummentabelle(const word::Table& tabelle) {
  return tabelle.Cell(1, 2).Range().Text() == "Summe\r\a";
}

}  // namespace tarvo

namespace tarvo {

std::optional<word::Comment> ErsterMarker(const std::string& wort) {
  auto kommentare = Dokument().Comments();
  for (std::int32_t i = 1; i <= kommentare.Count(); ++i) {
    auto kommentar = kommentare.Item(i);
    if (KommentarText(kommentar) == wort) return kommentar;
  }
  return std::nullopt;
}

std::optional<std::string> MarkeInTabelle() {
  auto marke = ErsterMarker("lumoStart");
  if (!marke) return std::nullopt;
  const word::Range stelle = marke->Reference();
  Falle falle("Dokumenthilfen", "MarkeInTabelle");
  const word::Tables tabellen = Dokument().Tables();
  for (std::int32_t i = 1; i <= tabellen.Count(); ++i) {
    const word::Table tabelle = tabellen.Item(i);
    const word::Range bereich = tabelle.Range();
    if (stelle.Start() < bereich.Start() || stelle.Start() >= bereich.End()) continue;
    std::string wo = "Tabelle " + std::to_string(i);
    for (std::int32_t r = 1; r <= tabelle.Rows().Count(); ++r) {
      for (std::int32_t s = 1;; ++s) {
        word::Range zelle;
        // A row ends where its cells end; the failed lookup of the next one is no error.
        if (!falle.Still([&] { zelle = tabelle.Cell(r, s).Range(); })) break;
        if (stelle.Start() >= zelle.Start() && stelle.Start() < zelle.End())
          return wo + ", Zeile " + std::to_string(r) + ", Spalte " + std::to_string(s);
      }
    }
    return wo;
  }
  return std::nullopt;
}

std::int32_t TabellenMitTag(const std::string& tag) {
  const word::Tables tabellen = Dokument().Tables();
  std::int32_t n = 0;
  for (std::int32_t i = 1; i <= tabellen.Count(); ++i)
    if (ErsterKommentar(tabellen.Item(i)) == tag) ++n;
  return n;
}

word::Range NeueTabellenstelle() {
  if (auto marke = ErsterMarker("lumoStart")) {
    auto stelle = marke->Reference();
    stelle.Collapse(word::wdCollapseStart);
    stelle.MoveStart(word::wdWord, -1);
    stelle.InsertParagraphBefore();
    stelle.Collapse(word::wdCollapseStart);
    return stelle;
  }
  auto stelle = Dokument().Content();
  stelle.Collapse(word::wdCollapseEnd);
  stelle.InsertParagraphAfter();
  stelle.Collapse(word::wdCollapseEnd);
  return stelle;
}

}  // namespace tarvo
