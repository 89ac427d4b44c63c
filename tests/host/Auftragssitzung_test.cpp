#include "host/Auftragssitzung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>

#include "Sitzungsfixture.h"
#include "fees/modStatus.h"
#include "forms/Formulare.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Kopflos.h"
#include "platform/dao/DaoTestDatei.h"
#include "platform/word/Document.h"

namespace tarvo {
namespace {

using dao::test::Fehlernummer;

// The session fixture on "Vorlage.docx", and the steps the session names.
class AuftragssitzungTest : public test::SitzungTest {
 protected:
  AuftragssitzungTest() : SitzungTest("Vorlage.docx") {}

  Auftragssitzung::Schritt Mitschreiben() {
    return [this](const std::string& schritt) { schritte_.push_back(schritt); };
  }

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

TEST_F(AuftragssitzungTest, AJobNotFinishedChangesNeitherRecordNorDocument) {
  {
    Auftragssitzung sitzung(daten_);
    sitzung.Zeigen(0, 0).Steuerelement<controls::CommandButton>("CommandEnde").UserPress();
    // "OK" wrote the totals into the document in memory and the record in the transaction;
    // the session ends without Abschliessen (the host window closed, the save failed).
  }
  auto db = dao::Workspace().OpenDatabase(daten_.datenbank.string());
  auto satz = db->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1");
  EXPECT_EQ(CStr(satz->Fields("Brutto").Value()), "0");
  EXPECT_EQ(word::Document::Open(daten_.dokument)->Tables().Count(), 0);
}

// What other programs did to the job's files while it ran is found out before anything is
// stored: the letter saved meanwhile, the letter open in a word processor, the database file
// replaced. The record and the document then stay as they were.
TEST_F(AuftragssitzungTest, OtherProgramsChangingTheFilesMeanwhileRefuseTheSave) {
  auto inhalt = [](const std::filesystem::path& datei) {
    std::ifstream ein(datei, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(ein), {});
  };
  struct Fall {
    const char* name;
    std::function<void(const Auftragsdaten&)> stoeren;
    const char* meldung;
  } faelle[] = {
      {"anderswo gespeichert",
       [](const Auftragsdaten& d) {
         auto anders = word::Document::New();
         anders->Content().InsertAfter("von Hand geändert");
         anders->Save(d.dokument);
       },
       "von einem anderen Programm gespeichert"},
      {"in LibreOffice geöffnet",
       [](const Auftragsdaten& d) {
         std::ofstream(d.dokument.parent_path() / ".~lock.Vorlage.docx#") << "x";
       },
       "in einer Textverarbeitung geöffnet"},
      {"in Word geöffnet",
       [](const Auftragsdaten& d) {
         std::ofstream(d.dokument.parent_path() / "~$rlage.docx") << "x";
       },
       "in einer Textverarbeitung geöffnet"},
      {"Datenbank ersetzt",
       [](const Auftragsdaten& d) {
         const std::string kopie = d.datenbank.string() + ".kopie";
         std::filesystem::copy_file(d.datenbank, kopie);
         std::filesystem::rename(kopie, d.datenbank);
       },
       "Datenbankdatei"},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    dao::test::TestOrdner ordner;
    Auftragsdaten daten = daten_;
    daten.dokument = ordner.Datei("Vorlage.docx");
    word::Document::New()->Save(daten.dokument);
    daten.datenbank = dao::test::NeueDatenbank(ordner);
    {
      Auftragssitzung sitzung(daten);
      sitzung.Zeigen(0, 0).Steuerelement<controls::CommandButton>("CommandEnde").UserPress();
      fall.stoeren(daten);
      const std::string davor = inhalt(daten.dokument);
      try {
        sitzung.Abschliessen(daten.dokument);
        ADD_FAILURE() << "gespeichert";
      } catch (const Laufzeitfehler& fehler) {
        EXPECT_NE(fehler.Beschreibung().find(fall.meldung), std::string::npos)
            << fehler.Beschreibung();
      }
      EXPECT_EQ(inhalt(daten.dokument), davor) << "nothing overwritten";
      if (auto f = formulare::Formular(0); f && f->Loaded()) f->Unload();
    }
    auto db = dao::Workspace().OpenDatabase(daten.datenbank.string());
    auto satz = db->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1");
    EXPECT_EQ(CStr(satz->Fields("Brutto").Value()), "0");
  }
}

TEST_F(AuftragssitzungTest, ASecondJobOnTheSameDocumentOrInvoiceWaitsThenIsRefused) {
  daten_.warten = std::chrono::milliseconds(200);
  auto erste = std::make_unique<Auftragssitzung>(daten_);

  Auftragsdaten andereRechnung = daten_;
  andereRechnung.rechnung.reset();
  Auftragsdaten anderesDokument = daten_;
  anderesDokument.dokument = ordner_.Datei("Zweite.docx");
  word::Document::New()->Save(anderesDokument.dokument);
  Auftragsdaten alsAusgabe = anderesDokument;
  alsAusgabe.rechnung.reset();
  alsAusgabe.ausgabe = daten_.dokument;
  const std::pair<const char*, Auftragsdaten*> faelle[] = {
      {"Das Dokument", &andereRechnung},
      {"Die Rechnung 1", &anderesDokument},
      {"Das Dokument", &alsAusgabe},
  };
  for (const auto& [was, daten] : faelle) {
    SCOPED_TRACE(was);
    const auto anfang = std::chrono::steady_clock::now();
    try {
      Auftragssitzung zweite(*daten);
      ADD_FAILURE() << "the second job was let in";
    } catch (const Laufzeitfehler& fehler) {
      EXPECT_EQ(fehler.Nummer(), fehlernummer::DatenbankGesperrt);
      EXPECT_EQ(fehler.Beschreibung().rfind(was, 0), 0u) << fehler.Beschreibung();
      EXPECT_NE(fehler.Beschreibung().find("von einem anderen Auftrag bearbeitet"),
                std::string::npos);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - anfang, daten_.warten) << "it waited first";
  }

  erste.reset();
  Auftragssitzung danach(daten_);
  int sperrdateien = 0;
  for (const auto& eintrag : std::filesystem::directory_iterator(daten_.dokument.parent_path()))
    sperrdateien += eintrag.path().extension() == ".sperre";
  EXPECT_EQ(sperrdateien, 2) << "only the running job's: its document and its invoice";
}

}  // namespace
}  // namespace tarvo
