#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "session/catalogue.h"
#include "session/session.h"

namespace pelmora {
namespace {

// The catalogue's own values are its table; what a table cannot show is
// tested here: single-precision limits held widened to double, and ids
// defined as copies of one another.
TEST(Catalogue, WidenedLimitsAndCopies) {
  const Catalogue c = BuildCatalogue();
  EXPECT_DOUBLE_EQ(c[0].ParamLowerLimit(), 9.99999974737875E-06);
  EXPECT_DOUBLE_EQ(c[0].ParamUpperLimit(), 0.999989986419678);
  EXPECT_EQ(c[16].ParamLowerLimit(), static_cast<double>(-0.99999f));
  EXPECT_EQ(c[187].ParamUpperLimit(), static_cast<double>(1.99999f));
  for (int pair : {0, 1}) {
    const CatalogueEntry& a = c[29 + pair];
    const CatalogueEntry& b = c[97 + pair];
    EXPECT_EQ(a.ParamCaption(), b.ParamCaption());
    EXPECT_EQ(a.ParamText, b.ParamText);
    EXPECT_EQ(a.ParamLowerLimit(), b.ParamLowerLimit());
    EXPECT_EQ(a.ParamUpperLimit(), b.ParamUpperLimit());
  }
}

TEST(Catalogue, EmptyIdsAndCount) {
  const Catalogue c = BuildCatalogue();
  int defined = 0;
  for (int id = 0; id < kCatalogueSize; ++id) {
    const bool empty = c[id].ParamCaption().empty();
    const bool expectEmpty = id == 109 || id == 144 || id > 244;
    EXPECT_EQ(empty, expectEmpty) << "id " << id;
    if (empty) {
      EXPECT_EQ(c[id].ParamLowerLimit(), 0.0);
      EXPECT_EQ(c[id].ParamUpperLimit(), 0.0);
    } else {
      ++defined;
      EXPECT_LT(c[id].ParamLowerLimit(), c[id].ParamUpperLimit()) << "id " << id;
    }
  }
  EXPECT_EQ(defined, 243);
}

TEST(Catalogue, OnlyGroup26StartsInItsSecondForm) {
  const auto& g = ParameterGroups();
  for (int i = 0; i < kGroupCount; ++i) EXPECT_EQ(g[i].initialForm, i == 26 ? 1 : 0) << "group " << i;
}

TEST(Session, StartUpState) {
  RecordingUserInterface ui;
  Session s(ui);
  EXPECT_EQ(s.IsTestProcedure, kFalse);
  EXPECT_EQ(s.SampleCount, 2);
  EXPECT_EQ(s.TailCount, 2);
  EXPECT_EQ(s.UnknownPosition, 0);
  EXPECT_EQ(s.XPosition, 2);
  EXPECT_EQ(s.ZPosition, 3);
  EXPECT_EQ(s.IntParMode[26], 1);
  EXPECT_EQ(s.IntParMode[0], 0);
  EXPECT_EQ(s.records.size(), 1u);
  EXPECT_EQ(s.CascadeLeft, -150);
  EXPECT_EQ(s.CascadeTop, -350);
  EXPECT_FALSE(s.Busy);
  EXPECT_EQ(s.entry(0).ParamText, "0.05");
}

TEST(Session, TwoSessionsShareNothing) {
  RecordingUserInterface ui;
  Session a(ui), b(ui);
  a.entry(58).ParamText = "0.7";
  a.TailCount = 1;
  EXPECT_EQ(b.entry(58).ParamText, "0.30");
  EXPECT_EQ(b.TailCount, 2);
}

TEST(Session, NormalizePositions) {
  RecordingUserInterface ui;
  Session s(ui);
  s.LastPosition = 3;
  s.UnknownPosition = 1;
  s.XPosition = 2;
  s.ZPosition = 3;
  NormalizePositions(s);
  EXPECT_EQ(s.UnknownPosition, 0);
  EXPECT_EQ(s.XPosition, 2);
  EXPECT_EQ(s.ZPosition, 3);

  // Roles beyond a shorter list move down and wrap past 0 to the last position.
  s.LastPosition = 4;
  s.UnknownPosition = 0;
  s.XPosition = 9;
  s.ZPosition = 8;
  NormalizePositions(s);
  EXPECT_EQ(s.UnknownPosition, 0);
  EXPECT_EQ(s.XPosition, 4);
  EXPECT_EQ(s.ZPosition, 3);

  s.UnknownPosition = 2;
  s.XPosition = 2;
  s.ZPosition = 2;
  NormalizePositions(s);
  EXPECT_EQ(s.UnknownPosition, 0);
  EXPECT_EQ(s.XPosition, 4);
  EXPECT_EQ(s.ZPosition, 2);
}

TEST(Session, NormalizingATooShortListEnds) {
  RecordingUserInterface ui;
  Session s(ui);
  s.LastPosition = 2;  // rows for positions 0 and 2 only: three roles cannot all differ
  s.UnknownPosition = 1;
  s.XPosition = 2;
  s.ZPosition = 3;
  NormalizePositions(s);
  EXPECT_EQ(s.UnknownPosition, 0);
  EXPECT_EQ(s.XPosition, 2);
  EXPECT_NE(s.ZPosition, 1);
  EXPECT_LE(s.ZPosition, 2);
}

TEST(Session, StoreAndRestoreWindowSettings) {
  RecordingUserInterface ui;
  Session s(ui);
  s.records.emplace_back();
  s.ActiveRecord = 1;
  s.IsTestProcedure = kTrue;
  s.TestIndex = 0;
  s.TestName = "Student's unpaired t-test";
  s.LastPosition = 3;
  s.ParameterList = {0, 1, 58, 4};
  s.XPosition = 2;
  s.ZPosition = 3;
  s.entry(58).TableMin = "0.1";
  s.entry(4).ZValueText = "10 20";
  s.entry(58).ParamText = "0.7";

  s.ResultsCurrent = false;  // nothing to store until results are current
  StoreWindowSettings(s);
  EXPECT_FALSE(s.records[1].WindowChanged);

  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  const WindowSettings& r = s.records[1];
  EXPECT_TRUE(r.WindowChanged);
  EXPECT_EQ(r.TestName, "Student's unpaired t-test");
  EXPECT_EQ(r.xId, 58);
  EXPECT_EQ(r.zId, 4);
  EXPECT_EQ(r.xMin, "0.1");
  EXPECT_EQ(r.zValues, "10 20");
  EXPECT_EQ(r.valueTexts[2], "0.7");
  EXPECT_EQ(r.valueTexts[3], "30");
  EXPECT_EQ(r.valueTexts[4], "");

  Session t(ui);
  t.records = s.records;
  t.ActiveRecord = 1;
  RestoreWindowSettings(t);
  t.ParameterList = {0, 1, 58, 4};
  RestoreValueTexts(t);
  EXPECT_EQ(t.TestName, "Student's unpaired t-test");
  EXPECT_EQ(t.IsTestProcedure, kTrue);
  EXPECT_EQ(t.entry(58).ParamText, "0.7");
  EXPECT_EQ(t.entry(58).TableMin, "0.1");
  EXPECT_EQ(t.entry(4).ZValueText, "10 20");
}

// A session's catalogue values: its changes stay its own (not the start-up
// catalogue's, not another session's, not a copy's), a moved-from set is the
// start-up catalogue again, and an id outside the catalogue is refused.
TEST(Catalogue, ValuesOfOneSessionStayItsOwn) {
  RecordingUserInterface ui;
  Session a(ui), b(ui);
  a.entry(2).ParamText = "0.7";
  a.entry(2).TableMin = "0.1";
  const Session copy = a;
  a.entry(2).ParamText = "0.9";
  const Session& ca = a;
  EXPECT_EQ(ca.entry(2).ParamText, "0.9");
  EXPECT_EQ(copy.entry(2).ParamText, "0.7");
  EXPECT_EQ(copy.entry(2).TableMin, "0.1");
  EXPECT_EQ(std::as_const(b).entry(2).ParamText, "0.30");
  EXPECT_EQ(BuildCatalogue()[2].ParamText, "0.30");
  EXPECT_EQ(ca.entry(2).ParamCaption(), "&Standard Deviation");
  EXPECT_EQ(copy.catalogue.EditedCount(), 1);
  EXPECT_EQ(std::as_const(b).catalogue.EditedCount(), 0);

  CatalogueValues moved = std::move(a.catalogue);
  EXPECT_EQ(moved[2].ParamText, "0.9");
  EXPECT_EQ(ca.entry(2).ParamText, "0.30");
  a.entry(2).ParamText = "0.5";
  EXPECT_EQ(moved[2].ParamText, "0.9");

  EXPECT_THROW(static_cast<void>(ca.entry(kCatalogueSize)), std::out_of_range);
  EXPECT_THROW(static_cast<void>(a.entry(-1)), std::out_of_range);
}

}  // namespace
}  // namespace pelmora
