// The power of every kind of test at a design, against scipy 1.10 (Debian's
// python3-scipy).  Each row names the selection, the values by list position
// (position 1, the power asked for, is not read) and the scipy expression.
// exact(n, p, pv) is the sum of binom.pmf(k, n, p) over the k with pv(k) <=
// alpha; bt(k) = 2 min(binom.cdf(k, n, .5), binom.sf(k - 1, n, .5)).
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "numeric/root.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

class PowerOfTests : public testing::PlanningTest {
 protected:
  struct Selection {
    Procedure procedure;
    int choice, samples, tails;
    bool left;
    std::vector<int> options;
  };
  void Choose(const Selection& c) {
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.Select(c.procedure);
    if (RowOf(c.procedure).menu == Menu::Distributions) {
      d.SetParameterChoice(c.choice);
      d.SetProcedureKind(0);
    }
    if (c.samples > 0) d.SetSampleCount(c.samples);
    d.SetTailCount(c.tails);
    d.SetRejectInLeftTail(c.left);
    for (int o : c.options) d.SetOption(o, true);
    d.ApplyOptions();
  }
  std::optional<double> PowerAt(const std::vector<double>& values) {
    EXPECT_EQ(static_cast<int>(values.size()), s.LastPosition + 1);
    for (std::size_t p = 0; p < values.size(); ++p) s.ParameterValues[p] = values[p];
    return d.CallEvaluatePower();
  }
};

// Option ids: 1 continuity correction, 7 exact calculation.
TEST_F(PowerOfTests, EachKindOfStatisticAgreesWithScipy) {
  struct Row {
    const char* source;
    Selection selection;
    std::vector<double> values;
    double expected, tolerance;
  };
  const std::vector<Row> rows = {
      // t statistics: nct with t.ppf as the critical value.
      {"unpaired t: nct.sf(c, 126, .5/sqrt(2/64)) + nct.cdf(-c, ...), c = t.ppf(.975, 126)",
       {Procedure::UnpairedT, 0, 0, 2, false, {}},
       {0.05, 0, 0, 0, 0.5, 1, 64, 64},
       0.8014595579287099,
       1e-6},
      {"paired t, left tail: nct.cdf(t.ppf(.025, 29), 29, -.4 sqrt(30))",
       {Procedure::PairedT, 0, 0, 1, true, {}},
       {0.025, 0, 0, -0.4, 1, 30},
       0.5627912282286882,
       1e-6},
      {"regression: nct.sf(t.ppf(.95, 28), 28, .5 sqrt(29))",
       {Procedure::RegressionCoefficient, 0, 1, 1, false, {}},
       {0.05, 0, 0, 0.5, 1, 1, 30},
       0.836889982578825,
       1e-6},
      // Two one-sided t tests: ratio .95, residual SD .2, n 24, df 22.00001.
      {"bioequivalence: tost(df, ln(.95/.8)/se, t.ppf(.95, df), ln(.95/1.25)/se, -t.ppf(.95, df))",
       {Procedure::Bioequivalence, 0, 0, 3, false, {}},
       {0.05, 0, 0.8, 1.25, 1, 0.95, 0.2, 24},
       0.8906242442306157,
       1e-6},
      // Noncentral F: lambda = (k - 1) n s_m^2 / sigma^2 = 10.
      {"ANOVA: ncf.sf(f.ppf(.95, 2, 57), 2, 57, 10)",
       {Procedure::Anova, 0, 0, 2, false, {}},
       {0.05, 0, 0.5, 1, 3, 20},
       0.7933118372860196,
       1e-6},
      // Noncentral chi-square: lambda = w^2 r n = 9; the program's chi-square
      // distribution function places the critical value about 1e-4 off.
      {"chi2 r x c: ncx2.sf(chi2.ppf(.95, 2), 2, 9)",
       {Procedure::ChiSquareHomogeneity, 0, 0, 2, false, {}},
       {0.05, 0, 0.3, 3, 2, 50},
       0.7706830777241324,
       3e-4},
      {"chi2 2 x 2, corrected: ncx2.sf(norm.ppf(.975)**2, 1, ((.2 - 1/80) / sqrt(.24 * 2/80))**2)",
       {Procedure::ChiSquare2x2, 0, 0, 2, false, {1}},
       {0.05, 0, 0.3, 0.5, 80, 80},
       0.6774812695043011,
       1e-6},
      // Variance ratios: the central distribution over the assumed ratio.
      {"SD: chi2.sf(chi2.ppf(.95, 19) / 2.25, 19)",
       {Procedure::NormalDistribution, 3, 1, 1, false, {}},
       {0.05, 0, 1, 1.5, 20},
       0.8176351254985075,
       1e-3},
      {"SD ratio: f.cdf(f.ppf(.025, 24, 24) / 2.25, 24, 24) + f.sf(f.ppf(.975, 24, 24) / 2.25, 24, 24)",
       {Procedure::NormalDistribution, 3, 2, 2, false, {}},
       {0.05, 0, 1, 1, 1.5, 25, 25},
       0.4918341602632806,
       1e-6},
      // Normal statistics.
      {"z test: norm.sf(norm.ppf(.95) - .3 sqrt(50))",
       {Procedure::NormalDistribution, 0, 1, 1, false, {}},
       {0.05, 0, 0, 0.3, 1, 50},
       0.6831290430800077,
       1e-6},
      {"rank sum, corrected: norm.sf(norm.ppf(.95) + .5/se - 135/se), se = sqrt(900 * 61 / 12)",
       {Procedure::WilcoxonRankSum, 0, 0, 1, false, {1}},
       {0.05, 0, 0.65, 30, 30},
       0.6344458398578865,
       1e-6},
      {"log-rank: norm.sf(z2 - m) + norm.cdf(-z2 - m), m = ln 1.6 / sqrt(1/48 + 1/30)",
       {Procedure::SurvivalAnalysis, 0, 0, 2, false, {}},
       {0.05, 0, 0.5, 0.8, 60, 60},
       0.5237558379857504,
       1e-6},
      {"correlation: the same with m = arctanh(.3) sqrt(77)",
       {Procedure::CorrelationCoefficient, 0, 1, 2, false, {}},
       {0.05, 0, 0, 0.3, 80},
       0.7751947072243457,
       1e-6},
      {"z, two one-sided: norm.cdf(5 - norm.ppf(.95)) + norm.cdf(3 - norm.ppf(.95)) - 1",
       {Procedure::NormalDistribution, 0, 1, 3, false, {}},
       {0.05, 0, -0.4, 0.4, 0.1, 1, 100},
       0.9119179217457702,
       1e-6},
      {"exponential location: exp(-(ln(20)/30 - .05) * 30)",
       {Procedure::ExponentialDistribution, 0, 1, 1, false, {}},
       {0.05, 0, 0, 0.05, 1, 30},
       0.2240844535169033,
       1e-6},
      // Exact tests.
      {"Fisher: binom.pmf products over the tables with fisher_exact(...)[1] <= .05",
       {Procedure::FisherExact, 0, 0, 2, false, {}},
       {0.05, 0, 0.2, 0.6, 20, 20},
       0.6502249209351988,
       1e-6},
      {"Fisher, one-sided: the same with alternative='less'",
       {Procedure::FisherExact, 0, 0, 1, false, {}},
       {0.05, 0, 0.2, 0.6, 20, 20},
       0.7534893294794142,
       1e-6},
      {"McNemar: exact(24, .75, bt), 24 discordant pairs expected",
       {Procedure::McNemar, 0, 0, 2, false, {7}},
       {0.05, 0, 0.3, 0.5, 0.2, 60},
       0.6074127267154595,
       1e-9},
      {"sign: exact(30, .7, binom.sf(k - 1, 30, .5))",
       {Procedure::Sign, 0, 0, 1, false, {7}},
       {0.05, 0, 0.7, 30},
       0.7303703863027231,
       1e-6},
      {"binomial, n = 40.5: (exact(40, .7, bt) + exact(41, .7, bt)) / 2",
       {Procedure::BinomialDistribution, 0, 1, 2, false, {7}},
       {0.05, 0, 0.5, 0.7, 40.5},
       0.6843396371501009,
       1e-6},
      {"Poisson: poisson.pmf(k, 14) over poisson.sf(k - 1, 8) <= .05",
       {Procedure::PoissonDistribution, 0, 1, 1, false, {7}},
       {0.05, 0, 2, 3.5, 4},
       0.5355524351031409,
       1e-9},
      {"hypergeometric: hypergeom.pmf(k, 100, 70, 30) over hypergeom.sf(k - 1, 100, 50, 30) <= .05",
       {Procedure::HypergeometricDistribution, 0, 1, 1, false, {7}},
       {0.05, 0, 0.5, 0.7, 30, 100},
       0.7642288080540833,
       1e-9},
  };
  for (const Row& r : rows) {
    Choose(r.selection);
    const std::optional<double> power = PowerAt(r.values);
    ASSERT_TRUE(power.has_value()) << r.source;
    EXPECT_NEAR(*power, r.expected, r.tolerance) << r.source;
  }
}

TEST_F(PowerOfTests, EightyPercentForHalfAStandardDeviationTakes64PerGroup) {
  Choose({Procedure::UnpairedT, 0, 0, 2, false, {}});
  // Means 0 and 0.5, SD 1, n2 = n1: nct.sf(t.ppf(.975, 126), 126, .5 / sqrt(2/64)) = 0.80146.
  EXPECT_NEAR(*PowerAt({0.05, 0, 0, 0, 0.5, 1, 64, 64}), 0.8015, 1e-4);
  const RootResult r = FindRoot(
      [&](double n) {
        return *PowerAt({0.05, 0, 0, 0, 0.5, 1, n, n}) - 0.8;
      },
      3, 1000, 1e-5, 500);
  EXPECT_NEAR(r.root, 63.77, 0.01);
}

TEST_F(PowerOfTests, AJustSignificantResultHasHalfThePowerOfAOneSidedTest) {
  // z test of a mean: the size at which the P-value is the level.
  Choose({Procedure::NormalDistribution, 0, 1, 1, false, {}});
  const RootResult r = FindRoot(
      [&](double n) {
        PowerAt({0.05, 0, 0, 0.3, 1, n});
        return d.CallEvaluateCriterion();
      },
      3, 1000, 1e-5, 500);
  EXPECT_NEAR(*PowerAt({0.05, 0, 0, 0.3, 1, r.root}), 0.5, 1e-4);
}

TEST_F(PowerOfTests, TheFinitePopulationTestKeepsItsOwnPower) {
  Choose({Procedure::FinitePopulation, 0, 1, 2, false, {}});
  // Its criterion is the power minus the requested power at position 2.
  const std::vector<double> values = {0.05, 0, 0.9, 0, 0.3, 1, 40, 500};
  const double power = *PowerAt(values);
  EXPECT_NEAR(d.CallEvaluateCriterion(), power - 0.9, 1e-12);
}

TEST_F(PowerOfTests, EveryTestHasAPowerAndNoEstimateHasOne) {
  int checked = 0;
  auto check = [&](const char* what, Procedure p) {
    const std::string menu = ProcedureName(p);
    ++checked;
    ReadParameterValues(s);
    const std::optional<double> power = d.CallEvaluatePower();
    ASSERT_TRUE(power.has_value()) << what << " " << menu << " tails " << s.TailCount;
    EXPECT_TRUE(*power >= 0 && *power <= 1) << what << " " << menu;
  };
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Tests) continue;
    for (int tails = 1; tails <= 3; ++tails) {
      Choose({row.procedure, 0, 0, tails, false, {}});
      if (s.TailCount == tails) check("test", row.procedure);
    }
  }
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Distributions) continue;
    const Procedure m = row.procedure;
    for (int choice = 0; choice < 4; ++choice)
      for (int samples = 1; samples <= 2; ++samples) {
        Choose({m, choice, samples, 2, false, {}});
        if (s.ParameterChoice != choice || s.ProcedureKind != 0 || s.LastPosition < 2) continue;
        check("distribution", m);
        d.SetProcedureKind(2);
        d.ApplyOptions();
        ReadParameterValues(s);
        if (s.ProcedureKind == 2) {
          EXPECT_FALSE(d.CallEvaluatePower().has_value()) << "interval of " << ProcedureName(m);
        }
      }
  }
  EXPECT_GE(checked, 90);
}

}  // namespace
}  // namespace pelmora
