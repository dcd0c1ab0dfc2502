// The lines that show a group-sequential design beneath a solved design's
// rows: a heading, one line per look (fraction, the sizes at the look, the
// efficacy z and nominal P-value, the futility z, the cumulative alpha, the
// probabilities of stopping under the assumed values and under H0), then the
// maximum and expected sample sizes and the inflation factor.
#pragma once

#include <string>
#include <vector>

#include "output/table_layout.h"
#include "session/sequential_summary.h"

namespace pelmora {

// The heading, the table (a row of titles, then one row per look) and the
// closing lines, each cell a text of its own.
struct SequentialText {
  std::string heading;
  std::vector<std::vector<std::string>> table;
  std::vector<std::string> closing;
};
SequentialText SequentialTextOf(const SequentialSummary& summary);

// The same as lines of text, the table's columns padded with blanks to a
// common width (for a fixed-width font).
std::vector<std::string> SequentialLines(const SequentialSummary& summary);

// The same laid out for a measured font, from line `top` on: the table's
// columns at measured positions, a blank's width apart at least.
std::vector<TableLine> SequentialOutputLines(const SequentialSummary& summary, const MeasureText& measure,
                                             double top);

}  // namespace pelmora
