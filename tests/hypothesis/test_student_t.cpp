// Student's t-test: lists, criterion and solves.  Reference values are
// computed with scipy 1.10 (Debian's python3-scipy); the program's t
// distribution is a single-precision continued fraction, good to about 1e-5
// in P, and the solved sample sizes agree to a few hundredths.
#include "procedures/hypothesis/student_t.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "format/number_format.h"
#include "numeric/power_equations.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;

class TTest : public testing::PlanningTest {
 protected:
  // Chooses the test and options as the dialog would, then confirms.
  void Choose(int testIndex, int tails, const std::vector<int>& options = {},
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false) {
    s.OptionState.fill(0);
    d.SelectTest(testIndex);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    for (auto [g, m] : forms) d.SetForm(g, m);
    d.ApplyOptions();
  }
};

TEST_F(TTest, OfferedOptionsAndRows) {
  d.SelectTest(0);
  EXPECT_EQ(s.SampleCount, 2);
  EXPECT_FALSE(s.dialog.samplesEnabled[0]);
  ASSERT_EQ(s.OptionCount, 3);
  EXPECT_EQ(s.OptionId[0], 0);
  EXPECT_EQ(s.OptionId[1], 5);
  EXPECT_EQ(s.OptionId[2], 12);
  ASSERT_EQ(s.IntParRowCount, 2);
  EXPECT_EQ(s.IntParRowGroup[0], 1);  // "Mean 2*"
  EXPECT_EQ(s.IntParRowGroup[1], 2);  // "Sample Size 2"
  d.SetOption(12, true);
  ASSERT_EQ(s.IntParRowCount, 3);
  EXPECT_EQ(s.IntParRowGroup[1], 33);  // "Std.Deviation 2*"

  d.SelectTest(1);
  EXPECT_EQ(s.SampleCount, 1);
  ASSERT_EQ(s.OptionCount, 1);
  EXPECT_EQ(s.OptionId[0], 0);
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], 21);  // "Mean of Diff.*"
  d.SetTailCount(3);
  EXPECT_EQ(s.IntParRowCount, 0);  // the estimate is a value only
}

TEST_F(TTest, DegreesOfFreedomAndGroupsExcludeEachOther) {
  d.SelectTest(0);
  d.SetOption(0, true);
  d.SetOption(5, true);
  EXPECT_EQ(s.OptionState[0], 0);
  EXPECT_EQ(s.OptionState[5], 1);
  d.SetOption(0, true);
  EXPECT_EQ(s.OptionState[5], 0);
}

TEST_F(TTest, ParameterLists) {
  Choose(1, 2);
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{0, 1, Ids::H0MeanOfDiff, Ids::MeanOfDiff, Ids::SdOfDiff, Ids::SampleSize}));
  Choose(1, 2, {0}, {{21, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 157, 160, 3, 14, 36}));
  Choose(1, 3, {}, {{21, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 158, 3, 14}));

  d.SetForm(21, 0);
  Choose(0, 2, {}, {{1, 0}, {2, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 86, 87, 111, 4, 37}));
  Choose(0, 2, {}, {{1, 1}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 62, 111, 4, 38}));
  Choose(0, 2, {}, {{1, 2}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 86, 88, 111, 4, 5}));
  EXPECT_EQ(s.ValueMode, 2);

  // Unequal standard deviations with the degrees of freedom: each has its own position.
  Choose(0, 2, {12, 0}, {{1, 1}, {33, 2}, {2, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 62, 139, 115, 4, 37, 36}));
  Choose(0, 3, {12}, {{1, 0}, {33, 1}, {2, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 86, 87, 139, 231, 4, 37}));
  s.OptionState[0] = 0;
  s.OptionState[12] = 0;
  Choose(0, 2, {5}, {{1, 0}, {2, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 86, 87, 111, 4, 37, 17}));
}

TEST_F(TTest, DescriptionOfTheSelection) {
  Choose(0, 2);
  EXPECT_EQ(s.Description, "Student's unpaired t-test. 2-sided.");
  Choose(1, 3);
  EXPECT_EQ(s.Description, "Student's paired t-test.Two 1-sided.");
  Choose(0, 1, {12});
  EXPECT_EQ(s.Description,
            "Student's unpaired t-test. 1-sided. Unequal Std.Deviations. Satterthwaite approximation.");
}

TEST_F(TTest, CriterionOfTheDefaultUnpairedTest) {
  Choose(0, 2);
  // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58)
  EXPECT_NEAR(Criterion() + 0.05, 0.7480462707633917, 2e-5);
  // Ratio form of the second mean: 0.3 x 1.3333 = 0.4.
  Choose(0, 2, {}, {{1, 2}});
  Set(Ids::Mean2OverMean1, "1.333333333");
  EXPECT_NEAR(Criterion() + 0.05, 0.7480462707633917, 2e-5);
  // Difference form.
  Choose(0, 2, {}, {{1, 1}});
  Set(Ids::Diff, "0.1");
  EXPECT_NEAR(Criterion() + 0.05, 0.7480462707633917, 2e-5);
}

TEST_F(TTest, CriterionOfThePairedTest) {
  Choose(1, 2);
  Set(Ids::SdOfDiff, "0.9");
  // 2 * scipy.stats.t.sf(0.3 / (0.9 / sqrt(30)), 29)
  EXPECT_NEAR(Criterion() + 0.05, 0.0782033201720677, 2e-5);
  // One-sided, left tail, estimate above H0: a P-value above 0.5.
  Choose(1, 1, {}, {}, true);
  EXPECT_GT(Criterion() + 0.05, 0.5);
}

TEST_F(TTest, CriterionWithUnequalStandardDeviations) {
  Choose(0, 2, {12}, {{1, 1}, {33, 0}, {2, 0}});
  Set(Ids::Diff, "0.2");
  Set(Ids::Sd1, "0.3");
  Set(Ids::Sd2, "0.6");
  Set(Ids::SampleSize1, "20");
  Set(Ids::SampleSize2, "40");
  // Welch: a = 0.36/40, b = 0.09/20, df = (a+b)^2/(a^2/39 + b^2/19) = 57.9913;
  // 2 * scipy.stats.t.sf(0.2 / sqrt(a + b), df)
  EXPECT_NEAR(Criterion() + 0.05, 0.09052295151221662, 2e-5);

  // Equal SDs and sizes: the Satterthwaite df is the pooled 2(n - 1).
  Set(Ids::Sd2, "0.3");
  Set(Ids::SampleSize2, "20");
  const double unequal = Criterion();
  Choose(0, 2, {}, {{1, 1}, {2, 0}});
  s.OptionState[12] = 0;
  Set(Ids::Sd, "0.3");
  EXPECT_NEAR(Criterion(), unequal, 1e-6);
}

TEST_F(TTest, SatterthwaiteDegreesOfFreedomAreAtLeastOne) {
  Choose(0, 2, {12}, {{1, 1}, {33, 0}, {2, 0}});
  Set(Ids::Diff, "1");
  Set(Ids::Sd1, "0.001");
  Set(Ids::Sd2, "1");
  Set(Ids::SampleSize1, "100");
  Set(Ids::SampleSize2, "1.5");  // df near 0.5 before it is raised
  // 2 * scipy.stats.t.sf(1 / sqrt(1/1.5 + 1e-6/100), 1)
  EXPECT_NEAR(Criterion() + 0.05, 0.4359057854901152, 2e-5);
}

TEST_F(TTest, CriterionWithGivenDegreesOfFreedomAndGroups) {
  Choose(0, 2, {0});
  Set(Ids::DegreesOfFreedom, "10");
  // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 10)
  EXPECT_NEAR(Criterion() + 0.05, 0.7535325868972624, 2e-5);
  s.OptionState[0] = 0;
  Choose(0, 2, {5});
  Set(Ids::NoOfGroups, "3");
  // df = 29 + 2 x 29 = 87: 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 87)
  EXPECT_NEAR(Criterion() + 0.05, 0.7476600143584682, 2e-5);
}

TEST_F(TTest, TwoOneSidedTestsHalfWayBetweenTheLimits) {
  Choose(1, 3);
  Set(Ids::LeftLimit, "-0.4");
  Set(Ids::RightLimit, "0.4");
  Set(Ids::MeanOfDiff, "0");
  Set(Ids::SdOfDiff, "0.3");
  // scipy.stats.t.sf(0.4 / (0.3 / sqrt(30)), 29)
  EXPECT_NEAR(Criterion() + 0.05, 2.409076198059045e-08, 1e-5);
  Set(Ids::MeanOfDiff, "0.35");
  // max(t.sf((0.35+0.4)/se, 29), t.cdf((0.35-0.4)/se, 29)) with se = 0.3/sqrt(30)
  EXPECT_NEAR(Criterion() + 0.05, 0.18441878646257714, 2e-5);
}

TEST_F(TTest, SolvesForTheFirstSampleSize) {
  // With the second sample size fixed at 30 no first sample size reaches
  // P = 0.05: as n1 grows the P-value falls only to
  // 2 * scipy.stats.norm.sf(0.1 / (1.2 * sqrt(1 / 30))) = 0.6481.
  Choose(0, 2);
  EXPECT_EQ(Solve(Ids::SampleSize1), kNoResult);
  s.entry(Ids::SampleSize1).ParamText = "10000";
  // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(1/30 + 1/10000)), 10028)
  EXPECT_NEAR(Criterion() + 0.05, 0.6485779424182954, 2e-3);

  // Equal sizes through the ratio form.
  Choose(0, 2, {}, {{2, 2}});
  Set(Ids::SampleSize2OverSize1, "1");
  // scipy brentq of 2*t.sf(0.1/(1.2*sqrt(2/n)), 2n-2) - 0.05
  EXPECT_NEAR(Solve(Ids::SampleSize1), 1107.5512562622869, 0.05);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, FormatPattern(s.value(PositionOf(Ids::SampleSize1)), "0.0"));
  Choose(0, 1, {}, {{2, 2}});
  // scipy brentq of t.sf(0.1/(1.2*sqrt(2/n)), 2n-2) - 0.05
  EXPECT_NEAR(Solve(Ids::SampleSize1), 780.1238172030406, 0.05);
}

TEST_F(TTest, SolvesEveryPositionBackToTheCriterion) {
  struct Case {
    int test, tails;
    std::vector<int> options;
    std::vector<std::pair<int, int>> forms;
    bool left;
  };
  const std::vector<Case> cases = {
      {0, 2, {}, {{1, 0}, {2, 0}}, false},
      {0, 1, {}, {{1, 1}, {2, 1}}, false},
      {0, 1, {}, {{1, 2}, {2, 2}}, true},
      {0, 2, {12}, {{1, 0}, {33, 2}, {2, 0}}, false},
      {0, 3, {}, {{1, 1}, {2, 0}}, false},
      {1, 2, {}, {{21, 0}}, false},
      {1, 1, {0}, {{21, 1}}, false},
      {1, 1, {}, {{21, 2}}, true},
      {1, 3, {}, {}, false},
  };
  for (const Case& c : cases) {
    s.OptionState.fill(0);
    Choose(c.test, c.tails, c.options, c.forms, c.left);
    // Values for which a solution exists in each case.
    if (c.tails == 3) {
      if (PositionOf(Ids::MeanOfDiff) >= 0) Set(Ids::MeanOfDiff, "0.1");
      if (PositionOf(Ids::Diff) >= 0) Set(Ids::Diff, "0.1");
    }
    if (c.left) {
      if (PositionOf(Ids::MeanOfDiffOverH0) >= 0) {
        Set(Ids::H0MeanOfDiff, "1");
        Set(Ids::MeanOfDiffOverH0, "0.7");
      }
      if (PositionOf(Ids::Mean2OverMean1) >= 0) Set(Ids::Mean2OverMean1, "0.5");
    }
    for (int p = 0; p <= s.LastPosition; ++p) {
      if (p == 1) continue;
      const std::string saved = s.entryAt(p).ParamText;
      const double r = Solve(s.ParameterList[static_cast<std::size_t>(p)]);
      SCOPED_TRACE(s.Description + " position " + std::to_string(p));
      EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
      if (r != kNoResult) {
        // The solved value, put back, makes the criterion vanish.
        s.value(p) = r;
        EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
      }
      s.entryAt(p).ParamText = saved;
    }
  }
}

TEST_F(TTest, EstimateOnTheWrongSideIsNotCalculable) {
  Choose(1, 1);
  Set(Ids::MeanOfDiff, "-0.3");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "-");
  // Solving for the estimate finds the one above H0, never the mirror root.
  Set(Ids::SampleSize, "30");
  const double e = Solve(Ids::MeanOfDiff);
  EXPECT_GT(e, 0.0);
  // Two-sided: the estimate root is the positive one too.
  Choose(1, 2);
  EXPECT_GT(Solve(Ids::MeanOfDiff), 0.0);
  // Rejecting in the left tail, the estimate is found below H0.
  Choose(1, 1, {}, {}, true);
  EXPECT_LT(Solve(Ids::MeanOfDiff), 0.0);
  // H0 unknown while the estimate is a difference to H0: nothing to solve.
  Choose(1, 2, {}, {{21, 1}});
  EXPECT_EQ(Solve(Ids::H0MeanOfDiff), kNoResult);
}

TEST_F(TTest, ChecksOfRelativeParametersAndLimits) {
  Choose(0, 2, {}, {{1, 0}, {2, 1}});
  Set(Ids::SampleSize2MinusSize1, "-28");  // n2 = 2 < 3
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
  Choose(0, 3, {}, {{2, 0}});
  Set(Ids::LeftLimit, "0.5");
  Set(Ids::RightLimit, "0.4");
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");
}

TEST_F(TTest, RelativeSampleSizesStayAboveTwo) {
  Choose(0, 2, {}, {{1, 0}, {2, 2}});
  Set(Ids::SampleSize2OverSize1, "0.5");
  const double n1 = Solve(Ids::SampleSize1);
  ASSERT_NE(n1, kNoResult);
  EXPECT_GT(n1 * 0.5, 2.0);
  Set(Ids::SampleSize1, "3000");
  const double ratio = Solve(Ids::SampleSize2OverSize1);
  ASSERT_NE(ratio, kNoResult);
  EXPECT_GT(ratio * 3000, 2.0);
}

}  // namespace
}  // namespace pelmora
