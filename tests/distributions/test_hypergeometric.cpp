// The hypergeometric sample distribution: the intervals of one proportion and
// of a difference with the finite-population correction (N - n)/(N - 1) and
// the continuity correction on hand-checked values, the checks of sizes
// against their populations, the test's check handed on, and the missing point
// estimate.  Reference values are computed with scipy (Debian's
// python3-scipy).  The intervals take the normal quantile of their limits from
// the tabulated upper quantile 1.95996 (norm.isf(0.025) = 1.9599640), which
// the tolerances pin.
#include <gtest/gtest.h>

#include "procedures/distributions/hypergeometric.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr Procedure kHypergeometric = Procedure::HypergeometricDistribution;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kContinuity = 1, kExact = 7;
constexpr int kProportion2Group = 12, kSize2Group = 2, kPopulation2Group = 25, kIntervalGroup = 32;
using Ids = HypergeometricDistribution::Ids;
using testing::kAnyEnd;

testing::Choice Hg(int kind, int samples, testing::Forms forms = {}, std::vector<int> options = {}) {
  return testing::DistChoice(kHypergeometric, -1, kind, samples, 2, std::move(options), std::move(forms));
}
testing::Choice Limit(int samples, int limit, std::vector<int> options = {}) {
  return Hg(kInterval, samples, {{kIntervalGroup, limit}}, std::move(options));
}

class Hypergeometric : public testing::PlanningTest {};

// clang-format off
TEST_F(Hypergeometric, Intervals) {
  const int second[3] = {Ids::Proportion2, Ids::Proportion2MinusProportion1, Ids::Proportion2OverProportion1};
  const char* const secondText[3] = {"0.6", "0.1", "1.2"};
  std::vector<testing::Reference> rows = {
    // se = sqrt(0.25 (500 - 30)/(499 x 30)); 0.5 - z se, 0.5 + z se, width 2 z se, z = norm.isf(0.025)
    {Limit(1, 0), {}, Ids::LowerLimit, 0.3263575, 2e-6},
    {Limit(1, 1), {}, Ids::UpperLimit, 0.6736425, 2e-6},
    {Limit(1, 2), {}, Ids::Width, 0.3472851, 2e-6},
    // width 0.2: brentq(lambda n: 2 z sqrt(0.25 (500 - n)/(499 n)) - 0.2); width 0.3 from 30 units:
    // brentq(lambda N: 2 z sqrt(0.25 (N - 30)/((N - 1) 30)) - 0.3)
    {Limit(1, 2), {{Ids::Width, "0.2"}}, Ids::SampleSize, 80.697970, 2e-3},
    {Limit(1, 2), {{Ids::Width, "0.3"}}, Ids::PopulationSize, 98.59643, 0.01},
    // the continuity correction 1/(2n) moves the lower limit up: 0.5 + 1/60 - z se; and shortens the width by
    // 2/(2n): 2 z se - 1/30
    {Limit(1, 0, {kContinuity}), {}, Ids::LowerLimit, 0.3430241, 2e-6},
    {Limit(1, 2, {kContinuity}), {}, Ids::Width, 0.3139517, 2e-6},
    // a census collapses the interval (the width's search starts at its lower bound 0.00001)
    {Limit(1, 0), {{Ids::SampleSize, "500"}}, Ids::LowerLimit, 0.5, 1e-6},
    {Limit(1, 2), {{Ids::SampleSize, "500"}}, Ids::Width, 0.0, 2e-5},
    // p1 = 0.5, p2 = 0.6, 30 of 500 each, with the correction (1/30 + 1/30)/2: -0.1097662; the same
    // populations
    // given as a ratio and a difference
    {Limit(2, 0, {kContinuity}), {{Ids::Proportion2, "0.6"}}, Ids::LowerLimit, -0.1097662, 2e-6},
    {Hg(kInterval, 2, {{kPopulation2Group, 2}, {kSize2Group, 1}, {kIntervalGroup, 0}}),
     {{Ids::Proportion2, "0.6"}, {Ids::PopulationSize2OverSize1, "1"}, {Ids::SampleSize2MinusSize1, "0"}},
     Ids::LowerLimit, -0.1430996, 2e-6},
    // brentq(lambda n: 0.2 + (1/n + 1/30)/2 - norm.isf(0.025) sqrt(0.25 (500 - n)/(499 n) + 0.21 470/(499
    // 30))
    // - 0.05)
    {Limit(2, 0, {kContinuity}), {{Ids::Proportion2, "0.7"}, {Ids::LowerLimit, "0.05"}}, Ids::SampleSize1,
     181.54589, 0.01},
    // sizes within their populations; a sample that would need more than its population: no result, no fault
    {Hg(kInterval, 1), {{Ids::SampleSize, "600"}}, Ids::LowerLimit, kNoResult, 0,
     "Sample Size has to be less than or equal to 500"},
    {Hg(kInterval, 2), {{Ids::PopulationSize2, "20"}}, Ids::LowerLimit, kNoResult, 0,
     "Population Size 2 has to be greater than or equal to 30"},
    {Hg(kInterval, 2, {{kProportion2Group, 1}}), {{Ids::Proportion2MinusProportion1, "0.6"}}, Ids::LowerLimit,
     kNoResult, 0, "Proportion 2* - Proportion 1* has to be less than or equal to 0.49999"},
    {Limit(1, 2), {{Ids::PopulationSize, "40"}, {Ids::Width, "0.0001"}}, Ids::SampleSize, kNoResult, 0},
    // the test's check of the exact calculation
    {Hg(kTest, 1, {}, {kExact}), {{Ids::PopulationSize, "2000"}}, Ids::SampleSize, kNoResult, 0,
     "Exact Calculation Chosen. Population Size Must Be <= 1000"},
  };
  // 0.1 - norm.isf(0.025) se with se = sqrt((0.25 + 0.24) 470/(499 x 30)), the second proportion in every
  // form
  for (int form = 0; form < 3; ++form)
    rows.push_back({Hg(kInterval, 2, {{kProportion2Group, form}, {kIntervalGroup, 0}}),
                    {{second[form], secondText[form]}}, Ids::LowerLimit, -0.1430996, 2e-6});
  ExpectReferences(rows);
  ExpectIntervals({
    // the first proportion, with the second as a difference, is searched where both stay proportions
    {Hg(kInterval, 2, {{kProportion2Group, 1}, {kIntervalGroup, 2}}),
     {{Ids::Proportion2MinusProportion1, "0.4"}}, Ids::Proportion1, 0.00001, 0.99999 - 0.4, 1e-6},
    // one sample: the population holds its sample and one unit more
    {Hg(kInterval, 1), {}, Ids::SampleSize, kAnyEnd, 499, 0},
    {Hg(kInterval, 1), {}, Ids::PopulationSize, 31, kAnyEnd, 0},
  });
}
// clang-format on

TEST_F(Hypergeometric, NoPointEstimate) {
  d.Select(kHypergeometric);
  EXPECT_FALSE(s.dialog.procedureEnabled[kPointEstimate]);
  d.SetProcedureKind(kPointEstimate);
  EXPECT_EQ(s.ProcedureKind, kTest);
}

}  // namespace
}  // namespace pelmora
