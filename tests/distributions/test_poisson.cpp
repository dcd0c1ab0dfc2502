// The Poisson sample distribution: its own test (exact and normal paths, one
// and two samples, two one-sided tests), the point estimate and the
// confidence interval, solves for sizes, study times and effects, and the
// checks.
//
// Reference values come from python3 with scipy 1.10 (Debian).  At a
// fractional count the reference interpolates scipy's Poisson tails linearly
// between whole counts, as the program does:
//   U(x, m) = (1 - f) poisson.pmf(w, m) + poisson.sf(w, m)   (upper tail),
//   L(x, m) = (1 - f) poisson.cdf(w, m) + f poisson.cdf(w + 1, m)   (lower tail),
// w = floor(x), f = x - w.  The normal quantile of the precisions and limits
// is q = scipy.stats.norm.isf(...) of the upper tail probability; the program
// takes the tabulated 1.95996 at 0.025 (norm.isf gives 1.9599640), which
// the tolerances allow for (a relative 4e-6 in a sample size).
#include <gtest/gtest.h>

#include <cmath>

#include "procedures/distributions/poisson.h"
#include "procedures/hypothesis/groups.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = PoissonDistribution::Ids;
using Common = NormalApproximateEstimate::Ids;
using testing::kAnyEnd;
using testing::kCriterion;
using testing::kPValue;
constexpr int kContinuity = 1, kExact = 7;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kMean = 0, kRate = 1;
constexpr int kLowerLimit = 0, kUpperLimit = 1, kWidth = 2;
constexpr double kTol = 2e-6;

// scipy.stats.norm.isf(0.025)
constexpr double kQ975 = 1.9599639845400545;

testing::Choice Poi(int choice, int kind, int samples, int tails, std::vector<int> options = {},
                    testing::Forms forms = {}, bool left = false) {
  return testing::DistChoice(Procedure::PoissonDistribution, choice, kind, samples, tails, std::move(options), std::move(forms), left);
}

class ParPoissonTest : public testing::PlanningTest {};

TEST_F(ParPoissonTest, PoissonRateStandardError) {
  // Pooled: sqrt((1/30 + 1/30) (0.5 30 + 0.7 30) / 60) = 0.2; separate: sqrt(0.5/40 + 0.55/60) = 0.147196014
  EXPECT_NEAR(PoissonRateSE(30, 30, 0.5f, 0.7f, 0), 0.2, 1e-7);
  EXPECT_NEAR(PoissonRateSE(40, 60, 0.5f, 0.55f, 0.3f), 0.147196014, 1e-7);
  EXPECT_EQ(PoissonRateSE(40, 60, 0.5f, 0.55f, -0.3f), PoissonRateSE(40, 60, 0.5f, 0.55f, 0.3f));
}

// clang-format off
TEST_F(ParPoissonTest, OneSampleTests) {
  const testing::Values m15 = {{Ids::H0Mean, "1"}, {Ids::Mean, "1.5"}, {Ids::SampleSize, "10"}};
  const testing::Values m18 = {{Ids::H0Mean, "1"}, {Ids::Mean, "1.8"}, {Ids::SampleSize, "10"}};
  const testing::Values m185 = {{Ids::H0Mean, "1"}, {Ids::Mean, "1.85"}, {Ids::SampleSize, "10"}};
  const testing::Values c850 = {{Ids::H0Mean, "0.8"}, {Ids::Mean, "0.85"}, {Ids::SampleSize, "1000"}};
  const testing::Values c900 = {{Ids::H0Mean, "0.85"}, {Ids::Mean, "0.9005"}, {Ids::SampleSize, "1000"}};
  const testing::Values limits = {{Ids::LeftLimit, "0.3"}, {Ids::RightLimit, "0.7"}, {Ids::Mean, "0.5"},
                                  {Ids::SampleSize, "50"}};
  ExpectReferences({
    // scipy.stats.norm.sf(0.5 / sqrt(1 / 10)); two-sided (norm.ppf(0.975) / 0.5)^2; with the correction
    // 1/(2n):
    // brentq(lambda n: 2 norm.sf((0.5 - 1/(2n)) / sqrt(1/n)) - 0.05, 3, 100); the exact calculation not
    // chosen:
    // the normal approximation even for a count of 18, 2 norm.sf(0.8 / sqrt(1 / 10))
    {Poi(kMean, kTest, 1, 1), m15, kPValue, 0.056923149003329024, kTol},
    {Poi(kMean, kTest, 1, 2), m15, Ids::SampleSize, 15.365835, 2e-3},
    {Poi(kMean, kTest, 1, 2, {kContinuity}), m15, Ids::SampleSize, 17.308059, 2e-3},
    {Poi(kMean, kTest, 1, 2, {}, {{group::Mean, 1}}), {{Ids::H0Mean, "1"}, {Ids::MeanMinusH0, "0.8"},
     {Ids::SampleSize, "10"}}, kPValue, 0.011412036386001651, kTol},
    // exact, a count of 18 against a mean of 10: scipy.stats.poisson.sf(17, 10); poisson.cdf(18, 10);
    // 2 min(poisson.cdf(18, 10), poisson.sf(17, 10)); a fractional count, 18.5: 2 min(U, L),
    // U = 0.5 poisson.pmf(18, 10) + poisson.sf(18, 10), L = 0.5 poisson.cdf(18, 10) + 0.5 poisson.cdf(19, 10)
    {Poi(kMean, kTest, 1, 1, {kExact}), m18, kPValue, 0.014277613597049663, kTol},
    {Poi(kMean, kTest, 1, 1, {kExact}, {}, true), m18, kPValue, 0.9928134953961456, kTol},
    {Poi(kMean, kTest, 1, 2, {kExact}), m18, kPValue, 0.028555227194099326, kTol},
    {Poi(kMean, kTest, 1, 2, {kExact}), m185, kPValue, 0.021464118200904048, kTol},
    {Poi(kMean, kTest, 1, 1, {kExact}), m185, kPValue, 0.010732059100452024, kTol},
    {Poi(kMean, kTest, 1, 1, {kExact}, {}, true), m185, kPValue, 0.9946795767101444, kTol},
    // the smallest whole n from which on U(float32(1.5 n), n) <= 0.05: 0.0563 at 13, 0.0479 at 14,
    // and at most 0.05 for every n from 14 to 199
    {Poi(kMean, kTest, 1, 1, {kExact}), m15, Ids::SampleSize, 14, 0},
    // n lambda = 1000: the exact P-value of the count 1000 against the mean 950,
    // 2 min(poisson.cdf(1000, 950), poisson.sf(999, 950)) (the normal approximation would give 0.104757);
    // n lambda = 1000.5: the normal approximation, 2 norm.sf(0.0505 / sqrt(0.95 / 1000))
    {Poi(kMean, kTest, 1, 2, {kExact}), {{Ids::H0Mean, "0.95"}, {Ids::Mean, "1"}, {Ids::SampleSize, "1000"}},
     kPValue, 0.11010937246147609, 1e-5},
    {Poi(kMean, kTest, 1, 2, {kExact}), {{Ids::H0Mean, "0.95"}, {Ids::Mean, "1.0005"},
     {Ids::SampleSize, "1000"}}, kPValue, 0.101330701, 2e-5},
    // e^-lambda underflows a double from a mean of about 745; the exact test is still right up to 1000:
    // a count of 850 against 800, poisson.sf(849, 800) and poisson.cdf(850, 800); 760 below it,
    // poisson.cdf(760, 800); a fractional 760.25, L(760.25, 800)
    {Poi(kMean, kTest, 1, 1, {kExact}), c850, kPValue, 0.041076724863389875, 1e-5},
    {Poi(kMean, kTest, 1, 1, {kExact}, {}, true), c850, kPValue, 0.961883223986827, 1e-5},
    {Poi(kMean, kTest, 1, 1, {kExact}, {}, true), {{Ids::H0Mean, "0.8"}, {Ids::Mean, "0.76"},
     {Ids::SampleSize, "1000"}}, kPValue, 0.0804086224373935, 1e-5},
    {Poi(kMean, kTest, 1, 1, {kExact}, {}, true), {{Ids::H0Mean, "0.8"}, {Ids::Mean, "0.76025"},
     {Ids::SampleSize, "1000"}}, kPValue, 0.08178387256181527, 1e-5},
    // a fractional count of 900.5 against 850: 2 min(U, L) and U(900.5, 850)
    {Poi(kMean, kTest, 1, 2, {kExact}), c900, kPValue, 0.08838269055899965, 1e-5},
    {Poi(kMean, kTest, 1, 1, {kExact}), c900, kPValue, 0.044191345279499826, 1e-5},
    // the hazard rate: a study time of 400, rates 2.4 (H0) and 2.5, a count of 1000 against 960:
    // poisson.sf(999, 960)
    {Poi(kRate, kTest, 1, 1, {kExact}), {{Ids::H0Rate, "2.4"}, {Ids::Rate, "2.5"}, {Ids::StudyTime, "400"}},
     kPValue, 0.10175682018645273, 1e-5},
    // two one-sided tests, limits 0.8 and 0.9 at n = 1000, count 850: max(poisson.sf(849, 800),
    // poisson.cdf(850, 900))
    {Poi(kMean, kTest, 1, 3, {kExact}), {{Ids::LeftLimit, "0.8"}, {Ids::RightLimit, "0.9"},
     {Ids::Mean, "0.85"}, {Ids::SampleSize, "1000"}}, kPValue, 0.048469900316207966, 1e-5},
    // a two-sided exact test of 1.07 against 1, the expected counts 812 and 868:
    // the smallest whole n from which on 2 min(U(x, n), L(x, n)) <= 0.05, x = float32(1.07 n):
    // 0.050081 at 811, 0.049932 at 812, and at most 0.05 for every n from 812 to 1299
    {Poi(kMean, kTest, 1, 2, {kExact}), {{Ids::H0Mean, "1"}, {Ids::Mean, "1.07"}},
     Ids::SampleSize, 812, 0},
    // two one-sided tests, each with the standard error at its own limit: max(norm.sf(0.2 / sqrt(0.3/50)),
    // norm.cdf(-0.2 / sqrt(0.7/50))); with the correction 1/100 towards each limit; exact, a count of 25:
    // max(poisson.sf(24, 15), poisson.cdf(25, 35))
    {Poi(kMean, kTest, 1, 3), limits, kPValue, 0.04548447398767889, kTol},
    {Poi(kMean, kTest, 1, 3, {kContinuity}), limits, kPValue, 0.05415969036500206, kTol},
    {Poi(kMean, kTest, 1, 3, {kExact}), limits, kPValue, 0.04862018886913726, kTol},
    // the assumed mean beyond the point where both agree (sqrt(0.3 0.7) = 0.458): above it
    // 0.7 - norm.isf(0.05) sqrt(0.7/50), below it 0.3 + norm.isf(0.05) sqrt(0.3/50)
    {Poi(kMean, kTest, 1, 3), limits, Ids::Mean, 0.5053782942286862, 1e-5},
    {Poi(kMean, kTest, 1, 3, {}, {}, true), limits, Ids::Mean, 0.42740981408263845, 1e-5},
    // H0 below the assumed mean 0.5 at n = 30, two-sided:
    // brentq(lambda l0: (0.5 - l0) / sqrt(l0 / 30) - norm.ppf(0.975), 0.01, 0.5)
    {Poi(kMean, kTest, 1, 2), {{Ids::Mean, "0.5"}, {Ids::SampleSize, "30"}}, Ids::H0Mean, 0.303019665, 1e-5},
    // a hazard rate of 1.3 against 0.3: (norm.ppf(0.975) sqrt(0.3) / 1)^2, a study time below the smallest
    // sample size of 3; the same as a number of units stops at 3
    {Poi(kRate, kTest, 1, 2), {{Ids::H0Rate, "0.3"}, {Ids::Rate, "1.3"}}, Ids::StudyTime, 1.152438, 2e-4},
    {Poi(kMean, kTest, 1, 2), {{Ids::H0Mean, "0.3"}, {Ids::Mean, "1.3"}}, Ids::SampleSize, kNoResult, 0},
    // checks
    {Poi(kMean, kTest, 1, 2, {}, {{group::Mean, 1}}), {{Ids::H0Mean, "0.3"}, {Ids::MeanMinusH0, "-0.5"}},
     Ids::SampleSize, kNoResult, 0, "Mean*  -  H0:Mean has to be greater than or equal to -0.29999"},
    {Poi(kMean, kTest, 1, 3), {{Ids::LeftLimit, "0.6"}, {Ids::RightLimit, "0.4"}},
     Ids::SampleSize, kNoResult, 0, "H0: Left Equivalence Limit has to be less than or equal to 0.4"},
  });
}

TEST_F(ParPoissonTest, TwoSampleTests) {
  const testing::Values means = {{Ids::Mean1, "0.5"}, {Ids::Mean2, "0.7"}, {Ids::SampleSize1, "30"},
                                 {Ids::SampleSize2, "30"}};
  const testing::Values n30 = {{Ids::Mean1, "0.5"}, {Ids::SampleSize1, "30"}, {Ids::SampleSize2, "30"}};
  ExpectReferences({
    // the pooled standard error is 0.2: 2 norm.sf(1); 2 norm.sf((0.2 - 1/30) / 0.2); both sizes by their
    // ratio 1: 1.2 (norm.ppf(0.975) / 0.2)^2
    {Poi(kMean, kTest, 2, 2), means, kPValue, 0.31731050786291415, kTol},
    {Poi(kMean, kTest, 2, 2, {kContinuity}), means, kPValue, 0.40465676192728617, kTol},
    {Poi(kMean, kTest, 2, 2, {}, {{group::SampleSize2, 2}}), {{Ids::Mean1, "0.5"}, {Ids::Mean2, "0.7"},
     {Ids::SampleSize2OverSize1, "1"}}, Ids::SampleSize1, 115.243765, 0.01},
    // two one-sided tests, limits -0.3 and 0.3: the separate standard error sqrt(0.5/40 + 0.55/60) at both,
    // max(norm.sf(0.35/se), norm.cdf(-0.25/se)); a limit of 0 takes the pooled standard error for its own
    // test: max(norm.sf(0.05 / sp), norm.cdf(-0.25 / se)), sp = sqrt((1/40 + 1/60) (20 + 33) / 100)
    {Poi(kMean, kTest, 2, 3), {{Ids::LeftDifferenceLimit, "-0.3"}, {Ids::RightDifferenceLimit, "0.3"},
     {Ids::Mean1, "0.5"}, {Ids::Mean2, "0.55"}, {Ids::SampleSize1, "40"}, {Ids::SampleSize2, "60"}}, kPValue,
     0.0447146795144968, kTol},
    {Poi(kMean, kTest, 2, 3), {{Ids::LeftDifferenceLimit, "0"}, {Ids::RightDifferenceLimit, "0.3"},
     {Ids::Mean1, "0.5"}, {Ids::Mean2, "0.55"}, {Ids::SampleSize1, "40"}, {Ids::SampleSize2, "60"}}, kPValue,
     0.36826076400020136, kTol},
    // the second mean, pooled: brentq(lambda l2: (l2 - 0.5) / sqrt((1/15) (0.5 + l2) / 2) - norm.ppf(0.975),
    // 0.5, 5), also as a difference and as a ratio
    {Poi(kMean, kTest, 2, 2), n30, Ids::Mean2, 0.927545620, 1e-5},
    {Poi(kMean, kTest, 2, 2, {}, {{group::Mean2, 1}}), n30, Ids::Mean2MinusMean1, 0.427545620, 1e-5},
    {Poi(kMean, kTest, 2, 2, {}, {{group::Mean2, 2}}), n30, Ids::Mean2OverMean1, 1.855091240, 2e-5},
    // N1 = N2 = t, pooled: 2 norm.sf(1 / sqrt((2/t) 0.8)) = 0.05 at t = 1.6 norm.ppf(0.975)^2
    {Poi(kRate, kTest, 2, 2, {}, {{group::StudyTime2, 1}}), {{Ids::Rate1, "0.3"}, {Ids::Rate2, "1.3"},
     {Ids::StudyTime2MinusTime1, "0"}}, Ids::StudyTime1, 6.146334, 2e-3},
    {Poi(kRate, kTest, 2, 2, {}, {{group::StudyTime2, 2}}), {{Ids::StudyTime2OverTime1, "0"}}, Ids::Rate1,
     kNoResult, 0, "Study Time 2 / Study Time 1 has to be greater than or equal to 0.00001"},
  });
  // A second study time given as a difference may bring it down to its own bound, not to 2.
  ExpectIntervals({
    {Poi(kRate, kTest, 2, 2, {}, {{group::StudyTime2, 1}}), {{Ids::StudyTime1, "10"}},
     Ids::StudyTime2MinusTime1, s.entry(Ids::StudyTime2).ParamLowerLimit() - 10, kAnyEnd},
  });
}

TEST_F(ParPoissonTest, EstimatesAndIntervals) {
  const testing::Values interval = {{Ids::Mean, "0.5"}, {Ids::Mean2, "0.7"}, {Ids::SampleSize1, "100"},
                                    {Ids::SampleSize2, "100"}};
  // lambda1 0.5, lambda2 0.7, N1 = N2 = 100, cc (1/100 + 1/100)/2, q = norm.isf(0.025): lower
  // 0.2 + cc - q sqrt(0.012) = -0.004703297, upper 0.2 - cc + q se = 0.404703297, width 2 q se - 2 cc =
  // 0.409406594
  const double limits[3] = {-0.004703297, 0.404703297, 0.409406594};
  const int limitIds[3] = {Common::LowerLimit, Common::UpperLimit, Common::WidthOfInterval};
  std::vector<testing::Reference> rows = {
    // lambda = 1, E = 0.2: q / sqrt(n) - 0.2 with q = norm.isf(0.025), zero at (q / 0.2)^2 = 96.036471
    // (96.0361
    // with the tabulated 1.95996); the error reached at n = 50: q / sqrt(50)
    {Poi(kMean, kPointEstimate, 1, 2), {{Common::AbsoluteError, "0.2"}, {Ids::PointMean, "1"},
     {Ids::SampleSize, "50"}}, kCriterion, kQ975 / std::sqrt(50.0) - 0.2, 1e-6},
    {Poi(kMean, kPointEstimate, 1, 2), {{Common::AbsoluteError, "0.2"}, {Ids::PointMean, "1"}},
     Ids::SampleSize, 96.036471, 1e-3},
    {Poi(kMean, kPointEstimate, 1, 2), {{Ids::PointMean, "1"}, {Ids::SampleSize, "50"}},
     Common::AbsoluteError, 0.277180765, 1e-6},
    // two samples, N2 = N1: q^2 (0.5 + 0.7) / 0.1^2; a hazard rate's study time: the same number
    {Poi(kMean, kPointEstimate, 2, 2, {}, {{group::SampleSize2, 2}}), {{Common::AbsoluteError, "0.1"},
     {Ids::PointMean1, "0.5"}, {Ids::PointMean2, "0.7"}, {Ids::SampleSize2OverSize1, "1"}}, Ids::SampleSize1,
     460.975058, 5e-3},
    {Poi(kRate, kPointEstimate, 2, 2, {}, {{group::HazardRate2, 2}, {group::StudyTime2, 2}}),
     {{Common::AbsoluteError, "0.1"}, {Ids::PointRate1, "0.5"}, {Ids::PointRate2OverRate1, "1.4"},
     {Ids::StudyTime2OverTime1, "1"}}, Ids::StudyTime1, 460.975058, 5e-3},
    // one sample: the width 2 q sqrt(lambda / n) is reached at n = (2 q / w)^2 lambda: lambda 2, w 0.5:
    // 2 (2 q / 0.5)^2; the mean that a width 0.5 allows at n = 100: 100 (0.25 / q)^2
    {Poi(kMean, kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}}), {{Ids::Mean, "2"},
     {Common::WidthOfInterval, "0.5"}}, Ids::SampleSize, 122.926682, 2e-3},
    {Poi(kMean, kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}}), {{Common::WidthOfInterval, "0.5"},
     {Ids::SampleSize, "100"}}, Ids::Mean, 1.626986, 1e-5},
    // the upper limit 2.5 of a mean 2: 2 + q sqrt(2 / n) = 2.5 at n = 2 (q / 0.5)^2; a lower limit of the
    // hazard
    // rate with its study time
    {Poi(kMean, kInterval, 1, 2, {}, {{group::ConfInterval, kUpperLimit}}), {{Ids::Mean, "2"},
     {Common::UpperLimit, "2.5"}}, Ids::SampleSize, 30.731671, 1e-3},
    {Poi(kRate, kInterval, 1, 2, {}, {{group::ConfInterval, kLowerLimit}}), {{Ids::Rate, "2"},
     {Common::LowerLimit, "1.5"}}, Ids::StudyTime, 30.731671, 1e-3},
    {Poi(kRate, kPointEstimate, 2, 2, {}, {{group::HazardRate2, 1}}), {{Ids::PointRate1, "0.5"},
     {Ids::PointRate2MinusRate1, "-0.6"}}, Ids::StudyTime1, kNoResult, 0,
     "Hazard Rate 2 - Hazard Rate 1 has to be greater than or equal to -0.49999"},
  };
  for (int kind = 0; kind < 3; ++kind) {
    testing::Values values = interval;
    values.push_back({limitIds[kind], "0.1"});
    rows.push_back({Poi(kMean, kInterval, 2, 2, {kContinuity}, {{group::ConfInterval, kind}}),
     values, kCriterion,
                    limits[kind] - 0.1, 1e-6});
  }
  ExpectReferences(rows);
}
// clang-format on

TEST_F(ParPoissonTest, TwoOneSidedOnlyForATest) {
  Choose(Poi(kRate, kInterval, 2, 2));
  EXPECT_FALSE(s.dialog.tailsEnabled[0]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  d.SetProcedureKind(kTest);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
}

}  // namespace
}  // namespace pelmora
