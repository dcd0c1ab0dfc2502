// The simulated studies of the normal-theory, rank, correlation and
// regression tests: where the module's power is exact (or a close
// approximation) the simulated power lies within 5 standard errors of it;
// where it is an approximation that the simulation checks, within a stated
// band; the level lies near alpha; other data models and dropout run; the
// designs that cannot be simulated honestly are refused with their reason.
// The analytic powers are computed with scipy (the expression beside each).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>

#include "engine/simulation.h"
#include "procedures/hypothesis/anova.h"
#include "procedures/hypothesis/bioequivalence.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/exponential_survival.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "procedures/hypothesis/standard_deviation.h"
#include "procedures/hypothesis/wilcoxon_rank_sum.h"
#include "procedures/hypothesis/wilcoxon_signed_rank.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using testing::DistChoice;
using testing::TestChoice;
using AnovIds = Anova::Ids;
using BeIds = Bioequivalence::Ids;
using S2Ids = StandardDeviation::Ids;
using LnIds = LogNormalMedian::Ids;
using LsIds = LogNormalT::Ids;
using MwIds = WilcoxonRankSum::Ids;
using WsIds = WilcoxonSignedRank::Ids;
using CorrIds = CorrelationCoefficient::Ids;
using RegrIds = RegressionCoefficient::Ids;
using ExpIds = ExponentialScale::Ids;

constexpr Procedure kNormal = Procedure::NormalDistribution, kLogNormal = Procedure::LogNormalDistribution,
                    kExponential = Procedure::ExponentialDistribution;
constexpr int kScaleLocationUnknown = 2, kSdMeanKnown = 2, kSdMeanUnknown = 3, kMedianShapeKnown = 0, kMedianShapeUnknown = 1;
constexpr int kContrast = 9, kEffectGroup = 17, kContinuity = 1, kOrdered = 8, kDf = 0;

struct SimulatedRow {
  testing::Choice choice;
  testing::Values values;
  std::int64_t studies;
  std::uint64_t seed;
  double analytic;  // the module's power at the design (scipy)
  double expected;  // the power of the simulated data: `analytic` where that is exact
  double band;      // < 0: within 5 standard errors of `expected`; else within +/- band
  DataModel data = DataModel::kNormal;
  double dropout = 0;
  double levelBand = 0.02;  // the level lies within this of alpha
};

class NormalTheorySimulation : public testing::PlanningTest {
 protected:
  SimulationOutcome Simulate(const testing::Choice& choice, const testing::Values& values, std::int64_t studies,
                             std::uint64_t seed, DataModel data = DataModel::kNormal, double dropout = 0) {
    Enter(choice, values);
    ReadParameterValues(s);
    SimulationRequest r;
    r.studies = studies;
    r.seed = seed;
    r.threads = 1;
    r.data = data;
    r.dropout = dropout;
    const std::atomic<bool> cancel{false};
    return RunSimulation(d, r, cancel);
  }
};

// clang-format off
TEST_F(NormalTheorySimulation, PowerAndLevelOfEachTest) {
  const auto sd = [](int choice, int samples) { return DistChoice(kNormal, choice, 0, samples, 2); };
  const std::vector<SimulatedRow> rows = {
    // ANOVA, 3 groups of 20, s_m = 0.4, sigma = 1: scipy.stats.ncf.sf(f.isf(0.05, 2, 57), 2, 57, 6.4).
    {TestChoice(Procedure::Anova, 0, 2), {{0, "0.05"}, {AnovIds::StdDevOfMeans, "0.4"}, {AnovIds::ResidualSd, "1"},
      {AnovIds::NoOfGroups, "3"}, {AnovIds::AverageSampleSize, "20"}}, 3000, 11, 0.5893992962438308, 0.5893992962438308, -1},
    // The largest difference D = 0.98 of 4 groups of 15 (s_m = D / sqrt(6) = 0.4): scipy.stats.ncf.sf(
    // f.isf(0.05, 3, 56), 3, 56, 45 s_m^2).  With t3 observations the F test is more powerful: 0.657025 in
    // 200000 studies of numpy (standard_t(3) / sqrt(3) about the means 0, D/2, D/2, D; SE 0.0011).
    {TestChoice(Procedure::Anova, 0, 2, {}, {{kEffectGroup, 1}}), {{0, "0.05"}, {AnovIds::MaxDifference, "0.98"},
      {AnovIds::ResidualSd, "1"}, {AnovIds::NoOfGroups, "4"}, {AnovIds::AverageSampleSize, "15"}}, 2000, 12,
     0.5701668041577876, 0.657025, -1, DataModel::kT3},
    // A contrast 0.5 of 4 groups of 20, sigma 1: with t = nct(76, 0.5 sqrt(20)), q = t.isf(0.025, 76):
    // nct.sf(q) + nct.cdf(-q) = 0.597865514476817.
    {TestChoice(Procedure::Anova, 0, 2, {kContrast}), {{0, "0.05"}, {AnovIds::ContrastValue, "0.5"},
      {AnovIds::ResidualSd, "1"}, {AnovIds::NoOfGroups, "4"}, {AnovIds::AverageSampleSize, "20"}}, 3000, 13,
     0.597865514476817, 0.597865514476817, -1},
    // Bioequivalence of medians 1 and 0.95 within 0.80 and 1.25, residual SD 0.2, 24 subjects: both t
    // tests with 22 df reject, integrated over the chi-square of the SD (scipy.integrate.quad).
    {TestChoice(Procedure::Bioequivalence, 0, 3), {{0, "0.05"}, {BeIds::LeftLimit, "0.8"}, {BeIds::RightLimit, "1.25"},
      {BeIds::Median1, "1"}, {BeIds::Median2, "0.95"}, {BeIds::ResidualSd, "0.2"}, {BeIds::SampleSize, "24"}},
     3000, 14, 0.8906242358406212, 0.8906242358406212, -1},
    // The same with uniform logarithms: it runs, about as powerful.
    {TestChoice(Procedure::Bioequivalence, 0, 3), {{0, "0.05"}, {BeIds::LeftLimit, "0.8"}, {BeIds::RightLimit, "1.25"},
      {BeIds::Median1, "1"}, {BeIds::Median2, "0.95"}, {BeIds::ResidualSd, "0.2"}, {BeIds::SampleSize, "24"}},
     2000, 15, 0.8906242358406212, 0.8906242358406212, 0.04, DataModel::kUniform},
    // The SD 1.5 against 1, 20 subjects: chi2.sf(chi2.isf(0.025, 19) / 2.25, 19) + chi2.cdf(chi2.ppf(0.025,
    // 19) / 2.25, 19).
    {sd(kSdMeanUnknown, 1), {{0, "0.05"}, {S2Ids::H0Sd, "1"}, {S2Ids::Sd, "1.5"}, {S2Ids::SampleSize, "20"}},
     3000, 16, 0.7476933453018889, 0.7476933453018889, -1},
    // The same with the mean known (20 df) and a fifth of the subjects dropping out (25 recruited, about 20
    // analysed): chi2.sf(chi2.isf(0.025, 20) / 2.25, 20) + chi2.cdf(chi2.ppf(0.025, 20) / 2.25, 20), a little
    // less for the varying number analysed.
    {sd(kSdMeanKnown, 1), {{0, "0.05"}, {S2Ids::H0Sd, "1"}, {S2Ids::Sd, "1.5"}, {S2Ids::SampleSize, "20"}},
     3000, 17, 0.7657169636729578, 0.7657169636729578, 0.04, DataModel::kNormal, 0.2},
    // The ratio 1.5 of two SDs, 25 each: f.sf(f.isf(0.025, 24, 24) / 2.25, 24, 24) + f.cdf(f.ppf(0.025, 24,
    // 24) / 2.25, 24, 24).
    {sd(kSdMeanUnknown, 2), {{0, "0.05"}, {S2Ids::H0Ratio, "1"}, {S2Ids::Sd1, "1"}, {S2Ids::Sd2, "1.5"},
      {S2Ids::SampleSize1, "25"}, {S2Ids::SampleSize2, "25"}}, 3000, 18, 0.4918341602632806, 0.4918341602632806, -1},
    // An exponential scale 1.5 against 1, the location unknown, 30 subjects, one-sided: 2 (n - 1) = 58
    // degrees of freedom, chi2.sf(chi2.isf(0.05, 58) / 1.5, 58).
    {DistChoice(kExponential, kScaleLocationUnknown, 0, 1, 1), {{0, "0.05"}, {ExpIds::H0Scale, "1"},
      {ExpIds::Scale, "1.5"}, {ExpIds::SampleSize, "30"}}, 3000, 26, 0.7246777595420022, 0.7246777595420022, -1},
    // A log-normal median 1.2 against 1, shape 0.5 known, 30 subjects: z = ln(1.2) / (0.5 / sqrt(30)),
    // norm.cdf(z - 1.95996) + norm.cdf(-z - 1.95996).
    {DistChoice(kLogNormal, kMedianShapeKnown, 0, 1, 2), {{0, "0.05"}, {LnIds::H0Median, "1"}, {LnIds::Median, "1.2"},
      {LnIds::Shape, "0.5"}, {LnIds::SampleSize, "30"}}, 3000, 19, 0.5149024976150534, 0.5149024976150534, -1},
    // Two log-normal medians 1 and 1.3, shape 0.6 estimated, 30 each: nct(58, ln(1.3) / (0.6 sqrt(2 /
    // 30))) beyond t.isf(0.025, 58) either way.
    {DistChoice(kLogNormal, kMedianShapeUnknown, 0, 2, 2), {{0, "0.05"}, {LsIds::H0Ratio, "1"}, {LsIds::Median1, "1"},
      {LsIds::Median2, "1.3"}, {LsIds::Shape, "0.6"}, {LsIds::SampleSize1, "30"}, {LsIds::SampleSize2, "30"}},
     3000, 20, 0.3843525637099456, 0.3843525637099456, -1},
    // Rank-sum, P(Y > X) = 0.65, 40 each: the module's normal approximation with the null variance,
    // z = 240 / sqrt(1600 81 / 12), norm.cdf(z - 1.95996) + norm.cdf(-z - 1.95996) = 0.6366; the variance
    // of the count is smaller away from H0, so the test is a little more powerful than that: 0.65136 in
    // 200000 studies of numpy (normal samples shifted by sqrt(2) norm.ppf(0.65), ranks by
    // scipy.stats.rankdata; SE 0.0011).
    {TestChoice(Procedure::WilcoxonRankSum, 0, 2), {{0, "0.05"}, {MwIds::ProbHigher, "0.65"},
      {MwIds::SampleSize1, "40"}, {MwIds::SampleSize2, "40"}}, 3000, 21, 0.6366292061765919, 0.65136, -1},
    // Signed-rank, P(X > 0) = 0.7, P(X + X' > 0) = 0.8, 30 subjects, corrected for continuity: the module's
    // approximation z = (n 0.7 + n (n - 1) 0.4 - n (n + 1) / 4 - 0.5) / sqrt(n (n + 1) (2n + 1) / 24),
    // norm.cdf(z - 1.95996) + norm.cdf(-z - 1.95996) = 0.7988 with the null variance; the two-sided
    // exponential differences (positive with 0.7, parts of means r = 0.75 and 0.25) give 0.86245 in 400000
    // studies of numpy (SE 0.0005): the approximation is conservative here.
    {TestChoice(Procedure::WilcoxonSignedRank, 0, 2, {kContinuity}), {{0, "0.05"}, {WsIds::ProbPositive, "0.7"},
      {WsIds::ProbPairSumPositive, "0.8"}, {WsIds::SampleSize, "30"}}, 3000, 22, 0.798797477966551, 0.86245, -1},
    // A correlation 0.3 against 0, 80 pairs: z = atanh(0.3) sqrt(77), norm.cdf(z - 1.95996) + norm.cdf(-z -
    // 1.95996).
    {TestChoice(Procedure::CorrelationCoefficient, 1, 2), {{0, "0.05"}, {CorrIds::H0Correlation, "0"},
      {CorrIds::Correlation, "0.3"}, {CorrIds::SampleSize, "80"}}, 3000, 23, 0.7751947072243457, 0.7751947072243457, -1},
    // Correlations 0.2 and 0.5, 100 pairs each: z = (atanh(0.5) - atanh(0.2)) / sqrt(2 / 97).
    {TestChoice(Procedure::CorrelationCoefficient, 2, 2), {{0, "0.05"}, {CorrIds::Correlation1, "0.2"},
      {CorrIds::Correlation2, "0.5"}, {CorrIds::SampleSize1, "100"}, {CorrIds::SampleSize2, "100"}}, 3000, 24,
     0.674962773532771, 0.674962773532771, -1},
    // The bivariate normal distribution hands its test of a correlation on: 0.5 against 0.3 (the
    // start-up values), 80 pairs, z = (atanh(0.5) - atanh(0.3)) sqrt(77).
    {DistChoice(Procedure::BivariateNormalDistribution, 2, 0, 0, 2), {{0, "0.05"}, {CorrIds::SampleSize, "80"}},
     3000, 30, 0.5573348232100122, 0.5573348232100122, -1},
    // Two one-sided tests of a correlation 0 within -0.3 and 0.3, 100 pairs: 2 norm.cdf(atanh(0.3)
    // sqrt(97) - norm.isf(0.05)) - 1; under H0 the pairs have the correlation -0.3.
    {TestChoice(Procedure::CorrelationCoefficient, 1, 3), {{0, "0.05"}, {CorrIds::LeftLimit, "-0.3"},
      {CorrIds::RightLimit, "0.3"}, {CorrIds::Correlation, "0"}, {CorrIds::SampleSize, "100"}}, 3000, 27,
     0.8395503672287128, 0.8395503672287128, -1},
    // A slope 0.5 against 0, residual SD 1, covariate SD 1, 30 pairs: nct(28, 0.5 sqrt(29)) beyond
    // t.isf(0.025, 28) either way = 0.7387.  The covariate drawn anew costs a little power: over Sxx =
    // chi2(29), scipy.integrate.quad of that power at nc = 0.5 sqrt(Sxx) times chi2.pdf(Sxx, 29) = 0.72032.
    {TestChoice(Procedure::RegressionCoefficient, 1, 2), {{0, "0.05"}, {RegrIds::H0Coefficient, "0"},
      {RegrIds::Coefficient, "0.5"}, {RegrIds::ResidualSd, "1"}, {RegrIds::CovariateSd, "1"},
      {RegrIds::SampleSize, "30"}}, 3000, 25, 0.7386963010488646, 0.720318628018373, -1},
    // Slopes 0.5 and 1 of two samples of 40, residual SD 1, covariate SDs 1: nct(76, 0.5 / sqrt(2 / 39))
    // beyond t.isf(0.025, 76) either way = 0.58709; with the covariates drawn anew 0.57322 in 200000
    // studies of numpy (least-squares slopes, the pooled residual variance; SE 0.0011).
    {TestChoice(Procedure::RegressionCoefficient, 2, 2), {{0, "0.05"}, {RegrIds::H0Diff, "0"},
      {RegrIds::Coefficient1, "0.5"}, {RegrIds::Coefficient2, "1"}, {RegrIds::ResidualSd, "1"},
      {RegrIds::CovariateSd1, "1"}, {RegrIds::CovariateSd2, "1"}, {RegrIds::SampleSize1, "40"},
      {RegrIds::SampleSize2, "40"}}, 3000, 28, 0.5870888381697319, 0.57322, -1},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SimulatedRow& row = rows[i];
    SCOPED_TRACE(::testing::Message() << "row " << i + 1);
    const SimulationOutcome o = Simulate(row.choice, row.values, row.studies, row.seed, row.data, row.dropout);
    ASSERT_TRUE(o.result) << o.error;
    const SimulationResult& res = *o.result;
    ASSERT_TRUE(res.power && res.level && res.analyticPower);
    EXPECT_TRUE(std::isfinite(res.power->estimate) && std::isfinite(res.level->estimate));
    if (row.data == DataModel::kNormal && row.dropout == 0) {
      EXPECT_NEAR(*res.analyticPower, row.analytic, 2e-3) << s.Description;
    }
    const double studies = static_cast<double>(res.h1.studies);
    const double band = row.band < 0 ? 5 * std::sqrt(row.expected * (1 - row.expected) / studies) : row.band;
    EXPECT_NEAR(res.power->estimate, row.expected, band) << s.Description;
    EXPECT_NEAR(res.level->estimate, 0.05, row.levelBand) << s.Description;
  }
}

TEST_F(NormalTheorySimulation, InterimLooksAnalyseTheDataAccumulatedByThen) {
  // A correlation 0.3 against 0 planned for power 0.8 with two interim analyses: the studies stop at
  // the looks' nominal boundaries, with about the planned power and level.
  Choose(TestChoice(Procedure::CorrelationCoefficient, 1, 2));
  d.SetPlanByPower(true);
  d.ApplyOptions();
  for (const auto& [id, text] : testing::Values{{0, "0.05"}, {CorrIds::H0Correlation, "0"}, {CorrIds::Correlation, "0.3"}})
    Set(id, text);
  s.InterimCount = 2;
  ASSERT_LT(Solve(CorrIds::SampleSize), kNoResult);
  SimulationRequest r;
  r.studies = 3000;
  r.seed = 29;
  r.threads = 1;
  const std::atomic<bool> cancel{false};
  const SimulationOutcome o = RunSimulation(d, r, cancel);
  ASSERT_TRUE(o.result) << o.error;
  const SimulationResult& res = *o.result;
  ASSERT_EQ(res.looks.size(), 3u);
  ASSERT_TRUE(res.power && res.level && res.analyticPower);
  EXPECT_NEAR(*res.analyticPower, 0.8, 0.01);
  EXPECT_NEAR(res.power->estimate, *res.analyticPower, 0.03);
  EXPECT_NEAR(res.level->estimate, 0.05, 0.015);
  EXPECT_GT(res.looks[1].rejectH1, 0.1);  // many studies stop early
  EXPECT_LT(res.expectedTotalH1, static_cast<double>(res.looks.back().sizes[0]));
}

TEST_F(NormalTheorySimulation, DesignsThatCannotBeSimulatedAreRefused) {
  struct Refusal {
    testing::Choice choice;
    testing::Values values;
    DataModel data;
    std::string why;
  };
  const std::vector<Refusal> refusals = {
    {TestChoice(Procedure::WilcoxonRankSum, 0, 2, {kOrdered}), {}, DataModel::kNormal,
     "the rank-sum test of ordered categories is not available as a Monte Carlo simulation: the probabilities of "
     "the categories are not part of the design"},
    // P(X + X' > 0) = 0.5 is below P(X > 0)^2 = 0.64.
    {TestChoice(Procedure::WilcoxonSignedRank, 0, 2), {{WsIds::ProbPositive, "0.8"}, {WsIds::ProbPairSumPositive, "0.5"}},
     DataModel::kNormal,
     "no continuous distribution has these probabilities: P(Sample + Sample' > 0) must lie between "
     "P(Sample > 0)^2 and 1 - (1 - P(Sample > 0))^2"},
    {DistChoice(kLogNormal, kMedianShapeUnknown, 0, 1, 2, {kDf}), {}, DataModel::kNormal,
     "a t test with given degrees of freedom or those of an ANOVA is not available as a Monte Carlo simulation"},
    {TestChoice(Procedure::Bioequivalence, 0, 3), {}, DataModel::kLogNormal,
     "the bioequivalence test analyses the logarithms of the responses, which are drawn normal, t3 or uniform: the "
     "log-normal model does not apply to them"},
    {DistChoice(kNormal, kSdMeanUnknown, 0, 1, 2), {}, DataModel::kLogNormal,
     "the test of a standard deviation lists no mean, which log-normal observations need"},
    {TestChoice(Procedure::Anova, 0, 2), {{AnovIds::NoOfGroups, "2.5"}}, DataModel::kNormal,
     "the number of groups must be a whole number from 2 to 1000 to be simulated"},
  };
  for (const Refusal& r : refusals) {
    const SimulationOutcome o = Simulate(r.choice, r.values, 100, 1, r.data);
    EXPECT_FALSE(o.result) << s.Description;
    EXPECT_EQ(o.error, r.why) << s.Description;
  }
  // The correlation test draws bivariate normal pairs, the rank-sum test shifted normal samples: another
  // data model is refused by the driver.
  for (Procedure p : {Procedure::CorrelationCoefficient, Procedure::WilcoxonRankSum}) {
    const SimulationOutcome o = Simulate(TestChoice(p, 0, 2), {}, 100, 1, DataModel::kT3);
    EXPECT_FALSE(o.result);
    EXPECT_NE(o.error.find("is not offered by"), std::string::npos) << o.error;
  }
}
// clang-format on

}  // namespace
}  // namespace pelmora
