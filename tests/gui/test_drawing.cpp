// The drawing of tables and graphs from one solved range: the unpaired
// t-test's first sample size over the standard deviation, one column or curve
// per second mean.  Tables are laid out in the window's font, the picture
// sized to them, with scroll bars only where it does not fit; graphs are drawn
// into images, with their axes, curves, gaps, legend and tick labels.
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "engine/calculation.h"
#include "output/range_headings.h"
#include "gui/gui_test.h"
#include "output/axis_scale.h"
#include "procedures/hypothesis/student_t.h"
#include "views/plot_xyz.h"
#include "views/table_view.h"

namespace pelmora::gui_testing {

namespace {

using Ids = StudentT::Ids;

// A session with one table record and the range solved: the standard
// deviation from 0.5 to 1.5 by `step`, the second mean 0.5, 0.6 and 0.7.
struct SolvedRange {
  explicit SolvedRange(const char* step = "0.25") : s(ui), d(s) {
    d.Select(Procedure::UnpairedT);
    d.SetTailCount(2);
    d.SetForm(2, 2);  // equal sample sizes through the ratio form
    d.ApplyOptions();
    s.UnknownPosition = PositionOf(Ids::SampleSize1);
    s.XPosition = PositionOf(Ids::Sd);
    s.ZPosition = PositionOf(Ids::Mean2);
    CatalogueEntry& x = s.entry(Ids::Sd);
    x.TableMin = "0.5";
    x.TableMax = "1.5";
    x.TableStep = step;
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
  // The graph drawn into a white target inside a larger image.
  QImage Render(const GraphAppearance& a, double windowAspect = 0, QRect target = kTarget) {
    QImage image(720, 480, QImage::Format_ARGB32);
    image.fill(kOutside);
    QPainter painter(&image);
    painter.fillRect(target, Qt::white);
    const TableContent content = TableContentOf(s);
    drawn = PlotXYZ(painter, PlotTarget{QRectF(target), windowAspect}, a, content, &ui);
    geometry = ArrangePlot(painter, PlotTarget{QRectF(target), windowAspect}, a, content);
    return image;
  }

  // The colour of the image outside the target, never drawn by a graph.
  static constexpr QRgb kOutside = 0xFF123456;
  static inline const QRect kTarget{40, 30, 640, 420};
  RecordingUserInterface ui;
  Session s;
  Dispatcher d;
  RangeOutcome outcome = RangeOutcome::Invalid;
  PlotOutcome drawn = PlotOutcome::NoData;
  PlotGeometry geometry;
};

GraphAppearance Titled() {
  GraphAppearance a;
  a.title = "Sample sizes";
  a.xTitle = "Standard Deviation*";
  a.yTitle = "Sample Size 1";
  a.zTitle = "Mean 2*";
  return a;
}

// True when the colour appears within one pixel of p.
bool ColourNear(const QImage& image, QPointF p, const QColor& colour) {
  for (int y = qRound(p.y()) - 1; y <= qRound(p.y()) + 1; ++y)
    for (int x = qRound(p.x()) - 1; x <= qRound(p.x()) + 1; ++x)
      if (image.valid(x, y) && image.pixel(x, y) == colour.rgb()) return true;
  return false;
}

// The number of pixels inside a rectangle that pass `test`.
int Count(const QImage& image, const QRect& r, const std::function<bool(QRgb)>& test) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
  return n;
}
int CountColour(const QImage& image, const QRect& r, const QColor& colour) {
  return Count(image, r, [c = colour.rgb()](QRgb p) { return p == c; });
}
int CountDark(const QImage& image, const QRect& r) {
  return Count(image, r, [](QRgb p) { return qGray(p) < 128; });
}

// The middle of the segment of curve k from step i to step i + 1.
QPointF SegmentMiddle(const SolvedRange& g, std::size_t k, std::size_t i) {
  return (g.geometry.Map(g.s.XValues[i], g.s.YValues[k][i]) + g.geometry.Map(g.s.XValues[i + 1], g.s.YValues[k][i + 1])) / 2;
}

bool NothingOutside(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!SolvedRange::kTarget.contains(x, y) && image.pixel(x, y) != SolvedRange::kOutside) return false;
  return true;
}

// The texts of a text line of a table.
QStringList Texts(const TableLine& line) {
  QStringList t;
  for (const TablePiece& p : line.pieces) t << QString::fromStdString(p.text);
  return t;
}

}  // namespace

class DrawingTest : public QObject {
  Q_OBJECT
 private slots:
  // ---- Tables ----------------------------------------------------------------

  void cellsOfTheSolvedRange() {
    SolvedRange r;
    QCOMPARE(r.outcome, RangeOutcome::Done);
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.resize(900, 600);
    view.show();
    view.WriteTable(TableContentOf(r.s));
    const TableModel& m = view.table().model;
    QCOMPARE(m.formats.result, std::string("######0.00 "));
    QCOMPARE(Texts(m.headingLines[0]).value(0), QString::fromStdString(r.s.Description));
    // No limit on the columns: one block with every z value.
    QCOMPARE(m.blocks.size(), std::size_t{1});
    const std::vector<TableLine>& lines = m.blocks[0].lines;
    // Rule, captions, rule, z values, rule, five x lines, empty, rule, two empty.
    QCOMPARE(lines.size(), std::size_t{5 + 5 + 4});
    QCOMPARE(Texts(lines[1]), (QStringList{"Standard Deviation*", "Mean 2*"}));
    QCOMPARE(Texts(lines[3]).value(2).trimmed(), QStringLiteral("0.7"));
    for (int i = 0; i < 5; ++i) {
      const QStringList row = Texts(lines[static_cast<std::size_t>(5 + i)]);
      QCOMPARE(row[0].trimmed().toDouble(), 0.5 + 0.25 * i);
      for (std::size_t z = 0; z < 3; ++z)
        QCOMPARE(row[static_cast<int>(z) + 1],
                 (QString::number(r.s.YValues[z][static_cast<std::size_t>(i)], 'f', 2) + ' ').rightJustified(11));
    }
    QCOMPARE(lines[11].kind, TableLine::Kind::Rule);
    // Cells end at the right edge of their columns, in this font's widths; a
    // result column is as wide as the wider of its two patterns.
    const QFontMetrics fm(view.tableFont(), view.picture());
    const TablePiece& last = lines[5].pieces.back();
    QCOMPARE(last.left + fm.horizontalAdvance(QString::fromStdString(last.text)), m.xColumnWidth + 3 * m.resultColumnWidth);
    QCOMPARE(m.resultColumnWidth, static_cast<double>(std::max(fm.horizontalAdvance(QStringLiteral("######0.00 ")),
                                                               fm.horizontalAdvance(QString::fromStdString(m.formats.z)))));
    // A point not calculated is a dash; automatic decimals become fixed.
    r.s.records[1].TableDecimals = 0;
    r.s.YValues[1][2] = kNotCalculated;
    view.WriteTable(TableContentOf(r.s));
    QCOMPARE(Texts(view.table().model.blocks[0].lines[7])[2], QStringLiteral("- ").rightJustified(10));
    r.s.records[1].TableDecimals = -1;
    view.WriteTable(TableContentOf(r.s));
    QCOMPARE(r.s.records[1].TableDecimals, DecimalsOfPattern(view.table().model.formats.result));
  }

  void theFontOfTheRecord() {
    WindowSettings plain;
    QCOMPARE(TableFont(plain).family(), QStringLiteral("Arial"));
    QCOMPARE(TableFont(plain).pointSizeF(), 9.0);
    plain.fontName = "Courier New";
    plain.fontSize = "12,5";
    plain.fontBold = kTrue;
    QFont f = TableFont(plain);
    QCOMPARE(f.family(), QStringLiteral("Courier New"));
    QCOMPARE(f.pointSizeF(), 12.5);
    QVERIFY(f.bold());
    plain.fontName = "";
    plain.fontSize = "x";
    QCOMPARE(TableFont(plain).pointSizeF(), 9.0);
  }

  void thePictureFollowsTheContentAndScrollsWhereItDoesNotFit() {
    SolvedRange r;
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.show();
    view.WriteTable(TableContentOf(r.s));
    const QFontMetrics fm(view.tableFont(), view.picture());
    const double lines = static_cast<double>(r.s.RangeHeadings.size()) + 1 * (5 + 8);
    QCOMPARE(view.table().model.heightInLines, lines);
    const QSize picture = view.picture()->size();
    QCOMPARE(picture, QSize(static_cast<int>(std::ceil(view.table().model.width)), static_cast<int>(std::ceil(lines * fm.height()))));
    const int frame = 2 * view.frameWidth();
    const std::pair<QSize, std::pair<bool, bool>> sizes[] = {
        {picture + QSize(frame + 40, frame + 40), {false, false}},
        {QSize(picture.width() + frame + 40, picture.height() / 2), {false, true}},
        {picture / 2, {true, true}}};
    for (const auto& [size, bars] : sizes) {
      view.resize(size);
      QApplication::processEvents();
      QCOMPARE(view.horizontalScrollBar()->isVisible(), bars.first);
      QCOMPARE(view.verticalScrollBar()->isVisible(), bars.second);
    }
    // Scrolling moves the picture inside the window.
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QApplication::processEvents();
    QCOMPARE(view.picture()->y(), -view.verticalScrollBar()->maximum());

    // Two columns per block: blocks of 2 and 1, each with its own headings.
    r.s.records[1].TableColumns = 2;
    view.WriteTable(TableContentOf(r.s));
    QCOMPARE(view.table().model.blocks.size(), std::size_t{2});
    QCOMPARE(view.table().model.blocks[1].columns, (ZBlock{2, 1}));
    const double twoBlocks = static_cast<double>(r.s.RangeHeadings.size()) + 2 * (5 + 8) + 2.5;
    QCOMPARE(view.picture()->height(), static_cast<int>(std::ceil(twoBlocks * fm.height())));
    // A larger font gives a larger picture.
    r.s.records[1].TableColumns = 0;
    r.s.records[1].fontSize = "18";
    view.WriteTable(TableContentOf(r.s));
    QVERIFY(view.picture()->width() > picture.width() && view.picture()->height() > picture.height());
  }

  void theSameTableOnAnyPainter() {
    SolvedRange r;
    r.s.records[1].TableDecimals = 2;
    TableView view(r.s, 1);
    view.WriteTable(TableContentOf(r.s));
    QImage image(1200, 900, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);  // 96 dots per inch
    image.setDotsPerMeterY(3780);
    for (const QRect area : {QRect(100, 50, 1000, 800), QRect(100, 50, 60, 40)}) {
      image.fill(Qt::white);
      QPainter painter(&image);
      view.PrintTable(painter, area);
      painter.end();
      // Drawn from the area's top left, clipped to it.
      QVERIFY(CountDark(image, QRect(area.topLeft(), view.table().size()).intersected(area)) > 0);
      QCOMPARE(CountDark(image, QRect(0, 0, 1200, area.top())), 0);
      QCOMPARE(CountDark(image, QRect(0, 0, area.left(), 900)), 0);
      const int right = std::min(area.right(), area.left() + view.table().size().width() + 1);
      QCOMPARE(CountDark(image, QRect(right + 1, 0, 1200 - right - 1, 900)), 0);
      QCOMPARE(CountDark(image, QRect(0, area.bottom() + 1, 1200, 900 - area.bottom() - 1)), 0);
    }
  }

  // ---- Graphs ----------------------------------------------------------------

  void curvesDifferInColourPatternOrWidth() {
    QCOMPARE(CurveColour(0).rgb(), QColor(0, 0, 0).rgb());
    QCOMPARE(CurveColour(1).rgb(), QColor(0, 0, 0x80).rgb());
    QCOMPARE(CurveColour(7).rgb(), QColor(0x80, 0x80, 0x80).rgb());  // light grey skipped
    QCOMPARE(CurveColour(13).rgb(), QColor(0xFF, 0xFF, 0).rgb());
    QCOMPARE(CurveColour(14).rgb(), CurveColour(0).rgb());  // the fifteenth starts again
    QImage screen(10, 10, QImage::Format_RGB32);
    screen.setDotsPerMeterY(3780);
    auto look = [&screen](int k) {
      const QPen p = CurvePen(k, &screen);
      return std::tuple(p.color().rgb(), p.style(), p.widthF());
    };
    for (int k = 0; k < 28; ++k) {
      QVERIFY(CurveColour(k) != kGridColour && CurveColour(k) != QColor(Qt::white));
      for (int j = 0; j < k; ++j) QVERIFY2(look(j) != look(k), qPrintable(QStringLiteral("%1 %2").arg(j).arg(k)));
    }
    // Black and navy differ in width; a page of 600 dots per inch gets wider pens.
    QCOMPARE(std::get<2>(look(0)), 1.0);
    QCOMPARE(std::get<2>(look(1)), 2.0);
    QImage page(10, 10, QImage::Format_RGB32);
    page.setDotsPerMeterY(23622);
    QVERIFY(CurvePen(0, &page).widthF() > 6);
  }

  void appearanceComesFromTheWindowRecord() {
    WindowSettings w;
    w.graphTexts = {"T", "X", "Y", "Z"};
    w.axisTexts = {"0,5", "1.5", "0", "200"};
    w.extraText = std::string("0.25") + kLineBreak + "20";
    w.fontSize = "12";
    w.fontBold = kTrue;
    const GraphAppearance a = GraphAppearanceOf(w);
    QCOMPARE(a.zTitle, std::string("Z"));
    QCOMPARE(a.xMin, 0.5);
    QCOMPARE(a.xTick, 0.25);
    QCOMPARE(a.yMax, 200.0);
    QCOMPARE(a.yTick, 20.0);
    QCOMPARE(a.fontSize, 12.0);
    QVERIFY(a.fontBold);
    // A new record scales both axes automatically in Arial 9.
    const GraphAppearance fresh = GraphAppearanceOf(WindowSettings{});
    QVERIFY(AxisIsAutomatic(fresh.xMin, fresh.xMax) && AxisIsAutomatic(fresh.yMin, fresh.yMax));
    QCOMPARE(fresh.fontSize, 9.0);
  }

  void automaticAxesCoverTheData() {
    SolvedRange g("0.1");
    QCOMPARE(g.outcome, RangeOutcome::Done);
    g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    const PlotGeometry& p = g.geometry;
    // Eleven x values ask for eleven intervals of 0.1, round at both ends.
    QCOMPARE(p.xMin, 0.5);
    QCOMPARE(p.xMax, 1.6);
    QVERIFY(qAbs(p.xTick - 0.1) < 1e-12);
    QCOMPARE(TickLabelPattern(p.xMin, p.xMax), std::string("##.0#"));
    // A sample size cannot fall below 3: its axis starts at 0, in ten intervals.
    QCOMPARE(p.yMin, 0.0);
    QVERIFY(p.yMax >= g.s.YMax);
    QVERIFY(qAbs(p.yTick * 10 - p.yMax) < 1e-9);
    // The legend takes the right 15 %; the frame sits below the headings.
    QVERIFY(p.plot.right() <= SolvedRange::kTarget.left() + 0.85 * SolvedRange::kTarget.width() + 1e-9);
    QVERIFY(p.plot.top() > SolvedRange::kTarget.top() + static_cast<double>(g.s.RangeHeadings.size() + 1) * 10);
    // User axes use their own ticks.
    GraphAppearance a = Titled();
    a.xMax = 2;
    a.xTick = 0.5;
    a.yMax = 400;
    a.yTick = 50;
    g.Render(a);
    QCOMPARE(g.geometry.xMax, 2.0);
    QCOMPARE(g.geometry.yTick, 50.0);
    QCOMPARE(g.geometry.Map(0, 0), g.geometry.plot.bottomLeft());
  }

  void threeCurvesWithALegendAndAGap() {
    SolvedRange g("0.1");
    const Single calculated = g.s.YValues[1][5];
    g.s.YValues[1][5] = kNotCalculated;
    const QImage image = g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    for (std::size_t k = 0; k < 3; ++k)
      for (std::size_t i = 0; i + 1 < g.s.XValues.size(); ++i)
        if (k != 1 || (i != 4 && i != 5))
          QVERIFY2(ColourNear(image, SegmentMiddle(g, k, i), CurveColour(static_cast<int>(k))),
                   qPrintable(QStringLiteral("curve %1 step %2").arg(k).arg(i)));
    // Neither neighbour is joined to the missing point.
    const QPointF missing = g.geometry.Map(g.s.XValues[5], calculated);
    QVERIFY(!ColourNear(image, (g.geometry.Map(g.s.XValues[4], g.s.YValues[1][4]) + missing) / 2, CurveColour(1)));
    QVERIFY(!ColourNear(image, (missing + g.geometry.Map(g.s.XValues[6], g.s.YValues[1][6])) / 2, CurveColour(1)));
    const QRect plot = g.geometry.plot.toAlignedRect();
    QVERIFY(CountColour(image, plot, kGridColour) > 100);
    // The legend: a short line in each of the three colours right of the frame.
    const QRect legend(plot.right() + 2, plot.top(), SolvedRange::kTarget.right() - plot.right() - 2, plot.height());
    for (int k = 0; k < 3; ++k) QVERIFY(CountColour(image, legend, CurveColour(k)) >= 5);
    QCOMPARE(CountColour(image, legend, CurveColour(3)), 0);
    QVERIFY(NothingOutside(image));
    QVERIFY(g.ui.messages.empty());
  }

  void nothingIsDrawnOutsideTheTargetAndAPageKeepsItsShape() {
    SolvedRange g("0.1");
    // Large letters, long titles and a user axis narrower than the data.
    GraphAppearance a = Titled();
    a.fontSize = 28;
    a.title = std::string(200, 'W');
    a.zTitle = std::string(80, 'M');
    a.yMin = 20;
    a.yMax = 40;
    a.yTick = 5;
    QVERIFY(NothingOutside(g.Render(a)));
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    // On a page the graph takes the page's width at the given shape, at its top.
    for (double aspect : {1.6, 1.8}) {
      QVERIFY(NothingOutside(g.Render(Titled(), aspect)));
      const QRectF& region = g.geometry.region;
      QVERIFY(qAbs(region.width() / region.height() - aspect) < 1e-6);
      QCOMPARE(region.top(), double(SolvedRange::kTarget.top()));
      QCOMPARE(region.width(), double(SolvedRange::kTarget.width()));
    }
    // A page too short for the width: the full height, centred across.
    g.Render(Titled(), 1.0);
    QCOMPARE(g.geometry.region.height(), double(SolvedRange::kTarget.height()));
    QCOMPARE(g.geometry.region.center().x(), QRectF(SolvedRange::kTarget).center().x());
  }

  // At every size down to the least a Graph window is given, in a larger
  // font too, the tick labels keep apart, the first tick labelled; the
  // labels of the y-axis fit left of the frame.
  void tickLabelsNeverOverlap() {
    SolvedRange g("0.02");
    GraphAppearance a = Titled();
    for (const QSize size : {QSize(640, 420), QSize(360, 240), QSize(240, 200)})
      for (const double points : {9.0, 12.0}) {
        a.fontSize = points;
        g.Render(a, 0, QRect(SolvedRange::kTarget.topLeft(), size));
        QCOMPARE(g.drawn, PlotOutcome::Drawn);
        const PlotGeometry& p = g.geometry;
        for (const auto* labels : {&p.xLabels, &p.yLabels}) {
          QVERIFY(labels->size() >= 2);
          for (std::size_t i = 1; i < labels->size(); ++i)
            QVERIFY2(!(*labels)[i].rect.intersects((*labels)[i - 1].rect),
                     qPrintable(QStringLiteral("%1x%2, %3 pt").arg(size.width()).arg(size.height()).arg(points)));
        }
        QCOMPARE(p.xLabels.front().rect.center().x(), p.plot.left());
        QVERIFY(p.yLabels.front().rect.left() >= p.region.left());
        QVERIFY(p.yLabels.front().rect.right() < p.plot.left());
      }
    // With room, every tick is labelled.
    g.Render(a);
    QCOMPARE(g.geometry.yLabels.size(), g.geometry.yTicks.size());
  }

  void noResolutionDrawsNothing() {
    SolvedRange g("0.1");
    GraphAppearance a = Titled();
    a.yMin = 50;
    a.yMax = 50;
    a.yTick = 10;
    g.Render(a);
    QCOMPARE(g.drawn, PlotOutcome::NoYResolution);
    QCOMPARE(g.ui.LastText(), std::string("Insufficient resolution in the Y direction !"));
    g.s.entry(Ids::Sd).TableMin = "1";
    g.s.entry(Ids::Sd).TableMax = "1";
    g.s.ResultsCurrent = false;
    QCOMPARE(CalculateRange(g.d), RangeOutcome::Done);
    const QImage image = g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::NoXResolution);
    QCOMPARE(g.ui.messages.back().text, std::string("Insufficient resolution in the X direction !"));
    QCOMPARE(g.ui.messages.back().title, std::string(kProgramTitle));
    QVERIFY(g.ui.messages.back().icon == MessageIcon::Information);
    // An empty plot: the target stays white.
    QCOMPARE(CountColour(image, SolvedRange::kTarget, QColor(Qt::white)),
             SolvedRange::kTarget.width() * SolvedRange::kTarget.height());
  }
};

PELMORA_GUI_TEST(DrawingTest)

}  // namespace pelmora::gui_testing

#include "test_drawing.moc"
