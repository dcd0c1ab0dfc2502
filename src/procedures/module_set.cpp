#include "procedures/module_set.h"

namespace pelmora {

ProcedureModule* ModuleSet::ForTest(int testIndex) {
  switch (testIndex) {
    case 0:
    case 1:
      return &stud;
    default:
      return nullptr;
  }
}

ProcedureModule* ModuleSet::ForDistribution(int /*distributionIndex*/) { return nullptr; }

}  // namespace pelmora
