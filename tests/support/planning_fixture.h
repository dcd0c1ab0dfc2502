// A session with a dispatcher, driven the way the menus and the options
// dialog drive it, for tests of procedure modules and drivers; and tables of
// reference rows, each a selection, the values typed and the value expected.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/calculation.h"
#include "engine/dispatch.h"
#include "session/session.h"

namespace pelmora::testing {

using Forms = std::vector<std::pair<int, int>>;
using Values = std::vector<std::pair<int, std::string>>;

// A selection as the menus and the options dialog make it, in the dialog's
// order: the procedure, the parameter choice (left as it is when negative),
// the kind, the samples (left as the item sets them when 0), the tails, the
// options to tick, the forms of groups and the left tail.
struct Choice {
  Procedure procedure = Procedure::UnpairedT;
  int parameter = -1;
  int kind = 0;
  int samples = 0;
  int tails = 2;
  std::vector<int> options = {};
  Forms forms = {};
  bool left = false;
};

inline Choice TestChoice(Procedure test, int samples, int tails, std::vector<int> options = {}, Forms forms = {},
                         bool left = false) {
  return {test, -1, 0, samples, tails, std::move(options), std::move(forms), left};
}
inline Choice DistChoice(Procedure distribution, int parameter, int kind, int samples, int tails,
                         std::vector<int> options = {}, Forms forms = {}, bool left = false) {
  return {distribution, parameter, kind, samples, tails, std::move(options), std::move(forms), left};
}

// What a reference row asks for besides solving for a catalogue id.
inline constexpr int kPValue = -1;     // the P-value at the typed values (criterion + requested P-value)
inline constexpr int kCriterion = -2;  // the criterion at the typed values

// One reference: the selection, the values typed (by catalogue id, on top of
// the start-up values), the unknown and the value expected (kNoResult: not
// calculable), within the tolerance; and the message a refusing check shows.
struct Reference {
  Choice choice;
  Values values;
  int unknown;
  double expected;
  double tolerance;
  std::string message = {};
};

// The search interval the module leaves for an unknown from its catalogue
// limits; a NaN end is not looked at.
struct IntervalReference {
  Choice choice;
  Values values;
  int unknown;
  double lower;
  double upper;
  double tolerance = 1e-9;
};

inline constexpr double kAnyEnd = std::numeric_limits<double>::quiet_NaN();

class PlanningTest : public ::testing::Test {
 protected:
  PlanningTest() : s(ui), d(s), startup_(s.catalogue) {}

  // The outcome of the last Solve.
  SolveOutcome lastOutcome;

  // The position that lists a catalogue id, or -1.
  int PositionOf(int id) const {
    for (int p = 0; p <= s.LastPosition; ++p)
      if (s.ParameterList[static_cast<std::size_t>(p)] == id) return p;
    return -1;
  }
  // Sets the value text of a listed id.
  void Set(int id, const std::string& text) {
    ASSERT_GE(PositionOf(id), 0) << "id " << id << " is not listed";
    s.entry(id).ParamText = text;
  }
  // Solves for the listed id; returns the value or 99999 (the outcome in
  // lastOutcome).
  double Solve(int id) {
    const int p = PositionOf(id);
    EXPECT_GE(p, 0) << "id " << id << " is not listed";
    s.UnknownPosition = static_cast<std::int16_t>(p);
    s.ResultsCurrent = false;
    const SingleOutcome o = CalculateSingle(d, &lastOutcome);
    return o == SingleOutcome::Solved ? s.value(p) : kNoResult;
  }
  // A selection made from the start-up values, as the menu and the options
  // dialog make it; then OK.
  void Choose(const Choice& c) {
    s.catalogue = startup_;
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.Select(c.procedure);
    if (RowOf(c.procedure).menu == Menu::Distributions) {
      if (c.parameter >= 0) d.SetParameterChoice(c.parameter);
      d.SetProcedureKind(c.kind);
    }
    if (c.samples > 0) d.SetSampleCount(c.samples);
    d.SetTailCount(c.tails);
    d.SetRejectInLeftTail(c.left);
    for (int o : c.options) d.SetOption(o, true);
    for (auto [g, f] : c.forms) d.SetForm(g, f);
    d.ApplyOptions();
  }
  // A sample distribution chosen as the menu and the options dialog do.
  void ChooseDistribution(Procedure distribution, int choice, int kind, int samples, int tails,
                          const std::vector<int>& options = {}, const Forms& forms = {}, bool left = false) {
    Choose(DistChoice(distribution, choice, kind, samples, tails, options, forms, left));
  }
  // The selection with the values typed.
  void Enter(const Choice& c, const Values& values) {
    Choose(c);
    for (const auto& [id, text] : values) Set(id, text);
  }

  // Each row: the P-value, the criterion or the solved value, and the
  // message of a refusing check or none.
  void ExpectReferences(const std::vector<Reference>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Reference& r = rows[i];
      SCOPED_TRACE(::testing::Message() << "row " << i + 1);
      Enter(r.choice, r.values);
      ui.messages.clear();
      double value = 0;
      if (r.unknown == kPValue)
        value = Criterion() + s.value(0);
      else if (r.unknown == kCriterion)
        value = Criterion();
      else
        value = Solve(r.unknown);
      if (r.expected == kNoResult)
        EXPECT_EQ(value, kNoResult) << s.Description;
      else
        EXPECT_NEAR(value, r.expected, r.tolerance) << s.Description;
      if (r.message.empty())
        EXPECT_TRUE(ui.messages.empty()) << s.Description << ": " << ui.LastText();
      else
        EXPECT_EQ(ui.LastText(), r.message) << s.Description;
    }
  }
  // The search interval the driver presets and the module narrows.
  std::pair<double, double> Interval(int id) {
    ReadParameterValues(s);
    s.UnknownPosition = static_cast<std::int16_t>(PositionOf(id));
    double lower = s.entry(id).ParamLowerLimit(), upper = s.entry(id).ParamUpperLimit();
    d.CallSetSearchInterval(lower, upper);
    return {lower, upper};
  }
  void ExpectIntervals(const std::vector<IntervalReference>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const IntervalReference& r = rows[i];
      SCOPED_TRACE(::testing::Message() << "row " << i + 1);
      Enter(r.choice, r.values);
      const auto [lower, upper] = Interval(r.unknown);
      if (!std::isnan(r.lower)) {
        EXPECT_NEAR(lower, r.lower, r.tolerance) << s.Description;
      }
      if (!std::isnan(r.upper)) {
        EXPECT_NEAR(upper, r.upper, r.tolerance) << s.Description;
      }
    }
  }

  // The catalogue ids of the list, position by position.
  std::vector<int> ListedIds() const {
    std::vector<int> ids;
    for (int p = 0; p <= s.LastPosition; ++p) ids.push_back(s.ParameterList[static_cast<std::size_t>(p)]);
    return ids;
  }
  // The criterion at the current texts.
  double Criterion() {
    ReadParameterValues(s);
    return d.CallEvaluateCriterion();
  }

  RecordingUserInterface ui;
  Session s;
  Dispatcher d;

 private:
  CatalogueValues startup_;
};

}  // namespace pelmora::testing
