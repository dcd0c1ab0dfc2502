#include "procedures/hypothesis/student_t.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/two_group_grid.h"
#include "session/calculation_rows.h"
#include "session/checks.h"
#include "session/options_model.h"
#include "session/procedure_table.h"

namespace pelmora {

void StudentT::InitProcedure(Session& s) {
  const bool paired = SelectedProcedure(s) == Procedure::PairedT;
  if (s.IsTestProcedure != kFalse) {
    if (paired)
      DisableTwoSamples(s);
    else
      DisableOneSample(s);
  }
  OfferMeanTestRows(s);
  if (paired && s.IntParRowCount > 0) s.IntParRowGroup[0] = group::MeanOfDiff;
  if (s.SampleCount == 1) {
    OfferOption(s, option::DegreesOfFreedom);
    if (s.IsTestProcedure == kFalse) OfferOption(s, option::NoOfGroupsInAnova);
  } else {
    OfferOption(s, option::DegreesOfFreedom);
    OfferOption(s, option::NoOfGroupsInAnova);
    OfferOption(s, option::UnequalStdDeviations);
    // Unequal standard deviations: the second row asks for the second
    // assumed standard deviation; otherwise the rows are the second mean and
    // the second sample size.
    s.IntParRowCount = 0;
    OfferRow(s, group::Mean2);
    if (s.optionChecked(option::UnequalStdDeviations)) OfferRow(s, group::StdDeviation2Star);
    OfferRow(s, group::SampleSize2);
  }
}

void StudentT::OptionChanged(Session& s, std::int16_t optionId) {
  // Given degrees of freedom and the degrees of freedom of an ANOVA both fix
  // the degrees of freedom: ticking one clears the other.
  auto& state = s.OptionState;
  if (optionId == option::DegreesOfFreedom && state[option::DegreesOfFreedom] == 1)
    state[option::NoOfGroupsInAnova] = 0;
  if (optionId == option::NoOfGroupsInAnova && state[option::NoOfGroupsInAnova] == 1)
    state[option::DegreesOfFreedom] = 0;
}

void StudentT::BuildParameterList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  meanMode_ = RowMode(s, 0);
  dfGiven_ = OfferedOptionChecked(s, 0);
  groups_ = OfferedOptionChecked(s, 1) && !(s.IsTestProcedure != kFalse && !twoSamples_);
  if (dfGiven_) groups_ = false;  // the two options exclude each other; given df win
  unequal_ = twoSamples_ && OfferedOptionChecked(s, 2);
  sd2Mode_ = unequal_ ? RowMode(s, 1) : 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (twoSamples_) s.ValueMode = size2Mode_;
  if (!twoSamples_ && tails_ == 3) meanMode_ = 0;  // the estimate is given as a value only
  const bool paired = !twoSamples_ && s.IsTestProcedure != kFalse;

  h0_ = left_ = right_ = estimate_ = mean1_ = mean2_ = sd_ = sd2_ = n1_ = n2_ = df_ = k_ = -1;
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
    if (paired) {
      static constexpr std::int16_t est[3] = {Ids::MeanOfDiff, Ids::MeanOfDiffMinusH0, Ids::MeanOfDiffOverH0};
      if (tails_ != 3) h0_ = put(Ids::H0MeanOfDiff);
      estimate_ = put(est[meanMode_ >= 0 && meanMode_ <= 2 ? meanMode_ : 0]);
      sd_ = put(Ids::SdOfDiff);
    } else {
      static constexpr std::int16_t est[3] = {Ids::Mean, Ids::MeanMinusH0, Ids::MeanOverH0};
      if (tails_ != 3) h0_ = put(Ids::H0Mean);
      estimate_ = put(est[meanMode_ >= 0 && meanMode_ <= 2 ? meanMode_ : 0]);
      sd_ = put(Ids::Sd);
    }
    n1_ = put(Ids::SampleSize);
  } else {
    if (tails_ != 3) h0_ = put(Ids::H0Diff);
    if (meanMode_ == 1) {
      estimate_ = put(Ids::Diff);
    } else {
      mean1_ = put(Ids::Mean1);
      mean2_ = put(meanMode_ == 2 ? Ids::Mean2OverMean1 : Ids::Mean2);
    }
    if (unequal_) {
      static constexpr std::int16_t sd2[3] = {Ids::Sd2, Ids::Sd2MinusSd1, Ids::Sd2OverSd1};
      sd_ = put(Ids::Sd1);
      sd2_ = put(sd2[sd2Mode_ >= 0 && sd2Mode_ <= 2 ? sd2Mode_ : 0]);
    } else {
      sd_ = put(Ids::Sd);
    }
    static constexpr std::int16_t n2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                           Ids::SampleSize2OverSize1};
    n1_ = put(Ids::SampleSize1);
    n2_ = put(n2[size2Mode_ >= 0 && size2Mode_ <= 2 ? size2Mode_ : 0]);
  }
  if (dfGiven_) df_ = put(Ids::DegreesOfFreedom);
  if (groups_) k_ = put(Ids::NoOfGroups);
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool StudentT::CheckParameters(Session& s) {
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
    if (unequal_) {
      const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
      if (!CheckRelativeValue(s, sd_, sd2_, sd2.ParamLowerLimit(), sd2.ParamUpperLimit(), sd2Mode_)) return false;
    }
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void StudentT::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    NarrowLocationTest(s, lower, upper, twoSamples_, meanMode_, {h0_, estimate_, mean1_, mean2_});
  } else {
    // Two one-sided tests: search the estimate on one side of the middle of
    // the equivalence limits, where the P-value moves one way only.
    const double mid = (s.value(left_) + s.value(right_)) / 2;
    NarrowDifferenceToMidpoint(s, lower, upper, mid, estimate_, mean1_, mean2_, meanMode_);
  }
  if (unequal_ && u == sd2_) {
    const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
    RelativeSearchInterval(s, lower, upper, sd_, sd2.ParamLowerLimit(), sd2.ParamUpperLimit(), sd2Mode_);
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
  NarrowSizeByPower(s, lower, upper);
}

void StudentT::NarrowSizeByPower(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ == 3 || u < 0 || (u != n1_ && u != n2_) || !(lower < upper) || !PlannedByPower(*this, s)) return;
  const double saved = s.value(u);
  auto criterion = [&](double v) {
    s.value(u) = v;
    return PlanningCriterion(*this, s);
  };
  // The normal approximation: the size at which |x - H0| / se reaches
  // z(1 - alpha / tails) + z(power), found by bisection on a log scale (the
  // standard error falls as the size grows).
  const double zAlpha = NormalQuantile(ToSingle(1 - s.value(0) / tails_));
  const std::optional<double> aim = TargetFixedPower(s);
  if (!aim) return;
  const double target = zAlpha + NormalQuantile(ToSingle(*aim));
  auto reach = [&](double v) {
    s.value(u) = v;
    const TArguments t = Statistic(s);
    return std::fabs(static_cast<double>(t.x) - t.null) / t.se;
  };
  double a = lower, b = upper;
  if (!(target > 0) || !(lower > 0) || !(reach(b) > target) || reach(a) >= target) {
    s.value(u) = saved;
    return;
  }
  for (int i = 0; i < 60 && b - a > 1e-3 * a; ++i) {
    const double m = std::sqrt(a * b);
    (reach(m) < target ? a : b) = m;
  }
  // The t-test needs a little more than that (about z^2 / 2 for one
  // sample).  Newton steps on the power with the slope of the normal
  // approximation, the second overshooting, put two sizes close around the
  // root of the criterion; where they do not, the step doubles until the
  // criterion changes sign.  The interval stays as it was when it never does.
  auto slope = [&](double v) {
    const double h = 1e-4 * v, d = reach(v);
    return std::exp(-(d - zAlpha) * (d - zAlpha) / 2) / std::sqrt(2 * std::numbers::pi) * (reach(v + h) - d) / h;
  };
  double lo = std::clamp(b, lower, upper), hi = lo;
  double fLo = criterion(lo), fHi = fLo;
  bool bracketed = false;
  double x = lo, f = fLo;
  for (int i = 0; i < 2 && std::isfinite(f) && !bracketed; ++i) {
    const double sl = slope(x);
    if (!(sl > 0)) break;
    const double next = std::clamp(x - (i == 0 ? 1.0 : 2.0) * f / sl, lower, upper);
    const double fNext = criterion(next);
    if (!std::isfinite(fNext)) break;
    if ((f < 0) != (fNext < 0) && i == 1) {
      lo = std::min(x, next);
      hi = std::max(x, next);
      fLo = x < next ? f : fNext;
      fHi = x < next ? fNext : f;
      bracketed = fLo < 0 && fHi >= 0;
    }
    x = next;
    f = fNext;
  }
  if (!bracketed) {
    lo = hi = x;
    fLo = fHi = f;
  }
  double step = 1 + zAlpha * zAlpha / 2;
  for (int i = 0; i < 40 && !bracketed && std::isfinite(fLo) && std::isfinite(fHi); ++i, step *= 2) {
    if (fHi < 0) {
      if (hi >= upper) break;
      lo = hi;
      fLo = fHi;
      hi = std::min(hi + step, upper);
      fHi = criterion(hi);
    } else if (fLo >= 0) {
      if (lo <= lower) break;
      hi = lo;
      fHi = fLo;
      lo = std::max(lo - step, lower);
      fLo = criterion(lo);
    }
    bracketed = fLo < 0 && fHi >= 0;
  }
  s.value(u) = saved;
  if (!bracketed) return;
  lower = lo;
  upper = hi;
}

TArguments StudentT::Statistic(const Session& s) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  TArguments t;
  t.left = at(left_);
  t.right = at(right_);
  if (!twoSamples_) {
    if (tails_ != 3) t.null = at(h0_);
    t.x = ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), t.null, meanMode_);
    const Single n = at(n1_);
    t.se = at(sd_) / std::sqrt(n);
    t.df = n - 1;
    if (dfGiven_) t.df = at(df_);
    if (groups_) t.df = (n - 1) * at(k_);
  } else {
    if (tails_ != 3) t.null = at(h0_);
    if (meanMode_ == 1) {
      t.x = at(estimate_);
    } else {
      const Single m1 = at(mean1_);
      t.x = ResolveRelativeValue(v, static_cast<std::int16_t>(mean2_), m1, meanMode_) - m1;
    }
    const Single n1 = at(n1_);
    const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    if (!unequal_) {
      t.se = at(sd_) * std::sqrt(1.0f / n2 + 1.0f / n1);
      t.df = n1 + n2 - 2;
    } else {
      const Single sd1 = at(sd_);
      const Single sd2 = ResolveRelativeValue(v, static_cast<std::int16_t>(sd2_), sd1, sd2Mode_);
      const Single a = sd2 * sd2 / n2, b = sd1 * sd1 / n1;
      t.se = std::sqrt(a + b);
      t.df = (a + b) * (a + b) / (a * a / (n2 - 1) + b * b / (n1 - 1));
      t.df = MaxOf(t.df, 1.0f);
    }
    if (dfGiven_) t.df = at(df_);
    if (groups_) t.df = (n1 - 1) + (at(k_) - 1) * (n2 - 1);
  }
  return t;
}

double StudentT::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueT(sides, Statistic(s))) - s.value(0);
}

std::optional<double> StudentT::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfTTest(sides, s.value(0), Statistic(s));
}

// Cohen's d: the assumed difference from the null over the common standard
// deviation (the root mean square of the two where they differ).
std::optional<StandardisedEffect> StudentT::Effect(const Session& s) const {
  if (tails_ == 3 || sd_ < 0) return std::nullopt;
  const TArguments t = Statistic(s);
  double sd = s.value(sd_);
  if (unequal_) {
    const double sd2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(sd2_), ToSingle(sd), sd2Mode_);
    sd = std::sqrt((sd * sd + sd2 * sd2) / 2);
  }
  return StandardisedEffect{"d", (static_cast<double>(t.x) - t.null) / sd};
}

}  // namespace pelmora

namespace pelmora {

bool StudentT::OpenGroupGrid(Session& s, int row) {
  // Confidence intervals of the normal distribution have a grid of their own.
  if (s.ProcedureKind == 2 && s.IsTestProcedure == kFalse) return false;
  if (!twoSamples_ || unequal_ || sd_ < 0 || row != RowOfPosition(sd_)) return false;
  if (meanMode_ != 1 && groups_) return false;
  return OpenTwoGroupGrid(s, sd_, "StDev");
}

bool StudentT::CheckGroupGrid(Session& s, int row, int column) { return CheckTwoGroupCell(s, row, column); }

Single StudentT::ApplyGroupGrid(Session& s) {
  TwoGroupSpreads spreads;
  const Single pooled = ApplyTwoGroupGrid(s, n1_, n2_, size2Mode_, spreads);
  gridSd1_ = spreads.first;
  gridSd2_ = spreads.second;
  return pooled;
}

}  // namespace pelmora
