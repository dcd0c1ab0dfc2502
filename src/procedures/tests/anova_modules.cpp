// The modules of one-way ANOVA and the tests of correlation and regression coefficients.
#include "procedures/module_set.h"

namespace pelmora {

void AddAnovaModules(ModuleSet& /*set*/) {}

}  // namespace pelmora
