// The bivariate normal sample distribution: the criteria on hand-checked
// values, solves for sample sizes and effects, checks with their messages and
// the search intervals.  Reference values are computed with scipy 1.10
// (Debian's python3-scipy); the program's distributions are single precision,
// good to about 1e-5 in P.  The normal quantile of the correlation interval is
// accurate (about 1e-7), so its references are scipy's, with
// q = norm.isf(0.025) = 1.959964.  Student's quantile is the program's
// prescribed approximation, Abramowitz and Stegun 26.7.5 on the normal
// quantile of 26.2.23 (error up to 4.5e-4; tq(0.975, 29) = 2.045710 where
// t.ppf(0.975, 29) = 2.045230): the limits and widths that rest on it
// evaluate those same formulas in Python ("tq", "AS"), with scipy's exact
// value beside them, and hold only within that approximation.  An interval's
// limit is given as 0, so that the criterion is the limit itself.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "procedures/distributions/bivariate_normal.h"
#include "procedures/hypothesis/groups.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = BivariateNormalIds;
using testing::kAnyEnd;
using testing::kCriterion;
using testing::kPValue;

constexpr Procedure kBivariate = Procedure::BivariateNormalDistribution;
constexpr int kMean = 0, kSdRatio = 1, kCorrelation = 2, kRegression = 3;
constexpr int kTest = 0, kEstimate = 1, kInterval = 2;
constexpr int kSdForDiff = option::StdDeviationForDiff, kResidual = option::ResidualStdDeviation;
// The limit of |b| SD1 / SD2, the implied correlation, in single precision.
constexpr double kInside = static_cast<double>(0.99999f);

testing::Choice Bv(int choice, int kind, int tails, testing::Forms forms = {}, std::vector<int> options = {},
                   bool left = false) {
  return testing::DistChoice(kBivariate, choice, kind, 0, tails, std::move(options), std::move(forms), left);
}

class Bivariate : public testing::PlanningTest {};

TEST(BivariateRoutines, PairedDifferenceStandardErrorAndSumDiffCorrelation) {
  // Equal standard deviations 1 with correlation 0.5: the difference has SD 1;
  // sqrt((0.09 + 0.09 - 2 * 0.09 * 0.3) / 30) = 0.0648074
  EXPECT_NEAR(PairedDifferenceSE(25, 1, 1, 0.5f), 0.2, 1e-7);
  EXPECT_NEAR(PairedDifferenceSE(30, 0.3f, 0.3f, 0.3f), 0.06480740698407860, 1e-7);
  EXPECT_EQ(SumDiffCorrelation(1, 0.7f), 0.0f);
  // (4 - 1) / sqrt((5 - 2)(5 + 2)) = 3 / sqrt(21) = 0.654654
  EXPECT_NEAR(SumDiffCorrelation(2, 0.5f), 0.6546536707079772, 1e-6);
  EXPECT_NEAR(SumDiffCorrelation(0.5f, 0.5f), -0.6546536707079772, 1e-6);
  // It grows with the ratio whatever the correlation, without overflow at the extreme ratio.
  for (Single rho : {-0.9f, 0.0f, 0.9f})
    for (Single l = 0.1f; l < 10; l *= 1.5f) EXPECT_LT(SumDiffCorrelation(l, rho),
     SumDiffCorrelation(l * 1.1f, rho));
  EXPECT_NEAR(SumDiffCorrelation(1e10f, 0.5f), 1.0, 1e-6);
}

// clang-format off
TEST_F(Bivariate, MeanAndSdRatio) {
  ExpectReferences({
    // 2 * t.sf(0.3 / sqrt(0.126 / 30), 29); t.sf(...); the estimate 3 x 0.1 against 0.1:
    // 2 * t.sf(0.2 / sqrt(0.126 / 30), 29); the SD of the difference given: 2 * t.sf(0.3 / (0.3 / sqrt(30)),
    // 29);
    // max(t.sf(0.7 / se, 29), t.cdf(-0.1 / se, 29)), se = sqrt(0.126 / 30)
    {Bv(kMean, kTest, 2), {}, kPValue, 7.103437827421955e-05, 2e-6},
    {Bv(kMean, kTest, 1), {}, kPValue, 3.5517189137109775e-05, 1e-6},
    {Bv(kMean, kTest, 2, {{group::MeanOfDiff, 2}}), {{Ids::H0MeanOfDiff, "0.1"},
     {Ids::MeanOfDiffOverH0, "3"}}, kPValue, 0.004431297073805694, 2e-5},
    {Bv(kMean, kTest, 2, {}, {kSdForDiff}), {}, kPValue, 6.739145346941581e-06, 5e-7},
    {Bv(kMean, kTest, 3), {}, kPValue, 0.06683288735440807, 2e-5},
    // 0.3 - tq(0.975, 29) * sqrt(0.126 / 30) (AS; scipy t.ppf 0.1674540); 2 * tq(0.975, 29) * sqrt(0.126 /
    // 30)
    // (AS; scipy 0.2650921); SD1 = SD2 = 1 with correlation 0.5, the same as an SD of the difference of 1:
    // 0.3 - tq(0.975, 29) / sqrt(30) (AS; scipy -0.0734061)
    {Bv(kMean, kInterval, 2), {{Ids::LowerLimit, "0"}}, kCriterion, 0.16742282804613456, 1e-6},
    {Bv(kMean, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Width, "0"}},
     kCriterion, 0.26515434390773085, 1e-6},
    {Bv(kMean, kInterval, 2), {{Ids::Sd1, "1"}, {Ids::Sd2, "1"}, {Ids::Correlation, "0.5"},
     {Ids::LowerLimit, "0"}}, kCriterion, -0.0734938698556118, 1e-6},
    {Bv(kMean, kInterval, 2, {}, {kSdForDiff}), {{Ids::SdOfDiff, "1"}, {Ids::LowerLimit, "0"}}, kCriterion,
     -0.0734938698556118, 1e-6},
    // brentq(lambda n: 2 * t.sf(0.3 / sqrt(0.126 / n), n - 1) - 0.05, 3, 100); brentq(lambda d: 2 * t.sf(d /
    // sqrt(0.126 / 30), 29) - 0.05, 0.001, 5); brentq(lambda s2: 2 * t.sf(0.3 / se(10, s2), 9) - 0.05, 1e-5,
    // 10);
    // brentq(lambda r: 2 * t.sf(0.3 / se(10, r), 9) - 0.05, -0.99, 0.99)
    {Bv(kMean, kTest, 2), {}, Ids::SampleSize, 7.88247829764852, 2e-3},
    {Bv(kMean, kTest, 2), {}, Ids::MeanOfDiff, 0.13254602979377023, 1e-4},
    {Bv(kMean, kTest, 2), {{Ids::SampleSize, "10"}}, Ids::Sd2, 0.39654869890630173, 1e-4},
    {Bv(kMean, kTest, 2), {{Ids::SampleSize, "10"}}, Ids::Correlation, 0.022932751104741772, 2e-4},
    // brentq(lambda n: 2 * tq(0.975, n - 1) * sqrt(0.126 / n) - 0.2, 3, 1000) (AS; with scipy's t.ppf
    // 50.84037);
    // the width does not depend on the estimate
    {Bv(kMean, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Width, "0.2"}},
     Ids::SampleSize, 50.86248793072105, 2e-3},
    {Bv(kMean, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Width, "0.2"}},
     Ids::MeanOfDiff, kNoResult, 0},
    // 2 * norm.sf(atanh(c(1.2, 0.3)) * sqrt(27)), c the sum-difference correlation, from the ratio and from
    // both
    // standard deviations; norm.sf((atanh(c(1.2, 0.3)) - atanh(c(1.1, 0.3))) * sqrt(27)); a sample size of 3
    // or
    // less is 3.00001, the standard error about 316: 2 * norm.sf(atanh(c(1.2, 0.3)) / 316.228); two one-sided
    // tests on the z scale, the estimate 1.1 against 0.80 and 1.25: max(norm.sf((z(1.1) - z(0.8)) *
    // sqrt(97)),
    // norm.cdf((z(1.1) - z(1.25)) * sqrt(97)))
    {Bv(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}}), {}, kPValue, 0.32091565352767704, 2e-5},
    {Bv(kSdRatio, kTest, 2), {{Ids::Sd1Star, "0.5"}, {Ids::Sd2Star, "0.6"}},
     kPValue, 0.32091565352767704, 2e-5},
    {Bv(kSdRatio, kTest, 1, {{group::StdDeviationRatio, 1}}), {{Ids::H0Ratio, "1.1"}}, kPValue,
     0.31792956521294197, 2e-5},
    {Bv(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}}), {{Ids::SampleSize, "3"}}, kPValue,
     0.9995180269052567, 2e-6},
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}), {{Ids::Ratio, "1.1"}, {Ids::SampleSize, "100"}},
     kPValue, 0.09373497359210531, 2e-5},
    // brentq(lambda n: 2 * norm.sf(atanh(c(1.2, 0.3)) * sqrt(n - 3)) - 0.05, 3.5, 10000); brentq on the two
    // one-sided P-value with the ratio 1.1; of the two ratios with P = 0.05 at n = 100 the one above the
    // middle
    // (1 for 0.80 and 1.25), rejecting in the left tail the one below; the standard deviations entered: the
    // second one is searched the same way
    {Bv(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}}), {}, Ids::SampleSize, 108.27631181453512, 0.02},
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}), {{Ids::Ratio, "1.1"}}, Ids::SampleSize,
     154.05290441777674, 0.03},
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}), {{Ids::SampleSize, "100"}}, Ids::Ratio,
     1.0657210588802666, 1e-4},
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}, {}, true), {{Ids::SampleSize, "100"}},
     Ids::Ratio, 0.9383318380239931, 1e-4},
    {Bv(kSdRatio, kTest, 3), {{Ids::Sd1Star, "0.5"}, {Ids::SampleSize, "100"}}, Ids::Sd2Star,
     0.5 * 1.0657210588802666, 1e-4},
    // H0 below the assumed ratio 1.2 for an upper-tail test: brentq(lambda h: norm.sf((z(1.2) - z(h)) *
    // sqrt(27)) - 0.05, 0.1, 1.2); an assumed ratio above H0 never rejects in the left tail
    {Bv(kSdRatio, kTest, 1, {{group::StdDeviationRatio, 1}}), {}, Ids::H0Ratio, 0.8871185842663274, 1e-4},
    {Bv(kSdRatio, kTest, 1, {{group::StdDeviationRatio, 1}}, {}, true), {}, Ids::SampleSize, kNoResult, 0},
    // checks of relative values and limits
    {Bv(kMean, kTest, 2, {{group::StdDeviation2, 1}}), {{Ids::Sd2MinusSd1, "-0.4"}},
     Ids::SampleSize, kNoResult, 0, "Std.Dev. 2 - Std.Dev. 1 has to be greater than or equal to -0.29999"},
    {Bv(kSdRatio, kTest, 3), {{Ids::LeftRatioLimit, "1.3"}}, Ids::SampleSize, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 1.25"},
    {Bv(kMean, kTest, 3), {{Ids::LeftDiffLimit, "0.5"}}, Ids::SampleSize, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 0.4"},
  });
  // Limits 0.9 and 1.5 at rho = 0.5: the middle of the transformed limits is the ratio
  // brentq(lambda l: atanh(c(l, .5)) - (atanh(c(.9, .5)) + atanh(c(1.5, .5))) / 2, .5, 3) = 1.16017; a limit
  // on
  // its own side of the assumed ratio.
  const testing::Values limits = {{Ids::LeftRatioLimit, "0.9"}, {Ids::RightRatioLimit, "1.5"},
                                  {Ids::Correlation, "0.5"}, {Ids::Ratio, "1.1"}};
  ExpectIntervals({
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}),
     limits, Ids::Ratio, 1.1601684767587765, kAnyEnd, 1e-5},
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}), limits, Ids::LeftRatioLimit, kAnyEnd, 1.1f, 0},
    {Bv(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}), limits, Ids::RightRatioLimit, 1.1f, kAnyEnd, 0},
  });
}

TEST_F(Bivariate, CorrelationAndRegression) {
  // tanh(norm.isf(0.025) / sqrt(27)): r = 0 is symmetric about 0
  const double h0 = 0.36026922259556454;
  ExpectReferences({
    {Bv(kCorrelation, kInterval, 2), {{Ids::Correlation, "0"}, {Ids::LowerLimit, "0"}},
     kCriterion, -h0, 1e-6},
    {Bv(kCorrelation, kInterval, 2, {{group::ConfInterval, 1}}), {{Ids::Correlation, "0"},
     {Ids::UpperLimit, "0"}}, kCriterion, h0, 1e-6},
    // 2 * tanh(norm.isf(0.025) / sqrt(27)); tanh(atanh(0.5) -+ norm.isf(0.025) / sqrt(27))
    {Bv(kCorrelation, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Correlation, "0"}, {Ids::Width, "0"}},
     kCriterion, 0.7205384451911288, 1e-6},
    {Bv(kCorrelation, kInterval, 2), {{Ids::Correlation, "0.5"}, {Ids::LowerLimit, "0"}}, kCriterion,
     0.17043136511180007, 1e-6},
    {Bv(kCorrelation, kInterval, 2, {{group::ConfInterval, 1}}), {{Ids::Correlation, "0.5"},
     {Ids::UpperLimit, "0"}}, kCriterion, 0.7289585563883555, 1e-6},
    // the test is the correlation coefficient test's: 2 * norm.sf((atanh(0.5) - atanh(0.3)) * sqrt(27)), and
    // with n = 40 sqrt(37), as the test procedure of one coefficient gives it
    {Bv(kCorrelation, kTest, 2), {}, kPValue, 0.2127763595458766, 2e-5},
    {Bv(kCorrelation, kTest, 2), {{Ids::SampleSize, "40"}}, kPValue, 0.14468498792833767, 2e-5},
    {testing::TestChoice(Procedure::CorrelationCoefficient, 1, 2), {{Ids::SampleSize, "40"}}, kPValue, 0.14468498792833767, 2e-5},
    // brentq on the width tanh(z + h) - tanh(z - h) = 0.3, h = norm.isf(0.025) / sqrt(n - 3); the width is
    // the same for r and -r: the root at or above 0; brentq(lambda r: tanh(atanh(r) - q / sqrt(27)) - 0.3,
    // -0.99, 0.99999); brentq(lambda n: tanh(atanh(.5) - q / sqrt(n - 3)) - 0.3, 3.5, 1e5)
    {Bv(kCorrelation, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Correlation, "0.5"},
     {Ids::Width, "0.3"}}, Ids::SampleSize, 98.37656194152208, 2e-3},
    {Bv(kCorrelation, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Width, "0.5"}}, Ids::Correlation,
     0.5799745549659453, 1e-5},
    {Bv(kCorrelation, kInterval, 2), {{Ids::LowerLimit, "0.3"}}, Ids::Correlation, 0.595867415436738, 1e-5},
    {Bv(kCorrelation, kInterval, 2), {{Ids::Correlation, "0.5"}, {Ids::LowerLimit, "0.3"}}, Ids::SampleSize,
     69.81078574322198, 2e-3},
    // 2 * t.sf(0.3 / sqrt((1 - 0.09) / 28), 28); two one-sided tests, the standard error from the correlation
    // the assumed coefficient implies, sqrt(1 - 0.09) / sqrt(29): max(norm.sf(0.7 / se), norm.cdf(-0.1 /
    // se)),
    // and with sqrt(99); the residual standard deviation given: 2 * t.sf(0.3 / (0.3 / (sqrt(29) * 0.3)), 28)
    {Bv(kRegression, kTest, 2), {}, kPValue, 0.10724594805795437, 2e-5},
    {Bv(kRegression, kTest, 3), {}, kPValue, 0.28620060191701374, 2e-5},
    {Bv(kRegression, kTest, 3), {{Ids::SampleSize, "100"}}, kPValue, 0.14846714303744846, 2e-5},
    {Bv(kRegression, kTest, 2, {}, {kResidual}), {}, kPValue, 0.11740535427664181, 2e-5},
    // 0.3 - tq(0.975, 28) * sqrt((1 - 0.09) / 28) (AS; scipy t.ppf -0.0692818); b* = SD2 / SD1, a perfect
    // correlation: width 0, and beyond it still 0, without a fault; the residual given:
    // 0.3 - tq(0.975, 28) * 0.3 / (sqrt(29) * 0.3) (AS; scipy -0.0803797)
    {Bv(kRegression, kInterval, 2), {{Ids::LowerLimit, "0"}}, kCriterion, -0.06936881856322186, 1e-6},
    {Bv(kRegression, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Coefficient, "2"}, {Ids::Sd1, "0.25"},
     {Ids::Sd2, "0.5"}, {Ids::Width, "0"}}, kCriterion, 0, 0},
    {Bv(kRegression, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Coefficient, "2.5"},
     {Ids::Sd1, "0.25"}, {Ids::Sd2, "0.5"}, {Ids::Width, "0"}}, kCriterion, 0, 0},
    {Bv(kRegression, kInterval, 2, {}, {kResidual}), {{Ids::LowerLimit, "0"}},
     kCriterion, -0.08046923998510552, 1e-6},
    // brentq(lambda n: 2 * t.sf(0.3 / sqrt(0.91 / (n - 2)), n - 2) - 0.05, 3, 1000); brentq(lambda b: 2 *
    // t.sf(b / sqrt((1 - b^2) / 28), 28) - 0.05, 1e-4, 0.99); brentq(lambda h: 2 * t.sf((0.3 - h) /
    // sqrt(0.91 /
    // 28), 28) - 0.05, -0.99999, 0.3)
    {Bv(kRegression, kTest, 2), {}, Ids::SampleSize, 43.22496388042638, 0.01},
    {Bv(kRegression, kTest, 2), {}, Ids::Coefficient, 0.3610069077332335, 1e-4},
    {Bv(kRegression, kTest, 2), {}, Ids::H0Coefficient, -0.06928184913846964, 1e-4},
    // the P-value depends on b* SD1 / SD2 alone: as b* at SD1 = SD2 = 0.631897 for n = 10
    {Bv(kRegression, kTest, 2), {{Ids::SampleSize, "10"}}, Ids::Sd1, 0.631896864719834, 1e-4},
    {Bv(kRegression, kTest, 2), {{Ids::SampleSize, "10"}}, Ids::Sd2, 0.09 / 0.631896864719834, 1e-4},
    // two one-sided tests, b* on the side of the middle of the limits: brentq(lambda b: norm.cdf((b - 0.4) /
    // (sqrt(1 - b^2) / sqrt(29))) - 0.05, 0, 0.4); brentq on max(norm.sf(0.7 / se(n)), norm.cdf(-0.1 /
    // se(n))) - 0.05
    {Bv(kRegression, kTest, 3), {}, Ids::Coefficient, 0.09596814420382346, 1e-4},
    {Bv(kRegression, kTest, 3), {}, Ids::SampleSize, 247.20445432268252, 0.05},
    // brentq(lambda b: b - tq(0.975, 28) * sqrt((1 - b^2) / 28) - 0.1, -0.5, 0.99999) (AS; scipy 0.4464011);
    // brentq(lambda n: 2 * tq(0.975, n - 2) * sqrt(0.91 / (n - 2)) - 0.3, 3.01, 10000) (AS; scipy 159.7768);
    // brentq(lambda b: 2 * tq(0.975, 28) * sqrt((1 - b^2) / 28) - 0.5, 0, 0.99999) (AS; scipy 0.7635007)
    {Bv(kRegression, kInterval, 2), {{Ids::LowerLimit, "0.1"}}, Ids::Coefficient, 0.44646946193743126, 1e-5},
    {Bv(kRegression, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Width, "0.3"}}, Ids::SampleSize,
     159.8459349524003, 5e-3},
    {Bv(kRegression, kInterval, 2, {{group::ConfInterval, 2}}), {{Ids::Width, "0.5"}}, Ids::Coefficient,
     0.7636292985219955, 1e-5},
    // the implied correlation stays inside: 0.99999 x 0.3 / 0.5 in single precision, and 0.99999 x 0.3 / 1.2
    {Bv(kRegression, kTest, 2), {{Ids::Coefficient, "0.5"}, {Ids::Sd1, "0.7"}}, Ids::SampleSize, kNoResult, 0,
     "Std.Deviation 1 has to be less than or equal to 0.599994"},
    {Bv(kRegression, kTest, 2), {{Ids::Coefficient, "0.5"}, {Ids::H0Coefficient, "-1.2"}}, Ids::SampleSize,
     kNoResult, 0, "Std.Deviation 1 has to be less than or equal to 0.249998"},
    {Bv(kRegression, kTest, 3), {{Ids::RightDiffLimit, "1.2"}}, Ids::SampleSize, kNoResult, 0,
     "Std.Deviation 1 has to be less than or equal to 0.249998"},
    {Bv(kRegression, kTest, 3), {{Ids::LeftDiffLimit, "0.5"}}, Ids::SampleSize, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 0.4"},
  });
  // An unknown coefficient, H0 or standard deviation is searched where |b| SD1 / SD2 stays below 0.99999.
  const testing::Values b5 = {{Ids::Coefficient, "0.5"}};
  ExpectIntervals({
    {Bv(kRegression, kTest, 2), b5, Ids::Coefficient, 0.0, kInside, 0},
    {Bv(kRegression, kTest, 2), b5, Ids::H0Coefficient, -kInside, 0.5, 0},
    {Bv(kRegression, kTest, 2), b5, Ids::Sd1, kAnyEnd, kInside * 0.3 / 0.5, 0},
    {Bv(kRegression, kTest, 2), b5, Ids::Sd2, 0.5 * 0.3 / kInside, kAnyEnd, 0},
    {Bv(kRegression, kTest, 2, {{group::StdDeviation2, 2}}), {{Ids::Coefficient, "0.5"},
     {Ids::Sd2OverSd1, "0.4"}}, Ids::Sd2OverSd1, 0.5 / kInside, kAnyEnd, 0},
    // SD2 = SD1 - 0.1: SD1 (0.5 - 0.99999) <= -0.099999
    {Bv(kRegression, kTest, 2, {{group::StdDeviation2, 1}}), {{Ids::Coefficient, "0.5"},
     {Ids::Sd2MinusSd1, "-0.1"}}, Ids::Sd1, kInside * -0.1 / (0.5 - kInside), kAnyEnd, 1e-12},
    // the coefficient as a ratio to H0 = 0.5: b* = 0.5 r within +-0.99999
    {Bv(kRegression, kTest, 1, {{group::RegressionCoeff, 2}}), {{Ids::H0Coefficient, "0.5"}},
     Ids::CoefficientOverH0, 1.0, kInside / 0.5, 0},
    // two one-sided tests: the limits too
    {Bv(kRegression, kTest, 3), {}, Ids::Coefficient, 0.0, kInside, 0},
    {Bv(kRegression, kTest, 3), {}, Ids::LeftDiffLimit, -kInside, 0.3, 0},
    {Bv(kRegression, kTest, 3), {}, Ids::RightDiffLimit, 0.3, kInside, 0},
  });
}
// clang-format on

TEST_F(Bivariate, FaultsAndWhatIsNotSolved) {
  // SD2 / SD1 below |b*|: no SD1 can help.
  Enter(Bv(kRegression, kTest, 2, {{group::StdDeviation2, 2}}), {{Ids::Coefficient, "0.5"},
   {Ids::Sd2OverSd1, "0.4"}});
  EXPECT_GE(Interval(Ids::Sd1).first, Interval(Ids::Sd1).second);
  // 0.3 x 0.75 / 0.3 is inside.
  Enter(Bv(kRegression, kTest, 2), {{Ids::Coefficient, "0.5"}, {Ids::H0Coefficient, "-0.75"}});
  EXPECT_NE(Solve(Ids::SampleSize), kNoResult);
  // Beyond a perfect correlation the criterion faults.
  Enter(Bv(kRegression, kTest, 2), {{Ids::Coefficient, "1.5"}});
  ReadParameterValues(s);
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::SampleSize));
  EXPECT_EQ(SolveAtOnePoint(d).state, SolveState::NotCalculable);
  // The width does not depend on the estimate: no evaluation at all.
  Choose(Bv(kMean, kInterval, 2, {{group::ConfInterval, 2}}));
  EXPECT_EQ(Solve(Ids::MeanOfDiff), kNoResult);
  EXPECT_EQ(lastOutcome.evaluations, 0);
  // A window restored with two samples: nothing to list, nothing solved.
  Choose(Bv(kMean, kTest, 2));
  s.SampleCount = 2;
  d.ApplyOptions();
  EXPECT_EQ(s.LastPosition, 1);
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(lastOutcome.evaluations, 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Bivariate, OneSampleOnlyNoPointEstimateAndTheSdRatioATestOnly) {
  for (int choice = 0; choice < 4; ++choice) {
    Choose(Bv(choice, kEstimate, 2));
    EXPECT_EQ(s.SampleCount, 1);
    EXPECT_FALSE(s.dialog.samplesEnabled[1]);
    EXPECT_EQ(s.ProcedureKind, kTest) << "choice " << choice;
    EXPECT_TRUE(s.dialog.tailsEnabled[2]) << "a test has two one-sided tails again";
  }
  Choose(Bv(kMean, kInterval, 2));
  EXPECT_EQ(s.ProcedureKind, kInterval);
  d.SetParameterChoice(kSdRatio);
  EXPECT_EQ(s.ProcedureKind, kTest);
  EXPECT_FALSE(s.dialog.procedureEnabled[2]);
}

}  // namespace
}  // namespace pelmora
