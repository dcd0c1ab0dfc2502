// The life table (Mantel-Haenszel) test: list, criterion, solves and the
// grid of numbers at risk and events.  Reference values are computed with R
// (mantelhaen.test and the sums written out) and scipy.
#include "procedures/hypothesis/life_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "format/number_format.h"
#include "procedures/module_set.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = LifeTable::Ids;

// Three tables (n1, e1, n2, e2): (50, 10, 50, 5), (40, 8, 45, 4), (30, 6, 38, 3).
// In R, with S, W, V the sums of (n1 n2 / N)(e1/n1 - e2/n2), n1 n2 / (N - 1)
// and n1 n2 / (N - 1) p (1 - p):
constexpr double kSumS = 6.8823529411764710;
constexpr double kSumW = 63.6960220542310083;
constexpr double kSumV = 7.7717384184099050;
constexpr double kMean = 0.1080499648049734;  // S / W
constexpr double kSe = 0.0437669997697088;    // sqrt(V) / W
// mantelhaen.test(x, correct = FALSE)$statistic, which is (S / sqrt(V))^2.
constexpr double kMantelHaenszel = 6.09474733409924;
// 2 * pnorm(-S / sqrt(V)) and pnorm(-S / sqrt(V)).
constexpr double kTwoSided = 0.0135584312191778;
constexpr double kOneSided = 0.00677921560958891;

class LifeTablePlanning : public testing::PlanningTest {
 protected:
  void Choose(int tails, bool left = false) {
    d.SelectTest(9);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    d.ApplyOptions();
  }
  int RowOf(int id) { return RowOfPosition(PositionOf(id)); }
  // The user types the cells row by row and confirms.
  void Enter(const std::vector<std::string>& cells) {
    ui.gridScript = [cells](GridEditing& e) {
      for (std::size_t k = 0; k + 1 < cells.size(); ++k) EXPECT_TRUE(e.Key(kGridKeyRight, cells[k])) << k;
      e.Ok(cells.back());
    };
  }
  void EnterThreeTables() { Enter({"50", "10", "50", "5", "40", "8", "45", "4", "30", "6", "38", "3"}); }
  LifeTable& module() { return *d.modules().Find<LifeTable>(); }
};

TEST_F(LifeTablePlanning, ListWithoutOptions) {
  Choose(2);
  EXPECT_EQ(s.OptionCount, 0);
  EXPECT_EQ(s.IntParRowCount, 0);
  EXPECT_EQ(s.LastPosition, 4);
  EXPECT_EQ(s.ParameterList[2], 226);
  EXPECT_EQ(s.ParameterList[3], 227);
  EXPECT_EQ(s.ParameterList[4], 228);
  EXPECT_EQ(s.Description, "Life table (Mantel-Haenszel). 2-sided.");
  // No equivalence limits: two one-sided tests are not offered.
  d.SetTailCount(3);
  EXPECT_EQ(s.TailCount, 2);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
}

TEST_F(LifeTablePlanning, CriterionAndSolves) {
  Choose(2);
  Set(Ids::WeightedMeanDiff, "0.1080499648049734");
  Set(Ids::StdErrorOfMean, "0.0437669997697088");
  EXPECT_NEAR(Criterion() + 0.05, kTwoSided, 1e-6);
  // The number of tables does not enter.
  Set(Ids::NoOfTables, "5");
  EXPECT_NEAR(Criterion() + 0.05, kTwoSided, 1e-6);
  Choose(1);
  EXPECT_NEAR(Criterion() + 0.05, kOneSided, 1e-6);
  // The standard error at which the mean is just significant one-sided:
  // 0.1080499648049734 / scipy.stats.norm.isf(0.05) = 0.065689...
  EXPECT_NEAR(Solve(Ids::StdErrorOfMean), 0.1080499648049734 / 1.6448536269514729, 1e-6);
  Set(Ids::StdErrorOfMean, "0.0437669997697088");
  Choose(2);
  // 0.0437669997697088 * scipy.stats.norm.isf(0.025).  The search interval is
  // the catalogue's, so either of the two roots may be found.
  EXPECT_NEAR(std::fabs(Solve(Ids::WeightedMeanDiff)), 0.0437669997697088 * 1.959963984540054, 1e-5);
  // One-sided, the P-value falls as the mean grows: one root.
  Choose(1);
  EXPECT_NEAR(Solve(Ids::WeightedMeanDiff), 0.0437669997697088 * 1.6448536269514729, 1e-5);
  // Rejecting in the left tail: a positive mean gives P above 1/2.
  Set(Ids::WeightedMeanDiff, "0.1080499648049734");
  Choose(1, true);
  EXPECT_NEAR(Criterion() + 0.05, 1 - kOneSided, 1e-6);
}

TEST_F(LifeTablePlanning, GridGivesTheMantelHaenszelSums) {
  Choose(2);
  Set(Ids::NoOfTables, "3");
  EnterThreeTables();
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_EQ(s.grid.title, "Calculation of Weighted Mean of Prop. Diff*");
  EXPECT_EQ(s.grid.rows, 3);
  EXPECT_EQ(s.grid.columns, 4);
  EXPECT_EQ(s.grid.rowLabels, "1 2 3");
  EXPECT_EQ(s.grid.sideLabel, "Tables");
  EXPECT_EQ(s.grid.headingCaption, "Group No");
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"At Risk", "Events", "At Risk", "Events"}));
  const Single v = d.CallApplyGroupGrid();
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_NEAR(v, kMean, 1e-6);
  const LifeTable::Sums& sums = module().GridSums();
  EXPECT_NEAR(sums.difference, kSumS, 1e-5);
  EXPECT_NEAR(sums.weight, kSumW, 1e-4);
  EXPECT_NEAR(sums.variance, kSumV, 1e-5);
  // The values are stored at their positions and in their boxes.
  EXPECT_NEAR(s.value(PositionOf(Ids::StdErrorOfMean)), kSe, 1e-7);
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, FormatPattern(v, "#####0.0#####"));
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.10805");
  EXPECT_EQ(s.entry(Ids::StdErrorOfMean).ParamText, "0.043767");
  EXPECT_EQ(s.entry(Ids::NoOfTables).ParamText, "3.0");
  // Their ratio is the Mantel-Haenszel statistic.
  const double z = s.value(PositionOf(Ids::WeightedMeanDiff)) / s.value(PositionOf(Ids::StdErrorOfMean));
  EXPECT_NEAR(z * z, kMantelHaenszel, 1e-4);
  // And the criterion at the stored texts gives R's P-value.
  EXPECT_NEAR(Criterion() + 0.05, kTwoSided, 2e-5);
}

TEST_F(LifeTablePlanning, TheClickedBoxGetsItsValue) {
  Choose(2);
  Set(Ids::NoOfTables, "3");
  EnterThreeTables();
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::StdErrorOfMean)));
  EXPECT_EQ(s.grid.title, "Calculation of Std.Error of Weighted Mean*");
  EXPECT_NEAR(d.CallApplyGroupGrid(), kSe, 1e-7);
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.10805");
}

TEST_F(LifeTablePlanning, OnlyTheStarredBoxesOpenIt) {
  Choose(2);
  EnterThreeTables();
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(Ids::NoOfTables)));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  EXPECT_EQ(ui.grids, 0);
}

TEST_F(LifeTablePlanning, TheNumberOfTablesSizesTheGrid) {
  Choose(2);
  Set(Ids::NoOfTables, "2");
  EXPECT_EQ(LifeTable::GridTableCount(s), 2);
  Set(Ids::NoOfTables, "4.4");
  EXPECT_EQ(LifeTable::GridTableCount(s), 4);
  // Beyond the limits of "No Of Tables" (2 to 5): the nearest limit.
  Set(Ids::NoOfTables, "9");
  EXPECT_EQ(LifeTable::GridTableCount(s), 5);
  Set(Ids::NoOfTables, "");
  EXPECT_EQ(LifeTable::GridTableCount(s), 2);
  Set(Ids::NoOfTables, "2");
  Enter({"50", "10", "50", "5", "40", "8", "45", "4"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_EQ(s.grid.rows, 2);
  d.CallApplyGroupGrid();
  EXPECT_EQ(s.entry(Ids::NoOfTables).ParamText, "2.0");
}

TEST_F(LifeTablePlanning, EventsAboveTheNumberAtRiskChangeNothing) {
  Choose(2);
  Set(Ids::NoOfTables, "3");
  Set(Ids::WeightedMeanDiff, "0.30");
  Set(Ids::StdErrorOfMean, "0.30");
  Enter({"50", "10", "50", "5", "40", "8", "4", "5", "30", "6", "38", "3"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Number in Cell ( 2 , 4) Has to Be <= 4");
  EXPECT_EQ(ui.messages[0].title, s.Description);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.30");
  EXPECT_EQ(s.entry(Ids::StdErrorOfMean).ParamText, "0.30");
  EXPECT_EQ(s.entry(Ids::NoOfTables).ParamText, "3");
  // Group 1 of the first table.
  s.CalcStopped = false;
  Enter({"5", "10", "50", "5", "40", "8", "45", "4", "30", "6", "38", "3"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  d.CallApplyGroupGrid();
  EXPECT_EQ(ui.LastText(), "Number in Cell ( 1 , 2) Has to Be <= 5");
}

TEST_F(LifeTablePlanning, CountsAreWholeNumbersOfAtLeastZero) {
  Choose(2);
  Set(Ids::NoOfTables, "2");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "-1"));
    EXPECT_EQ(e.table().column, 1);             // the box stays
    EXPECT_TRUE(e.Key(kGridKeyRight, "-0.4"));  // rounds to 0
    e.Ok("3");
  };
  EXPECT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_EQ(ui.messages[0].text, "Number Has To Be >= 0");
  EXPECT_TRUE(LifeTable::CheckCountCell(s, 1, 2));
  // Cells left empty.
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");
}

TEST_F(LifeTablePlanning, AGroupWithNobodyAtRisk) {
  Choose(2);
  Set(Ids::NoOfTables, "2");
  // A table in which group 2 has nobody at risk carries no weight.
  Enter({"50", "10", "50", "5", "40", "8", "0", "0"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  // 50 50 / 100 (10/50 - 5/50) / (50 50 / 99) = 2.5 / 25.2525 = 0.099
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.099, 1e-7);
  EXPECT_FALSE(s.CalcStopped);
  // No table with both groups at risk: nothing is stored.
  Enter({"50", "10", "0", "0", "0", "0", "45", "4"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Number in Cell ( 1 , 3) Has to Be >= 1");
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.099");
}

TEST_F(LifeTablePlanning, CancelledGridChangesNothing) {
  Choose(2);
  ui.gridScript = [](GridEditing& e) { e.Cancel("3"); };
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.30");
}

}  // namespace
}  // namespace pelmora
