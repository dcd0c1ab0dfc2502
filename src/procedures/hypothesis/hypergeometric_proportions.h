// The hypergeometric test: proportions sampled without replacement from
// populations of known size.  It is the binomial test with the finite-population
// correction (N - n)/(N - 1) on every variance term, and for one sample from a
// population of at most 1000 the exact hypergeometric P-value of the expected
// count.  The hypergeometric sample distribution hands its tests to it.
#pragma once

#include <cstdint>

#include "numeric/platform.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/binomial_proportions.h"

namespace pelmora {

// The exact hypergeometric P-value of the expected count x in a sample of n
// from a population of N with the marked proportion p0 under H0 (for two
// one-sided tests the left and right limits take its place); counts between
// whole numbers are interpolated as in BinomialPValue.  1 when n is 0.
Single HypergeometricPValue(Sides sides, Single N, Single n, Single x, Single p0, Single left, Single right);

class HypergeometricProportions : public ProportionTest {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;

  struct Ids : ProportionTest::Ids {
    static constexpr std::int16_t PopulationSize = 31, PopulationSize1 = 196, PopulationSize2 = 197,
                                  PopulationSize2MinusSize1 = 198, PopulationSize2OverSize1 = 199;
  };

  // Populations of at most this size take the exact path when it is chosen.
  static constexpr Single kExactLimit = 1000;

 private:
  bool exact_ = false;
  std::int16_t population2Mode_ = 0;
  // The population sizes; one sample lists its population at population1_.
  int population1_ = -1, population2_ = -1;
};

}  // namespace pelmora
