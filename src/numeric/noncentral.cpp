#include "numeric/noncentral.h"

#include <algorithm>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/owens_t.hpp>
#include <cmath>
#include <limits>

#include "numeric/fault_guard.h"

namespace pelmora {

namespace {

namespace bm = boost::math;

// Double precision throughout: promoting to long double makes the series
// forty times slower and changes nothing that a probability of the program
// shows.  Errors are thrown and caught here.
using Policy = bm::policies::policy<bm::policies::promote_float<false>, bm::policies::promote_double<false>>;

constexpr double kInf = std::numeric_limits<double>::infinity();

double Probability(double p) { return std::isfinite(p) ? std::clamp(p, 0.0, 1.0) : 0.0; }

// Runs a Boost evaluation; on an error, or a result that is not a number,
// the fallback decides.
template <class Eval, class Fallback>
double Evaluate(Eval eval, Fallback fallback) {
  PreservedFlags keep;
  double p;
  try {
    p = eval();
  } catch (...) {
    p = std::numeric_limits<double>::quiet_NaN();
  }
  if (!std::isfinite(p)) {
    try {
      p = fallback();
    } catch (...) {
      p = 0;
    }
  }
  return Probability(p);
}

// The distribution of U = sqrt(X / df), X chi-square with df degrees of
// freedom.
struct ChiOverRootDf {
  double df;
  double mean = 1, sd = 0;

  explicit ChiOverRootDf(double degrees) : df(degrees) {
    // E U = sqrt(2 / df) Gamma((df + 1) / 2) / Gamma(df / 2); Var U = 1 - (E U)^2.
    mean = std::sqrt(2 / df) / bm::tgamma_delta_ratio(df / 2, 0.5, Policy());
    sd = std::sqrt(std::max(1 - mean * mean, 0.0));
    sd = std::max(sd, 0.5 / std::sqrt(2 * df));
  }
  // f_U(u) = f_X(df u^2) 2 df u, with f_X(x) = gamma_p_derivative(df / 2, x / 2) / 2.
  double Density(double u) const {
    if (!(u > 0)) return 0;
    return bm::gamma_p_derivative(df / 2, df * u * u / 2, Policy()) * df * u;
  }
  // Outside [Lower, Upper] U has less than 1e-30 of its probability: the
  // bounds lie 16 standard deviations out, which for the heavier right tail
  // of few degrees of freedom still leaves less than that.
  double Lower() const { return std::max(0.0, mean - 16 * sd); }
  double Upper() const { return mean + 16 * sd + (df < 2 ? 4 : 0); }
};

// Adaptive Gauss-Kronrod (31 points per panel): a panel whose error estimate
// exceeds its share of the tolerance is halved, at most `depth` times.
template <class F>
double Integrate(const F& f, double a, double b, double tolerance, int depth) {
  double error = 0;
  const double value = bm::quadrature::gauss_kronrod<double, 31>::integrate(f, a, b, 0, 0.0, &error);
  if (error <= tolerance || depth == 0) return value;
  const double mid = (a + b) / 2;
  return Integrate(f, a, mid, tolerance / 2, depth - 1) + Integrate(f, mid, b, tolerance / 2, depth - 1);
}

// The integral of g(u) f_U(u) over [lower, upper] within the range of U.
template <class G>
double IntegrateOverU(double df, G g, double lower, double upper) {
  const ChiOverRootDf u(df);
  const double a = std::max(lower, u.Lower()), b = std::min(upper, u.Upper());
  if (!(a < b)) return 0;
  auto integrand = [&](double x) { return g(x) * u.Density(x); };
  // The tolerance: 1e-14 absolute, or 1e-10 of the value, about what the
  // density of U holds for a million degrees of freedom.  The range spans 32
  // standard deviations of U, so the first few halvings bring the panels down
  // to the width of its peak.
  double error = 0;
  const double first = bm::quadrature::gauss_kronrod<double, 31>::integrate(integrand, a, b, 0, 0.0, &error);
  const double tolerance = std::max(1e-14, 1e-10 * std::fabs(first));
  if (error <= tolerance) return first;
  const double mid = (a + b) / 2;
  return Integrate(integrand, a, mid, tolerance / 2, 12) + Integrate(integrand, mid, b, tolerance / 2, 12);
}

// Noncentral t by the integral over U: P(T <= t) = E Phi(t U - delta).
double NoncentralTByIntegral(double t, double df, double delta, bool upper) {
  if (upper)
    return IntegrateOverU(
        df, [&](double u) { return StandardNormalUpper(t * u - delta); }, 0, kInf);
  return IntegrateOverU(
      df, [&](double u) { return StandardNormalCdf(t * u - delta); }, 0, kInf);
}

// Beyond this noncentrality Phi(-|delta|) is below 1e-19.
constexpr double kFarDelta = 9;

double NoncentralT(double t, double df, double delta, bool upper) {
  if (std::isnan(t) || std::isnan(delta) || std::isinf(delta) || !(df > 0)) return 0;
  if (std::isinf(t)) return (t > 0) != upper ? 1 : 0;
  if (std::isinf(df)) return upper ? StandardNormalUpper(t - delta) : StandardNormalCdf(t - delta);
  // T <= 0 when Z + delta <= 0 and T >= 0 otherwise: far on one side the
  // probability is 0 or 1 to double precision.
  if ((t >= 0 && delta <= -kFarDelta) || (t <= 0 && delta >= kFarDelta)) {
    const bool below = delta < 0;  // T lies below t (or above, for delta > 0)
    return below != upper ? 1 : 0;
  }
  return Evaluate(
      [&] {
        const bm::non_central_t_distribution<double, Policy> d(df, delta);
        return upper ? bm::cdf(bm::complement(d, t)) : bm::cdf(d, t);
      },
      [&] { return NoncentralTByIntegral(t, df, delta, upper); });
}

// Mean and standard deviation of the noncentral chi-square, and whether it
// is close enough to normal that 50 standard deviations out lie beyond any
// probability that double precision holds.
struct ChiSquareShape {
  double mean, sd;
  bool nearlyNormal;
  ChiSquareShape(double df, double lambda)
      : mean(df + lambda), sd(std::sqrt(2 * (df + 2 * lambda))), nearlyNormal(df + 2 * lambda > 1e4) {}
};

// Sankaran's normal approximation of the noncentral chi-square (Sankaran, M.
// (1959), "On the non-central chi-square distribution", Biometrika 46,
// 235-237), for the noncentralities beyond what the series can sum (from
// about 1e10), where it is good to far better than 1e-6.
double SankaranChiSquare(double x, double df, double lambda, bool upper) {
  const double k = df + lambda, k2 = df + 2 * lambda;
  const double h = 1 - 2 * k * (df + 3 * lambda) / (3 * k2 * k2);
  const double p = k2 / (k * k);
  const double m = (h - 1) * (1 - 3 * h);
  const double z = (std::pow(x / k, h) - (1 + h * p * (h - 1 - 0.5 * (2 - h) * m * p))) /
                   (h * std::sqrt(2 * p) * (1 + 0.5 * m * p));
  return upper ? StandardNormalUpper(z) : StandardNormalCdf(z);
}

double NoncentralChiSquare(double x, double df, double lambda, bool upper) {
  if (std::isnan(x) || !(df > 0) || std::isinf(df) || !(lambda >= 0) || std::isinf(lambda)) return 0;
  if (x <= 0) return upper ? 1 : 0;
  if (std::isinf(x)) return upper ? 0 : 1;
  const ChiSquareShape shape(df, lambda);
  if (shape.nearlyNormal && std::fabs(x - shape.mean) > 50 * shape.sd)
    return (x > shape.mean) != upper ? 1 : 0;
  if (lambda == 0)
    return Evaluate(
        [&] { return upper ? bm::gamma_q(df / 2, x / 2, Policy()) : bm::gamma_p(df / 2, x / 2, Policy()); },
        [] { return 0.0; });
  return Evaluate(
      [&] {
        const bm::non_central_chi_squared_distribution<double, Policy> d(df, lambda);
        return upper ? bm::cdf(bm::complement(d, x)) : bm::cdf(d, x);
      },
      [&] { return SankaranChiSquare(x, df, lambda, upper); });
}

double NoncentralF(double f, double df1, double df2, double lambda, bool upper) {
  if (std::isnan(f) || !(df1 > 0) || !(df2 > 0) || std::isinf(df1) || std::isinf(df2) || !(lambda >= 0) ||
      std::isinf(lambda))
    return 0;
  if (f <= 0) return upper ? 1 : 0;
  if (std::isinf(f)) return upper ? 0 : 1;
  // F <= f when X1 / df1 <= f X2 / df2: with the denominator nearly fixed,
  // the numerator's chi-square decides far from its mean.
  const ChiSquareShape numerator(df1, lambda);
  if (numerator.nearlyNormal && df2 > 1e4) {
    const double x = f * df1;  // the numerator at X2 / df2 = 1
    const double spread = 50 * numerator.sd + 50 * x * std::sqrt(2 / df2);
    if (std::fabs(x - numerator.mean) > spread) return (x > numerator.mean) != upper ? 1 : 0;
  }
  // P(F <= f) = I_y(df1 / 2, df2 / 2) with y = df1 f / (df1 f + df2).
  const double y = df1 * f / (df1 * f + df2);
  if (lambda == 0)
    return Evaluate(
        [&] {
          return upper ? bm::ibetac(df1 / 2, df2 / 2, y, Policy()) : bm::ibeta(df1 / 2, df2 / 2, y, Policy());
        },
        [] { return 0.0; });
  // Where the series cannot be summed: P(F <= f) = E P(X1 <= f df1 U^2),
  // U^2 = X2 / df2, over the distribution of U.
  return Evaluate(
      [&] {
        const bm::non_central_f_distribution<double, Policy> d(df1, df2, lambda);
        return upper ? bm::cdf(bm::complement(d, f)) : bm::cdf(d, f);
      },
      [&] {
        return IntegrateOverU(
            df2, [&](double u) { return NoncentralChiSquare(f * df1 * u * u, df1, lambda, upper); }, 0, kInf);
      });
}

}  // namespace

double StandardNormalCdf(double z) {
  if (std::isnan(z)) return 0;
  return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

double StandardNormalUpper(double z) {
  if (std::isnan(z)) return 0;
  return 0.5 * std::erfc(z / std::sqrt(2.0));
}

double StandardNormalBetween(double a, double b) {
  if (!(a < b)) return 0;
  if (a >= 0) return StandardNormalUpper(a) - StandardNormalUpper(b);
  if (b <= 0) return StandardNormalCdf(b) - StandardNormalCdf(a);
  return 1 - StandardNormalCdf(a) - StandardNormalUpper(b);
}

double NoncentralTCdf(double t, double df, double delta) { return NoncentralT(t, df, delta, false); }
double NoncentralTUpper(double t, double df, double delta) { return NoncentralT(t, df, delta, true); }

double NoncentralChiSquareCdf(double x, double df, double lambda) {
  return NoncentralChiSquare(x, df, lambda, false);
}
double NoncentralChiSquareUpper(double x, double df, double lambda) {
  return NoncentralChiSquare(x, df, lambda, true);
}

double NoncentralFCdf(double f, double df1, double df2, double lambda) {
  return NoncentralF(f, df1, df2, lambda, false);
}
double NoncentralFUpper(double f, double df1, double df2, double lambda) {
  return NoncentralF(f, df1, df2, lambda, true);
}

double OwensT(double h, double a) {
  if (!std::isfinite(h) || !std::isfinite(a)) return 0;
  PreservedFlags keep;
  try {
    const double t = bm::owens_t(h, a, Policy());
    return std::isfinite(t) ? t : 0.0;
  } catch (...) {
    return 0;
  }
}

double TwoOneSidedTProbability(double df, double delta1, double c1, double delta2, double c2) {
  if (!(df > 0) || std::isnan(delta1) || std::isnan(delta2) || std::isnan(c1) || std::isnan(c2)) return 0;
  // Beyond 1e8 degrees of freedom U stays within 1e-4 of 1 and the normal
  // limit is good to 1e-8.
  if (df > 1e8) return StandardNormalBetween(c1 - delta1, c2 - delta2);
  // The band c1 u - delta1 <= Z <= c2 u - delta2 is not empty on one side of
  // the point where its bounds meet.
  double lower = 0, upper = kInf;
  const double slope = c2 - c1, gap = delta1 - delta2;  // width of the band: slope u + gap
  if (slope == 0) {
    if (!(gap > 0)) return 0;
  } else if (slope < 0) {
    upper = gap / -slope;
  } else {
    lower = std::max(0.0, -gap / slope);
  }
  return Evaluate(
      [&] {
        return IntegrateOverU(
            df, [&](double u) { return StandardNormalBetween(c1 * u - delta1, c2 * u - delta2); }, lower,
            upper);
      },
      [] { return 0.0; });
}

}  // namespace pelmora
