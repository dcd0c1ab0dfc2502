// The settings of a power curve: the power over the first sample size from
// half to twice its value, the assumed effect at 0.75, 1 and 1.25 times
// itself in the form it is entered.
#include <gtest/gtest.h>

#include <string>

#include "engine/power_curve.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/student_t.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;
using testing::TestChoice;

class PowerCurve : public testing::PlanningTest {};

TEST_F(PowerCurve, TheEffectIsScaledInTheFormItIsEntered) {
  struct Row {
    testing::Choice choice;
    testing::Values values;
    int sizeId;
    int effectId;
    std::string xMin, xMax, xStep, zValues;
  };
  const std::vector<Row> rows = {
      // One sample: the mean of the differences' distance to the null value 0.1.
      {TestChoice(Procedure::PairedT, 0, 2), {{Ids::H0MeanOfDiff, "0.1"}, {Ids::MeanOfDiff, "0.5"}, {Ids::SampleSize, "40"}},
       Ids::SampleSize, Ids::MeanOfDiff, "20", "80", "3", "0.4 0.5 0.6"},
      // The difference of two means as itself.
      {TestChoice(Procedure::UnpairedT, 2, 2, {}, {{group::Mean2, 1}}), {{Ids::Diff, "0.4"}, {Ids::SampleSize1, "25"}},
       Ids::SampleSize1, Ids::Diff, "12.5", "50", "1.875", "0.3 0.4 0.5"},
      // Their ratio as its distance to 1.
      {TestChoice(Procedure::UnpairedT, 2, 2, {}, {{group::Mean2, 2}}), {{Ids::Mean2OverMean1, "1.4"}},
       Ids::SampleSize1, Ids::Mean2OverMean1, "15", "60", "2.25", "1.3 1.4 1.5"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.effectId);
    Enter(row.choice, row.values);
    ASSERT_TRUE(OffersPowerCurve(s));
    std::string why;
    const std::optional<WindowSettings> r = PowerCurveSettings(d, why);
    ASSERT_TRUE(r.has_value()) << why;
    EXPECT_EQ(r->kind, static_cast<std::int16_t>(WindowKind::Graph));
    EXPECT_EQ(r->PlanByPower, kTrue);
    EXPECT_EQ(r->UnknownPosition, 2);
    EXPECT_EQ(r->xId, row.sizeId);
    EXPECT_EQ(r->zId, row.effectId);
    EXPECT_EQ(r->xMin, row.xMin);
    EXPECT_EQ(r->xMax, row.xMax);
    EXPECT_EQ(r->xStep, row.xStep);
    EXPECT_EQ(r->zValues, row.zValues);
    // The session itself is not planned by power.
    EXPECT_EQ(s.PlanByPower, kFalse);
  }
  // A sample size without a value says so.
  Enter(TestChoice(Procedure::PairedT, 0, 2), {{Ids::SampleSize, "-"}});
  std::string why;
  EXPECT_FALSE(PowerCurveSettings(d, why).has_value());
  EXPECT_EQ(why, "Sample Size has no value");
  // A confidence interval has none.
  ChooseDistribution(Procedure::NormalDistribution, 0, 2, 1, 2);
  EXPECT_FALSE(OffersPowerCurve(s));
}

}  // namespace
}  // namespace pelmora
