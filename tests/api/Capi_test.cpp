// The C interface as a host in another language sees it: GO through its factory and its text
// lets, the error record, and jobs that end 0, 2 and 3 with the report `tarvo run --json` prints.
// Built with AddressSanitizer (.ci/run), it also shows that nothing leaks across the boundary.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "acceptance/Auftrag_helpers.h"
#include "fees/modStatus.h"
#include "host/KomIdentitaet.h"
#include "tarvo/tarvo.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using abnahme::AuftragTest;
using nlohmann::json;

// What tarvo handed out, released at the end of the scope.
class Text {
 public:
  Text() = default;
  ~Text() { tarvo_freigeben(zeiger_); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  char** operator&() {
    tarvo_freigeben(zeiger_);
    zeiger_ = nullptr;
    return &zeiger_;
  }
  bool leer() const { return zeiger_ == nullptr; }
  std::string str() const { return zeiger_ ? zeiger_ : ""; }

 private:
  char* zeiger_ = nullptr;
};

class GoObjekt {
 public:
  GoObjekt() : go_(tarvo_go_neu()) {}
  ~GoObjekt() { tarvo_go_freigeben(go_); }
  GoObjekt(const GoObjekt&) = delete;
  GoObjekt& operator=(const GoObjekt&) = delete;
  tarvo_go* get() const { return go_; }
  int Setzen(const char* name, const char* wert) { return tarvo_go_setzen(go_, name, wert); }
  std::string Lesen(const char* name) {
    Text wert;
    EXPECT_EQ(tarvo_go_lesen(go_, name, &wert), 0) << name;
    return wert.str();
  }

 private:
  tarvo_go* go_;
};

class CSchnittstelle : public ::testing::Test {
 protected:
  void SetUp() override { Status().Zuruecksetzen(); }
};

TEST_F(CSchnittstelle, IdentityConstantsAreTheComponents) {
  EXPECT_EQ(TARVO_TYPBIBLIOTHEK, kom::Typbibliothek);
  EXPECT_EQ(TARVO_PROGID, kom::ProgId);
  EXPECT_EQ(TARVO_KLASSE, kom::Klasse);
  EXPECT_EQ(TARVO_TYPBIBLIOTHEK_GUID, kom::TypbibliothekGuid);
  EXPECT_EQ(TARVO_KLASSE_GUID, kom::KlasseGuid);
  EXPECT_EQ(TARVO_SCHNITTSTELLE_GUID, kom::SchnittstelleGuid);
  EXPECT_EQ(TARVO_EREIGNISSCHNITTSTELLE_GUID, kom::EreignisGuid);
  EXPECT_EQ(TARVO_FEHLERRECORD_GUID, kom::FehlerRecordGuid);
}

TEST_F(CSchnittstelle, FactoryCreatesGoByProgIdOrClassGuidAndRefusesOtherNames) {
  const struct {
    const char* kennung;
    int erwartet;
  } faelle[] = {
      {"tarvo_03.GO", 0},
      {"TARVO_03.go", 0},
      {"{9b78ee68-0a12-4354-92e0-423bf52d9c5a}", 0},
      {"tarvo_03._GO", 429},
      {"{417DEE13-11C0-4CAB-8AEF-A5297E3818B6}", 429},  // the interface, not the class
      {"", 429},
      {nullptr, 429},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.kennung ? fall.kennung : "NULL");
    tarvo_go* go = reinterpret_cast<tarvo_go*>(1);
    EXPECT_EQ(tarvo_objekt_erzeugen(fall.kennung, &go), fall.erwartet);
    EXPECT_EQ(go != nullptr, fall.erwartet == 0);
    tarvo_go_freigeben(go);
  }
  EXPECT_EQ(tarvo_objekt_erzeugen(TARVO_PROGID, nullptr), 5);
}

TEST_F(CSchnittstelle, LetsConvertTextAsThePropertiesDo) {
  GoObjekt go;
  const struct {
    const char* name;
    const char* wert;
    int erwartet;
    const char* gelesen;  // what the get gives afterwards
  } faelle[] = {
      {"Fläche", "1234,5", 0, "1234,5"},
      {"Fläche", "1.234,5", 0, "1234,5"},
      {"Achslänge", "2,5", 0, "2"},
      {"Achslänge", "3,5", 0, "4"},
      {"Achslänge", "40000", 6, "4"},  // refused: the old value stays
      {"Achslänge", "-32768", 0, "-32768"},
      {"Grenzlänge", "2147483648", 6, "0"},
      {"Grenzlänge", "120", 0, "120"},
      {"AnzahlGrenzpunkte", "zwölf", 13, "0"},
      {"AnzahlGrenzpunkte", nullptr, 94, "0"},
      {"Flurstücksnummer", "412/7", 0, "412/7"},
      {"flurstücksnummer", "412/8", 0, "412/8"},  // names without regard to ASCII case
      {"Lage", "", 0, ""},
      {"ID_Benutzer", "7", 0, "7"},
      {"DatenbankPfad", "Aufträge.db", 0, "Aufträge.db"},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(std::string(fall.name) + " = " + (fall.wert ? fall.wert : "Null"));
    EXPECT_EQ(go.Setzen(fall.name, fall.wert), fall.erwartet);
    EXPECT_EQ(go.Lesen(fall.name), fall.gelesen);
  }
}

TEST_F(CSchnittstelle, RefusesWhatATextCannotBeWithTheRuntimesNumbers) {
  GoObjekt go;
  Text wert;
  EXPECT_EQ(go.Setzen("Doc", "Rechnung.docx"), 13);
  EXPECT_EQ(go.Setzen("LumoWorkspace", "x"), 13);
  EXPECT_EQ(tarvo_go_lesen(go.get(), "NeueAbfrage", &wert), 13);
  EXPECT_TRUE(wert.leer());
  EXPECT_EQ(go.Setzen("Farbe", "rot"), 438);
  EXPECT_EQ(tarvo_go_lesen(go.get(), "Farbe", &wert), 438);
  EXPECT_EQ(go.Setzen(nullptr, "1"), 438);
  EXPECT_EQ(tarvo_go_setzen(nullptr, "Fläche", "1"), 91);
  EXPECT_EQ(tarvo_go_lesen(nullptr, "Fläche", &wert), 91);
  EXPECT_EQ(tarvo_go_lesen(go.get(), "Fläche", nullptr), 5);
  EXPECT_EQ(tarvo_go_aktualisieren(nullptr), 91);
  EXPECT_EQ(tarvo_go_aktualisieren(go.get()), 0);
}

TEST_F(CSchnittstelle, TwoObjectsShareTheJobStateAndItOutlivesThem) {
  {
    GoObjekt eins, zwei;
    ASSERT_EQ(eins.Setzen("Fläche", "480"), 0);
    EXPECT_EQ(zwei.Lesen("Fläche"), "480");
  }
  GoObjekt drei;
  EXPECT_EQ(drei.Lesen("Fläche"), "480");
}

TEST_F(CSchnittstelle, ThousandObjectsComeAndGo) {
  for (int i = 0; i < 1000; ++i) {
    tarvo_go* go = nullptr;
    ASSERT_EQ(tarvo_objekt_erzeugen(i % 2 ? TARVO_PROGID : TARVO_KLASSE_GUID, &go), 0);
    ASSERT_EQ(tarvo_go_setzen(go, "Flurstücksnummer", std::to_string(i).c_str()), 0);
    Text wert;
    ASSERT_EQ(tarvo_go_lesen(go, "Flurstücksnummer", &wert), 0);
    ASSERT_EQ(wert.str(), std::to_string(i));
    tarvo_go_freigeben(go);
  }
}

TEST_F(CSchnittstelle, ErrorRecordIsEmptyUntilAnErrorIsReported) {
  GoObjekt go;
  Text fehler;
  ASSERT_EQ(tarvo_go_fehler(go.get(), &fehler), 0);
  const json leer = json::parse(fehler.str());
  EXPECT_EQ(leer["Funktionsname"], "");
  EXPECT_EQ(leer["strNr"], "");
  EXPECT_EQ(leer["Hinweis"], 0);
  EXPECT_EQ(tarvo_go_fehler(nullptr, &fehler), 91);
  EXPECT_TRUE(fehler.leer());
}

// The demo's category-1 job: two parcels, reduced points, boundary marks, a half share.
constexpr const char* kAuftrag = R"({
  "dokument": "Vorlage.docx",
  "ausgabe": "Rechnung.docx",
  "datenbank": "Auftraege.db",
  "benutzer": BENUTZER,
  "rechnung": 1,
  "auftrag": {"Flurstücksnummer": "412/7", "Fläche": 1250},
  "kategorie": 0,
  "antworten": {"tabellenwahl": "neu"},
  "eingaben": {
    "zeilen": [["Flst.Nr. 412/7", "II", "1250"], ["Flst.Nr. 412/8", "I", "480"]],
    "mskAnzahl": "8", "mskErmäßigt": "2", "mskGP": "6", "mskGP2": "1", "mskAnteil": "500"
  },
  "abschluss": "OK"
})";

std::string Auftrag(int benutzer) {
  std::string text = kAuftrag;
  text.replace(text.find("BENUTZER"), 8, std::to_string(benutzer));
  return text;
}

class CAuftrag : public AuftragTest {
 protected:
  int Ausfuehren(const std::string& auftrag, json& bericht) {
    Text text;
    const int status = tarvo_auftrag_ausfuehren(auftrag.c_str(), ordner_.c_str(), &text);
    bericht = json::parse(text.str(), nullptr, false);
    EXPECT_FALSE(bericht.is_discarded()) << text.str();
    return status;
  }
};

TEST_F(CAuftrag, RunsAJobAsTarvoRunDoesWithTheSameReportAndInvoice) {
  const abnahme::Lauf lauf = AuftragTest::Ausfuehren(Auftrag(1), "Auftrag.json", true);
  ASSERT_EQ(lauf.status, 0) << lauf.fehler;
  fs::rename(ordner_ / "Rechnung.docx", ordner_ / "Rechnung-run.docx");
  fs::remove(ordner_ / "Auftraege.db");
  abnahme::DatenbankAnlegen(ordner_ / "Auftraege.db");

  json bericht;
  ASSERT_EQ(Ausfuehren(Auftrag(1), bericht), TARVO_ERFOLG);
  json erwartet = json::parse(lauf.aus);
  EXPECT_EQ(fs::path(bericht["ausgabe"].get<std::string>()), ordner_ / "Rechnung.docx");
  // The paths differ by where each ran and logged; everything else is the same.
  for (json* j : {&bericht, &erwartet}) {
    j->erase("ausgabe");
    (*j)["fehler"].erase("protokoll");
  }
  EXPECT_EQ(bericht, erwartet);
  // The same invoice: tables, comments and shapes as inspect reads them (the comments' time
  // stamps aside, which inspect does not show).
  const abnahme::Lauf lauf1 = Tarvo("inspect Rechnung.docx --json");
  const abnahme::Lauf lauf2 = Tarvo("inspect Rechnung-run.docx --json");
  ASSERT_EQ(lauf1.status, 0) << lauf1.fehler;
  EXPECT_EQ(json::parse(lauf1.aus), json::parse(lauf2.aus));
}

TEST_F(CAuftrag, AJobThatCannotRunGives2AndTheMessageAndChangesNothing) {
  std::string auftrag = Auftrag(1);
  auftrag.replace(auftrag.find("Vorlage.docx"), 12, "fehlt.docx");
  json bericht;
  EXPECT_EQ(Ausfuehren(auftrag, bericht), TARVO_UNBRAUCHBAR);
  EXPECT_EQ(bericht["gespeichert"], false);
  EXPECT_NE(bericht["fehler"]["meldung"].get<std::string>().find("fehlt.docx"), std::string::npos)
      << bericht.dump();
  EXPECT_FALSE(fs::exists(ordner_ / "Rechnung.docx"));

  EXPECT_EQ(Ausfuehren("{ kein JSON", bericht), TARVO_UNBRAUCHBAR);
  EXPECT_EQ(tarvo_auftrag_ausfuehren(nullptr, nullptr, nullptr), TARVO_UNBRAUCHBAR);
}

TEST_F(CAuftrag, AJobWithLoggedErrorsGives3AndTheErrorRecordNamesThePlace) {
  json bericht;
  // User 9 has no invoice settings: the form logs that and goes on.
  EXPECT_EQ(Ausfuehren(Auftrag(9), bericht), TARVO_FEHLER_PROTOKOLLIERT);
  EXPECT_EQ(bericht["gespeichert"], true);
  EXPECT_GT(bericht["fehler"]["anzahl"].get<int>(), 0);
  EXPECT_TRUE(fs::exists(ordner_ / "Rechnung.docx"));

  GoObjekt go;
  Text fehler;
  ASSERT_EQ(tarvo_go_fehler(go.get(), &fehler), 0);
  const json satz = json::parse(fehler.str());
  EXPECT_FALSE(satz["Funktionsname"].get<std::string>().empty()) << satz.dump();
  EXPECT_EQ(satz["Funktionsname"].get<std::string>(),
            satz["strModul"].get<std::string>() + satz["strFunktion"].get<std::string>());
  EXPECT_FALSE(satz["strNr"].get<std::string>().empty());
}

}  // namespace
}  // namespace tarvo
