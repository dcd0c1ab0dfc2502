// The simulated studies of the chi2 test of a 2 x 2 table: the binomial
// counts of the two samples of Fisher's exact test, each table judged by the
// test's own normal statistic of p2 - p1 with the pooled standard error of
// the observed proportions and the continuity correction where it is
// ticked.  A table whose pooled proportion is 0 or 1 (no standard error)
// does not reject.
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/chi_square_2x2.h"
#include "procedures/hypothesis/proportions.h"

namespace pelmora {

std::unique_ptr<StudySimulator> ChiSquare2x2::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                            std::string& why) {
  const std::array<CountGroup, 2> groups = fisher_.SimulatedGroups(s, plan);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool continuity = continuityCorrection_;
  CountsPValue pValue = [sides, continuity](std::span<const std::int64_t> x,
                                            std::span<const std::int64_t> n) -> double {
    if (n[0] <= 0 || n[1] <= 0) return 1;
    const Single n1 = static_cast<Single>(n[0]), n2 = static_cast<Single>(n[1]);
    const Single p1 = static_cast<Single>(x[0]) / n1, p2 = static_cast<Single>(x[1]) / n2;
    ZArguments z;
    z.x = p2 - p1;
    z.se = TwoProportionSE(n1, n2, p1, p2, 0);
    z.cc = continuity ? (1 / n1 + 1 / n2) / 2 : 0.0f;
    if (!(z.se > 0)) return 1;
    return PValueZ(sides, z);
  };
  std::unique_ptr<StudySimulator> simulator = MakeCountSimulator(groups, plan, std::move(pValue));
  if (!simulator) why = "the proportions must lie in [0, 1] and the sample sizes be at most 100000000";
  return simulator;
}

}  // namespace pelmora
