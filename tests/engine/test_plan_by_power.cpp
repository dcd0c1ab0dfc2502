// Tests planned by power: for each kind of statistic one design solved so that
// its power reaches the requested one, against values computed with scipy
// (critical values where the program's own P-value equals alpha), and the
// achieved power of the solved design at its whole sample sizes.
#include <gtest/gtest.h>

#include <vector>

#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::TestChoice;

struct ByPowerRow {
  testing::Choice choice;
  bool byPower;
  testing::Values values;
  int unknown;
  double expected, tolerance;
  std::vector<double> wholeSizes;  // empty: the unknown is no sample size
  double designPower;              // at the whole sizes, or at the solved value without them
};

class PlanByPower : public testing::PlanningTest {};

TEST_F(PlanByPower, EachKindOfStatisticReachesTheRequestedPower) {
  // Unpaired t-test, means 0 and 0.5, SD 1, Sample Size 2 / Sample Size 1 = 1.
  const testing::Choice unpaired = TestChoice(Procedure::UnpairedT, 2, 2, {}, {{2, 2}});
  const testing::Values effect = {{86, "0"}, {87, "0.5"}, {111, "1"}, {5, "1"}};
  const std::vector<ByPowerRow> rows = {
      // power(n) = nct.sf(c, 2n - 2, 0.5 / sqrt(2 / n)) + nct.cdf(-c, ...), c = t.isf(0.025, 2n - 2):
      // brentq(power(n) - 0.8) = 63.765610; power(64) = 0.8014596
      {unpaired, true, effect, 4, 63.765610, 1e-3, {64, 64}, 0.8014596},
      // Just significant: brentq(2 t.sf(0.5 / sqrt(2 / n), 2n - 2) - 0.05) = 31.968395; power(32) = 0.5036382
      {unpaired, false, effect, 4, 31.968395, 1e-3, {32, 32}, 0.5036382},
      // The Power as the unknown at 64 per group: power(64) = 0.8014596
      {unpaired, true, {{86, "0"}, {87, "0.5"}, {111, "1"}, {4, "64"}, {5, "1"}}, 1, 0.8014596, 1e-6, {}, 0.8014596},
      // ANOVA, 5 groups, SD of means 0.1, SD 0.3: ncf.sf(f.isf(0.05, 4, 5(n - 1)), 4, 5(n - 1), 4 n 0.1^2 / 0.3^2)
      // = 0.8 at n = 27.819714; at 28: 0.8030015
      {TestChoice(Procedure::Anova, 0, 2), true, {}, 224, 27.819714, 1e-3, {28}, 0.8030015},
      // SD test (mean known), H0 1, SD* 1.2, one-sided: chi2.sf(c / 1.44, n), c the Wilson-Hilferty quantile
      // n (1 - s + norm.isf(0.05) sqrt(s))^3, s = 2 / (9 n), of the test's P-value: 0.8 at n = 90.081284
      {DistChoice(Procedure::NormalDistribution, 2, 0, 1, 1), true, {}, 14, 90.081284, 1e-3, {91}, 0.8032742},
      // Chi2 homogeneity, w 0.1, 7 categories, 5 groups, df 24: ncx2.sf(c, 24, 0.1^2 5 n), c the Wilson-Hilferty
      // quantile as above: 0.8 at n = 449.545074
      {TestChoice(Procedure::ChiSquareHomogeneity, 0, 2), true, {{223, "0.1"}, {201, "7"}}, 224, 449.545074, 1e-2, {450}, 0.8005343},
      // z test, mean* 0.3, SD 0.3: norm.sf(c - sqrt(n)) + norm.cdf(-c - sqrt(n)), c = norm.isf(0.025): n = 7.848861
      {DistChoice(Procedure::NormalDistribution, 0, 0, 1, 2), true, {}, 14, 7.848861, 1e-4, {8}, 0.8074308},
      // Fisher one-sided, 0.5 and 0.7, equal sizes: sum of binom.pmf(i, n, 0.5) binom.pmf(j, n, 0.7) over
      // hypergeom.sf(j - 1, 2n, i + j, n) <= 0.05: 0.798208 at 83, 0.8052197 at 84, rising to 99
      {TestChoice(Procedure::FisherExact, 2, 1, {}, {{2, 2}}), true, {{69, "0.7"}}, 4, 84, 0, {84, 84}, 0.8052197},
      // Two one-sided t-tests, limits -0.4 and 0.4, means 0.3 and 0.3, SD 1: integral over v ~ chi2(2n - 2) of
      // norm.cdf((0.4 - c se sqrt(v / df)) / se) - norm.cdf((-0.4 + c se sqrt(v / df)) / se), se = sqrt(2 / n),
      // c = t.isf(0.05, 2n - 2): 0.8 at n = 107.731289; at 108: 0.8012854
      {TestChoice(Procedure::UnpairedT, 2, 3, {}, {{2, 2}}), true, {{86, "0.3"}, {87, "0.3"}, {111, "1"}, {5, "1"}}, 4, 107.731289,
       1e-3, {108, 108}, 0.8012854},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ByPowerRow& r = rows[i];
    SCOPED_TRACE(::testing::Message() << "row " << i + 1);
    Choose(r.choice);
    d.SetPlanByPower(r.byPower);
    d.ApplyOptions();
    // Planned by power, the requested power stands beneath the P-value.
    EXPECT_EQ(s.ParameterList[2] == 1, r.byPower);
    for (const auto& [id, text] : r.values) Set(id, text);
    // The requested power (id 1) is solved at its row, position 2.
    s.UnknownPosition = static_cast<std::int16_t>(r.unknown == 1 ? 2 : PositionOf(r.unknown));
    s.ResultsCurrent = false;
    ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved) << s.Description << ": " << s.ResultRemark;
    EXPECT_NEAR(s.value(s.UnknownPosition), r.expected, r.tolerance) << s.Description;
    const DesignPower& p = s.AchievedPower;
    ASSERT_TRUE(p.power.has_value());
    EXPECT_EQ(p.whole.sizes, r.wholeSizes);
    if (r.wholeSizes.empty()) {
      EXPECT_NEAR(*p.power, r.designPower, 1e-6);
    } else {
      ASSERT_TRUE(p.whole.power.has_value());
      EXPECT_NEAR(*p.whole.power, r.designPower, 1e-4);
    }
    // A design solved by power has the requested power at the solved value.
    if (r.byPower && r.unknown != 1 && r.tolerance > 0) {
      EXPECT_NEAR(*p.power, 0.8, 1e-6);
    }
  }
}

}  // namespace
}  // namespace pelmora
