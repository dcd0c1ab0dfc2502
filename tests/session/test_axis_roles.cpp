// The roles of a Table or Graph window's parameters as the axis-parameter
// dialog changes them.
#include <gtest/gtest.h>

#include "session/axis_roles.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

class AxisRoles : public testing::PlanningTest {
 protected:
  void SetUp() override {
    OpenWindowRecord(s, WindowKind::Table);
    d.Select(Procedure::UnpairedT);  // Student's unpaired t-test
    d.ApplyOptions();
    s.ResultsCurrent = true;
  }
  WindowSettings& record() { return s.records[static_cast<std::size_t>(s.ActiveRecord)]; }
};

TEST_F(AxisRoles, ListsEveryPositionButOne) {
  const std::vector<int> listed = RoleListPositions(s);
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(listed.front(), 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), 1), 0);
  EXPECT_EQ(listed.back(), s.LastPosition);
  EXPECT_EQ(listed.size(), static_cast<std::size_t>(s.LastPosition));  // 0..n without 1

  // The fixed parameters are the rest, in list order.
  const std::vector<int> fixed = FixedPositions(s);
  EXPECT_EQ(fixed.size(), listed.size() - 3);
  for (int p : fixed) {
    EXPECT_NE(p, s.UnknownPosition);
    EXPECT_NE(p, s.XPosition);
    EXPECT_NE(p, s.ZPosition);
  }
}

TEST_F(AxisRoles, ChoosingTheZParameterForXExchangesThem) {
  const int x = s.XPosition;
  const int z = s.ZPosition;
  ChooseRole(s, AxisRole::X, z);
  EXPECT_EQ(s.XPosition, z);
  EXPECT_EQ(s.ZPosition, x);
  EXPECT_FALSE(s.ResultsCurrent);

  // The same with the unknown: y and x change places.
  const int y = s.UnknownPosition;
  ChooseRole(s, AxisRole::X, y);
  EXPECT_EQ(s.XPosition, y);
  EXPECT_EQ(s.UnknownPosition, z);
}

TEST_F(AxisRoles, ANewQuantityToCalculateMakesTheDecimalsAutomatic) {
  record().TableDecimals = 3;
  ChooseRole(s, AxisRole::Z, FixedPositions(s).front());
  EXPECT_EQ(record().TableDecimals, 3);  // the cells still hold the same quantity
  ChooseRole(s, AxisRole::Y, FixedPositions(s).front());
  EXPECT_EQ(record().TableDecimals, -1);
  record().TableDecimals = 2;
  ChooseRole(s, AxisRole::X, s.UnknownPosition);  // y moves by the exchange
  EXPECT_EQ(record().TableDecimals, -1);
}

TEST_F(AxisRoles, PositionOneAndPositionsBeyondTheListAreNeverChosen) {
  const int x = s.XPosition;
  ChooseRole(s, AxisRole::X, 1);
  ChooseRole(s, AxisRole::X, s.LastPosition + 1);
  ChooseRole(s, AxisRole::X, -1);
  EXPECT_EQ(s.XPosition, x);
  EXPECT_TRUE(s.ResultsCurrent);
}

TEST_F(AxisRoles, RangeTextsAreKeptPerParameter) {
  const int first = s.XPosition;
  NoteRangeEdited(s, RangeBox::XMin, "0.5");
  NoteRangeEdited(s, RangeBox::XMax, "1.5");
  NoteRangeEdited(s, RangeBox::XStep, "0.25");
  const int other = FixedPositions(s).front();
  ChooseRole(s, AxisRole::X, other);
  EXPECT_EQ(CurrentRangeTexts(s).xMin, s.entryAt(other).TableMin);
  ChooseRole(s, AxisRole::X, first);
  const RangeTexts back = CurrentRangeTexts(s);
  EXPECT_EQ(back.xMin, "0.5");
  EXPECT_EQ(back.xMax, "1.5");
  EXPECT_EQ(back.xStep, "0.25");

  NoteRangeEdited(s, RangeBox::ZValues, "0.5 0.6");
  EXPECT_EQ(CurrentRangeTexts(s).zValues, "0.5 0.6");
  EXPECT_FALSE(s.ResultsCurrent);
}

TEST_F(AxisRoles, AnEditedRangeMarksTheRecordChangedWhenItDescribesThatParameter) {
  WindowSettings& r = record();
  r.xId = s.ParameterList[static_cast<std::size_t>(s.XPosition)];
  r.xMin = "1";
  r.WindowChanged = false;
  NoteRangeEdited(s, RangeBox::XMin, "1");
  EXPECT_FALSE(r.WindowChanged);
  NoteRangeEdited(s, RangeBox::XMin, "2");
  EXPECT_TRUE(r.WindowChanged);
  EXPECT_EQ(r.xMin, "2");
}

}  // namespace
}  // namespace pelmora
