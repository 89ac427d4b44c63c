// The saved invoice opened by LibreOffice: the letter, the statement, the incidental costs, the
// totals table and the due-date box all reach the printed page.
#include <gtest/gtest.h>

#include "document/G_modSumme.h"
#include "document/Nebenkosten.h"
#include "document/Rechnung_helpers.h"
#include "fees/modStatus.h"
#include "platform/controls/Buttons.h"

namespace tarvo {
namespace {

class Formular : public controls::Form {
 public:
  Formular() : controls::Form("frmKat2", "Gebäudeeinmessung") {}
  controls::CheckBox chk20{*this, "chk20"};
};

class GedruckteRechnung : public testhilfe::RechnungTest {};

TEST_F(GedruckteRechnung, LibreOfficeShowsTotalsAndDueDate) {
  Rechnungsbrief();
  Datenbank();
  Status().AbschlagProzent = 40;
  Gebuehrentabelle({{"Nr.", "Gegenstand", "", "", "Gebühr"},
                    {"3.1", "Gebäudeeinmessung Wohnhaus", "", "", "   1.000,00 €"}},
                   "TARVO_03_2");
  Formular formular;
  Nebenkosten(formular);
  SummeBilden(true);
  auto pfad = Speichern("rechnung.docx");
  auto text = testhilfe::LibreOfficeText(pfad);
  if (!text) GTEST_SKIP() << "LibreOffice ist nicht installiert";
  for (const char* erwartet : {"Wohnhaus", "Auslagen nach Nr. 1.3", "Abschlagszahlung von 40%",
                               "Mehrwertsteuer 16 %", "Rechnungsbetrag", "473,28 €", "Zahlbar bis",
                               "15.12.2026", "Gesamtbetrag:", "zu zahlen bis zum Zahlungsziel."}) {
    EXPECT_NE(text->find(erwartet), std::string::npos) << erwartet << "\n" << *text;
  }
}

}  // namespace
}  // namespace tarvo
