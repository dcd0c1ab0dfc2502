// The simulated studies of the Wilcoxon signed-rank test.  Model of the
// data: a two-sided exponential distribution of the differences, positive
// with the assumed probability p1 = P(X > 0), its positive part exponential
// with mean r and its negative part with mean 1 - r, where
//   r = (p2 - p1^2) / (2 p1 (1 - p1)),
// so that the sum of two independent differences is positive with the
// assumed probability p2 = P(X + X' > 0) = p1^2 + 2 p1 (1 - p1) r.  Every
// continuous distribution has p1^2 < p2 < 1 - (1 - p1)^2, and the model
// reaches each such pair; other pairs are refused.  Under H0 (p1 = p2 =
// 1/2) the differences are symmetric about 0 (the Laplace distribution).
// Each study is analysed with the module's normal approximation of the sum
// of the positive ranks of |X| (mid-ranks), its null mean n (n + 1) / 4 and
// standard error sqrt(n (n + 1) (2n + 1) / 24) at the observed size, and its
// continuity correction.
#include <algorithm>
#include <cmath>
#include <vector>

#include "numeric/power_equations.h"
#include "procedures/hypothesis/wilcoxon_signed_rank.h"
#include "procedures/observation_simulator.h"

namespace pelmora {

namespace {

// The sum of the mid-ranks of |x| over the positive x.
double PositiveRankSum(std::span<const double> x, std::vector<double>& sorted) {
  sorted.assign(x.begin(), x.end());
  std::sort(sorted.begin(), sorted.end(), [](double a, double b) { return std::fabs(a) < std::fabs(b); });
  double sum = 0;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i + 1;
    while (j < sorted.size() && std::fabs(sorted[j]) == std::fabs(sorted[i])) ++j;
    const double rank = (static_cast<double>(i + 1) + static_cast<double>(j)) / 2;
    for (std::size_t k = i; k < j; ++k)
      if (sorted[k] > 0) sum += rank;
    i = j;
  }
  return sum;
}

}  // namespace

std::unique_ptr<StudySimulator> WilcoxonSignedRank::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                  std::string& why) {
  const double p1 = plan.underH0 ? 0.5 : static_cast<double>(ToSingle(s.value(prob_)));
  const double p2 = plan.underH0 ? 0.5 : static_cast<double>(ToSingle(s.value(pairSum_)));
  const double r = p1 > 0 && p1 < 1 ? (p2 - p1 * p1) / (2 * p1 * (1 - p1)) : -1;
  if (!(r > 0 && r < 1)) {
    why = "no continuous distribution has these probabilities: P(Sample + Sample' > 0) must lie between "
          "P(Sample > 0)^2 and 1 - (1 - P(Sample > 0))^2";
    return nullptr;
  }
  SubjectDraw draw = [p1, r](RandomStream& stream, std::span<double> out) {
    for (double& x : out) {
      const bool positive = stream.Uniform() < p1;
      x = positive ? r * stream.Exponential() : -(1 - r) * stream.Exponential();
    }
  };
  std::vector<ObservedGroup> groups;
  groups.push_back({std::move(draw), 1, WholeSize(s.value(n_))});
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single cc = continuity_ ? 0.5f : 0.0f;
  std::vector<double> sorted;
  ObservationsPValue pValue = [sides, cc, sorted](std::span<const std::span<const double>> x) mutable -> double {
    const double n = static_cast<double>(x[0].size());
    if (n < 1) return 1;
    ZArguments z;
    z.x = ToSingle(PositiveRankSum(x[0], sorted));
    z.null = ToSingle(n * (n + 1) / 4);
    z.se = ToSingle(std::sqrt(n * (n + 1) * (2 * n + 1) / 24));
    z.cc = cc;
    return PValueZ(sides, z);
  };
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), false, why);
}

}  // namespace pelmora
