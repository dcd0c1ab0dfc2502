// The simulated studies of the sample distributions: a test whose power is
// exact reaches it within 5 standard errors; an approximate test keeps its
// level near the nominal one; an interval covers the true value about as
// often as its confidence level says, and the share of intervals narrow
// enough is a sane probability.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>

#include "engine/simulation.h"
#include "procedures/distributions/binomial.h"
#include "procedures/distributions/exponential.h"
#include "procedures/distributions/hypergeometric.h"
#include "procedures/distributions/log_normal.h"
#include "procedures/distributions/normal.h"
#include "procedures/distributions/poisson.h"
#include "procedures/hypothesis/groups.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using PoiIds = PoissonDistribution::Ids;
using BinIds = BinomialDistribution::Ids;
using HypIds = HypergeometricDistribution::Ids;
using NorIds = NormalDistribution::Ids;
using LogIds = LogNormalDistribution::Ids;
using ExpIds = ExponentialDistribution::Ids;
using Common = NormalApproximateEstimate::Ids;
constexpr int kExact = 7, kContinuity = 1;
constexpr int kTest = 0, kInterval = 2;

struct SimulatedRow {
  testing::Choice choice;
  testing::Values values;
  std::int64_t studies;
  double expected;   // the exact power, or the nominal coverage
  double band;       // < 0: within 5 standard errors of `expected`; else within +/- band
  double level = 0;  // a test: the level lies within 0.02 of it (0: not looked at)
  double narrowLow = 0, narrowHigh = 1;  // an interval: the share narrow enough lies in these bounds
};

class DistributionSimulation : public testing::PlanningTest {};

TEST_F(DistributionSimulation, PowerLevelAndCoverage) {
  const auto poi = [](int choice, int kind, int samples, int tails, std::vector<int> options, testing::Forms forms = {}) {
    return testing::DistChoice(Procedure::PoissonDistribution, choice, kind, samples, tails, std::move(options),
                               std::move(forms));
  };
  const auto norm = [](int choice, int samples, testing::Forms forms) {
    return testing::DistChoice(Procedure::NormalDistribution, choice, kInterval, samples, 2, {}, std::move(forms));
  };
  const auto bin = [](int samples, std::vector<int> options, testing::Forms forms = {}) {
    return testing::DistChoice(Procedure::BinomialDistribution, 0, kInterval, samples, 2, std::move(options),
                               std::move(forms));
  };
  const std::vector<SimulatedRow> rows = {
      // Exact one-sided Poisson test of 10 subjects, mean 1 against 1.5: it
      // rejects from 16 events; poisson.sf(15, 15) = 0.43191042439145627.
      {poi(0, kTest, 1, 1, {kExact}), {{0, "0.05"}, {PoiIds::H0Mean, "1"}, {PoiIds::Mean, "1.5"}, {PoiIds::SampleSize, "10"}},
       20000, 0.43191042439145627, -1},
      // Its level: poisson.sf(15, 10) = 0.04874040330397868 (the H0 run is
      // checked against the nominal 0.05 within 0.02 as well).
      // Two Poisson samples of 200 and 200 subjects, means 1 and 1.25, the
      // normal approximation with the pooled standard error: power
      // norm.cdf(0.25 / sqrt(2 * 1.125 / 200) - norm.isf(0.025)) =
      // 0.654337883048977 (a band of 0.03 for the approximation), level near 0.05.
      {poi(0, kTest, 2, 2, {}), {{0, "0.05"}, {PoiIds::H0MeanDifference, "0"}, {PoiIds::Mean1, "1"}, {PoiIds::Mean2, "1.25"},
        {PoiIds::SampleSize1, "200"}, {PoiIds::SampleSize2, "200"}}, 20000, 0.654337883048977, 0.03, 0.05},
      // A 95% interval of a proportion 0.3 from 300 subjects: coverage near
      // 0.95; the width 2 z sqrt(0.3 0.7 / 300) = 0.10371 is reached where the
      // observed p (1 - p) is below 0.21, about half the studies.
      {bin(1, {}, {{group::ConfInterval, 2}}), {{Common::ConfidenceLevel, "0.95"}, {BinIds::Proportion, "0.3"},
        {Common::WidthOfInterval, "0.1037"}, {BinIds::SampleSize, "300"}}, 20000, 0.95, 0.01, 0, 0.35, 0.65},
      // Two proportions 0.4 and 0.5 of 250 each, the lower limit of the
      // difference: coverage near 0.95.
      {bin(2, {}, {{group::ConfInterval, 0}}), {{Common::ConfidenceLevel, "0.95"}, {BinIds::Proportion1, "0.4"},
        {BinIds::Proportion2, "0.5"}, {Common::LowerLimit, "0.0134"}, {BinIds::SampleSize1, "250"},
        {BinIds::SampleSize2, "250"}}, 20000, 0.95, 0.01, 0, 0.3, 0.7},
      // A Poisson rate of 2 over 100 units of time, the continuity
      // correction: coverage near 0.95 (the correction narrows the interval
      // by 1/(2T) = 0.005 on each side, too little to move the coverage much).
      {poi(1, kInterval, 1, 2, {kContinuity}, {{group::ConfInterval, 1}}), {{Common::ConfidenceLevel, "0.95"}, {PoiIds::Rate, "2"},
        {Common::UpperLimit, "2.27"}, {PoiIds::StudyTime, "100"}}, 20000, 0.95, 0.015, 0, 0.2, 0.8},
      // 200 drawn from a population of 1000 with 300 marked: coverage near
      // 0.95 with the finite-population correction; the width
      // 2 norm.isf(0.025) sqrt(0.21 (800/999) / 200) = 0.11367 is reached
      // in about half the studies.
      {testing::DistChoice(Procedure::HypergeometricDistribution, 0, kInterval, 1, 2, {}, {{group::ConfInterval, 2}}),
       {{Common::ConfidenceLevel, "0.95"}, {HypIds::Proportion, "0.3"}, {Common::WidthOfInterval, "0.11367"},
        {HypIds::SampleSize, "200"}, {HypIds::PopulationSize, "1000"}}, 20000, 0.95, 0.01, 0, 0.35, 0.65},
      // Normal observations: the t interval of a mean (SD 2, 30 subjects),
      // the z interval of a difference of means with known SDs 2 and 3 (40
      // and 50 subjects; its lower limit 1 - norm.isf(0.025) sqrt(4/40 + 9/50)
      // = -0.03713 reached in every study), the chi-square interval of an SD
      // of 2 (25 subjects, reached where the observed SD is below 2) and the
      // log-normal median's interval (shape 0.5 estimated, 40 subjects; its
      // width 5 (exp(q se) - exp(-q se)) = 1.60590, q = t.ppf(0.975, 39), se =
      // 0.5 / sqrt(40), reached about half the time): all
      // cover with the probability 0.95 exactly.
      {norm(1, 1, {{group::ConfInterval, 2}}), {{Common::ConfidenceLevel, "0.95"}, {NorIds::Mean, "10"}, {NorIds::SdStar, "2"},
        {Common::WidthOfInterval, "1.5"}, {NorIds::SampleSize, "30"}}, 20000, 0.95, 0.008, 0, 0.3, 0.8},
      {norm(0, 2, {{group::ConfInterval, 0}}), {{Common::ConfidenceLevel, "0.95"}, {NorIds::Diff, "1"}, {NorIds::Sd1, "2"},
        {NorIds::Sd2, "3"}, {Common::LowerLimit, "-0.04"}, {NorIds::SampleSize1, "40"}, {NorIds::SampleSize2, "50"}},
       20000, 0.95, 0.008, 0, 0.999, 1},
      {norm(3, 1, {{group::ConfInterval, 1}}), {{Common::ConfidenceLevel, "0.95"}, {NorIds::SdStar, "2"},
        {Common::UpperLimit, "2.8"}, {NorIds::SampleSize, "25"}}, 20000, 0.95, 0.008, 0, 0.4, 0.65},
      {testing::DistChoice(Procedure::LogNormalDistribution, 1, kInterval, 1, 2, {}, {{group::ConfInterval, 2}}),
       {{Common::ConfidenceLevel, "0.95"}, {LogIds::Median, "5"}, {LogIds::ShapeStar, "0.5"},
        {Common::WidthOfInterval, "1.6059"}, {LogIds::SampleSize, "40"}}, 20000, 0.95, 0.008, 0, 0.35, 0.65},
      // Exponential times, the exact intervals: the location of 20 times of
      // scale 2 (its width 2 log(20) / 20 = 0.29957 always below 0.3); the
      // scale 2 of 30 times above a known location, its upper limit 3
      // reached where the estimate s has s (60 / chi2.ppf(.025, 60) - 1) <= 1,
      // chi2.cdf(60 / 2 / (60 / chi2.ppf(.025, 60) - 1), 60) = 0.60297; the ratio
      // 1.5 of two scales of 30 times each with the location estimated (58
      // degrees of freedom each), its lower limit 0.8 reached with
      // probability f.cdf(0.7 / (1 - 1 / f.ppf(.975, 58, 58)) / 1.5, 58, 58) = 0.70324.
      {testing::DistChoice(Procedure::ExponentialDistribution, 0, kInterval, 1, 2, {}, {{group::ConfInterval, 2}}),
       {{ExpIds::ConfidenceLevel, "0.95"}, {ExpIds::Location, "1"}, {ExpIds::Scale, "2"}, {ExpIds::Width, "0.3"},
        {ExpIds::SampleSize, "20"}}, 20000, 0.95, 0.008, 0, 0.999, 1},
      {testing::DistChoice(Procedure::ExponentialDistribution, 1, kInterval, 1, 2, {}, {{group::ConfInterval, 1}}),
       {{ExpIds::ConfidenceLevel, "0.95"}, {ExpIds::ScaleEstimate, "2"}, {ExpIds::UpperLimit, "3"},
        {ExpIds::SampleSize, "30"}}, 20000, 0.95, 0.008, 0, 0.60297 - 0.02, 0.60297 + 0.02},
      {testing::DistChoice(Procedure::ExponentialDistribution, 2, kInterval, 2, 2, {}, {{group::ConfInterval, 0}}),
       {{ExpIds::ConfidenceLevel, "0.95"}, {ExpIds::Ratio, "1.5"}, {ExpIds::LowerLimit, "0.8"},
        {ExpIds::SampleSize1, "30"}, {ExpIds::SampleSize2, "30"}}, 20000, 0.95, 0.008, 0, 0.70324 - 0.02, 0.70324 + 0.02},
  };
  const std::atomic<bool> cancel{false};
  for (const SimulatedRow& row : rows) {
    Enter(row.choice, row.values);
    // The values typed, as a calculation reads them.
    for (int p = 0; p <= s.LastPosition; ++p) {
      const std::string& text = s.entry(s.ParameterList[static_cast<std::size_t>(p)]).ParamText;
      if (!text.empty()) s.ParameterValues[static_cast<std::size_t>(p)] = std::stod(text);
    }
    SimulationRequest r;
    r.studies = row.studies;
    r.threads = 1;
    const SimulationOutcome o = RunSimulation(d, r, cancel);
    ASSERT_TRUE(o.result) << o.error;
    const SimulationResult& res = *o.result;
    const double studies = static_cast<double>(res.h1.studies);
    if (res.interval) {
      ASSERT_TRUE(res.coverage && res.widthBelow);
      EXPECT_NEAR(res.coverage->estimate, row.expected, row.band) << s.ParameterChoiceName;
      EXPECT_GE(res.widthBelow->estimate, row.narrowLow) << s.ParameterChoiceName;
      EXPECT_LE(res.widthBelow->estimate, row.narrowHigh) << s.ParameterChoiceName;
      continue;
    }
    ASSERT_TRUE(res.power && res.level);
    const double band = row.band < 0 ? 5 * std::sqrt(row.expected * (1 - row.expected) / studies) : row.band;
    EXPECT_NEAR(res.power->estimate, row.expected, band) << s.ParameterChoiceName;
    EXPECT_NEAR(res.level->estimate, 0.05, 0.02) << s.ParameterChoiceName;
    if (res.analyticPower && row.band < 0) {
      EXPECT_NEAR(*res.analyticPower, row.expected, 1e-4);
    }
  }
  // The mean of a finite population is refused, test and interval alike.
  for (int kind : {kTest, kInterval}) {
    Choose(testing::DistChoice(Procedure::FinitePopulation, 0, kind, 1, 2));
    SimulationRequest r;
    r.studies = 100;
    const SimulationOutcome o = RunSimulation(d, r, cancel);
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.error, "Not Available As Monte Carlo Simulation");
  }
}

}  // namespace
}  // namespace pelmora
