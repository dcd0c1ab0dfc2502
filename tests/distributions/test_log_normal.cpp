// The log-normal sample distribution: the criteria and solves of the point
// estimate and the intervals, "Not Available" for the point estimate with an
// estimated shape, the checks of relative shapes and sizes, and the grid of a
// two-group interval.
//
// Reference values come from scipy 1.10 (Debian's python3-scipy).  The normal
// quantile of an interval is accurate (about 1e-7), so those references use
// scipy's q = norm.isf(0.025) = 1.959964.  Student's quantile is the program's
// prescribed approximation, Abramowitz and Stegun 26.7.5 on the normal
// quantile of 26.2.23 (error up to 4.5e-4): those references evaluate the same
// formulas in Python ("AS"), with scipy's exact value beside them, and hold
// only within that approximation's tolerance.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "procedures/distributions/log_normal.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "session/calculation_rows.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = LogNormalDistribution::Ids;
using testing::kAnyEnd;
using testing::kCriterion;

constexpr Procedure kLogNormal = Procedure::LogNormalDistribution;
constexpr int kTest = 0, kEstimate = 1, kInterval = 2;
constexpr int kShapeKnown = 0, kShapeUnknown = 1;
constexpr int kSize2Group = 2, kShape2Group = 31, kIntervalGroup = 32;
constexpr int kGroups = 5, kUnequalShapes = 14;

testing::Choice Ln(int choice, int kind, int samples, int tails = 2, std::vector<int> options = {},
                   testing::Forms forms = {}) {
  return testing::DistChoice(kLogNormal, choice, kind, samples, tails, std::move(options), std::move(forms));
}
testing::Choice Limit(int limit) { return Ln(kShapeKnown, kInterval, 1, 2, {}, {{kIntervalGroup, limit}}); }

class LogNormalDistributionPlanning : public testing::PlanningTest {};

// clang-format off
TEST_F(LogNormalDistributionPlanning, References) {
  const testing::Values upper = {{Ids::Median, "1.2"}, {Ids::Shape, "0.3"}, {Ids::UpperLimit, "1.3"}};
  ExpectReferences({
    // the relative error of a median is not symmetric: root of norm.cdf(ln(1.1) sqrt(n) / 0.3) -
    // norm.cdf(ln(0.9) sqrt(n) / 0.3) = 0.95 (with ln 1.1 on both sides it would be 38.05924); one tail uses
    // only the upper side, norm.cdf(ln(1.1) sqrt(n) / 0.3) = 0.95; two samples of equal size and shape 0.3:
    // se = 0.3 sqrt(2 / n1)
    {Ln(kShapeKnown, kEstimate, 1, 2), {{Ids::RelativeError, "0.1"}, {Ids::Shape, "0.3"}}, Ids::SampleSize,
     34.67608, 2e-3},
    {Ln(kShapeKnown, kEstimate, 1, 1), {{Ids::UpperRelativeError, "0.1"}}, Ids::SampleSize, 26.80516, 2e-3},
    {Ln(kShapeKnown, kEstimate, 2, 2, {}, {{kSize2Group, 2}}), {{Ids::RelativeError, "0.1"},
     {Ids::Shape1, "0.3"},
     {Ids::Shape2, "0.3"}, {Ids::SampleSize2OverSize1, "1"}}, Ids::SampleSize1, 69.35216, 5e-3},
    // 1.2 exp(q 0.3 / sqrt(n)) = 1.3: n = (q 0.3 / ln(1.3 / 1.2))^2; the upper limit rises with the shape and
    // falls with the sample size: 1.2 exp(q s / sqrt(n)) - 1.3 at (0.3, 40), (0.4, 40), (0.3, 80)
    {Limit(1), upper, Ids::SampleSize, 53.96288, 5e-3},
    {Limit(1), {{Ids::Median, "1.2"}, {Ids::Shape, "0.3"}, {Ids::UpperLimit, "1.3"}, {Ids::SampleSize, "40"}},
     kCriterion, 0.01691359298763917, 1e-6},
    {Limit(1), {{Ids::Median, "1.2"}, {Ids::Shape, "0.4"}, {Ids::UpperLimit, "1.3"}, {Ids::SampleSize, "40"}},
     kCriterion, 0.05836335993615904, 1e-6},
    {Limit(1), {{Ids::Median, "1.2"}, {Ids::Shape, "0.3"}, {Ids::UpperLimit, "1.3"}, {Ids::SampleSize, "80"}},
     kCriterion, -0.018462220162877463, 1e-6},
    // the median and the shape for an upper limit of 1.3 at n = 40: 1.3 / exp(q 0.3 / sqrt(40)) and
    // ln(1.3 / 1.2) sqrt(40) / q
    {Limit(1), {{Ids::Shape, "0.3"}, {Ids::UpperLimit, "1.3"}, {Ids::SampleSize, "40"}},
     Ids::Median, 1.184588, 3e-6},
    {Limit(1), {{Ids::Median, "1.2"}, {Ids::UpperLimit, "1.3"}, {Ids::SampleSize, "40"}},
     Ids::Shape, 0.2582877, 2e-6},
    // n = (q 0.3 / ln(1.2 / 1.1))^2; brentq(lambda n: 1.2 (exp(q 0.3 / sqrt(n)) - exp(-q 0.3 / sqrt(n))) -
    // 0.2,
    // 3, 1e4)
    {Limit(0), {{Ids::Median, "1.2"}, {Ids::Shape, "0.3"}, {Ids::LowerLimit, "1.1"}},
     Ids::SampleSize, 45.66533, 5e-3},
    {Limit(2), {{Ids::Median, "1.2"}, {Ids::Shape, "0.3"}, {Ids::Width, "0.2"}},
     Ids::SampleSize, 49.90039, 5e-3},
    // an estimated shape: 1.2 exp(tq(0.975, n - 1) 0.3 / sqrt(n)) = 1.3: 56.42379 (AS); scipy t 56.39922; two
    // samples of 10 with k = 3 groups: df = 9 + 2 x 9 = 27, as the t test of medians:
    // 1.2 (exp(tq 0.3 sqrt(0.2)) - exp(-tq 0.3 sqrt(0.2))) (AS)
    {Ln(kShapeUnknown, kInterval, 1, 2, {}, {{kIntervalGroup, 1}}), {{Ids::Median, "1.2"},
     {Ids::ShapeStar, "0.3"}, {Ids::UpperLimit, "1.3"}}, Ids::SampleSize, 56.42379, 0.01},
    {Ln(kShapeUnknown, kInterval, 2, 2, {kGroups}, {{kIntervalGroup, 2}}), {{Ids::MedianRatio, "1.2"},
     {Ids::ShapeStar, "0.3"}, {Ids::SampleSize1, "10"}, {Ids::SampleSize2, "10"}, {Ids::NoOfGroups, "3"}},
     Ids::Width, 0.6692147, 2e-5},
    {Ln(kShapeKnown, kInterval, 2, 2, {}, {{kShape2Group, 2}, {kSize2Group, 1}}), {{Ids::Shape1, "0.3"},
     {Ids::Shape2OverShape1, "0.00002"}}, Ids::SampleSize1, kNoResult, 0,
     "Shape 2 / Shape 1 has to be greater than or equal to 0.000033"},
  });
  // n2 = n1 - 20 stays above 2.00001; shape 1 stays where shape 2 = 0.5 shape 1 is within its bounds, with no
  // upper bound to keep.
  const testing::Values relative = {{Ids::Shape1, "0.3"}, {Ids::Shape2OverShape1, "0.5"},
                                    {Ids::SampleSize2MinusSize1, "-20"}};
  ExpectIntervals({
    {Ln(kShapeKnown, kInterval, 2, 2, {}, {{kShape2Group, 2}, {kSize2Group, 1}}), relative, Ids::SampleSize1,
     22.00001, kAnyEnd, 1e-5},
    {Ln(kShapeKnown, kInterval, 2, 2, {}, {{kShape2Group, 2}, {kSize2Group, 1}}),
     relative, Ids::Shape1, 0.00002, 99999, 1e-9},
  });
}
// clang-format on

TEST_F(LogNormalDistributionPlanning, UnequalShapesEqualToEachOtherGiveThePooledWidth) {
  // Satterthwaite's df is the pooled 2 (n - 1).
  const testing::Values values = {{Ids::MedianRatio, "1.2"}, {Ids::SampleSize1, "10"},
   {Ids::SampleSize2, "10"}};
  Enter(Ln(kShapeUnknown, kInterval, 2, 2, {}, {{kIntervalGroup, 2}}), values);
  Set(Ids::ShapeStar, "0.3");
  const double pooled = Solve(Ids::Width);
  Enter(Ln(kShapeUnknown, kInterval, 2, 2, {kUnequalShapes}, {{kIntervalGroup, 2}}), values);
  Set(Ids::Shape1Star, "0.3");
  Set(Ids::Shape2Star, "0.3");
  EXPECT_NEAR(Solve(Ids::Width), pooled, 1e-5);
}

TEST_F(LogNormalDistributionPlanning, PointEstimateWithAnEstimatedShapeIsNotAvailable) {
  Choose(Ln(kShapeUnknown, kEstimate, 1));
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().text, "Not Available");
  EXPECT_EQ(ui.messages.back().title, kProgramTitle);
  EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
  EXPECT_EQ(s.LastPosition, 1);
  EXPECT_EQ(s.UnknownPosition, 0);
  s.ResultsCurrent = false;
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::NotCalculable);
  EXPECT_EQ(s.entryAt(0).ParamText, "-");
  EXPECT_EQ(d.CallEvaluateCriterion(), 0.0);
  EXPECT_FALSE(d.CallOpenGroupGrid(0));
}

TEST_F(LogNormalDistributionPlanning, PooledShapeOfATwoGroupInterval) {
  auto type = [this] {
    ui.gridScript = [](GridEditing& e) {
      for (const char* cell : {"0.2", "12", "0.4"}) e.Key(kGridKeyRight, cell);
      e.Ok("18");
    };
  };
  auto row = [this](int id) { return RowOfPosition(PositionOf(id)); };
  Choose(Ln(kShapeUnknown, kInterval, 2, 2, {}, {{kSize2Group, 1}}));
  type();
  ASSERT_TRUE(d.CallOpenGroupGrid(row(Ids::ShapeStar)));
  EXPECT_EQ(s.grid.title, "Calculation of Shape* (Std. Dev. on elog scale)");
  // math.sqrt((11 * 0.04 + 17 * 0.16) / 28) = 0.3359422
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.3359422, 1e-6);
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "12.0");
  EXPECT_EQ(s.entry(Ids::SampleSize2MinusSize1).ParamText, "6.0");
  // Not from another box, nor with separate or known shapes.
  EXPECT_FALSE(d.CallOpenGroupGrid(row(Ids::MedianRatio)));
  Choose(Ln(kShapeUnknown, kInterval, 2, 2, {kUnequalShapes}));
  EXPECT_FALSE(d.CallOpenGroupGrid(row(Ids::Shape1Star)));
  Choose(Ln(kShapeKnown, kInterval, 2));
  EXPECT_FALSE(d.CallOpenGroupGrid(row(Ids::Shape1)));
  EXPECT_EQ(ui.grids, 1);
  // A test hands it to the t test of medians.
  Choose(Ln(kShapeUnknown, kTest, 2));
  type();
  ASSERT_TRUE(d.CallOpenGroupGrid(row(LogNormalT::Ids::Shape)));
  EXPECT_NEAR(d.CallApplyGroupGrid(), 0.3359422, 1e-6);
}

}  // namespace
}  // namespace pelmora
