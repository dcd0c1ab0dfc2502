// The simulated studies of the t test of log-normal medians: log-normal
// observations, drawn as their logarithms (LogMedianTest::MakeLogSimulator),
// analysed with the t test of the logarithms: one sample with n - 1 degrees
// of freedom; two samples on the pooled variance with n1 + n2 - 2, or with
// unequal shapes on Welch's standard error and Satterthwaite's degrees of
// freedom (at least 1), as the module computes them.
#include <algorithm>
#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/sample_moments.h"
#include "procedures/hypothesis/log_normal_t.h"

namespace pelmora {

std::unique_ptr<StudySimulator> LogNormalT::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                          std::string& why) {
  if (dfGiven_ || groups_) {
    why = "a t test with given degrees of freedom or those of an ANOVA is not available as a Monte Carlo "
          "simulation";
    return nullptr;
  }
  const TArguments design = Statistic(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool two = twoSamples_, unequal = unequal_;
  ObservationsPValue pValue = [design, sides, two, unequal](std::span<const std::span<const double>> x) -> double {
    TArguments t = design;
    const SampleMoments a = MomentsOf(x[0]);
    const double n1 = static_cast<double>(x[0].size());
    if (n1 < 2) return 1;
    if (!two) {
      t.x = ToSingle(a.mean);
      t.se = ToSingle(std::sqrt(a.variance / n1));
      t.df = ToSingle(n1 - 1);
    } else {
      const SampleMoments b = MomentsOf(x[1]);
      const double n2 = static_cast<double>(x[1].size());
      if (n2 < 2) return 1;
      t.x = ToSingle(b.mean - a.mean);
      if (!unequal) {
        const double pooled = ((n1 - 1) * a.variance + (n2 - 1) * b.variance) / (n1 + n2 - 2);
        t.se = ToSingle(std::sqrt(pooled * (1 / n1 + 1 / n2)));
        t.df = ToSingle(n1 + n2 - 2);
      } else {
        const double v2 = b.variance / n2, v1 = a.variance / n1;
        t.se = ToSingle(std::sqrt(v1 + v2));
        t.df = ToSingle(std::max((v1 + v2) * (v1 + v2) / (v2 * v2 / (n2 - 1) + v1 * v1 / (n1 - 1)), 1.0));
      }
    }
    if (!(t.se > 0) || !std::isfinite(t.se)) return 1;
    return PValueT(sides, t);
  };
  return MakeLogSimulator(s, plan, std::move(pValue), why);
}

}  // namespace pelmora
