// The output of results as text: the Calculation window's output as a model
// (for a picture or a printer) and as plain text, the Table window's table as
// plain text, the padding of texts to a measured width, and the rich-text
// document that carries a text to the clipboard.
//
// Widths are measured by the caller's function in the units of its target
// (the output font on the screen or the printer); a plain-text target counts
// characters.  Vertical positions are in units of the line height.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/table_layout.h"

namespace pelmora {

class Session;

// ---- Padding to a measured width -------------------------------------------

// Where PadToWidth adds the pad.
inline constexpr int kPadRight = 1;
inline constexpr int kPadLeft = 2;
inline constexpr int kPadBothSides = 3;  // centring

// Adds `pad` to `text` until the text measures at least as wide as
// `reference`.  Mode 1 adds on the right, mode 2 on the left, mode 3 on both
// sides by turns, starting on the right, so that a text centred in an odd
// number of pads has the extra one on its right.  Any other mode adds on the
// right.  The pad is always added at least once; a pad that is empty or
// measures no width is added once only.
std::string PadToWidth(const MeasureText& measure, const std::string& reference, const std::string& text,
                       const std::string& pad, int mode);

// The same with the width given as a number in the measuring units.
std::string PadToMeasuredWidth(const MeasureText& measure, double width, const std::string& text,
                               const std::string& pad, int mode);

// ---- Rich text -------------------------------------------------------------

// The text as it stands in a rich-text document: "\", "{" and "}" escaped as
// "\\", "\{" and "\}"; a line break ("\r\n", or a lone "\r" or "\n") as
// "\par "; a tab as "\tab "; other control characters as "\'hh"; every
// non-ASCII character (the text is UTF-8) as "\uN?" with N its signed 16-bit
// code, a character beyond U+FFFF as the two "\uN?" of its surrogate pair,
// and a byte that is no valid UTF-8 as U+FFFD.  Plain ASCII text without
// those characters stays as it is.
std::string EscapeRichText(std::string_view text);

// The minimal rich-text document of a text:
//   "{\rtf0\ansi{\fonttbl\f1\fnil " font name ";}{\stylesheet {\s0 Normal;}}"
//   "{\s0\f1\fs" twice the size, "\b" when bold, the escaped text, "\par}}".
// A control word ends where its delimiter says: a text that would run on
// into the control word before it is preceded by one blank, which readers
// take as the delimiter and do not show.  So "\b" is always followed by a
// blank (a letter would lengthen it: "\bA" is another control word, and the
// "A" would be lost), and "\fsN" is followed by one when the text starts
// with a digit (which would lengthen the size: "\fs209") or a blank (which
// would be taken as the delimiter and lost).  A text starting with a letter
// stands directly after the size ("\fs20A"), where the digits have ended.
// The size is written as a whole number of half points, at least 1.
std::string RichTextOf(const std::string& text, const std::string& fontName, int fontSizePoints, bool bold);

// The output font: name, size as text holding a whole number of points, and
// the bold flag (any value other than 0 is bold).
struct OutputFont {
  std::string name = "Arial";
  std::string size = "9";
  std::int16_t bold = 0;
};

// Twice the size of the font text in points, as a whole number (a size of
// "10" gives 20, "9,5" gives 19); 18 for a text that holds no positive size.
int HalfPointsOfFontSize(const std::string& size);

// The document of a text in the output font.
std::string RichTextOf(const std::string& text, const OutputFont& font);

// ---- The Calculation window's output ---------------------------------------

// One parameter of the Calculation window: its caption without the "&" mark
// and the text of its value box (the unknown's result, or "-" when there is
// none).  Its label in the output is the caption followed by ": ".
struct CalculationEntry {
  std::string caption;
  std::string value;
  bool operator==(const CalculationEntry&) const = default;
};

// The parameters in the order of the window's value boxes: box 0 shows list
// position 0, box j >= 1 position j + 1.
std::vector<CalculationEntry> CalculationEntries(const Session& s);

// The heading lines of a calculation: the description of the selection
// (none when it is empty).
std::vector<std::string> CalculationHeadings(const Session& s);

// One line of parameters: boxes 2i in the left half and 2i + 1 in the right
// half.  The last line of an odd number of boxes has no right half.
struct CalculationOutputLine {
  double top = 0;
  TablePiece leftLabel;
  TablePiece leftValue;
  bool hasRight = false;
  TablePiece rightLabel;
  TablePiece rightValue;
};

struct CalculationOutput {
  // Each heading line is one piece centred on the width.
  std::vector<TableLine> headingLines;
  double labelWidth = 0;  // the widest label
  double valueWidth = 0;  // the widest value
  double halfGap = 0;     // nine blanks between the halves
  // Labels of the right half start here; its values start labelWidth later.
  double rightHalfLeft = 0;
  // The two halves with the gap between them, or the widest heading when
  // that is wider.
  double width = 0;
  // Both rules run from ruleLeft to ruleRight, each half a line tall, drawn
  // at the middle of its half line: one below the headings, one after the
  // last line of parameters.
  double ruleLeft = 0;
  double ruleRight = 0;
  double ruleTop = 0;
  std::vector<CalculationOutputLine> lines;
  double closingRuleTop = 0;
  // Below the closing rule: the line that explains the result (why it is "-",
  // or how a step or a limit was found) and the power of the solved design,
  // each wrapped to the output's width.
  std::vector<TableLine> remarkLines;
  double heightInLines = 0;
};

// Lays out the output of the session's calculation: the heading lines, a
// rule, the parameters two to a line (labels in a column as wide as the
// widest label, values in one as wide as the widest value, the right half
// beginning after the left half and nine blanks), a closing rule, and the
// session's ResultRemark and the line of its AchievedPower below it.
CalculationOutput LayoutCalculationOutput(const Session& s, const MeasureText& measure);
// The same with other heading lines.
CalculationOutput LayoutCalculationOutput(const Session& s, const std::vector<std::string>& headings,
                                          const MeasureText& measure);

// The output of the session's calculation as plain text, lines ended by
// "\r\n": each heading line centred with blanks on the output's width; a rule
// of "-" as wide as the output; per line of parameters the left entry, a tab
// and the right entry (the left entry alone on a line without a right half);
// the remark lines; then one empty line.  An entry is the caption with ":" padded with blanks
// to the widest label, and the value padded with blanks to the widest value.
std::string CalculationOutputText(const Session& s, const MeasureText& measure);
std::string CalculationOutputText(const Session& s, const std::vector<std::string>& headings,
                                  const MeasureText& measure);

// ---- The Table window's table as text --------------------------------------

// A text line holding the pieces at their left positions: before each piece,
// blanks are added as long as they do not carry the line past the piece's
// position (a piece that starts left of the line's end follows directly).
std::string TextLineOfPieces(const std::vector<TablePiece>& pieces, const MeasureText& measure);

// A rule as text: blanks up to `left`, then "-" until it reaches `right`.
std::string RuleText(double left, double right, const MeasureText& measure);

// The session's table as plain text, lines ended by "\r\n": the heading lines
// centred with blanks on the table's width, then every block as the table
// window writes it (rules as lines of "-", the captions, the z values, one
// line per x value with each cell right-aligned to its format's length and
// "- " for a point not calculated, the closing lines).  `tableDecimals` and
// `columns` are the window's settings (the automatic choice of decimals is
// kept in `tableDecimals`); `xColumnGap` is the space added to the x column.
std::string TableOutputText(const Session& s, std::int16_t& tableDecimals, std::int16_t columns,
                            const MeasureText& measure, double xColumnGap = 5);
std::string TableOutputText(const TableContent& content, std::int16_t& tableDecimals, std::int16_t columns,
                            const MeasureText& measure, double xColumnGap = 5);

}  // namespace pelmora
