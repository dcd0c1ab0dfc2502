// The group-sequential design of a solved test planned by power with interim
// analyses, as its output shows it (SequentialSummary): the design at the
// drift of the solved values, its looks at the maximum sizes.
#pragma once

#include <optional>

#include "engine/dispatch.h"
#include "session/design_power.h"

namespace pelmora {

// Nothing without interim analyses or where the design cannot be evaluated.
// `sizes` are the maximum sizes (the whole ones of a solved size, else the
// sizes listed); without any the looks have no sizes.  The values are left
// as they were.
std::optional<SequentialSummary> SummarizeSequentialDesign(Dispatcher& d, const WholeSizes& sizes);

}  // namespace pelmora
