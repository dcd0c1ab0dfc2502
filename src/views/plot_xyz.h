// The drawing of a graph: the range results as one curve per z value over the
// x values, with headings, frame, grid, tick labels, axis titles and legend,
// onto any QPainter (the Graph window's picture, an image for the clipboard or
// pelmora-cli, the printer).
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <string>
#include <vector>

#include "output/table_layout.h"
#include "session/session.h"
#include "session/user_interface.h"

namespace pelmora {

// How a graph looks: its titles, the six axis values (an axis whose minimum
// and maximum are both 0 is scaled automatically) and its font.
struct GraphAppearance {
  std::string title;
  std::string xTitle;
  std::string yTitle;
  std::string zTitle;
  double xMin = 0;
  double xMax = 0;
  double xTick = 0;
  double yMin = 0;
  double yMax = 0;
  double yTick = 0;
  std::string fontName = "Arial";
  double fontSize = 9;
  bool fontBold = false;
};

// Where a graph window's record keeps its appearance:
//   graphTexts: the title, the x-axis, y-axis and z-axis titles;
//   axisTexts:  x minimum, x maximum, y minimum, y maximum;
//   extraText:  the x tick and the y tick, separated by a line break.
// The axis texts are read as typed numbers (decimal comma accepted, a blank
// text is 0).
GraphAppearance GraphAppearanceOf(const WindowSettings& w);

// The font a graph is drawn in.
QFont GraphFont(const GraphAppearance& a);

// The colour of curve k (0-based): the classic 16-colour palette taken in the
// order 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, then again from 0.
QColor CurveColour(int k);
// The pen of curve k on a device: its colour, its pattern (whole lines for
// the first three curves, then dashed, dotted, dash-dot and dash-dot-dot in
// turn) and its width (one pixel at 96 dots per inch, or two: every second
// curve, with the widths swapped once the colours begin again), so that the
// black and navy of the first two curves and any two curves of one colour
// can be told apart on screen and in print.
QPen CurvePen(int k, const QPaintDevice* device);
// The colour of the grid lines.
inline const QColor kGridColour{0xC0, 0xC0, 0xC0};

// The resolution messages.
inline constexpr const char* kNoXResolution = "Insufficient resolution in the X direction !";
inline constexpr const char* kNoYResolution = "Insufficient resolution in the Y direction !";

enum class PlotOutcome { Drawn, NoData, NoXResolution, NoYResolution };

// A tick value as written beside its axis: the text and the box it fills.
struct TickLabel {
  QRectF rect;
  QString text;
};

// The plot rectangle and the axes of one drawing.
struct PlotGeometry {
  PlotOutcome outcome = PlotOutcome::NoData;
  QRectF region;  // the part of the target the graph occupies
  QRectF plot;    // the frame of the curves
  double xMin = 0, xMax = 1, xTick = 1;
  double yMin = 0, yMax = 1, yTick = 1;
  // The ticks of both axes, and their labels: every tick labelled, or every
  // second, third... where the labels would otherwise touch.
  std::vector<double> xTicks, yTicks;
  std::vector<TickLabel> xLabels, yLabels;
  // The target point of a data point.
  QPointF Map(double x, double y) const;
};

// Where a drawing goes.  On the screen the whole target is used; on a page
// (windowAspect > 0, a width-to-height ratio) the graph takes the largest
// rectangle of that shape at the top of the target, centred across it.
struct PlotTarget {
  QRectF rect;
  double windowAspect = 0;
};

// The geometry PlotXYZ uses, without drawing or messages.  The painter gives
// the text metrics of the graph font.
PlotGeometry ArrangePlot(QPainter& painter, const PlotTarget& target, const GraphAppearance& a,
                         const TableContent& c);

// Draws range results (x, y and z values and the heading lines; points
// without a value leave gaps) into the target.  An axis of no width shows its
// resolution message (information icon) through `ui`, when one is given, and
// nothing is drawn.  Nothing is drawn outside the target rectangle; the
// painter's state is restored afterwards.
PlotOutcome PlotXYZ(QPainter& painter, const PlotTarget& target, const GraphAppearance& a,
                    const TableContent& c, UserInterface* ui = nullptr);

}  // namespace pelmora
