// The grid of two groups' spreads (standard deviations, or shapes on the log
// scale) and sample sizes, opened from the box of the pooled spread of a
// two-sample t test.  It gives both sample sizes and the pooled spread.
#pragma once

#include <string>

#include "numeric/platform.h"
#include "session/session.h"

namespace pelmora {

// Shows the grid: one row per group ("Group No" 1 and 2), a spread column
// headed `spreadHeading` and a size column "N".  True when confirmed.
bool OpenTwoGroupGrid(Session& s, int spreadPosition, const std::string& spreadHeading);

// The cell check: a spread above 0, a size of at least 2.
bool CheckTwoGroupCell(Session& s, int row, int column);

struct TwoGroupSpreads {
  Single first = 0;
  Single second = 0;
};

// Requires every cell; stores "Sample Size 1" and the second size in its
// form (the size, the difference or the ratio) at their positions with their
// texts, and returns the pooled spread
// sqrt(((n1 - 1) s1^2 + (n2 - 1) s2^2) / (n1 + n2 - 2)).  `spreads` receives
// s1 and s2.
Single ApplyTwoGroupGrid(Session& s, int n1Position, int n2Position, std::int16_t size2Mode,
                         TwoGroupSpreads& spreads);

}  // namespace pelmora
