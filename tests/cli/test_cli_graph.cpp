// pelmora-cli drawing the results of a range into a PNG, SVG or PDF file, run
// in-process with its drawing program: the picture holds one curve per z
// value, the texts above and beside the plot, and the failures end with their
// own statuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_run.h"

#ifdef PELMORA_CLI_GRAPH
#include <QColor>
#include <QImage>

#include "views/plot_xyz.h"
#endif

namespace pelmora {
namespace {

using testing::CliRun;
using testing::RunWith;
using testing::With;

// The sample size of the unpaired test with equal sizes over the standard
// deviation 0.5 to 1.5 for the three differences 0.2, 0.3 and 0.4.
std::vector<std::string> ThreeCurves(const std::string& file, const std::vector<std::string>& more = {}) {
  std::vector<std::string> args = {"--test",    "0",
                                   "--mode",    "2=2",
                                   "--graph",   file,
                                   "--x",       "Standard Deviation*=0.5:1.5:0.1",
                                   "--z",       "Mean 2=0.5 0.6 0.7",
                                   "--unknown", "Sample Size 1"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

#ifdef PELMORA_CLI_GRAPH

class CliGraph : public testing::CliFolderTest {};

int CountPixels(const QImage& image, const QColor& colour, int leftOf) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < leftOf; ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
  return n;
}

// The topmost row of a colour in one column, or -1.
int TopmostRow(const QImage& image, const QColor& colour, int x) {
  for (int y = 0; y < image.height(); ++y)
    if (image.pixelColor(x, y) == colour) return y;
  return -1;
}

// A picture for print: the width of an A4 page at 300 dots per inch, which
// the PNG records.
TEST_F(CliGraph, APngOfTheRequestedSizeAndResolution) {
  const std::string png = File("print.png");
  const CliRun r = RunWith(ThreeCurves(png, {"--graph-size", "2480x1200", "--graph-dpi", "300"}));
  ASSERT_EQ(r.status, kExitSolved) << r.err;
  const QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(2480, 1200));
  EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 0.5);
  EXPECT_NEAR(image.dotsPerMeterY() * 0.0254, 300, 0.5);
}

TEST_F(CliGraph, APngHoldsOneCurvePerZValue) {
  const std::string png = File("curves.png");
  const CliRun r = RunWith(ThreeCurves(png, {"--graph-size", "640x400"}));
  ASSERT_EQ(r.status, kExitSolved) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  const QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 640);
  EXPECT_EQ(image.height(), 400);

  // The first curves are black, blue and green of the classic palette.
  EXPECT_EQ(CurveColour(0), QColor(0, 0, 0));
  EXPECT_EQ(CurveColour(1), QColor(0, 0, 0x80));
  EXPECT_EQ(CurveColour(2), QColor(0, 0x80, 0));
  // In the plot (the left 85 %; the legend is to its right) each of the
  // second and third curves crosses the 0.75 * 640 pixels of the x-axis
  // (0.5 to 1.6) from 0.5 to 1.5: at least one pixel per column it spans.
  const int plotRight = 640 * 85 / 100;
  EXPECT_GT(CountPixels(image, CurveColour(1), plotRight), 400);
  EXPECT_GT(CountPixels(image, CurveColour(2), plotRight), 400);
  // Nothing in the colour of a fourth curve.
  EXPECT_EQ(CountPixels(image, CurveColour(3), image.width()), 0);
  // The legend holds a short line of each colour.
  EXPECT_GT(CountPixels(image, CurveColour(1), image.width()), CountPixels(image, CurveColour(1), plotRight));
  EXPECT_GT(CountPixels(image, CurveColour(2), image.width()), CountPixels(image, CurveColour(2), plotRight));

  // A larger difference needs fewer observations: the curve of 0.4 (green)
  // runs below that of 0.3 (blue) in the middle of the plot, and both rise
  // with the standard deviation.
  const int middle = 640 * 45 / 100;
  const int blue = TopmostRow(image, CurveColour(1), middle);
  const int green = TopmostRow(image, CurveColour(2), middle);
  ASSERT_GE(blue, 0);
  ASSERT_GE(green, 0);
  EXPECT_LT(blue, green);
  const int left = 640 * 15 / 100;
  EXPECT_GT(TopmostRow(image, CurveColour(1), left), blue);

  // The default size.
  const std::string standard = File("standard.png");
  ASSERT_EQ(RunWith(ThreeCurves(standard)).status, kExitSolved);
  EXPECT_EQ(QImage(QString::fromStdString(standard)).size(), QSize(800, 500));
}

TEST_F(CliGraph, SvgAndPdfFilesCarryTheHeadingsAndTitles) {
  const std::string svg = File("curves.SVG");
  const CliRun r = RunWith(ThreeCurves(svg));
  ASSERT_EQ(r.status, kExitSolved) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string text = Contents(svg);
  EXPECT_EQ(text.rfind("<?xml", 0), 0u);
  EXPECT_NE(text.find("<svg"), std::string::npos);
  // The headings of a graph: the description and the fixed values, without
  // the table's line that names y, x and z.
  EXPECT_NE(text.find(">Student's unpaired t-test. 2-sided.</text>"), std::string::npos);
  EXPECT_NE(text.find("Mean 1*=.3"), std::string::npos);
  EXPECT_EQ(text.find("as a function of"), std::string::npos);
  // The axis titles: the captions of x, the unknown and z.
  EXPECT_NE(text.find(">Standard Deviation*</text>"), std::string::npos);
  EXPECT_NE(text.find(">Sample Size 1</text>"), std::string::npos);
  EXPECT_NE(text.find(">Mean 2*</text>"), std::string::npos);
  // Arial 9 points: 12 pixels at 96 dots per inch.
  EXPECT_NE(text.find("font-family=\"Arial\" font-size=\"12\""), std::string::npos);

  const std::string larger = File("larger.svg");
  ASSERT_EQ(RunWith(ThreeCurves(larger, {"--font", "DejaVu Sans", "--font-size", "12"})).status, kExitSolved);
  EXPECT_NE(Contents(larger).find("font-family=\"DejaVu Sans\" font-size=\"16\""), std::string::npos);

  const std::string pdf = File("curves.pdf");
  const CliRun p = RunWith(ThreeCurves(pdf));
  ASSERT_EQ(p.status, kExitSolved) << p.err;
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(Contents(pdf).rfind("%PDF", 0), 0u);
}

TEST_F(CliGraph, TheTableAndTheGraphOfOneRun) {
  const std::string svg = File("both.svg");
  std::vector<std::string> args = ThreeCurves(svg, {"--table"});
  const CliRun both = RunWith(args);
  ASSERT_EQ(both.status, kExitSolved) << both.err;
  EXPECT_TRUE(std::filesystem::exists(svg));
  // The table is the one printed without the graph.
  args.erase(args.begin() + 4, args.begin() + 6);
  EXPECT_EQ(both.out, RunWith(args).out);
  EXPECT_NE(both.out.find("Sample Size 1 as a function of Standard Deviation* and Mean 2*."),
            std::string::npos);
}

TEST_F(CliGraph, FailuresWriteNothing) {
  // Only the three types.
  for (const char* name : {"curves.txt", "curves", "curves.png.old"}) {
    const std::string path = File(name);
    const CliRun r = RunWith(ThreeCurves(path));
    EXPECT_EQ(r.status, kExitUsage) << name;
    EXPECT_NE(r.err.find("must end in .png, .svg or .pdf"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path)) << name;
  }
  // A folder that does not exist.
  const std::string lost = File("no-such-folder/curves.png");
  const CliRun w = RunWith(ThreeCurves(lost));
  EXPECT_EQ(w.status, kExitWriteFailed);
  EXPECT_EQ(w.out, "");
  EXPECT_NE(w.err.find("cannot be written"), std::string::npos) << w.err;
  EXPECT_FALSE(std::filesystem::exists(lost));

  // One x value gives no x-axis: the Graph window's message.
  const std::string single = File("single.png");
  std::vector<std::string> one = ThreeCurves(single);
  one[7] = "Standard Deviation*=0.5:0.5:0.1";
  const CliRun s = RunWith(one);
  EXPECT_EQ(s.status, kExitNotCalculable);
  EXPECT_EQ(s.err, "Insufficient resolution in the X direction !\n");
  EXPECT_EQ(s.out, "");
  EXPECT_FALSE(std::filesystem::exists(single));

  // No calculable point: the engine's message, no file.
  const std::string none = File("none.png");
  const CliRun n = RunWith({"--test", "1", "--tails", "1", "--unknown", "Sample Size", "--graph", none, "--x",
                            "Mean of Difference=-0.5:-0.1:0.2"});
  EXPECT_EQ(n.status, kExitNotCalculable);
  EXPECT_EQ(n.err, "Can't Be Calculated For Any x-value\n");
  EXPECT_FALSE(std::filesystem::exists(none));

  // The range flags are checked as for a table.
  const CliRun x = RunWith({"--test", "0", "--graph", File("x.png")});
  EXPECT_EQ(x.status, kExitUsage);
  EXPECT_NE(x.err.find("--graph needs --x NAME=MIN:MAX:STEP"), std::string::npos) << x.err;
  for (const char* size : {"10x10", "800", "800x", "x500", "800x6000", "800*500"}) {
    const CliRun r = RunWith(ThreeCurves(File("sized.png"), {"--graph-size", size}));
    EXPECT_EQ(r.status, kExitUsage) << size;
    EXPECT_NE(r.err.find("expected WxH in pixels, each from 100 to 5000"), std::string::npos) << r.err;
  }
  for (const char* dpi : {"49", "1201", "300dpi", ""}) {
    const CliRun r = RunWith(ThreeCurves(File("dpi.png"), {"--graph-dpi", dpi}));
    EXPECT_EQ(r.status, kExitUsage) << dpi;
    EXPECT_NE(r.err.find("expected dots per inch from 50 to 1200"), std::string::npos) << r.err;
  }
  EXPECT_EQ(RunWith({"--test", "0", "--graph-dpi", "300"}).status, kExitUsage);
  for (const char* points : {"0", "73", "nine", "9.5.1"}) {
    const CliRun r = RunWith(ThreeCurves(File("font.png"), {"--font-size", points}));
    EXPECT_EQ(r.status, kExitUsage) << points;
    EXPECT_NE(r.err.find("from 1 to 72"), std::string::npos) << r.err;
  }
  EXPECT_EQ(RunWith(ThreeCurves(File("json.png"), {"--json"})).status, kExitUsage);
  EXPECT_EQ(RunWith(ThreeCurves(File("csv.png"), {"--csv"})).status, kExitUsage);
}

TEST_F(CliGraph, WithoutItsDrawingProgramNothingIsDrawn) {
  ASSERT_NE(std::getenv("PELMORA_GRAPH_PROGRAM"), nullptr);
  const std::string drawing = std::getenv("PELMORA_GRAPH_PROGRAM");
  for (const auto& [program, says] : {std::pair{File("no-such-program"), "cannot be run"},
                                      std::pair{std::string("/bin/false"), "failed"}}) {
    setenv("PELMORA_GRAPH_PROGRAM", program.c_str(), 1);
    const CliRun r = RunWith(ThreeCurves(File("lost.png")));
    setenv("PELMORA_GRAPH_PROGRAM", drawing.c_str(), 1);
    EXPECT_EQ(r.status, kExitWriteFailed);
    EXPECT_EQ(r.err.rfind("pelmora-cli: --graph: the graph cannot be drawn: the drawing program \"" + program +
                              "\" " + says, 0),
              0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(File("lost.png")));
  }
}

#else

TEST(CliGraph, ThisBuildCannotDraw) {
  const CliRun r = RunWith(ThreeCurves("curves.png"));
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("this build cannot draw graphs"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

#endif

}  // namespace
}  // namespace pelmora
