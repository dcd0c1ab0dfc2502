// The modules of the binomial and hypergeometric tests and the chi2 homogeneity test.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/tests/test_bin.h"
#include "procedures/tests/test_chi2rxc.h"
#include "procedures/tests/test_hyper.h"

namespace pelmora {

void AddCountModules(ModuleSet& set) {
  set.Add(std::make_unique<TestBin>());
  set.Add(std::make_unique<TestHyper>());
  TestChi2Rxc& rxc = set.Add(std::make_unique<TestChi2Rxc>());
  set.ServeTest(7, rxc);
}

}  // namespace pelmora
