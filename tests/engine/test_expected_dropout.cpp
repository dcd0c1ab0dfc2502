// The sizes to recruit for an expected dropout: each whole size divided by
// 1 - dropout and rounded up, with their total, for a test planned by power
// and for an interval; nothing added without a dropout or where none is
// planned for; a dropout out of range refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/planning_settings.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::TestChoice;

struct DropoutRow {
  testing::Choice choice;
  bool byPower;
  testing::Values values;
  int unknown;
  std::string dropout;
  std::vector<double> whole, recruit;
  double recruitTotal;
  std::string line;  // DesignPowerLine
};

class ExpectedDropout : public testing::PlanningTest {
 protected:
  void Run(const DropoutRow& r) {
    Choose(r.choice);
    d.SetPlanByPower(r.byPower);
    d.ApplyOptions();
    s.planning.ExpectedDropout = r.dropout;
    for (const auto& [id, text] : r.values) Set(id, text);
    ASSERT_NE(Solve(r.unknown), kNoResult) << s.Description << ": " << s.ResultRemark;
  }
};

// The unpaired t-test planned for power 0.8: means 0 and 0.5, SD 1, equal
// groups; brentq(power(n) - 0.8) = 63.765610 (see the tests planned by power),
// so 64 per group, power(64) = 0.8014596.
const testing::Choice kUnpaired = TestChoice(Procedure::UnpairedT, 2, 2, {}, {{2, 2}});
const testing::Values kHalfSd = {{86, "0"}, {87, "0.5"}, {111, "1"}, {5, "1"}};

TEST_F(ExpectedDropout, WholeSizesGiveTheSizesToRecruit) {
  const std::string power = "Power of this design: 0.8000; at the whole sample sizes 64 and 64 (128 in all): 0.8015";
  const std::vector<DropoutRow> rows = {
      // 64 / (1 - 0.2) = 80 exactly: no size more than that.
      {kUnpaired, true, kHalfSd, 4, "0.2", {64, 64}, {80, 80}, 160,
       power + "; to recruit for an expected dropout of 0.2: 80 and 80 (160 in all)"},
      // 64 / 0.85 = 75.29 -> 76 per group.
      {kUnpaired, true, kHalfSd, 4, "0,15", {64, 64}, {76, 76}, 152,
       power + "; to recruit for an expected dropout of 0.15: 76 and 76 (152 in all)"},
      // Without a dropout the line is as it always was.
      {kUnpaired, true, kHalfSd, 4, "0", {64, 64}, {}, 0, power},
      // Not planned by power, a test plans for no dropout.
      {kUnpaired, false, kHalfSd, 4, "0.2", {32, 32}, {}, 0,
       "Power of this design: 0.5032; at the whole sample sizes 32 and 32 (64 in all): 0.5036"},
      // ANOVA, 5 groups of 28 (see the tests planned by power): 28 / 0.9 = 31.1 -> 32, 5 x 32 in all.
      {TestChoice(Procedure::Anova, 0, 2), true, {}, 224, "0.1", {28}, {32}, 160,
       "Power of this design: 0.8000; at the whole sample size 28 (140 in all): 0.8030; to recruit for an expected "
       "dropout of 0.1: 32 (160 in all)"},
      // The interval of a mean, SD 0.3 known, 95%, lower limit 0.1 at the mean 0.3: 1.96^2 0.09 / 0.04 = 8.64
      // (norm.isf(0.025)^2 * 0.3^2 / 0.2^2 = 8.643), 9 whole, 9 / 0.8 = 11.25 -> 12.
      {DistChoice(Procedure::NormalDistribution, 0, 2, 1, 2), false, {{20, "0.1"}}, 14, "0.2", {9}, {12}, 12,
       "Whole sample size 9; to recruit for an expected dropout of 0.2: 12"},
      // The same interval without a dropout has no whole sizes and no line.
      {DistChoice(Procedure::NormalDistribution, 0, 2, 1, 2), false, {{20, "0.1"}}, 14, "0", {}, {}, 0, ""},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DropoutRow& r = rows[i];
    SCOPED_TRACE(::testing::Message() << "row " << i + 1);
    Run(r);
    const WholeSizes& w = s.AchievedPower.whole;
    EXPECT_EQ(w.sizes, r.whole) << s.Description;
    EXPECT_EQ(w.recruit, r.recruit) << s.Description;
    if (!r.recruit.empty()) {
      EXPECT_EQ(w.recruitTotal, r.recruitTotal);
    }
    EXPECT_EQ(DesignPowerLine(s.AchievedPower), r.line);
  }
}

TEST_F(ExpectedDropout, ADropoutOutOfRangeIsRefused) {
  for (const std::string text : {"0.95", "-0.1", "a"}) {
    Choose(kUnpaired);
    d.SetPlanByPower(true);
    d.ApplyOptions();
    for (const auto& [id, value] : kHalfSd) Set(id, value);
    s.planning.ExpectedDropout = text;
    ui.messages.clear();
    EXPECT_EQ(Solve(4), kNoResult);
    EXPECT_EQ(ui.LastText(), "The expected dropout \"" + text + "\" is not a number from 0 to 0.9");
  }
  // 0.9 is the largest dropout planned for: 64 / 0.1 = 640.
  s.planning.ExpectedDropout = "0.9";
  EXPECT_NE(Solve(4), kNoResult);
  EXPECT_EQ(s.AchievedPower.whole.recruit, (std::vector<double>{640, 640}));
  // A settings file keeps no line for a dropout of nothing.
  PlanningSettings p;
  for (const std::string none : {"0", "0.0", ""}) {
    p.ExpectedDropout = none;
    EXPECT_EQ(EncodePlanningText(p, 0, 0, true), "") << none;
  }
  p.ExpectedDropout = "0.1";
  EXPECT_EQ(EncodePlanningText(p, 0, 0, true), "dropout=0.1\n");
}

}  // namespace
}  // namespace pelmora
