#include "procedures/hypothesis/two_group_grid.h"

#include <cmath>

#include "format/number_format.h"
#include "session/grid_entry.h"

namespace pelmora {

bool OpenTwoGroupGrid(Session& s, int spreadPosition, const std::string& spreadHeading) {
  const GridLayout layout{"1 2", "Group No", {spreadHeading, "N"}, ""};
  if (!ShowGrid(s, s.entryAt(spreadPosition).ParamCaption(), 2, 2, layout,
                [&s](int r, int c) { return CheckTwoGroupCell(s, r, c); }))
    return false;
  return !s.CalcStopped;
}

bool CheckTwoGroupCell(Session& s, int row, int column) {
  if (column == 1) return CheckStandardDeviation(s, row, column);
  return CheckCellMinimum(s, row, column, 2);
}

Single ApplyTwoGroupGrid(Session& s, int n1Position, int n2Position, std::int16_t size2Mode,
                         TwoGroupSpreads& spreads) {
  if (!CheckGridComplete(s)) return 0;
  const GridTable& g = s.grid;
  const Single n1 = ToSingle(GridValue(g, 1, 2)), n2 = ToSingle(GridValue(g, 2, 2));
  spreads.first = ToSingle(GridValue(g, 1, 1));
  spreads.second = ToSingle(GridValue(g, 2, 1));
  Single second = n2;
  if (size2Mode == 1) second = n2 - n1;
  if (size2Mode == 2) second = n2 / n1;
  s.value(n1Position) = n1;
  s.value(n2Position) = second;
  s.entryAt(n1Position).ParamText = FormatPattern(n1, "#####0.0#####");
  s.entryAt(n2Position).ParamText = FormatPattern(second, "#####0.0#####");
  const Single s1 = spreads.first, s2 = spreads.second;
  return std::sqrt(((n1 - 1) * s1 * s1 + (n2 - 1) * s2 * s2) / (n1 + n2 - 2));
}

}  // namespace pelmora
