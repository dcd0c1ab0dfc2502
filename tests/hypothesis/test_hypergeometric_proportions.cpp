// The hypergeometric test as the hypergeometric sample distribution drives
// it: the exact path's population limit and its message, P-values with the
// finite-population correction, checks and solves.  Reference values are
// computed with scipy 1.10 (Debian's python3-scipy); scipy.stats.hypergeom
// takes (x, population, marked, drawn).  f below is the correction
// (N - n)/(N - 1), 470/499 at the start-up values.
#include "procedures/hypothesis/hypergeometric_proportions.h"

#include <gtest/gtest.h>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = HypergeometricProportions::Ids;
using testing::kPValue;

constexpr Procedure kHypergeometric = Procedure::HypergeometricDistribution;
constexpr int kContinuity = 1, kExact = 7;
constexpr int kSize2Group = 2, kPopulation2Group = 25;
constexpr double kTol = 2e-6;

testing::Choice Hyp(int samples, int tails, std::vector<int> options = {}, testing::Forms forms = {},
                    bool left = false) {
  return testing::DistChoice(kHypergeometric, -1, 0, samples, tails, std::move(options), std::move(forms),
   left);
}

class HyperTest : public testing::PlanningTest {};

// clang-format off
TEST_F(HyperTest, References) {
  ExpectReferences({
    // H0 0.3, Proportion* 0.5, n 30, N 500: 2 * scipy.stats.norm.sf(0.2 / sqrt(0.21/30 * f)); with the
    // correction 1/60; max(norm.sf(0.25 / se), norm.cdf(-0.15 / se)), se = sqrt(0.21/30 * f) at both limits;
    // the whole population sampled: no standard error, P = 0
    {Hyp(1, 2), {}, kPValue, 0.013774089306165999, kTol},
    {Hyp(1, 2, {kContinuity}), {}, kPValue, 0.023955443220824994, kTol},
    {Hyp(1, 3), {{Ids::Proportion, "0.55"}}, kPValue, 0.03234994108517735, kTol},
    {Hyp(1, 2), {{Ids::SampleSize, "500"}}, kPValue, 0, 0},
    // 150 marked of 500, 30 drawn, x = 15: 2 * min(hypergeom.cdf(15, 500, 150, 30), hypergeom.sf(14, 500,
    // 150, 30)); hypergeom.sf(14, 500, 150, 30); hypergeom.cdf(15, 500, 150, 30); x = 12.5:
    // 0.5 * hypergeom.pmf(12, 500, 150, 25) + hypergeom.sf(12, 500, 150, 25);
    // max(hypergeom.sf(24, 500, 150, 50), hypergeom.cdf(25, 500, 350, 50))
    {Hyp(1, 2, {kExact}), {}, kPValue, 0.028394131695665174, kTol},
    {Hyp(1, 1, {kExact}), {}, kPValue, 0.014197065847832587, kTol},
    {Hyp(1, 1, {kExact}, {}, true), {}, kPValue, 0.9949865701972933, kTol},
    {Hyp(1, 1, {kExact}), {{Ids::SampleSize, "25"}}, kPValue, 0.02764053480997307, kTol},
    {Hyp(1, 3, {kExact}), {{Ids::SampleSize, "50"}}, kPValue, 0.0013993421182224134, kTol},
    // N = 333, p0 = 0.3: 99.9 marked and 233.1 unmarked units, interpolated bilinearly between whole
    // counts: the sum over a in {99, 100}, b in {233, 234} of the weights times
    // hypergeom.cdf(15, a + b, a, 30); one minus the same at x = 14
    {Hyp(1, 1, {kExact}, {}, true), {{Ids::PopulationSize, "333"}}, kPValue, 0.9956106775415086, 1e-5},
    {Hyp(1, 1, {kExact}), {{Ids::PopulationSize, "333"}}, kPValue, 0.012876501071878543, 1e-5},
    // exact up to a population of 1000: 2 * min(hypergeom.cdf(33, 1000, 300, 100), hypergeom.sf(32, 1000,
    // 300, 100)); beyond: 2 * norm.sf(0.03 / sqrt(0.21/100 * 900.5/999.5))
    {Hyp(1, 2, {kExact}), {{Ids::Proportion, "0.33"}, {Ids::SampleSize, "100"},
     {Ids::PopulationSize, "1000"}}, kPValue, 0.5598729039798409, 1e-5},
    {Hyp(1, 2, {kExact}), {{Ids::Proportion, "0.33"}, {Ids::SampleSize, "100"},
     {Ids::PopulationSize, "1000.5"}}, kPValue, 0.4903819448681199, 1e-5},
    // the exact path refuses a population above 1000 (2 * min(hypergeom.cdf(15, 1000, 300, 30),
    // hypergeom.sf(14, 1000, 300, 30)) at 1000); without it any population will do:
    // 2 * norm.sf(0.2 / sqrt(0.21/30 * 4970/4999))
    {Hyp(1, 2, {kExact}), {{Ids::PopulationSize, "1000"}}, 0, 0.031103158041321757, 1e-5},
    {Hyp(1, 2, {kExact}), {{Ids::PopulationSize, "1001"}}, 0, kNoResult, 0,
     "Exact Calculation Chosen. Population Size Must Be <= 1000"},
    {Hyp(1, 2), {{Ids::PopulationSize, "5000"}}, 0, 0.016510929860879715, 1e-5},
    // pooled p = 0.6, f in both: 2 * norm.sf(0.2 / sqrt(p (1 - p)(f/30 + f/30))); unpooled for an H0
    // difference: 2 * norm.sf(0.15 / sqrt(0.25/30 f + 0.21/30 f)); 2 * norm.sf((0.2 - 1/30) / sqrt(...))
    {Hyp(2, 2), {{Ids::Proportion2, "0.7"}}, kPValue, 0.10327311091154767, kTol},
    {Hyp(2, 2), {{Ids::Proportion2, "0.7"}, {Ids::H0Difference, "0.05"}}, kPValue, 0.2119682033631859, kTol},
    {Hyp(2, 2, {kContinuity}), {{Ids::Proportion2, "0.7"}}, kPValue, 0.17457250844810168, kTol},
    // sizes 40 and 60 from populations 400 and 600, in relative forms: p = 0.62;
    // 2 * norm.sf(0.2 / sqrt(p (1 - p)(360/399/40 + 540/599/60)))
    {Hyp(2, 2, {}, {{kSize2Group, 2}, {kPopulation2Group, 1}}), {{Ids::Proportion2, "0.7"},
     {Ids::SampleSize1, "40"}, {Ids::SampleSize2OverSize1, "1.5"}, {Ids::PopulationSize1, "400"},
     {Ids::PopulationSize2MinusSize1, "200"}},
     kPValue, 0.033547126404155796, kTol},
    {Hyp(2, 2, {}, {{kSize2Group, 2}, {kPopulation2Group, 2}}), {{Ids::Proportion2, "0.7"},
     {Ids::SampleSize1, "40"}, {Ids::SampleSize2OverSize1, "1.5"}, {Ids::PopulationSize1, "400"},
     {Ids::PopulationSize2OverSize1, "1.5"}},
     kPValue, 0.033547126404155796, kTol},
    // pooled p = 0.525, se = sqrt(p (1 - p) f 2/30), cc = 1/30: max(norm.sf((0.35 - cc)/se),
    // norm.cdf((-0.25 + cc)/se))
    {Hyp(2, 3, {kContinuity}), {{Ids::Proportion2, "0.55"}}, kPValue, 0.04168482125604999, kTol},
    // samples within their populations
    {Hyp(1, 2), {{Ids::SampleSize, "600"}},
     0, kNoResult, 0, "Sample Size has to be less than or equal to 500"},
    {Hyp(2, 2), {{Ids::SampleSize1, "600"}},
     0, kNoResult, 0, "Sample Size 1 has to be less than or equal to 500"},
    {Hyp(2, 2), {{Ids::SampleSize2, "40"}, {Ids::PopulationSize2, "35"}}, 0, kNoResult, 0,
     "Population Size 2 has to be greater than or equal to 40"},
    // brentq of 2 * norm.sf(0.2 / sqrt(0.21/n (500 - n)/499)) - 0.05; over N of
    // 2 * norm.sf(0.2 / sqrt(0.21/19 (N - 19)/(N - 1))) - 0.05; a sample below its population of 20:
    // brentq of 2 * norm.sf(0.2 / sqrt(0.21/n (20 - n)/19)) - 0.05
    {Hyp(1, 2), {}, Ids::SampleSize, 19.423069278741025, 0.01},
    {Hyp(1, 2), {{Ids::SampleSize, "19"}}, Ids::PopulationSize, 311.8937781038263, 0.5},
    {Hyp(1, 2), {{Ids::PopulationSize, "20"}}, Ids::SampleSize, 10.298118101556744, 0.01},
  });
}
// clang-format on

TEST_F(HyperTest, ThePopulationLimitIsAMessageBoxAndNotForThePopulationItself) {
  Enter(Hyp(1, 2, {kExact}), {{Ids::PopulationSize, "1001"}});
  EXPECT_EQ(Solve(0), kNoResult);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().title, "Pelmora");
  EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
  ui.messages.clear();
  s.entry(0).ParamText = "0.05";
  Solve(Ids::PopulationSize);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace pelmora
