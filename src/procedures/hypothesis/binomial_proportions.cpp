#include "procedures/hypothesis/binomial_proportions.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/proportions.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

}  // namespace

// ---------------------------------------------------------------------------
// ProportionTest

void ProportionTest::OfferProportionRows(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Proportion);
  } else {
    OfferRow(s, group::Proportion2);
    OfferRow(s, group::SampleSize2);
  }
}

int ProportionTest::BuildProportionList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  if (twoSamples_)
    proportionMode_ = s.IntParMode[group::Proportion2];
  else
    proportionMode_ = tails_ == 3 ? 0 : s.IntParMode[group::Proportion];  // tails 3: a value only
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (twoSamples_) s.ValueMode = size2Mode_;
  continuity_ = OfferedOptionChecked(s, 0);

  h0_ = left_ = right_ = estimate_ = p1_ = p2_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  const std::int16_t form = FormIndex(proportionMode_);
  if (!twoSamples_) {
    static constexpr std::int16_t estimate[3] = {Ids::Proportion, Ids::ProportionMinusH0,
                                                 Ids::ProportionOverH0};
    if (tails_ == 3) {
      left_ = put(Ids::LeftLimit);
      right_ = put(Ids::RightLimit);
    } else {
      h0_ = put(Ids::H0Proportion);
    }
    estimate_ = put(estimate[form]);
    n1_ = put(Ids::SampleSize);
  } else {
    static constexpr std::int16_t second[3] = {Ids::Proportion2, Ids::Proportion2MinusProportion1,
                                               Ids::Proportion2OverProportion1};
    static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                              Ids::SampleSize2OverSize1};
    if (tails_ == 3) {
      left_ = put(Ids::LeftDifferenceLimit);
      right_ = put(Ids::RightDifferenceLimit);
    } else {
      h0_ = put(Ids::H0Difference);
    }
    p1_ = put(Ids::Proportion1);
    p2_ = put(second[form]);
    n1_ = put(Ids::SampleSize1);
    n2_ = put(size2[FormIndex(size2Mode_)]);
  }
  return p;
}

ProportionTest::Assumed ProportionTest::ReadAssumed(const Session& s) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Assumed a;
  a.left = at(left_);
  a.right = at(right_);
  if (tails_ != 3) a.null = at(h0_);
  a.n1 = at(n1_);
  if (!twoSamples_) {
    a.p = ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), a.null, proportionMode_);
  } else {
    a.p1 = at(p1_);
    a.p = ResolveRelativeValue(v, static_cast<std::int16_t>(p2_), a.p1, proportionMode_);
    a.n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), a.n1, size2Mode_);
  }
  return a;
}

bool ProportionTest::CheckParameters(Session& s) {
  if (!twoSamples_) {
    if (tails_ != 3) {
      const CatalogueEntry& p = s.entry(Ids::Proportion);
      if (!CheckRelativeValue(s, h0_, estimate_, p.ParamLowerLimit(), p.ParamUpperLimit(), proportionMode_))
        return false;
    }
  } else {
    const CatalogueEntry& p2 = s.entry(Ids::Proportion2);
    if (!CheckRelativeValue(s, p1_, p2_, p2.ParamLowerLimit(), p2.ParamUpperLimit(), proportionMode_))
      return false;
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void ProportionTest::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  const CatalogueEntry& bounds = s.entry(Ids::Proportion);
  const double lo = bounds.ParamLowerLimit(), hi = bounds.ParamUpperLimit();
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ || u == estimate_)
        RelativeSearchIntervalTailed(s, lower, upper, h0_, lo, hi, proportionMode_);
    } else if (u == h0_ || u == p1_ || u == p2_) {
      MeanPairSearchInterval(s, lower, upper, s.value(h0_), h0_, lo, hi, proportionMode_);
    }
  } else {
    // Two one-sided tests: the assumed difference is searched on one side of
    // the middle of the limits, where the P-value moves one way only.
    const double mid = (s.value(left_) + s.value(right_)) / 2;
    if (!twoSamples_) {
      if (u == estimate_) NarrowByTailReversed(s, lower, upper, mid);
    } else if (u == p2_) {
      // The second proportion in its form stays within the bounds of a proportion.
      RelativeSearchInterval(s, lower, upper, p1_, lo, hi, proportionMode_);
      const double p1 = s.value(p1_);
      if (proportionMode_ == 0) NarrowByTailReversed(s, lower, upper, p1 + mid);
      if (proportionMode_ == 1) NarrowByTailReversed(s, lower, upper, mid);
      if (proportionMode_ == 2 && p1 > 0) NarrowByTailReversed(s, lower, upper, 1 + mid / p1);
    } else if (u == p1_) {
      const double second = s.value(p2_);
      switch (proportionMode_) {
        case 0:
          NarrowByTail(s, lower, upper, second - mid);
          break;
        case 1:
          // The difference is given: p1 only keeps p1 + d a proportion.
          lower = MaxOf(lower, lo - second);
          upper = MinOf(upper, hi - second);
          break;
        case 2:
          // The difference is p1 (r - 1); p1 r stays a proportion.
          if (second > 0) {
            lower = MaxOf(lower, lo / second);
            upper = MinOf(upper, hi / second);
          }
          if (second > 1) NarrowByTailReversed(s, lower, upper, mid / (second - 1));
          if (second > 0 && second < 1) NarrowByTail(s, lower, upper, mid / (second - 1));
          break;
        default:
          break;
      }
    }
  }
  if (twoSamples_) {
    if (u == n1_ && (size2Mode_ == 1 || size2Mode_ == 2)) LowerBoundBaseSize(s, n2_, lower);
    if (u == n2_ && (size2Mode_ == 1 || size2Mode_ == 2)) LowerBoundRelativeSize(s, n1_, lower);
  }
}

// ---------------------------------------------------------------------------
// BinomialProportions

void BinomialProportions::InitProcedure(Session& s) {
  OfferProportionRows(s);
  OfferOption(s, option::ContinuityCorrection);
  OfferOption(s, option::ArcSineTransformation);
  if (s.SampleCount == 1) OfferOption(s, option::ExactCalculation);
  if (s.SampleCount == 2 && s.TailCount == 3) {
    // Two one-sided tests of two proportions are made with the continuity
    // correction and never on the arc-sine scale.
    s.OptionState[option::ContinuityCorrection] = 1;
    s.dialog.optionEnabled[1] = false;
  } else {
    s.dialog.optionEnabled[1] = true;
    if (s.SampleCount == 2 && s.optionChecked(option::ArcSineTransformation)) DisableTwoOneSided(s);
  }
}

void BinomialProportions::BuildParameterList(Session& s) {
  const int next = BuildProportionList(s);
  arcSine_ = OfferedOptionChecked(s, 1) && !(twoSamples_ && tails_ == 3);
  exact_ = !twoSamples_ && OfferedOptionChecked(s, 2);
  s.LastPosition = static_cast<std::int16_t>(next - 1);
}

bool BinomialProportions::ExactPath(const Assumed& a) const {
  return !twoSamples_ && !arcSine_ && exact_ && a.n1 <= kExactLimit;
}

NormalStatistic BinomialProportions::NormalPath(const Assumed& a) const {
  NormalStatistic statistic;
  ZArguments& z = statistic.z;
  if (!twoSamples_) {
    const Single n = a.n1;
    if (arcSine_) {
      z.x = ArcsineValue(a.p);
      z.se = 1 / (2 * std::sqrt(n));
      if (tails_ == 3) {
        z.left = ArcsineValue(a.left);
        z.right = ArcsineValue(a.right);
      } else {
        z.null = ArcsineValue(a.null);
      }
      return statistic;
    }
    z.x = a.p;
    z.cc = continuity_ ? 1 / (2 * n) : 0.0f;
    if (tails_ == 3) {
      z.left = a.left;
      z.right = a.right;
      statistic.ownErrors = true;
      statistic.seLeft = std::sqrt(a.left * (1 - a.left) / n);
      statistic.seRight = std::sqrt(a.right * (1 - a.right) / n);
    } else {
      z.null = a.null;
      z.se = std::sqrt(a.null * (1 - a.null) / n);
    }
    return statistic;
  }
  if (arcSine_) {
    // On the arc-sine scale the null difference d0 becomes that between p1
    // and p1 + d0.
    const Single a1 = ArcsineValue(a.p1);
    z.x = ArcsineValue(a.p) - a1;
    z.null = ArcsineValue(a.p1 + a.null) - a1;
    z.se = std::sqrt(1 / a.n1 + 1 / a.n2) / 2;
    return statistic;
  }
  z.x = a.p - a.p1;
  z.null = a.null;
  z.se = TwoProportionSE(a.n1, a.n2, a.p1, a.p, a.null);
  z.left = a.left;
  z.right = a.right;
  z.cc = continuity_ ? (1 / a.n1 + 1 / a.n2) / 2 : 0.0f;
  return statistic;
}

CriterionTraits BinomialProportions::Traits(const Session& s) const {
  CriterionTraits t = ProcedureModule::Traits(s);
  t.wholeSteps = !twoSamples_ && !arcSine_ && exact_ && s.UnknownPosition == n1_;
  return t;
}

double BinomialProportions::EvaluateCriterion(const Session& s) {
  const Assumed a = ReadAssumed(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single p = ExactPath(a) ? BinomialPValue(sides, a.n1, a.n1 * a.p, a.null, a.left, a.right)
                                : PValueZ(sides, NormalPath(a));
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> BinomialProportions::EvaluatePower(const Session& s) {
  const Assumed a = ReadAssumed(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (ExactPath(a)) return BinomialPower(sides, s.value(0), a.n1, a.p, a.null, a.left, a.right);
  return PowerOfZTest(sides, s.value(0), NormalPath(a));
}

std::optional<StandardisedEffect> ProportionTest::Effect(const Session& s) const {
  if (tails_ == 3) return std::nullopt;
  const Assumed a = ReadAssumed(s);
  const double base = twoSamples_ ? a.p1 : a.null;
  const double p = a.p;
  if (base < 0 || base > 1 || p < 0 || p > 1) return std::nullopt;
  return StandardisedEffect{"h", 2 * std::asin(std::sqrt(p)) - 2 * std::asin(std::sqrt(base))};
}

}  // namespace pelmora
