#include "grid/grid_table.h"

#include <cmath>
#include <sstream>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/session.h"

namespace pelmora {

std::vector<std::string> GridTable::RowLabelWords() const {
  std::vector<std::string> words;
  std::istringstream in(rowLabels);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::pair<int, int> GridTable::CellAt(int x, int y) const {
  if (x - kGridLeft < 1 || y - kGridTop < 1 || columnWidth <= 0 || rowHeight <= 0) return {0, 0};
  const int c = (x - kGridLeft) / columnWidth + 1;
  const int r = (y - kGridTop) / rowHeight + 1;
  if (r > rows || c > columns) return {0, 0};
  return {r, c};
}

int GridTable::Width() const { return kGridLeft + columns * columnWidth + kGridLeft / 2; }

int GridTable::Height() const { return kGridTop + rows * rowHeight + buttonHeight; }

double GridValue(const GridTable& g, int row, int column) { return ParseNumber(g.cell(row, column)); }

GridEditing::GridEditing(Session& s, CellCheck check) : s_(s), table_(s.grid), check_(std::move(check)) {}

bool GridEditing::Commit(const std::string& typed) {
  table_.cell(table_.row, table_.column) = typed;
  // A cell rejected before and corrected since no longer stops the entry;
  // only a cancelled entry stays stopped.
  if (!cancelled_) s_.CalcStopped = false;
  return !check_ || check_(table_.row, table_.column);
}

bool GridEditing::Key(int keyCode, const std::string& typed) {
  if (keyCode < kGridKeyLeft || keyCode > kGridKeyDown) return true;
  if (!Commit(typed)) return false;
  GridTable& g = table_;
  const bool first = g.row == 1 && g.column == 1;
  const bool last = g.row == g.rows && g.column == g.columns;
  switch (keyCode) {
    case kGridKeyLeft:
      if (first) break;
      if (g.column > 1) {
        --g.column;
      } else {
        --g.row;
        g.column = g.columns;
      }
      break;
    case kGridKeyRight:
      if (last) break;
      if (g.column < g.columns) {
        ++g.column;
      } else {
        ++g.row;
        g.column = 1;
      }
      break;
    case kGridKeyUp:
      if (first) break;
      if (g.row > 1) {
        --g.row;
      } else {
        --g.column;
        g.row = g.rows;
      }
      break;
    case kGridKeyDown:
      if (last) break;
      if (g.row < g.rows) {
        ++g.row;
      } else {
        ++g.column;
        g.row = 1;
      }
      break;
    default:
      break;
  }
  return true;
}

bool GridEditing::Click(int x, int y, const std::string& typed) {
  const auto [r, c] = table_.CellAt(x, y);
  return MoveTo(r, c, typed);
}

bool GridEditing::MoveTo(int row, int column, const std::string& typed) {
  if (row < 1 || row > table_.rows || column < 1 || column > table_.columns) return false;
  if (!Commit(typed)) return false;
  table_.row = row;
  table_.column = column;
  return true;
}

void GridEditing::Ok(const std::string& typed) { Key(kGridKeyLeft, typed); }

void GridEditing::Cancel(const std::string& typed) {
  cancelled_ = true;
  s_.CalcStopped = true;
  Key(kGridKeyLeft, typed);
}

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
  GridEditing editing(s, check);
  s.ui().EditGrid(editing);
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
