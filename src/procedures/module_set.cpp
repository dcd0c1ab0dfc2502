#include "procedures/module_set.h"

namespace pelmora {

ModuleSet::ModuleSet() {
  Serve(ModuleId::StudentT, stud);
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

}  // namespace pelmora
