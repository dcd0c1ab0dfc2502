// The modules of one-way ANOVA and the tests of correlation and regression coefficients.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/anova.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"

namespace pelmora {

void AddAnovaModules(ModuleSet& set) {
  set.ServeTest(2, set.Add(std::make_unique<Anova>()));
  set.ServeTest(17, set.Add(std::make_unique<CorrelationCoefficient>()));
  set.ServeTest(18, set.Add(std::make_unique<RegressionCoefficient>()));
}

}  // namespace pelmora
