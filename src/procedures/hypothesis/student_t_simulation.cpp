#include <cmath>

#include "numeric/power.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/student_t.h"

namespace pelmora {

std::unique_ptr<StudySimulator> StudentT::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                        std::string& why) {
  if (dfGiven_ || groups_) {
    why = "a t-test with given degrees of freedom or those of an ANOVA is not available as a Monte Carlo "
          "simulation";
    return nullptr;
  }
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const TArguments design = Statistic(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  // Under H0 the estimate lies at the null value, or for two one-sided tests
  // at the equivalence limit nearer to the assumed one.
  double effect = design.x;
  if (plan.underH0)
    effect = tails_ != 3 ? design.null
             : std::fabs(design.x - design.left) <= std::fabs(design.x - design.right) ? design.left
                                                                                       : design.right;
  const double sd1 = at(sd_);
  std::vector<ContinuousGroup> groups;
  if (!twoSamples_) {
    groups.push_back({effect, sd1, WholeSize(s.value(n1_))});
  } else {
    const double m1 = meanMode_ == 1 ? 0.0 : at(mean1_);
    const double sd2 = unequal_ ? ResolveRelativeValue(v, static_cast<std::int16_t>(sd2_), ToSingle(sd1), sd2Mode_)
                                : sd1;
    const double n1 = WholeSize(s.value(n1_));
    const double n2 = WholeSize(ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_));
    groups.push_back({m1, sd1, n1});
    groups.push_back({m1 + effect, sd2, n2});
  }
  const bool two = twoSamples_, unequal = unequal_;
  GroupsPValue pValue = [design, sides, two, unequal](std::span<const GroupSummary> g) -> double {
    TArguments t = design;
    if (!two) {
      if (g[0].n < 2) return 1;
      t.x = ToSingle(g[0].mean);
      t.se = ToSingle(std::sqrt(g[0].variance / g[0].n));
      t.df = ToSingle(g[0].n - 1);
    } else {
      const double n1 = g[0].n, n2 = g[1].n;
      if (n1 < 2 || n2 < 2) return 1;
      t.x = ToSingle(g[1].mean - g[0].mean);
      if (!unequal) {
        const double pooled = ((n1 - 1) * g[0].variance + (n2 - 1) * g[1].variance) / (n1 + n2 - 2);
        t.se = ToSingle(std::sqrt(pooled * (1 / n1 + 1 / n2)));
        t.df = ToSingle(n1 + n2 - 2);
      } else {
        const double a = g[1].variance / n2, b = g[0].variance / n1;
        t.se = ToSingle(std::sqrt(a + b));
        t.df = ToSingle(std::max((a + b) * (a + b) / (a * a / (n2 - 1) + b * b / (n1 - 1)), 1.0));
      }
    }
    if (!(t.se > 0) || !std::isfinite(t.se)) return 1;
    return PValueT(sides, t);
  };
  return MakeContinuousSimulator(groups, plan, std::move(pValue), why);
}

}  // namespace pelmora
