#include "numeric/relative.h"
#include "procedures/hypothesis/fisher_exact.h"

namespace pelmora {

std::array<CountGroup, 2> FisherExactTest::SimulatedGroups(const Session& s, const SimulationPlan& plan) const {
  const Samples assumed = AssumedSamples(s.ParameterValues);
  const double n1 = WholeSize(assumed.n1);
  ParameterValueArray whole = s.ParameterValues;
  whole[static_cast<std::size_t>(n1_)] = n1;
  const double n2 = WholeSize(ResolveRelativeValue(whole, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_));
  // Under H0 both samples have the first one's proportion.
  const double p1 = assumed.p1, p2 = plan.underH0 ? assumed.p1 : assumed.p2;
  return {CountGroup{p1, n1}, CountGroup{p2, n2}};
}

std::unique_ptr<StudySimulator> FisherExactTest::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                               std::string& why) {
  const std::array<CountGroup, 2> groups = SimulatedGroups(s, plan);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  CountsPValue pValue = [sides](std::span<const std::int64_t> x, std::span<const std::int64_t> n) -> double {
    Samples table;
    table.n1 = static_cast<Single>(n[0]);
    table.n2 = static_cast<Single>(n[1]);
    table.count1 = static_cast<Single>(x[0]);
    table.count2 = static_cast<Single>(x[1]);
    table.p1 = n[0] > 0 ? table.count1 / table.n1 : 0.0f;
    table.p2 = n[1] > 0 ? table.count2 / table.n2 : 0.0f;
    return PValue(sides, table);
  };
  std::unique_ptr<StudySimulator> simulator = MakeCountSimulator(groups, plan, std::move(pValue));
  if (!simulator) why = "the proportions must lie in [0, 1] and the sample sizes be at most 100000000";
  return simulator;
}

}  // namespace pelmora
