// The modules of the normal and log-normal sample distributions.
#include "procedures/module_set.h"

namespace pelmora {

void AddNormalDistributions(ModuleSet& /*set*/) {}

}  // namespace pelmora
