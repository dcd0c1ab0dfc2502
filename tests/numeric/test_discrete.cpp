// Tests of the discrete distributions.  Reference values come from R 4.x
// (dbinom, pbinom, dhyper, phyper, dpois, ppois, choose); the expression that
// produced each is written beside it.  The probabilities are exact ratio
// recurrences in double, rounded to single: they are held to a few units of
// single precision.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numeric/discrete.h"
#include "numeric/fault_guard.h"

namespace pelmora {
namespace {

// Reference values of one distribution at several points.
struct BinomialSeries {
  std::int16_t n;
  Single p;
  std::vector<std::int16_t> k;
  std::vector<double> ref;
};
struct HyperSeries {
  std::int16_t a, b, n;
  std::vector<std::int16_t> x;
  std::vector<double> ref;
};
struct PoissonSeries {
  Single lambda;
  std::vector<Single> k;
  std::vector<double> ref;
};

// A single result near 1 is good to 6e-8 absolute; the one-minus-upper-tail sums
// may lose a little more.
constexpr double kAbsolute = 2e-7;
// A point probability is a product of exact ratios: good to the single
// rounding, a few 1e-8 relative.
constexpr double kRelative = 2e-7;

// clang-format off
const BinomialSeries kBinomialPoint[] = {
  // dbinom(k, 10, 0.3125)
  {10, 0.3125f, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0.023589950252244307, 0.10722704660111056,
   0.21932804986590779, 0.26585218165564584, 0.21147332631699101, 0.11534908708199505, 0.04369283601590724,
   0.011348788575560332, 0.0019344525981068717, 0.0001953992523340275, 8.8817841970012489e-06}},
  // dbinom(k, 50, 0.75)
  {50, 0.75f, {0, 10, 25, 49, 50}, {7.8886090522101049e-31, 4.7849758723036569e-16, 8.4491946699039787e-05,
   9.4386942737822839e-06, 5.6632165642693846e-07}},
};

const BinomialSeries kBinomialCdf[] = {
  // pbinom(k, 1, 0.125)
  {1, 0.125f, {0}, {0.875}},
  // pbinom(k, 2, 0.5)
  {2, 0.5f, {1}, {0.75}},
  // pbinom(k, 5, 0.5)
  {5, 0.5f, {0, 1, 2, 3, 4}, {0.03125, 0.18749999999999997, 0.5, 0.8125, 0.96875}},
  // pbinom(k, 5, 0.8125)
  {5, 0.8125f, {0, 1, 2, 3, 4}, {0.00023174285888671891, 0.0052528381347656233, 0.048768997192382792,
   0.23733901977539065, 0.64590740203857422}},
  // pbinom(k, 12, 0.03125)
  {12, 0.03125f, {2, 5, 6, 9}, {0.9945689874846757, 0.99999926864799882, 0.99999997993094225,
   0.99999999999994471}},
  // pbinom(k, 12, 0.375)
  {12, 0.375f, {2, 5, 6, 9}, {0.11354472917446408, 0.7290805115189869, 0.88223850980284624,
   0.99841979135817382}},
  // pbinom(k, 40, 0.375)
  {40, 0.375f, {5, 15, 20, 30}, {0.00044783204074632933, 0.56998401063526627, 0.96208278205077002,
   0.99999970302280672}},
  // pbinom(k, 200, 0.25)
  {200, 0.25f, {40, 50, 60, 100}, {0.057849829136712626, 0.53790582453878955, 0.95461143986443275,
   0.99999999999999123}},
  // pbinom(k, 1000, 0.5)
  {1000, 0.5f, {480, 500, 520}, {0.10872414660207072, 0.51261250908918043, 0.90261683576911711}},
};

const HyperSeries kHyperPoint[] = {
  // dhyper(x, 10, 20, 12)
  {10, 20, 12, {0, 2, 4, 6, 8, 10}, {0.0014564146498179504, 0.096123366887984757, 0.30584707646176923,
   0.094106792757467514, 0.0025207176631464553, 2.1967038458792574e-06}},
  // dhyper(x, 300, 200, 250)
  {300, 200, 250, {140, 150, 160}, {0.013804995688599086, 0.072721329200078413, 0.013804995688599086}},
  // dhyper(x, 2, 7, 5)
  {2, 7, 5, {0, 1, 2}, {0.16666666666666674, 0.55555555555555536, 0.27777777777777785}},
};

const HyperSeries kHyperCdf[] = {
  // phyper(x, 5, 5, 3)
  {5, 5, 3, {0, 1, 2}, {0.083333333333333329, 0.50000000000000022, 0.91666666666666674}},
  // phyper(x, 3, 8, 6)
  {3, 8, 6, {0, 1, 2}, {0.060606060606060622, 0.4242424242424242, 0.87878787878787867}},
  // phyper(x, 8, 3, 6)
  {8, 3, 6, {3, 4, 5}, {0.12121212121212126, 0.57575757575757569, 0.93939393939393945}},
  // phyper(x, 20, 10, 25)
  {20, 10, 25, {15, 16, 17, 18, 19}, {0.10879541914024665, 0.44878110395351745, 0.80876594669698121,
   0.96875921013852051, 0.99823165340406717}},
  // phyper(x, 100, 30, 60)
  {100, 30, 60, {40, 45, 50}, {0.0089929442195488766, 0.39154909896626389, 0.96630032447571246}},
  // phyper(x, 200, 300, 250)
  {200, 300, 250, {90, 100, 110}, {0.041358957646381714, 0.53636066460003917, 0.97244603804221741}},
};

const PoissonSeries kPoissonPoint[] = {
  // dpois(k, 3.5)
  {3.5f, {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f}, {0.030197383422318501, 0.10569084197811476,
   0.18495897346170084, 0.21578546903865098, 0.18881228540881964, 0.13216859978617371, 0.077098349875267994}},
  // dpois(k, 100)
  {100.0f, {100.0f}, {0.039860996809147134}},
};

const PoissonSeries kPoissonCdf[] = {
  // ppois(k, 0.25)
  {0.25f, {0.0f, 1.0f, 2.0f}, {0.77880078307140488, 0.97350097883925613, 0.99783850331023749}},
  // ppois(k, 1)
  {1.0f, {0.0f, 1.0f, 2.0f, 3.0f}, {0.36787944117144233, 0.73575888234288467, 0.91969860292860584,
   0.98101184312384615}},
  // ppois(k, 3.5)
  {3.5f, {1.0f, 3.0f, 5.0f, 8.0f}, {0.13588822540043324, 0.53663266790078512, 0.85761355309577836,
   0.99012634194389515}},
  // ppois(k, 10)
  {10.0f, {5.0f, 10.0f, 15.0f}, {0.067085962879031791, 0.58303975019298537, 0.95125959669602123}},
  // ppois(k, 40.5)
  {40.5f, {30.0f, 40.0f, 50.0f}, {0.05302167749327126, 0.51047720989397005, 0.93795387380910911}},
};
// clang-format on

TEST(DiscreteBinomial, Coefficients) {
  EXPECT_EQ(BinomialCoefficient(10, 3), 120);  // choose(10, 3)
  EXPECT_EQ(BinomialCoefficient(10, 0), 1.0);
  EXPECT_EQ(BinomialCoefficient(10, -3), 1.0);
  EXPECT_NEAR(BinomialCoefficient(60, 30), 1.1826458156486115e+17,
              1e-14 * 1.1826458156486115e+17);            // choose(60, 30)
  EXPECT_EQ(BinomialCoefficientCached(100, 3), 161700);   // choose(100, 3)
  EXPECT_EQ(BinomialCoefficientCached(100, 97), 161700);  // choose(100, 3)
  EXPECT_EQ(BinomialCoefficientCached(61, 2), 1830);      // choose(61, 2)
  // The cached values are those of the shorter product, on both sides and on
  // every later call.
  for (std::int16_t n = 0; n <= 60; n += 6) {
    for (std::int16_t k = 0; k <= n; ++k) {
      const double direct = BinomialCoefficient(n, std::min<std::int16_t>(k, n - k));
      EXPECT_EQ(BinomialCoefficientCached(n, k), direct) << n << " " << k;
      EXPECT_EQ(BinomialCoefficientCached(n, k), direct) << n << " " << k;
      EXPECT_EQ(BinomialCoefficientCached(n, n - k), direct) << n << " " << k;
    }
  }
  EXPECT_NEAR(BinomialCoefficientCached(60, 30), 1.1826458156486115e+17,
              1e-14 * 1.1826458156486115e+17);  // choose(60, 30)
  // k beyond n: the shorter product has a negative length and gives 1.
  EXPECT_EQ(BinomialCoefficientCached(5, 7), 1.0);
}

TEST(DiscreteBinomial, PointAndCdf) {
  for (const auto& t : kBinomialPoint)
    for (std::size_t i = 0; i < t.k.size(); ++i)
      EXPECT_NEAR(BinomialPoint(t.n, t.k[i], t.p), t.ref[i], kRelative * t.ref[i]) << t.n << " " << t.k[i];
  for (const auto& t : kBinomialCdf)
    for (std::size_t i = 0; i < t.k.size(); ++i)
      EXPECT_NEAR(BinomialCdf(t.n, t.k[i], t.p), t.ref[i], kAbsolute) << t.n << " " << t.k[i];
  EXPECT_EQ(BinomialPoint(10, -1, 0.5f), 0.0f);
  EXPECT_EQ(BinomialPoint(10, 11, 0.5f), 0.0f);
  EXPECT_EQ(BinomialCdf(10, -1, 0.5f), 0.0f);
  EXPECT_EQ(BinomialCdf(10, 10, 0.5f), 1.0f);
  EXPECT_EQ(BinomialCdf(10, 12, 0.5f), 1.0f);
  // The ends need no division by p or q.
  EXPECT_EQ(BinomialPoint(6, 0, 0), 1.0f);
  EXPECT_EQ(BinomialPoint(6, 6, 1), 1.0f);
}

TEST(DiscreteBinomial, CdfPairMatchesSingleSums) {
  for (std::int16_t n : {0, 1, 7, 12, 31}) {
    for (std::int16_t k = -3; k <= n + 1; ++k) {
      Single c0 = -1, c1 = -1;
      BinomialCdfPair(n, k, 0.375f, c0, c1);
      EXPECT_EQ(c0, BinomialCdf(n, k, 0.375f)) << n << " " << k;
      EXPECT_NEAR(c1, BinomialCdf(n, k + 1, 0.375f), 1e-7) << n << " " << k;
    }
  }
  Single c0, c1;
  EXPECT_THROW(BinomialCdfPair(100, 32767, 0.5f, c0, c1), ArithmeticFault);
}

TEST(DiscreteBinomial, RealArgumentsInterpolate) {
  const Single p = 0.3125f;
  // Whole numbers give exactly the discrete values.
  for (std::int16_t k = 0; k <= 10; ++k) {
    EXPECT_EQ(BinomialPointReal(10, k, p), BinomialPoint(10, k, p)) << k;
    EXPECT_EQ(BinomialCdfReal(10, k, p), BinomialCdf(10, k, p)) << k;
  }
  // Halfway in k: the mean of the neighbours; halfway in n likewise.
  EXPECT_NEAR(BinomialPointReal(10, 3.5f, p), 0.23866275398631842,
              kRelative);  // (dbinom(3, 10, 0.3125) + dbinom(4, 10, 0.3125)) / 2
  EXPECT_NEAR(BinomialPointReal(10.5f, 3, p), 0.25858278606349927,
              kRelative);  // (dbinom(3, 10, 0.3125) + dbinom(3, 11, 0.3125)) / 2
  EXPECT_NEAR(BinomialPointReal(10, 3.5f, p),
              (static_cast<double>(BinomialPoint(10, 3, p)) + BinomialPoint(10, 4, p)) / 2, 1e-7);
  EXPECT_NEAR(BinomialCdfReal(10.25f, 3.5f, p), 0.70308836387822282,
              kAbsolute);  // 0.75 * (pbinom(3, 10, 0.3125) + pbinom(4, 10, 0.3125)) / 2 + 0.25 * (pbinom(3,
                           // 11, 0.3125) + pbinom(4, 11, 0.3125)) / 2
  EXPECT_EQ(BinomialPointReal(4.5f, 4.75f, p), 0.0f);
  EXPECT_EQ(BinomialPointReal(4.5f, -0.25f, p), 0.0f);
  EXPECT_EQ(BinomialCdfReal(4.5f, -0.25f, p), 0.0f);
  EXPECT_EQ(BinomialCdfReal(4.5f, 4.5f, p), 1.0f);
  // Smooth in k: the interpolated distribution function rises monotonically.
  Single previous = 0;
  for (Single k = 0; k < 10; k += 0.125f) {
    const Single c = BinomialCdfReal(10.5f, k, p);
    EXPECT_GE(c, previous) << k;
    previous = c;
  }
}

TEST(DiscreteBinomial, CountOverflowIsAFault) {
  // N0 + 1 = 32768 does not fit 16 bits.
  EXPECT_THROW(BinomialPointReal(32767.5f, 3, 0.5f), ArithmeticFault);
  EXPECT_FALSE(EvaluateGuarded([] { return BinomialPointReal(32767.5f, 3, 0.5f); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([] { return BinomialCdfReal(32767.5f, 3.5f, 0.5f); }).has_value());
  EXPECT_FALSE(EvaluateGuarded([] { return BinomialCdfReal(40000, 3, 0.5f); }).has_value());
  EXPECT_TRUE(EvaluateGuarded([] { return BinomialPointReal(32766.5f, 3, 0.5f); }).has_value());
}

TEST(DiscreteHyper, PointAndCdf) {
  for (const auto& t : kHyperPoint)
    for (std::size_t i = 0; i < t.x.size(); ++i)
      EXPECT_NEAR(HyperPoint(t.a, t.b, t.n, t.x[i]), t.ref[i], kRelative * t.ref[i]) << t.a << " " << t.x[i];
  for (const auto& t : kHyperCdf)
    for (std::size_t i = 0; i < t.x.size(); ++i)
      EXPECT_NEAR(HyperCdf(t.a, t.b, t.n, t.x[i]), t.ref[i], kAbsolute) << t.a << " " << t.x[i];
  // Outside the support.
  EXPECT_EQ(HyperPoint(3, 8, 6, -1), 0.0f);
  EXPECT_EQ(HyperPoint(3, 8, 6, 4), 0.0f);
  EXPECT_EQ(HyperPoint(3, 2, 4, 1), 0.0f);  // n - x = 3 > b
  EXPECT_EQ(HyperPoint(3, 2, 6, 3), 0.0f);  // n > a + b
  EXPECT_EQ(HyperCdf(3, 8, 6, -1), 0.0f);
  EXPECT_EQ(HyperCdf(3, 2, 4, 1), 0.0f);
  EXPECT_EQ(HyperCdf(3, 5, 10, 4), 0.0f);
  // x beyond the marked units: certain.
  EXPECT_EQ(HyperCdf(3, 5, 4, 5), 1.0f);
  EXPECT_EQ(HyperCdf(1, 9, 3, 2), 1.0f);
}

TEST(DiscreteHyper, CdfIdentities) {
  // More marked than unmarked units goes through the complementary count:
  // P(X <= x) = 1 - P(Y <= n - x - 1) with Y the unmarked units in the sample.
  for (std::int16_t x = 0; x <= 6; ++x)
    EXPECT_NEAR(static_cast<double>(HyperCdf(8, 3, 6, x)) + HyperCdf(3, 8, 6, 6 - x - 1), 1.0, 1e-7) << x;
  // Sample larger than the unmarked units (summed down from x = a).
  for (std::int16_t x = 0; x <= 12; ++x)
    EXPECT_NEAR(static_cast<double>(HyperCdf(12, 20, 25, x)) + HyperCdf(20, 12, 25, 25 - x - 1), 1.0, 1e-7)
        << x;
  // The running sum of the point probabilities.
  double sum = 0;
  for (std::int16_t x = 0; x <= 200; ++x) {
    sum += HyperPoint(200, 300, 250, x);
    EXPECT_NEAR(HyperCdf(200, 300, 250, x), sum, 1e-6) << x;
  }
  EXPECT_NEAR(sum, 1.0, 1e-6);
}

TEST(DiscreteHyper, RealArgumentsInterpolate) {
  // Whole numbers give exactly the discrete values.
  for (std::int16_t x = 0; x <= 12; ++x) {
    EXPECT_EQ(HyperPointReal(10, 20, 12, x), HyperPoint(10, 20, 12, x)) << x;
    EXPECT_EQ(HyperCdfReal(10, 20, 12, x), HyperCdf(10, 20, 12, x)) << x;
  }
  // Two fractional arguments: the bilinear interpolation of four corners.
  EXPECT_NEAR(HyperCdfReal(10.5f, 20, 12, 3.25f), 0.3912509183196422,
              kAbsolute);  // 0.5 * 0.75 * phyper(3, 10, 20, 12) + 0.5 * 0.75 * phyper(3, 11, 20, 12) + 0.5 *
                           // 0.25 * phyper(4, 10, 20, 12) + 0.5 * 0.25 * phyper(4, 11, 20, 12)
  EXPECT_NEAR(HyperPointReal(10, 20, 12, 4.5f),
              (static_cast<double>(HyperPoint(10, 20, 12, 4)) + HyperPoint(10, 20, 12, 5)) / 2, 1e-7);
  // All four fractional: 16 corners whose weights sum to 1, so a constant
  // (a distribution function far beyond its support) stays constant.
  EXPECT_EQ(HyperCdfReal(4.5f, 6.25f, 3.75f, 20.5f), 1.0f);
  // A raised corner beyond 16 bits is a fault.
  EXPECT_THROW(HyperCdfReal(32767.5f, 2, 1, 0), ArithmeticFault);
  EXPECT_THROW(HyperCdf(30000, 5000, 10, 3), ArithmeticFault);
}

TEST(DiscretePoisson, PointAndCdf) {
  for (const auto& t : kPoissonPoint)
    for (std::size_t i = 0; i < t.k.size(); ++i)
      EXPECT_NEAR(PoissonPoint(static_cast<std::int16_t>(t.k[i]), t.lambda), t.ref[i], kRelative * t.ref[i])
          << t.k[i];
  for (const auto& t : kPoissonCdf)
    for (std::size_t i = 0; i < t.k.size(); ++i)
      EXPECT_NEAR(PoissonCdfReal(t.k[i], t.lambda), t.ref[i], kAbsolute) << t.k[i] << " " << t.lambda;
  EXPECT_EQ(PoissonPoint(-1, 2), 0.0f);
  EXPECT_EQ(PoissonPointReal(-0.5f, 2), 0.0f);
  for (Single lambda : {0.25f, 1.0f, 7.5f}) {
    EXPECT_EQ(PoissonCdfReal(-0.5f, lambda), 0.0f);
    EXPECT_EQ(PoissonCdfReal(0, lambda), ToSingle(std::exp(-static_cast<double>(lambda))));
  }
}

TEST(DiscretePoisson, RealArgumentsInterpolate) {
  for (std::int16_t k = 0; k <= 8; ++k) EXPECT_EQ(PoissonPointReal(k, 3.5f), PoissonPoint(k, 3.5f)) << k;
  EXPECT_NEAR(PoissonPointReal(3.25f, 2.5f), 0.1937227343825737,
              kRelative);  // 0.75 * dpois(3, 2.5) + 0.25 * dpois(4, 2.5)
  EXPECT_NEAR(PoissonCdfReal(3.25f, 2.5f), 0.79097660457833729,
              kAbsolute);  // ppois(3, 2.5) + 0.25 * dpois(4, 2.5)
  EXPECT_THROW(PoissonCdfReal(32767.5f, 1), ArithmeticFault);
}

TEST(DiscretePoisson, MeansWhoseFirstTermUnderflows) {
  // e^-800 is below the smallest double; the terms are carried on the log scale.
  // scipy.stats.poisson.pmf(800, 800) = 0.014103; .cdf(800, 800) = 0.509402; .cdf(760, 800) = 0.080409
  EXPECT_NEAR(PoissonPoint(800, 800), 0.014103, 1e-5);
  EXPECT_NEAR(PoissonCdfReal(800, 800), 0.509402, 1e-4);
  EXPECT_NEAR(PoissonCdfReal(760, 800), 0.080409, 1e-4);
  EXPECT_EQ(PoissonCdfReal(10, 800), 0.0f);
}

TEST(DiscretePoisson, Lerp) {
  EXPECT_EQ(Lerp(2, 6, 0.25f), 3.0f);
  EXPECT_EQ(Lerp(2, 6, 0), 2.0f);
  EXPECT_EQ(Lerp(2, 6, 1), 6.0f);
  EXPECT_EQ(Lerp(6, 2, 0.5f), 4.0f);
}

}  // namespace
}  // namespace pelmora
