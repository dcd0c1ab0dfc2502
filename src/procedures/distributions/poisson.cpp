#include "procedures/distributions/poisson.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"

namespace pelmora {

namespace {

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

}  // namespace

Single PoissonRateSE(Single n1, Single n2, Single rate1, Single rate2, Single difference) {
  if (difference == 0) return std::sqrt((1 / n1 + 1 / n2) * (n1 * rate1 + n2 * rate2) / (n1 + n2));
  return std::sqrt(rate1 / n1 + rate2 / n2);
}

const NormalApproximateEstimate::Lists& PoissonDistribution::EstimateLists(int choice) {
  using Lists = NormalApproximateEstimate::Lists;
  static const Lists mean = [] {
    Lists l;
    l.quantity = NormalApproximateEstimate::Quantity::PoissonMean;
    l.pointOne = Ids::PointMean;
    l.pointFirst = Ids::PointMean1;
    l.pointSecond = {Ids::PointMean2, Ids::PointMean2MinusMean1, Ids::PointMean2OverMean1};
    l.intervalOne = Ids::Mean;
    l.intervalFirst = Ids::Mean;
    l.intervalSecond = {Ids::Mean2, Ids::Mean2MinusMean1, Ids::Mean2OverMean1};
    l.size = Ids::SampleSize;
    l.size1 = Ids::SampleSize1;
    l.size2 = {Ids::SampleSize2, Ids::SampleSize2MinusSize1, Ids::SampleSize2OverSize1};
    l.secondGroup = group::Mean2;
    l.size2Group = group::SampleSize2;
    l.sizesAreCounts = true;
    return l;
  }();
  static const Lists rate = [] {
    Lists l;
    l.quantity = NormalApproximateEstimate::Quantity::PoissonMean;
    l.pointOne = Ids::PointRate;
    l.pointFirst = Ids::PointRate1;
    l.pointSecond = {Ids::PointRate2, Ids::PointRate2MinusRate1, Ids::PointRate2OverRate1};
    l.intervalOne = Ids::Rate;
    l.intervalFirst = Ids::Rate1;
    l.intervalSecond = {Ids::Rate2, Ids::Rate2MinusRate1, Ids::Rate2OverRate1};
    l.size = Ids::StudyTime;
    l.size1 = Ids::StudyTime1;
    l.size2 = {Ids::StudyTime2, Ids::StudyTime2MinusTime1, Ids::StudyTime2OverTime1};
    l.secondGroup = group::HazardRate2;
    l.size2Group = group::StudyTime2;
    l.sizesAreCounts = false;
    return l;
  }();
  return choice == 1 ? rate : mean;
}

void PoissonDistribution::InitProcedure(Session& s) {
  if (s.ProcedureKind == 0)
    InitTest(s);
  else if (s.ProcedureKind == 1 || s.ProcedureKind == 2)
    NormalApproximateEstimate::Offer(s, EstimateLists(s.ParameterChoice));
}

void PoissonDistribution::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  rate_ = s.ParameterChoice == 1;
  if (kind_ == 0)
    BuildTestList(s);
  else
    estimate_.Build(s, EstimateLists(s.ParameterChoice));
  if (s.SampleCount == 2)
    s.ParameterChoiceName = rate_ ? "Rate2 - Rate1" : "Mean2 - Mean1";
  else
    s.ParameterChoiceName = rate_ ? "Hazard Rate" : "Mean";
}

bool PoissonDistribution::CheckParameters(Session& s) {
  return kind_ == 0 ? CheckTestParameters(s) : estimate_.Check(s);
}

void PoissonDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (kind_ == 0)
    NarrowTest(s, lower, upper);
  else
    estimate_.Narrow(s, lower, upper);
}

CriterionTraits PoissonDistribution::Traits(const Session& s) const {
  CriterionTraits t = ProcedureModule::Traits(s);
  t.wholeSteps = kind_ == 0 && !twoSamples_ && exact_ && !rate_ && s.UnknownPosition == n1_;
  return t;
}

double PoissonDistribution::EvaluateCriterion(const Session& s) {
  return kind_ == 0 ? TestCriterion(s) : estimate_.Criterion(s);
}

std::optional<double> PoissonDistribution::EvaluatePower(const Session& s) {
  if (kind_ == 0) return TestPower(s);
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// The test

void PoissonDistribution::InitTest(Session& s) const {
  const bool rate = s.ParameterChoice == 1;
  OfferOption(s, option::ContinuityCorrection);
  if (s.SampleCount == 2) {
    OfferRow(s, rate ? group::HazardRate2 : group::Mean2);
    OfferRow(s, rate ? group::StudyTime2 : group::SampleSize2);
  } else {
    OfferOption(s, option::ExactCalculation);
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, rate ? group::HazardRate : group::Mean);
  }
}

void PoissonDistribution::BuildTestList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  if (twoSamples_)
    estimateMode_ = s.IntParMode[rate_ ? group::HazardRate2 : group::Mean2];
  else
    estimateMode_ = tails_ == 3 ? 0 : s.IntParMode[rate_ ? group::HazardRate : group::Mean];
  estimateMode_ = FormIndex(estimateMode_);
  size2Mode_ = FormIndex(s.IntParMode[rate_ ? group::StudyTime2 : group::SampleSize2]);
  if (twoSamples_) s.ValueMode = size2Mode_;
  continuity_ = OfferedOptionChecked(s, 0);
  exact_ = !twoSamples_ && OfferedOptionChecked(s, 1);

  h0_ = left_ = right_ = first_ = second_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  const std::size_t form = static_cast<std::size_t>(estimateMode_);
  if (!twoSamples_) {
    static constexpr std::int16_t mean[3] = {Ids::Mean, Ids::MeanMinusH0, Ids::MeanOverH0};
    static constexpr std::int16_t rate[3] = {Ids::Rate, Ids::RateMinusH0, Ids::RateOverH0};
    if (tails_ == 3) {
      left_ = put(Ids::LeftLimit);
      right_ = put(Ids::RightLimit);
    } else {
      h0_ = put(rate_ ? Ids::H0Rate : Ids::H0Mean);
    }
    first_ = put(rate_ ? rate[form] : mean[form]);
    n1_ = put(rate_ ? Ids::StudyTime : Ids::SampleSize);
  } else {
    static constexpr std::int16_t mean2[3] = {Ids::Mean2, Ids::Mean2MinusMean1, Ids::Mean2OverMean1};
    static constexpr std::int16_t rate2[3] = {Ids::Rate2, Ids::Rate2MinusRate1, Ids::Rate2OverRate1};
    static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                              Ids::SampleSize2OverSize1};
    static constexpr std::int16_t time2[3] = {Ids::StudyTime2, Ids::StudyTime2MinusTime1,
                                              Ids::StudyTime2OverTime1};
    if (tails_ == 3) {
      left_ = put(Ids::LeftDifferenceLimit);
      right_ = put(Ids::RightDifferenceLimit);
    } else {
      h0_ = put(rate_ ? Ids::H0RateDifference : Ids::H0MeanDifference);
    }
    first_ = put(rate_ ? Ids::Rate1 : Ids::Mean1);
    second_ = put(rate_ ? rate2[form] : mean2[form]);
    n1_ = put(rate_ ? Ids::StudyTime1 : Ids::SampleSize1);
    n2_ = put(rate_ ? time2[size2Mode_] : size2[size2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

const CatalogueEntry& PoissonDistribution::EstimateBounds(const Session& s) const {
  if (twoSamples_) return s.entry(rate_ ? Ids::Rate2 : Ids::Mean2);
  return s.entry(rate_ ? Ids::Rate : Ids::Mean);
}

bool PoissonDistribution::CheckTestParameters(Session& s) const {
  const CatalogueEntry& bounds = EstimateBounds(s);
  if (!twoSamples_) {
    if (tails_ != 3 &&
        !CheckRelativeValue(s, h0_, first_, bounds.ParamLowerLimit(), bounds.ParamUpperLimit(), estimateMode_))
      return false;
  } else {
    if (!CheckRelativeValue(s, first_, second_, bounds.ParamLowerLimit(), bounds.ParamUpperLimit(),
                            estimateMode_))
      return false;
    const CatalogueEntry& n2 = s.entry(rate_ ? Ids::StudyTime2 : Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void PoissonDistribution::NarrowTest(const Session& s, double& lower, double& upper) const {
  const int u = s.UnknownPosition;
  const CatalogueEntry& bounds = EstimateBounds(s);
  const double lo = bounds.ParamLowerLimit(), hi = bounds.ParamUpperLimit();
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ || u == first_) RelativeSearchIntervalTailed(s, lower, upper, h0_, lo, hi, estimateMode_);
    } else if (u == h0_ || u == first_ || u == second_) {
      MeanPairSearchInterval(s, lower, upper, s.value(h0_), h0_, lo, hi, estimateMode_);
    }
  } else {
    if (u == left_ || u == right_) LimitByNeighbour(s, left_, lower, upper);
    const double left = s.value(left_), right = s.value(right_);
    if (!twoSamples_) {
      if (u == first_) {
        // The P-value falls while the assumed value nears the point where the
        // two one-sided tests give the same P-value, with the standard
        // errors sqrt(L/n) and sqrt(R/n) at the limits, and rises beyond it.
        const double n = s.value(n1_);
        const double cc = continuity_ && !exact_ && n > 0 ? 1 / (2 * n) : 0;
        double crossing = (left + right) / 2;
        if (left > 0 && right > 0)
          crossing = ((left + cc) * std::sqrt(right) + (right - cc) * std::sqrt(left)) /
                     (std::sqrt(left) + std::sqrt(right));
        NarrowByTailReversed(s, lower, upper, crossing);
      }
    } else {
      // The two standard errors are nearly equal: the P-value is smallest
      // near the middle of the limits.
      const double mid = (left + right) / 2;
      if (u == second_) {
        RelativeSearchInterval(s, lower, upper, first_, lo, hi, estimateMode_);
        const double first = s.value(first_);
        if (estimateMode_ == 0) NarrowByTailReversed(s, lower, upper, first + mid);
        if (estimateMode_ == 1) NarrowByTailReversed(s, lower, upper, mid);
        if (estimateMode_ == 2 && first > 0) NarrowByTailReversed(s, lower, upper, 1 + mid / first);
      } else if (u == first_) {
        const double second = s.value(second_);
        NormalApproximateEstimate::NarrowBaseOfRelative(s, lower, upper, second_, lo, hi, estimateMode_);
        if (estimateMode_ == 0) NarrowByTail(s, lower, upper, second - mid);
        // The difference is first (r - 1).
        if (estimateMode_ == 2 && second > 1) NarrowByTailReversed(s, lower, upper, mid / (second - 1));
        if (estimateMode_ == 2 && second > 0 && second < 1) NarrowByTail(s, lower, upper, mid / (second - 1));
      }
    }
  }
  if (twoSamples_) {
    if (!rate_) {
      if (size2Mode_ == 1 || size2Mode_ == 2) {
        if (u == n1_) LowerBoundBaseSize(s, n2_, lower);
        if (u == n2_) LowerBoundRelativeSize(s, n1_, lower);
      }
    } else {
      const CatalogueEntry& n2 = s.entry(Ids::StudyTime2);
      if (u == n2_)
        RelativeSearchInterval(s, lower, upper, n1_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_);
      if (u == n1_)
        NormalApproximateEstimate::NarrowBaseOfRelative(s, lower, upper, n2_, n2.ParamLowerLimit(),
                                                        n2.ParamUpperLimit(), size2Mode_);
    }
  }
}

PoissonDistribution::Counts PoissonDistribution::ExactCounts(const Session& s) const {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const Single null = tails_ == 3 ? 0.0f : at(h0_);
  const Single assumed =
      tails_ == 3
          ? at(first_)
          : ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(first_), null, estimateMode_);
  const Single n = at(n1_);
  return {n * assumed, n * null, n * at(left_), n * at(right_)};
}

bool PoissonDistribution::ExactPath(const Session& s) const {
  return !twoSamples_ && exact_ && ExactCounts(s).assumed <= kExactLimit;
}

NormalStatistic PoissonDistribution::NormalPath(const Session& s) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  NormalStatistic statistic;
  ZArguments& z = statistic.z;
  z.left = at(left_);
  z.right = at(right_);
  statistic.ownErrors = tails_ == 3;
  if (!twoSamples_) {
    const Single n = at(n1_);
    z.null = tails_ == 3 ? 0.0f : at(h0_);
    z.x = tails_ == 3 ? at(first_)
                      : ResolveRelativeValue(v, static_cast<std::int16_t>(first_), z.null, estimateMode_);
    z.cc = continuity_ ? 1 / (2 * n) : 0.0f;
    if (tails_ == 3) {
      statistic.seLeft = std::sqrt(z.left / n);
      statistic.seRight = std::sqrt(z.right / n);
    } else {
      z.se = std::sqrt(z.null / n);
    }
    return statistic;
  }
  const Single rate1 = at(first_);
  const Single rate2 = ResolveRelativeValue(v, static_cast<std::int16_t>(second_), rate1, estimateMode_);
  const Single n1 = at(n1_);
  const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
  z.x = rate2 - rate1;
  z.cc = continuity_ ? (1 / n1 + 1 / n2) / 2 : 0.0f;
  if (tails_ == 3) {
    statistic.seLeft = PoissonRateSE(n1, n2, rate1, rate2, z.left);
    statistic.seRight = PoissonRateSE(n1, n2, rate1, rate2, z.right);
  } else {
    z.null = at(h0_);
    z.se = PoissonRateSE(n1, n2, rate1, rate2, 0);
  }
  return statistic;
}

double PoissonDistribution::TestCriterion(const Session& s) const {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p;
  if (ExactPath(s)) {
    const Counts c = ExactCounts(s);
    p = PValuePoisson(sides, c.assumed, c.null, c.left, c.right);
  } else {
    p = PValueZ(sides, NormalPath(s));
  }
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> PoissonDistribution::TestPower(const Session& s) const {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (ExactPath(s)) {
    const Counts c = ExactCounts(s);
    return PowerOfPoissonTest(sides, s.value(0), c.assumed, c.null, c.left, c.right);
  }
  return PowerOfZTest(sides, s.value(0), NormalPath(s));
}

}  // namespace pelmora
