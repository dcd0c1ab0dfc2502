// Tests of the Wilson interval of a simulated proportion and of the number
// of studies for a requested half-width.  Reference values: the textbook
// formula written out in Python (/usr/bin/python3, z = 1.959963984540054 =
// scipy.stats.norm.ppf(0.975)):
//   centre = (p + z*z/(2*n)) / (1 + z*z/n)
//   half   = z / (1 + z*z/n) * sqrt(p*(1-p)/n + z*z/(4*n*n))
//   lower, upper = max(0, centre - half), min(1, centre + half); se = sqrt(p*(1-p)/n)
// and the numbers of studies by bisection on that half-width over whole n
// (the smallest n with half < h), not by the closed form the program uses.
#include <gtest/gtest.h>

#include <cmath>

#include "numeric/proportion_interval.h"

namespace pelmora {
namespace {

TEST(ProportionInterval, WilsonInterval) {
  struct Case {
    std::int64_t successes, trials;
    double lower, upper, se;
  };
  const Case cases[] = {
      {0, 10, 0, 0.2775327998628892, 0.0},
      {10, 10, 0.7224672001371107, 1, 0.0},
      {7, 20, 0.18119182410108206, 0.5671457233147638, 0.1066536450385077},
      {8015, 10000, 0.7935671482637285, 0.8092013007187535, 0.003988705930499264},
      {500, 1000000, 0.00045806172127235126, 0.0005457758813475299, 2.235508890610816e-05},
      {1, 3, 0.06149194472039615, 0.7923403991979523, 0.2721655269759087},
      {999999, 1000000, 0.9999943350881957, 0.9999998234754233, 9.999995000142529e-07},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.successes);
    const ProportionInterval w = *WilsonInterval(c.successes, c.trials);
    EXPECT_DOUBLE_EQ(w.estimate, static_cast<double>(c.successes) / static_cast<double>(c.trials));
    EXPECT_NEAR(w.lower, c.lower, 1e-15);
    EXPECT_NEAR(w.upper, c.upper, 1e-15);
    EXPECT_NEAR(w.standard_error, c.se, 1e-17);
  }
  EXPECT_EQ(WilsonInterval(0, 10)->lower, 0.0);
  EXPECT_EQ(WilsonInterval(10, 10)->upper, 1.0);
  EXPECT_FALSE(WilsonInterval(0, 0) || WilsonInterval(11, 10) || WilsonInterval(-1, 10));
}

TEST(ProportionInterval, StudiesForAHalfWidth) {
  struct Case {
    double p, h;
    std::int64_t studies;
  };
  const Case cases[] = {{0.5, 0.005, 38411}, {0.8, 0.0016, 240090}, {0.05, 0.0009, 225284},
                        {0.0, 0.01, 189},    {1.0, 0.001, 1917},    {0.3, 0.02, 2014},
                        {0.5, 0.1, 93},      {0.5, 0.5, 1},         {0.5, 0.7, 0}};
  for (const Case& c : cases) EXPECT_EQ(TrialsForWilsonHalfWidth(c.p, c.h), c.studies) << c.p << " " << c.h;
  EXPECT_FALSE(TrialsForWilsonHalfWidth(0.5, 0) || TrialsForWilsonHalfWidth(1.5, 0.01) ||
               TrialsForWilsonHalfWidth(std::nan(""), 0.01) || TrialsForWilsonHalfWidth(0.5, 1e-12));
}

}  // namespace
}  // namespace pelmora
