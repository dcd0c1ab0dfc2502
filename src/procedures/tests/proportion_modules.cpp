// The modules of Fisher's exact test, the chi2 test of a 2 x 2 table and McNemar's test.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/tests/test_chi2.h"
#include "procedures/tests/test_fisher.h"
#include "procedures/tests/test_mcn.h"

namespace pelmora {

void AddProportionModules(ModuleSet& set) {
  auto& fisher = set.Add(std::make_unique<TestFisher>());
  set.ServeTest(4, fisher);
  auto& mcnemar = set.Add(std::make_unique<TestMcn>());
  set.ServeTest(5, mcnemar);
  auto& chi2 = set.Add(std::make_unique<TestChi2>());
  set.ServeTest(6, chi2);
}

}  // namespace pelmora
