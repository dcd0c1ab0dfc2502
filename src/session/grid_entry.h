// The entry of a module's grid: the session's cells shown through the user
// interface and their checks, each of which tells the user what it refuses
// and stops the calculation.
#pragma once

#include <string>
#include <vector>

#include "grid/grid_table.h"
#include "session/session.h"

namespace pelmora {

// Prepares the session's grid for an entry and shows it through the user
// interface, modally.  Up to 10 rows and 10 columns; a larger grid is not
// shown and false is returned.  The cells keep their texts when the grid is
// opened again for the same selection with the same number of columns, or
// when `keep` is set; otherwise they start empty.  After it returns,
// CalcStopped says whether the entry was cancelled or a cell rejected.
struct GridLayout {
  std::string rowLabels;
  std::string sideLabel;
  std::vector<std::string> headings;
  std::string headingCaption;
};
bool ShowGrid(Session& s, const std::string& caption, int rows, int columns, const GridLayout& layout,
              const GridEditing::CellCheck& check, bool keep = false);

// The checks a module applies to the grid.  Each shows its message (an
// exclamation box titled with the description of the calculation), sets
// CalcStopped and returns false on failure.
bool CheckGridComplete(Session& s);
bool CheckCoefficientSum(Session& s);
bool CheckStandardDeviations(Session& s);
// The same for one cell holding a standard deviation.
bool CheckStandardDeviation(Session& s, int row, int column);
// Only while CalcStopped is false and the cell is not empty: the cell's
// value rounded to a whole number must reach the minimum.
bool CheckCellMinimum(Session& s, int row, int column, int minimum);

}  // namespace pelmora
