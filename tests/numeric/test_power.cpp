// The distributions of the power computations and the power of each kind of
// test statistic.  Reference values from scipy 1.10 (Debian's python3-scipy);
// the two one-sided t probabilities by scipy.integrate.quad of
//   P(c1 u - d1 <= Z <= c2 u - d2) * chi.pdf(u sqrt(df), df) sqrt(df)
// over u (written tost(df, d1, c1, d2, c2) below).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "numeric/fault_guard.h"
#include "numeric/fisher.h"
#include "numeric/noncentral.h"
#include "numeric/power.h"

namespace pelmora {
namespace {

constexpr Sides kUpper{1, kFalse};
constexpr Sides kLower{1, kTrue};
constexpr Sides kTwo{2, kFalse};
constexpr Sides kEquivalence{3, kFalse};

TEST(Noncentral, DistributionFunctionsAgreeWithScipy) {
  // kind 't' (x, df, delta), 'c' (x, df, lambda), 'f' (x, df1, df2, lambda).
  struct Row {
    const char* source;
    char kind;
    double x, df1, df2, nc, lower;
  };
  const std::vector<Row> rows = {
      {"nct.cdf(1.9789709403, 126, 2.8284271247461903)", 't', 1.9789709403, 126, 0, 2.8284271247461903,
       0.198541470633201},
      {"nct.cdf(2, 10, 1.5)", 't', 2, 10, 0, 1.5, 0.659154072442191},
      {"nct.cdf(-1, 5, -2)", 't', -1, 5, 0, -2, 0.841864356443082},
      {"nct.cdf(0.5, 1, 3)", 't', 0.5, 1, 0, 3, 0.00678527219769833},
      {"nct.cdf(3, 2.5, -0.5)", 't', 3, 2.5, 0, -0.5, 0.985135164725265},
      {"nct.cdf(10, 30, 2)", 't', 10, 30, 0, 2, 0.999999875577102},
      {"nct.cdf(1000.5, 10, 1000)", 't', 1000.5, 10, 0, 1000, 0.44137127047434},
      {"nct.cdf(1000, 1e6, 1000)", 't', 1000, 1e6, 0, 1000, 0.499909518057567},
      {"nct.cdf(2, 1e6, 3)", 't', 2, 1e6, 0, 3, 0.158655374916562},
      {"nct.cdf(900, 1, 1000)", 't', 900, 1, 0, 1000, 0.266520820993398},
      {"ncx2.cdf(3.84, 1, 5)", 'c', 3.84, 1, 0, 5, 0.391077571081015},
      {"ncx2.cdf(10, 4, 2.5)", 'c', 10, 4, 0, 2.5, 0.818251234088273},
      {"ncx2.cdf(20, 9, 12)", 'c', 20, 9, 0, 12, 0.495686645236848},
      {"chi2.cdf(5, 3)", 'c', 5, 3, 0, 0, 0.828202855703266},
      {"ncx2.cdf(900, 3, 1000)", 'c', 900, 3, 0, 1000, 0.0489373627495658},
      {"ncx2.cdf(1e6, 1e6, 1000)", 'c', 1e6, 1e6, 0, 1000, 0.240042872748945},
      {"ncx2.cdf(1001000, 1e6, 1000)", 'c', 1001000, 1e6, 0, 1000, 0.500188062915458},
      {"ncf.cdf(3, 3, 20, 5)", 'f', 3, 3, 20, 5, 0.61363660158173},
      {"ncf.cdf(2.5, 2, 12, 10)", 'f', 2.5, 2, 12, 10, 0.145232509663328},
      {"f.cdf(2, 2, 20)", 'f', 2, 2, 20, 0, 0.838494417110154},
      {"ncf.cdf(1.5, 5, 1e6, 20)", 'f', 1.5, 5, 1e6, 20, 0.0104823330832987},
      {"ncf.cdf(400, 3, 60, 1000)", 'f', 400, 3, 60, 1000, 0.803620219038701},
  };
  for (const Row& r : rows) {
    double lower = 0, upper = 0;
    if (r.kind == 't') {
      lower = NoncentralTCdf(r.x, r.df1, r.nc);
      upper = NoncentralTUpper(r.x, r.df1, r.nc);
    } else if (r.kind == 'c') {
      lower = NoncentralChiSquareCdf(r.x, r.df1, r.nc);
      upper = NoncentralChiSquareUpper(r.x, r.df1, r.nc);
    } else {
      lower = NoncentralFCdf(r.x, r.df1, r.df2, r.nc);
      upper = NoncentralFUpper(r.x, r.df1, r.df2, r.nc);
    }
    EXPECT_NEAR(lower, r.lower, 1e-9) << r.source;
    EXPECT_NEAR(upper, 1 - r.lower, 1e-9) << r.source;
  }
  // The upper tail keeps its digits where it is small: nct.sf(10, 30, 2).
  EXPECT_NEAR(NoncentralTUpper(10, 30, 2) / 1.24422897705202e-07, 1, 1e-6);
  // scipy.special.owens_t
  EXPECT_NEAR(OwensT(0.5, 0.5), 0.0644886028475037, 1e-12);
  EXPECT_NEAR(OwensT(2.5, 0.3), 0.00186601576780004, 1e-12);
  EXPECT_NEAR(OwensT(0.1, 10.0), 0.226799696433499, 1e-12);
}

TEST(Noncentral, TwoOneSidedTProbabilityAgreesWithTheIntegral) {
  struct Row {
    double df, d1, c1, d2, c2, expected;
  };
  const std::vector<Row> rows = {
      {38, 3.0, 1.7, -2.5, -1.7, 0.688018680757687},       // tost(38, 3, 1.7, -2.5, -1.7)
      {5, 4.0, 2.0, -3.0, -2.0, 0.78822815618865},         // tost(5, 4, 2, -3, -2)
      {1, 10.0, 6.3, -10.0, -6.3, 0.854013898437759},      // tost(1, 10, 6.3, -10, -6.3)
      {200, 0.5, 1.65, -4.0, -1.65, 0.116762852442644},    // tost(200, 0.5, 1.65, -4, -1.65)
      {1e6, 3.0, 1.645, -2.0, -1.645, 0.550996409190136},  // tost(1e6, 3, 1.645, -2, -1.645)
  };
  for (const Row& r : rows)
    EXPECT_NEAR(TwoOneSidedTProbability(r.df, r.d1, r.c1, r.d2, r.c2), r.expected, 1e-9) << r.df;
  // A band that is empty for every standard deviation.
  EXPECT_EQ(TwoOneSidedTProbability(20, 0.5, 1.7, 1.0, -1.7), 0.0);
}

TEST(Noncentral, ExtremeArgumentsGiveCleanProbabilities) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  ClearArithmeticFlags();
  for (double x : {-1e6, -10.0, 0.0, 1.0, 10.0, 1e6})
    for (double df : {0.5, 1.0, 30.0, 1e6, 1e9})
      for (double nc : {-1e4, -30.0, 0.0, 3.0, 1000.0, 1e4}) {
        const double lower = NoncentralTCdf(x, df, nc), upper = NoncentralTUpper(x, df, nc);
        EXPECT_NEAR(lower + upper, 1, 1e-9) << x << " " << df << " " << nc;
        const double c = NoncentralChiSquareCdf(std::fabs(x), df, std::fabs(nc) * 1e5);
        EXPECT_NEAR(c + NoncentralChiSquareUpper(std::fabs(x), df, std::fabs(nc) * 1e5), 1, 1e-9);
        const double fl = NoncentralFCdf(std::fabs(x), df, 1e6 / df, std::fabs(nc));
        EXPECT_NEAR(fl + NoncentralFUpper(std::fabs(x), df, 1e6 / df, std::fabs(nc)), 1, 1e-9);
        EXPECT_TRUE(lower >= 0 && lower <= 1 && c >= 0 && c <= 1 && fl >= 0 && fl <= 1);
      }
  // A series that Boost cannot sum is not left to fault the caller.
  EXPECT_FALSE(ArithmeticFlagsRaised());
  // Far beyond the accurate range: exactly 0 or 1.
  EXPECT_EQ(NoncentralTCdf(2, 0.5, -1000), 1.0);
  EXPECT_EQ(NoncentralTUpper(-5, 3, 1e5), 1.0);
  EXPECT_EQ(NoncentralChiSquareUpper(1e5, 1, 1e9), 1.0);
  EXPECT_EQ(NoncentralFUpper(2, 3, 10, 1e9), 1.0);
  EXPECT_EQ(NoncentralFUpper(3, 2, 50, 1e12), 1.0);
  // Beyond the series, about the mean, the noncentral chi-square is nearly
  // normal: norm.cdf(-2) = 0.0227501.
  EXPECT_NEAR(NoncentralChiSquareCdf(3 + 1e12 - 2 * std::sqrt(2 * (3 + 2e12)), 3, 1e12), 0.0227501, 1e-5);
  // Outside the domain: 0, never NaN.
  EXPECT_EQ(NoncentralTCdf(kNaN, 10, 1), 0.0);
  EXPECT_EQ(NoncentralTCdf(1, 0, 1), 0.0);
  EXPECT_EQ(NoncentralChiSquareCdf(1, 2, -1), 0.0);
  EXPECT_EQ(NoncentralFUpper(1, -2, 3, 0), 0.0);
  EXPECT_EQ(TwoOneSidedTProbability(kNaN, 1, 1, 1, 1), 0.0);
}

// Each routine's critical values are those of the program's own P-value
// routines.  The normal and t distributions of the program put them within
// 1e-6 of scipy's quantiles; its chi-square distribution function (an F with
// 10000 denominator degrees of freedom up to 21 degrees of freedom, Wilson and
// Hilferty beyond) up to 0.1% off, and the power follows it.
TEST(Power, EachKindOfStatisticAgreesWithScipy) {
  struct Row {
    const char* source;
    std::optional<double> power;
    double expected, tolerance;
  };
  // z = norm.ppf(0.95), z2 = norm.ppf(0.975)
  const std::vector<Row> rows = {
      {"nct.cdf(t.ppf(0.01, 12), 12, -2.5)", PowerOfTTest(kLower, 0.01, -1, 0, 0.4f, 0, 0, 12),
       0.457481052064487, 1e-6},
      {"tost(20, 4, t.ppf(.95, 20), -2, -t.ppf(.95, 20))",
       PowerOfTTest(kEquivalence, 0.05, 0.1f, 0, 0.1f, -0.3f, 0.3f, 20), 0.599489978834315, 1e-6},
      {"norm.sf(z2 + .05/.35 - .8/.35) + norm.cdf(-z2 - .05/.35 - .8/.35)",
       PowerOfZTest(kTwo, 0.05, 1, 0.2f, 0.35f, 0, 0, 0.05f), 0.572564780214521, 1e-6},
      {"norm.cdf(-z - .01/.2 + 2.5)", PowerOfZTest(kLower, 0.05, -0.5f, 0, 0.2f, 0, 0, 0.01f),
       0.789632390852627, 1e-6},
      {"norm.cdf(.19/.08 - z) + norm.cdf(.19/.09 - z) - 1",
       PowerOfZEquivalenceTest(0.05, 0.5f, 0.3f, 0.7f, 0.08f, 0.09f, 0.01f), 0.446834037328549, 1e-6},
      {"ncx2.sf(z2**2, 1, (.28/.12)**2)", PowerOfSquaredZTest(0.05, 0.3f, 0, 0.12f, 0.02f), 0.64557201750243,
       1e-6},
      {"chi2.cdf(chi2.ppf(.05, 10) / .5, 10)", PowerOfChiSquareTest(kLower, 0.05, 0.5f, 1, 0, 0, 10),
       0.359501242143545, 1e-3},
      {"chi2.cdf(chi2.ppf(.05, 40) * 1.5625, 40) - chi2.cdf(chi2.ppf(.95, 40) * .64, 40)",
       PowerOfChiSquareTest(kEquivalence, 0.05, 1, 0, 0.64f, 1.5625f, 40), 0.256301487429773, 1e-3},
      {"f.cdf(f.ppf(.025, 12, 15) / 2, 12, 15) + f.sf(f.ppf(.975, 12, 15) / 2, 12, 15)",
       PowerOfFTest(kTwo, 0.05, 2, 1, 0, 0, 15, 12), 0.234620316061044, 1e-6},
      {"f.cdf(f.ppf(.05, 30, 30) * 2, 30, 30) - f.cdf(f.ppf(.95, 30, 30) * .5, 30, 30)",
       PowerOfFTest(kEquivalence, 0.05, 1, 0, 0.5f, 2, 30, 30), 0.178127293231366, 1e-6},
      {"ncx2.sf(chi2.ppf(.99, 4), 4, 12)", PowerOfUpperChiSquareTest(0.01, 12, 4), 0.597932776156909, 1e-3},
      {"ncf.sf(f.ppf(.95, 3, 40), 3, 40, 8)", PowerOfUpperFTest(0.05, 8, 3, 40), 0.606895279833313, 1e-6},
      {"exp(-(.05 log 40 - .1) / .05)", PowerOfExponentialTest(kTwo, 0.05, 0.1f, 0, 0.05f, 0, 0),
       0.184726402473266, 1e-6},
      {"exp(-(.1 log 20 - .2) / .1) - exp(-(.5 - .1 log .95 - .2) / .1)",
       PowerOfExponentialTest(kEquivalence, 0.05, 0.2f, 0, 0.1f, 0, 0.5f), 0.322155089997062, 1e-6},
      // poisson.pmf(k, 20) summed over 2 min(poisson.cdf(k, 12), poisson.sf(k - 1, 12)) <= .05
      {"poisson, two-sided", PowerOfPoissonTest(kTwo, 0.05, 20, 12, 0, 0), 0.529814642001286, 1e-12},
      // poisson.pmf(k, 50) summed over max(poisson.sf(k - 1, 30), poisson.cdf(k, 70)) <= .05
      {"poisson, two one-sided", PowerOfPoissonTest(kEquivalence, 0.05, 50, 0, 30, 70), 0.757546774795236,
       1e-12},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(r.power.has_value()) << r.source;
    EXPECT_NEAR(*r.power, r.expected, r.tolerance) << r.source;
  }
}

TEST(Power, NothingWithoutALevelOrAStatistic) {
  EXPECT_FALSE(PowerOfTTest(kTwo, 0, 1, 0, 1, 0, 0, 10));
  EXPECT_FALSE(PowerOfTTest(kTwo, 1, 1, 0, 1, 0, 0, 10));
  EXPECT_FALSE(PowerOfTTest(Sides{4, kFalse}, 0.05, 1, 0, 1, 0, 0, 10));
  EXPECT_FALSE(PowerOfTTest(kTwo, 0.05, 1, 0, 0, 0, 0, 10));  // the P-value routine would divide by 0
  EXPECT_FALSE(PowerOfChiSquareTest(kUpper, 0.05, 1, 1, 0, 0, 0));
  EXPECT_FALSE(PowerOfZTest(kTwo, 0.05, std::numeric_limits<Single>::infinity(), 0, 1, 0, 0, 0));
  // A standard error of 0 makes the P-value 0: the test always rejects.
  EXPECT_EQ(PowerOfZTest(kTwo, 0.05, 1, 0, 0, 0, 0, 0), 1.0);
  // Under H0 the power is the level.
  EXPECT_NEAR(*PowerOfZTest(kTwo, 0.05, 0, 0, 1, 0, 0, 0), 0.05, 1e-6);
  EXPECT_NEAR(*PowerOfTTest(kUpper, 0.05, 0, 0, 1, 0, 0, 7), 0.05, 1e-6);
}

TEST(Power, FisherMarginGivesEveryTableItsOwnProbabilities) {
  // Symmetric margins, where mirror tables tie, and lopsided ones.
  for (const auto& [r1, r2, c1] :
       std::vector<std::array<std::int16_t, 3>>{{20, 20, 17}, {30, 12, 25}, {7, 90, 50}}) {
    const std::vector<FisherProbabilities> all = FisherExactMargin(r1, r2, c1);
    const int kMin = std::max(0, c1 - r2);
    for (std::size_t i = 0; i < all.size(); ++i) {
      const auto k = static_cast<std::int16_t>(kMin + static_cast<int>(i));
      const FisherProbabilities one =
          FisherExact({{{k, static_cast<std::int16_t>(r1 - k)},
                        {static_cast<std::int16_t>(c1 - k), static_cast<std::int16_t>(r2 - c1 + k)}}});
      EXPECT_NEAR(all[i].twoSided, one.twoSided, 1e-7 * one.twoSided)
          << r1 << " " << r2 << " " << c1 << " " << k;
      EXPECT_NEAR(all[i].lowerTail, one.lowerTail, 1e-7 * one.lowerTail);
      EXPECT_NEAR(all[i].upperTail, one.upperTail, 1e-7 * one.upperTail);
    }
  }
}

}  // namespace
}  // namespace pelmora
