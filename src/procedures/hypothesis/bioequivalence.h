// The bioequivalence test: two one-sided t tests on the natural-log scale for
// a two-period crossover of n subjects.  The ratio of the medians (geometric
// means) of the two formulations must lie between the equivalence limits.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class Bioequivalence : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Both one-sided t tests reject: exact, over the distribution of the
  // residual standard deviation.
  std::optional<double> EvaluatePower(const Session& s) override;
  // A crossover of two sequences (see bioequivalence_simulation.cpp).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t LeftLimit = 29, RightLimit = 30;
    static constexpr std::int16_t Median1 = 94, Median2 = 95, Ratio = 96;
    static constexpr std::int16_t ResidualSd = 155, CoefficientOfVariation = 156;
    static constexpr std::int16_t SampleSize = 14;
  };

 private:
  // The arguments of the test's PValueT on the log scale: the log ratio
  // against the log limits, the standard error and the degrees of freedom.
  TArguments Statistic(const Session& s) const;

  // The assumed ratio Median 2* / Median 1*.
  Single AssumedRatio(const Session& s) const;

  // Flags copied from the forms by BuildParameterList.
  bool ratioGiven_ = false;  // the ratio is entered, not both medians
  bool cvGiven_ = false;     // a coefficient of variation, not the residual SD
  // Positions of the listed quantities; -1 where the list has none.
  int left_ = -1, right_ = -1;
  int ratio_ = -1, median1_ = -1, median2_ = -1;
  int dispersion_ = -1, n_ = -1;
};

}  // namespace pelmora
