// The modules of the normal and log-normal sample distributions.
#include <memory>

#include "procedures/distributions/log_normal.h"
#include "procedures/distributions/normal.h"
#include "procedures/module_set.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/standard_deviation.h"

namespace pelmora {

void AddNormalDistributions(ModuleSet& set) {
  // Their tests are those of the normal-theory modules, added before.
  NormalZ* nor = set.Find<NormalZ>();
  StandardDeviation* s2 = set.Find<StandardDeviation>();
  if (nor != nullptr && s2 != nullptr) {
    NormalDistribution& normal = set.Add(std::make_unique<NormalDistribution>(*nor, set.stud, *s2));
    set.Serve(ModuleId::NormalDistribution, normal);
  }
  LogNormalMedian* lnorm = set.Find<LogNormalMedian>();
  LogNormalT* lstu = set.Find<LogNormalT>();
  if (lnorm != nullptr && lstu != nullptr) {
    LogNormalDistribution& logNormal = set.Add(std::make_unique<LogNormalDistribution>(*lnorm, *lstu));
    set.Serve(ModuleId::LogNormalDistribution, logNormal);
  }
}

}  // namespace pelmora
