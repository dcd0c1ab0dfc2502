// One-way ANOVA, the correlation coefficient test and the regression
// coefficient test: offered rows, lists, criteria on hand-checked values,
// solves, search intervals, checks and the ANOVA grid.  Reference values are
// computed with scipy 1.10 (Debian's python3-scipy); the program's
// distributions are single precision, good to about 1e-5 in P.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "grid/grid_table.h"
#include "procedures/hypothesis/anova.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

class Planning : public testing::PlanningTest {
 protected:
  // Chooses the test and options as the dialog would, then confirms.
  void Choose(int testIndex, int samples, int tails, const std::vector<std::pair<int, int>>& forms = {},
              const std::vector<int>& options = {}, bool left = false) {
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.SelectTest(testIndex);
    d.SetSampleCount(samples);
    for (int o : options) d.SetOption(o, true);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (auto [g, m] : forms) d.SetForm(g, m);
    d.ApplyOptions();
  }
  // The text pelmora-cli gives the unknown for the same selection and values.
  static std::string CliResult(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), kExitSolved) << err.str();
    const std::string json = out.str();
    const std::string key = "\"text\": \"";
    const auto at = json.find(key, json.find("\"unknown\""));
    if (at == std::string::npos) return "";
    const auto from = at + key.size();
    return json.substr(from, json.find('"', from) - from);
  }
};

// --- One-way ANOVA -------------------------------------------------------

using AnovIds = Anova::Ids;

class OneWayAnova : public Planning {};

TEST_F(OneWayAnova, OfferedOptionAndRow) {
  d.SelectTest(2);
  ASSERT_EQ(s.OptionCount, 1);
  EXPECT_EQ(s.OptionId[0], 9);  // "Analysis of &Contrast"
  EXPECT_EQ(OfferedRows(),
            (std::vector<int>{17}));  // "Std.Dev of Means*" / "Max (Mean k - 1)" / "Min (Mean k - 1)"
  EXPECT_TRUE(s.dialog.tailsEnabled[0]);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  d.SetOption(9, true);
  EXPECT_EQ(s.IntParRowCount, 0);
}

TEST_F(OneWayAnova, ParameterLists) {
  Choose(2, 1, 2);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 34, 212, 17, 224}));
  Choose(2, 1, 2, {{17, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 147, 212, 17, 224}));
  Choose(2, 1, 2, {{17, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 148, 212, 17, 224}));
  Choose(2, 1, 2, {}, {9});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 225, 212, 17, 224}));
  Choose(2, 1, 1, {}, {9});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 225, 212, 17, 224}));
  Choose(2, 1, 3, {}, {9});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 225, 2, 17, 224}));
  EXPECT_EQ(s.entry(6).ParamText, "-0.40");
}

TEST_F(OneWayAnova, CriterionUsesTheUpperTailOfCentralF) {
  Choose(2, 1, 2);
  // scipy.stats.f.sf(30 * 0.01 / 0.09, 4, 145) = 0.0120716
  EXPECT_NEAR(Criterion() + 0.05, 0.012071593400238645, 2e-5);
  // The F test is upper-tailed whatever the sidedness.
  for (int tails : {1, 3}) {
    Choose(2, 1, tails, {}, {}, true);
    EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 34, 212, 17, 224}));
    EXPECT_NEAR(Criterion() + 0.05, 0.012071593400238645, 2e-5);
  }
  // No spread of the means: F = 0 and P = 1.
  Set(AnovIds::StdDevOfMeans, "0");
  EXPECT_NEAR(Criterion() + 0.05, 1.0, 1e-6);
}

TEST_F(OneWayAnova, LargestAndSmallestDifferenceToMeanOne) {
  // numpy.std([0, .1, .1, .1, .2], ddof=1) = 0.2 / sqrt(8) = 0.0707107
  EXPECT_NEAR(StdDevOfMeans(0.2f, 5, 1), 0.07071067811865477, 1e-7);
  // numpy.std([0, .2, .2, .2, .2], ddof=1) = 0.2 / sqrt(5) = 0.0894427
  EXPECT_NEAR(StdDevOfMeans(0.2f, 5, 2), 0.08944271909999159, 1e-7);
  EXPECT_FLOAT_EQ(StdDevOfMeans(0.2f, 5, 0), 0.2f);
  EXPECT_FLOAT_EQ(StdDevOfMeans(0.2f, 5, 3), 0.0f);

  Choose(2, 1, 2, {{17, 1}});
  Set(AnovIds::MaxDifference, "0.2");
  // scipy.stats.f.sf(30 * 0.2**2 / 8 / 0.09, 4, 145) = 0.160890
  EXPECT_NEAR(Criterion() + 0.05, 0.16088977892357367, 2e-5);
  Choose(2, 1, 2, {{17, 2}});
  Set(AnovIds::MinDifference, "0.2");
  // scipy.stats.f.sf(30 * 0.2**2 / 5 / 0.09, 4, 145) = 0.0347390
  EXPECT_NEAR(Criterion() + 0.05, 0.03473900509249536, 2e-5);

  // Two groups: both forms are the unpaired t-test of the two means.
  // 2 * scipy.stats.t.sf(0.2 / (0.3 * sqrt(2 / 30)), 58) = 0.0123711
  for (int form : {1, 2}) {
    Choose(2, 1, 2, {{17, form}});
    Set(form == 1 ? AnovIds::MaxDifference : AnovIds::MinDifference, "0.2");
    Set(AnovIds::NoOfGroups, "2");
    EXPECT_NEAR(Criterion() + 0.05, 0.01237109101914, 2e-5) << "form " << form;
  }
}

TEST_F(OneWayAnova, SolvesForEachParameter) {
  Choose(2, 1, 2);
  // brentq(lambda n: f.sf(n * 0.01 / 0.09, 4, 5 * n - 5) - 0.05, 2.5, 100) = 22.1194
  EXPECT_NEAR(Solve(AnovIds::AverageSampleSize), 22.11941314902067, 0.005);
  Set(AnovIds::AverageSampleSize, "30");
  // brentq(lambda sm: f.sf(30 * sm**2 / 0.09, 4, 145) - 0.05, 0.001, 10) = 0.0854529
  EXPECT_NEAR(Solve(AnovIds::StdDevOfMeans), 0.08545288413720334, 1e-4);
  Set(AnovIds::StdDevOfMeans, "0.10");
  // brentq(lambda sg: f.sf(30 * 0.01 / sg**2, 4, 145) - 0.05, 0.01, 10) = 0.351071
  EXPECT_NEAR(Solve(AnovIds::ResidualSd), 0.3510706549331048, 1e-4);
  Set(AnovIds::ResidualSd, "0.30");
  const double k = Solve(AnovIds::NoOfGroups);
  ASSERT_NE(k, kNoResult);
  Set(AnovIds::NoOfGroups, FormatResult(k));
  EXPECT_NEAR(Criterion(), 0, 1e-3);
  EXPECT_EQ(CliResult({"--test", "2", "--unknown", "Average Sample Size", "--json"}), "22.119");
}

TEST_F(OneWayAnova, ContrastCriterionAndSolves) {
  Choose(2, 1, 2, {}, {9});
  Set(AnovIds::ContrastValue, "0.1");
  // 2 * scipy.stats.t.sf(0.1 / (0.3 / sqrt(30)), 145) = 0.0699466
  EXPECT_NEAR(Criterion() + 0.05, 0.06994657929077949, 2e-5);
  // brentq(lambda n: 2 * t.sf(0.1 / (0.3 / sqrt(n)), 5 * n - 5) - 0.05, 2.1, 1000) = 35.0696
  EXPECT_NEAR(Solve(AnovIds::AverageSampleSize), 35.06964972205297, 0.005);
  Set(AnovIds::AverageSampleSize, "30");
  // brentq(lambda c: 2 * t.sf(c / (0.3 / sqrt(30)), 145) - 0.05, 0, 5) = 0.108255
  EXPECT_NEAR(Solve(AnovIds::ContrastValue), 0.10825514864546673, 1e-4);
  EXPECT_EQ(CliResult({"--test", "2", "--option", "9", "--set", "225=0.1", "--unknown", "Average Sample Size",
                       "--json"}),
            "35.07");

  // Rejecting in the left tail: the contrast is searched below 0.
  Choose(2, 1, 1, {}, {9}, true);
  Set(AnovIds::ContrastValue, "0.1");
  // scipy.stats.t.cdf(0.1 / (0.3 / sqrt(30)), 145) = 0.965027
  EXPECT_NEAR(Criterion() + 0.05, 0.9650267103546102, 2e-5);
  const double c = Solve(AnovIds::ContrastValue);
  ASSERT_NE(c, kNoResult);
  EXPECT_LT(c, 0);
}

TEST_F(OneWayAnova, ContrastWithTwoOneSidedTests) {
  Choose(2, 1, 3, {}, {9});
  Set(AnovIds::ContrastValue, "0.1");
  Set(AnovIds::Sd, "0.3");
  Set(AnovIds::NoOfGroups, "3");
  Set(AnovIds::AverageSampleSize, "5");
  // df = 3 * 5 - 3: max(t.sf(0.5 / (0.3 / sqrt(5)), 12), t.cdf(-0.3 / (0.3 / sqrt(5)), 12)) = 0.0225577
  EXPECT_NEAR(Criterion() + 0.05, 0.022557682249547236, 2e-5);
  // The contrast stays on the side of the middle of the limits; either side
  // by the left-tail flag, and the P-value is symmetric about the middle 0.
  const double right = Solve(AnovIds::ContrastValue);
  d.SetRejectInLeftTail(true);
  d.ApplyOptions();
  const double left = Solve(AnovIds::ContrastValue);
  ASSERT_NE(right, kNoResult);
  EXPECT_GT(right, 0);
  EXPECT_NEAR(left, -right, 1e-4);
  // An unknown left limit stays below the contrast.
  Set(AnovIds::ContrastValue, "0.1");
  d.SetRejectInLeftTail(false);
  d.ApplyOptions();
  const double limit = Solve(AnovIds::LeftLimit);
  ASSERT_NE(limit, kNoResult);
  EXPECT_LT(limit, 0.1);
  // The limits must be ordered.
  Set(AnovIds::LeftLimit, "0.5");
  Set(AnovIds::RightLimit, "0.4");
  EXPECT_EQ(Solve(AnovIds::AverageSampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");
}

// The grid of the groups: rows Mean, (Coeff.,) StDev, N; one column per group.
class OneWayAnovaGrid : public Planning {
 protected:
  // Types the cells row by row and confirms.
  void Enter(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      for (std::size_t i = 0; i + 1 < cells.size(); ++i) e.Key(kGridKeyRight, cells[i]);
      e.Ok(cells.back());
    };
  }
  int RowOf(int id) { return RowOfPosition(PositionOf(id)); }
  const std::vector<std::string> kGroups{"1", "2", "4", "1", "2", "1.5", "10", "20", "15"};
};

TEST_F(OneWayAnovaGrid, StandardDeviationOfMeansAndPooledStandardDeviation) {
  Choose(2, 1, 2);
  Set(AnovIds::NoOfGroups, "3");
  Enter(kGroups);
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::StdDevOfMeans)));
  EXPECT_EQ(s.grid.title, "Calculation of Standard Deviation of Means*");
  EXPECT_EQ(s.grid.rowLabels, "Mean StDev N");
  EXPECT_EQ(s.grid.headingCaption, "Factor A");
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"1", "2", "3"}));
  // m, s, n = [1, 2, 4], [1, 2, 1.5], [10, 20, 15]; g = sum(n m) / sum(n)
  // sqrt(sum(n (m - g)**2) / (2 * 15)) = 1.427248
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.4272480642961254, 1e-5);
  EXPECT_FALSE(s.CalcStopped);
  EXPECT_EQ(s.entry(AnovIds::StdDevOfMeans).ParamText, "1.427248");
  // sqrt(sum((n - 1) s**2) / (45 - 3)) = 1.665476
  EXPECT_EQ(s.entry(AnovIds::ResidualSd).ParamText, "1.665476");
  EXPECT_EQ(s.entry(AnovIds::NoOfGroups).ParamText, "3.0");
  EXPECT_EQ(s.entry(AnovIds::AverageSampleSize).ParamText, "15.0");

  // From the box of the residual standard deviation the grid gives that.
  Enter(kGroups);
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::ResidualSd)));
  EXPECT_NEAR(d.CallApplyGroupGrid(), 1.665475765002158, 1e-5);
}

TEST_F(OneWayAnovaGrid, LargestAndSmallestDifferenceToMeanOne) {
  Choose(2, 1, 2, {{17, 1}});
  Set(AnovIds::NoOfGroups, "3");
  Enter(kGroups);
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::MaxDifference)));
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 3.0f);  // |4 - 1|
  Choose(2, 1, 2, {{17, 2}});
  Set(AnovIds::NoOfGroups, "3");
  Enter({"1", "0", "4", "1", "2", "1.5", "10", "20", "15"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::MinDifference)));
  EXPECT_FLOAT_EQ(d.CallApplyGroupGrid(), 1.0f);  // |0 - 1|
}

TEST_F(OneWayAnovaGrid, ContrastValue) {
  Choose(2, 1, 2, {}, {9});
  Set(AnovIds::NoOfGroups, "3");
  Enter({"1", "2", "4", "1", "-0.5", "-0.5", "1", "2", "1.5", "10", "20", "15"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::ContrastValue)));
  EXPECT_EQ(s.grid.rowLabels, "Mean Coeff. StDev N");
  // sum(c m) / sqrt(15 * sum(c**2 / n)) with c = [1, -0.5, -0.5] = -1.436842
  const Single c = d.CallApplyGroupGrid();
  EXPECT_NEAR(c, -1.436842416214199, 1e-5);
  // With the criterion's standard error sigma / sqrt(n) it is the usual
  // contrast t: sum(c m) / (sp sqrt(sum(c**2 / n))) = -3.341308
  const double sp = ParseNumber(s.entry(AnovIds::ResidualSd).ParamText);
  EXPECT_NEAR(c / (sp / std::sqrt(15.0)), -3.3413075507074748, 1e-4);

  // Coefficients that do not sum to 0 are refused; nothing is stored.
  Set(AnovIds::ContrastValue, "0.30");
  Enter({"1", "2", "4", "1", "-0.5", "-0.4", "1", "2", "1.5", "10", "20", "15"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::ContrastValue)));
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Sum of Coefficients Must Be = 0");
  EXPECT_EQ(ui.messages.back().title, s.Description);
  EXPECT_EQ(s.entry(AnovIds::ContrastValue).ParamText, "0.30");
}

TEST_F(OneWayAnovaGrid, CellChecksAndTheChecksOfTheWholeGrid) {
  Choose(2, 1, 2);
  Set(AnovIds::NoOfGroups, "2");
  ui.gridScript = [](GridEditing& e) {
    e.Key(kGridKeyRight, "1");
    e.Key(kGridKeyRight, "2");
    EXPECT_FALSE(e.Key(kGridKeyRight, "0"));  // a standard deviation
    EXPECT_TRUE(e.Key(kGridKeyRight, "1"));
    e.Key(kGridKeyRight, "1");
    EXPECT_FALSE(e.Key(kGridKeyRight, "1"));  // a size
    e.Key(kGridKeyRight, "5");
    e.Ok("");
  };
  EXPECT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::StdDevOfMeans)));
  EXPECT_EQ(ui.messages.at(0).text, "Standard Deviations Must Be > 0");
  EXPECT_EQ(ui.messages.at(1).text, "Number Has To Be >= 2");
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "Some cells were empty.");

  // Cells that reach the grid's own checks unchecked: nothing is stored.
  s.grid.cell(3, 2) = "5";
  s.grid.cell(2, 1) = "-1";
  s.CalcStopped = false;
  d.CallApplyGroupGrid();
  EXPECT_TRUE(s.CalcStopped);
  EXPECT_EQ(ui.LastText(), "All Standard Deviations Must Be Larger Than 0");
  EXPECT_EQ(ui.messages.back().title, "ANOVA (one-way). 2-sided.");
  s.grid.cell(2, 1) = "1";
  s.grid.cell(3, 1) = "1";
  s.CalcStopped = false;
  d.CallApplyGroupGrid();
  EXPECT_EQ(ui.LastText(), "All Sample Sizes Must Be Larger Than 1");
  EXPECT_EQ(s.entry(AnovIds::NoOfGroups).ParamText, "2");
  EXPECT_EQ(s.entry(AnovIds::StdDevOfMeans).ParamText, "0.10");
}

TEST_F(OneWayAnovaGrid, OpensOnlyFromTheEffectAndDeviationBoxes) {
  Choose(2, 1, 2);
  Enter(kGroups);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(AnovIds::NoOfGroups)));
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(AnovIds::AverageSampleSize)));
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
  // As many columns as groups, 2 to 10.
  Set(AnovIds::NoOfGroups, "11");
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(AnovIds::StdDevOfMeans)));
  Set(AnovIds::NoOfGroups, "1");
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(AnovIds::StdDevOfMeans)));
  EXPECT_EQ(ui.grids, 0);
  Set(AnovIds::NoOfGroups, "10");
  ui.gridScript = [](GridEditing& e) { e.Cancel(""); };
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(AnovIds::StdDevOfMeans)));
  EXPECT_EQ(s.grid.columns, 10);
  EXPECT_EQ(s.entry(AnovIds::StdDevOfMeans).ParamText, "0.10");
}

TEST_F(OneWayAnovaGrid, AnotherLayoutStartsEmpty) {
  Choose(2, 1, 2);
  Set(AnovIds::NoOfGroups, "3");
  Enter(kGroups);
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOf(AnovIds::StdDevOfMeans)));
  d.SetOption(9, true);
  d.ApplyOptions();
  Set(AnovIds::NoOfGroups, "3");
  ui.gridScript = [](GridEditing& e) {
    EXPECT_EQ(e.table().cell(2, 1), "");  // not the standard deviation typed before
    e.Cancel("");
  };
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOf(AnovIds::ContrastValue)));
}

// --- Correlation coefficient test ----------------------------------------

using CorrIds = CorrelationCoefficient::Ids;

class CorrelationCoefficientTest : public Planning {};

TEST_F(CorrelationCoefficientTest, FisherZ) {
  // math.atanh(0.5) = 0.549306
  EXPECT_NEAR(FisherZ(0.5f), 0.5493061443340548, 1e-6);
  EXPECT_NEAR(FisherZ(-0.5f), -0.5493061443340548, 1e-6);
  EXPECT_FLOAT_EQ(FisherZ(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(FisherZ(-1.0f), -99999.0f);
  EXPECT_FLOAT_EQ(FisherZ(1.0f), 99999.0f);
}

TEST_F(CorrelationCoefficientTest, OfferedRowsAndLists) {
  Choose(17, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{23}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 185, 186, 14}));
  Choose(17, 1, 2, {{23, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 185, 187, 14}));
  Choose(17, 1, 1, {{23, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 185, 188, 14}));
  Choose(17, 1, 3, {{23, 2}});
  EXPECT_EQ(s.IntParRowCount, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 71, 72, 186, 14}));
  EXPECT_EQ(s.entry(71).ParamText, "-0.30");
  EXPECT_EQ(s.entry(72).ParamText, "0.30");

  Choose(17, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{24, 2}));
  EXPECT_FALSE(s.dialog.tailsEnabled[2]);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 190, 191, 4, 37}));
  Choose(17, 2, 2, {{24, 1}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 190, 192, 4, 38}));
  Choose(17, 2, 2, {{24, 2}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 190, 193, 4, 5}));
  EXPECT_EQ(s.ValueMode, 2);
  Choose(17, 1, 3);
  d.SetSampleCount(2);  // no equivalence test of two coefficients
  EXPECT_EQ(s.TailCount, 2);
}

TEST_F(CorrelationCoefficientTest, OneSampleCriterion) {
  Choose(17, 1, 2);
  // 2 * norm.sf((atanh(.5) - atanh(.3)) * sqrt(27)) = 0.212776
  EXPECT_NEAR(Criterion() + 0.05, 0.2127763595458766, 2e-5);
  Choose(17, 1, 2, {{23, 1}});
  Set(CorrIds::CorrelationMinusH0, "0.2");
  EXPECT_NEAR(Criterion() + 0.05, 0.2127763595458766, 2e-5);
  Choose(17, 1, 2, {{23, 2}});
  Set(CorrIds::CorrelationOverH0, "1.6666667");
  EXPECT_NEAR(Criterion() + 0.05, 0.2127763595458766, 2e-5);
  Choose(17, 1, 1, {}, {}, true);
  // norm.cdf((atanh(.5) - atanh(.3)) * sqrt(27)) = 0.893612
  EXPECT_NEAR(Criterion() + 0.05, 0.8936118202270618, 2e-5);
  // Two one-sided tests against limits on the z scale.
  Choose(17, 1, 3);
  Set(CorrIds::Correlation, "0.1");
  Set(CorrIds::SampleSize, "50");
  // max(norm.sf((atanh(.1) - atanh(-.3)) * sqrt(47)), norm.cdf((atanh(.1) - atanh(.3)) * sqrt(47))) =
  // 0.0757726
  EXPECT_NEAR(Criterion() + 0.05, 0.07577257582512004, 2e-5);
}

TEST_F(CorrelationCoefficientTest, OneSampleSolves) {
  Choose(17, 1, 2);
  // brentq(lambda n: 2 * norm.sf((atanh(.5) - atanh(.3)) * sqrt(n - 3)) - 0.05, 3.1, 1000) = 69.8108
  EXPECT_NEAR(Solve(CorrIds::SampleSize), 69.81078574322198, 0.005);
  EXPECT_EQ(CliResult({"--test", "17", "--samples", "1", "--unknown", "Sample Size", "--json"}), "69.811");
  Set(CorrIds::SampleSize, "30");
  // brentq(lambda r: 2 * norm.sf((atanh(r) - atanh(.3)) * sqrt(27)) - 0.05, .3, .99999) = 0.595867
  EXPECT_NEAR(Solve(CorrIds::Correlation), 0.5958674154367378, 1e-4);
  Set(CorrIds::Correlation, "0.50");
  // brentq(lambda h: 2 * norm.sf((atanh(.5) - atanh(h)) * sqrt(27)) - 0.05, -.99999, .5) = 0.170431
  EXPECT_NEAR(Solve(CorrIds::H0Correlation), 0.17043136511180004, 1e-4);

  // The coefficient entered as H0 + 0.2: of the two roots the one with the
  // middle H0 + 0.1 at or above 0.
  Choose(17, 1, 2, {{23, 1}});
  Set(CorrIds::CorrelationMinusH0, "0.2");
  Set(CorrIds::SampleSize, "80");
  // brentq(lambda h: 2 * norm.sf((atanh(h + .2) - atanh(h)) * sqrt(77)) - 0.05, -.1, .79999) = 0.215813;
  // the other root is -0.415813
  EXPECT_NEAR(Solve(CorrIds::H0Correlation), 0.21581281332652058, 1e-4);
}

TEST_F(CorrelationCoefficientTest, SearchIntervalsKeepTheCoefficientsInside) {
  Choose(17, 1, 2, {{23, 1}});
  Set(CorrIds::SampleSize, "30");
  double lower = -0.99999, upper = 0.99999;
  ReadParameterValues(s);
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(CorrIds::CorrelationMinusH0));
  d.CallSetSearchInterval(lower, upper);
  EXPECT_NEAR(lower, 0, 1e-12);             // the rejection side of H0
  EXPECT_NEAR(upper, 0.99999 - 0.3, 1e-6);  // H0 + difference below 1
  // The sample size keeps the standard error finite.
  lower = 3;
  upper = 99999;
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(CorrIds::SampleSize));
  d.CallSetSearchInterval(lower, upper);
  EXPECT_DOUBLE_EQ(lower, static_cast<double>(3.00001f));
  // A coefficient beyond the bounds through its form is refused.
  Set(CorrIds::H0Correlation, "0.9");
  EXPECT_EQ(Solve(CorrIds::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Corr.Coeff.* - H0: Corr.Coeff. has to be less than or equal to 0.09999");
  // Rejecting in the left tail with the coefficient above H0: no sample size.
  Choose(17, 1, 1, {}, {}, true);
  Set(CorrIds::H0Correlation, "0.30");
  EXPECT_EQ(Solve(CorrIds::SampleSize), kNoResult);
}

TEST_F(CorrelationCoefficientTest, TwoSamples) {
  Choose(17, 2, 2);
  // 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(2 / 27)) = 0.378300
  EXPECT_NEAR(Criterion() + 0.05, 0.3783004970786318, 2e-5);
  // Sample size 1 of 3 is raised to 3.00001: a large but finite standard error.
  // 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(1 / 27 + 1 / (float32(3.00001) - 3))) = 0.999395
  Set(CorrIds::SampleSize1, "3");
  EXPECT_NEAR(Criterion() + 0.05, 0.9993945762782731, 2e-5);
  Set(CorrIds::SampleSize1, "30");
  // brentq(lambda r: 2 * norm.sf((atanh(r) - atanh(.3)) / sqrt(2 / 97)) - 0.05, .3, .99999) = 0.530581
  Set(CorrIds::SampleSize1, "100");
  Set(CorrIds::SampleSize2, "100");
  EXPECT_NEAR(Solve(CorrIds::Correlation2), 0.530581409773376, 1e-4);
  Set(CorrIds::Correlation2, "0.50");

  Choose(17, 2, 2, {{2, 1}});
  Set(CorrIds::SampleSize2MinusSize1, "0");
  // brentq(lambda n: 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(2 / (n - 3))) - 0.05, 3.1, 10000) = 136.622
  EXPECT_NEAR(Solve(CorrIds::SampleSize1), 136.6215714864445, 0.01);
  Choose(17, 2, 2, {{2, 2}});
  Set(CorrIds::SampleSize2OverSize1, "2");
  // brentq(lambda n: 2 * norm.sf((atanh(.5) - atanh(.3)) / sqrt(1 / (n - 3) + 1 / (2 n - 3))) - 0.05, 3.1,
  // 10000) = 102.721
  EXPECT_NEAR(Solve(CorrIds::SampleSize1), 102.72114281585395, 0.01);
  EXPECT_EQ(
      CliResult({"--test", "17", "--mode", "2=2", "--set", "5=2", "--unknown", "Sample Size 1", "--json"}),
      "102.72");

  // The second coefficient as r1 + 0.2, the first unknown: the root whose
  // middle r1 + 0.1 is at or above 0.
  Choose(17, 2, 2, {{24, 1}});
  Set(CorrIds::Correlation2MinusCorrelation1, "0.2");
  Set(CorrIds::SampleSize1, "150");
  Set(CorrIds::SampleSize2, "150");
  // brentq(lambda r: 2 * norm.sf((atanh(r + .2) - atanh(r)) / sqrt(2 / 147)) - 0.05, -.1, .79999) = 0.246378
  EXPECT_NEAR(Solve(CorrIds::Correlation1), 0.24637842234428456, 1e-4);
  // A second coefficient outside (-1, 1) through its form is refused.
  Set(CorrIds::Correlation1, "0.9");
  EXPECT_EQ(Solve(CorrIds::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Corr.Coeff.2* - Corr.Coeff.1* has to be less than or equal to 0.09999");
}

// --- Regression coefficient test -----------------------------------------

using RegrIds = RegressionCoefficient::Ids;

class RegressionCoefficientTest : public Planning {};

TEST_F(RegressionCoefficientTest, OfferedRowsAndLists) {
  Choose(18, 1, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{27}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 203, 204, 212, 213, 14}));
  Choose(18, 1, 2, {{27, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 203, 205, 212, 213, 14}));
  Choose(18, 1, 2, {{27, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 203, 206, 212, 213, 14}));
  Choose(18, 1, 3, {{27, 2}});
  EXPECT_EQ(s.IntParRowCount, 0);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 204, 212, 213, 14}));

  Choose(18, 2, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{28, 29, 2}));
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 207, 208, 209, 212, 214, 215, 4, 37}));
  Choose(18, 2, 2, {{28, 1}, {29, 1}, {2, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 207, 210, 212, 214, 221, 4, 38}));
  Choose(18, 2, 2, {{28, 2}, {29, 2}, {2, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 207, 208, 211, 212, 214, 222, 4, 5}));
  Choose(18, 2, 3, {{28, 0}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1, 6, 7, 208, 209, 212, 214, 215, 4, 37}));
}

TEST_F(RegressionCoefficientTest, OneSample) {
  Choose(18, 1, 2);
  // 2 * t.sf(0.3 / (0.3 / (sqrt(29) * 0.3)), 28) = 0.117405
  EXPECT_NEAR(Criterion() + 0.05, 0.11740535427664181, 2e-5);
  // brentq(lambda n: 2 * t.sf(0.3 * sqrt(n - 1), n - 2) - 0.05, 3, 1000) = 46.1230
  EXPECT_NEAR(Solve(RegrIds::SampleSize), 46.12296775536669, 0.005);
  EXPECT_EQ(CliResult({"--test", "18", "--samples", "1", "--unknown", "Sample Size", "--json"}), "46.123");
  Set(RegrIds::SampleSize, "30");
  // brentq(lambda b: 2 * t.sf(b * sqrt(29), 28) - 0.05, 0, 5) = 0.380380
  EXPECT_NEAR(Solve(RegrIds::Coefficient), 0.3803796569199563, 1e-4);
  Set(RegrIds::Coefficient, "0.30");
  Choose(18, 1, 1, {}, {}, true);
  // t.cdf(0.3 * sqrt(29), 28) = 0.941297
  EXPECT_NEAR(Criterion() + 0.05, 0.9412973228616791, 2e-5);
  EXPECT_EQ(Solve(RegrIds::SampleSize), kNoResult);  // the coefficient lies on the other side
  // An unknown H0 with the coefficient entered as a difference: the P-value
  // does not depend on it.
  Choose(18, 1, 2, {{27, 1}});
  EXPECT_EQ(Solve(RegrIds::H0Coefficient), kNoResult);
  // Sample sizes below 3 are refused, so df = n - 2 stays positive.
  Set(RegrIds::H0Coefficient, "0");
  Set(RegrIds::SampleSize, "2");
  EXPECT_EQ(Solve(RegrIds::CoefficientMinusH0), kNoResult);
  EXPECT_EQ(ui.LastText(), "Sample Size has to be greater than or equal to 3");
}

TEST_F(RegressionCoefficientTest, OneSampleTwoOneSidedTests) {
  Choose(18, 1, 3);
  Set(RegrIds::Coefficient, "0.1");
  // max(t.sf((0.1 + 0.4) * sqrt(29), 28), t.cdf((0.1 - 0.4) * sqrt(29), 28)) = 0.0587027
  EXPECT_NEAR(Criterion() + 0.05, 0.0587026771383209, 2e-5);
  const double b = Solve(RegrIds::Coefficient);
  ASSERT_NE(b, kNoResult);
  EXPECT_GT(b, 0);
  EXPECT_LT(b, 0.4);
}

TEST_F(RegressionCoefficientTest, TwoSamples) {
  Choose(18, 2, 2);
  // 2 * t.sf(0.1 / (0.3 * sqrt(2 / (29 * 0.09))), 56) = 0.704801
  EXPECT_NEAR(Criterion() + 0.05, 0.7048008140449151, 2e-5);
  // Sample size 1 is raised to 3.
  // 2 * t.sf(0.1 / (0.3 * sqrt(1 / (2 * 0.09) + 1 / (29 * 0.09))), 29) = 0.892147
  Set(RegrIds::SampleSize1, "2");
  EXPECT_NEAR(Criterion() + 0.05, 0.8921472654226748, 2e-5);
  Set(RegrIds::SampleSize1, "100");
  Set(RegrIds::SampleSize2, "100");
  // brentq(lambda b: 2 * t.sf((b - .3) / (0.3 * sqrt(2 / (99 * 0.09))), 196) - 0.05, .3, 10) = 0.580308
  EXPECT_NEAR(Solve(RegrIds::Coefficient2), 0.580307947475184, 1e-4);
  Set(RegrIds::Coefficient2, "0.40");
  Set(RegrIds::SampleSize1, "30");
  Set(RegrIds::SampleSize2, "30");

  Choose(18, 2, 2, {{29, 2}});
  Set(RegrIds::CovariateSd2OverSd1, "2");
  // 2 * t.sf(0.1 / (0.3 * sqrt(1 / (29 * 0.09) + 1 / (29 * 0.36))), 56) = 0.631922
  EXPECT_NEAR(Criterion() + 0.05, 0.6319218286546933, 2e-5);

  Choose(18, 2, 2, {{28, 1}, {2, 1}});
  Set(RegrIds::Diff, "0.1");
  Set(RegrIds::SampleSize2MinusSize1, "0");
  // brentq(lambda n: 2 * t.sf(0.1 / (0.3 * sqrt(2 / ((n - 1) * 0.09))), 2 n - 4) - 0.05, 3, 10000) = 770.503
  EXPECT_NEAR(Solve(RegrIds::SampleSize1), 770.5032102317779, 0.05);
  EXPECT_EQ(CliResult({"--test", "18", "--mode", "28=1", "--mode", "2=1", "--set", "210=0.1", "--set", "38=0",
                       "--unknown", "Sample Size 1", "--json"}),
            FormatResult(Solve(RegrIds::SampleSize1)));
  // The difference stays on the rejection side of H0, and H0 on the other.
  Set(RegrIds::SampleSize1, "30");
  const double diff = Solve(RegrIds::Diff);
  ASSERT_NE(diff, kNoResult);
  EXPECT_GT(diff, 0);
  Set(RegrIds::Diff, "0.3");
  const double h0 = Solve(RegrIds::H0Diff);
  ASSERT_NE(h0, kNoResult);
  EXPECT_LT(h0, 0.3);
}

TEST_F(RegressionCoefficientTest, TwoSampleChecksAndIntervals) {
  Choose(18, 2, 2, {{29, 1}, {2, 2}});
  // The covariate's SD 2 = SD 1 + difference must stay positive.
  Set(RegrIds::CovariateSd2MinusSd1, "-0.4");
  EXPECT_EQ(Solve(RegrIds::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Std.Dev.Cov.2 - Std.Dev.Cov.1 has to be greater than or equal to -0.29999");
  Set(RegrIds::CovariateSd2MinusSd1, "0");
  ReadParameterValues(s);
  double lower = -99999, upper = 99999;
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(RegrIds::CovariateSd2MinusSd1));
  d.CallSetSearchInterval(lower, upper);
  EXPECT_NEAR(lower, 0.00001 - 0.3, 1e-7);
  // A relative second size keeps both sizes above 2.00001.
  Set(RegrIds::SampleSize2OverSize1, "0.5");
  ReadParameterValues(s);
  lower = 3;
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(RegrIds::SampleSize1));
  d.CallSetSearchInterval(lower, upper);
  EXPECT_NEAR(lower, 4.00002, 1e-5);
  // The second coefficient stays above the first plus H0.
  Choose(18, 2, 1);
  ReadParameterValues(s);
  lower = -99999;
  upper = 99999;
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(RegrIds::Coefficient2));
  d.CallSetSearchInterval(lower, upper);
  EXPECT_NEAR(lower, 0.3, 1e-7);
}

// --- pelmora-cli -------------------------------------------------------------

class AnovaCorrelationRegressionCli : public Planning {};

TEST_F(AnovaCorrelationRegressionCli, SolvesTheListCasesAsTheModulesDo) {
  // brentq(lambda n: f.sf(n * 0.2**2 / 8 / 0.09, 4, 5 n - 5) - 0.05, 3, 1000) = 43.4552
  EXPECT_EQ(CliResult({"--test", "2", "--mode", "17=1", "--set", "147=0.2", "--unknown",
                       "Average Sample Size", "--json"}),
            "43.455");
  // brentq(lambda n: max(t.sf(0.5 / (0.3 / sqrt(n)), 5 n - 5), t.cdf(-0.3 / (0.3 / sqrt(n)), 5 n - 5)) -
  // 0.05, 2.01, 100) = 3.21991
  EXPECT_EQ(CliResult({"--test", "2", "--tails", "3", "--option", "9", "--set", "225=0.1", "--unknown",
                       "Average Sample Size", "--json"}),
            "3.2199");
  // brentq(lambda n: max(norm.sf((atanh(.1) - atanh(-.3)) * sqrt(n - 3)),
  //                      norm.cdf((atanh(.1) - atanh(.3)) * sqrt(n - 3))) - 0.05, 3.01, 1000) = 64.8296
  EXPECT_EQ(CliResult({"--test", "17", "--samples", "1", "--tails", "3", "--set", "186=0.1", "--unknown",
                       "Sample Size", "--json"}),
            "64.83");
  // se = 0.3 sqrt(1 / ((n - 1) 0.09) + 1 / (29 0.09)); brentq(lambda n: max(t.sf(0.45 / se, n + 26),
  // t.cdf(-0.35 / se, n + 26)) - 0.05, 3, 1000) = 99.7185
  EXPECT_EQ(CliResult({"--test", "18", "--tails", "3", "--set", "209=0.35", "--unknown", "Sample Size 1",
                       "--json"}),
            "99.718");
}

}  // namespace
}  // namespace pelmora
