#include "procedures/tests/test_s2.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "procedures/tests/groups.h"
#include "procedures/tests/test_nor.h"
#include "session/checks.h"

namespace pelmora {

bool TestS2::MeanKnown(const Session& s) {
  return s.IsTestProcedure == kFalse && s.DistributionIndex == kNormalDistribution &&
         s.ParameterChoice == kStdDevMeanKnown;
}

void TestS2::InitProcedure(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    // Two one-sided tests take the assumed standard deviation as a value only.
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::StdDeviationStar);
  } else {
    OfferRow(s, group::StdDeviationRatio);
    OfferRow(s, group::SampleSize2);
  }
}

void TestS2::BuildParameterList(Session& s) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  meanKnown_ = MeanKnown(s);
  sdMode_ = RowMode(s, 0);
  // One sample: value, difference or ratio to H0; two samples: both SDs or their ratio.
  if (sdMode_ < 0 || sdMode_ > (twoSamples_ ? 1 : 2) || (!twoSamples_ && tails_ == 3)) sdMode_ = 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = sd1_ = sd2_ = n1_ = n2_ = -1;
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
    static constexpr std::int16_t est[3] = {Ids::Sd, Ids::SdMinusH0, Ids::SdOverH0};
    if (tails_ != 3) h0_ = put(Ids::H0Sd);
    estimate_ = put(est[sdMode_]);
    n1_ = put(Ids::SampleSize);
  } else {
    static constexpr std::int16_t n2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                           Ids::SampleSize2OverSize1};
    if (tails_ != 3) h0_ = put(Ids::H0Ratio);
    if (sdMode_ == 1) {
      estimate_ = put(Ids::Ratio);
    } else {
      sd1_ = put(Ids::Sd1);
      sd2_ = put(Ids::Sd2);
    }
    n1_ = put(Ids::SampleSize1);
    n2_ = put(n2[size2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool TestS2::CheckParameters(Session& s) {
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit, n2.ParamUpperLimit, size2Mode_)) return false;
  } else if (tails_ != 3) {
    // A difference to H0 must leave a positive standard deviation.
    const CatalogueEntry& sd = s.entry(Ids::Sd);
    if (!CheckRelativeValue(s, h0_, estimate_, sd.ParamLowerLimit, sd.ParamUpperLimit, sdMode_)) return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void TestS2::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ && sdMode_ == 2) {
        lower = upper;  // SD* / H0 fixed: the statistic does not depend on H0
      } else if (u == h0_ || u == estimate_) {
        const CatalogueEntry& sd = s.entry(Ids::Sd);
        RelativeSearchIntervalTailed(s, lower, upper, h0_, sd.ParamLowerLimit, sd.ParamUpperLimit, sdMode_);
      }
    } else {
      ScaleSearchInterval(s, lower, upper, h0_, sdMode_);
    }
  } else {
    if (u == estimate_ || u == sd1_ || u == sd2_)
      NarrowRatioToMidpoint(s, lower, upper, EquivalenceMiddle(s), estimate_, sd1_, sd2_);
    if (u == left_ || u == right_) NarrowLimitByEstimate(s, lower, upper, left_, right_, Estimate(s));
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

double TestS2::EquivalenceMiddle(const Session& s) const {
  // Below a the P-value against the left limit exceeds the requested one,
  // above b the P-value against the right limit does; between them both are
  // smaller.  The chi-square and F statistics are skewed, so the middle of the
  // limits themselves would not separate the two roots.
  const Single alpha = ToSingle(s.value(0));
  const Single left = ToSingle(s.value(left_)), right = ToSingle(s.value(right_));
  const Single n1 = ToSingle(s.value(n1_));
  const Single df1 = meanKnown_ ? n1 : n1 - 1;
  Single a = 0, b = 0;
  if (!twoSamples_) {
    a = left * std::sqrt(ChiSquareQuantile(1 - alpha, df1) / df1);
    b = right * std::sqrt(ChiSquareQuantile(alpha, df1) / df1);
  } else {
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    const Single df2 = meanKnown_ ? n2 : n2 - 1;
    a = left * std::sqrt(FQuantile(1 - alpha, df2, df1));
    b = right * std::sqrt(FQuantile(alpha, df2, df1));
  }
  return std::sqrt(static_cast<double>(a) * b);
}

Single TestS2::Estimate(const Session& s) const {
  if (!twoSamples_) {
    const Single null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
    return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(estimate_), null, sdMode_);
  }
  if (sdMode_ == 1) return ToSingle(s.value(estimate_));
  return ToSingle(s.value(sd2_)) / ToSingle(s.value(sd1_));
}

double TestS2::EvaluateCriterion(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const Single h0 = at(h0_), left = at(left_), right = at(right_);
  const Single estimate = Estimate(s);
  const Single n1 = at(n1_);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p = 0;
  if (!twoSamples_) {
    const Single df = meanKnown_ ? n1 : n1 - 1;
    p = PValueChiSquare(sides, df * estimate * estimate, h0 * h0, left * left, right * right, df);
  } else {
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    const Single df1 = meanKnown_ ? n1 : n1 - 1;
    const Single df2 = meanKnown_ ? n2 : n2 - 1;
    p = PValueF(sides, estimate * estimate, h0 * h0, left * left, right * right, df1, df2);
  }
  return static_cast<double>(p) - s.value(0);
}

}  // namespace pelmora
