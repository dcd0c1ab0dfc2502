#include "procedures/hypothesis/life_table.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/grid_entry.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "session/calculation_rows.h"
#include "session/options_model.h"

namespace pelmora {

void LifeTable::InitProcedure(Session& s) {
  // The list has no equivalence limits.
  DisableTwoOneSided(s);
}

void LifeTable::BuildParameterList(Session& s) {
  const int first = StartParameterList(s);
  meanDiff_ = first;
  stdError_ = first + 1;
  tables_ = first + 2;
  s.ParameterList[meanDiff_] = Ids::WeightedMeanDiff;
  s.ParameterList[stdError_] = Ids::StdErrorOfMean;
  s.ParameterList[tables_] = Ids::NoOfTables;
  s.LastPosition = tables_;
}

double LifeTable::EvaluateCriterion(const Session& s) {
  // The number of tables does not enter: the standard error already holds it.
  const Single estimate = ToSingle(s.value(meanDiff_));
  const Single se = ToSingle(s.value(stdError_));
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueZ(sides, estimate, 0.0f, se, 0.0f, 0.0f, 0.0f)) - s.value(0);
}

std::optional<double> LifeTable::EvaluatePower(const Session& s) {
  const Single estimate = ToSingle(s.value(meanDiff_));
  const Single se = ToSingle(s.value(stdError_));
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfZTest(sides, s.value(0), estimate, 0.0f, se, 0.0f, 0.0f, 0.0f);
}

}  // namespace pelmora

namespace pelmora {

namespace {

std::string CellMessage(int row, int column, const std::string& relation, Single bound) {
  return "Number in Cell (" + StrSingle(static_cast<Single>(row)) + " ," +
         StrSingle(static_cast<Single>(column)) + ") Has to Be " + relation + StrSingle(bound);
}

void Refuse(Session& s, const std::string& text) {
  s.ui().ShowMessage(text, s.Description, MessageIcon::Exclamation);
  s.CalcStopped = true;
}

}  // namespace

int LifeTable::GridTableCount(const Session& s) {
  const CatalogueEntry& e = s.entry(Ids::NoOfTables);
  const double lo = std::max(e.ParamLowerLimit(), 1.0);
  const double hi = std::min(e.ParamUpperLimit(), static_cast<double>(kMaxGridSize));
  double k = std::nearbyint(ParseNumber(e.ParamText));
  if (!(k >= lo)) k = lo;
  if (k > hi) k = hi;
  return static_cast<int>(k);
}

bool LifeTable::CheckCountCell(Session& s, int row, int column) {
  return CheckCellMinimum(s, row, column, 0);
}

bool LifeTable::CheckGroupGrid(Session& s, int row, int column) { return CheckCountCell(s, row, column); }

bool LifeTable::OpenGroupGrid(Session& s, int row) {
  const int p = PositionOfRow(row);
  if (p != meanDiff_ && p != stdError_) return false;
  if (s.LastPosition < tables_ || s.ParameterList[meanDiff_] != Ids::WeightedMeanDiff) return false;
  clicked_ = p;
  const int tables = GridTableCount(s);
  std::string labels;
  for (int k = 1; k <= tables; ++k) labels += (k > 1 ? " " : "") + std::to_string(k);
  // One row per table; the columns are the number at risk and the events of
  // group 1, then of group 2.
  const GridLayout layout{labels, "Tables", {"At Risk", "Events", "At Risk", "Events"}, "Group No"};
  if (!ShowGrid(s, s.entryAt(p).ParamCaption(), tables, 4, layout,
                [&s](int r, int c) { return CheckCountCell(s, r, c); }))
    return false;
  return !s.CalcStopped;
}

Single LifeTable::ApplyGroupGrid(Session& s) {
  if (!CheckGridComplete(s)) return 0;
  const GridTable& g = s.grid;
  auto cell = [&g](int r, int c) { return ToSingle(GridValue(g, r, c)); };
  // Events may not exceed the number at risk.
  for (int r = 1; r <= g.rows; ++r)
    for (int c = 1; c + 1 <= g.columns; c += 2)
      if (cell(r, c + 1) > cell(r, c)) {
        Refuse(s, CellMessage(r, c + 1, "<=", cell(r, c)));
        return 0;
      }

  // Mantel-Haenszel sums over the tables.  A table in which a group has
  // nobody at risk carries no weight.
  Sums sums;
  for (int r = 1; r <= g.rows; ++r) {
    const Single n1 = cell(r, 1), e1 = cell(r, 2), n2 = cell(r, 3), e2 = cell(r, 4);
    const Single n = n1 + n2;
    if (!(n1 > 0 && n2 > 0 && n > 1)) continue;
    const Single p = (e1 + e2) / n;
    const Single w = n1 * n2 / (n - 1);
    sums.difference += n1 * n2 / n * (e1 / n1 - e2 / n2);
    sums.weight += w;
    sums.variance += w * p * (1 - p);
  }
  if (!(sums.weight > 0)) {
    // No table compares two groups at risk: point at the first empty group.
    for (int r = 1; r <= g.rows; ++r)
      for (int c = 1; c <= g.columns; c += 2)
        if (cell(r, c) < 1) {
          Refuse(s, CellMessage(r, c, ">=", 1));
          return 0;
        }
    Refuse(s, CellMessage(1, 1, ">=", 1));
    return 0;
  }
  sums_ = sums;

  const Single mean = sums.difference / sums.weight;
  const Single se = std::sqrt(sums.variance) / sums.weight;
  const Single tables = static_cast<Single>(g.rows);
  auto store = [&s](int p, Single v) {
    s.value(p) = v;
    s.entryAt(p).ParamText = FormatPattern(v, "#####0.0#####");
  };
  store(meanDiff_, mean);
  store(stdError_, se);
  store(tables_, tables);
  return clicked_ == stdError_ ? se : mean;
}

}  // namespace pelmora
