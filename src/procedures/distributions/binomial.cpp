#include "procedures/distributions/binomial.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/binomial_proportions.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

}  // namespace

// ---------------------------------------------------------------------------
// NormalApproximateEstimate

void NormalApproximateEstimate::NarrowBaseOfRelative(const Session& s, double& lower, double& upper, int q,
                                                     double lo, double hi, std::int16_t mode) {
  const double x = s.value(q);
  if (mode == 1) {
    lower = MaxOf(lower, lo - x);
    upper = MinOf(upper, hi - x);
  } else if (mode == 2) {
    if (x > 0) {
      lower = MaxOf(lower, lo / x);
      upper = MinOf(upper, hi / x);
    } else if (x < 0) {
      lower = MaxOf(lower, hi / x);
      upper = MinOf(upper, lo / x);
    } else if (lo > 0 || hi < 0) {
      lower = upper;  // a ratio of 0 never reaches the bounds
    }
  }
}

void NormalApproximateEstimate::Offer(Session& s, const Lists& lists) {
  OfferOption(s, option::ContinuityCorrection);
  if (s.SampleCount == 2) {
    OfferRow(s, lists.secondGroup);
    OfferRow(s, lists.size2Group);
  }
  if (s.ProcedureKind == 2) OfferRow(s, group::ConfInterval);
}

void NormalApproximateEstimate::Build(Session& s, const Lists& lists) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  lists_ = lists;
  kind_ = 0;
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  continuity_ = OfferedOptionChecked(s, 0);
  secondMode_ = FormIndex(s.IntParMode[static_cast<std::size_t>(lists.secondGroup)]);
  size2Mode_ = FormIndex(s.IntParMode[static_cast<std::size_t>(lists.size2Group)]);
  intervalKind_ = FormIndex(s.IntParMode[group::ConfInterval]);
  if (twoSamples_) s.ValueMode = size2Mode_;
  error_ = first_ = second_ = limit_ = n1_ = n2_ = -1;

  int p = 2;
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  auto putSizes = [&] {
    if (!twoSamples_) {
      n1_ = put(lists.size);
    } else {
      n1_ = put(lists.size1);
      n2_ = put(lists.size2[static_cast<std::size_t>(size2Mode_)]);
    }
  };
  const std::int16_t kind = s.ProcedureKind;
  if (kind == 1 && (tails_ == 1 || tails_ == 2)) {
    // Position 1 has no row in the Calculation window: it keeps its own id,
    // and the error asked for stands at position 2, where it can be typed.
    s.ParameterList[0] = Ids::ErrorLevel;
    error_ = put(tails_ == 1 ? Ids::UpperAbsoluteError : Ids::AbsoluteError);
    if (!twoSamples_) {
      first_ = put(lists.pointOne);
    } else {
      first_ = put(lists.pointFirst);
      second_ = put(lists.pointSecond[static_cast<std::size_t>(secondMode_)]);
    }
    putSizes();
  } else if (kind == 2) {
    static constexpr std::int16_t limit[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::WidthOfInterval};
    s.ParameterList[0] = Ids::ConfidenceLevel;
    s.ParameterList[1] = Ids::ProbWidthBelow;
    if (!twoSamples_) {
      first_ = put(lists.intervalOne);
    } else {
      first_ = put(lists.intervalFirst);
      second_ = put(lists.intervalSecond[static_cast<std::size_t>(secondMode_)]);
    }
    limit_ = put(limit[intervalKind_]);
    putSizes();
  } else {
    // No estimate of this kind: nothing beyond positions 0 and 1, and nothing to solve.
    s.LastPosition = 1;
    return;
  }
  kind_ = kind;
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool NormalApproximateEstimate::Check(Session& s) const {
  if (kind_ == 0 || !twoSamples_) return true;
  const CatalogueEntry& second = s.entry(kind_ == 1 ? lists_.pointSecond[0] : lists_.intervalSecond[0]);
  if (!CheckRelativeValue(s, first_, second_, second.ParamLowerLimit(), second.ParamUpperLimit(), secondMode_))
    return false;
  const CatalogueEntry& n2 = s.entry(lists_.size2[0]);
  return CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_);
}

void NormalApproximateEstimate::Narrow(const Session& s, double& lower, double& upper) const {
  if (kind_ == 0) {
    lower = upper;
    return;
  }
  const int u = s.UnknownPosition;
  if (twoSamples_) {
    const CatalogueEntry& second = s.entry(kind_ == 1 ? lists_.pointSecond[0] : lists_.intervalSecond[0]);
    if (u == second_)
      RelativeSearchInterval(s, lower, upper, first_, second.ParamLowerLimit(), second.ParamUpperLimit(),
                             secondMode_);
    if (u == first_)
      NarrowBaseOfRelative(s, lower, upper, second_, second.ParamLowerLimit(), second.ParamUpperLimit(),
                           secondMode_);
    if (lists_.sizesAreCounts) {
      if (size2Mode_ == 1 || size2Mode_ == 2) {
        if (u == n1_) LowerBoundBaseSize(s, n2_, lower);
        if (u == n2_) LowerBoundRelativeSize(s, n1_, lower);
      }
    } else {
      const CatalogueEntry& n2 = s.entry(lists_.size2[0]);
      if (u == n2_)
        RelativeSearchInterval(s, lower, upper, n1_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_);
      if (u == n1_)
        NarrowBaseOfRelative(s, lower, upper, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_);
    }
  }
  if (HalfWidthCriterion()) {
    if (lists_.quantity == Quantity::Proportion) NarrowBelowPeakVariance(s, upper);
    if (continuity_) NarrowBeyondPeakHalfWidth(s, lower);
  }
}

// The variance of a proportion, p (1 - p), is largest at p = 1/2, and so is
// the half-width: the same precision is reached by a proportion and by its
// complement.  The search keeps to the smaller one.
void NormalApproximateEstimate::NarrowBelowPeakVariance(const Session& s, double& upper) const {
  const int u = s.UnknownPosition;
  if (!twoSamples_) {
    if (u == first_) upper = MinOf(upper, 0.5);
    return;
  }
  if (u == first_) {
    // p2 follows p1 through its form: the sum of the two variances peaks where
    // (1 - 2 p1)/N1 + dp2/dp1 (1 - 2 p2)/N2 = 0.
    const double x = s.value(second_);
    const double n1 = s.value(n1_);
    const double n2 =
        ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_);
    double peak = 0.5;
    if (secondMode_ == 1) peak = 0.5 - x * n1 / (n1 + n2);
    if (secondMode_ == 2) peak = (1 / n1 + x / n2) / (2 * (1 / n1 + x * x / n2));
    upper = MinOf(upper, peak);
  } else if (u == second_) {
    const double p1 = s.value(first_);
    if (secondMode_ == 0) upper = MinOf(upper, 0.5);
    if (secondMode_ == 1) upper = MinOf(upper, 0.5 - p1);
    if (secondMode_ == 2 && p1 > 0) upper = MinOf(upper, 0.5 / p1);
  }
}

// With the continuity correction the half-width z se - cc first grows with
// the sample size (the correction falls faster than the standard error) and
// then falls towards 0.  Only the falling branch reaches a precision that
// larger studies keep; the search starts at the peak.  In 1/n the half-width
// z sqrt(v1/N1 + v2/N2) - (1/N1 + 1/N2)/2 is concave, with its peak where its
// derivative vanishes.
void NormalApproximateEstimate::NarrowBeyondPeakHalfWidth(const Session& s, double& lower) const {
  const int u = s.UnknownPosition;
  if (u != n1_ && u != n2_) return;
  const double z = Quantile(s);
  const double x1 = s.value(first_);
  const double v1 = Variance(ToSingle(x1));
  if (!twoSamples_) {
    if (z * z * v1 > 0) lower = MaxOf(lower, 1 / (z * z * v1));
    return;
  }
  const double v2 = Variance(
      ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(second_), ToSingle(x1), secondMode_));
  if (u == n1_) {
    if (size2Mode_ == 0 && v1 > 0) {
      const double peak = (z * z * v1 * v1 - v2 / s.value(n2_)) / v1;  // in 1/N1
      if (peak > 0) lower = MaxOf(lower, 1 / peak);
    } else if (size2Mode_ == 2 && s.value(n2_) > 0) {
      // N2 = r N1: the half-width is A / sqrt(N1) - B / N1, largest at N1 = (2B/A)^2.
      const double r = s.value(n2_);
      const double a = z * std::sqrt(v1 + v2 / r);
      const double b = (1 + 1 / r) / 2;
      if (a > 0) lower = MaxOf(lower, (2 * b / a) * (2 * b / a));
    }
  } else if (v2 > 0) {
    const double n1 = s.value(n1_);
    const double peak = (z * z * v2 * v2 - v1 / n1) / v2;  // in 1/N2
    if (peak > 0) {
      const double n2 = 1 / peak;
      if (size2Mode_ == 0) lower = MaxOf(lower, n2);
      if (size2Mode_ == 1) lower = MaxOf(lower, n2 - n1);
      if (size2Mode_ == 2) lower = MaxOf(lower, n2 / n1);
    }
  }
}

Single NormalApproximateEstimate::Quantile(const Session& s) const {
  const Single level = ToSingle(s.value(0));
  if (kind_ == 1) return tails_ == 1 ? UpperNormalQuantile(level) : UpperNormalQuantile(level / 2);
  return UpperNormalQuantile((1 - level) / 2);
}

double NormalApproximateEstimate::Criterion(const Session& s) const {
  if (kind_ == 0) return 0;
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  Single se, cc, estimate;
  if (!twoSamples_) {
    const Single x = at(first_);
    const Single n = at(n1_);
    se = std::sqrt(Variance(x) / n);
    cc = continuity_ ? 1 / (2 * n) : 0.0f;
    estimate = x;
  } else {
    const Single x1 = at(first_);
    const Single x2 = ResolveRelativeValue(v, static_cast<std::int16_t>(second_), x1, secondMode_);
    const Single n1 = at(n1_);
    const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    se = std::sqrt(Variance(x1) / n1 + Variance(x2) / n2);
    cc = continuity_ ? (1 / n1 + 1 / n2) / 2 : 0.0f;
    estimate = x2 - x1;
  }
  const Single z = Quantile(s);
  if (kind_ == 1) return static_cast<double>(z * se - (cc + at(error_)));
  const Single limit = at(limit_);
  switch (intervalKind_) {
    case 0:
      return static_cast<double>(estimate + cc - z * se - limit);
    case 1:
      return static_cast<double>(estimate - cc + z * se - limit);
    default:
      return static_cast<double>(2 * z * se - 2 * cc - limit);
  }
}

// ---------------------------------------------------------------------------
// BinomialDistribution

const NormalApproximateEstimate::Lists& BinomialDistribution::EstimateLists() {
  static const NormalApproximateEstimate::Lists lists = [] {
    NormalApproximateEstimate::Lists l;
    l.quantity = NormalApproximateEstimate::Quantity::Proportion;
    l.pointOne = Ids::PointProportion;
    l.pointFirst = Ids::PointProportion1;
    l.pointSecond = {Ids::PointProportion2, Ids::PointProportion2MinusProportion1,
                     Ids::PointProportion2OverProportion1};
    l.intervalOne = Ids::Proportion;
    l.intervalFirst = Ids::Proportion1;
    l.intervalSecond = {Ids::Proportion2, Ids::Proportion2MinusProportion1, Ids::Proportion2OverProportion1};
    l.size = Ids::SampleSize;
    l.size1 = Ids::SampleSize1;
    l.size2 = {Ids::SampleSize2, Ids::SampleSize2MinusSize1, Ids::SampleSize2OverSize1};
    l.secondGroup = group::Proportion2;
    l.size2Group = group::SampleSize2;
    l.sizesAreCounts = true;
    return l;
  }();
  return lists;
}

void BinomialDistribution::InitProcedure(Session& s) {
  // Two one-sided tests only for a test, and not of two samples on the
  // arc-sine scale (the option of the second box).
  if (s.ProcedureKind != 0 || (s.SampleCount == 2 && s.optionChecked(option::ArcSineTransformation)))
    DisableTwoOneSided(s);
  else
    s.dialog.tailsEnabled[2] = true;
  if (s.ProcedureKind == 0)
    test_.InitProcedure(s);
  else if (s.ProcedureKind == 1 || s.ProcedureKind == 2)
    NormalApproximateEstimate::Offer(s, EstimateLists());
}

void BinomialDistribution::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  if (kind_ == 0)
    test_.BuildParameterList(s);
  else
    estimate_.Build(s, EstimateLists());
  s.ParameterChoiceName = s.SampleCount == 2 ? kTwoSampleName : kOneSampleName;
}

bool BinomialDistribution::CheckParameters(Session& s) {
  return kind_ == 0 ? test_.CheckParameters(s) : estimate_.Check(s);
}

void BinomialDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (kind_ == 0)
    test_.SetSearchInterval(s, lower, upper);
  else
    estimate_.Narrow(s, lower, upper);
}

double BinomialDistribution::EvaluateCriterion(const Session& s) {
  return kind_ == 0 ? test_.EvaluateCriterion(s) : estimate_.Criterion(s);
}

CriterionTraits BinomialDistribution::Traits(const Session& s) const {
  return kind_ == 0 ? test_.Traits(s) : ProcedureModule::Traits(s);
}

std::optional<StandardisedEffect> BinomialDistribution::Effect(const Session& s) const {
  if (kind_ == 0) return test_.Effect(s);
  return std::nullopt;
}

std::optional<double> BinomialDistribution::EvaluatePower(const Session& s) {
  if (kind_ == 0) return test_.EvaluatePower(s);
  return std::nullopt;
}

void BinomialDistribution::OptionChanged(Session& s, std::int16_t optionId) {
  if (s.ProcedureKind == 0) test_.OptionChanged(s, optionId);
}

}  // namespace pelmora
