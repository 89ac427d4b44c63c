#include "platform/controls/Kopflos.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "Umgebung.h"
#include "errors/Erwartet.h"
#include "platform/controls/Einstellungen.h"

namespace tarvo::controls {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test for the settings file.
class Ordner {
 public:
  Ordner() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    pfad_ = fs::path(::testing::TempDir()) /
            ("tarvo-kopflos-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(pfad_);
    fs::create_directories(pfad_);
  }
  ~Ordner() { fs::remove_all(pfad_); }
  const fs::path& Pfad() const { return pfad_; }
  fs::path Ini() const { return pfad_ / "einstellungen.ini"; }

 private:
  fs::path pfad_;
};

std::string Lesen(const fs::path& datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::stringstream text;
  text << ein.rdbuf();
  return text.str();
}

void Schreiben(const fs::path& datei, const std::string& inhalt) {
  std::ofstream(datei, std::ios::binary) << inhalt;
}

using test::Umgebung;

TEST(KopflosMsgBox, DefaultAnswerIsTheDefaultButton) {
  struct Fall {
    std::int32_t stil;
    std::int32_t antwort;
  } faelle[] = {
      {msgbox::YesNo + msgbox::Question, msgbox::Yes},  // 36, "Zeile löschen?"
      {msgbox::OKOnly, msgbox::OK},
      {msgbox::OKOnly + msgbox::Critical, msgbox::OK},
      {msgbox::OKCancel, msgbox::OK},
      {msgbox::YesNoCancel + msgbox::DefaultButton3, msgbox::Cancel},
      {msgbox::YesNo + msgbox::DefaultButton2, msgbox::No},
      {msgbox::RetryCancel, msgbox::Retry},
      {msgbox::AbortRetryIgnore + msgbox::DefaultButton2, msgbox::Retry},
      {msgbox::OKOnly + msgbox::DefaultButton3, msgbox::OK},  // no third button
      {7, msgbox::OK},                                        // no such button set
  };
  for (const auto& fall : faelle) {
    SCOPED_TRACE(fall.stil);
    EXPECT_EQ(Kopflos::StandardAntwort(fall.stil), fall.antwort);
  }
}

TEST(KopflosMsgBox, ScriptedAnswersComeInOrderThenTheDefault) {
  Ordner ordner;
  Kopflos kopflos(ordner.Ini());
  kopflos.Antworten({msgbox::No, msgbox::Yes});
  EXPECT_EQ(kopflos.MsgBox("Zeile löschen?", 36, ""), msgbox::No);
  EXPECT_EQ(kopflos.MsgBox("Zeile löschen?", 36, ""), msgbox::Yes);
  EXPECT_EQ(kopflos.MsgBox("Fehler", 16, "Hinweis"), msgbox::OK);
  ASSERT_EQ(kopflos.Meldungen().size(), 3u);
  EXPECT_EQ(kopflos.Meldungen()[0].Text, "Zeile löschen?");
  EXPECT_EQ(kopflos.Meldungen()[0].Antwort, msgbox::No);
  EXPECT_EQ(kopflos.Meldungen()[2].Titel, "Hinweis");
}

TEST(KopflosHilfe, RecordsWhatWouldBeShown) {
  Ordner ordner;
  Kopflos kopflos(ordner.Ini());
  kopflos.HilfeAnzeigen("/x/Hilfe/LumoHelp.chm", "Fehlermeldungen.htm");
  ASSERT_EQ(kopflos.Hilfeaufrufe().size(), 1u);
  EXPECT_EQ(kopflos.Hilfeaufrufe()[0].Thema, "Fehlermeldungen.htm");
}

TEST(Einstellungen, RoundTripThroughTheFile) {
  Ordner ordner;
  Einstellungen speicher(ordner.Pfad() / "neu" / "einstellungen.ini");  // folder made on demand
  EXPECT_EQ(speicher.Lesen("LumoVerwaltung", "G_frmTabelle", "Top"), std::nullopt);
  speicher.Schreiben("LumoVerwaltung", "G_frmTabelle", "Top", "1440");
  speicher.Schreiben("LumoVerwaltung", "G_frmTabelle", "State", "0");
  speicher.Schreiben("LumoVerwaltung", "G_frmError", "Top", " 12,5 ");
  speicher.Schreiben("LumoVerwaltung", "G_frmTabelle", "Top", "2880");

  Einstellungen anderer(speicher.Datei());  // another process reading the same file
  EXPECT_EQ(anderer.Lesen("LumoVerwaltung", "G_frmTabelle", "Top"), "2880");
  EXPECT_EQ(anderer.Lesen("lumoverwaltung", "G_FRMTABELLE", "state"), "0");
  EXPECT_EQ(anderer.Lesen("LumoVerwaltung", "G_frmError", "Top"), " 12,5 ");
  EXPECT_EQ(anderer.Lesen("LumoVerwaltung", "G_frmError", "Left"), std::nullopt);
  EXPECT_EQ(Lesen(speicher.Datei()),
            "[LumoVerwaltung\\G_frmTabelle]\nState=0\nTop=2880\n\n"
            "[LumoVerwaltung\\G_frmError]\nTop= 12,5 \n\n");
}

TEST(Einstellungen, DamagedFileIsReadAroundAndRepairedOnWrite) {
  Ordner ordner;
  Schreiben(ordner.Ini(), std::string("\xff\xfe\x00garbage\n", 12) +
                              "Top=99\n"  // before any section
                              "[LumoVerwaltung\\G_frmTabelle\n"
                              "Left=77\n"  // under a broken heading
                              "[LumoVerwaltung\\G_frmTabelle]\r\n"
                              "State=2\r\n"
                              "kein Paar\n"
                              "=leer\n"
                              "; Kommentar\n"
                              "Top=1440");  // no final line break
  Einstellungen speicher(ordner.Ini());
  EXPECT_EQ(speicher.Lesen("LumoVerwaltung", "G_frmTabelle", "State"), "2");
  EXPECT_EQ(speicher.Lesen("LumoVerwaltung", "G_frmTabelle", "Top"), "1440");
  EXPECT_EQ(speicher.Lesen("LumoVerwaltung", "G_frmTabelle", "Left"), std::nullopt);
  speicher.Schreiben("LumoVerwaltung", "G_frmTabelle", "Left", "0");
  EXPECT_EQ(Lesen(ordner.Ini()), "[LumoVerwaltung\\G_frmTabelle]\nState=2\nTop=1440\nLeft=0\n\n");
}

TEST(Einstellungen, UnusableNamesAreRefused) {
  Ordner ordner;
  Einstellungen speicher(ordner.Ini());
  for (auto [abschnitt, schluessel, wert] : {std::tuple{"a]b", "Top", "1"},
                                             {"a\nb", "Top", "1"},
                                             {"x", "To=p", "1"},
                                             {"x", "", "1"},
                                             {"x", " Top", "1"},
                                             {"x", "[Top", "1"},
                                             {"x", "Top", "1\n2"}}) {
    SCOPED_TRACE(std::string(abschnitt) + "/" + schluessel);
    EXPECT_EQ(test::FehlerNummer(
                  [&] { speicher.Schreiben("LumoVerwaltung", abschnitt, schluessel, wert); }),
              5);
  }
  EXPECT_FALSE(fs::exists(ordner.Ini()));
}

TEST(Einstellungen, FailedWriteLeavesTheOldFileAndNoTemporary) {
  Ordner ordner;
  fs::create_directories(ordner.Ini() / "belegt");  // the "file" is a folder: rename must fail
  Einstellungen speicher(ordner.Ini());
  EXPECT_EQ(test::FehlerNummer(
                [&] { speicher.Schreiben("LumoVerwaltung", "G_frmTabelle", "State", "0"); }),
            75);
  EXPECT_TRUE(fs::is_directory(ordner.Ini() / "belegt"));
  for (const auto& eintrag : fs::directory_iterator(ordner.Pfad()))
    EXPECT_EQ(eintrag.path().filename(), "einstellungen.ini");

  Schreiben(ordner.Pfad() / "datei", "x");
  Einstellungen unterDatei(ordner.Pfad() / "datei" / "einstellungen.ini");
  EXPECT_EQ(test::FehlerNummer([&] { unterDatei.Schreiben("a", "b", "c", "d"); }), 75);
  EXPECT_EQ(unterDatei.Lesen("a", "b", "c"), std::nullopt);
}

TEST(Einstellungen, FileLivesInTheUsersConfigurationFolder) {
  {
    Umgebung eigener("TARVO_CONFIG_DIR", "/tmp/t");
    EXPECT_EQ(Einstellungen::StandardDatei(), fs::path("/tmp/t/einstellungen.ini"));
  }
  Umgebung eigener("TARVO_CONFIG_DIR", std::nullopt);
  {
    Umgebung xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(Einstellungen::StandardDatei(), fs::path("/cfg/tarvo/einstellungen.ini"));
  }
  Umgebung relativ("XDG_CONFIG_HOME", "relativ");  // not absolute: ignored
  Umgebung home("HOME", "/home/vermesser");
  EXPECT_EQ(Einstellungen::StandardDatei(),
            fs::path("/home/vermesser/.config/tarvo/einstellungen.ini"));
}

}  // namespace
}  // namespace tarvo::controls
