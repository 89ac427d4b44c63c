#include "platform/controls/Grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/controls/Vertrag.h"

namespace tarvo::controls {
namespace {

// A form with a fee grid of four columns, as the category forms lay theirs out.
class GridForm : public Form {
 public:
  GridForm() : Form("frmTest", "Test") {
    Grid.SetCols(4);
    Grid.SetRows(3);
    for (int r = 1; r <= 3; ++r) Grid.SetTextMatrix(r, 1, "Flst. " + std::to_string(r));
  }
  controls::Grid Grid{*this, "GridGebühren1"};
};

class GridTest : public ::testing::Test {
 protected:
  // Records the grid's events in order, as "RowChange 2", "CellClick 2,3", ...
  void Mitschreiben() {
    g.RowChange.Connect(
        [this](std::int32_t r) { log.push_back("RowChange " + std::to_string(r)); });
    g.ColChange.Connect(
        [this](std::int32_t c) { log.push_back("ColChange " + std::to_string(c)); });
    g.CellClick.Connect([this](std::int32_t r, std::int32_t c) {
      log.push_back("CellClick " + std::to_string(r) + "," + std::to_string(c));
    });
    g.CellIsDirty.Connect([this](std::int16_t& flag) {
      log.push_back("CellIsDirty " + g.Text());
      flag = 0;
    });
  }

  GridForm form;
  Grid& g = form.Grid;
  vertrag::Vertrag vertrag{form};
  std::vector<std::string> log;
};

TEST_F(GridTest, NewGridHasNoCurrentCellUntilItHasRowsAndColumns) {
  Grid leer("leer");
  EXPECT_EQ(leer.Row(), 0);
  EXPECT_EQ(leer.Col(), 0);
  EXPECT_EQ(leer.Text(), "");
  EXPECT_THROW(leer.SetText("x"), Laufzeitfehler);
  leer.SetCols(2);
  leer.SetRows(1);
  EXPECT_EQ(leer.Row(), 1);
  EXPECT_EQ(leer.Col(), 1);
}

TEST_F(GridTest, HeadingRowIsSeparateFromDataRows) {
  g.SetColHeading(2, " Kategorie");
  EXPECT_EQ(g.Rows(), 3);
  EXPECT_EQ(g.TextMatrix(0, 2), " Kategorie");
  EXPECT_EQ(g.TextMatrix(1, 1), "Flst. 1");
  EXPECT_THROW(g.SetRow(0), Laufzeitfehler);
  EXPECT_THROW(g.TextMatrix(4, 1), Laufzeitfehler);
  EXPECT_THROW(g.TextMatrix(1, 5), Laufzeitfehler);
  EXPECT_THROW(g.SetTextMatrix(1, 0, "x"), Laufzeitfehler);
}

TEST_F(GridTest, ClickMovesTheCurrentCellThenRaisesCellClick) {
  Mitschreiben();
  g.UserClickCell(2, 3);
  EXPECT_EQ(log, (std::vector<std::string>{"RowChange 2", "ColChange 3", "CellClick 2,3"}));
  EXPECT_TRUE(g.HasFocus());
  log.clear();
  g.UserClickCell(2, 3);  // the current cell: no change events
  EXPECT_EQ(log, (std::vector<std::string>{"CellClick 2,3"}));
  log.clear();
  g.UserClickCell(3, 3);
  EXPECT_EQ(log, (std::vector<std::string>{"RowChange 3", "CellClick 3,3"}));
  vertrag.Pruefen();
  EXPECT_THROW(g.UserClickCell(4, 1), Laufzeitfehler);
}

TEST_F(GridTest, EditPutsTheTextInBeforeCellIsDirty) {
  Mitschreiben();
  g.UserEditCell(2, 3, "1200");
  EXPECT_EQ(log, (std::vector<std::string>{"RowChange 2", "ColChange 3", "CellClick 2,3",
                                           "CellIsDirty 1200"}));
  log.clear();
  g.UserEditCell(2, 3, "1200");  // the same text: nothing was edited
  EXPECT_TRUE(log.empty());
  vertrag.Pruefen();
  EXPECT_EQ(vertrag.Anzahl("CellIsDirty", "GridGebühren1"), 1);
}

TEST_F(GridTest, HandlerCanRewriteTheEditedCell) {
  g.CellIsDirty.Connect([this](std::int16_t& flag) {
    g.SetText(" " + g.Text());
    flag = 0;
  });
  g.UserEditCell(1, 3, "12");
  EXPECT_EQ(g.TextMatrix(1, 3), " 12");
  vertrag.Pruefen();
}

TEST_F(GridTest, TabAndRightMoveToTheNextColumnAndStopAtTheLast) {
  g.UserClickCell(1, 3);
  g.UserPressKey(taste::Tab);
  EXPECT_EQ(g.Col(), 4);
  g.UserPressKey(taste::Rechts);
  EXPECT_EQ(g.Col(), 4);
  g.UserPressKey(taste::Tab, umschalt::Shift);
  EXPECT_EQ(g.Col(), 3);
  g.UserPressKey(taste::Runter);
  EXPECT_EQ(g.Row(), 2);
  g.UserPressKey(taste::Hoch);
  g.UserPressKey(taste::Hoch);
  EXPECT_EQ(g.Row(), 1);
  vertrag.Pruefen();
}

TEST_F(GridTest, SwallowedKeyIsNotHandledByTheGrid) {
  std::vector<std::int16_t> gesehen;
  g.KeyDown.Connect([&](std::int16_t& code, std::int16_t shift) {
    gesehen.push_back(code);
    if (code == taste::Tab && shift == 0) code = 0;
  });
  g.UserClickCell(1, 3);
  g.UserPressKey(taste::Tab);
  EXPECT_EQ(g.Col(), 3);
  g.UserPressKey(taste::Rechts);
  EXPECT_EQ(g.Col(), 4);
  EXPECT_EQ(gesehen, (std::vector<std::int16_t>{taste::Tab, taste::Rechts}));
}

TEST_F(GridTest, InsertAtTheCurrentRowMakesTheNewRowCurrent) {
  g.UserClickCell(2, 1);
  g.UserSelectRows({3, 2});
  g.InsertRow(g.Row());
  EXPECT_EQ(g.Rows(), 4);
  EXPECT_EQ(g.Row(), 2);
  EXPECT_EQ(g.Text(), "");
  EXPECT_EQ(g.TextMatrix(3, 1), "Flst. 2");
  EXPECT_EQ(g.SelectedRows(), (std::vector<std::int32_t>{3, 4}));
  EXPECT_EQ(g.RowHeight(2), Grid::StandardHoehe);
  g.InsertRow(5);  // after the last row
  EXPECT_EQ(g.Rows(), 5);
  EXPECT_THROW(g.InsertRow(7), Laufzeitfehler);
  vertrag.Pruefen();
}

TEST_F(GridTest, RemovingSelectedRowsOneAfterTheOtherEmptiesTheSelection) {
  g.UserClickCell(3, 2);
  g.UserSelectRows({1, 3});
  int runden = 0;
  while (!g.SelectedRows().empty() && runden++ < 10) g.RemoveRow(g.SelectedRows().front());
  EXPECT_EQ(runden, 2);
  EXPECT_EQ(g.Rows(), 1);
  EXPECT_EQ(g.TextMatrix(1, 1), "Flst. 2");
  EXPECT_EQ(g.Row(), 1);  // the current row was beyond the end
  vertrag.Pruefen();
  // To 3 by the click, then 2 and 1 as each removal leaves it beyond the end.
  EXPECT_EQ(vertrag.Anzahl("RowChange", "GridGebühren1"), 3);
}

TEST_F(GridTest, ShrinkingAndEmptyingTheGridKeepTheCurrentCellValid) {
  g.UserClickCell(3, 4);
  g.UserSelectRows({3});
  g.SetRows(2);
  EXPECT_EQ(g.Row(), 2);
  EXPECT_TRUE(g.SelectedRows().empty());
  g.SetCols(2);
  EXPECT_EQ(g.Col(), 2);
  g.SetRows(0);
  EXPECT_EQ(g.Row(), 0);
  g.InsertRow(1);
  EXPECT_EQ(g.Row(), 1);
  EXPECT_THROW(g.SetRows(-1), Laufzeitfehler);
  vertrag.Pruefen();
}

TEST_F(GridTest, SelectingRowsOutsideTheGridChangesNothing) {
  g.UserSelectRows({2});
  EXPECT_THROW(g.UserSelectRows({1, 4}), Laufzeitfehler);
  EXPECT_EQ(g.SelectedRows(), (std::vector<std::int32_t>{2}));
  g.UserSelectRows({2, 2});
  EXPECT_EQ(vertrag.Anzahl("StateChanged", "GridGebühren1"), 1);
}

TEST_F(GridTest, CellGeometryFollowsWidthsAndHeights) {
  g.SetColWidth(1, 4500);
  g.SetColWidth(2, 1000);
  g.SetRowHeight(0, 300);
  g.SetRowHeight(1, 300);
  g.SetRowHeight(2, 400);
  EXPECT_EQ(g.CellLeft(1, 1), 0);
  EXPECT_EQ(g.CellLeft(1, 3), 5500);
  EXPECT_EQ(g.CellTop(1, 2), 300);
  EXPECT_EQ(g.CellTop(3, 2), 1000);
  g.UserClickCell(2, 2);
  EXPECT_EQ(g.CellLeft(), 4500);
  EXPECT_EQ(g.CellTop(), 600);
  EXPECT_EQ(g.CellWidth(), 1000);
  EXPECT_THROW(g.SetColWidth(1, -1), Laufzeitfehler);
  vertrag.Pruefen();
}

// The tops are remembered once asked for; every change of a height, an inserted, removed or
// re-counted row must show in the tops asked for afterwards.
TEST_F(GridTest, CellTopsFollowEveryChangeOfTheRows) {
  auto erwartet = [&](std::int32_t zeile) {
    float summe = 0;
    for (std::int32_t r = 0; r < zeile; ++r) summe += g.RowHeight(r);
    return summe;
  };
  auto alleGleich = [&] {
    for (std::int32_t r = 0; r <= g.Rows(); ++r) ASSERT_EQ(g.CellTop(r, 1), erwartet(r)) << r;
  };
  g.SetRows(6);
  alleGleich();
  g.SetRowHeight(2, 500);
  alleGleich();
  g.InsertRow(2);
  g.SetRowHeight(2, 120);
  alleGleich();
  g.RemoveRow(1);
  alleGleich();
  g.SetRowHeight(5, 900);
  g.SetRows(3);
  g.SetRows(7);  // the rows come back with the standard height
  alleGleich();
  g.SetRowHeight(0, 10);
  alleGleich();
}

TEST_F(GridTest, DisplaySettingsAreKeptPerColumnAndAnnouncedOnce) {
  g.SetColSetting(1, "Ausrichtung", 1);
  g.SetColSetting(1, "Ausrichtung", 1);
  g.SetSetting("Markierung", 2);
  EXPECT_EQ(g.ColSetting(1, "Ausrichtung"), 1);
  EXPECT_EQ(g.ColSetting(2, "Ausrichtung"), 0);
  EXPECT_EQ(g.Setting("Markierung"), 2);
  EXPECT_EQ(vertrag.Anzahl("StateChanged", "GridGebühren1"), 2);
}

TEST_F(GridTest, SettingSwitchedToZeroIsKeptApartFromAnUnsetOne) {
  g.SetColSetting(4, "Bearbeitbar", 0);
  g.SetColSetting(4, "Bearbeitbar", 0);
  EXPECT_EQ(g.ColSettings(4).count("Bearbeitbar"), 1u);
  EXPECT_EQ(g.ColSettings(3).count("Bearbeitbar"), 0u);
  EXPECT_EQ(vertrag.Anzahl("StateChanged", "GridGebühren1"), 1);
}

TEST_F(GridTest, EndEditAsksTheViewToCommit) {
  int aufrufe = 0;
  g.EditEnd.Connect([&] { g.UserEditCell(1, 2, "II"), ++aufrufe; });
  g.EndEdit();
  EXPECT_EQ(aufrufe, 1);
  EXPECT_EQ(g.TextMatrix(1, 2), "II");
  vertrag.Pruefen();
}

TEST_F(GridTest, HiddenGridIgnoresUserActions) {
  g.SetVisible(false);
  g.UserClickCell(2, 2);
  g.UserEditCell(2, 2, "x");
  EXPECT_EQ(g.Row(), 1);
  EXPECT_EQ(g.TextMatrix(2, 2), "");
  vertrag.Pruefen();
}

}  // namespace
}  // namespace tarvo::controls
