// Fisher's exact test of two proportions.  The assumed proportions (or
// frequencies) and sample sizes give a 2 x 2 table of expected counts; the
// criterion is the exact conditional P-value of that table minus the requested
// P-value.  Beyond 1000 per sample the arc-sine approximation takes over.
//
// The chi2 test of a 2 x 2 table lists the same parameters and shares the
// checks and search intervals of this module.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "numeric/fisher.h"
#include "numeric/power_equations.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class FisherExactTest : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // A sample size (or a second size given as its difference to the first) is
  // solved in whole steps: the counts of the table are rounded from it.
  CriterionTraits Traits(const Session& s) const override;
  // The exact power: see Power.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Binomial counts of the two samples; each simulated table's P-value is
  // PValue of its counts (kept by table).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  // The two samples a simulation draws: the assumed proportions (under H0
  // both the first one's) and the whole sample sizes, the second resolved
  // from the first one's whole size.  The chi2 test of a 2 x 2 table draws
  // the same.
  std::array<CountGroup, 2> SimulatedGroups(const Session& s, const SimulationPlan& plan) const;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t Proportion1 = 8, Proportion2 = 69, Proportion2MinusProportion1 = 52,
                                  Proportion2OverProportion1 = 70;
    static constexpr std::int16_t Frequency1 = 233, Frequency2 = 234, Frequency2MinusFrequency1 = 235,
                                  Frequency2OverFrequency1 = 236;
    static constexpr std::int16_t SampleSize1 = 4, SampleSize2 = 37, SampleSize2MinusSize1 = 38,
                                  SampleSize2OverSize1 = 5;
  };

  // The assumed result of the two samples at the given values: the sample
  // sizes, the expected counts of successes (n p, or the frequencies) and the
  // proportions (a frequency over its sample size; 0 for an empty sample).
  struct Samples {
    Single n1 = 0, n2 = 0;
    Single count1 = 0, count2 = 0;
    Single p1 = 0, p2 = 0;
  };
  Samples AssumedSamples(const ParameterValueArray& v) const;

  // The exact P-value of the table the samples imply (the arc-sine
  // approximation beyond 1000 per sample; 1 for an empty sample).  One-sided,
  // the smaller tail when the assumed difference lies in the tested direction,
  // the larger otherwise.
  static Single PValue(Sides sides, const Samples& a);
  // The P-value of a table from its conditional probabilities and its
  // proportions p1 and p2: two-sided, or one-sided the smaller tail when p2 -
  // p1 lies in the tested direction and the larger otherwise.
  static Single Chosen(Sides sides, const FisherProbabilities& f, Single p1, Single p2);

  // The power of that test when the samples' proportions are the truth: the
  // total probability of the tables of two independent binomial counts (n1,
  // p1) and (n2, p2) whose P-value is at most alpha, the tables of each
  // column total taken together (FisherExactMargin).  At fractional sizes the
  // power at the whole sizes around them interpolated bilinearly; beyond 1000
  // per sample the normal statistic of the arc-sine approximation.  Nothing
  // for a level outside (0, 1), tails outside 1..3 or a proportion outside
  // [0, 1].
  static std::optional<double> Power(Sides sides, double alpha, const Samples& a);

 private:
  // Flags copied from the options and forms by BuildParameterList.
  bool frequencies_ = false;
  std::int16_t proportionMode_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities.
  int first_ = 2, second_ = 3, n1_ = 4, n2_ = 5;
};

// Narrowing by a quantity q that depends linearly on the unknown, given by its
// values q0 and q1 with the unknown set to 0 and to 1: the interval keeps the
// values for which q >= bound (KeepLinearAtLeast) or q <= bound
// (KeepLinearAtMost).  When q does not depend on the unknown and breaks the
// bound, the interval is closed.
void KeepLinearAtLeast(double q0, double q1, double bound, double& lower, double& upper);
void KeepLinearAtMost(double q0, double q1, double bound, double& lower, double& upper);

}  // namespace pelmora
