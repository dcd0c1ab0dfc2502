#include "procedures/hypothesis/bioequivalence.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"

namespace pelmora {

void Bioequivalence::InitProcedure(Session& s) {
  // One sample of subjects, each given both formulations; the test is always
  // two one-sided.
  if (s.SampleCount == 2) s.SampleCount = 1;
  s.dialog.samplesEnabled[1] = false;
  s.TailCount = 3;
  s.dialog.tailsEnabled[0] = false;
  s.dialog.tailsEnabled[1] = false;
  s.IntParRowCount = 0;
  OfferRow(s, group::Median2);
  OfferRow(s, group::Dispersion);
}

void Bioequivalence::BuildParameterList(Session& s) {
  ratioGiven_ = RowMode(s, 0) == 1;
  const std::int16_t dispersionMode = RowMode(s, 1);
  cvGiven_ = dispersionMode == 1 || dispersionMode == 2;

  left_ = right_ = ratio_ = median1_ = median2_ = dispersion_ = n_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  left_ = put(Ids::LeftLimit);
  right_ = put(Ids::RightLimit);
  if (ratioGiven_) {
    ratio_ = put(Ids::Ratio);
  } else {
    median1_ = put(Ids::Median1);
    median2_ = put(Ids::Median2);
  }
  dispersion_ = put(cvGiven_ ? Ids::CoefficientOfVariation : Ids::ResidualSd);
  n_ = put(Ids::SampleSize);
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool Bioequivalence::CheckParameters(Session& s) { return CheckOrderedPair(s, right_); }

void Bioequivalence::SetSearchInterval(Session& s, double& lower, double& upper) {
  // The t statistic is symmetric on the log scale: the geometric middle of
  // the limits separates the two roots of an unknown ratio or median.
  const int u = s.UnknownPosition;
  const double mid = std::sqrt(s.value(left_) * s.value(right_));
  NarrowRatioToMidpoint(s, lower, upper, mid, ratio_, median1_, median2_);
  if (u == left_ || u == right_) NarrowLimitByEstimate(s, lower, upper, left_, right_, AssumedRatio(s));
}

Single Bioequivalence::AssumedRatio(const Session& s) const {
  if (ratioGiven_) return ToSingle(s.value(ratio_));
  return ToSingle(s.value(median2_)) / ToSingle(s.value(median1_));
}

TArguments Bioequivalence::Statistic(const Session& s) const {
  TArguments t;
  t.x = ratioGiven_ ? std::log(ToSingle(s.value(ratio_)))
                    : std::log(ToSingle(s.value(median2_))) - std::log(ToSingle(s.value(median1_)));
  t.left = std::log(ToSingle(s.value(left_)));
  t.right = std::log(ToSingle(s.value(right_)));
  const Single dispersion = ToSingle(s.value(dispersion_));
  // The residual standard deviation on the log scale; from a coefficient of
  // variation CV it is sqrt(ln(CV^2 + 1)).
  const Single sd = cvGiven_ ? std::sqrt(std::log(dispersion * dispersion + 1.0f)) : dispersion;
  const Single n = ToSingle(s.value(n_));
  t.se = sd * std::sqrt(2.0f / n);
  t.df = n - 2 + 0.00001f;
  return t;
}

double Bioequivalence::EvaluateCriterion(const Session& s) {
  const Sides sides{3, s.RejectInLeftTail};  // the list always holds the two limits
  return static_cast<double>(PValueT(sides, Statistic(s))) - s.value(0);
}

std::optional<double> Bioequivalence::EvaluatePower(const Session& s) {
  return PowerOfTTest(Sides{3, s.RejectInLeftTail}, s.value(0), Statistic(s));
}

}  // namespace pelmora
