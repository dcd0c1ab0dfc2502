// The settings of a Monte Carlo window: its file saved and opened again as a
// Monte Carlo window with what it simulates, and the request its settings
// make (or why they make none).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "engine/settings_apply.h"
#include "engine/simulation.h"
#include "session/settings_file.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using MonteCarloSettings = testing::PlanningTest;

TEST_F(MonteCarloSettings, AFileOfTheWindowOpensAsAMonteCarloWindowWithItsSettings) {
  OpenWindowRecord(s, WindowKind::MonteCarlo);
  Choose(testing::TestChoice(Procedure::UnpairedT, 2, 2));
  s.InterimCount = 2;
  s.planning.SimulationStudies = "50000";
  s.planning.SimulationHalfWidth = "0.004";
  s.planning.SimulationSeed = "77";
  s.planning.SimulationData = static_cast<std::int16_t>(DataModel::kUniform);
  s.planning.ExpectedDropout = "0.1";
  CalculateSingle(d);
  // As a click on a caption of its rows leaves the axes.
  s.XPosition = s.ZPosition = 1;
  StoreWindowSettings(s);
  const WindowSettings saved = s.records[1];
  EXPECT_EQ(ProposedSettingsFileName(saved), "Monte1.dim");
  const auto path =
      std::filesystem::temp_directory_path() / ("pelmora-monte-" + std::to_string(getpid()) + ".dim");
  ASSERT_TRUE(WriteSettingsFile(s, path.string())) << ui.LastText();

  RecordingUserInterface other;
  Session opened(other);
  Dispatcher od(opened);
  const int record = OpenSettingsFile(od, path.string());
  std::filesystem::remove(path);
  ASSERT_GT(record, 0) << other.LastText();
  const WindowSettings& r = opened.records[static_cast<std::size_t>(record)];
  EXPECT_EQ(r.kind, static_cast<std::int16_t>(WindowKind::MonteCarlo));
  EXPECT_EQ(r.title, "Monte Carlo 1");
  EXPECT_EQ(opened.MonteNumber, 1);
  EXPECT_EQ(r.planning, saved.planning);
  EXPECT_EQ(r.InterimCount, 2);
  EXPECT_EQ(r.valueTexts, saved.valueTexts);
  EXPECT_EQ(opened.TestName, s.TestName);
  std::string why;
  const std::optional<SimulationRequest> q = SimulationRequestOf(opened.planning, why);
  ASSERT_TRUE(q) << why;
  EXPECT_EQ(q->studies, 50000);
  EXPECT_EQ(q->halfWidth, 0.004);
  EXPECT_EQ(q->seed, 77u);
  EXPECT_EQ(q->data, DataModel::kUniform);
  EXPECT_EQ(q->dropout, 0.1);
}

TEST(MonteCarloRequest, SettingsThatMakeNoRequest) {
  const struct {
    const char* studies;
    const char* halfWidth;
    const char* seed;
    std::int16_t data;
    const char* dropout;
    const char* why;
  } rows[] = {
      {"99", "", "1", 0, "0", "the number of simulated studies must be from 100 to 10000000"},
      {"10000001", "", "1", 0, "0", "the number of simulated studies must be from 100 to 10000000"},
      {"1e4", "", "1", 0, "0", "the number of simulated studies must be a whole number from 100 to 10000000"},
      {"1000", "0.5", "1", 0, "0", "the half-width of the power's interval must lie between 0 and 0.5"},
      {"1000", "x", "1", 0, "0", "the half-width of the power's interval must be a number between 0 and 0.5"},
      {"1000", "", "-1", 0, "0", "the seed must be a whole number of 0 or more"},
      {"1000", "", "1", 4, "0", "the data model is not one this program simulates"},
      {"1000", "", "1", 0, "0.95", "the dropout rate must lie in [0, 0.9]"},
  };
  for (const auto& row : rows) {
    PlanningSettings p;
    p.SimulationStudies = row.studies;
    p.SimulationHalfWidth = row.halfWidth;
    p.SimulationSeed = row.seed;
    p.SimulationData = row.data;
    p.ExpectedDropout = row.dropout;
    std::string why;
    EXPECT_FALSE(SimulationRequestOf(p, why)) << row.why;
    EXPECT_EQ(why, row.why);
  }
  std::string why;
  const auto defaults = SimulationRequestOf(PlanningSettings{}, why);
  ASSERT_TRUE(defaults) << why;
  EXPECT_EQ(defaults->studies, 10000);
  EXPECT_FALSE(defaults->halfWidth);
  EXPECT_EQ(defaults->seed, 1u);
  EXPECT_EQ(defaults->data, DataModel::kNormal);
  EXPECT_EQ(defaults->dropout, 0);
}

}  // namespace
}  // namespace pelmora
