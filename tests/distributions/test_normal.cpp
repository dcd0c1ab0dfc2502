// The normal sample distribution: the criteria and solves of the point
// estimates and intervals of means and standard deviations, the checks and
// search intervals of relative values, the t-test handed on, and the grid of
// a two-group interval.
//
// Reference values come from scipy 1.10 (Debian's python3-scipy).  The normal
// quantile of a precision or an interval is accurate (the tabulated 1.95996 at
// an upper tail of 0.025, about 1e-7 elsewhere), so those references are
// scipy's exact values.  Student's quantile is the program's prescribed
// approximation, Abramowitz and Stegun 26.7.5 on the normal quantile of
// 26.2.23 (error up to 4.5e-4): those references evaluate the same two
// formulas in Python ("AS" below), with the exact scipy value beside them, and
// can only be matched within that approximation's tolerance.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "procedures/distributions/normal.h"
#include "procedures/hypothesis/student_t.h"
#include "procedures/module_set.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = NormalDistribution::Ids;
using testing::kAnyEnd;
using testing::kCriterion;

constexpr Procedure kNormal = Procedure::NormalDistribution;
constexpr int kTest = 0, kEstimate = 1, kInterval = 2;
constexpr int kMeanKnown = 0, kMeanUnknown = 1, kSdKnownMean = 2, kSdUnknownMean = 3;
constexpr int kSize2Group = 2, kSd2Group = 29, kSd2StarGroup = 33, kIntervalGroup = 32;
constexpr int kDf = 0, kGroups = 5, kUnequal = 12;

testing::Choice Nd(int choice, int kind, int samples, int tails = 2, std::vector<int> options = {},
                   testing::Forms forms = {}) {
  return testing::DistChoice(kNormal, choice, kind, samples, tails, std::move(options), std::move(forms));
}
testing::Choice Limit(int choice, int samples, int limit, std::vector<int> options = {},
                      testing::Forms forms = {}) {
  forms.push_back({kIntervalGroup, limit});
  return Nd(choice, kInterval, samples, 2, std::move(options), std::move(forms));
}

class NormalDistributionPlanning : public testing::PlanningTest {};

// clang-format off
TEST_F(NormalDistributionPlanning, Means) {
  const testing::Values p3 = {{Ids::Mean, "0.3"}, {Ids::Sd, "1"}, {Ids::SampleSize, "100"}};
  const testing::Values unequal = {{Ids::Sd1Star, "1"}, {Ids::Sd2Star, "2"}, {Ids::SampleSize1, "10"},
                                   {Ids::SampleSize2, "20"}};
  ExpectReferences({
    // 1.95996 / sqrt(n) - 0.2 at n = 100 (norm.isf(0.025) / 10 - 0.2 = -0.0040036); zero at
    // (norm.isf(0.025) / 0.2)^2 = 96.03647 (the tabulated 1.95996 gives 96.03608); one tail:
    // (norm.isf(0.05) / 0.2)^2; the error for a given size: norm.isf(0.025) / sqrt(50)
    {Nd(kMeanKnown, kEstimate, 1), {{Ids::AbsoluteError, "0.2"}, {Ids::Sd, "1"}, {Ids::SampleSize, "100"}},
     kCriterion, -0.0040036, 1e-6},
    {Nd(kMeanKnown, kEstimate, 1), {{Ids::AbsoluteError, "0.2"}, {Ids::Sd, "1"}},
     Ids::SampleSize, 96.03647, 2e-3},
    {Nd(kMeanKnown, kEstimate, 1, 1), {{Ids::UpperAbsoluteError, "0.2"}, {Ids::Sd, "1"}}, Ids::SampleSize,
     67.63859, 2e-3},
    {Nd(kMeanKnown, kEstimate, 1), {{Ids::Sd, "1"}, {Ids::SampleSize, "50"}},
     Ids::AbsoluteError, 0.2771808, 2e-6},
    // root of tq(0.975, n - 1) / sqrt(n) = 0.2: 98.50933 (AS); scipy t: 98.46626
    {Nd(kMeanUnknown, kEstimate, 1), {{Ids::AbsoluteError, "0.2"}, {Ids::Sd, "1"}},
     Ids::SampleSize, 98.50933, 0.01},
    // se = sqrt(4 / (2 n1) + 1 / n1) = sqrt(3 / n1): n1 = 3 (norm.isf(0.025) / 0.2)^2
    {Nd(kMeanKnown, kEstimate, 2, 2, {}, {{kSd2Group, 2}, {kSize2Group, 2}}), {{Ids::AbsoluteError, "0.2"},
     {Ids::Sd1, "1"}, {Ids::Sd2OverSd1, "2"}, {Ids::SampleSize2OverSize1, "2"}},
     Ids::SampleSize1, 288.1094, 5e-3},
    // the width does not depend on the estimate: 2 norm.isf(0.025) / sqrt(40) - 0.5
    {Limit(kMeanKnown, 1, 2), {{Ids::Sd, "1"}, {Ids::SampleSize, "40"}, {Ids::Width, "0.5"},
     {Ids::Mean, "0.3"}}, kCriterion, 0.1197950, 1e-6},
    {Limit(kMeanKnown, 1, 2), {{Ids::Sd, "1"}, {Ids::SampleSize, "40"}, {Ids::Width, "0.5"},
     {Ids::Mean, "-250"}}, kCriterion, 0.1197950, 1e-6},
    // CL 0.95: the quantile of the upper tail 0.025, m -/+ norm.isf(0.025) x 1 / sqrt(100); the lower limit
    // reaches 0.2 at n = (norm.isf(0.025) / 0.1)^2; the estimate whose lower limit is 0.1 at n = 100:
    // 0.1 + norm.isf(0.025) / 10; the level for a width of 0.4 at n = 100: 2 * norm.cdf(2) - 1
    {Limit(kMeanKnown, 1, 0), p3, Ids::LowerLimit, 0.1040036, 2e-6},
    {Limit(kMeanKnown, 1, 1), p3, Ids::UpperLimit, 0.4959964, 2e-6},
    {Limit(kMeanKnown, 1, 0), {{Ids::Mean, "0.3"}, {Ids::Sd, "1"}, {Ids::LowerLimit, "0.2"}}, Ids::SampleSize,
     384.1459, 0.01},
    {Limit(kMeanKnown, 1, 0), {{Ids::Sd, "1"}, {Ids::SampleSize, "100"}, {Ids::LowerLimit, "0.1"}}, Ids::Mean,
     0.2959964, 2e-6},
    {Limit(kMeanKnown, 1, 2), {{Ids::Sd, "1"}, {Ids::SampleSize, "100"}, {Ids::Width, "0.4"}},
     Ids::ConfidenceLevel, 0.9544997, 2e-5},
    // root of 2 tq(0.975, n - 1) 1.2 / sqrt(n) = 0.5: 90.97749 (AS); scipy t: 90.93773
    {Limit(kMeanUnknown, 1, 2), {{Ids::SdStar, "1.2"}, {Ids::Width, "0.5"}}, Ids::SampleSize, 90.97749, 0.01},
    // two samples of 10 with k = 3 groups: df = (10 - 1) + (3 - 1)(10 - 1) = 27, and the same df given:
    // 2 tq(0.975, 27) 1.2 sqrt(0.2) = 2.202776 (AS); scipy 2.202256; (N1 - 1) + (N2 - 1) k = 36 would give
    // 2.177284; one sample: df = (n - 1) k = 27; 0.3 + tq(0.975, 27) 1.2 / sqrt(10)
    {Limit(kMeanUnknown, 2, 2, {kGroups}), {{Ids::SdStar, "1.2"}, {Ids::SampleSize1, "10"},
     {Ids::SampleSize2, "10"}, {Ids::NoOfGroups, "3"}}, Ids::Width, 2.202776, 5e-5},
    {Limit(kMeanUnknown, 2, 2, {kDf}), {{Ids::SdStar, "1.2"}, {Ids::SampleSize1, "10"},
     {Ids::SampleSize2, "10"}, {Ids::DegreesOfFreedom, "27"}}, Ids::Width, 2.202776, 5e-5},
    {Limit(kMeanUnknown, 1, 1, {kGroups}), {{Ids::SdStar, "1.2"}, {Ids::NoOfGroups, "3"}, {Ids::Mean, "0.3"},
     {Ids::SampleSize, "10"}}, Ids::UpperLimit, 1.078799, 3e-5},
    // unequal standard deviations: se = sqrt(4/20 + 1/10), df = 0.09 / (0.04/19 + 0.01/9) = 27.98182;
    // 2 tq(0.975, df) se = 2.244512 (AS); scipy 2.243983; given df 12: 2 tq(0.975, 12) se (AS)
    {Limit(kMeanUnknown, 2, 2, {kUnequal}, {{kSd2StarGroup, 0}}), unequal, Ids::Width, 2.244512, 5e-5},
    {Limit(kMeanUnknown, 2, 2, {kUnequal, kDf}), {{Ids::Sd1Star, "1"}, {Ids::Sd2Star, "2"},
     {Ids::SampleSize1, "10"},
     {Ids::SampleSize2, "20"}, {Ids::DegreesOfFreedom, "12"}}, Ids::Width, 2.387383, 5e-5},
    // known SDs, the second as a difference: 0.3 - norm.isf(0.025) sqrt(4/20 + 1/10)
    {Limit(kMeanKnown, 2, 0, {}, {{kSd2Group, 1}}), {{Ids::Diff, "0.3"}, {Ids::Sd1, "1"},
     {Ids::Sd2MinusSd1, "1"},
     {Ids::SampleSize1, "10"}, {Ids::SampleSize2, "20"}}, Ids::LowerLimit, -0.7735165, 3e-6},
    // 0.3 - 1.95996 sqrt(s1^2/30 + (s1 - 0.2)^2/15) = 0.1: brentq over s1 from 0.2
    {Limit(kMeanKnown, 2, 0, {}, {{kSd2Group, 1}, {kSize2Group, 2}}), {{Ids::Sd2MinusSd1, "-0.2"},
     {Ids::SampleSize1, "30"}, {Ids::SampleSize2OverSize1, "0.5"}, {Ids::Diff, "0.3"},
     {Ids::LowerLimit, "0.1"}},
     Ids::Sd1, 0.44194092095382304, 1e-5},
    // the one-sample t-test of a mean handed on: the root of 2 t.sf(0.3 sqrt(n) / 1.2, n - 1) = 0.05
    {Nd(kMeanUnknown, kTest, 1), {{StudentT::Ids::H0Mean, "0"}, {StudentT::Ids::Mean, "0.3"},
     {StudentT::Ids::Sd, "1.2"}}, Ids::SampleSize, 63.89790, 0.02},
    // relative values are checked through their base
    {Limit(kMeanKnown, 2, 0, {}, {{kSd2Group, 1}}), {{Ids::Sd1, "0.3"}, {Ids::Sd2MinusSd1, "-0.5"}},
     Ids::SampleSize1, kNoResult, 0, "Std.Dev. 2 - Std.Dev. 1 has to be greater than or equal to -0.29999"},
    {Limit(kMeanUnknown, 2, 0, {}, {{kSize2Group, 1}}), {{Ids::SampleSize1, "30"},
     {Ids::SampleSize2MinusSize1, "-28"}},
     Ids::SdStar, kNoResult, 0, "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
  });
  // The second standard deviation, 0.3 + d, stays at or above 0.00001, and so the first, s1 - 0.2; n2 = 0.5
  // n1
  // above 2.00001.
  const testing::Values relative = {{Ids::Sd1, "0.3"}, {Ids::Sd2MinusSd1, "-0.2"}, {Ids::SampleSize1, "30"},
                                    {Ids::SampleSize2OverSize1, "0.5"}};
  const testing::Choice both = Limit(kMeanKnown, 2, 0, {}, {{kSd2Group, 1}, {kSize2Group, 2}});
  ExpectIntervals({
    {both, relative, Ids::Sd2MinusSd1, 0.00001 - 0.3, kAnyEnd},
    {both, relative, Ids::Sd1, 0.2 + 0.00001, kAnyEnd},
    {both, relative, Ids::SampleSize1, 2.00001 / 0.5, kAnyEnd, 1e-5},
    {both, relative, Ids::SampleSize2OverSize1, 2.00001 / 30, kAnyEnd, 1e-6},
  });
}

TEST_F(NormalDistributionPlanning, StandardDeviations) {
  ExpectReferences({
    // root of chi2.cdf(1.2 nu, nu) - chi2.cdf(0.8 nu, nu) = 0.95 with nu = n - 1 (the program's chi-square
    // beyond
    // 21 df is Wilson-Hilferty's); one tail uses only the upper probability: chi2.cdf(1.2 n, n) = 0.95 with
    // the
    // mean known (nu = n); two samples of equal size: f.cdf(1.5, nu, nu) - f.cdf(0.5, nu, nu) = 0.95, nu = n
    // - 1
    {Nd(kSdUnknownMean, kEstimate, 1), {{Ids::RelativeError, "0.2"}}, Ids::SampleSize, 191.9916, 0.1},
    {Nd(kSdKnownMean, kEstimate, 1, 1), {{Ids::UpperRelativeError, "0.2"}}, Ids::SampleSize, 145.9765, 0.1},
    {Nd(kSdUnknownMean, kEstimate, 2, 2, {}, {{kSize2Group, 2}}), {{Ids::RelativeError, "0.5"},
     {Ids::SampleSize2OverSize1, "1"}}, Ids::SampleSize1, 69.62291, 0.01},
    // 1.2 sqrt(29 / chi2.ppf(0.975, 29)) (the quantile beyond 10 df goes through the F quantile's
    // approximation); 1.2 sqrt(8 / chi2.ppf(0.025, 8)); 1.2 / sqrt(f.ppf(0.975, 29, 29)); 1.2 /
    // sqrt(f.ppf(0.025,
    // 7, 7)); with the mean known every sample has n degrees of freedom: 1.2 sqrt(9 / chi2.ppf(0.025, 9))
    {Limit(kSdUnknownMean, 1, 0), {{Ids::SdStar, "1.2"}, {Ids::SampleSize, "30"}},
     Ids::LowerLimit, 0.9556883, 5e-4},
    {Limit(kSdUnknownMean, 1, 1), {{Ids::SdStar, "1.2"}, {Ids::SampleSize, "9"}},
     Ids::UpperLimit, 2.298925, 1e-3},
    {Limit(kSdUnknownMean, 2, 0), {{Ids::SdRatio, "1.2"}, {Ids::SampleSize1, "30"}, {Ids::SampleSize2, "30"}},
     Ids::LowerLimit, 0.8278824, 5e-4},
    {Limit(kSdUnknownMean, 2, 1), {{Ids::SdRatio, "1.2"}, {Ids::SampleSize1, "8"}, {Ids::SampleSize2, "8"}},
     Ids::UpperLimit, 2.681915, 1e-3},
    {Limit(kSdKnownMean, 1, 1), {{Ids::SdStar, "1.2"}, {Ids::SampleSize, "9"}},
     Ids::UpperLimit, 2.190732, 1e-3},
  });
}
// clang-format on

TEST_F(NormalDistributionPlanning, RatioOneGivesEqualSampleSizes) {
  Enter(Limit(kMeanUnknown, 2, 2, {}, {{kSize2Group, 2}}), {{Ids::SampleSize1, "25"},
   {Ids::SampleSize2OverSize1, "1"}});
  const double byRatio = Criterion();
  Enter(Limit(kMeanUnknown, 2, 2), {{Ids::SampleSize1, "25"}, {Ids::SampleSize2, "25"}});
  EXPECT_DOUBLE_EQ(Criterion(), byRatio);
}

TEST_F(NormalDistributionPlanning, TailsDegreesOfFreedomAndGroups) {
  // Intervals are two-sided, estimates never two one-sided; every listed
  // value but position 1 has a row of the Calculation window.
  Choose(Nd(kMeanKnown, kInterval, 1, 1));
  EXPECT_EQ(s.TailCount, 2);
  Choose(Nd(kMeanKnown, kEstimate, 1, 3));
  EXPECT_EQ(s.TailCount, 2);
  for (int p = 2; p <= s.LastPosition; ++p) EXPECT_GE(RowOfPosition(p), 1);
  // Given df and the df of an ANOVA exclude each other; both ticked, the list holds given df only.
  Choose(Nd(kMeanUnknown, kInterval, 2, 2, {kDf, kGroups}));
  EXPECT_EQ(s.OptionState[kDf], 0);
  d.SetOption(kDf, true);
  EXPECT_EQ(s.OptionState[kGroups], 0);
  s.OptionState[kGroups] = 1;
  d.ApplyOptions();
  EXPECT_EQ(ListedIds().back(), Ids::DegreesOfFreedom);
  EXPECT_EQ(PositionOf(Ids::NoOfGroups), -1);
}

class NormalGrid : public NormalDistributionPlanning {
 protected:
 void Type(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      for (int k = 0; k < 3; ++k) e.Key(kGridKeyRight, cells[static_cast<std::size_t>(k)]);
      e.Ok(cells[3]);
    };
  }
  bool Open(int id) { return d.CallOpenGroupGrid(RowOfPosition(PositionOf(id))); }
};

TEST_F(NormalGrid, PooledStandardDeviationOfATwoGroupInterval) {
  Choose(Nd(kMeanUnknown, kInterval, 2, 2, {}, {{kSize2Group, 2}}));
  Type({"1", "10", "2", "20"});
  ASSERT_TRUE(Open(Ids::SdStar));
  EXPECT_EQ(s.grid.title, "Calculation of Standard Deviation*");
  // math.sqrt((9 * 1 + 19 * 4) / 28) = 1.742330
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.742330, 1e-6);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "10.0");
  EXPECT_EQ(s.entry(Ids::SampleSize2OverSize1).ParamText, "2.0");
  EXPECT_FLOAT_EQ(dynamic_cast<NormalDistribution*>(d.modules().For(kNormal))->GridSpread2(),
   2.0f);
}

TEST_F(NormalGrid, OnlyThePooledBoxOfAnIntervalOrATestOpensIt) {
  Choose(Nd(kMeanUnknown, kInterval, 2));
  Type({"1", "10", "2", "20"});
  EXPECT_FALSE(Open(Ids::SampleSize1));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  Choose(Nd(kMeanUnknown, kInterval, 2, 2, {kUnequal}));
  EXPECT_FALSE(Open(Ids::Sd1Star));
  Choose(Nd(kMeanUnknown, kEstimate, 2));
  EXPECT_FALSE(Open(Ids::Sd));
  Choose(Nd(kMeanKnown, kInterval, 2));
  EXPECT_FALSE(Open(Ids::Sd1));
  Choose(Nd(kMeanUnknown, kInterval, 1));
  EXPECT_FALSE(Open(Ids::SdStar));
  EXPECT_EQ(ui.grids, 0);
  // A test hands the grid to the t-test (whose grid the grid tests check).
  Choose(Nd(kMeanUnknown, kTest, 2));
  EXPECT_TRUE(Open(StudentT::Ids::Sd));
  // The cells are checked.
  Choose(Nd(kMeanUnknown, kInterval, 2));
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "0"));
    e.Cancel("0");
  };
  EXPECT_FALSE(Open(Ids::SdStar));
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.front().text, "Standard Deviations Must Be > 0");
  EXPECT_EQ(ui.messages.front().title, s.Description);
  ui.messages.clear();
  Type({"1", "10", "2", ""});
  ASSERT_TRUE(Open(Ids::SdStar));
  d.CallApplyGroupGrid();
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");
}

}  // namespace
}  // namespace pelmora
