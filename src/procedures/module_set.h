// One instance of every procedure module, owned per dispatcher so that two
// sessions never share module flags.  Each family of modules adds its own
// members in a registration function of its own.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "procedures/procedure_module.h"
#include "procedures/hypothesis/student_t.h"

namespace pelmora {

class ModuleSet {
 public:
  ModuleSet();
  ~ModuleSet();
  ModuleSet(const ModuleSet&) = delete;
  ModuleSet& operator=(const ModuleSet&) = delete;

  // The module serving a test procedure by menu index, or nullptr.
  ProcedureModule* ForTest(int testIndex);
  // The module serving a sample distribution by menu index, or nullptr.
  ProcedureModule* ForDistribution(int distributionIndex);

  // Takes a module into the set and returns it.
  template <typename M>
  M& Add(std::unique_ptr<M> module) {
    M& m = *module;
    owned_.push_back(std::move(module));
    return m;
  }
  // Makes a module serve a test or a distribution menu item.
  void ServeTest(int testIndex, ProcedureModule& m) { tests_[testIndex] = &m; }
  void ServeDistribution(int distributionIndex, ProcedureModule& m) {
    distributions_[distributionIndex] = &m;
  }
  // The first module of type M taken into the set, or nullptr.
  template <typename M>
  M* Find() {
    for (auto& m : owned_)
      if (auto* found = dynamic_cast<M*>(m.get())) return found;
    return nullptr;
  }

  StudentT stud;

 private:
  std::vector<std::unique_ptr<ProcedureModule>> owned_;
  std::map<int, ProcedureModule*> tests_;
  std::map<int, ProcedureModule*> distributions_;
};

// The families of modules, each in the file of its registration.
void AddNormalTheoryModules(ModuleSet& set);
void AddProportionModules(ModuleSet& set);
void AddCountModules(ModuleSet& set);
void AddRankModules(ModuleSet& set);
void AddSurvivalModules(ModuleSet& set);
void AddAnovaModules(ModuleSet& set);
// The sample distributions, after the tests they hand on to.
void AddNormalDistributions(ModuleSet& set);
void AddDiscreteDistributions(ModuleSet& set);
void AddExponentialAndFiniteDistributions(ModuleSet& set);
void AddBivariateNormalDistribution(ModuleSet& set);

}  // namespace pelmora
