#include "document/Summentabelle.h"

#include <initializer_list>
#include <vector>

#include "common/Variant.h"
#include "document/Dokumenthilfen.h"

namespace tarvo {

namespace {

constexpr const char* kTag = "RE_Summe";
constexpr int kFett = 1, kNormal = 0, kUnveraendert = -1;

// Appends `text` to the cell and sets its bold state (unless kUnveraendert).
void Schreiben(Falle& falle, const word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
               const std::string& text, int fett) {
  falle([&] { tabelle.Cell(zeile, spalte).Range().InsertAfter(text); });
  if (fett != kUnveraendert) {
    falle([&] { tabelle.Cell(zeile, spalte).Range().SetBold(fett == kFett); });
  }
}

// The characters of a UTF-8 text, one string each.
std::vector<std::string> Zeichen(const std::string& text) {
  std::vector<std::string> zeichen;
  for (unsigned char c : text) {
    if ((c & 0xC0) == 0x80 && !zeichen.empty()) {
      zeichen.back() += static_cast<char>(c);
    } else {
      zeichen.emplace_back(1, static_cast<char>(c));
    }
  }
  return zeichen;
}

}  // namespace

void SummentabellenEntfernen(Falle& falle) {
  std::int32_t i = 1;
  while (true) {
    std::int32_t anzahl = 0;
    falle.Still([&] { anzahl = Dokument().Tables().Count(); });
    if (i > anzahl) break;
    bool entfernt = false;
    falle.Still([&] {
      auto tabelle = Dokument().Tables().Item(i);
      auto kommentare = tabelle.Range().Comments();
      for (std::int32_t j = 1; j <= kommentare.Count(); ++j) {
        if (KommentarText(kommentare.Item(j)) == kTag) {
          tabelle.Delete();
          entfernt = true;
          break;
        }
      }
    });
    // After a deletion the next table has moved up to position i.
    if (!entfernt) ++i;
  }
}

word::Table SummentabelleSchreiben(const Rechnungssummen& summen, Falle& falle) {
  const std::int32_t n = summen.Zeilenzahl();
  const std::int32_t f = summen.ErsteSteuerzeile();
  const auto& saetze = summen.Saetze();

  word::Range stelle;
  falle([&] { stelle = NeueTabellenstelle(); });
  falle([&] {
    stelle.Collapse(word::wdCollapseEnd);
    stelle.InsertParagraphAfter();
    stelle.Collapse(word::wdCollapseEnd);
  });
  word::Table tabelle;
  if (!falle([&] { tabelle = Dokument().Tables().Add(stelle, n, 4); })) return tabelle;

  falle([&] { tabelle.Cell(1, 1).Select(); });
  falle([&] { Dokument().Comments().Add(Anwendung().Selection().Range(), kTag); });
  Schreiben(falle, tabelle, 1, 2, "Summe", kNormal);
  for (std::size_t k = 0; k < saetze.size(); ++k) {
    Schreiben(falle, tabelle, f + static_cast<std::int32_t>(k), 2,
              "Mehrwertsteuer " + SatzText(saetze[k].Satz) + " %", kNormal);
  }
  Schreiben(falle, tabelle, n, 2, "Rechnungsbetrag", kFett);
  Schreiben(falle, tabelle, 1, 4, BetragText(summen.T()), kNormal);
  for (std::size_t k = 0; k < saetze.size(); ++k) {
    Schreiben(falle, tabelle, f + static_cast<std::int32_t>(k), 3,
              BetragText(summen.Zeilenbasis(k)), kNormal);
  }
  for (std::size_t k = 0; k < saetze.size(); ++k) {
    Schreiben(falle, tabelle, f + static_cast<std::int32_t>(k), 4,
              BetragText(summen.Zeilensteuer(k)), kNormal);
  }
  Schreiben(falle, tabelle, n, 4, BetragText(summen.X + summen.V), kFett);
  return tabelle;
}

void AbschlagszeileSchreiben(const word::Table& tabelle, const Rechnungssummen& summen,
                             std::int16_t abschlagProzent, Falle& falle) {
  std::string text = "Abschlagszahlung von ";
  if (abschlagProzent != 100) text += CStr(Variant(abschlagProzent)) + "%";
  // The paragraph break puts the texts of this row on the second line of their cells.
  Schreiben(falle, tabelle, 2, 2, "\r" + text, kFett);
  Schreiben(falle, tabelle, 2, 4, "\r" + BetragText(summen.X), kNormal);
}

// The amount after a marker: the 15 characters behind the marker are searched for " €"; the old
// amount up to the euro sign is replaced by the new amount text. A blank after the euro sign is
// replaced too and written anew, any other character (a full stop, a comma, the paragraph mark)
// is left alone, so the letter's text and paragraphs stay as they were. Without " €" the new
// amount and a blank are inserted right after the marker. The marker and its reference mark are
// never part of what is replaced.
void BetragsfeldErsetzen(const word::Comment& kommentar, double betrag, Falle& falle) {
  word::Selection* auswahl = nullptr;
  if (!falle([&] {
        auto stelle = kommentar.Reference();
        stelle.Collapse(word::wdCollapseEnd);
        stelle.Select();
        auswahl = &Anwendung().Selection();
      })) {
    return;
  }
  std::string folgetext;
  falle([&] {
    auswahl->MoveEnd(word::wdCharacter, 15);
    folgetext = auswahl->Text();
    auswahl->Collapse(word::wdCollapseStart);
  });
  const auto zeichen = Zeichen(folgetext);
  std::string neu = BetragText(betrag);
  for (std::size_t i = 0; i + 1 < zeichen.size(); ++i) {
    if (zeichen[i] == " " && zeichen[i + 1] == "€") {
      std::int32_t laenge = static_cast<std::int32_t>(i) + 2;  // up to and with the euro sign
      if (i + 2 < zeichen.size() && zeichen[i + 2] == " ") {
        ++laenge;
        neu += " ";
      }
      falle([&] { auswahl->MoveEnd(word::wdCharacter, laenge); });
      falle([&] { auswahl->TypeText(neu); });
      return;
    }
  }
  falle([&] { auswahl->TypeText(neu + " "); });
}

void BetragsfelderErsetzen(const std::string& marke, double betrag, Falle& falle) {
  std::int32_t anzahl = 0;
  falle([&] { anzahl = Dokument().Comments().Count(); });
  for (std::int32_t i = 1; i <= anzahl; ++i) {
    word::Comment kommentar;
    bool treffer = false;
    falle([&] {
      kommentar = Dokument().Comments().Item(i);
      treffer = KommentarText(kommentar) == marke;
    });
    if (treffer) BetragsfeldErsetzen(kommentar, betrag, falle);
  }
}

void Abzugszeilen::Zeile(std::int32_t zeile, std::int32_t spalte, const std::string& text,
                         int fett) {
  Schreiben(falle_, tabelle_, zeile, spalte, text, fett);
}

void Abzugszeilen::Kopf(double netto, double steuer, double brutto) {
  falle_([&] { tabelle_.Cell(n_, 2).Range().Delete(); });
  Zeile(n_, 2, "Zwischensumme", kFett);
  for (int i = 0; i < 3; ++i) falle_([&] { tabelle_.Rows().Add(); });
  Zeile(n_ + 2, 2, "Entgeld", kNormal);
  Zeile(n_ + 2, 3, "Umsatzsteuer", kUnveraendert);
  Zeile(n_ + 2, 4, "Summe", kNormal);
  falle_([&] { tabelle_.Rows().Add(); });
  Zeile(n_ + 3, 2, BetragText(netto), kNormal);
  Zeile(n_ + 3, 3, BetragText(steuer), kUnveraendert);
  Zeile(n_ + 3, 4, BetragText(brutto), kNormal);
  falle_([&] { tabelle_.Rows().Add(); });
  Zeile(n_ + 4, 1, "abzgl. Anzahlungen", kUnveraendert);
}

void Abzugszeilen::Rechnung(const std::string& bezeichnung, double netto, double steuer,
                            double brutto) {
  falle_([&] { tabelle_.Rows().Add(); });
  ++k_;
  const std::int32_t zeile = n_ + 4 + k_;
  Zeile(zeile, 1, bezeichnung, kNormal);
  Zeile(zeile, 2, BetragText(netto), kNormal);
  Zeile(zeile, 3, BetragText(steuer), kNormal);
  Zeile(zeile, 4, BetragText(brutto), kNormal);
}

void Abzugszeilen::Rest(double netto, double steuer, double brutto) {
  falle_([&] { tabelle_.Rows().Add(); });
  const std::int32_t zeile = n_ + 5 + k_;
  Zeile(zeile, 1, "verbl. Restbetrag", kFett);
  Zeile(zeile, 2, BetragText(netto), kFett);
  Zeile(zeile, 3, BetragText(steuer), kFett);
  Zeile(zeile, 4, BetragText(brutto), kFett);
}

void SummentabelleFormatieren(const word::Table& tabelle, std::int32_t zeilenzahl,
                              std::int32_t abzuege, Falle& falle) {
  falle([&] { tabelle.Select(); });
  for (std::int32_t rand :
       {word::wdBorderTop, word::wdBorderLeft, word::wdBorderBottom, word::wdBorderRight,
        word::wdBorderHorizontal, word::wdBorderVertical}) {
    falle([&] { Anwendung().Selection().Borders(rand).SetLineStyle(word::wdLineStyleNone); });
  }
  falle(
      [&] { Anwendung().Selection().ParagraphFormat().SetAlignment(word::wdAlignParagraphRight); });
  const std::pair<std::int32_t, float> breiten[] = {{3, 3.0f}, {4, 2.5f}, {1, 4.0f}, {2, 8.0f}};
  for (auto [spalte, cm] : breiten) {
    falle([&] {
      tabelle.Columns(spalte).SetWidth(Anwendung().CentimetersToPoints(cm), word::wdAdjustNone);
    });
  }
  for (std::int32_t zeile = zeilenzahl + 5; zeile <= zeilenzahl + 4 + abzuege; ++zeile) {
    falle([&] {
      tabelle.Cell(zeile, 1).SetWidth(Anwendung().CentimetersToPoints(9.0f), word::wdAdjustNone);
    });
    falle([&] {
      tabelle.Cell(zeile, 2).SetWidth(Anwendung().CentimetersToPoints(3.0f), word::wdAdjustNone);
    });
  }
}

}  // namespace tarvo
