// The mean of the difference X2 - X1 of the bivariate normal sample distribution.
#pragma once

#include <cstdint>

#include "procedures/distributions/bivariate_parts.h"

namespace pelmora {

// The mean of the difference X2 - X1: the paired t-test and its confidence
// interval, the standard deviation of the difference given or made of the two
// standard deviations and their correlation.
class BivariateNormalMean : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test: noncentral t with n - 1 degrees of freedom.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Pairs of the assumed values, the paired t-test or interval of their differences.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

 private:
  Single StandardError(const Session& s) const;

  std::int16_t kind_ = 0;
  std::int16_t tails_ = 2;
  bool diffSdGiven_ = false;
  std::int16_t meanMode_ = 0;
  std::int16_t sd2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1, estimate_ = -1, limit_ = -1;
  int sdDiff_ = -1, sd1_ = -1, sd2_ = -1, rho_ = -1, n_ = -1;
};

}  // namespace pelmora
