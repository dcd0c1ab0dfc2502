// The simulated studies of the bioequivalence test: a two-period crossover
// of n subjects in two sequences (test then reference, reference then test)
// of n / 2 each (the first sequence takes an odd one).  A subject gives the
// difference of his two log responses, period 2 from period 1; with no
// period effect it is drawn about +ln R in the first sequence and -ln R in
// the second (R the assumed ratio, under H0 the equivalence limit nearer to
// it), with the standard deviation sqrt(2) sigma of a difference of two
// periods of residual standard deviation sigma (from a coefficient of
// variation CV: sqrt(ln(CV^2 + 1))), under the chosen data model of the
// logarithms (normal, t3 or uniform).  Each study is analysed with the
// module's two one-sided t tests: the estimate (mean 1 - mean 2) / 2 of
// ln R, its standard error from the pooled variance of the differences,
// sqrt(s^2 / 4 (1 / n1 + 1 / n2)), n1 + n2 - 2 degrees of freedom (as the
// module, plus 0.00001).
#include <cmath>

#include "numeric/power_equations.h"
#include "procedures/hypothesis/bioequivalence.h"

namespace pelmora {

std::unique_ptr<StudySimulator> Bioequivalence::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                              std::string& why) {
  if (plan.data == DataModel::kLogNormal) {
    why = "the bioequivalence test analyses the logarithms of the responses, which are drawn normal, t3 or "
          "uniform: the log-normal model does not apply to them";
    return nullptr;
  }
  const TArguments design = Statistic(s);
  double logRatio = design.x;
  if (plan.underH0)
    logRatio = std::fabs(design.x - design.left) <= std::fabs(design.x - design.right) ? design.left : design.right;
  // The residual standard deviation on the log scale, as the module reads it.
  const Single dispersion = ToSingle(s.value(dispersion_));
  const double sigma = cvGiven_ ? std::sqrt(std::log(dispersion * dispersion + 1.0f)) : dispersion;
  const double n = WholeSize(s.value(n_));
  const double n1 = std::ceil(n / 2), n2 = n - n1;
  if (!(n2 >= 1)) {
    why = "the crossover needs at least two subjects to be simulated";
    return nullptr;
  }
  const double sd = std::sqrt(2.0) * sigma;
  const ContinuousGroup groups[2] = {{logRatio, sd, n1}, {-logRatio, sd, n2}};
  const Sides sides{3, s.RejectInLeftTail};
  const Single left = design.left, right = design.right;
  GroupsPValue pValue = [sides, left, right](std::span<const GroupSummary> g) -> double {
    const double n1 = g[0].n, n2 = g[1].n;
    if (n1 < 1 || n2 < 1 || n1 + n2 < 3) return 1;
    const double pooled = ((n1 - 1) * g[0].variance + (n2 - 1) * g[1].variance) / (n1 + n2 - 2);
    const double se = std::sqrt(pooled / 4 * (1 / n1 + 1 / n2));
    if (!(se > 0)) return 1;
    TArguments t;
    t.x = ToSingle((g[0].mean - g[1].mean) / 2);
    t.se = ToSingle(se);
    t.left = left;
    t.right = right;
    t.df = ToSingle(n1 + n2 - 2) + 0.00001f;
    return PValueT(sides, t);
  };
  return MakeContinuousSimulator(groups, plan, std::move(pValue), why);
}

}  // namespace pelmora
