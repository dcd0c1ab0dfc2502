// The modules of the binomial and Poisson sample distributions.
#include "procedures/module_set.h"

namespace pelmora {

void AddDiscreteDistributions(ModuleSet& /*set*/) {}

}  // namespace pelmora
