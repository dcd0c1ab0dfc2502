// The life table (Mantel-Haenszel) test of two groups over stratified 2 x 2
// tables.  The criterion is the normal P-value of the weighted mean of the
// differences in the proportions of events, with its standard error, minus
// the requested P-value.  Both can be computed in a grid from the numbers at
// risk and the events of the two groups in each table.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class LifeTable : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& /*s*/) override { return true; }
  void SetSearchInterval(Session& /*s*/, double& /*lower*/, double& /*upper*/) override {}
  double EvaluateCriterion(const Session& s) override;
  // The weighted mean normal with unit variance around mean / standard error.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Binomial events in tables alike that reach the assumed mean and
  // standard error (see life_table_simulation.cpp), judged by the
  // Mantel-Haenszel statistic of the observed tables.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  // The tables' numbers at risk and events, from the box of the weighted mean
  // or of its standard error.
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // A grid cell holding a count: a whole number of at least 0 (the rank-sum
  // test's grid uses it too).
  static bool CheckCountCell(Session& s, int row, int column);

  // Catalogue ids of the parameters this module lists, in this order.
  struct Ids {
    static constexpr std::int16_t WeightedMeanDiff = 226, StdErrorOfMean = 227, NoOfTables = 228;
  };

  // The grid has two rows per table, group 1 above group 2, with the number
  // at risk in the first column and the events in the second.
  static constexpr int kAtRiskColumn = 1, kEventsColumn = 2;
  // The number of tables the grid shows: the value text of "No Of Tables",
  // rounded and kept within its limits.
  static int GridTableCount(const Session& s);

  // The sums over the tables of the last grid entry.
  struct Sums {
    Single difference = 0;  // S: observed minus expected events of group 1
    Single weight = 0;      // W
    Single variance = 0;    // V
  };
  const Sums& GridSums() const { return sums_; }

 private:
  // Positions of the listed quantities, from the first of the procedure's own.
  int meanDiff_ = 2, stdError_ = 3, tables_ = 4;
  // The position whose box opened the grid.
  int clicked_ = -1;
  Sums sums_;
};

}  // namespace pelmora
