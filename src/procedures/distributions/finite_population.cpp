#include "procedures/distributions/finite_population.h"

#include <algorithm>
#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/distributions/hypergeometric.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"

namespace pelmora {

namespace {

constexpr std::int16_t kTest = 0, kInterval = 2;

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

// The share 1 - n/N of the variance that sampling n from N leaves; nothing
// is left when the sample is as large as the population or larger.
Single Remaining(Single n, Single N) { return MaxOf(1 - n / N, 0.0f); }

bool InMonteCarloWindow(const Session& s) {
  return s.ActiveRecord > 0 && s.ActiveRecord < static_cast<int>(s.records.size()) &&
         s.records[static_cast<std::size_t>(s.ActiveRecord)].kind ==
             static_cast<std::int16_t>(WindowKind::MonteCarlo);
}

}  // namespace

// ---- The mean, by the normal approximation -------------------------------------

void FinitePopulationMean::InitProcedure(Session& s) {
  DisablePointEstimate(s);
  s.IntParRowCount = 0;
  if (s.ProcedureKind == kTest) {
    // Its criterion is already the power of the test.
    s.dialog.planByPowerFixed = true;
    if (s.SampleCount == 1) {
      // Two one-sided tests take the assumed mean as a value only.
      if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Mean);
    } else {
      OfferRow(s, group::Mean2);
      OfferRow(s, group::SampleSize2);
      OfferRow(s, group::PopulationSize2);
    }
  } else {
    if (s.SampleCount == 2) {
      OfferRow(s, group::SampleSize2);
      OfferRow(s, group::PopulationSize2);
    }
    OfferRow(s, group::ConfInterval);
  }
}

void FinitePopulationMean::BuildParameterList(Session& s) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  kind_ = s.ProcedureKind;
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  s.ParameterChoiceName = twoSamples_ ? "Mean2 - Mean1" : "Mean";
  meanMode_ = FormIndex(s.IntParMode[twoSamples_ ? group::Mean2 : group::Mean]);
  if (kind_ != kTest || (!twoSamples_ && tails_ == 3)) meanMode_ = 0;
  size2Mode_ = FormIndex(s.IntParMode[group::SampleSize2]);
  population2Mode_ = FormIndex(s.IntParMode[group::PopulationSize2]);
  intervalKind_ = FormIndex(s.IntParMode[group::ConfInterval]);
  if (twoSamples_) s.ValueMode = size2Mode_;

  power_ = h0_ = left_ = right_ = estimate_ = mean1_ = mean2_ = limit_ = sd_ = -1;
  n1_ = n2_ = population1_ = population2_ = -1;
  int p = 2;
  if (kind_ == kTest) {
    BuildTestList(s, p);
  } else if (kind_ == kInterval) {
    BuildIntervalList(s, p);
  } else {
    // No other kind is defined: P-value and power only, nothing to solve.
    s.LastPosition = 1;
    return;
  }
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  sd_ = put(Ids::Sd);
  if (!twoSamples_) {
    n1_ = put(Ids::SampleSize);
    population1_ = put(Ids::PopulationSize);
  } else {
    static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                              Ids::SampleSize2OverSize1};
    static constexpr std::int16_t population2[3] = {Ids::PopulationSize2, Ids::PopulationSize2MinusSize1,
                                                    Ids::PopulationSize2OverSize1};
    n1_ = put(Ids::SampleSize1);
    n2_ = put(size2[size2Mode_]);
    population1_ = put(Ids::PopulationSize1);
    population2_ = put(population2[population2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

void FinitePopulationMean::BuildTestList(Session& s, int& p) {
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  // Position 1 has no row in the Calculation window: it keeps the power's id
  // unread, and the power asked for stands at position 2, where it can be
  // typed (both positions show the same catalogue entry).
  power_ = put(Ids::Power);
  if (tails_ == 3) {
    left_ = put(Ids::LeftLimit);
    right_ = put(Ids::RightLimit);
  }
  if (!twoSamples_) {
    static constexpr std::int16_t estimate[3] = {Ids::Mean, Ids::MeanMinusH0, Ids::MeanOverH0};
    if (tails_ != 3) h0_ = put(Ids::H0Mean);
    estimate_ = put(estimate[meanMode_]);
  } else {
    if (tails_ != 3) h0_ = put(Ids::H0Diff);
    if (meanMode_ == 1) {
      estimate_ = put(Ids::Diff);
    } else {
      mean1_ = put(Ids::Mean1);
      mean2_ = put(meanMode_ == 2 ? Ids::Mean2OverMean1 : Ids::Mean2);
    }
  }
}

void FinitePopulationMean::BuildIntervalList(Session& s, int& p) {
  static constexpr std::int16_t limits[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
  s.ParameterList[0] = Ids::ConfidenceLevel;
  s.ParameterList[1] = Ids::ProbWidth;
  estimate_ = p;
  s.ParameterList[static_cast<std::size_t>(p++)] = twoSamples_ ? Ids::Diff : Ids::Mean;
  limit_ = p;
  s.ParameterList[static_cast<std::size_t>(p++)] = limits[intervalKind_];
}

bool FinitePopulationMean::CheckParameters(Session& s) {
  if (kind_ != kTest && kind_ != kInterval) return true;
  if (twoSamples_) {
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
    const CatalogueEntry& population2 = s.entry(Ids::PopulationSize2);
    if (!CheckRelativeValue(s, population1_, population2_, population2.ParamLowerLimit(),
                            population2.ParamUpperLimit(), population2Mode_))
      return false;
  }
  if (kind_ == kTest) {
    if (!twoSamples_ && tails_ != 3) {
      const CatalogueEntry& mean = s.entry(Ids::Mean);
      if (!CheckRelativeValue(s, h0_, estimate_, mean.ParamLowerLimit(), mean.ParamUpperLimit(), meanMode_))
        return false;
    }
    if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  }
  return true;
}

void FinitePopulationMean::NarrowSizes(const Session& s, double& lower, double& upper) const {
  // Each population holds its sample and one unit more.
  if (twoSamples_) {
    SampleSizeSearchInterval(s, n1_, lower, upper, population2Mode_);
    return;
  }
  const int u = s.UnknownPosition;
  if (u == n1_) upper = MinOf(upper, s.value(population1_) - 1);
  if (u == population1_) lower = MaxOf(lower, s.value(n1_) + 1);
}

void FinitePopulationMean::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (kind_ != kTest && kind_ != kInterval) {
    lower = upper;  // nothing is defined to be solved
    return;
  }
  NarrowSizes(s, lower, upper);
  if (kind_ != kTest) return;
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    if (!twoSamples_) {
      if (u == h0_ && meanMode_ == 1) {
        lower = upper;  // the mean moves with H0: the power does not depend on it
      } else if (u == h0_ || u == estimate_) {
        RelativeSearchIntervalTailed(s, lower, upper, h0_, -99999, 99999, meanMode_);
      }
    } else if (meanMode_ == 1) {
      if (u == estimate_) NarrowByTailReversed(s, lower, upper, s.value(h0_));
      if (u == h0_) NarrowByTail(s, lower, upper, s.value(estimate_));
    } else if (u == h0_ || u == mean1_ || u == mean2_) {
      MeanPairSearchInterval(s, lower, upper, s.value(h0_), h0_, -99999, 99999, meanMode_);
    }
  } else {
    // The power of two one-sided tests is largest half way between the
    // limits and falls off to both sides: the estimate is searched on one side.
    const double mid = (s.value(left_) + s.value(right_)) / 2;
    NarrowDifferenceToMidpoint(s, lower, upper, mid, estimate_, mean1_, mean2_, meanMode_);
    if (u == left_ || u == right_) NarrowLimitByEstimate(s, lower, upper, left_, right_, Difference(s));
  }
}

Single FinitePopulationMean::StandardError(const Session& s) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const Single sd = at(sd_);
  const Single n1 = at(n1_), N1 = at(population1_);
  if (!twoSamples_) return sd / std::sqrt(n1) * std::sqrt(Remaining(n1, N1));
  const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
  const Single N2 = ResolveRelativeValue(v, static_cast<std::int16_t>(population2_), N1, population2Mode_);
  return sd * std::sqrt(Remaining(n1, N1) / n1 + Remaining(n2, N2) / n2);
}

Single FinitePopulationMean::Difference(const Session& s) const {
  const auto& v = s.ParameterValues;
  const Single null = tails_ != 3 ? ToSingle(s.value(h0_)) : 0.0f;
  Single estimate = 0;
  if (!twoSamples_) {
    estimate = ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), null, meanMode_);
  } else if (meanMode_ == 1) {
    estimate = ToSingle(s.value(estimate_));
  } else {
    const Single m1 = ToSingle(s.value(mean1_));
    estimate = ResolveRelativeValue(v, static_cast<std::int16_t>(mean2_), m1, meanMode_) - m1;
  }
  return estimate - null;
}

double FinitePopulationMean::TestCriterion(const Session& s) const { return PowerBeyond(s, s.value(power_)); }

double FinitePopulationMean::PowerBeyond(const Session& s, double requested) const {
  const Single delta = Difference(s);
  const Single se = StandardError(s);
  const Single left = left_ >= 0 ? ToSingle(s.value(left_)) : 0.0f;
  const Single right = right_ >= 0 ? ToSingle(s.value(right_)) : 0.0f;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return NormalPowerCriterion(sides, s.value(0), requested, delta, se, se, delta - left, right - delta, se,
                              se, 0.0f);
}

double FinitePopulationMean::IntervalCriterion(const Session& s) const {
  const Single level = ToSingle(s.value(0));
  const Single estimate = ToSingle(s.value(estimate_));
  const Single limit = ToSingle(s.value(limit_));
  const Single halfWidth = UpperNormalQuantile((1 - level) / 2) * StandardError(s);
  Single r = 0;
  switch (intervalKind_) {
    case 0:
      r = estimate - halfWidth - limit;
      break;
    case 1:
      r = estimate + halfWidth - limit;
      break;
    default:
      r = 2 * halfWidth - limit;
      break;
  }
  return static_cast<double>(r);
}

CriterionTraits FinitePopulationMean::Traits(const Session&) const {
  CriterionTraits t;
  t.comparedPosition = kind_ == kTest ? power_ : -1;
  return t;
}

double FinitePopulationMean::EvaluateCriterion(const Session& s) {
  if (kind_ == kTest) return TestCriterion(s);
  if (kind_ == kInterval) return IntervalCriterion(s);
  return 0;
}

std::optional<double> FinitePopulationMean::EvaluatePower(const Session& s) {
  if (kind_ != kTest || s.TailCount < 1 || s.TailCount > 3) return std::nullopt;
  const double power = PowerBeyond(s, 0);
  if (!std::isfinite(power)) return std::nullopt;
  return std::clamp(power, 0.0, 1.0);
}

// ---- The entry of the menu ------------------------------------------------------

ProcedureModule& FinitePopulationDistribution::Served(const Session& s) const {
  if (s.ParameterChoice == kProportion) return proportion_;
  return mean_;
}

void FinitePopulationDistribution::InitProcedure(Session& s) { Served(s).InitProcedure(s); }

void FinitePopulationDistribution::BuildParameterList(Session& s) {
  if (s.ParameterChoice == kMean && InMonteCarloWindow(s))
    s.ui().Warn("Not Available As Monte Carlo Simulation");
  Served(s).BuildParameterList(s);
}

bool FinitePopulationDistribution::CheckParameters(Session& s) { return Served(s).CheckParameters(s); }

void FinitePopulationDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  Served(s).SetSearchInterval(s, lower, upper);
}

double FinitePopulationDistribution::EvaluateCriterion(const Session& s) { return Served(s).EvaluateCriterion(s); }

CriterionTraits FinitePopulationDistribution::Traits(const Session& s) const { return Served(s).Traits(s); }
std::optional<double> FinitePopulationDistribution::EvaluatePower(const Session& s) {
  return Served(s).EvaluatePower(s);
}

void FinitePopulationDistribution::OptionChanged(Session& s, std::int16_t optionId) { Served(s).OptionChanged(s, optionId); }

bool FinitePopulationDistribution::OpenGroupGrid(Session& s, int row) { return Served(s).OpenGroupGrid(s, row); }

bool FinitePopulationDistribution::CheckGroupGrid(Session& s, int row, int column) {
  return Served(s).CheckGroupGrid(s, row, column);
}

Single FinitePopulationDistribution::ApplyGroupGrid(Session& s) { return Served(s).ApplyGroupGrid(s); }

}  // namespace pelmora

namespace pelmora {

std::unique_ptr<StudySimulator> FinitePopulationMean::MakeSimulator(const Session&, const SimulationPlan&,
                                                                    std::string& why) {
  why = "Not Available As Monte Carlo Simulation";
  return nullptr;
}

std::unique_ptr<StudySimulator> FinitePopulationDistribution::MakeSimulator(const Session& s,
                                                                            const SimulationPlan& plan,
                                                                            std::string& why) {
  return Served(s).MakeSimulator(s, plan, why);
}

}  // namespace pelmora
