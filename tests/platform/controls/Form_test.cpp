#include "platform/controls/Form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "errors/Erwartet.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Grid.h"
#include "platform/controls/Kopflos.h"
#include "platform/controls/MaskEdBox.h"

namespace tarvo::controls {
namespace {

class Dialog : public Form {
 public:
  Dialog() : Form("G_frmTest", "Tabellenwahl") {
    cmdEnde.Click.Connect([this] { Hide(); });
  }
  OptionButton optNeu{*this, "optNeu"};
  OptionButton optTabelle0{*this, "optTabelle0"};
  CommandButton cmdEnde{*this, "cmdEnde"};
  CheckBox chk20{*this, "chk20"};
  std::vector<std::string> ablauf;

 protected:
  void Form_Load() override {
    ablauf.push_back("Load");
    optNeu.SetValue(true);
  }
  void Form_Unload() override { ablauf.push_back("Unload"); }
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kopflos = std::make_shared<Kopflos>(::testing::TempDir() + "/form_test.ini");
    Bildschirm::Setzen(kopflos);
  }
  void TearDown() override { Bildschirm::Setzen(nullptr); }
  std::shared_ptr<Kopflos> kopflos;
};

TEST_F(FormTest, ControlsAreFoundByName) {
  Dialog dialog;
  EXPECT_EQ(dialog.Steuerelement("chk20"), &dialog.chk20);
  EXPECT_EQ(dialog.Steuerelement("chk21"), nullptr);
  EXPECT_EQ(&dialog.Steuerelement<CheckBox>("chk20"), &dialog.chk20);
  EXPECT_EQ(test::FehlerNummer([&] { dialog.Steuerelement<CheckBox>("optNeu"); }), 13);
  EXPECT_EQ(test::FehlerNummer([&] { dialog.Steuerelement<CheckBox>("chk21"); }), 730);
}

TEST_F(FormTest, ControlDestroyedBeforeItsFormIsForgotten) {
  Dialog dialog;
  {
    Grid spaeter(dialog, "GridSpaeter");
    spaeter.SetFocus();
    EXPECT_EQ(dialog.ActiveControl(), &spaeter);
  }
  EXPECT_EQ(dialog.Steuerelement("GridSpaeter"), nullptr);
  EXPECT_EQ(dialog.ActiveControl(), nullptr);
}

TEST_F(FormTest, ModalShowRunsTheScriptedActionAndReturnsWhenHidden) {
  kopflos->Dialog("G_frmTest", [](Form& form) {
    form.Steuerelement<OptionButton>("optTabelle0").UserClick();
    form.Steuerelement<CommandButton>("cmdEnde").UserPress();
  });
  Dialog dialog;
  dialog.Show(true);
  EXPECT_TRUE(dialog.Loaded());
  EXPECT_FALSE(dialog.Visible());
  EXPECT_TRUE(dialog.optTabelle0.Value());
  EXPECT_FALSE(dialog.optNeu.Value());
  ASSERT_EQ(kopflos->Anzeigen().size(), 1u);
  EXPECT_TRUE(kopflos->Anzeigen()[0].Modal);
}

TEST_F(FormTest, UnscriptedModalDialogIsClosedThroughItsFrame) {
  Dialog dialog;
  dialog.Show(true);
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_EQ(dialog.ablauf, (std::vector<std::string>{"Load", "Unload"}));
  dialog.Load();  // read afresh: the load handler selects optNeu again
  EXPECT_TRUE(dialog.optNeu.Value());
}

TEST_F(FormTest, ScriptThatLeavesTheDialogOpenEndsWithUnload) {
  kopflos->Dialog("G_frmTest",
                  [](Form& form) { form.Steuerelement<OptionButton>("optTabelle0").UserClick(); });
  Dialog dialog;
  dialog.Show(true);
  EXPECT_FALSE(dialog.Loaded());
}

TEST_F(FormTest, ModelessShowLoadsOnceAndStaysVisible) {
  Dialog dialog;
  dialog.Show();
  dialog.Show();
  EXPECT_TRUE(dialog.Visible());
  EXPECT_EQ(dialog.ablauf, (std::vector<std::string>{"Load"}));
  dialog.Hide();
  EXPECT_TRUE(dialog.Loaded());
  dialog.Unload();
  dialog.Unload();
  EXPECT_EQ(dialog.ablauf, (std::vector<std::string>{"Load", "Unload"}));
}

TEST_F(FormTest, ParentingGoesThroughTheSeam) {
  Dialog dialog;
  dialog.SetParentWindow(4711, 320);
  EXPECT_EQ(dialog.ParentWindow, 4711);
  EXPECT_EQ(dialog.ExtendedStyle, 0x140);
  ASSERT_EQ(kopflos->Einbettungen().size(), 1u);
  EXPECT_EQ(kopflos->Einbettungen()[0].Parent, 4711);
  EXPECT_EQ(kopflos->Einbettungen()[0].Form, "G_frmTest");
}

TEST_F(FormTest, UnloadDropsTheFocusWithoutEvents) {
  Dialog dialog;
  dialog.Load();
  int verloren = 0;
  dialog.chk20.LostFocus.Connect([&] { ++verloren; });
  dialog.chk20.SetFocus();
  dialog.Unload();
  EXPECT_EQ(dialog.ActiveControl(), nullptr);
  EXPECT_EQ(verloren, 0);
}

}  // namespace
}  // namespace tarvo::controls
