#include "views/result_output.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QMimeData>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "widgets/twips.h"
#include "format/number_entry.h"
#include "session/session.h"
#include "views/range_window.h"
#include "views/table_view.h"

namespace pelmora {

namespace {

constexpr double kDefaultOutputPoints = 9;

double Points(const std::string& size) {
  const double points = ParseNumber(size);
  return points >= 1 && points <= 100 ? points : kDefaultOutputPoints;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The caption of the window that holds a result, for the Copy message.
std::string CaptionOf(const ResultWindow& window) { return window.caption().toStdString(); }

}  // namespace

QFont OutputQFont(const Session& s) {
  QFont font(s.OutputFontName.empty() ? QStringLiteral("Arial") : Text(s.OutputFontName));
  font.setPointSizeF(Points(s.OutputFontSize));
  font.setBold(s.OutputFontBold != 0);
  return font;
}

OutputFont OutputFontOf(const Session& s) {
  return OutputFont{s.OutputFontName, s.OutputFontSize, s.OutputFontBold};
}

MeasureText MeasureInFont(const QFont& font, const QPaintDevice* device) {
  // QFontMetricsF is cheap to copy; the function keeps its own.
  const QFontMetricsF metrics = device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
  return [metrics](std::string_view text) {
    return metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
}

MeasuredOutput MeasureCalculationOutput(const Session& s, const QFont& font, const QPaintDevice* device) {
  const QFontMetricsF metrics = device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
  MeasuredOutput out;
  out.lineHeight = metrics.height();
  out.ascent = metrics.ascent();
  out.layout = LayoutCalculationOutput(s, MeasureInFont(font, device));
  return out;
}

void DrawCalculationOutput(QPainter& painter, const MeasuredOutput& output, QPointF origin) {
  const double h = output.lineHeight;
  const CalculationOutput& o = output.layout;
  auto text = [&](const TablePiece& piece, double top) {
    painter.drawText(QPointF(origin.x() + piece.left, origin.y() + top * h + output.ascent),
                     Text(piece.text));
  };
  auto rule = [&](double top) {
    const double y = origin.y() + (top + 0.25) * h;
    painter.drawLine(QPointF(origin.x() + o.ruleLeft, y), QPointF(origin.x() + o.ruleRight, y));
  };
  for (const TableLine& line : o.headingLines)
    for (const TablePiece& piece : line.pieces) text(piece, line.top);
  rule(o.ruleTop);
  for (const CalculationOutputLine& line : o.lines) {
    text(line.leftLabel, line.top);
    text(line.leftValue, line.top);
    if (!line.hasRight) continue;
    text(line.rightLabel, line.top);
    text(line.rightValue, line.top);
  }
  rule(o.closingRuleTop);
  for (const TableLine& line : o.remarkLines)
    for (const TablePiece& piece : line.pieces) text(piece, line.top);
}

std::string CalculationPlainText(const Session& s) {
  return CalculationOutputText(s, MeasureInFont(OutputQFont(s), nullptr));
}

std::string TablePlainText(const Session& s, TableWindow& window) {
  WindowSettings* r = window.record();
  if (r == nullptr) return std::string();
  return TableOutputText(window.content(), r->TableDecimals, r->TableColumns, MeasureInFont(OutputQFont(s), nullptr));
}

std::string CalculationRichText(const Session& s) { return RichTextOf(CalculationPlainText(s), OutputFontOf(s)); }

std::string TableRichText(const Session& s, TableWindow& window) {
  return RichTextOf(TablePlainText(s, window), OutputFontOf(s));
}

void PutTextOnClipboard(const std::string& text, const std::string& document) {
  auto* data = new QMimeData;
  const QByteArray bytes = QByteArray::fromStdString(document);
  for (const char* format : kRichTextFormats) data->setData(QString::fromLatin1(format), bytes);
  // The lines of the text with the line breaks of this platform.
  data->setText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  QGuiApplication::clipboard()->setMimeData(data);
}

std::string CopyResult(Session& s, ResultWindow& window) {
  if (auto* graph = qobject_cast<GraphWindow*>(&window)) {
    if (!graph->hasResults()) return {};
    auto* data = new QMimeData;
    data->setImageData(graph->Picture());
    QGuiApplication::clipboard()->setMimeData(data);
  } else if (auto* table = qobject_cast<TableWindow*>(&window)) {
    if (!table->hasResults()) return {};
    const std::string text = TablePlainText(s, *table);
    PutTextOnClipboard(text, RichTextOf(text, OutputFontOf(s)));
  } else {
    const std::string text = CalculationPlainText(s);
    PutTextOnClipboard(text, RichTextOf(text, OutputFontOf(s)));
  }
  return CaptionOf(window) + " has been Copied to the Clipboard";
}

void SetPrintMargins(QPagedPaintDevice& printer) {
  QPageLayout layout = printer.pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  const QMarginsF chosen = layout.margins();
  const QMarginsF least = layout.minimumMargins();
  auto side = [](double a, double b) { return std::max({a, b, kPrintMarginMillimetres}); };
  layout.setMargins(QMarginsF(side(chosen.left(), least.left()), side(chosen.top(), least.top()),
                              side(chosen.right(), least.right()), side(chosen.bottom(), least.bottom())));
  printer.setPageLayout(layout);
}

double PrintedGraphAspect(QSize window) {
  const double aspect = window.height() > 0 ? static_cast<double>(window.width()) / window.height() : 1.5;
  return std::clamp(aspect, kLeastPrintedGraphAspect, kGreatestPrintedGraphAspect);
}

bool PrintResult(Session& s, ResultWindow& window, QPagedPaintDevice& printer) {
  SetPrintMargins(printer);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // Inside the margins of the page layout.
  const QRectF page(0, 0, printer.width(), printer.height());
  const QFont font(OutputQFont(s), &printer);
  painter.setPen(QPen(Qt::black, 0));
  if (auto* graph = qobject_cast<GraphWindow*>(&window)) {
    GraphAppearance a = graph->appearance();
    PlotXYZ(painter, PlotTarget{page, PrintedGraphAspect(graph->picture()->size())}, a, graph->content(),
            &s.ui());
  } else if (auto* table = qobject_cast<TableWindow*>(&window)) {
    table->view()->PrintTable(painter, page.toRect());
  } else {
    painter.setFont(font);
    const MeasuredOutput output = MeasureCalculationOutput(s, OutputQFont(s), &printer);
    // Centred across the page, at its top.
    const double left = std::max(0.0, (page.width() - output.size().width()) / 2);
    DrawCalculationOutput(painter, output, QPointF(left, 0));
  }
  return painter.end();
}

}  // namespace pelmora
