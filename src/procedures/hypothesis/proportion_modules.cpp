// The modules of Fisher's exact test, the chi2 test of a 2 x 2 table and McNemar's test.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/chi_square_2x2.h"
#include "procedures/hypothesis/fisher_exact.h"
#include "procedures/hypothesis/mcnemar.h"

namespace pelmora {

void AddProportionModules(ModuleSet& set) {
  auto& fisher = set.Add(std::make_unique<FisherExactTest>());
  set.Serve(ModuleId::FisherExact, fisher);
  auto& mcnemar = set.Add(std::make_unique<McNemar>());
  set.Serve(ModuleId::McNemar, mcnemar);
  auto& chi2 = set.Add(std::make_unique<ChiSquare2x2>());
  set.Serve(ModuleId::ChiSquare2x2, chi2);
}

}  // namespace pelmora
