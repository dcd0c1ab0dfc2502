// The modules of one-way ANOVA and the tests of correlation and regression coefficients.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/tests/test_anov.h"
#include "procedures/tests/test_correl.h"
#include "procedures/tests/test_regr.h"

namespace pelmora {

void AddAnovaModules(ModuleSet& set) {
  set.ServeTest(2, set.Add(std::make_unique<TestAnov>()));
  set.ServeTest(17, set.Add(std::make_unique<TestCorrel>()));
  set.ServeTest(18, set.Add(std::make_unique<TestRegr>()));
}

}  // namespace pelmora
