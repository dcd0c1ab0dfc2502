// The modules of the exponential, finite-population and hypergeometric sample distributions.
#include "procedures/module_set.h"

namespace pelmora {

void AddExponentialAndFiniteDistributions(ModuleSet& /*set*/) {}

}  // namespace pelmora
