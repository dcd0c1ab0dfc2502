// The life table (Mantel-Haenszel) test: P-values, solves and the grid of
// numbers at risk and events.  Reference values are computed with R
// (mantelhaen.test and the sums written out) and scipy.
#include "procedures/hypothesis/life_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "procedures/module_set.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = LifeTable::Ids;
using testing::kPValue;

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
const std::vector<std::string> kThreeTables{"50", "10", "50", "5", "40", "8", "45", "4", "30", "6", "38",
 "3"};

constexpr Procedure kLifeTable = Procedure::LifeTable;
testing::Choice Lt(int tails, bool left = false) { return testing::TestChoice(kLifeTable, 0, tails, {}, {},
 left); }

class LifeTablePlanning : public testing::PlanningTest {
 protected:
 int RowOf(int id) { return RowOfPosition(PositionOf(id)); }
  // The user types the cells row by row and confirms.
  void Type(const std::vector<std::string>& cells) {
    ui.gridScript = [cells](GridEditing& e) {
      for (std::size_t k = 0; k + 1 < cells.size(); ++k) EXPECT_TRUE(e.Key(kGridKeyRight, cells[k])) << k;
      e.Ok(cells.back());
    };
  }
};

// clang-format off
TEST_F(LifeTablePlanning, References) {
  const testing::Values sums = {{Ids::WeightedMeanDiff, "0.1080499648049734"},
                                {Ids::StdErrorOfMean, "0.0437669997697088"}};
  ExpectReferences({
    // the number of tables does not enter
    {Lt(2), sums, kPValue, kTwoSided, 1e-6},
    {Lt(2), {{Ids::WeightedMeanDiff, "0.1080499648049734"}, {Ids::StdErrorOfMean, "0.0437669997697088"},
     {Ids::NoOfTables, "5"}}, kPValue, kTwoSided, 1e-6},
    {Lt(1), sums, kPValue, kOneSided, 1e-6},
    // rejecting in the left tail a positive mean gives P above 1/2
    {Lt(1, true), sums, kPValue, 1 - kOneSided, 1e-6},
    // the standard error at which the mean is just significant one-sided: S / W / scipy.stats.norm.isf(0.05);
    // one-sided the P-value falls as the mean grows: one root, se norm.isf(0.05)
    {Lt(1), sums, Ids::StdErrorOfMean, 0.1080499648049734 / 1.6448536269514729, 1e-6},
    {Lt(1), sums, Ids::WeightedMeanDiff, 0.0437669997697088 * 1.6448536269514729, 1e-5},
  });
}
// clang-format on

TEST_F(LifeTablePlanning, TwoSidedEitherRootAndNoTwoOneSidedTests) {
  // 0.0437669997697088 * scipy.stats.norm.isf(0.025).  The search interval is
  // the catalogue's, so either of the two roots may be found.
  Enter(Lt(2), {{Ids::StdErrorOfMean, "0.0437669997697088"}});
  EXPECT_NEAR(std::fabs(Solve(Ids::WeightedMeanDiff)), 0.0437669997697088 * 1.959963984540054, 1e-5);
  d.SetTailCount(3);
  EXPECT_EQ(s.TailCount, 2);
}

TEST_F(LifeTablePlanning, GridGivesTheMantelHaenszelSums) {
  Enter(Lt(2), {{Ids::NoOfTables, "3"}});
  Type(kThreeTables);
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_EQ(s.grid.title, "Calculation of Weighted Mean of Prop. Diff*");
  EXPECT_EQ(s.grid.rows, 3);
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"At Risk", "Events", "At Risk", "Events"}));
  const Single v = d.CallApplyGroupGrid();
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_NEAR(v, kMean, 1e-6);
  const LifeTable::Sums& sums = d.modules().Find<LifeTable>()->GridSums();
  EXPECT_NEAR(sums.difference, kSumS, 1e-5);
  EXPECT_NEAR(sums.weight, kSumW, 1e-4);
  EXPECT_NEAR(sums.variance, kSumV, 1e-5);
  // The values are stored at their positions and in their boxes.
  EXPECT_NEAR(s.value(PositionOf(Ids::StdErrorOfMean)), kSe, 1e-7);
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.10805");
  EXPECT_EQ(s.entry(Ids::StdErrorOfMean).ParamText, "0.043767");
  EXPECT_EQ(s.entry(Ids::NoOfTables).ParamText, "3.0");
  // Their ratio is the Mantel-Haenszel statistic, and the criterion at the
  // stored texts gives R's P-value.
  const double z = s.value(PositionOf(Ids::WeightedMeanDiff)) / s.value(PositionOf(Ids::StdErrorOfMean));
  EXPECT_NEAR(z * z, kMantelHaenszel, 1e-4);
  EXPECT_NEAR(Criterion() + 0.05, kTwoSided, 2e-5);
  // The clicked box gets its own value.
  Type(kThreeTables);
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::StdErrorOfMean)));
  EXPECT_EQ(s.grid.title, "Calculation of Std.Error of Weighted Mean*");
  EXPECT_NEAR(d.CallApplyGroupGrid(), kSe, 1e-7);
}

TEST_F(LifeTablePlanning, WhichBoxesOpenItAndHowManyTables) {
  Choose(Lt(2));
  Type(kThreeTables);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(Ids::NoOfTables)));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  EXPECT_EQ(ui.grids, 0);
  // The number of tables, within the limits of "No Of Tables" (2 to 5).
  for (auto [text, count] : std::vector<std::pair<const char*, int>>{{"2", 2}, {"4.4", 4}, {"9", 5},
   {"", 2}}) {
   Set(Ids::NoOfTables, text);
   EXPECT_EQ(LifeTable::GridTableCount(s), count) << text;
  }
  Set(Ids::NoOfTables, "2");
  Type({"50", "10", "50", "5", "40", "8", "45", "4"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_EQ(s.grid.rows, 2);
  d.CallApplyGroupGrid();
  EXPECT_EQ(s.entry(Ids::NoOfTables).ParamText, "2.0");
}

TEST_F(LifeTablePlanning, RefusedCountsChangeNothing) {
  Enter(Lt(2), {{Ids::NoOfTables, "3"}});
  Type({"50", "10", "50", "5", "40", "8", "4", "5", "30", "6", "38", "3"});
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
  Type({"5", "10", "50", "5", "40", "8", "45", "4", "30", "6", "38", "3"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  d.CallApplyGroupGrid();
  EXPECT_EQ(ui.LastText(), "Number in Cell ( 1 , 2) Has to Be <= 5");
  // A cancelled grid changes nothing either.
  s.CalcStopped = false;
  ui.gridScript = [](GridEditing& e) { e.Cancel("3"); };
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.30");
}

TEST_F(LifeTablePlanning, CountsAreWholeNumbersOfAtLeastZero) {
  Enter(Lt(2), {{Ids::NoOfTables, "2"}});
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
  Enter(Lt(2), {{Ids::NoOfTables, "2"}});
  // A table in which group 2 has nobody at risk carries no weight:
  // 50 50 / 100 (10/50 - 5/50) / (50 50 / 99) = 2.5 / 25.2525 = 0.099
  Type({"50", "10", "50", "5", "40", "8", "0", "0"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.099, 1e-7);
  EXPECT_FALSE(s.CalcStopped);
  // No table with both groups at risk: nothing is stored.
  Type({"50", "10", "0", "0", "0", "0", "45", "4"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(Ids::WeightedMeanDiff)));
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Number in Cell ( 1 , 3) Has to Be >= 1");
  EXPECT_EQ(s.entry(Ids::WeightedMeanDiff).ParamText, "0.099");
}

}  // namespace
}  // namespace pelmora
