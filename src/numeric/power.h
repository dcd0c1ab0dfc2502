// The power of the program's tests: the probability that a test rejects at
// the level alpha when the assumed (starred) values are the truth.
//
// A test rejects where its own P-value routine gives at most alpha.  Each
// routine below takes the arguments of one P-value routine (power_equations.h)
// and alpha, finds the critical values of the statistic where that routine
// equals alpha (with the test's tails, left tail and continuity correction,
// and the program's own distribution functions), and adds up the probability
// of the rejection region under the distribution that the statistic has when
// the assumed values are the truth:
//
//   t statistics        noncentral t, noncentrality (x - null) / se;
//   normal statistics   normal with unit variance around (x - null) / se;
//   chi-square and F    the central distribution scaled by the assumed ratio
//   of scales           of the statistic to its scale under the truth;
//   upper-tailed chi-square and F (tables, analysis of variance)
//                       noncentral chi-square and F with the noncentrality of
//                       the assumed result;
//   exponential         the sample minimum, exponential above the assumed
//                       location;
//   Poisson counts      exact: the Poisson probabilities of the counts whose
//                       P-value is at most alpha;
//   two one-sided tests the probability that both reject: for t statistics
//                       exactly (the integral over the distribution of the
//                       standard deviation), for normal statistics from the
//                       normal distribution.
//
// Every routine returns nothing where the test has no power to speak of: a
// level outside (0, 1), a number of tails outside 1..3, a value that is not
// finite, or a standard error or degrees of freedom where the P-value routine
// itself would fault.  Otherwise the result is a probability in [0, 1],
// never NaN, and no exception leaves a routine.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "numeric/platform.h"
#include "numeric/power_equations.h"

namespace pelmora {

// The test of PValueT: rejects where the t statistic of (x - null) / se with
// df degrees of freedom is significant; the statistic is noncentral t with
// noncentrality (x - null) / se, or for two one-sided tests the pair of
// statistics against the left and the right limit.
std::optional<double> PowerOfTTest(Sides sides, double alpha, Single x, Single null, Single se, Single left,
                                   Single right, Single df);

// The test of PValueZ: the statistic (X - null) / se is normal with unit
// variance around (x - null) / se; the continuity correction moves the
// critical values away from the null value as it moves the statistic towards
// it.  A standard error <= 0 makes the P-value 0: such a test always rejects.
std::optional<double> PowerOfZTest(Sides sides, double alpha, Single x, Single null, Single se, Single left,
                                   Single right, Single cc);

// The test of PValueZEquivalence, each one-sided statistic normal with unit
// variance around its mean: P(both reject) = P(left rejects) + P(right
// rejects) - 1, exact for one normal estimate when the two standard errors
// agree.
std::optional<double> PowerOfZEquivalenceTest(double alpha, Single x, Single left, Single right,
                                              Single seLeft, Single seRight, Single cc);

// The two-sided test of PValueZ read as the chi-square test of its square:
// noncentral chi-square with one degree of freedom, noncentrality the square
// of the corrected statistic (max(|x - null| - cc, 0) / se)^2, critical value
// the square of the two-sided normal one.
std::optional<double> PowerOfSquaredZTest(double alpha, Single x, Single null, Single se, Single cc);

// The test of PValueChiSquare, whose statistic is assumedScale times a
// chi-square with df degrees of freedom when the assumed values are the truth
// (df s^2 with s^2 estimating the assumed variance: assumedScale = sigma*^2).
std::optional<double> PowerOfChiSquareTest(Sides sides, double alpha, Single assumedScale, Single scale,
                                           Single left, Single right, Single df);

// The test of PValueF, whose statistic is assumedScale times an F with
// (dfNumerator, dfDenominator) degrees of freedom under the assumed values.
std::optional<double> PowerOfFTest(Sides sides, double alpha, Single assumedScale, Single scale, Single left,
                                   Single right, Single dfDenominator, Single dfNumerator);

// The upper-tailed test whose P-value is 1 - ChiSquareCdf(X, df): noncentral
// chi-square with noncentrality lambda.
std::optional<double> PowerOfUpperChiSquareTest(double alpha, double lambda, Single df);

// The upper-tailed test whose P-value is 1 - FCdf(F, df1, df2): noncentral F
// with noncentrality lambda.
std::optional<double> PowerOfUpperFTest(double alpha, double lambda, Single df1, Single df2);

// The test of PValueExponential: the statistic (a sample minimum) is the
// assumed location plus an exponential variable with the given scale.
std::optional<double> PowerOfExponentialTest(Sides sides, double alpha, Single assumedLocation,
                                             Single location, Single scale, Single left, Single right);

// The test of PValuePoisson, exactly: the Poisson probabilities, with the
// assumed mean count, of the counts whose P-value is at most alpha.
std::optional<double> PowerOfPoissonTest(Sides sides, double alpha, double assumedMean, Single mean,
                                         Single left, Single right);

// The arguments of PValueT and PValueZ, for a module that computes them once
// for both its P-value and its power.
struct TArguments {
  Single x = 0, null = 0, se = 0, left = 0, right = 0, df = 0;
};
struct ZArguments {
  Single x = 0, null = 0, se = 0, left = 0, right = 0, cc = 0;
};
inline Single PValueT(Sides sides, const TArguments& a) {
  return PValueT(sides, a.x, a.null, a.se, a.left, a.right, a.df);
}
inline Single PValueZ(Sides sides, const ZArguments& a) {
  return PValueZ(sides, a.x, a.null, a.se, a.left, a.right, a.cc);
}
inline std::optional<double> PowerOfTTest(Sides sides, double alpha, const TArguments& a) {
  return PowerOfTTest(sides, alpha, a.x, a.null, a.se, a.left, a.right, a.df);
}
inline std::optional<double> PowerOfZTest(Sides sides, double alpha, const ZArguments& a) {
  return PowerOfZTest(sides, alpha, a.x, a.null, a.se, a.left, a.right, a.cc);
}

// A statistic on the normal path of a test on counts: the arguments of
// PValueZ, or, with ownErrors, those of PValueZEquivalence (two one-sided
// tests of z.x against z.left and z.right, each with the standard error at
// its own limit, and the correction z.cc).
struct NormalStatistic {
  ZArguments z;
  bool ownErrors = false;
  Single seLeft = 0, seRight = 0;
};
inline Single PValueZ(Sides sides, const NormalStatistic& n) {
  if (n.ownErrors) return PValueZEquivalence(n.z.x, n.z.left, n.z.right, n.seLeft, n.seRight, n.z.cc);
  return PValueZ(sides, n.z);
}
inline std::optional<double> PowerOfZTest(Sides sides, double alpha, const NormalStatistic& n) {
  if (n.ownErrors)
    return PowerOfZEquivalenceTest(alpha, n.z.x, n.z.left, n.z.right, n.seLeft, n.seRight, n.z.cc);
  return PowerOfZTest(sides, alpha, n.z);
}

// --- Pieces of the exact powers -------------------------------------------

// The point probabilities of a count, k = 0, 1, ..., in double precision:
// binomial Bin(n, p); Poisson with the given mean (up to the count beyond
// which less than 1e-20 remains); hypergeometric, a sample of n drawn without
// replacement from `marked` marked and `unmarked` unmarked units.
std::vector<double> BinomialProbabilities(int n, double p);
std::vector<double> PoissonProbabilities(double mean);
std::vector<double> HypergeometricProbabilities(int marked, int unmarked, int n);

// Outcomes less probable than this are left out of an exact power: together
// they hold less than 1e-12 of the probability of any design the program
// plans.
inline constexpr double kNegligibleOutcome = 1e-20;

// The total probability of the counts k (probabilities[k]) whose P-value is
// at most alpha, for the P-value routine of a test of a count.  Such a
// routine is made of distribution functions of the count: one-sided it falls
// monotonically into its tail, two-sided into both tails from the count
// `center` expected under H0, so the counts it rejects are found by bisection
// at the boundaries of the tails; two one-sided tests (and a two-sided test
// whose P-value at `center` is already at most alpha) are judged count by
// count.  Counts of probability below kNegligibleOutcome are left out.
double ExactPower(const std::vector<double>& probabilities, Sides sides, double alpha, double center,
                  const std::function<double(int)>& pvalue);

// f(whole counts) interpolated multilinearly over the corners of the unit
// cell around x, as the program's discrete distributions interpolate a count
// between whole numbers: a whole x_i takes its own value alone, so whole
// counts cost one evaluation.  Counts must be >= 0.
template <std::size_t K, class F>
double InterpolateOverWholeCounts(const std::array<double, K>& x, F f) {
  std::array<int, K> whole{};
  std::array<double, K> fraction{};
  for (std::size_t i = 0; i < K; ++i) {
    const double w = std::floor(x[i]);
    whole[i] = static_cast<int>(w);
    fraction[i] = x[i] - w;
  }
  double sum = 0;
  for (unsigned corner = 0; corner < (1u << K); ++corner) {
    double weight = 1;
    std::array<int, K> at = whole;
    for (std::size_t i = 0; i < K && weight != 0; ++i) {
      const bool up = (corner >> i) & 1u;
      weight *= up ? fraction[i] : 1 - fraction[i];
      if (up) ++at[i];
    }
    if (weight != 0) sum += weight * f(at);
  }
  return sum;
}

}  // namespace pelmora
