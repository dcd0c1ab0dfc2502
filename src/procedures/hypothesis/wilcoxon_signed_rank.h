// The Wilcoxon signed-rank test of one sample of differences, parametrised by
// the probability that an observation is positive and the probability that
// the sum of two independent observations is positive.  The statistic is the
// sum of the positive ranks; the P-value is that of the normal approximation.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class WilcoxonSignedRank : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The normal approximation of the signed-rank sum, unit variance around
  // (expected sum - null sum) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Two-sided exponential differences with both assumed probabilities; see
  // wilcoxon_signed_rank_simulation.cpp.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t ProbPositive = 153, ProbPairSumPositive = 154, SampleSize = 14;
  };

 private:
  // Positions of the listed quantities, from the first of the procedure's own.
  int prob_ = 2, pairSum_ = 3, n_ = 4;
  // The arguments of the test's PValueZ: the expected and the null sum of
  // the positive ranks, its standard error and the continuity correction.
  ZArguments Statistic(const Session& s) const;
  bool continuity_ = false;
};

}  // namespace pelmora
