// The modules of the binomial and Poisson sample distributions.
#include <memory>

#include "procedures/distributions/binomial.h"
#include "procedures/distributions/poisson.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/binomial_proportions.h"

namespace pelmora {

void AddDiscreteDistributions(ModuleSet& set) {
  // The binomial distribution hands its tests to the binomial test.
  BinomialDistribution& binomial = set.Add(std::make_unique<BinomialDistribution>(*set.Find<BinomialProportions>()));
  set.Serve(ModuleId::BinomialDistribution, binomial);
  PoissonDistribution& poisson = set.Add(std::make_unique<PoissonDistribution>());
  set.Serve(ModuleId::PoissonDistribution, poisson);
}

}  // namespace pelmora
