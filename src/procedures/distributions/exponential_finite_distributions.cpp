// The modules of the exponential, finite-population and hypergeometric sample distributions.
#include <memory>

#include "procedures/distributions/par_exp.h"
#include "procedures/distributions/par_finite.h"
#include "procedures/distributions/par_hyper.h"
#include "procedures/module_set.h"
#include "procedures/tests/test_exp.h"
#include "procedures/tests/test_hyper.h"

namespace pelmora {

void AddExponentialAndFiniteDistributions(ModuleSet& set) {
  TestExpLoc* location = set.Find<TestExpLoc>();
  TestExpScale* scale = set.Find<TestExpScale>();
  if (location != nullptr && scale != nullptr)
    set.ServeDistribution(2, set.Add(std::make_unique<ParExp>(*location, *scale)));

  TestHyper* hyper = set.Find<TestHyper>();
  if (hyper == nullptr) return;
  // The hypergeometric entry and the finite population's proportion are one module.
  ParHyper& proportion = set.Add(std::make_unique<ParHyper>(*hyper));
  set.ServeDistribution(5, proportion);
  ParFinNor& mean = set.Add(std::make_unique<ParFinNor>());
  set.ServeDistribution(8, set.Add(std::make_unique<ParFinite>(mean, proportion)));
}

}  // namespace pelmora
