// The regression coefficient of the bivariate normal sample distribution.
#pragma once

#include <cstdint>

#include "procedures/distributions/bivariate_parts.h"

namespace pelmora {

class RegressionCoefficient;

// The regression coefficient of X2 on X1: the t-test and the confidence
// interval with the standard error made of the two standard deviations, or,
// with a given residual standard deviation, RegressionCoefficient's one-sample test and an
// interval with the residual standard deviation over the covariate's.
class BivariateNormalRegression : public ProcedureModule {
 public:
  explicit BivariateNormalRegression(RegressionCoefficient& test) : test_(test) {}
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test: noncentral t with n - 2 degrees of freedom; two one-sided
  // tests on the normal path.
  std::optional<double> EvaluatePower(const Session& s) override;
  // The test of a given residual standard deviation is simulated as
  // RegressionCoefficient's; the others draw pairs of the assumed slope.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

 private:
  // The standard error of the estimated slope.
  Single SlopeError(const Session& s) const;
  // The test of a given residual standard deviation is RegressionCoefficient's.
  bool HandedOn() const { return kind_ == 0 && residualGiven_; }
  // The expected coefficient b*.
  Single Expected(const Session& s) const;
  // SD2 / SD1.
  double SdRatio(const Session& s) const;
  // The largest |b| of the listed coefficients (null value, limits, expected
  // coefficient) whose positions are not the unknown.
  double LargestCoefficient(const Session& s) const;
  // Keeps SD2 / SD1 above |b| / 0.99999 for an unknown SD1 or SD2 entry.
  void KeepCorrelationInside(const Session& s, double& lower, double& upper) const;

  RegressionCoefficient& test_;
  std::int16_t kind_ = 0;
  std::int16_t tails_ = 2;
  bool residualGiven_ = false;
  std::int16_t coefficientMode_ = 0;
  std::int16_t sd2Mode_ = 0;
  std::int16_t intervalKind_ = 0;
  int h0_ = -1, left_ = -1, right_ = -1, estimate_ = -1, limit_ = -1;
  int sd1_ = -1, sd2_ = -1, residual_ = -1, covariate_ = -1, n_ = -1;
};

}  // namespace pelmora
