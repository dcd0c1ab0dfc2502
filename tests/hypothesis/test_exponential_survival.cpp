// The tests of the exponential location and scale, chosen through the
// exponential sample distribution.  Reference values are computed with scipy
// (Debian's python3-scipy) or written out by hand where the exponential
// distribution gives them in closed form.  The program's chi-square and F
// distributions are approximations good to a few 1e-4 in P.
#include "procedures/hypothesis/exponential_survival.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using ScaleIds = ExponentialScale::Ids;
using LocIds = ExponentialLocation::Ids;
using testing::kPValue;

// The exponential distribution's parameter choices.
constexpr Procedure kExponential = Procedure::ExponentialDistribution;
constexpr int kLocation = 0, kScaleLocationKnown = 1, kScaleLocationUnknown = 2;
constexpr int kLocationGroup = 14, kScaleGroup = 15, kScale2Group = 16, kSize2Group = 2;

testing::Choice Exp(int choice, int samples, int tails, testing::Forms forms = {}, bool left = false) {
  return testing::DistChoice(kExponential, choice, 0, samples, tails, {}, std::move(forms), left);
}

class ExponentialTest : public testing::PlanningTest {};

// clang-format off
TEST_F(ExponentialTest, Scale) {
  const testing::Values n10 = {{ScaleIds::SampleSize, "10"}};
  const testing::Forms ratio = {{kScale2Group, 1}, {kSize2Group, 0}};
  ExpectReferences({
    // Scale* = 1.2, H0 = 1, 2n or 2(n - 1) degrees of freedom: scipy.stats.chi2.sf(20 * 1.2, 20),
    // chi2.sf(18 * 1.2, 18); 2 * min(chi2.sf(24, 20), chi2.cdf(24, 20)); the difference and ratio forms
    {Exp(kScaleLocationKnown, 1, 1), n10, kPValue, 0.24239216167051245, 3e-4},
    {Exp(kScaleLocationUnknown, 1, 1), n10, kPValue, 0.25022888228112905, 3e-4},
    {Exp(kScaleLocationKnown, 1, 2), n10, kPValue, 0.4847843233410249, 3e-4},
    {Exp(kScaleLocationKnown, 1, 1, {{kScaleGroup, 1}}), {{ScaleIds::SampleSize, "10"},
     {ScaleIds::ScaleMinusH0, "0.2"}}, kPValue, 0.24239216167051245, 3e-4},
    {Exp(kScaleLocationKnown, 1, 1, {{kScaleGroup, 2}}), {{ScaleIds::SampleSize, "10"},
     {ScaleIds::H0Scale, "2"}, {ScaleIds::ScaleOverH0, "1.2"}}, kPValue, 0.24239216167051245, 3e-4},
    // scipy.stats.f.sf(1.2, 60, 60) and f.sf(1.2, 58, 58); both scales, the numerator df those of
    // sample 2: 2 * min(f.sf(1.5, 80, 40), f.cdf(1.5, 80, 40))
    {Exp(kScaleLocationKnown, 2, 1, ratio), {}, kPValue, 0.24111875187677037, 3e-4},
    {Exp(kScaleLocationUnknown, 2, 1, ratio), {}, kPValue, 0.2448462026259069, 3e-4},
    {Exp(kScaleLocationKnown, 2, 2, {{kScale2Group, 0}, {kSize2Group, 0}}), {{ScaleIds::Scale1, "2"},
     {ScaleIds::Scale2, "3"}, {ScaleIds::SampleSize1, "20"}, {ScaleIds::SampleSize2, "40"}}, kPValue,
     0.15940831954051735, 3e-4},
    // two one-sided tests: max(chi2.sf(60 / 0.8, 60), chi2.cdf(60 / 1.25, 60)); max(chi2.sf(78 * 1.1 / 0.8,
    // 78),
    // chi2.cdf(78 * 1.1 / 1.25, 78)); max(f.sf(1.1 / 0.8, 60, 40), f.cdf(1.1 / 1.25, 60, 40))
    {Exp(kScaleLocationKnown, 1, 3), {{ScaleIds::Scale, "1"}}, kPValue, 0.13212358467196936, 3e-4},
    {Exp(kScaleLocationUnknown, 1, 3), {{ScaleIds::Scale, "1.1"}, {ScaleIds::SampleSize, "40"}}, kPValue,
     0.23339708160753658, 3e-4},
    {Exp(kScaleLocationKnown, 2, 3, ratio), {{ScaleIds::Ratio, "1.1"}, {ScaleIds::SampleSize1, "20"}},
     kPValue, 0.32217771988146254, 3e-4},
    // brentq of chi2.sf(2 n 1.2, 2 n) - 0.05; of chi2.sf(2 (n - 1) 1.2, 2 (n - 1)) - 0.05; of chi2.sf(20 s,
    // 20)
    // - 0.05; of chi2.cdf(20 s, 20) - 0.05, the root below H0; of f.sf(r, 60, 60) - 0.05; of
    // f.sf(1.2, 2 n, 2 n) - 0.05
    {Exp(kScaleLocationKnown, 1, 1), {}, ScaleIds::SampleSize, 72.9882562001064, 0.3},
    {Exp(kScaleLocationUnknown, 1, 1), {}, ScaleIds::SampleSize, 73.98825620010649, 0.3},
    {Exp(kScaleLocationKnown, 1, 1), n10, ScaleIds::Scale, 1.570521642211546, 2e-3},
    {Exp(kScaleLocationKnown, 1, 1, {}, true), n10, ScaleIds::Scale, 0.5425405697089923, 2e-3},
    {Exp(kScaleLocationKnown, 2, 1, ratio), {{ScaleIds::SampleSize1, "30"}},
     ScaleIds::Ratio, 1.5343141798123645, 2e-3},
    {Exp(kScaleLocationKnown, 2, 1, {{kScale2Group, 1}, {kSize2Group, 2}}), {{ScaleIds::Ratio, "1.2"},
     {ScaleIds::SampleSize2OverSize1, "1"}}, ScaleIds::SampleSize1, 163.2576929797895, 0.5},
  });
}

TEST_F(ExponentialTest, Location) {
  // H0 = 0, location* = 0.3, scale 1, n = 30: the minimum's scale is 1/30, and P = exp(-30 x 0.3) in
  // closed form; in the forms too.
  const double p = std::exp(-9.0);
  ExpectReferences({
    {Exp(kLocation, 1, 1), {}, kPValue, p, 1e-7},
    {Exp(kLocation, 1, 2), {}, kPValue, 2 * p, 2e-7},
    {Exp(kLocation, 1, 1, {}, true), {}, kPValue, 1 - p, 1e-6},
    {Exp(kLocation, 1, 1, {{kLocationGroup, 1}}), {}, kPValue, p, 1e-7},
    {Exp(kLocation, 1, 1, {{kLocationGroup, 2}}), {{LocIds::H0Location, "1"},
     {LocIds::LocationOverH0, "1.3"}}, kPValue, p, 2e-6},
    // two one-sided tests, the estimate 0.45 beyond the right limit 0.4: max(exp(-30 0.85), 1 - exp(-30
    // 0.05))
    {Exp(kLocation, 1, 3), {{LocIds::Location, "0.45"}}, kPValue, 1 - std::exp(-1.5), 1e-6},
    // exp(-0.3 n) = 0.05: n = ln 20 / 0.3; -ln(0.05) / 30; 0.3 + ln(0.05) / 30; exp(-30 0.3 / s) = 0.05:
    // s = 9 / -ln(0.05)
    {Exp(kLocation, 1, 1), {}, LocIds::SampleSize, std::log(20.0) / 0.3, 1e-3},
    {Exp(kLocation, 1, 1), {}, LocIds::Location, -std::log(0.05) / 30, 1e-5},
    {Exp(kLocation, 1, 1), {}, LocIds::H0Location, 0.3 + std::log(0.05) / 30, 1e-5},
    {Exp(kLocation, 1, 1), {}, LocIds::Scale, 9 / -std::log(0.05), 1e-4},
    // two-sided: 2 exp(-0.3 n) = 0.05, the root beyond the minimum's median
    {Exp(kLocation, 1, 2), {}, LocIds::SampleSize, std::log(40.0) / 0.3, 1e-3},
    {Exp(kLocation, 1, 2), {}, LocIds::Location, -std::log(0.025) / 30, 1e-5},
    // rejecting in the left tail: 1 - exp(-30 x) = 0.05 at x = -ln(0.95) / 30, and no sample size of at
    // least 3
    // makes 0.3 significant
    {Exp(kLocation, 1, 1, {}, true), {}, LocIds::Location, -std::log(0.95) / 30, 1e-5},
    {Exp(kLocation, 1, 1, {}, true), {}, LocIds::SampleSize, kNoResult, 0},
    // two one-sided tests: the roots the left limit - ln(0.05) / 30 and the right limit - ln(0.95) / 30; the
    // limits for a minimum of 0.2: 0.2 + ln(0.05) / 30 and 0.2 + ln(0.95) / 30; the right limit below the
    // left one is refused
    {Exp(kLocation, 1, 3), {}, LocIds::Location, 0.4 - std::log(0.95) / 30, 1e-5},
    {Exp(kLocation, 1, 3, {}, true), {}, LocIds::Location, -0.4 - std::log(0.05) / 30, 1e-5},
    {Exp(kLocation, 1, 3, {}, true), {{LocIds::Location, "0.2"}},
     LocIds::LeftLimit, 0.2 + std::log(0.05) / 30, 1e-5},
    {Exp(kLocation, 1, 3, {}, true), {{LocIds::Location, "0.2"}},
     LocIds::RightLimit, 0.2 + std::log(0.95) / 30, 1e-5},
    {Exp(kLocation, 1, 3, {}, true), {{LocIds::RightLimit, "-0.5"}}, 0, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to -0.5"},
  });
}
// clang-format on

TEST_F(ExponentialTest, TheLocationHasNoTwoSampleForm) {
  Choose(Exp(kLocation, 2, 2));
  EXPECT_EQ(s.SampleCount, 1);
  EXPECT_FALSE(s.dialog.samplesEnabled[1]);
}

}  // namespace
}  // namespace pelmora
