#include "procedures/module_set.h"

namespace pelmora {

ModuleSet::ModuleSet() {
  ServeTest(0, stud);
  ServeTest(1, stud);
  AddNormalTheoryModules(*this);
  AddProportionModules(*this);
  AddCountModules(*this);
  AddRankModules(*this);
  AddSurvivalModules(*this);
  AddAnovaModules(*this);
  AddNormalDistributions(*this);
  AddDiscreteDistributions(*this);
  AddExponentialAndFiniteDistributions(*this);
  AddBivariateNormalDistribution(*this);
}

ModuleSet::~ModuleSet() = default;

ProcedureModule* ModuleSet::ForTest(int testIndex) {
  const auto it = tests_.find(testIndex);
  return it == tests_.end() ? nullptr : it->second;
}

ProcedureModule* ModuleSet::ForDistribution(int distributionIndex) {
  const auto it = distributions_.find(distributionIndex);
  return it == distributions_.end() ? nullptr : it->second;
}

}  // namespace pelmora
