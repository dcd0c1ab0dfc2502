// Grid data entry: a small table of numbers typed cell by cell (the means,
// standard deviations or sample sizes of groups, the counts of a table), with
// one entry box that moves over the cells.  The cells and the movement are
// here, the entry of a module's grid and its checks in session/grid_entry.h;
// the dialog that draws the grid only shows them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pelmora {

inline constexpr int kMaxGridSize = 10;
// Where the cells start inside the dialog, in twips.
inline constexpr int kGridLeft = 600;
inline constexpr int kGridTop = 600;

enum GridKeyCode { kGridKeyLeft = 37, kGridKeyUp = 38, kGridKeyRight = 39, kGridKeyDown = 40 };

struct GridTable {
  // GridCells[row - 1][column - 1]: rows and columns count from 1.
  std::vector<std::vector<std::string>> GridCells;
  int rows = 0;
  int columns = 0;
  std::string title;  // "Calculation of " and the parameter's caption
  // The words of rowLabels label the rows, one each; sideLabel stands
  // vertically left of them; headings label the columns, headingCaption
  // stands above the headings.
  std::string rowLabels;
  std::string sideLabel;
  std::vector<std::string> headings;
  std::string headingCaption;
  // Geometry in twips.
  int columnWidth = 1200;
  int rowHeight = 375;
  int buttonHeight = 700;
  // The cell under the entry box.
  int row = 1;
  int column = 1;
  // The selection whose entry the cells hold.
  std::string keptFor;

  const std::string& cell(int r, int c) const {
    return GridCells.at(static_cast<std::size_t>(r - 1)).at(static_cast<std::size_t>(c - 1));
  }
  std::string& cell(int r, int c) {
    return GridCells.at(static_cast<std::size_t>(r - 1)).at(static_cast<std::size_t>(c - 1));
  }
  // The row labels, one word each.
  std::vector<std::string> RowLabelWords() const;
  // The cell whose area holds the point (twips from the dialog's top left);
  // {0, 0} outside the cells.
  std::pair<int, int> CellAt(int x, int y) const;
  // The dialog's inner size in twips: the margins, the cells and the buttons.
  int Width() const;
  int Height() const;
};

// The dialog's side of one entry: what it shows and what its keys, clicks and
// buttons do.  The texts passed in are what the entry box holds.
class GridEditing {
 public:
  // Asks whether the cell (row, column) the box is leaving is acceptable;
  // the asker tells the user why not.
  using CellCheck = std::function<bool(int row, int column)>;

  GridEditing(GridTable& table, CellCheck check);

  GridTable& table() { return table_; }
  const GridTable& table() const { return table_; }
  // The text of the cell under the entry box.
  const std::string& CurrentText() const { return table_.cell(table_.row, table_.column); }

  // An arrow key: stores the typed text in the cell, lets the module check
  // it and, when accepted, moves the box (wrapping as the grid reads).  Other
  // keys do nothing.  False when the cell was rejected.
  bool Key(int keyCode, const std::string& typed);
  // A click at (x, y) twips: when it falls on a cell, commits the current
  // cell as an arrow key does and moves the box there.
  bool Click(int x, int y, const std::string& typed);
  // The same for a cell named by its row and column (a dialog that lays the
  // cells out itself); false outside the grid.
  bool MoveTo(int row, int column, const std::string& typed);
  // OK and Cancel: the current cell is committed as for the Left arrow; Cancel
  // first marks the entry as cancelled.  The dialog closes after either.
  void Ok(const std::string& typed);
  void Cancel(const std::string& typed);
  // Whether the entry was cancelled: it stays stopped whatever the cells hold.
  bool cancelled() const { return cancelled_; }

 private:
  bool Commit(const std::string& typed);
  GridTable& table_;
  CellCheck check_;
  bool cancelled_ = false;
};

// The number a cell holds (a decimal comma is read as a point).
double GridValue(const GridTable& g, int row, int column);

}  // namespace pelmora
