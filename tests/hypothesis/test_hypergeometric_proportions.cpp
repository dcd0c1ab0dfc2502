// The hypergeometric test as the hypergeometric sample distribution drives it:
// offered options and rows, lists, the exact path's population limit and its
// message, criteria with the finite-population correction, and solves.
// Reference values are computed with scipy 1.10 (Debian's python3-scipy);
// scipy.stats.hypergeom takes (x, population, marked, drawn).
#include "procedures/hypothesis/hypergeometric_proportions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "numeric/fault_guard.h"
#include "procedures/module_set.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = HypergeometricProportions::Ids;
constexpr int kContinuity = 1, kExact = 7;
constexpr int kProportionGroup = 11, kProportion2Group = 12, kSize2Group = 2, kPopulation2Group = 25;
constexpr double kTol = 2e-6;

class HyperTest : public testing::PlanningTest {
 protected:
  HyperTest() {
    d.UseModuleForTesting(d.modules().Find<HypergeometricProportions>());
    // The session as the hypergeometric distribution sets it for a test.
    s.IsTestProcedure = kFalse;
    s.DistributionIndex = 5;
    s.ProcedureKind = 0;
  }
  void Choose(int samples, int tails, const std::vector<int>& options = {},
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false) {
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.SetSampleCount(samples);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    for (auto [g, m] : forms) d.SetForm(g, m);
    d.ApplyOptions();
  }
  double PValue() { return Criterion() + s.value(0); }
  // Solves for the P-value and returns the message that rejected the values.
  std::string Rejected() {
    ui.messages.clear();
    EXPECT_EQ(Solve(0), kNoResult);
    s.entry(0).ParamText = "0.05";
    return ui.LastText();
  }
};

TEST(HypergeometricPValue, EdgeCases) {
  for (std::int16_t tails : {0, 1, 2, 3})
    EXPECT_EQ(HypergeometricPValue(Sides{tails, kFalse}, 500, 0, 0, 0.3f, 0.2f, 0.6f), 1.0f);
  EXPECT_EQ(HypergeometricPValue(Sides{4, kFalse}, 500, 30, 15, 0.3f, 0, 0), 0.0f);
  // Two one-sided tests with both limits at p0: the larger of the one-sided P-values
  // hypergeom.cdf(15, 500, 150, 30) and hypergeom.sf(14, 500, 150, 30).
  EXPECT_NEAR(HypergeometricPValue(Sides{3, kFalse}, 500, 30, 15, 0, 0.3f, 0.3f), 0.9949865701972933, kTol);
  // A population beyond 16-bit counts is an arithmetic fault, reported by a
  // guarded evaluation.
  EXPECT_THROW(HypergeometricPValue(Sides{2, kFalse}, 40000, 300, 100, 0.3f, 0, 0), ArithmeticFault);
  EXPECT_FALSE(EvaluateGuarded([] {
    return HypergeometricPValue(Sides{1, kFalse}, 40000, 300, 100, 0.3f, 0, 0);
  }));
}

TEST_F(HyperTest, OfferedOptionsAndRows) {
  Choose(1, 2);
  ASSERT_EQ(s.OptionCount, 2);
  EXPECT_EQ(s.OptionId[0], kContinuity);
  EXPECT_EQ(s.OptionId[1], kExact);
  ASSERT_EQ(s.IntParRowCount, 1);
  EXPECT_EQ(s.IntParRowGroup[0], kProportionGroup);
  Choose(1, 3);
  EXPECT_EQ(s.IntParRowCount, 0);
  Choose(2, 3);
  ASSERT_EQ(s.OptionCount, 1);
  EXPECT_EQ(s.OptionId[0], kContinuity);
  EXPECT_EQ(s.OptionState[kContinuity], 0);  // nothing is ticked for it
  ASSERT_EQ(s.IntParRowCount, 3);
  EXPECT_EQ(s.IntParRowGroup[0], kProportion2Group);
  EXPECT_EQ(s.IntParRowGroup[1], kSize2Group);
  EXPECT_EQ(s.IntParRowGroup[2], kPopulation2Group);
}

TEST_F(HyperTest, ParameterLists) {
  Choose(1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0Proportion, Ids::Proportion, Ids::SampleSize,
                                           Ids::PopulationSize}));
  Choose(1, 1, {}, {{kProportionGroup, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 35, 41, 14, 31}));
  Choose(1, 3);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 47, 48, 83, 14, 31}));
  Choose(2, 2);
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{0, 1, 51, 8, 69, 4, 37, Ids::PopulationSize1, Ids::PopulationSize2}));
  Choose(2, 1, {}, {{kProportion2Group, 1}, {kSize2Group, 2}, {kPopulation2Group, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 51, 8, 52, 4, 5, 196, 198}));
  EXPECT_EQ(s.ValueMode, 2);
  Choose(2, 3, {}, {{kProportion2Group, 2}, {kSize2Group, 1}, {kPopulation2Group, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 71, 72, 8, 70, 4, 38, 196, 199}));
}

TEST_F(HyperTest, OneSampleNormalApproximationWithTheCorrection) {
  Choose(1, 2);
  // H0 0.3, Proportion* 0.5, n 30, N 500: f = 470/499;
  // 2 * scipy.stats.norm.sf(0.2 / sqrt(0.21/30 * f))
  EXPECT_NEAR(PValue(), 0.013774089306165999, kTol);
  Choose(1, 2, {kContinuity});
  // 2 * norm.sf((0.2 - 1/60) / sqrt(0.21/30 * f))
  EXPECT_NEAR(PValue(), 0.023955443220824994, kTol);
  Choose(1, 3);
  Set(Ids::Proportion, "0.55");
  // max(norm.sf(0.25 / se), norm.cdf(-0.15 / se)), se = sqrt(0.21/30 * f) at both limits
  EXPECT_NEAR(PValue(), 0.03234994108517735, kTol);
  // The whole population sampled: no standard error, P = 0.
  Choose(1, 2);
  Set(Ids::SampleSize, "500");
  EXPECT_EQ(PValue(), 0.0);
}

TEST_F(HyperTest, OneSampleExact) {
  Choose(1, 2, {kExact});
  // 150 marked of 500, 30 drawn, x = 15:
  // 2 * min(hypergeom.cdf(15, 500, 150, 30), hypergeom.sf(14, 500, 150, 30))
  EXPECT_NEAR(PValue(), 0.028394131695665174, kTol);
  Choose(1, 1, {kExact});
  // hypergeom.sf(14, 500, 150, 30)
  EXPECT_NEAR(PValue(), 0.014197065847832587, kTol);
  Choose(1, 1, {kExact}, {}, true);
  // hypergeom.cdf(15, 500, 150, 30)
  EXPECT_NEAR(PValue(), 0.9949865701972933, kTol);
  Choose(1, 1, {kExact});
  Set(Ids::SampleSize, "25");
  // x = 12.5: 0.5 * hypergeom.pmf(12, 500, 150, 25) + hypergeom.sf(12, 500, 150, 25)
  EXPECT_NEAR(PValue(), 0.02764053480997307, kTol);
  Choose(1, 3, {kExact});
  Set(Ids::SampleSize, "50");
  // max(hypergeom.sf(24, 500, 150, 50), hypergeom.cdf(25, 500, 350, 50))
  EXPECT_NEAR(PValue(), 0.0013993421182224134, kTol);
}

TEST_F(HyperTest, ExactWithAFractionalMarkedCount) {
  // N = 333, p0 = 0.3: 99.9 marked and 233.1 unmarked units, interpolated
  // bilinearly between whole counts: the sum over a in {99, 100}, b in {233, 234}
  // of the weights times hypergeom.cdf(15, a + b, a, 30).
  Choose(1, 1, {kExact}, {}, true);
  Set(Ids::PopulationSize, "333");
  EXPECT_NEAR(PValue(), 0.9956106775415086, 1e-5);
  Choose(1, 1, {kExact});
  // one minus the same at x = 14
  EXPECT_NEAR(PValue(), 0.012876501071878543, 1e-5);
}

TEST_F(HyperTest, ExactUpToAPopulationOf1000) {
  Choose(1, 2, {kExact});
  Set(Ids::Proportion, "0.33");
  Set(Ids::SampleSize, "100");
  Set(Ids::PopulationSize, "1000");
  // 2 * min(hypergeom.cdf(33, 1000, 300, 100), hypergeom.sf(32, 1000, 300, 100))
  EXPECT_NEAR(PValue(), 0.5598729039798409, 1e-5);
  Set(Ids::PopulationSize, "1000.5");
  // 2 * norm.sf(0.03 / sqrt(0.21/100 * 900.5/999.5))
  EXPECT_NEAR(PValue(), 0.4903819448681199, 1e-5);
}

TEST_F(HyperTest, ExactPopulationMessage) {
  Choose(1, 2, {kExact});
  Set(Ids::PopulationSize, "1000");
  ui.messages.clear();
  EXPECT_NE(Solve(0), kNoResult);
  EXPECT_TRUE(ui.messages.empty());
  Set(Ids::PopulationSize, "1001");
  EXPECT_EQ(Rejected(), "Exact Calculation Chosen. Population Size Must Be <= 1000");
  EXPECT_EQ(ui.messages.back().title, "Pelmora");
  EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
  // Solving for the population size itself is allowed.
  ui.messages.clear();
  Solve(Ids::PopulationSize);
  EXPECT_TRUE(ui.messages.empty());
  // Without the exact path any population will do.
  Choose(1, 2);
  Set(Ids::PopulationSize, "5000");
  ui.messages.clear();
  EXPECT_NE(Solve(0), kNoResult);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HyperTest, TwoSamples) {
  Choose(2, 2);
  Set(Ids::Proportion2, "0.7");
  // Pooled p = 0.6, f = 470/499 in both: 2 * norm.sf(0.2 / sqrt(p (1 - p)(f/30 + f/30)))
  EXPECT_NEAR(PValue(), 0.10327311091154767, kTol);
  Set(Ids::H0Difference, "0.05");
  // 2 * norm.sf(0.15 / sqrt(0.25/30 f + 0.21/30 f))
  EXPECT_NEAR(PValue(), 0.2119682033631859, kTol);
  Choose(2, 2, {kContinuity});
  Set(Ids::H0Difference, "0");
  // 2 * norm.sf((0.2 - 1/30) / sqrt(p (1 - p)(f/30 + f/30)))
  EXPECT_NEAR(PValue(), 0.17457250844810168, kTol);
  // Sizes 40 and 60 from populations 400 and 600, in relative forms.
  Choose(2, 2, {}, {{kSize2Group, 2}, {kPopulation2Group, 1}});
  Set(Ids::SampleSize1, "40");
  Set(Ids::SampleSize2OverSize1, "1.5");
  Set(Ids::PopulationSize1, "400");
  Set(Ids::PopulationSize2MinusSize1, "200");
  // p = 0.62; 2 * norm.sf(0.2 / sqrt(p (1 - p)(360/399/40 + 540/599/60)))
  EXPECT_NEAR(PValue(), 0.033547126404155796, kTol);
  Choose(2, 2, {}, {{kSize2Group, 2}, {kPopulation2Group, 2}});
  Set(Ids::PopulationSize2OverSize1, "1.5");
  EXPECT_NEAR(PValue(), 0.033547126404155796, kTol);
  Choose(2, 3, {kContinuity});
  Set(Ids::SampleSize1, "30");
  Set(Ids::PopulationSize1, "500");
  Set(Ids::Proportion2, "0.55");
  // pooled p = 0.525, se = sqrt(p (1 - p) f 2/30), cc = 1/30:
  // max(norm.sf((0.35 - cc)/se), norm.cdf((-0.25 + cc)/se))
  EXPECT_NEAR(PValue(), 0.04168482125604999, kTol);
}

TEST_F(HyperTest, SamplesWithinTheirPopulations) {
  Choose(1, 2);
  Set(Ids::SampleSize, "600");
  EXPECT_EQ(Rejected(), "Sample Size has to be less than or equal to 500");
  Choose(2, 2);
  Set(Ids::SampleSize1, "600");
  EXPECT_EQ(Rejected(), "Sample Size 1 has to be less than or equal to 500");
  Set(Ids::SampleSize1, "30");
  Set(Ids::SampleSize2, "40");
  Set(Ids::PopulationSize2, "35");
  EXPECT_EQ(Rejected(), "Population Size 2 has to be greater than or equal to 40");
}

TEST_F(HyperTest, SolvesForSizesAndEffects) {
  Choose(1, 2);
  // brentq of 2 * norm.sf(0.2 / sqrt(0.21/n (500 - n)/499)) - 0.05
  EXPECT_NEAR(Solve(Ids::SampleSize), 19.423069278741025, 0.01);
  Set(Ids::SampleSize, "19");
  // brentq over N of 2 * norm.sf(0.2 / sqrt(0.21/19 (N - 19)/(N - 1))) - 0.05
  EXPECT_NEAR(Solve(Ids::PopulationSize), 311.8937781038263, 0.5);
  // A sample no smaller than its population is never searched.
  Set(Ids::PopulationSize, "20");
  EXPECT_LE(Solve(Ids::SampleSize), 19.0);
}

}  // namespace
}  // namespace pelmora
