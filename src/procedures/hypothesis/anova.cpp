#include "procedures/hypothesis/anova.h"

#include <cmath>
#include <string>
#include <vector>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/grid_entry.h"
#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "session/calculation_rows.h"
#include "session/checks.h"

namespace pelmora {

Single StdDevOfMeans(Single effect, Single k, std::int16_t form) {
  switch (form) {
    case 0:
      return effect;
    case 1:
      return effect / std::sqrt(2 * (k - 1));
    case 2:
      return effect / std::sqrt(k);
    default:
      return 0;
  }
}

void Anova::InitProcedure(Session& s) {
  // Every sidedness stays offered: it applies to a contrast, while the F test
  // of the means rejects in its upper tail whatever is chosen.
  OfferOption(s, option::AnalysisOfContrast);
  if (!s.optionChecked(option::AnalysisOfContrast)) OfferRow(s, group::StdDevOfMeans);
}

void Anova::BuildParameterList(Session& s) {
  tails_ = s.TailCount;
  contrast_ = OfferedOptionChecked(s, 0);
  form_ = contrast_ ? 0 : RowMode(s, 0);
  if (form_ < 0 || form_ > 2) form_ = 0;

  effect_ = left_ = right_ = sd_ = k_ = n_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (contrast_) {
    if (tails_ == 3) {
      left_ = put(Ids::LeftLimit);
      right_ = put(Ids::RightLimit);
    }
    effect_ = put(Ids::ContrastValue);
    sd_ = put(tails_ == 3 ? Ids::Sd : Ids::ResidualSd);
  } else {
    static constexpr std::int16_t effect[3] = {Ids::StdDevOfMeans, Ids::MaxDifference, Ids::MinDifference};
    effect_ = put(effect[form_]);
    sd_ = put(Ids::ResidualSd);
  }
  k_ = put(Ids::NoOfGroups);
  n_ = put(Ids::AverageSampleSize);
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool Anova::CheckParameters(Session& s) {
  if (contrast_ && tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void Anova::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (u == n_) lower = MaxOf(lower, kMinSampleSize);
  if (!contrast_) return;  // the P-value of F moves one way in every parameter
  if (tails_ == 3) {
    // The contrast on the side of the middle of the limits where the P-value
    // moves one way only; a limit on its own side of the contrast.
    const double x = s.value(effect_);
    if (u == effect_) NarrowByTailReversed(s, lower, upper, (s.value(left_) + s.value(right_)) / 2);
    if (u == left_) upper = MinOf(upper, x);
    if (u == right_) lower = MaxOf(lower, x);
  } else if (u == effect_) {
    NarrowByTailReversed(s, lower, upper, 0);  // the rejection side of the null contrast 0
  }
}

Anova::AssumedDesign Anova::Assumed(const Session& s) const {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  AssumedDesign a{at(k_), at(n_), at(sd_), at(effect_), at(left_), at(right_), 0};
  const Single total = a.n * a.k;
  a.dfResidual = total - a.k;
  if (!contrast_) {
    const Single sm = StdDevOfMeans(a.effect, a.k, form_);
    a.f = a.n * sm * sm / (a.sigma * a.sigma);
  }
  return a;
}

double Anova::EvaluateCriterion(const Session& s) {
  const AssumedDesign a = Assumed(s);
  // Without a contrast the upper tail of F whatever the sidedness.
  if (!contrast_) return static_cast<double>(1.0f - FCdf(a.f, a.k - 1, a.dfResidual)) - s.value(0);
  const Single se = a.sigma / std::sqrt(a.n);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueT(sides, a.effect, 0, se, a.left, a.right, a.dfResidual)) - s.value(0);
}

std::optional<double> Anova::EvaluatePower(const Session& s) {
  const AssumedDesign a = Assumed(s);
  // lambda = sum n_i (mu_i - mu)^2 / sigma^2 = (k - 1) n s_m^2 / sigma^2, the
  // numerator degrees of freedom times the assumed F statistic.
  if (!contrast_)
    return PowerOfUpperFTest(s.value(0), static_cast<double>(a.k - 1) * a.f, a.k - 1, a.dfResidual);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfTTest(sides, s.value(0), a.effect, 0, a.sigma / std::sqrt(a.n), a.left, a.right,
                      a.dfResidual);
}

namespace {

void Refuse(Session& s, const std::string& text) {
  s.ui().ShowMessage(text, s.Description, MessageIcon::Exclamation);
  s.CalcStopped = true;
}

}  // namespace

bool Anova::OpenGroupGrid(Session& s, int row) {
  const int p = PositionOfRow(row);
  if (p < 2 || (p != effect_ && p != sd_)) return false;
  // One column per group: as many as the box of the number of groups holds.
  const double groups = std::nearbyint(ParseNumber(s.entryAt(k_).ParamText));
  if (!(groups >= 2 && groups <= kMaxGridSize)) return false;
  const int k = static_cast<int>(groups);
  gridContrast_ = contrast_;
  gridPosition_ = p;
  const int rows = gridContrast_ ? 4 : 3;
  if (s.grid.rows != rows) s.grid.GridCells.clear();  // the rows mean other things now
  std::vector<std::string> headings;
  for (int c = 1; c <= k; ++c) headings.push_back(std::to_string(c));
  const GridLayout layout{gridContrast_ ? "Mean Coeff. StDev N" : "Mean StDev N", "", headings, "Factor A"};
  if (!ShowGrid(s, s.entryAt(p).ParamCaption(), rows, k, layout,
                [this, &s](int r, int c) { return CheckGroupGrid(s, r, c); }))
    return false;
  return !s.CalcStopped;
}

bool Anova::CheckGroupGrid(Session& s, int row, int column) {
  if (row == SdGridRow()) return CheckStandardDeviation(s, row, column);
  if (row == SizeGridRow()) return CheckCellMinimum(s, row, column, 2);
  return true;  // means and coefficients take any number
}

Single Anova::ApplyGroupGrid(Session& s) {
  if (!CheckGridComplete(s)) return 0;
  const GridTable& g = s.grid;
  const int k = g.columns;
  auto cell = [&](int r, int c) { return ToSingle(GridValue(g, r, c)); };
  for (int c = 1; c <= k; ++c)
    if (cell(SdGridRow(), c) <= 0) {
      Refuse(s, "All Standard Deviations Must Be Larger Than 0");
      return 0;
    }
  for (int c = 1; c <= k; ++c)
    if (cell(SizeGridRow(), c) <= 1) {
      Refuse(s, "All Sample Sizes Must Be Larger Than 1");
      return 0;
    }
  if (gridContrast_ && !CheckCoefficientSum(s)) return 0;

  Single total = 0, weighted = 0, within = 0;
  for (int c = 1; c <= k; ++c) {
    const Single ni = cell(SizeGridRow(), c), si = cell(SdGridRow(), c);
    total += ni;
    weighted += ni * cell(1, c);
    within += (ni - 1) * si * si;
  }
  const Single groups = static_cast<Single>(k);
  const Single n = total / groups;  // the average size
  const Single grand = weighted / total;
  Single between = 0;
  for (int c = 1; c <= k; ++c) {
    const Single d = cell(1, c) - grand;
    between += cell(SizeGridRow(), c) * d * d;
  }
  const Single sigma = std::sqrt(within / (total - groups));

  Single effect = 0;
  if (gridContrast_) {
    Single sum = 0, squares = 0;
    for (int c = 1; c <= k; ++c) {
      const Single ci = cell(2, c);
      sum += ci * cell(1, c);
      squares += ci * ci / cell(SizeGridRow(), c);
    }
    // With every coefficient 0 there is no contrast, and its value is 0.
    effect = squares > 0 ? sum / std::sqrt(n * squares) : 0.0f;
  } else if (form_ == 0) {
    effect = std::sqrt(between / ((groups - 1) * n));
  } else {
    // The largest or the smallest distance of a group mean to mean 1.
    for (int c = 2; c <= k; ++c) {
      const Single d = std::fabs(cell(1, c) - cell(1, 1));
      if (c == 2 || (form_ == 1 ? d > effect : d < effect)) effect = d;
    }
  }

  auto store = [&](int p, Single v) {
    s.value(p) = v;
    s.entryAt(p).ParamText = FormatPattern(v, "#####0.0#####");
  };
  store(effect_, effect);
  store(sd_, sigma);
  store(k_, groups);
  store(n_, n);
  return gridPosition_ == sd_ ? sigma : effect;
}

// Cohen's f: the standard deviation of the group means over the residual
// one; a contrast defines none.
std::optional<StandardisedEffect> Anova::Effect(const Session& s) const {
  if (contrast_) return std::nullopt;
  const AssumedDesign a = Assumed(s);
  return StandardisedEffect{"f", static_cast<double>(StdDevOfMeans(a.effect, a.k, form_)) / a.sigma};
}

}  // namespace pelmora
