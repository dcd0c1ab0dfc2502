#include "numeric/normal_quantile.h"

#include <cmath>
#include <limits>

#include "numeric/noncentral.h"

namespace pelmora {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Abramowitz and Stegun 26.2.23: z with P(Z > z) = q for 0 < q <= 0.5.
double StartingUpperQuantile(double q) {
  double t = std::sqrt(-2 * std::log(q));
  return t -
         (2.515517 + t * (0.802853 + t * 0.010328)) / (1 + t * (1.432788 + t * (0.189269 + t * 0.001308)));
}

// Halley steps on Q(z) = q, Q the upper tail: with u = (Q(z) - q) / phi(z),
// z <- z + u / (1 - z u / 2).
double RefineUpper(double z, double q) {
  const double invRoot2Pi = 0.3989422804014327;
  for (int pass = 0; pass < 6; ++pass) {
    double density = invRoot2Pi * std::exp(-0.5 * z * z);
    if (!(density > 0)) break;
    double u = (StandardNormalUpper(z) - q) / density;
    double step = u / (1 - 0.5 * z * u);
    z += step;
    if (std::fabs(step) <= 1e-15 * (1 + std::fabs(z))) break;
  }
  return z;
}

}  // namespace

double StandardNormalUpperQuantile(double q) {
  if (std::isnan(q)) return 0;
  if (q <= 0) return kInf;
  if (q >= 1) return -kInf;
  if (q == 0.5) return 0;
  double start = q < 0.5 ? StartingUpperQuantile(q) : -StartingUpperQuantile(1 - q);
  return RefineUpper(start, q);
}

double StandardNormalQuantile(double p) {
  if (std::isnan(p)) return 0;
  if (p <= 0) return -kInf;
  if (p >= 1) return kInf;
  if (p == 0.5) return 0;
  // z with P(Z <= z) = p is minus the upper quantile of p; for p above 0.5 the
  // refinement works on the upper tail 1 - p, which is exact there.
  if (p < 0.5) return -RefineUpper(StartingUpperQuantile(p), p);
  return RefineUpper(StartingUpperQuantile(1 - p), 1 - p);
}

}  // namespace pelmora
