#include "procedures/hypothesis/hypergeometric_proportions.h"

#include <cmath>

#include "format/number_format.h"
#include "numeric/discrete.h"
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

double HypergeometricProportions::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Assumed a = ReadAssumed(s);
  const Single N1 = ToSingle(s.value(population1_));
  Single p;
  if (!twoSamples_) {
    const Single n = a.n1;
    if (exact_ && N1 <= kExactLimit) {
      p = HypergeometricPValue(sides, N1, n, n * a.p, a.null, a.left, a.right);
    } else {
      const Single f = Correction(N1, n);
      const Single cc = continuity_ ? 1 / (2 * n) : 0.0f;
      if (tails_ == 3) {
        const Single seLeft = std::sqrt(a.left * (1 - a.left) / n * f);
        const Single seRight = std::sqrt(a.right * (1 - a.right) / n * f);
        p = PValueZEquivalence(a.p, a.left, a.right, seLeft, seRight, cc);
      } else {
        p = PValueZ(sides, a.p, a.null, std::sqrt(a.null * (1 - a.null) / n * f), 0, 0, cc);
      }
    }
  } else {
    const Single N2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(population2_), N1,
                                           population2Mode_);
    const Single f1 = Correction(N1, a.n1), f2 = Correction(N2, a.n2);
    Single se;
    if (a.null != 0) {
      se = std::sqrt(a.p1 * (1 - a.p1) / a.n1 * f1 + a.p * (1 - a.p) / a.n2 * f2);
    } else {
      const Single pooled = (a.n1 * a.p1 + a.n2 * a.p) / (a.n1 + a.n2);
      se = std::sqrt(pooled * (1 - pooled) * (f1 / a.n1 + f2 / a.n2));
    }
    const Single cc = continuity_ ? (1 / a.n1 + 1 / a.n2) / 2 : 0.0f;
    p = PValueZ(sides, a.p - a.p1, a.null, se, a.left, a.right, cc);
  }
  return static_cast<double>(p) - s.value(0);
}

}  // namespace pelmora
