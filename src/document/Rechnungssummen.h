// Rechnungssummen: the arithmetic of the invoice totals, apart from the document. It collects the
// amounts the table scan reads (job total T and the list of VAT rates in order of first
// appearance), then applies the user's partial-payment settings (cases A, B, C) to give the
// invoice net X, the VAT V, the taxed net N and the factor F of the rate lines. A division that
// fails (case B with a job total of 0) is reported through the caller's trap; the factor then
// stays 0, so no value that is not a number ever leaves this unit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "errors/Falle.h"

namespace tarvo {

// One entry of the rate list: the rate in percent, held in single precision, and the sum of the
// amounts charged at it.
struct Steuersatzsumme {
  float Satz = 0;
  double Summe = 0;
};

enum class Abschlagsfall {
  KeinAbschlag,     // case A: the whole job is charged
  AbschlagBetrag,   // case B: a partial payment given as an amount
  AbschlagProzent,  // case C: a partial payment given as a percentage
};

class Rechnungssummen {
 public:
  // Adds one amount read from a table: it always counts in the job total; a rate above 0 adds it
  // to that rate's entry (rates compared in single precision, a new rate appended at the end).
  void BetragHinzufuegen(double betrag, double satz);

  // The case the settings select: A when the amount is exactly 0 and the percentage 100, B when
  // the percentage is 100 or more, C otherwise.
  static Abschlagsfall Fall(double abschlagAbsolut, std::int16_t abschlagProzent);

  // Computes V, N, X and F from the collected amounts. The division of case B runs under
  // `falle`: when the job total is 0 it is reported and F stays 0.
  void Berechnen(double abschlagAbsolut, std::int16_t abschlagProzent, Falle& falle);

  const std::vector<Steuersatzsumme>& Saetze() const { return saetze_; }
  Abschlagsfall Art() const { return fall_; }
  double T() const { return t_; }

  // The line of rate entry k (0-based): its base F × sum and its VAT rounded to the cent.
  double Zeilenbasis(std::size_t k) const;
  double Zeilensteuer(std::size_t k) const;

  // The rows of the totals table before any deduction rows, and the first VAT row (1-based).
  int Zeilenzahl() const;
  int ErsteSteuerzeile() const;

  // Working values; the deduction of earlier invoices overwrites them with the remainders.
  double N = 0;  // taxed net
  double V = 0;  // VAT
  double X = 0;  // invoice net
  double F = 0;  // factor of the rate lines

 private:
  std::vector<Steuersatzsumme> saetze_;
  Abschlagsfall fall_ = Abschlagsfall::KeinAbschlag;
  double t_ = 0;
};

// The VAT of `basis` euros at `satz` percent, rounded to the cent with halves upwards:
// Int(satz × basis + 0.5) / 100.
double SteuerGerundet(double satz, double basis);

// A rate as the table shows it: the single-precision value in its shortest German form
// ("16", "7,5").
std::string SatzText(float satz);

// An amount as the invoice shows it: two places, German separators, right-aligned in 11
// characters, then " €". Values too small for a cent are written as 0,00, never in exponent form.
std::string BetragText(double betrag);

}  // namespace tarvo
