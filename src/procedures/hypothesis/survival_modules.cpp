// The modules of the survival tests: the log-rank test, the life table and the exponential tests.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/exponential_survival.h"
#include "procedures/hypothesis/life_table.h"
#include "procedures/hypothesis/log_rank.h"

namespace pelmora {

void AddSurvivalModules(ModuleSet& set) {
  LifeTable& lifeTable = set.Add(std::make_unique<LifeTable>());
  set.Serve(ModuleId::LifeTable, lifeTable);
  LogRank& logrank = set.Add(std::make_unique<LogRank>());
  set.Serve(ModuleId::LogRank, logrank);
  // The exponential sample distribution hands its tests on to these.
  set.Add(std::make_unique<ExponentialLocation>());
  set.Add(std::make_unique<ExponentialScale>());
}

}  // namespace pelmora
