// The simulated studies of the survival analysis test.  With exponential
// survival times of constant hazard, the events over a given time at risk
// are a Poisson count of mean hazard times time, so each group's events are
// drawn over its time at risk (the looks at their shares of it) from the
// assumed hazard rates (from incidences or numbers of events as the design
// gives them; under H0 both groups have the first one's).  The times at
// risk are those of the design, observed in full: a dropout rate has
// nothing to act on and is refused.  Each look is judged by the test's own
// statistic with the observed rates h = events / time: ln(h2 / h1) against
// 0 with the standard error sqrt(1/(h2 T2) + 1/(h1 T1)); a group without
// events leaves the statistic undefined and does not reject.
#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/log_rank.h"

namespace pelmora {

std::unique_ptr<StudySimulator> LogRank::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                       std::string& why) {
  if (plan.dropout > 0) {
    why = "the times at risk of the survival analysis test are observed in full: a dropout rate does not apply";
    return nullptr;
  }
  Single h1 = 0, h2 = 0;
  HazardRates(s, h1, h2);
  if (plan.underH0) h2 = h1;
  const std::array<double, 2> times{ToSingle(s.value(time1_)), ToSingle(s.value(time2_))};
  const std::array<double, 2> rates{h1, h2};
  for (std::size_t g = 0; g < 2; ++g)
    if (!(rates[g] > 0 && std::isfinite(rates[g])) || !(times[g] > 0) || !(rates[g] * times[g] <= 1e8)) {
      why = "the events cannot be drawn with these hazard rates and times at risk";
      return nullptr;
    }
  std::vector<std::vector<double>> exposure;
  std::vector<std::vector<std::int64_t>> looks;
  for (double f : plan.fractions) {
    exposure.push_back({f * times[0], f * times[1]});
    looks.push_back({static_cast<std::int64_t>(std::ceil(f * times[0] - 1e-9)),
                     static_cast<std::int64_t>(std::ceil(f * times[1] - 1e-9))});
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  StudyRoutine routine = [exposure, rates, sides](RandomStream& stream, StudyOutcome& out) {
    std::array<double, 2> events{};
    for (std::size_t k = 0; k < exposure.size(); ++k) {
      for (std::size_t g = 0; g < 2; ++g) {
        const double added = exposure[k][g] - (k > 0 ? exposure[k - 1][g] : 0);
        if (added > 0) events[g] += static_cast<double>(DrawPoisson(stream, added * rates[g]));
      }
      if (!(events[0] > 0 && events[1] > 0)) {
        out.p[k] = 1;
        continue;
      }
      const Single r1 = ToSingle(events[0] / exposure[k][0]), r2 = ToSingle(events[1] / exposure[k][1]);
      const Single t1 = ToSingle(exposure[k][0]), t2 = ToSingle(exposure[k][1]);
      ZArguments z;
      z.x = std::log(r2 / r1);
      z.se = std::sqrt(1.0f / (r2 * t2) + 1.0f / (r1 * t1));
      out.p[k] = PValueZ(sides, z);
    }
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), false);
}

}  // namespace pelmora
