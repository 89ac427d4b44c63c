#include "document/Nebenkosten.h"

#include <gtest/gtest.h>

#include "document/Dokumenthilfen.h"
#include "document/Rechnung_helpers.h"
#include "errors/Protokoll.h"
#include "platform/controls/Buttons.h"

namespace tarvo {
namespace {

using testhilfe::Zeilen;

// A category form as far as the incidental costs see it: its check box "chk20".
class Formular : public controls::Form {
 public:
  Formular() : controls::Form("frmKat2", "Gebäudeeinmessung") {}
  controls::CheckBox chk20{*this, "chk20"};
};

class Auslagen : public testhilfe::RechnungTest {
 protected:
  // A fee table as the category forms write it: heading, one line per item, amount charged in
  // column 5 and, with a share, the full fee in column 4.
  void Gebuehren(const std::string& gebuehr, const std::string& anteil = "") {
    if (anteil.empty()) {
      Gebuehrentabelle(
          {{"Nr.", "Gegenstand", "", "", "Gebühr"}, {"3.1", "Gebäude", "", "", gebuehr}},
          "TARVO_03_2");
    } else {
      Gebuehrentabelle({{"Nr.", "Gegenstand", "", "Gebühr", "Ihr Anteil"},
                        {"2", "Zerlegung", "", gebuehr, anteil}},
                       "TARVO_03_1");
    }
  }
  Zeilen Neben() {
    auto tabelle = TabelleMitTag("TARVO_Neben");
    EXPECT_TRUE(tabelle.has_value());
    return tabelle ? Inhalt(*tabelle) : Zeilen{};
  }
  Formular formular_;
};

const std::string kKopf = "Auslagen nach Nr. 1.3\v";
const std::string kTeil = "Nebenkosten nach 1.3.2 ";
const std::string kZeile = "2% nach Nr.2 bis 7, 8.1 bis 8.4, 8.8 und 8.9 mind. 20€";

TEST_F(Auslagen, RaisesSmallCostsToTheMinimumUnlessChk20IsTicked) {
  Gebuehren("     350,00 €");
  Nebenkosten(formular_);
  EXPECT_EQ(Neben(), (Zeilen{
                         {kKopf, "", "", "", ""},
                         {kTeil, "", "Summe", "", "Gebühr"},
                         {kZeile, "", "     350,00 €", "", "      20,00 €"},
                     }));
  formular_.chk20.SetValue(1);
  Nebenkosten(formular_);
  EXPECT_EQ(Neben()[2],
            (std::vector<std::string>{kZeile, "", "     350,00 €", "", "       7,00 €"}));
}

TEST_F(Auslagen, ShareShowsTheFeeAndTheClientsPart) {
  Gebuehren("   1.000,00 €", "     500,00 €");
  Nebenkosten(formular_);
  EXPECT_EQ(Neben(), (Zeilen{
                         {kKopf, "", "", "", ""},
                         {kTeil, "", "Summe", "Gebühr", "Ihr Anteil"},
                         {kZeile, "", "   1.000,00 €", "      20,00 €", "      10,00 €"},
                     }));
}

TEST_F(Auslagen, TwoPercentWithoutShare) {
  Gebuehren("   1.500,00 €");
  Gebuehren("     500,00 €");
  Nebenkosten(formular_);
  EXPECT_EQ(Neben()[2],
            (std::vector<std::string>{kZeile, "", "   2.000,00 €", "", "      40,00 €"}));
}

TEST_F(Auslagen, DocumentWithoutFeesStillGetsTheTable) {
  Nebenkosten(formular_);
  EXPECT_EQ(Neben()[2],
            (std::vector<std::string>{kZeile, "", "       0,00 €", "", "      20,00 €"}));
}

TEST_F(Auslagen, RunningTwiceLeavesOneTableAndIgnoresTheTotalsTable) {
  Gebuehren("   1.000,00 €");
  // A totals table ("Summe" in cell 1, 2) is no source of fees.
  Gebuehrentabelle({{"", "Summe", "", "   9.999,00 €", "   9.999,00 €"}}, "");
  Nebenkosten(formular_);
  Nebenkosten(formular_);
  ASSERT_EQ(TabellenMitTag("TARVO_Neben").size(), 1u);
  EXPECT_EQ(Neben()[2][2], "   1.000,00 €");
  EXPECT_EQ(Neben()[2][4], "      20,00 €");
}

// A letter's own tables (an address block, a letterhead) carry no comment: the walk passes them
// by without a log entry, so a job on such a letter runs clean.
TEST_F(Auslagen, TheLettersOwnTablesAreNoError) {
  Gebuehrentabelle({{"Vermessungsbüro", "Musterstraße 1", "", "", ""}}, "");
  Gebuehren("     350,00 €");
  const auto vorher = protokoll::AnzahlGemeldet();
  Nebenkosten(formular_);
  Nebenkosten(formular_);
  EXPECT_EQ(protokoll::AnzahlGemeldet(), vorher);
  EXPECT_EQ(TabellenMitTag("TARVO_Neben").size(), 1u);
  EXPECT_EQ(Neben()[2][2], "     350,00 €");
}

TEST_F(Auslagen, LayoutWidthsAlignmentAndTag) {
  Gebuehren("   1.000,00 €", "     500,00 €");
  Nebenkosten(formular_);
  auto tabelle = *TabelleMitTag("TARVO_Neben");
  auto& app = *doc_->Application();
  const float breiten[] = {9.5f, 0.5f, 2.63f, 2.37f, 2.5f};
  for (int c = 1; c <= 5; ++c) {
    SCOPED_TRACE(c);
    EXPECT_NEAR(tabelle.Columns(c).Width(), app.CentimetersToPoints(breiten[c - 1]), 0.1);
    for (int r = 1; r <= 3; ++r) {
      EXPECT_EQ(tabelle.Cell(r, c).Range().ParagraphFormat().Alignment(),
                c == 1 ? word::wdAlignParagraphLeft : word::wdAlignParagraphRight);
    }
  }
  EXPECT_EQ(tabelle.Cell(1, 1).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(2, 1).Range().Italic(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(2, 3).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(2, 4).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(2, 5).Range().Bold(), word::wdTrue);
  EXPECT_EQ(tabelle.Cell(3, 1).Range().Bold(), word::wdFalse);
  doc_->Application()->Selection().SetRange(tabelle.Range());
  EXPECT_EQ(doc_->Application()->Selection().Borders(word::wdBorderTop).LineStyle(),
            word::wdLineStyleNone);
  EXPECT_EQ(KommentarText(tabelle.Cell(1, 5).Range().Comments().Item(1)), "TARVO_Neben");
}

TEST_F(Auslagen, TableGoesToTheStartMarkerWhichStays) {
  Rechnungsbrief();
  Gebuehren("   1.000,00 €");
  Nebenkosten(formular_);
  auto tabellen = doc_->Tables();
  ASSERT_EQ(tabellen.Count(), 2);
  EXPECT_EQ(ErsterKommentar(tabellen.Item(2)), "TARVO_Neben");
  // The table lies before the marked paragraph and after the letter's opening.
  auto marke = *ErsterMarker("lumoStart");
  EXPECT_LT(tabellen.Item(2).Range().End(), marke.Scope().Start());
  EXPECT_EQ(marke.Scope().Text(), "Leistungen");
  EXPECT_LT(doc_->Content().Text().find("Ihnen:"), doc_->Content().Text().find("Auslagen nach"));
}

}  // namespace
}  // namespace tarvo
