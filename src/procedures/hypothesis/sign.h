// The sign test of one sample, parametrised by the probability that an
// observation is positive.  The count of positive observations is compared
// with half the sample size, by the exact binomial P-value (for samples of at
// most 1000 when the exact calculation is chosen) or by the normal
// approximation.
#pragma once

#include <cstdint>

#include "numeric/platform.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class Sign : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Exact: the binomial probabilities of the counts whose P-value is at most
  // alpha; otherwise the normal statistic around (n p - n/2) / sqrt(n/4).
  std::optional<double> EvaluatePower(const Session& s) override;
  // The count of positive observations is binomial; each simulated count's
  // P-value is the test's own (kept by count).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t ProbPositive = 153, SampleSize = 14;
  };

  // Samples of at most this size take the exact path when it is chosen.
  static constexpr Single kExactLimit = 1000;

 private:
  // Positions of the listed quantities, from the first of the procedure's own.
  int prob_ = 2, n_ = 3;
  bool continuity_ = false;
  bool exact_ = false;
};

}  // namespace pelmora
