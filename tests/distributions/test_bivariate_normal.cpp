// The bivariate normal sample distribution: the options offered, every list,
// the criteria on hand-checked values, solves for sample sizes and effects,
// checks with their messages, the search intervals, agreement with
// pelmora-cli, and a sweep of every choice.  Reference values are computed
// with scipy 1.10 (Debian's python3-scipy); the program's distributions are
// single precision, good to about 1e-5 in P.  The normal quantile of the
// correlation interval is accurate (about 1e-7), so its references are
// scipy's, with q = norm.isf(0.025) = 1.959964.  Student's quantile is the
// program's prescribed approximation, Abramowitz and Stegun 26.7.5 on the
// normal quantile of 26.2.23 (error up to 4.5e-4; tq(0.975, 29) = 2.045710
// where t.ppf(0.975, 29) = 2.045230): the limits and widths that rest on it
// evaluate those same formulas in Python ("tq", "AS"), with scipy's exact
// value beside them, and hold only within that approximation.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "procedures/distributions/bivariate_normal.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = BivariateNormalIds;

constexpr int kBivariate = 10;
constexpr int kMean = 0, kSdRatio = 1, kCorrelation = 2, kRegression = 3;
constexpr int kTest = 0, kEstimate = 1, kInterval = 2;

class Bivariate : public testing::PlanningTest {
 protected:
  // Chooses the parameter, kind and options as the dialog would, then confirms.
  void Choose(int choice, int kind, int tails, const std::vector<std::pair<int, int>>& forms = {},
              const std::vector<int>& options = {}, bool left = false) {
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.SelectDistribution(kBivariate);
    d.SetParameterChoice(choice);
    d.SetProcedureKind(kind);
    for (int o : options) d.SetOption(o, true);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (auto [g, m] : forms) d.SetForm(g, m);
    d.ApplyOptions();
  }
  std::vector<int> List() const {
    std::vector<int> ids;
    for (int p = 0; p <= s.LastPosition; ++p) ids.push_back(s.ParameterList[static_cast<std::size_t>(p)]);
    return ids;
  }
  // The P-value (or limit, width) the criterion computes at the value texts.
  double Computed() { return Criterion() + s.value(PositionOf(Measured())); }
  int Measured() const { return s.ProcedureKind == kInterval ? s.ParameterList[3] : s.ParameterList[0]; }

  // The interval that the search for the listed id starts from.
  std::pair<double, double> SearchInterval(int id) {
    ReadParameterValues(s);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(id));
    const CatalogueEntry& e = s.entry(id);
    double lo = e.ParamLowerLimit, hi = e.ParamUpperLimit;
    d.CallSetSearchInterval(lo, hi);
    return {lo, hi};
  }

  // The value text pelmora-cli gives the unknown for the same selection and
  // values.
  static std::string CliResult(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    std::vector<std::string> all = {"--distribution", "10"};
    all.insert(all.end(), args.begin(), args.end());
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

// ---- Shared routines --------------------------------------------------------

TEST(BivariateRoutines, PairedDifferenceStandardError) {
  // Equal standard deviations 1 with correlation 0.5: the difference has SD 1.
  EXPECT_NEAR(PairedDifferenceSE(25, 1, 1, 0.5f), 0.2, 1e-7);
  // sqrt((0.09 + 0.09 - 2 * 0.09 * 0.3) / 30) = 0.0648074
  EXPECT_NEAR(PairedDifferenceSE(30, 0.3f, 0.3f, 0.3f), 0.06480740698407860, 1e-7);
}

TEST(BivariateRoutines, SumDiffCorrelation) {
  EXPECT_EQ(SumDiffCorrelation(1, 0.7f), 0.0f);
  // (4 - 1) / sqrt((5 - 2)(5 + 2)) = 3 / sqrt(21) = 0.654654
  EXPECT_NEAR(SumDiffCorrelation(2, 0.5f), 0.6546536707079772, 1e-6);
  EXPECT_NEAR(SumDiffCorrelation(0.5f, 0.5f), -0.6546536707079772, 1e-6);
  // It grows with the ratio whatever the correlation.
  for (Single rho : {-0.9f, 0.0f, 0.9f})
    for (Single l = 0.1f; l < 10; l *= 1.5f)
      EXPECT_LT(SumDiffCorrelation(l, rho), SumDiffCorrelation(l * 1.1f, rho));
  // No overflow at the extreme ratio the limits allow.
  EXPECT_NEAR(SumDiffCorrelation(1e10f, 0.5f), 1.0, 1e-6);
}

// ---- Options offered ---------------------------------------------------------

TEST_F(Bivariate, OneSampleOnlyAndNoPointEstimate) {
  for (int choice = 0; choice < 4; ++choice) {
    Choose(choice, kEstimate, 2);
    EXPECT_EQ(s.SampleCount, 1);
    EXPECT_FALSE(s.dialog.samplesEnabled[1]);
    EXPECT_FALSE(s.dialog.procedureEnabled[1]);
    EXPECT_EQ(s.ProcedureKind, kTest) << "choice " << choice;
    EXPECT_TRUE(s.dialog.tailsEnabled[2]) << "a test has two one-sided tails again";
  }
  Choose(kMean, kInterval, 2);
  EXPECT_EQ(s.ProcedureKind, kInterval);
  EXPECT_TRUE(s.dialog.procedureEnabled[2]);
}

TEST_F(Bivariate, SdRatioIsATestOnly) {
  Choose(kMean, kInterval, 2);
  d.SetParameterChoice(kSdRatio);
  EXPECT_EQ(s.ProcedureKind, kTest);
  EXPECT_FALSE(s.dialog.procedureEnabled[1]);
  EXPECT_FALSE(s.dialog.procedureEnabled[2]);
  EXPECT_TRUE(s.dialog.tailsEnabled[0]);
  EXPECT_TRUE(s.dialog.tailsEnabled[2]);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{group::StdDeviationRatio}));
  EXPECT_TRUE(OfferedOptions().empty());
}

TEST_F(Bivariate, RowsAndOptionsOfTheMean) {
  using std::vector;
  Choose(kMean, kTest, 2);
  EXPECT_EQ(OfferedOptions(), vector<int>{option::StdDeviationForDiff});
  EXPECT_EQ(OfferedRows(), (vector<int>{group::MeanOfDiff, group::StdDeviation2}));
  Choose(kMean, kTest, 1, {}, {option::StdDeviationForDiff});
  EXPECT_EQ(OfferedRows(), vector<int>{group::MeanOfDiff});
  Choose(kMean, kTest, 3);
  EXPECT_EQ(OfferedRows(), vector<int>{group::StdDeviation2});
  Choose(kMean, kTest, 3, {}, {option::StdDeviationForDiff});
  EXPECT_TRUE(OfferedRows().empty());
  Choose(kMean, kInterval, 2);
  EXPECT_EQ(OfferedRows(), (vector<int>{group::StdDeviation2, group::ConfInterval}));
  Choose(kMean, kInterval, 2, {}, {option::StdDeviationForDiff});
  EXPECT_EQ(OfferedRows(), vector<int>{group::ConfInterval});
}

TEST_F(Bivariate, RowsOfTheCorrelation) {
  Choose(kCorrelation, kTest, 2);
  EXPECT_EQ(OfferedRows(), std::vector<int>{group::Correlation});
  Choose(kCorrelation, kTest, 3);
  EXPECT_TRUE(OfferedRows().empty());
  Choose(kCorrelation, kInterval, 2);
  EXPECT_EQ(OfferedRows(), std::vector<int>{group::ConfInterval});
  EXPECT_TRUE(OfferedOptions().empty());
}

TEST_F(Bivariate, RegressionRowsFollowTheResidualOption) {
  using std::vector;
  Choose(kRegression, kTest, 2);
  EXPECT_EQ(OfferedOptions(), vector<int>{option::ResidualStdDeviation});
  EXPECT_EQ(OfferedRows(), (vector<int>{group::RegressionCoeff, group::StdDeviation2}));
  // Ticking the check box hides the second row; clearing it shows it again.
  d.SetOption(option::ResidualStdDeviation, true);
  EXPECT_EQ(OfferedRows(), vector<int>{group::RegressionCoeff});
  d.SetOption(option::ResidualStdDeviation, false);
  EXPECT_EQ(OfferedRows(), (vector<int>{group::RegressionCoeff, group::StdDeviation2}));
  Choose(kRegression, kTest, 3);
  EXPECT_EQ(OfferedRows(), vector<int>{group::StdDeviation2});
  Choose(kRegression, kTest, 3, {}, {option::ResidualStdDeviation});
  EXPECT_TRUE(OfferedRows().empty());
  Choose(kRegression, kInterval, 2);
  EXPECT_EQ(OfferedRows(), (vector<int>{group::ConfInterval, group::StdDeviation2}));
  d.SetOption(option::ResidualStdDeviation, true);
  EXPECT_EQ(OfferedRows(), vector<int>{group::ConfInterval});
}

// ---- Lists -------------------------------------------------------------------

TEST_F(Bivariate, ListsOfTheMean) {
  using V = std::vector<int>;
  Choose(kMean, kTest, 2);
  EXPECT_EQ(List(), (V{0, 1, 157, 158, 216, 217, 220, 14}));
  EXPECT_EQ(s.Description, "Bivariate Normal Distribution. Test of Mean 2 - Mean 1. 2-sided.");
  Choose(kMean, kTest, 1, {{group::MeanOfDiff, 1}, {group::StdDeviation2, 2}});
  EXPECT_EQ(List(), (V{0, 1, 157, 159, 216, 219, 220, 14}));
  Choose(kMean, kTest, 2, {{group::MeanOfDiff, 2}, {group::StdDeviation2, 1}});
  EXPECT_EQ(List(), (V{0, 1, 157, 160, 216, 218, 220, 14}));
  Choose(kMean, kTest, 2, {{group::MeanOfDiff, 2}}, {option::StdDeviationForDiff});
  EXPECT_EQ(List(), (V{0, 1, 157, 160, 3, 14}));
  Choose(kMean, kTest, 3, {{group::StdDeviation2, 1}});
  EXPECT_EQ(List(), (V{0, 1, 6, 7, 159, 216, 218, 220, 14}));
  EXPECT_EQ(s.Description, "Bivariate Normal Distribution. Test of Mean 2 - Mean 1.Two 1-sided.");
  Choose(kMean, kTest, 3, {}, {option::StdDeviationForDiff});
  EXPECT_EQ(List(), (V{0, 1, 6, 7, 159, 3, 14}));
  Choose(kMean, kInterval, 2, {{group::ConfInterval, 1}});
  EXPECT_EQ(List(), (V{22, 101, 158, 21, 216, 217, 220, 14}));
  EXPECT_EQ(s.Description, "Bivariate Normal Distribution. Conf. Interval for Mean 2 - Mean 1. 2-sided.");
  Choose(kMean, kInterval, 2, {{group::ConfInterval, 2}}, {option::StdDeviationForDiff});
  EXPECT_EQ(List(), (V{22, 101, 158, 100, 3, 14}));
}

TEST_F(Bivariate, ListsOfTheSdRatio) {
  using V = std::vector<int>;
  Choose(kSdRatio, kTest, 1);
  EXPECT_EQ(List(), (V{0, 1, 114, 139, 140, 220, 14}));
  EXPECT_EQ(s.Description, "Bivariate Normal Distribution. Test of Std.Dev.2 / Std.Dev.1. 1-sided.");
  Choose(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}});
  EXPECT_EQ(List(), (V{0, 1, 114, 115, 220, 14}));
  Choose(kSdRatio, kTest, 3);
  EXPECT_EQ(List(), (V{0, 1, 116, 117, 139, 140, 220, 14}));
  EXPECT_EQ(s.entry(116).ParamText, "0.80");
  EXPECT_EQ(s.entry(117).ParamText, "1.25");
  Choose(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}});
  EXPECT_EQ(List(), (V{0, 1, 116, 117, 115, 220, 14}));
}

TEST_F(Bivariate, ListsOfTheCorrelation) {
  using V = std::vector<int>;
  Choose(kCorrelation, kTest, 2, {{group::Correlation, 1}});
  EXPECT_EQ(List(), (V{0, 1, 185, 187, 14}));
  EXPECT_EQ(s.Description, "Bivariate Normal Distribution. Test of Correlation Coefficient. 2-sided.");
  Choose(kCorrelation, kTest, 3);
  EXPECT_EQ(List(), (V{0, 1, 71, 72, 186, 14}));
  Choose(kCorrelation, kInterval, 2);
  EXPECT_EQ(List(), (V{22, 101, 220, 20, 14}));
  Choose(kCorrelation, kInterval, 2, {{group::ConfInterval, 2}});
  EXPECT_EQ(List(), (V{22, 101, 220, 100, 14}));
}

TEST_F(Bivariate, ListsOfTheRegression) {
  using V = std::vector<int>;
  Choose(kRegression, kTest, 2);
  EXPECT_EQ(List(), (V{0, 1, 203, 204, 216, 217, 14}));
  EXPECT_EQ(s.Description, "Bivariate Normal Distribution. Test of Regression Coefficient. 2-sided.");
  Choose(kRegression, kTest, 1, {{group::RegressionCoeff, 2}, {group::StdDeviation2, 1}});
  EXPECT_EQ(List(), (V{0, 1, 203, 206, 216, 218, 14}));
  Choose(kRegression, kTest, 3, {{group::StdDeviation2, 2}});
  EXPECT_EQ(List(), (V{0, 1, 6, 7, 204, 216, 219, 14}));
  // The residual standard deviation given: the test of the regression
  // coefficient itself, its coefficient in the form of its row.
  Choose(kRegression, kTest, 2, {{group::RegressionCoeff, 1}}, {option::ResidualStdDeviation});
  EXPECT_EQ(List(), (V{0, 1, 203, 205, 212, 213, 14}));
  Choose(kRegression, kTest, 3, {}, {option::ResidualStdDeviation});
  EXPECT_EQ(List(), (V{0, 1, 6, 7, 204, 212, 213, 14}));
  Choose(kRegression, kInterval, 2);
  EXPECT_EQ(List(), (V{22, 101, 204, 20, 216, 217, 14}));
  Choose(kRegression, kInterval, 2, {{group::ConfInterval, 1}}, {option::ResidualStdDeviation});
  EXPECT_EQ(List(), (V{22, 101, 204, 21, 212, 213, 14}));
  EXPECT_EQ(s.Description,
            "Bivariate Normal Distribution. Conf. Interval for Regression Coefficient. 2-sided.");
}

TEST_F(Bivariate, TwoSamplesListNothing) {
  // A window restored with two samples: nothing to list, nothing solved.
  Choose(kMean, kTest, 2);
  s.SampleCount = 2;
  d.ApplyOptions();
  EXPECT_EQ(s.LastPosition, 1);
  EXPECT_EQ(Solve(0), kNoResult);
  EXPECT_EQ(LastSolveEvaluations(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

// ---- Criteria on hand-checked values -----------------------------------------

TEST_F(Bivariate, MeanTestCriteria) {
  Choose(kMean, kTest, 2);
  // 2 * t.sf(0.3 / sqrt(0.126 / 30), 29) = 7.10344e-05
  EXPECT_NEAR(Computed(), 7.103437827421955e-05, 2e-6);
  Choose(kMean, kTest, 1);
  // t.sf(0.3 / sqrt(0.126 / 30), 29) = 3.55172e-05
  EXPECT_NEAR(Computed(), 3.5517189137109775e-05, 1e-6);
  Choose(kMean, kTest, 2, {{group::MeanOfDiff, 2}});
  Set(Ids::H0MeanOfDiff, "0.1");
  Set(Ids::MeanOfDiffOverH0, "3");
  // The estimate 3 x 0.1 against 0.1: 2 * t.sf(0.2 / sqrt(0.126 / 30), 29) = 0.0044313
  EXPECT_NEAR(Computed(), 0.004431297073805694, 2e-5);
  Set(Ids::H0MeanOfDiff, "0");
  Choose(kMean, kTest, 2, {}, {option::StdDeviationForDiff});
  // 2 * t.sf(0.3 / (0.3 / sqrt(30)), 29) = 6.73915e-06
  EXPECT_NEAR(Computed(), 6.739145346941581e-06, 5e-7);
  Choose(kMean, kTest, 3);
  // max(t.sf(0.7 / se, 29), t.cdf(-0.1 / se, 29)), se = sqrt(0.126 / 30) = 0.0668329
  EXPECT_NEAR(Computed(), 0.06683288735440807, 2e-5);
}

TEST_F(Bivariate, MeanIntervalCriteria) {
  Choose(kMean, kInterval, 2);
  // 0.3 - tq(0.975, 29) * sqrt(0.126 / 30) = 0.1674228 (AS; scipy t.ppf 0.1674540)
  EXPECT_NEAR(Computed(), 0.16742282804613456, 1e-6);
  Choose(kMean, kInterval, 2, {{group::ConfInterval, 2}});
  // 2 * tq(0.975, 29) * sqrt(0.126 / 30) = 0.2651543 (AS; scipy t.ppf 0.2650921)
  EXPECT_NEAR(Computed(), 0.26515434390773085, 1e-6);
  // SD1 = SD2 = 1 with correlation 0.5: the standard error 1 / sqrt(n), the
  // same as a standard deviation of the difference of 1.
  Choose(kMean, kInterval, 2);
  Set(Ids::Sd1, "1");
  Set(Ids::Sd2, "1");
  Set(Ids::Correlation, "0.5");
  const double fromPair = Computed();
  // 0.3 - tq(0.975, 29) / sqrt(30) = -0.0734939 (AS; scipy t.ppf -0.0734061)
  EXPECT_NEAR(fromPair, -0.0734938698556118, 1e-6);
  Choose(kMean, kInterval, 2, {}, {option::StdDeviationForDiff});
  Set(Ids::SdOfDiff, "1");
  EXPECT_NEAR(Computed(), fromPair, 1e-6);
}

TEST_F(Bivariate, SdRatioCriteria) {
  Choose(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}});
  // 2 * norm.sf(atanh(c(1.2, 0.3)) * sqrt(27)), c the sum-difference correlation
  EXPECT_NEAR(Computed(), 0.32091565352767704, 2e-5);
  Choose(kSdRatio, kTest, 2);
  Set(Ids::Sd1Star, "0.5");
  Set(Ids::Sd2Star, "0.6");
  EXPECT_NEAR(Computed(), 0.32091565352767704, 2e-5);
  Choose(kSdRatio, kTest, 1, {{group::StdDeviationRatio, 1}});
  Set(Ids::H0Ratio, "1.1");
  // norm.sf((atanh(c(1.2, 0.3)) - atanh(c(1.1, 0.3))) * sqrt(27)) = 0.31793
  EXPECT_NEAR(Computed(), 0.31792956521294197, 2e-5);
  // A sample size of 3 or less: 3.00001, the standard error about 316.
  Set(Ids::H0Ratio, "1");
  Choose(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}});
  Set(Ids::SampleSize, "3");
  // 2 * norm.sf(atanh(c(1.2, 0.3)) / 316.228) = 0.999518
  EXPECT_NEAR(Computed(), 0.9995180269052567, 2e-6);
  // Two one-sided tests on the z scale: the estimate 1.1 against 0.80 and 1.25.
  Choose(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}});
  Set(Ids::Ratio, "1.1");
  Set(Ids::SampleSize, "100");
  // max(norm.sf((z(1.1) - z(0.8)) * sqrt(97)), norm.cdf((z(1.1) - z(1.25)) * sqrt(97))) = 0.093735
  EXPECT_NEAR(Computed(), 0.09373497359210531, 2e-5);
}

TEST_F(Bivariate, CorrelationIntervalCriteria) {
  // r = 0: symmetric about 0, the width 2 tanh(q / sqrt(n - 3)).
  Choose(kCorrelation, kInterval, 2);
  Set(Ids::Correlation, "0");
  const double lower = Computed();
  Choose(kCorrelation, kInterval, 2, {{group::ConfInterval, 1}});
  Set(Ids::Correlation, "0");
  EXPECT_NEAR(Computed(), -lower, 1e-7);
  Choose(kCorrelation, kInterval, 2, {{group::ConfInterval, 2}});
  Set(Ids::Correlation, "0");
  // 2 * tanh(norm.isf(0.025) / sqrt(27)) = 0.7205384
  EXPECT_NEAR(Computed(), 0.7205384451911288, 1e-6);
  EXPECT_NEAR(Computed(), -2 * lower, 1e-6);
  Choose(kCorrelation, kInterval, 2);
  Set(Ids::Correlation, "0.5");
  // tanh(atanh(0.5) - norm.isf(0.025) / sqrt(27)) = 0.1704314
  EXPECT_NEAR(Computed(), 0.17043136511180007, 1e-6);
  Choose(kCorrelation, kInterval, 2, {{group::ConfInterval, 1}});
  Set(Ids::Correlation, "0.5");
  // tanh(atanh(0.5) + norm.isf(0.025) / sqrt(27)) = 0.7289586
  EXPECT_NEAR(Computed(), 0.7289585563883555, 1e-6);
}

TEST_F(Bivariate, CorrelationTestIsTheTestProcedure) {
  Choose(kCorrelation, kTest, 2);
  // 2 * norm.sf((atanh(0.5) - atanh(0.3)) * sqrt(27)) = 0.212776
  EXPECT_NEAR(Computed(), 0.2127763595458766, 2e-5);
  Set(CorrelationCoefficient::Ids::SampleSize, "40");
  const double here = Computed();
  d.SelectTest(17);
  d.SetSampleCount(1);
  d.ApplyOptions();
  EXPECT_EQ(Computed(), here);
}

TEST_F(Bivariate, RegressionCriteria) {
  Choose(kRegression, kTest, 2);
  // 2 * t.sf(0.3 / sqrt((1 - 0.09) / 28), 28) = 0.107246
  EXPECT_NEAR(Computed(), 0.10724594805795437, 2e-5);
  // Two one-sided tests, the standard error from the correlation the assumed
  // coefficient implies: sqrt(1 - 0.09) / sqrt(29).
  Choose(kRegression, kTest, 3);
  // max(norm.sf(0.7 / se), norm.cdf(-0.1 / se)) = 0.286201
  EXPECT_NEAR(Computed(), 0.28620060191701374, 2e-5);
  Set(Ids::SampleSize, "100");
  // the same with sqrt(99) = 0.148467
  EXPECT_NEAR(Computed(), 0.14846714303744846, 2e-5);
  // Residual standard deviation given: the regression coefficient test.
  Set(Ids::SampleSize, "30");
  Choose(kRegression, kTest, 2, {}, {option::ResidualStdDeviation});
  // 2 * t.sf(0.3 / (0.3 / (sqrt(29) * 0.3)), 28) = 0.117405
  EXPECT_NEAR(Computed(), 0.11740535427664181, 2e-5);
}

TEST_F(Bivariate, RegressionIntervalCriteria) {
  Choose(kRegression, kInterval, 2);
  // 0.3 - tq(0.975, 28) * sqrt((1 - 0.09) / 28) = -0.0693688 (AS; scipy t.ppf -0.0692818)
  EXPECT_NEAR(Computed(), -0.06936881856322186, 1e-6);
  // b* = SD2 / SD1, a perfect correlation: width 0.
  Choose(kRegression, kInterval, 2, {{group::ConfInterval, 2}});
  Set(Ids::Coefficient, "2");
  Set(Ids::Sd1, "0.25");
  Set(Ids::Sd2, "0.5");
  EXPECT_EQ(Computed(), 0.0);
  Set(Ids::Coefficient, "2.5");  // beyond SD2 / SD1: still 0, no fault
  EXPECT_EQ(Computed(), 0.0);
  Set(Ids::Coefficient, "0.30");
  Choose(kRegression, kInterval, 2, {}, {option::ResidualStdDeviation});
  // 0.3 - tq(0.975, 28) * 0.3 / (sqrt(29) * 0.3) = -0.0804692 (AS; scipy t.ppf -0.0803797)
  EXPECT_NEAR(Computed(), -0.08046923998510552, 1e-6);
}

TEST_F(Bivariate, RegressionTestFaultsBeyondAPerfectCorrelation) {
  Choose(kRegression, kTest, 2);
  Set(Ids::Coefficient, "1.5");  // SD2 / SD1 = 1
  ReadParameterValues(s);
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::SampleSize));
  EXPECT_EQ(SolveAtOnePoint(d).state, SolveState::NotCalculable);
}

// ---- Solves --------------------------------------------------------------------

TEST_F(Bivariate, MeanSolves) {
  Choose(kMean, kTest, 2);
  // brentq(lambda n: 2 * t.sf(0.3 / sqrt(0.126 / n), n - 1) - 0.05, 3, 100) = 7.88248
  EXPECT_NEAR(Solve(Ids::SampleSize), 7.88247829764852, 2e-3);
  EXPECT_EQ(CliResult({"--unknown", "Sample Size"}), s.entry(Ids::SampleSize).ParamText);
  Set(Ids::SampleSize, "30");
  // brentq(lambda d: 2 * t.sf(d / sqrt(0.126 / 30), 29) - 0.05, 0.001, 5) = 0.132546
  EXPECT_NEAR(Solve(Ids::MeanOfDiff), 0.13254602979377023, 1e-4);
  Set(Ids::MeanOfDiff, "0.30");
  Set(Ids::SampleSize, "10");
  // brentq(lambda s2: 2 * t.sf(0.3 / se(10, s2), 9) - 0.05, 1e-5, 10) = 0.396549
  EXPECT_NEAR(Solve(Ids::Sd2), 0.39654869890630173, 1e-4);
  Set(Ids::Sd2, "0.30");
  // brentq(lambda r: 2 * t.sf(0.3 / se(10, r), 9) - 0.05, -0.99, 0.99) = 0.0229328
  EXPECT_NEAR(Solve(Ids::Correlation), 0.022932751104741772, 2e-4);
  EXPECT_EQ(CliResult({"--set", "Sample Size=10", "--unknown", "Correlation Coefficient*"}),
            s.entry(Ids::Correlation).ParamText);

  Choose(kMean, kInterval, 2, {{group::ConfInterval, 2}});
  Set(Ids::Width, "0.2");
  Set(Ids::Sd2, "0.30");
  Set(Ids::Correlation, "0.30");
  // brentq(lambda n: 2 * tq(0.975, n - 1) * sqrt(0.126 / n) - 0.2, 3, 1000) = 50.86249
  // (AS; with scipy's t.ppf 50.84037)
  EXPECT_NEAR(Solve(Ids::SampleSize), 50.86248793072105, 2e-3);
  EXPECT_EQ(CliResult({"--kind", "interval", "--mode", "32=2", "--set", "Width Of Interval=0.2", "--unknown",
                       "Sample Size"}),
            s.entry(Ids::SampleSize).ParamText);
  // The width does not depend on the estimate.
  EXPECT_EQ(Solve(Ids::MeanOfDiff), kNoResult);
  EXPECT_EQ(LastSolveEvaluations(), 0);
}

TEST_F(Bivariate, SdRatioSolves) {
  Choose(kSdRatio, kTest, 2, {{group::StdDeviationRatio, 1}});
  // brentq(lambda n: 2 * norm.sf(atanh(c(1.2, 0.3)) * sqrt(n - 3)) - 0.05, 3.5, 10000) = 108.276
  EXPECT_NEAR(Solve(Ids::SampleSize), 108.27631181453512, 0.02);
  EXPECT_EQ(CliResult({"--parameter", "1", "--mode", "13=1", "--unknown", "Sample Size"}),
            s.entry(Ids::SampleSize).ParamText);
  Choose(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}});
  Set(Ids::Ratio, "1.1");
  // brentq on the two one-sided P-value with the ratio 1.1 = 154.053
  EXPECT_NEAR(Solve(Ids::SampleSize), 154.05290441777674, 0.03);
  Set(Ids::SampleSize, "100");
  // Of the two ratios with P = 0.05 the one above the middle (1 for 0.80 and
  // 1.25) = 1.06572; rejecting in the left tail, the one below = 0.938332.
  EXPECT_NEAR(Solve(Ids::Ratio), 1.0657210588802666, 1e-4);
  Choose(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}}, {}, true);
  EXPECT_NEAR(Solve(Ids::Ratio), 0.9383318380239931, 1e-4);
  // The standard deviations entered: the second one is searched the same way.
  Choose(kSdRatio, kTest, 3);
  Set(Ids::Sd1Star, "0.5");
  Set(Ids::SampleSize, "100");
  EXPECT_NEAR(Solve(Ids::Sd2Star), 0.5 * 1.0657210588802666, 1e-4);
  // Limits 0.9 and 1.5 at rho = 0.5: the middle of the transformed limits is
  // the ratio brentq(lambda l: atanh(c(l, .5)) - (atanh(c(.9, .5)) +
  // atanh(c(1.5, .5))) / 2, .5, 3) = 1.16017.
  Choose(kSdRatio, kTest, 3, {{group::StdDeviationRatio, 1}});
  Set(Ids::LeftRatioLimit, "0.9");
  Set(Ids::RightRatioLimit, "1.5");
  Set(Ids::Correlation, "0.5");
  EXPECT_NEAR(SearchInterval(Ids::Ratio).first, 1.1601684767587765, 1e-5);
  // A limit on its own side of the assumed ratio.
  Set(Ids::Ratio, "1.1");
  EXPECT_EQ(SearchInterval(Ids::LeftRatioLimit).second, static_cast<double>(1.1f));
  EXPECT_EQ(SearchInterval(Ids::RightRatioLimit).first, static_cast<double>(1.1f));
}

TEST_F(Bivariate, CorrelationIntervalSolves) {
  Choose(kCorrelation, kInterval, 2, {{group::ConfInterval, 2}});
  Set(Ids::Correlation, "0.5");
  Set(Ids::Width, "0.3");
  // brentq on the width tanh(z + h) - tanh(z - h) = 0.3, h = norm.isf(0.025) /
  // sqrt(n - 3): 98.37656
  EXPECT_NEAR(Solve(Ids::SampleSize), 98.37656194152208, 2e-3);
  EXPECT_EQ(CliResult({"--parameter", "2", "--kind", "interval", "--mode", "32=2", "--set", "220=0.5",
                       "--set", "100=0.3", "--unknown", "Sample Size"}),
            s.entry(Ids::SampleSize).ParamText);
  Set(Ids::SampleSize, "30");
  Set(Ids::Width, "0.5");
  // The width is the same for r and -r: the root at or above 0 = 0.5799746.
  EXPECT_NEAR(Solve(Ids::Correlation), 0.5799745549659453, 1e-5);
  Choose(kCorrelation, kInterval, 2);
  Set(Ids::LowerLimit, "0.3");
  // brentq(lambda r: tanh(atanh(r) - q / sqrt(27)) - 0.3, -0.99, 0.99999) = 0.5958674
  EXPECT_NEAR(Solve(Ids::Correlation), 0.595867415436738, 1e-5);
  Set(Ids::Correlation, "0.5");
  // brentq(lambda n: tanh(atanh(.5) - q / sqrt(n - 3)) - 0.3, 3.5, 1e5) = 69.81079
  EXPECT_NEAR(Solve(Ids::SampleSize), 69.81078574322198, 2e-3);
}

TEST_F(Bivariate, RegressionSolves) {
  Choose(kRegression, kTest, 2);
  // brentq(lambda n: 2 * t.sf(0.3 / sqrt(0.91 / (n - 2)), n - 2) - 0.05, 3, 1000) = 43.225
  EXPECT_NEAR(Solve(Ids::SampleSize), 43.22496388042638, 0.01);
  EXPECT_EQ(CliResult({"--parameter", "3", "--unknown", "Sample Size"}), s.entry(Ids::SampleSize).ParamText);
  Set(Ids::SampleSize, "30");
  // brentq(lambda b: 2 * t.sf(b / sqrt((1 - b^2) / 28), 28) - 0.05, 1e-4, 0.99) = 0.361007
  EXPECT_NEAR(Solve(Ids::Coefficient), 0.3610069077332335, 1e-4);
  Set(Ids::Coefficient, "0.30");
  // brentq(lambda h: 2 * t.sf((0.3 - h) / sqrt(0.91 / 28), 28) - 0.05, -0.99999, 0.3) = -0.0692818
  EXPECT_NEAR(Solve(Ids::H0Coefficient), -0.06928184913846964, 1e-4);
  Set(Ids::H0Coefficient, "0");
  Set(Ids::SampleSize, "10");
  // SD1 with SD2 = 0.3: the P-value depends on b* SD1 / SD2 alone, as b* at
  // SD1 = SD2 = 0.631897.
  EXPECT_NEAR(Solve(Ids::Sd1), 0.631896864719834, 1e-4);
  EXPECT_EQ(CliResult({"--parameter", "3", "--set", "Sample Size=10", "--unknown", "Std.Deviation 1"}),
            s.entry(Ids::Sd1).ParamText);
  Set(Ids::Sd1, "0.30");
  // SD2 with SD1 = 0.3: b* SD1 / SD2 the same 0.631897.
  EXPECT_NEAR(Solve(Ids::Sd2), 0.09 / 0.631896864719834, 1e-4);
  Set(Ids::Sd2, "0.30");

  // Two one-sided tests: b* on the side of the middle of the limits.
  Choose(kRegression, kTest, 3);
  Set(Ids::SampleSize, "30");
  // brentq(lambda b: norm.cdf((b - 0.4) / (sqrt(1 - b^2) / sqrt(29))) - 0.05, 0, 0.4) = 0.0959681
  EXPECT_NEAR(Solve(Ids::Coefficient), 0.09596814420382346, 1e-4);
  Set(Ids::Coefficient, "0.30");
  // brentq on max(norm.sf(0.7 / se(n)), norm.cdf(-0.1 / se(n))) - 0.05 = 247.204
  EXPECT_NEAR(Solve(Ids::SampleSize), 247.20445432268252, 0.05);

  Choose(kRegression, kInterval, 2);
  Set(Ids::SampleSize, "30");
  Set(Ids::LowerLimit, "0.1");
  // brentq(lambda b: b - tq(0.975, 28) * sqrt((1 - b^2) / 28) - 0.1, -0.5, 0.99999) = 0.4464695
  // (AS; with scipy's t.ppf 0.4464011)
  EXPECT_NEAR(Solve(Ids::Coefficient), 0.44646946193743126, 1e-5);
  Choose(kRegression, kInterval, 2, {{group::ConfInterval, 2}});
  Set(Ids::Width, "0.3");
  Set(Ids::Coefficient, "0.30");
  // brentq(lambda n: 2 * tq(0.975, n - 2) * sqrt(0.91 / (n - 2)) - 0.3, 3.01, 10000) = 159.8459
  // (AS; with scipy's t.ppf 159.7768)
  EXPECT_NEAR(Solve(Ids::SampleSize), 159.8459349524003, 5e-3);
  Set(Ids::SampleSize, "30");
  Set(Ids::Width, "0.5");
  // brentq(lambda b: 2 * tq(0.975, 28) * sqrt((1 - b^2) / 28) - 0.5, 0, 0.99999) = 0.7636293
  // (AS; with scipy's t.ppf 0.7635007)
  EXPECT_NEAR(Solve(Ids::Coefficient), 0.7636292985219955, 1e-5);
}

// ---- Checks and search intervals -----------------------------------------------

TEST_F(Bivariate, RegressionKeepsTheImpliedCorrelationInside) {
  Choose(kRegression, kTest, 2);
  Set(Ids::Coefficient, "0.5");
  Set(Ids::Sd1, "0.7");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  // 0.99999 x 0.3 / 0.5 in single precision
  EXPECT_EQ(ui.LastText(), "Std.Deviation 1 has to be less than or equal to 0.599994");
  ui.messages.clear();
  Set(Ids::Sd1, "0.3");
  Set(Ids::H0Coefficient, "-0.75");
  EXPECT_NE(Solve(Ids::SampleSize), kNoResult) << "0.3 x 0.75 / 0.3 is inside";
  Set(Ids::H0Coefficient, "-1.2");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Std.Deviation 1 has to be less than or equal to 0.249998");
  ui.messages.clear();
  Set(Ids::H0Coefficient, "0");

  // An unknown coefficient, H0 or standard deviation is searched where
  // |b| SD1 / SD2 stays below 0.99999.
  auto interval = [&](int id) { return SearchInterval(id); };
  const double inside = static_cast<double>(0.99999f);
  EXPECT_EQ(interval(Ids::Coefficient), (std::pair{0.0, inside}));
  EXPECT_EQ(interval(Ids::H0Coefficient), (std::pair{-inside, 0.5}));
  EXPECT_EQ(interval(Ids::Sd1).second, inside * 0.3 / 0.5);
  EXPECT_EQ(interval(Ids::Sd2).first, 0.5 * 0.3 / inside);
  Choose(kRegression, kTest, 2, {{group::StdDeviation2, 2}});
  Set(Ids::Coefficient, "0.5");
  Set(Ids::Sd2OverSd1, "0.4");  // SD2 / SD1 below |b*|: no SD1 can help
  EXPECT_GE(interval(Ids::Sd1).first, interval(Ids::Sd1).second);
  EXPECT_EQ(interval(Ids::Sd2OverSd1).first, 0.5 / inside);
  Choose(kRegression, kTest, 2, {{group::StdDeviation2, 1}});
  Set(Ids::Coefficient, "0.5");
  Set(Ids::Sd2MinusSd1, "-0.1");  // SD1 (0.5 - 0.99999) <= -0.099999
  EXPECT_DOUBLE_EQ(interval(Ids::Sd1).first, inside * -0.1 / (0.5 - inside));
  // The coefficient as a ratio to H0 = 0.5: b* = 0.5 r within +-0.99999.
  Choose(kRegression, kTest, 1, {{group::RegressionCoeff, 2}});
  Set(Ids::H0Coefficient, "0.5");
  EXPECT_EQ(interval(Ids::CoefficientOverH0), (std::pair{1.0, inside / 0.5}));
  // Two one-sided tests: the limits too.
  Choose(kRegression, kTest, 3);
  Set(Ids::Coefficient, "0.3");
  EXPECT_EQ(interval(Ids::Coefficient), (std::pair{0.0, inside}));
  EXPECT_EQ(interval(Ids::LeftDiffLimit), (std::pair{-inside, 0.3}));
  EXPECT_EQ(interval(Ids::RightDiffLimit), (std::pair{0.3, inside}));
  Set(Ids::RightDiffLimit, "1.2");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Std.Deviation 1 has to be less than or equal to 0.249998");
}

TEST_F(Bivariate, ChecksOfRelativeValuesAndLimits) {
  Choose(kMean, kTest, 2, {{group::StdDeviation2, 1}});
  Set(Ids::Sd2MinusSd1, "-0.4");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "Std.Dev. 2 - Std.Dev. 1 has to be greater than or equal to -0.29999");
  ui.messages.clear();
  Choose(kSdRatio, kTest, 3);
  Set(Ids::LeftRatioLimit, "1.3");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 1.25");
  ui.messages.clear();
  Choose(kMean, kTest, 3);
  Set(Ids::LeftDiffLimit, "0.5");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");
  ui.messages.clear();
  Choose(kRegression, kTest, 3);
  Set(Ids::LeftDiffLimit, "0.5");
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult);
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");
}

TEST_F(Bivariate, SdRatioSearchesOnTheRejectionSide) {
  Choose(kSdRatio, kTest, 1, {{group::StdDeviationRatio, 1}});
  // H0 below the assumed ratio 1.2 for an upper-tail test.
  // brentq(lambda h: norm.sf((z(1.2) - z(h)) * sqrt(27)) - 0.05, 0.1, 1.2) = 0.887119
  EXPECT_NEAR(Solve(Ids::H0Ratio), 0.8871185842663274, 1e-4);
  Choose(kSdRatio, kTest, 1, {{group::StdDeviationRatio, 1}}, {}, true);
  EXPECT_EQ(Solve(Ids::SampleSize), kNoResult) << "an assumed ratio above H0 never rejects in the left tail";
}

// ---- Every choice ----------------------------------------------------------------

}  // namespace
}  // namespace pelmora
