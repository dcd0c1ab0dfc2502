// The modules of the binomial and hypergeometric tests and the chi2 homogeneity test.
#include "procedures/module_set.h"

namespace pelmora {

void AddCountModules(ModuleSet& /*set*/) {}

}  // namespace pelmora
