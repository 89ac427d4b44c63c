#include "platform/controls/MaskEdBox.h"

#include <gtest/gtest.h>

#include <string>

#include "errors/Erwartet.h"
#include "platform/controls/Form.h"
#include "platform/controls/Oberflaeche.h"
#include "platform/controls/Vertrag.h"

namespace tarvo::controls {
namespace {

// Keystrokes into a field: its places, the text before, the selection when typing starts, the
// keys; then the text after, how many keys were refused and how many Change events came.
struct Tippfall {
  const char* name;
  int stellen;
  const char* vorher;
  int selStart;
  int selLength;
  const char* tasten;
  const char* nachher;
  int abgelehnt;
  int changes;
};

const Tippfall kTippfaelle[] = {
    {"7 into a selected two-place field fills from the left", 2, " 0", 0, 255, "7", "7 ", 0, 1},
    {"12 over a selected three-place field", 3, "  0", 0, 255, "12", "12 ", 0, 2},
    {"four digits fill a four-place field", 4, "1000", 0, 255, "0750", "0750", 0, 4},
    {"a fifth digit finds no place", 4, "    ", 0, 0, "12345", "1234", 1, 4},
    {"letters, comma and blanks are refused", 3, "  5", 0, 255, "a,-b ", "  5", 5, 0},
    {"refused key leaves the selection alone", 2, "12", 0, 2, "x", "12", 1, 0},
    {"digits between refused keys still count", 3, "   ", 0, 0, "1x2", "12 ", 1, 2},
    {"typing at the caret overwrites that place", 4, "1000", 1, 0, "5", "1500", 0, 1},
    {"the same digit over itself is no change", 4, "1000", 0, 0, "1", "1000", 0, 0},
    {"backspace on a selection empties it", 4, "1000", 0, 255, "\b", "    ", 0, 1},
    {"backspace clears the place before the caret", 3, "123", 3, 0, "\b\b", "1  ", 0, 2},
    {"backspace at the start is refused", 3, "123", 0, 0, "\b", "123", 1, 0},
    {"delete clears the place at the caret", 3, "123", 1, 0, "\x7f", "1 3", 0, 1},
    {"delete at the end is refused", 3, "123", 3, 0, "\x7f", "123", 1, 0},
    {"part of a selection replaced", 4, "1234", 1, 2, "9", "19 4", 0, 1},
};

class MaskEdBoxTippen : public ::testing::TestWithParam<Tippfall> {};

TEST_P(MaskEdBoxTippen, KeepsTheOldControlsText) {
  const auto& fall = GetParam();
  MaskEdBox feld("mskTest", fall.stellen);
  feld.SetText(fall.vorher);
  feld.UserFocus();
  feld.SetSelStart(fall.selStart);
  feld.SetSelLength(fall.selLength);
  vertrag::Vertrag vertrag;
  vertrag.Beobachten(feld);
  EXPECT_EQ(feld.UserType(fall.tasten), fall.abgelehnt);
  EXPECT_EQ(feld.Text(), fall.nachher);
  EXPECT_EQ(vertrag.Anzahl("Change", "mskTest"), fall.changes);
}

INSTANTIATE_TEST_SUITE_P(Faelle, MaskEdBoxTippen, ::testing::ValuesIn(kTippfaelle),
                         [](const auto& info) {
                           std::string name;
                           for (const char* z = info.param.name; *z; ++z)
                             name += std::isalnum(static_cast<unsigned char>(*z)) ? *z : '_';
                           return name;
                         });

// Texts the program sets: accepted ones with what the field then reads, rejected ones (380).
struct Textfall {
  const char* vorgabe;
  int stellen;
  bool angenommen;
  const char* gelesen;
};

const Textfall kTextfaelle[] = {
    {"1000", 4, true, "1000"}, {" 0", 2, true, " 0"},   {"  0", 3, true, "  0"},
    {"7", 2, true, "7 "},      {"", 4, true, "    "},   {"    ", 4, true, "    "},
    {"12345", 4, false, ""},   {"1.000", 4, false, ""}, {"1,5", 3, false, ""},
    {"-5", 3, false, ""},      {"ab", 2, false, ""},    {"12\n", 3, false, ""},
};

TEST(MaskEdBox, ProgramTextIsKeptWhenItFitsTheMask) {
  for (const auto& fall : kTextfaelle) {
    SCOPED_TRACE(std::string("'") + fall.vorgabe + "' in " + std::to_string(fall.stellen));
    MaskEdBox feld("mskTest", fall.stellen);
    feld.SetText("1");
    vertrag::Vertrag vertrag;
    vertrag.Beobachten(feld);
    if (fall.angenommen) {
      feld.SetText(fall.vorgabe);
      EXPECT_EQ(feld.Text(), fall.gelesen);
    } else {
      EXPECT_EQ(test::FehlerNummer([&] { feld.SetText(fall.vorgabe); }), 380);
      EXPECT_EQ(feld.Text().substr(0, 1), "1");  // unchanged
      EXPECT_EQ(vertrag.Anzahl("Change", "mskTest"), 0);
    }
  }
}

TEST(MaskEdBox, SelectionIsClampedToTheField) {
  MaskEdBox feld("mskAnteil", 4);
  feld.SetText("1000");
  TextMarkieren(feld);
  EXPECT_EQ(feld.SelStart(), 0);
  EXPECT_EQ(feld.SelLength(), 4);
  EXPECT_EQ(feld.SelText(), "1000");
  feld.SetSelStart(9);
  EXPECT_EQ(feld.SelStart(), 4);
  EXPECT_EQ(feld.SelLength(), 0);
  EXPECT_THROW(feld.SetSelLength(-1), Laufzeitfehler);
}

TEST(MaskEdBox, ChangeComesOnlyWithARealChange) {
  MaskEdBox feld("mskAnzahl", 3);
  int changes = 0;
  feld.Change.Connect([&] { ++changes; });
  feld.SetText("  5");
  feld.SetText("  5");
  feld.SetText("5");
  EXPECT_EQ(feld.Text(), "5  ");
  EXPECT_EQ(changes, 2);
  feld.SetMask("##");
  EXPECT_EQ(feld.Text(), "  ");
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(feld.SetMask("#a"), Laufzeitfehler);
  EXPECT_THROW(MaskEdBox("x", 0), Laufzeitfehler);
}

class FeldForm : public Form {
 public:
  FeldForm() : Form("frmTest", "Test") {}
  MaskEdBox mskAnteil{*this, "mskAnteil", 4};
  MaskEdBox mskAnzahl{*this, "mskAnzahl", 3};
};

TEST(MaskEdBox, FocusSelectsAllThroughTheHandlerAndTypingReplacesTheEntry) {
  FeldForm form;
  form.mskAnteil.SetText("1000");
  form.mskAnteil.GotFocus.Connect([&] { TextMarkieren(form.mskAnteil); });
  std::string beimVerlassen;
  form.mskAnteil.LostFocus.Connect([&] { beimVerlassen = form.mskAnteil.Text(); });
  vertrag::Vertrag vertrag(form);
  form.mskAnteil.UserType("750");  // gets the focus first
  EXPECT_EQ(form.mskAnteil.Text(), "750 ");
  form.mskAnzahl.UserFocus();
  EXPECT_EQ(beimVerlassen, "750 ");
  EXPECT_EQ(form.ActiveControl(), &form.mskAnzahl);
  form.mskAnzahl.UserLeave();
  EXPECT_EQ(form.ActiveControl(), nullptr);
  vertrag.Pruefen();
  EXPECT_EQ(vertrag.Anzahl("GotFocus", "mskAnteil"), 1);
  EXPECT_EQ(vertrag.Anzahl("LostFocus", "mskAnzahl"), 1);
}

TEST(MaskEdBox, DisabledFieldRefusesEverything) {
  FeldForm form;
  form.mskAnzahl.SetEnabled(false);
  EXPECT_EQ(form.mskAnzahl.UserType("12"), 2);
  EXPECT_EQ(form.mskAnzahl.Text(), "   ");
  EXPECT_EQ(form.ActiveControl(), nullptr);
  EXPECT_THROW(form.mskAnzahl.SetFocus(), Laufzeitfehler);
}

}  // namespace
}  // namespace tarvo::controls
