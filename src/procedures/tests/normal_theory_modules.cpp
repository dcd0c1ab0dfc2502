// The modules of the normal-theory tests: z and t tests of means and medians, tests of standard deviations,
// bioequivalence.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/tests/test_bioeq.h"
#include "procedures/tests/test_lnorm.h"
#include "procedures/tests/test_lstu.h"
#include "procedures/tests/test_nor.h"
#include "procedures/tests/test_s2.h"

namespace pelmora {

void AddNormalTheoryModules(ModuleSet& set) {
  // The z test, the tests of standard deviations and the tests of log-normal
  // medians serve the normal and log-normal sample distributions, which hand
  // their tests on to them.
  set.Add(std::make_unique<TestNor>());
  set.Add(std::make_unique<TestS2>());
  set.Add(std::make_unique<TestLnorm>());
  set.Add(std::make_unique<TestLstu>());
  TestBioeq& bioeq = set.Add(std::make_unique<TestBioeq>());
  set.ServeTest(16, bioeq);
}

}  // namespace pelmora
