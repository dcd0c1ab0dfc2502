// The binomial test as the binomial sample distribution drives it: offered
// options and rows, lists, criteria on the normal, arc-sine and exact paths,
// and solves.  Reference values are computed with scipy 1.10 (Debian's
// python3-scipy); the program's normal distribution function is good to a few
// 1e-7, and solved values agree to a few hundredths of a sample size.
#include "procedures/hypothesis/binomial_proportions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "procedures/module_set.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = BinomialProportions::Ids;
constexpr int kContinuity = 1, kArcSine = 2, kExact = 7;
constexpr int kProportionGroup = 11, kProportion2Group = 12, kSize2Group = 2;
constexpr double kTol = 2e-6;

class BinTest : public testing::PlanningTest {
 protected:
  BinTest() {
    d.UseModuleForTesting(d.modules().Find<BinomialProportions>());
    // The session as the binomial distribution sets it for a test.
    s.IsTestProcedure = kFalse;
    s.DistributionIndex = 4;
    s.ProcedureKind = 0;
  }
  // Chooses samples, tails and options as the dialog would, then confirms.
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
};

TEST_F(BinTest, IsRegisteredOnce) {
  ASSERT_NE(d.modules().Find<BinomialProportions>(), nullptr);
  EXPECT_NE(static_cast<ProcedureModule*>(d.modules().Find<BinomialProportions>()), d.modules().ForTest(7));
}

TEST_F(BinTest, OfferedOptionsAndRows) {
  Choose(1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kArcSine, kExact}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kProportionGroup}));
  EXPECT_EQ(s.SampleCount, 1);
  Choose(1, 3);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kArcSine, kExact}));
  EXPECT_TRUE(OfferedRows().empty());  // the estimate is a value only
  Choose(2, 1);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuity, kArcSine}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kProportion2Group, kSize2Group}));
  EXPECT_TRUE(s.dialog.optionEnabled[1]);
}

TEST_F(BinTest, TwoOneSidedTestsOfTwoSamplesTickTheCorrectionAndDisableTheArcSine) {
  Choose(2, 3);
  EXPECT_EQ(s.OptionState[kContinuity], 1);
  EXPECT_FALSE(s.dialog.optionEnabled[1]);
  EXPECT_TRUE(s.dialog.optionEnabled[0]);
  // Back to two tails: the box is enabled again.
  d.SetTailCount(2);
  EXPECT_TRUE(s.dialog.optionEnabled[1]);
  // One sample keeps both boxes and does not tick the first.
  s.OptionState.fill(0);
  d.SetSampleCount(1);
  d.SetTailCount(3);
  EXPECT_TRUE(s.dialog.optionEnabled[1]);
  EXPECT_EQ(s.OptionState[kContinuity], 0);
}

TEST_F(BinTest, ArcSineWithTwoSamplesDisablesTwoOneSidedTests) {
  Choose(2, 2, {kArcSine});
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  d.SetOption(kArcSine, false);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  // One sample: two one-sided tests on the arc-sine scale are allowed.
  Choose(1, 3, {kArcSine});
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  EXPECT_EQ(s.TailCount, 3);
}

TEST_F(BinTest, ParameterLists) {
  Choose(1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0Proportion, Ids::Proportion, Ids::SampleSize}));
  Choose(1, 1, {}, {{kProportionGroup, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 35, 40, 14}));
  Choose(1, 2, {}, {{kProportionGroup, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 35, 41, 14}));
  Choose(1, 3, {}, {{kProportionGroup, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 47, 48, 83, 14}));

  Choose(2, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, Ids::H0Difference, Ids::Proportion1, Ids::Proportion2,
                                           Ids::SampleSize1, Ids::SampleSize2}));
  Choose(2, 1, {}, {{kProportion2Group, 1}, {kSize2Group, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 51, 8, 52, 4, 38}));
  EXPECT_EQ(s.ValueMode, 1);
  Choose(2, 2, {}, {{kProportion2Group, 2}, {kSize2Group, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 51, 8, 70, 4, 5}));
  EXPECT_EQ(s.ValueMode, 2);
  Choose(2, 3, {}, {{kProportion2Group, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 71, 72, 8, 52, 4, 37}));
}

TEST_F(BinTest, EquivalenceLimitsStartAtTheirOwnValues) {
  Choose(1, 3);
  EXPECT_EQ(s.entryAt(2).ParamText, "0.30");
  EXPECT_EQ(s.entryAt(3).ParamText, "0.70");
  EXPECT_EQ(s.entryAt(2).ParamUpperLimit, static_cast<double>(0.99999f));
  Choose(2, 3);
  EXPECT_EQ(s.entryAt(2).ParamText, "-0.30");
  EXPECT_EQ(s.entryAt(3).ParamText, "0.30");
  EXPECT_EQ(s.entryAt(2).ParamLowerLimit, static_cast<double>(-0.99999f));
}

TEST_F(BinTest, OneSampleNormalApproximation) {
  // H0 0.30, Proportion* 0.50, n 30: the standard error under H0.
  Choose(1, 2);
  // 2 * scipy.stats.norm.sf(0.2 / sqrt(0.21 / 30))
  EXPECT_NEAR(PValue(), 0.01682740948275684, kTol);
  Choose(1, 2, {kContinuity});
  // 2 * norm.sf((0.2 - 1/60) / sqrt(0.21 / 30)): the correction 1/(2n)
  EXPECT_NEAR(PValue(), 0.028433528913982736, kTol);
  Choose(1, 1);
  // norm.sf(0.2 / sqrt(0.21 / 30))
  EXPECT_NEAR(PValue(), 0.00841370474137842, kTol);
  Choose(1, 1, {}, {}, true);
  // norm.cdf(0.2 / sqrt(0.21 / 30)): the estimate lies on the wrong side
  EXPECT_NEAR(PValue(), 0.9915862952586216, kTol);
  // The estimate as a difference and as a ratio to H0.
  Choose(1, 2, {}, {{kProportionGroup, 1}});
  Set(Ids::ProportionMinusH0, "0.2");
  EXPECT_NEAR(PValue(), 0.01682740948275684, kTol);
  Choose(1, 2, {}, {{kProportionGroup, 2}});
  Set(Ids::ProportionOverH0, "1.6666667");
  EXPECT_NEAR(PValue(), 0.01682740948275684, kTol);
}

TEST_F(BinTest, OneSampleTwoOneSidedTestsUseTheStandardErrorAtEachLimit) {
  Choose(1, 3);
  Set(Ids::Proportion, "0.55");
  // Limits 0.3 and 0.7 share p (1 - p) = 0.21 here:
  // max(norm.sf((0.55 - 0.3) / sqrt(0.21/30)), norm.cdf((0.55 - 0.7) / sqrt(0.21/30)))
  EXPECT_NEAR(PValue(), 0.03649902271505781, kTol);
  Choose(1, 3, {kContinuity});
  // the same with the correction 1/60 towards each limit
  EXPECT_NEAR(PValue(), 0.05550855275609318, kTol);
  // Unequal limits: 0.2 and 0.6, estimate 0.45.
  Choose(1, 3);
  Set(Ids::LeftLimit, "0.2");
  Set(Ids::RightLimit, "0.6");
  Set(Ids::Proportion, "0.45");
  // max(norm.sf(0.25 / sqrt(0.16/30)), norm.cdf(-0.15 / sqrt(0.24/30)))
  EXPECT_NEAR(PValue(), 0.04676625634454656, kTol);
}

TEST_F(BinTest, OneSampleOnTheArcSineScale) {
  Choose(1, 2, {kArcSine});
  // 2 * norm.sf((asin(sqrt(0.5)) - asin(sqrt(0.3))) * 2 * sqrt(30))
  EXPECT_NEAR(PValue(), 0.024198017979202666, kTol);
  // The continuity correction has no part in it.
  Choose(1, 2, {kArcSine, kContinuity});
  EXPECT_NEAR(PValue(), 0.024198017979202666, kTol);
  // It comes before the exact path.
  Choose(1, 2, {kArcSine, kExact});
  EXPECT_NEAR(PValue(), 0.024198017979202666, kTol);
  Choose(1, 3, {kArcSine});
  Set(Ids::Proportion, "0.55");
  // max(norm.sf((A(0.55) - A(0.3)) 2 sqrt(30)), norm.cdf((A(0.55) - A(0.7)) 2 sqrt(30))), A(p) = asin(sqrt p)
  EXPECT_NEAR(PValue(), 0.04406635148286603, kTol);
}

TEST_F(BinTest, OneSampleExact) {
  Choose(1, 2, {kExact});
  // x = 30 x 0.5 = 15: 2 * min(binom.cdf(15, 30, 0.3), binom.sf(14, 30, 0.3))
  EXPECT_NEAR(PValue(), 0.033874622985099086, kTol);
  // The continuity correction has no part in it.
  Choose(1, 2, {kExact, kContinuity});
  EXPECT_NEAR(PValue(), 0.033874622985099086, kTol);
  Choose(1, 1, {kExact});
  // binom.sf(14, 30, 0.3)
  EXPECT_NEAR(PValue(), 0.016937311492549543, kTol);
  Choose(1, 1, {kExact}, {}, true);
  // binom.cdf(15, 30, 0.3)
  EXPECT_NEAR(PValue(), 0.9936296536226878, kTol);
  // A fractional expected count: x = 25 x 0.5 = 12.5.
  Choose(1, 1, {kExact});
  Set(Ids::SampleSize, "25");
  // 0.5 * binom.pmf(12, 25, 0.3) + binom.sf(12, 25, 0.3)
  EXPECT_NEAR(PValue(), 0.030858118958670088, kTol);
  // Two one-sided tests against the limits: x = 25 of 50.
  Choose(1, 3, {kExact});
  Set(Ids::SampleSize, "50");
  // max(binom.sf(24, 50, 0.3), binom.cdf(25, 50, 0.7))
  EXPECT_NEAR(PValue(), 0.002369547848982267, kTol);
}

TEST_F(BinTest, ExactUpToASampleOf1000) {
  Choose(1, 2, {kExact});
  Set(Ids::Proportion, "0.33");
  Set(Ids::SampleSize, "1000");
  // x = 330: 2 * min(binom.cdf(330, 1000, 0.3), binom.sf(329, 1000, 0.3))
  EXPECT_NEAR(PValue(), 0.04316368859168945, 1e-5);
  Set(Ids::SampleSize, "1000.5");
  // The normal approximation: 2 * norm.sf(0.03 / sqrt(0.21 / 1000.5))
  EXPECT_NEAR(PValue(), 0.038385515927421926, 1e-5);
  // Without the exact box, 1000 takes the normal path too.
  Choose(1, 2);
  Set(Ids::SampleSize, "1000");
  // 2 * norm.sf(0.03 / sqrt(0.21 / 1000))
  EXPECT_NEAR(PValue(), 0.03843393023678171, 1e-5);
}

TEST_F(BinTest, TwoSamples) {
  Choose(2, 2);
  Set(Ids::Proportion2, "0.7");
  // H0 difference 0: pooled p = 0.6; 2 * norm.sf(0.2 / sqrt(0.24 * 2/30))
  EXPECT_NEAR(PValue(), 0.11384629800665805, kTol);
  Set(Ids::H0Difference, "0.05");
  // Otherwise unpooled: 2 * norm.sf(0.15 / sqrt(0.25/30 + 0.21/30))
  EXPECT_NEAR(PValue(), 0.22575773854409398, kTol);
  Choose(2, 2, {kContinuity});
  Set(Ids::H0Difference, "0");
  // 2 * norm.sf((0.2 - (1/30 + 1/30)/2) / sqrt(0.24 * 2/30))
  EXPECT_NEAR(PValue(), 0.18763232999488422, kTol);
  // Second proportion and size in their relative forms: p2 = 0.5 + 0.2, n2 = 40 x 1.5.
  Choose(2, 2, {}, {{kProportion2Group, 1}, {kSize2Group, 2}});
  Set(Ids::Proportion2MinusProportion1, "0.2");
  Set(Ids::SampleSize1, "40");
  Set(Ids::SampleSize2OverSize1, "1.5");
  // p = (40 x 0.5 + 60 x 0.7)/100; 2 * norm.sf(0.2 / sqrt(p (1 - p) (1/40 + 1/60)))
  EXPECT_NEAR(PValue(), 0.043529920869611556, kTol);
  Choose(2, 2, {}, {{kProportion2Group, 2}, {kSize2Group, 1}});
  Set(Ids::Proportion2OverProportion1, "1.4");
  Set(Ids::SampleSize1, "40");
  Set(Ids::SampleSize2MinusSize1, "20");
  EXPECT_NEAR(PValue(), 0.043529920869611556, kTol);
}

TEST_F(BinTest, TwoSamplesTwoOneSided) {
  Choose(2, 3);  // ticks the continuity correction
  Set(Ids::Proportion2, "0.55");
  // No H0 difference: pooled p = 0.525, se = sqrt(p (1 - p) 2/30), cc = 1/30;
  // max(norm.sf((0.05 + 0.3 - cc)/se), norm.cdf((0.05 - 0.3 + cc)/se))
  EXPECT_NEAR(PValue(), 0.0464402838728988, kTol);
  // Every rebuild of the options ticks the box again.
  d.SetOption(kContinuity, false);
  EXPECT_EQ(s.OptionState[kContinuity], 1);
  // An arc-sine box left ticked from another choice plays no part.
  s.OptionState[kArcSine] = 1;
  d.ApplyOptions();
  EXPECT_NEAR(PValue(), 0.0464402838728988, kTol);
}

TEST_F(BinTest, TwoSamplesOnTheArcSineScale) {
  Choose(2, 2, {kArcSine});
  Set(Ids::Proportion2, "0.7");
  // 2 * norm.sf((A(0.7) - A(0.5)) / (sqrt(1/30 + 1/30) / 2))
  EXPECT_NEAR(PValue(), 0.11098130996828817, kTol);
  // The null difference d0 is taken from p1 to p1 + d0 on the same scale:
  // 2 * norm.sf(((A(0.7) - A(0.5)) - (A(0.55) - A(0.5))) / (sqrt(2/30) / 2))
  Set(Ids::H0Difference, "0.05");
  EXPECT_NEAR(PValue(), 0.22787489382189197, kTol);
}

TEST_F(BinTest, SolvesForTheSampleSize) {
  Choose(1, 2);
  // scipy brentq of 2 * norm.sf(0.2 / sqrt(0.21 / n)) - 0.05
  EXPECT_NEAR(Solve(Ids::SampleSize), 20.167658808644152, 0.01);
  Choose(1, 2, {kArcSine});
  // brentq of 2 * norm.sf((A(0.5) - A(0.3)) 2 sqrt(n)) - 0.05
  EXPECT_NEAR(Solve(Ids::SampleSize), 22.68406824584227, 0.01);
  Choose(2, 2, {}, {{kSize2Group, 2}});
  Set(Ids::Proportion2, "0.7");
  Set(Ids::SampleSize2OverSize1, "1");
  // brentq over n of the pooled two-sample P-value with n1 = n2 = n
  EXPECT_NEAR(Solve(Ids::SampleSize1), 46.09750584832942, 0.01);
  Choose(2, 2, {kContinuity}, {{kSize2Group, 2}});
  Set(Ids::SampleSize2OverSize1, "1.5");
  // the same with n2 = 1.5 n1 and the correction (1/n1 + 1/n2)/2
  EXPECT_NEAR(Solve(Ids::SampleSize1), 45.66345705192043, 0.01);
}

TEST_F(BinTest, SolvesForTheEffects) {
  Choose(1, 2);
  // brentq of 2 * norm.sf((p - 0.3) / sqrt(0.21/30)) - 0.05 above H0
  EXPECT_NEAR(Solve(Ids::Proportion), 0.46398235193111137, 1e-4);
  Set(Ids::Proportion, "0.5");
  // brentq of 2 * norm.sf((0.5 - h) / sqrt(h (1 - h)/30)) - 0.05 below the estimate
  EXPECT_NEAR(Solve(Ids::H0Proportion), 0.3315412564049417, 1e-4);
  Choose(2, 2);
  // brentq of 2 * norm.sf((p2 - 0.5) / sqrt(q (1 - q) 2/30)) - 0.05, q = (0.5 + p2)/2
  EXPECT_NEAR(Solve(Ids::Proportion2), 0.7452995151689756, 1e-4);
  // Rejecting in the left tail finds the estimate below H0.
  Choose(1, 1, {}, {}, true);
  EXPECT_LT(Solve(Ids::Proportion), 0.3);
}

TEST_F(BinTest, ChecksOfRelativeParametersAndLimits) {
  // The message of a rejected solve for the P-value; its text is kept.
  auto rejected = [&] {
    ui.messages.clear();
    EXPECT_EQ(Solve(0), kNoResult);
    s.entry(0).ParamText = "0.05";
    return ui.LastText();
  };
  Choose(1, 2, {}, {{kProportionGroup, 1}});
  Set(Ids::ProportionMinusH0, "0.75");  // 0.3 + 0.75 is no proportion
  EXPECT_EQ(rejected(), "Proportion*  -  H0:Proportion has to be less than or equal to 0.69999");
  Choose(2, 2, {}, {{kProportion2Group, 2}});
  Set(Ids::Proportion2OverProportion1, "2.5");
  EXPECT_EQ(rejected(), "Proportion 2* / Proportion 1* has to be less than or equal to 1.99998");
  Choose(2, 2, {}, {{kSize2Group, 1}});
  Set(Ids::SampleSize2MinusSize1, "-28");
  EXPECT_EQ(rejected(), "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
  Choose(1, 3);
  Set(Ids::LeftLimit, "0.8");
  EXPECT_EQ(rejected(), "H0: Left Equivalence Limit has to be less than or equal to 0.7");
  // With the unknown at a relative entry or its base, nothing is checked against it.
  Choose(1, 2, {}, {{kProportionGroup, 1}});
  ui.messages.clear();
  EXPECT_NE(Solve(Ids::ProportionMinusH0), kNoResult);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BinTest, FaultsAreNotCalculable) {
  // On the arc-sine scale p1 + d0 beyond 1 has no arc sine.
  Choose(2, 2, {kArcSine});
  Set(Ids::Proportion1, "0.9");
  Set(Ids::Proportion2, "0.95");
  Set(Ids::H0Difference, "0.2");
  EXPECT_EQ(Solve(Ids::SampleSize1), kNoResult);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "-");
  EXPECT_TRUE(ui.messages.empty());
}

// The binomial and the hypergeometric test under every choice the options
// dialog offers, solved for every listed position: each solve ends within the
// evaluation bound with "not calculable" or with a value at which the
// criterion vanishes.
class CountSweep : public testing::PlanningTest, public ::testing::WithParamInterface<int> {};

TEST_P(CountSweep, EveryChoiceAndPosition) {
  const int distribution = GetParam();
  d.UseModuleForTesting(distribution == 4 ? static_cast<ProcedureModule*>(d.modules().Find<BinomialProportions>())
                                          : d.modules().Find<HypergeometricProportions>());
  s.IsTestProcedure = kFalse;
  s.DistributionIndex = static_cast<std::int16_t>(distribution);
  s.ProcedureKind = 0;
  s.entry(Ids::Proportion2).ParamText = "0.7";  // away from Proportion 1*, so that most solves have a root
  int solves = 0, solved = 0;
  for (int samples : {1, 2}) {
    for (int tails = 1; tails <= 3; ++tails) {
      for (bool left : {false, true}) {
        for (int optionMask = 0; optionMask < 8; ++optionMask) {
          for (int forms = 0; forms < 27; ++forms) {
            s.OptionState.fill(0);
            d.SetSampleCount(samples);
            d.SetTailCount(tails);
            d.SetRejectInLeftTail(left);
            for (int k = 0; k < s.OptionCount; ++k)
              if (optionMask & (1 << k)) d.SetOption(s.OptionId[static_cast<std::size_t>(k)], true);
            for (int k = 0, f = forms; k < s.IntParRowCount; ++k, f /= 3)
              d.SetForm(s.IntParRowGroup[static_cast<std::size_t>(k)], f % 3);
            d.ApplyOptions();
            ASSERT_LE(s.LastPosition, kMaxPosition);
            for (int p = 0; p <= s.LastPosition; ++p) {
              if (p == 1) continue;
              SCOPED_TRACE(s.Description + " forms " + std::to_string(forms) + " position " +
                           std::to_string(p));
              const std::string saved = s.entryAt(p).ParamText;
              s.UnknownPosition = static_cast<std::int16_t>(p);
              s.ResultsCurrent = false;
              const SingleOutcome o = CalculateSingle(d);
              ++solves;
              ASSERT_LE(LastSolveEvaluations(), 502);
              ASSERT_TRUE(ui.messages.empty()) << ui.LastText();
              if (o == SingleOutcome::Solved) {
                ++solved;
                ASSERT_TRUE(std::isfinite(s.value(p)));
                EXPECT_LE(std::fabs(d.CallEvaluateCriterion()), 1e-3);
              } else {
                ASSERT_EQ(s.entryAt(p).ParamText, "-");
              }
              s.entryAt(p).ParamText = saved;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(solves, 5000);
  EXPECT_GT(solved, solves / 2);
  RecordProperty("solved", solved);
}

INSTANTIATE_TEST_SUITE_P(BinomialAndHypergeometric, CountSweep, ::testing::Values(4, 5));

}  // namespace
}  // namespace pelmora
