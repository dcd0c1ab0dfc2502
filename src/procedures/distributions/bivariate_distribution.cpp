// The modules of the bivariate normal sample distribution.
#include <memory>

#include "procedures/distributions/par_nor2.h"
#include "procedures/module_set.h"
#include "procedures/tests/test_correl.h"
#include "procedures/tests/test_regr.h"

namespace pelmora {

void AddBivariateNormalDistribution(ModuleSet& set) {
  // The tests of a correlation and of a regression coefficient are those of
  // the test procedures.
  TestCorrel* correl = set.Find<TestCorrel>();
  TestRegr* regr = set.Find<TestRegr>();
  if (correl == nullptr || regr == nullptr) return;
  set.ServeDistribution(10, set.Add(std::make_unique<ParNor2>(*correl, *regr)));
}

}  // namespace pelmora
