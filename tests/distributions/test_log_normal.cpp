// The log-normal sample distribution: offered rows and options, the lists of
// the point estimate and the intervals, their criteria and solves, "Not
// Available" for the point estimate with an estimated shape, the tests handed
// on, the grid of a two-group interval and a sweep of every choice.
//
// Reference values come from scipy 1.10 (Debian's python3-scipy).  The normal
// quantile of an interval is accurate (about 1e-7), so those references use
// scipy's q = norm.isf(0.025) = 1.959964.  Student's quantile is the program's
// prescribed approximation, Abramowitz and Stegun 26.7.5 on the normal
// quantile of 26.2.23 (error up to 4.5e-4): those references evaluate the same
// formulas in Python ("AS"), with scipy's exact value beside them, and hold
// only within that approximation's tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "numeric/fault_guard.h"
#include "procedures/distributions/log_normal.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "session/calculation_rows.h"
#include "session/catalogue.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = LogNormalDistribution::Ids;

constexpr int kLogNormal = 1;
constexpr int kTest = 0, kEstimate = 1, kInterval = 2;
constexpr int kShapeKnown = 0, kShapeUnknown = 1;
constexpr int kSize2Group = 2, kShape2Group = 31, kShape2StarGroup = 36, kIntervalGroup = 32;
constexpr int kDf = 0, kGroups = 5, kUnequalShapes = 14;

class LogNormalDistributionPlanning : public testing::PlanningTest {
 protected:
  void Choose(int choice, int kind, int samples, int tails = 2, const std::vector<int>& options = {},
              const Forms& forms = {}) {
    ChooseDistribution(kLogNormal, choice, kind, samples, tails, options, forms, false);
  }
};

TEST_F(LogNormalDistributionPlanning, OffersTheRowsAndOptionsOfEachKind) {
  Choose(kShapeKnown, kEstimate, 2);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kShape2Group, kSize2Group}));
  EXPECT_TRUE(OfferedOptions().empty());
  Choose(kShapeKnown, kInterval, 1);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kIntervalGroup}));
  Choose(kShapeUnknown, kInterval, 1);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kDf, kGroups}));
  Choose(kShapeUnknown, kInterval, 2);
  EXPECT_EQ(OfferedOptions(), (std::vector<int>{kDf, kGroups, kUnequalShapes}));
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kSize2Group, kIntervalGroup}));
  d.SetOption(kUnequalShapes, true);
  EXPECT_EQ(OfferedRows(), (std::vector<int>{kShape2StarGroup, kSize2Group, kIntervalGroup}));
  d.SetOption(kDf, true);
  d.SetOption(kGroups, true);
  EXPECT_EQ(s.OptionState[kDf], 0);
  // The point estimate with an estimated shape offers nothing.
  Choose(kShapeUnknown, kEstimate, 2);
  EXPECT_TRUE(OfferedRows().empty());
  EXPECT_TRUE(OfferedOptions().empty());
}

TEST_F(LogNormalDistributionPlanning, Lists) {
  Choose(kShapeKnown, kEstimate, 1, 1);
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ErrorLevel, 1, Ids::UpperRelativeError, Ids::Shape, Ids::SampleSize}));
  Choose(kShapeKnown, kEstimate, 2, 2, {}, {{kShape2Group, 1}, {kSize2Group, 2}});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ErrorLevel, 1, Ids::RelativeError, Ids::Shape1, Ids::Shape2MinusShape1,
                              Ids::SampleSize1, Ids::SampleSize2OverSize1}));
  Choose(kShapeKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Median, Ids::UpperLimit,
                                           Ids::Shape, Ids::SampleSize}));
  Choose(kShapeKnown, kInterval, 2, 2, {}, {{kShape2Group, 2}});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::MedianRatio, Ids::LowerLimit,
                              Ids::Shape1, Ids::Shape2OverShape1, Ids::SampleSize1, Ids::SampleSize2}));
  Choose(kShapeUnknown, kInterval, 1, 2, {kDf}, {{kIntervalGroup, 2}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::Median, Ids::Width,
                                           Ids::ShapeStar, Ids::SampleSize, Ids::DegreesOfFreedom}));
  Choose(kShapeUnknown, kInterval, 2, 2, {kGroups});
  EXPECT_EQ(ListedIds(),
            (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::MedianRatio, Ids::LowerLimit,
                              Ids::ShapeStar, Ids::SampleSize1, Ids::SampleSize2, Ids::NoOfGroups}));
  Choose(kShapeUnknown, kInterval, 2, 2, {kUnequalShapes, kGroups}, {{kShape2StarGroup, 1}});
  EXPECT_EQ(ListedIds(), (std::vector<int>{Ids::ConfidenceLevel, Ids::ProbWidth, Ids::MedianRatio,
                                           Ids::LowerLimit, Ids::Shape1Star, Ids::Shape2StarMinusShape1Star,
                                           Ids::SampleSize1, Ids::SampleSize2, Ids::NoOfGroups}));
}

TEST_F(LogNormalDistributionPlanning, CaptionsAndDescription) {
  Choose(kShapeKnown, kEstimate, 2);
  EXPECT_EQ(s.Description,
            "Log Normal Distribution. Point Estimate of Median2 / Median1 (Shapes known). 2-sided.");
  Choose(kShapeUnknown, kInterval, 1);
  EXPECT_EQ(s.ParameterChoiceName, "Median (Shape unknown)");
  Choose(kShapeUnknown, kTest, 2, 2, {kUnequalShapes});
  EXPECT_EQ(s.ParameterChoiceName, "Median2 / Median1 (Shape unknown)");
  EXPECT_EQ(s.Description,
            "Log Normal Distribution. Test of Median2 / Median1 (Shape unknown). 2-sided. Satterthwaite");
}

TEST_F(LogNormalDistributionPlanning, PointEstimateIsAsymmetricOnTheMedianScale) {
  Choose(kShapeKnown, kEstimate, 1, 2);
  Set(Ids::RelativeError, "0.1");
  Set(Ids::Shape, "0.3");
  // root of norm.cdf(ln(1.1) sqrt(n) / 0.3) - norm.cdf(ln(0.9) sqrt(n) / 0.3) = 0.95
  EXPECT_NEAR(Solve(Ids::SampleSize), 34.67608, 2e-3);
  // At n = 34.67608 the lower bound ln 0.9 = -0.10536 is farther out than
  // ln 1.1 = 0.09531: the symmetric criterion with ln 1.1 on both sides
  // would need more: root of 2 norm.cdf(ln(1.1) sqrt(n) / 0.3) - 1 = 0.95 is 38.05924.
  EXPECT_LT(s.value(PositionOf(Ids::SampleSize)), 38.05924 - 1);
  // One tail uses only the upper side: norm.cdf(ln(1.1) sqrt(n) / 0.3) = 0.95
  Choose(kShapeKnown, kEstimate, 1, 1);
  Set(Ids::UpperRelativeError, "0.1");
  EXPECT_NEAR(Solve(Ids::SampleSize), 26.80516, 2e-3);
  // Two samples of equal size and shape 0.3: se = 0.3 sqrt(2 / n1), 69.35216
  Choose(kShapeKnown, kEstimate, 2, 2, {}, {{kSize2Group, 2}});
  Set(Ids::RelativeError, "0.1");
  Set(Ids::Shape1, "0.3");
  Set(Ids::Shape2, "0.3");
  Set(Ids::SampleSize2OverSize1, "1");
  EXPECT_NEAR(Solve(Ids::SampleSize1), 69.35216, 5e-3);
}

TEST_F(LogNormalDistributionPlanning, IntervalsTurnBackWithTheExponential) {
  Choose(kShapeKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  Set(Ids::Median, "1.2");
  Set(Ids::Shape, "0.3");
  Set(Ids::UpperLimit, "1.3");
  // 1.2 exp(q 0.3 / sqrt(n)) = 1.3: n = (q 0.3 / ln(1.3 / 1.2))^2 = 53.96288
  EXPECT_NEAR(Solve(Ids::SampleSize), 53.96288, 5e-3);
  // The upper limit rises with the shape and falls with the sample size.
  Set(Ids::SampleSize, "40");
  const double at40 = Criterion();
  Set(Ids::Shape, "0.4");
  EXPECT_GT(Criterion(), at40);
  Set(Ids::Shape, "0.3");
  Set(Ids::SampleSize, "80");
  EXPECT_LT(Criterion(), at40);
  // The median and the shape for an upper limit of 1.3 at n = 40:
  // 1.3 / exp(q 0.3 / sqrt(40)) = 1.184588 and ln(1.3 / 1.2) sqrt(40) / q = 0.2582877
  Set(Ids::SampleSize, "40");
  EXPECT_NEAR(Solve(Ids::Median), 1.184588, 3e-6);
  Set(Ids::Median, "1.2");
  EXPECT_NEAR(Solve(Ids::Shape), 0.2582877, 2e-6);
  Set(Ids::Shape, "0.3");

  Choose(kShapeKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 0}});
  Set(Ids::LowerLimit, "1.1");
  // n = (q 0.3 / ln(1.2 / 1.1))^2 = 45.66533
  EXPECT_NEAR(Solve(Ids::SampleSize), 45.66533, 5e-3);
  Choose(kShapeKnown, kInterval, 1, 2, {}, {{kIntervalGroup, 2}});
  Set(Ids::Width, "0.2");
  // brentq(lambda n: 1.2 (exp(q 0.3 / sqrt(n)) - exp(-q 0.3 / sqrt(n))) - 0.2, 3, 1e4) = 49.90039
  EXPECT_NEAR(Solve(Ids::SampleSize), 49.90039, 5e-3);
}

TEST_F(LogNormalDistributionPlanning, IntervalsWithAnEstimatedShape) {
  Choose(kShapeUnknown, kInterval, 1, 2, {}, {{kIntervalGroup, 1}});
  Set(Ids::Median, "1.2");
  Set(Ids::ShapeStar, "0.3");
  Set(Ids::UpperLimit, "1.3");
  // 1.2 exp(tq(0.975, n - 1) 0.3 / sqrt(n)) = 1.3: 56.42379 (AS); scipy t 56.39922
  EXPECT_NEAR(Solve(Ids::SampleSize), 56.42379, 0.01);
  // Two samples of 10 with k = 3 groups: df = 9 + 2 x 9 = 27, as the t test of medians;
  // 1.2 (exp(tq 0.3 sqrt(0.2)) - exp(-tq 0.3 sqrt(0.2))) = 0.6692147 (AS)
  Choose(kShapeUnknown, kInterval, 2, 2, {kGroups}, {{kIntervalGroup, 2}});
  Set(Ids::MedianRatio, "1.2");
  Set(Ids::ShapeStar, "0.3");
  Set(Ids::SampleSize1, "10");
  Set(Ids::SampleSize2, "10");
  Set(Ids::NoOfGroups, "3");
  EXPECT_NEAR(Solve(Ids::Width), 0.6692147, 2e-5);
  // Unequal shapes equal to each other with equal sizes: Satterthwaite's df
  // is the pooled 2 (n - 1), the same width without groups.
  Choose(kShapeUnknown, kInterval, 2, 2, {}, {{kIntervalGroup, 2}});
  const double pooled = Solve(Ids::Width);
  Choose(kShapeUnknown, kInterval, 2, 2, {kUnequalShapes}, {{kIntervalGroup, 2}});
  Set(Ids::Shape1Star, "0.3");
  Set(Ids::Shape2Star, "0.3");
  EXPECT_NEAR(Solve(Ids::Width), pooled, 1e-5);
}

TEST_F(LogNormalDistributionPlanning, PointEstimateWithAnEstimatedShapeIsNotAvailable) {
  Choose(kShapeUnknown, kEstimate, 1);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().text, "Not Available");
  EXPECT_EQ(ui.messages.back().title, kProgramTitle);
  EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
  EXPECT_EQ(s.LastPosition, 1);
  EXPECT_EQ(ListedIds(), (std::vector<int>{0, 1}));
  EXPECT_EQ(s.UnknownPosition, 0);
  s.ResultsCurrent = false;
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::NotCalculable);
  EXPECT_EQ(s.entryAt(0).ParamText, "-");
  EXPECT_EQ(d.CallEvaluateCriterion(), 0.0);
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
}

TEST_F(LogNormalDistributionPlanning, RelativeShapesAndSizesAreCheckedAndNarrowed) {
  Choose(kShapeKnown, kInterval, 2, 2, {}, {{kShape2Group, 2}, {kSize2Group, 1}});
  Set(Ids::Shape1, "0.3");
  Set(Ids::Shape2OverShape1, "0.00002");
  EXPECT_DOUBLE_EQ(Solve(Ids::SampleSize1), kNoResult);
  EXPECT_EQ(ui.LastText(), "Shape 2 / Shape 1 has to be greater than or equal to 0.000033");
  Set(Ids::Shape2OverShape1, "0.5");
  Set(Ids::SampleSize2MinusSize1, "-20");
  // n2 = n1 - 20 stays above 2.00001.
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::SampleSize1));
  ReadParameterValues(s);
  double lo = 3, hi = 99999;
  d.CallSetSearchInterval(lo, hi);
  EXPECT_NEAR(lo, 22.00001, 1e-5);
  // Shape 1 stays where shape 2 = 0.5 shape 1 is within its bounds.
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::Shape1));
  lo = 0.00001;
  d.CallSetSearchInterval(lo, hi);
  EXPECT_NEAR(lo, 0.00002, 1e-9);
  EXPECT_EQ(hi, 99999.0);  // no upper bound to keep
}

TEST_F(LogNormalDistributionPlanning, TestsAreThoseOfTheTestModules) {
  for (int choice : {kShapeKnown, kShapeUnknown}) {
    for (int samples : {1, 2}) {
      SCOPED_TRACE(choice * 10 + samples);
      Choose(choice, kTest, samples);
      const std::vector<int> ids = ListedIds();
      const int p = PositionOf(samples == 1 ? Ids::SampleSize : Ids::SampleSize1);
      s.UnknownPosition = static_cast<std::int16_t>(p);
      s.ResultsCurrent = false;
      CalculateSingle(d);
      const double ours = s.value(p);
      ProcedureModule* test = choice == kShapeKnown
                                  ? static_cast<ProcedureModule*>(d.modules().Find<LogNormalMedian>())
                                  : d.modules().Find<LogNormalT>();
      d.UseModuleForTesting(test);
      d.ApplyOptions();
      EXPECT_EQ(ListedIds(), ids);
      s.ResultsCurrent = false;
      CalculateSingle(d);
      if (!std::isnan(ours)) {
        EXPECT_DOUBLE_EQ(s.value(p), ours);
      }
      EXPECT_EQ(std::isnan(s.value(p)), std::isnan(ours));  // both without a value
      d.UseModuleForTesting(nullptr);
    }
  }
}

class LogNormalGrid : public LogNormalDistributionPlanning {
 protected:
  void Enter(std::vector<std::string> cells) {
    ui.gridScript = [cells](GridEditing& e) {
      e.Key(kGridKeyRight, cells[0]);
      e.Key(kGridKeyRight, cells[1]);
      e.Key(kGridKeyRight, cells[2]);
      e.Ok(cells[3]);
    };
  }
};

TEST_F(LogNormalGrid, PooledShapeOfATwoGroupInterval) {
  Choose(kShapeUnknown, kInterval, 2, 2, {}, {{kSize2Group, 1}});
  Enter({"0.2", "12", "0.4", "18"});
  ASSERT_TRUE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::ShapeStar))));
  EXPECT_EQ(s.grid.title, "Calculation of Shape* (Std. Dev. on elog scale)");
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"Shape", "N"}));
  // math.sqrt((11 * 0.04 + 17 * 0.16) / 28) = 0.3359422
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.3359422, 1e-6);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "12.0");
  EXPECT_EQ(s.entry(Ids::SampleSize2MinusSize1).ParamText, "6.0");
  // Not from another box, nor with separate or known shapes.
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::MedianRatio))));
  Choose(kShapeUnknown, kInterval, 2, 2, {kUnequalShapes});
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::Shape1Star))));
  Choose(kShapeKnown, kInterval, 2);
  EXPECT_FALSE(d.CallOpenGroupGrid(RowOfPosition(PositionOf(Ids::Shape1))));
  EXPECT_EQ(ui.grids, 1);
  // A test hands it to the t test of medians.
  Choose(kShapeUnknown, kTest, 2);
  const int shapeRow = RowOfPosition(PositionOf(LogNormalT::Ids::Shape));
  Enter({"0.2", "12", "0.4", "18"});
  ASSERT_TRUE(d.CallOpenGroupGrid(shapeRow));
  EXPECT_EQ(s.grid.headings, (std::vector<std::string>{"Shape", "N"}));
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.3359422, 1e-6);
}

std::string CliValue(const std::vector<std::string>& args, const std::string& caption) {
  std::ostringstream out, err;
  RunCli(args, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(caption + ":", 0) == 0) {
      const auto v = line.find_first_not_of(' ', caption.size() + 1);
      return v == std::string::npos ? std::string() : line.substr(v);
    }
  }
  return "(none)";
}

TEST_F(LogNormalDistributionPlanning, ResultsAreThoseOfTheCommandLine) {
  Choose(kShapeKnown, kEstimate, 1);
  Set(Ids::RelativeError, "0.1");
  Set(Ids::Shape, "0.3");
  Solve(Ids::SampleSize);
  EXPECT_EQ(CliValue({"--distribution", "1", "--kind", "estimate", "--samples", "1", "--set", "23=0.1",
                      "--set", "27=0.3", "--unknown", "Sample Size"},
                     "Sample Size"),
            s.entry(Ids::SampleSize).ParamText);
  Choose(kShapeUnknown, kInterval, 2, 2, {kUnequalShapes}, {{kIntervalGroup, 1}});
  Set(Ids::MedianRatio, "1.2");
  Set(Ids::UpperLimit, "1.5");
  Solve(Ids::SampleSize1);
  EXPECT_EQ(CliValue({"--distribution", "1", "--parameter", "1", "--kind", "interval", "--option", "14",
                      "--mode", "32=1", "--set", "96=1.2", "--set", "21=1.5", "--unknown", "Sample Size 1"},
                     "Sample Size 1"),
            s.entry(Ids::SampleSize1).ParamText);
  // The point estimate with an estimated shape: the message and no value.
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--distribution", "1", "--parameter", "1", "--kind", "estimate"}, out, err),
            kExitNotCalculable);
  EXPECT_NE(err.str().find("Not Available"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
