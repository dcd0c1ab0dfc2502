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
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  continuity_ = OfferedOptionChecked(s, 0);
  s.ParameterList[kProbPositive] = Ids::ProbPositive;
  s.ParameterList[kProbPairSum] = Ids::ProbPairSumPositive;
  s.ParameterList[kSampleSize] = Ids::SampleSize;
  s.LastPosition = kSampleSize;
}

bool WilcoxonSignedRank::CheckParameters(Session& /*s*/) { return true; }

void WilcoxonSignedRank::SetSearchInterval(Session& s, double& lower, double& upper) {
  // The assumed result lies on the rejection side of the null hypothesis:
  // n (p1 - 1/2) + n (n - 1) / 2 (p2 - 1/2) above 0 (or below it, rejecting in
  // the left tail).
  const int u = s.UnknownPosition;
  const double n = s.value(kSampleSize);
  const double p1 = s.value(kProbPositive), p2 = s.value(kProbPairSum);
  if (u == kProbPositive) NarrowByTailReversed(s, lower, upper, 0.5 - (n - 1) / 2 * (p2 - 0.5));
  if (u == kProbPairSum && n > 1) NarrowByTailReversed(s, lower, upper, 0.5 - 2 * (p1 - 0.5) / (n - 1));
}

ZArguments WilcoxonSignedRank::Statistic(const Session& s) const {
  const Single p1 = ToSingle(s.value(kProbPositive));
  const Single p2 = ToSingle(s.value(kProbPairSum));
  const Single n = ToSingle(s.value(kSampleSize));
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
