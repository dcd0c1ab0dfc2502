#include "procedures/hypothesis/correlation_coefficient.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

Single FisherZ(Single r) {
  if (r == -1.0f) return -99999.0f;
  if (r == 1.0f) return 99999.0f;
  return ToSingle(0.5 * std::log((1.0 + r) / (1.0 - r)));
}

namespace {

// The smallest sample size at which 1 / sqrt(n - 3) has a value.
constexpr Single kMinCorrelationSize = 3.00001f;

}  // namespace

void CorrelationCoefficient::InitProcedure(Session& s) {
  if (s.SampleCount == 2) {
    // Two coefficients are compared by their difference on the z scale, for
    // which no equivalence limits are offered.
    DisableTwoOneSided(s);
    OfferRow(s, group::Correlation2);
    OfferRow(s, group::SampleSize2);
  } else if (s.TailCount != 3) {
    OfferRow(s, group::Correlation);  // two one-sided tests take the coefficient as a value only
  }
}

void CorrelationCoefficient::BuildParameterList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  correlationMode_ = RowMode(s, 0);
  if (correlationMode_ < 0 || correlationMode_ > 2 || (!twoSamples_ && tails_ == 3)) correlationMode_ = 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = r1_ = r2_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (!twoSamples_) {
    static constexpr std::int16_t estimate[3] = {Ids::Correlation, Ids::CorrelationMinusH0,
                                                 Ids::CorrelationOverH0};
    if (tails_ == 3) {
      left_ = put(Ids::LeftLimit);
      right_ = put(Ids::RightLimit);
    } else {
      h0_ = put(Ids::H0Correlation);
    }
    estimate_ = put(estimate[correlationMode_]);
    n1_ = put(Ids::SampleSize);
  } else {
    static constexpr std::int16_t second[3] = {Ids::Correlation2, Ids::Correlation2MinusCorrelation1,
                                               Ids::Correlation2OverCorrelation1};
    static constexpr std::int16_t n2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                           Ids::SampleSize2OverSize1};
    r1_ = put(Ids::Correlation1);
    r2_ = put(second[correlationMode_]);
    n1_ = put(Ids::SampleSize1);
    n2_ = put(n2[size2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool CorrelationCoefficient::CheckParameters(Session& s) {
  if (!twoSamples_) {
    if (tails_ == 3) return CheckOrderedPair(s, right_);
    const CatalogueEntry& r = s.entry(Ids::Correlation);
    return CheckRelativeValue(s, h0_, estimate_, r.ParamLowerLimit(), r.ParamUpperLimit(), correlationMode_);
  }
  const CatalogueEntry& r2 = s.entry(Ids::Correlation2);
  if (!CheckRelativeValue(s, r1_, r2_, r2.ParamLowerLimit(), r2.ParamUpperLimit(), correlationMode_))
    return false;
  const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
  return CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_);
}

void CorrelationCoefficient::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  const CatalogueEntry& bounds = s.entry(twoSamples_ ? Ids::Correlation2 : Ids::Correlation);
  const double lo = bounds.ParamLowerLimit(), hi = bounds.ParamUpperLimit();
  if (!twoSamples_) {
    if (u == n1_) lower = MaxOf(lower, static_cast<double>(kMinCorrelationSize));
    if (tails_ == 3) {
      // The coefficient on the side of the middle of the limits (on the z
      // scale) where the P-value moves one way only; a limit on its own side
      // of the coefficient.
      const double x = s.value(estimate_);
      if (u == estimate_) {
        const double mid =
            (static_cast<double>(FisherZ(ToSingle(s.value(left_)))) + FisherZ(ToSingle(s.value(right_)))) / 2;
        NarrowByTailReversed(s, lower, upper, std::tanh(mid));
      }
      if (u == left_) upper = MinOf(upper, x);
      if (u == right_) lower = MaxOf(lower, x);
      return;
    }
    if (u != h0_ && u != estimate_) return;
    RelativeSearchIntervalTailed(s, lower, upper, h0_, lo, hi, correlationMode_);
    // With the coefficient entered as H0 + e, the distance z(H0 + e) - z(H0)
    // is smallest where H0 and H0 + e lie symmetrically about 0, and the
    // P-value has a root on either side; the one searched keeps the middle
    // H0 + e / 2 at or above 0 (the other has both coefficients negated).
    if (u == h0_ && correlationMode_ == 1) lower = MaxOf(lower, -s.value(estimate_) / 2);
    return;
  }
  if (u == r1_ || u == r2_) {
    // No null entry: the null difference is 0, and position r1_ - 1 is never
    // the unknown.  Keeping r2 - r1 on the rejection side of 0 keeps z(r2) -
    // z(r1) there too.
    MeanPairSearchInterval(s, lower, upper, 0, r1_ - 1, lo, hi, correlationMode_);
    if (u == r1_ && correlationMode_ == 1) lower = MaxOf(lower, -s.value(r2_) / 2);  // as for one sample
  }
  if (size2Mode_ == 1 || size2Mode_ == 2) {
    if (u == n1_) LowerBoundBaseSize(s, n2_, lower);
    if (u == n2_) LowerBoundRelativeSize(s, n1_, lower);
  }
}

ZArguments CorrelationCoefficient::Statistic(const Session& s) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  ZArguments z;
  if (!twoSamples_) {
    if (tails_ == 3) {
      z.x = FisherZ(at(estimate_));
      z.left = FisherZ(at(left_));
      z.right = FisherZ(at(right_));
    } else {
      const Single h0 = at(h0_);
      z.null = FisherZ(h0);
      z.x = FisherZ(ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), h0, correlationMode_));
    }
    z.se = 1.0f / std::sqrt(at(n1_) - 3);
  } else {
    const Single r1 = at(r1_);
    const Single r2 = ResolveRelativeValue(v, static_cast<std::int16_t>(r2_), r1, correlationMode_);
    const Single entered1 = at(n1_);
    const Single n2 = MaxOf(ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), entered1, size2Mode_),
                            kMinCorrelationSize);
    const Single n1 = MaxOf(entered1, kMinCorrelationSize);
    z.x = FisherZ(r2) - FisherZ(r1);
    z.se = std::sqrt(1.0f / (n2 - 3) + 1.0f / (n1 - 3));
  }
  return z;
}

double CorrelationCoefficient::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, Statistic(s))) - s.value(0);
}

std::optional<double> CorrelationCoefficient::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), Statistic(s));
}

// Cohen's q: the difference of the Fisher transforms of the assumed and the
// null coefficient, or of the two coefficients.
std::optional<StandardisedEffect> CorrelationCoefficient::Effect(const Session& s) const {
  if (tails_ == 3) return std::nullopt;
  const ZArguments z = Statistic(s);
  return StandardisedEffect{"q", static_cast<double>(z.x) - z.null};
}

}  // namespace pelmora
