// The correlation coefficient of the bivariate normal sample distribution.
#pragma once

#include <cstdint>

#include "procedures/distributions/bivariate_parts.h"

namespace pelmora {

class CorrelationCoefficient;

// The correlation coefficient: the test is CorrelationCoefficient's one-sample test; the
// confidence interval is taken on Fisher's z scale and transformed back.
class BivariateNormalCorrelation : public ProcedureModule {
 public:
  explicit BivariateNormalCorrelation(CorrelationCoefficient& test) : test_(test) {}
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The test's power is CorrelationCoefficient's.
  std::optional<double> EvaluatePower(const Session& s) override;
  // The test's simulator is CorrelationCoefficient's; the interval's draws pairs
  // of the assumed coefficient.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;

 private:
  CorrelationCoefficient& test_;
  std::int16_t kind_ = 0;
  std::int16_t intervalKind_ = 0;
  int r_ = -1, limit_ = -1, n_ = -1;
};

}  // namespace pelmora
