// The drawing of a table: the unpaired t-test's first sample size over five
// standard deviations and three second means, laid out in the window's font,
// the picture sized to it, scroll bars only where it does not fit, and the
// same table drawn onto an image.
#include <algorithm>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "engine/calculation.h"
#include "gui/gui_test.h"
#include "procedures/hypothesis/student_t.h"
#include "session/dispatch.h"
#include "session/session.h"
#include "session/user_interface.h"
#include "views/table_view.h"

namespace pelmora::gui_testing {

namespace {

using Ids = StudentT::Ids;

// A session with one table record and the t-test's range solved: y the first
// sample size, x the standard deviation 0.5 to 1.5 by 0.25, z the second mean
// 0.5, 0.6 and 0.7.
struct SolvedRange {
  SolvedRange() : s(ui), d(s) {
    d.SelectTest(0);
    d.SetTailCount(2);
    d.SetForm(2, 2);  // equal sample sizes through the ratio form
    d.ApplyOptions();
    s.UnknownPosition = PositionOf(Ids::SampleSize1);
    s.XPosition = PositionOf(Ids::Sd);
    s.ZPosition = PositionOf(Ids::Mean2);
    CatalogueEntry& x = s.entry(Ids::Sd);
    x.TableMin = "0.5";
    x.TableMax = "1.5";
    x.TableStep = "0.25";
    s.entry(Ids::Mean2).ZValueText = "0.5 0.6 0.7";
    s.ResultsCurrent = false;
    outcome = CalculateRange(d);
    BuildRangeHeadings(s, true);
    s.records.resize(2);
    s.records[1].kind = static_cast<std::int16_t>(WindowKind::Table);
  }
  std::int16_t PositionOf(int id) const {
    for (int p = 0; p <= s.LastPosition; ++p)
      if (s.ParameterList[static_cast<std::size_t>(p)] == id) return static_cast<std::int16_t>(p);
    return -1;
  }

  RecordingUserInterface ui;
  Session s;
  Dispatcher d;
  RangeOutcome outcome = RangeOutcome::Invalid;
};

// The texts of a text line of the model.
QStringList Texts(const TableLine& line) {
  QStringList t;
  for (const TablePiece& p : line.pieces) t << QString::fromStdString(p.text);
  return t;
}

// A right-aligned cell of width `width` with `decimals` decimals and the
// trailing blank of a result cell.
QString Cell(double value, int decimals, int width) {
  return (QString::number(value, 'f', decimals) + QLatin1Char(' ')).rightJustified(width);
}

int CountDark(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ++n;
  return n;
}

}  // namespace

class TableViewTest : public QObject {
  Q_OBJECT
 private slots:
  void cellsOfTheSolvedRange() {
    SolvedRange r;
    QCOMPARE(r.outcome, RangeOutcome::Done);
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.resize(900, 600);
    view.show();
    view.WriteTable(TableContentOf(r.s));
    QApplication::processEvents();

    const TableModel& m = view.table().model;
    QCOMPARE(m.formats.result, std::string("######0.00 "));
    QCOMPARE(m.headingLines.size(), r.s.RangeHeadings.size());
    QCOMPARE(Texts(m.headingLines[0]).value(0), QString::fromStdString(r.s.Description));
    // No limit on the columns: one block with every z value.
    QCOMPARE(m.blocks.size(), std::size_t{1});
    const std::vector<TableLine>& lines = m.blocks[0].lines;
    // Rule, captions, rule, z values, rule, five x lines, empty, rule, two empty.
    QCOMPARE(lines.size(), std::size_t{5 + 5 + 4});
    QCOMPARE(lines[0].kind, TableLine::Kind::Rule);
    QCOMPARE(Texts(lines[1]),
             (QStringList{QStringLiteral("Standard Deviation*"), QStringLiteral("Mean 2*")}));
    QCOMPARE(Texts(lines[3]).size(), 3);
    QCOMPARE(Texts(lines[3]).value(0).trimmed(), QStringLiteral("0.5"));
    QCOMPARE(Texts(lines[3]).value(2).trimmed(), QStringLiteral("0.7"));
    for (int i = 0; i < 5; ++i) {
      const QStringList row = Texts(lines[static_cast<std::size_t>(5 + i)]);
      QCOMPARE(row.size(), 4);
      QCOMPARE(row[0].trimmed().toDouble(), 0.5 + 0.25 * i);
      for (int z = 0; z < 3; ++z)
        QCOMPARE(row[z + 1],
                 Cell(r.s.YValues[static_cast<std::size_t>(z)][static_cast<std::size_t>(i)], 2, 11));
    }
    QVERIFY(Texts(lines[10]).isEmpty());
    QCOMPARE(lines[11].kind, TableLine::Kind::Rule);
    // Cells end at the right edge of their columns, in this font's widths.
    const QFontMetrics fm(view.tableFont(), view.picture());
    const TablePiece& last = lines[5].pieces.back();
    QCOMPARE(last.left + fm.horizontalAdvance(QString::fromStdString(last.text)),
             m.xColumnWidth + 3 * m.resultColumnWidth);
    // A result column is as wide as the wider of its two patterns in this font.
    QCOMPARE(m.resultColumnWidth,
             static_cast<double>(std::max(fm.horizontalAdvance(QStringLiteral("######0.00 ")),
                                          fm.horizontalAdvance(QString::fromStdString(m.formats.z)))));
  }

  void aPointNotCalculatedIsADash() {
    SolvedRange r;
    r.s.records[1].TableDecimals = 0;
    r.s.YValues[1][2] = kNotCalculated;
    TableView view(r.s, 1);
    view.WriteTable(TableContentOf(r.s));
    const TableModel& m = view.table().model;
    QCOMPARE(m.formats.result, std::string("#########0"));
    const QStringList row = Texts(m.blocks[0].lines[7]);
    QCOMPARE(row[2], QStringLiteral("- ").rightJustified(10));
    QCOMPARE(row[1], QString::number(std::lround(r.s.YValues[0][2])).rightJustified(10));
  }

  void automaticDecimalsBecomeFixed() {
    SolvedRange r;
    QCOMPARE(r.s.records[1].TableDecimals, std::int16_t{-1});
    TableView view(r.s, 1);
    view.WriteTable(TableContentOf(r.s));
    QCOMPARE(r.s.records[1].TableDecimals, DecimalsOfPattern(view.table().model.formats.result));
    QVERIFY(r.s.records[1].TableDecimals >= 0);
  }

  void theFontOfTheRecord() {
    WindowSettings plain;
    QFont f = TableFont(plain);
    QCOMPARE(f.family(), QStringLiteral("Arial"));
    QCOMPARE(f.pointSizeF(), 9.0);
    QVERIFY(!f.bold());
    plain.fontName = "Courier New";
    plain.fontSize = "12,5";
    plain.fontBold = kTrue;
    f = TableFont(plain);
    QCOMPARE(f.family(), QStringLiteral("Courier New"));
    QCOMPARE(f.pointSizeF(), 12.5);
    QVERIFY(f.bold());
    plain.fontName = "";
    plain.fontSize = "x";
    f = TableFont(plain);
    QCOMPARE(f.family(), QStringLiteral("Arial"));
    QCOMPARE(f.pointSizeF(), 9.0);
  }

  void thePictureFollowsTheContent() {
    SolvedRange r;
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.show();
    view.WriteTable(TableContentOf(r.s));
    const MeasuredTable& t = view.table();
    const QFontMetrics fm(view.tableFont(), view.picture());
    QCOMPARE(t.lineHeight, static_cast<double>(fm.height()));
    const double lines = static_cast<double>(r.s.RangeHeadings.size()) + 1 * (5 + 8);
    QCOMPARE(t.model.heightInLines, lines);
    QCOMPARE(view.picture()->size(), QSize(static_cast<int>(std::ceil(t.model.width)),
                                           static_cast<int>(std::ceil(lines * fm.height()))));
    const QSize oneBlock = view.picture()->size();

    // Two columns per block: the three z values in blocks of 2 and 1, each
    // with its own headings.
    r.s.records[1].TableColumns = 2;
    view.WriteTable(TableContentOf(r.s));
    QCOMPARE(view.table().model.blocks.size(), std::size_t{2});
    QCOMPARE(view.table().model.blocks[1].columns, (ZBlock{2, 1}));
    QCOMPARE(Texts(view.table().model.blocks[1].lines[3]).size(), 1);
    const double twoBlocks = static_cast<double>(r.s.RangeHeadings.size()) + 2 * (5 + 8) + 2.5;
    QCOMPARE(view.picture()->height(), static_cast<int>(std::ceil(twoBlocks * fm.height())));
    QVERIFY(view.picture()->height() > oneBlock.height());

    // A larger font gives a larger picture.
    r.s.records[1].TableColumns = 0;
    r.s.records[1].fontSize = "18";
    view.WriteTable(TableContentOf(r.s));
    QVERIFY(view.picture()->width() > oneBlock.width());
    QVERIFY(view.picture()->height() > oneBlock.height());
  }

  void scrollBarsOnlyWhenThePictureDoesNotFit() {
    SolvedRange r;
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.show();
    view.WriteTable(TableContentOf(r.s));
    const QSize picture = view.picture()->size();
    const int frame = 2 * view.frameWidth();

    view.resize(picture.width() + frame + 40, picture.height() + frame + 40);
    QApplication::processEvents();
    QVERIFY(!view.horizontalScrollBar()->isVisible());
    QVERIFY(!view.verticalScrollBar()->isVisible());

    view.resize(picture.width() + frame + 40, picture.height() / 2);
    QApplication::processEvents();
    QVERIFY(!view.horizontalScrollBar()->isVisible());
    QVERIFY(view.verticalScrollBar()->isVisible());
    QCOMPARE(view.verticalScrollBar()->maximum(), picture.height() - view.viewport()->height());

    view.resize(picture.width() / 2, picture.height() / 2);
    QApplication::processEvents();
    QVERIFY(view.horizontalScrollBar()->isVisible());
    QVERIFY(view.verticalScrollBar()->isVisible());

    // Scrolling moves the picture inside the window.
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QApplication::processEvents();
    QCOMPARE(view.picture()->y(), -view.verticalScrollBar()->maximum());
  }

  void theSameTableOnAnyPainter() {
    SolvedRange r;
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.WriteTable(TableContentOf(r.s));
    QImage image(1200, 900, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);  // 96 dots per inch
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    const QRect area(100, 50, 1000, 800);
    {
      QPainter painter(&image);
      view.PrintTable(painter, area);
    }
    const QSize size = view.table().size();
    QVERIFY(CountDark(image, QRect(area.topLeft(), size)) > 200);
    // Nothing beyond the table nor outside the area.
    QCOMPARE(CountDark(image, QRect(0, 0, 1200, area.top())), 0);
    QCOMPARE(CountDark(image, QRect(0, 0, area.left(), 900)), 0);
    QCOMPARE(CountDark(image, QRect(area.left() + size.width() + 2, 0, 50, 900)), 0);

    // A smaller area clips the drawing.
    image.fill(Qt::white);
    const QRect small(100, 50, 60, 40);
    {
      QPainter painter(&image);
      view.PrintTable(painter, small);
    }
    QVERIFY(CountDark(image, small) > 0);
    QCOMPARE(CountDark(image, QRect(small.right() + 1, 0, 1200 - small.right() - 1, 900)), 0);
    QCOMPARE(CountDark(image, QRect(0, small.bottom() + 1, 1200, 900 - small.bottom() - 1)), 0);
  }
};

PELMORA_GUI_TEST(TableViewTest)

}  // namespace pelmora::gui_testing

#include "test_table_view.moc"
