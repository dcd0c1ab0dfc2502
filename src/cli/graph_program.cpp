#include "cli/graph_drawing.h"

#ifdef PELMORA_CLI_GRAPH
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QtGlobal>
#include <cstdio>
#include <memory>

#include "session/user_interface.h"
#include "views/graph_export.h"
#include "views/plot_xyz.h"

namespace pelmora::cli {
namespace {

// A QGuiApplication for the drawing while the process has none, on the
// offscreen platform unless another one is named, so that no display is
// needed.  It and the platform setting are gone afterwards.
class DrawingApplication {
 public:
  DrawingApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    // Qt's own notes (a missing runtime folder, font substitutions) would
    // only clutter the error stream of a script; its failures still pass.
    previousHandler_ = qInstallMessageHandler(DropNotes);
    handlerSet_ = true;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      platformSet_ = true;
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  ~DrawingApplication() {
    app_.reset();
    if (platformSet_) qunsetenv("QT_QPA_PLATFORM");
    if (handlerSet_) qInstallMessageHandler(previousHandler_);
  }
  DrawingApplication(const DrawingApplication&) = delete;
  DrawingApplication& operator=(const DrawingApplication&) = delete;

  // False when the process runs an application that cannot draw.
  bool CanDraw() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

 private:
  int argc_ = 1;
  char name_[12] = "pelmora-cli";
  char* argv_[2] = {name_, nullptr};
  bool platformSet_ = false;
  bool handlerSet_ = false;
  std::unique_ptr<QGuiApplication> app_;

  static inline QtMessageHandler previousHandler_ = nullptr;
  static void DropNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
      if (previousHandler_ != nullptr)
        previousHandler_(type, context, message);
      else
        std::fputs((message.toLocal8Bit() + '\n').constData(), stderr);
    }
  }
};

}  // namespace

int DrawGraph(const WindowSettings& look, const Request& r, const TableContent& content, CliUserInterface& ui,
              std::ostream& err) {
  const GraphAppearance a = GraphAppearanceOf(look);
  const auto [width, height] = r.graphSize.value_or(std::pair{kDefaultGraphWidth, kDefaultGraphHeight});
  const QSize size(width, height);

  DrawingApplication app;
  if (!app.CanDraw()) {
    err << "pelmora-cli: --graph: the graph cannot be drawn in a process without a graphics application\n";
    return kExitWriteFailed;
  }
  {
    // An axis without width is reported as the Graph window reports it, and
    // there is nothing to draw.  The painter only lends the font's metrics.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    const PlotOutcome outcome =
        ArrangePlot(painter, PlotTarget{QRectF(QPointF(0, 0), QSizeF(size)), 0}, a, content).outcome;
    if (outcome == PlotOutcome::NoXResolution || outcome == PlotOutcome::NoYResolution) {
      ui.ShowMessage(outcome == PlotOutcome::NoXResolution ? kNoXResolution : kNoYResolution, kProgramTitle,
                     MessageIcon::Information);
      return kExitNotCalculable;
    }
  }
  std::string error;
  if (!ExportGraph(*r.graph, content, a, size, error)) {
    err << "pelmora-cli: --graph: " << error << '\n';
    return kExitWriteFailed;
  }
  return kExitSolved;
}

}  // namespace pelmora::cli
#endif
