#include "document/Rechnungssummen.h"

#include <gtest/gtest.h>

#include <cmath>

#include "errors/Fehler.h"
#include "errors/Protokoll.h"

namespace tarvo {
namespace {

Rechnungssummen Gerechnet(std::initializer_list<std::pair<double, double>> betraege, double absolut,
                          std::int16_t prozent, int* fehler = nullptr) {
  Rechnungssummen s;
  for (auto [betrag, satz] : betraege) s.BetragHinzufuegen(betrag, satz);
  Falle falle("GebührenTabelle", "SummeBilden");
  s.Berechnen(absolut, prozent, falle);
  if (fehler) *fehler = falle.Fehlschlaege();
  return s;
}

TEST(Rechnungssummen, KeepsRatesInOrderOfFirstAppearance) {
  // 100 € at 7 %, then 200 € and 300 € at 16 %, then 50 € free of VAT.
  auto s = Gerechnet({{100, 7}, {200, 16}, {300, 16}, {50, 0}}, 0, 100);
  ASSERT_EQ(s.Saetze().size(), 2u);
  EXPECT_EQ(s.Saetze()[0].Satz, 7.0f);
  EXPECT_DOUBLE_EQ(s.Saetze()[0].Summe, 100);
  EXPECT_EQ(s.Saetze()[1].Satz, 16.0f);
  EXPECT_DOUBLE_EQ(s.Saetze()[1].Summe, 500);
  EXPECT_DOUBLE_EQ(s.T(), 650);
  EXPECT_DOUBLE_EQ(s.V, 7 + 80);
  EXPECT_DOUBLE_EQ(s.N, 600);
  EXPECT_DOUBLE_EQ(s.X - s.N, 50);  // the VAT-free part
}

TEST(Rechnungssummen, ComparesRatesInSinglePrecision) {
  // 16 and 16,0 are one rate; 7,1 read twice as Double is one single-precision entry too.
  auto s = Gerechnet({{10, 16}, {20, 16.0}, {1, 7.1}, {2, 7.1000000001}}, 0, 100);
  ASSERT_EQ(s.Saetze().size(), 2u);
  EXPECT_DOUBLE_EQ(s.Saetze()[0].Summe, 30);
  EXPECT_DOUBLE_EQ(s.Saetze()[1].Summe, 3);
}

TEST(Rechnungssummen, RoundsTheVatOfEachRateToTheCentHalvesUp) {
  EXPECT_DOUBLE_EQ(SteuerGerundet(16, 0.03), 0.00);  // Int(0,48 + 0,5) / 100
  EXPECT_DOUBLE_EQ(SteuerGerundet(16, 0.04), 0.01);  // Int(0,64 + 0,5) / 100
  EXPECT_DOUBLE_EQ(SteuerGerundet(19, 0.50), 0.10);  // 9,5 cents rounds up
  // Each rate is rounded before the rates are added: 0,48 + 0,48 cents give 0, not 1 cent.
  auto s = Gerechnet({{0.03, 16}, {0.03, 16.5}}, 0, 100);
  EXPECT_DOUBLE_EQ(s.V, 0);
}

TEST(Rechnungssummen, SelectsTheCaseFromThePartialPaymentSettings) {
  struct Fall {
    double absolut;
    std::int16_t prozent;
    Abschlagsfall erwartet;
  } faelle[] = {
      {0, 100, Abschlagsfall::KeinAbschlag},   {1000, 100, Abschlagsfall::AbschlagBetrag},
      {0, 120, Abschlagsfall::AbschlagBetrag}, {-5, 100, Abschlagsfall::AbschlagBetrag},
      {0, 50, Abschlagsfall::AbschlagProzent}, {1000, 30, Abschlagsfall::AbschlagProzent},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << f.absolut << " € / " << f.prozent << " %");
    EXPECT_EQ(Rechnungssummen::Fall(f.absolut, f.prozent), f.erwartet);
  }
}

TEST(Rechnungssummen, ScalesByTheFactorOfEachCase) {
  {
    SCOPED_TRACE("case B: 1000 € of 4000 € gives F = 0,25");
    auto s = Gerechnet({{4000, 16}}, 1000, 100);
    EXPECT_DOUBLE_EQ(s.F, 0.25);
    EXPECT_DOUBLE_EQ(s.X, 1000);
    EXPECT_DOUBLE_EQ(s.V, 160);
    EXPECT_DOUBLE_EQ(s.N, 1000);
    EXPECT_DOUBLE_EQ(s.Zeilenbasis(0), 1000);
    EXPECT_DOUBLE_EQ(s.Zeilensteuer(0), 160);
    EXPECT_EQ(s.Zeilenzahl(), 5);
    EXPECT_EQ(s.ErsteSteuerzeile(), 3);
  }
  {
    SCOPED_TRACE("case B: 120 % and no amount gives F = 0");
    auto s = Gerechnet({{4000, 16}}, 0, 120);
    EXPECT_DOUBLE_EQ(s.F, 0);
    EXPECT_DOUBLE_EQ(s.X, 0);
    EXPECT_DOUBLE_EQ(s.V, 0);
  }
  {
    SCOPED_TRACE("case C: 50 % halves X, V and N");
    auto s = Gerechnet({{1000, 16}, {200, 0}}, 0, 50);
    EXPECT_DOUBLE_EQ(s.F, 0.5);
    EXPECT_DOUBLE_EQ(s.X, 600);
    EXPECT_DOUBLE_EQ(s.V, 80);
    EXPECT_DOUBLE_EQ(s.N, 500);
  }
  {
    SCOPED_TRACE("case C: 30 % ignores the amount of 1000 €");
    auto s = Gerechnet({{1000, 16}}, 1000, 30);
    EXPECT_DOUBLE_EQ(s.X, 300);
    EXPECT_DOUBLE_EQ(s.F, 0.3);
  }
  {
    SCOPED_TRACE("case A: everything is charged");
    auto s = Gerechnet({{1000, 16}}, 0, 100);
    EXPECT_DOUBLE_EQ(s.F, 1);
    EXPECT_DOUBLE_EQ(s.X, 1000);
    EXPECT_EQ(s.Zeilenzahl(), 4);
    EXPECT_EQ(s.ErsteSteuerzeile(), 2);
  }
}

TEST(Rechnungssummen, PartialPaymentWithoutFeesReportsAndKeepsEveryValueFinite) {
  int fehler = 0;
  auto s = Gerechnet({{0, 16}}, 500, 100, &fehler);
  EXPECT_EQ(fehler, 1);
  EXPECT_EQ(Err().Number, 11);  // Division durch Null
  EXPECT_EQ(s.F, 0);
  EXPECT_EQ(s.V, 0);
  EXPECT_EQ(s.N, 0);
  EXPECT_EQ(s.X, 500);
  EXPECT_TRUE(std::isfinite(s.Zeilenbasis(0)));
  EXPECT_EQ(s.Zeilensteuer(0), 0);
}

TEST(Rechnungssummen, WritesRatesAndAmountsAsTheInvoiceShowsThem) {
  EXPECT_EQ(SatzText(16), "16");
  EXPECT_EQ(SatzText(7.5f), "7,5");
  EXPECT_EQ(SatzText(static_cast<float>(7.1)), "7,1");
  EXPECT_EQ(BetragText(1234.5), "   1.234,50 €");
  EXPECT_EQ(BetragText(0), "       0,00 €");
  EXPECT_EQ(BetragText(-20), "     -20,00 €");
  // A remainder that is zero up to the rounding noise of Doubles shows 0,00.
  EXPECT_EQ(BetragText(5.6843418860808e-14), "       0,00 €");
  EXPECT_EQ(BetragText(1e-5), "       0,00 €");
}

}  // namespace
}  // namespace tarvo
