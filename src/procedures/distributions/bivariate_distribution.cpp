// The modules of the bivariate normal sample distribution.
#include "procedures/module_set.h"

namespace pelmora {

void AddBivariateNormalDistribution(ModuleSet& /*set*/) {}

}  // namespace pelmora
