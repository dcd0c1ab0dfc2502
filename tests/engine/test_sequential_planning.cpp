// Tests planned by power with interim analyses: the maximum size of the
// group-sequential design, any unknown solved by the same criterion, the
// design shown beneath the rows, and plans the checks refuse.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>

#include "engine/simulation.h"
#include "procedures/sequential_criterion.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::TestChoice;

class SequentialPlanning : public testing::PlanningTest {
 protected:
  // The unpaired t-test, two-sided, means 0 and 0.5, SD 1, equal groups,
  // planned for power 0.8 with `interims` interim analyses.
  void UnpairedT(int interims) {
    Choose(TestChoice(Procedure::UnpairedT, 2, 2, {}, {{2, 2}}));
    d.SetPlanByPower(true);
    d.ApplyOptions();
    for (const auto& [id, text] : testing::Values{{86, "0"}, {87, "0.5"}, {111, "1"}, {5, "1"}}) Set(id, text);
    s.InterimCount = static_cast<std::int16_t>(interims);
  }
};

// Jennison and Turnbull (2000), table 2.3: O'Brien-Fleming, 3 analyses, two-sided
// alpha 0.05, power 0.8: R = 1.017406 (to 1e-6 by the exact recursion).
constexpr double kR3 = 1.017406;

TEST_F(SequentialPlanning, MaximumSizeIsTheInflatedFixedSize) {
  UnpairedT(2);
  const double n = Solve(4);
  // 1.017406 x 63.765610 = 64.875; the t statistic needs slightly less.
  EXPECT_NEAR(n / 64.88, 1, 1e-3);
  const DesignPower& p = s.AchievedPower;
  ASSERT_TRUE(p.power && p.sequential);
  EXPECT_NEAR(*p.power, 0.8, 1e-6);
  const SequentialSummary& m = *p.sequential;
  ASSERT_EQ(m.looks.size(), 3u);
  EXPECT_EQ(m.sizes, (std::vector<double>{65, 65}));
  const std::vector<std::vector<double>> looks = {{22, 22}, {44, 44}, {65, 65}};
  for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(m.looks[k].sizes, looks[k]) << "look " << k + 1;
  EXPECT_NEAR(*m.inflation, kR3, 2e-6);
  // O'Brien-Fleming: c_k = C / sqrt(t_k), final C = 2.004 (table 2.3).
  EXPECT_NEAR(m.looks[2].efficacyZ, 2.004, 1e-3);
  EXPECT_NEAR(m.looks[0].efficacyZ * std::sqrt(1.0 / 3), m.looks[2].efficacyZ, 1e-6);
  EXPECT_NEAR(m.looks[2].cumulativeAlpha, 0.05, 1e-6);
  EXPECT_LT(m.expectedH1, m.total);

  // For a z statistic the maximum is exactly R times the fixed size:
  // n = ((norm.isf(0.025) + norm.isf(0.2)) / 1)^2 = 7.848861.
  Choose(DistChoice(Procedure::NormalDistribution, 0, 0, 1, 2));
  d.SetPlanByPower(true);
  d.ApplyOptions();
  s.InterimCount = 2;
  EXPECT_NEAR(Solve(14), kR3 * 7.848861, 2e-5);
}

// The design above simulated at its whole sizes, 65 and 65 with looks after
// 22 and 44 per group (200,000 studies each way): the power within 4
// standard errors of the design's power and the level within 4 of 0.05.
// The rejections at each look and the expected number of subjects lie within
// 4 standard errors of those of the t-test itself, computed outside the
// program by simulating 20,000,000 studies from the exact distributions of
// each look's sufficient statistics (with numpy's default_rng(20261208):
// per group and look the new subjects' mean normal(mu, 1 / sqrt(m)) and
// their sum of squares chisquare(m - 1), pooled into the t statistic of the
// data so far, rejecting where 2 t.sf(|t|, 2n - 2) is at most the look's
// nominal P-value).  At 22 per group the t statistic crosses the first
// boundary less often than the normal approximation of the design says
// (0.0269 against 0.0329), and the studies recruit a little more (110.28
// against 109.35).
TEST_F(SequentialPlanning, SimulatedStudiesReachTheDesignsValues) {
  UnpairedT(2);
  Solve(4);
  SimulationRequest r;
  r.studies = 200000;
  r.threads = 1;
  const std::atomic<bool> cancel{false};
  const SimulationOutcome o = RunSimulation(d, r, cancel);
  ASSERT_TRUE(o.result) << o.error;
  const SimulationResult& res = *o.result;
  const double n = static_cast<double>(r.studies);
  auto within = [n](double estimate, double exact, double sd, const std::string& what) {
    EXPECT_LE(std::fabs(estimate - exact), 4 * sd / std::sqrt(n)) << what << ": " << estimate << " against " << exact;
  };
  auto share = [](double p) { return std::sqrt(p * (1 - p)); };
  ASSERT_TRUE(res.power && res.level && res.analyticPower);
  within(res.power->estimate, *res.analyticPower, share(*res.analyticPower), "power");
  within(res.level->estimate, 0.05, share(0.05), "level");
  const double kRejectAt[3] = {0.026933750000000003, 0.4143929, 0.35945725};
  const double kExpectedTotal = 110.2791957, kTotalSd = 23.25521582821744;
  ASSERT_EQ(res.looks.size(), 3u);
  const std::vector<std::int64_t> sizes[3] = {{22, 22}, {44, 44}, {65, 65}};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(res.looks[k].sizes, sizes[k]);
    within(res.looks[k].rejectH1, kRejectAt[k], share(kRejectAt[k]), "look " + std::to_string(k + 1));
  }
  within(res.expectedTotalH1, kExpectedTotal, kTotalSd, "expected subjects");
  ASSERT_TRUE(res.analyticTotalH1);
  EXPECT_NEAR(*res.analyticTotalH1, kExpectedTotal, 0.01 * kExpectedTotal);
}

TEST_F(SequentialPlanning, EveryUnknownSolvesTheSameCriterion) {
  UnpairedT(2);
  const double n = Solve(4);
  // Typed back, the size gives the requested power; the effect at that size
  // is the one assumed; the level of that design is the one requested.
  s.entry(4).ParamText = std::to_string(n);
  // The requested power stands at position 2.
  s.UnknownPosition = 2;
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved) << s.ResultRemark;
  EXPECT_NEAR(s.value(2), 0.8, 1e-5);
  s.entryAt(2).ParamText = "0.8";
  EXPECT_NEAR(Solve(87), 0.5, 1e-4);
  s.entry(87).ParamText = "0.5";
  s.UnknownPosition = 0;
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved) << s.ResultRemark;
  EXPECT_NEAR(s.value(0), 0.05, 1e-4);
}

TEST_F(SequentialPlanning, WithoutInterimsEveryResultIsTheFixedOne) {
  UnpairedT(0);
  // brentq(power(n) - 0.8) = 63.765610 (the fixed unpaired t-test).
  EXPECT_NEAR(Solve(4), 63.765610, 1e-3);
  EXPECT_FALSE(s.AchievedPower.sequential.has_value());
  // Two one-sided tests keep the fixed design whatever the interim count.
  Choose(TestChoice(Procedure::UnpairedT, 2, 3, {}, {{2, 2}}));
  d.SetPlanByPower(true);
  d.ApplyOptions();
  for (const auto& [id, text] : testing::Values{{86, "0.3"}, {87, "0.3"}, {111, "1"}, {5, "1"}}) Set(id, text);
  s.InterimCount = 2;
  EXPECT_NEAR(Solve(4), 107.731289, 1e-3);
  EXPECT_FALSE(s.AchievedPower.sequential.has_value());
}

TEST_F(SequentialPlanning, BadPlansAreRefusedWithTheirReason) {
  const std::vector<std::pair<std::function<void(PlanningSettings&)>, std::string>> rows = {
      {[](PlanningSettings& p) { p.InformationFractions = "0.5 0.4 1"; }, "rise"},
      {[](PlanningSettings& p) { p.InformationFractions = "0.3 0.6 0.9"; }, "last information fraction"},
      {[](PlanningSettings& p) { p.InformationFractions = "0.5 1"; }, "3 values"},
      {[](PlanningSettings& p) { p.InformationFractions = "0.3 x 1"; }, "not numbers"},
      {[](PlanningSettings& p) {
         p.BoundaryFamily = static_cast<std::int16_t>(sequential::Family::WangTsiatis);
         p.BoundaryParameter = "0.9";
       },
       "Delta"},
      {[](PlanningSettings& p) {
         p.BoundaryFamily = static_cast<std::int16_t>(sequential::Family::HaybittlePeto);
         p.BoundaryParameter = "2";
       },
       "whole alpha"},
  };
  for (const auto& [change, message] : rows) {
    UnpairedT(2);
    s.planning = PlanningSettings();
    change(s.planning);
    ui.messages.clear();
    EXPECT_EQ(Solve(4), kNoResult) << message;
    ASSERT_FALSE(ui.messages.empty()) << message;
    EXPECT_NE(ui.LastText().find(message), std::string::npos) << ui.LastText();
  }
}

}  // namespace
}  // namespace pelmora
