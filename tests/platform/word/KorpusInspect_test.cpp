// tarvo inspect: what it lists for corpus documents and for a document the model wrote, in
// JSON and as text, and how it refuses a file it cannot read.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "Korpus.h"
#include "platform/word/Document.h"
#include "platform/word/docx/Package.h"

namespace tarvo::word {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Ergebnis {
  int status = -1;
  std::string ausgabe;  // stdout only
};

// Runs tarvo inspect; the output holds stdout, and stderr too when `mitFehlern`.
Ergebnis Inspect(const fs::path& datei, bool alsJson, bool mitFehlern = false) {
  std::string befehl = std::string("'") + TARVO_EXE + "' inspect " + (alsJson ? "--json '" : "'") +
                       datei.string() + (mitFehlern ? "' 2>&1" : "' 2>/dev/null");
  Ergebnis ergebnis;
  FILE* pipe = popen(befehl.c_str(), "r");
  if (!pipe) return ergebnis;
  char puffer[4096];
  for (std::size_t n; (n = fread(puffer, 1, sizeof puffer, pipe)) > 0;)
    ergebnis.ausgabe.append(puffer, n);
  int status = pclose(pipe);
  ergebnis.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ergebnis;
}

json InspectJson(const fs::path& datei) {
  Ergebnis ergebnis = Inspect(datei, true);
  EXPECT_EQ(ergebnis.status, 0);
  return json::parse(ergebnis.ausgabe, nullptr, false);
}

fs::path Korpus(const char* name) {
  return test::KorpusOrdner() / name;
}

TEST(TarvoInspect, ListsTablesWithTheirTagCellsAndComments) {
  TARVO_KORPUS_NOETIG();
  json bestand = InspectJson(Korpus("oxsdk__cellWithComment.docx"));
  ASSERT_EQ(bestand["tables"].size(), 1u);
  const json& tabelle = bestand["tables"][0];
  EXPECT_EQ(tabelle["index"], 1);
  EXPECT_EQ(tabelle["tag"], "Cell comment 3");  // the table's first comment, not the first of all
  EXPECT_EQ(tabelle["rows"], 4);
  EXPECT_EQ(tabelle["columns"], 4);
  EXPECT_EQ(tabelle["cells"][0], json::array({"1", "test", "", ""}));
  EXPECT_EQ(tabelle["cells"][3][1], "tt");
  ASSERT_EQ(bestand["comments"].size(), 3u);
  EXPECT_EQ(bestand["comments"][0],
            json({{"index", 1}, {"text", "Cell comment 3"}, {"anchor", "test"}}));
  EXPECT_EQ(bestand["shapes"], json::array());
}

TEST(TarvoInspect, ListsShapesWithNameAndText) {
  TARVO_KORPUS_NOETIG();
  json bestand = InspectJson(Korpus("mammoth__text-box.docx"));
  ASSERT_EQ(bestand["shapes"].size(), 1u);
  EXPECT_EQ(bestand["shapes"][0]["name"], "Text Box 2");
  EXPECT_EQ(bestand["shapes"][0]["text"], "Datum plane");
  EXPECT_EQ(bestand["tables"], json::array());
}

TEST(TarvoInspect, ReadsATableTheModelWroteAndGivesNullForAnUntaggedTable) {
  fs::path folder = fs::path(TARVO_BINARY_DIR) / "testdata" / "inspect";
  fs::create_directories(folder);
  fs::path datei = folder / "rechnung.docx";
  {
    auto dokument = Document::New();
    Table ohne = dokument->Tables().Add(dokument->Content(), 1, 2);
    ohne.Cell(1, 1).Range().InsertAfter("ohne");
    Range danach = dokument->Content();
    danach.Collapse(wdCollapseEnd);
    Table mit = dokument->Tables().Add(danach, 2, 5);
    mit.Cell(2, 5).Range().InsertAfter("1.234,56 €");
    mit.Cell(1, 5).Range().InsertAfter("Betrag");
    dokument->Comments().Add(mit.Cell(1, 5).Range(), "TARVO_03_1");
    dokument->Save(datei);
  }
  json bestand = InspectJson(datei);
  ASSERT_EQ(bestand["tables"].size(), 2u);
  EXPECT_TRUE(bestand["tables"][0]["tag"].is_null());
  EXPECT_EQ(bestand["tables"][0]["cells"], json::array({json::array({"ohne", ""})}));
  const json& mit = bestand["tables"][1];
  EXPECT_EQ(mit["tag"], "TARVO_03_1");
  EXPECT_EQ(mit["rows"], 2);
  EXPECT_EQ(mit["columns"], 5);
  EXPECT_EQ(mit["cells"][1][4], "1.234,56 €");
  ASSERT_EQ(bestand["comments"].size(), 1u);
  EXPECT_EQ(bestand["comments"][0]["text"], "TARVO_03_1");
  EXPECT_EQ(bestand["comments"][0]["anchor"], "Betrag");

  Ergebnis text = Inspect(datei, false);
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.ausgabe.find("Tabelle 2: Kennung »TARVO_03_1«, 2 Zeilen, 5 Spalten"),
            std::string::npos)
      << text.ausgabe;
  EXPECT_NE(text.ausgabe.find("Kommentar 1: »TARVO_03_1« an »Betrag«"), std::string::npos);
}

TEST(TarvoInspect, NamesTheFileAndPartOfMalformedXml) {
  fs::path folder = fs::path(TARVO_BINARY_DIR) / "testdata" / "inspect";
  fs::create_directories(folder);
  fs::path datei = folder / "kaputt.docx";
  docx::Package package = docx::Package::Blank();
  package.SetPart("word/document.xml", "<w:document xmlns:w=\"x\">\n<w:body>\n</w:document>");
  package.Save(datei);
  Ergebnis ergebnis = Inspect(datei, false, true);
  EXPECT_EQ(ergebnis.status, 2);
  EXPECT_NE(ergebnis.ausgabe.find("Die Datei »kaputt.docx« ist kein gültiges Word-Dokument "
                                  "(fehlerhaftes XML in word/document.xml, Zeile 3"),
            std::string::npos)
      << ergebnis.ausgabe;
}

TEST(TarvoInspect, RefusesAFileItCannotReadWithStatus2AndNoOutput) {
  TARVO_KORPUS_NOETIG();
  for (const char* name :
       {"poi__truncated62886.docx", "poi__bug53475-password-is-pass.docx", "fehlt.docx"}) {
    SCOPED_TRACE(name);
    for (bool alsJson : {false, true}) {
      Ergebnis ergebnis = Inspect(Korpus(name), alsJson);
      EXPECT_EQ(ergebnis.status, 2);
      EXPECT_EQ(ergebnis.ausgabe, "");
    }
  }
}

}  // namespace
}  // namespace tarvo::word
