// The Poisson sample distribution: offered options and rows, the lists of
// each kind and parameter, its own test (exact and normal paths, one and two
// samples, two one-sided tests), the point estimate and the confidence
// interval, solves for sizes, study times and effects, the checks, the
// command line, and a sweep of every choice.
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
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "numeric/power_equations.h"
#include "procedures/distributions/poisson.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/groups.h"
#include "session/calculation_rows.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = PoissonDistribution::Ids;
using Common = NormalApproximateEstimate::Ids;
constexpr int kContinuity = 1, kExact = 7;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kMean = 0, kRate = 1;
constexpr int kLowerLimit = 0, kUpperLimit = 1, kWidth = 2;
constexpr double kTol = 2e-6;

// scipy.stats.norm.isf(0.025)
constexpr double kQ975 = 1.9599639845400545;

class ParPoissonTest : public testing::PlanningTest {
 protected:
  void Choose(int choice, int kind, int samples, int tails, const std::vector<int>& options = {},
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false) {
    ChooseDistribution(6, choice, kind, samples, tails, options, forms, left);
  }
  double PValue() { return Criterion() + s.value(0); }
};

TEST_F(ParPoissonTest, ServesThePoissonMenuItem) {
  ASSERT_TRUE(d.SelectDistribution(6));
  EXPECT_NE(dynamic_cast<PoissonDistribution*>(d.Module()), nullptr);
  EXPECT_EQ(s.dialog.parameterChoices, (std::vector<std::string>{"mean", "hazard rate"}));
}

TEST_F(ParPoissonTest, OfferedOptionsAndRows) {
  Choose(kMean, kTest, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kExact}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::Mean}));
  Choose(kRate, kTest, 1, 1);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::HazardRate}));
  Choose(kRate, kTest, 1, 3);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kExact}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{}));
  Choose(kMean, kTest, 2, 3);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::Mean2, group::SampleSize2}));
  Choose(kRate, kTest, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::HazardRate2, group::StudyTime2}));

  Choose(kMean, kPointEstimate, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{}));
  Choose(kRate, kPointEstimate, 2, 1);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::HazardRate2, group::StudyTime2}));
  Choose(kMean, kInterval, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::ConfInterval}));
  Choose(kRate, kInterval, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::HazardRate2, group::StudyTime2, group::ConfInterval}));
  // Two one-sided tests only for a test; an interval is two-sided.
  EXPECT_FALSE(s.dialog.tailsEnabled[0]);
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  d.SetProcedureKind(kTest);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
}

TEST_F(ParPoissonTest, TestLists) {
  const int mean[3] = {Ids::Mean, Ids::MeanMinusH0, Ids::MeanOverH0};
  const int rate[3] = {Ids::Rate, Ids::RateMinusH0, Ids::RateOverH0};
  const int mean2[3] = {Ids::Mean2, Ids::Mean2MinusMean1, Ids::Mean2OverMean1};
  const int rate2[3] = {Ids::Rate2, Ids::Rate2MinusRate1, Ids::Rate2OverRate1};
  const int size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1, Ids::SampleSize2OverSize1};
  const int time2[3] = {Ids::StudyTime2, Ids::StudyTime2MinusTime1, Ids::StudyTime2OverTime1};
  for (int form = 0; form < 3; ++form) {
    Choose(kMean, kTest, 1, 2, {}, {{group::Mean, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0Mean, mean[form], Ids::SampleSize}));
    Choose(kRate, kTest, 1, 1, {}, {{group::HazardRate, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0Rate, rate[form], Ids::StudyTime}));
    Choose(kMean, kTest, 2, 2, {}, {{group::Mean2, form}, {group::SampleSize2, 2 - form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0MeanDifference, Ids::Mean1, mean2[form],
                                             Ids::SampleSize1, size2[2 - form]}));
    EXPECT_EQ(s.ValueMode, 2 - form);
    Choose(kRate, kTest, 2, 2, {}, {{group::HazardRate2, form}, {group::StudyTime2, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0RateDifference, Ids::Rate1, rate2[form],
                                             Ids::StudyTime1, time2[form]}));
    Choose(kRate, kTest, 2, 3, {}, {{group::HazardRate2, form}, {group::StudyTime2, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::LeftDifferenceLimit, Ids::RightDifferenceLimit,
                                             Ids::Rate1, rate2[form], Ids::StudyTime1, time2[form]}));
  }
  // Two one-sided tests of one sample: the assumed value as a value only,
  // whatever form the one-sample row had.
  Choose(kMean, kTest, 1, 3, {}, {{group::Mean, 2}});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{0, 1, Ids::LeftLimit, Ids::RightLimit, Ids::Mean, Ids::SampleSize}));
  Choose(kRate, kTest, 1, 3);
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{0, 1, Ids::LeftLimit, Ids::RightLimit, Ids::Rate, Ids::StudyTime}));
  // Captions.
  EXPECT_EQ(s.entryAt(2).ParamCaption, "H0: &Left Equivalence Limit");
  EXPECT_EQ(s.entryAt(4).ParamCaption, "&Hazard Rate*");
  EXPECT_EQ(s.entryAt(5).ParamCaption, "&Study Time");
  Choose(kRate, kTest, 2, 2, {}, {{group::StudyTime2, 1}});
  EXPECT_EQ(s.entryAt(2).ParamCaption, "H&0:Hazard Rate 2 - Hazard Rate 1");
  EXPECT_EQ(s.entryAt(6).ParamCaption, "Study &Time 2 - Study Time 1");
}

TEST_F(ParPoissonTest, EstimateLists) {
  // Position 1 has no row in the Calculation window: a point estimate keeps
  // id 1 there and lists the error asked for at position 2.
  Choose(kMean, kPointEstimate, 1, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ErrorLevel, 1, Common::UpperAbsoluteError, Ids::PointMean,
                                           Ids::SampleSize}));
  Choose(kRate, kPointEstimate, 1, 2);
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Common::ErrorLevel, 1, Common::AbsoluteError, Ids::PointRate, Ids::StudyTime}));
  const int pointMean2[3] = {Ids::PointMean2, Ids::PointMean2MinusMean1, Ids::PointMean2OverMean1};
  const int pointRate2[3] = {Ids::PointRate2, Ids::PointRate2MinusRate1, Ids::PointRate2OverRate1};
  const int mean2[3] = {Ids::Mean2, Ids::Mean2MinusMean1, Ids::Mean2OverMean1};
  const int rate2[3] = {Ids::Rate2, Ids::Rate2MinusRate1, Ids::Rate2OverRate1};
  const int size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1, Ids::SampleSize2OverSize1};
  const int time2[3] = {Ids::StudyTime2, Ids::StudyTime2MinusTime1, Ids::StudyTime2OverTime1};
  const int limit[3] = {Common::LowerLimit, Common::UpperLimit, Common::WidthOfInterval};
  for (int form = 0; form < 3; ++form) {
    Choose(kMean, kPointEstimate, 2, 2, {}, {{group::Mean2, form}, {group::SampleSize2, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ErrorLevel, 1, Common::AbsoluteError, Ids::PointMean1,
                                             pointMean2[form], Ids::SampleSize1, size2[form]}));
    Choose(kRate, kPointEstimate, 2, 2, {}, {{group::HazardRate2, form}, {group::StudyTime2, 2 - form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ErrorLevel, 1, Common::AbsoluteError, Ids::PointRate1,
                                             pointRate2[form], Ids::StudyTime1, time2[2 - form]}));
    Choose(kMean, kInterval, 1, 2, {}, {{group::ConfInterval, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ConfidenceLevel, Common::ProbWidthBelow, Ids::Mean,
                                             limit[form], Ids::SampleSize}));
    Choose(kRate, kInterval, 1, 2, {}, {{group::ConfInterval, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ConfidenceLevel, Common::ProbWidthBelow, Ids::Rate,
                                             limit[form], Ids::StudyTime}));
    Choose(kMean, kInterval, 2, 2, {}, {{group::Mean2, form}, {group::ConfInterval, 2 - form}});
    EXPECT_EQ(ListedIds(),
              (std::vector<int>{Common::ConfidenceLevel, Common::ProbWidthBelow, Ids::Mean, mean2[form],
                                limit[2 - form], Ids::SampleSize1, Ids::SampleSize2}));
    Choose(kRate, kInterval, 2, 2, {}, {{group::HazardRate2, form}, {group::StudyTime2, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{Common::ConfidenceLevel, Common::ProbWidthBelow, Ids::Rate1,
                                             rate2[form], Common::LowerLimit, Ids::StudyTime1, time2[form]}));
  }
  Choose(kMean, kPointEstimate, 2, 2, {}, {{group::Mean2, 1}});
  EXPECT_EQ(s.entryAt(2).ParamCaption, "A&bsolute Error");
  EXPECT_EQ(s.entryAt(3).ParamCaption, "&Mean 1");
  EXPECT_EQ(s.entryAt(4).ParamCaption, "M&ean 2 - Mean 1");
  // The error is the first row after the error level; every listed value
  // but position 1 has a row.
  const std::vector<CalculationRow> rows = CalculationRows(s);
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(s.LastPosition));
  EXPECT_EQ(rows[1].position, 2);
  EXPECT_EQ(rows[1].caption, "A&bsolute Error");
  Choose(kRate, kPointEstimate, 1, 1);
  EXPECT_EQ(CalculationRows(s)[1].caption, "&Upper Absolute Error");
  Choose(kMean, kInterval, 2, 2);
  EXPECT_EQ(s.entryAt(2).ParamCaption, "&Mean*");
  EXPECT_EQ(s.entryAt(3).ParamCaption, "M&ean 2*");
}

TEST_F(ParPoissonTest, Descriptions) {
  Choose(kMean, kTest, 1, 2, {kExact});
  EXPECT_EQ(s.Description, "Poisson Distribution. Test of Mean. 2-sided. Exact Calculation.");
  Choose(kRate, kTest, 2, 3, {kContinuity});
  EXPECT_EQ(s.Description, "Poisson Distribution. Test of Rate2 - Rate1.Two 1-sided. Continuity Correction.");
  Choose(kRate, kPointEstimate, 1, 1);
  EXPECT_EQ(s.Description, "Poisson Distribution. Point Estimate of Hazard Rate. 1-sided.");
  Choose(kMean, kInterval, 2, 2);
  EXPECT_EQ(s.Description, "Poisson Distribution. Conf. Interval for Mean2 - Mean1. 2-sided.");
}

TEST_F(ParPoissonTest, PoissonRateStandardError) {
  // Pooled: sqrt((1/30 + 1/30) (0.5 30 + 0.7 30) / 60) = 0.2
  EXPECT_NEAR(PoissonRateSE(30, 30, 0.5f, 0.7f, 0), 0.2, 1e-7);
  // Separate: sqrt(0.5/40 + 0.55/60) = 0.147196014
  EXPECT_NEAR(PoissonRateSE(40, 60, 0.5f, 0.55f, 0.3f), 0.147196014, 1e-7);
  EXPECT_EQ(PoissonRateSE(40, 60, 0.5f, 0.55f, -0.3f), PoissonRateSE(40, 60, 0.5f, 0.55f, 0.3f));
}

TEST_F(ParPoissonTest, OneSampleNormalApproximation) {
  Choose(kMean, kTest, 1, 1);
  Set(0, "0.05");
  Set(Ids::H0Mean, "1");
  Set(Ids::Mean, "1.5");
  Set(Ids::SampleSize, "10");
  // scipy.stats.norm.sf(0.5 / sqrt(1 / 10))
  EXPECT_NEAR(PValue(), 0.056923149003329024, kTol);
  // Two-sided: (norm.ppf(0.975) / 0.5)^2 = 15.365835
  Choose(kMean, kTest, 1, 2);
  EXPECT_NEAR(Solve(Ids::SampleSize), 15.365835, 2e-3);
  // With the correction 1/(2n): brentq(lambda n: 2 norm.sf((0.5 - 1/(2n)) / sqrt(1/n)) - 0.05, 3, 100)
  Choose(kMean, kTest, 1, 2, {kContinuity});
  EXPECT_NEAR(Solve(Ids::SampleSize), 17.308059, 2e-3);
  // The exact calculation not chosen: the normal approximation even for a
  // count of 18: 2 norm.sf(0.8 / sqrt(1 / 10))
  Choose(kMean, kTest, 1, 2, {}, {{group::Mean, 1}});
  Set(Ids::MeanMinusH0, "0.8");
  Set(Ids::SampleSize, "10");
  EXPECT_NEAR(PValue(), 0.011412036386001651, kTol);
}

TEST_F(ParPoissonTest, OneSampleExact) {
  Choose(kMean, kTest, 1, 1, {kExact});
  Set(0, "0.05");
  Set(Ids::H0Mean, "1");
  Set(Ids::Mean, "1.8");
  Set(Ids::SampleSize, "10");
  // A count of 18 against a mean of 10: scipy.stats.poisson.sf(17, 10)
  EXPECT_NEAR(PValue(), 0.014277613597049663, kTol);
  Choose(kMean, kTest, 1, 1, {kExact}, {}, true);
  // poisson.cdf(18, 10)
  EXPECT_NEAR(PValue(), 0.9928134953961456, kTol);
  Choose(kMean, kTest, 1, 2, {kExact});
  // 2 min(poisson.cdf(18, 10), poisson.sf(17, 10))
  EXPECT_NEAR(PValue(), 0.028555227194099326, kTol);
  // A fractional count, 18.5: interpolated tails
  // 0.5 poisson.pmf(18, 10) + poisson.sf(18, 10) = 0.010732059 (upper),
  // 0.5 poisson.cdf(18, 10) + 0.5 poisson.cdf(19, 10) (lower)
  Set(Ids::Mean, "1.85");
  EXPECT_NEAR(PValue(), 0.021464118200904048, kTol);
  Choose(kMean, kTest, 1, 1, {kExact});
  EXPECT_NEAR(PValue(), 0.010732059100452024, kTol);
  Choose(kMean, kTest, 1, 1, {kExact}, {}, true);
  EXPECT_NEAR(PValue(), 0.9946795767101444, kTol);

  // The sample size at which the interpolated upper tail of 1.5 n against n
  // is 0.05: brentq(lambda n: U(1.5 n, n) - 0.05, 3, 60) = 13.829199
  Choose(kMean, kTest, 1, 1, {kExact});
  Set(Ids::Mean, "1.5");
  EXPECT_NEAR(Solve(Ids::SampleSize), 13.829199, 2e-3);
}

TEST_F(ParPoissonTest, ExactUpToAnExpectedCountOf1000) {
  Choose(kMean, kTest, 1, 2, {kExact});
  Set(0, "0.05");
  Set(Ids::H0Mean, "0.95");
  Set(Ids::SampleSize, "1000");
  const Sides sides{2, kFalse};
  // n lambda = 1000: the exact P-value of the count 1000 against the mean 950,
  // 2 min(poisson.cdf(1000, 950), poisson.sf(999, 950)) = 0.110109372
  // (the normal approximation would give 2 norm.sf(0.05 / sqrt(0.95 / 1000)) = 0.104757).
  Set(Ids::Mean, "1");
  EXPECT_EQ(PValue(), static_cast<double>(PValuePoisson(sides, 1000, 950, 0, 0)));
  EXPECT_NEAR(PValue(), 0.11010937246147609, 1e-5);
  // n lambda = 1000.5: the normal approximation,
  // 2 norm.sf(0.0505 / sqrt(0.95 / 1000)) = 0.101330701
  Set(Ids::Mean, "1.0005");
  EXPECT_EQ(PValue(), static_cast<double>(PValueZ(sides, 1.0005f, 0.95f, std::sqrt(0.95f / 1000), 0, 0, 0)));
  EXPECT_NEAR(PValue(), 0.101330701, 2e-5);
}

// e^-lambda underflows a double from a mean of about 745: the exact test
// must still be right for expected counts from there up to 1000.
TEST_F(ParPoissonTest, ExactForLargeExpectedCounts) {
  Choose(kMean, kTest, 1, 1, {kExact});
  Set(0, "0.05");
  Set(Ids::H0Mean, "0.8");
  Set(Ids::Mean, "0.85");
  Set(Ids::SampleSize, "1000");
  // A count of 850 against a mean of 800: poisson.sf(849, 800)
  EXPECT_NEAR(PValue(), 0.041076724863389875, 1e-5);
  Choose(kMean, kTest, 1, 1, {kExact}, {}, true);
  // poisson.cdf(850, 800)
  EXPECT_NEAR(PValue(), 0.961883223986827, 1e-5);
  // A count of 760 below the mean 800: poisson.cdf(760, 800)
  Set(Ids::Mean, "0.76");
  EXPECT_NEAR(PValue(), 0.0804086224373935, 1e-5);
  // A fractional count, 760.25: L(760.25, 800)
  Set(Ids::Mean, "0.76025");
  EXPECT_NEAR(PValue(), 0.08178387256181527, 1e-5);

  // A fractional count of 900.5 against 850, two-sided:
  // U(900.5, 850) = 0.044191345, 2 min(U, L) = 0.088382691
  Choose(kMean, kTest, 1, 2, {kExact});
  Set(Ids::H0Mean, "0.85");
  Set(Ids::Mean, "0.9005");
  Set(Ids::SampleSize, "1000");
  EXPECT_NEAR(PValue(), 0.08838269055899965, 1e-5);
  Choose(kMean, kTest, 1, 1, {kExact});
  EXPECT_NEAR(PValue(), 0.044191345279499826, 1e-5);

  // The hazard rate: a study time of 400, rates 2.4 (H0) and 2.5, a count of
  // 1000 against 960: poisson.sf(999, 960)
  Choose(kRate, kTest, 1, 1, {kExact});
  Set(Ids::H0Rate, "2.4");
  Set(Ids::Rate, "2.5");
  Set(Ids::StudyTime, "400");
  EXPECT_NEAR(PValue(), 0.10175682018645273, 1e-5);

  // Two one-sided tests, limits 0.8 and 0.9 at n = 1000, count 850:
  // max(poisson.sf(849, 800), poisson.cdf(850, 900)) = 0.048469900
  Choose(kMean, kTest, 1, 3, {kExact});
  Set(Ids::LeftLimit, "0.8");
  Set(Ids::RightLimit, "0.9");
  Set(Ids::Mean, "0.85");
  Set(Ids::SampleSize, "1000");
  EXPECT_NEAR(PValue(), 0.048469900316207966, 1e-5);

  // The sample size of a two-sided exact test of 1.07 against 1 at 0.05,
  // where the expected counts are 812 and 868:
  // brentq(lambda n: 2 min(U(1.07 n, n), L(1.07 n, n)) - 0.05, 750, 900) = 811.628800
  Choose(kMean, kTest, 1, 2, {kExact});
  Set(0, "0.05");
  Set(Ids::H0Mean, "1");
  Set(Ids::Mean, "1.07");
  EXPECT_NEAR(Solve(Ids::SampleSize), 811.628800, 0.05);
}

TEST_F(ParPoissonTest, OneSampleTwoOneSidedTests) {
  Choose(kMean, kTest, 1, 3);
  Set(0, "0.05");
  Set(Ids::LeftLimit, "0.3");
  Set(Ids::RightLimit, "0.7");
  Set(Ids::Mean, "0.5");
  Set(Ids::SampleSize, "50");
  // Each one-sided test with the standard error at its own limit:
  // max(norm.sf(0.2 / sqrt(0.3/50)), norm.cdf(-0.2 / sqrt(0.7/50)))
  EXPECT_NEAR(PValue(), 0.04548447398767889, kTol);
  Choose(kMean, kTest, 1, 3, {kContinuity});
  // the same with the correction 1/100 towards each limit
  EXPECT_NEAR(PValue(), 0.05415969036500206, kTol);
  Choose(kMean, kTest, 1, 3, {kExact});
  // a count of 25: max(poisson.sf(24, 15), poisson.cdf(25, 35))
  EXPECT_NEAR(PValue(), 0.04862018886913726, kTol);

  // The assumed mean is searched beyond the point where both one-sided tests
  // agree (sqrt(0.3 0.7) = 0.458 without the correction).
  Choose(kMean, kTest, 1, 3);
  const double above = Solve(Ids::Mean);
  ASSERT_NE(above, kNoResult);
  EXPECT_GT(above, std::sqrt(0.21));
  EXPECT_NEAR(Criterion(), 0, 1e-4);
  Choose(kMean, kTest, 1, 3, {}, {}, true);
  Set(Ids::Mean, "0.5");
  const double below = Solve(Ids::Mean);
  ASSERT_NE(below, kNoResult);
  EXPECT_LT(below, std::sqrt(0.21));
  EXPECT_NEAR(Criterion(), 0, 1e-4);
}

TEST_F(ParPoissonTest, TwoSamples) {
  Choose(kMean, kTest, 2, 2);
  Set(0, "0.05");
  Set(Ids::H0MeanDifference, "0");
  Set(Ids::Mean1, "0.5");
  Set(Ids::Mean2, "0.7");
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2, "30");
  // The pooled standard error is 0.2: 2 norm.sf(1)
  EXPECT_NEAR(PValue(), 0.31731050786291415, kTol);
  Choose(kMean, kTest, 2, 2, {kContinuity});
  // 2 norm.sf((0.2 - 1/30) / 0.2)
  EXPECT_NEAR(PValue(), 0.40465676192728617, kTol);
  // Both sizes by their ratio 1: 1.2 (norm.ppf(0.975) / 0.2)^2 = 115.243765
  Choose(kMean, kTest, 2, 2, {}, {{group::SampleSize2, 2}});
  Set(Ids::SampleSize2OverSize1, "1");
  EXPECT_NEAR(Solve(Ids::SampleSize1), 115.243765, 0.01);

  // Two one-sided tests, limits -0.3 and 0.3: the separate standard error
  // sqrt(0.5/40 + 0.55/60) at both: max(norm.sf(0.35/se), norm.cdf(-0.25/se))
  Choose(kMean, kTest, 2, 3);
  Set(Ids::LeftDifferenceLimit, "-0.3");
  Set(Ids::RightDifferenceLimit, "0.3");
  Set(Ids::Mean1, "0.5");
  Set(Ids::Mean2, "0.55");
  Set(Ids::SampleSize1, "40");
  Set(Ids::SampleSize2, "60");
  EXPECT_NEAR(PValue(), 0.0447146795144968, kTol);
  // A limit of 0 takes the pooled standard error for its own test:
  // max(norm.sf(0.05 / sp), norm.cdf(-0.25 / se)), sp = sqrt((1/40 + 1/60) (20 + 33) / 100)
  Set(Ids::LeftDifferenceLimit, "0");
  EXPECT_NEAR(PValue(), 0.36826076400020136, kTol);
}

TEST_F(ParPoissonTest, SolvesForTheEffects) {
  // One sample, H0 below the assumed mean 0.5 at n = 30, two-sided:
  // brentq(lambda l0: (0.5 - l0) / sqrt(l0 / 30) - norm.ppf(0.975), 0.01, 0.5) = 0.303019665
  Choose(kMean, kTest, 1, 2);
  Set(0, "0.05");
  Set(Ids::Mean, "0.5");
  Set(Ids::SampleSize, "30");
  EXPECT_NEAR(Solve(Ids::H0Mean), 0.303019665, 1e-5);
  // The second mean, N1 = N2 = 30, mean 1 0.5, pooled:
  // brentq(lambda l2: (l2 - 0.5) / sqrt((1/15) (0.5 + l2) / 2) - norm.ppf(0.975), 0.5, 5) = 0.927545620
  Choose(kMean, kTest, 2, 2);
  Set(Ids::H0MeanDifference, "0");
  Set(Ids::Mean1, "0.5");
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2, "30");
  EXPECT_NEAR(Solve(Ids::Mean2), 0.927545620, 1e-5);
  Choose(kMean, kTest, 2, 2, {}, {{group::Mean2, 1}});
  EXPECT_NEAR(Solve(Ids::Mean2MinusMean1), 0.427545620, 1e-5);
  Choose(kMean, kTest, 2, 2, {}, {{group::Mean2, 2}});
  EXPECT_NEAR(Solve(Ids::Mean2OverMean1), 1.855091240, 2e-5);
}

TEST_F(ParPoissonTest, StudyTimesAreNotSampleSizes) {
  // A hazard rate of 1.3 against 0.3: (norm.ppf(0.975) sqrt(0.3) / 1)^2 = 1.152438, a
  // study time below the smallest sample size of 3.
  Choose(kRate, kTest, 1, 2);
  Set(0, "0.05");
  Set(Ids::H0Rate, "0.3");
  Set(Ids::Rate, "1.3");
  EXPECT_NEAR(Solve(Ids::StudyTime), 1.152438, 2e-4);
  // The same as a number of units stops at 3.
  Choose(kMean, kTest, 1, 2);
  Set(Ids::H0Mean, "0.3");
  Set(Ids::Mean, "1.3");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  // Two samples: a second study time given as a difference may bring it
  // down to its own bound, not to 2.
  Choose(kRate, kTest, 2, 2, {}, {{group::StudyTime2, 1}});
  Set(Ids::H0RateDifference, "0");
  Set(Ids::Rate1, "0.3");
  Set(Ids::Rate2, "1.3");
  Set(Ids::StudyTime2MinusTime1, "0");
  // N1 = N2 = t, pooled: 2 norm.sf(1 / sqrt((2/t) 0.8)) = 0.05 at t = 1.6 norm.ppf(0.975)^2 = 6.146334
  EXPECT_NEAR(Solve(Ids::StudyTime1), 6.146334, 2e-3);
  Set(Ids::StudyTime1, "10");
  double lower = 0, upper = 99999;
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::StudyTime2MinusTime1));
  ReadParameterValues(s);
  lower = s.entry(Ids::StudyTime2MinusTime1).ParamLowerLimit;
  d.CallSetSearchInterval(lower, upper);
  EXPECT_NEAR(lower, s.entry(Ids::StudyTime2).ParamLowerLimit - 10, 1e-9);
}

TEST_F(ParPoissonTest, PointEstimate) {
  // lambda = 1, E = 0.2: q / sqrt(n) - 0.2 with q = norm.isf(0.025), zero at
  // (q / 0.2)^2 = 96.036471 (96.0361 with the tabulated 1.95996).
  Choose(kMean, kPointEstimate, 1, 2);
  Set(Common::ErrorLevel, "0.05");
  Set(Common::AbsoluteError, "0.2");
  Set(Ids::PointMean, "1");
  Set(Ids::SampleSize, "50");
  EXPECT_NEAR(Criterion(), kQ975 / std::sqrt(50.0) - 0.2, 1e-6);
  EXPECT_NEAR(Solve(Ids::SampleSize), 96.036471, 1e-3);
  // The error reached at n = 50: q / sqrt(50) = 0.277180765
  Set(Ids::SampleSize, "50");
  EXPECT_NEAR(Solve(Common::AbsoluteError), 0.277180765, 1e-6);
  // Two samples, N2 = N1: q^2 (0.5 + 0.7) / 0.1^2 = 460.975058
  Choose(kMean, kPointEstimate, 2, 2, {}, {{group::SampleSize2, 2}});
  Set(Common::AbsoluteError, "0.1");
  Set(Ids::PointMean1, "0.5");
  Set(Ids::PointMean2, "0.7");
  Set(Ids::SampleSize2OverSize1, "1");
  EXPECT_NEAR(Solve(Ids::SampleSize1), 460.975058, 5e-3);
  // A hazard rate's study time: the same number.
  Choose(kRate, kPointEstimate, 2, 2, {}, {{group::HazardRate2, 2}, {group::StudyTime2, 2}});
  Set(Ids::PointRate1, "0.5");
  Set(Ids::PointRate2OverRate1, "1.4");
  Set(Ids::StudyTime2OverTime1, "1");
  EXPECT_NEAR(Solve(Ids::StudyTime1), 460.975058, 5e-3);
}

TEST_F(ParPoissonTest, ConfidenceInterval) {
  // lambda1 0.5, lambda2 0.7, N1 = N2 = 100, cc (1/100 + 1/100)/2, q = norm.isf(0.025):
  // lower 0.2 + cc - q sqrt(0.012) = -0.004703297, upper 0.2 - cc + q se = 0.404703297,
  // width 2 q se - 2 cc = 0.409406594
  const double expected[3] = {-0.004703297, 0.404703297, 0.409406594};
  for (int kind = 0; kind < 3; ++kind) {
    Choose(kMean, kInterval, 2, 2, {kContinuity}, {{group::ConfInterval, kind}});
    Set(Common::ConfidenceLevel, "0.95");
    Set(Ids::Mean, "0.5");
    Set(Ids::Mean2, "0.7");
    Set(Ids::SampleSize1, "100");
    Set(Ids::SampleSize2, "100");
    Set(s.ParameterList[4], "0.1");
    EXPECT_NEAR(Criterion(), expected[kind] - 0.1, 1e-6) << kind;
  }
  // One sample: the width 2 q sqrt(lambda / n) is reached at n = (2 q / w)^2 lambda:
  // lambda 2, w 0.5: 2 (2 q / 0.5)^2 = 122.926682
  Choose(kMean, kInterval, 1, 2, {}, {{group::ConfInterval, kWidth}});
  Set(Ids::Mean, "2");
  Set(Common::WidthOfInterval, "0.5");
  EXPECT_NEAR(Solve(Ids::SampleSize), 122.926682, 2e-3);
  // ... and the mean that a width 0.5 allows at n = 100: 100 (0.25 / q)^2 = 1.626986
  Set(Ids::SampleSize, "100");
  EXPECT_NEAR(Solve(Ids::Mean), 1.626986, 1e-5);
  // The upper limit 2.5 of a mean 2: 2 + q sqrt(2 / n) = 2.5 at n = 2 (q / 0.5)^2 = 30.731671
  Choose(kMean, kInterval, 1, 2, {}, {{group::ConfInterval, kUpperLimit}});
  Set(Ids::Mean, "2");
  Set(Common::UpperLimit, "2.5");
  EXPECT_NEAR(Solve(Ids::SampleSize), 30.731671, 1e-3);
  // A lower limit of the hazard rate with its study time.
  Choose(kRate, kInterval, 1, 2, {}, {{group::ConfInterval, kLowerLimit}});
  Set(Ids::Rate, "2");
  Set(Common::LowerLimit, "1.5");
  EXPECT_NEAR(Solve(Ids::StudyTime), 30.731671, 1e-3);
}

TEST_F(ParPoissonTest, ChecksOfRelativeParametersAndLimits) {
  Choose(kMean, kTest, 1, 2, {}, {{group::Mean, 1}});
  Set(Ids::H0Mean, "0.3");
  Set(Ids::MeanMinusH0, "-0.5");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Mean*  -  H0:Mean has to be greater than or equal to -0.29999");

  ui.messages.clear();
  Choose(kRate, kTest, 2, 2, {}, {{group::StudyTime2, 2}});
  Set(Ids::StudyTime2OverTime1, "0");
  EXPECT_EQ(Solve(Ids::Rate1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Study Time 2 / Study Time 1 has to be greater than or equal to 0.00001");

  ui.messages.clear();
  Choose(kMean, kTest, 1, 3);
  Set(Ids::LeftLimit, "0.6");
  Set(Ids::RightLimit, "0.4");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");

  ui.messages.clear();
  Choose(kRate, kPointEstimate, 2, 2, {}, {{group::HazardRate2, 1}});
  Set(Ids::PointRate1, "0.5");
  Set(Ids::PointRate2MinusRate1, "-0.6");
  EXPECT_EQ(Solve(Ids::StudyTime1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Hazard Rate 2 - Hazard Rate 1 has to be greater than or equal to -0.49999");
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

TEST_F(ParPoissonTest, ResultsEqualTheCommandLine) {
  Choose(kMean, kTest, 1, 2);
  Set(Ids::H0Mean, "1");
  Set(Ids::Mean, "1.5");
  Solve(Ids::SampleSize);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "15.366");
  EXPECT_EQ(CliValue({"--distribution", "6", "--samples", "1", "--set", "H0: Mean=1", "--set", "Mean*=1.5",
                      "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(Ids::SampleSize).ParamText);

  Choose(kRate, kTest, 2, 3, {kContinuity}, {{group::HazardRate2, 2}});
  Set(Ids::Rate1, "0.5");
  Set(Ids::Rate2OverRate1, "1.1");
  Solve(Ids::StudyTime1);
  EXPECT_EQ(CliValue({"--distribution", "6", "--parameter", "1", "--samples", "2", "--tails", "3", "--option",
                      "1", "--mode", "5=2", "--set", "Hazard Rate 1=0.5", "--set",
                      "Hazard Rate 2* / Hazard Rate 1*=1.1", "--unknown", "Study Time 1"},
                     "Study Time 1"),
            s.entry(Ids::StudyTime1).ParamText);

  Choose(kRate, kInterval, 1, 2, {kContinuity}, {{group::ConfInterval, kWidth}});
  Set(Ids::Rate, "0.8");
  Set(Common::WidthOfInterval, "0.4");
  Solve(Ids::StudyTime);
  EXPECT_EQ(CliValue({"--distribution", "6", "--parameter", "1", "--kind", "interval", "--samples", "1",
                      "--option", "1", "--mode", "32=2", "--set", "Hazard Rate=0.8", "--set",
                      "Width Of Interval=0.4", "--unknown", "Study Time"},
                     "Study Time"),
            s.entry(Ids::StudyTime).ParamText);

  // A point estimate with the error asked for set like any other value.
  Choose(kMean, kPointEstimate, 1, 2);
  Set(Common::AbsoluteError, "0.2");
  Set(Ids::PointMean, "1");
  Solve(Ids::SampleSize);
  // (norm.isf(0.025) / 0.2)^2 = 96.036471
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "96.036");
  EXPECT_EQ(CliValue({"--distribution", "6", "--kind", "estimate", "--samples", "1", "--set",
                      "Absolute Error=0.2", "--set", "Mean=1", "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(Ids::SampleSize).ParamText);
}

}  // namespace
}  // namespace pelmora
