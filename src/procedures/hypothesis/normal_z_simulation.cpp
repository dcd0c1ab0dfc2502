#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/normal_z.h"

namespace pelmora {

std::unique_ptr<StudySimulator> NormalZ::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                       std::string& why) {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  const Single left = at(left_), right = at(right_);
  double effect = estimate;
  if (plan.underH0)
    effect = NullDrawValue(tails_ == 3, estimate, null, left, right);
  const Single sd1 = at(sd_);
  Single sd2 = sd1;
  std::vector<ContinuousGroup> groups;
  if (!twoSamples_) {
    groups.push_back({effect, sd1, WholeSize(s.value(n1_))});
  } else {
    const double m1 = meanMode_ == 1 ? 0.0 : at(mean1_);
    sd2 = ResolveRelativeValue(v, static_cast<std::int16_t>(sd2_), sd1, sd2Mode_);
    const double n1 = WholeSize(s.value(n1_));
    const double n2 = WholeSize(ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_));
    groups.push_back({m1, sd1, n1});
    groups.push_back({m1 + effect, sd2, n2});
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool two = twoSamples_;
  GroupsPValue pValue = [=](std::span<const GroupSummary> g) -> double {
    if (g[0].n < 1 || (two && g[1].n < 1)) return 1;
    const double x = two ? g[1].mean - g[0].mean : g[0].mean;
    const double se = two ? std::sqrt(double(sd2) * sd2 / g[1].n + double(sd1) * sd1 / g[0].n)
                          : sd1 / std::sqrt(g[0].n);
    if (!(se > 0)) return 1;
    return PValueZ(sides, ToSingle(x), null, ToSingle(se), left, right, 0.0f);
  };
  return MakeContinuousSimulator(groups, plan, std::move(pValue), why);
}

}  // namespace pelmora
