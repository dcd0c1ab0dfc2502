// The simulated studies of the binomial test: the successes of each sample
// are binomial with its assumed proportion, each subject missing at random
// with the dropout rate.  Under H0 one sample has the H0 proportion (of two
// one-sided tests: the limit nearer the assumed proportion), and two samples
// the first sample's proportion plus the H0 difference (or the nearer
// limit).  Each simulated table is judged by the test's own P-value of the
// observed proportions: exact where the design takes the exact path at the
// number analysed, else the normal statistic of its options; a normal
// statistic without a standard error (all successes or none) does not
// reject.
#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/binomial_proportions.h"
#include "procedures/hypothesis/proportions.h"

namespace pelmora {

std::unique_ptr<StudySimulator> BinomialProportions::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                   std::string& why) {
  const Assumed a = ReadAssumed(s);
  const auto nearer = [&](double x) {
    return std::fabs(x - a.left) <= std::fabs(x - a.right) ? static_cast<double>(a.left) : a.right;
  };
  std::vector<CountGroup> groups;
  const double n1 = WholeSize(a.n1);
  if (!twoSamples_) {
    const double p = !plan.underH0 ? a.p : tails_ == 3 ? nearer(a.p) : a.null;
    groups.push_back({p, n1});
  } else {
    ParameterValueArray whole = s.ParameterValues;
    whole[static_cast<std::size_t>(n1_)] = n1;
    const double n2 =
        WholeSize(ResolveRelativeValue(whole, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_));
    const double p2 = !plan.underH0 ? a.p : a.p1 + (tails_ == 3 ? nearer(a.p - a.p1) : a.null);
    groups.push_back({a.p1, n1});
    groups.push_back({p2, n2});
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  CountsPValue pValue = [self = *this, a, sides](std::span<const std::int64_t> x,
                                                 std::span<const std::int64_t> n) -> double {
    for (std::int64_t size : n)
      if (size <= 0) return 1;
    Assumed observed = a;
    observed.n1 = static_cast<Single>(n[0]);
    if (!self.twoSamples_) {
      observed.p = static_cast<Single>(x[0]) / observed.n1;
      if (self.ExactPath(observed))
        return BinomialPValue(sides, observed.n1, static_cast<Single>(x[0]), a.null, a.left, a.right);
    } else {
      observed.n2 = static_cast<Single>(n[1]);
      observed.p1 = static_cast<Single>(x[0]) / observed.n1;
      observed.p = static_cast<Single>(x[1]) / observed.n2;
    }
    const NormalStatistic z = self.NormalPath(observed);
    const bool degenerate = z.ownErrors ? !(z.seLeft > 0 && z.seRight > 0) : !(z.z.se > 0);
    return degenerate ? 1.0 : static_cast<double>(PValueZ(sides, z));
  };
  std::unique_ptr<StudySimulator> simulator = MakeCountSimulator(groups, plan, std::move(pValue));
  if (!simulator) why = "the proportions must lie in [0, 1] and the sample sizes be at most 100000000";
  return simulator;
}

}  // namespace pelmora
