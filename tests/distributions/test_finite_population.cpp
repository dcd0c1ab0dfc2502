// The finite-population sample distribution: the dispatch of its two choices,
// the missing point estimate, the mean's intervals and power criterion with
// the finite-population correction on hand-checked values (the power asked for
// in a row of its own), the guard of a sample larger than its population, and
// the Monte Carlo message.  Reference values are computed with scipy
// (Debian's python3-scipy).  The intervals take the normal quantile of their
// limits from the tabulated upper quantile 1.95996 (norm.isf(0.025) =
// 1.9599640), which the tolerances pin; the test's power takes its critical
// value from the program's Abramowitz-Stegun quantile (error up to 4.5e-4),
// hence the wider tolerances there.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "procedures/distributions/finite_population.h"
#include "procedures/distributions/hypergeometric.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr Procedure kFinite = Procedure::FinitePopulation;
constexpr int kMean = 0, kProportion = 1;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kMeanGroup = 0, kMean2Group = 1, kSize2Group = 2, kPopulation2Group = 25, kIntervalGroup = 32;
using Ids = FinitePopulationMean::Ids;
using HyperIds = HypergeometricDistribution::Ids;
using testing::kAnyEnd;

testing::Choice Fp(int kind, int samples, int tails, testing::Forms forms = {}, bool left = false) {
  return testing::DistChoice(kFinite, kMean, kind, samples, tails, {}, std::move(forms), left);
}
testing::Choice Limit(int samples, int limit) { return Fp(kInterval, samples, 2, {{kIntervalGroup, limit}}); }

class FinitePopulationPlanning : public testing::PlanningTest {};

// clang-format off
TEST_F(FinitePopulationPlanning, IntervalsOfTheMean) {
  const int limits[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
  std::vector<testing::Reference> rows = {
    // z = norm.isf(0.025), se = 0.3/sqrt(30) sqrt(1 - 30/500); 0.3 - z se, 0.3 + z se, width 2 z se
    {Limit(1, 0), {}, Ids::LowerLimit, 0.1959187, 2e-6},
    {Limit(1, 1), {}, Ids::UpperLimit, 0.4040813, 2e-6},
    {Limit(1, 2), {}, Ids::Width, 0.2081626, 2e-6},
    // width 0.2: n = 1/((0.2/(2 z 0.3))^2 + 1/500); the population that 30 units need for it:
    // N = 30/(1 - 30 (0.2/(2 z 0.3))^2); the standard deviation that gives it at n = 30: 0.3 x 0.2 /
    // 0.2081626
    {Limit(1, 2), {{Ids::Width, "0.2"}}, Ids::SampleSize, 32.337137, 1e-3},
    {Limit(1, 2), {{Ids::Width, "0.2"}}, Ids::PopulationSize, 226.80178, 0.02},
    {Limit(1, 2), {{Ids::Width, "0.2"}}, Ids::Sd, 0.2882363, 2e-6},
    // se = 0.3 sqrt((1 - 40/500)/40 + (1 - 30/400)/30); 0.3 - norm.isf(0.025) se; more sampled than the first
    // population: its term is clamped at 0 and only the second remains, 0.3 - z 0.3 sqrt((1 - 30/500)/30)
    {Limit(2, 0), {{Ids::SampleSize1, "40"}, {Ids::PopulationSize2, "400"}},
     Ids::LowerLimit, 0.1635747, 2e-6},
    {Limit(2, 0), {{Ids::SampleSize1, "600"}}, Ids::LowerLimit, 0.1959187, 2e-6},
    // a first sample that would need more than its population holds: no result, and no fault on the way
    {Limit(2, 2), {{Ids::PopulationSize1, "40"}, {Ids::Width, "0.0001"}}, Ids::SampleSize1, kNoResult, 0},
    // the proportion is the hypergeometric distribution's: p1 = 0.5, p2 = p1 + 0.3, the second 30 of 500:
    // brentq(lambda n: 0.3 - norm.isf(0.025) sqrt(0.25 (500 - n)/(499 n) + 0.16 470/(499 30)) - 0.1)
    {testing::DistChoice(kFinite, kProportion, kInterval, 2, 2, {}, {{12, 1}}),
     {{HyperIds::LowerLimit, "0.1"}}, HyperIds::SampleSize1, 42.527479, 1e-3},
    // checks of the relative sizes
    {Fp(kInterval, 2, 2, {{kPopulation2Group, 2}}), {{Ids::PopulationSize2OverSize1, "0.001"}},
     Ids::LowerLimit, kNoResult, 0, "Popul. Size 2 / Popul. Size 1 has to be greater than or equal to 0.006"},
  };
  // A census collapses the interval: n = N leaves no variance, both limits are the estimate; a sample larger
  // than its population is no fault, the variance stays 0.
  for (int k = 0; k < 3; ++k)
    for (const char* n : {"500", "600"})
      rows.push_back({Limit(1, k), {{Ids::SampleSize, n}}, limits[k], k == 2 ? 0.0 : 0.3, 2e-5});
  ExpectReferences(rows);
  ExpectIntervals({
    // the sample stays one below its population, the population one above its sample, whatever the kind; the
    // second population given as a difference stays above the second sample
    {Fp(kTest, 1, 2), {}, Ids::SampleSize, kAnyEnd, 499, 0},
    {Fp(kTest, 1, 2), {}, Ids::PopulationSize, 31, kAnyEnd, 0},
    {Limit(1, 0), {}, Ids::SampleSize, kAnyEnd, 499, 0},
    {Limit(1, 0), {}, Ids::PopulationSize, 31, kAnyEnd, 0},
    {Fp(kInterval, 2, 2, {{kPopulation2Group, 1}}), {}, Ids::PopulationSize2MinusSize1, 31 - 500, kAnyEnd, 0},
  });
}

TEST_F(FinitePopulationPlanning, PowerOfTheTests) {
  const testing::Values d01 = {{Ids::Mean, "0.1"}};
  ExpectReferences({
    // the power norm.cdf(d/se - z) + norm.cdf(-d/se - z) with se = 0.3/sqrt(n) sqrt(1 - n/500) reaches 0.80
    // at
    // n = 61.8952 (d = 0.1, two-sided); one-sided, norm.cdf(d/se - norm.ppf(0.95)) = 0.80 at n = 50.0708,
    // the left
    // tail with the mirrored mean the same; the mean that 30 units detect, one-sided, also as a difference to
    // H0 = 0.1
    {Fp(kTest, 1, 2), d01, Ids::SampleSize, 61.8952, 0.1},
    {Fp(kTest, 1, 1), d01, Ids::SampleSize, 50.0708, 0.1},
    {Fp(kTest, 1, 1, {}, true), {{Ids::Mean, "-0.1"}}, Ids::SampleSize, 50.0708, 0.1},
    {Fp(kTest, 1, 1), {}, Ids::Mean, 0.1320409, 2e-4},
    {Fp(kTest, 1, 1, {{kMeanGroup, 1}}), {{Ids::H0Mean, "0.1"}}, Ids::MeanMinusH0, 0.1320409, 2e-4},
    // the power asked for in its row: brentq(lambda n: norm.cdf(0.1/se(n) - norm.isf(0.05)) - 0.9), two-sided
    // norm.cdf(d/se - z) + norm.cdf(-d/se - z) with z = norm.isf(0.025)
    {Fp(kTest, 1, 1), {{Ids::Mean, "0.1"}, {Ids::Power, "0.9"}}, Ids::SampleSize, 66.780467, 0.1},
    {Fp(kTest, 1, 2), {{Ids::Mean, "0.1"}, {Ids::Power, "0.9"}}, Ids::SampleSize, 79.525781, 0.1},
    // two one-sided tests: norm.cdf((0.1 + 0.4)/se - z) + norm.cdf((0.4 - 0.1)/se - z) - 1 = 0.80 with
    // z = norm.ppf(0.95)
    {Fp(kTest, 1, 3), d01, Ids::SampleSize, 6.20622, 0.02},
    // means 0.3 and 0.4, equal sizes (ratio 1), se = 0.3 sqrt(2 (1 - n/500)/n): power 0.80 two-sided, in
    // every
    // form; the second size fixed at 30 cannot make up for it within the population
    {Fp(kTest, 2, 2, {{kMean2Group, 0}, {kSize2Group, 2}}), {}, Ids::SampleSize1, 110.1544, 0.2},
    {Fp(kTest, 2, 2, {{kMean2Group, 1}, {kSize2Group, 2}}), {{Ids::Diff, "0.1"}},
     Ids::SampleSize1, 110.1544, 0.2},
    {Fp(kTest, 2, 2, {{kMean2Group, 2}, {kSize2Group, 2}}),
     {{Ids::Mean2OverMean1, std::to_string(0.4 / 0.3)}}, Ids::SampleSize1, 110.1544, 0.2},
    {Fp(kTest, 2, 2), {}, Ids::SampleSize1, kNoResult, 0},
    {Fp(kTest, 2, 2, {{kSize2Group, 1}}), {{Ids::SampleSize2MinusSize1, "-28"}}, Ids::Sd, kNoResult, 0,
     "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27"},
    {Fp(kTest, 1, 3), {{Ids::LeftLimit, "0.5"}}, Ids::SampleSize, kNoResult, 0,
     "H0: Left Equivalence Limit has to be less than or equal to 0.4"},
  });
}
// clang-format on

TEST_F(FinitePopulationPlanning, ThePowerAskedForStandsAtPositionTwoAndPositionOneIsNotRead) {
  // The power of 30 units, solved for at position 2: norm.cdf(0.1/se(30) - norm.isf(0.05)).
  Enter(Fp(kTest, 1, 1), {{Ids::Mean, "0.1"}});
  EXPECT_EQ(s.ParameterList[1], Ids::Power);
  s.UnknownPosition = 2;
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved);
  EXPECT_NEAR(s.value(2), 0.5941585, 5e-4);
  Set(Ids::Power, "0.8");
  ReadParameterValues(s);
  const double criterion = d.CallEvaluateCriterion();
  s.value(1) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(d.CallEvaluateCriterion(), criterion);
  s.value(2) = 0.5941585;
  EXPECT_NEAR(d.CallEvaluateCriterion(), 0.0, 5e-4);
}

TEST_F(FinitePopulationPlanning, NoPointEstimateAndNoMonteCarloSimulationOfTheMean) {
  for (int choice : {kMean, kProportion}) {
    d.Select(kFinite);
    d.SetParameterChoice(choice);
    EXPECT_FALSE(s.dialog.procedureEnabled[kPointEstimate]) << choice;
    // Chosen all the same, it falls back to the test with all its tails.
    d.SetTailCount(3);
    d.SetProcedureKind(kPointEstimate);
    EXPECT_EQ(s.ProcedureKind, kTest) << choice;
    EXPECT_TRUE(s.dialog.tailsEnabled[2]) << choice;
  }
  // Forced past the options dialog, the point estimate lists nothing to solve.
  Choose(Fp(kTest, 1, 2));
  s.ProcedureKind = kPointEstimate;
  d.ApplyOptions();
  EXPECT_EQ(s.LastPosition, 1);
  EXPECT_EQ(d.CallEvaluateCriterion(), 0.0);
  s.UnknownPosition = 0;
  s.ResultsCurrent = false;
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::NotCalculable);
  // In a Monte Carlo window the mean says so; its list is built all the same.
  s.records.resize(2);
  s.records[1].kind = static_cast<std::int16_t>(WindowKind::MonteCarlo);
  s.ActiveRecord = 1;
  ui.messages.clear();
  Choose(Fp(kTest, 1, 2));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Not Available As Monte Carlo Simulation");
  EXPECT_EQ(ui.messages[0].title, "Pelmora");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_GT(s.LastPosition, 1);
  ui.messages.clear();
  Choose(testing::DistChoice(kFinite, kProportion, kTest, 1, 2));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace pelmora
