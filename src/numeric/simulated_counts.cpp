#include "numeric/simulated_counts.h"

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

#include <algorithm>
#include <array>
#include <boost/random/binomial_distribution.hpp>
#include <boost/random/poisson_distribution.hpp>
#include <cmath>
#include <cstddef>

namespace pelmora {

namespace {

constexpr std::int64_t kTableSize = 65;
constexpr double kHalfLogTwoPi = 0.91893853320467274178032973640562;

// log(k!) for k < kTableSize, summed once (read-only after that).
const std::array<double, kTableSize>& LogFactorialTable() {
  static const std::array<double, kTableSize> table = [] {
    std::array<double, kTableSize> t{};
    for (std::int64_t k = 2; k < kTableSize; ++k) t[k] = t[k - 1] + std::log(static_cast<double>(k));
    return t;
  }();
  return table;
}

// log C(a, b) for 0 <= b <= a.
double LogChoose(std::int64_t a, std::int64_t b) {
  return LogFactorial(a) - LogFactorial(b) - LogFactorial(a - b);
}

}  // namespace

double LogFactorial(std::int64_t k) {
  if (k < kTableSize) return k < 0 ? 0.0 : LogFactorialTable()[k];
  // Stirling's series for log Gamma(x), x = k + 1 >= 66.
  const double x = static_cast<double>(k) + 1;
  const double r = 1 / x, r2 = r * r;
  const double series = r * (1.0 / 12 - r2 * (1.0 / 360 - r2 * (1.0 / 1260 - r2 * (1.0 / 1680 - r2 / 1188))));
  return (x - 0.5) * std::log(x) - x + kHalfLogTwoPi + series;
}

std::int64_t DrawBinomial(RandomStream& stream, std::int64_t n, double p) {
  if (n <= 0 || n > kMaxSimulatedTrials || !(p > 0)) return 0;
  if (p >= 1) return p == 1 ? n : 0;
  return boost::random::binomial_distribution<std::int64_t, double>(n, p)(stream);
}

std::int64_t DrawPoisson(RandomStream& stream, double mean) {
  if (!(mean > 0) || mean > static_cast<double>(kMaxSimulatedTrials)) return 0;
  return boost::random::poisson_distribution<std::int64_t, double>(mean)(stream);
}

std::int64_t DrawHypergeometric(RandomStream& stream, std::int64_t population, std::int64_t successes,
                                std::int64_t draws) {
  const std::int64_t big_n = population, big_k = successes, n = draws;
  if (big_n < 0 || big_n > kMaxSimulatedTrials || big_k < 0 || big_k > big_n || n < 0 || n > big_n) return 0;
  const std::int64_t failures = big_n - big_k;
  const std::int64_t lowest = std::max<std::int64_t>(0, n - failures), highest = std::min(n, big_k);
  if (lowest == highest) return lowest;
  const std::int64_t mode = std::clamp((n + 1) * (big_k + 1) / (big_n + 2), lowest, highest);
  const double at_mode =
      std::exp(LogChoose(big_k, mode) + LogChoose(failures, n - mode) - LogChoose(big_n, n));

  // P(X = k + 1) / P(X = k) and P(X = k - 1) / P(X = k).
  const auto up = [&](std::int64_t k) {
    return (static_cast<double>(big_k - k) * static_cast<double>(n - k)) /
           (static_cast<double>(k + 1) * static_cast<double>(failures - n + k + 1));
  };
  const auto down = [&](std::int64_t k) {
    return (static_cast<double>(k) * static_cast<double>(failures - n + k)) /
           (static_cast<double>(big_k - k + 1) * static_cast<double>(n - k + 1));
  };

  double u = stream.Uniform() - at_mode;
  if (u < 0) return mode;
  std::int64_t below = mode, above = mode;
  double p_below = at_mode, p_above = at_mode;
  while (below > lowest || above < highest) {
    if (below > lowest) {
      p_below *= down(below);
      --below;
      u -= p_below;
      if (u < 0) return below;
    }
    if (above < highest) {
      p_above *= up(above);
      ++above;
      u -= p_above;
      if (u < 0) return above;
    }
    // What is left on either side underflows: the remainder of u is rounding.
    if ((below == lowest || p_below == 0) && (above == highest || p_above == 0)) break;
  }
  return mode;
}

void DrawMultinomial(RandomStream& stream, std::int64_t n, std::span<const double> probabilities,
                     std::span<std::int64_t> counts) {
  std::fill(counts.begin(), counts.end(), 0);
  if (counts.size() != probabilities.size() || counts.empty() || n <= 0 || n > kMaxSimulatedTrials) return;
  double total = 0;
  for (double p : probabilities) {
    if (!(p >= 0) || !std::isfinite(p)) return;
    total += p;
  }
  if (!(total > 0) || !std::isfinite(total)) return;

  // The last category of positive probability takes the trials left over, so
  // that rounding in what remains never gives a count to an impossible one.
  std::size_t last = counts.size() - 1;
  while (probabilities[last] == 0) --last;
  std::int64_t left = n;
  double rest = total;
  for (std::size_t i = 0; i < last && left > 0; ++i) {
    const double share = rest > 0 ? std::min(1.0, probabilities[i] / rest) : 1.0;
    counts[i] = DrawBinomial(stream, left, share);
    left -= counts[i];
    rest -= probabilities[i];
  }
  counts[last] += left;
}

}  // namespace pelmora
