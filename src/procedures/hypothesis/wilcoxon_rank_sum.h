// The Wilcoxon rank-sum test of two samples, parametrised by the probability
// that an observation of sample 2 exceeds one of sample 1.  The plain form
// works with the Mann-Whitney count; with ordered categories it works with the
// rank sum of sample 2, allowing for observations in the same category (their
// probability and the correction of the variance for ties).  The P-value is
// that of the normal approximation.
//
// With ordered categories the counts of the two groups per category can be
// typed in a grid, opened from the boxes of the two probabilities and of the
// correction for ties; its number of columns is the number of categories
// typed in that parameter's own box beforehand.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class WilcoxonRankSum : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The normal approximation of its statistic, unit variance around
  // (expected - null) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Shifted normal samples with the assumed P(Sample 2 > Sample 1); see
  // wilcoxon_rank_sum_simulation.cpp.  Ordered categories are refused.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  bool OpenGroupGrid(Session& s, int row) override;
  // Each cell holds a count: the minimum-number check with minimum 0.
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t ProbHigher = 152, ProbEqual = 229, TieCorrection = 230,
                                  NumberOfCategories = 201;
    static constexpr std::int16_t SampleSize1 = 4, SampleSize2 = 37, SampleSize2MinusSize1 = 38,
                                  SampleSize2OverSize1 = 5;
  };

  // The grid's number of columns: as many as categories, at most this many.
  static constexpr int kMaxCategories = 10;

 private:
  // The arguments of the test's PValueZ: the expected and the null value of
  // the Mann-Whitney count (with ordered categories: of the rank sum of
  // sample 2), its standard error and the continuity correction.
  ZArguments Statistic(const Session& s) const;
  // Flags copied from the options and forms by BuildParameterList.
  bool continuity_ = false;
  bool ordered_ = false;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int higher_ = -1, equal_ = -1, ties_ = -1, categories_ = -1, n1_ = -1, n2_ = -1;
  // The position whose box opened the grid.
  int gridPosition_ = -1;
};

}  // namespace pelmora
