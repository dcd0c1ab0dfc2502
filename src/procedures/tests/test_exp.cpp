#include "procedures/tests/test_exp.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/tests/groups.h"
#include "procedures/tests/test_nor.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

// ---- Location, scale known --------------------------------------------------

void TestExpLoc::InitProcedure(Session& s) {
  // The location has no two-sample form.
  DisableTwoSamples(s);
  s.IntParRowCount = 0;
  // Two one-sided tests take the assumed location as a value only.
  if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Location);
}

void TestExpLoc::BuildParameterList(Session& s) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  tails_ = s.TailCount;
  locationMode_ = s.IntParMode[group::Location];
  if (locationMode_ < 0 || locationMode_ > 2 || tails_ == 3) locationMode_ = 0;

  h0_ = left_ = right_ = estimate_ = scale_ = n_ = -1;
  int p = 2;
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (tails_ == 3) {
    left_ = put(Ids::LeftLimit);
    right_ = put(Ids::RightLimit);
  } else {
    h0_ = put(Ids::H0Location);
  }
  static constexpr std::int16_t est[3] = {Ids::Location, Ids::LocationMinusH0, Ids::LocationOverH0};
  estimate_ = put(est[locationMode_]);
  scale_ = put(Ids::Scale);
  n_ = put(Ids::SampleSize);
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool TestExpLoc::CheckParameters(Session& s) {
  if (tails_ != 3) {
    const CatalogueEntry& location = s.entry(Ids::Location);
    return CheckRelativeValue(s, h0_, estimate_, location.ParamLowerLimit, location.ParamUpperLimit,
                              locationMode_);
  }
  return CheckOrderedPair(s, right_);
}

void TestExpLoc::SetSearchInterval(Session& s, double& lower, double& upper) {
  // The sample minimum under a location v has its median at v + c, with
  // c = ln 2 x scale / n: there both one-sided P-values are 1/2.  That median
  // takes the place of the null value: the estimate is kept above it (below
  // it when rejecting in the left tail), so that of the two roots of the
  // two-sided P-value the one on the rejection side is found.
  const int u = s.UnknownPosition;
  const double ln2 = std::log(2.0);
  auto close = [&] { lower = upper; };
  if (tails_ != 3) {
    const double h0 = s.value(h0_), entered = s.value(estimate_);
    if (u == estimate_ || u == h0_) {
      const double c = ln2 * s.value(scale_) / s.value(n_);
      if (u == estimate_) {
        if (locationMode_ == 0) NarrowByTailReversed(s, lower, upper, h0 + c);
        if (locationMode_ == 1) NarrowByTailReversed(s, lower, upper, c);
        if (locationMode_ == 2) {
          // The excess over H0 is H0 (r - 1).
          if (h0 > 0)
            NarrowByTailReversed(s, lower, upper, 1 + c / h0);
          else if (h0 < 0)
            NarrowByTail(s, lower, upper, 1 + c / h0);
          else
            close();
        }
      } else {
        if (locationMode_ == 0) NarrowByTail(s, lower, upper, entered - c);
        if (locationMode_ == 1) close();  // the excess over H0 is fixed: the P-value does not depend on H0
        if (locationMode_ == 2) {
          if (entered > 1)
            NarrowByTailReversed(s, lower, upper, c / (entered - 1));
          else if (entered < 1)
            NarrowByTail(s, lower, upper, c / (entered - 1));
          else
            close();
        }
      }
    } else if (u == scale_ || u == n_) {
      // n (x - H0) / scale stays above ln 2 (below it in the left tail).
      Single estimate = 0, null = 0;
      Estimate(s, estimate, null);
      const double excess = static_cast<double>(estimate) - null;
      if (excess > 0) {
        if (u == scale_) NarrowByTail(s, lower, upper, s.value(n_) * excess / ln2);
        if (u == n_) NarrowByTailReversed(s, lower, upper, ln2 * s.value(scale_) / excess);
      } else if (s.RejectInLeftTail == kFalse) {
        close();  // the minimum at or below H0: the upper-tail P-value is 1
      }
    }
  } else {
    const double left = s.value(left_), right = s.value(right_);
    if (u == estimate_) {
      // Below x1 the P-value against the left limit exceeds the requested
      // one, above x2 that against the right limit does.
      const double alpha = s.value(0), spread = s.value(scale_) / s.value(n_);
      const double x1 = left - spread * std::log(alpha);
      const double x2 = right - spread * std::log(1 - alpha);
      NarrowByTailReversed(s, lower, upper, (x1 + x2) / 2);
    } else if (u == left_ || u == right_) {
      // Each limit's median stays on its own side of the estimate.
      const double c = ln2 * s.value(scale_) / s.value(n_);
      NarrowLimitByEstimate(s, lower, upper, left_, right_, s.value(estimate_) - c);
    }
  }
}

void TestExpLoc::Estimate(const Session& s, Single& estimate, Single& null) const {
  null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
  estimate =
      ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(estimate_), null, locationMode_);
}

double TestExpLoc::EvaluateCriterion(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  // The scale of the sample minimum.
  const Single scale = at(scale_) / at(n_);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueExponential(sides, estimate, null, scale, at(left_), at(right_))) -
         s.value(0);
}

}  // namespace pelmora

namespace pelmora {

// ---- Scale -----------------------------------------------------------------

bool TestExpScale::LocationUnknown(const Session& s) {
  return s.IsTestProcedure == kFalse && s.DistributionIndex == kExponentialDistribution &&
         s.ParameterChoice == kScaleLocationUnknown;
}

void TestExpScale::InitProcedure(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    // Two one-sided tests take the assumed scale as a value only.
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Scale);
  } else {
    OfferRow(s, group::Scale2);
    OfferRow(s, group::SampleSize2);
  }
}

void TestExpScale::BuildParameterList(Session& s) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  locationUnknown_ = LocationUnknown(s);
  // One sample: value, difference or ratio to H0; two samples: both scales or their ratio.
  scaleMode_ = s.IntParMode[twoSamples_ ? group::Scale2 : group::Scale];
  if (scaleMode_ < 0 || scaleMode_ > (twoSamples_ ? 1 : 2) || (!twoSamples_ && tails_ == 3)) scaleMode_ = 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = scale1_ = scale2_ = n1_ = n2_ = -1;
  int p = 2;
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (tails_ == 3) {
    left_ = put(Ids::LeftLimit);
    right_ = put(Ids::RightLimit);
  }
  if (!twoSamples_) {
    static constexpr std::int16_t est[3] = {Ids::Scale, Ids::ScaleMinusH0, Ids::ScaleOverH0};
    if (tails_ != 3) h0_ = put(Ids::H0Scale);
    estimate_ = put(est[scaleMode_]);
    n1_ = put(Ids::SampleSize);
  } else {
    static constexpr std::int16_t n2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                           Ids::SampleSize2OverSize1};
    if (tails_ != 3) h0_ = put(Ids::H0Ratio);
    if (scaleMode_ == 1) {
      estimate_ = put(Ids::Ratio);
    } else {
      scale1_ = put(Ids::Scale1);
      scale2_ = put(Ids::Scale2);
    }
    n1_ = put(Ids::SampleSize1);
    n2_ = put(n2[size2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool TestExpScale::CheckParameters(Session& s) {
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit, n2.ParamUpperLimit, size2Mode_)) return false;
  } else if (tails_ != 3) {
    // A difference to H0 must leave a positive scale.
    const CatalogueEntry& scale = s.entry(Ids::Scale);
    if (!CheckRelativeValue(s, h0_, estimate_, scale.ParamLowerLimit, scale.ParamUpperLimit, scaleMode_))
      return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void TestExpScale::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ && scaleMode_ == 2) {
        lower = upper;  // Scale* / H0 fixed: the statistic does not depend on H0
      } else if (u == h0_ || u == estimate_) {
        const CatalogueEntry& scale = s.entry(Ids::Scale);
        RelativeSearchIntervalTailed(s, lower, upper, h0_, scale.ParamLowerLimit, scale.ParamUpperLimit,
                                     scaleMode_);
      }
    } else {
      ScaleSearchInterval(s, lower, upper, h0_, scaleMode_);
    }
  } else {
    if (u == estimate_ || u == scale1_ || u == scale2_)
      NarrowRatioToMidpoint(s, lower, upper, EquivalenceMiddle(s), estimate_, scale1_, scale2_);
    if (u == left_ || u == right_) NarrowLimitByEstimate(s, lower, upper, left_, right_, Estimate(s));
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

Single TestExpScale::DegreesOfFreedom(Single n) const { return locationUnknown_ ? 2 * (n - 1) : 2 * n; }

double TestExpScale::EquivalenceMiddle(const Session& s) const {
  // Below a the P-value against the left limit exceeds the requested one,
  // above b the P-value against the right limit does; between them both are
  // smaller.  The statistics are skewed, so the middle of the limits
  // themselves would not separate the two roots.
  const Single alpha = ToSingle(s.value(0));
  const Single left = ToSingle(s.value(left_)), right = ToSingle(s.value(right_));
  const Single df1 = DegreesOfFreedom(ToSingle(s.value(n1_)));
  Single a = 0, b = 0;
  if (!twoSamples_) {
    a = left * ChiSquareQuantile(1 - alpha, df1) / df1;
    b = right * ChiSquareQuantile(alpha, df1) / df1;
  } else {
    const Single n1 = ToSingle(s.value(n1_));
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    const Single df2 = DegreesOfFreedom(n2);
    a = left * FQuantile(1 - alpha, df2, df1);
    b = right * FQuantile(alpha, df2, df1);
  }
  return std::sqrt(static_cast<double>(a) * b);
}

Single TestExpScale::Estimate(const Session& s) const {
  if (!twoSamples_) {
    const Single null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
    return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(estimate_), null, scaleMode_);
  }
  if (scaleMode_ == 1) return ToSingle(s.value(estimate_));
  return ToSingle(s.value(scale2_)) / ToSingle(s.value(scale1_));
}

double TestExpScale::EvaluateCriterion(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const Single h0 = at(h0_), left = at(left_), right = at(right_);
  const Single estimate = Estimate(s);
  const Single n1 = at(n1_);
  const Single df1 = DegreesOfFreedom(n1);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p = 0;
  if (!twoSamples_) {
    p = PValueChiSquare(sides, df1 * estimate, h0, left, right, df1);
  } else {
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    p = PValueF(sides, estimate, h0, left, right, df1, DegreesOfFreedom(n2));
  }
  return static_cast<double>(p) - s.value(0);
}

}  // namespace pelmora
