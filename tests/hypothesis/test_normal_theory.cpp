// The normal-theory tests: the z test of a mean, the chi-square and F tests of
// standard deviations, the z and t tests of log-normal medians and the
// bioequivalence test.  Lists, criteria, solves and search intervals.
// Reference values are computed with scipy 1.10 (Debian's python3-scipy); the
// program's distributions are single-precision approximations (the normal
// good to 1e-7, the t to about 1e-5, the chi-square beyond 21 degrees of
// freedom by Wilson-Hilferty), hence the tolerances.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/bioequivalence.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/standard_deviation.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Forms = std::vector<std::pair<int, int>>;

constexpr int kNormal = 0, kLogNormal = 1;
constexpr int kMeanSdKnown = 0, kSdMeanKnown = 2, kSdMeanUnknown = 3;
constexpr int kMedianShapeKnown = 0, kMedianShapeUnknown = 1;
constexpr int kBioequivalence = 16;

class NormalTheoryTest : public testing::PlanningTest {
 protected:
  // A test of a sample distribution handed to module M, chosen as the options
  // dialog would, then confirmed.
  template <typename M>
  M& Choose(int distribution, int choice, int samples, int tails, const std::vector<int>& options = {},
            const Forms& forms = {}, bool left = false) {
    M* m = d.modules().Find<M>();
    EXPECT_NE(m, nullptr);
    d.UseModuleForTesting(m);
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.SelectDistribution(distribution);
    d.SetParameterChoice(choice);
    d.SetSampleCount(samples);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    for (auto [g, f] : forms) d.SetForm(g, f);
    d.ApplyOptions();
    return *m;
  }
  // The bioequivalence test from its menu item.
  void ChooseBioequivalence(const Forms& forms = {}, bool left = false) {
    d.UseModuleForTesting(nullptr);
    s.IntParMode.fill(0);
    d.SelectTest(kBioequivalence);
    d.SetRejectInLeftTail(left);
    for (auto [g, f] : forms) d.SetForm(g, f);
    d.ApplyOptions();
  }
  // The P-value at the current texts (the requested one is the start-up 0.05).
  double P() { return Criterion() + 0.05; }
  // The search interval for the listed id as the driver presets and the module narrows it.
  std::pair<double, double> Interval(int id) {
    ReadParameterValues(s);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(id));
    double lower = s.entry(id).ParamLowerLimit, upper = s.entry(id).ParamUpperLimit;
    d.CallSetSearchInterval(lower, upper);
    return {lower, upper};
  }
};

TEST_F(NormalTheoryTest, ModulesAreRegistered) {
  EXPECT_NE(d.modules().Find<NormalZ>(), nullptr);
  EXPECT_NE(d.modules().Find<StandardDeviation>(), nullptr);
  EXPECT_NE(d.modules().Find<LogNormalMedian>(), nullptr);
  EXPECT_NE(d.modules().Find<LogNormalT>(), nullptr);
  ASSERT_NE(d.modules().Find<Bioequivalence>(), nullptr);
  EXPECT_EQ(d.modules().ForTest(kBioequivalence), d.modules().Find<Bioequivalence>());
}

// ---- TESTNOR ---------------------------------------------------------------

using NorIds = NormalZ::Ids;

TEST_F(NormalTheoryTest, ZTestRowsAndLists) {
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{0}));
  EXPECT_EQ(s.OptionCount, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 57, 58, 2, 14}));
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 1, {}, {{0, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 57, 59, 2, 14}));
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 2, {}, {{0, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 57, 60, 2, 14}));
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 3, {}, {{0, 2}});
  EXPECT_TRUE(OfferedRows().empty());
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 58, 2, 14}));

  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{1, 29, 2}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 86, 87, 216, 217, 4, 37}));
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 1, {}, {{1, 1}, {29, 1}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 62, 216, 218, 4, 38}));
  EXPECT_EQ(s.ValueMode, 1);
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 2, {}, {{1, 2}, {29, 2}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 61, 86, 88, 216, 219, 4, 5}));
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 3, {}, {{1, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 62, 216, 217, 4, 37}));
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 3, {}, {{1, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 86, 88, 216, 217, 4, 37}));
}

TEST_F(NormalTheoryTest, ZTestCriterion) {
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 2);
  Set(NorIds::Mean, "0.1");
  // 2 * scipy.stats.norm.sf(0.1 / (0.3 / sqrt(30)))
  EXPECT_NEAR(P(), 0.06788915486182893, 1e-6);
  // Rejecting in the left tail with the mean above H0:
  // scipy.stats.norm.cdf(0.1 / (0.3 / sqrt(30)))
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 1, {}, {}, true);
  Set(NorIds::Mean, "0.1");
  EXPECT_NEAR(P(), 0.9660554225690855, 1e-6);
  // The ratio form: 0.2 x 1.5 = 0.3 against H0 0.2;
  // scipy.stats.norm.sf(0.1 / (0.3 / sqrt(30)))
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 1, {}, {{0, 2}});
  Set(NorIds::H0Mean, "0.2");
  Set(NorIds::MeanOverH0, "1.5");
  EXPECT_NEAR(P(), 0.03394457743091447, 1e-6);

  // Two samples, each standard deviation and size in its ratio form:
  // SD2 = 0.6, n2 = 40; 2 * scipy.stats.norm.sf(0.1 / sqrt(0.36/40 + 0.09/20))
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 2, {}, {{1, 0}, {29, 2}, {2, 2}});
  Set(NorIds::Mean1, "0.3");
  Set(NorIds::Mean2, "0.4");
  Set(NorIds::Sd1, "0.3");
  Set(NorIds::Sd2OverSd1, "2");
  Set(NorIds::SampleSize1, "20");
  Set(NorIds::SampleSize2OverSize1, "2");
  EXPECT_NEAR(P(), 0.3894236957350262, 1e-6);
  // The same through the difference forms.
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 2, {}, {{1, 1}, {29, 1}, {2, 1}});
  Set(NorIds::Diff, "0.1");
  Set(NorIds::Sd2MinusSd1, "0.3");
  Set(NorIds::SampleSize2MinusSize1, "20");
  EXPECT_NEAR(P(), 0.3894236957350262, 1e-6);

  // Two one-sided: max(norm.sf(0.5 / se), norm.cdf(-0.3 / se)), se = sqrt(0.09/30 * 2)
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 3, {}, {{1, 1}});
  Set(NorIds::Diff, "0.1");
  Set(NorIds::Sd1, "0.3");
  Set(NorIds::Sd2, "0.3");
  Set(NorIds::SampleSize1, "30");
  Set(NorIds::SampleSize2, "30");
  EXPECT_NEAR(P(), 5.375558836475012e-05, 1e-6);
}

TEST_F(NormalTheoryTest, ZTestSolvesForSizeAndEffect) {
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 2);
  Set(NorIds::Mean, "0.1");
  // (scipy.stats.norm.ppf(0.975) * 0.3 / 0.1) ** 2
  EXPECT_NEAR(Solve(NorIds::SampleSize), 34.573129386247125, 0.01);
  Set(NorIds::SampleSize, "30");
  // scipy.stats.norm.ppf(0.975) * 0.3 / sqrt(30)
  EXPECT_NEAR(Solve(NorIds::Mean), 0.10735164862302943, 1e-4);
  // Rejecting in the left tail the mean is found below H0.
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 1, {}, {}, true);
  // -scipy.stats.norm.ppf(0.95) * 0.3 / sqrt(30)
  EXPECT_NEAR(Solve(NorIds::Mean), -0.09009234352755087, 1e-4);
  // A one-sided test in the wrong tail has no sample size.
  Set(NorIds::Mean, "0.1");
  EXPECT_EQ(Solve(NorIds::SampleSize), kNoResult);
}

// ---- TESTS2 ----------------------------------------------------------------

using S2Ids = StandardDeviation::Ids;

TEST_F(NormalTheoryTest, StandardDeviationTestRowsAndLists) {
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{3}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 110, 111, 14}));
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 1, {}, {{3, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 110, 112, 14}));
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 1, 2, {}, {{3, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 110, 113, 14}));
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 1, 3, {}, {{3, 2}});
  EXPECT_TRUE(OfferedRows().empty());
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 116, 117, 111, 14}));
  EXPECT_EQ(s.entry(116).ParamText, "0.80");
  EXPECT_EQ(s.entry(117).ParamText, "1.25");

  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{13, 2}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 114, 139, 140, 4, 37}));
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 1, {}, {{13, 1}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 114, 115, 4, 5}));
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 2, 3, {}, {{13, 0}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 116, 117, 139, 140, 4, 38}));
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 2, 3, {}, {{13, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 116, 117, 115, 4, 37}));
}

TEST_F(NormalTheoryTest, ChiSquareTestOfOneStandardDeviation) {
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 1);
  // n - 1 degrees of freedom: scipy.stats.chi2.sf(29 * 1.2**2, 29)
  EXPECT_NEAR(P(), 0.059008887791236184, 5e-4);
  // The mean known: n degrees of freedom: scipy.stats.chi2.sf(30 * 1.2**2, 30)
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 1, 1);
  EXPECT_NEAR(P(), 0.05625762140260528, 5e-4);
  // Two-sided: 2 * min(chi2.sf(29 * 1.44, 29), chi2.cdf(29 * 1.44, 29))
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 2, {}, {{3, 2}});
  Set(S2Ids::SdOverH0, "1.2");
  EXPECT_NEAR(P(), 0.11801777558247237, 1e-3);
  // Left tail, SD* = 1 - 0.2: scipy.stats.chi2.cdf(29 * 0.8**2, 29)
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 1, {}, {{3, 1}}, true);
  Set(S2Ids::SdMinusH0, "-0.2");
  EXPECT_NEAR(P(), 0.0679486039840169, 5e-4);
  // Two one-sided: max(chi2.sf(29 / 0.8**2, 29), chi2.cdf(29 / 1.25**2, 29))
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 3);
  Set(S2Ids::Sd, "1");
  EXPECT_NEAR(P(), 0.0679486039840169, 5e-4);
}

TEST_F(NormalTheoryTest, FTestOfTwoStandardDeviations) {
  // SD2* / SD1* = 1.2 with n1 = 20, n2 = 40: scipy.stats.f.sf(1.44, 39, 19)
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 1, {}, {{13, 1}, {2, 2}});
  Set(S2Ids::Ratio, "1.2");
  Set(S2Ids::SampleSize1, "20");
  Set(S2Ids::SampleSize2OverSize1, "2");
  EXPECT_NEAR(P(), 0.1985467003222617, 2e-4);
  // The mean known: scipy.stats.f.sf(1.44, 40, 20)
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 2, 1, {}, {{13, 1}, {2, 2}});
  EXPECT_NEAR(P(), 0.19229763608591555, 2e-4);
  // Both standard deviations, two-sided: 2 * f.sf(1.44, 39, 19)
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 2, {}, {{13, 0}, {2, 1}});
  Set(S2Ids::Sd1, "0.5");
  Set(S2Ids::Sd2, "0.6");
  Set(S2Ids::SampleSize2MinusSize1, "20");
  EXPECT_NEAR(P(), 0.3970934006445234, 4e-4);
}

TEST_F(NormalTheoryTest, StandardDeviationTestSolves) {
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 1);
  // brentq of scipy.stats.chi2.sf((n - 1) * 1.44, n - 1) - 0.05
  EXPECT_NEAR(Solve(S2Ids::SampleSize), 33.48921975498245, 0.3);
  Choose<StandardDeviation>(kNormal, kSdMeanKnown, 1, 1);
  // brentq of scipy.stats.chi2.sf(n * 1.44, n) - 0.05: one less, the mean being known
  EXPECT_NEAR(Solve(S2Ids::SampleSize), 32.489219754982635, 0.3);
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 1);
  Set(S2Ids::SampleSize, "30");
  // brentq of scipy.stats.chi2.sf(29 * s**2, 29) - 0.05
  EXPECT_NEAR(Solve(S2Ids::Sd), 1.2113965694288082, 3e-3);
  // Two samples of equal size: brentq of scipy.stats.f.sf(1.44, n - 1, n - 1) - 0.05
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 1, {}, {{13, 1}, {2, 2}});
  Set(S2Ids::Ratio, "1.2");
  Set(S2Ids::SampleSize2OverSize1, "1");
  EXPECT_NEAR(Solve(S2Ids::SampleSize1), 83.33792154258231, 0.3);
}

TEST_F(NormalTheoryTest, TwoOneSidedTestsOfAStandardDeviationFindTheRootOnTheirSide) {
  // With n = 60 the P-value falls below 0.05 only between the roots of
  // max(chi2.sf(59 s^2 / 0.64, 59), chi2.cdf(59 s^2 / 1.5625, 59)) = 0.05:
  // s = 0.91943 and s = 1.05890 (scipy brentq).  The chi-square is skewed, so
  // the two one-sided P-values are not equal at the middle of the limits.
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 3);
  Set(S2Ids::SampleSize, "60");
  EXPECT_NEAR(Solve(S2Ids::Sd), 1.0589022804124801, 3e-3);
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 3, {}, {}, true);
  EXPECT_NEAR(Solve(S2Ids::Sd), 0.9194281129246286, 3e-3);
}

TEST_F(NormalTheoryTest, StandardDeviationMustStayPositive) {
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 1, 1, {}, {{3, 1}});
  Set(S2Ids::H0Sd, "1");
  Set(S2Ids::SdMinusH0, "-1.5");
  EXPECT_EQ(Solve(S2Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Std.Dev.* -  H0: Std.Dev. has to be greater than or equal to -0.99999");
}

// ---- TESTLNORM -------------------------------------------------------------

using LnIds = LogNormalMedian::Ids;

TEST_F(NormalTheoryTest, LogNormalZTestRowsAndLists) {
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{9}));
  EXPECT_EQ(s.OptionCount, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 89, 90, 27, 14}));
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 1, {}, {{9, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 89, 91, 27, 14}));
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 2, {}, {{9, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 89, 92, 27, 14}));
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 3, {}, {{9, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 97, 98, 90, 27, 14}));

  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{10, 31, 2}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 93, 94, 95, 50, 54, 4, 37}));
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 1, {}, {{10, 1}, {31, 1}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 93, 96, 50, 107, 4, 5}));
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 3, {}, {{10, 0}, {31, 2}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 97, 98, 94, 95, 50, 108, 4, 38}));
}

TEST_F(NormalTheoryTest, LogNormalZTestCriterion) {
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 2);
  // 2 * scipy.stats.norm.sf(log(1.2) / (0.3 / sqrt(30)))
  EXPECT_NEAR(P(), 0.0008724576190436151, 1e-6);
  // Median 1.2 given as 0.2 above H0 1.
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 2, {}, {{9, 1}});
  Set(LnIds::MedianMinusH0, "0.2");
  EXPECT_NEAR(P(), 0.0008724576190436151, 1e-6);

  // Two samples, ratio 1.5 / 1.2 = 1.25, shapes 0.3 and 0.45, n 20 and 30:
  // scipy.stats.norm.sf(log(1.25) / sqrt(0.45**2/30 + 0.3**2/20))
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 1, {}, {{10, 0}, {31, 2}, {2, 1}});
  Set(LnIds::Median1, "1.2");
  Set(LnIds::Median2, "1.5");
  Set(LnIds::Shape1, "0.3");
  Set(LnIds::Shape2OverShape1, "1.5");
  Set(LnIds::SampleSize1, "20");
  Set(LnIds::SampleSize2MinusSize1, "10");
  EXPECT_NEAR(P(), 0.017697181449972798, 1e-6);

  // Two one-sided, one sample: max(norm.sf(log(1.05/0.8)/se), norm.cdf(log(1.05/1.25)/se)),
  // se = 0.3 / sqrt(50)
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 3);
  Set(LnIds::Median, "1.05");
  Set(LnIds::SampleSize, "50");
  EXPECT_NEAR(P(), 1.9821651436543647e-05, 1e-6);
}

TEST_F(NormalTheoryTest, LogNormalRatioEqualToTheNullGivesOneHalf) {
  for (const char* n : {"3", "30", "3000"}) {
    Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 1, {}, {{10, 1}});
    Set(LnIds::H0Ratio, "1.3");
    Set(LnIds::Ratio, "1.3");
    Set(LnIds::SampleSize1, n);
    EXPECT_EQ(P(), 0.5);
    Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 1, {}, {{10, 0}});
    Set(LnIds::Median1, "2");
    Set(LnIds::Median2, "2.6");
    Set(LnIds::SampleSize1, n);
    EXPECT_NEAR(P(), 0.5, 1e-5);
  }
}

TEST_F(NormalTheoryTest, LogNormalZTestSolves) {
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 1);
  Set(LnIds::Median, "1.1");
  // (scipy.stats.norm.ppf(0.95) * 0.3 / log(1.1)) ** 2
  EXPECT_NEAR(Solve(LnIds::SampleSize), 26.805162558306947, 0.01);
  Set(LnIds::SampleSize, "30");
  // exp(scipy.stats.norm.ppf(0.95) * 0.3 / sqrt(30))
  EXPECT_NEAR(Solve(LnIds::Median), 1.0942753282836577, 1e-4);
  // The median given as a ratio to H0: P does not depend on H0.
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 1, {}, {{9, 2}});
  EXPECT_EQ(Solve(LnIds::H0Median), kNoResult);
  // ... but it does when the median is a difference to H0: 1 + 0.2 against H0.
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 1, {}, {{9, 1}});
  Set(LnIds::MedianMinusH0, "0.2");
  const double h0 = Solve(LnIds::H0Median);
  ASSERT_NE(h0, kNoResult);
  // norm.sf(log((h0 + 0.2) / h0) / (0.3 / sqrt(30))) = 0.05 at h0 = 2.12145 (scipy brentq)
  EXPECT_NEAR(h0, 2.121445808157097, 1e-3);
}

// ---- TESTLSTU --------------------------------------------------------------

using LsIds = LogNormalT::Ids;

TEST_F(NormalTheoryTest, LogNormalTTestOptionsRowsAndLists) {
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{0, 5}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{9}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 89, 90, 32, 14}));
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 1, 3, {0});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 97, 98, 90, 32, 14, 36}));
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 1, 1, {5}, {{9, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 89, 91, 32, 14, 17}));

  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{0, 5, 14}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{10, 2}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 93, 94, 95, 32, 4, 37}));
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2, {14});
  EXPECT_EQ(OfferedRows(), (std::vector<int>{10, 36, 2}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 93, 94, 95, 241, 242, 4, 37}));
  // Unequal shapes with the degrees of freedom: each entry has its own position.
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 3, {14, 0}, {{10, 1}, {36, 1}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 97, 98, 96, 241, 243, 4, 5, 36}));
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 1, {14, 5}, {{10, 0}, {36, 2}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 93, 94, 95, 241, 244, 4, 38, 17}));
}

TEST_F(NormalTheoryTest, LogNormalTTestDegreesOfFreedomAndGroupsExcludeEachOther) {
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2);
  d.SetOption(0, true);
  d.SetOption(5, true);
  EXPECT_EQ(s.OptionState[0], 0);
  EXPECT_EQ(s.OptionState[5], 1);
  d.SetOption(0, true);
  EXPECT_EQ(s.OptionState[5], 0);
  // Both ticked in a restored window: the given degrees of freedom win, and
  // no two entries share a position.
  s.OptionState[0] = s.OptionState[5] = 1;
  d.ApplyOptions();
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 93, 94, 95, 32, 4, 37, 36}));
}

TEST_F(NormalTheoryTest, LogNormalTTestCriterion) {
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 1, 2);
  // 2 * scipy.stats.t.sf(log(1.2) / (0.3 / sqrt(30)), 29)
  EXPECT_NEAR(P(), 0.002383260727938884, 2e-5);
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 1, 2, {5});
  Set(LsIds::NoOfGroups, "3");
  // df = 29 x 3: 2 * scipy.stats.t.sf(log(1.2) / (0.3 / sqrt(30)), 87)
  EXPECT_NEAR(P(), 0.0012805679230110747, 2e-5);

  // Equal shapes, ratio 1.25, n1 = n2 = 20:
  // 2 * scipy.stats.t.sf(log(1.25) / (0.3 * sqrt(0.1)), 38)
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2, {}, {{10, 1}});
  Set(LsIds::Ratio, "1.25");
  Set(LsIds::SampleSize1, "20");
  Set(LsIds::SampleSize2, "20");
  EXPECT_NEAR(P(), 0.023948817550109795, 2e-5);
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2, {0}, {{10, 1}});
  Set(LsIds::DegreesOfFreedom, "10");
  // 2 * scipy.stats.t.sf(log(1.25) / (0.3 * sqrt(0.1)), 10)
  EXPECT_NEAR(P(), 0.04049260201548827, 2e-5);
  s.OptionState.fill(0);
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2, {5}, {{10, 1}});
  Set(LsIds::NoOfGroups, "3");
  // df = 19 + 2 x 19: 2 * scipy.stats.t.sf(log(1.25) / (0.3 * sqrt(0.1)), 57)
  EXPECT_NEAR(P(), 0.022143131422019135, 2e-5);

  // Unequal shapes 0.3 and 0.45, n 20 and 30, one-sided; Satterthwaite with
  // a = 0.45**2/30, b = 0.3**2/20: df = (a+b)**2 / (a**2/29 + b**2/19) = 47.9965;
  // scipy.stats.t.sf(log(1.25) / sqrt(a + b), df)
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 1, {14}, {{10, 1}, {36, 0}, {2, 0}});
  Set(LsIds::Shape1, "0.3");
  Set(LsIds::Shape2, "0.45");
  Set(LsIds::SampleSize2, "30");
  EXPECT_NEAR(P(), 0.020329609268142756, 2e-5);
}

TEST_F(NormalTheoryTest, LogNormalTTestSolves) {
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 1, 2);
  Set(LsIds::Median, "1.1");
  // brentq of 2 * scipy.stats.t.sf(log(1.1) / (0.3 / sqrt(n)), n - 1) - 0.05
  EXPECT_NEAR(Solve(LsIds::SampleSize), 40.50144439734777, 0.05);
}

// ---- TESTBIOEQ -------------------------------------------------------------

using BeIds = Bioequivalence::Ids;

TEST_F(NormalTheoryTest, BioequivalenceOptionsAndLists) {
  ChooseBioequivalence();
  EXPECT_EQ(s.SampleCount, 1);
  EXPECT_EQ(s.TailCount, 3);
  EXPECT_FALSE(s.dialog.tailsEnabled[0]);
  EXPECT_FALSE(s.dialog.tailsEnabled[1]);
  EXPECT_FALSE(s.dialog.samplesEnabled[1]);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{10, 19}));
  EXPECT_EQ(s.OptionCount, 0);
  EXPECT_EQ(s.Description, "Bioequivalence test.Two 1-sided.");
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 29, 30, 94, 95, 155, 14}));
  EXPECT_EQ(s.entry(29).ParamText, "0.80");
  EXPECT_EQ(s.entry(30).ParamText, "1.25");
  ChooseBioequivalence({{10, 1}, {19, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 29, 30, 96, 156, 14}));
  // Tails cannot be chosen otherwise.
  d.SetTailCount(1);
  EXPECT_EQ(s.TailCount, 3);
}

TEST_F(NormalTheoryTest, BioequivalenceCriterion) {
  // A ratio of 1 half way between 0.8 and 1.25 on the log scale: both
  // one-sided P-values are scipy.stats.t.sf(log(1.25) / (0.3 * sqrt(2/30)), 28.00001).
  ChooseBioequivalence({{10, 1}});
  Set(BeIds::Ratio, "1");
  EXPECT_NEAR(P(), 0.003763974503610524, 2e-5);
  // The coefficient of variation 0.2 stands for s = sqrt(log(1.04)) = 0.1980422.
  ChooseBioequivalence({{10, 1}, {19, 1}});
  Set(BeIds::Ratio, "0.95");
  Set(BeIds::CoefficientOfVariation, "0.2");
  Set(BeIds::SampleSize, "24");
  const double fromCv = Criterion();
  // max(t.sf(log(0.95/0.8)/se, 22.00001), t.cdf(log(0.95/1.25)/se, 22.00001)), se = s sqrt(2/24)
  EXPECT_NEAR(fromCv + 0.05, 0.003252073217217839, 2e-5);
  ChooseBioequivalence({{10, 1}, {19, 0}});
  Set(BeIds::ResidualSd, "0.1980422");
  EXPECT_NEAR(Criterion(), fromCv, 1e-6);
  // Both medians instead of their ratio: 1.14 / 1.2 = 0.95.
  ChooseBioequivalence({{10, 0}, {19, 1}});
  Set(BeIds::Median1, "1.2");
  Set(BeIds::Median2, "1.14");
  EXPECT_NEAR(Criterion(), fromCv, 1e-6);
}

TEST_F(NormalTheoryTest, BioequivalenceDegreesOfFreedomAreNMinusTwoPlusAHundredThousandth) {
  // At n = 2 the degrees of freedom are 0.00001, not 0: the P-value is that
  // of a t with df 1e-5, scipy.stats.t.sf(x, 1e-5) = 0.49997 for any moderate x.
  ChooseBioequivalence({{10, 1}});
  ReadParameterValues(s);
  s.value(PositionOf(BeIds::Ratio)) = 1;
  s.value(PositionOf(BeIds::SampleSize)) = 2;
  const double p = d.CallEvaluateCriterion() + 0.05;
  EXPECT_TRUE(std::isfinite(p));
  EXPECT_NEAR(p, 0.49997, 1e-3);
}

TEST_F(NormalTheoryTest, BioequivalenceSolves) {
  ChooseBioequivalence({{10, 1}, {19, 1}});
  Set(BeIds::Ratio, "0.95");
  Set(BeIds::CoefficientOfVariation, "0.2");
  // brentq of max(t.sf(log(0.95/0.8)/(s sqrt(2/n)), n - 2 + 1e-5),
  //               t.cdf(log(0.95/1.25)/(s sqrt(2/n)), n - 2 + 1e-5)) - 0.05
  const double n = Solve(BeIds::SampleSize);
  EXPECT_NEAR(n, 9.385714074297832, 0.01);

  // The same through pelmora-cli.
  std::ostringstream out, err;
  const int status = RunCli({"--test", "16", "--mode", "10=1", "--mode", "19=1", "--set", "96=0.95", "--set",
                             "156=0.2", "--unknown", "Sample Size", "--json"},
                            out, err);
  EXPECT_EQ(status, kExitSolved) << err.str();
  EXPECT_NE(out.str().find("\"text\": \"" + s.entry(BeIds::SampleSize).ParamText + "\""), std::string::npos)
      << out.str();

  // The ratio at n = 24, above the middle of the limits, or below it when
  // rejecting in the left tail (scipy brentq on each side).
  Set(BeIds::SampleSize, "24");
  EXPECT_NEAR(Solve(BeIds::Ratio), 1.1331197300868634, 1e-4);
  ChooseBioequivalence({{10, 1}, {19, 1}}, true);
  EXPECT_NEAR(Solve(BeIds::Ratio), 0.882519272630916, 1e-4);
  // The left limit for the ratio 0.95 at n = 24.
  ChooseBioequivalence({{10, 1}, {19, 1}});
  Set(BeIds::Ratio, "0.95");
  EXPECT_NEAR(Solve(BeIds::LeftLimit), 0.8611709948660159, 1e-4);
}

TEST_F(NormalTheoryTest, BioequivalenceLimitsMustBeOrdered) {
  ChooseBioequivalence();
  Set(BeIds::LeftLimit, "1.3");
  EXPECT_EQ(Solve(BeIds::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 1.25");
}

// ---- Search intervals ------------------------------------------------------

TEST_F(NormalTheoryTest, EstimatesAreSearchedOnTheRejectionSide) {
  // One sample: the estimate above H0, or below it in the left tail.
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 2);
  Set(NorIds::H0Mean, "0.2");
  EXPECT_EQ(Interval(NorIds::Mean).first, 0.2);
  Choose<NormalZ>(kNormal, kMeanSdKnown, 1, 1, {}, {}, true);
  EXPECT_EQ(Interval(NorIds::Mean).second, 0.2);
  // Two samples: Mean 2* above Mean 1* + H0.
  Choose<NormalZ>(kNormal, kMeanSdKnown, 2, 1);
  Set(NorIds::H0Diff, "0.1");
  Set(NorIds::Mean1, "0.3");
  EXPECT_NEAR(Interval(NorIds::Mean2).first, 0.4, 1e-12);
  // Ratios of standard deviations and of medians: above the null ratio.
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 1, {}, {{13, 1}});
  Set(S2Ids::H0Ratio, "1.1");
  EXPECT_EQ(Interval(S2Ids::Ratio).first, 1.1);
  Choose<LogNormalT>(kLogNormal, kMedianShapeUnknown, 2, 2);
  Set(LsIds::H0Ratio, "1.1");
  Set(LsIds::Median1, "2");
  EXPECT_NEAR(Interval(LsIds::Median2).first, 2.2, 1e-12);
  EXPECT_NEAR(Interval(LsIds::Median1).second, 1.2 / 1.1, 1e-12);
  // The null value on the other side of the estimate.
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 1, 1);
  Set(LnIds::Median, "1.3");
  EXPECT_EQ(Interval(LnIds::H0Median).second, 1.3);
  // Two one-sided tests: on one side of the geometric middle of the limits.
  ChooseBioequivalence({{10, 0}});
  Set(BeIds::LeftLimit, "0.8");
  Set(BeIds::RightLimit, "1.25");
  Set(BeIds::Median1, "2");
  EXPECT_NEAR(Interval(BeIds::Median2).first, 2.0, 1e-12);
  EXPECT_NEAR(Interval(BeIds::Median1).second, 1.2, 1e-12);
}

TEST_F(NormalTheoryTest, RelativeSampleSizesStayAboveTwo) {
  Choose<LogNormalMedian>(kLogNormal, kMedianShapeKnown, 2, 2, {}, {{2, 2}});
  Set(LnIds::SampleSize2OverSize1, "0.5");
  EXPECT_NEAR(Interval(LnIds::SampleSize1).first, 4.00002, 1e-5);
  Set(LnIds::SampleSize1, "100");
  EXPECT_NEAR(Interval(LnIds::SampleSize2OverSize1).first, 2.00001 / 100, 1e-7);
  Choose<StandardDeviation>(kNormal, kSdMeanUnknown, 2, 1, {}, {{2, 1}});
  Set(S2Ids::Sd2, "0.45");
  Set(S2Ids::SampleSize2MinusSize1, "-10");
  EXPECT_NEAR(Interval(S2Ids::SampleSize1).first, 12.00001, 1e-5);
  const double n1 = Solve(S2Ids::SampleSize1);
  ASSERT_NE(n1, kNoResult);
  EXPECT_GT(n1 - 10, 2.0);
}

}  // namespace
}  // namespace pelmora
