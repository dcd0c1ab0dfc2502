// The exponential sample distribution: the point estimates and confidence
// intervals of the location and the scale on hand-checked values (the error of
// a point estimate asked for in a row of its own), the tests it hands on, and
// the check of the second sample size.  Reference values are computed with
// scipy (Debian's python3-scipy), the closed forms of the exponential
// distribution (log(20) / 0.1, ...) with python3's math module.  The
// program's chi-square and F distribution functions and quantiles are
// approximations good to a few 1e-4, hence the tolerances where they enter.
#include <gtest/gtest.h>

#include <limits>

#include "procedures/distributions/exponential.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr Procedure kExponential = Procedure::ExponentialDistribution;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kLocation = 0, kScale = 1, kScaleLocationUnknown = 2;
constexpr int kSize2Group = 2, kIntervalGroup = 32;
using Ids = ExponentialDistribution::Ids;
using testing::kCriterion;

testing::Choice Ex(int choice, int kind, int samples, int tails, testing::Forms forms = {}) {
  return testing::DistChoice(kExponential, choice, kind, samples, tails, {}, std::move(forms));
}
testing::Choice Limit(int choice, int samples, int limit) {
  return Ex(choice, kInterval, samples, 2, {{kIntervalGroup, limit}});
}

class ExponentialDistributionPlanning : public testing::PlanningTest {};

// clang-format off
TEST_F(ExponentialDistributionPlanning, TestsAndPointEstimates) {
  ExpectReferences({
    // the sample minimum exceeds the location by an exponential of scale 1/n: P(minimum >= 0.3) = e^(-0.3 n),
    // one-sided n = ln(20)/0.3, two-sided ln(40)/0.3; the scale: brentq(lambda n: chi2.sf(1.2 * 2n, 2n) -
    // 0.05),
    // one unit more with 2(n - 1) degrees of freedom
    {Ex(kLocation, kTest, 1, 1), {}, Ids::SampleSize, 9.98577, 1e-3},
    {Ex(kLocation, kTest, 1, 2), {}, Ids::SampleSize, 12.29626, 1e-3},
    {Ex(kScale, kTest, 1, 1), {}, Ids::SampleSize, 72.98826, 0.1},
    {Ex(kScaleLocationUnknown, kTest, 1, 1), {}, Ids::SampleSize, 73.98826, 0.1},
    // the error typed into its row is what the criterion reads: at the start-up values (alpha 0.05, scale 1,
    // n 30) the criterion of the location is ln(0.05) + 30 E, -log(20) + 30 x 0.2 for E = 0.2; the error
    // that 30
    // units reach: log(20) / 30; log(20) / 0.2
    {Ex(kLocation, kPointEstimate, 1, 2), {{Ids::AbsoluteError, "0.2"}}, kCriterion, 3.0042677, 1e-5},
    {Ex(kLocation, kPointEstimate, 1, 2), {}, Ids::AbsoluteError, 0.0998577, 1e-6},
    {Ex(kLocation, kPointEstimate, 1, 2), {{Ids::AbsoluteError, "0.2"}}, Ids::SampleSize, 14.978661, 1e-4},
    // ln(alpha) + n E is zero at n = ln(20)/0.1 whatever the number of tails; the scale 30 x 0.1 / ln 20; the
    // error level e^-3
    {Ex(kLocation, kPointEstimate, 1, 1), {}, Ids::SampleSize, 29.95732, 1e-3},
    {Ex(kLocation, kPointEstimate, 1, 2), {}, Ids::SampleSize, 29.95732, 1e-3},
    {Ex(kLocation, kPointEstimate, 1, 2), {}, Ids::Scale, 1.0014246, 1e-5},
    {Ex(kLocation, kPointEstimate, 1, 2), {}, Ids::ErrorLevel, 0.0497871, 1e-6},
    // the relative error that 30 units reach with the location estimated, two-sided: brentq(lambda r:
    // chi2.cdf((1 + r) 58, 58) - chi2.cdf((1 - r) 58, 58) - 0.95) (Wilson-Hilferty beyond 21 degrees of
    // freedom); the same for the ratio of two scales, 30 units each, one-sided: brentq(lambda r:
    // f.cdf(1 + r, 58, 58) - 0.95)
    {Ex(kScaleLocationUnknown, kPointEstimate, 1, 2), {}, Ids::RelativeError, 0.3606242, 2e-3},
    {Ex(kScaleLocationUnknown, kPointEstimate, 1, 2), {{Ids::RelativeError, "0.360624"}},
     kCriterion, 0, 2e-3},
    {Ex(kScaleLocationUnknown, kPointEstimate, 2, 1), {}, Ids::UpperRelativeError, 0.5457683, 2e-3},
    // brentq(lambda n: chi2.cdf(1.1 * 2n, 2n) - 0.95); brentq(lambda n: chi2.cdf(1.1 * 2n, 2n) -
    // chi2.cdf(0.9 * 2n, 2n) - 0.95), one unit more with 2(n - 1) degrees of freedom; 1 - (chi2.cdf(63.8,
    // 58) -
    // chi2.cdf(52.2, 58))
    {Ex(kScale, kPointEstimate, 1, 1), {}, Ids::SampleSize, 281.5786, 0.1},
    {Ex(kScale, kPointEstimate, 1, 2), {}, Ids::SampleSize, 383.6048, 0.1},
    {Ex(kScaleLocationUnknown, kPointEstimate, 1, 2), {}, Ids::SampleSize, 384.6048, 0.1},
    {Ex(kScaleLocationUnknown, kPointEstimate, 1, 2), {{Ids::RelativeError, "0.1"}}, Ids::ErrorLevel,
     1.0 - 0.409792, 2e-3},
    // equal sizes: brentq(lambda n: f.cdf(1.1, 2n, 2n) - f.cdf(0.9, 2n, 2n) - 0.95); brentq(lambda n:
    // f.cdf(1.2, 2n, 2n) - 0.95), the second size as a ratio solving to 1 at the first's size; a second size
    // of
    // 30 alone cannot make up for any first size
    {Ex(kScale, kPointEstimate, 2, 2, {{kSize2Group, 2}}), {}, Ids::SampleSize1, 771.149, 2.0},
    {Ex(kScale, kPointEstimate, 2, 1, {{kSize2Group, 2}}), {{Ids::UpperRelativeError, "0.2"}},
     Ids::SampleSize1, 163.258, 0.5},
    {Ex(kScale, kPointEstimate, 2, 1, {{kSize2Group, 2}}), {{Ids::UpperRelativeError, "0.2"},
     {Ids::SampleSize1, "163.258"}}, Ids::SampleSize2OverSize1, 1.0, 5e-3},
    {Ex(kScale, kPointEstimate, 2, 1), {{Ids::UpperRelativeError, "0.2"}}, Ids::SampleSize1, kNoResult, 0},
    // a second size given as a difference: brentq(lambda n: f.cdf(1.1, 2(n + 20), 2n) - f.cdf(0.9, 2(n + 20),
    // 2n) - 0.95)
    {Ex(kScale, kPointEstimate, 2, 2, {{kSize2Group, 1}}), {{Ids::SampleSize2MinusSize1, "20"}},
     Ids::SampleSize1, 761.343, 2.0},
  });
}

TEST_F(ExponentialDistributionPlanning, Intervals) {
  const testing::Values n2 = {{Ids::SampleSize2, "40"}};
  ExpectReferences({
    // d = scale ln(1/(1 - CL))/n: lower limit 0.3 - ln(20)/30, reaching 0.2 at n = ln(20)/0.1, the width d
    // itself; the upper limit is the estimate whatever the sample size
    {Limit(kLocation, 1, 0), {}, Ids::LowerLimit, 0.2001423, 1e-5},
    {Limit(kLocation, 1, 0), {{Ids::LowerLimit, "0.2"}}, Ids::SampleSize, 29.95732, 1e-3},
    {Limit(kLocation, 1, 2), {{Ids::Width, "0.1"}}, Ids::SampleSize, 29.95732, 1e-3},
    {Limit(kLocation, 1, 1), {}, Ids::UpperLimit, 0.3, 1e-6},
    {Limit(kLocation, 1, 1), {{Ids::UpperLimit, "0.25"}}, Ids::SampleSize, kNoResult, 0},
    // 60 x 1.2 / chi2.ppf(0.975, 60), 60 x 1.2 / chi2.ppf(0.025, 60); with the location estimated 58 degrees
    // of
    // freedom: 58 x 1.2 / chi2.ppf(0.975, 58), 58 x 1.2 / chi2.ppf(0.025, 58)
    {Limit(kScale, 1, 0), {}, Ids::LowerLimit, 0.864370, 5e-4},
    {Limit(kScale, 1, 1), {}, Ids::UpperLimit, 1.778579, 1e-3},
    {Limit(kScaleLocationUnknown, 1, 0), {}, Ids::LowerLimit, 0.859943, 5e-4},
    {Limit(kScaleLocationUnknown, 1, 1), {}, Ids::UpperLimit, 1.791805, 1e-3},
    // brentq(lambda n: 2n 1.2/chi2.ppf(0.025, 2n) - 2n 1.2/chi2.ppf(0.975, 2n) - 0.5); the estimate that
    // gives a
    // lower limit of 1 at n = 30: 1.2 / 0.864370
    {Limit(kScale, 1, 2), {{Ids::Width, "0.5"}}, Ids::SampleSize, 92.1619, 0.5},
    {Limit(kScale, 1, 0), {{Ids::LowerLimit, "1"}}, Ids::ScaleEstimate, 1.2 / 0.864370, 1e-3},
    // 1.2 / f.ppf(0.975, 60, 60), 1.2 / f.ppf(0.025, 60, 60); location estimated, n1 = 30, n2 = 40:
    // 1.2 / f.ppf(0.975, 78, 58), 1.2 / f.ppf(0.025, 78, 58), and the width their difference
    {Limit(kScale, 2, 0), {}, Ids::LowerLimit, 0.719946, 2e-3},
    {Limit(kScale, 2, 1), {}, Ids::UpperLimit, 2.000149, 5e-3},
    {Limit(kScaleLocationUnknown, 2, 0), n2, Ids::LowerLimit, 0.732562, 2e-3},
    {Limit(kScaleLocationUnknown, 2, 1), n2, Ids::UpperLimit, 1.931661, 5e-3},
    {Limit(kScaleLocationUnknown, 2, 2), n2, Ids::Width, 1.931661 - 0.732562, 6e-3},
    {Ex(kScale, kInterval, 2, 2, {{kSize2Group, 2}}), {{Ids::SampleSize2OverSize1, "0.05"}}, Ids::LowerLimit,
     kNoResult, 0, "Sample Size 2 / Sample Size 1 has to be greater than or equal to 0.1"},
  });
}
// clang-format on

TEST_F(ExponentialDistributionPlanning, PositionOneIsNotRead) {
  Choose(Ex(kLocation, kPointEstimate, 1, 2));
  ReadParameterValues(s);
  const double criterion = d.CallEvaluateCriterion();
  s.value(1) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(d.CallEvaluateCriterion(), criterion);
}

TEST_F(ExponentialDistributionPlanning, TheLocationHasNoTwoSampleFormAndIntervalsAreTwoSided) {
  for (int kind : {kTest, kPointEstimate, kInterval}) {
    Choose(Ex(kLocation, kind, 2, 2));
    EXPECT_EQ(s.SampleCount, 1) << kind;
    EXPECT_FALSE(s.dialog.samplesEnabled[1]) << kind;
    Choose(Ex(kScale, kind, 2, 2));
    EXPECT_EQ(s.SampleCount, 2) << kind;
  }
  Choose(Ex(kScale, kInterval, 1, 1));
  EXPECT_EQ(s.TailCount, 2);
}

}  // namespace
}  // namespace pelmora
