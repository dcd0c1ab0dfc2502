// The modules of the normal-theory tests: z and t tests of means and medians, tests of standard deviations,
// bioequivalence.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/bioequivalence.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/standard_deviation.h"

namespace pelmora {

void AddNormalTheoryModules(ModuleSet& set) {
  // The z test, the tests of standard deviations and the tests of log-normal
  // medians serve the normal and log-normal sample distributions, which hand
  // their tests on to them.
  set.Add(std::make_unique<NormalZ>());
  set.Add(std::make_unique<StandardDeviation>());
  set.Add(std::make_unique<LogNormalMedian>());
  set.Add(std::make_unique<LogNormalT>());
  Bioequivalence& bioeq = set.Add(std::make_unique<Bioequivalence>());
  set.Serve(ModuleId::Bioequivalence, bioeq);
}

}  // namespace pelmora
