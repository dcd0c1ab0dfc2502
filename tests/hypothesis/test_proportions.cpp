// The routines shared by the tests on proportions: the exact binomial and
// hypergeometric P-values at whole and fractional expected counts, the
// standard error of a difference of two proportions and the arc-sine
// transformation.  Reference values are computed with scipy 1.10 (Debian's
// python3-scipy); at a fractional count or sample size the reference
// interpolates scipy's binomial linearly between the neighbouring whole
// numbers, as the program does.  The program sums the terms in double and
// rounds to single.
#include <gtest/gtest.h>

#include <algorithm>

#include "numeric/fault_guard.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"
#include "procedures/hypothesis/proportions.h"

namespace pelmora {
namespace {

constexpr Sides kUpper{1, kFalse};
constexpr Sides kLower{1, kTrue};
constexpr Sides kTwo{2, kFalse};
constexpr Sides kTwoOneSided{3, kFalse};
constexpr double kTol = 2e-6;

struct BinomialRow {
  Sides sides;
  Single n, x, p0, left, right;
  double expected, tolerance;
};

// clang-format off
const BinomialRow kBinomialRows[] = {
  {kUpper, 20, 8, 0.3f, 0, 0, 0.22772820258183926, kTol},  // scipy.stats.binom.sf(7, 20, 0.3) = P(X >= 8)
  {kLower, 20, 8, 0.3f, 0, 0, 0.8866685371230217, kTol},   // binom.cdf(8, 20, 0.3)
  {kTwo, 20, 8, 0.3f, 0, 0, 0.4554564051636785, kTol},
       // 2 * min(binom.cdf(8, 20, 0.3), binom.sf(7, 20, 0.3))
  {kTwo, 20, 8, 0.3f, 0.1f, 0.9f, 0.4554564051636785, kTol},  // the limits play no part
  // x = 8.4: 0.6 * binom.pmf(8, 20, 0.3) + binom.sf(8, 20, 0.3); 0.6 * binom.cdf(8, 20, 0.3) + 0.4 *
  // binom.cdf(9, 20, 0.3); twice the smaller
  {kUpper, 20, 8.4f, 0.3f, 0, 0, 0.18196950669989492, kTol},
  {kLower, 20, 8.4f, 0.3f, 0, 0, 0.9128163633412757, kTol},
  {kTwo, 20, 8.4f, 0.3f, 0, 0, 0.36393901339978985, kTol},
  // n = 20.5, x = 8: 1 - (0.5 * binom.cdf(7, 20, 0.3) + 0.5 * binom.cdf(7, 21, 0.3));
  // 0.5 * binom.cdf(8, 20, 0.3) + 0.5 * binom.cdf(8, 21, 0.3); twice the smaller
  {kUpper, 20.5f, 8, 0.3f, 0, 0, 0.2523675003644248, kTol},
  {kLower, 20.5f, 8, 0.3f, 0, 0, 0.8695090261672925, kTol},
  {kTwo, 20.5f, 8, 0.3f, 0, 0, 0.5047350007288496, kTol},
  // n = 20.5 and x = 8.4 both between whole numbers: bilinear in n and x
  {kUpper, 20.5f, 8.4f, 0.3f, 0, 0, 0.20361688975173775, kTol},
  {kLower, 20.5f, 8.4f, 0.3f, 0, 0, 0.8985984828351001, kTol},
  {kTwo, 20.5f, 8.4f, 0.3f, 0, 0, 0.4072337795034755, kTol},
  // below a count of 1 the one-sided upper tail 1 - F(x - 1) is 1; the interpolated upper tail falls
  // linearly from 1 at x = 0 to 1 - P(0) at x = 1: 1 - 0.5 * binom.pmf(0, 12, 0.35) at x = 0.5
  {kUpper, 12, 0.5f, 0.35f, 0, 0, 1, 0},
  {kTwoOneSided, 12, 0.5f, 0, 0.35f, 0.35f, 0.9971559954684471, kTol},
  // max(binom.sf(24, 50, 0.3), binom.cdf(25, 50, 0.7)): symmetric, both equal; max(binom.sf(13, 40, 0.3),
  // binom.cdf(14, 40, 0.6)): the upper tail at the left limit; max(binom.sf(21, 40, 0.3),
  // binom.cdf(22, 40, 0.6)): the lower tail at the right limit, also rejecting in the left tail
  {kTwoOneSided, 50, 25, 0, 0.3f, 0.7f, 0.002369547848982267, kTol},
  {kTwoOneSided, 40, 14, 0, 0.3f, 0.6f, 0.29675093340373576, kTol},
  {Sides{3, kTrue}, 40, 14, 0, 0.3f, 0.6f, 0.29675093340373576, kTol},
  {kTwoOneSided, 40, 22, 0, 0.3f, 0.6f, 0.3114809348986524, kTol},
  // x = 24.5: 0.5 binom.pmf(24, 50, 0.3) + binom.sf(24, 50, 0.3) against 0.5 binom.cdf(24, 50, 0.7) +
  // 0.5 binom.cdf(25, 50, 0.7)
  {kTwoOneSided, 50, 24.5f, 0, 0.3f, 0.7f, 0.0039808587063674405, kTol},
  // other numbers of tails give 0; no sample gives 1
  {Sides{0, kFalse}, 20, 8, 0.3f, 0, 0, 0, 0},
  {Sides{4, kFalse}, 20, 8, 0.3f, 0, 0, 0, 0},
  {kTwo, 0, 2.5f, 0.3f, 0, 0, 1, 0},
  // x = 0: P(X >= 0) = 1; P(X <= 0) = 0.7^20 = scipy.stats.binom.pmf(0, 20, 0.3); x = n: P(X >= 20) =
  // 0.3^20 (1 - F(19) in single precision); P(X <= 20) = 1
  {kUpper, 20, 0, 0.3f, 0, 0, 1, 0},
  {kLower, 20, 0, 0.3f, 0, 0, 0.0007979226629761189, 1e-9},
  {kUpper, 20, 20, 0.3f, 0, 0, 3.4867844009999987e-11, 1e-7},
  {kLower, 20, 20, 0.3f, 0, 0, 1, 0},
};
// clang-format on

TEST(BinomialPValue, References) {
  for (const BinomialRow& r : kBinomialRows)
    EXPECT_NEAR(BinomialPValue(r.sides, r.n, r.x, r.p0, r.left, r.right), r.expected, r.tolerance)
        << r.sides.TailCount << " tails, n " << r.n << ", x " << r.x;
  for (std::int16_t tails : {0, 1, 2, 3, 4})
    for (Flag left : {kFalse, kTrue})
      EXPECT_EQ(BinomialPValue(Sides{tails, left}, 0, 0, 0.3f, 0.2f, 0.6f), 1.0f) << tails << " " << left;
}

TEST(BinomialPValue, TheInterpolatedUpperTailIsTheOneSidedOne) {
  // The two-sided and the equivalence forms interpolate the upper tail from
  // the point probability; the one-sided form from the distribution function
  // one count lower.  Both describe the same line between whole counts from
  // x = 1 on.
  for (float n : {12.0f, 12.25f, 40.0f, 40.7f}) {
    for (float x = 1.0f; x < n - 1; x += 1.3f) {
      const Single upper = BinomialPValue(kUpper, n, x, 0.35f, 0, 0);
      const Single lower = BinomialPValue(kLower, n, x, 0.35f, 0, 0);
      EXPECT_NEAR(BinomialPValue(kTwo, n, x, 0.35f, 0, 0), 2 * std::min(upper, lower), 4e-6) << n << " " << x;
      // Two one-sided tests with both limits at p0: the larger of the tails.
      EXPECT_NEAR(BinomialPValue(kTwoOneSided, n, x, 0, 0.35f, 0.35f), std::max(upper, lower), 4e-6)
          << n << " " << x;
    }
  }
}

TEST(HypergeometricPValue, EdgeCases) {
  for (std::int16_t tails : {0, 1, 2, 3})
    EXPECT_EQ(HypergeometricPValue(Sides{tails, kFalse}, 500, 0, 0, 0.3f, 0.2f, 0.6f), 1.0f);
  EXPECT_EQ(HypergeometricPValue(Sides{4, kFalse}, 500, 30, 15, 0.3f, 0, 0), 0.0f);
  // Two one-sided tests with both limits at p0: the larger of the one-sided P-values
  // hypergeom.cdf(15, 500, 150, 30) and hypergeom.sf(14, 500, 150, 30).
  EXPECT_NEAR(HypergeometricPValue(kTwoOneSided, 500, 30, 15, 0, 0.3f, 0.3f), 0.9949865701972933, kTol);
}

TEST(ProportionCounts, BeyondSixteenBitsAreAnArithmeticFault) {
  EXPECT_THROW(BinomialPValue(kTwo, 40000, 20000, 0.5f, 0, 0), ArithmeticFault);
  EXPECT_THROW(HypergeometricPValue(kTwo, 40000, 300, 100, 0.3f, 0, 0), ArithmeticFault);
  // Inside a guarded evaluation (as in a criterion) it is reported, not thrown.
  EXPECT_FALSE(EvaluateGuarded([] { return BinomialPValue(kUpper, 32767.5f, 100, 0.5f, 0, 0); }));
  EXPECT_FALSE(EvaluateGuarded([] { return HypergeometricPValue(kUpper, 40000, 300, 100, 0.3f, 0, 0); }));
}

TEST(TwoProportionSE, PooledOnlyWhenTheNullDifferenceIsZero) {
  // sqrt(0.3 * 0.7 / 40 + 0.5 * 0.5 / 60), for either sign of the null difference
  EXPECT_NEAR(TwoProportionSE(40, 60, 0.3f, 0.5f, 0.1f), 0.09703951085339758, 1e-7);
  EXPECT_NEAR(TwoProportionSE(40, 60, 0.3f, 0.5f, -0.1f), 0.09703951085339758, 1e-7);
  // p = (40 * 0.3 + 60 * 0.5) / 100 = 0.42; sqrt(p (1 - p) (1/40 + 1/60))
  EXPECT_NEAR(TwoProportionSE(40, 60, 0.3f, 0.5f, 0), 0.10074720839804943, 1e-7);
  // Equal proportions: both forms agree.
  EXPECT_NEAR(TwoProportionSE(40, 60, 0.4f, 0.4f, 0), TwoProportionSE(40, 60, 0.4f, 0.4f, 0.2f), 1e-7);
}

TEST(ArcsineValue, ArcSineOfTheRoot) {
  EXPECT_NEAR(ArcsineValue(0.25f), 0.5235987755982989, 1e-7);  // math.asin(math.sqrt(0.25)) = pi / 6
  EXPECT_NEAR(ArcsineValue(0.3f), 0.5796397403637042, 1e-7);   // math.asin(math.sqrt(0.3))
  EXPECT_EQ(ArcsineValue(0), 0.0f);
  EXPECT_NEAR(ArcsineValue(1), 1.5707963267948966, 1e-7);
}

}  // namespace
}  // namespace pelmora
