// The modules of Fisher's exact test, the chi2 test of a 2 x 2 table and McNemar's test.
#include "procedures/module_set.h"

namespace pelmora {

void AddProportionModules(ModuleSet& /*set*/) {}

}  // namespace pelmora
