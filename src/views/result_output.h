// The results of the windows as the user takes them away: the Calculation
// window's output drawn on a picture or a page, every kind of window copied
// to the clipboard (rich text, or a picture of a graph) and printed.
#pragma once

#include <QFont>
#include <QPointF>
#include <QSize>
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

// The texts the Copy command puts on the clipboard: the lines of the
// Calculation window's output (as the Output preview shows them) or of the
// table of a Table window, measured in the output font, and their rich-text
// documents.
std::string CalculationPlainText(const Session& s);
std::string TablePlainText(const Session& s, TableWindow& window);
std::string CalculationRichText(const Session& s);
std::string TableRichText(const Session& s, TableWindow& window);

// The clipboard formats of a rich-text document.
inline constexpr const char* kRichTextFormats[] = {"text/rtf", "text/richtext", "application/rtf"};

// Puts a text on the clipboard as plain text and as its rich-text document,
// both at once.
void PutTextOnClipboard(const std::string& text, const std::string& document);
// Copies a window's result: a Calculation or Table as plain and rich text, a
// Graph as a picture of the plot.  Returns the confirmation ("Table 1 has
// been Copied to the Clipboard"), or empty when there was nothing to copy.
std::string CopyResult(Session& s, ResultWindow& window);

// The least margin of a printed page, in millimetres.
inline constexpr double kPrintMarginMillimetres = 15;
// Margins of at least kPrintMarginMillimetres, at least those the printer
// needs, and more where the user chose more.
void SetPrintMargins(QPagedPaintDevice& printer);
// A printed graph takes the page's width at the shape of its window, kept
// between these width-to-height ratios.
inline constexpr double kLeastPrintedGraphAspect = 1.25;
inline constexpr double kGreatestPrintedGraphAspect = 1.8;
double PrintedGraphAspect(QSize window);

// Prints a window's result on `printer` (one page) inside the margins of its
// page layout: the Calculation output centred across the page, a table in
// its window's font from the top left, a graph across the page's width.
// Returns false when the printer cannot be used.
bool PrintResult(Session& s, ResultWindow& window, QPagedPaintDevice& printer);

}  // namespace pelmora
