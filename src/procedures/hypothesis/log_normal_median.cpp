#include "procedures/hypothesis/log_normal_median.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"

namespace pelmora {

int LogMedianTest::ListParameters(Session& s, const ShapeIds& ids, bool separateShapes) {
  twoSamples_ = s.SampleCount == 2;
  separateShapes_ = twoSamples_ && separateShapes;
  tails_ = s.TailCount;
  // One sample: the median, its difference or its ratio to H0 (the value only
  // for two one-sided tests); two samples: both medians or their ratio.
  medianMode_ = RowMode(s, 0);
  if (medianMode_ < 0 || medianMode_ > (twoSamples_ ? 1 : 2) || (!twoSamples_ && tails_ == 3))
    medianMode_ = 0;
  shape2Mode_ = separateShapes_ ? RowMode(s, 1) : 0;
  if (shape2Mode_ < 0 || shape2Mode_ > 2) shape2Mode_ = 0;
  shape2Id_ = ids.second[0];
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = median1_ = median2_ = shape_ = shape2_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (tails_ == 3) {
    left_ = put(MedianIds::LeftLimit);
    right_ = put(MedianIds::RightLimit);
  }
  if (!twoSamples_) {
    static constexpr std::int16_t est[3] = {MedianIds::Median, MedianIds::MedianMinusH0,
                                            MedianIds::MedianOverH0};
    if (tails_ != 3) h0_ = put(MedianIds::H0Median);
    estimate_ = put(est[medianMode_]);
    shape_ = put(ids.single);
    n1_ = put(MedianIds::SampleSize);
  } else {
    static constexpr std::int16_t n2[3] = {MedianIds::SampleSize2, MedianIds::SampleSize2MinusSize1,
                                           MedianIds::SampleSize2OverSize1};
    if (tails_ != 3) h0_ = put(MedianIds::H0Ratio);
    if (medianMode_ == 1) {
      estimate_ = put(MedianIds::Ratio);
    } else {
      median1_ = put(MedianIds::Median1);
      median2_ = put(MedianIds::Median2);
    }
    if (separateShapes_) {
      shape_ = put(ids.first);
      shape2_ = put(ids.second[static_cast<std::size_t>(shape2Mode_)]);
    } else {
      shape_ = put(ids.single);
    }
    n1_ = put(MedianIds::SampleSize1);
    n2_ = put(n2[size2Mode_]);
  }
  return p;
}

bool LogMedianTest::CheckParameters(Session& s) {
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(MedianIds::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
    if (separateShapes_) {
      const CatalogueEntry& shape2 = s.entry(shape2Id_);
      if (!CheckRelativeValue(s, shape_, shape2_, shape2.ParamLowerLimit(), shape2.ParamUpperLimit(),
                              shape2Mode_))
        return false;
    }
  } else if (tails_ != 3) {
    // A difference to H0 must leave a positive median.
    const CatalogueEntry& median = s.entry(MedianIds::Median);
    if (!CheckRelativeValue(s, h0_, estimate_, median.ParamLowerLimit(), median.ParamUpperLimit(), medianMode_))
      return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void LogMedianTest::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ && medianMode_ == 2) {
        lower = upper;  // Median* / H0 fixed: the log difference does not depend on H0
      } else if (u == h0_ || u == estimate_) {
        const CatalogueEntry& median = s.entry(MedianIds::Median);
        RelativeSearchIntervalTailed(s, lower, upper, h0_, median.ParamLowerLimit(), median.ParamUpperLimit(),
                                     medianMode_);
      }
    } else {
      ScaleSearchInterval(s, lower, upper, h0_, medianMode_);
    }
  } else {
    // The log-scale statistic is symmetric: the geometric middle of the limits
    // separates the two roots.
    const double mid = std::sqrt(s.value(left_) * s.value(right_));
    NarrowRatioToMidpoint(s, lower, upper, mid, estimate_, median1_, median2_);
    if (u == left_ || u == right_) NarrowLimitByEstimate(s, lower, upper, left_, right_, AssumedValue(s));
  }
  if (separateShapes_ && u == shape2_) {
    const CatalogueEntry& shape2 = s.entry(shape2Id_);
    RelativeSearchInterval(s, lower, upper, shape_, shape2.ParamLowerLimit(), shape2.ParamUpperLimit(),
                           shape2Mode_);
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

Single LogMedianTest::AssumedValue(const Session& s) const {
  if (!twoSamples_) {
    const Single null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
    return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(estimate_), null, medianMode_);
  }
  if (medianMode_ == 1) return ToSingle(s.value(estimate_));
  return ToSingle(s.value(median2_)) / ToSingle(s.value(median1_));
}

void LogMedianTest::LogEstimate(const Session& s, Single& estimate, Single& null) const {
  null = tails_ != 3 ? std::log(ToSingle(s.value(h0_))) : 0.0f;
  if (twoSamples_ && medianMode_ != 1)
    estimate = std::log(ToSingle(s.value(median2_))) - std::log(ToSingle(s.value(median1_)));
  else
    estimate = std::log(AssumedValue(s));
}

void LogMedianTest::LogLimits(const Session& s, Single& left, Single& right) const {
  left = right = 0;
  if (tails_ != 3) return;
  left = std::log(ToSingle(s.value(left_)));
  right = std::log(ToSingle(s.value(right_)));
}

void LogMedianTest::ShapesAndSizes(const Session& s, Single& shape1, Single& shape2, Single& n1,
                                   Single& n2) const {
  shape1 = ToSingle(s.value(shape_));
  shape2 = separateShapes_ ? ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(shape2_),
                                                  shape1, shape2Mode_)
                           : shape1;
  n1 = ToSingle(s.value(n1_));
  n2 = twoSamples_ ? ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_)
                   : 0.0f;
}

void LogNormalMedian::InitProcedure(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Median);
  } else {
    OfferRow(s, group::Median2);
    OfferRow(s, group::Shape2);
    OfferRow(s, group::SampleSize2);
  }
}

void LogNormalMedian::BuildParameterList(Session& s) {
  static constexpr ShapeIds shapes{
      Ids::Shape, Ids::Shape1, {Ids::Shape2, Ids::Shape2MinusShape1, Ids::Shape2OverShape1}};
  const int next = ListParameters(s, shapes, true);
  s.LastPosition = static_cast<std::int16_t>(next - 1);
}

Single LogNormalMedian::StandardError(const Session& s) const {
  Single shape1 = 0, shape2 = 0, n1 = 0, n2 = 0;
  ShapesAndSizes(s, shape1, shape2, n1, n2);
  return twoSamples_ ? std::sqrt(shape2 * shape2 / n2 + shape1 * shape1 / n1) : shape1 / std::sqrt(n1);
}

double LogNormalMedian::EvaluateCriterion(const Session& s) {
  Single estimate = 0, null = 0, left = 0, right = 0;
  LogEstimate(s, estimate, null);
  LogLimits(s, left, right);
  const Single se = StandardError(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, estimate, null, se, left, right, 0.0f)) - s.value(0);
}

std::optional<double> LogNormalMedian::EvaluatePower(const Session& s) {
  Single estimate = 0, null = 0, left = 0, right = 0;
  LogEstimate(s, estimate, null);
  LogLimits(s, left, right);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), estimate, null, StandardError(s), left, right, 0.0f);
}

}  // namespace pelmora
