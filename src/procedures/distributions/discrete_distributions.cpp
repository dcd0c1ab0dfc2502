// The modules of the binomial and Poisson sample distributions.
#include <memory>

#include "procedures/distributions/par_bin.h"
#include "procedures/distributions/par_poisson.h"
#include "procedures/module_set.h"
#include "procedures/tests/test_bin.h"

namespace pelmora {

void AddDiscreteDistributions(ModuleSet& set) {
  // The binomial distribution hands its tests to the binomial test.
  ParBin& binomial = set.Add(std::make_unique<ParBin>(*set.Find<TestBin>()));
  set.ServeDistribution(4, binomial);
  ParPoisson& poisson = set.Add(std::make_unique<ParPoisson>());
  set.ServeDistribution(6, poisson);
}

}  // namespace pelmora
