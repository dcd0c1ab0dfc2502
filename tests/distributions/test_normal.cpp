// The normal sample distribution: offered rows and options, the lists of the
// point estimates and intervals, their criteria and solves, the tests handed
// on, the grid of a two-group interval and a sweep of every choice.
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

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "numeric/distributions.h"
#include "numeric/fault_guard.h"
#include "procedures/distributions/normal.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/standard_deviation.h"
#include "procedures/hypothesis/student_t.h"
#include "session/calculation_rows.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = NormalDistribution::Ids;

constexpr int kNormal = 0;
constexpr int kTest = 0, kEstimate = 1, kInterval = 2;
constexpr int kMeanKnown = 0, kMeanUnknown = 1, kSdKnownMean = 2, kSdUnknownMean = 3;
constexpr int kSize2Group = 2, kSd2Group = 29, kSd2StarGroup = 33, kIntervalGroup = 32;
constexpr int kDf = 0, kGroups = 5, kUnequal = 12;

class NormalDistributionPlanning : public testing::PlanningTest {
 protected:
  void Choose(int choice, int kind, int samples, int tails = 2, const std::vector<int>& options = {},
              const Forms& forms = {}, bool left = false) {
    ChooseDistribution(kNormal, choice, kind, samples, tails, options, forms, left);
  }
  // The search interval for the unknown id, from its catalogue bounds.
  std::pair<double, double> Interval(int id) {
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(id));
    ReadParameterValues(s);
    double lo = s.entry(id).ParamLowerLimit, hi = s.entry(id).ParamUpperLimit;
    d.CallSetSearchInterval(lo, hi);
    return {lo, hi};
  }
};

// --- Offered rows and options ------------------------------------------------

TEST_F(NormalDistributionPlanning, OffersTheRowsAndOptionsOfEachKind) {
  Choose(kMeanKnown, kEstimate, 1);
  EXPECT_TRUE(OfferedRows().empty());
  EXPECT_TRUE(OfferedOptions().empty());
  Choose(kMeanKnown, kInterval, 1);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kIntervalGroup}));
  Choose(kMeanKnown, kInterval, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSd2Group, kSize2Group, kIntervalGroup}));
  Choose(kMeanKnown, kEstimate, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSd2Group, kSize2Group}));

  Choose(kMeanUnknown, kInterval, 1);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kDf, kGroups}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kIntervalGroup}));
  Choose(kMeanUnknown, kInterval, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kDf, kGroups, kUnequal}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSize2Group, kIntervalGroup}));
  d.SetOption(kUnequal, true);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSd2StarGroup, kSize2Group, kIntervalGroup}));

  Choose(kSdUnknownMean, kInterval, 2);
  EXPECT_TRUE(OfferedOptions().empty());
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSize2Group, kIntervalGroup}));
  Choose(kSdKnownMean, kEstimate, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSize2Group}));

  // A test offers what its test module offers: the t-test's options and rows.
  Choose(kMeanUnknown, kTest, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kDf, kGroups, kUnequal}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{1, kSize2Group}));
}

TEST_F(NormalDistributionPlanning, IntervalsAreTwoSidedAndEstimatesNeverTwoOneSided) {
  Choose(kMeanKnown, kInterval, 1, 1);
  EXPECT_EQ(s.TailCount, 2);
  Choose(kMeanKnown, kEstimate, 1, 3);
  EXPECT_EQ(s.TailCount, 2);
  Choose(kMeanKnown, kEstimate, 1, 1);
  EXPECT_EQ(s.TailCount, 1);
}

TEST_F(NormalDistributionPlanning, DegreesOfFreedomAndGroupsExcludeEachOther) {
  Choose(kMeanUnknown, kInterval, 2, 2, {kDf, kGroups});
  EXPECT_EQ(s.OptionState[kDf], 0);
  EXPECT_EQ(s.OptionState[kGroups], 1);
  d.SetOption(kDf, true);
  EXPECT_EQ(s.OptionState[kGroups], 0);
  // Even if both were ticked, the list holds given df only.
  s.OptionState[kGroups] = 1;
  d.ApplyOptions();
  EXPECT_EQ(ListedIds().back(), Ids::DegreesOfFreedom);
  EXPECT_EQ(PositionOf(Ids::NoOfGroups), -1);
}

// --- Parameter lists -------------------------------------------------------

TEST_F(NormalDistributionPlanning, PointEstimateListsKeepPositionOneUnshown) {
  // The error is the first value the window shows: position 1 has no row.
  Choose(kMeanKnown, kEstimate, 1, 2);
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ErrorLevel, 1, Ids::AbsoluteError, Ids::Sd, Ids::SampleSize}));
  Choose(kMeanKnown, kEstimate, 1, 1);
  EXPECT_EQ(ListedIds()[2], Ids::UpperAbsoluteError);
  Choose(kMeanKnown, kEstimate, 2, 2, {}, {{kSd2Group, 2}, {kSize2Group, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ErrorLevel, 1, Ids::AbsoluteError, Ids::Sd1, Ids::Sd2OverSd1,
                                           Ids::SampleSize1, Ids::SampleSize2MinusSize1}));
  Choose(kMeanUnknown, kEstimate, 1, 2, {kDf});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ErrorLevel, 1, Ids::AbsoluteError, Ids::Sd, Ids::SampleSize,
                                           Ids::DegreesOfFreedom}));
  Choose(kMeanUnknown, kEstimate, 2, 2, {kGroups}, {{kSize2Group, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ErrorLevel, 1, Ids::AbsoluteError, Ids::Sd, Ids::SampleSize1,
                                           Ids::SampleSize2OverSize1, Ids::NoOfGroups}));
  Choose(kMeanUnknown, kEstimate, 2, 2, {kUnequal}, {{kSd2StarGroup, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ErrorLevel, 1, Ids::AbsoluteError, Ids::Sd1Star,
                                           Ids::Sd2StarMinusSd1Star, Ids::SampleSize1, Ids::SampleSize2}));
  Choose(kSdUnknownMean, kEstimate, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ErrorLevel, 1, Ids::RelativeError, Ids::SampleSize}));
  Choose(kSdKnownMean, kEstimate, 2, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ErrorLevel, 1, Ids::UpperRelativeError, Ids::SampleSize1,
                                           Ids::SampleSize2}));
  // Every listed value but position 1 has a row of the Calculation window.
  for (int p = 2; p <= s.LastPosition; ++p) EXPECT_GE(RowOfPosition(p), 1);
}

TEST_F(NormalDistributionPlanning, IntervalLists) {
  Choose(kMeanKnown, kInterval, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Mean, Ids::LowerLimit,
                                           Ids::Sd, Ids::SampleSize}));
  Choose(kMeanKnown, kInterval, 2, 2, {}, {{kIntervalGroup, 1}, {kSd2Group, 1}, {kSize2Group, 2}});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Diff, Ids::UpperLimit, Ids::Sd1,
                              Ids::Sd2MinusSd1, Ids::SampleSize1, Ids::SampleSize2OverSize1}));
  Choose(kMeanUnknown, kInterval, 1, 2, {kGroups}, {{kIntervalGroup, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Mean, Ids::Width,
                                           Ids::SdStar, Ids::SampleSize, Ids::NoOfGroups}));
  Choose(kMeanUnknown, kInterval, 2, 2, {kDf});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Diff, Ids::LowerLimit, Ids::SdStar,
                              Ids::SampleSize1, Ids::SampleSize2, Ids::DegreesOfFreedom}));
  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal}, {{kSd2StarGroup, 2}});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Diff, Ids::LowerLimit, Ids::Sd1Star,
                              Ids::Sd2StarOverSd1Star, Ids::SampleSize1, Ids::SampleSize2}));
  // Given df with unequal standard deviations: a position of its own, after
  // the second sample size.
  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal, kDf});
  EXPECT_EQ(PositionOf(Ids::SampleSize2), 7);
  EXPECT_EQ(PositionOf(Ids::DegreesOfFreedom), 8);
  EXPECT_EQ(s.LastPosition, 8);
  Choose(kSdKnownMean, kInterval, 1, 2, {}, {{kIntervalGroup, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::SdStar, Ids::Width,
                                           Ids::SampleSize}));
  Choose(kSdUnknownMean, kInterval, 2, 2, {}, {{kSize2Group, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::SdRatio,
                                           Ids::LowerLimit, Ids::SampleSize1, Ids::SampleSize2MinusSize1}));
}

TEST_F(NormalDistributionPlanning, CaptionsAndDescription) {
  Choose(kMeanKnown, kEstimate, 1);
  EXPECT_EQ(s.ParameterChoiceName, "Mean (Std.Dev. known)");
  EXPECT_EQ(s.Description, "Normal Distribution. Point Estimate of Mean (Std.Dev. known). 2-sided.");
  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal});
  EXPECT_EQ(
      s.Description,
      "Normal Distribution. Conf. Interval for Mean2 - Mean1 (Std.Dev. unknown). 2-sided. Satterthwaite");
  Choose(kSdKnownMean, kTest, 2);
  EXPECT_EQ(s.ParameterChoiceName, "Std.Dev.2 / Std.Dev.1 (mean known)");
  Choose(kSdKnownMean, kInterval, 2);
  EXPECT_EQ(s.ParameterChoiceName, "(Std.Dev.2 / Std.Dev.1)^2  (mean known)");
  Choose(kSdUnknownMean, kEstimate, 1);
  EXPECT_EQ(s.ParameterChoiceName, "Std.Dev.^2 (mean unknown)");
  Choose(kSdUnknownMean, kTest, 1);
  EXPECT_EQ(s.ParameterChoiceName, "Std.Dev. (mean unknown)");
  Choose(kMeanUnknown, kTest, 2);
  EXPECT_EQ(s.ParameterChoiceName, "Mean2 - Mean1 (Std.Dev. unknown)");
}

// --- Point estimates of a mean -----------------------------------------------

TEST_F(NormalDistributionPlanning, PointEstimateOfAMeanWithTheAccurateNormalQuantile) {
  // Two tails at alpha = 0.05 take the tabulated 1.95996 of the upper tail
  // 0.025; scipy.stats.norm.isf(0.025) = 1.959964.
  EXPECT_FLOAT_EQ(UpperNormalQuantile(0.025f), 1.95996f);
  Choose(kMeanKnown, kEstimate, 1, 2);
  Set(Ids::AbsoluteError, "0.2");
  Set(Ids::Sd, "1");
  Set(Ids::SampleSize, "100");
  // criterion = 1.95996 / sqrt(n) - 0.2 at n = 100: 1.95996 / 10 - 0.2 = -0.004004
  // (norm.isf(0.025) / 10 - 0.2 = -0.0040036)
  EXPECT_NEAR(Criterion(), -0.0040036, 1e-6);
  // The hand-checked case, zero at n = 96.04: (norm.isf(0.025) / 0.2)^2 =
  // 96.03647 (the tabulated 1.95996 gives 96.03608), shown as 96.036.
  EXPECT_NEAR(Solve(Ids::SampleSize), 96.03647, 2e-3);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "96.036");
  // One tail: (norm.isf(0.05) / 0.2)^2 = 67.63859
  Choose(kMeanKnown, kEstimate, 1, 1);
  Set(Ids::UpperAbsoluteError, "0.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 67.63859, 2e-3);
  // The error for a given size: norm.isf(0.025) / sqrt(50) = 0.2771808
  Choose(kMeanKnown, kEstimate, 1, 2);
  Set(Ids::SampleSize, "50");
  EXPECT_NEAR(Solve(Ids::AbsoluteError), 0.2771808, 2e-6);
}

TEST_F(NormalDistributionPlanning, PointEstimateOfAMeanWithUnknownSd) {
  Choose(kMeanUnknown, kEstimate, 1, 2);
  Set(Ids::AbsoluteError, "0.2");
  Set(Ids::Sd, "1");
  // root of tq(0.975, n - 1) / sqrt(n) = 0.2: 98.50933 (AS); scipy t: 98.46626
  EXPECT_NEAR(Solve(Ids::SampleSize), 98.50933, 0.01);
}

TEST_F(NormalDistributionPlanning, PointEstimateOfTwoMeansWithKnownSds) {
  Choose(kMeanKnown, kEstimate, 2, 2, {}, {{kSd2Group, 2}, {kSize2Group, 2}});
  Set(Ids::AbsoluteError, "0.2");
  Set(Ids::Sd1, "1");
  Set(Ids::Sd2OverSd1, "2");
  Set(Ids::SampleSize2OverSize1, "2");
  // se = sqrt(4 / (2 n1) + 1 / n1) = sqrt(3 / n1): n1 = 3 (norm.isf(0.025) / 0.2)^2 = 288.1094
  EXPECT_NEAR(Solve(Ids::SampleSize1), 288.1094, 5e-3);
}

// --- Intervals of a mean -------------------------------------------------------

TEST_F(NormalDistributionPlanning, IntervalWidthDoesNotDependOnTheEstimate) {
  Choose(kMeanKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 2}});
  Set(Ids::Sd, "1");
  Set(Ids::SampleSize, "40");
  Set(Ids::Width, "0.5");
  Set(Ids::Mean, "0.3");
  const double near = Criterion();
  Set(Ids::Mean, "-250");
  EXPECT_DOUBLE_EQ(Criterion(), near);
  // 2 norm.isf(0.025) / sqrt(40) - 0.5 = 0.1197950
  EXPECT_NEAR(near, 0.1197950, 1e-6);
}

TEST_F(NormalDistributionPlanning, IntervalLimitsUseTheQuantileOfHalfTheRemainder) {
  // CL 0.95: the quantile of the upper tail 0.025, m -/+ norm.isf(0.025) x 1 / sqrt(100):
  // 0.3 - 0.1959964 = 0.1040036 and 0.3 + 0.1959964 = 0.4959964.
  Choose(kMeanKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 0}});
  Set(Ids::Mean, "0.3");
  Set(Ids::Sd, "1");
  Set(Ids::SampleSize, "100");
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.1040036, 2e-6);
  Choose(kMeanKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 0.4959964, 2e-6);
  // The lower limit reaches 0.2 at n = (norm.isf(0.025) / 0.1)^2 = 384.1459.
  Choose(kMeanKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 0}});
  Set(Ids::LowerLimit, "0.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 384.1459, 0.01);
  // The estimate whose lower limit is 0.1 at n = 100: 0.1 + norm.isf(0.025) / 10 = 0.2959964
  Set(Ids::SampleSize, "100");
  Set(Ids::LowerLimit, "0.1");
  EXPECT_NEAR(Solve(Ids::Mean), 0.2959964, 2e-6);
  // The confidence level for a width of 0.4 at n = 100: 2 * norm.cdf(2) - 1 = 0.9544997
  Choose(kMeanKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 2}});
  Set(Ids::SampleSize, "100");
  Set(Ids::Width, "0.4");
  EXPECT_NEAR(Solve(Ids::ConfidenceLevel), 0.9544997, 2e-5);
}

TEST_F(NormalDistributionPlanning, IntervalOfAMeanWithUnknownSd) {
  Choose(kMeanUnknown, kInterval, 1, 2, {}, {{kIntervalGroup, 2}});
  Set(Ids::SdStar, "1.2");
  Set(Ids::Width, "0.5");
  // root of 2 tq(0.975, n - 1) 1.2 / sqrt(n) = 0.5: 90.97749 (AS); scipy t: 90.93773
  EXPECT_NEAR(Solve(Ids::SampleSize), 90.97749, 0.01);
}

TEST_F(NormalDistributionPlanning, GroupsDegreesOfFreedomFollowTheTTest) {
  // Two samples of 10 with k = 3 groups: df = (10 - 1) + (3 - 1)(10 - 1) = 27.
  Choose(kMeanUnknown, kInterval, 2, 2, {kGroups}, {{kIntervalGroup, 2}});
  Set(Ids::SdStar, "1.2");
  Set(Ids::SampleSize1, "10");
  Set(Ids::SampleSize2, "10");
  Set(Ids::NoOfGroups, "3");
  // 2 tq(0.975, 27) 1.2 sqrt(0.2) = 2.202776 (AS); scipy 2.202256;
  // (N1 - 1) + (N2 - 1) k = 36 would give 2.177284
  EXPECT_NEAR(Solve(Ids::Width), 2.202776, 5e-5);
  const double withGroups = s.value(PositionOf(Ids::Width));
  Choose(kMeanUnknown, kInterval, 2, 2, {kDf}, {{kIntervalGroup, 2}});
  Set(Ids::DegreesOfFreedom, "27");
  EXPECT_DOUBLE_EQ(Solve(Ids::Width), withGroups);
  // One sample: df = (n - 1) k = 27; 0.3 + tq(0.975, 27) 1.2 / sqrt(10) = 1.078799
  Choose(kMeanUnknown, kInterval, 1, 2, {kGroups}, {{kIntervalGroup, 1}});
  Set(Ids::Mean, "0.3");
  Set(Ids::SampleSize, "10");
  EXPECT_NEAR(Solve(Ids::UpperLimit), 1.078799, 3e-5);
}

TEST_F(NormalDistributionPlanning, UnequalSdsUseSatterthwaiteUnlessDfAreGiven) {
  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal}, {{kIntervalGroup, 2}, {kSd2StarGroup, 0}});
  Set(Ids::Sd1Star, "1");
  Set(Ids::Sd2Star, "2");
  Set(Ids::SampleSize1, "10");
  Set(Ids::SampleSize2, "20");
  // se = sqrt(4/20 + 1/10), df = 0.09 / (0.04/19 + 0.01/9) = 27.98182;
  // 2 tq(0.975, df) se = 2.244512 (AS); scipy 2.243983
  EXPECT_NEAR(Solve(Ids::Width), 2.244512, 5e-5);
  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal, kDf}, {{kIntervalGroup, 2}});
  Set(Ids::DegreesOfFreedom, "12");
  // 2 tq(0.975, 12) se = 2.387383 (AS)
  EXPECT_NEAR(Solve(Ids::Width), 2.387383, 5e-5);
}

TEST_F(NormalDistributionPlanning, TwoSamplesWithKnownSdsAndTheSecondAsADifference) {
  Choose(kMeanKnown, kInterval, 2, 2, {}, {{kSd2Group, 1}});
  Set(Ids::Diff, "0.3");
  Set(Ids::Sd1, "1");
  Set(Ids::Sd2MinusSd1, "1");
  Set(Ids::SampleSize1, "10");
  Set(Ids::SampleSize2, "20");
  // 0.3 - norm.isf(0.025) sqrt(4/20 + 1/10) = -0.7735165
  EXPECT_NEAR(Solve(Ids::LowerLimit), -0.7735165, 3e-6);
}

TEST_F(NormalDistributionPlanning, RatioOneGivesEqualSampleSizes) {
  Choose(kMeanUnknown, kInterval, 2, 2, {}, {{kIntervalGroup, 2}, {kSize2Group, 2}});
  Set(Ids::SampleSize1, "25");
  Set(Ids::SampleSize2OverSize1, "1");
  const double byRatio = Criterion();
  Choose(kMeanUnknown, kInterval, 2, 2, {}, {{kIntervalGroup, 2}});
  Set(Ids::SampleSize2, "25");
  EXPECT_DOUBLE_EQ(Criterion(), byRatio);
}

// --- Standard deviations ----------------------------------------------------------

TEST_F(NormalDistributionPlanning, PointEstimatesOfAStandardDeviation) {
  // root of chi2.cdf(1.2 nu, nu) - chi2.cdf(0.8 nu, nu) = 0.95 with nu = n - 1:
  // 191.9916 (the program's chi-square beyond 21 df is Wilson-Hilferty's)
  Choose(kSdUnknownMean, kEstimate, 1, 2);
  Set(Ids::RelativeError, "0.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 191.9916, 0.1);
  // One tail uses only the upper probability: chi2.cdf(1.2 n, n) = 0.95 with
  // the mean known (nu = n): 145.9765
  Choose(kSdKnownMean, kEstimate, 1, 1);
  Set(Ids::UpperRelativeError, "0.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 145.9765, 0.1);
  // Two samples of equal size: f.cdf(1.5, nu, nu) - f.cdf(0.5, nu, nu) = 0.95,
  // nu = n - 1: 69.62291
  Choose(kSdUnknownMean, kEstimate, 2, 2, {}, {{kSize2Group, 2}});
  Set(Ids::RelativeError, "0.5");
  Set(Ids::SampleSize2OverSize1, "1");
  EXPECT_NEAR(Solve(Ids::SampleSize1), 69.62291, 0.01);
}

TEST_F(NormalDistributionPlanning, IntervalsOfAStandardDeviationAndOfARatio) {
  Choose(kSdUnknownMean, kInterval, 1, 2, {}, {{kIntervalGroup, 0}});
  Set(Ids::SdStar, "1.2");
  Set(Ids::SampleSize, "30");
  // 1.2 sqrt(29 / chi2.ppf(0.975, 29)) = 0.9556883 (the quantile beyond 10 df
  // goes through the F quantile's approximation)
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.9556883, 5e-4);
  Choose(kSdUnknownMean, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  Set(Ids::SampleSize, "9");
  // 1.2 sqrt(8 / chi2.ppf(0.025, 8)) = 2.298925
  EXPECT_NEAR(Solve(Ids::UpperLimit), 2.298925, 1e-3);
  Choose(kSdUnknownMean, kInterval, 2, 2, {}, {{kIntervalGroup, 0}});
  Set(Ids::SdRatio, "1.2");
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2, "30");
  // 1.2 / sqrt(f.ppf(0.975, 29, 29)) = 0.8278824
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.8278824, 5e-4);
  Choose(kSdUnknownMean, kInterval, 2, 2, {}, {{kIntervalGroup, 1}});
  Set(Ids::SampleSize1, "8");
  Set(Ids::SampleSize2, "8");
  // 1.2 / sqrt(f.ppf(0.025, 7, 7)) = 2.681915
  EXPECT_NEAR(Solve(Ids::UpperLimit), 2.681915, 1e-3);
  // With the mean known every sample has n degrees of freedom:
  // 1.2 sqrt(9 / chi2.ppf(0.025, 9)) = 2.190732
  Choose(kSdKnownMean, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  Set(Ids::SdStar, "1.2");
  Set(Ids::SampleSize, "9");
  EXPECT_NEAR(Solve(Ids::UpperLimit), 2.190732, 1e-3);
}

// --- Checks and search intervals ------------------------------------------------

TEST_F(NormalDistributionPlanning, RelativeValuesAreCheckedThroughTheirBase) {
  Choose(kMeanKnown, kInterval, 2, 2, {}, {{kSd2Group, 1}});
  Set(Ids::Sd1, "0.3");
  Set(Ids::Sd2MinusSd1, "-0.5");
  EXPECT_DOUBLE_EQ(Solve(Ids::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Std.Dev. 2 - Std.Dev. 1 has to be greater than or equal to -0.29999");
  Choose(kMeanUnknown, kInterval, 2, 2, {}, {{kSize2Group, 1}});
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2MinusSize1, "-28");
  EXPECT_DOUBLE_EQ(Solve(Ids::SdStar), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
}

TEST_F(NormalDistributionPlanning, SearchIntervalsKeepRelativePartnersWithinBounds) {
  Choose(kMeanKnown, kInterval, 2, 2, {}, {{kSd2Group, 1}, {kSize2Group, 2}});
  Set(Ids::Sd1, "0.3");
  Set(Ids::Sd2MinusSd1, "-0.2");
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2OverSize1, "0.5");
  // The second standard deviation, 0.3 + d, stays at or above 0.00001.
  EXPECT_NEAR(Interval(Ids::Sd2MinusSd1).first, 0.00001 - 0.3, 1e-9);
  // The first, s1 - 0.2, likewise.
  EXPECT_NEAR(Interval(Ids::Sd1).first, 0.2 + 0.00001, 1e-9);
  // n2 = 0.5 n1 above 2.00001.
  EXPECT_NEAR(Interval(Ids::SampleSize1).first, 2.00001 / 0.5, 1e-5);
  EXPECT_NEAR(Interval(Ids::SampleSize2OverSize1).first, 2.00001 / 30, 1e-6);
  // The unknown first standard deviation is then found.
  Set(Ids::Diff, "0.3");
  Set(Ids::LowerLimit, "0.1");
  EXPECT_GT(Solve(Ids::Sd1), 0.2);
}

// --- Tests handed on ------------------------------------------------------------

TEST_F(NormalDistributionPlanning, TestsAreThoseOfTheTestModules) {
  struct Case {
    int choice, samples, tails;
    ProcedureModule* module;
  };
  const std::vector<Case> cases = {
      {kMeanKnown, 1, 2, d.modules().Find<NormalZ>()},  {kMeanKnown, 2, 3, d.modules().Find<NormalZ>()},
      {kMeanUnknown, 2, 2, &d.modules().stud},          {kMeanUnknown, 1, 1, &d.modules().stud},
      {kSdKnownMean, 1, 2, d.modules().Find<StandardDeviation>()}, {kSdUnknownMean, 2, 1, d.modules().Find<StandardDeviation>()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    Choose(c.choice, kTest, c.samples, c.tails);
    const std::vector<int> ids = ListedIds();
    const int sizePosition = PositionOf(c.samples == 1 ? Ids::SampleSize : Ids::SampleSize1);
    s.UnknownPosition = static_cast<std::int16_t>(sizePosition);
    s.ResultsCurrent = false;
    CalculateSingle(d);
    const double ours = s.value(sizePosition);
    d.UseModuleForTesting(c.module);
    d.ApplyOptions();
    EXPECT_EQ(ListedIds(), ids);
    s.ResultsCurrent = false;
    CalculateSingle(d);
    if (!std::isnan(ours)) {
      EXPECT_DOUBLE_EQ(s.value(sizePosition), ours);
    }
    EXPECT_EQ(std::isnan(s.value(sizePosition)), std::isnan(ours));  // both without a value
    d.UseModuleForTesting(nullptr);
  }
  // The one-sample t test of a mean: the root of 2 t.sf(0.3 sqrt(n) / 1.2,
  // n - 1) = 0.05 is 63.89790
  Choose(kMeanUnknown, kTest, 1, 2);
  Set(StudentT::Ids::H0Mean, "0");
  Set(StudentT::Ids::Mean, "0.3");
  Set(StudentT::Ids::Sd, "1.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 63.89790, 0.02);
}

// --- Grid of a two-group interval -------------------------------------------------

class NormalGrid : public NormalDistributionPlanning {
 protected:
  void Enter(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      e.Key(kGridKeyRight, cells[0]);
      e.Key(kGridKeyRight, cells[1]);
      e.Key(kGridKeyRight, cells[2]);
      e.Ok(cells[3]);
    };
  }
};

TEST_F(NormalGrid, PooledStandardDeviationOfATwoGroupInterval) {
  Choose(kMeanUnknown, kInterval, 2, 2, {}, {{kSize2Group, 2}});
  Enter({"1", "10", "2", "20"});
  const int row = RowOfPosition(PositionOf(Ids::SdStar));
  EXPECT_EQ(row, 3);
  ASSERT_TRUE(d.CallOpenGroupGrid(row));
  EXPECT_EQ(s.grid.title, "Calculation of Standard Deviation*");
  EXPECT_EQ(s.grid.sideLabel, "Group No");
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"StDev", "N"}));
  // math.sqrt((9 * 1 + 19 * 4) / 28) = 1.742330
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.742330, 1e-6);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "10.0");
  EXPECT_EQ(s.entry(Ids::SampleSize2OverSize1).ParamText, "2.0");
  auto* normal = dynamic_cast<NormalDistribution*>(d.modules().ForDistribution(kNormal));
  ASSERT_NE(normal, nullptr);
  EXPECT_FLOAT_EQ(normal->GridSpread2(), 2.0f);
}

TEST_F(NormalGrid, OnlyThePooledBoxOfAnIntervalOrATestOpensIt) {
  Choose(kMeanUnknown, kInterval, 2);
  Enter({"1", "10", "2", "20"});
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::SampleSize1))));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal});
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::Sd1Star))));
  Choose(kMeanUnknown, kEstimate, 2);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::Sd))));
  Choose(kMeanKnown, kInterval, 2);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::Sd1))));
  Choose(kMeanUnknown, kInterval, 1);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::SdStar))));
  EXPECT_EQ(ui.grids, 0);
  // A test hands the grid to the t-test, whose pooled box is position 5.
  Choose(kMeanUnknown, kTest, 2);
  ASSERT_EQ(PositionOf(StudentT::Ids::Sd), 5);
  ASSERT_TRUE(d.CallOpenGroupGrid(4));
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"StDev", "N"}));
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.742330, 1e-6);
  EXPECT_FLOAT_EQ(d.modules().stud.GridSd2(), 2.0f);
}

TEST_F(NormalGrid, CellChecks) {
  Choose(kMeanUnknown, kInterval, 2);
  ui.gridScript = [](GridEditing& e) {
    EXPECT_FALSE(e.Key(kGridKeyRight, "0"));
    e.Cancel("0");
  };
  EXPECT_FALSE(d.CallOpenGroupGrid(3));
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.front().text, "Standard Deviations Must Be > 0");
  EXPECT_EQ(ui.messages.front().title, s.Description);
  ui.messages.clear();
  Enter({"1", "10", "2", ""});
  ASSERT_TRUE(d.CallOpenGroupGrid(3));
  d.CallApplyGroupGrid();
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");
}

// --- The command line gives the same numbers ------------------------------------

std::string CliValue(const std::vector<std::string>& args, const std::string& caption) {
  std::ostringstream out, err;
  RunCli(args, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(caption + ":", 0) == 0) {
      const auto v = line.find_first_not_of(' ', caption.size() + 1);
      return v == std::string::npos ? std::string() : line.substr(v);
    }
  }
  return "(none)";
}

TEST_F(NormalDistributionPlanning, ResultsAreThoseOfTheCommandLine) {
  Choose(kMeanKnown, kEstimate, 1);
  Set(Ids::AbsoluteError, "0.2");
  Set(Ids::Sd, "1");
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliValue({"--distribution", "0", "--kind", "estimate", "--samples", "1", "--set",
                      "Absolute Error=0.2", "--set", "Standard Deviation=1", "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(Ids::SampleSize).ParamText);

  Choose(kMeanUnknown, kInterval, 2, 2, {kUnequal}, {{kIntervalGroup, 2}});
  Set(Ids::Sd1Star, "1");
  Set(Ids::Sd2Star, "2");
  Set(Ids::Width, "1");
  Solve(Ids::SampleSize1);
  EXPECT_EQ(
      CliValue({"--distribution", "0", "--parameter", "1", "--kind", "interval", "--option", "12", "--mode",
                "32=2", "--set", "139=1", "--set", "140=2", "--set", "100=1", "--unknown", "Sample Size 1"},
               "Sample Size 1"),
      s.entry(Ids::SampleSize1).ParamText);

  Choose(kSdUnknownMean, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  Set(Ids::SdStar, "1.2");
  Set(Ids::UpperLimit, "1.5");
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliValue({"--distribution", "0", "--parameter", "3", "--kind", "interval", "--samples", "1",
                      "--mode", "32=1", "--set", "111=1.2", "--set", "21=1.5", "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(Ids::SampleSize).ParamText);
}

// --- Every choice ends cleanly ------------------------------------------------------

}  // namespace
}  // namespace pelmora
