// The ratio of the standard deviations of the bivariate normal sample distribution.
#pragma once

#include <cstdint>

#include "procedures/distributions/bivariate_parts.h"

namespace pelmora {

// The ratio SD2 / SD1 of the standard deviations (a test only): the
// Pitman-Morgan approach, the correlation of the sums and differences
// compared on Fisher's z scale.
class BivariateNormalSd : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Fisher's z of the sum-difference correlation normal with unit variance.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Pairs of the assumed values, Fisher's z of their sum-difference correlation.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

 private:
  // The assumed ratio SD2* / SD1*.
  Single AssumedRatio(const Session& s) const;

  std::int16_t tails_ = 2;
  std::int16_t ratioForm_ = 0;  // 0: both standard deviations, 1: their ratio
  int h0_ = -1, left_ = -1, right_ = -1;
  int sd1_ = -1, sd2_ = -1, ratio_ = -1, rho_ = -1, n_ = -1;
};

}  // namespace pelmora
