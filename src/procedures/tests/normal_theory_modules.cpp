// The modules of the normal-theory tests: z and t tests of means and medians, tests of standard deviations,
// bioequivalence.
#include "procedures/module_set.h"

namespace pelmora {

void AddNormalTheoryModules(ModuleSet& /*set*/) {}

}  // namespace pelmora
