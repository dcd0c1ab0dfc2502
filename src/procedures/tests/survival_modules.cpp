// The modules of the survival tests: the log-rank test, the life table and the exponential tests.
#include "procedures/module_set.h"

namespace pelmora {

void AddSurvivalModules(ModuleSet& /*set*/) {}

}  // namespace pelmora
