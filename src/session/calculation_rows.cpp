#include "session/calculation_rows.h"

namespace pelmora {

std::vector<CalculationRow> CalculationRows(const Session& s) {
  std::vector<CalculationRow> rows;
  for (int p = 0; p <= s.LastPosition && p <= kMaxPosition; ++p) {
    if (p == 1) continue;
    const CatalogueEntry& e = s.entryAt(p);
    rows.push_back({RowOfPosition(p), p, e.ParamCaption(), e.ParamText, p == s.UnknownPosition});
  }
  return rows;
}

void MakeUnknown(Session& s, int row) {
  s.ResultsCurrent = false;
  s.UnknownPosition = static_cast<std::int16_t>(PositionOfRow(row));
  if (s.UnknownPosition == 0) {
    s.ZPosition = 1;
    s.XPosition = 2;
  } else {
    s.ZPosition = 0;
    s.XPosition = 1;
  }
}

}  // namespace pelmora
