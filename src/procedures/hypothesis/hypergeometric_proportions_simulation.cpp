// The simulated studies of the hypergeometric test: each sample is drawn
// without replacement from its finite population, whose marked units are
// the assumed proportion of it rounded to whole units; each look draws its
// new units from what remains of the population, and each drawn unit is
// missing at random with the dropout rate (those who remain are a sample of
// the population as well).  Under H0 the proportions are those of the
// binomial test's simulation.  Each simulated table is judged by the test's
// own P-value of the observed proportions at the numbers analysed: exact
// where the design takes the exact path, else the normal statistic with its
// finite-population corrections; a normal statistic without a standard
// error does not reject.
#include <cmath>
#include <unordered_map>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"

namespace pelmora {

std::unique_ptr<StudySimulator> HypergeometricProportions::MakeSimulator(const Session& s,
                                                                         const SimulationPlan& plan,
                                                                         std::string& why) {
  const Assumed a = ReadAssumed(s);
  const auto nearer = [&](double x) {
    return std::fabs(x - a.left) <= std::fabs(x - a.right) ? static_cast<double>(a.left) : a.right;
  };
  const std::size_t groups = twoSamples_ ? 2 : 1;
  const Single N1 = ToSingle(s.value(population1_));
  std::array<double, 2> proportion{}, population{N1, 0}, size{WholeSize(a.n1), 0};
  if (!twoSamples_) {
    proportion[0] = !plan.underH0 ? a.p : tails_ == 3 ? nearer(a.p) : a.null;
  } else {
    ParameterValueArray whole = s.ParameterValues;
    whole[static_cast<std::size_t>(n1_)] = size[0];
    size[1] = WholeSize(ResolveRelativeValue(whole, static_cast<std::int16_t>(n2_), ToSingle(size[0]), size2Mode_));
    population[1] =
        ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(population2_), N1, population2Mode_);
    proportion[0] = a.p1;
    proportion[1] = !plan.underH0 ? a.p : a.p1 + (tails_ == 3 ? nearer(a.p - a.p1) : a.null);
  }
  std::vector<double> sizes(size.begin(), size.begin() + static_cast<std::ptrdiff_t>(groups));
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  std::array<std::int64_t, 2> units{}, marked{};
  for (std::size_t g = 0; g < groups; ++g) {
    const double N = std::round(population[g]);
    if (!(proportion[g] >= 0 && proportion[g] <= 1) || !(N >= 2 && N <= 1e9) || !(size[g] >= 1) ||
        !(static_cast<double>(looks.back()[g]) <= N)) {
      why = "the samples, with the subjects who drop out, must fit in their populations";
      return nullptr;
    }
    units[g] = static_cast<std::int64_t>(N);
    marked[g] = static_cast<std::int64_t>(std::round(proportion[g] * N));
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool exact = ExactPath(s);
  const double dropout = plan.dropout;
  // The test's P-value of the counts, with the module and the values it reads.
  auto pValue = [self = *this, values = s, a, sides, exact, N1](const std::array<std::int64_t, 2>& x,
                                                                  const std::array<std::int64_t, 2>& n) -> double {
    Assumed observed = a;
    observed.n1 = static_cast<Single>(n[0]);
    if (!self.twoSamples_) {
      if (n[0] <= 0) return 1;
      observed.p = static_cast<Single>(x[0]) / observed.n1;
      if (exact) return HypergeometricPValue(sides, N1, observed.n1, static_cast<Single>(x[0]), a.null, a.left, a.right);
    } else {
      if (n[0] <= 0 || n[1] <= 0) return 1;
      observed.n2 = static_cast<Single>(n[1]);
      observed.p1 = static_cast<Single>(x[0]) / observed.n1;
      observed.p = static_cast<Single>(x[1]) / observed.n2;
    }
    const NormalStatistic z = self.NormalPath(values, observed);
    const bool degenerate = z.ownErrors ? !(z.seLeft > 0 && z.seRight > 0) : !(z.z.se > 0);
    return degenerate ? 1.0 : static_cast<double>(PValueZ(sides, z));
  };
  StudyRoutine routine = [looks, groups, units, marked, dropout, pValue,
                          cache = std::unordered_map<std::uint64_t, double>()](RandomStream& stream,
                                                                              StudyOutcome& out) mutable {
    std::array<std::int64_t, 2> left = units, leftMarked = marked, analysed{}, successes{};
    for (std::size_t k = 0; k < looks.size(); ++k) {
      for (std::size_t g = 0; g < groups; ++g) {
        const std::int64_t drawn = looks[k][g] - (k > 0 ? looks[k - 1][g] : 0);
        const std::int64_t hits = DrawHypergeometric(stream, left[g], leftMarked[g], drawn);
        left[g] -= drawn;
        leftMarked[g] -= hits;
        std::int64_t kept = drawn, keptHits = hits;
        if (dropout > 0) {
          kept = DrawBinomial(stream, drawn, 1 - dropout);
          keptHits = DrawHypergeometric(stream, drawn, hits, kept);
        }
        analysed[g] += kept;
        successes[g] += keptHits;
      }
      std::uint64_t key = 0;
      bool keyed = true;
      for (std::size_t g = 0; g < groups && keyed; ++g) {
        keyed = analysed[g] < 65536;
        key = (key << 32) | static_cast<std::uint64_t>(analysed[g]) << 16 | static_cast<std::uint64_t>(successes[g]);
      }
      if (!keyed) {
        out.p[k] = pValue(successes, analysed);
        continue;
      }
      auto found = cache.find(key);
      if (found == cache.end()) found = cache.emplace(key, pValue(successes, analysed)).first;
      out.p[k] = found->second;
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
