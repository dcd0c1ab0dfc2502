// The lines that show a group-sequential design beneath a solved design's
// rows: a heading, one line per look (fraction, the sizes at the look, the
// efficacy z and nominal P-value, the futility z, the cumulative alpha, the
// probabilities of stopping under the assumed values and under H0), then the
// maximum and expected sample sizes and the inflation factor.
#pragma once

#include <string>
#include <vector>

#include "session/sequential_summary.h"

namespace pelmora {

std::vector<std::string> SequentialLines(const SequentialSummary& summary);

}  // namespace pelmora
