// The calculation drivers: the range validation and
// steps, the progress display and cancelling, the headings.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/calculation.h"
#include "output/range_headings.h"
#include "procedures/hypothesis/student_t.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;

TEST(RangeSteps, CountAndLastStep) {
  auto xs = RangeSteps(2, 10, 2);
  EXPECT_EQ(xs, (std::vector<double>{2, 4, 6, 8, 10}));
  xs = RangeSteps(0, 1, 0.1f);
  ASSERT_EQ(xs.size(), 11u);
  EXPECT_NEAR(xs.back(), 1.0, 1e-6);
  xs = RangeSteps(10, 2, -2);
  EXPECT_EQ(xs, (std::vector<double>{10, 8, 6, 4, 2}));
  EXPECT_EQ(RangeSteps(3, 3, 1).size(), 1u);
  EXPECT_EQ(RangeSteps(0, 99, 1).size(), 100u);
}

TEST(RangeSteps, ZValues) {
  EXPECT_EQ(ParseZValues("  0,5 1 2.5 "), (std::vector<Single>{0.5f, 1.0f, 2.5f}));
  EXPECT_TRUE(ParseZValues("   ").empty());
  EXPECT_EQ(ParseZValues("7").size(), 1u);
}

class Drivers : public testing::PlanningTest {
 protected:
  void SetUp() override {
    d.Select(Procedure::UnpairedT);
    d.SetTailCount(2);
    d.SetForm(2, 2);  // equal sample sizes through the ratio form
    d.ApplyOptions();
    // y: the first sample size; x: the standard deviation; z: the second mean.
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::SampleSize1));
    s.XPosition = static_cast<std::int16_t>(PositionOf(Ids::Sd));
    s.ZPosition = static_cast<std::int16_t>(PositionOf(Ids::Mean2));
  }
  void Range(const std::string& mn, const std::string& mx, const std::string& st, const std::string& z) {
    CatalogueEntry& x = s.entry(Ids::Sd);
    x.TableMin = mn;
    x.TableMax = mx;
    x.TableStep = st;
    s.entry(Ids::Mean2).ZValueText = z;
    s.ResultsCurrent = false;
    s.CalcStopped = false;
  }
};

TEST_F(Drivers, SingleSolveAndItsCurrentFlag) {
  s.UnknownPosition = 0;
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::Solved);
  // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58) = 0.748046, shown as 0.74805
  EXPECT_EQ(s.entry(0).ParamText, "0.74805");
  EXPECT_TRUE(s.ResultsCurrent);
  s.entry(0).ParamText = "0.05";
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::AlreadyCurrent);
  EXPECT_EQ(s.entry(0).ParamText, "0.05");
}

TEST_F(Drivers, ARejectedCheckShowsADash) {
  s.entry(Ids::Sd).ParamText = "";
  EXPECT_EQ(CalculateSingle(d), SingleOutcome::Rejected);
  EXPECT_EQ(ui.LastText(), "Standard Deviation* has no value");
  EXPECT_EQ(s.entry(Ids::SampleSize1).ParamText, "-");
  EXPECT_TRUE(s.ResultsCurrent);  // nothing is retried until a value changes
}

TEST_F(Drivers, AFaultInTheCriterionIsNotCalculable) {
  // A standard deviation of 0 makes the standard error 0: a division by zero
  // inside the t statistic.  Forced past the checks by calling the solve.
  ReadParameterValues(s);
  s.value(PositionOf(Ids::Sd)) = 0;
  s.UnknownPosition = 0;
  const SolveOutcome o = SolveAtOnePoint(d);
  EXPECT_EQ(o.kind, NoValueKind::Fault);
  EXPECT_LE(o.evaluations, 502);
}

TEST_F(Drivers, RangeValidationMessages) {
  Range("2", "1", "0.5", "0.5");
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Invalid);
  EXPECT_EQ(ui.LastText(), "Xmin must be < Xmax if Xstep > 0");
  EXPECT_TRUE(s.CalcStopped);
  Range("1", "2", "-0.5", "0.5");
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Invalid);
  EXPECT_EQ(ui.LastText(), "Xmin must be > Xmax if Xstep < 0");
  Range("1", "2", "0", "0.5");
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Invalid);
  EXPECT_EQ(ui.LastText(), "Xstep must be # 0");
  Range("0", "99", "0,99", "0.5");
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Invalid);
  EXPECT_EQ(ui.LastText(), "Maximum number of steps is 100");
  EXPECT_EQ(ui.messages.size(), 4u);
}

TEST_F(Drivers, RangeFillsTheResults) {
  Range("0.5", "1.5", "0.25", "0.5 0.6 0,7");
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  ASSERT_EQ(s.XValues.size(), 5u);
  ASSERT_EQ(s.YValues.size(), 3u);
  EXPECT_EQ(s.ZValues, (std::vector<Single>{0.5f, 0.6f, 0.7f}));
  EXPECT_FLOAT_EQ(s.XValues[4], 1.5f);
  // Larger differences and smaller SDs need fewer subjects.
  EXPECT_LT(s.YValues[2][0], s.YValues[0][0]);
  EXPECT_LT(s.YValues[0][0], s.YValues[0][4]);
  EXPECT_EQ(s.YMin, s.YValues[2][0]);
  EXPECT_EQ(s.YMax, s.YValues[0][4]);
  // Each point agrees with a single solve at the same values.
  s.entry(Ids::Sd).ParamText = "1";
  s.entry(Ids::Mean2).ParamText = "0.6";
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved);
  EXPECT_NEAR(s.value(s.UnknownPosition), s.YValues[1][2], 1e-3);
}

TEST_F(Drivers, PointsThatCannotBeCalculated) {
  // One-sided with rejection to the left: no mean 2 above mean 1 gives a root.
  d.SetTailCount(1);
  d.SetRejectInLeftTail(true);
  d.ApplyOptions();
  s.UnknownPosition = static_cast<std::int16_t>(PositionOf(Ids::SampleSize1));
  Range("0.5", "1.5", "0.5", "0.5 0.6");
  EXPECT_EQ(CalculateRange(d), RangeOutcome::NothingCalculable);
  EXPECT_EQ(ui.LastText(), "Can't Be Calculated For Any x-value");
  EXPECT_TRUE(s.CalcStopped);
  // Mixed: mean 2 below mean 1 is calculable, above it is not.
  Range("0.5", "1.5", "0.5", "0.1 0.5");
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Done);
  EXPECT_TRUE(IsCalculated(s.YValues[0][0]));
  EXPECT_FALSE(IsCalculated(s.YValues[1][0]));
}

TEST_F(Drivers, ARejectedPointStopsTheRangeBeforeSolving) {
  Range("-0.5", "0.5", "0.5", "0.5");  // a negative standard deviation
  EXPECT_EQ(CalculateRange(d), RangeOutcome::Rejected);
  EXPECT_EQ(ui.LastText(), "Standard Deviation* has to be greater than or equal to 0.00001");
  EXPECT_TRUE(s.XValues.empty());
}

class RecordingProgress : public RangeProgress {
 public:
  explicit RecordingProgress(Session& s, int cancelAt) : s_(s), cancelAt_(cancelAt) {}
  void Show(int maximum) override { shownWith = maximum; }
  void SetValue(int value) override { values.push_back(value); }
  void Hide() override { hidden = true; }
  void ProcessEvents() override {
    if (++events == cancelAt_) s_.CalcStopped = true;  // the user presses Cancel
  }
  int shownWith = -1;
  std::vector<int> values;
  bool hidden = false;
  int events = 0;

 private:
  Session& s_;
  int cancelAt_;
};

TEST_F(Drivers, ProgressAppearsForLongRunsAndCancelStops) {
  // The results of an earlier run survive a cancelled one.
  Range("0.5", "1.5", "0.5", "0.5");
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  const std::vector<Single> earlierX = s.XValues;
  const std::vector<std::vector<Single>> earlierY = s.YValues;
  Range("0.5", "1.5", "0.25", "0.5 0.6 0.7");
  double fake = 0;
  // Every clock reading is two seconds later: the first point predicts a long run.
  auto clock = [&] { return fake += 2.0; };
  RecordingProgress progress(s, 4);
  EXPECT_EQ(CalculateRange(d, &progress, clock), RangeOutcome::Cancelled);
  EXPECT_EQ(progress.shownWith, 15);
  EXPECT_EQ(progress.values, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(progress.hidden);
  EXPECT_FALSE(s.ResultsCurrent);
  EXPECT_EQ(s.XValues, earlierX);
  EXPECT_EQ(s.YValues, earlierY);

  // A quick run never shows it.
  Range("0.5", "1.5", "0.25", "0.5");
  RecordingProgress quiet(s, -1);
  double still = 0;
  EXPECT_EQ(CalculateRange(d, &quiet, [&] { return still; }), RangeOutcome::Done);
  EXPECT_EQ(quiet.shownWith, -1);
}

TEST_F(Drivers, RangeHeadings) {
  d.BuildDescription();
  ReadParameterValues(s);
  BuildRangeHeadings(s, true);
  ASSERT_EQ(s.RangeHeadings.size(), 4u);
  EXPECT_EQ(s.RangeHeadings[0], "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(s.RangeHeadings[1], "Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
  // Fixed: P-value, H0, Mean 1*, the size ratio, three to a line; position 1
  // (Power, without a value box) is not among them.  Eight value boxes give
  // (8 - 4) \ 3 + 1 = 2 lines.
  EXPECT_EQ(s.RangeHeadings[2], "P-value=.05    H0: Mean 2 - Mean 1=0    Mean 1*=.3");
  EXPECT_EQ(s.RangeHeadings[3], "Sample Size 2 / Sample Size 1=1");
  // The values come from their texts, read or not.
  s.entryAt(0).ParamText = "0,01";
  BuildRangeHeadings(s, true);
  EXPECT_EQ(s.RangeHeadings[2], "P-value=.01    H0: Mean 2 - Mean 1=0    Mean 1*=.3");
  BuildRangeHeadings(s, false);
  EXPECT_EQ(s.RangeHeadings.size(), 3u);
}

}  // namespace
}  // namespace pelmora
