#include "procedures/hypothesis/proportions.h"

#include <algorithm>
#include <cmath>

#include "numeric/discrete.h"
#include "numeric/power.h"
#include "numeric/root.h"

namespace pelmora {

namespace {

// P(X >= x) for the fractional count x: the part of the point probability
// at its integer part that lies above x, and everything beyond.
Single UpperTail(Single n, Single x, Single p) {
  const Single k = std::floor(x);
  const Single f = x - k;
  return (1 - f) * BinomialPointReal(n, k, p) + 1 - BinomialCdfReal(n, k, p);
}

}  // namespace

Single BinomialPValue(Sides sides, Single n, Single x, Single p0, Single left, Single right) {
  if (n == 0) return 1.0f;
  switch (sides.TailCount) {
    case 1:
      if (sides.RejectInLeftTail != kFalse) return BinomialCdfReal(n, x, p0);
      return 1 - BinomialCdfReal(n, x - 1, p0);
    case 2:
      return 2 * MinOf(BinomialCdfReal(n, x, p0), UpperTail(n, x, p0));
    case 3:
      return MaxOf(UpperTail(n, x, left), BinomialCdfReal(n, x, right));
    default:
      return 0;
  }
}

std::optional<double> BinomialPower(Sides sides, double alpha, Single n, Single p, Single p0, Single left,
                                    Single right) {
  if (!(alpha > 0 && alpha < 1) || sides.TailCount < 1 || sides.TailCount > 3) return std::nullopt;
  if (!(n >= 0 && n <= 32766) || !(p >= 0 && p <= 1)) return std::nullopt;
  const double power = InterpolateOverWholeCounts<1>({n}, [&](const std::array<int, 1>& size) {
    const int m = size[0];
    return ExactPower(BinomialProbabilities(m, p), sides, alpha, m * static_cast<double>(p0), [&](int k) {
      return static_cast<double>(
          BinomialPValue(sides, static_cast<Single>(m), static_cast<Single>(k), p0, left, right));
    });
  });
  return std::clamp(power, 0.0, 1.0);  // the interpolation may round past 1
}

Single TwoProportionSE(Single n1, Single n2, Single p1, Single p2, Single nullDifference) {
  if (nullDifference != 0) return std::sqrt(p1 * (1 - p1) / n1 + p2 * (1 - p2) / n2);
  const Single p = (n1 * p1 + n2 * p2) / (n1 + n2);
  return std::sqrt(p * (1 - p) * (1 / n1 + 1 / n2));
}

Single ArcsineValue(Single p) { return std::asin(std::sqrt(p)); }

}  // namespace pelmora
