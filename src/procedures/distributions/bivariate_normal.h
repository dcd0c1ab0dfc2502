// The bivariate normal sample distribution: one sample of n pairs (X1, X2).
// Four quantities can be studied, each by its own procedure: the mean of the
// difference X2 - X1, the ratio of the standard deviations, the correlation
// coefficient and the regression coefficient of X2 on X1.  BivariateNormalDistribution hands every
// entry point on to the procedure of the chosen quantity; the tests of a
// correlation coefficient, and of a regression coefficient with a given
// residual standard deviation, are those of CorrelationCoefficient and RegressionCoefficient.
//
// Only the kinds "Test" and "Conf. Interval" exist (the ratio of the standard
// deviations is a test only), and only one sample.
#pragma once

#include "procedures/distributions/bivariate_correlation.h"
#include "procedures/distributions/bivariate_mean.h"
#include "procedures/distributions/bivariate_parts.h"
#include "procedures/distributions/bivariate_regression.h"
#include "procedures/distributions/bivariate_sd_ratio.h"
#include "procedures/procedure_module.h"

namespace pelmora {

// The module of the bivariate normal distribution: the four procedures above,
// chosen by ParameterChoice (0 mean 2 - mean 1, 1 std.dev.2 / std.dev.1,
// 2 correlation coefficient, 3 regression coefficient).
class BivariateNormalDistribution : public ProcedureModule {
 public:
  BivariateNormalDistribution(CorrelationCoefficient& correl, RegressionCoefficient& regr);

  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  std::optional<double> EvaluatePower(const Session& s) override;
  // The simulator of the listed part.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;

 private:
  // The procedure of a parameter choice, or nullptr beyond the four.
  ProcedureModule* ProcedureOf(int choice);

  BivariateNormalMean mean_;
  BivariateNormalSd sd_;
  BivariateNormalCorrelation correl_;
  BivariateNormalRegression regress_;
  // The procedure whose list was built last; nullptr when the selection has
  // no list (two samples, a point estimate, an interval of the SD ratio).
  ProcedureModule* listed_ = nullptr;
};

}  // namespace pelmora
