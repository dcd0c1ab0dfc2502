// The paragraph for a study protocol: one design of each procedure of both
// menus, tests planned by power and just significant, estimates and
// intervals, with the sizes to recruit for a dropout and the interim
// analyses of a group-sequential design.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/protocol_statement.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::TestChoice;

struct StatementRow {
  testing::Choice choice;
  bool byPower;
  testing::Values values;
  int unknown;
  std::string dropout;  // the expected dropout as typed
  std::string expected;
  int interims = 0;
};

class ProtocolStatements : public testing::PlanningTest {};

// Student's unpaired t-test, means 0 and 0.5, SD 1, equal sizes (the second
// as the ratio 1 to the first).
const testing::Choice kUnpaired = TestChoice(Procedure::UnpairedT, 2, 2, {}, {{2, 2}});
const testing::Values kHalfSd = {{86, "0"}, {87, "0.5"}, {111, "1"}, {5, "1"}};

TEST_F(ProtocolStatements, EveryProcedureStatesItsDesign) {
  const std::vector<StatementRow> rows = {
      // brentq(power(n) - 0.8) = 63.765610 and power(64) = 0.8014596 with
      // power(n) = nct.sf(c, 2n - 2, 0.5 / sqrt(2 / n)) + nct.cdf(-c, ...), c = t.isf(0.025, 2n - 2)
      {kUnpaired, true, kHalfSd, 4, "0",
       "A sample size of 64 per group (128 in all) gives a power of 80.1% to detect a difference in means of 0.5 "
       "(means 0 and 0.5, common standard deviation 1; standardised effect d = 0.50) with Student's unpaired t-test "
       "at a two-sided significance level of 0.05."},
      // The same with a dropout of 0.2: 64 / 0.8 = 80 to recruit per group.
      {kUnpaired, true, kHalfSd, 4, "0.2",
       "A sample size of 64 per group (128 in all) gives a power of 80.1% to detect a difference in means of 0.5"
       " (means 0 and 0.5, common standard deviation 1; standardised effect d = 0.50) with Student's unpaired "
       "t-test at a two-sided significance level of 0.05. To allow for an expected dropout of 20%, 80 per group "
       "(160 in all) are to be recruited."},
      // Two interim analyses, O'Brien-Fleming: 1.017406 x 63.765610 = 64.875 at most per group.
      {kUnpaired, true, kHalfSd, 4, "0",
       "A sample size of 65 per group (130 in all) gives a power of 80.1% to detect a difference in means of 0.5"
       " (means 0 and 0.5, common standard deviation 1; standardised effect d = 0.50) with Student's unpaired "
       "t-test at a two-sided significance level of 0.05. The study has 2 interim analyses and a final one, with"
       " O'Brien-Fleming efficacy bounds; it needs at most 130 subjects, 109.4 expected under the assumed values"
       " and 129.4 under the null hypothesis.", 2},
      // Just significant: brentq(2 t.sf(0.5 / sqrt(2 / n), 2n - 2) - 0.05) = 31.968395
      {kUnpaired, false, kHalfSd, 4, "0",
       "A sample size of 32 per group (64 in all) makes an assumed difference in means of 0.5 (means 0 and 0.5, "
       "common standard deviation 1; standardised effect d = 0.50) just significant with Student's unpaired "
       "t-test at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::UnpairedT, 2, 3, {}, {{2, 2}}), true, {{86, "0.3"}, {87, "0.3"}, {111, "1"}, {5, "1"}}, 4, "0",
       "A sample size of 108 per group (216 in all) gives a power of 80.1% to show equivalence within the limits"
       " -0.4 and 0.4 (means 0.3 and 0.3, common standard deviation 1) with Student's unpaired t-test as two "
       "one-sided tests at a significance level of 0.05 each."},
      {TestChoice(Procedure::PairedT, 0, 1), true, {}, 14, "0",
       "A sample size of 8 gives a power of 81.5% to detect a mean of difference of 0.3 (standard deviation of "
       "difference 0.3; standardised effect d = 1.00) with Student's paired t-test at a one-sided significance "
       "level of 0.05."},
      {TestChoice(Procedure::Anova, 0, 2), true, {}, 224, "0",
       "A sample size of 28 per group (140 in all) gives a power of 80.3% to detect a standard deviation of "
       "means of 0.1 (residual standard deviation 0.3, number of groups 5; standardised effect f = 0.33) with a "
       "one-way analysis of variance at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::FisherExact, 2, 1, {}, {{2, 2}}), true, {{69, "0.7"}}, 4, "0",
       "A sample size of 84 per group (168 in all) gives a power of 80.5% to detect a difference in proportions "
       "of 0.2 (proportions 0.5 and 0.7; standardised effect odds ratio = 2.33) with Fisher's exact test at a "
       "one-sided significance level of 0.05."},
      {TestChoice(Procedure::McNemar, 0, 2), true, {{69, "0.7"}}, 14, "0",
       "A sample size of 79 gives a power of 80.3% to detect a difference in proportions of 0.2 (proportions 0.5"
       " and 0.7, proportion 11 0.4) with McNemar's test at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::ChiSquare2x2, 2, 2), true, {{69, "0.7"}}, 0, "0",
       "A sample size of 30 per group (60 in all) gives a power of 80.0% to detect a difference in proportions "
       "of 0.2 (proportions 0.5 and 0.7; standardised effect odds ratio = 2.33) with the chi-square test of a 2 "
       "x 2 table at a two-sided significance level of 0.43994."},
      {TestChoice(Procedure::ChiSquareHomogeneity, 0, 2), true, {{223, "0.1"}, {201, "7"}}, 224, "0",
       "A sample size of 450 per group (2250 in all) gives a power of 80.1% to detect a standard deviation of "
       "proportions of 0.1 (number of categories 7, number of groups 5; standardised effect w = 0.10) with the "
       "chi-square homogeneity test at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::LifeTable, 0, 2), true, {}, 0, "0",
       "This design gives a power of 80.0% to detect a weighted mean of proportion difference of 0.3 (standard "
       "error of weighted mean 0.3, number of tables 3) with the Mantel-Haenszel life-table test at a two-sided "
       "significance level of 0.67926."},
      {TestChoice(Procedure::SurvivalAnalysis, 0, 2), true, {}, 0, "0",
       "This design gives a power of 80.0% to detect a ratio of hazard rates of 1.4 (hazard rates 0.5 and 0.7, "
       "total time at risk 1 10, total time at risk 2 10) with the survival analysis test at a two-sided "
       "significance level of 0.76524."},
      {TestChoice(Procedure::WilcoxonRankSum, 2, 2, {}, {{2, 2}}), false, {{5, "1"}}, 4, "0",
       "A sample size of 8 per group (16 in all) makes an assumed probability (sample 2 > sample 1) of 0.8 just "
       "significant with the Wilcoxon rank-sum test at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::WilcoxonSignedRank, 0, 2), true, {}, 14, "0",
       "A sample size of 29 gives a power of 80.6% to detect a probability (sample > 0) of 0.8 (probability "
       "(sample + sample' > 0) 0.8) with the Wilcoxon signed-rank test at a two-sided significance level of "
       "0.05."},
      {TestChoice(Procedure::Sign, 0, 2), true, {}, 14, "0",
       "A sample size of 22 gives a power of 80.4% to detect a probability (sample > 0) of 0.8 with the sign "
       "test at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::Bioequivalence, 0, 3), true, {{95, "1"}}, 14, "0",
       "A sample size of 670 gives a power of 80.0% to show equivalence within the limits 0.8 and 1.25 (medians "
       "1.2 and 1, residual standard deviation on the log scale 0.3) with the bioequivalence test as two one-"
       "sided tests at a significance level of 0.05 each."},
      {TestChoice(Procedure::CorrelationCoefficient, 2, 2, {}, {{2, 2}}), true, {{5, "1"}}, 4, "0",
       "A sample size of 277 per group (554 in all) gives a power of 80.1% to detect a difference in correlation"
       " coefficients of 0.2 (correlation coefficients 0.3 and 0.5; standardised effect q = 0.24) with the test "
       "of correlation coefficients at a two-sided significance level of 0.05."},
      {TestChoice(Procedure::RegressionCoefficient, 2, 2), true, {}, 0, "0",
       "A sample size of 30 per group (60 in all) gives a power of 80.0% to detect a difference in regression "
       "coefficients of 0.1 (regression coefficients 0.3 and 0.4, residual standard deviation 0.3, standard "
       "deviation for covariate 1 0.3, standard deviation for covariate 2 0.3) with the test of regression "
       "coefficients at a two-sided significance level of 0.78535."},
      {DistChoice(Procedure::NormalDistribution, 0, 0, 1, 2), true, {}, 14, "0",
       "A sample size of 8 gives a power of 80.7% to detect a mean of 0.3 (mean under the null hypothesis 0, "
       "standard deviation 0.3; standardised effect d = 1.00) with a test of the mean (standard deviation known)"
       " of the normal distribution at a two-sided significance level of 0.05."},
      {DistChoice(Procedure::NormalDistribution, 1, 2, 1, 2), false, {{20, "0.1"}}, 14, "0.1",
       "A sample size of 141 gives a 95% two-sided confidence interval for the mean (standard deviation unknown)"
       " of the normal distribution with a lower limit of 0.1 (assumed mean 0.3, assumed standard deviation "
       "1.2). To allow for an expected dropout of 10%, 157 are to be recruited."},
      {DistChoice(Procedure::NormalDistribution, 0, 1, 1, 2), false, {}, 14, "0",
       "A sample size of 35 estimates the mean (standard deviation known) of the normal distribution at an error"
       " level of 0.05 with an absolute error of 0.1 (standard deviation 0.3)."},
      {DistChoice(Procedure::LogNormalDistribution, 0, 0, 1, 2), true, {}, 14, "0",
       "A sample size of 22 gives a power of 81.3% to detect a median of 1.2 (median under the null hypothesis "
       "1, shape (standard deviation on the log scale) 0.3) with a test of the median (shape known) of the log "
       "normal distribution at a two-sided significance level of 0.05."},
      {DistChoice(Procedure::ExponentialDistribution, 1, 2, 1, 2), false, {{20, "0.8"}}, 14, "0",
       "A sample size of 19 gives a 95% two-sided confidence interval for the scale (location known) of the "
       "exponential distribution with a lower limit of 0.8 (assumed scale 1.2)."},
      {DistChoice(Procedure::BinomialDistribution, 0, 2, 1, 2), false, {{20, "0.3"}}, 14, "0",
       "A sample size of 25 gives a 95% two-sided confidence interval for the proportion of the binomial "
       "distribution with a lower limit of 0.3 (assumed proportion 0.5)."},
      {DistChoice(Procedure::HypergeometricDistribution, 0, 0, 1, 2), true, {}, 14, "0",
       "A sample size of 39 gives a power of 80.9% to detect a proportion of 0.5 (proportion under the null "
       "hypothesis 0.3, population size 500) with a test of the proportion of the hypergeometric distribution at"
       " a two-sided significance level of 0.05."},
      {DistChoice(Procedure::PoissonDistribution, 0, 0, 2, 2), true, {}, 0, "0",
       "A sample size of 30 per group (60 in all) gives a power of 80.0% to detect a difference in means of 0.2 "
       "(means 0.5 and 0.7) with a test of the mean2 - mean1 of the poisson distribution at a two-sided "
       "significance level of 0.67926."},
      {DistChoice(Procedure::FinitePopulation, 0, 2, 1, 2), false, {{20, "0.1"}}, 14, "0",
       "A sample size of 9 gives a 95% two-sided confidence interval for the mean of the finite population with "
       "a lower limit of 0.1 (assumed mean 0.3, standard deviation 0.3, population size 500)."},
      {DistChoice(Procedure::BivariateNormalDistribution, 2, 0, 1, 2), true, {}, 14, "0",
       "A sample size of 140 gives a power of 80.1% to detect a correlation coefficient of 0.5 (correlation "
       "coefficient under the null hypothesis 0.3; standardised effect q = 0.24) with a test of the correlation "
       "coefficient of the bivariate normal distribution at a two-sided significance level of 0.05."},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const StatementRow& r = rows[i];
    SCOPED_TRACE(::testing::Message() << "row " << i + 1);
    Choose(r.choice);
    d.SetPlanByPower(r.byPower);
    d.ApplyOptions();
    s.planning.ExpectedDropout = r.dropout;
    s.InterimCount = static_cast<std::int16_t>(r.interims);
    for (const auto& [id, text] : r.values) Set(id, text);
    if (PositionOf(r.unknown) < 0 || Solve(r.unknown) == kNoResult) {
      ADD_FAILURE() << s.Description << ": " << r.unknown << " not solved; " << s.ResultRemark;
      continue;
    }
    EXPECT_EQ(ProtocolStatement(s), r.expected) << s.Description;
  }
}

}  // namespace
}  // namespace pelmora
