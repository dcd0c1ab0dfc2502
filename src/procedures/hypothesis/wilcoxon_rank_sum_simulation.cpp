// The simulated studies of the Wilcoxon rank-sum test.  Model of the data:
// shifted normal observations, sample 1 N(0, 1) and sample 2 N(delta, 1)
// with delta = sqrt(2) Phi^-1(p), so that an observation of sample 2
// exceeds one of sample 1 with the assumed probability p (under H0, p =
// 1/2: both samples N(0, 1)).  Each study is analysed with the module's
// normal approximation of the Mann-Whitney count (the pairs in which sample
// 2 lies higher, from the rank sum of sample 2 with mid-ranks), its null
// mean n1 n2 / 2 and standard error sqrt(n1 n2 (n1 + n2 + 1) / 12) at the
// observed sizes, and its continuity correction.  Ordered categories are
// refused: their probabilities per category are not part of the design.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "numeric/normal_quantile.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/wilcoxon_rank_sum.h"
#include "procedures/observation_simulator.h"

namespace pelmora {

namespace {

// The sum of the mid-ranks of the second sample in the pooled sample.
double SecondRankSum(std::span<const double> first, std::span<const double> second,
                     std::vector<std::pair<double, int>>& pooled) {
  pooled.clear();
  for (double v : first) pooled.emplace_back(v, 0);
  for (double v : second) pooled.emplace_back(v, 1);
  std::sort(pooled.begin(), pooled.end());
  double sum = 0;
  for (std::size_t i = 0; i < pooled.size();) {
    std::size_t j = i + 1;
    while (j < pooled.size() && pooled[j].first == pooled[i].first) ++j;
    const double rank = (static_cast<double>(i + 1) + static_cast<double>(j)) / 2;
    for (std::size_t k = i; k < j; ++k)
      if (pooled[k].second == 1) sum += rank;
    i = j;
  }
  return sum;
}

}  // namespace

std::unique_ptr<StudySimulator> WilcoxonRankSum::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                               std::string& why) {
  if (ordered_) {
    why = "the rank-sum test of ordered categories is not available as a Monte Carlo simulation: the "
          "probabilities of the categories are not part of the design";
    return nullptr;
  }
  const double p = plan.underH0 ? 0.5 : static_cast<double>(ToSingle(s.value(higher_)));
  if (!(p > 0 && p < 1)) {
    why = "the probability must lie between 0 and 1 to be simulated";
    return nullptr;
  }
  const double shift = std::sqrt(2.0) * StandardNormalQuantile(p);
  const Single n1 = ToSingle(WholeSize(s.value(n1_)));
  const double n2 =
      WholeSize(ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_));
  auto normal = [](double mean) {
    return SubjectDraw([mean](RandomStream& stream, std::span<double> out) { stream.FillNormal(out, mean, 1.0); });
  };
  std::vector<ObservedGroup> groups;
  groups.push_back({normal(0.0), 1, n1});
  groups.push_back({normal(shift), 1, n2});
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single cc = continuity_ ? 0.5f : 0.0f;
  std::vector<std::pair<double, int>> pooled;
  ObservationsPValue pValue = [sides, cc, pooled](std::span<const std::span<const double>> x) mutable -> double {
    const double m1 = static_cast<double>(x[0].size()), m2 = static_cast<double>(x[1].size());
    if (m1 < 1 || m2 < 1) return 1;
    ZArguments z;
    z.x = ToSingle(SecondRankSum(x[0], x[1], pooled) - m2 * (m2 + 1) / 2);
    z.null = ToSingle(m1 * m2 / 2);
    z.se = ToSingle(std::sqrt(m1 * m2 * (m1 + m2 + 1) / 12));
    z.cc = cc;
    return PValueZ(sides, z);
  };
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), false, why);
}

}  // namespace pelmora
