// The Table window's text, laid out without a window: the three number
// formats, the splitting of the z values into blocks of columns, the lines of
// each block with their cell texts and horizontal positions, and the
// comma-separated form of the same table.
//
// Widths are measured by a function the caller passes in, in the units of its
// target (the window measures in its font; a plain-text target counts
// characters).  Vertical positions are in units of the line height.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/platform.h"

namespace pelmora {

class Session;

// ---- Formats ---------------------------------------------------------------

struct TableFormats {
  std::string x;       // the x column
  std::string z;       // the z values heading the result columns
  std::string result;  // the result cells
};

// The pattern of the result cells for a fixed number of decimals: "#########0"
// for none; otherwise max(8 - D, 0) "#", "0.", D "0" and a blank
// (2 gives "######0.00 ", 8 gives "0.00000000 ").
std::string TableResultFormat(std::int16_t decimals);

// The number of "0" directly following the "." of a pattern (0 without ".").
std::int16_t DecimalsOfPattern(std::string_view pattern);

// The automatic result pattern: the step pattern of the results' span,
// [yMin, yMax] in (number of x values - 1) steps, at least one.
std::string AutomaticResultFormat(std::size_t xCount, Single yMin, Single yMax);

// The x and z patterns are each chosen from their own values (ColumnFormat).
// The result pattern follows `tableDecimals`; when that is -1 (automatic) the
// pattern is chosen from yMin and yMax, and `tableDecimals` takes its number
// of decimals so that the choice stays fixed for the window.
TableFormats BuildTableFormats(const std::vector<Single>& xValues, const std::vector<Single>& zValues,
                               Single yMin, Single yMax, std::int16_t& tableDecimals);

// ---- Blocks of columns -----------------------------------------------------

// The z values of one block: zero-based index of the first and their number.
struct ZBlock {
  std::size_t first = 0;
  std::size_t count = 0;
  bool operator==(const ZBlock&) const = default;
};

// The z values split into blocks of at most `columns` columns, in order:
// Int((nZ - 1) / columns) + 1 blocks for nZ >= 1, none for nZ = 0.  Fewer than
// one column per block puts every z value in one block.
std::vector<ZBlock> SplitIntoBlocks(std::size_t zCount, std::int16_t columns);

// ---- The table model -------------------------------------------------------

// Measured width of a text in the target's units.
using MeasureText = std::function<double(std::string_view)>;

// A text drawn with its left end at `left`.
struct TablePiece {
  std::string text;
  double left = 0;
  bool operator==(const TablePiece&) const = default;
};

// One line of the table.  A text line (or an empty one) is one line height
// tall; a rule, half of one, drawn across [left, right] at the middle of its
// half line.  `top` is the line's upper edge.
struct TableLine {
  enum class Kind { Text, Rule };
  Kind kind = Kind::Text;
  double top = 0;
  std::vector<TablePiece> pieces;  // text lines
  double left = 0;                 // rules
  double right = 0;
};

struct TableBlock {
  ZBlock columns;
  double width = 0;  // x column and result columns, or the z caption if wider
  std::vector<TableLine> lines;
};

// What the table shows: the range results and the captions of x and z
// without their "&" marks.
struct TableContent {
  std::vector<std::string> headings;
  std::string xCaption;
  std::string zCaption;
  std::vector<Single> xValues;
  std::vector<std::vector<Single>> yValues;  // [z index][x index]
  std::vector<Single> zValues;
  Single yMin = 99999;
  Single yMax = -99999;
  // The lower search bound of the calculated parameter: a graph of a
  // quantity bounded near 0 (a sample size, a probability) starts at 0.
  double yLowerLimit = -1e30;
  double yUpperLimit = 1e30;
  // The range the x parameter can take: no axis goes past its parameter's
  // limits.
  double xLowerLimit = -1e30;
  double xUpperLimit = 1e30;
  // Where the calculated parameter is a sample size: each result as the
  // whole size a study recruits (rounded up, as the whole sizes of a
  // Calculation window) and the subjects in all at it, [z index][x index];
  // empty otherwise.
  std::vector<std::vector<Single>> yWhole;
  std::vector<std::vector<Single>> yTotals;
  // The table shows the whole sizes with their totals ("64 (128)") in place
  // of the results, where it has them.
  bool showWhole = false;
  bool ShowsWholeSizes() const { return showWhole && !yWhole.empty(); }
};

// The range results of the session with the captions of its x and z positions.
TableContent TableContentOf(const Session& s);

struct TableModel {
  TableFormats formats;
  double xColumnWidth = 0;       // wider of x caption and x format, plus the gap
  double resultColumnWidth = 0;  // wider of result format and z format
  double width = 0;              // widest block or heading line
  std::vector<TableLine> headingLines;
  std::vector<TableBlock> blocks;
  // Height of the drawing surface on the screen, in line heights: heading
  // lines + B (m + 8) + 2.5 (B - 1) for B blocks of m x values.
  double heightInLines = 0;
  // The bottom of the last line (never more than heightInLines).
  double contentBottom = 0;
};

// Lays out the table.  `tableDecimals` is the window's setting, updated as
// BuildTableFormats does; `columns` the z values per block; `xColumnGap` the
// space added to the x column, in the measuring units.
//
// Heading lines come first, each centred on the table's width.  With whole
// sizes shown, a cell is the whole size, followed by its total in brackets
// where that is more ("64 (128)"), and the columns are as wide as the widest
// cell.  Every block
// then has: a rule; the x caption at the left and the z caption centred over
// the block's result columns; a rule; the block's z values; a rule; one line
// per x value; an empty line; a closing rule; two empty lines.  A cell is the
// value right-aligned to its format's length ("- " for a point not
// calculated) and is placed so that it ends at the right edge of its column.
TableModel LayoutTable(const TableContent& content, std::int16_t& tableDecimals, std::int16_t columns,
                       const MeasureText& measure, double xColumnGap = 5);

// The table as plain text, one line per text line of the model, each ended by
// "\r\n"; a rule is a line of "-" as wide as its block.  Meant for a
// fixed-width measure (one unit per character).
std::string TableModelText(const TableModel& model);

// ---- Comma-separated values ------------------------------------------------

// The table as comma-separated values, lines ended by "\r\n":
//  - each heading line as a comment line "# " + heading;
//  - a header row: the x caption, then the z caption, " = " and the z value
//    for every z value;
//  - one row per x value: x, then the result for every z value, empty for a
//    point that was not calculated.
// With whole sizes shown, each z value has two columns, the whole size and
// the subjects in all (headed "caption = value, in all").
// Numbers are written in their general form with "." as decimal point and a
// leading zero ("0.5", "-0.25", "1.5E-07").  A field holding a comma, a
// quote or a line break is quoted.
std::string TableCsv(const TableContent& content);

// A number as a comma-separated field.
std::string CsvNumber(Single x);

}  // namespace pelmora
