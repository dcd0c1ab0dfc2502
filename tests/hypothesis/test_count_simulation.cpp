// The simulated studies of the tests on proportions, counts and survival:
// per design a small number of studies, the simulated power within 5
// standard errors of the exact power of the planned analysis (computed
// outside the program) or near the calculation's approximation, the level
// near the nominal one, dropout runs with their larger recruitment, and the
// refusals.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>

#include "engine/simulation.h"
#include "procedures/hypothesis/binomial_proportions.h"
#include "procedures/hypothesis/chi_square_homogeneity.h"
#include "procedures/hypothesis/exponential_survival.h"
#include "procedures/hypothesis/fisher_exact.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"
#include "procedures/hypothesis/life_table.h"
#include "procedures/hypothesis/log_rank.h"
#include "procedures/hypothesis/mcnemar.h"
#include "procedures/hypothesis/sign.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Bin = BinomialProportions::Ids;
using Hyp = HypergeometricProportions::Ids;
using Fis = FisherExactTest::Ids;
using Exl = ExponentialLocation::Ids;
using Exs = ExponentialScale::Ids;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kTest = 0;

struct SimulatedRow {
  const char* name;
  testing::Choice choice;
  testing::Values values;
  // The exact power of the planned analysis, or NaN: the simulated power
  // then lies within `band` of the calculation's power.
  double exact;
  double band = 0;
  // The calculation's power is that exact power.
  bool analyticExact = false;
  double dropout = 0;
  std::int64_t studies = 4000;
};

class CountSimulation : public testing::PlanningTest {
 protected:
  SimulationOutcome Simulate(const testing::Choice& choice, const testing::Values& values, std::int64_t studies,
                             double dropout = 0, std::uint64_t seed = 1) {
    Enter(choice, values);
    // The values typed, as a calculation reads them.
    for (int p = 0; p <= s.LastPosition; ++p) {
      const std::string& text = s.entry(s.ParameterList[static_cast<std::size_t>(p)]).ParamText;
      if (!text.empty()) s.ParameterValues[static_cast<std::size_t>(p)] = std::stod(text);
    }
    SimulationRequest r;
    r.studies = studies;
    r.threads = 1;
    r.dropout = dropout;
    r.seed = seed;
    const std::atomic<bool> cancel{false};
    return RunSimulation(d, r, cancel);
  }
};

TEST_F(CountSimulation, PowerAndLevelOfEveryCountTest) {
  const auto test = [](Procedure p, int samples, int tails, std::vector<int> options = {}) {
    return testing::TestChoice(p, samples, tails, std::move(options));
  };
  const auto dist = [](Procedure p, int choice, int samples, int tails, std::vector<int> options = {}) {
    return testing::DistChoice(p, choice, kTest, samples, tails, std::move(options));
  };
  const int exact = option::ExactCalculation, continuity = option::ContinuityCorrection;
  // clang-format off
  const std::vector<SimulatedRow> rows = {
      // The exact sign test of 40, P(> 0) = 0.75, two-sided 0.05:
      // sum(binom.pmf(k, 40, .75) for k in range(41) if 2 * min(binom.cdf(k, 40, .5),
      // binom.sf(k - 1, 40, .5)) <= .05) = 0.8967682946505678.
      {"sign exact", test(Procedure::Sign, 1, 2, {exact}), {{0, "0.05"}, {Sign::Ids::ProbPositive, "0.75"},
        {Sign::Ids::SampleSize, "40"}}, 0.8967682946505678, 0, true},
      // The normal sign test with the continuity correction, 50 subjects, P(> 0) = 0.7, one-sided.
      {"sign normal", test(Procedure::Sign, 1, 1, {continuity}), {{0, "0.05"}, {Sign::Ids::ProbPositive, "0.7"},
        {Sign::Ids::SampleSize, "50"}}, kNaN, 0.04},
      // ... and with a fifth dropping out (63 recruited, about 50 analysed).
      {"sign dropout", test(Procedure::Sign, 1, 1, {continuity}), {{0, "0.05"}, {Sign::Ids::ProbPositive, "0.7"},
        {Sign::Ids::SampleSize, "50"}}, kNaN, 0.05, false, 0.2},
      // McNemar's exact test of 100 pairs, p10 = 0.1 and p01 = 0.25 (p1 0.3, p2 0.45, p11 0.2),
      // one-sided: the discordant pairs N ~ Bin(100, .35), those in "01" Bin(N, .25 / .35):
      // sum(binom.pmf(N, 100, .35) * sum(binom.pmf(k, N, .25 / .35) for k in range(N + 1)
      // if binom.sf(k - 1, N, .5) <= .05) for N in range(1, 101)) = 0.78990064291932
      // (the calculation takes N at its expectation 35).
      {"McNemar exact", test(Procedure::McNemar, 1, 1, {exact}), {{0, "0.05"}, {McNemar::Ids::Proportion1, "0.3"},
        {McNemar::Ids::Proportion2, "0.45"}, {McNemar::Ids::Proportion11, "0.2"}, {McNemar::Ids::SampleSize, "100"}},
       0.78990064291932},
      {"McNemar normal dropout", test(Procedure::McNemar, 1, 2), {{0, "0.05"}, {McNemar::Ids::Proportion1, "0.3"},
        {McNemar::Ids::Proportion2, "0.45"}, {McNemar::Ids::Proportion11, "0.2"}, {McNemar::Ids::SampleSize, "120"}},
       kNaN, 0.05, false, 0.1},
      // The chi2 test of 100 and 100, 0.3 against 0.5, two-sided: the binomial tables with
      // 2 norm.sf(|p2 - p1| / pooled se) <= .05, pooled se > 0, summed: 0.8320086668947455.
      {"chi2 2x2", test(Procedure::ChiSquare2x2, 2, 2), {{0, "0.05"}, {Fis::Proportion1, "0.3"},
        {Fis::Proportion2, "0.5"}, {Fis::SampleSize1, "100"}, {Fis::SampleSize2, "100"}}, 0.8320086668947455},
      {"chi2 2x2 corrected", test(Procedure::ChiSquare2x2, 2, 1, {continuity}), {{0, "0.05"}, {Fis::Proportion1, "0.3"},
        {Fis::Proportion2, "0.5"}, {Fis::SampleSize1, "80"}, {Fis::SampleSize2, "80"}}, kNaN, 0.04},
      // The exact binomial test of 60, 0.5 against 0.7, two-sided: sum(binom.pmf(k, 60, .7)
      // for k in range(61) if 2 * min(binom.cdf(k, 60, .5), binom.sf(k - 1, 60, .5)) <= .05)
      // = 0.8381821393917307.
      {"binomial exact", dist(Procedure::BinomialDistribution, 0, 1, 2, {exact}), {{0, "0.05"},
        {Bin::H0Proportion, "0.5"}, {Bin::Proportion, "0.7"}, {Bin::SampleSize, "60"}}, 0.8381821393917307, 0, true},
      // Two samples of 80, 0.4 against 0.6, two-sided with the pooled standard error, as the
      // chi2 test above: 0.7151192390858108.
      {"binomial two samples", dist(Procedure::BinomialDistribution, 0, 2, 2), {{0, "0.05"}, {Bin::H0Difference, "0"},
        {Bin::Proportion1, "0.4"}, {Bin::Proportion2, "0.6"}, {Bin::SampleSize1, "80"}, {Bin::SampleSize2, "80"}},
       0.7151192390858108},
      {"binomial arc sine", dist(Procedure::BinomialDistribution, 0, 2, 1, {option::ArcSineTransformation}),
       {{0, "0.05"}, {Bin::H0Difference, "0"}, {Bin::Proportion1, "0.4"}, {Bin::Proportion2, "0.6"},
        {Bin::SampleSize1, "80"}, {Bin::SampleSize2, "80"}}, kNaN, 0.04},
      {"binomial equivalence", dist(Procedure::BinomialDistribution, 0, 1, 3), {{0, "0.05"}, {Bin::LeftLimit, "0.3"},
        {Bin::RightLimit, "0.7"}, {Bin::Proportion, "0.5"}, {Bin::SampleSize, "60"}}, kNaN, 0.04},
      // The exact hypergeometric test, 50 from 200, 0.5 against 0.7 (140 marked), two-sided:
      // sum(hypergeom.pmf(k, 200, 140, 50) for k in range(51) if 2 * min(hypergeom.cdf(k, 200,
      // 100, 50), hypergeom.sf(k - 1, 200, 100, 50)) <= .05) = 0.8928661891861022.
      {"hypergeometric exact", dist(Procedure::HypergeometricDistribution, 0, 1, 2, {exact}), {{0, "0.05"},
        {Hyp::H0Proportion, "0.5"}, {Hyp::Proportion, "0.7"}, {Hyp::SampleSize, "50"}, {Hyp::PopulationSize, "200"}},
       0.8928661891861022, 0, true},
      {"hypergeometric two samples", dist(Procedure::HypergeometricDistribution, 0, 2, 2), {{0, "0.05"},
        {Hyp::H0Difference, "0"}, {Hyp::Proportion1, "0.4"}, {Hyp::Proportion2, "0.6"}, {Hyp::SampleSize1, "80"},
        {Hyp::SampleSize2, "80"}, {Hyp::PopulationSize1, "300"}, {Hyp::PopulationSize2, "300"}}, kNaN, 0.04, false, 0.1},
      // The chi2 homogeneity test of 3 groups of 40 over 3 categories, w = 0.3: the
      // noncentral chi2 approximation.
      {"chi2 homogeneity", test(Procedure::ChiSquareHomogeneity, 0, 2), {{0, "0.05"},
        {ChiSquareHomogeneity::Ids::StdDevOfProportions, "0.3"}, {ChiSquareHomogeneity::Ids::NumberOfCategories, "3"},
        {ChiSquareHomogeneity::Ids::NoOfGroups, "3"}, {ChiSquareHomogeneity::Ids::AverageSampleSize, "40"}}, kNaN, 0.04},
      // The life table of 3 tables, mean difference 0.2 with standard error 0.07: the normal approximation.
      {"life table", test(Procedure::LifeTable, 0, 2), {{0, "0.05"}, {LifeTable::Ids::WeightedMeanDiff, "0.2"},
        {LifeTable::Ids::StdErrorOfMean, "0.07"}, {LifeTable::Ids::NoOfTables, "3"}}, kNaN, 0.04, false, 0.1},
      // The survival analysis test, hazards 0.5 and 1 over 40 units of time each, two-sided:
      // the Poisson events d1, d2 >= 1 with 2 norm.sf(|log((d2 / 40) / (d1 / 40))| /
      // sqrt(1 / d1 + 1 / d2)) <= .05, summed: 0.7352953733739378.
      {"log-rank", test(Procedure::SurvivalAnalysis, 2, 2), {{0, "0.05"}, {LogRank::Ids::HazardRate1, "0.5"},
        {LogRank::Ids::HazardRate2, "1"}, {LogRank::Ids::TimeAtRisk1, "40"}, {LogRank::Ids::TimeAtRisk2, "40"}},
       0.7352953733739378},
      // The exponential location test of 20, scale 1, location 0.1 against 0, one-sided:
      // exp(-20 (-log(.05) / 20 - .1)) = 0.3694528049465326.
      {"exponential location", dist(Procedure::ExponentialDistribution, 0, 1, 1), {{0, "0.05"},
        {Exl::H0Location, "0"}, {Exl::Location, "0.1"}, {Exl::Scale, "1"}, {Exl::SampleSize, "20"}},
       0.3694528049465326, 0, true},
      {"exponential location dropout", dist(Procedure::ExponentialDistribution, 0, 1, 1), {{0, "0.05"},
        {Exl::H0Location, "0"}, {Exl::Location, "0.1"}, {Exl::Scale, "1"}, {Exl::SampleSize, "20"}},
       kNaN, 0.06, false, 0.2},
      // The scale of 20 (location known), 1.5 against 1, one-sided:
      // chi2.sf(chi2.isf(.05, 40) / 1.5, 40) = 0.598260608806174.
      {"exponential scale", dist(Procedure::ExponentialDistribution, 1, 1, 1), {{0, "0.05"}, {Exs::H0Scale, "1"},
        {Exs::Scale, "1.5"}, {Exs::SampleSize, "20"}}, 0.598260608806174, 0, true},
      // Two scales of 15 each (location unknown, 28 degrees of freedom each), ratio 2, one-sided:
      // f.sf(f.isf(.05, 28, 28) / 2, 28, 28) = 0.5632999373104255.
      {"exponential scales", dist(Procedure::ExponentialDistribution, 2, 2, 1), {{0, "0.05"}, {Exs::H0Ratio, "1"},
        {Exs::Scale1, "1"}, {Exs::Scale2, "2"}, {Exs::SampleSize1, "15"}, {Exs::SampleSize2, "15"}},
       0.5632999373104255, 0, true},
  };
  // clang-format on
  for (const SimulatedRow& row : rows) {
    SCOPED_TRACE(row.name);
    const SimulationOutcome o = Simulate(row.choice, row.values, row.studies, row.dropout);
    ASSERT_TRUE(o.result) << o.error;
    const SimulationResult& res = *o.result;
    ASSERT_TRUE(res.power && res.level && res.analyticPower);
    const double power = res.power->estimate, level = res.level->estimate;
    ASSERT_TRUE(std::isfinite(power) && std::isfinite(level));
    const double studies = static_cast<double>(res.h1.studies);
    if (!std::isnan(row.exact)) {
      EXPECT_NEAR(power, row.exact, 5 * std::sqrt(row.exact * (1 - row.exact) / studies));
      if (row.analyticExact) {
        EXPECT_NEAR(*res.analyticPower, row.exact, 2e-4);
      }
    } else {
      EXPECT_NEAR(power, *res.analyticPower, row.band);
    }
    EXPECT_NEAR(level, 0.05, 0.025);
    if (row.dropout > 0) {
      // About the planned number remains of those recruited.
      EXPECT_GT(res.expectedTotalH1, 1.05 * *res.analyticTotalH1 * (1 - row.dropout));
    }
  }
}

// With two interim analyses (O'Brien-Fleming) each look analyses the data
// accumulated by then: the simulated power lies near that of the
// group-sequential design, the level near 0.05, and most rejections come
// at the later looks.
TEST_F(CountSimulation, InterimLooksAnalyseTheDataSoFar) {
  const struct {
    const char* name;
    testing::Choice choice;
    testing::Values values;
  } rows[] = {
      {"McNemar", testing::TestChoice(Procedure::McNemar, 1, 2), {{0, "0.05"}, {McNemar::Ids::Proportion1, "0.3"},
        {McNemar::Ids::Proportion2, "0.45"}, {McNemar::Ids::Proportion11, "0.2"}, {McNemar::Ids::SampleSize, "150"}}},
      {"hypergeometric", testing::DistChoice(Procedure::HypergeometricDistribution, 0, kTest, 2, 2), {{0, "0.05"},
        {Hyp::H0Difference, "0"}, {Hyp::Proportion1, "0.4"}, {Hyp::Proportion2, "0.6"}, {Hyp::SampleSize1, "100"},
        {Hyp::SampleSize2, "100"}, {Hyp::PopulationSize1, "400"}, {Hyp::PopulationSize2, "400"}}},
      {"chi2 homogeneity", testing::TestChoice(Procedure::ChiSquareHomogeneity, 0, 2), {{0, "0.05"},
        {ChiSquareHomogeneity::Ids::StdDevOfProportions, "0.3"}, {ChiSquareHomogeneity::Ids::NumberOfCategories, "3"},
        {ChiSquareHomogeneity::Ids::NoOfGroups, "3"}, {ChiSquareHomogeneity::Ids::AverageSampleSize, "50"}}},
      {"life table", testing::TestChoice(Procedure::LifeTable, 0, 2), {{0, "0.05"},
        {LifeTable::Ids::WeightedMeanDiff, "0.2"}, {LifeTable::Ids::StdErrorOfMean, "0.07"}, {LifeTable::Ids::NoOfTables, "3"}}},
      {"log-rank", testing::TestChoice(Procedure::SurvivalAnalysis, 2, 2), {{0, "0.05"}, {LogRank::Ids::HazardRate1, "0.5"},
        {LogRank::Ids::HazardRate2, "1"}, {LogRank::Ids::TimeAtRisk1, "50"}, {LogRank::Ids::TimeAtRisk2, "50"}}},
      {"exponential scales", testing::DistChoice(Procedure::ExponentialDistribution, 2, kTest, 2, 2), {{0, "0.05"},
        {Exs::H0Ratio, "1"}, {Exs::Scale1, "1"}, {Exs::Scale2, "2"}, {Exs::SampleSize1, "20"}, {Exs::SampleSize2, "20"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Enter(row.choice, row.values);
    for (int p = 0; p <= s.LastPosition; ++p) {
      const std::string& text = s.entry(s.ParameterList[static_cast<std::size_t>(p)]).ParamText;
      if (!text.empty()) s.ParameterValues[static_cast<std::size_t>(p)] = std::stod(text);
    }
    s.InterimCount = 2;
    SimulationRequest r;
    r.studies = 4000;
    r.threads = 1;
    const std::atomic<bool> cancel{false};
    const SimulationOutcome o = RunSimulation(d, r, cancel);
    ASSERT_TRUE(o.result) << o.error;
    const SimulationResult& res = *o.result;
    ASSERT_TRUE(res.power && res.level && res.analyticPower);
    ASSERT_EQ(res.looks.size(), 3u);
    EXPECT_NEAR(res.power->estimate, *res.analyticPower, 0.05);
    EXPECT_NEAR(res.level->estimate, 0.05, 0.025);
    EXPECT_LT(res.looks[0].rejectH1, res.looks[1].rejectH1 + res.looks[2].rejectH1);
    EXPECT_LT(res.expectedTotalH1, res.expectedTotalH0);
    for (std::size_t k = 1; k < 3; ++k) EXPECT_GT(res.looks[k].sizes[0], res.looks[k - 1].sizes[0]);
  }
}

TEST_F(CountSimulation, RefusesWhatCannotBeSimulated) {
  const struct {
    testing::Choice choice;
    testing::Values values;
    double dropout;
    const char* says;
  } rows[] = {
      // The times at risk are observed in full.
      {testing::TestChoice(Procedure::SurvivalAnalysis, 2, 2), {}, 0.2, "a dropout rate does not apply"},
      {testing::TestChoice(Procedure::ChiSquareHomogeneity, 0, 2),
       {{ChiSquareHomogeneity::Ids::NumberOfCategories, "2.5"}}, 0, "whole numbers from 2 to 100"},
      // Three tables of two groups cannot have a standard error of 0.3.
      {testing::TestChoice(Procedure::LifeTable, 0, 2), {}, 0, "above 1 / (2 sqrt(No Of Tables))"},
      // 50 from 55 with a fifth dropping out: 63 would be drawn.
      {testing::DistChoice(Procedure::HypergeometricDistribution, 0, kTest, 1, 2),
       {{Hyp::SampleSize, "50"}, {Hyp::PopulationSize, "55"}}, 0.2, "must fit in their populations"},
  };
  for (const auto& row : rows) {
    const SimulationOutcome o = Simulate(row.choice, row.values, 100, row.dropout);
    EXPECT_FALSE(o.result) << row.says;
    EXPECT_NE(o.error.find(row.says), std::string::npos) << o.error;
  }
}

}  // namespace
}  // namespace pelmora
