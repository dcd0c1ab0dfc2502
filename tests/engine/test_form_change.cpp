// A form changed in the options: the unknown and the axis parameters stay
// with their parameters (or the same quantity in its new form), and the new
// form's value follows from the values entered unless one was typed for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/student_t.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

using Ids = StudentT::Ids;
using testing::TestChoice;

constexpr int kUnequalStdDeviations = 12;

class FormChange : public testing::PlanningTest {
 protected:
  // The catalogue id a role's position lists.
  int IdAt(int position) const { return s.ParameterList[static_cast<std::size_t>(position)]; }
  void Give(std::int16_t& role, int id) { role = static_cast<std::int16_t>(PositionOf(id)); }
  void ChangeForm(int group, int form) {
    d.SetForm(group, form);
    d.ApplyOptions();
  }
  std::string Text(int id) const { return s.entry(id).ParamText; }
};

TEST_F(FormChange, MeansAndTheirDifferenceKeepTheUnknownAndTheValues) {
  // The sizes as a ratio, as the window shows them.
  Enter(TestChoice(Procedure::UnpairedT, 2, 2, {}, {{group::SampleSize2, 2}}),
        {{Ids::Mean1, "0"}, {Ids::Mean2, "0.5"}});
  Give(s.UnknownPosition, Ids::SampleSize1);
  Give(s.XPosition, Ids::Mean2);
  Give(s.ZPosition, Ids::Sd);
  ChangeForm(group::Mean2, 1);
  ASSERT_EQ(PositionOf(Ids::Mean2), -1);
  EXPECT_EQ(IdAt(s.UnknownPosition), Ids::SampleSize1);
  EXPECT_EQ(IdAt(s.XPosition), Ids::Diff);  // Mean 2* in its new form
  EXPECT_EQ(IdAt(s.ZPosition), Ids::Sd);
  EXPECT_EQ(Text(Ids::Diff), "0.5");  // 0.5 - 0, not the start-up 0.30
  // brentq(lambda n: 2 * t.sf(0.5 / (1.2 * sqrt(2 / n)), 2 * n - 2) - 0.05, 3, 5000) = 45.4824
  EXPECT_NEAR(Solve(Ids::SampleSize1), 45.4824, 0.01);

  // Back to the means: Mean 2* = Mean 1* + the difference.
  Set(Ids::Diff, "0.2");
  ChangeForm(group::Mean2, 0);
  EXPECT_EQ(IdAt(s.UnknownPosition), Ids::SampleSize1);
  EXPECT_EQ(IdAt(s.XPosition), Ids::Mean2);
  EXPECT_EQ(Text(Ids::Mean2), "0.2");
  // And to their ratio: 0.2 / 0.4.
  Set(Ids::Mean1, "0.4");
  ChangeForm(group::Mean2, 2);
  EXPECT_EQ(IdAt(s.XPosition), Ids::Mean2OverMean1);
  EXPECT_EQ(Text(Ids::Mean2OverMean1), "0.5");
  // A ratio to a zero mean has no value: the text stays.
  Set(Ids::Mean1, "0");
  Set(Ids::Mean2OverMean1, "1.3");
  ChangeForm(group::Mean2, 0);
  ChangeForm(group::Mean2, 2);
  EXPECT_EQ(Text(Ids::Mean2), "0");            // 0 x 1.3
  EXPECT_EQ(Text(Ids::Mean2OverMean1), "1.3");  // 0 / 0
}

TEST_F(FormChange, SizesAndStandardDeviationsToTheirRatios) {
  Enter(TestChoice(Procedure::UnpairedT, 2, 2, {kUnequalStdDeviations}),
        {{Ids::SampleSize1, "30"}, {Ids::SampleSize2, "45"}, {Ids::Sd1, "1.2"}, {Ids::Sd2, "1.8"}});
  Give(s.UnknownPosition, Ids::Mean2);
  Give(s.XPosition, Ids::SampleSize2);
  Give(s.ZPosition, Ids::Sd2);
  ChangeForm(group::SampleSize2, 2);
  EXPECT_EQ(IdAt(s.UnknownPosition), Ids::Mean2);
  EXPECT_EQ(IdAt(s.XPosition), Ids::SampleSize2OverSize1);
  EXPECT_EQ(Text(Ids::SampleSize2OverSize1), "1.5");
  ChangeForm(group::StdDeviation2Star, 2);
  EXPECT_EQ(IdAt(s.ZPosition), Ids::Sd2OverSd1);
  EXPECT_EQ(Text(Ids::Sd2OverSd1), "1.5");
  // The ratio to the difference: 30 x 1.5 - 30.
  ChangeForm(group::SampleSize2, 1);
  EXPECT_EQ(IdAt(s.XPosition), Ids::SampleSize2MinusSize1);
  EXPECT_EQ(Text(Ids::SampleSize2MinusSize1), "15");
  // A role whose parameter leaves the list gives way to those that stay:
  // equivalence limits take the place of the null difference.
  Give(s.UnknownPosition, Ids::H0Diff);
  d.SetTailCount(3);
  d.ApplyOptions();
  EXPECT_EQ(IdAt(s.XPosition), Ids::SampleSize2MinusSize1);
  EXPECT_EQ(IdAt(s.ZPosition), Ids::Sd2OverSd1);
  EXPECT_NE(s.UnknownPosition, s.XPosition);
  EXPECT_NE(s.UnknownPosition, s.ZPosition);
  EXPECT_NE(s.UnknownPosition, 1);
}

TEST_F(FormChange, AValueTypedInTheWindowForTheNewFormStays) {
  OpenWindowRecord(s, WindowKind::Calculation);
  Choose(TestChoice(Procedure::UnpairedT, 2, 2, {}, {{group::Mean2, 1}}));
  s.entry(Ids::Mean1).ParamText = "0";  // not listed with the difference
  NoteValueEdited(s, PositionOf(Ids::Diff), "0.25");
  ChangeForm(group::Mean2, 0);
  EXPECT_EQ(Text(Ids::Mean2), "0.25");
  // A value not typed in this window does not replace the difference typed
  // here.
  Set(Ids::Mean2, "0.4");
  ChangeForm(group::Mean2, 1);
  EXPECT_EQ(Text(Ids::Diff), "0.25");
  // Mean 2* typed after the difference: the difference follows it.
  ChangeForm(group::Mean2, 0);
  NoteValueEdited(s, PositionOf(Ids::Mean2), "0.7");
  ChangeForm(group::Mean2, 1);
  EXPECT_EQ(Text(Ids::Diff), "0.7");
}

TEST(FormsFromLists, TheQuantityIsTheLastDifferingIdAndItsBasePrecedesIt) {
  // Mean 1*, Mean 2* | Mean 2* - Mean 1* | Mean 1*, Mean 2* / Mean 1*.
  const std::array<std::vector<std::int16_t>, 3> means = {
      std::vector<std::int16_t>{0, 1, 61, 86, 87, 111, 4, 5}, {0, 1, 61, 62, 111, 4, 5}, {0, 1, 61, 86, 88, 111, 4, 5}};
  const std::optional<ParameterForms> f = FormsFromLists(1, means);
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(f->ids, (std::array<std::int16_t, 3>{87, 62, 88}));
  EXPECT_EQ(f->base, 86);
  // A group the list does not show.
  EXPECT_FALSE(FormsFromLists(2, {means[0], means[0], means[0]}).has_value());
}

}  // namespace
}  // namespace pelmora
