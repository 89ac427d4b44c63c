#include "forms/Tabellenschrift.h"

#include "common/Funktionen.h"
#include "common/Version.h"
#include "document/Dokumenthilfen.h"

namespace tarvo::formulare {

void Eintragen(word::Table& tabelle, std::int32_t zeile, std::int32_t spalte,
               const std::string& text, Schrift schrift) {
  word::Range bereich = tabelle.Cell(zeile, spalte).Range();
  bereich.InsertAfter(text);
  if (schrift == Schrift::Fett) bereich.SetBold(true);
  if (schrift == Schrift::Kursiv) bereich.SetItalic(true);
}

std::size_t Zeichen(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

float Punkte(float cm) {
  return Anwendung().CentimetersToPoints(cm);
}

void ZellBreiten(Falle& falle, word::Table& tabelle, std::int32_t zeile,
                 std::initializer_list<float> breitenCm) {
  std::int32_t spalte = 0;
  for (float cm : breitenCm) {
    ++spalte;
    falle([&] { tabelle.Cell(zeile, spalte).SetWidth(Punkte(cm), word::wdAdjustNone); });
  }
}

void RahmenEntfernen(Falle& falle, word::Table& tabelle) {
  falle([&] { tabelle.Select(); });
  for (std::int32_t rand = word::wdBorderTop; rand >= word::wdBorderVertical; --rand)
    falle([&] { Anwendung().Selection().Borders(rand).SetLineStyle(word::wdLineStyleNone); });
}

void SpaltenBreiten(Falle& falle, word::Table& tabelle, const float (&breitenCm)[5]) {
  for (std::int32_t spalte = 1; spalte <= 5; ++spalte) {
    falle([&] {
      tabelle.Columns(spalte).SetWidth(Punkte(breitenCm[spalte - 1]), word::wdAdjustNone);
    });
  }
}

void SpalteAusrichten(Falle& falle, word::Table& tabelle, std::int32_t spalte,
                      std::int32_t ausrichtung) {
  falle([&] { tabelle.Columns(spalte).Select(); });
  falle([&] { Anwendung().Selection().ParagraphFormat().SetAlignment(ausrichtung); });
}

std::string Versionsangabe() {
  return "V " + VersionMitRevision();
}

bool ZahlWieAngezeigt(const std::string& text, std::int16_t breite) {
  const std::string kern = werte::OhneRand(text);
  return !kern.empty() && werte::OhneRand(WertFormatieren(text, breite, 0)) == kern;
}

bool TabellenzeileLeer(const word::Table& tabelle, std::int32_t zeile) {
  const std::int32_t zellen = tabelle.Columns().Count();
  for (std::int32_t spalte = 1; spalte <= zellen; ++spalte) {
    const std::string text = ZellText(tabelle, zeile, spalte);
    if (text.find_first_not_of(" \v") != std::string::npos) return false;
  }
  return true;
}

std::string Zahlzelle(const std::string& text, std::int16_t breite) {
  return ZahlWieAngezeigt(text, breite) ? text : WertFormatieren(text, breite, 0);
}

}  // namespace tarvo::formulare
