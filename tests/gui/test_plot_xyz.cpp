// The plot drawing: a graph of the unpaired t-test's first sample size over
// the standard deviation, one curve per second mean, rendered into an image.
#include <QImage>
#include <QPainter>

#include "engine/calculation.h"
#include "gui/gui_test.h"
#include "output/axis_scale.h"
#include "procedures/hypothesis/student_t.h"
#include "session/dispatch.h"
#include "session/session.h"
#include "views/plot_xyz.h"

namespace pelmora::gui_testing {

namespace {

using Ids = StudentT::Ids;

// The colour of the image outside the target, never drawn by a graph.
constexpr QRgb kOutside = 0xFF123456;
const QRect kTarget(40, 30, 640, 420);

// A session whose range results are the sample sizes of the unpaired t-test
// for standard deviations 0.5 .. 1.5 (eleven steps) and the second means 0.5,
// 0.6 and 0.7.
struct SampleSizeGraph {
  SampleSizeGraph() : s(ui), d(s) {
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
    x.TableStep = "0.1";
    s.entry(Ids::Mean2).ZValueText = "0.5 0.6 0.7";
    s.ResultsCurrent = false;
    s.CalcStopped = false;
    d.BuildDescription();
    ReadParameterValues(s);
    BuildRangeHeadings(s, false);
    outcome = CalculateRange(d);
  }
  std::int16_t PositionOf(int id) const {
    for (int p = 0; p <= s.LastPosition; ++p)
      if (s.ParameterList[static_cast<std::size_t>(p)] == id) return static_cast<std::int16_t>(p);
    return -1;
  }
  // The graph drawn into a white target inside a larger image.
  QImage Render(const GraphAppearance& a, double windowAspect = 0) {
    QImage image(720, 480, QImage::Format_ARGB32);
    image.fill(kOutside);
    QPainter painter(&image);
    painter.fillRect(kTarget, Qt::white);
    const TableContent content = TableContentOf(s);
    drawn = PlotXYZ(painter, PlotTarget{QRectF(kTarget), windowAspect}, a, content, &ui);
    geometry = ArrangePlot(painter, PlotTarget{QRectF(kTarget), windowAspect}, a, content);
    return image;
  }

  RecordingUserInterface ui;
  Session s;
  Dispatcher d;
  RangeOutcome outcome;
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
  const int cx = qRound(p.x());
  const int cy = qRound(p.y());
  for (int y = cy - 1; y <= cy + 1; ++y)
    for (int x = cx - 1; x <= cx + 1; ++x)
      if (image.valid(x, y) && image.pixel(x, y) == colour.rgb()) return true;
  return false;
}

// The number of pixels of the colour inside a rectangle.
int CountColour(const QImage& image, const QRect& r, const QColor& colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixel(x, y) == colour.rgb()) ++n;
  return n;
}

// The middle of the segment of curve k from step i to step i + 1.
QPointF SegmentMiddle(const SampleSizeGraph& g, std::size_t k, std::size_t i) {
  const QPointF a = g.geometry.Map(g.s.XValues[i], g.s.YValues[k][i]);
  const QPointF b = g.geometry.Map(g.s.XValues[i + 1], g.s.YValues[k][i + 1]);
  return (a + b) / 2;
}

bool NothingOutside(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!kTarget.contains(x, y) && image.pixel(x, y) != kOutside) return false;
  return true;
}

}  // namespace

class PlotXyzTest : public QObject {
  Q_OBJECT
 private slots:
  void curveColoursFollowThePalette() {
    QCOMPARE(CurveColour(0).rgb(), QColor(0, 0, 0).rgb());
    QCOMPARE(CurveColour(1).rgb(), QColor(0, 0, 0x80).rgb());
    QCOMPARE(CurveColour(2).rgb(), QColor(0, 0x80, 0).rgb());
    // The eighth curve skips light grey: dark grey.
    QCOMPARE(CurveColour(7).rgb(), QColor(0x80, 0x80, 0x80).rgb());
    QCOMPARE(CurveColour(13).rgb(), QColor(0xFF, 0xFF, 0).rgb());
    // The fifteenth starts again with black.
    QCOMPARE(CurveColour(14).rgb(), CurveColour(0).rgb());
    for (int k = 0; k < 14; ++k) {
      QVERIFY(CurveColour(k) != kGridColour);
      QVERIFY(CurveColour(k) != QColor(Qt::white));
    }
  }

  void appearanceComesFromTheWindowRecord() {
    WindowSettings w;
    w.graphTexts = {"T", "X", "Y", "Z"};
    w.axisTexts = {"0,5", "1.5", "0", "200"};
    w.extraText = std::string("0.25") + kLineBreak + "20";
    w.fontName = "Courier";
    w.fontSize = "12";
    w.fontBold = kTrue;
    const GraphAppearance a = GraphAppearanceOf(w);
    QCOMPARE(a.title, std::string("T"));
    QCOMPARE(a.zTitle, std::string("Z"));
    QCOMPARE(a.xMin, 0.5);
    QCOMPARE(a.xMax, 1.5);
    QCOMPARE(a.xTick, 0.25);
    QCOMPARE(a.yMin, 0.0);
    QCOMPARE(a.yMax, 200.0);
    QCOMPARE(a.yTick, 20.0);
    QCOMPARE(a.fontSize, 12.0);
    QVERIFY(a.fontBold);
    // A new record scales both axes automatically in Arial 9.
    const GraphAppearance fresh = GraphAppearanceOf(WindowSettings{});
    QVERIFY(AxisIsAutomatic(fresh.xMin, fresh.xMax) && AxisIsAutomatic(fresh.yMin, fresh.yMax));
    QCOMPARE(fresh.fontName, std::string("Arial"));
    QCOMPARE(fresh.fontSize, 9.0);
  }

  void automaticAxesCoverTheData() {
    SampleSizeGraph g;
    QCOMPARE(g.outcome, RangeOutcome::Done);
    g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    const PlotGeometry& p = g.geometry;
    QVERIFY(p.xMin <= 0.5 && p.xMax >= 1.5);
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
    QVERIFY(p.plot.right() <= kTarget.left() + 0.85 * kTarget.width() + 1e-9);
    QVERIFY(p.plot.top() > kTarget.top() + static_cast<double>(g.s.RangeHeadings.size() + 1) * 10);
  }

  void threeCurvesInTheirColoursWithALegend() {
    SampleSizeGraph g;
    QCOMPARE(g.s.YValues.size(), std::size_t{3});
    const QImage image = g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    const QRect plot = g.geometry.plot.toAlignedRect();
    for (std::size_t k = 0; k < 3; ++k) {
      const QColor c = CurveColour(static_cast<int>(k));
      for (std::size_t i = 0; i + 1 < g.s.XValues.size(); ++i)
        QVERIFY2(ColourNear(image, SegmentMiddle(g, k, i), c), qPrintable(QStringLiteral("curve %1").arg(k)));
    }
    QVERIFY(CountColour(image, plot, CurveColour(1)) > 50);
    QVERIFY(CountColour(image, plot, CurveColour(2)) > 50);
    QVERIFY(CountColour(image, plot, kGridColour) > 100);
    // The legend: a short line in each of the three colours right of the frame.
    const QRect legend(plot.right() + 2, plot.top(), kTarget.right() - plot.right() - 2, plot.height());
    for (int k = 0; k < 3; ++k) {
      const int n = CountColour(image, legend, CurveColour(k));
      QVERIFY2(n >= 5, qPrintable(QStringLiteral("legend line %1: %2 pixels").arg(k).arg(n)));
    }
    QVERIFY(CountColour(image, legend, CurveColour(3)) == 0);
    QVERIFY(NothingOutside(image));
    QVERIFY(g.ui.messages.empty());
  }

  void aPointNotCalculatedLeavesAGap() {
    SampleSizeGraph g;
    const Single calculated = g.s.YValues[1][5];
    g.s.YValues[1][5] = kNotCalculated;
    const QImage image = g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    const QColor blue = CurveColour(1);
    QVERIFY(ColourNear(image, SegmentMiddle(g, 1, 3), blue));
    QVERIFY(ColourNear(image, SegmentMiddle(g, 1, 6), blue));
    // Neither neighbour is joined to the missing point: where the two
    // segments to its calculated value would run there is no blue.
    const QPointF missing = g.geometry.Map(g.s.XValues[5], calculated);
    const QPointF left = g.geometry.Map(g.s.XValues[4], g.s.YValues[1][4]);
    const QPointF right = g.geometry.Map(g.s.XValues[6], g.s.YValues[1][6]);
    QVERIFY(!ColourNear(image, (left + missing) / 2, blue));
    QVERIFY(!ColourNear(image, (missing + right) / 2, blue));
    // The other curves run on.
    QVERIFY(ColourNear(image, SegmentMiddle(g, 0, 4), CurveColour(0)));
    QVERIFY(ColourNear(image, SegmentMiddle(g, 2, 4), CurveColour(2)));
  }

  void nothingIsDrawnOutsideTheTarget() {
    SampleSizeGraph g;
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
    // On a page the graph keeps the window's shape inside a margin.
    const QImage page = g.Render(Titled(), 8850.0 / 4800.0);
    QVERIFY(NothingOutside(page));
    const QRectF& region = g.geometry.region;
    QVERIFY(qAbs(region.width() / region.height() - 8850.0 / 4800.0) < 1e-6);
    QVERIFY(QRectF(kTarget).contains(region));
  }

  void userAxesUseTheirTicks() {
    SampleSizeGraph g;
    GraphAppearance a = Titled();
    a.xMin = 0;
    a.xMax = 2;
    a.xTick = 0.5;
    a.yMin = 0;
    a.yMax = 400;
    a.yTick = 50;
    g.Render(a);
    QCOMPARE(g.drawn, PlotOutcome::Drawn);
    QCOMPARE(g.geometry.xMax, 2.0);
    QCOMPARE(g.geometry.yTick, 50.0);
    const QPointF origin = g.geometry.Map(0, 0);
    QVERIFY(qAbs(origin.x() - g.geometry.plot.left()) < 1e-9);
    QVERIFY(qAbs(origin.y() - g.geometry.plot.bottom()) < 1e-9);
  }

  void aSingleXValueHasNoResolution() {
    SampleSizeGraph g;
    g.s.entry(Ids::Sd).TableMin = "1";
    g.s.entry(Ids::Sd).TableMax = "1";
    g.s.ResultsCurrent = false;
    QCOMPARE(CalculateRange(g.d), RangeOutcome::Done);
    QCOMPARE(g.s.XValues.size(), std::size_t{1});
    const QImage image = g.Render(Titled());
    QCOMPARE(g.drawn, PlotOutcome::NoXResolution);
    QCOMPARE(g.ui.messages.size(), std::size_t{1});
    QCOMPARE(g.ui.messages[0].text, std::string("Insufficient resolution in the X direction !"));
    QCOMPARE(g.ui.messages[0].title, std::string(kProgramTitle));
    QVERIFY(g.ui.messages[0].icon == MessageIcon::Information);
    // An empty plot: the target stays white.
    QCOMPARE(CountColour(image, kTarget, QColor(Qt::white)), kTarget.width() * kTarget.height());
  }

  void aFlatYAxisHasNoResolution() {
    SampleSizeGraph g;
    GraphAppearance a = Titled();
    a.yMin = 50;
    a.yMax = 50;
    a.yTick = 10;
    g.Render(a);
    QCOMPARE(g.drawn, PlotOutcome::NoYResolution);
    QCOMPARE(g.ui.LastText(), std::string("Insufficient resolution in the Y direction !"));
    QVERIFY(g.ui.messages.back().icon == MessageIcon::Information);
  }
};

PELMORA_GUI_TEST(PlotXyzTest)

}  // namespace pelmora::gui_testing

#include "test_plot_xyz.moc"
