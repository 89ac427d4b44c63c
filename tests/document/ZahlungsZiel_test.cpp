#include <gtest/gtest.h>

#include <ctime>

#include "document/G_modSumme.h"
#include "document/Rechnung_helpers.h"
#include "errors/Fehler.h"
#include "fees/modStatus.h"

namespace tarvo {
namespace {

class Zahlungsfrist : public testhilfe::RechnungTest {
 protected:
  void SetUp() override {
    RechnungTest::SetUp();
    Brief({"Rechnung", "Mit freundlichen Grüßen"});
    Datenbank();
  }
  void Bedingungen(const std::string& text, int bund = 0) {
    db_->Execute("UPDATE Version SET Zahlungsziel = '" + text +
                 "', BundZahlungsziel = " + std::to_string(bund) + ";");
  }
  std::vector<word::Shape> Felder() {
    std::vector<word::Shape> felder;
    auto formen = doc_->Shapes();
    for (int i = 1; i <= formen.Count(); ++i) {
      if (formen.Item(i).Name() == "Zahlungsziel") felder.push_back(formen.Item(i));
    }
    return felder;
  }
  std::string Text() {
    auto felder = Felder();
    EXPECT_EQ(felder.size(), 1u);
    if (felder.empty()) return "";
    std::string text = felder[0].TextFrame().TextRange().Text();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\a')) text.pop_back();
    return text;
  }
  static std::string InTagen(int tage) {
    std::time_t jetzt = std::time(nullptr);
    std::tm tag{};
    localtime_r(&jetzt, &tag);
    tag.tm_mday += tage;
    tag.tm_hour = 12;
    std::mktime(&tag);
    char puffer[16];
    std::strftime(puffer, sizeof puffer, "%d.%m.%Y", &tag);
    return puffer;
  }
};

TEST_F(Zahlungsfrist, CountsTheDaysFromTheInvoicesAppointment) {
  ZahlungsZiel(*doc_, true);
  EXPECT_EQ(Text(), "Zahlbar bis  15.12.2026  ohne Abzug");
  auto feld = Felder()[0];
  auto& app = *doc_->Application();
  EXPECT_FLOAT_EQ(feld.Left(), 70.5f);
  EXPECT_FLOAT_EQ(feld.Width(), 450.75f);
  EXPECT_FLOAT_EQ(feld.Height(), 54.0f);
  EXPECT_EQ(feld.RelativeVerticalPosition(), word::wdRelativeVerticalPositionPage);
  EXPECT_NEAR(feld.Top(), app.CentimetersToPoints(26), 0.01);
  EXPECT_FALSE(feld.Fill().Visible());
  EXPECT_FALSE(feld.Line().Visible());
  EXPECT_EQ(feld.TextFrame().TextRange().ParagraphFormat().Alignment(), word::wdAlignParagraphLeft);
}

TEST_F(Zahlungsfrist, WithoutAppointmentCountsFromToday) {
  db_->Execute("DELETE FROM Termine;");
  ZahlungsZiel(*doc_, true);
  EXPECT_EQ(Text(), "Zahlbar bis  " + InTagen(14) + "  ohne Abzug");
}

TEST_F(Zahlungsfrist, AlignmentFromTheSettings) {
  const std::pair<int, std::int32_t> faelle[] = {{0, word::wdAlignParagraphLeft},
                                                 {1, word::wdAlignParagraphCenter},
                                                 {5, word::wdAlignParagraphRight}};
  for (auto [bund, ausrichtung] : faelle) {
    SCOPED_TRACE(bund);
    Bedingungen("Zahlbar innerhalb von <30> Tagen", bund);
    ZahlungsZiel(*doc_, true);
    EXPECT_EQ(Text(), "Zahlbar innerhalb von  31.12.2026  Tagen");
    EXPECT_EQ(Felder()[0].TextFrame().TextRange().ParagraphFormat().Alignment(), ausrichtung);
  }
}

TEST_F(Zahlungsfrist, TermsWithoutPlaceholderAreWrittenAsTheyStandAndLogged) {
  Bedingungen("Zahlbar sofort ohne Abzug");
  ZahlungsZiel(*doc_, true);
  EXPECT_EQ(Text(), "Zahlbar sofort ohne Abzug");
  EXPECT_EQ(LetzterFehler().Funktionsname, "GebührenTabelleZahlungsZiel");
}

TEST_F(Zahlungsfrist, NotShownRemovesTheOldBoxAndTwoRunsLeaveOne) {
  ZahlungsZiel(*doc_, true);
  ZahlungsZiel(*doc_, true);
  EXPECT_EQ(Felder().size(), 1u);
  ZahlungsZiel(*doc_, false);
  EXPECT_TRUE(Felder().empty());
}

}  // namespace
}  // namespace tarvo
