// The normal-theory tests: the z test of a mean, the chi-square and F tests of
// standard deviations, the z and t tests of log-normal medians and the
// bioequivalence test.  P-values, solves, checks and search intervals.
// Reference values are computed with scipy 1.10 (Debian's python3-scipy); the
// program's distributions are single-precision approximations (the normal
// good to 1e-7, the t to about 1e-5, the chi-square beyond 21 degrees of
// freedom by Wilson-Hilferty), hence the tolerances.
#include <gtest/gtest.h>

#include "procedures/hypothesis/bioequivalence.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/standard_deviation.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::kAnyEnd;
using testing::kPValue;
using testing::TestChoice;
using NorIds = NormalZ::Ids;
using S2Ids = StandardDeviation::Ids;
using LnIds = LogNormalMedian::Ids;
using LsIds = LogNormalT::Ids;
using BeIds = Bioequivalence::Ids;

constexpr Procedure kNormal = Procedure::NormalDistribution, kLogNormal = Procedure::LogNormalDistribution,
                    kBioequivalence = Procedure::Bioequivalence;
constexpr int kMeanSdKnown = 0, kSdMeanKnown = 2, kSdMeanUnknown = 3;
constexpr int kMedianShapeKnown = 0, kMedianShapeUnknown = 1;
constexpr int kDf = 0, kGroups = 5, kUnequalShapes = 14;

// The tests of a sample distribution, and the bioequivalence test.
testing::Choice Z(int samples, int tails, testing::Forms forms = {}, bool left = false) {
  return DistChoice(kNormal, kMeanSdKnown, 0, samples, tails, {}, std::move(forms), left);
}
testing::Choice Sd(int choice, int samples, int tails, testing::Forms forms = {}, bool left = false) {
  return DistChoice(kNormal, choice, 0, samples, tails, {}, std::move(forms), left);
}
testing::Choice LogZ(int samples, int tails, testing::Forms forms = {}) {
  return DistChoice(kLogNormal, kMedianShapeKnown, 0, samples, tails, {}, std::move(forms));
}
testing::Choice LogT(int samples, int tails, std::vector<int> options = {}, testing::Forms forms = {}) {
  return DistChoice(kLogNormal, kMedianShapeUnknown, 0, samples, tails, std::move(options), std::move(forms));
}
testing::Choice Bioeq(testing::Forms forms = {}, bool left = false) {
  return TestChoice(kBioequivalence, 0, 3, {}, std::move(forms), left);
}

class NormalTheoryTest : public testing::PlanningTest {};

// clang-format off
TEST_F(NormalTheoryTest, ZTest) {
  ExpectReferences({
    // 2 * scipy.stats.norm.sf(0.1 / (0.3 / sqrt(30))); rejecting in the left tail with the mean above
    // H0: scipy.stats.norm.cdf(0.1 / (0.3 / sqrt(30))); the ratio form 0.2 x 1.5 against H0 0.2:
    // scipy.stats.norm.sf(0.1 / (0.3 / sqrt(30)))
    {Z(1, 2), {{NorIds::Mean, "0.1"}}, kPValue, 0.06788915486182893, 1e-6},
    {Z(1, 1, {}, true), {{NorIds::Mean, "0.1"}}, kPValue, 0.9660554225690855, 1e-6},
    {Z(1, 1, {{0, 2}}), {{NorIds::H0Mean, "0.2"}, {NorIds::MeanOverH0, "1.5"}},
     kPValue, 0.03394457743091447, 1e-6},
    // two samples, SD2 = 0.6, n2 = 40 through the ratio and through the difference forms:
    // 2 * scipy.stats.norm.sf(0.1 / sqrt(0.36/40 + 0.09/20))
    {Z(2, 2, {{1, 0}, {29, 2}, {2, 2}}), {{NorIds::Mean1, "0.3"}, {NorIds::Mean2, "0.4"},
     {NorIds::Sd1, "0.3"},
     {NorIds::Sd2OverSd1, "2"}, {NorIds::SampleSize1, "20"}, {NorIds::SampleSize2OverSize1, "2"}}, kPValue,
     0.3894236957350262, 1e-6},
    {Z(2, 2, {{1, 1}, {29, 1}, {2, 1}}), {{NorIds::Diff, "0.1"}, {NorIds::Sd1, "0.3"},
     {NorIds::Sd2MinusSd1, "0.3"},
     {NorIds::SampleSize1, "20"}, {NorIds::SampleSize2MinusSize1, "20"}}, kPValue, 0.3894236957350262, 1e-6},
    // two one-sided: max(norm.sf(0.5 / se), norm.cdf(-0.3 / se)), se = sqrt(0.09/30 * 2)
    {Z(2, 3, {{1, 1}}), {{NorIds::Diff, "0.1"}, {NorIds::Sd1, "0.3"}, {NorIds::Sd2, "0.3"},
     {NorIds::SampleSize1, "30"}, {NorIds::SampleSize2, "30"}}, kPValue, 5.375558836475012e-05, 1e-6},
    // (scipy.stats.norm.ppf(0.975) * 0.3 / 0.1) ** 2; scipy.stats.norm.ppf(0.975) * 0.3 / sqrt(30);
    // rejecting in the left tail the mean is found below H0: -norm.ppf(0.95) * 0.3 / sqrt(30)
    {Z(1, 2), {{NorIds::Mean, "0.1"}}, NorIds::SampleSize, 34.573129386247125, 0.01},
    {Z(1, 2), {{NorIds::SampleSize, "30"}}, NorIds::Mean, 0.10735164862302943, 1e-4},
    {Z(1, 1, {}, true), {}, NorIds::Mean, -0.09009234352755087, 1e-4},
    // a one-sided test in the wrong tail has no sample size
    {Z(1, 1, {}, true), {{NorIds::Mean, "0.1"}}, NorIds::SampleSize, kNoResult, 0},
  });
}

TEST_F(NormalTheoryTest, TestsOfStandardDeviations) {
  ExpectReferences({
    // n - 1 degrees of freedom: scipy.stats.chi2.sf(29 * 1.2**2, 29); the mean known: chi2.sf(30 * 1.44, 30)
    {Sd(kSdMeanUnknown, 1, 1), {}, kPValue, 0.059008887791236184, 5e-4},
    {Sd(kSdMeanKnown, 1, 1), {}, kPValue, 0.05625762140260528, 5e-4},
    // two-sided: 2 * min(chi2.sf(29 * 1.44, 29), chi2.cdf(29 * 1.44, 29))
    {Sd(kSdMeanUnknown, 1, 2, {{3, 2}}), {{S2Ids::SdOverH0, "1.2"}}, kPValue, 0.11801777558247237, 1e-3},
    // left tail, SD* = 1 - 0.2: chi2.cdf(29 * 0.8**2, 29); two one-sided:
    // max(chi2.sf(29 / 0.8**2, 29), chi2.cdf(29 / 1.25**2, 29))
    {Sd(kSdMeanUnknown, 1, 1, {{3, 1}}, true), {{S2Ids::SdMinusH0, "-0.2"}},
     kPValue, 0.0679486039840169, 5e-4},
    {Sd(kSdMeanUnknown, 1, 3), {{S2Ids::Sd, "1"}}, kPValue, 0.0679486039840169, 5e-4},
    // SD2* / SD1* = 1.2 with n1 = 20, n2 = 40: scipy.stats.f.sf(1.44, 39, 19); the mean known:
    // f.sf(1.44, 40, 20); both standard deviations, two-sided: 2 * f.sf(1.44, 39, 19)
    {Sd(kSdMeanUnknown, 2, 1, {{13, 1}, {2, 2}}), {{S2Ids::Ratio, "1.2"}, {S2Ids::SampleSize1, "20"},
     {S2Ids::SampleSize2OverSize1, "2"}}, kPValue, 0.1985467003222617, 2e-4},
    {Sd(kSdMeanKnown, 2, 1, {{13, 1}, {2, 2}}), {{S2Ids::Ratio, "1.2"}, {S2Ids::SampleSize1, "20"},
     {S2Ids::SampleSize2OverSize1, "2"}}, kPValue, 0.19229763608591555, 2e-4},
    {Sd(kSdMeanUnknown, 2, 2, {{13, 0}, {2, 1}}), {{S2Ids::Sd1, "0.5"}, {S2Ids::Sd2, "0.6"},
     {S2Ids::SampleSize1, "20"}, {S2Ids::SampleSize2MinusSize1, "20"}}, kPValue, 0.3970934006445234, 4e-4},
    // brentq of scipy.stats.chi2.sf((n - 1) * 1.44, n - 1) - 0.05; of chi2.sf(n * 1.44, n) - 0.05 (one
    // less, the mean being known); of chi2.sf(29 * s**2, 29) - 0.05; of f.sf(1.44, n - 1, n - 1) - 0.05
    {Sd(kSdMeanUnknown, 1, 1), {}, S2Ids::SampleSize, 33.48921975498245, 0.3},
    {Sd(kSdMeanKnown, 1, 1), {}, S2Ids::SampleSize, 32.489219754982635, 0.3},
    {Sd(kSdMeanUnknown, 1, 1), {{S2Ids::SampleSize, "30"}}, S2Ids::Sd, 1.2113965694288082, 3e-3},
    {Sd(kSdMeanUnknown, 2, 1, {{13, 1}, {2, 2}}), {{S2Ids::Ratio, "1.2"}, {S2Ids::SampleSize2OverSize1, "1"}},
     S2Ids::SampleSize1, 83.33792154258231, 0.3},
    // n2 = n1 - 10: brentq of f.sf(2.25, n - 11, n - 1) - 0.05
    {Sd(kSdMeanUnknown, 2, 1, {{2, 1}}), {{S2Ids::Sd2, "0.45"}, {S2Ids::SampleSize2MinusSize1, "-10"}},
     S2Ids::SampleSize1, 22.561437238184688, 0.3},
    // With n = 60 the P-value of two one-sided tests falls below 0.05 only between the roots of
    // max(chi2.sf(59 s^2 / 0.64, 59), chi2.cdf(59 s^2 / 1.5625, 59)) = 0.05: s = 0.91943 and
    // s = 1.05890 (scipy brentq); the chi-square is skewed, so the middle of the limits lies elsewhere.
    {Sd(kSdMeanUnknown, 1, 3), {{S2Ids::SampleSize, "60"}}, S2Ids::Sd, 1.0589022804124801, 3e-3},
    {Sd(kSdMeanUnknown, 1, 3, {}, true), {{S2Ids::SampleSize, "60"}}, S2Ids::Sd, 0.9194281129246286, 3e-3},
    // a standard deviation stays positive
    {Sd(kSdMeanUnknown, 1, 1, {{3, 1}}), {{S2Ids::H0Sd, "1"}, {S2Ids::SdMinusH0, "-1.5"}}, S2Ids::SampleSize,
     kNoResult, 0, "Std.Dev.* -  H0: Std.Dev. has to be greater than or equal to -0.99999"},
  });
}

TEST_F(NormalTheoryTest, LogNormalTests) {
  ExpectReferences({
    // 2 * scipy.stats.norm.sf(log(1.2) / (0.3 / sqrt(30))), the median also as 0.2 above H0 1
    {LogZ(1, 2), {}, kPValue, 0.0008724576190436151, 1e-6},
    {LogZ(1, 2, {{9, 1}}), {{LnIds::MedianMinusH0, "0.2"}}, kPValue, 0.0008724576190436151, 1e-6},
    // ratio 1.5 / 1.2 = 1.25, shapes 0.3 and 0.45, n 20 and 30:
    // scipy.stats.norm.sf(log(1.25) / sqrt(0.45**2/30 + 0.3**2/20))
    {LogZ(2, 1, {{10, 0}, {31, 2}, {2, 1}}), {{LnIds::Median1, "1.2"}, {LnIds::Median2, "1.5"},
     {LnIds::Shape1, "0.3"}, {LnIds::Shape2OverShape1, "1.5"}, {LnIds::SampleSize1, "20"},
     {LnIds::SampleSize2MinusSize1, "10"}}, kPValue, 0.017697181449972798, 1e-6},
    // max(norm.sf(log(1.05/0.8)/se), norm.cdf(log(1.05/1.25)/se)), se = 0.3 / sqrt(50)
    {LogZ(1, 3), {{LnIds::Median, "1.05"}, {LnIds::SampleSize, "50"}}, kPValue, 1.9821651436543647e-05, 1e-6},
    // a ratio equal to the null ratio gives one half at any size
    {LogZ(2, 1, {{10, 1}}), {{LnIds::H0Ratio, "1.3"}, {LnIds::Ratio, "1.3"}, {LnIds::SampleSize1, "3"}},
     kPValue, 0.5, 0},
    {LogZ(2, 1, {{10, 1}}), {{LnIds::H0Ratio, "1.3"}, {LnIds::Ratio, "1.3"}, {LnIds::SampleSize1, "30"}},
     kPValue, 0.5, 0},
    {LogZ(2, 1, {{10, 1}}), {{LnIds::H0Ratio, "1.3"}, {LnIds::Ratio, "1.3"}, {LnIds::SampleSize1, "3000"}},
     kPValue, 0.5, 0},
    {LogZ(2, 1), {{LnIds::H0Ratio, "1.3"}, {LnIds::Median1, "2"}, {LnIds::Median2, "2.6"},
     {LnIds::SampleSize1, "3"}}, kPValue, 0.5, 1e-5},
    {LogZ(2, 1), {{LnIds::H0Ratio, "1.3"}, {LnIds::Median1, "2"}, {LnIds::Median2, "2.6"},
     {LnIds::SampleSize1, "30"}}, kPValue, 0.5, 1e-5},
    {LogZ(2, 1), {{LnIds::H0Ratio, "1.3"}, {LnIds::Median1, "2"}, {LnIds::Median2, "2.6"},
     {LnIds::SampleSize1, "3000"}}, kPValue, 0.5, 1e-5},
    // (scipy.stats.norm.ppf(0.95) * 0.3 / log(1.1)) ** 2; exp(norm.ppf(0.95) * 0.3 / sqrt(30))
    {LogZ(1, 1), {{LnIds::Median, "1.1"}}, LnIds::SampleSize, 26.805162558306947, 0.01},
    {LogZ(1, 1), {}, LnIds::Median, 1.0942753282836577, 1e-4},
    // the median as a ratio to H0: P does not depend on H0; as a difference, 1 + 0.2 against H0:
    // norm.sf(log((h0 + 0.2) / h0) / (0.3 / sqrt(30))) = 0.05 at h0 = 2.12145 (scipy brentq)
    {LogZ(1, 1, {{9, 2}}), {}, LnIds::H0Median, kNoResult, 0},
    {LogZ(1, 1, {{9, 1}}), {{LnIds::MedianMinusH0, "0.2"}}, LnIds::H0Median, 2.121445808157097, 1e-3},
    // 2 * scipy.stats.t.sf(log(1.2) / (0.3 / sqrt(30)), 29), and with df = 29 x 3
    {LogT(1, 2), {}, kPValue, 0.002383260727938884, 2e-5},
    {LogT(1, 2, {kGroups}), {{LsIds::NoOfGroups, "3"}}, kPValue, 0.0012805679230110747, 2e-5},
    // equal shapes, ratio 1.25, n1 = n2 = 20: 2 * scipy.stats.t.sf(log(1.25) / (0.3 * sqrt(0.1)), df) with
    // df 38, 10 given, and 19 + 2 x 19
    {LogT(2, 2, {}, {{10, 1}}), {{LsIds::Ratio, "1.25"}, {LsIds::SampleSize1, "20"},
     {LsIds::SampleSize2, "20"}}, kPValue, 0.023948817550109795, 2e-5},
    {LogT(2, 2, {kDf}, {{10, 1}}), {{LsIds::Ratio, "1.25"}, {LsIds::SampleSize1, "20"},
     {LsIds::SampleSize2, "20"}, {LsIds::DegreesOfFreedom, "10"}}, kPValue, 0.04049260201548827, 2e-5},
    {LogT(2, 2, {kGroups}, {{10, 1}}), {{LsIds::Ratio, "1.25"}, {LsIds::SampleSize1, "20"},
     {LsIds::SampleSize2, "20"}, {LsIds::NoOfGroups, "3"}}, kPValue, 0.022143131422019135, 2e-5},
    // unequal shapes 0.3 and 0.45, n 20 and 30, one-sided; Satterthwaite with a = 0.45**2/30,
    // b = 0.3**2/20: df = (a+b)**2 / (a**2/29 + b**2/19) = 47.9965; scipy.stats.t.sf(log(1.25) / sqrt(a +
    // b), df)
    {LogT(2, 1, {kUnequalShapes}, {{10, 1}, {36, 0}, {2, 0}}), {{LsIds::Ratio, "1.25"},
     {LsIds::Shape1, "0.3"},
     {LsIds::Shape2, "0.45"}, {LsIds::SampleSize1, "20"}, {LsIds::SampleSize2, "30"}}, kPValue,
     0.020329609268142756, 2e-5},
    // brentq of 2 * scipy.stats.t.sf(log(1.1) / (0.3 / sqrt(n)), n - 1) - 0.05
    {LogT(1, 2), {{LsIds::Median, "1.1"}}, LsIds::SampleSize, 40.50144439734777, 0.05},
  });
}

TEST_F(NormalTheoryTest, Bioequivalence) {
  ExpectReferences({
    // a ratio of 1 half way between 0.8 and 1.25 on the log scale: both one-sided P-values are
    // scipy.stats.t.sf(log(1.25) / (0.3 * sqrt(2/30)), 28.00001)
    {Bioeq({{10, 1}}), {{BeIds::Ratio, "1"}}, kPValue, 0.003763974503610524, 2e-5},
    // the coefficient of variation 0.2 stands for s = sqrt(log(1.04)) = 0.1980422:
    // max(t.sf(log(0.95/0.8)/se, 22.00001), t.cdf(log(0.95/1.25)/se, 22.00001)), se = s sqrt(2/24);
    // the same from s, and from both medians, 1.14 / 1.2 = 0.95
    {Bioeq({{10, 1}, {19, 1}}), {{BeIds::Ratio, "0.95"}, {BeIds::CoefficientOfVariation, "0.2"},
     {BeIds::SampleSize, "24"}}, kPValue, 0.003252073217217839, 2e-5},
    {Bioeq({{10, 1}, {19, 0}}), {{BeIds::Ratio, "0.95"}, {BeIds::ResidualSd, "0.1980422"},
     {BeIds::SampleSize, "24"}}, kPValue, 0.003252073217217839, 2e-5},
    {Bioeq({{10, 0}, {19, 1}}), {{BeIds::Median1, "1.2"}, {BeIds::Median2, "1.14"},
     {BeIds::CoefficientOfVariation, "0.2"}, {BeIds::SampleSize, "24"}}, kPValue, 0.003252073217217839, 2e-5},
    // at n = 2 the degrees of freedom are 0.00001, not 0: scipy.stats.t.sf(x, 1e-5) = 0.49997
    {Bioeq({{10, 1}}), {{BeIds::Ratio, "1"}, {BeIds::SampleSize, "2"}}, kPValue, 0.49997, 1e-3},
    // brentq of max(t.sf(log(0.95/0.8)/(s sqrt(2/n)), n - 2 + 1e-5),
    //               t.cdf(log(0.95/1.25)/(s sqrt(2/n)), n - 2 + 1e-5)) - 0.05
    {Bioeq({{10, 1}, {19, 1}}), {{BeIds::Ratio, "0.95"}, {BeIds::CoefficientOfVariation, "0.2"}},
     BeIds::SampleSize, 9.385714074297832, 0.01},
    // the ratio at n = 24, above the middle of the limits, or below it rejecting in the left tail;
    // the left limit for the ratio 0.95 (scipy brentq)
    {Bioeq({{10, 1}, {19, 1}}), {{BeIds::CoefficientOfVariation, "0.2"}, {BeIds::SampleSize, "24"}},
     BeIds::Ratio, 1.1331197300868634, 1e-4},
    {Bioeq({{10, 1}, {19, 1}}, true), {{BeIds::CoefficientOfVariation, "0.2"}, {BeIds::SampleSize, "24"}},
     BeIds::Ratio, 0.882519272630916, 1e-4},
    {Bioeq({{10, 1}, {19, 1}}), {{BeIds::Ratio, "0.95"}, {BeIds::CoefficientOfVariation, "0.2"},
     {BeIds::SampleSize, "24"}}, BeIds::LeftLimit, 0.8611709948660159, 1e-4},
    {Bioeq(), {{BeIds::LeftLimit, "1.3"}}, BeIds::SampleSize, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 1.25"},
  });
}

// Estimates are searched on the rejection side; relative sample sizes stay above 2.
TEST_F(NormalTheoryTest, SearchIntervals) {
  ExpectIntervals({
    {Z(1, 2), {{NorIds::H0Mean, "0.2"}}, NorIds::Mean, 0.2, kAnyEnd},
    {Z(1, 1, {}, true), {{NorIds::H0Mean, "0.2"}}, NorIds::Mean, kAnyEnd, 0.2},
    {Z(2, 1), {{NorIds::H0Diff, "0.1"}, {NorIds::Mean1, "0.3"}}, NorIds::Mean2, 0.4, kAnyEnd, 1e-12},
    {Sd(kSdMeanUnknown, 2, 1, {{13, 1}}), {{S2Ids::H0Ratio, "1.1"}}, S2Ids::Ratio, 1.1, kAnyEnd},
    {LogT(2, 2), {{LsIds::H0Ratio, "1.1"}, {LsIds::Median1, "2"}}, LsIds::Median2, 2.2, kAnyEnd, 1e-12},
    {LogT(2, 2), {{LsIds::H0Ratio, "1.1"}, {LsIds::Median1, "2"}}, LsIds::Median1, kAnyEnd, 1.2 / 1.1, 1e-12},
    // the null value on the other side of the estimate
    {LogZ(1, 1), {{LnIds::Median, "1.3"}}, LnIds::H0Median, kAnyEnd, 1.3},
    // two one-sided tests: on one side of the geometric middle of the limits
    {Bioeq({{10, 0}}), {{BeIds::Median1, "2"}}, BeIds::Median2, 2.0, kAnyEnd, 1e-12},
    {Bioeq({{10, 0}}), {{BeIds::Median1, "2"}}, BeIds::Median1, kAnyEnd, 1.2, 1e-12},
    {LogZ(2, 2, {{2, 2}}), {{LnIds::SampleSize2OverSize1, "0.5"}},
     LnIds::SampleSize1, 4.00002, kAnyEnd, 1e-5},
    {LogZ(2, 2, {{2, 2}}), {{LnIds::SampleSize1, "100"}}, LnIds::SampleSize2OverSize1, 2.00001 / 100, kAnyEnd,
     1e-7},
    {Sd(kSdMeanUnknown, 2, 1, {{2, 1}}), {{S2Ids::Sd2, "0.45"}, {S2Ids::SampleSize2MinusSize1, "-10"}},
     S2Ids::SampleSize1, 12.00001, kAnyEnd, 1e-5},
  });
}
// clang-format on

TEST_F(NormalTheoryTest, LogNormalTTestDegreesOfFreedomAndGroupsExcludeEachOther) {
  Choose(LogT(2, 2));
  d.SetOption(kDf, true);
  d.SetOption(kGroups, true);
  EXPECT_EQ(s.OptionState[kDf], 0);
  EXPECT_EQ(s.OptionState[kGroups], 1);
  d.SetOption(kDf, true);
  EXPECT_EQ(s.OptionState[kGroups], 0);
  // Both ticked in a restored window: the given degrees of freedom win.
  s.OptionState[kDf] = s.OptionState[kGroups] = 1;
  d.ApplyOptions();
  EXPECT_GE(PositionOf(LsIds::DegreesOfFreedom), 0);
  EXPECT_EQ(PositionOf(LsIds::NoOfGroups), -1);
}

}  // namespace
}  // namespace pelmora
