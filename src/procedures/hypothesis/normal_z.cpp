#include "procedures/hypothesis/normal_z.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"

namespace pelmora {

void OfferMeanTestRows(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Mean);
  } else {
    OfferRow(s, group::Mean2);
    OfferRow(s, group::StdDeviation2);
    OfferRow(s, group::SampleSize2);
  }
}

void NarrowDifferenceToMidpoint(const Session& s, double& lower, double& upper, double mid, int difference,
                                int m1, int m2, std::int16_t mode) {
  const int u = s.UnknownPosition;
  if (u == difference) {
    NarrowByTailReversed(s, lower, upper, mid);
    return;
  }
  if (u != m1 && u != m2) return;
  const double first = s.value(m1), second = s.value(m2);
  if (mode == 0) {
    if (u == m2) NarrowByTailReversed(s, lower, upper, first + mid);
    if (u == m1) NarrowByTail(s, lower, upper, second - mid);
  } else if (mode == 2) {
    // The difference is m1 (r - 1).
    if (u == m2 && first != 0) {
      if (first > 0)
        NarrowByTailReversed(s, lower, upper, 1 + mid / first);
      else
        NarrowByTail(s, lower, upper, 1 + mid / first);
    }
    if (u == m1 && second != 1) {
      if (second > 1)
        NarrowByTailReversed(s, lower, upper, mid / (second - 1));
      else
        NarrowByTail(s, lower, upper, mid / (second - 1));
    }
  }
}

void NarrowRatioToMidpoint(const Session& s, double& lower, double& upper, double mid, int ratio, int q1,
                           int q2) {
  const int u = s.UnknownPosition;
  if (u == ratio) NarrowByTailReversed(s, lower, upper, mid);
  if (u == q2) NarrowByTailReversed(s, lower, upper, s.value(q1) * mid);
  if (u == q1) NarrowByTail(s, lower, upper, s.value(q2) / mid);
}

void NarrowLocationTest(Session& s, double& lower, double& upper, bool twoSamples, std::int16_t mode,
                        const LocationPositions& at) {
  const int u = s.UnknownPosition;
  if (!twoSamples) {
    if (u == at.h0 && mode == 1) {
      lower = upper;  // the estimate moves with H0: the P-value does not depend on it
    } else if (u == at.h0 || u == at.estimate) {
      RelativeSearchIntervalTailed(s, lower, upper, at.h0, -99999, 99999, mode);
    }
  } else if (mode == 1) {
    if (u == at.estimate) NarrowByTailReversed(s, lower, upper, s.value(at.h0));
    if (u == at.h0) NarrowByTail(s, lower, upper, s.value(at.estimate));
  } else if (u == at.h0 || u == at.first || u == at.second) {
    MeanPairSearchInterval(s, lower, upper, s.value(at.h0), at.h0, -99999, 99999, mode);
  }
}

void NarrowLimitByEstimate(const Session& s, double& lower, double& upper, int left, int right, double x) {
  if (s.UnknownPosition == left) upper = MinOf(upper, x);
  if (s.UnknownPosition == right) lower = MaxOf(lower, x);
}

void NarrowSampleSizes(const Session& s, double& lower, int n1, int n2, std::int16_t size2Mode) {
  if (size2Mode != 1 && size2Mode != 2) return;
  if (s.UnknownPosition == n1) LowerBoundBaseSize(s, n2, lower);
  if (s.UnknownPosition == n2) LowerBoundRelativeSize(s, n1, lower);
}

void NormalZ::InitProcedure(Session& s) { OfferMeanTestRows(s); }

void NormalZ::BuildParameterList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  meanMode_ = RowMode(s, 0);
  if (meanMode_ < 0 || meanMode_ > 2 || (!twoSamples_ && tails_ == 3)) meanMode_ = 0;
  sd2Mode_ = twoSamples_ ? RowMode(s, 1) : 0;
  if (sd2Mode_ < 0 || sd2Mode_ > 2) sd2Mode_ = 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = mean1_ = mean2_ = sd_ = sd2_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (tails_ == 3) {
    left_ = put(Ids::LeftLimit);
    right_ = put(Ids::RightLimit);
  }
  if (!twoSamples_) {
    static constexpr std::int16_t est[3] = {Ids::Mean, Ids::MeanMinusH0, Ids::MeanOverH0};
    if (tails_ != 3) h0_ = put(Ids::H0Mean);
    estimate_ = put(est[meanMode_]);
    sd_ = put(Ids::Sd);
    n1_ = put(Ids::SampleSize);
  } else {
    static constexpr std::int16_t sd2[3] = {Ids::Sd2, Ids::Sd2MinusSd1, Ids::Sd2OverSd1};
    static constexpr std::int16_t n2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                           Ids::SampleSize2OverSize1};
    if (tails_ != 3) h0_ = put(Ids::H0Diff);
    if (meanMode_ == 1) {
      estimate_ = put(Ids::Diff);
    } else {
      mean1_ = put(Ids::Mean1);
      mean2_ = put(meanMode_ == 2 ? Ids::Mean2OverMean1 : Ids::Mean2);
    }
    sd_ = put(Ids::Sd1);
    sd2_ = put(sd2[sd2Mode_]);
    n1_ = put(Ids::SampleSize1);
    n2_ = put(n2[size2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool NormalZ::CheckParameters(Session& s) {
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
    const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
    if (!CheckRelativeValue(s, sd_, sd2_, sd2.ParamLowerLimit(), sd2.ParamUpperLimit(), sd2Mode_)) return false;
  } else if (tails_ != 3) {
    const CatalogueEntry& mean = s.entry(Ids::Mean);
    if (!CheckRelativeValue(s, h0_, estimate_, mean.ParamLowerLimit(), mean.ParamUpperLimit(), meanMode_))
      return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void NormalZ::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    NarrowLocationTest(s, lower, upper, twoSamples_, meanMode_, {h0_, estimate_, mean1_, mean2_});
  } else {
    const double mid = (s.value(left_) + s.value(right_)) / 2;
    NarrowDifferenceToMidpoint(s, lower, upper, mid, estimate_, mean1_, mean2_, meanMode_);
    if (u == left_ || u == right_) {
      Single estimate = 0, null = 0;
      Estimate(s, estimate, null);
      NarrowLimitByEstimate(s, lower, upper, left_, right_, estimate);
    }
  }
  if (twoSamples_) {
    if (u == sd2_) {
      const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
      RelativeSearchInterval(s, lower, upper, sd_, sd2.ParamLowerLimit(), sd2.ParamUpperLimit(), sd2Mode_);
    }
    NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
  }
}

void NormalZ::Estimate(const Session& s, Single& estimate, Single& null) const {
  const auto& v = s.ParameterValues;
  null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
  if (!twoSamples_) {
    estimate = ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), null, meanMode_);
  } else if (meanMode_ == 1) {
    estimate = ToSingle(s.value(estimate_));
  } else {
    const Single m1 = ToSingle(s.value(mean1_));
    estimate = ResolveRelativeValue(v, static_cast<std::int16_t>(mean2_), m1, meanMode_) - m1;
  }
}

Single NormalZ::StandardError(const Session& s) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  if (!twoSamples_) return at(sd_) / std::sqrt(at(n1_));
  const Single sd1 = at(sd_);
  const Single sd2 = ResolveRelativeValue(v, static_cast<std::int16_t>(sd2_), sd1, sd2Mode_);
  const Single n1 = at(n1_);
  const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
  return std::sqrt(sd2 * sd2 / n2 + sd1 * sd1 / n1);
}

double NormalZ::EvaluateCriterion(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  const Single se = StandardError(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, estimate, null, se, at(left_), at(right_), 0.0f)) - s.value(0);
}

std::optional<double> NormalZ::EvaluatePower(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), estimate, null, StandardError(s), at(left_), at(right_), 0.0f);
}

std::optional<StandardisedEffect> NormalZ::Effect(const Session& s) const {
  if (tails_ == 3 || sd_ < 0) return std::nullopt;
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  double sd = s.value(sd_);
  if (twoSamples_ && sd2_ >= 0) {
    const double sd2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(sd2_), ToSingle(sd), sd2Mode_);
    sd = std::sqrt((sd * sd + sd2 * sd2) / 2);
  }
  return StandardisedEffect{"d", (static_cast<double>(estimate) - null) / sd};
}

}  // namespace pelmora
