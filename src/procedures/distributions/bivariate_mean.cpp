#include "procedures/distributions/bivariate_mean.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"

namespace pelmora {

using namespace bivariate;

void BivariateNormalMean::InitProcedure(Session& s) {
  OfferOption(s, option::StdDeviationForDiff);
  const bool given = s.optionChecked(option::StdDeviationForDiff);
  if (s.ProcedureKind == 2) {
    if (!given) OfferRow(s, group::StdDeviation2);
    OfferRow(s, group::ConfInterval);
  } else if (s.TailCount != 3) {
    OfferRow(s, group::MeanOfDiff);
    if (!given) OfferRow(s, group::StdDeviation2);
  } else if (!given) {
    OfferRow(s, group::StdDeviation2);
  }
}

void BivariateNormalMean::BuildParameterList(Session& s) {
  ListWriter list(s);
  kind_ = s.ProcedureKind;
  tails_ = s.TailCount;
  diffSdGiven_ = s.optionChecked(option::StdDeviationForDiff);
  meanMode_ = kind_ == 0 && tails_ != 3 ? ValidForm(s.IntParMode[group::MeanOfDiff]) : 0;
  sd2Mode_ = ValidForm(s.IntParMode[group::StdDeviation2]);
  intervalKind_ = ValidForm(s.IntParMode[group::ConfInterval]);

  h0_ = left_ = right_ = estimate_ = limit_ = sdDiff_ = sd1_ = sd2_ = rho_ = n_ = -1;
  if (kind_ == 2) {
    list.Interval();
    estimate_ = list.Put(Ids::MeanOfDiff);
    limit_ = list.Put(LimitId(intervalKind_));
  } else if (tails_ != 3) {
    static constexpr std::int16_t estimate[3] = {Ids::MeanOfDiff, Ids::MeanOfDiffMinusH0,
                                                 Ids::MeanOfDiffOverH0};
    h0_ = list.Put(Ids::H0MeanOfDiff);
    estimate_ = list.Put(estimate[meanMode_]);
  } else {
    left_ = list.Put(Ids::LeftDiffLimit);
    right_ = list.Put(Ids::RightDiffLimit);
    estimate_ = list.Put(Ids::MeanOfDiffMinusH0);  // the value itself: the null difference is 0
  }
  if (diffSdGiven_) {
    sdDiff_ = list.Put(Ids::SdOfDiff);
  } else {
    static constexpr std::int16_t sd2[3] = {Ids::Sd2, Ids::Sd2MinusSd1, Ids::Sd2OverSd1};
    sd1_ = list.Put(Ids::Sd1);
    sd2_ = list.Put(sd2[sd2Mode_]);
    rho_ = list.Put(Ids::Correlation);
  }
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

bool BivariateNormalMean::CheckParameters(Session& s) {
  if (kind_ == 0 && tails_ != 3) {
    const CatalogueEntry& d = s.entry(Ids::MeanOfDiff);
    if (!CheckRelativeValue(s, h0_, estimate_, d.ParamLowerLimit(), d.ParamUpperLimit(), meanMode_)) return false;
  }
  if (!diffSdGiven_) {
    const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
    if (!CheckRelativeValue(s, sd1_, sd2_, sd2.ParamLowerLimit(), sd2.ParamUpperLimit(), sd2Mode_)) return false;
  }
  if (kind_ == 0 && tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void BivariateNormalMean::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (kind_ == 0 && tails_ != 3) {
    if (u == h0_ && meanMode_ == 1) {
      lower = upper;  // the estimate moves with H0: the P-value does not depend on it
    } else if (u == h0_ || u == estimate_) {
      RelativeSearchIntervalTailed(s, lower, upper, h0_, -99999, 99999, meanMode_);
    }
  } else if (kind_ == 0) {
    // Two one-sided tests: the estimate on one side of the middle of the
    // limits, where the P-value moves one way only; a limit on its own side
    // of the estimate.
    if (u == estimate_) NarrowByTailReversed(s, lower, upper, (s.value(left_) + s.value(right_)) / 2);
    if (u == left_) upper = MinOf(upper, s.value(estimate_));
    if (u == right_) lower = MaxOf(lower, s.value(estimate_));
  } else if (u == estimate_ && intervalKind_ == 2) {
    lower = upper;  // the width does not depend on the estimate
  }
  if (diffSdGiven_) return;
  NarrowSdPair(s, lower, upper, sd1_, sd2_, sd2Mode_);
  // s1^2 + s2^2 - 2 s1 s2 rho is smallest at s2 = rho s1 (s1 = rho s2): an
  // unknown standard deviation is searched above, where the standard error
  // grows with it and the criterion has one root.
  const double rho = s.value(rho_);
  if (u == sd2_) {
    const double sd1 = s.value(sd1_);
    if (sd2Mode_ == 0) lower = MaxOf(lower, rho * sd1);
    if (sd2Mode_ == 1) lower = MaxOf(lower, rho * sd1 - sd1);
    if (sd2Mode_ == 2) lower = MaxOf(lower, rho);
  } else if (u == sd1_) {
    // With s2 = s1 + d the sum is smallest at s1 = -d / 2; with s2 = r s1 it
    // grows with s1.
    if (sd2Mode_ == 0) lower = MaxOf(lower, rho * s.value(sd2_));
    if (sd2Mode_ == 1) lower = MaxOf(lower, -s.value(sd2_) / 2);
  }
}

Single BivariateNormalMean::StandardError(const Session& s) const {
  const Single n = At(s, n_);
  if (diffSdGiven_) return At(s, sdDiff_) / std::sqrt(n);
  const Single sd1 = At(s, sd1_);
  return PairedDifferenceSE(n, sd1, Resolve(s, sd2_, sd1, sd2Mode_), At(s, rho_));
}

double BivariateNormalMean::EvaluateCriterion(const Session& s) {
  const Single se = StandardError(s);
  const Single df = At(s, n_) - 1;
  if (kind_ == 2) {
    const Single q = StudentQuantile(UpperProbability(At(s, 0)), df);
    const Single m = At(s, estimate_);
    const Single chosen = ChosenOfInterval(intervalKind_, m - q * se, m + q * se, 2 * q * se);
    return static_cast<double>(chosen) - s.value(limit_);
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p;
  if (tails_ != 3) {
    const Single h0 = At(s, h0_);
    p = PValueT(sides, Resolve(s, estimate_, h0, meanMode_), h0, se, 0, 0, df);
  } else {
    p = PValueT(sides, At(s, estimate_), 0, se, At(s, left_), At(s, right_), df);
  }
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> BivariateNormalMean::EvaluatePower(const Session& s) {
  if (kind_ != 0) return std::nullopt;
  const Single se = StandardError(s);
  const Single df = At(s, n_) - 1;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (tails_ != 3) {
    const Single h0 = At(s, h0_);
    return PowerOfTTest(sides, s.value(0), Resolve(s, estimate_, h0, meanMode_), h0, se, 0, 0, df);
  }
  return PowerOfTTest(sides, s.value(0), At(s, estimate_), 0, se, At(s, left_), At(s, right_), df);
}

}  // namespace pelmora
