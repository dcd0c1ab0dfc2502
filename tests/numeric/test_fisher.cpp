// Tests of the exact probabilities of a 2 x 2 table.  Reference values come
// from scipy 1.10 (Debian's python3-scipy): stats.hypergeom(n, r1, c1) for the
// tails (cdf(a) and sf(a - 1)) and stats.fisher_exact for the two-sided value;
// the expression that produced each is written beside it.  The probabilities
// are double sums rounded to single: they are held to a few units of single
// precision.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "numeric/fault_guard.h"
#include "numeric/fisher.h"

namespace pelmora {
namespace {

struct FisherCase {
  FisherTable table;
  double lower, upper, twoSided;
};

// Relative accuracy of a result rounded to single from a double sum.
constexpr double kRelative = 3e-7;

void ExpectClose(double actual, double expected) {
  EXPECT_NEAR(actual, expected, kRelative * expected + 1e-12) << "expected " << expected;
}

// With H = stats.hypergeom(a + b + c + d, a + b, a + c) for the table (a, b; c, d):
// lower = H.cdf(a), upper = H.sf(a - 1), twoSided = stats.fisher_exact(table)[1].
constexpr FisherCase kCases[] = {
    {{{{1, 9}, {11, 3}}}, 0.0013797280926100418, 0.9999663480953022, 0.0027594561852200836},
    {{{{11, 3}, {1, 9}}}, 0.9999663480953022, 0.0013797280926100418, 0.0027594561852200836},
    {{{{5, 20}, {12, 8}}}, 0.0070415707034071065, 0.9990258543655304, 0.01224926264091859},
    {{{{15, 15}, {9, 21}}}, 0.967963802000106, 0.0935935533169425, 0.187187106633885},
    {{{{0, 30}, {3, 27}}}, 0.11864406779661017, 1.0, 0.23728813559322035},
    {{{{1, 0}, {0, 1}}}, 1.0, 0.5, 1.0},
    // Mirror-image tables of equal row totals have equal probabilities and are
    // counted together.
    {{{{3, 7}, {7, 3}}}, 0.0894477039987876, 0.9884929312173895, 0.1788954079975752},
    {{{{2, 8}, {8, 2}}}, 0.011507068782610578, 0.9994533330446643, 0.023014137565221155},
    {{{{480, 520}, {500, 500}}}, 0.19769983904701305, 0.8262197610677732, 0.3953996780940261},
    // Samples near 1000, where the binomial coefficients alone overflow a double.
    {{{{300, 700}, {340, 560}}}, 0.0002058681850535127, 0.9998581261330922, 0.0003845432343062852},
    {{{{10000, 6000}, {9000, 7000}}}, 1.0, 2.779194361467434e-30, 5.558388722934868e-30},
};

TEST(FisherExact, TailsAndTwoSidedValue) {
  for (const FisherCase& c : kCases) {
    SCOPED_TRACE(::testing::Message()
                 << c.table[0][0] << " " << c.table[0][1] << "; " << c.table[1][0] << " " << c.table[1][1]);
    const FisherProbabilities p = FisherExact(c.table);
    ExpectClose(p.lowerTail, c.lower);
    ExpectClose(p.upperTail, c.upper);
    ExpectClose(p.twoSided, c.twoSided);
  }
}

TEST(FisherExact, ProbabilityOfTheObservedTable) {
  // The observed table's probability is lower + upper - 1:
  // stats.hypergeom(24, 10, 12).pmf(1) = 0.001346076187912236
  const FisherProbabilities p = FisherExact({{{1, 9}, {11, 3}}});
  EXPECT_NEAR(static_cast<double>(p.lowerTail) + p.upperTail - 1, 0.001346076187912236, 1e-7);
  // Two-sided: the observed table and the tables 0, 10 and 11 of the other
  // tail, all at most as probable.
  EXPECT_NEAR(p.twoSided, 0.0027594561852200836, 1e-9);
}

TEST(FisherExact, ZeroMarginHasOneTable) {
  for (const FisherTable& t :
       {FisherTable{{{0, 5}, {0, 7}}}, FisherTable{{{4, 0}, {6, 0}}}, FisherTable{{{0, 0}, {3, 9}}},
        FisherTable{{{2, 8}, {0, 0}}}, FisherTable{{{0, 0}, {0, 0}}}}) {
    const FisherProbabilities p = FisherExact(t);
    EXPECT_EQ(p.lowerTail, 1.0f);
    EXPECT_EQ(p.upperTail, 1.0f);
    EXPECT_EQ(p.twoSided, 1.0f);
  }
}

TEST(FisherExact, RowExchangeKeepsTheTwoSidedValueAndSwapsTheTails) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> count(0, 40);
  for (int i = 0; i < 200; ++i) {
    const auto a = static_cast<std::int16_t>(count(random)), b = static_cast<std::int16_t>(count(random));
    const auto c = static_cast<std::int16_t>(count(random)), d = static_cast<std::int16_t>(count(random));
    const FisherProbabilities p = FisherExact({{{a, b}, {c, d}}});
    const FisherProbabilities q = FisherExact({{{c, d}, {a, b}}});
    EXPECT_NEAR(p.twoSided, q.twoSided, 1e-6);
    EXPECT_NEAR(p.lowerTail, q.upperTail, 1e-6);
    EXPECT_NEAR(p.upperTail, q.lowerTail, 1e-6);
  }
}

// The sums agree with the hypergeometric probabilities computed one table at
// a time in log space (std::lgamma), for tables up to 1000 per row.
TEST(FisherExact, AgreesWithTableByTableSums) {
  auto logChoose = [](int n, int k) {
    return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
  };
  std::mt19937 random(11);
  std::uniform_int_distribution<int> size(1, 1000);
  for (int i = 0; i < 50; ++i) {
    const int r1 = size(random), r2 = size(random);
    const int a = std::uniform_int_distribution<int>(0, r1)(random);
    const int c = std::uniform_int_distribution<int>(0, r2)(random);
    const int c1 = a + c, n = r1 + r2;
    auto prob = [&](int k) { return std::exp(logChoose(r1, k) + logChoose(r2, c1 - k) - logChoose(n, c1)); };
    double lower = 0, upper = 0, twoSided = 0;
    const double observed = prob(a);
    for (int k = std::max(0, c1 - r2); k <= std::min(r1, c1); ++k) {
      const double pk = prob(k);
      if (k <= a) lower += pk;
      if (k >= a) upper += pk;
      if (pk <= observed * (1 + 1e-7)) twoSided += pk;
    }
    const FisherProbabilities p =
        FisherExact({{{static_cast<std::int16_t>(a), static_cast<std::int16_t>(r1 - a)},
                      {static_cast<std::int16_t>(c), static_cast<std::int16_t>(r2 - c)}}});
    SCOPED_TRACE(::testing::Message() << a << " " << r1 - a << "; " << c << " " << r2 - c);
    // lgamma differences lose about 1e-12 relative at these sizes.
    EXPECT_NEAR(p.lowerTail, lower, 3e-7 * lower + 1e-12);
    EXPECT_NEAR(p.upperTail, upper, 3e-7 * upper + 1e-12);
    EXPECT_NEAR(p.twoSided, twoSided, 3e-7 * twoSided + 1e-12);
  }
}

TEST(FisherExact, LargestTablesAreCalculable) {
  // n = 32767 is the largest 16-bit total.
  auto r = EvaluateGuarded([] { return FisherExact({{{16000, 384}, {16000, 383}}}).twoSided; });
  ASSERT_TRUE(r.has_value());
  EXPECT_GE(*r, 0.0);
  EXPECT_LE(*r, 1.0);
  // stats.fisher_exact([[20000, 100], [200, 12000]]) = 0 (far below single precision)
  const FisherProbabilities p = FisherExact({{{20000, 100}, {200, 12000}}});
  EXPECT_EQ(p.twoSided, 0.0f);
  EXPECT_EQ(p.lowerTail, 1.0f);
}

TEST(FisherExact, CountsBeyondSixteenBitsAreAFault) {
  EXPECT_THROW(FisherExact({{{20000, 0}, {0, 12768}}}), ArithmeticFault);  // total 32768
  EXPECT_THROW(FisherExact({{{32767, 1}, {0, 0}}}), ArithmeticFault);      // a row total
  EXPECT_THROW(FisherExact({{{-1, 5}, {3, 3}}}), ArithmeticFault);         // a negative count
  // Seen from the criterion's side: the guarded evaluation reports a fault.
  EXPECT_FALSE(EvaluateGuarded([] { return FisherExact({{{30000, 2000}, {700, 68}}}).twoSided; }));
}

}  // namespace
}  // namespace pelmora
