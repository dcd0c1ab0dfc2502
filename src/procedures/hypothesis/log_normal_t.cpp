#include "procedures/hypothesis/log_normal_t.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/two_group_grid.h"
#include "session/calculation_rows.h"

namespace pelmora {

void LogNormalT::InitProcedure(Session& s) {
  s.IntParRowCount = 0;
  OfferOption(s, option::DegreesOfFreedom);
  OfferOption(s, option::NoOfGroupsInAnova);
  if (s.SampleCount == 1) {
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Median);
  } else {
    OfferOption(s, option::UnequalShapes);
    // Unequal shapes: the second row asks for the second assumed shape.
    OfferRow(s, group::Median2);
    if (s.optionChecked(option::UnequalShapes)) OfferRow(s, group::Shape2Star);
    OfferRow(s, group::SampleSize2);
  }
}

void LogNormalT::OptionChanged(Session& s, std::int16_t optionId) {
  // Given degrees of freedom and the degrees of freedom of an ANOVA both fix
  // the degrees of freedom: ticking one clears the other.
  auto& state = s.OptionState;
  if (optionId == option::DegreesOfFreedom && state[option::DegreesOfFreedom] == 1)
    state[option::NoOfGroupsInAnova] = 0;
  if (optionId == option::NoOfGroupsInAnova && state[option::NoOfGroupsInAnova] == 1)
    state[option::DegreesOfFreedom] = 0;
}

void LogNormalT::BuildParameterList(Session& s) {
  dfGiven_ = OfferedOptionChecked(s, 0);
  groups_ = OfferedOptionChecked(s, 1) && !dfGiven_;  // the two exclude each other; given df win
  unequal_ = s.SampleCount == 2 && OfferedOptionChecked(s, 2);
  static constexpr ShapeIds shapes{
      Ids::Shape, Ids::Shape1, {Ids::Shape2, Ids::Shape2MinusShape1, Ids::Shape2OverShape1}};
  int p = ListParameters(s, shapes, unequal_);
  df_ = k_ = -1;
  if (dfGiven_) {
    s.ParameterList[static_cast<std::size_t>(p)] = Ids::DegreesOfFreedom;
    df_ = p++;
  }
  if (groups_) {
    s.ParameterList[static_cast<std::size_t>(p)] = Ids::NoOfGroups;
    k_ = p++;
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

void LogNormalT::ErrorAndDegrees(const Session& s, Single& se, Single& df) const {
  Single shape1 = 0, shape2 = 0, n1 = 0, n2 = 0;
  ShapesAndSizes(s, shape1, shape2, n1, n2);
  if (!twoSamples_) {
    se = shape1 / std::sqrt(n1);
    df = n1 - 1;
    if (groups_) df = (n1 - 1) * ToSingle(s.value(k_));
  } else if (!unequal_) {
    se = shape1 * std::sqrt(1.0f / n2 + 1.0f / n1);
    df = n1 + n2 - 2;
  } else {
    // Satterthwaite's degrees of freedom over the two shapes, at least 1.
    const Single a = shape2 * shape2 / n2, b = shape1 * shape1 / n1;
    se = std::sqrt(a + b);
    df = (a + b) * (a + b) / (a * a / (n2 - 1) + b * b / (n1 - 1));
    df = MaxOf(df, 1.0f);
  }
  if (twoSamples_ && groups_) df = (n1 - 1) + (ToSingle(s.value(k_)) - 1) * (n2 - 1);
  if (dfGiven_) df = ToSingle(s.value(df_));
}

TArguments LogNormalT::Statistic(const Session& s) const {
  TArguments t;
  LogEstimate(s, t.x, t.null);
  LogLimits(s, t.left, t.right);
  ErrorAndDegrees(s, t.se, t.df);
  return t;
}

double LogNormalT::EvaluateCriterion(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueT(sides, Statistic(s))) - s.value(0);
}

std::optional<double> LogNormalT::EvaluatePower(const Session& s) {
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfTTest(sides, s.value(0), Statistic(s));
}

bool LogNormalT::OpenGroupGrid(Session& s, int row) {
  // Confidence intervals of the log-normal distribution have a grid of their own.
  if (s.ProcedureKind == 2 && s.IsTestProcedure == kFalse) return false;
  if (!twoSamples_ || unequal_ || shape_ < 0 || row != RowOfPosition(shape_)) return false;
  if (medianMode_ != 1 && groups_) return false;
  return OpenTwoGroupGrid(s, shape_, "Shape");
}

bool LogNormalT::CheckGroupGrid(Session& s, int row, int column) { return CheckTwoGroupCell(s, row, column); }

Single LogNormalT::ApplyGroupGrid(Session& s) {
  TwoGroupSpreads shapes;
  return ApplyTwoGroupGrid(s, n1_, n2_, size2Mode_, shapes);
}

}  // namespace pelmora
