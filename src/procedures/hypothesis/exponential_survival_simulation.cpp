// The simulated studies of the exponential tests.  Each subject's time is
// exponential above the location with the assumed scale, each subject
// missing at random with the dropout rate; every time is observed (the
// design has no censoring).
//   Location (scale known): the minimum of the times analysed, judged by the
//     test's exponential P-value with the scale divided by their number.
//     Under H0 the location is the H0 location (two one-sided tests: the
//     limit nearer the assumed one).  The minimum of m new times is the
//     location plus an exponential time of rate m / scale.
//   Scale: each sample's scale estimated from its times, the mean above the
//     known location 0 (2n degrees of freedom), or with the location
//     estimated the mean excess over the sample minimum, sum (x - min) / (n -
//     1) (2(n - 1) degrees of freedom); one sample judged by the test's
//     chi-square P-value of df times the estimate, two by its F P-value of
//     the ratio of the estimates.  Under H0 the scale is the H0 scale, or
//     the second sample's the first one's times the H0 ratio (two one-sided
//     tests: the nearer limit).
#include <algorithm>
#include <cmath>
#include <limits>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/simulated_counts.h"
#include "numeric/simulated_data.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/exponential_survival.h"

namespace pelmora {

namespace {

// The subjects a look adds to a group, those who remain after dropout.
std::int64_t Kept(RandomStream& stream, const std::vector<std::vector<std::int64_t>>& looks, std::size_t k,
                  std::size_t g, double dropout) {
  const std::int64_t recruited = looks[k][g] - (k > 0 ? looks[k - 1][g] : 0);
  return dropout > 0 ? DrawBinomial(stream, recruited, 1 - dropout) : recruited;
}

constexpr double kMaxTimes = 1e7;

}  // namespace

std::unique_ptr<StudySimulator> ExponentialLocation::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                   std::string& why) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  const Single left = at(left_), right = at(right_), scale = at(scale_);
  double location = estimate;
  if (plan.underH0)
    location = NullDrawValue(tails_ == 3, estimate, null, left, right);
  const double n = WholeSize(s.value(n_));
  if (!(scale > 0) || !std::isfinite(location) || !(n >= 1 && n <= 1e8)) {
    why = "the times cannot be drawn with this scale and sample size";
    return nullptr;
  }
  const double sizes[1] = {n};
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const double dropout = plan.dropout;
  StudyRoutine routine = [=](RandomStream& stream, StudyOutcome& out) {
    double minimum = std::numeric_limits<double>::infinity();
    std::int64_t analysed = 0;
    for (std::size_t k = 0; k < looks.size(); ++k) {
      const std::int64_t kept = Kept(stream, looks, k, 0, dropout);
      if (kept > 0) minimum = std::min(minimum, location + DrawExponentialTime(stream, static_cast<double>(kept) / scale));
      analysed += kept;
      out.p[k] = analysed > 0 ? static_cast<double>(PValueExponential(sides, ToSingle(minimum), null,
                                                                        scale / static_cast<Single>(analysed),
                                                                        left, right))
                              : 1.0;
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

std::unique_ptr<StudySimulator> ExponentialScale::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                std::string& why) {
  // The list's quantities, found by their ids.
  auto position = [&](std::initializer_list<std::int16_t> ids) {
    for (int p = 2; p <= s.LastPosition; ++p)
      for (std::int16_t id : ids)
        if (s.ParameterList[static_cast<std::size_t>(p)] == id) return p;
    return -1;
  };
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const bool two = s.SampleCount == 2, tost = s.TailCount == 3;
  const int h0 = position({Ids::H0Scale, Ids::H0Ratio}), left = position({Ids::LeftLimit}),
            right = position({Ids::RightLimit});
  const Single null = at(h0), leftLimit = at(left), rightLimit = at(right);
  auto nearer = [&](double x) { return std::fabs(x - leftLimit) <= std::fabs(x - rightLimit) ? leftLimit : rightLimit; };
  std::array<double, 2> scales{}, sizes{};
  const int n1 = position({Ids::SampleSize, Ids::SampleSize1});
  sizes[0] = WholeSize(at(n1));
  if (!two) {
    static constexpr std::int16_t forms[3] = {Ids::Scale, Ids::ScaleMinusH0, Ids::ScaleOverH0};
    int mode = 0, p = -1;
    for (; mode < 3 && p < 0; ++mode) p = position({forms[mode]});
    if (p < 0) return nullptr;
    scales[0] = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(p), null,
                                     static_cast<std::int16_t>(mode - 1));
    if (plan.underH0) scales[0] = tost ? nearer(scales[0]) : null;
  } else {
    const int ratio = position({Ids::Ratio});
    scales[0] = ratio >= 0 ? 1.0 : at(position({Ids::Scale1}));
    const double assumed = ratio >= 0 ? at(ratio) : at(position({Ids::Scale2})) / scales[0];
    scales[1] = scales[0] * (!plan.underH0 ? assumed : tost ? nearer(assumed) : null);
    static constexpr std::int16_t forms[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1, Ids::SampleSize2OverSize1};
    int mode = 0, p = -1;
    for (; mode < 3 && p < 0; ++mode) p = position({forms[mode]});
    if (p < 0 || n1 < 0) return nullptr;
    ParameterValueArray whole = s.ParameterValues;
    whole[static_cast<std::size_t>(n1)] = sizes[0];
    sizes[1] = WholeSize(ResolveRelativeValue(whole, static_cast<std::int16_t>(p), ToSingle(sizes[0]),
                                              static_cast<std::int16_t>(mode - 1)));
  }
  const std::size_t groups = two ? 2 : 1;
  const bool estimated = locationUnknown_;
  for (std::size_t g = 0; g < groups; ++g)
    if (!(scales[g] > 0 && std::isfinite(scales[g])) || !(sizes[g] >= (estimated ? 2 : 1) && sizes[g] <= kMaxTimes)) {
      why = "the times cannot be drawn with these scales and sample sizes";
      return nullptr;
    }
  std::vector<std::vector<std::int64_t>> looks =
      RecruitedLookSizes(std::span<const double>(sizes.data(), groups), plan);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const double dropout = plan.dropout;
  StudyRoutine routine = [=, self = *this](RandomStream& stream, StudyOutcome& out) {
    std::array<double, 2> sum{}, minimum{};
    std::array<std::int64_t, 2> analysed{};
    minimum.fill(std::numeric_limits<double>::infinity());
    for (std::size_t k = 0; k < looks.size(); ++k) {
      std::array<Single, 2> estimate{}, df{};
      bool empty = false;
      for (std::size_t g = 0; g < groups; ++g) {
        const std::int64_t kept = Kept(stream, looks, k, g, dropout);
        for (std::int64_t i = 0; i < kept; ++i) {
          const double x = DrawExponentialTime(stream, 1 / scales[g]);
          sum[g] += x;
          minimum[g] = std::min(minimum[g], x);
        }
        analysed[g] += kept;
        const double n = static_cast<double>(analysed[g]);
        df[g] = self.DegreesOfFreedom(static_cast<Single>(n));
        if (!(df[g] > 0)) {
          empty = true;
          continue;
        }
        estimate[g] = ToSingle(estimated ? (sum[g] - n * minimum[g]) / (n - 1) : sum[g] / n);
      }
      if (empty || (two && !(estimate[0] > 0))) {
        out.p[k] = 1;
        continue;
      }
      out.p[k] = !two ? PValueChiSquare(sides, df[0] * estimate[0], null, leftLimit, rightLimit, df[0])
                      : PValueF(sides, estimate[1] / estimate[0], null, leftLimit, rightLimit, df[0], df[1]);
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
