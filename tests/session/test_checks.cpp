#include <gtest/gtest.h>

#include "session/checks.h"
#include "session/session.h"

namespace pelmora {
namespace {

// A session whose list holds the given ids with the given values.
class ChecksTest : public ::testing::Test {
 protected:
  ChecksTest() : s(ui) {}
  void List(std::initializer_list<std::pair<int, double>> entries) {
    int p = 0;
    for (auto [id, v] : entries) {
      s.ParameterList[p] = static_cast<std::int16_t>(id);
      s.ParameterValues[p] = v;
      ++p;
    }
    s.LastPosition = static_cast<std::int16_t>(p - 1);
  }
  RecordingUserInterface ui;
  Session s;
};

TEST_F(ChecksTest, ValueRangeMessagesAndBounds) {
  List({{0, 0.05}, {1, 1.0}, {58, 1e6}, {4, 3.0}});
  // A value equal to a bound passes.
  EXPECT_TRUE(CheckValueRange(s, 3, 3.0, 99999));
  EXPECT_TRUE(ui.messages.empty());
  // Power 1 above the single-precision limit 0.99999.
  EXPECT_FALSE(CheckValueRange(s, 1, s.entry(1).ParamLowerLimit(), s.entry(1).ParamUpperLimit()));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Power has to be less than or equal to 0.99999");
  EXPECT_EQ(ui.messages[0].title, "Pelmora");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
  // Lower bound only.
  s.value(3) = 2.5;
  EXPECT_FALSE(CheckValueRange(s, 3, 3.0, 99999));
  EXPECT_EQ(ui.LastText(), "Sample Size 1 has to be greater than or equal to 3");
  // No bounds: never range-checked.
  EXPECT_TRUE(CheckValueRange(s, 2, -99999, 99999));
  // Upper bound only, with a lower bound beyond the sentinel.
  EXPECT_FALSE(CheckValueRange(s, 2, -1e6, 10));
  EXPECT_EQ(ui.LastText(), "Mean* has to be less than or equal to 10");
}

TEST_F(ChecksTest, MissingValuesAreReportedFirst) {
  List({{0, 0.05}, {1, 0.8}, {58, 0}});
  s.entry(58).ParamText = "  ";
  EXPECT_FALSE(CheckValueRange(s, 2, -99999, 99999));
  EXPECT_EQ(ui.LastText(), "Mean* has no value");
  s.entry(58).ParamText = "-";
  EXPECT_FALSE(CheckValueRange(s, 2, 0, 1));
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(ChecksTest, BoundsAreFormattedWithSixDecimalsAtMost) {
  List({{0, 0.05}, {1, 0.8}, {2, 0.0}});
  EXPECT_FALSE(CheckValueRange(s, 2, s.entry(2).ParamLowerLimit(), s.entry(2).ParamUpperLimit()));
  EXPECT_EQ(ui.LastText(), "Standard Deviation has to be greater than or equal to 0.00001");
  s.value(2) = 5;
  EXPECT_FALSE(CheckValueRange(s, 2, 0.25, 1.0 / 3.0));
  EXPECT_EQ(ui.LastText(), "Standard Deviation has to be less than or equal to 0.333333");
}

TEST_F(ChecksTest, NotAboveAndOrderedPair) {
  List({{0, 0.05}, {1, 0.8}, {6, -0.4}, {7, 0.4}});
  EXPECT_TRUE(CheckOrderedPair(s, 3));
  s.value(2) = 0.5;
  EXPECT_FALSE(CheckOrderedPair(s, 3));
  EXPECT_EQ(ui.LastText(), "H0: Left Equivalence Limit has to be less than or equal to 0.4");
  s.UnknownPosition = 3;  // nothing to compare against an unknown
  EXPECT_TRUE(CheckOrderedPair(s, 3));
}

TEST_F(ChecksTest, RelativeValue) {
  List({{0, 0.05}, {1, 0.8}, {4, -2}, {5, -1}});
  // Ratio to a negative base: bounds [1, 4] require the ratio within [-2, -0.5].
  EXPECT_TRUE(CheckRelativeValue(s, 2, 3, 1, 4, 2));
  s.value(3) = -0.4;
  EXPECT_FALSE(CheckRelativeValue(s, 2, 3, 1, 4, 2));
  s.value(3) = -2.1;
  EXPECT_FALSE(CheckRelativeValue(s, 2, 3, 1, 4, 2));
  // Difference: base 10, absolute within [3, 99999] means difference >= -7.
  s.value(2) = 10;
  s.value(3) = -7;
  EXPECT_TRUE(CheckRelativeValue(s, 2, 3, 3, 99999, 1));
  s.value(3) = -7.5;
  EXPECT_FALSE(CheckRelativeValue(s, 2, 3, 3, 99999, 1));
  EXPECT_EQ(ui.LastText(), "Sample Size 2 / Sample Size 1 has to be greater than or equal to -7");
  // Base 0 in ratio form, unknown base, unknown quantity, other modes: pass.
  s.value(2) = 0;
  EXPECT_TRUE(CheckRelativeValue(s, 2, 3, 3, 4, 2));
  s.UnknownPosition = 2;
  EXPECT_TRUE(CheckRelativeValue(s, 2, 3, 3, 4, 1));
  s.UnknownPosition = 3;
  EXPECT_TRUE(CheckRelativeValue(s, 2, 3, 3, 4, 0));
  s.UnknownPosition = 0;
  EXPECT_TRUE(CheckRelativeValue(s, 2, 3, 3, 4, 7));
}

TEST_F(ChecksTest, SizesWithinPopulations) {
  // n1, n2 (difference), N1, N2 (ratio).
  List({{0, 0.05}, {1, 0.8}, {39, 30}, {38, 10}, {196, 100}, {199, 0.5}});
  s.ValueMode = 1;
  EXPECT_TRUE(CheckSizesWithinPopulations(s, 2, 2));  // n2 = 40 <= N2 = 50
  s.value(5) = 0.3;                                   // N2 = 30 < n2 = 40
  EXPECT_FALSE(CheckSizesWithinPopulations(s, 2, 2));
  s.value(5) = 0.5;
  s.value(4) = 20;  // N1 below n1
  EXPECT_FALSE(CheckSizesWithinPopulations(s, 2, 2));
}

TEST_F(ChecksTest, TailedIntervalForTheEstimate) {
  List({{0, 0.05}, {1, 0.8}, {57, 0.5}, {58, 0.8}});
  s.UnknownPosition = 3;
  double lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -99999, 99999, 0);
  EXPECT_EQ(lo, 0.5);
  EXPECT_EQ(hi, 99999);
  s.RejectInLeftTail = kTrue;
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -99999, 99999, 0);
  EXPECT_EQ(lo, -99999);
  EXPECT_EQ(hi, 0.5);
  // Difference form: the difference stays on the rejection side of 0.
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -99999, 99999, 1);
  EXPECT_EQ(hi, 0.0);
  // Ratio form with a negative null value, right tail: ratio at most 1.
  s.RejectInLeftTail = kFalse;
  s.value(2) = -2;
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -10, 10, 2);
  EXPECT_EQ(lo, -5);
  EXPECT_EQ(hi, 1);
  // Ratio form with a null value 0: empty.
  s.value(2) = 0;
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -10, 10, 2);
  EXPECT_GE(lo, hi);
}

TEST_F(ChecksTest, TailedIntervalForTheNullValue) {
  List({{0, 0.05}, {1, 0.8}, {57, 0.0}, {60, 1.5}});
  s.UnknownPosition = 2;
  double lo = -99999, hi = 99999;
  // Ratio 1.5 > 1, right tail: the null value must be positive.
  RelativeSearchIntervalTailed(s, lo, hi, 2, -99999, 99999, 2);
  EXPECT_EQ(lo, 0.0);
  EXPECT_GT(hi, 0.0);
  // Difference form: empty unless the difference lies on the rejection side.
  s.value(3) = -0.2;
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -99999, 99999, 1);
  EXPECT_GE(lo, hi);
  s.RejectInLeftTail = kTrue;
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -99999, 99999, 1);
  EXPECT_LT(lo, hi);
  // A negative ratio: the null value keeps its estimate h x e inside the
  // bounds and, rejecting left, is positive (the estimate lies below it).
  s.value(3) = -2;
  lo = -99999, hi = 99999;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -10, 10, 2);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 5.0);
  // Unknown elsewhere: unchanged.
  s.UnknownPosition = 4;
  lo = 1, hi = 2;
  RelativeSearchIntervalTailed(s, lo, hi, 2, -10, 10, 2);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 2);
}

TEST_F(ChecksTest, SampleSizeLowerBounds) {
  List({{0, 0.05}, {1, 0.8}, {39, 30}, {5, 0.5}});
  s.ValueMode = 2;
  double lo = 3;
  LowerBoundBaseSize(s, 3, lo);
  EXPECT_DOUBLE_EQ(lo, 2 * static_cast<double>(2.00001f));
  EXPECT_NEAR(lo, 4.00002, 1e-6);
  s.value(3) = 2;
  LowerBoundBaseSize(s, 3, lo);
  EXPECT_EQ(lo, static_cast<double>(2.00001f));
  s.ValueMode = 1;
  s.value(3) = 10;
  LowerBoundBaseSize(s, 3, lo);
  EXPECT_EQ(lo, static_cast<double>(2.00001f));
  s.value(3) = -10;
  LowerBoundBaseSize(s, 3, lo);
  EXPECT_NEAR(lo, 12.00001, 1e-6);
  LowerBoundRelativeSize(s, 2, lo);  // difference to n1 = 30
  EXPECT_NEAR(lo, -27.99999, 1e-6);
}

TEST_F(ChecksTest, NarrowByTail) {
  double lo = 0, hi = 10;
  NarrowByTail(s, lo, hi, 4);
  EXPECT_EQ(hi, 4);
  NarrowByTailReversed(s, lo, hi, 1);
  EXPECT_EQ(lo, 1);
  s.RejectInLeftTail = kTrue;
  NarrowByTail(s, lo, hi, 2);
  EXPECT_EQ(lo, 2);
  NarrowByTailReversed(s, lo, hi, 3);
  EXPECT_EQ(hi, 3);
}

TEST_F(ChecksTest, MeanPairKeepsTheDifferenceOnTheRejectionSide) {
  // H0 difference, m1, m2 in three forms.
  List({{0, 0.05}, {1, 0.8}, {61, 0.1}, {86, 0.3}, {87, 0.6}});
  double lo, hi;
  s.UnknownPosition = 3;  // m1, form 0: m2 - m1 > 0.1 means m1 < 0.5
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 0);
  EXPECT_NEAR(hi, 0.5, 1e-12);
  s.UnknownPosition = 4;  // m2: above m1 + x
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 0);
  EXPECT_NEAR(lo, 0.4, 1e-12);
  s.UnknownPosition = 2;  // the null difference: below m2 - m1
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 0);
  EXPECT_NEAR(hi, 0.3, 1e-12);
  // Ratio form: m2 = r m1; unknown m1 with r = 2: (r - 1) m1 > x gives m1 > 0.1.
  s.value(4) = 2;
  s.UnknownPosition = 3;
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 2);
  EXPECT_NEAR(lo, 0.1, 1e-12);
  // r = 1 closes the interval.
  s.value(4) = 1;
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 2);
  EXPECT_GE(lo, hi);
  // Difference form, unknown m1: right tail needs x < d.
  s.value(4) = 0.05;
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 1);
  EXPECT_GE(lo, hi);
  // Left tail flips it.
  s.RejectInLeftTail = kTrue;
  lo = -99999, hi = 99999;
  MeanPairSearchInterval(s, lo, hi, 0.1, 2, -99999, 99999, 1);
  EXPECT_LT(lo, hi);
}

TEST_F(ChecksTest, RatioAndScaleIntervals) {
  List({{0, 0.05}, {1, 0.8}, {127, 1.0}, {124, 2.0}, {141, 3.0}});
  double lo = 0, hi = 99999;
  s.UnknownPosition = 2;
  RatioSearchInterval(s, lo, hi, 1.0, 2, 0);
  EXPECT_EQ(hi, 1.5);
  s.UnknownPosition = 4;
  lo = 0, hi = 99999;
  RatioSearchInterval(s, lo, hi, 1.0, 2, 0);
  EXPECT_EQ(lo, 2.0);
  s.UnknownPosition = 3;
  lo = 0, hi = 99999;
  RatioSearchInterval(s, lo, hi, 2.0, 2, 1);  // ratio 3 > null 2: open
  EXPECT_LT(lo, hi);
  lo = 0, hi = 99999;
  RatioSearchInterval(s, lo, hi, 4.0, 2, 1);  // ratio 3 < null 4: closed
  EXPECT_GE(lo, hi);

  s.UnknownPosition = 2;
  lo = 0, hi = 99999;
  ScaleSearchInterval(s, lo, hi, 2, 0);
  EXPECT_EQ(hi, 1.5);
  s.UnknownPosition = 4;
  lo = 0, hi = 99999;
  ScaleSearchInterval(s, lo, hi, 2, 0);
  EXPECT_EQ(lo, 2.0);
  s.UnknownPosition = 5;  // not concerned
  lo = 0, hi = 7;
  ScaleSearchInterval(s, lo, hi, 2, 0);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 7);
}

TEST_F(ChecksTest, SampleSizesWithinPopulationsInterval) {
  List({{0, 0.05}, {1, 0.8}, {39, 30}, {37, 40}, {196, 100}, {197, 50}});
  s.ValueMode = 0;
  double lo = 3, hi = 99999;
  s.UnknownPosition = 2;
  SampleSizeSearchInterval(s, 2, lo, hi, 0);
  EXPECT_EQ(hi, 99);
  s.UnknownPosition = 3;
  lo = 3, hi = 99999;
  SampleSizeSearchInterval(s, 2, lo, hi, 0);
  EXPECT_EQ(hi, 49);
  s.UnknownPosition = 4;
  lo = 3, hi = 99999;
  SampleSizeSearchInterval(s, 2, lo, hi, 0);
  EXPECT_EQ(lo, 31);
  s.UnknownPosition = 5;
  lo = 3, hi = 99999;
  SampleSizeSearchInterval(s, 2, lo, hi, 0);
  EXPECT_EQ(lo, 41);
}

}  // namespace
}  // namespace pelmora
