// Tests of the simulated observations and counts.  Each sampler's 200,000
// draws are held to its exact mean, variance and one value of its
// distribution function, within 4 standard errors (the variance's is
// variance * sqrt((excess kurtosis + 2) / n)).  The exact values are scipy
// 1.10's (/usr/bin/python3): with d the distribution of the row,
// d.stats(moments='mvk') and d.cdf(x).  For the models of mean 10 and SD 2,
// s = sqrt(log(1.04)): norm(10, 2); lognorm(s, scale=exp(log(10) - s*s/2));
// t3: t(3).cdf(-sqrt(3)); uniform(10 - 2*sqrt(3), 4*sqrt(3)); each at x = 8.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "numeric/sample_moments.h"
#include "numeric/simulated_counts.h"
#include "numeric/simulated_data.h"

namespace pelmora {
namespace {

constexpr int kDraws = 200000;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A row's draw: the value of the expression from the stream s.
#define DRAW(expr) [&](RandomStream& s) { return static_cast<double>(expr); }

double Sum(ObservationPair pair) { return pair.x + pair.y; }

ObservationSampler Model(DataModel model) { return *ObservationSampler::WithMoments(model, 10, 2); }

struct DrawCase {
  const char* name;
  std::function<double(RandomStream&)> draw;
  double mean, variance, kurtosis;  // excess kurtosis; NaN where the fourth moment is infinite
  double x, cdf;                    // P(X <= x)
};

TEST(SimulatedDraws, EachSamplerHasItsDistribution) {
  const auto log_scale = *ObservationSampler::LogNormalFromLogScale(1, 0.5);
  const auto pairs = *BivariateNormalSampler::Create(1, 2, -2, 0.5, -0.6);
  // A multinomial of 100 over weights of sum 2 for (0.2, 0.5, 0, 0.3).
  const auto category = [](std::size_t j) {
    return [j](RandomStream& s) {
      std::array<std::int64_t, 4> counts;
      DrawMultinomial(s, 100, std::array<double, 4>{0.4, 1.0, 0.0, 0.6}, counts);
      return static_cast<double>(counts[j]);
    };
  };
  const DrawCase cases[] = {
      {"normal", Model(DataModel::kNormal), 10, 4, 0, 8, 0.15865525393145707},
      {"log-normal", Model(DataModel::kLogNormal), 10, 4, 0.6643865600000005, 8, 0.15203927639774134},
      {"t3", Model(DataModel::kT3), 10, 4, kNaN, 8, 0.09084505690810461},
      {"uniform", Model(DataModel::kUniform), 10, 4, -1.2, 8, 0.2113248654051871},
      // lognorm(0.5, scale=e), at x = 1.44.
      {"log scale", log_scale, 3.080216848918031, 2.694758124344946, 5.898445673784778, 1.44,
       0.10191524700716076},
      // expon(scale=0.5).
      {"exponential time", DRAW(DrawExponentialTime(s, 2)), 0.5, 0.25, 6, 0.25, 0.3934693402873666},
      // Pairs of correlation -0.6, (1, 2) and (-2, 0.5): y is norm(-2, 0.5);
      // x + y is normal of variance 4 + 0.25 - 2 * 0.6 * 2 * 0.5 = 3.05.
      {"pair y", DRAW(pairs(s).y), -2, 0.25, 0, -2.5, 0.15865525393145707},
      {"pair x + y", DRAW(Sum(pairs(s))), -1, 3.05, 0, -1, 0.5},
      // binom(20, 0.3) by inversion, binom(100000, 0.42) by BTRD.
      {"binom 20", DRAW(DrawBinomial(s, 20, 0.3)), 6, 4.2, -0.061904761904761865, 5, 0.4163708294474809},
      {"binom 1e5", DRAW(DrawBinomial(s, 100000, 0.42)), 42000, 24360, -1.894909688013137e-05, 41900,
       0.2619306974995862},
      // poisson(3.5) by inversion, poisson(250) by PTRS.
      {"poisson 3.5", DRAW(DrawPoisson(s, 3.5)), 3.5, 3.5, 0.2857142857142857, 3, 0.536632667900785},
      {"poisson 250", DRAW(DrawPoisson(s, 250)), 250, 250, 0.004, 240, 0.2762274601578855},
      // hypergeom(M, n, N): population M, successes n, draws N; the last
      // with the smallest count 7 (12 draws, 5 failures).
      {"hypergeom 50", DRAW(DrawHypergeometric(s, 50, 20, 10)), 4, 1.9591836734693877, -0.13162123226950354,
       4, 0.645026889882208},
      {"hypergeom 1e5", DRAW(DrawHypergeometric(s, 100000, 30000, 5000)), 1500, 997.509975099751,
       -0.0002463663443348104, 1480, 0.2688698748957171},
      {"hypergeom 30", DRAW(DrawHypergeometric(s, 30, 25, 12)), 10, 1.0344827586206897, -0.2841269841269841,
       9, 0.3042819249715802},
      // Multinomial categories: binom(100, 0.5) and binom(100, 0.3).
      {"multinomial 1", category(1), 50, 25, -0.02, 45, 0.18410080866334788},
      {"multinomial 3", category(3), 30, 21, -0.012380952380952371, 27, 0.2963661605577417},
  };
  const double n = kDraws;
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.name);
    RandomStream stream(21, 0);
    std::vector<double> x(kDraws);
    int below = 0;
    for (double& v : x) below += (v = c.draw(stream)) <= c.x;
    const SampleMoments m = MomentsOf(x);
    EXPECT_NEAR(m.mean, c.mean, 4 * std::sqrt(c.variance / n));
    if (!std::isnan(c.kurtosis)) {
      EXPECT_NEAR(m.variance, c.variance, 4 * c.variance * std::sqrt((c.kurtosis + 2) / n));
    }
    EXPECT_NEAR(below / n, c.cdf, 4 * std::sqrt(c.cdf * (1 - c.cdf) / n));
  }
}

TEST(SimulatedDraws, NamesEndsAndDomain) {
  for (DataModel model : kDataModels) EXPECT_EQ(DataModelNamed(DataModelName(model)), model);
  EXPECT_EQ(DataModelName(DataModel::kLogNormal), "log-normal");
  EXPECT_FALSE(DataModelNamed("Normal"));
  EXPECT_FALSE(ObservationSampler::WithMoments(DataModel::kLogNormal, 0, 1) ||
               ObservationSampler::WithMoments(DataModel::kNormal, 0, -1) ||
               ObservationSampler::WithMoments(DataModel::kUniform, kNaN, 1) ||
               ObservationSampler::LogNormalFromLogScale(800, 1) ||  // exp(800) overflows
               BivariateNormalSampler::Create(0, 1, 0, 1, 1.01));

  RandomStream s(23, 0);
  for (DataModel model : kDataModels) EXPECT_DOUBLE_EQ((*ObservationSampler::WithMoments(model, 3, 0))(s), 3);
  EXPECT_EQ(DrawExponentialTime(s, 0), std::numeric_limits<double>::infinity());
  // Outside the domain nothing is drawn: 0.
  EXPECT_EQ(DrawBinomial(s, -5, 0.5) + DrawBinomial(s, 50, kNaN) + DrawBinomial(s, 50, 1.5) +
                DrawPoisson(s, 0) + DrawHypergeometric(s, 10, 11, 4) + DrawHypergeometric(s, 10, 3, 11),
            0);
  EXPECT_TRUE(DrawBinomial(s, 50, 0) == 0 && DrawBinomial(s, 50, 1) == 50);
  EXPECT_TRUE(DrawHypergeometric(s, 10, 10, 4) == 4 && DrawHypergeometric(s, 10, 3, 10) == 3);
  std::array<std::int64_t, 3> m{7, 7, 7};
  DrawMultinomial(s, 10, std::array<double, 3>{0.5, -0.1, 0.6}, m);
  EXPECT_EQ(m, (std::array<std::int64_t, 3>{0, 0, 0}));
  for (int i = 0; i < 1000; ++i) {
    DrawMultinomial(s, 10, std::array<double, 3>{0.3, 0, 0.7}, m);
    ASSERT_TRUE(m[0] + m[2] == 10 && m[1] == 0);
  }

  // log(k!) beyond the table's end: math.lgamma(k + 1).
  EXPECT_NEAR(LogFactorial(65), 209.34258675253685, 1e-15 * 209);
  EXPECT_NEAR(LogFactorial(1000000), 12815518.384658169, 1e-15 * 12815518);
  // numpy: mean() and var(ddof=1); the large mean defeats a one-pass sum of squares.
  EXPECT_DOUBLE_EQ(MomentsOf(std::vector<double>{1e9 + 1, 1e9 + 2, 1e9 + 3}).variance, 1.0);
  EXPECT_DOUBLE_EQ(MomentsOf(std::vector<double>{1, 2, 3, 4}).variance, 1.6666666666666667);
  EXPECT_EQ(MomentsOf(std::vector<double>{4}).variance, 0.0);
}

}  // namespace
}  // namespace pelmora
