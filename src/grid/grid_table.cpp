#include "grid/grid_table.h"

#include <cmath>
#include <sstream>

#include "format/number_entry.h"

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

GridEditing::GridEditing(GridTable& table, CellCheck check) : table_(table), check_(std::move(check)) {}

bool GridEditing::Commit(const std::string& typed) {
  table_.cell(table_.row, table_.column) = typed;
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
  Key(kGridKeyLeft, typed);
}

}  // namespace pelmora
