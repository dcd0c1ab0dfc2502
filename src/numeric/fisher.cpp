#include "numeric/fisher.h"

#include <algorithm>
#include <vector>

namespace pelmora {

namespace {

// Tables within this relative distance of the observed probability count as
// equally probable.
constexpr double kTieTolerance = 1 + 1e-7;
// Weights below this (relative to the mode's 1) are taken as 0 and the walk
// away from the mode stops, before the numbers become denormal.
constexpr double kNegligible = 1e-300;

// The weights of the tables with margins r1, r2 (rows) and c1 (the column of
// the reference cell), relative to the most probable table, for k = kMin..kMax.
void MarginWeights(int r1, int r2, int c1, int n, int kMin, int kMax, std::vector<double>& weight) {
  const auto mode64 = static_cast<std::int64_t>(r1 + 1) * (c1 + 1) / (n + 2);
  const int mode = std::clamp(static_cast<int>(mode64), kMin, kMax);
  weight.assign(static_cast<std::size_t>(kMax - kMin + 1), 0.0);
  auto w = [&](int k) -> double& { return weight[static_cast<std::size_t>(k - kMin)]; };
  w(mode) = 1;
  for (int k = mode; k < kMax && w(k) > kNegligible; ++k)
    w(k + 1) =
        w(k) * (static_cast<double>(r1 - k) * (c1 - k)) / (static_cast<double>(k + 1) * (r2 - c1 + k + 1));
  for (int k = mode; k > kMin && w(k) > kNegligible; --k)
    w(k - 1) =
        w(k) * (static_cast<double>(k) * (r2 - c1 + k)) / (static_cast<double>(r1 - k + 1) * (c1 - k + 1));
}

FisherProbabilities FromSums(double lower, double upper, double twoSided, double total) {
  FisherProbabilities result;
  result.lowerTail = ToSingle(std::min(lower / total, 1.0));
  result.upperTail = ToSingle(std::min(upper / total, 1.0));
  result.twoSided = ToSingle(std::min(twoSided / total, 1.0));
  return result;
}

}  // namespace

FisherProbabilities FisherExact(const FisherTable& table) {
  const std::int16_t a = table[0][0], b = table[0][1], c = table[1][0], d = table[1][1];
  if (a < 0 || b < 0 || c < 0 || d < 0) throw ArithmeticFault("negative count in a 2 x 2 table");
  const std::int16_t r1 = Add16(a, b);
  const std::int16_t r2 = Add16(c, d);
  const std::int16_t c1 = Add16(a, c);
  const std::int16_t n = Add16(r1, r2);

  const int kMin = std::max(0, c1 - r2);
  const int kMax = std::min<int>(r1, c1);
  if (kMin == kMax) return FisherProbabilities{};  // a single table: every probability is 1

  thread_local std::vector<double> weight;
  MarginWeights(r1, r2, c1, n, kMin, kMax, weight);
  auto w = [&](int k) { return weight[static_cast<std::size_t>(k - kMin)]; };

  const int x = a;
  const double observed = w(x) * kTieTolerance;
  double total = 0, lower = 0, upper = 0, twoSided = 0;
  for (int k = kMin; k <= kMax; ++k) {
    const double wk = w(k);
    total += wk;
    if (k <= x) lower += wk;
    if (k >= x) upper += wk;
    if (wk <= observed) twoSided += wk;
  }
  return FromSums(lower, upper, twoSided, total);
}

std::vector<FisherProbabilities> FisherExactMargin(std::int16_t r1, std::int16_t r2, std::int16_t c1) {
  if (r1 < 0 || r2 < 0 || c1 < 0) throw ArithmeticFault("negative margin of a 2 x 2 table");
  const std::int16_t n = Add16(r1, r2);
  if (c1 > n) throw ArithmeticFault("a column larger than the table");
  const int kMin = std::max(0, c1 - r2);
  const int kMax = std::min<int>(r1, c1);
  if (kMin == kMax) return {FisherProbabilities{}};

  std::vector<double> weight;
  MarginWeights(r1, r2, c1, n, kMin, kMax, weight);
  const std::size_t count = weight.size();
  double total = 0;
  for (double wk : weight) total += wk;
  // The two-sided sums: the weights in increasing order with their running
  // sums; a table's sum is that of every weight up to its own, with ties.
  std::vector<double> sorted = weight;
  std::sort(sorted.begin(), sorted.end());
  std::vector<double> running(count);
  double sum = 0;
  for (std::size_t i = 0; i < count; ++i) running[i] = sum += sorted[i];

  std::vector<double> upper(count);
  sum = 0;
  for (std::size_t i = count; i-- > 0;) upper[i] = sum += weight[i];

  std::vector<FisherProbabilities> result(count);
  double lower = 0;
  for (std::size_t i = 0; i < count; ++i) {
    lower += weight[i];
    const double observed = weight[i] * kTieTolerance;
    const auto last = std::upper_bound(sorted.begin(), sorted.end(), observed) - sorted.begin();
    result[i] = FromSums(lower, upper[i], running[static_cast<std::size_t>(last) - 1], total);
  }
  return result;
}

}  // namespace pelmora
