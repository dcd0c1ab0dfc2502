// The binomial sample distribution: the point estimate and the confidence
// interval on hand-checked values, solves for sizes and effects, the checks,
// the rules of the tails, and the test handed on to the binomial test.
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

#include "procedures/distributions/binomial.h"
#include "procedures/hypothesis/binomial_proportions.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/module_set.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = BinomialDistribution::Ids;
using Common = NormalApproximateEstimate::Ids;
using TestIds = BinomialProportions::Ids;
using testing::kCriterion;
constexpr int kContinuity = 1, kArcSine = 2;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kLowerLimit = 0, kUpperLimit = 1, kWidth = 2;

// scipy.stats.norm.isf(0.025) and norm.isf(0.05).
constexpr double kQ975 = 1.9599639845400545;
constexpr double kQ95 = 1.6448536269514729;

testing::Choice Bin(int kind, int samples, int tails, std::vector<int> options = {},
 testing::Forms forms = {}) {
 return testing::DistChoice(Procedure::BinomialDistribution, -1, kind, samples, tails, std::move(options), std::move(forms));
}

class ParBinTest : public testing::PlanningTest {};

// clang-format off
TEST_F(ParBinTest, OneProportion) {
  const testing::Values p5n50 = {{Ids::PointProportion, "0.5"}, {Ids::SampleSize, "50"}};
  const testing::Values interval = {{Ids::Proportion, "0.3"}, {Ids::SampleSize, "50"}};
  // CL 0.95, p = 0.3, n = 50, with the correction 1/(2n) = 0.01, q = norm.isf(0.025): lower 0.3 + 0.01 -
  // q sqrt(0.21/50) = 0.182979816, upper 0.3 - 0.01 + q se = 0.417020184, width 2 q se - 0.02 = 0.234040367
  const double limits[3] = {0.182979816, 0.417020184, 0.234040367};
  const int limitIds[3] = {Common::LowerLimit, Common::UpperLimit, Common::WidthOfInterval};
  std::vector<testing::Reference> rows = {
    // the error asked for stands at position 2, where it is typed, and position 1 is not read:
    // norm.isf(0.025) 0.5 / sqrt(50) - 0.05 = 0.088590382 and, with 0.15 and 0.1, -0.011409618 and
    // 0.038590382;
    // the error reached by n = 50 at p = 0.5 is norm.isf(0.025) 0.5 / sqrt(50) = 0.138590382
    {Bin(kPointEstimate, 1, 2), {{Common::AbsoluteError, "0.05"}, {Ids::PointProportion, "0.5"},
     {Ids::SampleSize, "50"}}, kCriterion, 0.088590382, 1e-6},
    {Bin(kPointEstimate, 1, 2), {{Common::AbsoluteError, "0.15"}, {Ids::PointProportion, "0.5"},
     {Ids::SampleSize, "50"}}, kCriterion, -0.011409618, 1e-6},
    {Bin(kPointEstimate, 1, 2), {{1, "0.5"}, {Common::AbsoluteError, "0.1"}, {Ids::PointProportion, "0.5"},
     {Ids::SampleSize, "50"}}, kCriterion, 0.038590382, 1e-6},
    {Bin(kPointEstimate, 1, 2), p5n50, Common::AbsoluteError, 0.138590382, 1e-6},
    // norm.isf(0.025) * 0.5 / sqrt(50) - 0.1; the error 1.96 x 0.5 / sqrt(n) reaches 0.1 at
    // (norm.isf(0.025) x 0.5 / 0.1)^2 = 96.036471 (96.0361 with the tabulated 1.95996)
    {Bin(kPointEstimate, 1, 2), p5n50, kCriterion, kQ975 * 0.5 / std::sqrt(50.0) - 0.1, 1e-6},
    {Bin(kPointEstimate, 1, 2), p5n50, Ids::SampleSize, 96.036471, 1e-3},
    // the continuity correction shortens the error by 1/(2n): q * 0.5 / sqrt(50) - 1 / 100 - 0.1; the zero of
    // q 0.5 / sqrt(n) - 1/(2n) - 0.1 lies at a smaller n:
    // scipy.optimize.brentq(lambda n: q * 0.5 / sqrt(n) - 1 / (2 * n) - 0.1, 3, 1000)
    {Bin(kPointEstimate, 1, 2, {kContinuity}), p5n50, kCriterion, 0.028590382, 1e-6},
    {Bin(kPointEstimate, 1, 2, {kContinuity}), p5n50, Ids::SampleSize, 85.744908, 1e-3},
    // one tail: q = norm.isf(0.05); p = 0.3, E = 0.05: (q sqrt(0.21) / 0.05)^2
    {Bin(kPointEstimate, 1, 1), {{Common::UpperAbsoluteError, "0.05"}, {Ids::PointProportion, "0.3"}},
     Ids::SampleSize, (kQ95 * std::sqrt(0.21) / 0.05) * (kQ95 * std::sqrt(0.21) / 0.05), 3e-3},
    // p = 0.02, E = 0.01 with the correction: q sqrt(0.0196/n) - 1/(2n) - 0.01 rises to its peak at
    // n = 1/(q^2 0.0196) = 13.281519 and falls after it; of its zeros 3.851639 and 649.074290
    // (scipy.optimize.brentq, q = norm.isf(0.025)) the falling branch's is the one larger studies keep
    {Bin(kPointEstimate, 1, 2, {kContinuity}), {{Common::AbsoluteError, "0.01"},
     {Ids::PointProportion, "0.02"}}, Ids::SampleSize, 649.074290, 0.02},
    // scipy.optimize.brentq(lambda n: 0.3 + 1/(2n) - q sqrt(0.21/n) - 0.2, 3, 10000)
    {Bin(kInterval, 1, 2, {kContinuity}, {{group::ConfInterval, kLowerLimit}}), {{Ids::Proportion, "0.3"},
     {Common::LowerLimit, "0.2"}}, Ids::SampleSize, 70.315093, 2e-3},
    // the proportion of a width 0.15 at n = 100 (no correction): the smaller root of
    // 2 q sqrt(p (1 - p) / 100) = 0.15, (1 - sqrt(1 - 4 (0.75/q)^2)) / 2; its complement gives the same width
    {Bin(kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}}), {{Ids::SampleSize, "100"},
     {Common::WidthOfInterval, "0.15"}}, Ids::Proportion, 0.178175120, 1e-5},
    {Bin(kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}}), {{Ids::SampleSize, "100"},
     {Common::WidthOfInterval, "0.15"}, {Ids::Proportion, "0.82182488"}}, kCriterion, 0, 2e-6},
    // the confidence level of that width at p = 0.3 (the quantile is the polynomial here):
    // brentq(lambda cl: norm.isf((1 - cl)/2) - 0.15 / (2 sqrt(0.0021)), 0.5, 0.999)
    {Bin(kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}}), {{Ids::SampleSize, "100"},
     {Common::WidthOfInterval, "0.15"}, {Ids::Proportion, "0.3"}},
     Common::ConfidenceLevel, 0.898293070, 1e-5},
  };
  // The width is upper limit minus lower limit: it depends on se and cc only.
  EXPECT_NEAR(limits[2], limits[1] - limits[0], 2e-9);
  for (int kind = 0; kind < 3; ++kind) {
    for (const char* limit : {"0", "0.2"}) {
      testing::Values values = interval;
      values.push_back({limitIds[kind], limit});
      rows.push_back({Bin(kInterval, 1, 2, {kContinuity}, {{group::ConfInterval, kind}}), values, kCriterion,
                      limits[kind] - std::atof(limit), 1e-6});
    }
  }
  ExpectReferences(rows);
}

TEST_F(ParBinTest, TwoProportions) {
  const testing::Values width = {{Ids::Proportion1, "0.3"}, {Ids::SampleSize1, "100"},
   {Ids::SampleSize2, "100"},
                                 {Common::WidthOfInterval, "0.2"}};
  // Width 0.2 of p1 = 0.3 and p2 at N1 = N2 = 100 (no correction): 2 q sqrt(0.0021 + p2 (1 - p2)/100) = 0.2;
  // the smaller p2 is (1 - sqrt(1 - 4 c)) / 2 with c = 100 ((0.1/q)^2 - 0.0021)
  const double p2 = 0.053141825;
  ExpectReferences({
    // point estimate, p1 0.5, p2 0.7, N1 40, N2 60: q sqrt(0.25/40 + 0.21/60) - 0.1, q = norm.isf(0.025),
    // with
    // the second proportion also as a difference or a ratio; a difference of 0 makes p2 = p1:
    // q sqrt(0.25/40 + 0.25/60) - 0.1
    {Bin(kPointEstimate, 2, 2), {{Ids::PointProportion1, "0.5"}, {Ids::PointProportion2, "0.7"},
     {Ids::SampleSize1, "40"}, {Ids::SampleSize2, "60"}}, kCriterion, 0.093530937, 1e-6},
    {Bin(kPointEstimate, 2, 2, {}, {{group::Proportion2, 1}}), {{Ids::PointProportion1, "0.5"},
     {Ids::PointProportion2MinusProportion1, "0.2"}, {Ids::SampleSize1, "40"}, {Ids::SampleSize2, "60"}},
     kCriterion, 0.093530937, 1e-6},
    {Bin(kPointEstimate, 2, 2, {}, {{group::Proportion2, 1}}), {{Ids::PointProportion1, "0.5"},
     {Ids::PointProportion2MinusProportion1, "0"}, {Ids::SampleSize1, "40"}, {Ids::SampleSize2, "60"}},
     kCriterion, kQ975 * std::sqrt(0.25 / 40 + 0.25 / 60) - 0.1, 1e-6},
    {Bin(kPointEstimate, 2, 2, {}, {{group::Proportion2, 2}, {group::SampleSize2, 2}}),
     {{Ids::PointProportion1, "0.5"}, {Ids::PointProportion2OverProportion1, "1.4"}, {Ids::SampleSize1, "40"},
     {Ids::SampleSize2OverSize1, "1.5"}}, kCriterion, 0.093530937, 1e-6},
    // N2 = 1.5 N1: q^2 (0.25 + 0.21/1.5) / 0.01
    {Bin(kPointEstimate, 2, 2, {}, {{group::Proportion2, 2}, {group::SampleSize2, 2}}),
     {{Ids::PointProportion1, "0.5"}, {Ids::PointProportion2OverProportion1, "1.4"},
     {Ids::SampleSize2OverSize1, "1.5"}}, Ids::SampleSize1, 149.816894, 2e-3},
    // one tail, N2 = N1: norm.isf(0.05)^2 (0.24 + 0.24) / 0.05^2
    {Bin(kPointEstimate, 2, 1, {}, {{group::SampleSize2, 2}}), {{Common::UpperAbsoluteError, "0.05"},
     {Ids::PointProportion1, "0.4"}, {Ids::PointProportion2, "0.6"}, {Ids::SampleSize2OverSize1, "1"}},
     Ids::SampleSize1, 519.464343, 5e-3},
    // interval, p1 0.4, p2 0.5, N1 80, N2 120 with the correction (1/80 + 1/120)/2:
    // lower 0.1 + cc - q sqrt(0.24/80 + 0.25/120) = -0.029323863, upper 0.229323863
    {Bin(kInterval, 2, 2, {kContinuity}, {{group::ConfInterval, kLowerLimit}}), {{Ids::Proportion1, "0.4"},
     {Ids::Proportion2, "0.5"}, {Ids::SampleSize1, "80"}, {Ids::SampleSize2, "120"},
     {Common::LowerLimit, "0"}},
     kCriterion, -0.029323863, 1e-6},
    {Bin(kInterval, 2, 2, {kContinuity}, {{group::ConfInterval, kUpperLimit}}), {{Ids::Proportion1, "0.4"},
     {Ids::Proportion2, "0.5"}, {Ids::SampleSize1, "80"}, {Ids::SampleSize2, "120"},
     {Common::UpperLimit, "0"}},
     kCriterion, 0.229323863, 1e-6},
    // width 0.3 of p2 - p1 = 0.1 from p1 = 0.4, N2 = N1, with the correction:
    // brentq(lambda N: 2 q sqrt(0.49 / N) - 2 / N - 0.3, 10, 10000)
    {Bin(kInterval, 2, 2, {kContinuity}, {{group::Proportion2, 1}, {group::SampleSize2, 2},
     {group::ConfInterval, kWidth}}), {{Ids::Proportion1, "0.4"}, {Ids::Proportion2MinusProportion1, "0.1"},
     {Ids::SampleSize2OverSize1, "1"}, {Common::WidthOfInterval, "0.3"}}, Ids::SampleSize1, 69.687334, 2e-3},
    // the second proportion below the peak variance, also as a ratio to p1 and as a difference
    {Bin(kInterval, 2, 2, {}, {{group::ConfInterval, kWidth}}), width, Ids::Proportion2, p2, 2e-5},
    {Bin(kInterval, 2, 2, {}, {{group::Proportion2, 2}, {group::ConfInterval, kWidth}}), width,
     Ids::Proportion2OverProportion1, p2 / 0.3, 1e-4},
    {Bin(kInterval, 2, 2, {}, {{group::Proportion2, 1}, {group::ConfInterval, kWidth}}), width,
     Ids::Proportion2MinusProportion1, p2 - 0.3, 2e-5},
    // the first proportion with p2 = p1 + 0.1: the sum of the variances peaks at p1 = 0.45; below it,
    // brentq(lambda p1: q sqrt((p1 (1 - p1) + (p1 + 0.1) (0.9 - p1)) / 100) - 0.1, 1e-5, 0.45)
    {Bin(kInterval, 2, 2, {}, {{group::Proportion2, 1}, {group::ConfInterval, kWidth}}),
     {{Ids::SampleSize1, "100"},
     {Ids::SampleSize2, "100"}, {Common::WidthOfInterval, "0.2"}, {Ids::Proportion2MinusProportion1, "0.1"}},
     Ids::Proportion1, 0.107449107, 2e-5},
    // checks of the second proportion and size; the unknown base is not checked against its partner (and
    // here, below the peak variance at p1 = 0.2, q sqrt((p1 (1 - p1) + (p1 + 0.6)(0.4 - p1)) / 30) stays
    // above 0.1)
    {Bin(kPointEstimate, 2, 2, {}, {{group::Proportion2, 1}}), {{Ids::PointProportion1, "0.5"},
     {Ids::PointProportion2MinusProportion1, "0.6"}}, Ids::SampleSize1, kNoResult, 0,
     "Proportion 2 - Proportion 1 has to be less than or equal to 0.49999"},
    {Bin(kPointEstimate, 2, 2, {}, {{group::Proportion2, 1}}), {{Ids::PointProportion1, "0.5"},
     {Ids::PointProportion2MinusProportion1, "0.6"}}, Ids::PointProportion1, kNoResult, 0},
    {Bin(kInterval, 2, 2, {}, {{group::SampleSize2, 1}}), {{Ids::SampleSize1, "30"},
     {Ids::SampleSize2MinusSize1, "-28"}}, Ids::Proportion1, kNoResult, 0,
     "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
    // the test is the binomial test's, with its checks
    {Bin(kTest, 2, 2, {}, {{group::Proportion2, 1}}), {{TestIds::Proportion1, "0.4"},
     {TestIds::Proportion2MinusProportion1, "0.7"}}, TestIds::SampleSize1, kNoResult, 0,
     "Proportion 2* - Proportion 1* has to be less than or equal to 0.59999"},
  });
}
// clang-format on

TEST_F(ParBinTest, TwoOneSidedOnlyForATestAndNotOfTwoSamplesOnTheArcSineScale) {
  Choose(Bin(kTest, 2, 2));
  d.SetOption(kArcSine, true);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  d.SetTailCount(3);  // the dialog's button is disabled; the session falls back
  EXPECT_EQ(s.TailCount, 2);
  d.SetOption(kArcSine, false);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  Choose(Bin(kPointEstimate, 1, 3));
  EXPECT_TRUE(s.dialog.tailsEnabled[0]);
  EXPECT_EQ(s.TailCount, 2);
  Choose(Bin(kInterval, 1, 1));
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  EXPECT_FALSE(s.dialog.tailsEnabled[0]);
  EXPECT_EQ(s.TailCount, 2);
  // Back to a test: all three are offered again.
  d.SetProcedureKind(kTest);
  EXPECT_TRUE(s.dialog.tailsEnabled[0]);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
}

TEST_F(ParBinTest, TheErrorAskedForIsTheWindowsFirstValueAndAnUndefinedKindListsNothing) {
  for (int samples = 1; samples <= 2; ++samples) {
    Choose(Bin(kPointEstimate, samples, 2));
    const std::vector<CalculationRow> rows = CalculationRows(s);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1].position, 2);
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(s.LastPosition));
  }
  s.ProcedureKind = 3;
  d.CallBuildParameterList();
  EXPECT_EQ(s.LastPosition, 1);
  s.UnknownPosition = 0;
  s.ResultsCurrent = false;
  EXPECT_NE(CalculateSingle(d), SingleOutcome::Solved);
  EXPECT_EQ(d.CallEvaluateCriterion(), 0.0);
}

}  // namespace
}  // namespace pelmora
