// The modules of the bivariate normal sample distribution.
#include <memory>

#include "procedures/distributions/bivariate_normal.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"

namespace pelmora {

void AddBivariateNormalDistribution(ModuleSet& set) {
  // The tests of a correlation and of a regression coefficient are those of
  // the test procedures.
  CorrelationCoefficient* correl = set.Find<CorrelationCoefficient>();
  RegressionCoefficient* regr = set.Find<RegressionCoefficient>();
  if (correl == nullptr || regr == nullptr) return;
  set.Serve(ModuleId::BivariateNormalDistribution, set.Add(std::make_unique<BivariateNormalDistribution>(*correl, *regr)));
}

}  // namespace pelmora
