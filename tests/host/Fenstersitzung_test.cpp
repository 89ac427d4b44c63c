// The session as the desktop window keeps it open for a working day: "OK" holds no database
// lock, the pending record goes into the database only with the document, a refused save keeps
// everything for the next try, another workstation's change is never overwritten unasked,
// Rückgängig takes an "OK" back, and a crashed session's work is restored from its recovery copy.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "Sitzungsfixture.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "host/Auftragssitzung.h"
#include "host/Wiederherstellung.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Kopflos.h"
#include "platform/dao/DaoTestDatei.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using dao::test::Fehlernummer;
using Uhr = std::chrono::steady_clock;

std::string Inhalt(const fs::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::ostringstream text;
  text << ein.rdbuf();
  return text.str();
}

Variant Feld(const Satzwerte& werte, const std::string& name) {
  for (const auto& [feld, wert] : werte)
    if (feld == name) return wert;
  return Variant();
}

class FenstersitzungTest : public test::SitzungTest {
 protected:
  FenstersitzungTest() : SitzungTest("Rechnung.docx") {}

  void SetUp() override {
    SitzungTest::SetUp();
    daten_.warten = std::chrono::milliseconds(0);
    daten_.wiederherstellung = ordner_.Datei("wiederherstellung");
    Sql("INSERT INTO Rechnung (ID_Rechnungsnummer, ID_Auftragsnummer, Rechnungsart) "
        "VALUES (2, 2, 1)");
  }
  // "OK" on a category-1 form with its defaults.
  void Ok(Auftragssitzung& sitzung) {
    sitzung.Zeigen(0, 0).Steuerelement<controls::CommandButton>("CommandEnde").UserPress();
  }
  // Another workstation's statement on the same database.
  void Sql(const std::string& anweisung) {
    dao::Workspace arbeitsbereich;
    arbeitsbereich.OpenDatabase(daten_.datenbank.string())->Execute(anweisung);
  }
  Variant Gespeichert(const std::string& feld, int rechnung = 1) {
    dao::Workspace arbeitsbereich;
    auto satz = arbeitsbereich.OpenDatabase(daten_.datenbank.string())
                    ->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " +
                                    std::to_string(rechnung));
    return satz->Fields(feld).Value();
  }
  int Tabellen(const fs::path& datei) { return word::Document::Open(datei)->Tables().Count(); }
  // Another program that holds the write lock: it changed invoice 2 in its open transaction.
  std::shared_ptr<dao::Database> SperreHalten(dao::Workspace& arbeitsbereich) {
    auto andere = arbeitsbereich.OpenDatabase(daten_.datenbank.string());
    andere->BeginTrans();
    auto satz = andere->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 2");
    satz->Edit();
    satz->Fields("Brutto") = Variant(std::int32_t{1});
    satz->Update();
    return andere;
  }
};

TEST_F(FenstersitzungTest, OkHoldsNoDatabaseLockAndTheSaveStoresRecordAndDocumentTogether) {
  Auftragssitzung sitzung(daten_);
  Ok(sitzung);
  ASSERT_TRUE(sitzung.Geaendert());
  ASSERT_TRUE(sitzung.AusstehenderSatz());
  const Variant brutto = Feld(*sitzung.AusstehenderSatz(), "Brutto");
  EXPECT_GT(CDbl(brutto), 0) << "the totals wrote the pending record";
  EXPECT_EQ(CDbl(Gespeichert("Brutto")), 0) << "nothing stored before the save";

  // A colleague writes invoice 2 of the same database at once, while the "OK" is unsaved.
  const auto start = Uhr::now();
  Sql("UPDATE Rechnung SET Brutto = 4711 WHERE ID_Rechnungsnummer = 2");
  EXPECT_LT(Uhr::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(CLng(Gespeichert("Brutto", 2)), 4711);

  sitzung.Abschliessen(daten_.dokument);
  EXPECT_FALSE(sitzung.Geaendert());
  EXPECT_EQ(Gespeichert("Brutto"), brutto);
  EXPECT_GE(Tabellen(daten_.dokument), 2) << "statement and totals saved with the record";
  // A second save of the same state works and changes nothing.
  sitzung.Abschliessen(daten_.dokument);
  EXPECT_EQ(Gespeichert("Brutto"), brutto);
}

TEST_F(FenstersitzungTest, ASaveRefusedByTheDatabaseKeepsEverythingForTheNextTry) {
  Auftragssitzung sitzung(daten_);
  Ok(sitzung);
  const std::string vorher = Inhalt(daten_.dokument);
  {
    // Another program holds the write lock through the save.
    dao::Workspace arbeitsbereich;
    auto andere = SperreHalten(arbeitsbereich);
    EXPECT_EQ(Fehlernummer([&] { sitzung.Abschliessen(daten_.dokument); }),
              fehlernummer::DatenbankGesperrt);
    EXPECT_EQ(Inhalt(daten_.dokument), vorher) << "the document stays as it was";
    EXPECT_TRUE(sitzung.Geaendert());
    andere->Rollback();
  }
  sitzung.Abschliessen(daten_.dokument);
  EXPECT_GT(CDbl(Gespeichert("Brutto")), 0);
  EXPECT_NE(Inhalt(daten_.dokument), vorher);
}

TEST_F(FenstersitzungTest, ARecordChangedElsewhereIsNeverOverwrittenUnasked) {
  Auftragssitzung sitzung(daten_);
  Ok(sitzung);
  const Variant brutto = Feld(*sitzung.AusstehenderSatz(), "Brutto");
  const std::string vorher = Inhalt(daten_.dokument);
  Sql("UPDATE Rechnung SET Brutto = 555 WHERE ID_Rechnungsnummer = 1");

  try {
    sitzung.Abschliessen(daten_.dokument);
    ADD_FAILURE() << "the save overwrote another workstation's change";
  } catch (const Laufzeitfehler& fehler) {
    EXPECT_EQ(fehler.Nummer(), Auftragssitzung::kAndererArbeitsplatz);
    EXPECT_NE(fehler.Beschreibung().find("Brutto: 0 → 555"), std::string::npos)
        << fehler.Beschreibung();
  }
  EXPECT_EQ(CLng(Gespeichert("Brutto")), 555);
  EXPECT_EQ(Inhalt(daten_.dokument), vorher);

  sitzung.Abschliessen(daten_.dokument, true);  // the user said: overwrite
  EXPECT_EQ(Gespeichert("Brutto"), brutto);
}

TEST_F(FenstersitzungTest, RueckgaengigTakesBackOneOkAfterAnother) {
  Auftragssitzung sitzung(daten_);
  const int leer = sitzung.Dokument()->Tables().Count();
  Ok(sitzung);
  const int nachEinem = sitzung.Dokument()->Tables().Count();
  const Satzwerte einer = *sitzung.AusstehenderSatz();
  Ok(sitzung);  // a second statement (the table choice dialog closed: a new one)
  ASSERT_GT(sitzung.Dokument()->Tables().Count(), nachEinem);
  ASSERT_EQ(sitzung.Schritte(), 2u);

  // Not while a form works on the document.
  sitzung.Zeigen(0, 0);
  EXPECT_EQ(Fehlernummer([&] { sitzung.Rueckgaengig(); }), fehlernummer::UngueltigerAufruf);
  sitzung.Formular()->Unload();

  ASSERT_TRUE(sitzung.Rueckgaengig());
  EXPECT_EQ(sitzung.Dokument()->Tables().Count(), nachEinem);
  EXPECT_EQ(*sitzung.AusstehenderSatz(), einer);
  EXPECT_EQ(Status().Doc, sitzung.Dokument()) << "the forms work on the document taken back";
  ASSERT_TRUE(sitzung.Rueckgaengig());
  EXPECT_EQ(sitzung.Dokument()->Tables().Count(), leer);
  EXPECT_FALSE(sitzung.AusstehenderSatz());
  EXPECT_FALSE(sitzung.Geaendert());
  EXPECT_FALSE(sitzung.Rueckgaengig());

  sitzung.Abschliessen(daten_.dokument);
  EXPECT_EQ(CDbl(Gespeichert("Brutto")), 0) << "nothing of the taken-back OKs is stored";
}

TEST_F(FenstersitzungTest, AnOkWhoseRecordCannotBeStoredIsTakenBackAtOnce) {
  Auftragssitzung sitzung(daten_);
  const int leer = sitzung.Dokument()->Tables().Count();
  dao::Workspace arbeitsbereich;
  auto andere = SperreHalten(arbeitsbereich);
  Ok(sitzung);  // the totals wait for the lock, then fail
  andere->Rollback();
  ASSERT_TRUE(sitzung.OkFehler());
  EXPECT_EQ(sitzung.OkFehler()->Nummer(), fehlernummer::DatenbankGesperrt);
  EXPECT_FALSE(sitzung.Geaendert());
  EXPECT_EQ(sitzung.Dokument()->Tables().Count(), leer) << "document and record stay in step";
}

TEST_F(FenstersitzungTest, ACrashedSessionsWorkIsRestoredAndSavesAsItsOwnSaveWould) {
  std::string pendingXml;
  Satzwerte ausstehend;
  fs::path eintrag;
  {
    Auftragssitzung sitzung(daten_);
    Ok(sitzung);
    pendingXml = sitzung.Dokument()->MainXml();
    ausstehend = *sitzung.AusstehenderSatz();
    eintrag = sitzung.Wiederherstellungseintrag();
    EXPECT_TRUE(Wiederherstellung::Verwaist(daten_.wiederherstellung).empty())
        << "a living session's entry is not offered";
  }  // ends without saving or discarding, as a killed window does
  ASSERT_TRUE(fs::exists(eintrag));
  const auto liste = Wiederherstellung::Verwaist(daten_.wiederherstellung);
  ASSERT_EQ(liste.size(), 1u);
  const Wiederherstellungsstand& stand = liste.front();
  EXPECT_EQ(stand.dokument, fs::absolute(daten_.dokument));
  EXPECT_EQ(stand.rechnung, std::optional<std::int32_t>(1));
  EXPECT_EQ(stand.ausstehend, ausstehend);
  EXPECT_EQ(CDbl(Gespeichert("Brutto")), 0);

  Auftragssitzung neu(daten_);
  neu.Wiederherstellen(stand);
  EXPECT_FALSE(fs::exists(eintrag)) << "the old entry is taken over";
  EXPECT_TRUE(neu.Geaendert());
  EXPECT_EQ(neu.Dokument()->MainXml(), pendingXml);
  neu.Abschliessen(daten_.dokument);
  EXPECT_EQ(word::Document::Open(daten_.dokument)->MainXml(), pendingXml);
  EXPECT_EQ(Gespeichert("Brutto"), Feld(ausstehend, "Brutto"));
  EXPECT_TRUE(Wiederherstellung::Verwaist(daten_.wiederherstellung).empty());
}

TEST_F(FenstersitzungTest, ACleanSaveOrADiscardLeavesNoRecoveryCopy) {
  fs::path eintrag;
  {
    Auftragssitzung sitzung(daten_);
    eintrag = sitzung.Wiederherstellungseintrag();
    Ok(sitzung);
    sitzung.Abschliessen(daten_.dokument);
    const int gespeichert = Tabellen(daten_.dokument);
    Ok(sitzung);
    sitzung.Verwerfen();
    EXPECT_FALSE(sitzung.Geaendert());
    EXPECT_EQ(sitzung.Dokument()->Tables().Count(), gespeichert) << "back to the saved file";
  }
  EXPECT_FALSE(fs::exists(eintrag));
  EXPECT_TRUE(Wiederherstellung::Verwaist(daten_.wiederherstellung).empty());
}

TEST_F(FenstersitzungTest, ALockRefusalComesAtOnceAndNamesItsHolder) {
  Auftragssitzung erste(daten_);
  const auto start = Uhr::now();
  try {
    Auftragssitzung zweite(daten_);
    ADD_FAILURE() << "two sessions on one invoice";
  } catch (const Laufzeitfehler& fehler) {
    EXPECT_EQ(fehler.Nummer(), fehlernummer::DatenbankGesperrt);
    EXPECT_NE(fehler.Beschreibung().find("Prozess " + std::to_string(::getpid())),
              std::string::npos)
        << fehler.Beschreibung();
    EXPECT_NE(fehler.Beschreibung().find(", seit "), std::string::npos);
  }
  EXPECT_LT(Uhr::now() - start, std::chrono::seconds(1)) << "the window never waits";

  // Another invoice of the same database, with another document, is not blocked.
  Auftragsdaten andere = daten_;
  andere.dokument = ordner_.Datei("Zweite.docx");
  word::Document::New()->Save(andere.dokument);
  andere.rechnung = 2;
  Auftragssitzung dritte(andere);

  // Read-only needs no lock, but writes nothing.
  Auftragsdaten lesen = daten_;
  lesen.schreibgeschuetzt = true;
  Auftragssitzung ansehen(lesen);
  EXPECT_EQ(Fehlernummer([&] { ansehen.Zeigen(0, 0); }), fehlernummer::UngueltigerAufruf);
  EXPECT_EQ(Fehlernummer([&] { ansehen.Abschliessen(daten_.dokument); }),
            fehlernummer::UngueltigerAufruf);
}

TEST(Satzwerte, EveryValueSurvivesTheRecoveryText) {
  const Satzwerte werte = {{"leer", Variant()},
                           {"null", Variant::Null()},
                           {"ja", Variant(true)},
                           {"kurz", Variant(std::int16_t{-7})},
                           {"Brutto", Variant(std::int32_t{119000})},
                           {"krumm", Variant(0.1 + 0.2)},
                           {"Text\tmit\nZeilen\\", Variant("Tab\tund\r\nZeile\\n")},
                           {"Datum", Variant(Datum::AusTag(2026, 12, 7))}};
  EXPECT_EQ(SatzwerteAusText(SatzwerteAlsText(werte)), werte);
  EXPECT_TRUE(GeaenderteFelder(werte, werte).empty());
}

TEST(Satzwerte, ADamagedTextIsRefusedNamingTheLine) {
  for (const char* text : {"Brutto\n", "Brutto\tlong\tzwölf\n", "a\ttext\tx\nBrutto\tgeld\t1\n",
                           "Brutto\tlong\t99999999999\n"}) {
    SCOPED_TRACE(text);
    try {
      SatzwerteAusText(text);
      ADD_FAILURE() << "accepted";
    } catch (const Laufzeitfehler& fehler) {
      EXPECT_EQ(fehler.Nummer(), fehlernummer::UngueltigerAufruf);
      EXPECT_EQ(fehler.Beschreibung().rfind("Zeile ", 0), 0u) << fehler.Beschreibung();
    }
  }
}

}  // namespace
}  // namespace tarvo
