#include "views/plot_xyz.h"

#include <QFontMetricsF>
#include <QPen>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "output/axis_scale.h"
#include "session/solve_outcome.h"

namespace pelmora {

namespace {

// The classic 16-colour palette, numbered 0..15.
constexpr std::array<QRgb, 16> kPalette = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
// Light grey (7) and white (15) would vanish against the grid and the page.
constexpr std::array<int, 14> kCurvePalette = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14};

// A range narrower than this cannot be drawn.
constexpr double kResolution = 1e-10;
// A fixed axis never gets more grid lines than the appearance dialog allows.
constexpr double kMaxTicks = kMaximumAxisIntervals;

bool Calculated(Single y) { return IsCalculated(y); }

QString Text(const std::string& s) { return QString::fromStdString(s); }

QFontMetricsF MetricsOf(QPainter& painter, const QFont& font) {
  if (painter.isActive() && painter.device() != nullptr) return QFontMetricsF(font, painter.device());
  return QFontMetricsF(font);
}

// The number of tick intervals between min and max at the given distance.
int TickCount(double min, double max, double tick) {
  if (tick == 0) return 0;
  const double n = std::abs(max - min) / std::abs(tick);
  if (!std::isfinite(n) || n > kMaxTicks) return 0;
  return static_cast<int>(std::floor(n + 1e-6));
}

// The tick values of an axis, from its minimum towards its maximum.
std::vector<double> Ticks(double min, double max, double tick) {
  const int n = TickCount(min, max, tick);
  const double step = (max >= min ? 1 : -1) * std::abs(tick);
  std::vector<double> ticks;
  if (n == 0) return {min, max};
  for (int i = 0; i <= n; ++i) ticks.push_back(min + i * step);
  return ticks;
}

// An automatically scaled axis over [lo, hi] with n intervals, kept within
// the limits of its parameter (each rounded outwards to a tick): a padded
// axis moves by whole ticks back inside them, or stops at them.
void ScaleAutomatically(double lo, double hi, std::int16_t n, double lower, double upper, double& min,
                        double& max, double& tick) {
  Single minp = 0;
  Single maxp = 0;
  ScaleAxis(ToSingle(lo), ToSingle(hi), n, minp, maxp);
  // Round numbers for the tick labels, not the noise of a single.
  RoundScaledEnds(minp, maxp, min, max);
  tick = (max - min) / n;
  if (!(tick > 0)) return;
  const double eps = 1e-9 * tick;
  const double bottom = std::floor(lower / tick + 1e-6) * tick;
  const double top = std::ceil(upper / tick - 1e-6) * tick;
  for (int i = 0; i < n && max > top + eps && min - tick >= bottom - eps; ++i) {
    min -= tick;
    max -= tick;
  }
  for (int i = 0; i < n && min < bottom - eps && max + tick <= top + eps; ++i) {
    min += tick;
    max += tick;
  }
  min = std::max(min, std::min(bottom, lo));
  max = std::min(max, std::max(top, hi));
}

}  // namespace

GraphAppearance GraphAppearanceOf(const WindowSettings& w) {
  // A size beyond any the appearance dialog offers (a damaged file) falls
  // back to the default.
  constexpr double kLargestFontSize = 100;
  GraphAppearance a;
  a.title = w.graphTexts[0];
  a.xTitle = w.graphTexts[1];
  a.yTitle = w.graphTexts[2];
  a.zTitle = w.graphTexts[3];
  a.xMin = ParseNumber(w.axisTexts[0]);
  a.xMax = ParseNumber(w.axisTexts[1]);
  a.yMin = ParseNumber(w.axisTexts[2]);
  a.yMax = ParseNumber(w.axisTexts[3]);
  const std::size_t lineBreak = w.extraText.find(kLineBreak);
  a.xTick = ParseNumber(w.extraText.substr(0, lineBreak));
  a.yTick = lineBreak == std::string::npos ? 0 : ParseNumber(w.extraText.substr(lineBreak + 2));
  if (!w.fontName.empty()) a.fontName = w.fontName;
  const double size = ParseNumber(w.fontSize);
  if (size >= 1 && size <= kLargestFontSize) a.fontSize = size;
  a.fontBold = w.fontBold != kFalse;
  return a;
}

QFont GraphFont(const GraphAppearance& a) {
  QFont font(Text(a.fontName));
  font.setPointSizeF(a.fontSize > 0 ? a.fontSize : 9);
  font.setBold(a.fontBold);
  return font;
}

QColor CurveColour(int k) {
  const int n = static_cast<int>(kCurvePalette.size());
  const int index = ((k % n) + n) % n;
  return QColor(kPalette[static_cast<std::size_t>(kCurvePalette[static_cast<std::size_t>(index)])]);
}

QPen CurvePen(int k, const QPaintDevice* device) {
  static constexpr Qt::PenStyle kPatterns[] = {Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                               Qt::DashDotDotLine};
  const int n = ((k % 1000) + 1000) % 1000;
  const int colours = static_cast<int>(kCurvePalette.size());
  const int inRound = n % colours;
  // The first three curves are whole lines, the later ones dashed in turn;
  // every second curve is twice as wide, and the second round of colours
  // swaps the widths, so that no two curves of one colour look alike.
  const Qt::PenStyle pattern = inRound < 3 ? Qt::SolidLine : kPatterns[(inRound - 3) % 4];
  const bool wide = (inRound % 2 == 1) != ((n / colours) % 2 == 1);
  const double dpi = device != nullptr && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96.0;
  return QPen(CurveColour(k), dpi / 96.0 * (wide ? 2 : 1), pattern, Qt::FlatCap, Qt::MiterJoin);
}

QPointF PlotGeometry::Map(double x, double y) const {
  return {plot.left() + (x - xMin) / (xMax - xMin) * plot.width(),
          plot.bottom() - (y - yMin) / (yMax - yMin) * plot.height()};
}

PlotGeometry ArrangePlot(QPainter& painter, const PlotTarget& target, const GraphAppearance& a,
                         const TableContent& c) {
  PlotGeometry g;

  // The region: the whole target, or on a page the largest rectangle of the
  // given shape, at the top of the page and centred across it.
  g.region = target.rect;
  const QRectF& page = target.rect;
  if (target.windowAspect > 0 && page.height() > 0 && page.width() > 0) {
    const double width = std::min(page.width(), page.height() * target.windowAspect);
    const double height = width / target.windowAspect;
    g.region = QRectF(page.left() + (page.width() - width) / 2, page.top(), width, height);
  }

  const QFont font = GraphFont(a);
  const QFontMetricsF fm = MetricsOf(painter, font);
  const double lh = fm.height();
  const double dw = fm.horizontalAdvance(QStringLiteral("0"));
  const double headingLines = static_cast<double>(c.headings.size()) + (a.title.empty() ? 0 : 1);
  const QRectF& r = g.region;
  g.plot = QRectF(QPointF(r.left() + 0.1 * r.width(), r.top() + (headingLines + 1.5) * lh),
                  QPointF(r.left() + 0.85 * r.width(), r.top() + r.height() - 3 * lh));
  // The legend right of the plot, as wide as its title and values need,
  // with a digit's space before it and two after it.
  double legend = fm.horizontalAdvance(Text(a.zTitle));
  for (Single z : c.zValues)
    legend = std::max(legend, 4.5 * dw + fm.horizontalAdvance(Text(ShortestGeneral(z))));
  g.plot.setRight(r.right() - std::clamp(legend + 3 * dw, 0.15 * r.width(), 0.4 * r.width()));

  // The data range.
  if (c.xValues.empty() || c.yValues.empty()) return g;
  const bool xAutomatic = AxisIsAutomatic(a.xMin, a.xMax);
  const bool yAutomatic = AxisIsAutomatic(a.yMin, a.yMax);
  double xLo = a.xMin;
  double xHi = a.xMax;
  if (xAutomatic) {
    const auto [lo, hi] = std::minmax_element(c.xValues.begin(), c.xValues.end());
    xLo = *lo;
    xHi = *hi;
  }
  double yLo = a.yMin;
  double yHi = a.yMax;
  if (yAutomatic) {
    yLo = std::numeric_limits<double>::infinity();
    yHi = -yLo;
    for (const auto& curve : c.yValues)
      for (Single y : curve)
        if (Calculated(y)) {
          yLo = std::min(yLo, static_cast<double>(y));
          yHi = std::max(yHi, static_cast<double>(y));
        }
  }
  if (!(std::abs(xHi - xLo) > kResolution)) {
    g.outcome = PlotOutcome::NoXResolution;
    return g;
  }
  if (!(std::abs(yHi - yLo) > kResolution)) {
    g.outcome = PlotOutcome::NoYResolution;
    return g;
  }

  // The axes.
  if (xAutomatic) {
    const auto count = static_cast<std::int16_t>(std::min<std::size_t>(c.xValues.size(), 32767));
    ScaleAutomatically(xLo, xHi, RequestedXIntervals(count), c.xLowerLimit, c.xUpperLimit, g.xMin, g.xMax,
                       g.xTick);
  } else {
    g.xMin = a.xMin;
    g.xMax = a.xMax;
    g.xTick = a.xTick;
  }
  if (yAutomatic) {
    ScaleAutomatically(yLo, yHi, kRequestedYIntervals, c.yLowerLimit, c.yUpperLimit, g.yMin, g.yMax, g.yTick);
    // A quantity that cannot fall far below 0 (a sample size, a probability)
    // is drawn from 0.
    if (c.yLowerLimit >= 0 && c.yLowerLimit <= 4) {
      g.yMin = 0;
      g.yTick = (g.yMax - g.yMin) / kRequestedYIntervals;
    }
  } else {
    g.yMin = a.yMin;
    g.yMax = a.yMax;
    g.yTick = a.yTick;
  }
  g.outcome = PlotOutcome::Drawn;

  // The labels of an axis's ticks with their widths, and the widest.
  auto labelled = [&](const std::vector<double>& ticks, double min, double max, double tick,
                      std::vector<std::pair<QString, double>>& texts) {
    const std::string pattern = TickLabelPattern(min, max, tick);
    double widest = 0;
    for (double v : ticks) {
      const QString text = Text(FormatPattern(v, pattern));
      texts.emplace_back(text, fm.horizontalAdvance(text));
      widest = std::max(widest, texts.back().second);
    }
    return widest;
  };

  // The y tick labels need their room left of the frame.
  const std::vector<double> yTicks = Ticks(g.yMin, g.yMax, g.yTick);
  std::vector<std::pair<QString, double>> yTexts;
  const double yWidest = labelled(yTicks, g.yMin, g.yMax, g.yTick, yTexts);
  g.plot.setLeft(r.left() + std::min(std::max(0.1 * r.width(), yWidest + dw), 0.5 * r.width()));

  // Every k-th tick is labelled, k as small as keeps the labels apart.
  const std::vector<double> xTicks = Ticks(g.xMin, g.xMax, g.xTick);
  std::vector<std::pair<QString, double>> xTexts;
  const double xWidest = labelled(xTicks, g.xMin, g.xMax, g.xTick, xTexts);
  auto stride = [](double needed, double spacing, std::size_t count) {
    if (count < 2 || !(spacing > 0)) return std::size_t{1};
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(needed / spacing - 1e-9)));
  };
  const double xSpacing =
      xTicks.size() > 1 ? std::abs(g.Map(xTicks[1], g.yMin).x() - g.Map(xTicks[0], g.yMin).x()) : 0;
  const std::size_t xStride = stride(xWidest + dw, xSpacing, xTicks.size());
  for (std::size_t i = 0; i < xTicks.size(); i += xStride) {
    const double px = g.Map(xTicks[i], g.yMin).x();
    const double w = xTexts[i].second;
    g.xLabels.push_back({QRectF(px - w / 2, g.plot.bottom() + 0.25 * lh, w, lh), xTexts[i].first});
  }
  const double ySpacing =
      yTicks.size() > 1 ? std::abs(g.Map(g.xMin, yTicks[1]).y() - g.Map(g.xMin, yTicks[0]).y()) : 0;
  const std::size_t yStride = stride(1.2 * lh, ySpacing, yTicks.size());
  for (std::size_t i = 0; i < yTicks.size(); i += yStride) {
    const double py = g.Map(g.xMin, yTicks[i]).y();
    const double w = yTexts[i].second;
    g.yLabels.push_back({QRectF(g.plot.left() - 0.5 * dw - w, py - lh / 2, w, lh), yTexts[i].first});
  }
  g.xTicks = xTicks;
  g.yTicks = yTicks;
  return g;
}

PlotOutcome PlotXYZ(QPainter& painter, const PlotTarget& target, const GraphAppearance& a,
                    const TableContent& c, UserInterface* ui) {
  const PlotGeometry g = ArrangePlot(painter, target, a, c);
  if (g.outcome == PlotOutcome::NoXResolution || g.outcome == PlotOutcome::NoYResolution) {
    if (ui != nullptr)
      ui->ShowMessage(g.outcome == PlotOutcome::NoXResolution ? kNoXResolution : kNoYResolution,
                      kProgramTitle, MessageIcon::Information);
    return g.outcome;
  }

  painter.save();
  painter.setClipRect(target.rect, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QFont font = GraphFont(a);
  painter.setFont(font);
  const QFontMetricsF fm = MetricsOf(painter, font);
  const double lh = fm.height();
  const double dw = fm.horizontalAdvance(QStringLiteral("0"));
  const QRectF& region = g.region;
  const QRectF& plot = g.plot;
  const QPen textPen(Qt::black);

  // Headings: the graph title, then the lines of the range, each centred.
  painter.setPen(textPen);
  double lineTop = region.top();
  auto heading = [&](const std::string& text) {
    painter.drawText(QRectF(region.left(), lineTop, region.width(), lh), Qt::AlignHCenter | Qt::AlignTop,
                     Text(text));
    lineTop += lh;
  };
  if (!a.title.empty()) heading(a.title);
  for (const std::string& line : c.headings) heading(line);

  if (g.outcome != PlotOutcome::Drawn) {
    painter.restore();
    return g.outcome;
  }

  // Grid lines, then the frame over them.
  painter.setPen(QPen(kGridColour, 0));
  for (double x : g.xTicks) {
    const double px = g.Map(x, g.yMin).x();
    painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
  }
  for (double y : g.yTicks) {
    const double py = g.Map(g.xMin, y).y();
    painter.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
  }
  painter.setPen(QPen(Qt::black, 0));
  painter.drawRect(plot);

  // Tick labels, one pattern per axis.
  painter.setPen(textPen);
  for (const TickLabel& label : g.xLabels)
    painter.drawText(label.rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, label.text);
  for (const TickLabel& label : g.yLabels)
    painter.drawText(label.rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, label.text);

  // Axis titles: x under its tick labels, y above the top of its axis.
  painter.drawText(QRectF(plot.left(), plot.bottom() + 1.5 * lh, plot.width(), lh),
                   Qt::AlignHCenter | Qt::AlignTop, Text(a.xTitle));
  painter.drawText(QRectF(region.left(), plot.top() - 1.25 * lh, region.width(), lh),
                   Qt::AlignLeft | Qt::AlignTop, Text(a.yTitle));

  // Curves; a point that could not be calculated leaves a gap.
  painter.save();
  painter.setClipRect(plot.adjusted(0, 0, 1, 1), Qt::IntersectClip);
  const std::size_t m = c.xValues.size();
  for (std::size_t k = 0; k < c.yValues.size(); ++k) {
    painter.setPen(CurvePen(static_cast<int>(k), painter.device()));
    const std::vector<Single>& curve = c.yValues[k];
    for (std::size_t i = 0; i + 1 < m && i + 1 < curve.size(); ++i) {
      if (!Calculated(curve[i]) || !Calculated(curve[i + 1])) continue;
      painter.drawLine(g.Map(c.xValues[i], curve[i]), g.Map(c.xValues[i + 1], curve[i + 1]));
    }
  }
  painter.restore();

  // Legend: the z-axis title, then a short line per curve and its z value.
  const double legendLeft = plot.right() + dw;
  const double legendWidth = std::max(0.0, region.right() - legendLeft);
  painter.setPen(textPen);
  painter.drawText(QRectF(legendLeft, plot.top(), legendWidth, lh), Qt::AlignLeft | Qt::AlignTop,
                   Text(a.zTitle));
  const double sample = 4 * dw;  // long enough to show the dash pattern
  for (std::size_t k = 0; k < c.zValues.size(); ++k) {
    const double top = plot.top() + (static_cast<double>(k) + 1.5) * lh;
    const double middle = std::round(top + lh / 2);
    painter.setPen(CurvePen(static_cast<int>(k), painter.device()));
    painter.drawLine(QPointF(legendLeft, middle), QPointF(legendLeft + sample, middle));
    painter.setPen(textPen);
    painter.drawText(QRectF(legendLeft + sample + 0.5 * dw, top, legendWidth, lh),
                     Qt::AlignLeft | Qt::AlignVCenter, Text(ShortestGeneral(c.zValues[k])));
  }

  painter.restore();
  return PlotOutcome::Drawn;
}

}  // namespace pelmora
