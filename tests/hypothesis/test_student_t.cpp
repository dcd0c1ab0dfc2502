// Student's t-test: P-values, solves, checks and search intervals.  Reference
// values are computed with scipy 1.10 (Debian's python3-scipy); the program's
// t distribution is a single-precision continued fraction, good to about 1e-5
// in P, and the solved sample sizes agree to a few hundredths.
#include "procedures/hypothesis/student_t.h"

#include <gtest/gtest.h>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;
using testing::kPValue;
using testing::TestChoice;

constexpr Procedure kUnpaired = Procedure::UnpairedT, kPaired = Procedure::PairedT;
constexpr int kDf = 0, kGroups = 5, kUnequal = 12;
constexpr int kMean2Group = 1, kSize2Group = 2, kMeanOfDiffGroup = 21, kSd2Group = 33;
const testing::Forms kUnequalForms = {{kMean2Group, 1}, {kSd2Group, 0}, {kSize2Group, 0}};

class TTest : public testing::PlanningTest {};

// clang-format off
TEST_F(TTest, References) {
  ExpectReferences({
    // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58), the start-up values; the same with the
    // second mean as 0.3 x 1.3333 and as 0.3 + 0.1
    {TestChoice(kUnpaired, 0, 2), {}, kPValue, 0.7480462707633917, 2e-5},
    {TestChoice(kUnpaired, 0, 2, {}, {{kMean2Group, 2}}), {{Ids::Mean2OverMean1, "1.333333333"}}, kPValue,
     0.7480462707633917, 2e-5},
    {TestChoice(kUnpaired, 0, 2, {}, {{kMean2Group, 1}}), {{Ids::Diff, "0.1"}},
     kPValue, 0.7480462707633917, 2e-5},
    // 2 * scipy.stats.t.sf(0.3 / (0.9 / sqrt(30)), 29)
    {TestChoice(kPaired, 0, 2), {{Ids::SdOfDiff, "0.9"}}, kPValue, 0.0782033201720677, 2e-5},
    // rejecting in the left tail, the estimate above H0: scipy.stats.t.cdf(0.3 / (0.3 / sqrt(30)), 29)
    {TestChoice(kPaired, 0, 1, {}, {}, true), {}, kPValue, 0.9999966304273266, 2e-5},
    // Welch: a = 0.36/40, b = 0.09/20, df = (a+b)^2/(a^2/39 + b^2/19) = 57.9913;
    // 2 * scipy.stats.t.sf(0.2 / sqrt(a + b), df)
    {TestChoice(kUnpaired, 0, 2, {kUnequal}, kUnequalForms), {{Ids::Diff, "0.2"}, {Ids::Sd1, "0.3"},
     {Ids::Sd2, "0.6"}, {Ids::SampleSize1, "20"}, {Ids::SampleSize2, "40"}},
     kPValue, 0.09052295151221662, 2e-5},
    // equal standard deviations and sizes: Satterthwaite's df is the pooled 2(n - 1);
    // 2 * scipy.stats.t.sf(0.2 / (0.3 * sqrt(2 / 20)), 38), with and without the option
    {TestChoice(kUnpaired, 0, 2, {kUnequal}, kUnequalForms), {{Ids::Diff, "0.2"}, {Ids::Sd1, "0.3"},
     {Ids::Sd2, "0.3"}, {Ids::SampleSize1, "20"}, {Ids::SampleSize2, "20"}},
     kPValue, 0.041665314967550035, 2e-5},
    {TestChoice(kUnpaired, 0, 2, {}, {{kMean2Group, 1}}), {{Ids::Diff, "0.2"}, {Ids::Sd, "0.3"},
     {Ids::SampleSize1, "20"}, {Ids::SampleSize2, "20"}}, kPValue, 0.041665314967550035, 2e-5},
    // Satterthwaite's df near 0.5 is raised to 1: 2 * scipy.stats.t.sf(1 / sqrt(1/1.5 + 1e-6/100), 1)
    {TestChoice(kUnpaired, 0, 2, {kUnequal}, kUnequalForms), {{Ids::Diff, "1"}, {Ids::Sd1, "0.001"},
     {Ids::Sd2, "1"}, {Ids::SampleSize1, "100"}, {Ids::SampleSize2, "1.5"}},
     kPValue, 0.4359057854901152, 2e-5},
    // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 10), and with df = 29 + 2 x 29 = 87
    {TestChoice(kUnpaired, 0, 2, {kDf}), {{Ids::DegreesOfFreedom, "10"}}, kPValue, 0.7535325868972624, 2e-5},
    {TestChoice(kUnpaired, 0, 2, {kGroups}), {{Ids::NoOfGroups, "3"}}, kPValue, 0.7476600143584682, 2e-5},
    // two one-sided tests half way between the limits: scipy.stats.t.sf(0.4 / (0.3 / sqrt(30)), 29);
    // max(t.sf((0.35+0.4)/se, 29), t.cdf((0.35-0.4)/se, 29)) with se = 0.3/sqrt(30)
    {TestChoice(kPaired, 0, 3), {{Ids::LeftLimit, "-0.4"}, {Ids::RightLimit, "0.4"}, {Ids::MeanOfDiff, "0"},
     {Ids::SdOfDiff, "0.3"}}, kPValue, 2.409076198059045e-08, 1e-5},
    {TestChoice(kPaired, 0, 3), {{Ids::LeftLimit, "-0.4"}, {Ids::RightLimit, "0.4"},
     {Ids::MeanOfDiff, "0.35"}, {Ids::SdOfDiff, "0.3"}}, kPValue, 0.18441878646257714, 2e-5},
    // With the second sample size fixed at 30 no first size reaches 0.05: the P-value falls only to
    // 2 * scipy.stats.norm.sf(0.1 / (1.2 * sqrt(1 / 30))) = 0.6481;
    // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(1/30 + 1/10000)), 10028)
    {TestChoice(kUnpaired, 0, 2), {}, Ids::SampleSize1, kNoResult, 0},
    {TestChoice(kUnpaired, 0, 2), {{Ids::SampleSize1, "10000"}}, kPValue, 0.6485779424182954, 2e-3},
    // scipy brentq of 2*t.sf(0.1/(1.2*sqrt(2/n)), 2n-2) - 0.05, and of t.sf(...) - 0.05
    {TestChoice(kUnpaired, 0, 2, {}, {{kSize2Group, 2}}), {{Ids::SampleSize2OverSize1, "1"}},
     Ids::SampleSize1, 1107.5512562622869, 0.05},
    {TestChoice(kUnpaired, 0, 1, {}, {{kSize2Group, 2}}), {}, Ids::SampleSize1, 780.1238172030406, 0.05},
    // n2 = 0.5 n1: brentq of 2*t.sf(0.1/(1.2*sqrt(1/n + 1/(0.5 n))), 1.5 n - 2) - 0.05
    {TestChoice(kUnpaired, 0, 2, {}, {{kSize2Group, 2}}), {{Ids::SampleSize2OverSize1, "0.5"}},
     Ids::SampleSize1, 1661.1249205244055, 0.1},
    // n1 = 3000: brentq over r of 2*t.sf(0.1/(1.2*sqrt(1/3000 + 1/(3000 r))), 3000 (1 + r) - 2) - 0.05
    {TestChoice(kUnpaired, 0, 2, {}, {{kSize2Group, 2}}), {{Ids::SampleSize1, "3000"}},
     Ids::SampleSize2OverSize1, 0.22625883503147373, 1e-4},
    // an estimate on the wrong side of H0 has no sample size
    {TestChoice(kPaired, 0, 1), {{Ids::MeanOfDiff, "-0.3"}}, Ids::SampleSize, kNoResult, 0},
    // the estimate is found on the rejection side, never the mirror root:
    // scipy.stats.t.isf(0.05, 29) * 0.3 / sqrt(30), t.isf(0.025, 29) * 0.3 / sqrt(30), and below H0
    {TestChoice(kPaired, 0, 1), {{Ids::MeanOfDiff, "-0.3"}}, Ids::MeanOfDiff, 0.09306502004990755, 1e-4},
    {TestChoice(kPaired, 0, 2), {}, Ids::MeanOfDiff, 0.11202184102742999, 1e-4},
    {TestChoice(kPaired, 0, 1, {}, {}, true), {}, Ids::MeanOfDiff, -0.09306502004990755, 1e-4},
    // H0 unknown while the estimate is a difference to H0: nothing to solve
    {TestChoice(kPaired, 0, 2, {}, {{kMeanOfDiffGroup, 1}}), {}, Ids::H0MeanOfDiff, kNoResult, 0},
    // checks of relative parameters and limits
    {TestChoice(kUnpaired, 0, 2, {}, {{kSize2Group, 1}}), {{Ids::SampleSize2MinusSize1, "-28"}},
     0, kNoResult, 0, "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
    {TestChoice(kUnpaired, 0, 3), {{Ids::LeftLimit, "0.5"}, {Ids::RightLimit, "0.4"}}, 0, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 0.4"},
  });
}

TEST_F(TTest, RelativeSampleSizesStayAboveTwo) {
  ExpectIntervals({
    {TestChoice(kUnpaired, 0, 2, {}, {{kSize2Group, 2}}), {{Ids::SampleSize2OverSize1, "0.5"}},
     Ids::SampleSize1, 4.00002, testing::kAnyEnd, 1e-5},
    {TestChoice(kUnpaired, 0, 2, {}, {{kSize2Group, 2}}), {{Ids::SampleSize1, "3000"}},
     Ids::SampleSize2OverSize1, 2.00001 / 3000, testing::kAnyEnd, 1e-8},
  });
}
// clang-format on

TEST_F(TTest, DegreesOfFreedomAndGroupsExcludeEachOther) {
  d.Select(kUnpaired);
  d.SetOption(kDf, true);
  d.SetOption(kGroups, true);
  EXPECT_EQ(s.OptionState[kDf], 0);
  EXPECT_EQ(s.OptionState[kGroups], 1);
  d.SetOption(kDf, true);
  EXPECT_EQ(s.OptionState[kGroups], 0);
}

}  // namespace
}  // namespace pelmora
