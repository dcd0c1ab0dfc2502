#include "procedures/hypothesis/mcnemar.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/fisher_exact.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/proportions.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

// The exact binomial P-value is used up to this expected number of discordant pairs.
constexpr Single kExactLimit = 1000;
// The smallest discordant sum: a table without discordant pairs still has a
// defined statistic.
constexpr Single kMinDiscordant = 0.00001f;

}  // namespace

void McNemar::InitProcedure(Session& s) {
  DisableTwoSamples(s);
  DisableTwoOneSided(s);
  OfferOption(s, option::ContinuityCorrection);
  OfferOption(s, option::ExactCalculation);
  s.IntParRowCount = 0;
  OfferRow(s, group::Proportion2);
  OfferRow(s, group::Proportion11);
}

void McNemar::BuildParameterList(Session& s) {
  const int first = StartParameterList(s);
  const std::int16_t mode = s.IntParMode[group::Proportion2];
  proportionMode_ = mode >= 0 && mode <= 2 ? mode : 0;
  direct_ = s.IntParMode[group::Proportion11] == 1;
  continuityCorrection_ = OfferedOptionChecked(s, 0);
  exact_ = OfferedOptionChecked(s, 1);

  auto& list = s.ParameterList;
  if (!direct_) {
    static constexpr std::int16_t proportion2[3] = {Ids::Proportion2, Ids::Proportion2MinusProportion1,
                                                    Ids::Proportion2OverProportion1};
    p1_ = first;
    p2_ = first + 1;
    p11_ = first + 2;
    n_ = first + 3;
    difference_ = discordant_ = -1;
    list[p1_] = Ids::Proportion1;
    list[p2_] = proportion2[proportionMode_];
    list[p11_] = Ids::Proportion11;
    list[n_] = Ids::SampleSize;
  } else {
    difference_ = first;
    discordant_ = first + 1;
    n_ = first + 2;
    p1_ = p2_ = p11_ = -1;
    list[difference_] = Ids::Proportion2MinusProportion1;
    list[discordant_] = Ids::DiscordantSum;
    list[n_] = Ids::SampleSize;
  }
  s.LastPosition = static_cast<std::int16_t>(n_);
}

bool McNemar::CheckParameters(Session& s) {
  if (direct_) return true;
  const CatalogueEntry& p2 = s.entry(Ids::Proportion2);
  return CheckRelativeValue(s, p1_, p2_, p2.ParamLowerLimit(), p2.ParamUpperLimit(), proportionMode_);
}

std::array<double, 4> McNemar::CellProbabilities(const ParameterValueArray& v) const {
  auto at = [&](int p) { return v[static_cast<std::size_t>(p)]; };
  if (direct_) {
    const double difference = at(difference_), discordant = at(discordant_);
    return {(discordant - difference) / 2, (discordant + difference) / 2, 1 - discordant, 0};
  }
  const double p1 = at(p1_), second = at(p2_), p11 = at(p11_);
  const double p2 = proportionMode_ == 1 ? p1 + second : proportionMode_ == 2 ? p1 * second : second;
  return {p11, p1 - p11, p2 - p11, 1 - p1 - p2 + p11};
}

void McNemar::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  // Every cell of the paired table within 0 and 1.  Each cell is linear in
  // any one unknown; one that does not depend on the unknown and lies
  // outside closes the interval.
  ParameterValueArray w = s.ParameterValues;
  w[static_cast<std::size_t>(u)] = 0;
  const std::array<double, 4> at0 = CellProbabilities(w);
  w[static_cast<std::size_t>(u)] = 1;
  const std::array<double, 4> at1 = CellProbabilities(w);
  for (std::size_t c = 0; c < at0.size(); ++c) {
    KeepLinearAtLeast(at0[c], at1[c], 0, lower, upper);
    KeepLinearAtMost(at0[c], at1[c], 1, lower, upper);
  }
  // The assumed difference p2 - p1 on the rejection side of 0, and the second
  // proportion within its limits through its form.
  if (!direct_ && (u == p1_ || u == p2_)) {
    const CatalogueEntry& p2 = s.entry(Ids::Proportion2);
    MeanPairSearchInterval(s, lower, upper, 0.0, p1_ - 1, p2.ParamLowerLimit(), p2.ParamUpperLimit(),
                           proportionMode_);
  }
  if (direct_ && u == difference_) NarrowByTailReversed(s, lower, upper, 0.0);
}

void McNemar::ExpectedCounts(const Session& s, Single& pairs, Single& x) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  Single discordant, difference;
  if (!direct_) {
    const Single p1 = at(p1_);
    const Single p2 = ResolveRelativeValue(v, static_cast<std::int16_t>(p2_), p1, proportionMode_);
    const Single p11 = at(p11_);
    discordant = MaxOf(p1 + p2 - 2 * p11, kMinDiscordant);
    difference = p2 - p1;
  } else {
    difference = at(difference_);
    discordant = at(discordant_);
  }
  const Single n = at(n_);
  pairs = n * discordant;                 // expected discordant pairs
  x = n * (discordant + difference) / 2;  // expected count in the cell "01"
}

double McNemar::EvaluateCriterion(const Session& s) {
  Single pairs, x;
  ExpectedCounts(s, pairs, x);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p;
  if (exact_ && pairs <= kExactLimit) {
    p = BinomialPValue(sides, pairs, x, 0.5f, 0, 0);
  } else {
    const Single se = std::sqrt(1 / (4 * pairs));
    const Single cc = continuityCorrection_ ? 1 / (2 * pairs) : 0.0f;
    p = PValueZ(sides, x / pairs, 0.5f, se, 0, 0, cc);
  }
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> McNemar::EvaluatePower(const Session& s) {
  Single pairs, x;
  ExpectedCounts(s, pairs, x);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (exact_ && pairs <= kExactLimit) return BinomialPower(sides, s.value(0), pairs, x / pairs, 0.5f, 0, 0);
  const Single se = std::sqrt(1 / (4 * pairs));
  const Single cc = continuityCorrection_ ? 1 / (2 * pairs) : 0.0f;
  return PowerOfZTest(sides, s.value(0), x / pairs, 0.5f, se, 0, 0, cc);
}

}  // namespace pelmora
