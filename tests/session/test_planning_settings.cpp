// The planning settings a settings file keeps after the plan-by-power flag:
// interim analyses, dropout and simulation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/planning_settings.h"
#include "session/settings_record.h"

namespace pelmora {
namespace {

WindowSettings WithInterims() {
  WindowSettings r;
  r.title = "Calculation 1";
  r.InterimCount = 2;
  r.PlanByPower = kTrue;
  r.planning.BoundaryFamily = static_cast<std::int16_t>(sequential::Family::KimDeMetsSpending);
  r.planning.BoundaryParameter = "2,5";
  r.planning.FutilityFamily = static_cast<std::int16_t>(sequential::Family::PocockSpending);
  r.planning.BindingFutility = kTrue;
  r.planning.InformationFractions = "0.3 0.6 1";
  r.planning.ExpectedDropout = "0.15";
  return r;
}

TEST(PlanningSettings, ReadBackAndWrittenOnlyWhereNeeded) {
  std::string why;
  const WindowSettings r = WithInterims();
  const auto bytes = EncodeSettingsRecord(r);
  ASSERT_TRUE(bytes);
  const auto back = DecodeSettingsRecord(*bytes, why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(back->planning, r.planning);

  // Not planned by power: the interim settings are not kept, the dropout is,
  // and the flag is written as 0 before it.
  WindowSettings plain = r;
  plain.PlanByPower = kFalse;
  const auto plainBack = DecodeSettingsRecord(*EncodeSettingsRecord(plain), why);
  ASSERT_TRUE(plainBack) << why;
  EXPECT_EQ(plainBack->PlanByPower, kFalse);
  EXPECT_EQ(plainBack->planning.BoundaryFamily, PlanningSettings().BoundaryFamily);
  EXPECT_EQ(plainBack->planning.ExpectedDropout, "0.15");

  // Without interims and dropout nothing follows the flag: the record is that
  // of a design without planning settings, byte for byte.
  WindowSettings none = r;
  none.InterimCount = 0;
  none.planning.ExpectedDropout = "0";
  WindowSettings bare = none;
  bare.planning = PlanningSettings();
  EXPECT_EQ(*EncodeSettingsRecord(none), *EncodeSettingsRecord(bare));
  none.PlanByPower = kFalse;
  bare.PlanByPower = kFalse;
  EXPECT_EQ(*EncodeSettingsRecord(none), *EncodeSettingsRecord(bare));

  // A Monte Carlo window keeps its interims without being planned by power,
  // and what it simulates.
  EXPECT_TRUE(KeepsInterimSettings(3, 1, false));
  PlanningSettings sim;
  sim.SimulationStudies = "100000";
  sim.SimulationSeed = "42";
  sim.SimulationHalfWidth = "0.005";
  sim.SimulationData = static_cast<std::int16_t>(DataModel::kT3);
  PlanningSettings read;
  ASSERT_TRUE(DecodePlanningText(EncodePlanningText(sim, 3, 0, false), read, why)) << why;
  EXPECT_EQ(read, sim);
  EXPECT_EQ(EncodePlanningText(sim, 0, 0, false), "");
}

TEST(PlanningSettings, RefusedTexts) {
  struct Row {
    std::string text;
    std::string why;
  };
  const std::vector<Row> rows = {
      {"boundary\n", "its planning settings hold a line without \"=\""},
      {"seed=1\nseed=2\n", "its planning settings give \"seed\" twice"},
      {"colour=red\n", "its planning settings name \"colour\", which this program does not know"},
      {"boundary=Fleming\n",
       "its planning setting \"boundary\" is \"Fleming\", which is not a boundary family of this program"},
      {"boundary=None\n",
       "its planning setting \"boundary\" is \"None\", which is not a boundary family of this program"},
      {"binding=-1\n", "its planning setting \"binding\" is \"-1\", neither 0 nor 1"},
      {"fractions=0.5 x 1\n",
       "its planning setting \"fractions\" is \"0.5 x 1\", which is not a number as it can be typed"},
      {"dropout=\n", "its planning setting \"dropout\" is \"\", which is not a number as it can be typed"},
      {"data=gamma\n",
       "its planning setting \"data\" is \"gamma\", which is not a model of the data of this program"},
  };
  for (const Row& row : rows) {
    PlanningSettings p;
    std::string why;
    EXPECT_FALSE(DecodePlanningText(row.text, p, why)) << row.text;
    EXPECT_EQ(why, row.why) << row.text;
  }
  PlanningSettings p;
  std::string why;
  EXPECT_TRUE(DecodePlanningText("futility=None\nfractions=\nhalf width=\n", p, why)) << why;
}

}  // namespace
}  // namespace pelmora
