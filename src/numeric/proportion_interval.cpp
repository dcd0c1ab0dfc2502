#include "numeric/proportion_interval.h"

#include <algorithm>
#include <cmath>

namespace pelmora {

std::optional<ProportionInterval> WilsonInterval(std::int64_t successes, std::int64_t trials, double z) {
  if (trials <= 0 || successes < 0 || successes > trials || !(z > 0) || !std::isfinite(z))
    return std::nullopt;
  const double n = static_cast<double>(trials);
  const double p = static_cast<double>(successes) / n;
  const double z2 = z * z;
  const double centre = (p * n + z2 / 2) / (n + z2);
  const double half = WilsonHalfWidth(p, n, z);
  ProportionInterval interval;
  interval.estimate = p;
  interval.lower = successes == 0 ? 0.0 : std::clamp(centre - half, 0.0, 1.0);
  interval.upper = successes == trials ? 1.0 : std::clamp(centre + half, 0.0, 1.0);
  interval.standard_error = std::sqrt(p * (1 - p) / n);
  return interval;
}

double WilsonHalfWidth(double p, double n, double z) {
  const double z2 = z * z;
  return z * std::sqrt(p * (1 - p) * n + z2 / 4) / (n + z2);
}

std::optional<std::int64_t> TrialsForWilsonHalfWidth(double p, double h, double z) {
  if (!(p >= 0 && p <= 1) || !(h > 0) || !std::isfinite(h) || !(z > 0) || !std::isfinite(z))
    return std::nullopt;
  // The half-width equals h where h^2 (n + z^2)^2 = z^2 (a n + z^2 / 4), a =
  // p (1 - p): the larger root is z^2 (a - 2 h^2 + sqrt(a^2 + h^2 (1 - 4a))) /
  // (2 h^2), and every n beyond it gives a narrower interval.
  const double a = p * (1 - p);
  const double root = z * z * (a - 2 * h * h + std::sqrt(a * a + h * h * (1 - 4 * a))) / (2 * h * h);
  if (!(root < 9.0e18)) return std::nullopt;
  auto n = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::floor(root)) + 1);
  // The root is rounded: settle on the first whole n whose half-width is below h.
  while (n > 0 && WilsonHalfWidth(p, static_cast<double>(n - 1), z) < h) --n;
  while (WilsonHalfWidth(p, static_cast<double>(n), z) >= h) ++n;
  return n;
}

}  // namespace pelmora
