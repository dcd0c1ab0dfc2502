#include "session/grid_entry.h"

#include <cmath>

#include "format/number_entry.h"
#include "format/number_format.h"

namespace pelmora {

namespace {

// The selection an entry belongs to.
std::string SelectionKey(const Session& s) {
  return std::to_string(s.IsTestProcedure) + "/" + std::to_string(s.TestIndex) + "/" +
         std::to_string(s.DistributionIndex) + "/" + std::to_string(s.ParameterChoice);
}

void Fail(Session& s, const std::string& text) {
  s.ui().ShowMessage(text, s.Description, MessageIcon::Exclamation);
  s.CalcStopped = true;
}

}  // namespace

bool ShowGrid(Session& s, const std::string& caption, int rows, int columns, const GridLayout& layout,
              const GridEditing::CellCheck& check, bool keep) {
  if (rows < 1 || columns < 1 || rows > kMaxGridSize || columns > kMaxGridSize) return false;
  GridTable& g = s.grid;
  const std::string key = SelectionKey(s);
  const bool kept = keep || (g.keptFor == key && g.columns == columns);
  if (!kept) g.GridCells.clear();
  g.GridCells.resize(static_cast<std::size_t>(rows));
  for (auto& r : g.GridCells) r.resize(static_cast<std::size_t>(columns));
  g.rows = rows;
  g.columns = columns;
  g.keptFor = key;
  g.title = "Calculation of " + RemoveAccelerator(caption);
  g.rowLabels = layout.rowLabels;
  g.sideLabel = layout.sideLabel;
  g.headings = layout.headings;
  g.headings.resize(static_cast<std::size_t>(columns));
  g.headingCaption = layout.headingCaption;
  g.row = 1;
  g.column = 1;
  const GridEditing* entry = nullptr;
  GridEditing editing(g, [&s, &check, &entry](int row, int column) {
    // A cell rejected before and corrected since no longer stops the entry;
    // only a cancelled entry stays stopped.
    s.CalcStopped = entry->cancelled();
    return !check || check(row, column);
  });
  entry = &editing;
  s.ui().EditGrid(editing);
  if (editing.cancelled()) s.CalcStopped = true;
  return true;
}

bool CheckGridComplete(Session& s) {
  const GridTable& g = s.grid;
  for (int r = 1; r <= g.rows; ++r)
    for (int c = 1; c <= g.columns; ++c)
      if (g.cell(r, c).find_first_not_of(' ') == std::string::npos) {
        Fail(s, "Some cells were empty.");
        return false;
      }
  return true;
}

bool CheckCoefficientSum(Session& s) {
  const GridTable& g = s.grid;
  Single sum = 0;
  if (g.rows >= 2)
    for (int c = 1; c <= g.columns; ++c) sum += ToSingle(GridValue(g, 2, c));
  if (sum != 0) {
    Fail(s, "Sum of Coefficients Must Be = 0");
    return false;
  }
  return true;
}

bool CheckStandardDeviation(Session& s, int row, int column) {
  const std::string& text = s.grid.cell(row, column);
  if (text.find_first_not_of(' ') == std::string::npos || GridValue(s.grid, row, column) > 0) return true;
  Fail(s, "Standard Deviations Must Be > 0");
  return false;
}

bool CheckStandardDeviations(Session& s) {
  for (int c = 1; c <= s.grid.columns; ++c)
    if (s.grid.rows >= 1 && !CheckStandardDeviation(s, 1, c)) return false;
  return true;
}

bool CheckCellMinimum(Session& s, int row, int column, int minimum) {
  if (s.CalcStopped) return true;
  const std::string& text = s.grid.cell(row, column);
  if (text.find_first_not_of(' ') == std::string::npos) return true;
  if (std::nearbyint(GridValue(s.grid, row, column)) >= minimum) return true;
  Fail(s, "Number Has To Be >=" + StrSingle(static_cast<Single>(minimum)));
  return false;
}

}  // namespace pelmora
