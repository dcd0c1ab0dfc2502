// One instance of every procedure module, owned per dispatcher so that two
// sessions never share module flags.  Each family of modules adds its own
// members in a registration function of its own and makes each the module of
// its id; the procedure table says which id serves which procedure.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "procedures/procedure_module.h"
#include "procedures/hypothesis/student_t.h"
#include "session/procedure_table.h"

namespace pelmora {

class ModuleSet {
 public:
  ModuleSet();
  ~ModuleSet();
  ModuleSet(const ModuleSet&) = delete;
  ModuleSet& operator=(const ModuleSet&) = delete;

  // The module of an id (see the procedure table), or nullptr.
  ProcedureModule* Serving(ModuleId id) const { return serving_[static_cast<std::size_t>(id)]; }
  // The module of a procedure, as its row in the procedure table names it.
  ProcedureModule* For(Procedure p) const { return Serving(RowOf(p).module); }

  // Takes a module into the set and returns it.
  template <typename M>
  M& Add(std::unique_ptr<M> module) {
    M& m = *module;
    owned_.push_back(std::move(module));
    return m;
  }
  // Makes a module the one of an id: it serves the procedures whose rows name
  // that id.
  void Serve(ModuleId id, ProcedureModule& m) { serving_[static_cast<std::size_t>(id)] = &m; }
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
  std::array<ProcedureModule*, kModuleIdCount> serving_{};
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
