#include "procedures/hypothesis/sign.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/proportions.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

void Sign::InitProcedure(Session& s) {
  DisableTwoSamples(s);
  // The list has no equivalence limits.
  DisableTwoOneSided(s);
  OfferOption(s, option::ContinuityCorrection);
  OfferOption(s, option::ExactCalculation);
}

void Sign::BuildParameterList(Session& s) {
  const int first = StartParameterList(s);
  prob_ = first;
  n_ = first + 1;
  continuity_ = OfferedOptionChecked(s, 0);
  exact_ = OfferedOptionChecked(s, 1);
  s.ParameterList[prob_] = Ids::ProbPositive;
  s.ParameterList[n_] = Ids::SampleSize;
  s.LastPosition = n_;
}

bool Sign::CheckParameters(Session& /*s*/) { return true; }

void Sign::SetSearchInterval(Session& s, double& lower, double& upper) {
  // The probability is searched on the rejection side of 1/2.
  if (s.UnknownPosition == prob_) NarrowByTailReversed(s, lower, upper, 0.5);
}

double Sign::EvaluateCriterion(const Session& s) {
  const Single p = ToSingle(s.value(prob_));
  const Single n = ToSingle(s.value(n_));
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single pValue;
  if (exact_ && n <= kExactLimit) {
    pValue = BinomialPValue(sides, n, n * p, 0.5f, 0, 0);
  } else {
    const Single cc = continuity_ ? 0.5f : 0.0f;
    pValue = PValueZ(sides, n * p, n / 2, std::sqrt(n / 4), 0, 0, cc);
  }
  return static_cast<double>(pValue) - s.value(0);
}

std::optional<double> Sign::EvaluatePower(const Session& s) {
  const Single p = ToSingle(s.value(prob_));
  const Single n = ToSingle(s.value(n_));
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (exact_ && n <= kExactLimit) return BinomialPower(sides, s.value(0), n, p, 0.5f, 0, 0);
  const Single cc = continuity_ ? 0.5f : 0.0f;
  return PowerOfZTest(sides, s.value(0), n * p, n / 2, std::sqrt(n / 4), 0, 0, cc);
}

}  // namespace pelmora
