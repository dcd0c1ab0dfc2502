#include "views/range_window.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include "widgets/twips.h"
#include "engine/calculation.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "output/axis_scale.h"
#include "session/axis_roles.h"
#include "session/window_records.h"
#include "views/appearance_dialogs.h"
#include "views/table_view.h"

namespace pelmora {

namespace {

constexpr int kWindowWidthTwips = 8850;
constexpr int kWindowHeightTwips = 4800;
constexpr int kButtonStripTwips = 450;

void SetWhiteBackground(QWidget* w) {
  w->setAutoFillBackground(true);
  QPalette p = w->palette();
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, Qt::black);
  w->setPalette(p);
}

// The placement of an Edit button in the strip below the picture.
QRect EditButtonPlace(const QSize& window) {
  const int strip = TwipsToPixels(kButtonStripTwips);
  const int width = TwipsToPixels(1400);
  const int height = strip - TwipsToPixels(90);
  return {window.width() - width - TwipsToPixels(120), window.height() - strip + TwipsToPixels(45), width,
          height};
}

}  // namespace

// ---- RangeWindow -------------------------------------------------------------

RangeWindow::RangeWindow(WindowKind kind, Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : ResultWindow(kind, tag, host, parent), d_(d) {
  SetWhiteBackground(this);
  lblSummary_ = new QLabel(this);
  lblSummary_->setObjectName(QStringLiteral("lblSummary"));
  lblSummary_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  resize(TwipsToPixels(kWindowWidthTwips), TwipsToPixels(kWindowHeightTwips));
}

QSize RangeWindow::sizeHint() const {
  return {TwipsToPixels(kWindowWidthTwips), TwipsToPixels(kWindowHeightTwips)};
}

QSize RangeWindow::minimumSizeHint() const {
  const QFontMetrics fm = fontMetrics();
  const int strip = TwipsToPixels(kButtonStripTwips);
  if (kind() == WindowKind::Graph)
    return {std::max(360, 48 * fm.averageCharWidth()), std::max(240, 14 * fm.height()) + strip};
  return {std::max(240, 32 * fm.averageCharWidth()), std::max(140, 8 * fm.height()) + strip};
}

void RangeWindow::resizeEvent(QResizeEvent* event) {
  ResultWindow::resizeEvent(event);
  const QRect button = EditButtonPlace(event->size());
  const int left = TwipsToPixels(120);
  lblSummary_->setGeometry(left, button.top(), std::max(0, button.left() - 2 * left), button.height());
}

WindowSettings* RangeWindow::record() {
  Session& s = d_.session();
  if (tag() <= 0 || tag() >= static_cast<int>(s.records.size())) return nullptr;
  return &s.records[static_cast<std::size_t>(tag())];
}

void RangeWindow::Fill() {
  if (hasResults_) Recalculate();
}

void RangeWindow::Recalculate() {
  Session& s = d_.session();
  if (s.Busy || s.LastPosition == 0) return;
  s.Busy = true;
  const RangeOutcome outcome = CalculateRange(d_);
  s.Busy = false;
  if (outcome == RangeOutcome::Done) ShowRange(false);
}

void RangeWindow::ShowRange(bool newHeadings) {
  Session& s = d_.session();
  WindowSettings* kept = record();
  if (kept == nullptr) return;
  WindowSettings& r = *kept;
  content_ = TableContentOf(s);
  content_.showWhole = r.planning.TableWholeSizes != kFalse;
  if (newHeadings) {
    KeepHeadings(r, s.RangeHeadings);
    TakeNewRoles();
  }
  content_.headings = RecordHeadings(r);
  const QString summary = QString::fromStdString(s.RangeSummary);
  lblSummary_->setText(summary);
  lblSummary_->setToolTip(summary);
  hasResults_ = true;
  Redraw();
}

// ---- TableWindow -------------------------------------------------------------

TableWindow::TableWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : RangeWindow(WindowKind::Table, d, tag, host, parent) {
  setObjectName(QStringLiteral("frmTable"));
  view_ = new TableView(d.session(), tag, this);
  view_->picture()->installEventFilter(this);
  cmdEditTable_ = new QPushButton(QStringLiteral("&Edit Table"), this);
  cmdEditTable_->setObjectName(QStringLiteral("cmdEditTable"));
  cmdEditTable_->setAutoDefault(false);
  connect(cmdEditTable_, &QPushButton::clicked, this, &TableWindow::EditAppearance);
}

void TableWindow::resizeEvent(QResizeEvent* event) {
  RangeWindow::resizeEvent(event);
  const QSize size = event->size();
  const int strip = TwipsToPixels(kButtonStripTwips);
  view_->setGeometry(0, 0, size.width(), std::max(0, size.height() - strip));
  cmdEditTable_->setGeometry(EditButtonPlace(size));
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->picture() && event->type() == QEvent::MouseButtonDblClick) {
    EditAppearance();
    return true;
  }
  return RangeWindow::eventFilter(watched, event);
}

void TableWindow::Redraw() { view_->WriteTable(content_); }

void TableWindow::EditAppearance() {
  WindowSettings* kept = record();
  if (d_.session().Busy || kept == nullptr) return;
  WindowSettings& r = *kept;
  TableAppearance a;
  a.headings = content_.headings;
  a.fontName = r.fontName;
  a.fontSize = DialogFontSize(r.fontSize);
  a.bold = r.fontBold != kFalse;
  a.columns = r.TableColumns;
  a.decimals = r.TableDecimals;
  a.wholeSizes = r.planning.TableWholeSizes != kFalse;
  EditTableDialog dialog(a, EditTableDialog::Use::Table, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const TableAppearance edited = dialog.appearance();
  const WindowSettings before = r;
  KeepHeadings(r, edited.headings);
  r.fontName = edited.fontName;
  r.fontSize = std::to_string(edited.fontSize);
  r.fontBold = edited.bold ? kTrue : kFalse;
  r.TableColumns = edited.columns;
  r.TableDecimals = edited.decimals;
  r.planning.TableWholeSizes = edited.wholeSizes ? kTrue : kFalse;
  // The session holds the planning settings of the active window.
  if (d_.session().ActiveRecord == tag()) d_.session().planning.TableWholeSizes = r.planning.TableWholeSizes;
  content_.showWhole = edited.wholeSizes;
  if (!r.SameSettings(before)) r.WindowChanged = true;
  content_.headings = RecordHeadings(r);
  Redraw();
}

// ---- GraphWindow -------------------------------------------------------------

namespace {

// picPlot: draws the window's results as they are.
class PlotPicture : public QWidget {
 public:
  explicit PlotPicture(GraphWindow& window) : QWidget(&window), window_(window) {
    setObjectName(QStringLiteral("picPlot"));
    SetWhiteBackground(this);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!window_.hasResults()) return;
    QPainter painter(this);
    PlotXYZ(painter, PlotTarget{QRectF(rect()), 0}, window_.appearance(), window_.content());
  }

 private:
  GraphWindow& window_;
};

}  // namespace

GraphWindow::GraphWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent)
    : RangeWindow(WindowKind::Graph, d, tag, host, parent) {
  setObjectName(QStringLiteral("frmGraph"));
  picPlot_ = new PlotPicture(*this);
  picPlot_->installEventFilter(this);
  cmdEditGraph_ = new QPushButton(QStringLiteral("&Edit Graph"), this);
  cmdEditGraph_->setObjectName(QStringLiteral("cmdEditGraph"));
  cmdEditGraph_->setAutoDefault(false);
  connect(cmdEditGraph_, &QPushButton::clicked, this, &GraphWindow::EditAppearance);
}

GraphAppearance GraphWindow::appearance() {
  const WindowSettings* r = record();
  return GraphAppearanceOf(r != nullptr ? *r : WindowSettings());
}

void GraphWindow::resizeEvent(QResizeEvent* event) {
  RangeWindow::resizeEvent(event);
  const QSize size = event->size();
  picPlot_->setGeometry(0, 0, size.width(), std::max(0, size.height() - TwipsToPixels(kButtonStripTwips)));
  cmdEditGraph_->setGeometry(EditButtonPlace(size));
}

bool GraphWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picPlot_ && event->type() == QEvent::MouseButtonDblClick) {
    EditAppearance();
    return true;
  }
  return RangeWindow::eventFilter(watched, event);
}

void GraphWindow::TakeNewRoles() {
  if (WindowSettings* r = record()) TitleAxesByRoles(d_.session(), *r);
}

void GraphWindow::CheckResolution() {
  QImage scratch(1, 1, QImage::Format_RGB32);
  QPainter painter(&scratch);
  const PlotGeometry g =
      ArrangePlot(painter, PlotTarget{QRectF(picPlot_->rect()), 0}, appearance(), content_);
  painter.end();
  if (g.outcome == PlotOutcome::NoXResolution || g.outcome == PlotOutcome::NoYResolution)
    d_.session().ui().ShowMessage(g.outcome == PlotOutcome::NoXResolution ? kNoXResolution : kNoYResolution,
                                  kProgramTitle, MessageIcon::Information);
}

void GraphWindow::Redraw() {
  picPlot_->update();
  CheckResolution();
}

QImage GraphWindow::Picture() {
  QImage image(picPlot_->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Qt::white);
  if (hasResults_) {
    QPainter painter(&image);
    PlotXYZ(painter, PlotTarget{QRectF(image.rect()), 0}, appearance(), content_);
  }
  return image;
}

void GraphWindow::EditAppearance() {
  Session& s = d_.session();
  WindowSettings* kept = record();
  if (s.Busy || kept == nullptr) return;
  WindowSettings& r = *kept;
  GraphTexts t;
  t.title = r.graphTexts[0];
  t.xLabel = r.graphTexts[1];
  t.yLabel = r.graphTexts[2];
  t.zLabel = r.graphTexts[3];
  const std::size_t lineBreak = r.extraText.find(kLineBreak);
  const std::string xTick = r.extraText.substr(0, lineBreak);
  const std::string yTick = lineBreak == std::string::npos ? "" : r.extraText.substr(lineBreak + 2);
  // An automatic axis is shown as drawn; left as shown, it stays automatic.
  const GraphAppearance a = appearance();
  QImage scratch(1, 1, QImage::Format_RGB32);
  QPainter painter(&scratch);
  const PlotGeometry g = ArrangePlot(painter, PlotTarget{QRectF(picPlot_->rect()), 0}, a, content_);
  painter.end();
  const bool drawn = g.outcome == PlotOutcome::Drawn;
  auto automatic = [&r](std::size_t first) {
    return AxisIsAutomatic(ParseNumber(r.axisTexts[first]), ParseNumber(r.axisTexts[first + 1]));
  };
  auto axis = [&](std::size_t first, const std::string& tick, double min, double max, double step) {
    if (drawn && automatic(first))
      return std::array<std::string, 3>{ShortestGeneral(min), ShortestGeneral(max), ShortestGeneral(step)};
    // Empty texts are automatic scaling: minimum and maximum 0, a tick of 1
    // (the dialog refuses a tick of 0).
    return std::array<std::string, 3>{r.axisTexts[first].empty() ? "0" : r.axisTexts[first],
                                      r.axisTexts[first + 1].empty() ? "0" : r.axisTexts[first + 1],
                                      tick.empty() ? "1" : tick};
  };
  t.xAxis = axis(0, xTick, g.xMin, g.xMax, g.xTick);
  t.yAxis = axis(2, yTick, g.yMin, g.yMax, g.yTick);
  t.fontName = r.fontName;
  t.fontSize = DialogFontSize(r.fontSize);
  t.bold = r.fontBold != kFalse;
  EditGraphDialog dialog(t, s.ui(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const GraphTexts e = dialog.texts();
  const WindowSettings before = r;
  r.graphTexts = {e.title, e.xLabel, e.yLabel, e.zLabel};
  const bool xAutomatic = drawn && automatic(0) && e.xAxis == t.xAxis;
  const bool yAutomatic = drawn && automatic(2) && e.yAxis == t.yAxis;
  r.axisTexts = {xAutomatic ? r.axisTexts[0] : e.xAxis[0], xAutomatic ? r.axisTexts[1] : e.xAxis[1],
                 yAutomatic ? r.axisTexts[2] : e.yAxis[0], yAutomatic ? r.axisTexts[3] : e.yAxis[1]};
  r.extraText = (xAutomatic ? xTick : e.xAxis[2]) + kLineBreak + (yAutomatic ? yTick : e.yAxis[2]);
  r.fontName = e.fontName;
  r.fontSize = std::to_string(e.fontSize);
  r.fontBold = e.bold ? kTrue : kFalse;
  if (!r.SameSettings(before)) r.WindowChanged = true;
  Redraw();
}

}  // namespace pelmora
