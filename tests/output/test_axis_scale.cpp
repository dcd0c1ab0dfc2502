#include <gtest/gtest.h>

#include <string>

#include "format/number_format.h"
#include "output/axis_scale.h"
#include "session/user_interface.h"

namespace pelmora {
namespace {

struct Scale {
  Single minimum;
  Single maximum;
};

Scale Scaled(Single xmin, Single xmax, std::int16_t n) {
  Scale s{};
  ScaleAxis(xmin, xmax, n, s.minimum, s.maximum);
  return s;
}

// ---- ScaleAxis: hand-worked scales -----------------------------------------

struct ScaleCase {
  Single xmin, xmax;
  std::int16_t intervals;
  Single minimum, maximum;
};

// clang-format off
const ScaleCase kScales[] = {
  // a = 0.074, nal = -2, b = 7.4 -> factor 10, dist = 0.1; m1 = 1, m2 = 9, np = 8, nx = 1: 0 .. 1 in tenths
  {0.13f, 0.87f, 10, 0, 1},
  // a = 9.4, nal = 0, b = 9.4 -> factor 10, dist = 10; m1 = 0, m2 = 10
  {3, 97, 10, 0, 100},
  // negative data mirror the positive case: dist = 0.1; m1 = -9 (truncated -8, minus 1), m2 = -1 (truncated
  // 0, minus 1); np = 8, nx = 1: -1 .. 0
  {-0.87f, -0.13f, 10, -1, 0},
  // data on ticks keep their ends: 0 .. 1 in tenths, m2 = 11 taken back to 10 by the tolerance; 2 .. 4 in
  // fifths of one, dist 0.2, m1 = 10 exactly
  {0, 1, 10, 0, 1},
  {2, 4, 10, 2, 4},
  // 0.9 .. 1.1 in one interval: the lengths 0.2, 0.5 and 1 each need two intervals; 2 needs one: 0 .. 2
  {0.9f, 1.1f, 1, 0, 2},
  // 1.9 .. 2.1 in one interval: even the length 2 needs two intervals; nx = -0.5 rounds to 0, so the scale is
  // 0 .. 2 and its top is moved to 2.1
  {1.9f, 2.1f, 1, 0, 2.1f},
  // 0 .. 10 with dist 1 uses ten intervals; spare intervals are shared halves to even: eleven asked, nx = 0.5
  // -> 0, the spare interval goes on top; thirteen asked: nx = 1.5 -> 2
  {0, 10, 11, 0, 11},
  {0, 10, 13, -2, 11},
  // exactly n intervals of a nice length: a = 4.49 -> factor 5, dist = 5
  {-3.7f, 41.2f, 10, -5, 45},
  // outside its requirements it returns the data
  {1, 1, 10, 1, 1},
  {0, 1, 0, 0, 1},
};
// clang-format on

TEST(ScaleAxis, HandWorkedScales) {
  for (const ScaleCase& c : kScales) {
    const Scale s = Scaled(c.xmin, c.xmax, c.intervals);
    EXPECT_NEAR(s.minimum, c.minimum, 1e-6) << c.xmin << " .. " << c.xmax << " in " << c.intervals;
    EXPECT_NEAR(s.maximum, c.maximum, 1e-6) << c.xmin << " .. " << c.xmax << " in " << c.intervals;
  }
  const Scale tenths = Scaled(0.13f, 0.87f, 10);
  EXPECT_NEAR(RoundAxisEnd(tenths.minimum), 0.0, 1e-9);
  EXPECT_NEAR(RoundAxisEnd(tenths.maximum), 1.0, 1e-7);
}

TEST(ScaleAxis, AxisEndsLoseTheirNoise) {
  EXPECT_DOUBLE_EQ(RoundAxisEnd(0.30000000004), 0.3);
  EXPECT_DOUBLE_EQ(RoundAxisEnd(-2.00000000004), -2.0);
  EXPECT_EQ(RoundAxisEnd(0.00000000004), 0.0);
  // Ends a unit in a single's last place off a round number, and ends moved
  // out to the data, which must stay inside.
  const struct {
    Single lo, hi;
    std::int16_t intervals;
    double minimum, maximum;
  } rows[] = {{0.2f, 0.85f, 10, 0, 1},      {0.3f, 0.99999f, 10, 0.1, 1.1}, {-0.3f, 0.3f, 10, -0.5, 0.5},
              {-0.3f, 0.3f, 13, -0.3, 0.35}, {12, 987, 10, 0, 1000},        {0.5f, 1.5f, 11, 0.5, 1.6}};
  for (const auto& r : rows) {
    const Scale s = Scaled(r.lo, r.hi, r.intervals);
    double minimum = 0, maximum = 0;
    RoundScaledEnds(s.minimum, s.maximum, minimum, maximum);
    EXPECT_EQ(minimum, r.minimum) << r.lo << " .. " << r.hi;
    EXPECT_EQ(maximum, r.maximum) << r.lo << " .. " << r.hi;
  }
  double minimum = 0, maximum = 0;
  RoundScaledEnds(0.1234567f, 0.8512346f, minimum, maximum);
  EXPECT_TRUE(minimum <= 0.1234567f && maximum >= 0.8512346f) << minimum << " .. " << maximum;
}

// ---- Requested interval counts ---------------------------------------------

TEST(AxisIntervals, XAsksOnePerValueUpToTwenty) {
  EXPECT_EQ(RequestedXIntervals(25), 20);
  EXPECT_EQ(RequestedXIntervals(12), 12);
  EXPECT_EQ(RequestedXIntervals(20), 20);
  EXPECT_EQ(RequestedXIntervals(21), 20);
  EXPECT_EQ(RequestedXIntervals(1), 1);
  EXPECT_EQ(kRequestedYIntervals, 10);
}

TEST(AxisIntervals, AutomaticOnlyWhenBothEndsAreZero) {
  EXPECT_TRUE(AxisIsAutomatic(0, 0));
  EXPECT_FALSE(AxisIsAutomatic(0, 1));
  EXPECT_FALSE(AxisIsAutomatic(-1, 0));
}

// ---- Tick-label patterns ---------------------------------------------------

TEST(TickLabelPattern, MostDecimalsDecide) {
  EXPECT_EQ(TickLabelPattern(0, 0.5), "##.0#");       // midpoint 0.25
  EXPECT_EQ(TickLabelPattern(0, 1), "##.0");          // midpoint 0.5
  EXPECT_EQ(TickLabelPattern(10, 10.25), "###.0##");  // midpoint 10.125
  EXPECT_EQ(TickLabelPattern(-12.5, -2.5), "###.0");  // the minimum, two digits
  EXPECT_EQ(TickLabelPattern(0.05, 0.1), "##.0##");   // midpoint 0.075
}

TEST(TickLabelPattern, FirstOfEqualDecimalsDecides) {
  // 1.5, 12.5 and 7: the minimum (one integer digit) decides.
  EXPECT_EQ(TickLabelPattern(1.5, 12.5), "##.0");
}

TEST(TickLabelPattern, NoiseBeyondSevenDecimalsIsIgnored) {
  // Ends computed in single precision and rounded to 10^-10.
  const double lo = RoundAxisEnd(0.1f);
  const double hi = RoundAxisEnd(1.1f);
  EXPECT_EQ(TickLabelPattern(lo, hi), "##.0");
  EXPECT_EQ(TickLabelPattern(0.000000004, 2), "#0");
}

TEST(TickLabelPattern, WholeAxesUseTheLongestIntegerPart) {
  EXPECT_EQ(TickLabelPattern(0, 100), "###0");
  EXPECT_EQ(TickLabelPattern(-2000, 0), "####0");
  EXPECT_EQ(TickLabelPattern(0, 2), "#0");
}

TEST(TickLabelPattern, ATickWithMoreDecimalsKeepsTheLabelsApart) {
  // 0.3 .. 1.3 by 0.05: the ends and the midpoint have one decimal, and
  // ".35" written with one would read ".4" like its neighbour.
  const std::string pattern = TickLabelPattern(0.3, 1.3, 0.05);
  EXPECT_EQ(pattern, "##.0#");
  EXPECT_EQ(FormatPattern(0.35, pattern), ".35");
  EXPECT_EQ(FormatPattern(0.4, pattern), ".4");
  EXPECT_EQ(TickLabelPattern(0, 10, 0.5), "###.0");
  // A tick with no more decimals leaves the choice of the ends.
  EXPECT_EQ(TickLabelPattern(0, 0.5, 0.05), "##.0#");
  EXPECT_EQ(TickLabelPattern(0, 100, 10), "###0");
}

TEST(TickLabelPattern, LabelsWrittenWithIt) {
  const std::string pattern = TickLabelPattern(0, 0.5);
  EXPECT_EQ(FormatPattern(0.25, pattern), ".25");
  EXPECT_EQ(FormatPattern(0.1, pattern), ".1");
  EXPECT_EQ(FormatPattern(12.5, TickLabelPattern(10, 15)), "12.5");
}

// ---- Checks of user-fixed axes ---------------------------------------------

void ExpectOneMessage(const RecordingUserInterface& ui, const std::string& text) {
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, text);
  EXPECT_EQ(ui.messages[0].title, "Can't Calculate");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
}

TEST(AxisChecks, ValuePresent) {
  RecordingUserInterface ui;
  EXPECT_FALSE(CheckValuePresent(ui, " 0 "));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(CheckValuePresent(ui, "   "));
  ExpectOneMessage(ui, "A Value Is Missing");
  RecordingUserInterface empty;
  EXPECT_TRUE(CheckValuePresent(empty, ""));
  ExpectOneMessage(empty, "A Value Is Missing");
}

TEST(AxisChecks, MinBelowMaxWithPositiveTick) {
  RecordingUserInterface ui;
  EXPECT_FALSE(CheckMinBelowMax(ui, "1", "1", "0.1"));  // equal values pass
  EXPECT_FALSE(CheckMinBelowMax(ui, "5", "1", "-1"));   // a negative tick runs downward
  EXPECT_FALSE(CheckMinBelowMax(ui, "5", "1", "0"));    // the tick check speaks for a zero
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(CheckMinBelowMax(ui, "5", "1", "1"));
  ExpectOneMessage(ui, "Error In Relation: Min = 5 > Max = 1");
}

TEST(AxisChecks, MinBelowMaxReadsTheDecimalComma) {
  RecordingUserInterface ui;
  EXPECT_TRUE(CheckMinBelowMax(ui, "1,5", "1,2", "0,1"));
  ExpectOneMessage(ui, "Error In Relation: Min = 1,5 > Max = 1,2");
}

TEST(AxisChecks, TickNotZero) {
  RecordingUserInterface ui;
  EXPECT_FALSE(CheckTickNotZero(ui, "0.1"));
  EXPECT_FALSE(CheckTickNotZero(ui, "-2"));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(CheckTickNotZero(ui, "0"));
  ExpectOneMessage(ui, "0  Is Not Allowed");
  RecordingUserInterface comma;
  EXPECT_TRUE(CheckTickNotZero(comma, "0,0"));
  ExpectOneMessage(comma, "0,0  Is Not Allowed");
}

TEST(AxisChecks, IntervalCount) {
  RecordingUserInterface ui;
  EXPECT_FALSE(CheckIntervalCount(ui, "0", "20", "0.1", 200));   // exactly 200
  EXPECT_FALSE(CheckIntervalCount(ui, "1", "0", "-0.01", 200));  // 100 downward
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(CheckIntervalCount(ui, "0", "1", "0.001", 200));  // 1000 intervals
  ExpectOneMessage(ui,
                   "Min = 0,  Max = 1  and  Tick = 0.001  Results In Too Many Intervals   "
                   "(Maximum Number =  200)");
  RecordingUserInterface over;
  EXPECT_TRUE(CheckIntervalCount(over, "0", "20,1", "-0,1", 200));  // 201
  ExpectOneMessage(over,
                   "Min = 0,  Max = 20,1  and  Tick = -0,1  Results In Too Many Intervals   "
                   "(Maximum Number =  200)");
}

TEST(AxisChecks, AllAcceptedSaysNothing) {
  RecordingUserInterface ui;
  EXPECT_EQ(CheckUserAxes(ui, {"0", "10", "1"}, {"0", "1", "0.1"}), std::nullopt);
  EXPECT_EQ(CheckUserAxes(ui, {"0", "0", "0.5"}, {"0", "0", "1"}), std::nullopt);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(AxisChecks, PresenceComesFirst) {
  RecordingUserInterface ui;
  // The x relation is wrong as well, but the missing y tick is found first.
  EXPECT_EQ(CheckUserAxes(ui, {"5", "1", "1"}, {"0", "1", " "}), AxisBox::YTick);
  ExpectOneMessage(ui, "A Value Is Missing");
  RecordingUserInterface first;
  EXPECT_EQ(CheckUserAxes(first, {"0", "", ""}, {"", "1", "1"}), AxisBox::XMax);
  ExpectOneMessage(first, "A Value Is Missing");
}

TEST(AxisChecks, RelationsBeforeTicks) {
  RecordingUserInterface ui;
  // x tick 0 and y min > y max: the y relation is checked before the x tick.
  EXPECT_EQ(CheckUserAxes(ui, {"0", "1", "0"}, {"3", "2", "1"}), AxisBox::YMin);
  ExpectOneMessage(ui, "Error In Relation: Min = 3 > Max = 2");
  RecordingUserInterface x;
  EXPECT_EQ(CheckUserAxes(x, {"2", "1", "1"}, {"3", "2", "1"}), AxisBox::XMin);
  ExpectOneMessage(x, "Error In Relation: Min = 2 > Max = 1");
}

TEST(AxisChecks, XTicksBeforeYTicks) {
  RecordingUserInterface ui;
  EXPECT_EQ(CheckUserAxes(ui, {"0", "1", "0.001"}, {"0", "1", "0"}), AxisBox::XTick);
  ExpectOneMessage(ui,
                   "Min = 0,  Max = 1  and  Tick = 0.001  Results In Too Many Intervals   "
                   "(Maximum Number =  200)");
  RecordingUserInterface y;
  EXPECT_EQ(CheckUserAxes(y, {"0", "1", "0.1"}, {"0", "1", "0"}), AxisBox::YTick);
  ExpectOneMessage(y, "0  Is Not Allowed");
  RecordingUserInterface count;
  EXPECT_EQ(CheckUserAxes(count, {"0", "1", "0.1"}, {"0", "100", "0.1"}), AxisBox::YTick);
  ExpectOneMessage(count,
                   "Min = 0,  Max = 100  and  Tick = 0.1  Results In Too Many Intervals   "
                   "(Maximum Number =  200)");
}

}  // namespace
}  // namespace pelmora
