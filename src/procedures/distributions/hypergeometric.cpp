#include "procedures/distributions/hypergeometric.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"
#include "session/checks.h"

namespace pelmora {

namespace {

constexpr std::int16_t kTest = 0, kPointEstimate = 1, kInterval = 2;

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

// The finite-population correction (N - n)/(N - 1) of a sample of n from N;
// a sample larger than its population leaves no variance.
Single Correction(Single N, Single n) { return MaxOf((N - n) / (N - 1), 0.0f); }

}  // namespace

void DisablePointEstimate(Session& s) {
  s.dialog.procedureEnabled[kPointEstimate] = false;
  if (s.ProcedureKind == kPointEstimate) {
    s.ProcedureKind = kTest;
    // The dispatcher had closed two one-sided tests for the point estimate.
    s.dialog.tailsEnabled[2] = true;
  }
}

ProcedureModule* HypergeometricDistribution::Test(const Session& s) const {
  return s.ProcedureKind == kTest ? &test_ : nullptr;
}

void HypergeometricDistribution::InitProcedure(Session& s) {
  DisablePointEstimate(s);
  if (ProcedureModule* test = Test(s)) {
    test->InitProcedure(s);
    return;
  }
  s.IntParRowCount = 0;
  OfferOption(s, option::ContinuityCorrection);
  if (s.SampleCount == 2) {
    OfferRow(s, group::Proportion2);
    OfferRow(s, group::SampleSize2);
    OfferRow(s, group::PopulationSize2);
  }
  OfferRow(s, group::ConfInterval);
}

void HypergeometricDistribution::OptionChanged(Session& s, std::int16_t optionId) {
  if (ProcedureModule* test = Test(s)) test->OptionChanged(s, optionId);
}

void HypergeometricDistribution::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  twoSamples_ = s.SampleCount == 2;
  s.ParameterChoiceName = twoSamples_ ? "Proportion 2 - Proportion 1" : "Proportion";
  if (ProcedureModule* test = Test(s)) {
    test->BuildParameterList(s);
    return;
  }
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  continuity_ = OfferedOptionChecked(s, 0);
  proportion2Mode_ = FormIndex(s.IntParMode[group::Proportion2]);
  size2Mode_ = FormIndex(s.IntParMode[group::SampleSize2]);
  population2Mode_ = FormIndex(s.IntParMode[group::PopulationSize2]);
  intervalKind_ = FormIndex(s.IntParMode[group::ConfInterval]);
  if (twoSamples_) s.ValueMode = size2Mode_;

  p1_ = p2_ = limit_ = n1_ = n2_ = population1_ = population2_ = -1;
  if (kind_ != kInterval) {
    // No other kind is defined: P-value and power only, nothing to solve.
    s.LastPosition = 1;
    return;
  }
  int p = 0;
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  static constexpr std::int16_t limits[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
  put(Ids::ConfidenceLevel);
  put(Ids::ProbWidth);
  if (!twoSamples_) {
    p1_ = put(Ids::Proportion);
    limit_ = put(limits[intervalKind_]);
    n1_ = put(Ids::SampleSize);
    population1_ = put(Ids::PopulationSize);
  } else {
    static constexpr std::int16_t proportion2[3] = {Ids::Proportion2, Ids::Proportion2MinusProportion1,
                                                    Ids::Proportion2OverProportion1};
    static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                              Ids::SampleSize2OverSize1};
    static constexpr std::int16_t population2[3] = {Ids::PopulationSize2, Ids::PopulationSize2MinusSize1,
                                                    Ids::PopulationSize2OverSize1};
    p1_ = put(Ids::Proportion1);
    p2_ = put(proportion2[proportion2Mode_]);
    limit_ = put(limits[intervalKind_]);
    n1_ = put(Ids::SampleSize1);
    n2_ = put(size2[size2Mode_]);
    population1_ = put(Ids::PopulationSize1);
    population2_ = put(population2[population2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool HypergeometricDistribution::CheckParameters(Session& s) {
  if (ProcedureModule* test = Test(s)) return test->CheckParameters(s);
  if (kind_ != kInterval) return true;
  if (!twoSamples_) return CheckNotAbove(s, n1_, population1_);
  const CatalogueEntry& p2 = s.entry(Ids::Proportion2);
  if (!CheckRelativeValue(s, p1_, p2_, p2.ParamLowerLimit, p2.ParamUpperLimit, proportion2Mode_))
    return false;
  return CheckSizesWithinPopulations(s, n1_, population2Mode_);
}

void HypergeometricDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (ProcedureModule* test = Test(s)) {
    test->SetSearchInterval(s, lower, upper);
    return;
  }
  if (kind_ != kInterval) {
    lower = upper;  // nothing is defined to be solved
    return;
  }
  const int u = s.UnknownPosition;
  if (!twoSamples_) {
    // The population holds its sample and one unit more.
    if (u == n1_) upper = MinOf(upper, s.value(population1_) - 1);
    if (u == population1_) lower = MaxOf(lower, s.value(n1_) + 1);
    return;
  }
  // The second proportion, through its form, stays a proportion.
  const CatalogueEntry& bounds = s.entry(Ids::Proportion2);
  const double lo = bounds.ParamLowerLimit, hi = bounds.ParamUpperLimit;
  if (u == p2_) RelativeSearchInterval(s, lower, upper, p1_, lo, hi, proportion2Mode_);
  if (u == p1_) {
    const double second = s.value(p2_);
    if (proportion2Mode_ == 1) {
      lower = MaxOf(lower, lo - second);
      upper = MinOf(upper, hi - second);
    } else if (proportion2Mode_ == 2 && second > 0) {
      lower = MaxOf(lower, lo / second);
      upper = MinOf(upper, hi / second);
    }
  }
  SampleSizeSearchInterval(s, n1_, lower, upper, population2Mode_);
}

CriterionTraits HypergeometricDistribution::Traits(const Session& s) const {
  if (const ProcedureModule* test = Test(s)) return test->Traits(s);
  return ProcedureModule::Traits(s);
}

double HypergeometricDistribution::EvaluateCriterion(const Session& s) {
  if (ProcedureModule* test = Test(s)) return test->EvaluateCriterion(s);
  if (kind_ != kInterval) return 0;
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const Single level = at(0);
  const Single limit = at(limit_);
  Single estimate = 0, se = 0, cc = 0;
  if (!twoSamples_) {
    const Single p = at(p1_), n = at(n1_), N = at(population1_);
    se = std::sqrt(p * (1 - p) * Correction(N, n) / n);
    if (continuity_) cc = 1 / (2 * n);
    estimate = p;
  } else {
    const Single p1 = at(p1_);
    const Single p2 = ResolveRelativeValue(v, static_cast<std::int16_t>(p2_), p1, proportion2Mode_);
    const Single n1 = at(n1_);
    const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    const Single N1 = at(population1_);
    const Single N2 = ResolveRelativeValue(v, static_cast<std::int16_t>(population2_), N1, population2Mode_);
    se = std::sqrt(p1 * (1 - p1) * Correction(N1, n1) / n1 + p2 * (1 - p2) * Correction(N2, n2) / n2);
    if (continuity_) cc = (1 / n1 + 1 / n2) / 2;
    estimate = p2 - p1;
  }
  const Single z = UpperNormalQuantile((1 - level) / 2);
  Single r = 0;
  switch (intervalKind_) {
    case 0:
      r = estimate + cc - z * se - limit;
      break;
    case 1:
      r = estimate - cc + z * se - limit;
      break;
    default:
      r = 2 * z * se - 2 * cc - limit;
      break;
  }
  return static_cast<double>(r);
}

std::optional<double> HypergeometricDistribution::EvaluatePower(const Session& s) {
  if (ProcedureModule* test = Test(s)) return test->EvaluatePower(s);
  return std::nullopt;
}

bool HypergeometricDistribution::OpenGroupGrid(Session& s, int row) {
  ProcedureModule* test = Test(s);
  return test != nullptr && test->OpenGroupGrid(s, row);
}

bool HypergeometricDistribution::CheckGroupGrid(Session& s, int row, int column) {
  ProcedureModule* test = Test(s);
  return test == nullptr || test->CheckGroupGrid(s, row, column);
}

Single HypergeometricDistribution::ApplyGroupGrid(Session& s) {
  ProcedureModule* test = Test(s);
  return test != nullptr ? test->ApplyGroupGrid(s) : 0.0f;
}

}  // namespace pelmora
