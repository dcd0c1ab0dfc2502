#include "procedures/distributions/bivariate_sd_ratio.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/root.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"

namespace pelmora {

using namespace bivariate;

void BivariateNormalSd::InitProcedure(Session& s) { OfferRow(s, group::StdDeviationRatio); }

void BivariateNormalSd::BuildParameterList(Session& s) {
  ListWriter list(s);
  tails_ = s.TailCount;
  ratioForm_ = s.IntParMode[group::StdDeviationRatio] == 1 ? 1 : 0;
  h0_ = left_ = right_ = sd1_ = sd2_ = ratio_ = rho_ = n_ = -1;
  if (tails_ != 3) {
    h0_ = list.Put(Ids::H0Ratio);
  } else {
    left_ = list.Put(Ids::LeftRatioLimit);
    right_ = list.Put(Ids::RightRatioLimit);
  }
  if (ratioForm_ == 1) {
    ratio_ = list.Put(Ids::Ratio);
  } else {
    sd1_ = list.Put(Ids::Sd1Star);
    sd2_ = list.Put(Ids::Sd2Star);
  }
  rho_ = list.Put(Ids::Correlation);
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

bool BivariateNormalSd::CheckParameters(Session& s) { return tails_ != 3 || CheckOrderedPair(s, right_); }

Single BivariateNormalSd::AssumedRatio(const Session& s) const {
  return ratioForm_ == 1 ? At(s, ratio_) : At(s, sd2_) / At(s, sd1_);
}

void BivariateNormalSd::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    ScaleSearchInterval(s, lower, upper, h0_, ratioForm_);
    return;
  }
  // Two one-sided tests: the P-value is symmetric on the z scale about the
  // middle of the transformed limits; the assumed ratio is searched on one
  // side of the ratio there.
  if (u == ratio_ || u == sd1_ || u == sd2_) {
    const double rho = s.value(rho_);
    const double zMiddle = (static_cast<double>(FisherZ(SumDiffCorrelation(At(s, left_), ToSingle(rho)))) +
                            FisherZ(SumDiffCorrelation(At(s, right_), ToSingle(rho)))) /
                           2;
    const double middle = RatioOfSumDiffCorrelation(std::tanh(zMiddle), rho);
    if (middle > 0) {
      if (u == ratio_) NarrowByTailReversed(s, lower, upper, middle);
      if (u == sd2_) NarrowByTailReversed(s, lower, upper, s.value(sd1_) * middle);
      if (u == sd1_) NarrowByTail(s, lower, upper, s.value(sd2_) / middle);
    }
  }
  if (u == left_) upper = MinOf(upper, static_cast<double>(AssumedRatio(s)));
  if (u == right_) lower = MaxOf(lower, static_cast<double>(AssumedRatio(s)));
}

double BivariateNormalSd::EvaluateCriterion(const Session& s) {
  const Single rho = At(s, rho_);
  const Single se = 1 / std::sqrt(MaxOf(At(s, n_), kMinZSize) - 3);
  auto z = [rho](Single ratio) { return FisherZ(SumDiffCorrelation(ratio, rho)); };
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single estimate = z(AssumedRatio(s));
  Single p;
  if (tails_ != 3)
    p = PValueZ(sides, estimate, z(At(s, h0_)), se, 0, 0, 0);
  else
    p = PValueZ(sides, estimate, 0, se, z(At(s, left_)), z(At(s, right_)), 0);
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> BivariateNormalSd::EvaluatePower(const Session& s) {
  const Single rho = At(s, rho_);
  const Single se = 1 / std::sqrt(MaxOf(At(s, n_), kMinZSize) - 3);
  auto z = [rho](Single ratio) { return FisherZ(SumDiffCorrelation(ratio, rho)); };
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single estimate = z(AssumedRatio(s));
  if (tails_ != 3) return PowerOfZTest(sides, s.value(0), estimate, z(At(s, h0_)), se, 0, 0, 0);
  return PowerOfZTest(sides, s.value(0), estimate, 0, se, z(At(s, left_)), z(At(s, right_)), 0);
}

}  // namespace pelmora
