// The hypergeometric sample distribution: a proportion sampled without
// replacement from a population of known size.  Its tests are those of the
// hypergeometric test; its confidence intervals are the normal approximation
// of the binomial interval with the finite-population correction
// (N - n)/(N - 1) on each variance term.  It has no point estimate.
#pragma once

#include <cstdint>
#include <string>

#include "procedures/procedure_module.h"

namespace pelmora {

class HypergeometricProportions;

// The sample distributions without a point estimate: "Point Estimate" is
// disabled in the options dialog, and "Test" is chosen if it was chosen.
void DisablePointEstimate(Session& s);

class HypergeometricDistribution : public ProcedureModule {
 public:
  explicit HypergeometricDistribution(HypergeometricProportions& test) : test_(test) {}

  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // A test's power is HypergeometricProportions'; intervals have none.
  std::optional<double> EvaluatePower(const Session& s) override;
  // A test's simulator is the hypergeometric test's.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  // A test's traits are HypergeometricProportions'.
  CriterionTraits Traits(const Session& s) const override;
  void OptionChanged(Session& s, std::int16_t optionId) override;
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // Catalogue ids of the parameters this module lists for its confidence
  // intervals.
  struct Ids {
    static constexpr std::int16_t ConfidenceLevel = 22, ProbWidth = 101;
    static constexpr std::int16_t LowerLimit = 20, UpperLimit = 21, Width = 100;
    static constexpr std::int16_t Proportion = 83, Proportion1 = 8, Proportion2 = 69,
                                  Proportion2MinusProportion1 = 52, Proportion2OverProportion1 = 70;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t PopulationSize = 31, PopulationSize1 = 196, PopulationSize2 = 197,
                                  PopulationSize2MinusSize1 = 198, PopulationSize2OverSize1 = 199;
  };

 private:
  // The test module when the kind "Test" is chosen, else nullptr.
  ProcedureModule* Test(const Session& s) const;

  HypergeometricProportions& test_;

  // Flags copied by BuildParameterList.
  std::int16_t kind_ = 0;
  bool twoSamples_ = false;
  bool continuity_ = false;
  std::int16_t proportion2Mode_ = 0;
  std::int16_t size2Mode_ = 0;
  std::int16_t population2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  // Positions of the listed quantities; -1 where the list has none.  One
  // sample lists its proportion at p1_.
  int p1_ = -1, p2_ = -1, limit_ = -1, n1_ = -1, n2_ = -1, population1_ = -1, population2_ = -1;
};

}  // namespace pelmora
