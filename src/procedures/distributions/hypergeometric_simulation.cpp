// The simulated studies of the hypergeometric distribution.  A test is the
// hypergeometric test's simulator.  An interval draws each sample without
// replacement from its finite population, whose marked units are the
// assumed proportion of it rounded to whole units (the true proportion is
// theirs), each drawn unit missing at random with the dropout rate, and
// computes the module's interval: the observed proportions +/- (z se - cc),
// se with the finite-population correction (N - n) / (N - 1).
#include <algorithm>
#include <cmath>

#include "numeric/distributions.h"
#include "numeric/relative.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/hypergeometric.h"
#include "procedures/distributions/sample_simulation.h"

namespace pelmora {

std::unique_ptr<StudySimulator> HypergeometricDistribution::MakeSimulator(const Session& s,
                                                                          const SimulationPlan& plan,
                                                                          std::string& why) {
  if (ProcedureModule* test = Test(s)) return test->MakeSimulator(s, plan, why);
  if (kind_ != 2) return nullptr;  // only the confidence interval
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const Single p1 = at(p1_), n1 = at(n1_), N1 = at(population1_);
  Single p2 = p1, n2 = 0, N2 = 0;
  if (twoSamples_) {
    p2 = ResolveRelativeValue(v, static_cast<std::int16_t>(p2_), p1, proportion2Mode_);
    n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    N2 = ResolveRelativeValue(v, static_cast<std::int16_t>(population2_), N1, population2Mode_);
  }
  const std::size_t groups = twoSamples_ ? 2 : 1;
  const std::array<double, 2> proportion{p1, p2};
  std::array<std::int64_t, 2> population{}, marked{};
  std::vector<double> sizes;
  for (std::size_t g = 0; g < groups; ++g) {
    const double N = std::round(g == 0 ? N1 : N2), n = WholeSize(g == 0 ? n1 : n2);
    if (!(proportion[g] >= 0 && proportion[g] <= 1) || !(N >= 2 && N <= 1e9) || !(n >= 1 && n <= N)) {
      why = "the samples cannot be drawn from these populations";
      return nullptr;
    }
    population[g] = static_cast<std::int64_t>(N);
    marked[g] = static_cast<std::int64_t>(std::round(proportion[g] * N));
    sizes.push_back(n);
  }
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  std::vector<std::int64_t> recruited = looks.back();
  for (std::size_t g = 0; g < groups; ++g) recruited[g] = std::min(recruited[g], population[g]);
  looks.back() = recruited;
  const double truth0 = double(marked[0]) / double(population[0]);
  const double truth = twoSamples_ ? double(marked[1]) / double(population[1]) - truth0 : truth0;
  const IntervalTarget target{intervalKind_, at(limit_), twoSamples_ ? double(p2) - double(p1) : double(p1)};
  const double z = UpperNormalQuantile((1 - at(0)) / 2);
  const bool continuity = continuity_, two = twoSamples_;
  const double dropout = plan.dropout;
  StudyRoutine routine = [=](RandomStream& stream, StudyOutcome& out) {
    std::array<double, 2> estimate{}, variance{}, analysed{};
    for (std::size_t g = 0; g < groups; ++g) {
      const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited[g], 1 - dropout) : recruited[g];
      const std::int64_t k = DrawHypergeometric(stream, population[g], marked[g], kept);
      const double n = static_cast<double>(kept), N = static_cast<double>(population[g]);
      analysed[g] = n;
      estimate[g] = n > 0 ? static_cast<double>(k) / n : 0;
      variance[g] = estimate[g] * (1 - estimate[g]) * std::max((N - n) / (N - 1), 0.0) / n;
    }
    double est = estimate[0], var = variance[0], cc = continuity ? 1 / (2 * analysed[0]) : 0;
    if (two) {
      est = estimate[1] - estimate[0];
      var += variance[1];
      cc = continuity ? (1 / analysed[0] + 1 / analysed[1]) / 2 : 0;
    }
    const double half = z * std::sqrt(var) - cc;
    if (!std::isfinite(half)) {
      out.covered = out.narrow = false;
      return;
    }
    JudgeInterval(est - half, est, est + half, truth, target, out);
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), true);
}

}  // namespace pelmora
