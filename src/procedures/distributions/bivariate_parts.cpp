#include "procedures/distributions/bivariate_parts.h"

#include <cmath>

#include "numeric/relative.h"
#include "numeric/root.h"
#include "session/checks.h"

namespace pelmora {

Single PairedDifferenceSE(Single n, Single s1, Single s2, Single rho) {
  return std::sqrt((s1 * s1 + s2 * s2 - 2 * s1 * s2 * rho) / n);
}

Single SumDiffCorrelation(Single lambda, Single rho) {
  const Single l2 = lambda * lambda;
  // The two factors are rooted apart: their product overflows long before
  // either does.
  const Single c = (l2 - 1) / (std::sqrt(l2 + 1 - 2 * rho * lambda) * std::sqrt(l2 + 1 + 2 * rho * lambda));
  // A correlation: rounding must not carry it past +-1 for a ratio far from 1,
  // where Fisher's z has no value.
  return MaxOf(MinOf(c, 1.0f), -1.0f);
}

namespace bivariate {

std::int16_t LimitId(std::int16_t intervalKind) {
  static constexpr std::int16_t ids[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
  return ids[intervalKind];
}

Single Resolve(const Session& s, int p, Single base, std::int16_t mode) {
  return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(p), base, mode);
}

void KeepPartnerWithinBounds(const Session& s, double& lower, double& upper, int relative, double lo,
                             double hi, std::int16_t mode) {
  const double v = s.value(relative);
  const bool hasLo = ToSingle(lo) > -99999.0f, hasHi = ToSingle(hi) < 99999.0f;
  if (mode == 1) {
    if (hasLo) lower = MaxOf(lower, lo - v);
    if (hasHi) upper = MinOf(upper, hi - v);
  } else if (mode == 2 && v != 0) {
    const double a = v > 0 ? lo / v : hi / v, b = v > 0 ? hi / v : lo / v;
    if (v > 0 ? hasLo : hasHi) lower = MaxOf(lower, a);
    if (v > 0 ? hasHi : hasLo) upper = MinOf(upper, b);
  }
}

void NarrowSdPair(const Session& s, double& lower, double& upper, int sd1, int sd2, std::int16_t mode) {
  const CatalogueEntry& e = s.entry(Ids::Sd2);
  if (s.UnknownPosition == sd2)
    RelativeSearchInterval(s, lower, upper, sd1, e.ParamLowerLimit(), e.ParamUpperLimit(), mode);
  if (s.UnknownPosition == sd1)
    KeepPartnerWithinBounds(s, lower, upper, sd2, e.ParamLowerLimit(), e.ParamUpperLimit(), mode);
}

double RatioOfSumDiffCorrelation(double c, double rho) {
  const double a = 1 - c * c;
  if (!(a > 0)) return 0;
  const double b = 1 + c * c - 2 * rho * rho * c * c;
  const double root = std::sqrt(MaxOf(b * b - a * a, 0.0));
  return std::sqrt((c >= 0 ? b + root : b - root) / a);
}

}  // namespace bivariate

}  // namespace pelmora
