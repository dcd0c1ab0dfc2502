#include "procedures/hypothesis/exponential_survival.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"
#include "session/options_model.h"
#include "session/procedure_table.h"

namespace pelmora {

// ---- Location, scale known --------------------------------------------------

void ExponentialLocation::InitProcedure(Session& s) {
  // The location has no two-sample form.
  DisableTwoSamples(s);
  s.IntParRowCount = 0;
  // Two one-sided tests take the assumed location as a value only.
  if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Location);
}

void ExponentialLocation::BuildParameterList(Session& s) {
  tails_ = s.TailCount;
  locationMode_ = s.IntParMode[group::Location];
  if (locationMode_ < 0 || locationMode_ > 2 || tails_ == 3) locationMode_ = 0;

  h0_ = left_ = right_ = estimate_ = scale_ = n_ = -1;
  int p = StartParameterList(s);
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

bool ExponentialLocation::CheckParameters(Session& s) {
  if (tails_ != 3) {
    const CatalogueEntry& location = s.entry(Ids::Location);
    return CheckRelativeValue(s, h0_, estimate_, location.ParamLowerLimit(), location.ParamUpperLimit(),
                              locationMode_);
  }
  return CheckOrderedPair(s, right_);
}

void ExponentialLocation::SetSearchInterval(Session& s, double& lower, double& upper) {
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

void ExponentialLocation::Estimate(const Session& s, Single& estimate, Single& null) const {
  null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
  estimate =
      ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(estimate_), null, locationMode_);
}

double ExponentialLocation::EvaluateCriterion(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  // The scale of the sample minimum.
  const Single scale = at(scale_) / at(n_);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueExponential(sides, estimate, null, scale, at(left_), at(right_))) -
         s.value(0);
}

std::optional<double> ExponentialLocation::EvaluatePower(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfExponentialTest(sides, s.value(0), estimate, null, at(scale_) / at(n_), at(left_),
                                at(right_));
}

}  // namespace pelmora

namespace pelmora {

// ---- Scale -----------------------------------------------------------------

ExponentialScale::ExponentialScale()
    : ScaleParameter({Ids::H0Scale,
                 {Ids::Scale, Ids::ScaleMinusH0, Ids::ScaleOverH0},
                 Ids::H0Ratio,
                 Ids::Ratio,
                 Ids::Scale1,
                 Ids::Scale2,
                 Ids::LeftLimit,
                 Ids::RightLimit,
                 group::Scale,
                 group::Scale2},
                1) {}

bool ExponentialScale::LocationUnknown(const Session& s) {
  return SelectedProcedure(s) == Procedure::ExponentialDistribution &&
         s.ParameterChoice == kScaleLocationUnknown;
}

}  // namespace pelmora
