#include "procedures/hypothesis/scale_parameter.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"

namespace pelmora {

namespace {

struct SampleSizeIds {
  static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4;
  static constexpr std::array<std::int16_t, 3> SampleSize2 = {37, 38, 5};
};

}  // namespace

void ScaleParameter::InitProcedure(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    // Two one-sided tests take the assumed scale as a value only.
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, ids_.oneSampleGroup);
  } else {
    OfferRow(s, ids_.ratioGroup);
    OfferRow(s, group::SampleSize2);
  }
}

void ScaleParameter::BuildParameterList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  ReadChoice(s);
  // One sample: value, difference or ratio to H0; two samples: both scales or their ratio.
  scaleMode_ = RowMode(s, 0);
  if (scaleMode_ < 0 || scaleMode_ > (twoSamples_ ? 1 : 2) || (!twoSamples_ && tails_ == 3)) scaleMode_ = 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = first_ = second_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (tails_ == 3) {
    left_ = put(ids_.left);
    right_ = put(ids_.right);
  }
  if (!twoSamples_) {
    if (tails_ != 3) h0_ = put(ids_.h0);
    estimate_ = put(ids_.assumed[static_cast<std::size_t>(scaleMode_)]);
    n1_ = put(SampleSizeIds::SampleSize);
  } else {
    if (tails_ != 3) h0_ = put(ids_.h0Ratio);
    if (scaleMode_ == 1) {
      estimate_ = put(ids_.ratio);
    } else {
      first_ = put(ids_.first);
      second_ = put(ids_.second);
    }
    n1_ = put(SampleSizeIds::SampleSize1);
    n2_ = put(SampleSizeIds::SampleSize2[static_cast<std::size_t>(size2Mode_)]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool ScaleParameter::CheckParameters(Session& s) {
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(SampleSizeIds::SampleSize2[0]);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  } else if (tails_ != 3) {
    // A difference to H0 must leave a positive scale.
    const CatalogueEntry& scale = s.entry(ids_.assumed[0]);
    if (!CheckRelativeValue(s, h0_, estimate_, scale.ParamLowerLimit(), scale.ParamUpperLimit(), scaleMode_))
      return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void ScaleParameter::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ && scaleMode_ == 2) {
        lower = upper;  // Scale* / H0 fixed: the statistic does not depend on H0
      } else if (u == h0_ || u == estimate_) {
        const CatalogueEntry& scale = s.entry(ids_.assumed[0]);
        RelativeSearchIntervalTailed(s, lower, upper, h0_, scale.ParamLowerLimit(), scale.ParamUpperLimit(),
                                     scaleMode_);
      }
    } else {
      ScaleSearchInterval(s, lower, upper, h0_, scaleMode_);
    }
  } else {
    if (u == estimate_ || u == first_ || u == second_)
      NarrowRatioToMidpoint(s, lower, upper, EquivalenceMiddle(s), estimate_, first_, second_);
    if (u == left_ || u == right_) NarrowLimitByEstimate(s, lower, upper, left_, right_, Estimate(s));
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

double ScaleParameter::EquivalenceMiddle(const Session& s) const {
  // Below a the P-value against the left limit exceeds the requested one,
  // above b the P-value against the right limit does; between them both are
  // smaller.  The chi-square and F statistics are skewed, so the middle of
  // the limits themselves would not separate the two roots.
  const Single alpha = ToSingle(s.value(0));
  const Single left = ToSingle(s.value(left_)), right = ToSingle(s.value(right_));
  const Single n1 = ToSingle(s.value(n1_));
  const Single df1 = DegreesOfFreedom(n1);
  Single a = 0, b = 0;
  if (!twoSamples_) {
    a = ChiSquareQuantile(1 - alpha, df1) / df1;
    b = ChiSquareQuantile(alpha, df1) / df1;
  } else {
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    const Single df2 = DegreesOfFreedom(n2);
    a = FQuantile(1 - alpha, df2, df1);
    b = FQuantile(alpha, df2, df1);
  }
  // Back from the statistic's scale to the scale's own.
  if (power_ == 2) {
    a = std::sqrt(a);
    b = std::sqrt(b);
  }
  return std::sqrt(static_cast<double>(left * a) * (right * b));
}

Single ScaleParameter::Estimate(const Session& s) const {
  if (!twoSamples_) {
    const Single null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
    return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(estimate_), null, scaleMode_);
  }
  if (scaleMode_ == 1) return ToSingle(s.value(estimate_));
  return ToSingle(s.value(second_)) / ToSingle(s.value(first_));
}

ScaleParameter::RatioStatistic ScaleParameter::Statistic(const Session& s) const {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  RatioStatistic r;
  r.null = Power(at(h0_));
  r.left = Power(at(left_));
  r.right = Power(at(right_));
  const Single assumed = Estimate(s);
  r.assumed = Power(assumed);
  const Single n1 = at(n1_);
  r.df1 = DegreesOfFreedom(n1);
  if (!twoSamples_) {
    r.statistic = power_ == 2 ? r.df1 * assumed * assumed : r.df1 * assumed;
  } else {
    r.statistic = r.assumed;
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    r.df2 = DegreesOfFreedom(n2);
  }
  return r;
}

double ScaleParameter::EvaluateCriterion(const Session& s) {
  const RatioStatistic r = Statistic(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single p = !twoSamples_ ? PValueChiSquare(sides, r.statistic, r.null, r.left, r.right, r.df1)
                                : PValueF(sides, r.statistic, r.null, r.left, r.right, r.df1, r.df2);
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> ScaleParameter::EvaluatePower(const Session& s) {
  const RatioStatistic r = Statistic(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (!twoSamples_) return PowerOfChiSquareTest(sides, s.value(0), r.assumed, r.null, r.left, r.right, r.df1);
  return PowerOfFTest(sides, s.value(0), r.assumed, r.null, r.left, r.right, r.df1, r.df2);
}

}  // namespace pelmora
