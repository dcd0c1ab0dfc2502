#include "views/table_view.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "widgets/twips.h"
#include "session/session.h"

namespace pelmora {

namespace {

constexpr const char* kDefaultFontName = "Arial";
constexpr double kDefaultFontSize = 9;
// The space after the x column, in twips.
constexpr double kXColumnGapTwips = 5;

// PicTable: paints the table its view last wrote.
class TablePicture : public QWidget {
 public:
  TablePicture(const MeasuredTable& table, QWidget* parent) : QWidget(parent), table_(table) {
    setObjectName(QStringLiteral("PicTable"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    DrawTable(painter, table_, QPointF(0, 0));
  }

 private:
  const MeasuredTable& table_;
};

}  // namespace

QFont TableFont(const WindowSettings& r) {
  const QString name = QString::fromStdString(r.fontName).trimmed();
  bool ok = false;
  double size = QString::fromStdString(r.fontSize).trimmed().replace(',', '.').toDouble(&ok);
  if (!ok || !(size >= 1 && size <= 100)) size = kDefaultFontSize;
  QFont font(name.isEmpty() ? QString::fromLatin1(kDefaultFontName) : name);
  font.setPointSizeF(size);
  font.setBold(r.fontBold != kFalse);
  return font;
}

QSize MeasuredTable::size() const {
  return {static_cast<int>(std::ceil(model.width)),
          static_cast<int>(std::ceil(model.heightInLines * lineHeight))};
}

MeasuredTable MeasureTable(const TableContent& content, const QFont& font, const QPaintDevice* device,
                           std::int16_t& tableDecimals, std::int16_t columns) {
  const QFontMetrics metrics = device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
  const double dpi = device != nullptr ? device->logicalDpiX() : 1440.0 / kTwipsPerPixel;
  MeasuredTable table;
  table.lineHeight = metrics.height();
  table.ascent = metrics.ascent();
  const MeasureText measure = [&metrics](std::string_view text) {
    return static_cast<double>(
        metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))));
  };
  table.model = LayoutTable(content, tableDecimals, columns, measure, kXColumnGapTwips * dpi / 1440.0);
  return table;
}

void DrawTable(QPainter& painter, const MeasuredTable& table, QPointF origin) {
  const double h = table.lineHeight;
  auto draw = [&](const TableLine& line) {
    if (line.kind == TableLine::Kind::Rule) {
      // A rule sits in the middle of its half line.
      const double y = origin.y() + (line.top + 0.25) * h;
      painter.drawLine(QPointF(origin.x() + line.left, y), QPointF(origin.x() + line.right, y));
      return;
    }
    const double baseline = origin.y() + line.top * h + table.ascent;
    for (const TablePiece& piece : line.pieces)
      painter.drawText(QPointF(origin.x() + piece.left, baseline), QString::fromStdString(piece.text));
  };
  for (const TableLine& line : table.model.headingLines) draw(line);
  for (const TableBlock& block : table.model.blocks)
    for (const TableLine& line : block.lines) draw(line);
}

TableView::TableView(Session& s, int tag, QWidget* parent) : QScrollArea(parent), s_(s), tag_(tag) {
  setObjectName(QStringLiteral("TableView"));
  setWidgetResizable(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  horizontalScrollBar()->setObjectName(QStringLiteral("HScroll1"));
  verticalScrollBar()->setObjectName(QStringLiteral("VScroll1"));
  setBackgroundRole(QPalette::Base);
  auto* picture = new TablePicture(table_, this);
  picture->resize(0, 0);
  setWidget(picture);
}

WindowSettings* TableView::record() const {
  if (tag_ <= 0 || tag_ >= static_cast<int>(s_.records.size())) return nullptr;
  return &s_.records[static_cast<std::size_t>(tag_)];
}

QWidget* TableView::picture() const { return widget(); }

QFont TableView::tableFont() const {
  const WindowSettings* r = record();
  return TableFont(r != nullptr ? *r : WindowSettings());
}

void TableView::WriteTable(const TableContent& content) {
  content_ = content;
  WriteTable();
}

void TableView::WriteTable() {
  WindowSettings* kept = record();
  if (kept == nullptr) return;
  WindowSettings& r = *kept;
  const QFont font = TableFont(r);
  QWidget* pic = picture();
  pic->setFont(font);
  table_ = MeasureTable(content_, font, pic, r.TableDecimals, r.TableColumns);
  pic->resize(table_.size());
  pic->update();
}

void TableView::PrintTable(QPainter& painter, const QRect& area) {
  const WindowSettings* kept = record();
  if (kept == nullptr) return;
  const WindowSettings& r = *kept;
  const QFont font = TableFont(r);
  std::int16_t decimals = r.TableDecimals;
  const MeasuredTable table = MeasureTable(content_, font, painter.device(), decimals, r.TableColumns);
  painter.save();
  painter.setClipRect(area, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  painter.setFont(QFont(font, painter.device()));
  painter.setPen(QPen(Qt::black, 0));
  DrawTable(painter, table, area.topLeft());
  painter.restore();
}

}  // namespace pelmora
