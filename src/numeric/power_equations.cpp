#include "numeric/power_equations.h"

#include <algorithm>
#include <cmath>

#include "numeric/discrete.h"
#include "numeric/distributions.h"

namespace pelmora {

namespace {

// The common shape for a symmetric statistic: F is the lower-tail
// distribution function of the standardised value.
template <class Cdf>
Single SymmetricPValue(Sides sides, Single x, Single null, Single se, Single left, Single right, Cdf F) {
  switch (sides.TailCount) {
    case 1: {
      const Single t = (x - null) / se;
      return sides.RejectInLeftTail != kFalse ? F(t) : 1.0f - F(t);
    }
    case 2:
      return 2.0f * (1.0f - F(std::fabs(x - null) / se));
    case 3:
      return std::max(1.0f - F((x - left) / se), F((x - right) / se));
    default:
      return 0.0f;
  }
}

// The common shape for a ratio statistic that is not symmetric.
template <class Cdf>
Single RatioPValue(Sides sides, Single x, Single scale, Single left, Single right, Cdf F) {
  switch (sides.TailCount) {
    case 1: {
      const Single v = F(x / scale);
      return sides.RejectInLeftTail != kFalse ? v : 1.0f - v;
    }
    case 2: {
      const Single v = F(std::fabs(x) / scale);
      return 2.0f * std::min(v, 1.0f - v);
    }
    case 3:
      return std::max(1.0f - F(x / left), F(x / right));
    default:
      return 0.0f;
  }
}

}  // namespace

Single PValueT(Sides sides, Single x, Single null, Single se, Single left, Single right, Single df) {
  return SymmetricPValue(sides, x, null, se, left, right, [df](Single t) { return StudentCdf(t, df); });
}

Single PValueZ(Sides sides, Single x, Single null, Single se, Single left, Single right, Single cc) {
  if (se <= 0) return 0.0f;
  switch (sides.TailCount) {
    case 1:
      if (sides.RejectInLeftTail != kFalse) return NormalCdf((x - null + cc) / se);
      return 1.0f - NormalCdf((x - null - cc) / se);
    case 2:
      // The correction moves the statistic towards the null value, never
      // past it: a P-value stays at most 1.
      return 2.0f * (1.0f - NormalCdf(std::max(std::fabs(x - null) - cc, 0.0f) / se));
    case 3:
      return std::max(1.0f - NormalCdf((x - left - cc) / se), NormalCdf((x - right + cc) / se));
    default:
      return 0.0f;
  }
}

Single PValueChiSquare(Sides sides, Single x, Single scale, Single left, Single right, Single df) {
  return RatioPValue(sides, x, scale, left, right, [df](Single v) { return ChiSquareCdf(v, df); });
}

Single PValueF(Sides sides, Single x, Single scale, Single left, Single right, Single dfDenominator,
               Single dfNumerator) {
  return RatioPValue(sides, x, scale, left, right,
                     [=](Single v) { return FCdf(v, dfNumerator, dfDenominator); });
}

Single PValueZEquivalence(Single x, Single left, Single right, Single seLeft, Single seRight, Single cc) {
  if (seRight <= 0 || seLeft <= 0) return 0.0f;
  return std::max(1.0f - NormalCdf((x - left - cc) / seLeft), NormalCdf((x - right + cc) / seRight));
}

Single PValueExponential(Sides sides, Single x, Single location, Single scale, Single left, Single right) {
  auto F = [=](Single v) { return ExponentialCdf(x, v, scale); };
  switch (sides.TailCount) {
    case 1:
      return sides.RejectInLeftTail != kFalse ? F(location) : 1.0f - F(location);
    case 2: {
      const Single v = F(location);
      return 2.0f * std::min(v, 1.0f - v);
    }
    case 3:
      return std::max(1.0f - F(left), F(right));
    default:
      return 0.0f;
  }
}

Single PValuePoisson(Sides sides, Single x, Single mean, Single left, Single right) {
  const Single whole = std::floor(x);
  const Single f = x - whole;
  auto L = [=](Single m) { return PoissonCdfReal(x, m); };
  // P(X >= x), interpolated linearly between whole numbers.
  auto U = [=](Single m) {
    return (1.0f - f) * PoissonPointReal(whole, m) + 1.0f - PoissonCdfReal(whole, m);
  };
  switch (sides.TailCount) {
    case 1:
      return sides.RejectInLeftTail != kFalse ? L(mean) : U(mean);
    case 2:
      return 2.0f * std::min(L(mean), U(mean));
    case 3:
      return std::max(U(left), L(right));
    default:
      return 0.0f;
  }
}

double PowerZ(double a, double b, double d, double z) {
  if (d <= 0) return 100000.0;
  return (a - b * z) / d;
}

double PowerOneSided(double a, double b, double d, double z) {
  return NormalCdf(ToSingle(PowerZ(a, b, d, z)));
}

double PowerTwoSided(double a, double b, double d, double z) {
  return static_cast<double>(NormalCdf(ToSingle(PowerZ(a, b, d, z)))) + 1.0 -
         NormalCdf(ToSingle(PowerZ(a, b, d, -z)));
}

double PowerEquivalence(double a1, double a2, double b1, double b2, double d, double z) {
  return static_cast<double>(NormalCdf(ToSingle(PowerZ(a1, b1, d, z)))) +
         NormalCdf(ToSingle(PowerZ(a2, b2, d, z))) - 1.0;
}

double NormalPowerCriterion(Sides sides, double alpha, double requestedPower, Single delta, Single b,
                            Single d, Single m1, Single m2, Single b1, Single b2, Single cc) {
  switch (sides.TailCount) {
    case 1:
      if (sides.RejectInLeftTail != kFalse) {
        const double z = -NormalQuantile(ToSingle(1.0 - alpha));
        return 1.0 - PowerOneSided(delta + cc, b, d, z) - requestedPower;
      } else {
        const double z = NormalQuantile(ToSingle(1.0 - alpha));
        return PowerOneSided(delta - cc, b, d, z) - requestedPower;
      }
    case 2: {
      const double z = NormalQuantile(ToSingle(1.0 - alpha / 2.0));
      return PowerTwoSided(std::fabs(delta) - cc, b, d, z) - requestedPower;
    }
    case 3: {
      const double z = NormalQuantile(ToSingle(1.0 - alpha));
      return PowerEquivalence(m1 - cc, m2 + cc, b1, b2, d, z) - requestedPower;
    }
    default:
      return 0.0;
  }
}

}  // namespace pelmora
