// The modules of the rank tests: Wilcoxon rank-sum, Wilcoxon signed-rank and the sign test.
#include <memory>

#include "procedures/module_set.h"
#include "procedures/hypothesis/wilcoxon_rank_sum.h"
#include "procedures/hypothesis/sign.h"
#include "procedures/hypothesis/wilcoxon_signed_rank.h"

namespace pelmora {

void AddRankModules(ModuleSet& set) {
  auto& mw = set.Add(std::make_unique<WilcoxonRankSum>());
  set.Serve(ModuleId::WilcoxonRankSum, mw);
  auto& wsign = set.Add(std::make_unique<WilcoxonSignedRank>());
  set.Serve(ModuleId::WilcoxonSignedRank, wsign);
  auto& sign = set.Add(std::make_unique<Sign>());
  set.Serve(ModuleId::Sign, sign);
}

}  // namespace pelmora
