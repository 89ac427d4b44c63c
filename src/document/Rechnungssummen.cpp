#include "document/Rechnungssummen.h"

#include <charconv>
#include <cmath>

#include "common/Funktionen.h"
#include "errors/Pruefen.h"

namespace tarvo {

void Rechnungssummen::BetragHinzufuegen(double betrag, double satz) {
  if (satz > 0) {
    float einfach = static_cast<float>(satz);
    Steuersatzsumme* eintrag = nullptr;
    for (auto& s : saetze_) {
      if (s.Satz == einfach) {
        eintrag = &s;
        break;
      }
    }
    if (!eintrag) {
      saetze_.push_back({einfach, 0});
      eintrag = &saetze_.back();
    }
    eintrag->Summe += betrag;
  }
  t_ += betrag;
}

Abschlagsfall Rechnungssummen::Fall(double abschlagAbsolut, std::int16_t abschlagProzent) {
  if (abschlagAbsolut == 0 && abschlagProzent == 100) return Abschlagsfall::KeinAbschlag;
  if (abschlagProzent >= 100) return Abschlagsfall::AbschlagBetrag;
  return Abschlagsfall::AbschlagProzent;
}

void Rechnungssummen::Berechnen(double abschlagAbsolut, std::int16_t abschlagProzent,
                                Falle& falle) {
  V = 0;
  N = 0;
  for (const auto& s : saetze_) {
    V += SteuerGerundet(s.Satz, s.Summe);
    N += s.Summe;
  }
  fall_ = Fall(abschlagAbsolut, abschlagProzent);
  switch (fall_) {
    case Abschlagsfall::KeinAbschlag:
      X = t_;
      F = 1;
      break;
    case Abschlagsfall::AbschlagBetrag:
      // With no fees at all the factor cannot be formed: the error is reported and the factor
      // stays 0, so VAT, taxed net and every rate line are 0 while the net is the payment.
      F = 0;
      falle([&] { F = Teile(abschlagAbsolut, t_); });
      V *= F;
      N *= F;
      X = abschlagAbsolut;
      break;
    case Abschlagsfall::AbschlagProzent:
      X = t_ * abschlagProzent / 100;
      V = V * abschlagProzent / 100;
      N = N * abschlagProzent / 100;
      F = abschlagProzent / 100.0;
      break;
  }
}

double Rechnungssummen::Zeilenbasis(std::size_t k) const {
  return F * saetze_.at(k).Summe;
}

double Rechnungssummen::Zeilensteuer(std::size_t k) const {
  const auto& s = saetze_.at(k);
  return std::floor(static_cast<double>(s.Satz) * s.Summe * F + 0.5) / 100;
}

int Rechnungssummen::Zeilenzahl() const {
  int m = static_cast<int>(saetze_.size());
  return fall_ == Abschlagsfall::KeinAbschlag ? 3 + m : 4 + m;
}

int Rechnungssummen::ErsteSteuerzeile() const {
  return fall_ == Abschlagsfall::KeinAbschlag ? 2 : 3;
}

double SteuerGerundet(double satz, double basis) {
  return std::floor(satz * basis + 0.5) / 100;
}

std::string SatzText(float satz) {
  char puffer[32];
  auto [ende, fehler] = std::to_chars(puffer, puffer + sizeof puffer, satz);
  std::string text(puffer, fehler == std::errc() ? ende : puffer);
  for (char& c : text) {
    if (c == '.') c = ',';
  }
  return text;
}

std::string BetragText(double betrag) {
  // The number goes to WertFormatieren as a fixed two-place text: the runtime's own text of a
  // Double switches to exponent form for tiny remainders (5,7E-14), which would read as 5,70.
  return WertFormatieren(werte::Formatiert(betrag, 2), 11, 2) + " €";
}

}  // namespace tarvo
