// The P-value equations: each kind of statistic one-sided, two-sided and two
// one-sided, the continuity correction, and their guards.
#include <gtest/gtest.h>

#include "numeric/power_equations.h"

namespace pelmora {
namespace {

constexpr Sides kUpper{1, kFalse};
constexpr Sides kLower{1, kTrue};
constexpr Sides kTwo{2, kFalse};
constexpr Sides kEquivalence{3, kFalse};

TEST(PValueZ, TailsAndCorrection) {
  // scipy.stats.norm.sf((0.3 - 0.0 - 0.1) / 0.1) = 0.022750
  EXPECT_NEAR(PValueZ(kUpper, 0.3f, 0, 0.1f, 0, 0, 0.1f), 0.022750, 2e-6);
  // scipy.stats.norm.cdf((0.3 + 0.1) / 0.1) = 0.999968
  EXPECT_NEAR(PValueZ(kLower, 0.3f, 0, 0.1f, 0, 0, 0.1f), 0.999968, 2e-6);
  // 2 * scipy.stats.norm.sf((0.3 - 0.1) / 0.1) = 0.045500
  EXPECT_NEAR(PValueZ(kTwo, -0.3f, 0, 0.1f, 0, 0, 0.1f), 0.045500, 2e-6);
  // The correction of 0.5 at a distance of 0.5 leaves the statistic at 0.
  EXPECT_NEAR(PValueZ(kUpper, 1.5f, 1, 0.2f, 0, 0, 0.5f), 0.5, 1e-6);
  // max(norm.sf((0.1 + 0.2) / 0.1), norm.cdf((0.1 - 0.2) / 0.1)) = 0.158655
  EXPECT_NEAR(PValueZ(kEquivalence, 0.1f, 0, 0.1f, -0.2f, 0.2f, 0), 0.158655, 2e-6);
  EXPECT_EQ(PValueZ(kTwo, 1, 0, 0, 0, 0, 0), 0.0f);
  EXPECT_EQ(PValueZ(Sides{4, kFalse}, 1, 0, 1, 0, 0, 0), 0.0f);
}

TEST(PValueZ, ACorrectionLargerThanTheDistanceStopsAtTheNullValue) {
  // The two-sided statistic is never moved past the null value: P stays 1.
  EXPECT_FLOAT_EQ(PValueZ(kTwo, 0.2f, 0, 0.1f, 0, 0, 0.5f), 1.0f);
  EXPECT_FLOAT_EQ(PValueZ(kTwo, 0, 0, 0.1f, 0, 0, 0.5f), 1.0f);
}

TEST(PValueT, Tails) {
  // 2 * scipy.stats.t.sf(0.5 / 0.2, 20) = 0.021234
  EXPECT_NEAR(PValueT(kTwo, 0.5f, 0, 0.2f, 0, 0, 20), 0.021234, 2e-5);
  EXPECT_NEAR(PValueT(kTwo, 0.3f, 0.3f, 0.2f, 0, 0, 20), 1.0, 1e-6);
  // Half way between the limits both one-sided values are equal.
  EXPECT_NEAR(PValueT(kEquivalence, 0, 0, 0.1f, -0.2f, 0.2f, 30), PValueT(kUpper, 0, -0.2f, 0.1f, 0, 0, 30),
              1e-6);
}

TEST(PValuePoisson, WholeAndFractionalCounts) {
  // scipy.stats.poisson.sf(2, 3) = 0.576810; scipy.stats.poisson.cdf(3, 3) = 0.647232
  EXPECT_NEAR(PValuePoisson(kUpper, 3, 3, 0, 0), 0.576810, 2e-5);
  EXPECT_NEAR(PValuePoisson(kLower, 3, 3, 0, 0), 0.647232, 2e-5);
  const Single half = PValuePoisson(kUpper, 2.5f, 3, 0, 0);
  EXPECT_NEAR(half, (PValuePoisson(kUpper, 2, 3, 0, 0) + PValuePoisson(kUpper, 3, 3, 0, 0)) / 2, 1e-6);
}

TEST(PValueRatio, TailsOfAScaledStatistic) {
  // scipy.stats.chi2.sf(30, 20) = 0.069854 (the prescribed approximation is within 1e-3)
  EXPECT_NEAR(PValueChiSquare(kUpper, 30, 1, 0, 0, 20), 0.069854, 1e-3);
  // 2 * scipy.stats.chi2.sf(15 / 0.5, 20): the statistic is divided by the null ratio
  EXPECT_NEAR(PValueChiSquare(kTwo, 15, 0.5f, 0, 0, 20), 0.139707, 1e-3);
  // 2 * min(v, 1 - v) with v = scipy.stats.f.cdf(3 / 2, 4, 12)
  EXPECT_NEAR(PValueF(kTwo, 3, 2, 0, 0, 12, 4), 0.526749, 1e-3);
}

TEST(NormalPowerCriterion, NoEffectGivesAlpha) {
  // With no difference and equal standard errors the power equals alpha.
  EXPECT_NEAR(NormalPowerCriterion(kTwo, 0.05, 0, 0, 1, 1, 0, 0, 0, 0, 0), 0.05, 1e-4);
}

}  // namespace
}  // namespace pelmora
