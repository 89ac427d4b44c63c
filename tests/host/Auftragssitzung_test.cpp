#include "host/Auftragssitzung.h"

#include <gtest/gtest.h>

#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Kopflos.h"
#include "platform/dao/DaoTestDatei.h"
#include "platform/word/Document.h"

namespace tarvo {
namespace {

using dao::test::Fehlernummer;

// A blank invoice document and the example database (user 1, invoice 1) in a folder of their
// own, a headless screen, and the steps the session names.
class AuftragssitzungTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Status().Zuruecksetzen();
    formulare::RegistrierungLeeren();
    controls::Bildschirm::Setzen(
        std::make_shared<controls::Kopflos>(ordner_.Datei("einstellungen.ini")));
    daten_.dokument = ordner_.Datei("Vorlage.docx");
    word::Document::New()->Save(daten_.dokument);
    daten_.datenbank = dao::test::NeueDatenbank(ordner_);
    daten_.benutzer = 1;
    daten_.rechnung = 1;
  }
  void TearDown() override {
    if (auto formular = formulare::Formular(0); formular && formular->Loaded()) formular->Unload();
    formulare::RegistrierungLeeren();
    controls::Bildschirm::Setzen(nullptr);
    Status().Zuruecksetzen();
  }

  Auftragssitzung::Schritt Mitschreiben() {
    return [this](const std::string& schritt) { schritte_.push_back(schritt); };
  }

  dao::test::TestOrdner ordner_;
  Auftragsdaten daten_;
  std::vector<std::string> schritte_;
};

TEST_F(AuftragssitzungTest, HandsTheJobToGoAndOpensTheCategoryForm) {
  daten_.eigenschaften = {{"Flurstücksnummer", Variant("412/7")}, {"Fläche", Variant(1250.0)}};
  Auftragssitzung sitzung(daten_, Mitschreiben());
  controls::Form& formular = sitzung.Zeigen(0, 4242);

  EXPECT_EQ(formular.Name(), "frmKat1");
  EXPECT_TRUE(formular.Loaded());
  EXPECT_EQ(sitzung.Formular().get(), &formular);
  const JobStatus& s = Status();
  EXPECT_EQ(s.Doc, sitzung.Dokument());
  EXPECT_EQ(s.NeueAbfrage, sitzung.Datenbank());
  EXPECT_EQ(s.ID_Benutzer, 1);
  EXPECT_EQ(s.DatenbankPfad, daten_.datenbank.string());
  EXPECT_EQ(s.hWndMDI, 4242);
  EXPECT_EQ(s.Flurstücksnummer, "412/7");
  EXPECT_EQ(s.Fläche, 1250.0);
  ASSERT_TRUE(s.Rechnung);
  EXPECT_EQ(CLng(s.Rechnung->Fields("ID_Rechnungsnummer").Value()), 1)
      << "the invoice record is positioned before Show";
  EXPECT_EQ(s.Mehrwertsteuersatz, 19) << "Show read the user's settings";
  EXPECT_EQ(schritte_.front(), "Dokument »" + daten_.dokument.string() + "«");
}

TEST_F(AuftragssitzungTest, OkWritesTheRecordAndFinishingSavesTheDocument) {
  Auftragssitzung sitzung(daten_);
  controls::Form& formular = sitzung.Zeigen(0, 0);
  formular.Steuerelement<controls::CommandButton>("CommandEnde").UserPress();
  const auto ziel = std::filesystem::path(ordner_.Datei("Rechnung.docx"));
  sitzung.Abschliessen(ziel);

  auto gespeichert = word::Document::Open(ziel);
  EXPECT_GE(gespeichert->Tables().Count(), 1) << "the statement and totals were saved";
  auto satz = sitzung.Rechnungssatz();
  ASSERT_TRUE(satz);
  EXPECT_FALSE(satz->Fields("Mehrwertsteuersatz").Value().IstNull());
}

TEST_F(AuftragssitzungTest, RefusesWhatTheJobCannotUseAndNamesTheStep) {
  struct Fall {
    const char* name;
    std::function<void(Auftragsdaten&)> aendern;
    int nummer;
    const char* schritt;
  } faelle[] = {
      {"missing document", [](Auftragsdaten& d) { d.dokument += ".fehlt"; },
       fehlernummer::DateiNichtGefunden, "Dokument"},
      {"missing database", [](Auftragsdaten& d) { d.datenbank += ".fehlt"; },
       fehlernummer::DatenbankNichtGefunden, "Datenbank"},
      {"unknown invoice", [](Auftragsdaten& d) { d.rechnung = 99; },
       fehlernummer::UngueltigerAufruf, "Datenbank"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    Auftragsdaten daten = daten_;
    fall.aendern(daten);
    schritte_.clear();
    EXPECT_EQ(Fehlernummer([&] { Auftragssitzung sitzung(daten, Mitschreiben()); }), fall.nummer);
    ASSERT_FALSE(schritte_.empty());
    EXPECT_EQ(schritte_.back().rfind(fall.schritt, 0), 0u) << schritte_.back();
  }
}

TEST_F(AuftragssitzungTest, AnUnknownPropertyOrCategoryIsRefused) {
  {
    daten_.eigenschaften = {{"Fläche", Variant(10.0)}, {"Hausnummer", Variant(3)}};
    Auftragssitzung sitzung(daten_, Mitschreiben());
    EXPECT_EQ(Fehlernummer([&] { sitzung.Zeigen(0, 0); }), fehlernummer::UngueltigerAufruf);
    EXPECT_EQ(schritte_.back(), "Eigenschaft »Hausnummer« aus »auftrag«");
  }
  daten_.eigenschaften.clear();
  Auftragssitzung sitzung(daten_);
  EXPECT_EQ(Fehlernummer([&] { sitzung.Zeigen(4, 0); }), fehlernummer::UngueltigerAufruf)
      << "frmKat5 has no fee form";
}

}  // namespace
}  // namespace tarvo
