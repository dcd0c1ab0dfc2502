// The finite-population sample distribution: the dispatch of its two choices,
// the missing point estimate, the mean's lists (the power asked for in a row
// of its own), intervals and power criterion with the finite-population
// correction on hand-checked values, the guard of a sample larger than its
// population, the Monte Carlo message, pelmora-cli, and a sweep of every
// choice.  Reference values are computed with scipy (Debian's python3-scipy).
// The intervals take the normal quantile of their limits from the tabulated
// upper quantile 1.95996 (norm.isf(0.025) = 1.9599640), which the tolerances
// pin; the test's power takes its critical value from the program's
// Abramowitz-Stegun quantile (error up to 4.5e-4), hence the wider tolerances
// there.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "numeric/fault_guard.h"
#include "procedures/distributions/finite_population.h"
#include "procedures/distributions/hypergeometric.h"
#include "procedures/module_set.h"
#include "session/calculation_rows.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr int kFinite = 8, kHypergeometric = 5;
constexpr int kMean = 0, kProportion = 1;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
using Ids = FinitePopulationMean::Ids;

class FinitePopulationPlanning : public testing::PlanningTest {
 protected:
  // Chooses as the menu and the options dialog would, then confirms.
  void Choose(int choice, int kind, int samples, int tails,
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false,
              int distribution = kFinite) {
    s.catalogue = BuildCatalogue();  // the start-up values
    ChooseDistribution(distribution, choice, kind, samples, tails, {}, forms, left);
  }
  // The unknown's text that pelmora-cli prints for the same choices and values.
  static std::string CliText(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    std::vector<std::string> all = args;
    all.push_back("--json");
    EXPECT_EQ(RunCli(all, out, err), kExitSolved) << err.str();
    const std::string json = out.str();
    const std::string key = "\"text\": \"";
    const auto at = json.find(key, json.find("\"unknown\""));
    if (at == std::string::npos) return "";
    const auto from = at + key.size();
    return json.substr(from, json.find('"', from) - from);
  }
  // Solves for the listed position; returns the value or 99999.
  double SolveAt(int position) {
    s.UnknownPosition = static_cast<std::int16_t>(position);
    s.ResultsCurrent = false;
    const SingleOutcome o = CalculateSingle(d);
    return o == SingleOutcome::Solved ? s.value(position) : kNoResult;
  }
};

// ---- Selection -----------------------------------------------------------------

TEST_F(FinitePopulationPlanning, TheMenuItemHandsItsChoicesOn) {
  d.SelectDistribution(kFinite);
  ASSERT_NE(d.modules().Find<FinitePopulationDistribution>(), nullptr);
  EXPECT_EQ(d.Module(), d.modules().Find<FinitePopulationDistribution>());
  // The proportion is the hypergeometric distribution's.
  Choose(kProportion, kInterval, 1, 2);
  const std::vector<int> proportion = ListedIds();
  EXPECT_EQ(s.ParameterChoiceName, "Proportion");
  EXPECT_EQ(s.Description, "Finite Population. Conf. Interval for Proportion. 2-sided.");
  Choose(0, kInterval, 1, 2, {}, false, kHypergeometric);
  EXPECT_EQ(ListedIds(), proportion);
  Choose(kMean, kInterval, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 58, 20, 2, 14, 31}));
  EXPECT_EQ(s.ParameterChoiceName, "Mean");
  Choose(kMean, kTest, 2, 1);
  EXPECT_EQ(s.ParameterChoiceName, "Mean2 - Mean1");
  EXPECT_EQ(s.Description, "Finite Population. Test of Mean2 - Mean1. 1-sided.");
}

TEST_F(FinitePopulationPlanning, PointEstimateCannotBeChosen) {
  for (int choice : {kMean, kProportion}) {
    d.SelectDistribution(kFinite);
    d.SetParameterChoice(choice);
    EXPECT_FALSE(s.dialog.procedureEnabled[kPointEstimate]) << choice;
    EXPECT_TRUE(s.dialog.procedureEnabled[kTest]);
    EXPECT_TRUE(s.dialog.procedureEnabled[kInterval]);
    // Chosen all the same, it falls back to the test with all its tails.
    d.SetTailCount(3);
    d.SetProcedureKind(kPointEstimate);
    EXPECT_EQ(s.ProcedureKind, kTest) << choice;
    EXPECT_TRUE(s.dialog.tailsEnabled[2]) << choice;
    d.ApplyOptions();
    EXPECT_EQ(s.ParameterList[0], 0);
    EXPECT_GT(s.LastPosition, 1);
  }
}

TEST_F(FinitePopulationPlanning, AKindWithoutDefinitionComputesNothing) {
  // Forced past the options dialog, the point estimate lists nothing to
  // solve, and its criterion is 0 with no result.
  Choose(kMean, kTest, 1, 2);
  s.ProcedureKind = kPointEstimate;
  d.ApplyOptions();
  EXPECT_EQ(s.LastPosition, 1);
  EXPECT_EQ(d.CallEvaluateCriterion(), 0.0);
  s.UnknownPosition = 0;
  s.ResultsCurrent = false;
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::NotCalculable);
}

TEST_F(FinitePopulationPlanning, OfferedRows) {
  Choose(kMean, kTest, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{0}));  // "Mean*"
  Choose(kMean, kTest, 1, 3);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{}));
  Choose(kMean, kTest, 2, 3);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{1, 2, 25}));  // "Mean 2*", "Sample Size 2", "Population Size 2"
  Choose(kMean, kInterval, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{32}));
  Choose(kMean, kInterval, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{2, 25, 32}));
  EXPECT_EQ(s.OptionCount, 0);
}

// ---- Lists of the mean --------------------------------------------------------------

TEST_F(FinitePopulationPlanning, TestLists) {
  // Position 1 keeps the power's id and has no row; the power asked for is
  // listed again at position 2, the rest follows.
  const int estimate[3] = {58, 59, 60};
  for (int form = 0; form < 3; ++form) {
    Choose(kMean, kTest, 1, 2, {{0, form}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 57, estimate[form], 2, 14, 31}));
  }
  Choose(kMean, kTest, 1, 3, {{0, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 6, 7, 58, 2, 14, 31}));
  Choose(kMean, kTest, 2, 2, {{1, 1}, {2, 1}, {25, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 61, 62, 2, 4, 38, 196, 199}));
  Choose(kMean, kTest, 2, 1, {{1, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 61, 86, 87, 2, 4, 37, 196, 197}));
  Choose(kMean, kTest, 2, 2, {{1, 2}, {2, 2}, {25, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 61, 86, 88, 2, 4, 5, 196, 198}));
  Choose(kMean, kTest, 2, 3, {{1, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 6, 7, 62, 2, 4, 37, 196, 197}));
  Choose(kMean, kTest, 2, 3, {{1, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 6, 7, 86, 88, 2, 4, 37, 196, 197}));
}

TEST_F(FinitePopulationPlanning, IntervalLists) {
  const int limits[3] = {20, 21, 100};
  for (int k = 0; k < 3; ++k) {
    Choose(kMean, kInterval, 1, 2, {{32, k}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 58, limits[k], 2, 14, 31}));
    Choose(kMean, kInterval, 2, 2, {{32, k}, {2, k}, {25, 2 - k}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 62, limits[k], 2, 4, std::vector<int>{37, 38, 5}[k],
                                             196, std::vector<int>{199, 198, 197}[k]}));
  }
}

// ---- Intervals of the mean ------------------------------------------------------------

TEST_F(FinitePopulationPlanning, IntervalOfTheMean) {
  // z = norm.isf(0.025), se = 0.3/sqrt(30) sqrt(1 - 30/500); 0.3 - z se = 0.1959187
  Choose(kMean, kInterval, 1, 2, {{32, 0}});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.1959187, 2e-6);
  // The same half-width above: 0.3 + z se = 0.4040813; width 2 z se = 0.2081626.
  Choose(kMean, kInterval, 1, 2, {{32, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 0.4040813, 2e-6);
  Choose(kMean, kInterval, 1, 2, {{32, 2}});
  EXPECT_NEAR(Solve(Ids::Width), 0.2081626, 2e-6);
  // Width 0.2: n = 1/((0.2/(2 z 0.3))^2 + 1/500) = 32.337137.
  s.entry(Ids::Width).ParamText = "0.2";
  EXPECT_NEAR(Solve(Ids::SampleSize), 32.337137, 1e-3);
  // The population that 30 units need for it: N = 30/(1 - 30 (0.2/(2 z 0.3))^2) = 226.80178.
  s.entry(Ids::SampleSize).ParamText = "30";
  EXPECT_NEAR(Solve(Ids::PopulationSize), 226.80178, 0.02);
  s.entry(Ids::PopulationSize).ParamText = "500";
  // The standard deviation that gives width 0.2 at n = 30: 0.3 x 0.2 / 0.2081626 = 0.2882363.
  EXPECT_NEAR(Solve(Ids::Sd), 0.2882363, 2e-6);
}

TEST_F(FinitePopulationPlanning, ACensusCollapsesTheInterval) {
  // n = N: no variance is left, both limits are the estimate.
  for (int k = 0; k < 3; ++k) {
    Choose(kMean, kInterval, 1, 2, {{32, k}});
    s.entry(Ids::SampleSize).ParamText = "500";
    EXPECT_NEAR(Solve(std::vector<int>{Ids::LowerLimit, Ids::UpperLimit, Ids::Width}[k]), k == 2 ? 0.0 : 0.3,
                2e-5);
    // A sample larger than its population is no fault: the variance stays 0.
    s.entry(Ids::SampleSize).ParamText = "600";
    EXPECT_NEAR(Solve(std::vector<int>{Ids::LowerLimit, Ids::UpperLimit, Ids::Width}[k]), k == 2 ? 0.0 : 0.3,
                2e-5);
  }
  EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
}

TEST_F(FinitePopulationPlanning, IntervalOfTwoMeans) {
  // se = 0.3 sqrt((1 - 40/500)/40 + (1 - 30/400)/30); 0.3 - norm.isf(0.025) se = 0.1635747
  Choose(kMean, kInterval, 2, 2, {{32, 0}});
  s.entry(Ids::SampleSize1).ParamText = "40";
  s.entry(Ids::PopulationSize2).ParamText = "400";
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.1635747, 2e-6);
  // More sampled than the first population: its term is clamped at 0 and
  // only the second remains, 0.3 - z 0.3 sqrt((1 - 30/500)/30) = 0.1959187.
  s.entry(Ids::SampleSize1).ParamText = "600";
  s.entry(Ids::PopulationSize2).ParamText = "500";
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.1959187, 2e-6);
  EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
  const FinitePopulationMean& mean = *d.modules().Find<FinitePopulationMean>();
  ReadParameterValues(s);
  EXPECT_NEAR(mean.StandardError(s), 0.3 * std::sqrt((1 - 30.0 / 500) / 30), 1e-7);
}

TEST_F(FinitePopulationPlanning, TheSampleSizeIsSearchedWithinItsPopulation) {
  // A first sample that would need more than its population holds: no
  // result, and no fault on the way.
  Choose(kMean, kInterval, 2, 2, {{32, 2}});
  s.entry(Ids::PopulationSize1).ParamText = "40";
  s.entry(Ids::Width).ParamText = "0.0001";
  EXPECT_EQ(Solve(Ids::SampleSize1), kNoResult);
  // One sample: the sample stays one below its population, the population
  // one above its sample, whatever the kind.
  for (int kind : {kTest, kInterval}) {
    Choose(kMean, kind, 1, 2);
    ReadParameterValues(s);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::SampleSize));
    double lower = 3, upper = 99999;
    d.CallSetSearchInterval(lower, upper);
    EXPECT_EQ(upper, 499);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::PopulationSize));
    lower = 3, upper = 99999;
    d.CallSetSearchInterval(lower, upper);
    EXPECT_EQ(lower, 31);
  }
  // Two samples: the second population given as a difference stays above
  // the second sample.
  Choose(kMean, kInterval, 2, 2, {{25, 1}});
  ReadParameterValues(s);
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(198));
  double lower = -99999, upper = 99999;
  d.CallSetSearchInterval(lower, upper);
  EXPECT_EQ(lower, 31 - 500);
}

// ---- Tests of the mean -----------------------------------------------------------------

TEST_F(FinitePopulationPlanning, PowerOfTheTestOfAMean) {
  // scipy: the power norm.cdf(d/se - z) + norm.cdf(-d/se - z) with
  // se = 0.3/sqrt(n) sqrt(1 - n/500) reaches 0.80 at n = 61.8952 (d = 0.1, two-sided).
  Choose(kMean, kTest, 1, 2);
  s.entry(Ids::Mean).ParamText = "0.1";
  EXPECT_NEAR(Solve(Ids::SampleSize), 61.8952, 0.1);
  // One-sided, norm.cdf(d/se - norm.ppf(0.95)) = 0.80 at n = 50.0708; the
  // left tail with the mirrored mean gives the same.
  Choose(kMean, kTest, 1, 1);
  s.entry(Ids::Mean).ParamText = "0.1";
  EXPECT_NEAR(Solve(Ids::SampleSize), 50.0708, 0.1);
  Choose(kMean, kTest, 1, 1, {}, true);
  s.entry(Ids::Mean).ParamText = "-0.1";
  EXPECT_NEAR(Solve(Ids::SampleSize), 50.0708, 0.1);
  // The mean that 30 units detect with power 0.80, one-sided: 0.1320409.
  Choose(kMean, kTest, 1, 1);
  EXPECT_NEAR(Solve(Ids::Mean), 0.1320409, 2e-4);
  // The same as a difference to H0 = 0.1.
  Choose(kMean, kTest, 1, 1, {{0, 1}});
  s.entry(Ids::H0Mean).ParamText = "0.1";
  EXPECT_NEAR(Solve(Ids::MeanMinusH0), 0.1320409, 2e-4);
}

TEST_F(FinitePopulationPlanning, ThePowerAskedForIsARowOfTheWindow) {
  const struct {
    int samples, tails, form;
  } cases[] = {{1, 1, 0}, {1, 2, 2}, {1, 3, 0}, {2, 2, 1}, {2, 1, 0}, {2, 3, 2}};
  for (const auto& c : cases) {
    Choose(kMean, kTest, c.samples, c.tails, {{c.samples == 1 ? 0 : 1, c.form}});
    SCOPED_TRACE(s.Description);
    const std::vector<CalculationRow> rows = CalculationRows(s);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "&P-value");
    EXPECT_EQ(rows[1].position, 2);
    EXPECT_EQ(rows[1].caption, "&Power");
    EXPECT_EQ(s.ParameterList[1], Ids::Power);
    // Every listed value but position 1 has a row.
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(s.LastPosition));
  }
  // Typed into its row, the power is what the criterion reads.  One-sided,
  // d = 0.1, se = 0.3/sqrt(n) sqrt(1 - n/500): brentq(lambda n:
  // norm.cdf(0.1/se(n) - norm.isf(0.05)) - 0.9) = 66.780467 (two-sided,
  // norm.cdf(d/se - z) + norm.cdf(-d/se - z) with z = norm.isf(0.025): 79.525781).
  // The critical value comes from the program's Abramowitz-Stegun quantile.
  Choose(kMean, kTest, 1, 1);
  Set(Ids::Mean, "0.1");
  Set(Ids::Power, "0.9");
  EXPECT_NEAR(Solve(Ids::SampleSize), 66.780467, 0.1);
  Choose(kMean, kTest, 1, 2);
  Set(Ids::Mean, "0.1");
  Set(Ids::Power, "0.9");
  EXPECT_NEAR(Solve(Ids::SampleSize), 79.525781, 0.1);
  // Solved for at position 2: the power of 30 units, norm.cdf(0.1/se(30) -
  // norm.isf(0.05)) = 0.5941585.
  Choose(kMean, kTest, 1, 1);
  Set(Ids::Mean, "0.1");
  EXPECT_NEAR(SolveAt(2), 0.5941585, 5e-4);
  // Position 1 is not read.
  Set(Ids::Power, "0.8");
  ReadParameterValues(s);
  const double criterion = d.CallEvaluateCriterion();
  s.value(1) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(d.CallEvaluateCriterion(), criterion);
  s.value(2) = 0.5941585;
  EXPECT_NEAR(d.CallEvaluateCriterion(), 0.0, 5e-4);
}

TEST_F(FinitePopulationPlanning, PowerOfTwoOneSidedTests) {
  // norm.cdf((0.1 + 0.4)/se - z) + norm.cdf((0.4 - 0.1)/se - z) - 1 = 0.80
  // with z = norm.ppf(0.95) at n = 6.20622.
  Choose(kMean, kTest, 1, 3);
  s.entry(Ids::Mean).ParamText = "0.1";
  EXPECT_NEAR(Solve(Ids::SampleSize), 6.20622, 0.02);
}

TEST_F(FinitePopulationPlanning, PowerOfTheTestOfTwoMeans) {
  // Means 0.3 and 0.4, equal sizes (ratio 1), se = 0.3 sqrt(2 (1 - n/500)/n):
  // power 0.80 two-sided at n = 110.1544.
  for (int form : {0, 1, 2}) {
    Choose(kMean, kTest, 2, 2, {{1, form}, {2, 2}});
    if (form == 1) s.entry(Ids::Diff).ParamText = "0.1";
    if (form == 2) s.entry(Ids::Mean2OverMean1).ParamText = std::to_string(0.4 / 0.3);
    EXPECT_NEAR(Solve(Ids::SampleSize1), 110.1544, 0.2) << form;
  }
  // The second size fixed at 30 cannot make up for it within the population.
  Choose(kMean, kTest, 2, 2);
  EXPECT_EQ(Solve(Ids::SampleSize1), kNoResult);
}

TEST_F(FinitePopulationPlanning, ChecksOfTheRelativeSizes) {
  Choose(kMean, kTest, 2, 2, {{2, 1}});
  s.entry(Ids::SampleSize2MinusSize1).ParamText = "-28";
  EXPECT_EQ(Solve(Ids::Sd), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size 2 - Sample Size 1 has to be greater than or equal to -27");
  Choose(kMean, kInterval, 2, 2, {{25, 2}});
  s.entry(Ids::PopulationSize2OverSize1).ParamText = "0.001";
  EXPECT_EQ(Solve(Ids::LowerLimit), kNoResult);
  EXPECT_EQ(ui.LastText(), "Popul. Size 2 / Popul. Size 1 has to be greater than or equal to 0.006");
  Choose(kMean, kTest, 1, 3);
  s.entry(Ids::LeftLimit).ParamText = "0.5";
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");
}

TEST_F(FinitePopulationPlanning, TheMeanIsNotAvailableAsMonteCarloSimulation) {
  s.records.resize(2);
  s.records[1].kind = static_cast<std::int16_t>(WindowKind::MonteCarlo);
  s.ActiveRecord = 1;
  Choose(kMean, kTest, 1, 2);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Not Available As Monte Carlo Simulation");
  EXPECT_EQ(ui.messages[0].title, "Pelmora");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  // The list is built all the same.
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 1, 57, 58, 2, 14, 31}));
  ui.messages.clear();
  Choose(kProportion, kTest, 1, 2);
  EXPECT_TRUE(ui.messages.empty());
}

// ---- pelmora-cli -----------------------------------------------------------------------

TEST_F(FinitePopulationPlanning, PelmoraCliGivesTheSameResults) {
  Choose(kMean, kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::Width).ParamText = "0.2";
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "8", "--kind", "interval", "--samples", "1", "--mode", "32=2", "--set",
                     "100=0.2", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);
  // 1/((0.2/(2 norm.isf(0.025) 0.3))^2 + 1/500) = 32.337137
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "32.337");

  Choose(kMean, kTest, 2, 2, {{2, 2}});
  Solve(Ids::SampleSize1);
  EXPECT_EQ(CliText({"--distribution", "8", "--samples", "2", "--mode", "2=2", "--unknown", "4"}),
            s.entry(Ids::SampleSize1).ParamText);

  Choose(kMean, kInterval, 2, 2, {{32, 0}});
  s.entry(Ids::SampleSize1).ParamText = "600";
  Solve(Ids::LowerLimit);
  EXPECT_EQ(CliText({"--distribution", "8", "--kind", "interval", "--set", "4=600", "--unknown", "20"}),
            s.entry(Ids::LowerLimit).ParamText);

  // p1 = 0.5, p2 = p1 + 0.3, the second 30 of 500: brentq(lambda n: 0.3 -
  // norm.isf(0.025) sqrt(0.25 (500 - n)/(499 n) + 0.16 470/(499 30)) - 0.1) = 42.527479
  Choose(kProportion, kInterval, 2, 2, {{12, 1}});
  s.entry(HypergeometricDistribution::Ids::LowerLimit).ParamText = "0.1";
  Solve(HypergeometricDistribution::Ids::SampleSize1);
  EXPECT_EQ(s.entry(HypergeometricDistribution::Ids::SampleSize1).ParamText, "42.527");
  EXPECT_EQ(CliText({"--distribution", "8", "--parameter", "1", "--kind", "interval", "--mode", "12=1",
                     "--set", "20=0.1", "--unknown", "4"}),
            s.entry(HypergeometricDistribution::Ids::SampleSize1).ParamText);
}

}  // namespace
}  // namespace pelmora
