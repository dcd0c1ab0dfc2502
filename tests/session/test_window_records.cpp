// The life of the window records: numbers by kind, the cascade, storing and
// restoring a window's selection, the unsaved-changes flag, the reset after
// the last window, and the rows of a Calculation window.
#include <gtest/gtest.h>

#include "engine/calculation.h"
#include "procedures/hypothesis/student_t.h"
#include "session/calculation_rows.h"
#include "engine/window_activation.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;

class WindowRecords : public testing::PlanningTest {
 protected:
  // A Calculation window with the unpaired t-test confirmed and solved.
  int SolvedTTestWindow() {
    const int r = OpenWindowRecord(s, WindowKind::Calculation);
    d.Select(Procedure::UnpairedT);
    d.ApplyOptions();
    CalculateSingle(d);
    return r;
  }
};

TEST_F(WindowRecords, NumbersCountByKindAndRestartAfterTheLastWindow) {
  EXPECT_EQ(OpenWindowRecord(s, WindowKind::Graph), 1);
  OpenWindowRecord(s, WindowKind::Graph);
  OpenWindowRecord(s, WindowKind::Table);
  const int r = OpenWindowRecord(s, WindowKind::Graph);
  EXPECT_EQ(s.records[static_cast<std::size_t>(r)].title, "Graph 3");
  EXPECT_EQ(s.records[3].title, "Table 1");
  EXPECT_EQ(s.GraphNumber, 3);
  EXPECT_EQ(s.ActiveRecord, r);
  EXPECT_EQ(WindowCaption(WindowKind::Calculation, 12), "Calculation 12");

  EXPECT_EQ(NextCascadePlace(s).left, 0);
  const CascadePlace second = NextCascadePlace(s);
  EXPECT_EQ(second.left, 150);
  EXPECT_EQ(second.top, 350);

  for (int k = 1; k <= 3; ++k) EXPECT_NE(CloseWindowRecord(d, k), 0);
  EXPECT_EQ(s.ActiveRecord, 4);
  EXPECT_EQ(CloseWindowRecord(d, 4), 0);
  EXPECT_EQ(s.ActiveRecord, 0);
  EXPECT_EQ(s.records.size(), 1u);
  EXPECT_EQ(s.CascadeLeft, -150);
  EXPECT_EQ(s.CascadeTop, -350);
  OpenWindowRecord(s, WindowKind::Graph);
  EXPECT_EQ(s.records.back().title, "Graph 1");
}

TEST_F(WindowRecords, ANewWindowClearsTheSelection) {
  SolvedTTestWindow();
  OpenWindowRecord(s, WindowKind::Calculation);
  EXPECT_TRUE(s.TestName.empty());
  EXPECT_EQ(s.LastPosition, 0);
  EXPECT_FALSE(s.ResultsCurrent);
  // The first window's settings were stored on the way.
  EXPECT_EQ(s.records[1].TestName, "Student's unpaired t-test");
  EXPECT_EQ(s.records[1].valueTexts[0], "0.74805");
}

TEST_F(WindowRecords, ActivatingAWindowRestoresItsSelectionAndValues) {
  const int first = SolvedTTestWindow();
  const int second = OpenWindowRecord(s, WindowKind::Calculation);
  d.Select(Procedure::PairedT);
  d.ApplyOptions();
  s.entry(Ids::SdOfDiff).ParamText = "2.5";
  CalculateSingle(d);

  const std::string secondPValue = s.entry(0).ParamText;
  ASSERT_NE(secondPValue, "0.74805");
  EXPECT_TRUE(ActivateWindow(d, first));
  EXPECT_EQ(s.TestIndex, 0);
  EXPECT_EQ(s.entry(0).ParamText, "0.74805");  // the P-value is shared by both lists
  EXPECT_EQ(s.Description, "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(s.LastPosition, 7);
  EXPECT_EQ(s.entry(Ids::Sd).ParamText, "1.2");
  EXPECT_FALSE(ActivateWindow(d, first));  // already active

  EXPECT_TRUE(ActivateWindow(d, second));
  EXPECT_EQ(s.TestIndex, 1);
  EXPECT_EQ(s.entry(Ids::SdOfDiff).ParamText, "2.5");
  EXPECT_EQ(s.entry(0).ParamText, secondPValue);
  EXPECT_EQ(s.dialog.samplesEnabled[1], false);
}

TEST_F(WindowRecords, AWindowWithoutASelectionLeavesTheSessionAlone) {
  SolvedTTestWindow();
  const int empty = OpenWindowRecord(s, WindowKind::Table);
  ActivateWindow(d, 1);
  EXPECT_FALSE(ActivateWindow(d, empty));
  EXPECT_EQ(s.ActiveRecord, empty);
  EXPECT_EQ(s.TestName, "Student's unpaired t-test");
}

TEST_F(WindowRecords, OnlyRealChangesAskBeforeClosing) {
  const int r = SolvedTTestWindow();
  EXPECT_EQ(QueryCloseWindow(d, r), CloseQuery::AskToSave);
  s.records[static_cast<std::size_t>(r)].WindowChanged = false;  // as after a save
  // Storing the same settings again is no change ...
  StoreWindowSettings(s);
  EXPECT_EQ(QueryCloseWindow(d, r), CloseQuery::Close);
  // ... a typed value is, even before it is solved.
  NoteValueEdited(s, 3, "0.35");
  EXPECT_FALSE(s.ResultsCurrent);
  EXPECT_EQ(s.records[static_cast<std::size_t>(r)].valueTexts[3], "0.35");
  EXPECT_EQ(QueryCloseWindow(d, r), CloseQuery::AskToSave);

  s.Busy = true;
  EXPECT_EQ(QueryCloseWindow(d, r), CloseQuery::Refuse);
  EXPECT_EQ(CloseQuestionText("Calculation 1"),
            "Calculation 1 Has Been Changed.\r\n\r\nSave Parameter Settings?");
}

TEST_F(WindowRecords, ClosingMakesTheFirstOpenWindowActive) {
  const int a = SolvedTTestWindow();
  const int b = OpenWindowRecord(s, WindowKind::Calculation);
  d.Select(Procedure::PairedT);
  d.ApplyOptions();
  CalculateSingle(d);
  const int c = OpenWindowRecord(s, WindowKind::Graph);
  EXPECT_EQ(CloseWindowRecord(d, a), b);
  EXPECT_EQ(s.TestIndex, 1);
  EXPECT_TRUE(s.records[static_cast<std::size_t>(a)].WindowClosed);
  EXPECT_FALSE(IsOpenRecord(s, a));
  EXPECT_TRUE(IsOpenRecord(s, c));
}

TEST_F(WindowRecords, CalculationRowsSkipPositionOne) {
  EXPECT_EQ(PositionOfRow(0), 0);
  EXPECT_EQ(PositionOfRow(1), 2);
  EXPECT_EQ(PositionOfRow(11), 12);
  EXPECT_EQ(RowOfPosition(1), -1);
  EXPECT_EQ(RowOfPosition(6), 5);
  SolvedTTestWindow();
  const auto rows = CalculationRows(s);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0].caption, "&P-value");
  EXPECT_TRUE(rows[0].unknown);
  EXPECT_EQ(rows[1].position, 2);
  EXPECT_EQ(rows[6].row, 6);
  EXPECT_EQ(rows[6].position, 7);

  MakeUnknown(s, 2);
  EXPECT_EQ(s.UnknownPosition, 3);
  EXPECT_EQ(s.XPosition, 1);
  EXPECT_EQ(s.ZPosition, 0);
  MakeUnknown(s, 0);
  EXPECT_EQ(s.XPosition, 2);
  EXPECT_EQ(s.ZPosition, 1);
}

}  // namespace
}  // namespace pelmora
