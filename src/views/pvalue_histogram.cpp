#include "views/pvalue_histogram.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

#include "views/graph_export.h"
#include "views/plot_xyz.h"

namespace pelmora {

namespace {

// The colours of the bars: those of the Graph window's second and fifth
// curves (blue, red).
QColor BarColour(bool underH0) { return CurveColour(underH0 ? 4 : 1); }

QString TickText(double v, double tick) {
  const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(tick) - 1e-9)), 0, 6);
  return QString::number(v, 'f', decimals);
}

QRectF PageShape(const QRectF& target, double aspect) {
  if (aspect <= 0) return target;
  double w = target.width(), h = w / aspect;
  if (h > target.height()) {
    h = target.height();
    w = h * aspect;
  }
  return {target.left() + (target.width() - w) / 2, target.top(), w, h};
}

}  // namespace

std::array<double, kPValueBins> PValueShares(const SimulationCounts& c) {
  std::array<double, kPValueBins> shares{};
  if (c.studies <= 0) return shares;
  for (int b = 0; b < kPValueBins; ++b)
    shares[static_cast<std::size_t>(b)] =
        static_cast<double>(c.pValues[static_cast<std::size_t>(b)]) / static_cast<double>(c.studies);
  return shares;
}

ShareAxis ShareAxisOf(double largest) {
  if (!(largest > 0)) return {1, 0.1};
  largest = std::min(largest, 1.0);
  const double power = std::pow(10.0, std::floor(std::log10(largest / 10)));
  for (double factor : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0}) {
    const double tick = factor * power;
    const double top = std::ceil(largest / tick - 1e-9) * tick;
    if (top / tick <= 10 + 1e-9) return {top, tick};
  }
  return {1, 0.1};
}

void DrawPValueHistogram(QPainter& painter, const QRectF& whole, const SimulationResult& r, const QFont& font,
                         double aspect) {
  painter.save();
  const QRectF target = PageShape(whole, aspect);
  painter.setClipRect(target);
  painter.setFont(font);
  const QFontMetricsF fm(font, painter.device());
  const double line = fm.height();
  const std::array<double, kPValueBins> h1 = PValueShares(r.h1), h0 = PValueShares(r.h0);
  const bool withH0 = r.h0.studies > 0;
  double largest = *std::max_element(h1.begin(), h1.end());
  if (withH0) largest = std::max(largest, *std::max_element(h0.begin(), h0.end()));
  const ShareAxis axis = ShareAxisOf(largest);

  // Title above, the legend beneath it, the axis titles below and at the left.
  const QString title = QString::fromLatin1(kHistogramTitle);
  const QRectF titleRect(target.left(), target.top() + 0.25 * line, target.width(), line);
  painter.setPen(Qt::black);
  painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignVCenter, title);
  const QString yTitle = QStringLiteral("Share of studies");
  double labelWidth = fm.horizontalAdvance(TickText(axis.top, axis.tick));
  labelWidth = std::max(labelWidth, fm.horizontalAdvance(TickText(0, axis.tick)));
  const double left = target.left() + 1.5 * line + labelWidth + 0.5 * line;
  const double right = target.right() - line;
  const double top = titleRect.bottom() + 1.75 * line;
  const double bottom = target.bottom() - 2.75 * line;
  if (right - left < 20 || bottom - top < 20) {
    painter.restore();
    return;
  }
  const QRectF plot(QPointF(left, top), QPointF(right, bottom));
  const auto mapX = [&](double p) { return plot.left() + p * plot.width(); };
  const auto mapY = [&](double share) { return plot.bottom() - share / axis.top * plot.height(); };

  // Legend: a square of each colour and its hypothesis.
  double x = plot.left();
  const double legendTop = titleRect.bottom() + 0.25 * line;
  for (bool underH0 : {false, true}) {
    if (underH0 && !withH0) break;
    const QString text = underH0 ? QStringLiteral("under H0") : QStringLiteral("under H1");
    painter.fillRect(QRectF(x, legendTop + 0.2 * line, 0.6 * line, 0.6 * line), BarColour(underH0));
    painter.drawText(QRectF(x + 0.9 * line, legendTop, fm.horizontalAdvance(text) + 2, line),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
    x += 0.9 * line + fm.horizontalAdvance(text) + 1.5 * line;
  }

  // Grid and ticks.
  painter.setPen(QPen(kGridColour, 0));
  const int yIntervals = static_cast<int>(std::lround(axis.top / axis.tick));
  for (int k = 1; k < yIntervals; ++k)
    painter.drawLine(QPointF(left, mapY(k * axis.tick)), QPointF(right, mapY(k * axis.tick)));
  for (int k = 1; k < 10; ++k)
    painter.drawLine(QPointF(mapX(k / 10.0), top), QPointF(mapX(k / 10.0), bottom));

  // The bars: H1 in the left half of each bin, H0 in the right half.
  const double binWidth = plot.width() / kPValueBins;
  for (int b = 0; b < kPValueBins; ++b) {
    const double binLeft = plot.left() + b * binWidth;
    const auto bar = [&](double share, double from, double width, bool underH0) {
      if (share <= 0) return;
      const QRectF rect(QPointF(from, mapY(share)), QPointF(from + width, plot.bottom()));
      painter.fillRect(rect, BarColour(underH0));
    };
    if (withH0) {
      bar(h1[static_cast<std::size_t>(b)], binLeft + 0.05 * binWidth, 0.45 * binWidth, false);
      bar(h0[static_cast<std::size_t>(b)], binLeft + 0.5 * binWidth, 0.45 * binWidth, true);
    } else {
      bar(h1[static_cast<std::size_t>(b)], binLeft + 0.05 * binWidth, 0.9 * binWidth, false);
    }
  }

  // Frame, tick labels, axis titles.
  painter.setPen(QPen(Qt::black, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  for (int k = 0; k <= yIntervals; ++k) {
    const QString text = TickText(k * axis.tick, axis.tick);
    painter.drawText(QRectF(left - labelWidth - 0.4 * line, mapY(k * axis.tick) - line / 2, labelWidth, line),
                     Qt::AlignRight | Qt::AlignVCenter, text);
  }
  for (int k = 0; k <= 10; ++k) {
    const QString text = TickText(k / 10.0, 0.1);
    const double w = fm.horizontalAdvance(text);
    painter.drawText(QRectF(mapX(k / 10.0) - w / 2 - 1, bottom + 0.2 * line, w + 2, line), Qt::AlignCenter,
                     text);
  }
  painter.drawText(QRectF(plot.left(), bottom + 1.4 * line, plot.width(), line),
                   Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("P-value"));
  painter.translate(target.left() + 0.25 * line, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line), Qt::AlignHCenter | Qt::AlignVCenter,
                   yTitle);
  painter.restore();
}

bool ExportPValueHistogram(const std::string& path, const SimulationResult& r, QSize size,
                           std::string& error) {
  const QFont font = GraphFont(GraphAppearance{});
  return ExportPicture(
      path, kHistogramTitle,
      [&](QPainter& painter, const QRectF& target, double aspect) {
        DrawPValueHistogram(painter, target, r, font, aspect);
      },
      size, error);
}

PValueHistogramView::PValueHistogramView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picHistogram"));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void PValueHistogramView::setResult(const std::optional<SimulationResult>& r) {
  result_ = r;
  update();
}

void PValueHistogramView::paintEvent(QPaintEvent*) {
  if (!result_) return;
  QPainter painter(this);
  DrawPValueHistogram(painter, QRectF(rect()), *result_, GraphFont(GraphAppearance{}));
}

}  // namespace pelmora
