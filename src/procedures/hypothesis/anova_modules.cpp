// The modules of one-way ANOVA and the tests of correlation and regression coefficients.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/anova.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"

namespace pelmora {

void AddAnovaModules(ModuleSet& set) {
  set.Serve(ModuleId::Anova, set.Add(std::make_unique<Anova>()));
  set.Serve(ModuleId::CorrelationCoefficient, set.Add(std::make_unique<CorrelationCoefficient>()));
  set.Serve(ModuleId::RegressionCoefficient, set.Add(std::make_unique<RegressionCoefficient>()));
}

}  // namespace pelmora
