// The hypergeometric sample distribution: the tests it hands on, the missing
// point estimate, the intervals of one proportion and of a difference with
// the finite-population correction (N - n)/(N - 1) and the continuity
// correction on hand-checked values, the checks of sizes against their
// populations, pelmora-cli, and a sweep of every choice.  Reference values are
// computed with scipy (Debian's python3-scipy).  The intervals take the normal
// quantile of their limits from the tabulated upper quantile 1.95996
// (norm.isf(0.025) = 1.9599640), which the tolerances pin.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "numeric/fault_guard.h"
#include "procedures/distributions/hypergeometric.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr int kHypergeometric = 5;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
constexpr int kContinuityCorrection = 1, kExactCalculation = 7;
using Ids = HypergeometricDistribution::Ids;

class Hypergeometric : public testing::PlanningTest {
 protected:
  // Chooses as the menu and the options dialog would, then confirms.
  void Choose(int kind, int samples, int tails, const std::vector<std::pair<int, int>>& forms = {},
              const std::vector<int>& options = {}) {
    s.catalogue = BuildCatalogue();  // the start-up values
    ChooseDistribution(kHypergeometric, -1, kind, samples, tails, options, forms, false);
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
};

// ---- Selection and the tests --------------------------------------------------------

TEST_F(Hypergeometric, TheMenuItemIsServedByThisModuleWithoutPointEstimate) {
  d.SelectDistribution(kHypergeometric);
  ASSERT_NE(d.modules().Find<HypergeometricDistribution>(), nullptr);
  EXPECT_EQ(d.Module(), d.modules().Find<HypergeometricDistribution>());
  EXPECT_FALSE(s.dialog.procedureEnabled[kPointEstimate]);
  d.SetProcedureKind(kPointEstimate);
  EXPECT_EQ(s.ProcedureKind, kTest);
  Choose(kInterval, 1, 2);
  EXPECT_EQ(s.ParameterChoiceName, "Proportion");
  EXPECT_EQ(s.Description, "Hypergeometric Distribution. Conf. Interval for Proportion. 2-sided.");
  Choose(kInterval, 2, 2, {}, {kContinuityCorrection});
  EXPECT_EQ(s.ParameterChoiceName, "Proportion 2 - Proportion 1");
  EXPECT_EQ(
      s.Description,
      "Hypergeometric Distribution. Conf. Interval for Proportion 2 - Proportion 1. 2-sided. Continuity "
      "Correction.");
}

TEST_F(Hypergeometric, TheTestsAreThoseOfTheHypergeometricTest) {
  Choose(kTest, 1, 2, {}, {kExactCalculation});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 35, 83, 14, 31}));
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuityCorrection, kExactCalculation}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{11}));
  const double viaDistribution = Solve(Ids::SampleSize);
  ASSERT_NE(viaDistribution, kNoResult);
  // The test module itself, on the same session.
  s.entry(Ids::SampleSize).ParamText = "30";
  d.UseModuleForTesting(d.modules().Find<HypergeometricProportions>());
  d.ApplyOptions();
  EXPECT_EQ(Solve(Ids::SampleSize), viaDistribution);
  d.UseModuleForTesting(nullptr);
  // Its check of the exact calculation.
  Choose(kTest, 1, 2, {}, {kExactCalculation});
  s.entry(Ids::PopulationSize).ParamText = "2000";
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Exact Calculation Chosen. Population Size Must Be <= 1000");
  Choose(kTest, 2, 3);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 71, 72, 8, 69, 4, 37, 196, 197}));
}

// ---- Intervals ------------------------------------------------------------------------

TEST_F(Hypergeometric, IntervalRowsOptionAndLists) {
  Choose(kInterval, 1, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kContinuityCorrection}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{32}));
  Choose(kInterval, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{12, 2, 25, 32}));
  const int limits[3] = {20, 21, 100};
  for (int k = 0; k < 3; ++k) {
    Choose(kInterval, 1, 2, {{32, k}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 83, limits[k], 14, 31}));
    Choose(kInterval, 2, 2, {{12, k}, {2, (k + 1) % 3}, {25, (k + 2) % 3}, {32, k}});
    EXPECT_EQ(ListedIds(),
              (std::vector<int>{22, 101, 8, std::vector<int>{69, 52, 70}[k], limits[k], 4,
                                std::vector<int>{38, 5, 37}[k], 196, std::vector<int>{199, 197, 198}[k]}));
  }
}

TEST_F(Hypergeometric, IntervalOfAProportion) {
  // se = sqrt(0.25 (500 - 30)/(499 x 30)); 0.5 - z se = 0.3263575, 0.5 + z se
  // = 0.6736425, width 2 z se = 0.3472851, z = norm.isf(0.025).
  Choose(kInterval, 1, 2, {{32, 0}});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.3263575, 2e-6);
  Choose(kInterval, 1, 2, {{32, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 0.6736425, 2e-6);
  Choose(kInterval, 1, 2, {{32, 2}});
  EXPECT_NEAR(Solve(Ids::Width), 0.3472851, 2e-6);
  // Width 0.2: brentq(lambda n: 2 z sqrt(0.25 (500 - n)/(499 n)) - 0.2) = 80.697970.
  s.entry(Ids::Width).ParamText = "0.2";
  EXPECT_NEAR(Solve(Ids::SampleSize), 80.697970, 2e-3);
  // Width 0.3 from 30 units: brentq(lambda N: 2 z sqrt(0.25 (N - 30)/((N - 1) 30)) - 0.3) = 98.59643
  s.entry(Ids::SampleSize).ParamText = "30";
  s.entry(Ids::Width).ParamText = "0.3";
  EXPECT_NEAR(Solve(Ids::PopulationSize), 98.59643, 0.01);
  // The continuity correction 1/(2n) moves the lower limit up: 0.5 + 1/60 - z se = 0.3430241.
  Choose(kInterval, 1, 2, {{32, 0}}, {kContinuityCorrection});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.3430241, 2e-6);
  // And shortens the width by 2/(2n): 2 z se - 1/30 = 0.3139517.
  Choose(kInterval, 1, 2, {{32, 2}}, {kContinuityCorrection});
  EXPECT_NEAR(Solve(Ids::Width), 0.3139517, 2e-6);
}

TEST_F(Hypergeometric, ACensusCollapsesTheInterval) {
  Choose(kInterval, 1, 2, {{32, 0}});
  s.entry(Ids::SampleSize).ParamText = "500";
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.5, 1e-6);
  Choose(kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::SampleSize).ParamText = "500";
  // The width's search starts at its lower bound 0.00001.
  EXPECT_NEAR(Solve(Ids::Width), 0.0, 2e-5);
  EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
}

TEST_F(Hypergeometric, IntervalOfADifference) {
  // p1 = 0.5, p2 = 0.6, 30 of 500 each: se = sqrt((0.25 + 0.24) 470/(499 x 30));
  // 0.1 - norm.isf(0.025) se = -0.1430996; with the correction (1/30 + 1/30)/2: -0.1097662.
  for (int form = 0; form < 3; ++form) {
    Choose(kInterval, 2, 2, {{12, form}, {32, 0}});
    s.entry(std::vector<int>{Ids::Proportion2, Ids::Proportion2MinusProportion1,
                             Ids::Proportion2OverProportion1}[static_cast<std::size_t>(form)])
        .ParamText = std::vector<std::string>{"0.6", "0.1", "1.2"}[static_cast<std::size_t>(form)];
    EXPECT_NEAR(Solve(Ids::LowerLimit), -0.1430996, 2e-6) << form;
  }
  Choose(kInterval, 2, 2, {{32, 0}}, {kContinuityCorrection});
  s.entry(Ids::Proportion2).ParamText = "0.6";
  EXPECT_NEAR(Solve(Ids::LowerLimit), -0.1097662, 2e-6);
  // The same populations given as a ratio and a difference.
  Choose(kInterval, 2, 2, {{25, 2}, {2, 1}, {32, 0}});
  s.entry(Ids::Proportion2).ParamText = "0.6";
  s.entry(Ids::PopulationSize2OverSize1).ParamText = "1";
  s.entry(Ids::SampleSize2MinusSize1).ParamText = "0";
  EXPECT_NEAR(Solve(Ids::LowerLimit), -0.1430996, 2e-6);
}

// ---- Checks and search intervals --------------------------------------------------------

TEST_F(Hypergeometric, SizesStayWithinTheirPopulations) {
  Choose(kInterval, 1, 2);
  s.entry(Ids::SampleSize).ParamText = "600";
  EXPECT_EQ(Solve(Ids::LowerLimit), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size has to be less than or equal to 500");
  Choose(kInterval, 2, 2);
  s.entry(Ids::PopulationSize2).ParamText = "20";
  EXPECT_EQ(Solve(Ids::LowerLimit), kNoResult);
  EXPECT_EQ(ui.LastText(), "Population Size 2 has to be greater than or equal to 30");
  Choose(kInterval, 2, 2, {{12, 1}});
  s.entry(Ids::Proportion2MinusProportion1).ParamText = "0.6";
  EXPECT_EQ(Solve(Ids::LowerLimit), kNoResult);
  EXPECT_EQ(ui.LastText(), "Proportion 2* - Proportion 1* has to be less than or equal to 0.49999");
  ui.messages.clear();
  // A sample that would need more than its population: no result, no fault.
  Choose(kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::PopulationSize).ParamText = "40";
  s.entry(Ids::Width).ParamText = "0.0001";
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  // The first proportion, with the second as a difference, is searched where
  // both stay proportions.
  Choose(kInterval, 2, 2, {{12, 1}, {32, 2}});
  s.entry(Ids::Proportion2MinusProportion1).ParamText = "0.4";
  ReadParameterValues(s);
  s.UnknownPosition = 2;
  double lower = s.entry(Ids::Proportion1).ParamLowerLimit, upper = s.entry(Ids::Proportion1).ParamUpperLimit;
  d.CallSetSearchInterval(lower, upper);
  EXPECT_NEAR(lower, 0.00001, 1e-9);
  EXPECT_NEAR(upper, 0.99999 - 0.4, 1e-6);
  // One sample: the population holds its sample and one unit more.
  Choose(kInterval, 1, 2);
  ReadParameterValues(s);
  s.UnknownPosition = 4;
  lower = 3, upper = 99999;
  d.CallSetSearchInterval(lower, upper);
  EXPECT_EQ(upper, 499);
  s.UnknownPosition = 5;
  lower = 3, upper = 99999;
  d.CallSetSearchInterval(lower, upper);
  EXPECT_EQ(lower, 31);
  EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
}

// ---- pelmora-cli -------------------------------------------------------------------------

TEST_F(Hypergeometric, PelmoraCliGivesTheSameResults) {
  Choose(kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::Width).ParamText = "0.2";
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "5", "--kind", "interval", "--samples", "1", "--mode", "32=2", "--set",
                     "100=0.2", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);
  // brentq(lambda n: 2 norm.isf(0.025) sqrt(0.25 (500 - n)/(499 n)) - 0.2) = 80.697970
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "80.698");

  // brentq(lambda n: 0.2 + (1/n + 1/30)/2 - norm.isf(0.025) sqrt(0.25 (500 - n)/(499 n)
  // + 0.21 470/(499 30)) - 0.05) = 181.54589
  Choose(kInterval, 2, 2, {{32, 0}}, {kContinuityCorrection});
  s.entry(Ids::Proportion2).ParamText = "0.7";
  s.entry(Ids::LowerLimit).ParamText = "0.05";
  EXPECT_NEAR(Solve(Ids::SampleSize1), 181.54589, 0.01);
  EXPECT_EQ(CliText({"--distribution", "5", "--kind", "interval", "--option", "1", "--set", "69=0.7", "--set",
                     "20=0.05", "--unknown", "4"}),
            s.entry(Ids::SampleSize1).ParamText);

  Choose(kTest, 1, 1);
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "5", "--samples", "1", "--tails", "1", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);
}

}  // namespace
}  // namespace pelmora
