// The heading lines of a Table or Graph window.
#pragma once

#include "session/session.h"

namespace pelmora {

// Fills RangeHeadings: the description, for a table the line naming y, x and
// z, then the fixed parameters three to a line.
void BuildRangeHeadings(Session& s, bool forTable);

}  // namespace pelmora
