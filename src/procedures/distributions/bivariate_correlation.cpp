#include "procedures/distributions/bivariate_correlation.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/correlation_coefficient.h"

namespace pelmora {

using namespace bivariate;

void BivariateNormalCorrelation::InitProcedure(Session& s) {
  if (s.ProcedureKind == 0)
    test_.InitProcedure(s);
  else
    OfferRow(s, group::ConfInterval);
}

void BivariateNormalCorrelation::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  r_ = limit_ = n_ = -1;
  if (kind_ == 0) {
    test_.BuildParameterList(s);
    return;
  }
  ListWriter list(s);
  list.Interval();
  intervalKind_ = ValidForm(s.IntParMode[group::ConfInterval]);
  r_ = list.Put(Ids::Correlation);
  limit_ = list.Put(LimitId(intervalKind_));
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

bool BivariateNormalCorrelation::CheckParameters(Session& s) { return kind_ != 0 || test_.CheckParameters(s); }

void BivariateNormalCorrelation::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (kind_ == 0) {
    test_.SetSearchInterval(s, lower, upper);
    return;
  }
  // The width is the same for r and -r: the coefficient that gives it is
  // searched at or above 0.
  if (s.UnknownPosition == r_ && intervalKind_ == 2) lower = MaxOf(lower, 0.0);
}

double BivariateNormalCorrelation::EvaluateCriterion(const Session& s) {
  if (kind_ == 0) return test_.EvaluateCriterion(s);
  Single n = At(s, n_);
  if (n <= 3) n = kMinZSize;
  const Single q = UpperNormalQuantile((1 - At(s, 0)) / 2);
  const Single zr = FisherZ(At(s, r_));
  const Single half = q / std::sqrt(n - 3);
  auto back = [](Single z) {
    const double e = ExpCapped(2 * z);
    return ToSingle((e - 1) / (e + 1));
  };
  const Single lower = back(zr - half), upper = back(zr + half);
  return static_cast<double>(ChosenOfInterval(intervalKind_, lower, upper, upper - lower)) - s.value(limit_);
}

std::optional<StandardisedEffect> BivariateNormalCorrelation::Effect(const Session& s) const {
  if (kind_ == 0) return test_.Effect(s);
  return std::nullopt;
}

std::optional<double> BivariateNormalCorrelation::EvaluatePower(const Session& s) {
  if (kind_ == 0) return test_.EvaluatePower(s);
  return std::nullopt;
}

}  // namespace pelmora
