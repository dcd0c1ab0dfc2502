#include "procedures/hypothesis/fisher_exact.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "numeric/fisher.h"
#include "numeric/power.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/proportions.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

// Beyond this many per sample the arc-sine approximation replaces the exact
// probabilities.
constexpr Single kExactLimit = 1000;
// Slack with which a quantity that does not depend on the unknown still
// counts as within its bound.
constexpr double kBoundSlack = 1e-6;

std::int16_t FormOf(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

}  // namespace

void KeepLinearAtLeast(double q0, double q1, double bound, double& lower, double& upper) {
  const double slope = q1 - q0;
  if (slope == 0) {
    if (q0 < bound - kBoundSlack) lower = upper;
    return;
  }
  const double t = (bound - q0) / slope;
  if (slope > 0)
    lower = MaxOf(lower, t);
  else
    upper = MinOf(upper, t);
}

void KeepLinearAtMost(double q0, double q1, double bound, double& lower, double& upper) {
  KeepLinearAtLeast(-q0, -q1, -bound, lower, upper);
}

void FisherExactTest::InitProcedure(Session& s) {
  DisableOneSample(s);
  DisableTwoOneSided(s);
  OfferOption(s, option::Frequencies);
  s.IntParRowCount = 0;
  OfferRow(s, s.optionChecked(option::Frequencies) ? group::Frequency2 : group::Proportion2);
  OfferRow(s, group::SampleSize2);
}

void FisherExactTest::BuildParameterList(Session& s) {
  first_ = StartParameterList(s);
  second_ = first_ + 1;
  n1_ = first_ + 2;
  n2_ = first_ + 3;
  frequencies_ = OfferedOptionChecked(s, 0);
  proportionMode_ = FormOf(s.IntParMode[frequencies_ ? group::Frequency2 : group::Proportion2]);
  size2Mode_ = FormOf(s.IntParMode[group::SampleSize2]);
  s.ValueMode = size2Mode_;

  static constexpr std::int16_t proportion2[3] = {Ids::Proportion2, Ids::Proportion2MinusProportion1,
                                                  Ids::Proportion2OverProportion1};
  static constexpr std::int16_t frequency2[3] = {Ids::Frequency2, Ids::Frequency2MinusFrequency1,
                                                 Ids::Frequency2OverFrequency1};
  static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                            Ids::SampleSize2OverSize1};
  auto& list = s.ParameterList;
  list[static_cast<std::size_t>(first_)] = frequencies_ ? Ids::Frequency1 : Ids::Proportion1;
  list[static_cast<std::size_t>(second_)] =
      frequencies_ ? frequency2[proportionMode_] : proportion2[proportionMode_];
  list[static_cast<std::size_t>(n1_)] = Ids::SampleSize1;
  list[static_cast<std::size_t>(n2_)] = size2[size2Mode_];
  s.LastPosition = static_cast<std::int16_t>(n2_);
}

bool FisherExactTest::CheckParameters(Session& s) {
  const CatalogueEntry& second = s.entry(frequencies_ ? Ids::Frequency2 : Ids::Proportion2);
  if (!CheckRelativeValue(s, first_, second_, second.ParamLowerLimit(), second.ParamUpperLimit(),
                          proportionMode_))
    return false;
  const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
  return CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_);
}

void FisherExactTest::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  const bool left = s.RejectInLeftTail != kFalse;
  // Relative sample sizes keep both samples above 2 (these set the lower end
  // outright, so they come first).
  if (size2Mode_ == 1 || size2Mode_ == 2) {
    if (u == n1_) LowerBoundBaseSize(s, n2_, lower);
    if (u == n2_) LowerBoundRelativeSize(s, n1_, lower);
  }
  if (!frequencies_) {
    // The second proportion within its limits through its form, and the
    // assumed difference on the rejection side of 0.
    if (u == first_ || u == second_) {
      const CatalogueEntry& p2 = s.entry(Ids::Proportion2);
      MeanPairSearchInterval(s, lower, upper, 0.0, first_ - 1, p2.ParamLowerLimit(), p2.ParamUpperLimit(),
                             proportionMode_);
    }
  } else if (u == first_ || u == second_ || u == n1_ || u == n2_) {
    // Every count within its sample, and with the frequencies unknown the
    // difference of the implied proportions on the rejection side of 0.  Each
    // of these is linear in the unknown while the other values stay fixed.
    auto with = [&](double x) {
      ParameterValueArray w = s.ParameterValues;
      w[static_cast<std::size_t>(u)] = x;
      return AssumedSamples(w);
    };
    const Samples a = with(0), b = with(1);
    KeepLinearAtLeast(a.count1, b.count1, 0, lower, upper);
    KeepLinearAtLeast(a.count2, b.count2, 0, lower, upper);
    KeepLinearAtLeast(a.n1 - a.count1, b.n1 - b.count1, 0, lower, upper);
    KeepLinearAtLeast(a.n2 - a.count2, b.n2 - b.count2, 0, lower, upper);
    if (u == first_ || u == second_) {
      if (!left)
        KeepLinearAtLeast(a.p2 - a.p1, b.p2 - b.p1, 0, lower, upper);
      else
        KeepLinearAtMost(a.p2 - a.p1, b.p2 - b.p1, 0, lower, upper);
    }
  }
}

FisherExactTest::Samples FisherExactTest::AssumedSamples(const ParameterValueArray& v) const {
  Samples a;
  a.n1 = ToSingle(v[static_cast<std::size_t>(n1_)]);
  a.n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), a.n1, size2Mode_);
  const Single first = ToSingle(v[static_cast<std::size_t>(first_)]);
  const Single second = ResolveRelativeValue(v, static_cast<std::int16_t>(second_), first, proportionMode_);
  if (frequencies_) {
    a.count1 = first;
    a.count2 = second;
    a.p1 = a.n1 != 0 ? first / a.n1 : 0.0f;
    a.p2 = a.n2 != 0 ? second / a.n2 : 0.0f;
  } else {
    a.p1 = first;
    a.p2 = second;
    a.count1 = a.n1 * first;
    a.count2 = a.n2 * second;
  }
  return a;
}

Single FisherExactTest::PValue(Sides sides, const Samples& a) {
  if (a.n1 == 0 || a.n2 == 0) return 1.0f;
  if (a.n1 > kExactLimit || a.n2 > kExactLimit) {
    const Single estimate = ArcsineValue(a.p2) - ArcsineValue(a.p1);
    const Single se = std::sqrt(1 / a.n1 + 1 / a.n2) / 2;
    return PValueZ(sides, estimate, 0, se, 0, 0, 0);
  }
  const std::int16_t x1 = CInt16(a.count1);
  const std::int16_t x2 = CInt16(a.count2);
  const FisherTable table{{{x1, CInt16(a.n1 - x1)}, {x2, CInt16(a.n2 - x2)}}};
  return Chosen(sides, FisherExact(table), a.p1, a.p2);
}

Single FisherExactTest::Chosen(Sides sides, const FisherProbabilities& f, Single p1, Single p2) {
  if (sides.TailCount != 1) return f.twoSided;
  const bool left = sides.RejectInLeftTail != kFalse;
  const bool inTestedDirection = left ? p2 <= p1 : p2 > p1;
  return inTestedDirection ? MinOf(f.upperTail, f.lowerTail) : MaxOf(f.upperTail, f.lowerTail);
}

CriterionTraits FisherExactTest::Traits(const Session& s) const {
  CriterionTraits t;
  const int u = s.UnknownPosition;
  t.wholeSteps = u == n1_ || (u == n2_ && size2Mode_ != 2);
  return t;
}

double FisherExactTest::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValue(sides, AssumedSamples(s.ParameterValues))) - s.value(0);
}

std::optional<double> FisherExactTest::Power(Sides sides, double alpha, const Samples& a) {
  if (!(alpha > 0 && alpha < 1) || sides.TailCount < 1 || sides.TailCount > 3) return std::nullopt;
  if (!(a.n1 >= 0 && a.n2 >= 0) || !(a.p1 >= 0 && a.p1 <= 1) || !(a.p2 >= 0 && a.p2 <= 1))
    return std::nullopt;
  if (a.n1 > kExactLimit || a.n2 > kExactLimit) {
    const Single se = std::sqrt(1 / a.n1 + 1 / a.n2) / 2;
    return PowerOfZTest(sides, alpha, ArcsineValue(a.p2) - ArcsineValue(a.p1), 0, se, 0, 0, 0);
  }
  const double power = InterpolateOverWholeCounts<2>({a.n1, a.n2}, [&](const std::array<int, 2>& size) {
    const int n1 = size[0], n2 = size[1];
    if (n1 == 0 || n2 == 0) return 0.0;  // the P-value is 1
    const std::vector<double> first = BinomialProbabilities(n1, a.p1),
                              second = BinomialProbabilities(n2, a.p2);
    if (first.empty() || second.empty()) return 0.0;
    // The tables of one column total t share their conditional probabilities:
    // one pass over each total that some table of it makes probable enough.
    double power = 0;
    for (int t = 0; t <= n1 + n2; ++t) {
      const int lowest = std::max(0, t - n2), highest = std::min(n1, t);
      auto joint = [&](int x1) {
        return first[static_cast<std::size_t>(x1)] * second[static_cast<std::size_t>(t - x1)];
      };
      bool probable = false;
      for (int x1 = lowest; x1 <= highest && !probable; ++x1) probable = joint(x1) >= kNegligibleOutcome;
      if (!probable) continue;
      const std::vector<FisherProbabilities> tables = FisherExactMargin(
          static_cast<std::int16_t>(n1), static_cast<std::int16_t>(n2), static_cast<std::int16_t>(t));
      for (int x1 = lowest; x1 <= highest; ++x1) {
        const double p = joint(x1);
        if (p < kNegligibleOutcome) continue;
        const Single p1 = static_cast<Single>(x1) / static_cast<Single>(n1);
        const Single p2 = static_cast<Single>(t - x1) / static_cast<Single>(n2);
        if (Chosen(sides, tables[static_cast<std::size_t>(x1 - lowest)], p1, p2) <= alpha) power += p;
      }
    }
    return std::min(power, 1.0);
  });
  return std::clamp(power, 0.0, 1.0);  // the interpolation may round past 1
}

std::optional<double> FisherExactTest::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return Power(sides, s.value(0), AssumedSamples(s.ParameterValues));
}

// The odds ratio of the second group to the first.
std::optional<StandardisedEffect> FisherExactTest::Effect(const Session& s) const {
  const Samples a = AssumedSamples(s.ParameterValues);
  const double p1 = a.p1, p2 = a.p2;
  if (p1 <= 0 || p1 >= 1 || p2 <= 0 || p2 >= 1) return std::nullopt;
  return StandardisedEffect{"odds ratio", p2 * (1 - p1) / (p1 * (1 - p2))};
}

}  // namespace pelmora
