// The binomial test: one proportion against a null proportion, or the
// difference of two proportions, by the normal approximation (optionally on
// the arc-sine scale) or, for one sample of at most 1000, by the exact binomial
// P-value of the expected count.  The binomial sample distribution hands its
// tests to it.
//
// ProportionTest holds what the binomial and the hypergeometric tests share:
// the list of proportions and sample sizes, their checks and search intervals.
#pragma once

#include <cstdint>

#include "numeric/platform.h"
#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class ProportionTest : public ProcedureModule {
 public:
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;

  // Catalogue ids of the proportions and sample sizes.
  struct Ids {
    static constexpr std::int16_t H0Proportion = 35, Proportion = 83, ProportionMinusH0 = 40,
                                  ProportionOverH0 = 41;
    static constexpr std::int16_t H0Difference = 51, Proportion1 = 8, Proportion2 = 69,
                                  Proportion2MinusProportion1 = 52, Proportion2OverProportion1 = 70;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    // Equivalence limits of one proportion (0.30, 0.70) and of a difference (-0.30, 0.30).
    static constexpr std::int16_t LeftLimit = 47, RightLimit = 48;
    static constexpr std::int16_t LeftDifferenceLimit = 71, RightDifferenceLimit = 72;
  };

 protected:
  // The assumed result read from the list.  One sample: p is the assumed
  // proportion, null the H0 proportion, n1 the sample size.  Two samples: p1
  // and p (proportion 2 resolved by its form), null the H0 difference, n1 and
  // n2 (resolved).  null is 0 for two one-sided tests, and the limits are 0
  // where the list has none.
  struct Assumed {
    Single null = 0, left = 0, right = 0;
    Single p = 0, p1 = 0;
    Single n1 = 0, n2 = 0;
  };

  // "Proportion*" for one sample with one or two tails; "Proportion 2*" and
  // "Sample Size 2" for two samples.
  static void OfferProportionRows(Session& s);
  // Sets every position k to k, copies the flags shared by the tests on
  // proportions, and lists the proportions and sample sizes from position 2.
  // Returns the next free position.
  int BuildProportionList(Session& s);
  Assumed ReadAssumed(const Session& s) const;

 public:
  // Cohen's h of the assumed proportion against the null (one sample) or
  // the first proportion (two samples).
  std::optional<StandardisedEffect> Effect(const Session& s) const override;

 protected:

  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t proportionMode_ = 0;
  std::int16_t size2Mode_ = 0;
  bool continuity_ = false;
  // Positions; -1 where the list has none.  One sample lists its proportion
  // at estimate_ and its size at n1_.
  int h0_ = -1, left_ = -1, right_ = -1, estimate_ = -1;
  int p1_ = -1, p2_ = -1, n1_ = -1, n2_ = -1;
};

class BinomialProportions : public ProportionTest {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  double EvaluateCriterion(const Session& s) override;
  // Exact: the binomial probabilities of the counts whose P-value is at most
  // alpha; otherwise the normal statistic around (estimate - H0) / se with
  // the test's own standard error.
  std::optional<double> EvaluatePower(const Session& s) override;
  // On the exact path the sample size is solved in whole units.
  CriterionTraits Traits(const Session& s) const override;
  // Binomial successes of each sample, each simulated table judged by the
  // test's own P-value of the observed proportions (kept by table).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Samples of at most this size take the exact path when it is chosen.
  static constexpr Single kExactLimit = 1000;

 private:
  // One sample with "Exact Calculation" ticked and n at most 1000, not on
  // the arc-sine scale: the exact binomial P-value of the expected count.
  bool ExactPath(const Assumed& a) const;
  // Otherwise the normal statistic: on the arc-sine scale, or of the
  // proportion with the standard error under H0 (two one-sided tests: at
  // each limit), or of the difference with TwoProportionSE.
  NormalStatistic NormalPath(const Assumed& a) const;

  bool arcSine_ = false;
  bool exact_ = false;
};

}  // namespace pelmora
