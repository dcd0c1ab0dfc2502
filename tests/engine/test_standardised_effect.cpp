// The standardised effect of a test design beside its power: one design of
// each kind of effect, against values computed with numpy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::TestChoice;

struct EffectRow {
  testing::Choice choice;
  testing::Values values;
  std::string name;  // empty: the design defines no standardised effect
  double value;
};

class StandardisedEffects : public testing::PlanningTest {};

TEST_F(StandardisedEffects, EachKindFollowsFromTheAssumedValues) {
  const std::vector<EffectRow> rows = {
      // (0.40 - 0.30) / 1.2 = 0.0833333
      {TestChoice(Procedure::UnpairedT, 2, 2), {}, "d", 0.0833333},
      // Unequal SDs 1 and 2: 0.5 / sqrt((1 + 4) / 2) = 0.3162278
      {TestChoice(Procedure::UnpairedT, 2, 2, {12}), {{86, "0"}, {87, "0.5"}, {139, "1"}, {140, "2"}}, "d", 0.3162278},
      // SD of the means 0.1 over the residual SD 0.3 = 0.3333333
      {TestChoice(Procedure::Anova, 0, 2), {}, "f", 0.3333333},
      // The SD of the proportions itself
      {TestChoice(Procedure::ChiSquareHomogeneity, 0, 2), {}, "w", 0.3},
      // arctanh(0.5) - arctanh(0.3) = 0.2397865
      {TestChoice(Procedure::CorrelationCoefficient, 2, 2), {}, "q", 0.2397865},
      // 0.7 * 0.5 / (0.5 * 0.3) = 2.3333333
      {TestChoice(Procedure::FisherExact, 2, 2), {{69, "0.7"}}, "odds ratio", 2.3333333},
      // 2 arcsin(sqrt(0.7)) - 2 arcsin(sqrt(0.5)) = 0.4115168
      {DistChoice(Procedure::BinomialDistribution, 0, 0, 2, 2), {{69, "0.7"}}, "h", 0.4115168},
      // Two one-sided tests of equivalence: no single effect
      {TestChoice(Procedure::UnpairedT, 2, 3), {}, "", 0},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const EffectRow& r = rows[i];
    SCOPED_TRACE(::testing::Message() << "row " << i + 1);
    Choose(r.choice);
    d.ApplyOptions();
    for (const auto& [id, text] : r.values) Set(id, text);
    s.UnknownPosition = 0;
    s.ResultsCurrent = false;
    ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved) << s.Description << ": " << s.ResultRemark;
    const DesignPower& p = s.AchievedPower;
    ASSERT_TRUE(p.power.has_value()) << s.Description;
    if (r.name.empty()) {
      EXPECT_FALSE(p.effect.has_value()) << s.Description;
      EXPECT_EQ(EffectLine(p), "");
      continue;
    }
    ASSERT_TRUE(p.effect.has_value()) << s.Description;
    EXPECT_EQ(p.effect->name, r.name);
    EXPECT_NEAR(p.effect->value, r.value, 1e-6) << s.Description;
  }
}

}  // namespace
}  // namespace pelmora
