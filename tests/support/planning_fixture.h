// A session with a dispatcher, driven the way the menus and the options
// dialog drive it, for tests of procedure modules and drivers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/calculation.h"
#include "session/dispatch.h"
#include "session/session.h"

namespace pelmora::testing {

class PlanningTest : public ::testing::Test {
 protected:
  PlanningTest() : s(ui), d(s) {}

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
  // Solves for the listed id; returns the value or 99999.
  double Solve(int id) {
    const int p = PositionOf(id);
    EXPECT_GE(p, 0) << "id " << id << " is not listed";
    s.UnknownPosition = static_cast<std::int16_t>(p);
    s.ResultsCurrent = false;
    const SingleOutcome o = CalculateSingle(d);
    return o == SingleOutcome::Solved ? s.value(p) : kNoResult;
  }
  using Forms = std::vector<std::pair<int, int>>;

  // A sample distribution chosen as the menu and the options dialog do, in
  // the dialog's order: the parameter choice (left as it is when negative),
  // the kind, the samples (left as they are when 0), the tails, the left
  // tail, the options to tick and the forms of groups; then OK.
  void ChooseDistribution(int distribution, int choice, int kind, int samples, int tails,
                          const std::vector<int>& options = {}, const Forms& forms = {}, bool left = false) {
    s.OptionState.fill(0);
    s.IntParMode.fill(0);
    d.SelectDistribution(distribution);
    if (choice >= 0) d.SetParameterChoice(choice);
    d.SetProcedureKind(kind);
    if (samples > 0) d.SetSampleCount(samples);
    d.SetTailCount(tails);
    d.SetRejectInLeftTail(left);
    for (int o : options) d.SetOption(o, true);
    for (auto [g, f] : forms) d.SetForm(g, f);
    d.ApplyOptions();
  }

  // The catalogue ids of the list, position by position.
  std::vector<int> ListedIds() const {
    std::vector<int> ids;
    for (int p = 0; p <= s.LastPosition; ++p) ids.push_back(s.ParameterList[static_cast<std::size_t>(p)]);
    return ids;
  }
  // The groups of the offered interchangeable-parameter rows, and the ids of
  // the offered options.
  std::vector<int> OfferedRows() const {
    return std::vector<int>(s.IntParRowGroup.begin(), s.IntParRowGroup.begin() + s.IntParRowCount);
  }
  std::vector<int> OfferedOptions() const {
    return std::vector<int>(s.OptionId.begin(), s.OptionId.begin() + s.OptionCount);
  }
  // The criterion at the current texts with the given id's value text.
  double Criterion() {
    ReadParameterValues(s);
    return d.CallEvaluateCriterion();
  }

  RecordingUserInterface ui;
  Session s;
  Dispatcher d;
};

}  // namespace pelmora::testing
