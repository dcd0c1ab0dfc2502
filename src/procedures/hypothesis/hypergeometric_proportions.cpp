#include "procedures/hypothesis/hypergeometric_proportions.h"

#include <algorithm>
#include <cmath>

#include "format/number_format.h"
#include "numeric/discrete.h"
#include "numeric/power.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"

namespace pelmora {

namespace {

// The distribution of the marked count in a sample of n from a population of
// N with the marked proportion p.
struct Population {
  Single marked, unmarked, n;
  Population(Single N, Single n, Single p) : marked(N * p), unmarked(N - N * p), n(n) {}
  Single Cdf(Single x) const { return HyperCdfReal(marked, unmarked, n, x); }
  // P(X >= x) for the fractional count x: the part of the point probability
  // at its integer part that lies above x, and everything beyond.
  Single Upper(Single x) const {
    const Single k = std::floor(x);
    const Single f = x - k;
    return (1 - f) * HyperPointReal(marked, unmarked, n, k) + 1 - HyperCdfReal(marked, unmarked, n, k);
  }
};

// The finite-population correction of a sample of n from N.
Single Correction(Single N, Single n) { return (N - n) / (N - 1); }

}  // namespace

Single HypergeometricPValue(Sides sides, Single N, Single n, Single x, Single p0, Single left, Single right) {
  if (n == 0) return 1.0f;
  switch (sides.TailCount) {
    case 1: {
      const Population h0(N, n, p0);
      if (sides.RejectInLeftTail != kFalse) return h0.Cdf(x);
      return 1 - h0.Cdf(x - 1);
    }
    case 2: {
      const Population h0(N, n, p0);
      return 2 * MinOf(h0.Cdf(x), h0.Upper(x));
    }
    case 3:
      return MaxOf(Population(N, n, left).Upper(x), Population(N, n, right).Cdf(x));
    default:
      return 0;
  }
}

std::optional<double> HypergeometricPower(Sides sides, double alpha, Single N, Single n, Single p, Single p0,
                                          Single left, Single right) {
  if (!(alpha > 0 && alpha < 1) || sides.TailCount < 1 || sides.TailCount > 3) return std::nullopt;
  if (!(p >= 0 && p <= 1) || !(n >= 0) || !(N >= n) || !(N <= 32766)) return std::nullopt;
  // The assumed population: N p marked and N - N p unmarked units.
  const Single marked = N * p, unmarked = N - N * p;
  const double power =
      InterpolateOverWholeCounts<3>({marked, unmarked, n}, [&](const std::array<int, 3>& at) {
        const int a = at[0], b = at[1], m = std::min(at[2], a + b);
        const Single population = static_cast<Single>(a + b);
        return ExactPower(
            HypergeometricProbabilities(a, b, m), sides, alpha, m * static_cast<double>(p0), [&](int k) {
              return static_cast<double>(HypergeometricPValue(sides, population, static_cast<Single>(m),
                                                              static_cast<Single>(k), p0, left, right));
            });
      });
  return std::clamp(power, 0.0, 1.0);  // the interpolation may round past 1
}

void HypergeometricProportions::InitProcedure(Session& s) {
  OfferProportionRows(s);
  if (s.SampleCount == 2) OfferRow(s, group::PopulationSize2);
  OfferOption(s, option::ContinuityCorrection);
  if (s.SampleCount == 1) OfferOption(s, option::ExactCalculation);
}

void HypergeometricProportions::BuildParameterList(Session& s) {
  int p = BuildProportionList(s);
  exact_ = !twoSamples_ && OfferedOptionChecked(s, 1);
  population2Mode_ = s.IntParMode[group::PopulationSize2];
  population1_ = population2_ = -1;
  if (!twoSamples_) {
    population1_ = p;
    s.ParameterList[static_cast<std::size_t>(p++)] = Ids::PopulationSize;
  } else {
    static constexpr std::int16_t second[3] = {Ids::PopulationSize2, Ids::PopulationSize2MinusSize1,
                                               Ids::PopulationSize2OverSize1};
    population1_ = p;
    s.ParameterList[static_cast<std::size_t>(p++)] = Ids::PopulationSize1;
    population2_ = p;
    s.ParameterList[static_cast<std::size_t>(p++)] =
        second[population2Mode_ >= 0 && population2Mode_ <= 2 ? population2Mode_ : 0];
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool HypergeometricProportions::CheckParameters(Session& s) {
  if (!ProportionTest::CheckParameters(s)) return false;
  if (!twoSamples_) {
    if (!CheckNotAbove(s, n1_, population1_)) return false;
  } else {
    if (!CheckSizesWithinPopulations(s, n1_, population2Mode_)) return false;
  }
  if (exact_ && s.UnknownPosition != population1_ && s.value(population1_) > kExactLimit) {
    s.ui().Warn("Exact Calculation Chosen. Population Size Must Be <=" + StrSingle(kExactLimit));
    return false;
  }
  return true;
}

void HypergeometricProportions::SetSearchInterval(Session& s, double& lower, double& upper) {
  ProportionTest::SetSearchInterval(s, lower, upper);
  const int u = s.UnknownPosition;
  if (!twoSamples_) {
    // The population holds its sample and one unit more.
    if (u == n1_) upper = MinOf(upper, s.value(population1_) - 1);
    if (u == population1_) lower = MaxOf(lower, s.value(n1_) + 1);
  } else {
    SampleSizeSearchInterval(s, n1_, lower, upper, population2Mode_);
  }
}

bool HypergeometricProportions::ExactPath(const Session& s) const {
  return !twoSamples_ && exact_ && ToSingle(s.value(population1_)) <= kExactLimit;
}

NormalStatistic HypergeometricProportions::NormalPath(const Session& s, const Assumed& a) const {
  const Single N1 = ToSingle(s.value(population1_));
  NormalStatistic statistic;
  ZArguments& z = statistic.z;
  if (!twoSamples_) {
    const Single n = a.n1;
    const Single f = Correction(N1, n);
    z.x = a.p;
    z.cc = continuity_ ? 1 / (2 * n) : 0.0f;
    if (tails_ == 3) {
      z.left = a.left;
      z.right = a.right;
      statistic.ownErrors = true;
      statistic.seLeft = std::sqrt(a.left * (1 - a.left) / n * f);
      statistic.seRight = std::sqrt(a.right * (1 - a.right) / n * f);
    } else {
      z.null = a.null;
      z.se = std::sqrt(a.null * (1 - a.null) / n * f);
    }
    return statistic;
  }
  const Single N2 =
      ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(population2_), N1, population2Mode_);
  const Single f1 = Correction(N1, a.n1), f2 = Correction(N2, a.n2);
  if (a.null != 0) {
    z.se = std::sqrt(a.p1 * (1 - a.p1) / a.n1 * f1 + a.p * (1 - a.p) / a.n2 * f2);
  } else {
    const Single pooled = (a.n1 * a.p1 + a.n2 * a.p) / (a.n1 + a.n2);
    z.se = std::sqrt(pooled * (1 - pooled) * (f1 / a.n1 + f2 / a.n2));
  }
  z.x = a.p - a.p1;
  z.null = a.null;
  z.left = a.left;
  z.right = a.right;
  z.cc = continuity_ ? (1 / a.n1 + 1 / a.n2) / 2 : 0.0f;
  return statistic;
}

CriterionTraits HypergeometricProportions::Traits(const Session& s) const {
  CriterionTraits t = ProcedureModule::Traits(s);
  const int u = s.UnknownPosition;
  t.wholeSteps = !twoSamples_ && exact_ && (u == n1_ || u == population1_);
  return t;
}

double HypergeometricProportions::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Assumed a = ReadAssumed(s);
  const Single p = ExactPath(s) ? HypergeometricPValue(sides, ToSingle(s.value(population1_)), a.n1,
                                                       a.n1 * a.p, a.null, a.left, a.right)
                                : PValueZ(sides, NormalPath(s, a));
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> HypergeometricProportions::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Assumed a = ReadAssumed(s);
  if (ExactPath(s))
    return HypergeometricPower(sides, s.value(0), ToSingle(s.value(population1_)), a.n1, a.p, a.null, a.left,
                               a.right);
  return PowerOfZTest(sides, s.value(0), NormalPath(s, a));
}

}  // namespace pelmora
