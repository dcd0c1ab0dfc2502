// The modules of the survival tests: the log-rank test, the life table and the exponential tests.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/tests/test_exp.h"
#include "procedures/tests/test_lifetable.h"
#include "procedures/tests/test_logrank.h"

namespace pelmora {

void AddSurvivalModules(ModuleSet& set) {
  TestLifeTable& lifeTable = set.Add(std::make_unique<TestLifeTable>());
  set.ServeTest(9, lifeTable);
  TestLogrank& logrank = set.Add(std::make_unique<TestLogrank>());
  set.ServeTest(10, logrank);
  // The exponential sample distribution hands its tests on to these.
  set.Add(std::make_unique<TestExpLoc>());
  set.Add(std::make_unique<TestExpScale>());
}

}  // namespace pelmora
