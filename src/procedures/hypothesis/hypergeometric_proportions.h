// The hypergeometric test: proportions sampled without replacement from
// populations of known size.  It is the binomial test with the finite-population
// correction (N - n)/(N - 1) on every variance term, and for one sample from a
// population of at most 1000 the exact hypergeometric P-value of the expected
// count.  The hypergeometric sample distribution hands its tests to it.
#pragma once

#include <cstdint>
#include <optional>

#include "numeric/platform.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "procedures/hypothesis/binomial_proportions.h"

namespace pelmora {

// The exact hypergeometric P-value of the expected count x in a sample of n
// from a population of N with the marked proportion p0 under H0 (for two
// one-sided tests the left and right limits take its place); counts between
// whole numbers are interpolated as in BinomialPValue.  1 when n is 0.
Single HypergeometricPValue(Sides sides, Single N, Single n, Single x, Single p0, Single left, Single right);

// The exact power of that test: the total hypergeometric probability, for a
// population with N p marked units, of the counts whose P-value is at most
// alpha.  At fractional marked and unmarked counts and sample sizes, the
// power at the whole counts around them interpolated multilinearly, as the
// hypergeometric probabilities interpolate (the P-value of a count then
// taken at that corner's population).  Nothing for a level outside (0, 1),
// tails outside 1..3, p outside [0, 1] or a sample larger than N.
std::optional<double> HypergeometricPower(Sides sides, double alpha, Single N, Single n, Single p, Single p0,
                                          Single left, Single right);

class HypergeometricProportions : public ProportionTest {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Exact: the hypergeometric probabilities of the counts whose P-value is at
  // most alpha; otherwise the normal statistic with the test's own standard
  // error.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Exact: the sample size and the population size are solved in whole units.
  CriterionTraits Traits(const Session& s) const override;
  // Each sample drawn without replacement from its population, each
  // simulated table judged by the test's own P-value (kept by table).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  struct Ids : ProportionTest::Ids {
    static constexpr std::int16_t PopulationSize = 31, PopulationSize1 = 196, PopulationSize2 = 197,
                                  PopulationSize2MinusSize1 = 198, PopulationSize2OverSize1 = 199;
  };

  // Populations of at most this size take the exact path when it is chosen.
  static constexpr Single kExactLimit = 1000;

 private:
  // One sample with "Exact Calculation" ticked and a population of at most
  // 1000: the exact hypergeometric P-value of the expected count.
  bool ExactPath(const Session& s) const;
  // Otherwise the normal statistic, each variance term with its
  // finite-population correction.
  NormalStatistic NormalPath(const Session& s, const Assumed& a) const;

  bool exact_ = false;
  std::int16_t population2Mode_ = 0;
  // The population sizes; one sample lists its population at population1_.
  int population1_ = -1, population2_ = -1;
};

}  // namespace pelmora
