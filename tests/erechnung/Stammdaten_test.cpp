// The master data of the e-invoice: read from JSON, checked field by field (each missing field
// named with its business term, invalid values refused) and stored in the job database.
#include "erechnung/Stammdaten.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/dao/JobSchema.h"
#include "platform/dao/Workspace.h"

namespace tarvo::erechnung {
namespace {

namespace fs = std::filesystem;

const char* kVollstaendig = R"({
  "verkaeufer": {"name": "Vermessung Müller & Söhne", "strasse": "Am Markt 2", "plz": "01067",
                 "ort": "Dresden", "land": "DE", "ust_id": "DE123456789",
                 "steuernummer": "203/123/45678", "kontakt": "Jana Müller",
                 "telefon": "0351 4711", "email": "rechnung@mueller-vermessung.de",
                 "iban": "DE02 1203 0000 0000 2020 51", "bic": "BYLADEM1001", "bank": "DKB"},
  "kaeufer": {"name": "Stadt <Pirna>", "strasse": "Am Markt 1", "plz": "01796", "ort": "Pirna",
              "land": "DE", "leitweg_id": "14628410-0001-40", "email": "e-rechnung@pirna.de"}
})";

Stammdaten Lesen(const std::string& json) {
  Stammdaten daten;
  bool v = false, k = false;
  const auto fehler = StammdatenAusJson(json, daten, v, k);
  EXPECT_TRUE(fehler.empty()) << fehler.front();
  return daten;
}

TEST(Stammdaten, ACompleteFileSatisfiesEveryFormat) {
  const Stammdaten daten = Lesen(kVollstaendig);
  EXPECT_EQ(daten.verkaeufer.name, "Vermessung Müller & Söhne");
  EXPECT_EQ(daten.kaeufer.leitwegId, "14628410-0001-40");
  for (Format f : {Format::XRechnungCii, Format::XRechnungUbl, Format::Zugferd})
    EXPECT_TRUE(StammdatenPruefen(daten, f).empty());
}

// Each field the XRechnung needs, emptied alone, gives exactly its own message.
TEST(Stammdaten, EachMissingFieldIsNamedWithItsBusinessTerm) {
  const std::pair<std::string, std::string> faelle[] = {
      {R"({"kaeufer": {"leitweg_id": null}})",
       "Für die XRechnung fehlt: Leitweg-ID des Empfängers (BT-10)"},
      {R"({"kaeufer": {"name": null}})", "Für die XRechnung fehlt: Name des Empfängers (BT-44)"},
      {R"({"kaeufer": {"plz": ""}})",
       "Für die XRechnung fehlt: Postleitzahl des Empfängers (BT-53)"},
      {R"({"kaeufer": {"ort": null}})", "Für die XRechnung fehlt: Ort des Empfängers (BT-52)"},
      {R"({"verkaeufer": {"name": null}})", "Für die XRechnung fehlt: Name des Verkäufers (BT-27)"},
      {R"({"verkaeufer": {"kontakt": null}})",
       "Für die XRechnung fehlt: Ansprechpartner des Verkäufers (BT-41)"},
      {R"({"verkaeufer": {"telefon": null}})",
       "Für die XRechnung fehlt: Telefon des Verkäufers (BT-42)"},
      {R"({"verkaeufer": {"email": null}})",
       "Für die XRechnung fehlt: E-Mail des Verkäufers (BT-43)"},
      {R"({"verkaeufer": {"iban": null}})", "Für die XRechnung fehlt: IBAN des Verkäufers (BT-84)"},
      {R"({"verkaeufer": {"ort": null}})", "Für die XRechnung fehlt: Ort des Verkäufers (BT-37)"},
      {R"({"verkaeufer": {"ust_id": null, "steuernummer": null}})",
       "Für die XRechnung fehlt: Umsatzsteuer-Identifikationsnummer (BT-31) oder Steuernummer "
       "(BT-32) des Verkäufers"},
  };
  for (const auto& [json, meldung] : faelle) {
    SCOPED_TRACE(json);
    Stammdaten daten = Lesen(kVollstaendig);
    bool v = false, k = false;
    ASSERT_TRUE(StammdatenAusJson(json, daten, v, k).empty());
    EXPECT_EQ(StammdatenPruefen(daten, Format::XRechnungUbl), std::vector<std::string>{meldung});
  }
}

TEST(Stammdaten, ZugferdNeedsNoLeitwegIdAndNoContact) {
  Stammdaten daten = Lesen(kVollstaendig);
  daten.kaeufer.leitwegId.clear();
  daten.verkaeufer.kontakt.clear();
  daten.verkaeufer.telefon.clear();
  EXPECT_TRUE(StammdatenPruefen(daten, Format::Zugferd).empty());
  EXPECT_EQ(StammdatenPruefen(daten, Format::XRechnungCii).size(), 3u);
}

TEST(Stammdaten, InvalidValuesAreRefused) {
  const std::pair<std::string, std::string> faelle[] = {
      {R"({"verkaeufer": {"iban": "DE03120300000000202051"}})", "IBAN des Verkäufers (BT-84)"},
      {R"({"verkaeufer": {"iban": "DE0212030000000020205"}})", "IBAN des Verkäufers (BT-84)"},
      {R"({"verkaeufer": {"ust_id": "DE12345678"}})",
       "Umsatzsteuer-Identifikationsnummer des Verkäufers (BT-31)"},
      {R"({"verkaeufer": {"ust_id": "123456789"}})",
       "Umsatzsteuer-Identifikationsnummer des Verkäufers (BT-31)"},
      {R"({"verkaeufer": {"email": "rechnung.mueller.de"}})", "E-Mail des Verkäufers (BT-43)"},
      {R"({"kaeufer": {"email": "a@b@c.de"}})", "E-Mail des Empfängers (BT-49)"},
      {R"({"kaeufer": {"email": "stadt@pirna"}})", "E-Mail des Empfängers (BT-49)"},
      {R"({"kaeufer": {"land": "Deutschland"}})", "Land des Empfängers (BT-55)"},
      {R"({"kaeufer": {"leitweg_id": "14628410 0001"}})", "Leitweg-ID des Empfängers (BT-10)"},
  };
  for (const auto& [json, feld] : faelle) {
    SCOPED_TRACE(json);
    Stammdaten daten = Lesen(kVollstaendig);
    bool v = false, k = false;
    ASSERT_TRUE(StammdatenAusJson(json, daten, v, k).empty());
    const auto fehler = StammdatenPruefen(daten, Format::Zugferd);
    ASSERT_EQ(fehler.size(), 1u);
    EXPECT_EQ(fehler[0].rfind("Ungültig: " + feld, 0), 0u) << fehler[0];
  }
  // Valid forms: blanks in the IBAN, an Austrian VAT ID, a Leitweg-ID without fine address.
  Stammdaten daten = Lesen(kVollstaendig);
  daten.verkaeufer.ustId = "ATU12345678";
  daten.kaeufer.leitwegId = "991-01234-44";
  EXPECT_TRUE(UngueltigeFelder(daten).empty());
}

TEST(Stammdaten, UnusableFilesChangeNothing) {
  const char* faelle[] = {
      "kein json",
      "[1, 2]",
      R"({"verkaufer": {"name": "x"}})",
      R"({"verkaeufer": {"nmae": "x"}})",
      R"({"verkaeufer": {"plz": 1067}})",
      R"({"kaeufer": "Stadt Pirna"})",
  };
  for (const char* json : faelle) {
    SCOPED_TRACE(json);
    Stammdaten daten = Lesen(kVollstaendig);
    bool v = false, k = false;
    EXPECT_FALSE(StammdatenAusJson(json, daten, v, k).empty());
    EXPECT_EQ(daten.verkaeufer.name, "Vermessung Müller & Söhne");
    EXPECT_EQ(daten.verkaeufer.anschrift.plz, "01067");
  }
}

TEST(Stammdaten, StoredAndReadBackPerInvoice) {
  const fs::path datei =
      fs::temp_directory_path() / ("tarvo-stammdaten-" + std::to_string(::getpid()) + ".db");
  fs::remove(datei);
  {
    dao::Workspace ws;
    auto db = ws.CreateDatabase(datei.string());
    db->Execute(std::string(dao::JobDatabaseSchema()));
    // Adding the tables again (as --ergaenzen does) changes nothing.
    StammdatenTabellenAnlegen(*db);
    const Stammdaten daten = Lesen(kVollstaendig);
    StammdatenSpeichern(*db, 7, daten, true, true);
    Stammdaten anders = daten;
    anders.kaeufer.name = "Landkreis";
    anders.kaeufer.email.clear();
    StammdatenSpeichern(*db, 8, anders, false, true);

    Stammdaten gelesen;
    StammdatenLesen(*db, 7, gelesen);
    EXPECT_EQ(gelesen.verkaeufer.name, "Vermessung Müller & Söhne");
    EXPECT_EQ(gelesen.verkaeufer.iban, "DE02 1203 0000 0000 2020 51");
    EXPECT_EQ(gelesen.kaeufer.name, "Stadt <Pirna>");
    Stammdaten acht;
    StammdatenLesen(*db, 8, acht);
    EXPECT_EQ(acht.kaeufer.name, "Landkreis");
    EXPECT_EQ(acht.kaeufer.email, "");
    EXPECT_EQ(acht.verkaeufer.anschrift.ort, "Dresden");
    Stammdaten keine;
    StammdatenLesen(*db, 9, keine);
    EXPECT_EQ(keine.kaeufer.name, "");
  }
  fs::remove(datei);
}

TEST(Stammdaten, SchemaHoldsBothTablesOnly) {
  const std::string schema = StammdatenSchema();
  EXPECT_NE(schema.find("ERechnungVerkaeufer"), std::string::npos);
  EXPECT_NE(schema.find("ERechnungKaeufer"), std::string::npos);
  EXPECT_EQ(schema.find("TempDoc"), std::string::npos);
  EXPECT_EQ(schema.find("BEGIN"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::erechnung
