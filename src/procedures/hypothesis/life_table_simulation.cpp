// The simulated studies of the life table (Mantel-Haenszel) test.  The design
// gives the weighted mean difference of the proportions of events, its
// standard error and the number of tables K, not the tables, so the
// simulation takes K tables alike: m subjects at risk in each group of each
// table and event proportions p + d'/2 (group 1) and p - d'/2 (group 2).
// With n1 = n2 = m a table's weight is W = m^2 / (2m - 1), its expected
// weighted difference (m / 2) d', so d' = d 2m / (2m - 1) makes the expected
// mean S / W the assumed d; the expected variance sum is about W p (1 - p), so
// the standard error is sqrt(p (1 - p) / (K W)).  m is the largest number at
// which that standard error can be reached (p (1 - p) <= 1/4), and p the
// smaller root that reaches it.  A standard error above 1 / (2 sqrt K) (one
// subject per group and table) or a difference that leaves a proportion
// outside [0, 1] is refused.  Under H0 both groups have p.  Each subject is
// missing at random with the dropout rate; each look's tables are judged by
// the test's own statistic, S / W against 0 with the standard error
// sqrt(V) / W of the observed tables.
#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/life_table.h"

namespace pelmora {

namespace {

constexpr double kMaxTables = 100;

}  // namespace

std::unique_ptr<StudySimulator> LifeTable::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                         std::string& why) {
  const double d = ToSingle(s.value(meanDiff_)), se = ToSingle(s.value(stdError_));
  const double tables = s.value(tables_);
  if (!(tables >= 1 && tables <= kMaxTables && tables == std::floor(tables))) {
    why = "the number of tables must be a whole number from 1 to 100 to be simulated";
    return nullptr;
  }
  // The largest whole m whose tables reach the standard error: K W(m) at most 1 / (4 se^2).
  const double most = 1 / (4 * se * se * tables);
  if (!(se > 0) || !(most >= 1)) {
    why = "tables of two groups cannot have a standard error of the weighted mean above 1 / (2 sqrt(No Of Tables))";
    return nullptr;
  }
  // W(m) = m^2 / (2m - 1) rises with m: m^2 - 2 most m + most <= 0 up to most + sqrt(most^2 - most).
  double m = std::floor(most + std::sqrt(std::max(0.0, most * most - most)));
  while (m > 1 && m * m / (2 * m - 1) > most) --m;
  if (!(m >= 1 && m * tables <= 1e8)) {
    why = "the tables would be too large to be simulated";
    return nullptr;
  }
  const double weight = tables * m * m / (2 * m - 1);
  const double p = (1 - std::sqrt(std::max(0.0, 1 - 4 * se * se * weight))) / 2;
  const double shift = plan.underH0 ? 0.0 : d * 2 * m / (2 * m - 1);
  const double p1 = p + shift / 2, p2 = p - shift / 2;
  if (!(p1 >= 0 && p1 <= 1 && p2 >= 0 && p2 <= 1)) {
    why = "no tables of two groups reach this weighted mean difference with this standard error";
    return nullptr;
  }
  const auto k = static_cast<std::size_t>(tables);
  const std::vector<double> sizes(2 * k, m);
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const double dropout = plan.dropout;
  StudyRoutine routine = [looks, p1, p2, dropout, sides, atRisk = std::vector<std::int64_t>(2 * k),
                          events = std::vector<std::int64_t>(2 * k)](RandomStream& stream,
                                                                      StudyOutcome& out) mutable {
    std::fill(atRisk.begin(), atRisk.end(), 0);
    std::fill(events.begin(), events.end(), 0);
    for (std::size_t look = 0; look < looks.size(); ++look) {
      double S = 0, W = 0, V = 0;
      for (std::size_t g = 0; g < atRisk.size(); ++g) {
        const std::int64_t recruited = looks[look][g] - (look > 0 ? looks[look - 1][g] : 0);
        const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited, 1 - dropout) : recruited;
        atRisk[g] += kept;
        events[g] += DrawBinomial(stream, kept, g % 2 == 0 ? p1 : p2);
      }
      for (std::size_t t = 0; t < atRisk.size(); t += 2) {
        const double n1 = static_cast<double>(atRisk[t]), n2 = static_cast<double>(atRisk[t + 1]);
        const double N = n1 + n2;
        if (!(n1 > 0 && n2 > 0)) continue;
        const double e1 = static_cast<double>(events[t]), e2 = static_cast<double>(events[t + 1]);
        const double pooled = (e1 + e2) / N;
        S += n1 * n2 / N * (e1 / n1 - e2 / n2);
        W += n1 * n2 / (N - 1);
        V += n1 * n2 / (N - 1) * pooled * (1 - pooled);
      }
      out.p[look] = W > 0 && V > 0 ? static_cast<double>(PValueZ(sides, ToSingle(S / W), 0.0f,
                                                                  ToSingle(std::sqrt(V) / W), 0.0f, 0.0f, 0.0f))
                                   : 1.0;
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
