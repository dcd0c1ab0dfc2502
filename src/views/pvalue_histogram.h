// The histogram of the P-values of a Monte Carlo simulation: the share of
// the simulated studies whose last analysis had its P-value in each of the
// twenty bins 0-0.05, 0.05-0.1, ... 0.95-1, under H1 and under H0 side by
// side, drawn as the Graph window draws (frame, grey grid, tick labels, axis
// titles, legend) onto any QPainter, shown in the Monte Carlo window and
// written to PNG, SVG and PDF files.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QWidget>
#include <optional>
#include <string>

#include "engine/simulation.h"

namespace pelmora {

inline constexpr const char* kHistogramTitle = "P-values of the simulated studies";

// The shares of the studies in each bin (none when no study ran).
std::array<double, kPValueBins> PValueShares(const SimulationCounts& c);

// The upper end of the share axis and its tick distance: a round step of
// 1, 2 or 5 times a power of ten, with at most ten intervals up to the
// largest share.
struct ShareAxis {
  double top = 0;
  double tick = 0;
};
ShareAxis ShareAxisOf(double largestShare);

// Draws the histogram into `target` in `font`; on a page (aspect > 0, a
// width-to-height ratio) in the largest rectangle of that shape at the top
// of the target.  The painter's state is restored afterwards.
void DrawPValueHistogram(QPainter& painter, const QRectF& target, const SimulationResult& r,
                         const QFont& font, double aspect = 0);

// Writes the histogram to `path` (.png, .svg or .pdf) at `size` pixels, as
// the Graph window's export writes a graph; `error` says why not.
bool ExportPValueHistogram(const std::string& path, const SimulationResult& r, QSize size,
                           std::string& error);

// The histogram in a window.
class PValueHistogramView : public QWidget {
  Q_OBJECT
 public:
  explicit PValueHistogramView(QWidget* parent = nullptr);
  void setResult(const std::optional<SimulationResult>& r);
  const std::optional<SimulationResult>& result() const { return result_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<SimulationResult> result_;
};

}  // namespace pelmora
