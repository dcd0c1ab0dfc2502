// The mean and variance of a simulated sample, as a simulated study's
// analysis needs them.
//
// Method: two passes (the mean, then the sum of squared deviations from it,
// corrected by the rounding of the mean: Chan, Golub and LeVeque, "Algorithms
// for computing the sample variance", The American Statistician 37 (1983)
// 242-247), accurate to a few units of double precision relative to the
// variance whatever the mean.  The sums run in the order of the sample, so
// the result is the same everywhere.
//
// Domain: an empty sample has mean 0; fewer than two values have variance 0.
#pragma once

#include <cstddef>
#include <span>

namespace pelmora {

struct SampleMoments {
  double mean = 0;
  double variance = 0;  // with the divisor n - 1
};

inline SampleMoments MomentsOf(std::span<const double> x) {
  const std::size_t n = x.size();
  if (n == 0) return {};
  double sum = 0;
  for (double v : x) sum += v;
  const double mean = sum / static_cast<double>(n);
  if (n < 2) return {mean, 0};
  double squares = 0, deviations = 0;
  for (double v : x) {
    const double d = v - mean;
    squares += d * d;
    deviations += d;
  }
  const double ss = squares - deviations * deviations / static_cast<double>(n);
  return {mean, ss > 0 ? ss / static_cast<double>(n - 1) : 0.0};
}

}  // namespace pelmora
