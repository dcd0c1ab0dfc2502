// The modules of the normal and log-normal sample distributions.
#include <memory>

#include "procedures/distributions/par_lnorm.h"
#include "procedures/distributions/par_norm.h"
#include "procedures/module_set.h"
#include "procedures/tests/test_lnorm.h"
#include "procedures/tests/test_lstu.h"
#include "procedures/tests/test_nor.h"
#include "procedures/tests/test_s2.h"

namespace pelmora {

void AddNormalDistributions(ModuleSet& set) {
  // Their tests are those of the normal-theory modules, added before.
  TestNor* nor = set.Find<TestNor>();
  TestS2* s2 = set.Find<TestS2>();
  if (nor != nullptr && s2 != nullptr) {
    ParNorm& normal = set.Add(std::make_unique<ParNorm>(*nor, set.stud, *s2));
    set.ServeDistribution(0, normal);
  }
  TestLnorm* lnorm = set.Find<TestLnorm>();
  TestLstu* lstu = set.Find<TestLstu>();
  if (lnorm != nullptr && lstu != nullptr) {
    ParLnorm& logNormal = set.Add(std::make_unique<ParLnorm>(*lnorm, *lstu));
    set.ServeDistribution(1, logNormal);
  }
}

}  // namespace pelmora
