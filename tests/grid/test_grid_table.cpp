// Grid data entry: the moves of the entry box and their wrapping, rejected
// cells, the size limit, cancelling, the grid checks, and the t-test's grid
// of two groups.
#include <gtest/gtest.h>

#include <cmath>

#include "session/grid_entry.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/chi_square_homogeneity.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "procedures/hypothesis/student_t.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;

class Grid : public ::testing::Test {
 protected:
  Grid() : s(ui) { s.Description = "Test description."; }
  // Opens a rows x columns grid and lets `script` play the user.
  bool Open(int rows, int columns, std::function<void(GridEditing&)> script,
            GridEditing::CellCheck check = {}) {
    ui.gridScript = std::move(script);
    return ShowGrid(s, "&Standard Deviation*", rows, columns, GridLayout{"a b c", "Side", {}, ""}, check);
  }
  RecordingUserInterface ui;
  Session s;
};

TEST_F(Grid, ArrowKeysWrapAsTheGridReads) {
  Open(3, 3, [](GridEditing& e) {
    GridTable& g = e.table();
    EXPECT_EQ(g.title, "Calculation of Standard Deviation*");
    auto at = [&](int r, int c) { return g.row == r && g.column == c; };
    e.Key(kGridKeyLeft, "");  // the first cell: Left stays
    EXPECT_TRUE(at(1, 1));
    e.Key(kGridKeyUp, "");
    EXPECT_TRUE(at(1, 1));
    e.Key(kGridKeyRight, "1");
    e.Key(kGridKeyRight, "2");
    EXPECT_TRUE(at(1, 3));
    e.Key(kGridKeyRight, "3");  // from the last column to the next row's first
    EXPECT_TRUE(at(2, 1));
    e.Key(kGridKeyLeft, "4");  // and back to the row above's last
    EXPECT_TRUE(at(1, 3));
    e.Key(kGridKeyDown, "3");
    e.Key(kGridKeyDown, "");
    EXPECT_TRUE(at(3, 3));
    e.Key(kGridKeyRight, "9");  // the last cell: Right and Down stay
    EXPECT_TRUE(at(3, 3));
    e.Key(kGridKeyDown, "9");
    EXPECT_TRUE(at(3, 3));
    g.row = 3;
    g.column = 1;
    e.Key(kGridKeyDown, "7");  // from the last row to the next column's first
    EXPECT_TRUE(at(1, 2));
    e.Key(kGridKeyUp, "2");  // from the first row to the previous column's last
    EXPECT_TRUE(at(3, 1));
    e.Key(65, "ignored");  // not an arrow key
    EXPECT_TRUE(at(3, 1));
    EXPECT_EQ(e.CurrentText(), "7");
    e.Ok("7");
  });
  EXPECT_EQ(s.grid.cell(1, 1), "1");
  EXPECT_EQ(s.grid.cell(1, 2), "2");
  EXPECT_EQ(s.grid.cell(2, 1), "4");
  EXPECT_EQ(s.grid.cell(3, 3), "9");
  EXPECT_FALSE(s.CalcStopped);
}

TEST_F(Grid, ARejectedCellKeepsTheBox) {
  int checks = 0;
  Open(
      2, 2,
      [](GridEditing& e) {
        EXPECT_FALSE(e.Key(kGridKeyRight, "-1"));
        EXPECT_EQ(e.table().column, 1);
        EXPECT_EQ(e.CurrentText(), "-1");  // stored all the same
        EXPECT_TRUE(e.Key(kGridKeyRight, "1"));
        EXPECT_EQ(e.table().column, 2);
        EXPECT_FALSE(e.Click(kGridLeft + 100, kGridTop + 400, "-5"));  // a click commits first too
        EXPECT_EQ(e.table().column, 2);
        e.Ok("5");
      },
      [&](int r, int c) {
        ++checks;
        return GridValue(s.grid, r, c) >= 0;
      });
  EXPECT_EQ(checks, 4);
}

TEST_F(Grid, ClicksSelectTheCellUnderThePointer) {
  Open(2, 3, [](GridEditing& e) {
    const GridTable& g = e.table();
    EXPECT_TRUE(e.Click(kGridLeft + 2 * g.columnWidth + 10, kGridTop + g.rowHeight + 10, "x"));
    EXPECT_EQ(g.row, 2);
    EXPECT_EQ(g.column, 3);
    EXPECT_FALSE(e.Click(kGridLeft - 10, kGridTop + 10, "y"));                    // left of the cells
    EXPECT_FALSE(e.Click(kGridLeft + 10, kGridTop + 2 * g.rowHeight + 10, "y"));  // below them
    EXPECT_EQ(g.row, 2);
    e.Ok("z");
  });
  EXPECT_EQ(s.grid.cell(1, 1), "x");
  EXPECT_EQ(s.grid.cell(2, 3), "z");
}

TEST_F(Grid, TenByTenIsShownElevenIsNot) {
  EXPECT_FALSE(Open(11, 2, [](GridEditing& e) { e.Ok(""); }));
  EXPECT_FALSE(Open(2, 11, [](GridEditing& e) { e.Ok(""); }));
  EXPECT_EQ(ui.grids, 0);
  EXPECT_TRUE(Open(10, 10, [](GridEditing& e) { e.Ok(""); }));
  EXPECT_EQ(ui.grids, 1);
}

TEST_F(Grid, CancelKeepsTheTextButStops) {
  Open(1, 2, [](GridEditing& e) { e.Cancel("3.5"); });
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(s.grid.cell(1, 1), "3.5");
}

TEST_F(Grid, CellsAreKeptForTheSameSelectionAndColumns) {
  Open(2, 2, [](GridEditing& e) { e.Ok("8"); });
  Open(3, 2, [](GridEditing& e) {
    EXPECT_EQ(e.CurrentText(), "8");
    e.Ok("8");
  });
  Open(3, 3, [](GridEditing& e) {
    EXPECT_EQ(e.CurrentText(), "");
    e.Ok("");
  });
  s.TestIndex = 4;
  Open(3, 3, [](GridEditing& e) {
    EXPECT_EQ(e.CurrentText(), "");
    e.Ok("1");
  });
  s.TestIndex = 0;
  ui.gridScript = [](GridEditing& e) {
    EXPECT_EQ(e.CurrentText(), "1");
    e.Ok("1");
  };
  ShowGrid(s, "x", 3, 4, GridLayout{}, {}, /*keep=*/true);
}

TEST_F(Grid, Checks) {
  Open(3, 3, [](GridEditing& e) { e.Ok(""); });
  GridTable& g = s.grid;
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) g.cell(r, c) = "1";
  g.cell(2, 1) = "1";
  g.cell(2, 2) = "-0,5";
  g.cell(2, 3) = "-0.5";
  EXPECT_TRUE(CheckCoefficientSum(s));
  g.cell(2, 3) = "-0.4";
  EXPECT_FALSE(CheckCoefficientSum(s));
  EXPECT_EQ(ui.LastText(), "Sum of Coefficients Must Be = 0");
  EXPECT_EQ(ui.messages.back().title, "Test description.");
  EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
  EXPECT_TRUE(s.CalcStopped);

  s.CalcStopped = false;
  EXPECT_TRUE(CheckGridComplete(s));
  g.cell(3, 2) = "  ";
  EXPECT_FALSE(CheckGridComplete(s));
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");

  s.CalcStopped = false;
  EXPECT_TRUE(CheckStandardDeviations(s));
  g.cell(1, 3) = "0";
  EXPECT_FALSE(CheckStandardDeviations(s));
  EXPECT_EQ(ui.LastText(), "Standard Deviations Must Be > 0");

  s.CalcStopped = false;
  g.cell(1, 1) = "1.6";
  EXPECT_TRUE(CheckCellMinimum(s, 1, 1, 2));  // rounds to 2
  g.cell(1, 1) = "1.4";
  EXPECT_FALSE(CheckCellMinimum(s, 1, 1, 2));
  EXPECT_EQ(ui.LastText(), "Number Has To Be >= 2");
  EXPECT_TRUE(CheckCellMinimum(s, 1, 1, 2));  // stopped already: no second message
  s.CalcStopped = false;
  g.cell(1, 1) = "";
  EXPECT_TRUE(CheckCellMinimum(s, 1, 1, 2));
}

// The unpaired t-test's grid: two groups' standard deviations and sizes from
// the box of the pooled standard deviation.
class StudGrid : public testing::PlanningTest {
 protected:
  void Choose(int size2Form) {
    d.Select(Procedure::UnpairedT);
    d.SetForm(2, size2Form);
    d.ApplyOptions();
  }
  int SdRow() { return RowOfPosition(PositionOf(Ids::Sd)); }
  void Enter(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      e.Key(kGridKeyRight, cells[0]);
      e.Key(kGridKeyRight, cells[1]);
      e.Key(kGridKeyRight, cells[2]);
      e.Ok(cells[3]);
    };
  }
};

TEST_F(StudGrid, PooledStandardDeviationAndBothSizes) {
  Choose(0);
  Enter({"1", "10", "2", "20"});
  ASSERT_TRUE(d.CallOpenGroupGrid(SdRow()));
  EXPECT_EQ(s.grid.title, "Calculation of Standard Deviation*");
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"StDev", "N"}));
  const Single pooled = d.CallApplyGroupGrid();
  EXPECT_FALSE(s.CalcStopped);
  // math.sqrt((9 * 1 + 19 * 4) / 28) = 1.742330
  EXPECT_NEAR(pooled, 1.742330, 1e-6);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "10.0");
  EXPECT_EQ(s.entry(Ids::SampleSize2).ParamText, "20.0");
  EXPECT_FLOAT_EQ(d.modules().stud.GridSd2(), 2.0f);
}

TEST_F(StudGrid, TheSecondSizeTakesItsForm) {
  Choose(2);
  Enter({"1", "10", "1", "25"});
  ASSERT_TRUE(d.CallOpenGroupGrid(SdRow()));
  d.CallApplyGroupGrid();
  EXPECT_EQ(s.entry(Ids::SampleSize2OverSize1).ParamText, "2.5");
  Choose(1);
  Enter({"1", "10", "1", "25"});
  ASSERT_TRUE(d.CallOpenGroupGrid(SdRow()));
  d.CallApplyGroupGrid();
  EXPECT_EQ(s.entry(Ids::SampleSize2MinusSize1).ParamText, "15.0");
}

TEST_F(StudGrid, OnlyThePooledBoxOpensIt) {
  Choose(0);
  Enter({"1", "10", "2", "20"});
  EXPECT_FALSE(d.CallOpenGroupGrid(SdRow() + 1));
  EXPECT_EQ(ui.grids, 0);
  d.SetOption(12, true);  // unequal standard deviations
  d.ApplyOptions();
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::Sd1))));
  d.Select(Procedure::PairedT);  // the paired test has no groups
  d.ApplyOptions();
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::SdOfDiff))));
  EXPECT_EQ(ui.grids, 0);
}

TEST_F(StudGrid, CellChecksAndEmptyCells) {
  Choose(0);
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "0"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "1"));
    EXPECT_FALSE(e.Key(kGridKeyRight, "1"));  // one unit is no group
    e.Ok("5");
  };
  EXPECT_TRUE(d.CallOpenGroupGrid(SdRow()));
  EXPECT_EQ(ui.messages[0].text, "Standard Deviations Must Be > 0");
  EXPECT_EQ(ui.messages[1].text, "Number Has To Be >= 2");
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");
}

TEST_F(StudGrid, ACorrectedCellNoLongerStopsTheEntry) {
  Choose(0);
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "-2"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "2"));
    e.Key(kGridKeyRight, "10");
    e.Key(kGridKeyRight, "2");
    e.Ok("10");
  };
  EXPECT_TRUE(d.CallOpenGroupGrid(SdRow()));
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 2.0f);
  EXPECT_FALSE(s.CalcStopped);
}

TEST_F(StudGrid, CancelledGridChangesNothing) {
  Choose(0);
  ui.gridScript = [](GridEditing& e) { e.Cancel("3"); };
  EXPECT_FALSE(d.CallOpenGroupGrid(SdRow()));
  EXPECT_FALSE(s.CalcStopped);  // cleared for the window
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "30");
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// The log-normal t-test's grid: two groups' shapes and sizes from the box of
// the pooled shape (the two-sample median test of the log-normal
// distribution).
class LstuGrid : public testing::PlanningTest {
 protected:
  void SetUp() override {
    s.IsTestProcedure = kFalse;
    s.DistributionIndex = 1;
    s.ParameterChoice = 1;
    s.SampleCount = 2;
    d.UseModuleForTesting(d.modules().Find<LogNormalT>());
    d.RebuildOptions();
    d.ApplyOptions();
  }
};

TEST_F(LstuGrid, PooledShapeAndBothSizes) {
  const int shapeRow = RowOfPosition(PositionOf(LogNormalT::Ids::Shape));
  ui.gridScript = [](GridEditing& e) {
    EXPECT_EQ(e.table().headings, (std::vector<std::string>{"Shape", "N"}));
    e.Key(kGridKeyRight, "0.5");
    e.Key(kGridKeyRight, "5");
    e.Key(kGridKeyRight, "1");
    e.Ok("5");
  };
  EXPECT_FALSE(d.CallOpenGroupGrid(shapeRow + 1));
  ASSERT_TRUE(d.CallOpenGroupGrid(shapeRow));
  // math.sqrt((4 * 0.25 + 4 * 1) / 8) = 0.790569
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.790569, 1e-6);
  EXPECT_EQ(s.entry(StudentT::Ids::SampleSize1).ParamText, "5.0");
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// The chi2 homogeneity test's table of counts.
class RxcGrid : public testing::PlanningTest {
 protected:
  void SetUp() override {
    d.Select(Procedure::ChiSquareHomogeneity);
    d.ApplyOptions();
    s.Description = "C2.";
  }
};

TEST_F(RxcGrid, TheTableGivesAllFourParameters) {
  Set(ChiSquareHomogeneity::Ids::NoOfGroups, "2");
  Set(ChiSquareHomogeneity::Ids::NumberOfCategories, "3");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_EQ(e.table().rows, 2);
    EXPECT_EQ(e.table().columns, 3);
    EXPECT_EQ(e.table().headingCaption, "Numbers in Category");
    EXPECT_EQ(e.table().sideLabel, "Group");
    for (const char* x : {"10", "20", "30", "20", "20"}) e.Key(kGridKeyRight, x);
    e.Ok("20");
  };
  EXPECT_FALSE(d.CallOpenGroupGrid(2));
  ASSERT_TRUE(d.CallOpenGroupGrid(1));
  // scipy.stats.chi2_contingency([[10, 20, 30], [20, 20, 20]], correction=False)[0] = 5.333333;
  // w = math.sqrt(5.333333 / 120) = 0.210819
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.210819, 1e-6);
  EXPECT_EQ(s.entry(ChiSquareHomogeneity::Ids::AverageSampleSize).ParamText, "60.0");
  EXPECT_EQ(s.entry(ChiSquareHomogeneity::Ids::NumberOfCategories).ParamText, "3.0");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RxcGrid, SmallAndEmptyCounts) {
  Set(ChiSquareHomogeneity::Ids::NoOfGroups, "2");
  Set(ChiSquareHomogeneity::Ids::NumberOfCategories, "2");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "0"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "3"));  // a warning, and the box moves on
    e.Key(kGridKeyRight, "10");
    e.Key(kGridKeyRight, "10");
    e.Ok("10");
  };
  ASSERT_TRUE(d.CallOpenGroupGrid(1));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Number Has To Be Larger Than 1");
  EXPECT_EQ(ui.messages[1].text, "WARNING! Number Should Be Larger Than 5 To Use Chi2 Test.");
  EXPECT_EQ(ui.messages[1].title, "C2.");
  EXPECT_GT(d.CallApplyGroupGrid(), 0.0f);
  EXPECT_FALSE(s.CalcStopped);

  Set(ChiSquareHomogeneity::Ids::NoOfGroups, "11");
  EXPECT_FALSE(d.CallOpenGroupGrid(1));  // more than ten groups: no grid
}

}  // namespace
}  // namespace pelmora
