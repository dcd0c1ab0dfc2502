// The simulated studies of McNemar's test: each pair is discordant with the
// assumed probability of the two discordant cells, and a discordant pair lies
// in the cell "01" with that cell's share of them (under H0 with 1/2, the
// discordant probability kept); each pair missing at random with the dropout
// rate.  The discordant pairs accumulated at each look are judged by the
// test's own P-value, exact binomial or normal as the design is.
#include <cmath>
#include <unordered_map>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/mcnemar.h"
#include "procedures/hypothesis/proportions.h"

namespace pelmora {

namespace {

constexpr Single kExactPairs = 1000;

}  // namespace

std::unique_ptr<StudySimulator> McNemar::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                       std::string& why) {
  Single pairs = 0, x = 0;
  ExpectedCounts(s, pairs, x);
  const double n = WholeSize(s.value(n_));
  if (!(n >= 1 && n <= 1e8)) {
    why = "the sample size must be from 1 to 100000000 to be simulated";
    return nullptr;
  }
  const double discordant = static_cast<double>(pairs) / ToSingle(s.value(n_));
  const double share = plan.underH0 ? 0.5 : static_cast<double>(x) / pairs;
  if (!(discordant >= 0 && discordant <= 1) || !(share >= 0 && share <= 1)) {
    why = "the cells of the paired table must be probabilities from 0 to 1";
    return nullptr;
  }
  const double sizes[1] = {n};
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool exact = exact_, continuity = continuityCorrection_;
  const double dropout = plan.dropout;
  // The P-value of (discordant pairs, pairs in "01"), kept by the two counts.
  auto pValue = [sides, exact, continuity](std::int64_t total, std::int64_t in01) -> double {
    if (total <= 0) return 1;
    const Single m = static_cast<Single>(total), k = static_cast<Single>(in01);
    if (exact && m <= kExactPairs) return BinomialPValue(sides, m, k, 0.5f, 0, 0);
    const Single cc = continuity ? 1 / (2 * m) : 0.0f;
    return PValueZ(sides, k / m, 0.5f, std::sqrt(1 / (4 * m)), 0, 0, cc);
  };
  StudyRoutine routine = [looks, discordant, share, dropout, pValue,
                          cache = std::unordered_map<std::uint64_t, double>()](RandomStream& stream,
                                                                              StudyOutcome& out) mutable {
    std::int64_t total = 0, in01 = 0;
    for (std::size_t k = 0; k < looks.size(); ++k) {
      const std::int64_t recruited = looks[k][0] - (k > 0 ? looks[k - 1][0] : 0);
      const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited, 1 - dropout) : recruited;
      const std::int64_t added = DrawBinomial(stream, kept, discordant);
      total += added;
      in01 += DrawBinomial(stream, added, share);
      const std::uint64_t key = static_cast<std::uint64_t>(total) << 32 | static_cast<std::uint64_t>(in01);
      auto found = cache.find(key);
      if (found == cache.end()) found = cache.emplace(key, pValue(total, in01)).first;
      out.p[k] = found->second;
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
