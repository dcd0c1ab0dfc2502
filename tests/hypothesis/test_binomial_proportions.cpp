// The binomial test as the binomial sample distribution drives it: P-values
// on the normal, arc-sine and exact paths, solves, checks, and the rules of
// the options dialog.  Reference values are computed with scipy 1.10
// (Debian's python3-scipy); the program's normal distribution function is
// good to a few 1e-7, and solved values agree to a few hundredths of a sample
// size.  A(p) below is asin(sqrt(p)).
#include "procedures/hypothesis/binomial_proportions.h"

#include <gtest/gtest.h>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = BinomialProportions::Ids;
using testing::kPValue;

constexpr Procedure kBinomial = Procedure::BinomialDistribution;
constexpr int kContinuity = 1, kArcSine = 2, kExact = 7;
constexpr int kProportionGroup = 11, kProportion2Group = 12, kSize2Group = 2;
constexpr double kTol = 2e-6;

testing::Choice Bin(int samples, int tails, std::vector<int> options = {}, testing::Forms forms = {},
                    bool left = false) {
  return testing::DistChoice(kBinomial, -1, 0, samples, tails, std::move(options), std::move(forms), left);
}

class BinTest : public testing::PlanningTest {};

// clang-format off
TEST_F(BinTest, OneSample) {
  ExpectReferences({
    // H0 0.30, Proportion* 0.50, n 30, the standard error under H0: 2 * scipy.stats.norm.sf(0.2 / sqrt(0.21
    // / 30));
    // with the correction 1/(2n): 2 * norm.sf((0.2 - 1/60) / sqrt(0.21 / 30)); norm.sf(0.2 / sqrt(0.21 /
    // 30));
    // the estimate on the wrong side: norm.cdf(0.2 / sqrt(0.21 / 30)); as a difference and as a ratio to H0
    {Bin(1, 2), {}, kPValue, 0.01682740948275684, kTol},
    {Bin(1, 2, {kContinuity}), {}, kPValue, 0.028433528913982736, kTol},
    {Bin(1, 1), {}, kPValue, 0.00841370474137842, kTol},
    {Bin(1, 1, {}, {}, true), {}, kPValue, 0.9915862952586216, kTol},
    {Bin(1, 2, {}, {{kProportionGroup, 1}}), {{Ids::ProportionMinusH0, "0.2"}},
     kPValue, 0.01682740948275684, kTol},
    {Bin(1, 2, {}, {{kProportionGroup, 2}}), {{Ids::ProportionOverH0, "1.6666667"}},
     kPValue, 0.01682740948275684, kTol},
    // limits 0.3 and 0.7 share p (1 - p) = 0.21: max(norm.sf((0.55 - 0.3) / sqrt(0.21/30)),
    // norm.cdf((0.55 - 0.7) / sqrt(0.21/30))); the same with the correction 1/60 towards each limit;
    // unequal limits 0.2 and 0.6: max(norm.sf(0.25 / sqrt(0.16/30)), norm.cdf(-0.15 / sqrt(0.24/30)))
    {Bin(1, 3), {{Ids::Proportion, "0.55"}}, kPValue, 0.03649902271505781, kTol},
    {Bin(1, 3, {kContinuity}), {{Ids::Proportion, "0.55"}}, kPValue, 0.05550855275609318, kTol},
    {Bin(1, 3), {{Ids::LeftLimit, "0.2"}, {Ids::RightLimit, "0.6"}, {Ids::Proportion, "0.45"}}, kPValue,
     0.04676625634454656, kTol},
    // the arc-sine scale, before the correction and the exact path:
    // 2 * norm.sf((A(0.5) - A(0.3)) * 2 * sqrt(30)); max(norm.sf((A(0.55) - A(0.3)) 2 sqrt(30)),
    // norm.cdf((A(0.55) - A(0.7)) 2 sqrt(30)))
    {Bin(1, 2, {kArcSine}), {}, kPValue, 0.024198017979202666, kTol},
    {Bin(1, 2, {kArcSine, kContinuity}), {}, kPValue, 0.024198017979202666, kTol},
    {Bin(1, 2, {kArcSine, kExact}), {}, kPValue, 0.024198017979202666, kTol},
    {Bin(1, 3, {kArcSine}), {{Ids::Proportion, "0.55"}}, kPValue, 0.04406635148286603, kTol},
    // exact, x = 30 x 0.5 = 15, without the correction: 2 * min(binom.cdf(15, 30, 0.3), binom.sf(14, 30,
    // 0.3));
    // binom.sf(14, 30, 0.3); binom.cdf(15, 30, 0.3); x = 12.5: 0.5 * binom.pmf(12, 25, 0.3) + binom.sf(12,
    // 25,
    // 0.3); two one-sided, x = 25 of 50: max(binom.sf(24, 50, 0.3), binom.cdf(25, 50, 0.7))
    {Bin(1, 2, {kExact}), {}, kPValue, 0.033874622985099086, kTol},
    {Bin(1, 2, {kExact, kContinuity}), {}, kPValue, 0.033874622985099086, kTol},
    {Bin(1, 1, {kExact}), {}, kPValue, 0.016937311492549543, kTol},
    {Bin(1, 1, {kExact}, {}, true), {}, kPValue, 0.9936296536226878, kTol},
    {Bin(1, 1, {kExact}), {{Ids::SampleSize, "25"}}, kPValue, 0.030858118958670088, kTol},
    {Bin(1, 3, {kExact}), {{Ids::SampleSize, "50"}}, kPValue, 0.002369547848982267, kTol},
    // exact up to a sample of 1000: 2 * min(binom.cdf(330, 1000, 0.3), binom.sf(329, 1000, 0.3)); beyond,
    // and without the exact box, normal: 2 * norm.sf(0.03 / sqrt(0.21 / 1000.5)), ... / sqrt(0.21 / 1000)
    {Bin(1, 2, {kExact}), {{Ids::Proportion, "0.33"}, {Ids::SampleSize, "1000"}},
     kPValue, 0.04316368859168945, 1e-5},
    {Bin(1, 2, {kExact}), {{Ids::Proportion, "0.33"}, {Ids::SampleSize, "1000.5"}},
     kPValue, 0.038385515927421926, 1e-5},
    {Bin(1, 2), {{Ids::Proportion, "0.33"}, {Ids::SampleSize, "1000"}}, kPValue, 0.03843393023678171, 1e-5},
    // scipy brentq of 2 * norm.sf(0.2 / sqrt(0.21 / n)) - 0.05; of 2 * norm.sf((A(0.5) - A(0.3)) 2 sqrt(n))
    // - 0.05
    {Bin(1, 2), {}, Ids::SampleSize, 20.167658808644152, 0.01},
    {Bin(1, 2, {kArcSine}), {}, Ids::SampleSize, 22.68406824584227, 0.01},
    // brentq of 2 * norm.sf((p - 0.3) / sqrt(0.21/30)) - 0.05 above H0, the same as a difference to H0; of
    // 2 * norm.sf((0.5 - h) / sqrt(h (1 - h)/30)) - 0.05 below the estimate; rejecting in the left tail,
    // below H0: 0.3 - norm.isf(0.05) * sqrt(0.21 / 30)
    {Bin(1, 2), {}, Ids::Proportion, 0.46398235193111137, 1e-4},
    {Bin(1, 2, {}, {{kProportionGroup, 1}}), {}, Ids::ProportionMinusH0, 0.16398235193111137, 1e-4},
    {Bin(1, 2), {{Ids::Proportion, "0.5"}}, Ids::H0Proportion, 0.3315412564049417, 1e-4},
    {Bin(1, 1, {}, {}, true), {}, Ids::Proportion, 0.16238167208301102, 1e-4},
    // checks of relative parameters and limits
    {Bin(1, 2, {}, {{kProportionGroup, 1}}), {{Ids::ProportionMinusH0, "0.75"}}, 0, kNoResult, 0,
     "Proportion*  -  H0:Proportion has to be less than or equal to 0.69999"},
    {Bin(1, 3), {{Ids::LeftLimit, "0.8"}}, 0, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 0.7"},
  });
}

TEST_F(BinTest, TwoSamples) {
  ExpectReferences({
    // H0 difference 0: pooled p = 0.6; 2 * norm.sf(0.2 / sqrt(0.24 * 2/30)); otherwise unpooled:
    // 2 * norm.sf(0.15 / sqrt(0.25/30 + 0.21/30)); 2 * norm.sf((0.2 - (1/30 + 1/30)/2) / sqrt(0.24 * 2/30))
    {Bin(2, 2), {{Ids::Proportion2, "0.7"}}, kPValue, 0.11384629800665805, kTol},
    {Bin(2, 2), {{Ids::Proportion2, "0.7"}, {Ids::H0Difference, "0.05"}}, kPValue, 0.22575773854409398, kTol},
    {Bin(2, 2, {kContinuity}), {{Ids::Proportion2, "0.7"}}, kPValue, 0.18763232999488422, kTol},
    // p2 = 0.5 + 0.2 and n2 = 40 x 1.5, or 0.5 x 1.4 and 40 + 20: p = (40 x 0.5 + 60 x 0.7)/100;
    // 2 * norm.sf(0.2 / sqrt(p (1 - p) (1/40 + 1/60)))
    {Bin(2, 2, {}, {{kProportion2Group, 1}, {kSize2Group, 2}}), {{Ids::Proportion2MinusProportion1, "0.2"},
     {Ids::SampleSize1, "40"}, {Ids::SampleSize2OverSize1, "1.5"}}, kPValue, 0.043529920869611556, kTol},
    {Bin(2, 2, {}, {{kProportion2Group, 2}, {kSize2Group, 1}}), {{Ids::Proportion2OverProportion1, "1.4"},
     {Ids::SampleSize1, "40"}, {Ids::SampleSize2MinusSize1, "20"}}, kPValue, 0.043529920869611556, kTol},
    // two one-sided (which ticks the correction): pooled p = 0.525, se = sqrt(p (1 - p) 2/30), cc = 1/30;
    // max(norm.sf((0.05 + 0.3 - cc)/se), norm.cdf((0.05 - 0.3 + cc)/se))
    {Bin(2, 3), {{Ids::Proportion2, "0.55"}}, kPValue, 0.0464402838728988, kTol},
    // 2 * norm.sf((A(0.7) - A(0.5)) / (sqrt(1/30 + 1/30) / 2)); the null difference d0 is taken from p1 to
    // p1 + d0 on the same scale: 2 * norm.sf(((A(0.7) - A(0.5)) - (A(0.55) - A(0.5))) / (sqrt(2/30) / 2))
    {Bin(2, 2, {kArcSine}), {{Ids::Proportion2, "0.7"}}, kPValue, 0.11098130996828817, kTol},
    {Bin(2, 2, {kArcSine}), {{Ids::Proportion2, "0.7"}, {Ids::H0Difference, "0.05"}}, kPValue,
     0.22787489382189197, kTol},
    // brentq over n of the pooled two-sample P-value with n1 = n2 = n; the same with n2 = 1.5 n1 and the
    // correction (1/n1 + 1/n2)/2; brentq of 2 * norm.sf((p2 - 0.5) / sqrt(q (1 - q) 2/30)) - 0.05, q = (0.5
    // + p2)/2
    {Bin(2, 2, {}, {{kSize2Group, 2}}), {{Ids::Proportion2, "0.7"}, {Ids::SampleSize2OverSize1, "1"}},
     Ids::SampleSize1, 46.09750584832942, 0.01},
    {Bin(2, 2, {kContinuity}, {{kSize2Group, 2}}), {{Ids::Proportion2, "0.7"},
     {Ids::SampleSize2OverSize1, "1.5"}}, Ids::SampleSize1, 45.66345705192043, 0.01},
    {Bin(2, 2), {}, Ids::Proportion2, 0.7452995151689756, 1e-4},
    // on the arc-sine scale p1 + d0 beyond 1 has no arc sine: not calculable, silently
    {Bin(2, 2, {kArcSine}), {{Ids::Proportion1, "0.9"}, {Ids::Proportion2, "0.95"},
     {Ids::H0Difference, "0.2"}}, Ids::SampleSize1, kNoResult, 0},
    {Bin(2, 2, {}, {{kProportion2Group, 2}}), {{Ids::Proportion2OverProportion1, "2.5"}}, 0, kNoResult, 0,
     "Proportion 2* / Proportion 1* has to be less than or equal to 1.99998"},
    {Bin(2, 2, {}, {{kSize2Group, 1}}), {{Ids::SampleSize2MinusSize1, "-28"}}, 0, kNoResult, 0,
     "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
  });
}
// clang-format on

// Two one-sided tests of two samples tick the correction and never use the
// arc-sine scale; the arc-sine scale with two samples rules out two one-sided
// tests.
TEST_F(BinTest, OptionsOfTwoOneSidedTestsAndTheArcSine) {
  Enter(Bin(2, 3), {{Ids::Proportion2, "0.55"}});
  EXPECT_EQ(s.OptionState[kContinuity], 1);
  EXPECT_FALSE(s.dialog.optionEnabled[1]);
  // Every rebuild ticks the box again; an arc-sine box left ticked plays no part.
  d.SetOption(kContinuity, false);
  EXPECT_EQ(s.OptionState[kContinuity], 1);
  s.OptionState[kArcSine] = 1;
  d.ApplyOptions();
  EXPECT_NEAR(Criterion() + 0.05, 0.0464402838728988, kTol);
  d.SetTailCount(2);
  EXPECT_TRUE(s.dialog.optionEnabled[1]);
  // One sample keeps both boxes and does not tick the first.
  Choose(Bin(1, 3));
  EXPECT_TRUE(s.dialog.optionEnabled[1]);
  EXPECT_EQ(s.OptionState[kContinuity], 0);
  Choose(Bin(2, 2, {kArcSine}));
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  d.SetOption(kArcSine, false);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  Choose(Bin(1, 3, {kArcSine}));
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  EXPECT_EQ(s.TailCount, 3);
}

}  // namespace
}  // namespace pelmora
