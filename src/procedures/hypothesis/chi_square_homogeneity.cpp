#include "procedures/hypothesis/chi_square_homogeneity.h"

#include <cmath>
#include <vector>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/grid_entry.h"
#include "numeric/distributions.h"
#include "numeric/power.h"
#include "session/calculation_rows.h"
#include "session/options_model.h"

namespace pelmora {

void ChiSquareHomogeneity::InitProcedure(Session& s) {
  // The test is the upper-tailed chi2 test: no other tails apply.
  DisableOneSided(s);
  DisableTwoOneSided(s);
}

void ChiSquareHomogeneity::BuildParameterList(Session& s) {
  const int first = StartParameterList(s);
  effect_ = first;
  categories_ = first + 1;
  groups_ = first + 2;
  averageSize_ = first + 3;
  s.ParameterList[effect_] = Ids::StdDevOfProportions;
  s.ParameterList[categories_] = Ids::NumberOfCategories;
  s.ParameterList[groups_] = Ids::NoOfGroups;
  s.ParameterList[averageSize_] = Ids::AverageSampleSize;
  s.LastPosition = averageSize_;
}

bool ChiSquareHomogeneity::CheckParameters(Session& /*s*/) { return true; }

void ChiSquareHomogeneity::SetSearchInterval(Session& /*s*/, double& /*lower*/, double& /*upper*/) {}

double ChiSquareHomogeneity::EvaluateCriterion(const Session& s) {
  const Single w = ToSingle(s.value(effect_));
  const Single c = ToSingle(s.value(categories_));
  const Single r = ToSingle(s.value(groups_));
  const Single n = ToSingle(s.value(averageSize_));
  const Single df = (r - 1) * (c - 1);
  const Single x = w * w * r * n;
  return static_cast<double>(1 - ChiSquareCdf(x, df)) - s.value(0);
}

std::optional<double> ChiSquareHomogeneity::EvaluatePower(const Session& s) {
  const Single w = ToSingle(s.value(effect_));
  const Single c = ToSingle(s.value(categories_));
  const Single r = ToSingle(s.value(groups_));
  const Single n = ToSingle(s.value(averageSize_));
  // The noncentrality is the statistic of the assumed table.
  return PowerOfUpperChiSquareTest(s.value(0), w * w * r * n, (r - 1) * (c - 1));
}

namespace {

// A whole number typed into a box of the list, or 0.
int WholeNumber(const Session& s, int position) {
  const double v = std::nearbyint(ParseNumber(s.entryAt(position).ParamText));
  return v >= 0 && v <= kMaxGridSize + 1 ? static_cast<int>(v) : 0;
}

std::string Numbers(int count) {
  std::string words;
  for (int i = 1; i <= count; ++i) words += (i > 1 ? " " : "") + std::to_string(i);
  return words;
}

}  // namespace

bool ChiSquareHomogeneity::OpenGroupGrid(Session& s, int row) {
  if (row != RowOfPosition(effect_)) return false;
  const int groups = WholeNumber(s, groups_), categories = WholeNumber(s, categories_);
  if (groups < 1 || categories < 1) return false;
  GridLayout layout{Numbers(groups), "Group", {}, "Numbers in Category"};
  for (int c = 1; c <= categories; ++c) layout.headings.push_back(std::to_string(c));
  if (!ShowGrid(s, s.entryAt(effect_).ParamCaption(), groups, categories, layout,
                [this, &s](int r, int c) { return CheckGroupGrid(s, r, c); }))
    return false;
  return !s.CalcStopped;
}

bool ChiSquareHomogeneity::CheckGroupGrid(Session& s, int row, int column) {
  const std::string& text = s.grid.cell(row, column);
  if (text.find_first_not_of(' ') == std::string::npos) return true;
  const double count = std::nearbyint(GridValue(s.grid, row, column));
  if (count < 1) {
    s.ui().ShowMessage("Number Has To Be Larger Than 1", s.Description, MessageIcon::Exclamation);
    s.CalcStopped = true;
    return false;
  }
  // Small counts are allowed; the user is told that the chi2 approximation
  // suffers.
  if (count < 5)
    s.ui().ShowMessage("WARNING! Number Should Be Larger Than 5 To Use Chi2 Test.", s.Description,
                       MessageIcon::Exclamation);
  return true;
}

Single ChiSquareHomogeneity::ApplyGroupGrid(Session& s) {
  if (!CheckGridComplete(s)) return 0;
  const GridTable& g = s.grid;
  std::vector<double> rowTotal(static_cast<std::size_t>(g.rows), 0.0);
  std::vector<double> columnTotal(static_cast<std::size_t>(g.columns), 0.0);
  double total = 0;
  for (int r = 1; r <= g.rows; ++r)
    for (int c = 1; c <= g.columns; ++c) {
      const double x = std::nearbyint(GridValue(g, r, c));
      rowTotal[static_cast<std::size_t>(r - 1)] += x;
      columnTotal[static_cast<std::size_t>(c - 1)] += x;
      total += x;
    }
  if (!(total > 0)) {
    s.ui().ShowMessage("Number Has To Be Larger Than 1", s.Description, MessageIcon::Exclamation);
    s.CalcStopped = true;
    return 0;
  }
  // Pearson's statistic of the table against the counts expected from the
  // category proportions of all groups together.
  double pearson = 0;
  for (int r = 1; r <= g.rows; ++r)
    for (int c = 1; c <= g.columns; ++c) {
      const double expected =
          rowTotal[static_cast<std::size_t>(r - 1)] * columnTotal[static_cast<std::size_t>(c - 1)] / total;
      if (expected <= 0) continue;
      const double d = std::nearbyint(GridValue(g, r, c)) - expected;
      pearson += d * d / expected;
    }
  const Single w = ToSingle(std::sqrt(pearson / total));
  const Single average = ToSingle(total / g.rows);
  auto store = [&s](int position, double value) {
    s.value(position) = value;
    s.entryAt(position).ParamText = FormatPattern(value, "#####0.0#####");
  };
  store(effect_, w);
  store(categories_, g.columns);
  store(groups_, g.rows);
  store(averageSize_, average);
  return w;
}

// The assumed standard deviation of the proportions is Cohen's w: the
// statistic's noncentrality is w * w times the subjects in all.
std::optional<StandardisedEffect> ChiSquareHomogeneity::Effect(const Session& s) const {
  return StandardisedEffect{"w", s.value(effect_)};
}

}  // namespace pelmora
