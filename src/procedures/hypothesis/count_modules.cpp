// The modules of the binomial and hypergeometric tests and the chi2 homogeneity test.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/binomial_proportions.h"
#include "procedures/hypothesis/chi_square_homogeneity.h"
#include "procedures/hypothesis/hypergeometric_proportions.h"

namespace pelmora {

void AddCountModules(ModuleSet& set) {
  set.Add(std::make_unique<BinomialProportions>());
  set.Add(std::make_unique<HypergeometricProportions>());
  ChiSquareHomogeneity& rxc = set.Add(std::make_unique<ChiSquareHomogeneity>());
  set.Serve(ModuleId::ChiSquareHomogeneity, rxc);
}

}  // namespace pelmora
