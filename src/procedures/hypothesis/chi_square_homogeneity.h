// The chi2 homogeneity test of r groups over c categories (an r x c table).
// The effect is w, the square root of Pearson's statistic of the expected
// table divided by its total; the criterion is the upper tail of chi2 at
// X = w^2 r n with (r - 1)(c - 1) degrees of freedom minus the requested
// P-value.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

class ChiSquareHomogeneity : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Noncentral chi-square with (r - 1)(c - 1) degrees of freedom and lambda
  // the statistic of the assumed table, w^2 r n.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Multinomial counts per group from one table of the assumed w (see
  // chi_square_homogeneity_simulation.cpp), each judged by Pearson's X.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;
  // The table of counts, one row per group and one column per category,
  // from the box of the effect; it gives all four parameters.
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t StdDevOfProportions = 223, NumberOfCategories = 201, NoOfGroups = 17,
                                  AverageSampleSize = 224;
  };
 private:
  // Positions of the listed quantities, from the first of the procedure's own.
  int effect_ = 2, categories_ = 3, groups_ = 4, averageSize_ = 5;
};

}  // namespace pelmora
