// pelmora-graph: draws the graph of pelmora-cli --graph into a PNG, SVG or PDF
// file.  It reads the request (cli/graph_request.h) on its standard input,
// draws on the offscreen platform unless QT_QPA_PLATFORM names another, and
// ends with the status pelmora-cli passes on.  Kept apart so that pelmora-cli
// loads no drawing library.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QtGlobal>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "cli/graph_request.h"
#include "session/session.h"
#include "views/graph_export.h"
#include "views/plot_xyz.h"

namespace {

// Qt's own notes (a missing runtime folder, font substitutions) would only
// clutter the error stream of a script; its failures still pass.
void DropNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fputs((message.toLocal8Bit() + '\n').constData(), stderr);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pelmora;
  const std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  const std::optional<cli::GraphRequest> r = cli::ReadGraphRequest(text);
  if (!r) {
    std::cout << "the request on the standard input is incomplete\n";
    return kExitUsage;
  }
  qInstallMessageHandler(DropNotes);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  WindowSettings look;
  look.graphTexts = r->graphTexts;
  look.axisTexts = r->axisTexts;
  look.extraText = r->extraText;
  look.fontName = r->fontName;
  look.fontSize = r->fontSize;
  look.fontBold = r->fontBold;
  const GraphAppearance a = GraphAppearanceOf(look);
  const QSize size(r->width, r->height);
  {
    // An axis without width is reported as the Graph window reports it, and
    // there is nothing to draw.  The painter only lends the font's metrics.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    const PlotOutcome outcome =
        ArrangePlot(painter, PlotTarget{QRectF(QPointF(0, 0), QSizeF(size)), 0}, a, r->content).outcome;
    if (outcome == PlotOutcome::NoXResolution || outcome == PlotOutcome::NoYResolution) {
      std::cout << (outcome == PlotOutcome::NoXResolution ? kNoXResolution : kNoYResolution) << '\n';
      return kExitNotCalculable;
    }
  }
  std::string error;
  if (!ExportGraph(r->path, r->content, a, size, error, r->dpi)) {
    std::cout << error << '\n';
    return kExitWriteFailed;
  }
  return kExitSolved;
}
