// The t test of the median of a log-normal variable, or of the ratio of two
// medians, with the shape (the standard deviation of the log) estimated: the
// t-test on the natural-log scale.  The log-normal sample distribution hands
// it "median (shape unknown)".
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/hypothesis/log_normal_median.h"

namespace pelmora {

class LogNormalT : public LogMedianTest {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  double EvaluateCriterion(const Session& s) override;
  // Noncentral t on the log scale, noncentrality (ln estimate - ln H0) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // The t test of the logarithms, the shapes estimated (pooled, or Welch's
  // with unequal shapes); given degrees of freedom and those of an ANOVA are
  // refused.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  void OptionChanged(Session& s, std::int16_t optionId) override;
  // The two groups' shapes and sample sizes, from the box of the pooled shape.
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids : MedianIds {
    static constexpr std::int16_t Shape = 32, Shape1 = 241, Shape2 = 242, Shape2MinusShape1 = 243,
                                  Shape2OverShape1 = 244;
    static constexpr std::int16_t DegreesOfFreedom = 36, NoOfGroups = 17;
  };

 private:
  // The standard error of the log estimate and the degrees of freedom.
  void ErrorAndDegrees(const Session& s, Single& se, Single& df) const;
  // The t statistic of the assumed values on the log scale.
  TArguments Statistic(const Session& s) const;

  // Flags copied from the options by BuildParameterList.
  bool dfGiven_ = false;
  bool groups_ = false;
  bool unequal_ = false;
  // Positions of the degrees of freedom and the number of groups; -1 where
  // the list has none.
  int df_ = -1, k_ = -1;
};

}  // namespace pelmora
