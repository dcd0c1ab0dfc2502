// The binomial sample distribution: offered options, rows and tails, the
// lists of each kind, the test handed on to the binomial test, the point
// estimate and the confidence interval on hand-checked values, solves for sizes and effects,
// the checks, the command line, and a sweep of every choice.
//
// Reference values come from python3 with scipy 1.10 (Debian).  The normal
// quantile of the precisions and limits is the upper quantile of the error
// level (or of half of it), q = scipy.stats.norm.isf(...).  The program takes
// the tabulated 1.95996 and 1.64485 at 0.025 and 0.05 (norm.isf gives
// 1.9599640 and 1.6448536) and a polynomial with an error near 1e-7
// elsewhere; the tolerances allow for the last decimal of the table, a
// relative 2e-6 in the quantile and 4e-6 in a sample size.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "procedures/distributions/binomial.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/binomial_proportions.h"
#include "session/calculation_rows.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = BinomialDistribution::Ids;
using Common = NormalApproximateEstimate::Ids;
using TestIds = BinomialProportions::Ids;
constexpr int kContinuity = 1, kArcSine = 2, kExact = 7;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kLowerLimit = 0, kUpperLimit = 1, kWidth = 2;

// scipy.stats.norm.isf(0.025) and norm.isf(0.05).
constexpr double kQ975 = 1.9599639845400545;
constexpr double kQ95 = 1.6448536269514729;

class ParBinTest : public testing::PlanningTest {
 protected:
  // Chooses the distribution and its options as the menus and the dialog
  // would, then confirms.
  void Choose(int kind, int samples, int tails, const std::vector<int>& options = {},
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false) {
    ChooseDistribution(4, -1, kind, samples, tails, options, forms, left);
  }
};

TEST_F(ParBinTest, ServesTheBinomialMenuItem) {
  ASSERT_TRUE(d.SelectDistribution(4));
  EXPECT_NE(dynamic_cast<BinomialDistribution*>(d.Module()), nullptr);
  EXPECT_EQ(d.modules().ForDistribution(4), d.modules().Find<BinomialDistribution>());
  EXPECT_EQ(s.dialog.parameterChoices, (std::vector<std::string>{"proportion"}));
}

TEST_F(ParBinTest, OfferedOptionsAndRowsOfEachKind) {
  Choose(kTest, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kArcSine, kExact}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::Proportion}));
  Choose(kTest, 2, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kArcSine}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::Proportion2, group::SampleSize2}));

  Choose(kPointEstimate, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{}));
  Choose(kPointEstimate, 2, 1);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::Proportion2, group::SampleSize2}));

  Choose(kInterval, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::ConfInterval}));
  Choose(kInterval, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::Proportion2, group::SampleSize2, group::ConfInterval}));
}

TEST_F(ParBinTest, TwoOneSidedOnlyForATestAndNotOfTwoSamplesOnTheArcSineScale) {
  Choose(kTest, 1, 3, {kArcSine});
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  EXPECT_EQ(s.TailCount, 3);

  // Two samples: ticking the second box (arc sine) takes two one-sided tests away.
  Choose(kTest, 2, 2);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  d.SetOption(kArcSine, true);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  d.SetTailCount(3);  // the dialog's button is disabled; the session falls back
  EXPECT_EQ(s.TailCount, 2);
  d.SetOption(kArcSine, false);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);

  // Two one-sided tests chosen first: the binomial test ticks the correction
  // and disables the arc-sine box.
  Choose(kTest, 2, 3);
  EXPECT_EQ(s.TailCount, 3);
  EXPECT_TRUE(s.optionChecked(kContinuity));
  EXPECT_FALSE(s.dialog.optionEnabled[1]);

  Choose(kPointEstimate, 1, 3);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  EXPECT_TRUE(s.dialog.tailsEnabled[0]);
  EXPECT_EQ(s.TailCount, 2);
  Choose(kInterval, 1, 1);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  EXPECT_FALSE(s.dialog.tailsEnabled[0]);
  EXPECT_EQ(s.TailCount, 2);
  // Back to a test: all three are offered again.
  d.SetProcedureKind(kTest);
  EXPECT_TRUE(s.dialog.tailsEnabled[0]);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
}

TEST_F(ParBinTest, ParameterListsOfTheEstimates) {
  // Position 1 has no row in the Calculation window: a point estimate keeps
  // id 1 there and lists the error asked for at position 2.
  Choose(kPointEstimate, 1, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ErrorLevel, 1, Common::UpperAbsoluteError,
                                           Ids::PointProportion, Ids::SampleSize}));
  Choose(kPointEstimate, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ErrorLevel, 1, Common::AbsoluteError, Ids::PointProportion,
                                           Ids::SampleSize}));
  const int pointSecond[3] = {Ids::PointProportion2, Ids::PointProportion2MinusProportion1,
                              Ids::PointProportion2OverProportion1};
  const int intervalSecond[3] = {Ids::Proportion2, Ids::Proportion2MinusProportion1,
                                 Ids::Proportion2OverProportion1};
  const int size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1, Ids::SampleSize2OverSize1};
  const int limit[3] = {Common::LowerLimit, Common::UpperLimit, Common::WidthOfInterval};
  for (int form = 0; form < 3; ++form) {
    Choose(kPointEstimate, 2, 2, {}, {{group::Proportion2, form}, {group::SampleSize2, 2 - form}});
    EXPECT_EQ(ListedIds(),
              (std::vector<int>{Common::ErrorLevel, 1, Common::AbsoluteError, Ids::PointProportion1,
                                pointSecond[form], Ids::SampleSize1, size2[2 - form]}));
    EXPECT_EQ(s.ValueMode, 2 - form);
    Choose(kInterval, 1, 2, {}, {{group::ConfInterval, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ConfidenceLevel, Common::ProbWidthBelow, Ids::Proportion,
                                             limit[form], Ids::SampleSize}));
    Choose(kInterval, 2, 2, {},
           {{group::Proportion2, form}, {group::SampleSize2, form}, {group::ConfInterval, 2}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ConfidenceLevel, Common::ProbWidthBelow,
                                             Ids::Proportion1, intervalSecond[form], Common::WidthOfInterval,
                                             Ids::SampleSize1, size2[form]}));
  }
  // The captions the Calculation window shows.
  Choose(kInterval, 2, 2, {}, {{group::Proportion2, 1}});
  EXPECT_EQ(s.entryAt(0).ParamCaption, "Confidence &Level");
  EXPECT_EQ(s.entryAt(1).ParamCaption, "&Prob ( Width Of Interval < w )");
  EXPECT_EQ(s.entryAt(2).ParamCaption, "Pr&oportion 1*");
  EXPECT_EQ(s.entryAt(3).ParamCaption, "Propor&tion 2* - Proportion 1*");
  EXPECT_EQ(s.entryAt(4).ParamCaption, "&Lower Limit");
  Choose(kPointEstimate, 2, 2);
  EXPECT_EQ(s.entryAt(2).ParamCaption, "A&bsolute Error");
  EXPECT_EQ(s.entryAt(3).ParamCaption, "Pr&oportion 1");
  EXPECT_EQ(s.entryAt(4).ParamCaption, "Propor&tion 2");
  Choose(kPointEstimate, 1, 1);
  EXPECT_EQ(s.entryAt(2).ParamCaption, "&Upper Absolute Error");
}

TEST_F(ParBinTest, TheErrorAskedForIsARowOfTheWindow) {
  for (int tails = 1; tails <= 2; ++tails) {
    for (int samples = 1; samples <= 2; ++samples) {
      Choose(kPointEstimate, samples, tails);
      const std::vector<CalculationRow> rows = CalculationRows(s);
      ASSERT_GE(rows.size(), 2u);
      EXPECT_EQ(rows[0].caption, "Error &Level");
      EXPECT_EQ(rows[1].position, 2);
      EXPECT_EQ(rows[1].caption, tails == 1 ? "&Upper Absolute Error" : "A&bsolute Error");
      // Every listed value but position 1 has a row.
      EXPECT_EQ(rows.size(), static_cast<std::size_t>(s.LastPosition));
    }
  }
  // Typed into its row, the error is what the criterion reads:
  // norm.isf(0.025) 0.5 / sqrt(50) - 0.05 = 0.088590382 and, with 0.15, -0.011409618.
  Choose(kPointEstimate, 1, 2);
  Set(Common::ErrorLevel, "0.05");
  Set(Ids::PointProportion, "0.5");
  Set(Ids::SampleSize, "50");
  Set(Common::AbsoluteError, "0.05");
  EXPECT_NEAR(Criterion(), 0.088590382, 1e-6);
  Set(Common::AbsoluteError, "0.15");
  EXPECT_NEAR(Criterion(), -0.011409618, 1e-6);
  // ... and it can be solved for: the error reached by n = 50 at p = 0.5 is
  // norm.isf(0.025) 0.5 / sqrt(50) = 0.138590382.
  EXPECT_NEAR(Solve(Common::AbsoluteError), 0.138590382, 1e-6);
  // Whatever the start-up text of position 1 says, it is not read.
  s.entryAt(1).ParamText = "0.5";
  Set(Common::AbsoluteError, "0.1");
  EXPECT_NEAR(Criterion(), 0.038590382, 1e-6);
}

TEST_F(ParBinTest, Descriptions) {
  Choose(kTest, 1, 1);
  EXPECT_EQ(s.Description, "Binomial Distribution. Test of Proportion. 1-sided.");
  Choose(kTest, 2, 3);  // the correction is ticked for two one-sided tests of two samples
  EXPECT_EQ(s.Description,
            "Binomial Distribution. Test of Proportion2 - Proportion1.Two 1-sided. Continuity Correction.");
  Choose(kPointEstimate, 1, 2, {kContinuity});
  EXPECT_EQ(s.Description,
            "Binomial Distribution. Point Estimate of Proportion. 2-sided. Continuity Correction.");
  Choose(kInterval, 2, 2);
  EXPECT_EQ(s.Description, "Binomial Distribution. Conf. Interval for Proportion2 - Proportion1. 2-sided.");
}

TEST_F(ParBinTest, TheTestIsTheBinomialTests) {
  Choose(kTest, 2, 2, {kContinuity}, {{group::Proportion2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, TestIds::H0Difference, TestIds::Proportion1,
                                           TestIds::Proportion2MinusProportion1, TestIds::SampleSize1,
                                           TestIds::SampleSize2}));
  Set(TestIds::H0Difference, "0");
  Set(TestIds::Proportion1, "0.4");
  Set(TestIds::Proportion2MinusProportion1, "0.2");
  Set(TestIds::SampleSize1, "50");
  Set(TestIds::SampleSize2, "70");
  const double viaDistribution = Criterion();
  BinomialProportions& test = *d.modules().Find<BinomialProportions>();
  test.BuildParameterList(s);
  EXPECT_EQ(viaDistribution, test.EvaluateCriterion(s));
  // The binomial test's checks: the second proportion within its bounds.
  Set(TestIds::Proportion2MinusProportion1, "0.7");
  EXPECT_EQ(Solve(TestIds::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Proportion 2* - Proportion 1* has to be less than or equal to 0.59999");

  // One sample, two-sided, no option: H0 0.30 and 0.50 assumed; the sample
  // size solves 2 (1 - Phi(0.2 / sqrt(0.21 / n))) = 0.05:
  // (norm.ppf(0.975) * sqrt(0.21) / 0.2)^2 = 20.167659
  Choose(kTest, 1, 2);
  Set(TestIds::H0Proportion, "0.30");
  Set(TestIds::Proportion, "0.50");
  Set(0, "0.05");
  EXPECT_NEAR(Solve(TestIds::SampleSize), 20.167659, 2e-3);
}

TEST_F(ParBinTest, PointEstimateOfOneProportion) {
  Choose(kPointEstimate, 1, 2);
  Set(Common::ErrorLevel, "0.05");
  Set(Common::AbsoluteError, "0.1");
  Set(Ids::PointProportion, "0.5");
  Set(Ids::SampleSize, "50");
  // norm.isf(0.025) * 0.5 / sqrt(50) - 0.1
  EXPECT_NEAR(Criterion(), kQ975 * 0.5 / std::sqrt(50.0) - 0.1, 1e-6);
  // The error 1.96 x 0.5 / sqrt(n) reaches 0.1 at (norm.isf(0.025) x 0.5 / 0.1)^2 = 96.036471
  // (96.0361 with the tabulated 1.95996).
  EXPECT_NEAR(Solve(Ids::SampleSize), 96.036471, 1e-3);

  // The continuity correction shortens the error by 1/(2n): the zero of
  // q 0.5 / sqrt(n) - 1/(2n) - 0.1 lies at a smaller n, q = norm.isf(0.025):
  // scipy.optimize.brentq(lambda n: q * 0.5 / sqrt(n) - 1 / (2 * n) - 0.1, 3, 1000) = 85.744908
  Choose(kPointEstimate, 1, 2, {kContinuity});
  Set(Ids::SampleSize, "50");
  // q * 0.5 / sqrt(50) - 1 / 100 - 0.1 = 0.028590382
  EXPECT_NEAR(Criterion(), 0.028590382, 1e-6);
  EXPECT_NEAR(Solve(Ids::SampleSize), 85.744908, 1e-3);

  // One tail: q = norm.isf(0.05); p = 0.3, E = 0.05: (q sqrt(0.21) / 0.05)^2 = 227.265650
  Choose(kPointEstimate, 1, 1);
  Set(Common::UpperAbsoluteError, "0.05");
  Set(Ids::PointProportion, "0.3");
  EXPECT_NEAR(Solve(Ids::SampleSize), 227.265650, 3e-3);
  EXPECT_NEAR((kQ95 * std::sqrt(0.21) / 0.05) * (kQ95 * std::sqrt(0.21) / 0.05), 227.265650, 1e-6);
}

TEST_F(ParBinTest, ConfidenceIntervalOfOneProportion) {
  // CL 0.95, p = 0.3, n = 50, with the correction 1/(2n) = 0.01, q = norm.isf(0.025):
  // lower 0.3 + 0.01 - q sqrt(0.21/50) = 0.182979816, upper 0.3 - 0.01 + q se = 0.417020184,
  // width 2 q se - 0.02 = 0.234040367
  const double expected[3] = {0.182979816, 0.417020184, 0.234040367};
  for (int kind = 0; kind < 3; ++kind) {
    Choose(kInterval, 1, 2, {kContinuity}, {{group::ConfInterval, kind}});
    Set(Common::ConfidenceLevel, "0.95");
    Set(Ids::Proportion, "0.3");
    Set(Ids::SampleSize, "50");
    const int limit = s.ParameterList[3];
    Set(limit, "0");
    EXPECT_NEAR(Criterion(), expected[kind], 1e-6) << kind;
    Set(limit, "0.2");
    EXPECT_NEAR(Criterion(), expected[kind] - 0.2, 1e-6) << kind;
  }
  // The width is upper limit minus lower limit, whichever limit might have
  // been chosen: it depends on se and cc only.
  EXPECT_NEAR(expected[2], expected[1] - expected[0], 2e-9);

  // scipy.optimize.brentq(lambda n: 0.3 + 1/(2n) - q sqrt(0.21/n) - 0.2, 3, 10000) = 70.315093
  Choose(kInterval, 1, 2, {kContinuity}, {{group::ConfInterval, kLowerLimit}});
  Set(Common::LowerLimit, "0.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 70.315093, 2e-3);

  // The proportion of a width 0.15 at n = 100 (no correction): the smaller
  // root of 2 q sqrt(p (1 - p) / 100) = 0.15, (1 - sqrt(1 - 4 (0.75/q)^2)) / 2 = 0.178175120
  Choose(kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}});
  Set(Ids::SampleSize, "100");
  Set(Common::WidthOfInterval, "0.15");
  EXPECT_NEAR(Solve(Ids::Proportion), 0.178175120, 1e-5);
  // Its complement, 1 - 0.178175120, gives the same width.
  Set(Ids::Proportion, "0.82182488");
  EXPECT_NEAR(Criterion(), 0, 2e-6);
  // The confidence level of that width at p = 0.3 (the quantile is the
  // polynomial here, not a tabulated value):
  // brentq(lambda cl: norm.isf((1 - cl)/2) - 0.15 / (2 sqrt(0.0021)), 0.5, 0.999) = 0.898293070
  Set(Ids::Proportion, "0.3");
  EXPECT_NEAR(Solve(Common::ConfidenceLevel), 0.898293070, 1e-5);
}

TEST_F(ParBinTest, TwoProportions) {
  // Point estimate, p1 0.5, p2 0.7, N1 40, N2 60.
  Choose(kPointEstimate, 2, 2);
  Set(Common::ErrorLevel, "0.05");
  Set(Common::AbsoluteError, "0.1");
  Set(Ids::PointProportion1, "0.5");
  Set(Ids::PointProportion2, "0.7");
  Set(Ids::SampleSize1, "40");
  Set(Ids::SampleSize2, "60");
  // q sqrt(0.25/40 + 0.21/60) - 0.1 = 0.093530937, q = norm.isf(0.025)
  EXPECT_NEAR(Criterion(), 0.093530937, 1e-6);
  // The same with the second proportion as a difference or a ratio.
  Choose(kPointEstimate, 2, 2, {}, {{group::Proportion2, 1}});
  Set(Ids::PointProportion2MinusProportion1, "0.2");
  EXPECT_NEAR(Criterion(), 0.093530937, 1e-6);
  // A difference of 0 makes p2 = p1: q sqrt(0.25/40 + 0.25/60) - 0.1
  Set(Ids::PointProportion2MinusProportion1, "0");
  EXPECT_NEAR(Criterion(), kQ975 * std::sqrt(0.25 / 40 + 0.25 / 60) - 0.1, 1e-6);
  Choose(kPointEstimate, 2, 2, {}, {{group::Proportion2, 2}, {group::SampleSize2, 2}});
  Set(Ids::PointProportion2OverProportion1, "1.4");
  Set(Ids::SampleSize2OverSize1, "1.5");
  EXPECT_NEAR(Criterion(), 0.093530937, 1e-6);
  // N2 = 1.5 N1: q^2 (0.25 + 0.21/1.5) / 0.01 = 149.816894
  EXPECT_NEAR(Solve(Ids::SampleSize1), 149.816894, 2e-3);

  // Interval, p1 0.4, p2 0.5, N1 80, N2 120 with the correction (1/80 + 1/120)/2:
  // lower 0.1 + cc - q sqrt(0.24/80 + 0.25/120) = -0.029323863, upper 0.229323863
  Choose(kInterval, 2, 2, {kContinuity}, {{group::ConfInterval, kLowerLimit}});
  Set(Common::ConfidenceLevel, "0.95");
  Set(Ids::Proportion1, "0.4");
  Set(Ids::Proportion2, "0.5");
  Set(Ids::SampleSize1, "80");
  Set(Ids::SampleSize2, "120");
  Set(Common::LowerLimit, "0");
  EXPECT_NEAR(Criterion(), -0.029323863, 1e-6);
  Choose(kInterval, 2, 2, {kContinuity}, {{group::ConfInterval, kUpperLimit}});
  Set(Common::UpperLimit, "0");
  EXPECT_NEAR(Criterion(), 0.229323863, 1e-6);

  // Width 0.3 of p2 - p1 = 0.1 from p1 = 0.4, N2 = N1, with the correction:
  // brentq(lambda N: 2 q sqrt(0.49 / N) - 2 / N - 0.3, 10, 10000) = 69.687334
  Choose(kInterval, 2, 2, {kContinuity},
         {{group::Proportion2, 1}, {group::SampleSize2, 2}, {group::ConfInterval, kWidth}});
  Set(Ids::Proportion1, "0.4");
  Set(Ids::Proportion2MinusProportion1, "0.1");
  Set(Ids::SampleSize2OverSize1, "1");
  Set(Common::WidthOfInterval, "0.3");
  EXPECT_NEAR(Solve(Ids::SampleSize1), 69.687334, 2e-3);
}

TEST_F(ParBinTest, SolvesForTheSecondQuantitiesBelowThePeakVariance) {
  // Width 0.2 of p1 = 0.3 and p2 at N1 = N2 = 100 (no correction):
  // 2 q sqrt(0.0021 + p2 (1 - p2)/100) = 0.2; the smaller p2 is
  // (1 - sqrt(1 - 4 c)) / 2 with c = 100 ((0.1/q)^2 - 0.0021): 0.053141825
  Choose(kInterval, 2, 2, {}, {{group::ConfInterval, kWidth}});
  Set(Ids::Proportion1, "0.3");
  Set(Ids::SampleSize1, "100");
  Set(Ids::SampleSize2, "100");
  Set(Common::WidthOfInterval, "0.2");
  const double p2 = 0.053141825;
  EXPECT_NEAR(Solve(Ids::Proportion2), p2, 2e-5);
  // As a ratio to p1 and as a difference: the same proportion.
  Choose(kInterval, 2, 2, {}, {{group::Proportion2, 2}, {group::ConfInterval, kWidth}});
  EXPECT_NEAR(Solve(Ids::Proportion2OverProportion1), p2 / 0.3, 1e-4);
  Choose(kInterval, 2, 2, {}, {{group::Proportion2, 1}, {group::ConfInterval, kWidth}});
  EXPECT_NEAR(Solve(Ids::Proportion2MinusProportion1), p2 - 0.3, 2e-5);
  // The first proportion with p2 = p1 + 0.1: the sum of the variances peaks
  // at p1 = 0.45; below it, brentq(lambda p1: q sqrt((p1 (1 - p1) +
  // (p1 + 0.1) (0.9 - p1)) / 100) - 0.1, 1e-5, 0.45) = 0.107449107
  Set(Ids::Proportion2MinusProportion1, "0.1");
  EXPECT_NEAR(Solve(Ids::Proportion1), 0.107449107, 2e-5);
}

TEST_F(ParBinTest, TheCorrectionSolvesOnTheFallingBranch) {
  // p = 0.02, E = 0.01 with the correction: q sqrt(0.0196/n) - 1/(2n) - 0.01
  // rises to its peak at n = 1/(q^2 0.0196) = 13.281519 and falls after it;
  // of its zeros 3.851639 and 649.074290 (scipy.optimize.brentq, q =
  // norm.isf(0.025)) the falling branch's is the one larger studies keep.
  Choose(kPointEstimate, 1, 2, {kContinuity});
  Set(Common::ErrorLevel, "0.05");
  Set(Common::AbsoluteError, "0.01");
  Set(Ids::PointProportion, "0.02");
  EXPECT_NEAR(Solve(Ids::SampleSize), 649.074290, 0.02);
}

TEST_F(ParBinTest, ChecksOfTheSecondProportionAndSize) {
  Choose(kPointEstimate, 2, 2, {}, {{group::Proportion2, 1}});
  Set(Ids::PointProportion1, "0.5");
  Set(Ids::PointProportion2MinusProportion1, "0.6");
  EXPECT_EQ(Solve(Ids::SampleSize1), kNoResult);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Proportion 2 - Proportion 1 has to be less than or equal to 0.49999");
  // The unknown base is not checked against its relative partner.
  ui.messages.clear();
  Set(Ids::SampleSize1, "30");
  Solve(Ids::PointProportion1);
  EXPECT_EQ(ui.LastText(), "");

  Choose(kInterval, 2, 2, {}, {{group::SampleSize2, 1}});
  ui.messages.clear();
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2MinusSize1, "-28");
  EXPECT_EQ(Solve(Ids::Proportion1), kNoResult);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
}

TEST_F(ParBinTest, AnUndefinedKindListsNothingToSolve) {
  Choose(kPointEstimate, 1, 2);
  s.ProcedureKind = 3;
  d.CallBuildParameterList();
  EXPECT_EQ(s.LastPosition, 1);
  s.UnknownPosition = 0;
  s.ResultsCurrent = false;
  EXPECT_NE(CalculateSingle(d), SingleOutcome::Solved);
  EXPECT_EQ(d.CallEvaluateCriterion(), 0.0);
}

// The value the command line prints for a caption.
std::string CliValue(const std::vector<std::string>& args, const std::string& caption) {
  std::ostringstream out, err;
  RunCli(args, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(caption + ":", 0) != 0) continue;
    const auto first = line.find_first_not_of(' ', caption.size() + 1);
    return first == std::string::npos ? "" : line.substr(first);
  }
  return "(none)";
}

TEST_F(ParBinTest, ResultsEqualTheCommandLine) {
  Choose(kPointEstimate, 1, 2, {kContinuity});
  Set(Common::ErrorLevel, "0.05");
  Set(Ids::PointProportion, "0.5");
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliValue({"--distribution", "4", "--kind", "estimate", "--samples", "1", "--option", "1", "--set",
                      "Proportion=0.5", "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(Ids::SampleSize).ParamText);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "85.745");

  // The error asked for is set like any other value.
  Choose(kPointEstimate, 2, 1, {}, {{group::SampleSize2, 2}});
  Set(Common::UpperAbsoluteError, "0.05");
  Set(Ids::PointProportion1, "0.4");
  Set(Ids::PointProportion2, "0.6");
  Set(Ids::SampleSize2OverSize1, "1");
  Solve(Ids::SampleSize1);
  // norm.isf(0.05)^2 (0.24 + 0.24) / 0.05^2 = 519.464343
  EXPECT_NEAR(s.value(PositionOf(Ids::SampleSize1)), 519.464343, 5e-3);
  EXPECT_EQ(CliValue({"--distribution", "4",
                      "--kind",         "estimate",
                      "--samples",      "2",
                      "--tails",        "1",
                      "--mode",         "2=2",
                      "--set",          "Upper Absolute Error=0.05",
                      "--set",          "Proportion 1=0.4",
                      "--set",          "Proportion 2=0.6",
                      "--set",          "Sample Size 2 / Sample Size 1=1",
                      "--unknown",      "Sample Size 1"},
                     "Sample Size 1"),
            s.entry(Ids::SampleSize1).ParamText);

  Choose(kInterval, 2, 2, {}, {{group::Proportion2, 2}, {group::ConfInterval, kWidth}});
  Set(Ids::Proportion1, "0.4");
  Set(Ids::Proportion2OverProportion1, "1.25");
  Set(Ids::SampleSize2, "50");
  Set(Common::WidthOfInterval, "0.3");
  Solve(Ids::SampleSize1);
  EXPECT_EQ(CliValue({"--distribution", "4",
                      "--kind",         "interval",
                      "--samples",      "2",
                      "--mode",         "12=2",
                      "--mode",         "32=2",
                      "--set",          "Proportion 1=0.4",
                      "--set",          "Proportion 2 / Proportion 1=1.25",
                      "--set",          "Sample Size 2=50",
                      "--set",          "Width Of Interval=0.3",
                      "--unknown",      "Sample Size 1"},
                     "Sample Size 1"),
            s.entry(Ids::SampleSize1).ParamText);

  Choose(kTest, 1, 1, {kExact});
  Set(TestIds::H0Proportion, "0.3");
  Set(TestIds::Proportion, "0.5");
  Solve(TestIds::SampleSize);
  EXPECT_EQ(CliValue({"--distribution", "4", "--samples", "1", "--tails", "1", "--option", "7", "--set",
                      "H0: Proportion=0.3", "--set", "Proportion=0.5", "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(TestIds::SampleSize).ParamText);
}

}  // namespace
}  // namespace pelmora
