// The simulated studies of the binomial and Poisson estimates.  A test of
// proportions is simulated by the binomial test's own simulator.  An
// interval draws the successes of each sample from the binomial distribution
// of the assumed proportion (a Poisson interval: the count from the Poisson
// distribution of the assumed mean times the number of subjects, or of the
// rate times the study time), each subject missing at random with the
// dropout rate (study times are observed in full), and computes the
// module's normal-approximate interval estimate +/- (z se - cc) with the
// standard error of the observed proportions or means.
#include <cmath>

#include "numeric/relative.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/binomial.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/binomial_proportions.h"

namespace pelmora {

std::unique_ptr<StudySimulator> NormalApproximateEstimate::MakeSimulator(const Session& s,
                                                                         const SimulationPlan& plan) const {
  if (kind_ != 2) return nullptr;
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const double x1 = at(first_);
  double x2 = x1, n1 = at(n1_), n2 = 0;
  if (twoSamples_) {
    x2 = ResolveRelativeValue(v, static_cast<std::int16_t>(second_), ToSingle(x1), secondMode_);
    n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_);
  }
  const bool proportion = lists_.quantity == Quantity::Proportion;
  const bool counts = lists_.sizesAreCounts;
  for (double x : {x1, x2})
    if (!(x >= 0) || (proportion && x > 1)) return nullptr;
  if (!(n1 > 0 && n1 <= 1e8) || (twoSamples_ && !(n2 > 0 && n2 <= 1e8))) return nullptr;
  std::vector<double> sizes{counts ? WholeSize(n1) : n1};
  if (twoSamples_) sizes.push_back(counts ? WholeSize(n2) : n2);
  std::vector<std::vector<std::int64_t>> looks;
  if (counts) {
    looks = RecruitedLookSizes(sizes, plan);
  } else {
    looks.emplace_back();
    for (double t : sizes) looks.back().push_back(static_cast<std::int64_t>(std::ceil(t)));
  }
  const std::vector<std::int64_t> recruited = looks.back();
  IntervalTarget target{intervalKind_, at(limit_), twoSamples_ ? x2 - x1 : x1};
  const double truth = target.assumed;
  const double z = Quantile(s);
  const bool continuity = continuity_, two = twoSamples_;
  const double dropout = counts ? plan.dropout : 0;
  const std::array<double, 2> values{x1, x2};
  StudyRoutine routine = [=](RandomStream& stream, StudyOutcome& out) {
    std::array<double, 2> estimate{}, variance{}, analysed{};
    for (std::size_t g = 0; g < sizes.size(); ++g) {
      double n = sizes[g];
      std::int64_t k = 0;
      if (counts) {
        const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited[g], 1 - dropout) : recruited[g];
        n = static_cast<double>(kept);
        k = proportion ? DrawBinomial(stream, kept, values[g]) : DrawPoisson(stream, n * values[g]);
      } else {
        k = DrawPoisson(stream, n * values[g]);
      }
      analysed[g] = n;
      estimate[g] = n > 0 ? static_cast<double>(k) / n : 0;
      variance[g] = proportion ? estimate[g] * (1 - estimate[g]) : estimate[g];
    }
    double est = estimate[0], se = 0, cc = 0;
    if (!two) {
      se = std::sqrt(variance[0] / analysed[0]);
      cc = continuity ? 1 / (2 * analysed[0]) : 0;
    } else {
      est = estimate[1] - estimate[0];
      se = std::sqrt(variance[0] / analysed[0] + variance[1] / analysed[1]);
      cc = continuity ? (1 / analysed[0] + 1 / analysed[1]) / 2 : 0;
    }
    const double half = z * se - cc;
    if (!std::isfinite(half)) {
      out.covered = out.narrow = false;
      return;
    }
    JudgeInterval(est - half, est, est + half, truth, target, out);
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), true);
}

std::unique_ptr<StudySimulator> BinomialDistribution::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                    std::string& why) {
  if (kind_ == 0) return test_.MakeSimulator(s, plan, why);
  return estimate_.MakeSimulator(s, plan);
}

}  // namespace pelmora
