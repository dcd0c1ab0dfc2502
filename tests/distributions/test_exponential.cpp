// The exponential sample distribution: its captions, offered rows and lists
// (the error of a point estimate asked for in a row of its own), the point
// estimates and confidence intervals of the location and the scale on
// hand-checked values, the tests it hands on, the check of the second sample
// size, pelmora-cli, and a sweep of every choice.  Reference values are
// computed with scipy (Debian's python3-scipy), the closed forms of the
// exponential distribution (log(20) / 0.1, ...) with python3's math module.
// The program's chi-square and F distribution functions and quantiles are
// approximations good to a few 1e-4, hence the tolerances where they enter.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "numeric/fault_guard.h"
#include "procedures/distributions/exponential.h"
#include "procedures/module_set.h"
#include "session/calculation_rows.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr int kExponential = 2;
constexpr int kTest = 0, kPointEstimate = 1, kInterval = 2;
using Ids = ExponentialDistribution::Ids;

class ExponentialDistributionPlanning : public testing::PlanningTest {
 protected:
  // Chooses as the menu and the options dialog would, then confirms.
  void Choose(int choice, int kind, int samples, int tails,
              const std::vector<std::pair<int, int>>& forms = {}, bool left = false) {
    s.catalogue = BuildCatalogue();  // the start-up values
    ChooseDistribution(kExponential, choice, kind, samples, tails, {}, forms, left);
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

// ---- Selection ----------------------------------------------------------------

TEST_F(ExponentialDistributionPlanning, TheMenuItemIsServedByThisModule) {
  d.SelectDistribution(kExponential);
  ASSERT_NE(d.modules().Find<ExponentialDistribution>(), nullptr);
  EXPECT_EQ(d.Module(), d.modules().Find<ExponentialDistribution>());
  EXPECT_TRUE(s.dialog.procedureEnabled[kPointEstimate]);
  EXPECT_TRUE(s.dialog.procedureEnabled[kInterval]);
}

TEST_F(ExponentialDistributionPlanning, CaptionsOfTheChoices) {
  const struct {
    int choice, samples;
    const char* caption;
  } cases[] = {
      {0, 1, "Location (Scale known)"},
      {1, 1, "Scale (Location known)"},
      {1, 2, "Scale2 / Scale1 (Location known)"},
      {2, 1, "Scale (Location unknown)"},
      // The two-sample caption of the unknown location is the one of the known location.
      {2, 2, "Scale2 / Scale1 (Location known)"},
  };
  for (const auto& c : cases) {
    for (int kind : {kTest, kPointEstimate, kInterval}) {
      Choose(c.choice, kind, c.samples, 2);
      EXPECT_EQ(s.ParameterChoiceName, c.caption) << c.choice << " " << kind;
    }
  }
  Choose(0, kPointEstimate, 1, 2);
  EXPECT_EQ(s.Description, "Exponential Distribution. Point Estimate of Location (Scale known). 2-sided.");
  Choose(1, kInterval, 2, 2);
  EXPECT_EQ(s.Description,
            "Exponential Distribution. Conf. Interval for Scale2 / Scale1 (Location known). 2-sided.");
}

TEST_F(ExponentialDistributionPlanning, TheLocationHasNoTwoSampleForm) {
  for (int kind : {kTest, kPointEstimate, kInterval}) {
    Choose(0, kind, 2, 2);
    EXPECT_EQ(s.SampleCount, 1) << kind;
    EXPECT_FALSE(s.dialog.samplesEnabled[1]) << kind;
    Choose(1, kind, 2, 2);
    EXPECT_EQ(s.SampleCount, 2) << kind;
    EXPECT_TRUE(s.dialog.samplesEnabled[1]) << kind;
  }
}

TEST_F(ExponentialDistributionPlanning, OfferedRows) {
  Choose(1, kPointEstimate, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{}));
  Choose(1, kPointEstimate, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{2}));  // "Sample Size 2"
  Choose(0, kInterval, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{32}));  // "Conf.Interval"
  Choose(2, kInterval, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{2, 32}));
  // The tests offer the rows of the test modules.
  Choose(0, kTest, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{14}));  // "Location*"
  Choose(1, kTest, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{16, 2}));  // "Scale 2*", "Sample Size 2"
  EXPECT_EQ(s.OptionCount, 0);
}

// ---- Lists ---------------------------------------------------------------------

TEST_F(ExponentialDistributionPlanning, PointEstimateListsKeepPositionOneUnshown) {
  // Position 1 keeps its own id and has no row; the error asked for is at 2.
  Choose(0, kPointEstimate, 1, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 19, 146, 14}));
  Choose(0, kPointEstimate, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 18, 146, 14}));
  Choose(1, kPointEstimate, 1, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 24, 14}));
  Choose(2, kPointEstimate, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 23, 14}));
  Choose(1, kPointEstimate, 2, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 23, 4, 37}));
  Choose(2, kPointEstimate, 2, 1, {{2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 24, 4, 38}));
  Choose(2, kPointEstimate, 2, 2, {{2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{143, 1, 23, 4, 5}));
}

TEST_F(ExponentialDistributionPlanning, TheErrorAskedForIsARowOfTheWindow) {
  const struct {
    int choice, samples, tails;
    const char* caption;
  } cases[] = {
      {0, 1, 1, "&Upper Absolute Error"}, {0, 1, 2, "A&bsolute Error"}, {1, 1, 1, "&Upper Relative Error"},
      {2, 1, 2, "&Relative Error"},       {1, 2, 2, "&Relative Error"}, {2, 2, 1, "&Upper Relative Error"},
  };
  for (const auto& c : cases) {
    Choose(c.choice, kPointEstimate, c.samples, c.tails);
    SCOPED_TRACE(s.Description);
    const std::vector<CalculationRow> rows = CalculationRows(s);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "Error &Level");
    EXPECT_EQ(rows[1].position, 2);
    EXPECT_EQ(rows[1].caption, c.caption);
    // Every listed value but position 1 has a row.
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(s.LastPosition));
  }
  // Typed into its row, the error is what the criterion reads: at the
  // start-up values (alpha 0.05, scale 1, n 30) the criterion of the location
  // is ln(0.05) + 30 E, that is -log(20) + 30 x 0.2 = 3.0042677 for E = 0.2.
  Choose(0, kPointEstimate, 1, 2);
  Set(Ids::AbsoluteError, "0.2");
  EXPECT_NEAR(Criterion(), 3.0042677, 1e-5);
  // The error that 30 units reach: log(20) / 30 = 0.0998577.
  EXPECT_NEAR(Solve(Ids::AbsoluteError), 0.0998577, 1e-6);
  // Whatever position 1 holds, it is not read.
  ReadParameterValues(s);
  const double criterion = d.CallEvaluateCriterion();
  s.value(1) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(d.CallEvaluateCriterion(), criterion);
  // The relative error of the scale that 30 units reach with the location
  // estimated, two-sided: brentq(lambda r: chi2.cdf((1 + r) 58, 58) -
  // chi2.cdf((1 - r) 58, 58) - 0.95) = 0.3606242; the program's chi-square
  // distribution function is an approximation (Wilson-Hilferty beyond 21
  // degrees of freedom), hence the tolerance.
  Choose(2, kPointEstimate, 1, 2);
  EXPECT_NEAR(Solve(Ids::RelativeError), 0.3606242, 2e-3);
  // The same for the ratio of two scales, 30 units each, one-sided:
  // brentq(lambda r: f.cdf(1 + r, 58, 58) - 0.95) = 0.5457683 (the program's
  // F distribution function: Paulson's approximation or the incomplete beta).
  Choose(2, kPointEstimate, 2, 1);
  EXPECT_NEAR(Solve(Ids::UpperRelativeError), 0.5457683, 2e-3);
}

TEST_F(ExponentialDistributionPlanning, IntervalLists) {
  const int limits[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
  for (int k = 0; k < 3; ++k) {
    Choose(0, kInterval, 1, 2, {{32, k}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 132, limits[k], 146, 14}));
    Choose(1, kInterval, 1, 2, {{32, k}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 124, limits[k], 14}));
    Choose(2, kInterval, 2, 2, {{32, k}, {2, k}});
    EXPECT_EQ(ListedIds(), (std::vector<int>{22, 101, 128, limits[k], 4, std::vector<int>{37, 38, 5}[k]}));
  }
  // The dispatcher allows intervals two-sided only.
  Choose(1, kInterval, 1, 1);
  EXPECT_EQ(s.TailCount, 2);
}

TEST_F(ExponentialDistributionPlanning, TheTestsAreHandedOn) {
  Choose(0, kTest, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 131, 132, 146, 14}));
  Choose(0, kTest, 1, 3);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 135, 136, 132, 146, 14}));
  Choose(1, kTest, 1, 2, {{15, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 142, 126, 14}));
  Choose(2, kTest, 2, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 127, 26, 141, 4, 37}));
}

// ---- Tests ---------------------------------------------------------------------

TEST_F(ExponentialDistributionPlanning, TestOfTheLocation) {
  // The sample minimum exceeds the location by an exponential of scale 1/n:
  // P(minimum >= 0.3) = e^(-0.3 n).  One-sided n = ln(20)/0.3 = 9.98577,
  // two-sided ln(40)/0.3 = 12.29626.
  Choose(0, kTest, 1, 1);
  EXPECT_NEAR(Solve(Ids::SampleSize), 9.98577, 1e-3);
  Choose(0, kTest, 1, 2);
  EXPECT_NEAR(Solve(Ids::SampleSize), 12.29626, 1e-3);
}

TEST_F(ExponentialDistributionPlanning, TestOfTheScaleHasFewerDegreesOfFreedomWhenTheLocationIsEstimated) {
  // scipy: brentq(lambda n: chi2.sf(1.2 * 2n, 2n) - 0.05) = 72.98826
  Choose(1, kTest, 1, 1);
  const double known = Solve(Ids::SampleSize);
  EXPECT_NEAR(known, 72.98826, 0.1);
  Choose(2, kTest, 1, 1);
  EXPECT_NEAR(Solve(Ids::SampleSize), known + 1, 1e-3);
}

// ---- Point estimates -------------------------------------------------------------

TEST_F(ExponentialDistributionPlanning, PointEstimateOfTheLocation) {
  // The criterion scale ln(alpha) + n E is zero at n = ln(20)/0.1 = 29.95732,
  // whatever the number of tails.
  for (int tails : {1, 2}) {
    Choose(0, kPointEstimate, 1, tails);
    EXPECT_NEAR(Solve(Ids::SampleSize), 29.95732, 1e-3) << tails;
  }
  Choose(0, kPointEstimate, 1, 2);
  s.entry(Ids::SampleSize).ParamText = "30";
  // The scale: 30 x 0.1 / ln 20 = 1.0014246.
  EXPECT_NEAR(Solve(Ids::Scale), 1.0014246, 1e-5);
  // The error level: e^-3 = 0.0497871.
  s.entry(Ids::Scale).ParamText = "1";
  EXPECT_NEAR(Solve(Ids::ErrorLevel), 0.0497871, 1e-6);
}

TEST_F(ExponentialDistributionPlanning, PointEstimateOfTheScale) {
  // scipy: brentq(lambda n: chi2.cdf(1.1 * 2n, 2n) - 0.95) = 281.5786
  Choose(1, kPointEstimate, 1, 1);
  EXPECT_NEAR(Solve(Ids::SampleSize), 281.5786, 0.1);
  // brentq(lambda n: chi2.cdf(1.1 * 2n, 2n) - chi2.cdf(0.9 * 2n, 2n) - 0.95) = 383.6048
  Choose(1, kPointEstimate, 1, 2);
  const double known = Solve(Ids::SampleSize);
  EXPECT_NEAR(known, 383.6048, 0.1);
  // 2(n - 1) degrees of freedom: one unit more.
  Choose(2, kPointEstimate, 1, 2);
  EXPECT_NEAR(Solve(Ids::SampleSize), known + 1, 1e-3);
  // The relative error that 30 units give with the location estimated:
  // brentq(lambda r: chi2.cdf((1 + r) 58, 58) - chi2.cdf((1 - r) 58, 58) - 0.95) = 0.360624
  s.entry(Ids::SampleSize).ParamText = "30";
  s.entry(Ids::RelativeError).ParamText = "0.360624";
  EXPECT_NEAR(Criterion(), 0, 2e-3);
  s.entry(Ids::RelativeError).ParamText = "0.1";
  // 1 - (chi2.cdf(63.8, 58) - chi2.cdf(52.2, 58)) = 1 - 0.409792
  EXPECT_NEAR(Solve(Ids::ErrorLevel), 1.0 - 0.409792, 2e-3);
}

TEST_F(ExponentialDistributionPlanning, PointEstimateOfTheScaleRatio) {
  // Equal sizes (the second as the ratio 1 to the first):
  // brentq(lambda n: f.cdf(1.1, 2n, 2n) - f.cdf(0.9, 2n, 2n) - 0.95) = 771.149
  Choose(1, kPointEstimate, 2, 2, {{2, 2}});
  EXPECT_NEAR(Solve(Ids::SampleSize1), 771.149, 2.0);
  // brentq(lambda n: f.cdf(1.2, 2n, 2n) - 0.95) = 163.258
  Choose(1, kPointEstimate, 2, 1, {{2, 2}});
  s.entry(Ids::UpperRelativeError).ParamText = "0.2";
  EXPECT_NEAR(Solve(Ids::SampleSize1), 163.258, 0.5);
  // The second size as a ratio to the first solves to 1 at the first's size.
  s.entry(Ids::SampleSize1).ParamText = "163.258";
  EXPECT_NEAR(Solve(Ids::SampleSize2OverSize1), 1.0, 5e-3);
  // A second size of 30 alone cannot make up for any first size.
  Choose(1, kPointEstimate, 2, 1);
  s.entry(Ids::UpperRelativeError).ParamText = "0.2";
  EXPECT_EQ(Solve(Ids::SampleSize1), kNoResult);
}

// ---- Confidence intervals ----------------------------------------------------------

TEST_F(ExponentialDistributionPlanning, IntervalOfTheLocation) {
  // d = scale ln(1/(1 - CL))/n: lower limit 0.3 - ln(20)/30 = 0.2001423.
  Choose(0, kInterval, 1, 2, {{32, 0}});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.2001423, 1e-5);
  s.entry(Ids::LowerLimit).ParamText = "0.2";
  EXPECT_NEAR(Solve(Ids::SampleSize), 29.95732, 1e-3);
  // The width is d itself.
  Choose(0, kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::Width).ParamText = "0.1";
  EXPECT_NEAR(Solve(Ids::SampleSize), 29.95732, 1e-3);
  // The upper limit is the estimate whatever the sample size.
  Choose(0, kInterval, 1, 2, {{32, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 0.3, 1e-6);
  s.entry(Ids::UpperLimit).ParamText = "0.25";
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "-");
}

TEST_F(ExponentialDistributionPlanning, IntervalOfTheScale) {
  // 60 x 1.2 / chi2.ppf(0.975, 60) = 0.864370, 60 x 1.2 / chi2.ppf(0.025, 60) = 1.778579
  Choose(1, kInterval, 1, 2, {{32, 0}});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.864370, 5e-4);
  Choose(1, kInterval, 1, 2, {{32, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 1.778579, 1e-3);
  // 58 degrees of freedom with the location estimated:
  // 58 x 1.2 / chi2.ppf(0.975, 58) = 0.859943, 58 x 1.2 / chi2.ppf(0.025, 58) = 1.791805
  Choose(2, kInterval, 1, 2, {{32, 0}});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.859943, 5e-4);
  Choose(2, kInterval, 1, 2, {{32, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 1.791805, 1e-3);
  // brentq(lambda n: 2n 1.2/chi2.ppf(0.025, 2n) - 2n 1.2/chi2.ppf(0.975, 2n) - 0.5) = 92.1619
  Choose(1, kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::Width).ParamText = "0.5";
  EXPECT_NEAR(Solve(Ids::SampleSize), 92.1619, 0.5);
  // The estimate that gives a lower limit of 1 at n = 30: 1.2 / 0.864370.
  Choose(1, kInterval, 1, 2, {{32, 0}});
  s.entry(Ids::LowerLimit).ParamText = "1";
  EXPECT_NEAR(Solve(Ids::ScaleEstimate), 1.2 / 0.864370, 1e-3);
}

TEST_F(ExponentialDistributionPlanning, IntervalOfTheScaleRatio) {
  // 1.2 / f.ppf(0.975, 60, 60) = 0.719946, 1.2 / f.ppf(0.025, 60, 60) = 2.000149
  Choose(1, kInterval, 2, 2, {{32, 0}});
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.719946, 2e-3);
  Choose(1, kInterval, 2, 2, {{32, 1}});
  EXPECT_NEAR(Solve(Ids::UpperLimit), 2.000149, 5e-3);
  // Location estimated, n1 = 30, n2 = 40: 1.2 / f.ppf(0.975, 78, 58) = 0.732562,
  // 1.2 / f.ppf(0.025, 78, 58) = 1.931661
  Choose(2, kInterval, 2, 2, {{32, 0}});
  s.entry(Ids::SampleSize2).ParamText = "40";
  EXPECT_NEAR(Solve(Ids::LowerLimit), 0.732562, 2e-3);
  Choose(2, kInterval, 2, 2, {{32, 1}});
  s.entry(Ids::SampleSize2).ParamText = "40";
  EXPECT_NEAR(Solve(Ids::UpperLimit), 1.931661, 5e-3);
  // The width is the difference of the two limits.
  Choose(2, kInterval, 2, 2, {{32, 2}});
  s.entry(Ids::SampleSize2).ParamText = "40";
  EXPECT_NEAR(Solve(Ids::Width), 1.931661 - 0.732562, 6e-3);
}

// ---- Checks and search intervals ---------------------------------------------------

TEST_F(ExponentialDistributionPlanning, TheSecondSampleSizeStaysWithinItsBounds) {
  Choose(1, kInterval, 2, 2, {{2, 2}});
  s.entry(Ids::SampleSize2OverSize1).ParamText = "0.05";
  EXPECT_EQ(Solve(Ids::LowerLimit), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size 2 / Sample Size 1 has to be greater than or equal to 0.1");
  ui.messages.clear();
  // A second size given as a difference keeps the first above 2.00001 - d.
  Choose(1, kPointEstimate, 2, 2, {{2, 1}});
  s.entry(Ids::SampleSize2MinusSize1).ParamText = "20";
  const double n1 = Solve(Ids::SampleSize1);
  ASSERT_NE(n1, kNoResult);
  // brentq(lambda n: f.cdf(1.1, 2(n + 20), 2n) - f.cdf(0.9, 2(n + 20), 2n) - 0.95) = 761.343
  EXPECT_NEAR(n1, 761.343, 2.0);
  EXPECT_TRUE(ui.messages.empty());
}

// ---- pelmora-cli -------------------------------------------------------------------

TEST_F(ExponentialDistributionPlanning, PelmoraCliGivesTheSameResults) {
  Choose(0, kPointEstimate, 1, 2);
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "2", "--parameter", "0", "--kind", "estimate", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "29.957");

  Choose(2, kPointEstimate, 1, 1);
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "2", "--parameter", "2", "--kind", "estimate", "--samples", "1",
                     "--tails", "1", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);

  Choose(1, kInterval, 1, 2, {{32, 2}});
  s.entry(Ids::Width).ParamText = "0.5";
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "2", "--parameter", "1", "--kind", "interval", "--samples", "1",
                     "--mode", "32=2", "--set", "100=0.5", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);

  Choose(0, kTest, 1, 1);
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliText({"--distribution", "2", "--tails", "1", "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);

  // The error asked for can be set from the command line: log(20) / 0.2 = 14.978661.
  Choose(0, kPointEstimate, 1, 2);
  Set(Ids::AbsoluteError, "0.2");
  EXPECT_NEAR(Solve(Ids::SampleSize), 14.978661, 1e-4);
  EXPECT_EQ(CliText({"--distribution", "2", "--parameter", "0", "--kind", "estimate", "--set", "18=0.2",
                     "--unknown", "14"}),
            s.entry(Ids::SampleSize).ParamText);
  EXPECT_EQ(s.entry(Ids::SampleSize).ParamText, "14.979");
}

}  // namespace
}  // namespace pelmora
