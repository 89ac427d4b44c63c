// Stand-in for forms/Tabellenschrift.h until it lands on main; removed at the merge.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "document/Dokumenthilfen.h"
#include "errors/Falle.h"
#include "platform/word/Document.h"

namespace tarvo::formulare {

enum class Schrift { Normal, Fett, Kursiv };

inline void Eintragen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
                      const std::string& text, Schrift schrift = Schrift::Normal) {
  word::Range bereich = tabelle.Cell(zeile, spalte).Range();
  bereich.InsertAfter(text);
  bereich = tabelle.Cell(zeile, spalte).Range();
  if (schrift == Schrift::Fett) bereich.SetBold(true);
  if (schrift == Schrift::Kursiv) bereich.SetItalic(true);
}

inline std::size_t Zeichen(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

inline float Punkte(float cm) {
  return Anwendung().CentimetersToPoints(cm);
}

inline void RahmenEntfernen(Falle& falle, word::Table& tabelle) {
  falle([&] { tabelle.Select(); });
  for (std::int32_t rand = word::wdBorderTop; rand >= word::wdBorderVertical; --rand)
    falle([&] { Anwendung().Selection().Borders(rand).SetLineStyle(word::wdLineStyleNone); });
}

inline void SpaltenBreiten(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]) {
  for (std::int32_t spalte = 1; spalte <= 5; ++spalte)
    falle([&] {
      tabelle.Columns(spalte).SetWidth(Punkte(breitenCm[spalte - 1]), word::wdAdjustNone);
    });
}

inline void SpalteAusrichten(Falle& falle, word::Table& tabelle, std::int32_t spalte,
                             std::int32_t ausrichtung) {
  falle([&] { tabelle.Columns(spalte).Select(); });
  falle([&] { Anwendung().Selection().ParagraphFormat().SetAlignment(ausrichtung); });
}

inline std::string Versionsangabe() {
  return "V 0";
}

}  // namespace tarvo::formulare
