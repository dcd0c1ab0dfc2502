// The results of the windows as the user takes them away: the Calculation
// window's output drawn on a picture or a page, every kind of window copied
// to the clipboard (rich text, or a picture of a graph) and printed.
#pragma once

#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <string>

#include "output/output_text.h"

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace pelmora {

class GraphWindow;
class ResultWindow;
class Session;
class TableWindow;

// The session's output font, and the same in the core's terms.
QFont OutputQFont(const Session& s);
OutputFont OutputFontOf(const Session& s);

// Widths of texts in `font` on `device` (the screen when null).
MeasureText MeasureInFont(const QFont& font, const QPaintDevice* device);

// The Calculation window's output laid out for one surface.
struct MeasuredOutput {
  CalculationOutput layout;
  double lineHeight = 0;
  double ascent = 0;
  QSizeF size() const { return {layout.width, layout.heightInLines * lineHeight}; }
};
MeasuredOutput MeasureCalculationOutput(const Session& s, const QFont& font, const QPaintDevice* device);
// Draws it with its upper left corner at `origin`, in the painter's font.
void DrawCalculationOutput(QPainter& painter, const MeasuredOutput& output, QPointF origin);

// The rich-text documents the Copy command puts on the clipboard: the
// Calculation window's output or the table of a Table window, measured in
// the output font.
std::string CalculationRichText(const Session& s);
std::string TableRichText(const Session& s, TableWindow& window);

// Puts a rich-text document on the clipboard, in that format only.
void PutRichTextOnClipboard(const std::string& document);
// Copies a window's result: rich text for a Calculation or Table, a picture
// of the plot for a Graph; then says so in a message box titled "Copy".
void CopyResult(Session& s, ResultWindow& window);

// Prints a window's result on `printer` (one page): the Calculation output
// centred across the page, a table from the top left of the page, a graph in
// the shape of its window.  Returns false when the printer cannot be used.
bool PrintResult(Session& s, ResultWindow& window, QPagedPaintDevice& printer);

}  // namespace pelmora
