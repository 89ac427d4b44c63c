#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "errors/Protokoll.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "host/GO.h"
#include "platform/controls/Kopflos.h"
#include "platform/dao/DaoTestDatei.h"

namespace tarvo {
namespace {

// A job with the example database, user 1, a headless screen and the log read from its end.
class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Status().Zuruecksetzen();
    formulare::RegistrierungLeeren();
    bildschirm_ = std::make_shared<controls::Kopflos>(ordner_.Datei("einstellungen.ini"));
    controls::Bildschirm::Setzen(bildschirm_);
    datei_ = dao::test::NeueDatenbank(ordner_);
    db_ = dao::Workspace().OpenDatabase(datei_);
    Status().LumoWorkspace = std::make_shared<dao::Workspace>();
    Status().DatenbankPfad = datei_;
    Status().ID_Benutzer = 1;
    logAnfang_ = LogGroesse();
  }
  void TearDown() override {
    for (std::int16_t i = 0; i < 6; ++i)
      if (auto formular = formulare::Formular(i); formular && formular->Loaded())
        formular->Unload();
    formulare::RegistrierungLeeren();
    controls::Bildschirm::Setzen(nullptr);
    Status().Zuruecksetzen();
  }

  // Sets the user's settings row, e.g. "Mehrwertsteuersatz = 165".
  void TempDoc(const std::string& zuweisung) {
    db_->Execute("UPDATE TempDoc SET " + zuweisung + " WHERE ID_Benutzer = 1");
  }
  std::shared_ptr<dao::Recordset> Rechnung() {
    return db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  }
  void Show(std::int16_t index) { go_.Show(index, Rechnung(), 4242); }

  static std::uintmax_t LogGroesse() {
    std::error_code fehler;
    auto groesse = std::filesystem::file_size(protokoll::Datei(), fehler);
    return fehler ? 0 : groesse;
  }
  // The log records written since SetUp.
  std::string NeueLogSaetze() const {
    std::ifstream log(protokoll::Datei(), std::ios::binary);
    std::stringstream inhalt;
    inhalt << log.rdbuf();
    return inhalt.str().substr(std::min<std::uintmax_t>(logAnfang_, inhalt.str().size()));
  }
  int LogSaetzeVonShow() const {
    std::string neu = NeueLogSaetze();
    int anzahl = 0;
    for (auto pos = neu.find("Rechnung.Show"); pos != std::string::npos;
         pos = neu.find("Rechnung.Show", pos + 1))
      ++anzahl;
    return anzahl;
  }
  std::vector<std::string> Gezeigt() const {
    std::vector<std::string> namen;
    for (const auto& anzeige : bildschirm_->Anzeigen()) {
      EXPECT_FALSE(anzeige.Modal) << anzeige.Form;
      namen.push_back(anzeige.Form);
    }
    return namen;
  }

  dao::test::TestOrdner ordner_;
  std::shared_ptr<controls::Kopflos> bildschirm_;
  std::string datei_;
  std::shared_ptr<dao::Database> db_;
  std::uintmax_t logAnfang_ = 0;
  GO go_;
};

TEST_F(ShowTest, LoadsTheUsersSettingsAndKeepsInvoiceAndWindow) {
  TempDoc(
      "ID_Auftragsnummer = 12, MeßtruppZusammenfassen = 1, ID_Lieferschein = 3, "
      "AbschlagAbsolut = 250.5, AbschlagProzent = 50, Preisgruppe3 = 2, Rabatt = 5");
  auto rechnung = Rechnung();
  go_.Show(4, rechnung, 4242);
  const JobStatus& s = Status();
  EXPECT_EQ(s.hWndMDI, 4242);
  EXPECT_EQ(s.Rechnung, rechnung) << "the host's recordset, not a copy";
  EXPECT_EQ(s.ID_Auftragsnummer, 12);
  EXPECT_TRUE(s.MeßtruppZusammenfassen);
  EXPECT_EQ(s.ID_Lieferschein, 3);
  EXPECT_EQ(s.AbschlagAbsolut, 250.5);
  EXPECT_EQ(s.AbschlagProzent, 50);
  EXPECT_TRUE(s.Zahlungsziel);
  EXPECT_EQ(s.Mehrwertsteuersatz, 19);
  EXPECT_EQ(s.Preisgruppe3, 2);
  EXPECT_EQ(s.Mehrwertsteuer, 19);
  EXPECT_EQ(s.MwStErmäßigt, 7);
  EXPECT_EQ(s.Rabatt, 5);
  EXPECT_EQ(LogSaetzeVonShow(), 0) << NeueLogSaetze();
}

TEST_F(ShowTest, VatRatesInTenthsBecomeWholePercentHalfToEven) {
  struct Fall {
    int zehntel;
    std::int16_t prozent;
  } faelle[] = {{160, 16}, {165, 16}, {175, 18}, {155, 16}, {70, 7}, {0, 0}, {-165, -16}};
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.zehntel);
    TempDoc("Mehrwertsteuersatz = " + std::to_string(fall.zehntel) + ", Mehrwertsteuer = " +
            std::to_string(fall.zehntel) + ", MwStErmäßigt = " + std::to_string(fall.zehntel));
    Show(-1);
    EXPECT_EQ(Status().Mehrwertsteuersatz, fall.prozent);
    EXPECT_EQ(Status().Mehrwertsteuer, fall.prozent);
    EXPECT_EQ(Status().MwStErmäßigt, fall.prozent);
  }
  EXPECT_EQ(LogSaetzeVonShow(), 0);
}

TEST_F(ShowTest, NullAndEmptyGoThroughTheRecordReaders) {
  Status().Zahlungsziel = true;
  Status().AbschlagAbsolut = 5;
  Status().ID_Lieferschein = 9;
  Status().Mehrwertsteuersatz = 7;
  TempDoc(
      "Zahlungsziel = NULL, AbschlagAbsolut = NULL, ID_Lieferschein = '', "
      "Mehrwertsteuersatz = NULL, AbschlagProzent = ''");
  Show(-1);
  EXPECT_FALSE(Status().Zahlungsziel) << "Null reads as False";
  EXPECT_EQ(Status().AbschlagAbsolut, 0);
  EXPECT_EQ(Status().ID_Lieferschein, 0) << "the empty text reads as 0";
  EXPECT_EQ(Status().Mehrwertsteuersatz, 0);
  EXPECT_EQ(Status().AbschlagProzent, 0);
  EXPECT_EQ(LogSaetzeVonShow(), 0) << NeueLogSaetze();
}

TEST_F(ShowTest, NullWhereNoReaderHandlesItFailsOnlyThatField) {
  Status().ID_Auftragsnummer = 77;
  Status().MwStErmäßigt = 5;
  Status().Zahlungsziel = true;
  TempDoc("ID_Auftragsnummer = NULL, MwStErmäßigt = NULL, Zahlungsziel = '', Rabatt = 3");
  Show(-1);
  EXPECT_EQ(Status().ID_Auftragsnummer, 77);
  EXPECT_EQ(Status().MwStErmäßigt, 5);
  EXPECT_TRUE(Status().Zahlungsziel) << "the empty text is no flag: 13, value kept";
  EXPECT_EQ(Status().Rabatt, 3) << "later fields are still read";
  EXPECT_EQ(Status().Mehrwertsteuersatz, 19);
  EXPECT_EQ(LogSaetzeVonShow(), 3);
  std::string log = NeueLogSaetze();
  EXPECT_NE(log.find("94"), std::string::npos);
  EXPECT_NE(log.find("13"), std::string::npos);
}

TEST_F(ShowTest, AUserWithoutSettingsKeepsThePreviousJobsValues) {
  Show(-1);  // user 1's settings
  Status().ID_Benutzer = 7;
  Show(4);
  EXPECT_EQ(Status().Mehrwertsteuersatz, 19);
  EXPECT_EQ(Status().AbschlagProzent, 100);
  EXPECT_TRUE(Status().Zahlungsziel);
  EXPECT_EQ(LogSaetzeVonShow(), 14) << "one entry per field read";
  EXPECT_EQ(Status().Fehler.strNr, "3021");
  EXPECT_EQ(Status().Fehler.Funktionsname, "RechnungShow");
  EXPECT_EQ(Gezeigt(), std::vector<std::string>{"frmKat5"}) << "the form still opens";
}

TEST_F(ShowTest, AMissingDatabaseIsReportedNotCreatedAndTheFormStillOpens) {
  Status().DatenbankPfad = ordner_.Datei("gibt-es-nicht.db");
  Status().Mehrwertsteuersatz = 16;
  Show(5);
  EXPECT_FALSE(std::filesystem::exists(Status().DatenbankPfad));
  EXPECT_EQ(Status().Mehrwertsteuersatz, 16);
  EXPECT_EQ(LogSaetzeVonShow(), 16) << "open, query and 14 reads";
  EXPECT_NE(NeueLogSaetze().find("3024"), std::string::npos);
  EXPECT_EQ(Status().hWndMDI, 4242);
  EXPECT_NE(Status().Rechnung, nullptr);
  EXPECT_EQ(Gezeigt(), std::vector<std::string>{"frmKat6"});
}

TEST_F(ShowTest, WithoutWorkspaceEverythingButTheFormFailsAndIsLogged) {
  Status().LumoWorkspace.reset();
  Show(4);
  EXPECT_EQ(LogSaetzeVonShow(), 16);
  EXPECT_EQ(Gezeigt(), std::vector<std::string>{"frmKat5"});
}

TEST_F(ShowTest, AnIndexWithoutAFormLoadsTheSettingsAndOpensNothing) {
  for (std::int16_t index : {-1, 6, 7, -32768}) {
    SCOPED_TRACE(index);
    Status().Mehrwertsteuersatz = 0;
    Show(index);
    EXPECT_EQ(Status().Mehrwertsteuersatz, 19);
  }
  EXPECT_TRUE(Gezeigt().empty());
  EXPECT_EQ(LogSaetzeVonShow(), 0);
}

TEST_F(ShowTest, ShowingTheSameIndexTwiceShowsTheSameInstance) {
  Show(4);
  auto erste = formulare::Formular(4);
  ASSERT_NE(erste, nullptr);
  EXPECT_TRUE(erste->Loaded());
  EXPECT_TRUE(erste->Visible());
  TempDoc("Mehrwertsteuersatz = 70");
  Show(4);
  EXPECT_EQ(formulare::Formular(4), erste);
  EXPECT_EQ(Status().Mehrwertsteuersatz, 7) << "each call reloads the settings";
  EXPECT_EQ((Gezeigt()), (std::vector<std::string>{"frmKat5", "frmKat5"}));

  erste->Unload();
  Show(4);
  auto zweite = formulare::Formular(4);
  EXPECT_NE(zweite, erste) << "after Unload a new instance";
  EXPECT_TRUE(zweite->Visible());
}

}  // namespace
}  // namespace tarvo
