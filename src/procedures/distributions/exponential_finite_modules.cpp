// The modules of the exponential, finite-population and hypergeometric sample distributions.
#include <memory>

#include "procedures/distributions/exponential.h"
#include "procedures/distributions/finite_population.h"
#include "procedures/distributions/hypergeometric.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/exponential_survival.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"

namespace pelmora {

void AddExponentialAndFiniteDistributions(ModuleSet& set) {
  ExponentialLocation* location = set.Find<ExponentialLocation>();
  ExponentialScale* scale = set.Find<ExponentialScale>();
  if (location != nullptr && scale != nullptr)
    set.Serve(ModuleId::ExponentialDistribution, set.Add(std::make_unique<ExponentialDistribution>(*location, *scale)));

  HypergeometricProportions* hyper = set.Find<HypergeometricProportions>();
  if (hyper == nullptr) return;
  // The hypergeometric entry and the finite population's proportion are one module.
  HypergeometricDistribution& proportion = set.Add(std::make_unique<HypergeometricDistribution>(*hyper));
  set.Serve(ModuleId::HypergeometricDistribution, proportion);
  FinitePopulationMean& mean = set.Add(std::make_unique<FinitePopulationMean>());
  set.Serve(ModuleId::FinitePopulationDistribution, set.Add(std::make_unique<FinitePopulationDistribution>(mean, proportion)));
}

}  // namespace pelmora
