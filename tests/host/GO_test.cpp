#include "host/GO.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "errors/Erwartet.h"
#include "errors/Protokoll.h"
#include "fees/modStatus.h"
#include "host/KomIdentitaet.h"
#include "platform/dao/Database.h"
#include "platform/dao/Workspace.h"
#include "platform/word/Document.h"

namespace tarvo {
namespace {

using test::FehlerNummer;

class GOTest : public ::testing::Test {
 protected:
  void SetUp() override { Status().Zuruecksetzen(); }
  void TearDown() override { Status().Zuruecksetzen(); }
  GO go;
};

// One let and the get that follows it: the stored type and value.
struct LetFall {
  const char* name;
  void (GO::*let)(const Variant&);
  Variant (GO::*get)() const;
  Variant eingabe;
  Variant gespeichert;
};

TEST_F(GOTest, LetsConvertAndGetsReturnTheStoredType) {
  const LetFall faelle[] = {
      {"Flurstücksnummer from text", &GO::Flurstücksnummer, &GO::Flurstücksnummer, Variant("123/4"),
       Variant("123/4")},
      {"Flurstücksnummer from Double", &GO::Flurstücksnummer, &GO::Flurstücksnummer, Variant(12.5),
       Variant("12,5")},
      {"Lage from Boolean", &GO::Lage, &GO::Lage, Variant(true), Variant("Wahr")},
      {"Fläche 1234,5 text", &GO::Fläche, &GO::Fläche, Variant("1234,5"), Variant(1234.5)},
      {"Fläche 1.234,5 text", &GO::Fläche, &GO::Fläche, Variant("1.234,5"), Variant(1234.5)},
      {"Bodenwert from Long", &GO::Bodenwert, &GO::Bodenwert, Variant(80), Variant(80.0)},
      {"Baukosten Empty -> 0", &GO::Baukosten, &GO::Baukosten, Variant(), Variant(0.0)},
      {"Achslänge 2,5 -> 2", &GO::Achslänge, &GO::Achslänge, Variant(2.5),
       Variant(std::int16_t{2})},
      {"Achslänge 3,5 -> 4", &GO::Achslänge, &GO::Achslänge, Variant(3.5),
       Variant(std::int16_t{4})},
      {"Achslänge text 7,5 -> 8", &GO::Achslänge, &GO::Achslänge, Variant("7,5"),
       Variant(std::int16_t{8})},
      {"Flurstücke 32767", &GO::Flurstücke, &GO::Flurstücke, Variant(32767),
       Variant(std::int16_t{32767})},
      {"AnzahlGrenzpunkte -0,5 -> 0", &GO::AnzahlGrenzpunkte, &GO::AnzahlGrenzpunkte, Variant(-0.5),
       Variant(std::int16_t{0})},
      {"Grenzlänge 40000 fits a Long", &GO::Grenzlänge, &GO::Grenzlänge, Variant(40000),
       Variant(std::int32_t{40000})},
      {"Grenzlänge 1234,5 -> 1234", &GO::Grenzlänge, &GO::Grenzlänge, Variant("1234,5"),
       Variant(std::int32_t{1234})},
      {"ID_Benutzer from Integer", &GO::ID_Benutzer, &GO::ID_Benutzer, Variant(std::int16_t{7}),
       Variant(std::int32_t{7})},
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    (go.*fall.let)(fall.eingabe);
    EXPECT_EQ((go.*fall.get)(), fall.gespeichert);
  }
  EXPECT_EQ(Status().Fläche, 1234.5);  // the Bodenwert and Baukosten rows did not touch it
}

// A let that cannot convert throws to the caller and keeps the value stored before.
struct FehlLetFall {
  const char* name;
  void (GO::*let)(const Variant&);
  Variant (GO::*get)() const;
  Variant vorher;
  Variant eingabe;
  int fehler;
};

TEST_F(GOTest, FailedLetKeepsTheOldValue) {
  const FehlLetFall faelle[] = {
      {"Achslänge 40000 -> 6", &GO::Achslänge, &GO::Achslänge, Variant(std::int16_t{12}),
       Variant(40000), 6},
      {"Achslänge 32767,5 -> 6", &GO::Achslänge, &GO::Achslänge, Variant(std::int16_t{12}),
       Variant(32767.5), 6},
      {"Flurstücke -40000 -> 6", &GO::Flurstücke, &GO::Flurstücke, Variant(std::int16_t{3}),
       Variant(-40000), 6},
      {"AnzahlGrenzpunkte abc -> 13", &GO::AnzahlGrenzpunkte, &GO::AnzahlGrenzpunkte,
       Variant(std::int16_t{5}), Variant("abc"), 13},
      {"Grenzlänge 3E9 -> 6", &GO::Grenzlänge, &GO::Grenzlänge, Variant(std::int32_t{9}),
       Variant(3e9), 6},
      {"ID_Benutzer Null -> 94", &GO::ID_Benutzer, &GO::ID_Benutzer, Variant(std::int32_t{4}),
       Variant::Null(), 94},
      {"Fläche 12,5 m² -> 13", &GO::Fläche, &GO::Fläche, Variant(1.5), Variant("12,5 m²"), 13},
      {"Fläche empty text -> 13", &GO::Fläche, &GO::Fläche, Variant(1.5), Variant(""), 13},
      {"Bodenwert object -> 13", &GO::Bodenwert, &GO::Bodenwert, Variant(2.5),
       Variant(std::make_shared<Objekt>()), 13},
      {"Lage Null -> 94", &GO::Lage, &GO::Lage, Variant("Nord"), Variant::Null(), 94},
      {"Flurstücksnummer object -> 13", &GO::Flurstücksnummer, &GO::Flurstücksnummer,
       Variant("1/2"), Variant(std::make_shared<Objekt>()), 13},
  };
  auto vorher = protokoll::AnzahlGemeldet();
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.name);
    (go.*fall.let)(fall.vorher);
    EXPECT_EQ(FehlerNummer([&] { (go.*fall.let)(fall.eingabe); }), fall.fehler);
    EXPECT_EQ((go.*fall.get)(), fall.vorher);
  }
  EXPECT_EQ(protokoll::AnzahlGemeldet(), vorher);  // property procedures log nothing
}

TEST_F(GOTest, DocStoresTheDocumentAndItsApplication) {
  EXPECT_EQ(go.Doc().Objektwert(), nullptr);
  auto doc = word::Document::New();
  go.Doc(Variant(doc));
  EXPECT_EQ(Status().Doc, doc);
  EXPECT_EQ(Status().WordApp, doc->Application());
  EXPECT_EQ(go.Doc().Objektwert().get(), doc.get());
}

TEST_F(GOTest, DocRefusesWhatIsNoDocumentAndKeepsDocAndWordApp) {
  auto doc = word::Document::New();
  go.Doc(Variant(doc));
  auto app = Status().WordApp;
  const Variant falsche[] = {Variant(std::make_shared<dao::Workspace>()),
                             Variant(doc->Application()), Variant("Rechnung.docx"),
                             Variant(std::shared_ptr<word::Document>()), Variant::Null()};
  for (const auto& wert : falsche) {
    EXPECT_EQ(FehlerNummer([&] { go.Doc(wert); }), 13);
    EXPECT_EQ(Status().Doc, doc);
    EXPECT_EQ(Status().WordApp, app);
  }
}

TEST_F(GOTest, DatabaseAndWorkspaceLetsTakeOnlyTheirKind) {
  auto ordner = std::filesystem::temp_directory_path() / ("tarvo_go_" + std::to_string(::getpid()));
  std::filesystem::create_directories(ordner);
  auto arbeitsbereich = std::make_shared<dao::Workspace>();
  auto db = arbeitsbereich->CreateDatabase((ordner / "auftrag.db").string());

  go.NeueAbfrage(Variant(db));
  go.LumoWorkspace(Variant(arbeitsbereich));
  EXPECT_EQ(Status().NeueAbfrage, db);
  EXPECT_EQ(go.NeueAbfrage().Objektwert().get(), db.get());
  EXPECT_EQ(go.LumoWorkspace(), arbeitsbereich);

  EXPECT_EQ(FehlerNummer([&] { go.NeueAbfrage(Variant(arbeitsbereich)); }), 13);
  EXPECT_EQ(FehlerNummer([&] { go.NeueAbfrage(Variant("auftrag.db")); }), 13);
  EXPECT_EQ(FehlerNummer([&] { go.LumoWorkspace(Variant(db)); }), 13);
  EXPECT_EQ(FehlerNummer([&] { go.LumoWorkspace(Variant(std::int16_t{1})); }), 13);
  EXPECT_EQ(Status().NeueAbfrage, db);
  EXPECT_EQ(go.LumoWorkspace(), arbeitsbereich);

  go.DatenbankPfad("/daten/auftrag.db");
  EXPECT_EQ(Status().DatenbankPfad, "/daten/auftrag.db");
  Status().Zuruecksetzen();
  db.reset();
  std::filesystem::remove_all(ordner);
}

TEST_F(GOTest, TwoObjectsShareTheState) {
  GO anderes;
  go.Achslänge(Variant(17));
  EXPECT_EQ(anderes.Achslänge(), Variant(std::int16_t{17}));
  anderes.Flurstücksnummer(Variant("88/1"));
  EXPECT_EQ(go.Flurstücksnummer(), Variant("88/1"));
  anderes.DatenbankPfad("a.db");
  go.DatenbankPfad("b.db");  // the last write wins
  EXPECT_EQ(anderes.DatenbankPfad(), "b.db");
}

TEST_F(GOTest, AktualisierenChangesNothingAndRaisesNoEvent) {
  int aufrufe = 0;
  go.DatenAktualisieren.Verbinden([&] { ++aufrufe; });
  go.Fläche(Variant(3.25));
  go.Lage(Variant("Süd"));
  go.Aktualisieren();
  EXPECT_EQ(aufrufe, 0);
  EXPECT_EQ(go.Fläche(), Variant(3.25));
  EXPECT_EQ(go.Lage(), Variant("Süd"));
}

TEST(Ereignis, SinksConnectAndDisconnectByCookie) {
  Ereignis ereignis;
  int a = 0, b = 0;
  auto ca = ereignis.Verbinden([&] { ++a; });
  auto cb = ereignis.Verbinden([&] { ++b; });
  EXPECT_NE(ca, cb);
  EXPECT_NE(ca, 0);
  ereignis.Ausloesen();
  ereignis.Trennen(ca);
  ereignis.Trennen(12345);
  ereignis.Ausloesen();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(ereignis.Anzahl(), 1u);
}

TEST(KomIdentitaet, FactoryCreatesGOByProgIdOrClassGuid) {
  const char* gute[] = {"tarvo_03.GO", "TARVO_03.go", "{9B78EE68-0A12-4354-92E0-423BF52D9C5A}",
                        "{9b78ee68-0a12-4354-92e0-423bf52d9c5a}"};
  for (const char* kennung : gute) {
    SCOPED_TRACE(kennung);
    EXPECT_NE(kom::ObjektErzeugen(kennung), nullptr);
  }
  const char* schlechte[] = {"",
                             "GO",
                             "tarvo_03",
                             "tarvo_03.GO.1",
                             " tarvo_03.GO",
                             "9B78EE68-0A12-4354-92E0-423BF52D9C5A",
                             "{417DEE13-11C0-4CAB-8AEF-A5297E3818B6}",
                             "{B29C12B6-C484-4590-ACE4-C1241D7BFFC3}"};
  for (const char* kennung : schlechte) {
    SCOPED_TRACE(kennung);
    EXPECT_FALSE(kom::IstKlasse(kennung));
    EXPECT_EQ(FehlerNummer([&] { kom::ObjektErzeugen(kennung); }), 429);
  }
}

}  // namespace
}  // namespace tarvo
