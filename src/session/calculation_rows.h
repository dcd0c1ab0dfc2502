// What a Calculation window shows: one row per listed parameter but position
// 1, each a caption button and a value box, the unknown's box marked.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"

namespace pelmora {

inline constexpr int kCalculationRows = 13;

// Row 0 shows position 0, row r >= 1 position r + 1.
constexpr int PositionOfRow(int row) { return row == 0 ? 0 : row + 1; }
// Position 1 has no row; -1 for it.
constexpr int RowOfPosition(int position) { return position == 0 ? 0 : position == 1 ? -1 : position - 1; }

struct CalculationRow {
  int row;
  int position;
  std::string caption;  // with its "&" accelerator
  std::string text;
  bool unknown;
};

// The rows of the current parameter list, in list order.
std::vector<CalculationRow> CalculationRows(const Session& s);

// A caption button was clicked: its parameter becomes the unknown; the axes
// take the first two other positions with a row.
void MakeUnknown(Session& s, int row);

}  // namespace pelmora
