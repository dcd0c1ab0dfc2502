#include "numeric/power.h"

#include <algorithm>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/poisson.hpp>
#include <cmath>
#include <limits>

#include "numeric/distributions.h"
#include "numeric/fault_guard.h"
#include "numeric/noncentral.h"

namespace pelmora {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Double precision throughout, as in noncentral.cpp.
using Policy = boost::math::policies::policy<boost::math::policies::promote_float<false>,
                                             boost::math::policies::promote_double<false>>;

bool IsLevel(double alpha) { return alpha > 0 && alpha < 1; }

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

std::optional<double> AsProbability(double p) {
  if (!std::isfinite(p)) return std::nullopt;
  return std::clamp(p, 0.0, 1.0);
}

// A routine of single precision is a step function of its argument, and the
// crossing found next to `c` moves in steps as alpha changes: so would a
// power computed from it.  Instead: where the interpolation of log p(v),
// linear between the nodes of a grid around c, meets log alpha.  The grid's
// spacing is a power of 2, about 1/4096 of |c|, widened until log p changes
// across a cell by a hundred times the routine's rounding (2^-24 of 1, for a
// tail computed as the complement of a distribution function), so that the
// nodes fall strictly.  The result is continuous and falls as alpha rises.
double SmoothCrossing(const std::function<double(double)>& p, double alpha, double c) {
  if (!std::isfinite(c) || !(alpha > 0)) return c;
  double w = std::ldexp(1.0, std::ilogb(std::max(std::fabs(c), 1e-2)) - 12);
  const double pLow = p(c - w), pHigh = p(c + w);
  if (!(pLow > pHigh && pHigh > 0)) return c;
  const double slope = (std::log(pLow) - std::log(pHigh)) / (2 * w);
  const double rounding = 0x1p-24 / std::min(alpha, pHigh);
  while (w * slope < 100 * rounding && w < 0.25 * std::max(std::fabs(c), 1.0)) w *= 2;
  double v1 = std::floor(c / w) * w, v2 = v1 + w;
  double p1 = p(v1), p2 = p(v2);
  for (int i = 0; i < 8 && !(p1 >= alpha && alpha >= p2); ++i) {
    if (p1 < alpha) {
      v2 = v1;
      p2 = p1;
      v1 -= w;
      p1 = p(v1);
    } else {
      v1 = v2;
      p1 = p2;
      v2 += w;
      p2 = p(v2);
    }
  }
  if (!(p1 >= alpha && alpha >= p2 && p1 > p2 && p2 > 0)) return c;
  return v1 + w * (std::log(p1) - std::log(alpha)) / (std::log(p1) - std::log(p2));
}

// The critical value of a P-value routine p(v) that falls as v rises: the
// point beyond which p(v) <= alpha.  Found from `start` by steps that double
// until they bracket it, then by regula falsi with the Illinois modification
// until the bracket is four units of single precision wide: the routines take
// their argument as a single, so nothing finer can be told apart; then
// smoothed over a grid (SmoothCrossing).  +infinity
// when no value up to 1e12 rejects, -infinity when every value down to -1e12
// does.
double FallingCritical(const std::function<double(double)>& p, double alpha, double start) {
  constexpr double kFar = 1e12;
  constexpr double kResolution = 0x1p-22;
  if (!std::isfinite(start)) start = 0;
  auto excess = [&](double v) { return p(v) - alpha; };
  double step = 1e-4 * std::max(1.0, std::fabs(start));
  double lo = start, hi = start;
  double fLo = excess(start), fHi = fLo;
  if (fHi <= 0) {
    do {
      hi = lo;
      fHi = fLo;
      lo = hi - step;
      step *= 2;
      if (lo < -kFar) return -kInf;
      fLo = excess(lo);
    } while (fLo <= 0);
  } else {
    do {
      lo = hi;
      fLo = fHi;
      hi = lo + step;
      step *= 2;
      if (hi > kFar) return kInf;
      fHi = excess(hi);
    } while (fHi > 0);
  }
  int side = 0;
  for (int i = 0; i < 100 && hi - lo > kResolution * std::max(1e-30, std::fabs(hi)); ++i) {
    double v = fLo != fHi ? (lo * fHi - hi * fLo) / (fHi - fLo) : (lo + hi) / 2;
    if (!(v > lo && v < hi)) v = (lo + hi) / 2;
    const double f = excess(v);
    if (f == 0) return v;
    if (f < 0) {
      hi = v;
      fHi = f;
      if (side == -1) fLo /= 2;
      side = -1;
    } else {
      lo = v;
      fLo = f;
      if (side == 1) fHi /= 2;
      side = 1;
    }
  }
  // Where the routine, continued between the two ends, would cross alpha.
  const double v = fLo != fHi ? (lo * fHi - hi * fLo) / (fHi - fLo) : hi;
  return SmoothCrossing(p, alpha, std::clamp(v, lo, hi));
}

// The same for a routine that rises with v: the point below which p(v) <= alpha.
double RisingCritical(const std::function<double(double)>& p, double alpha, double start) {
  return -FallingCritical([&](double v) { return p(-v); }, alpha, -start);
}

// The one-sided routines of a sidedness: the upper tail, and the lower tail.
constexpr Sides kUpper{1, kFalse};
constexpr Sides kLower{1, kTrue};

// The program's normal quantile, as the start of a search.
double NormalStart(double p) { return NormalQuantile(ToSingle(p)); }

// P(lower <= Z + mean <= upper)'s complement pieces: P(Z + mean <= a).
double NormalBelow(double a, double mean) { return StandardNormalCdf(a - mean); }
double NormalAbove(double a, double mean) { return StandardNormalUpper(a - mean); }

// P(a <= X <= b) from a distribution function and its upper tail.
template <class Cdf, class Upper>
double Between(double a, double b, Cdf cdf, Upper upper) {
  if (!(a < b)) return 0;
  const double below = cdf(a), above = upper(b);
  return std::max(0.0, 1 - below - above);
}

// Wilson and Hilferty's chi-square quantile, as the start of a search.
double ChiSquareStart(double p, double df) {
  const double s = 2 / (9 * df);
  const double z = NormalQuantile(ToSingle(p));
  const double cube = 1 - s + z * std::sqrt(s);
  return std::max(df * cube * cube * cube, 1e-3);
}

}  // namespace

namespace {

// Noncentral t: Owen, D. B. (1965), "A special case of a bivariate
// non-central t-distribution", Biometrika 52, 437-446, for the power of one-
// and two-sided t-tests and of the two one-sided tests; the rejection region
// of each one-sided part is where the program's PValueT is at most alpha.
std::optional<double> TTestPower(Sides sides, double alpha, Single x, Single null, Single se, Single left,
                                 Single right, Single df) {
  if (!IsLevel(alpha) || !(se > 0) || !(df > 0) || !AllFinite({x, null, se, left, right, df}))
    return std::nullopt;
  PreservedFlags keep;
  auto routine = [df](Sides one) {
    return [df, one](double v) { return static_cast<double>(PValueT(one, ToSingle(v), 0, 1, 0, 0, df)); };
  };
  switch (sides.TailCount) {
    case 1: {
      const double delta = (static_cast<double>(x) - null) / se;
      if (sides.RejectInLeftTail != kFalse) {
        const double c = RisingCritical(routine(kLower), alpha, StudentQuantile(ToSingle(alpha), df));
        return AsProbability(NoncentralTCdf(c, df, delta));
      }
      const double c = FallingCritical(routine(kUpper), alpha, StudentQuantile(ToSingle(1 - alpha), df));
      return AsProbability(NoncentralTUpper(c, df, delta));
    }
    case 2: {
      const double delta = (static_cast<double>(x) - null) / se;
      const double c = FallingCritical(routine(Sides{2, kFalse}), alpha,
                                       std::fabs(StudentQuantile(ToSingle(1 - alpha / 2), df)));
      return AsProbability(NoncentralTUpper(c, df, delta) + NoncentralTCdf(-c, df, delta));
    }
    case 3: {
      const double cUp = FallingCritical(routine(kUpper), alpha, StudentQuantile(ToSingle(1 - alpha), df));
      const double cLow = RisingCritical(routine(kLower), alpha, StudentQuantile(ToSingle(alpha), df));
      const double deltaLeft = (static_cast<double>(x) - left) / se;
      const double deltaRight = (static_cast<double>(x) - right) / se;
      return AsProbability(TwoOneSidedTProbability(df, deltaLeft, cUp, deltaRight, cLow));
    }
    default:
      return std::nullopt;
  }
}

// The last powers of t-tests by their arguments: a root search evaluates the
// same design more than once (at the ends of an interval checked before the
// search, and for every requested power when the power is the unknown).
struct TTestPowerCall {
  std::int16_t tails = 0;
  Flag left = kFalse;
  double alpha = 0;
  std::array<Single, 6> values{};
  std::optional<double> power;
  bool operator==(const TTestPowerCall& o) const {
    return tails == o.tails && left == o.left && alpha == o.alpha && values == o.values;
  }
};

}  // namespace

std::optional<double> PowerOfTTest(Sides sides, double alpha, Single x, Single null, Single se, Single left,
                                   Single right, Single df) {
  thread_local std::array<TTestPowerCall, 4> recent;
  thread_local std::size_t next = 0;
  TTestPowerCall call{sides.TailCount, sides.RejectInLeftTail, alpha, {x, null, se, left, right, df}, {}};
  for (const TTestPowerCall& r : recent)
    if (r == call) return r.power;
  call.power = TTestPower(sides, alpha, x, null, se, left, right, df);
  recent[next] = call;
  next = (next + 1) % recent.size();
  return call.power;
}

// Normal statistic: the power of the z test, e.g. Chow, Shao and Wang (2008),
// Sample Size Calculations in Clinical Research, 2nd ed., section 3.1; for
// two one-sided tests Schuirmann, D. J. (1987), J. Pharmacokinet. Biopharm.
// 15, 657-680.
std::optional<double> PowerOfZTest(Sides sides, double alpha, Single x, Single null, Single se, Single left,
                                   Single right, Single cc) {
  if (!IsLevel(alpha) || !AllFinite({x, null, se, left, right, cc})) return std::nullopt;
  if (sides.TailCount < 1 || sides.TailCount > 3) return std::nullopt;
  if (se <= 0) return 1.0;  // the P-value is 0 whatever the outcome
  PreservedFlags keep;
  auto routine = [](Sides one) {
    return [one](double v) { return static_cast<double>(PValueZ(one, ToSingle(v), 0, 1, 0, 0, 0)); };
  };
  const double shift = static_cast<double>(cc) / se;
  switch (sides.TailCount) {
    case 1: {
      const double mean = (static_cast<double>(x) - null) / se;
      if (sides.RejectInLeftTail != kFalse) {
        const double c = RisingCritical(routine(kLower), alpha, NormalStart(alpha));
        return AsProbability(NormalBelow(c - shift, mean));
      }
      const double c = FallingCritical(routine(kUpper), alpha, NormalStart(1 - alpha));
      return AsProbability(NormalAbove(c + shift, mean));
    }
    case 2: {
      const double mean = (static_cast<double>(x) - null) / se;
      const double c =
          FallingCritical(routine(Sides{2, kFalse}), alpha, std::fabs(NormalStart(1 - alpha / 2)));
      return AsProbability(NormalAbove(c + shift, mean) + NormalBelow(-c - shift, mean));
    }
    default: {
      const double cUp = FallingCritical(routine(kUpper), alpha, NormalStart(1 - alpha));
      const double cLow = RisingCritical(routine(kLower), alpha, NormalStart(alpha));
      const double meanLeft = (static_cast<double>(x) - left - cc) / se;
      const double meanRight = (static_cast<double>(x) - right + cc) / se;
      return AsProbability(StandardNormalBetween(cUp - meanLeft, cLow - meanRight));
    }
  }
}

// Two one-sided normal tests with their own standard errors (Schuirmann 1987).
std::optional<double> PowerOfZEquivalenceTest(double alpha, Single x, Single left, Single right,
                                              Single seLeft, Single seRight, Single cc) {
  if (!IsLevel(alpha) || !AllFinite({x, left, right, seLeft, seRight, cc})) return std::nullopt;
  if (seLeft <= 0 || seRight <= 0) return 1.0;  // the P-value is 0 whatever the outcome
  PreservedFlags keep;
  auto routine = [](Sides one) {
    return [one](double v) { return static_cast<double>(PValueZ(one, ToSingle(v), 0, 1, 0, 0, 0)); };
  };
  const double cUp = FallingCritical(routine(kUpper), alpha, NormalStart(1 - alpha));
  const double cLow = RisingCritical(routine(kLower), alpha, NormalStart(alpha));
  const double meanLeft = (static_cast<double>(x) - left - cc) / seLeft;
  const double meanRight = (static_cast<double>(x) - right + cc) / seRight;
  // P(A) + P(B) - 1 = P(meanRight - cLow <= Z <= meanLeft - cUp).
  return AsProbability(StandardNormalBetween(meanRight - cLow, meanLeft - cUp));
}

// Noncentral chi-square of one degree of freedom: the square of a normal
// statistic (Patnaik, P. B. (1949), Biometrika 36, 202-232).
std::optional<double> PowerOfSquaredZTest(double alpha, Single x, Single null, Single se, Single cc) {
  if (!IsLevel(alpha) || !AllFinite({x, null, se, cc})) return std::nullopt;
  if (se <= 0) return 1.0;
  PreservedFlags keep;
  const double c = FallingCritical(
      [](double v) {
        return static_cast<double>(PValueZ(Sides{2, kFalse}, ToSingle(v), 0, 1, 0, 0, 0));
      },
      alpha, std::fabs(NormalStart(1 - alpha / 2)));
  const double z = std::max(std::fabs(static_cast<double>(x) - null) - cc, 0.0) / se;
  return AsProbability(NoncentralChiSquareUpper(c * c, 1, z * z));
}

// Variance ratio against chi-square: the statistic over its assumed scale is
// central chi-square (e.g. Desu, M. M. and Raghavarao, D. (1990), Sample Size
// Methodology, section 2.5).
std::optional<double> PowerOfChiSquareTest(Sides sides, double alpha, Single assumedScale, Single scale,
                                           Single left, Single right, Single df) {
  if (!IsLevel(alpha) || !(assumedScale > 0) || !(df > 0) ||
      !AllFinite({assumedScale, scale, left, right, df}))
    return std::nullopt;
  PreservedFlags keep;
  auto routine = [df](Sides one) {
    return
        [df, one](double v) { return static_cast<double>(PValueChiSquare(one, ToSingle(v), 1, 0, 0, df)); };
  };
  auto cdf = [df](double q) { return NoncentralChiSquareCdf(q, df, 0); };
  auto upper = [df](double q) { return NoncentralChiSquareUpper(q, df, 0); };
  const double a = assumedScale;
  switch (sides.TailCount) {
    case 1: {
      if (!(scale > 0)) return std::nullopt;
      if (sides.RejectInLeftTail != kFalse)
        return AsProbability(
            cdf(RisingCritical(routine(kLower), alpha, ChiSquareStart(alpha, df)) * scale / a));
      return AsProbability(
          upper(FallingCritical(routine(kUpper), alpha, ChiSquareStart(1 - alpha, df)) * scale / a));
    }
    case 2: {
      if (!(scale > 0)) return std::nullopt;
      const double lower = RisingCritical(routine(kLower), alpha / 2, ChiSquareStart(alpha / 2, df));
      const double higher = FallingCritical(routine(kUpper), alpha / 2, ChiSquareStart(1 - alpha / 2, df));
      return AsProbability(cdf(lower * scale / a) + upper(higher * scale / a));
    }
    case 3: {
      if (!(left > 0) || !(right > 0)) return std::nullopt;
      const double cUp = FallingCritical(routine(kUpper), alpha, ChiSquareStart(1 - alpha, df));
      const double cLow = RisingCritical(routine(kLower), alpha, ChiSquareStart(alpha, df));
      return AsProbability(Between(cUp * left / a, cLow * right / a, cdf, upper));
    }
    default:
      return std::nullopt;
  }
}

// Variance ratio against F: the ratio over its assumed value is central F
// (Desu and Raghavarao 1990, section 2.6).
std::optional<double> PowerOfFTest(Sides sides, double alpha, Single assumedScale, Single scale, Single left,
                                   Single right, Single dfDenominator, Single dfNumerator) {
  if (!IsLevel(alpha) || !(assumedScale > 0) || !(dfDenominator > 0) || !(dfNumerator > 0) ||
      !AllFinite({assumedScale, scale, left, right, dfDenominator, dfNumerator}))
    return std::nullopt;
  PreservedFlags keep;
  auto routine = [=](Sides one) {
    return [=](double v) {
      return static_cast<double>(PValueF(one, ToSingle(v), 1, 0, 0, dfDenominator, dfNumerator));
    };
  };
  auto cdf = [=](double q) { return NoncentralFCdf(q, dfNumerator, dfDenominator, 0); };
  auto upper = [=](double q) { return NoncentralFUpper(q, dfNumerator, dfDenominator, 0); };
  const double a = assumedScale;
  switch (sides.TailCount) {
    case 1: {
      if (!(scale > 0)) return std::nullopt;
      if (sides.RejectInLeftTail != kFalse)
        return AsProbability(cdf(RisingCritical(routine(kLower), alpha, 1) * scale / a));
      return AsProbability(upper(FallingCritical(routine(kUpper), alpha, 1) * scale / a));
    }
    case 2: {
      if (!(scale > 0)) return std::nullopt;
      const double lower = RisingCritical(routine(kLower), alpha / 2, 1);
      const double higher = FallingCritical(routine(kUpper), alpha / 2, 1);
      return AsProbability(cdf(lower * scale / a) + upper(higher * scale / a));
    }
    case 3: {
      if (!(left > 0) || !(right > 0)) return std::nullopt;
      const double cUp = FallingCritical(routine(kUpper), alpha, 1);
      const double cLow = RisingCritical(routine(kLower), alpha, 1);
      return AsProbability(Between(cUp * left / a, cLow * right / a, cdf, upper));
    }
    default:
      return std::nullopt;
  }
}

// Noncentral chi-square for the chi-square test of a contingency table, the
// noncentrality being the statistic of the assumed table (Cohen, J. (1988),
// Statistical Power Analysis for the Behavioral Sciences, 2nd ed., chapter 7).
std::optional<double> PowerOfUpperChiSquareTest(double alpha, double lambda, Single df) {
  if (!IsLevel(alpha) || !(lambda >= 0) || !(df > 0) || !AllFinite({lambda, df})) return std::nullopt;
  PreservedFlags keep;
  const double c = FallingCritical([df](double v) { return 1.0 - ChiSquareCdf(ToSingle(v), df); }, alpha,
                                   ChiSquareStart(1 - alpha, df));
  return AsProbability(NoncentralChiSquareUpper(c, df, lambda));
}

// Noncentral F for the F test of one-way analysis of variance (Cohen 1988,
// chapter 8): lambda = sum n_i (mu_i - mu)^2 / sigma^2.
std::optional<double> PowerOfUpperFTest(double alpha, double lambda, Single df1, Single df2) {
  if (!IsLevel(alpha) || !(lambda >= 0) || !(df1 > 0) || !(df2 > 0) || !AllFinite({lambda, df1, df2}))
    return std::nullopt;
  PreservedFlags keep;
  const double c = FallingCritical(
      [=](double v) { return 1.0 - static_cast<double>(FCdf(ToSingle(v), df1, df2)); }, alpha, 1);
  return AsProbability(NoncentralFUpper(c, df1, df2, lambda));
}

// The sample minimum of an exponential sample: its excess over the location
// is exponential with the scale of the minimum (e.g. Lawless, J. F. (2003),
// Statistical Models and Methods for Lifetime Data, 2nd ed., section 3.5).
std::optional<double> PowerOfExponentialTest(Sides sides, double alpha, Single assumedLocation,
                                             Single location, Single scale, Single left, Single right) {
  if (!IsLevel(alpha) || !(scale > 0) || !AllFinite({assumedLocation, location, scale, left, right}))
    return std::nullopt;
  PreservedFlags keep;
  // The P-value of a one-sided part against location v, as a function of the minimum.
  auto routine = [=](Sides one, Single v) {
    return [=](double m) { return static_cast<double>(PValueExponential(one, ToSingle(m), v, scale, 0, 0)); };
  };
  // P(M <= m) and P(M >= m) for the minimum M under the assumed location.
  auto below = [=](double m) {
    return m <= assumedLocation ? 0.0 : -std::expm1(-(m - assumedLocation) / scale);
  };
  auto above = [=](double m) {
    return m <= assumedLocation ? 1.0 : std::exp(-(m - assumedLocation) / scale);
  };
  auto upperCritical = [&](Single v, double level) {
    return FallingCritical(routine(kUpper, v), level, v - scale * std::log(level));
  };
  auto lowerCritical = [&](Single v, double level) {
    return RisingCritical(routine(kLower, v), level, v - scale * std::log1p(-level));
  };
  switch (sides.TailCount) {
    case 1:
      if (sides.RejectInLeftTail != kFalse) return AsProbability(below(lowerCritical(location, alpha)));
      return AsProbability(above(upperCritical(location, alpha)));
    case 2:
      return AsProbability(below(lowerCritical(location, alpha / 2)) +
                           above(upperCritical(location, alpha / 2)));
    case 3:
      return AsProbability(Between(upperCritical(left, alpha), lowerCritical(right, alpha), below, above));
    default:
      return std::nullopt;
  }
}

// Exact power of a Poisson count: the sum of the Poisson probabilities of the
// counts in the rejection region (e.g. Gail, M. (1974), "Power computations
// for designing comparative Poisson trials", Biometrics 30, 231-237).
std::optional<double> PowerOfPoissonTest(Sides sides, double alpha, double assumedMean, Single mean,
                                         Single left, Single right) {
  if (!IsLevel(alpha) || !(assumedMean >= 0) || sides.TailCount < 1 || sides.TailCount > 3 ||
      !AllFinite({assumedMean, mean, left, right}))
    return std::nullopt;
  PreservedFlags keep;
  return AsProbability(ExactPower(PoissonProbabilities(assumedMean), sides, alpha, mean, [&](int k) {
    return static_cast<double>(PValuePoisson(sides, static_cast<Single>(k), mean, left, right));
  }));
}

std::vector<double> BinomialProbabilities(int n, double p) {
  if (n < 0 || !(p >= 0 && p <= 1)) return {};
  PreservedFlags keep;
  std::vector<double> pmf(static_cast<std::size_t>(n) + 1, 0.0);
  if (p == 0 || p == 1) {
    pmf[p == 0 ? 0 : static_cast<std::size_t>(n)] = 1;
    return pmf;
  }
  try {
    const boost::math::binomial_distribution<double, Policy> d(n, p);
    for (int k = 0; k <= n; ++k) pmf[static_cast<std::size_t>(k)] = boost::math::pdf(d, k);
  } catch (...) {
    return {};
  }
  return pmf;
}

std::vector<double> PoissonProbabilities(double mean) {
  if (!(mean >= 0) || !std::isfinite(mean)) return {};
  PreservedFlags keep;
  if (mean == 0) return {1.0};
  std::vector<double> pmf;
  try {
    const boost::math::poisson_distribution<double, Policy> d(mean);
    // Up to the count beyond the mean where less than 1e-20 is left.
    const double last = std::ceil(mean + 12 * std::sqrt(mean) + 50);
    for (int k = 0; k <= last; ++k) pmf.push_back(boost::math::pdf(d, k));
  } catch (...) {
    return {};
  }
  return pmf;
}

std::vector<double> HypergeometricProbabilities(int marked, int unmarked, int n) {
  if (marked < 0 || unmarked < 0 || n < 0 || n > marked + unmarked) return {};
  // By the ratio of neighbouring counts from the most probable one,
  //   P(k + 1) / P(k) = (marked - k)(n - k) / ((k + 1)(unmarked - n + k + 1)),
  // normalised by their sum.
  const int first = std::max(0, n - unmarked), last = std::min(n, marked);
  const auto mode64 = static_cast<std::int64_t>(n + 1) * (marked + 1) / (marked + unmarked + 2);
  const int mode = std::clamp(static_cast<int>(mode64), first, last);
  std::vector<double> pmf(static_cast<std::size_t>(n) + 1, 0.0);
  auto p = [&](int k) -> double& { return pmf[static_cast<std::size_t>(k)]; };
  p(mode) = 1;
  for (int k = mode; k < last && p(k) > 1e-300; ++k)
    p(k + 1) = p(k) * (static_cast<double>(marked - k) * (n - k)) /
               (static_cast<double>(k + 1) * (unmarked - n + k + 1));
  for (int k = mode; k > first && p(k) > 1e-300; --k)
    p(k - 1) = p(k) * (static_cast<double>(k) * (unmarked - n + k)) /
               (static_cast<double>(marked - k + 1) * (n - k + 1));
  double total = 0;
  for (double v : pmf) total += v;
  for (double& v : pmf) v /= total;
  return pmf;
}

double ExactPower(const std::vector<double>& probabilities, Sides sides, double alpha, double center,
                  const std::function<double(int)>& pvalue) {
  // The range of counts that are not negligible.
  int first = 0, last = static_cast<int>(probabilities.size()) - 1;
  auto probability = [&](int k) { return probabilities[static_cast<std::size_t>(k)]; };
  while (first <= last && probability(first) < kNegligibleOutcome) ++first;
  while (last >= first && probability(last) < kNegligibleOutcome) --last;
  if (first > last) return 0;
  auto rejects = [&](int k) { return pvalue(k) <= alpha; };
  auto sum = [&](int from, int to) {
    double total = 0;
    for (int k = from; k <= to; ++k)
      if (probability(k) >= kNegligibleOutcome) total += probability(k);
    return total;
  };
  // The first count of [from, to] in the upper tail (to + 1 when none), and
  // the last count in the lower tail (from - 1 when none).
  auto upperTail = [&](int from, int to) {
    if (!rejects(to)) return to + 1;
    if (rejects(from)) return from;
    while (to - from > 1) {
      const int mid = from + (to - from) / 2;
      (rejects(mid) ? to : from) = mid;
    }
    return to;
  };
  auto lowerTail = [&](int from, int to) {
    if (!rejects(from)) return from - 1;
    if (rejects(to)) return to;
    while (to - from > 1) {
      const int mid = from + (to - from) / 2;
      (rejects(mid) ? from : to) = mid;
    }
    return from;
  };
  double power = 0;
  switch (sides.TailCount) {
    case 1:
      power = sides.RejectInLeftTail != kFalse ? sum(first, lowerTail(first, last))
                                               : sum(upperTail(first, last), last);
      break;
    case 2: {
      const int middle = static_cast<int>(std::clamp(std::round(center), -1.0, last + 1.0));
      if (middle < first) {
        power = sum(upperTail(first, last), last);
      } else if (middle > last) {
        power = sum(first, lowerTail(first, last));
      } else if (!rejects(middle)) {
        power = sum(first, lowerTail(first, middle)) + sum(upperTail(middle, last), last);
      } else {
        for (int k = first; k <= last; ++k)
          if (probability(k) >= kNegligibleOutcome && rejects(k)) power += probability(k);
      }
      break;
    }
    default:
      for (int k = first; k <= last; ++k)
        if (probability(k) >= kNegligibleOutcome && rejects(k)) power += probability(k);
      break;
  }
  return std::min(power, 1.0);
}

}  // namespace pelmora
