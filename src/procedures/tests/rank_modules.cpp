// The modules of the rank tests: Wilcoxon rank-sum, Wilcoxon signed-rank and the sign test.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/tests/test_mw.h"
#include "procedures/tests/test_sign.h"
#include "procedures/tests/test_wsign.h"

namespace pelmora {

void AddRankModules(ModuleSet& set) {
  auto& mw = set.Add(std::make_unique<TestMw>());
  set.ServeTest(12, mw);
  auto& wsign = set.Add(std::make_unique<TestWsign>());
  set.ServeTest(13, wsign);
  auto& sign = set.Add(std::make_unique<TestSign>());
  set.ServeTest(14, sign);
}

}  // namespace pelmora
