#include "procedures/hypothesis/wilcoxon_signed_rank.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/groups.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

void WilcoxonSignedRank::InitProcedure(Session& s) {
  DisableTwoSamples(s);
  // The list has no equivalence limits.
  DisableTwoOneSided(s);
  OfferOption(s, option::ContinuityCorrection);
}

void WilcoxonSignedRank::BuildParameterList(Session& s) {
  const int first = StartParameterList(s);
  prob_ = first;
  pairSum_ = first + 1;
  n_ = first + 2;
  continuity_ = OfferedOptionChecked(s, 0);
  s.ParameterList[prob_] = Ids::ProbPositive;
  s.ParameterList[pairSum_] = Ids::ProbPairSumPositive;
  s.ParameterList[n_] = Ids::SampleSize;
  s.LastPosition = n_;
}

bool WilcoxonSignedRank::CheckParameters(Session& /*s*/) { return true; }

void WilcoxonSignedRank::SetSearchInterval(Session& s, double& lower, double& upper) {
  // The assumed result lies on the rejection side of the null hypothesis:
  // n (p1 - 1/2) + n (n - 1) / 2 (p2 - 1/2) above 0 (or below it, rejecting in
  // the left tail).
  const int u = s.UnknownPosition;
  const double n = s.value(n_);
  const double p1 = s.value(prob_), p2 = s.value(pairSum_);
  if (u == prob_) NarrowByTailReversed(s, lower, upper, 0.5 - (n - 1) / 2 * (p2 - 0.5));
  if (u == pairSum_ && n > 1) NarrowByTailReversed(s, lower, upper, 0.5 - 2 * (p1 - 0.5) / (n - 1));
}

ZArguments WilcoxonSignedRank::Statistic(const Session& s) const {
  const Single p1 = ToSingle(s.value(prob_));
  const Single p2 = ToSingle(s.value(pairSum_));
  const Single n = ToSingle(s.value(n_));
  // The sum of the positive ranks.
  ZArguments z;
  z.x = n * p1 + n * (n - 1) * p2 / 2;
  z.null = n / 2 + n * (n - 1) / 4;
  z.se = std::sqrt(n * (n + 1) * (2 * n + 1) / 24);
  z.cc = continuity_ ? 0.5f : 0.0f;
  return z;
}

double WilcoxonSignedRank::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, Statistic(s))) - s.value(0);
}

std::optional<double> WilcoxonSignedRank::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), Statistic(s));
}

}  // namespace pelmora
