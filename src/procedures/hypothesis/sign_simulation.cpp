// The simulated studies of the sign test: each subject's observation is
// positive with the assumed probability (under H0 with 1/2), so the count of
// positive observations among those analysed is binomial; it is judged by
// the test's own P-value, exact or normal as the design is.
#include <cmath>

#include "numeric/power_equations.h"
#include "procedures/hypothesis/proportions.h"
#include "procedures/hypothesis/sign.h"

namespace pelmora {

std::unique_ptr<StudySimulator> Sign::MakeSimulator(const Session& s, const SimulationPlan& plan, std::string& why) {
  const double p = plan.underH0 ? 0.5 : ToSingle(s.value(prob_));
  const CountGroup group[1] = {{p, WholeSize(s.value(n_))}};
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool exact = exact_;
  const Single cc = continuity_ ? 0.5f : 0.0f;
  CountsPValue pValue = [sides, exact, cc](std::span<const std::int64_t> x,
                                           std::span<const std::int64_t> size) -> double {
    const Single n = static_cast<Single>(size[0]), positive = static_cast<Single>(x[0]);
    if (n <= 0) return 1;
    if (exact && n <= kExactLimit) return BinomialPValue(sides, n, positive, 0.5f, 0, 0);
    return PValueZ(sides, positive, n / 2, std::sqrt(n / 4), 0, 0, cc);
  };
  std::unique_ptr<StudySimulator> simulator = MakeCountSimulator(group, plan, std::move(pValue));
  if (!simulator) why = "the probability must lie in [0, 1] and the sample size be at most 100000000";
  return simulator;
}

}  // namespace pelmora
