// The rank tests: Wilcoxon rank-sum (with its grid of ordered categories),
// Wilcoxon signed-rank and the sign test.  Reference values are computed with
// scipy 1.10 (Debian's python3-scipy); the program's normal distribution is
// single precision, good to about 1e-6 in P.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "procedures/hypothesis/wilcoxon_rank_sum.h"
#include "procedures/hypothesis/sign.h"
#include "procedures/hypothesis/wilcoxon_signed_rank.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr int kContinuity = 1, kExact = 7, kOrdered = 8;
constexpr int kSize2Group = 2;

class RankTest : public testing::PlanningTest {
 protected:
  // Chooses the test and options as the dialog would, then confirms.
  void Choose(int testIndex, int tails, const std::vector<int>& options = {}, int size2Form = 0,
              bool left = false) {
    s.OptionState.fill(0);
    d.SelectTest(testIndex);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    d.SetForm(kSize2Group, size2Form);
    d.ApplyOptions();
  }
  // The search interval the driver would pass to the root search.
  std::pair<double, double> Interval(int id) {
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(id));
    ReadParameterValues(s);
    double lower = s.entry(id).ParamLowerLimit, upper = s.entry(id).ParamUpperLimit;
    d.CallSetSearchInterval(lower, upper);
    return {lower, upper};
  }
  // The P-value at the current texts.
  double PValue() { return Criterion() + s.value(0); }
};

// Every list case: each position solved, put back, makes the criterion
// vanish; only the number of categories, which the criterion does not use,
// has no value.
TEST_F(RankTest, EveryPositionOfEveryListIsSolved) {
  struct Case {
    int test, tails;
    std::vector<int> options;
    int size2Form;
    bool left;
    std::vector<std::pair<int, std::string>> values;
  };
  const std::vector<Case> cases = {
      {12, 2, {}, 0, false, {}},
      {12, 1, {kContinuity}, 1, false, {{152, "0.7"}}},  // 0.8 is significant from Sample Size 2 = 3 on
      {12, 1, {}, 2, true, {{152, "0.3"}}},
      {12, 2, {kOrdered}, 0, false, {{152, "0.54"}, {229, "0.2"}}},
      {12, 1, {kContinuity, kOrdered}, 2, true, {{152, "0.3"}, {229, "0.2"}}},
      {13, 2, {}, 0, false, {{0, "0.2"}, {153, "0.8"}, {154, "0.7"}, {14, "10"}}},
      {13, 1, {kContinuity}, 0, true, {{0, "0.2"}, {153, "0.2"}, {154, "0.3"}, {14, "10"}}},
      {14, 2, {}, 0, false, {{0, "0.05"}, {153, "0.8"}, {14, "30"}}},
      {14, 1, {kExact}, 0, false, {}},
      {14, 1, {kContinuity}, 0, true, {{153, "0.3"}}},
  };
  for (const Case& c : cases) {
    Choose(c.test, c.tails, c.options, c.size2Form, c.left);
    for (const auto& [id, text] : c.values) s.entry(id).ParamText = text;
    for (int p = 0; p <= s.LastPosition; ++p) {
      if (p == 1) continue;
      const int id = s.ParameterList[static_cast<std::size_t>(p)];
      const std::string saved = s.entryAt(p).ParamText;
      const double r = Solve(id);
      SCOPED_TRACE(s.Description + " position " + std::to_string(p));
      EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
      if (id == WilcoxonRankSum::Ids::NumberOfCategories) {
        EXPECT_EQ(r, kNoResult);
      } else {
        ASSERT_NE(r, kNoResult);
        s.value(p) = r;
        EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
      }
      s.entryAt(p).ParamText = saved;
    }
  }
}

// ---------------------------------------------------------------------------
// Wilcoxon rank-sum test

using MwIds = WilcoxonRankSum::Ids;

class RankSum : public RankTest {
 protected:
  void SetSizes(const std::string& n1, const std::string& n2) {
    Set(MwIds::SampleSize1, n1);
    Set(MwIds::SampleSize2, n2);
  }
};

TEST_F(RankSum, OfferedChoices) {
  d.SelectTest(12);
  EXPECT_EQ(s.SampleCount, 2);
  EXPECT_FALSE(s.dialog.samplesEnabled[0]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  ASSERT_EQ(s.OptionCount, 2);
  EXPECT_EQ(s.OptionId[0], kContinuity);
  EXPECT_EQ(s.OptionId[1], kOrdered);
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], kSize2Group);
  d.SetTailCount(3);
  EXPECT_EQ(s.TailCount, 2);
}

TEST_F(RankSum, ParameterLists) {
  Choose(12, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 152, 4, 37}));
  Choose(12, 2, {}, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 152, 4, 38}));
  Choose(12, 1, {kContinuity}, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 152, 4, 5}));
  EXPECT_EQ(s.ValueMode, 2);
  Choose(12, 2, {kOrdered});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 152, 229, 230, 201, 4, 37}));
  Choose(12, 2, {kContinuity, kOrdered}, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 152, 229, 230, 201, 4, 38}));
  EXPECT_EQ(s.Description, "Wilcoxon rank-sum test. 2-sided. Continuity Correction. Ordered Categories.");
}

TEST_F(RankSum, HalfIsTheNullValue) {
  Choose(12, 1);
  Set(MwIds::ProbHigher, "0.5");
  EXPECT_NEAR(PValue(), 0.5, 1e-6);
  Choose(12, 2);
  EXPECT_NEAR(PValue(), 1.0, 1e-6);
}

TEST_F(RankSum, CriterionOfTheCount) {
  Choose(12, 2);
  Set(MwIds::ProbHigher, "0.6");
  SetSizes("20", "25");
  // 2 * scipy.stats.norm.sf(50 / sqrt(20 * 25 * 46 / 12)) = 0.253421
  EXPECT_NEAR(PValue(), 0.2534205678251751, 2e-6);
  Choose(12, 1, {kContinuity}, 2);
  Set(MwIds::SampleSize2OverSize1, "1.25");
  // scipy.stats.norm.sf(49.5 / sqrt(20 * 25 * 46 / 12)) = 0.129099
  EXPECT_NEAR(PValue(), 0.1290991797051892, 2e-6);
  Choose(12, 1, {}, 1, true);
  Set(MwIds::SampleSize2MinusSize1, "5");
  Set(MwIds::ProbHigher, "0.4");
  // scipy.stats.norm.cdf(-50 / sqrt(20 * 25 * 46 / 12)) = 0.126710
  EXPECT_NEAR(PValue(), 0.2534205678251751 / 2, 2e-6);
}

TEST_F(RankSum, OrderedCategoriesWithoutTiesEqualTheCount) {
  Choose(12, 2);
  Set(MwIds::ProbHigher, "0.6");
  SetSizes("20", "25");
  const double plain = PValue();
  Choose(12, 2, {kOrdered});
  Set(MwIds::ProbEqual, "0");
  Set(MwIds::TieCorrection, "0");
  EXPECT_NEAR(PValue(), plain, 1e-6);
  // Continuity correction and the left tail too.
  Choose(12, 1, {kContinuity}, 0, true);
  Set(MwIds::ProbHigher, "0.45");
  const double plainLeft = PValue();
  Choose(12, 1, {kContinuity, kOrdered}, 0, true);
  EXPECT_NEAR(PValue(), plainLeft, 1e-6);
}

TEST_F(RankSum, CriterionOfTheRankSum) {
  Choose(12, 2, {kOrdered});
  Set(MwIds::ProbHigher, "0.5");
  Set(MwIds::ProbEqual, "0.2");
  Set(MwIds::TieCorrection, "10");
  SetSizes("20", "25");
  // 2 * scipy.stats.norm.sf(50 / sqrt(20 * 25 * 46 / 12 - 10)) = 0.252180
  EXPECT_NEAR(PValue(), 0.2521795273977785, 2e-6);
  // A correction beyond the variance leaves the smallest variance, 0.00001:
  // z is about 15811 and the P-value 0.
  Set(MwIds::TieCorrection, "5000");
  EXPECT_NEAR(PValue(), 0.0, 1e-9);
}

TEST_F(RankSum, SolvesForSampleSizes) {
  Choose(12, 2, {}, 2);
  Set(MwIds::ProbHigher, "0.7");
  Set(MwIds::SampleSize2OverSize1, "1");
  // brentq of 2 * norm.sf(0.2 n^2 / sqrt(n^2 (2n + 1) / 12)) - 0.05 = 16.491365
  EXPECT_NEAR(Solve(MwIds::SampleSize1), 16.491365063741814, 2e-3);
  Choose(12, 2, {}, 1);
  Set(MwIds::SampleSize1, "30");
  Set(MwIds::ProbHigher, "0.7");
  // brentq over d of 2 * norm.sf(0.2 n1 n2 / sqrt(n1 n2 (n1 + n2 + 1) / 12)) - 0.05,
  // n1 = 30, n2 = 30 + d: -18.721432
  EXPECT_NEAR(Solve(MwIds::SampleSize2MinusSize1), -18.72143211650129, 2e-3);
  // The difference is searched only where the second size stays above 2.
  EXPECT_NEAR(Interval(MwIds::SampleSize2MinusSize1).first, 2.00001 - 30, 1e-5);
  Choose(12, 2, {}, 2);
  Set(MwIds::SampleSize2OverSize1, "0.5");
  EXPECT_NEAR(Interval(MwIds::SampleSize1).first, 4.00002, 1e-5);
}

TEST_F(RankSum, SolvesForTheEffects) {
  Choose(12, 2);
  // 0.5 + norm.isf(0.025) * sqrt(900 * 61 / 12) / 900 = 0.647299
  EXPECT_NEAR(Solve(MwIds::ProbHigher), 0.6472994518804835, 1e-4);
  Choose(12, 1, {}, 0, true);
  // 0.5 - norm.isf(0.05) * sqrt(900 * 61 / 12) / 900 = 0.376382
  EXPECT_NEAR(Solve(MwIds::ProbHigher), 0.3763824031539872, 1e-4);
  EXPECT_EQ(Interval(MwIds::ProbHigher).second, 0.5);

  Choose(12, 2, {kOrdered});
  Set(MwIds::ProbHigher, "0.5");
  Set(MwIds::TieCorrection, "10");
  SetSizes("20", "25");
  // 500 (p + q/2 - 1/2) = norm.isf(0.025) sqrt(20 * 25 * 46 / 12 - 10): q = 0.342330
  EXPECT_NEAR(Solve(MwIds::ProbEqual), 0.34233040144959687, 1e-4);
  // The estimate p + q/2 stays above 1/2: q above 1 - 2p.
  Set(MwIds::ProbHigher, "0.3");
  EXPECT_NEAR(Interval(MwIds::ProbEqual).first, 0.4, 1e-9);
  Set(MwIds::ProbEqual, "0.2");
  EXPECT_NEAR(Interval(MwIds::ProbHigher).first, 0.4, 1e-9);

  Set(MwIds::ProbHigher, "0.55");
  // 20 * 25 * 46 / 12 - (75 / norm.isf(0.025))^2 = 452.379201
  EXPECT_NEAR(Solve(MwIds::TieCorrection), 452.37920126476, 0.01);
  // The correction stays below the variance without ties.
  EXPECT_NEAR(Interval(MwIds::TieCorrection).second, 20.0 * 25 * 46 / 12 - 0.00001, 1e-3);
}

TEST_F(RankSum, NumberOfCategoriesIsNotSolved) {
  Choose(12, 2, {kOrdered});
  EXPECT_EQ(Solve(MwIds::NumberOfCategories), kNoResult);
  EXPECT_EQ(s.entry(MwIds::NumberOfCategories).ParamText, "-");
}

TEST_F(RankSum, SecondSizeWithinItsLimits) {
  Choose(12, 2, {}, 1);
  Set(MwIds::SampleSize1, "30");
  Set(MwIds::SampleSize2MinusSize1, "-28");
  EXPECT_EQ(Solve(MwIds::ProbHigher), kNoResult);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.LastText(), "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
}

// The grid of counts per ordered category.
class RankSumGrid : public RankSum {
 protected:
  void Choose(int size2Form = 0) { RankSum::Choose(12, 2, {kOrdered}, size2Form); }
  int RowOf(int id) { return RowOfPosition(PositionOf(id)); }
  // Types the cells row by row and confirms.
  void Enter(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      for (std::size_t i = 0; i + 1 < cells.size(); ++i) e.Key(kGridKeyRight, cells[i]);
      e.Ok(cells.back());
    };
  }
};

TEST_F(RankSumGrid, CountsGiveTheProbabilitiesAndTheCorrection) {
  Choose();
  Set(MwIds::NumberOfCategories, "3");
  Enter({"5", "3", "2", "1", "3", "6"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  EXPECT_EQ(s.grid.title, "Calculation of Prob (Sample2 > Sample1)*");
  EXPECT_EQ(s.grid.rows, 2);
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(s.grid.headingCaption, "Numbers in Category");
  EXPECT_EQ(s.grid.sideLabel, "Group");
  EXPECT_EQ(s.grid.RowLabelWords(), (std::vector<std::string>{"1", "2"}));
  const Single clicked = d.CallApplyGroupGrid();
  EXPECT_FALSE(s.CalcStopped);
  // Pairs with group 2 higher: 3 x 5 + 6 x 8 = 63 of 100; in the same
  // category: 5 + 9 + 12 = 26; T = 100 (210 + 210 + 504) / (12 x 20 x 19).
  EXPECT_FLOAT_EQ(clicked, 0.63f);
  EXPECT_EQ(s.entry(MwIds::ProbHigher).ParamText, "0.63");
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.26");
  EXPECT_NEAR(s.value(PositionOf(MwIds::TieCorrection)), 20.263157894736842, 1e-5);
  // 92400 / 4560 in single precision is 20.2631588.
  EXPECT_EQ(s.entry(MwIds::TieCorrection).ParamText, "20.263159");
  EXPECT_EQ(s.entry(MwIds::NumberOfCategories).ParamText, "3.0");
  EXPECT_EQ(s.entry(MwIds::SampleSize1).ParamText, "10.0");
  EXPECT_EQ(s.entry(MwIds::SampleSize2).ParamText, "10.0");
  // The P-value is that of the tie-corrected rank-sum test of the data:
  // scipy.stats.mannwhitneyu(x2, x1, method='asymptotic', use_continuity=False)
  // with x1 = [1]*5 + [2]*3 + [3]*2, x2 = [1] + [2]*3 + [3]*6
  EXPECT_NEAR(PValue(), 0.03660474713462081, 2e-6);
}

TEST_F(RankSumGrid, TheClickedBoxGetsItsOwnValue) {
  Choose(2);
  Set(MwIds::NumberOfCategories, "2");
  Enter({"4", "0", "2", "6"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::TieCorrection)));
  EXPECT_EQ(s.grid.title, "Calculation of Correction for Ties");
  // t = 6 and 6: T = 4 x 8 x 420 / (12 x 12 x 11) = 8.484848
  EXPECT_NEAR(d.CallApplyGroupGrid(), 8.484848484848484, 1e-5);
  EXPECT_EQ(s.entry(MwIds::ProbHigher).ParamText, "0.75");
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.25");
  EXPECT_EQ(s.entry(MwIds::SampleSize1).ParamText, "4.0");
  EXPECT_EQ(s.entry(MwIds::SampleSize2OverSize1).ParamText, "2.0");
  Choose(1);
  Enter({"4", "0", "2", "6"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::ProbEqual)));
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 0.25f);
  EXPECT_EQ(s.entry(MwIds::SampleSize2MinusSize1).ParamText, "4.0");
}

TEST_F(RankSumGrid, ARowSummingToOneIsRefused) {
  Choose();
  Set(MwIds::NumberOfCategories, "3");
  Enter({"5", "3", "2", "0", "1", "0"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  const double before = s.value(PositionOf(MwIds::ProbHigher));
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Sum In Each Row Must Be >=2");
  EXPECT_EQ(ui.messages[0].title, s.Description);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(s.value(PositionOf(MwIds::ProbHigher)), before);
  EXPECT_EQ(s.entry(MwIds::ProbHigher).ParamText, "0.80");
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.10");
  EXPECT_EQ(s.entry(MwIds::TieCorrection).ParamText, "0.30");
  EXPECT_EQ(s.entry(MwIds::NumberOfCategories).ParamText, "3");
  EXPECT_EQ(s.entry(MwIds::SampleSize1).ParamText, "30");
  EXPECT_EQ(s.entry(MwIds::SampleSize2).ParamText, "30");
}

TEST_F(RankSumGrid, EmptyCellsCountAsNone) {
  Choose();
  Set(MwIds::NumberOfCategories, "2");
  Enter({"3", "", "", "3"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  // Every pair higher, none tied: the probabilities' own limits, 0.99999 and 0.00001.
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 0.99999f);
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_EQ(s.entry(MwIds::ProbEqual).ParamText, "0.00001");
}

TEST_F(RankSumGrid, CountsMayNotBeNegative) {
  Choose();
  Set(MwIds::NumberOfCategories, "2");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "-1"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "0"));
    EXPECT_TRUE(e.Key(kGridKeyRight, "-0.4"));  // rounds to 0
    e.Ok("2");
  };
  EXPECT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Number Has To Be >= 0");
  EXPECT_EQ(ui.messages[0].title, s.Description);
}

TEST_F(RankSumGrid, WhichBoxesOpenIt) {
  Choose();
  Enter({"1", "1", "1", "1", "1", "1", "1", "1", "1", "1"});
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(MwIds::NumberOfCategories)));
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(MwIds::SampleSize1)));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  // The number of categories must make a grid of 2 to 10 columns.
  Set(MwIds::NumberOfCategories, "11");
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  Set(MwIds::NumberOfCategories, "1");
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  EXPECT_EQ(ui.grids, 0);
  Set(MwIds::NumberOfCategories, "10");
  Enter(std::vector<std::string>(20, "1"));
  EXPECT_TRUE(d.CallOpenGroupGrid(RowOf(MwIds::ProbHigher)));
  EXPECT_EQ(s.grid.columns, 10);
  // The plain form has no grid.
  RankSum::Choose(12, 2);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(MwIds::ProbHigher))));
  EXPECT_EQ(ui.grids, 1);
}

// ---------------------------------------------------------------------------
// Wilcoxon signed-rank test

using WsIds = WilcoxonSignedRank::Ids;

class SignedRank : public RankTest {};

TEST_F(SignedRank, OfferedChoicesAndList) {
  d.SelectTest(13);
  EXPECT_EQ(s.SampleCount, 1);
  EXPECT_FALSE(s.dialog.samplesEnabled[1]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  ASSERT_EQ(s.OptionCount, 1);
  EXPECT_EQ(s.OptionId[0], kContinuity);
  EXPECT_EQ(s.IntParRowCount, 0);
  Choose(13, 1, {kContinuity});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 153, 154, 14}));
  EXPECT_EQ(s.Description, "Wilcoxon signed-rank test. 1-sided. Continuity Correction.");
}

TEST_F(SignedRank, Criterion) {
  Choose(13, 2);
  Set(WsIds::ProbPositive, "0.5");
  Set(WsIds::ProbPairSumPositive, "0.5");
  EXPECT_NEAR(PValue(), 1.0, 1e-6);
  Set(WsIds::ProbPositive, "0.6");
  Set(WsIds::ProbPairSumPositive, "0.7");
  Set(WsIds::SampleSize, "20");
  // 2 * norm.sf((20 * 0.6 + 190 * 0.7 - 105) / sqrt(20 * 21 * 41 / 24)) = 0.135357
  EXPECT_NEAR(PValue(), 0.13535690010210896, 2e-6);
  Choose(13, 1, {kContinuity});
  // norm.sf(39.5 / sqrt(20 * 21 * 41 / 24)) = 0.070155
  EXPECT_NEAR(PValue(), 0.07015461678835742, 2e-6);
  Choose(13, 1, {}, 0, true);
  Set(WsIds::ProbPositive, "0.4");
  Set(WsIds::ProbPairSumPositive, "0.3");
  // norm.cdf(-40 / sqrt(20 * 21 * 41 / 24)) = 0.067678
  EXPECT_NEAR(PValue(), 0.13535690010210896 / 2, 2e-6);
}

TEST_F(SignedRank, Solves) {
  Choose(13, 2);
  Set(WsIds::ProbPositive, "0.6");
  Set(WsIds::ProbPairSumPositive, "0.65");
  // brentq of 2 * norm.sf((0.6 n + 0.65 n (n - 1) / 2 - n (n + 1) / 4)
  //                      / sqrt(n (n + 1) (2n + 1) / 24)) - 0.05 = 57.729176
  EXPECT_NEAR(Solve(WsIds::SampleSize), 57.72917603452816, 2e-3);
  Set(WsIds::SampleSize, "20");
  // brentq over p2 of 2 * norm.sf((12 + 190 p2 - 105) / sqrt(717.5)) - 0.05 = 0.765789
  EXPECT_NEAR(Solve(WsIds::ProbPairSumPositive), 0.7657893084635113, 1e-4);
  // Each probability stays where the rank sum exceeds its null value.
  // With p2 = 0.7 any p1 will do: 0.5 - 9.5 x 0.2 is below the lower limit.
  Set(WsIds::ProbPairSumPositive, "0.7");
  EXPECT_EQ(Interval(WsIds::ProbPositive).first, s.entry(WsIds::ProbPositive).ParamLowerLimit);
  Set(WsIds::ProbPairSumPositive, "0.45");
  EXPECT_NEAR(Interval(WsIds::ProbPositive).first, 0.5 + 9.5 * 0.05, 1e-9);
  Set(WsIds::ProbPositive, "0.8");
  EXPECT_NEAR(Interval(WsIds::ProbPairSumPositive).first, 0.5 - 0.6 / 19, 1e-9);
  Choose(13, 1, {}, 0, true);
  Set(WsIds::ProbPositive, "0.8");
  EXPECT_NEAR(Interval(WsIds::ProbPairSumPositive).second, 0.5 - 0.6 / 19, 1e-9);
}

// ---------------------------------------------------------------------------
// Sign test

using SgIds = Sign::Ids;

class SignTest : public RankTest {};

TEST_F(SignTest, OfferedChoicesAndList) {
  d.SelectTest(14);
  EXPECT_EQ(s.SampleCount, 1);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  ASSERT_EQ(s.OptionCount, 2);
  EXPECT_EQ(s.OptionId[0], kContinuity);
  EXPECT_EQ(s.OptionId[1], kExact);
  Choose(14, 2, {kExact});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 153, 14}));
  EXPECT_EQ(s.Description, "Sign test. 2-sided. Exact Calculation.");
}

TEST_F(SignTest, ExactCriterion) {
  Choose(14, 1, {kExact});
  Set(SgIds::ProbPositive, "0.75");
  Set(SgIds::SampleSize, "20");
  // scipy.stats.binom.sf(14, 20, 0.5) = P(X >= 15) = 0.020695
  EXPECT_NEAR(PValue(), 0.020694732666015625, 2e-6);
  Choose(14, 2, {kExact});
  // 2 * scipy.stats.binom.sf(14, 20, 0.5) = 0.041389
  EXPECT_NEAR(PValue(), 0.04138946533203125, 4e-6);
  // A fractional expected count 14.25 interpolates the distribution function:
  // 1 - (0.75 binom.cdf(13, 20, .5) + 0.25 binom.cdf(14, 20, .5)) = 0.048418
  Choose(14, 1, {kExact});
  Set(SgIds::ProbPositive, "0.7125");
  EXPECT_NEAR(PValue(), 0.04841804504394531, 2e-6);
  // The continuity correction belongs to the normal approximation only.
  Choose(14, 1, {kExact, kContinuity});
  EXPECT_NEAR(PValue(), 0.04841804504394531, 2e-6);
}

TEST_F(SignTest, NormalCriterion) {
  Choose(14, 2);
  Set(SgIds::ProbPositive, "0.7");
  Set(SgIds::SampleSize, "30");
  // 2 * norm.sf(6 / sqrt(7.5)) = 0.028460
  EXPECT_NEAR(PValue(), 0.028459736916310565, 2e-6);
  Choose(14, 2, {kContinuity});
  // 2 * norm.sf(5.5 / sqrt(7.5)) = 0.044610
  EXPECT_NEAR(PValue(), 0.044609718024939606, 2e-6);
  // Beyond 1000 the exact calculation gives way to the normal one.
  Choose(14, 2, {kExact});
  Set(SgIds::ProbPositive, "0.53");
  Set(SgIds::SampleSize, "1001");
  // 2 * norm.sf(1001 * 0.03 / sqrt(1001 / 4)) = 0.057655
  EXPECT_NEAR(PValue(), 0.05765459359221931, 2e-6);
  Choose(14, 2);
  Set(SgIds::ProbPositive, "0.5");
  EXPECT_NEAR(PValue(), 1.0, 1e-6);
}

TEST_F(SignTest, Solves) {
  Choose(14, 2);
  Set(SgIds::ProbPositive, "0.6");
  // 0.2 sqrt(n) = norm.isf(0.025): n = 96.036471
  EXPECT_NEAR(Solve(SgIds::SampleSize), 96.03647051735315, 5e-3);
  Set(SgIds::SampleSize, "30");
  // 0.5 + norm.isf(0.025) sqrt(7.5) / 30 = 0.678919
  EXPECT_NEAR(Solve(SgIds::ProbPositive), 0.6789194143717158, 1e-4);
  Choose(14, 1, {kExact});
  Set(SgIds::SampleSize, "20");
  // binom.sf(14, 20, 0.5) = 0.020695 < 0.05 < binom.sf(13, 20, 0.5) = 0.057659:
  // between x = 14 and 15, 1 - F(x - 1) is linear, x = 14 + (0.057659 - 0.05)
  // / (0.057659 - 0.020695) = 14.207203, p = x / 20 = 0.710360
  EXPECT_NEAR(Solve(SgIds::ProbPositive), 0.710360165118679, 1e-4);
}

TEST_F(SignTest, ProbabilitySearchedOnTheRejectionSide) {
  Choose(14, 1, {kExact});
  EXPECT_EQ(Interval(SgIds::ProbPositive), (std::pair<double, double>{0.5, s.entry(153).ParamUpperLimit}));
  Choose(14, 1, {}, 0, true);
  EXPECT_EQ(Interval(SgIds::ProbPositive), (std::pair<double, double>{s.entry(153).ParamLowerLimit, 0.5}));
  // Requests no upper-tail result can meet give no value rather than one below 1/2.
  Choose(14, 1);
  Set(SgIds::SampleSize, "30");
  s.entry(0).ParamText = "0.7";
  EXPECT_EQ(Solve(SgIds::ProbPositive), kNoResult);
  // The sample size is not narrowed.
  EXPECT_EQ(Interval(SgIds::SampleSize), (std::pair<double, double>{3, 99999}));
}

}  // namespace
}  // namespace pelmora
