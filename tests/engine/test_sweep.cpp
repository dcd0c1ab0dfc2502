// The whole program's robustness: every selection of both menus, every
// parameter choice and procedure kind, samples, tails, left tail, every
// combination of the offered options and of the forms of the offered rows,
// solved for every listed position from the start-up values.  No list shows a
// parameter twice; each solve ends, without a message, with a value at which
// the criterion vanishes or with "not calculable", within the evaluation
// bound; and it gives the same outcome whatever stands beyond the end of the
// list (so no criterion reads a position its list does not hold).  Every menu
// item solves a fair share of its unknowns.  Some items are solved again from
// further start values, under which more of their unknowns have a root.  Every
// test is swept again planned by power (from the start-up values).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "engine/calculation.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "numeric/fault_guard.h"
#include "session/menus.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

// Further start values of some menu items: catalogue id and value text.
struct StartValues {
  bool distribution;
  int item;
  testing::Values values;
};

// clang-format off
const StartValues kMoreStartValues[] = {
  // the t-tests: an estimate between equivalence limits, estimates below H0 for the left tail
  {false, 0, {{62, "0.1"}, {88, "0.5"}}},
  {false, 1, {{158, "0.1"}}},
  {false, 1, {{157, "1"}, {160, "0.7"}}},
  // Fisher's exact test, McNemar's test and the chi2 test of a 2 x 2 table
  {false, 4, {{8, "0.3"}, {69, "0.45"}, {52, "0.1"}, {70, "1.4"}, {14, "150"}, {4, "150"}, {37, "160"},
   {38, "10"}, {5, "1.1"}, {233, "45"}, {234, "70"}, {235, "25"}, {236, "1.5"}}},
  {false, 5, {{8, "0.3"}, {69, "0.45"}, {52, "0.1"}, {70, "1.4"}, {123, "0.2"}, {15, "0.3"}, {14, "150"}}},
  {false, 6, {{8, "0.3"}, {69, "0.45"}, {52, "0.1"}, {70, "1.4"}, {14, "150"}, {4, "150"}, {37, "160"},
   {38, "10"}, {5, "1.1"}, {233, "45"}, {234, "70"}, {235, "25"}, {236, "1.5"}}},
  // the rank tests
  {false, 12, {{152, "0.3"}}},
  {false, 12, {{152, "0.54"}, {229, "0.2"}}},
  {false, 12, {{152, "0.3"}, {229, "0.2"}}},
  {false, 13, {{0, "0.2"}, {153, "0.8"}, {154, "0.7"}, {14, "10"}}},
  {false, 13, {{0, "0.2"}, {153, "0.2"}, {154, "0.3"}, {14, "10"}}},
  {false, 14, {{153, "0.3"}}},
  // the exponential distribution: scales and locations above H0, below it, and between the limits
  {true, 2, {{142, "1"}, {124, "1.2"}, {125, "0.2"}, {126, "1.2"}, {127, "1"}, {128, "1.2"}, {26, "1"},
   {141, "1.2"}, {14, "200"}, {4, "200"}, {37, "200"}, {131, "1"}, {132, "1.3"}, {133, "0.3"}, {134, "1.3"}}},
  {true, 2, {{142, "1"}, {124, "0.8"}, {125, "-0.2"}, {126, "0.8"}, {127, "1"}, {128, "0.8"}, {26, "1"},
   {141, "0.8"},
   {14, "200"}, {4, "200"}, {37, "200"}, {131, "1"}, {132, "1.001"}, {133, "0.001"}, {134, "1.001"}}},
  {true, 2, {{124, "1"}, {128, "1"}, {26, "1"}, {141, "1"}, {14, "200"}, {4, "200"}, {37, "200"},
   {132, "-0.3"}}},
  // the binomial and the hypergeometric distribution: Proportion 2* away from Proportion 1*
  {true, 4, {{69, "0.7"}}},
  {true, 5, {{69, "0.7"}}},
};
// clang-format on

class Sweep : public testing::PlanningTest {
 protected:
 struct Counts {
    int selections = 0;
    int solves = 0;
    int solved = 0;
  };

  // Solves every listed position, once with NaN and once with 0.5 beyond the
  // list; the two runs must agree.
  void SolveEveryPosition(const std::string& where) {
    ++counts.selections;
    ASSERT_GE(s.LastPosition, 0) << where;
    ASSERT_LE(s.LastPosition, kMaxPosition) << where;
    // No parameter has two value boxes (position 1 has none).
    std::vector<int> ids = ListedIds();
    if (ids.size() > 1) ids.erase(ids.begin() + 1);
    std::sort(ids.begin(), ids.end());
    ASSERT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << where << " lists a parameter twice";
    // Planned by power, a test's criterion is its power (the requested power
    // stands beneath the P-value), unless its own criterion already is.
    if (PlansByPower(s) && s.LastPosition > 1 && !s.dialog.planByPowerFixed) {
      ASSERT_TRUE(d.PowerCriterion()) << where << " is not planned by power";
    }
    // Building a list says nothing but that the choice has nothing to calculate.
    for (const auto& m : ui.messages) ASSERT_EQ(m.text, "Not Available") << where;
    ui.messages.clear();
    ExpectPowerRisesWithTheLevel(where);
    for (int p = 0; p <= s.LastPosition; ++p) {
      if (p == 1) continue;
      const std::string saved = s.entryAt(p).ParamText;
      double results[2];
      for (int run = 0; run < 2; ++run) {
        const double beyond = run == 0 ? std::numeric_limits<double>::quiet_NaN() : 0.5;
        for (int q = s.LastPosition + 1; q < kPositionCount; ++q) s.value(q) = beyond;
        s.entryAt(p).ParamText = saved;
        s.UnknownPosition = static_cast<std::int16_t>(p);
        s.ResultsCurrent = false;
        SolveOutcome outcome;
        const SingleOutcome o = CalculateSingle(d, &outcome);
        ASSERT_LE(outcome.evaluations, 4000) << where << " position " << p;
        ASSERT_TRUE(ui.messages.empty()) << where << " position " << p << ": " << ui.LastText();
        results[run] = o == SingleOutcome::Solved ? s.value(p) : kNoResult;
        if (o == SingleOutcome::Solved) {
          ASSERT_TRUE(std::isfinite(s.value(p))) << where << " position " << p;
          ASSERT_NE(s.entryAt(p).ParamText, "-") << where;
          ExpectHonestValue(p, outcome, where + " position " + std::to_string(p));
          // With interim analyses the design has the requested power.
          if (s.InterimCount > 0 && d.PowerCriterion() && outcome.state == SolveState::Solved && s.AchievedPower.power &&
              run == 0) {
            ++sequentialSolved;
            ASSERT_TRUE(s.AchievedPower.sequential.has_value()) << where << " position " << p;
            EXPECT_NEAR(*s.AchievedPower.power, s.value(2), 1e-3) << where << " position " << p;
          }
        } else {
          ASSERT_EQ(s.entryAt(p).ParamText, "-") << where << " position " << p;
          // Every "-" says why.
          ASSERT_FALSE(outcome.reason.empty()) << where << " position " << p;
        }
      }
      ASSERT_EQ(results[0], results[1]) << where << " position " << p << " reads beyond the list";
      counts.solves += 2;
      if (results[0] != kNoResult) ++counts.solved;
      s.entryAt(p).ParamText = saved;
    }
    ui.messages.clear();
  }

  // A value is a crossing of zero, or the significant side of a jump, or a
  // named limit.  Typed back as the solve gives it, a root holds the criterion
  // to kCriterionAccuracy of the requested quantity, and a step lies on the
  // significant side; the text shown passes every check and is read as near
  // a root, or on the significant side of the step.
  void ExpectHonestValue(int p, const SolveOutcome& o, const std::string& where) {
    const double v = o.value;
    auto f = [&](double x) {
      s.value(p) = x;
      return EvaluateGuarded([&] { return d.CallEvaluateCriterion(); });
    };
    if (o.state == SolveState::AtLimit) {
      ASSERT_FALSE(o.note.empty()) << where;
      ASSERT_TRUE(s.entryAt(p).ParamText[0] == '<' || s.entryAt(p).ParamText[0] == '>') << where;
      return;
    }
    const int compared = d.CallTraits().comparedPosition;
    const int significant = compared == 0 ? -1 : 1;
    const auto at = f(v);
    ASSERT_TRUE(at) << where;
    if (o.state == SolveState::Solved) {
      const double scale = compared >= 0 && compared != p ? std::fabs(s.value(compared)) : 1.0;
      ASSERT_LE(std::fabs(*at), kCriterionAccuracy * scale) << where << ": " << v;
      // A criterion nearly level at its root is looked at farther out.
      bool crossing = *at == 0;
      for (double h = 1e-12 * std::max(1.0, std::fabs(v)); !crossing && h <= 0.05 * std::max(1.0, std::fabs(v));
           h *= 10) {
        const auto below = f(v - h), above = f(v + h);
        crossing = !below || !above || (*below < 0) != (*above < 0);
      }
      ASSERT_TRUE(crossing) << where << ": no crossing at " << v;
    } else {
      ASSERT_FALSE(o.note.empty()) << where;
      ASSERT_GE(significant * *at, 0) << where << ": " << v << " " << o.note;
    }
    // Typed back: the checks pass with another parameter unknown.
    const std::string shown = s.entryAt(p).ParamText;
    const std::int16_t unknown = s.UnknownPosition;
    s.UnknownPosition = static_cast<std::int16_t>(p == 0 ? s.LastPosition : 0);
    ReadParameterValues(s);
    const bool checked = d.CallCheckParameters();
    s.UnknownPosition = unknown;
    ASSERT_TRUE(checked) << where << ": " << shown << " typed back: " << ui.LastText();
    const auto typed = f(ParseNumber(shown));
    ASSERT_TRUE(typed) << where;
    if (o.state == SolveState::Solved)
      ASSERT_LE(std::fabs(*typed), 10 * kShownTolerance) << where << ": " << shown;
    else
      ASSERT_GE(significant * *typed, 0) << where << ": " << shown;
  }

  // The power of a test rises with the level over (0, 1).
  void ExpectPowerRisesWithTheLevel(const std::string& where) {
    if (s.IsTestProcedure == kFalse && s.ProcedureKind != 0) return;
    // A group-sequential design's power counts crossings on the side of the
    // effect only, and its futility bounds move with the drift: it need not
    // rise with the level where two-sided levels are large or futility stops
    // the study.  The fixed designs are checked.
    if (s.InterimCount > 0) return;
    ReadParameterValues(s);
    double previous = 0;
    for (double level : {0.001, 0.01, 0.05, 0.1, 0.2, 0.35, 0.5, 0.65, 0.8, 0.9, 0.95, 0.99, 0.999}) {
      s.value(0) = level;
      const std::optional<double> power = d.CallEvaluatePower();
      if (!power) return;  // no power at these values
      ASSERT_GE(*power, previous - 1e-9) << where << " at level " << level;
      ASSERT_LE(*power, 1.0) << where;
      previous = *power;
    }
  }

  // From the start-up values, and from each further set of the menu item.
  void SolveFromEveryStart(const std::string& where) {
    SolveEveryPosition(where);
    if (PlansByPower(s)) return;
    const bool distribution = s.IsTestProcedure == kFalse;
    const int item = distribution ? s.DistributionIndex : s.TestIndex;
    for (const StartValues& start : kMoreStartValues) {
      if (start.distribution != distribution || start.item != item) continue;
      const CatalogueValues saved = s.catalogue;
      for (const auto& [id, text] : start.values) s.entry(id).ParamText = text;
      SolveEveryPosition(where + " from further start values");
      s.catalogue = saved;
    }
  }

  // Every combination of the offered options (as the module lets them stand
  // together) and, for each, every combination of the forms of the offered
  // rows.
  void SweepFormsAndOptions(const std::string& where) {
    const auto savedModes = s.IntParMode;
    const auto savedOptions = s.OptionState;
    const auto ids = s.OptionId;
    const int options = s.OptionCount;
    for (int mask = 0; mask < (1 << options); ++mask) {
      s.IntParMode = savedModes;
      s.OptionState = savedOptions;
      d.RebuildOptions();
      bool offered = true;
      for (int k = 0; k < options; ++k) {
        const bool tick = (mask >> k) & 1;
        if (tick && !s.dialog.optionEnabled[static_cast<std::size_t>(k)]) offered = false;
        d.SetOption(ids[static_cast<std::size_t>(k)], tick);
      }
      for (int k = 0; k < options && offered; ++k)
        if (s.optionChecked(ids[static_cast<std::size_t>(k)]) != static_cast<bool>((mask >> k) & 1))
          offered = false;
      if (!offered) continue;  // the module does not let these stand together
      const auto groups = s.IntParRowGroup;
      const int rows = s.IntParRowCount;
      int combinations = 1;
      for (int k = 0; k < rows; ++k) combinations *= 3;
      for (int f = 0; f < combinations; ++f) {
        bool shown = true;
        std::string forms;
        for (int k = 0, rest = f; k < rows; ++k, rest /= 3) {
          const int g = groups[static_cast<std::size_t>(k)];
          if (ParameterGroups()[static_cast<std::size_t>(g)]
                  .forms[static_cast<std::size_t>(rest % 3)]
                  .empty())
            shown = false;
          d.SetForm(g, rest % 3);
          forms += " " + std::to_string(rest % 3);
        }
        if (!shown) continue;
        d.ApplyOptions();
        SolveFromEveryStart(where + " options " + std::to_string(mask) + " forms" + forms);
      }
    }
    s.IntParMode = savedModes;
    s.OptionState = savedOptions;
    d.RebuildOptions();
    d.ApplyOptions();
  }

  // Every samples, tails and left-tail choice the dialog lets the user make.
  void SweepDialogChoices(const std::string& where) {
    for (int samples = 1; samples <= 2; ++samples) {
      if (!s.dialog.samplesEnabled[static_cast<std::size_t>(samples - 1)]) continue;
      d.SetSampleCount(samples);
      for (int tails = 1; tails <= 3; ++tails) {
        if (!s.dialog.tailsEnabled[static_cast<std::size_t>(tails - 1)]) continue;
        d.SetTailCount(tails);
        for (bool left : {false, true}) {
          d.SetRejectInLeftTail(left);
          d.ApplyOptions();
          SweepFormsAndOptions(where + " samples " + std::to_string(samples) + " tails " +
                               std::to_string(tails) + (left ? " left" : ""));
        }
      }
    }
  }

  // A menu item whose start-up values leave nearly every unknown "not
  // calculable" has lost its criterion: each item solves at least one in
  // twenty (Fisher's exact test, the fewest, solves one in ten).
  void ExpectSomeSolved(const Counts& before, const std::string& where) const {
    const int solves = counts.solves - before.solves;
    const int solved = counts.solved - before.solved;
    EXPECT_GT(solves, 0) << where;
    EXPECT_GT(20 * solved, solves) << where << ": " << solved << " of " << solves << " solved";
  }

  Counts counts;
  int sequentialSolved = 0;
};

TEST_F(Sweep, EveryTestProcedure) {
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Tests) continue;
    ASSERT_TRUE(d.Select(row.procedure));
    for (bool byPower : {false, true}) {
      const Counts before = counts;
      const std::string where = ProcedureName(row.procedure) + (byPower ? " by power" : "");
      d.SetPlanByPower(byPower);
      SweepDialogChoices(where);
      ExpectSomeSolved(before, where);
    }
    d.SetPlanByPower(false);
  }
  EXPECT_GT(counts.solved, counts.solves / 8);
  std::cout << "Test procedures: " << counts.selections << " selections, " << counts.solves << " solves, "
            << counts.solved << " solved\n";
}

// Every test planned by power with one and with two tails, 2 interim
// analyses and a boundary family that moves on from test to test (each
// family several times; every fourth design with futility bounds, binding or
// not), solved for every listed position from the start-up values.
TEST_F(Sweep, EveryTestWithInterimAnalyses) {
  const auto families = sequential::EfficacyFamilies();
  const auto futility = sequential::FutilityFamilies();
  std::size_t design = 0;
  for (const ProcedureRow& row : Procedures()) {
    const bool distribution = row.menu == Menu::Distributions;
    ASSERT_TRUE(d.Select(row.procedure));
    if (distribution && !s.dialog.procedureEnabled[0]) continue;
    if (distribution) d.SetProcedureKind(0);
    d.SetPlanByPower(true);
    for (int tails = 1; tails <= 2; ++tails) {
      if (!s.dialog.tailsEnabled[static_cast<std::size_t>(tails - 1)]) continue;
      d.SetTailCount(tails);
      d.ApplyOptions();
      s.InterimCount = 2;
      s.planning = PlanningSettings();
      s.planning.BoundaryFamily = static_cast<std::int16_t>(families[design % families.size()]);
      if (design % 4 == 3) {
        s.planning.FutilityFamily = static_cast<std::int16_t>(futility[1 + design / 4 % (futility.size() - 1)]);
        s.planning.BindingFutility = design / 4 % 2 == 0 ? kTrue : kFalse;
      }
      const std::string where = ProcedureName(row.procedure) + " tails " + std::to_string(tails) + " " +
                                std::string(sequential::FamilyName(families[design % families.size()])) +
                                (design % 4 == 3 ? " with futility" : "");
      ++design;
      SolveEveryPosition(where);
    }
    s.InterimCount = 0;
    s.planning = PlanningSettings();
    d.SetPlanByPower(false);
  }
  EXPECT_GE(design, 2 * families.size());
  EXPECT_GT(sequentialSolved, 100);
  std::cout << "With interim analyses: " << design << " designs, " << counts.solves << " solves, "
            << counts.solved << " solved\n";
}

TEST_F(Sweep, EverySampleDistribution) {
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Distributions) continue;
    ASSERT_TRUE(d.Select(row.procedure));
    const Counts before = counts;
    for (int choice = 0; choice < static_cast<int>(s.dialog.parameterChoices.size()); ++choice) {
      d.SetParameterChoice(choice);
      for (int kind = 0; kind < 3; ++kind) {
        if (!s.dialog.procedureEnabled[static_cast<std::size_t>(kind)]) continue;
        d.SetProcedureKind(kind);
        for (bool byPower : {false, true}) {
          if (byPower && kind != 0) continue;
          d.SetPlanByPower(byPower);
          SweepDialogChoices(ProcedureName(row.procedure) + " choice " + std::to_string(choice) +
                             " kind " + std::to_string(kind) + (byPower ? " by power" : ""));
        }
        d.SetPlanByPower(false);
      }
    }
    ExpectSomeSolved(before, ProcedureName(row.procedure));
  }
  std::cout << "Sample distributions: " << counts.selections << " selections, " << counts.solves
            << " solves, " << counts.solved << " solved\n";
}

}  // namespace
}  // namespace pelmora
