// The modules of the rank tests: Wilcoxon rank-sum, Wilcoxon signed-rank and the sign test.
#include "procedures/module_set.h"

namespace pelmora {

void AddRankModules(ModuleSet& /*set*/) {}

}  // namespace pelmora
