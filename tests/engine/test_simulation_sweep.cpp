// The simulation of every procedure of both menus: each test, and each test
// and interval of each sample distribution, solved for its sample size from
// the start-up values and simulated with a small number of studies.  No run
// crashes, hangs or gives a number that is not one; where the calculation's
// power is exact (t-tests, z with known standard deviations, Fisher's exact
// test, the exact Poisson and binomial tests) the simulated power lies
// within 5 standard errors of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "engine/simulation.h"
#include "engine/value_texts.h"
#include "format/number_entry.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/life_table.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

constexpr int kTestKind = 0, kIntervalKind = 2;

// A selection of a menu item: a test (choice -1), or a parameter choice and
// kind of a sample distribution.
struct Selection {
  Procedure procedure;
  int choice = -1;
  int kind = kTestKind;
  bool operator==(const Selection&) const = default;
};

// clang-format off
// The selections whose start-up design no simulation can draw, with what the
// refusal says.
struct Refusal {
  Selection selection;
  const char* says;
};
const Refusal kRefusedAtStartUp[] = {
  // 3 tables with a standard error of 0.3 would need fewer than one subject per group and table.
  {{Procedure::LifeTable}, "above 1 / (2 sqrt(No Of Tables))"},
  // The mean of a finite population is offered in no Monte Carlo window.
  {{Procedure::FinitePopulation, 0, kTestKind}, "Not Available As Monte Carlo Simulation"},
  {{Procedure::FinitePopulation, 0, kIntervalKind}, "Not Available As Monte Carlo Simulation"},
};

// The selections refused at start-up that are simulated again at a design
// they can draw: one value typed anew.
struct Redesign {
  Selection selection;
  std::int16_t id;
  const char* text;
};
const Redesign kRedesigned[] = {
  // 3 tables with a standard error of 0.1: 16 subjects per group and table.
  {{Procedure::LifeTable}, LifeTable::Ids::StdErrorOfMean, "0.1"},
};

// The selections whose calculated power is exact at the start-up options.
const Selection kExactPower[] = {
  {Procedure::UnpairedT},
  {Procedure::PairedT},
  {Procedure::FisherExact},
  {Procedure::NormalDistribution, 0, kTestKind},
};
// clang-format on

template <std::size_t N>
bool Listed(const Selection (&list)[N], const Selection& s) {
  return std::find(std::begin(list), std::end(list), s) != std::end(list);
}

class SimulationSweep : public testing::PlanningTest {
 protected:
  // A test planned by power (where it can be) from the start-up values, a
  // second sample size given as a ratio to the first.
  void ChooseSelection(const testing::Choice& choice) {
    Choose(choice);
    for (int k = 0; k < s.IntParRowCount; ++k)
      if (s.IntParRowGroup[static_cast<std::size_t>(k)] == group::SampleSize2) d.SetForm(group::SampleSize2, 2);
    if (s.IsTestProcedure != kFalse || s.ProcedureKind == kTestKind) d.SetPlanByPower(true);
    d.ApplyOptions();
  }

  // Solves for the first sample size of the list where the start-up values
  // allow; otherwise keeps the size typed.
  void SolveSampleSize() {
    ReadParameterValues(s);
    for (int p = 2; p <= s.LastPosition; ++p) {
      const std::string caption = s.entryAt(p).ParamCaption();
      if (caption.find("Si&ze") == std::string::npos && caption.find("Size &1") == std::string::npos &&
          caption.find("Sample Si") == std::string::npos)
        continue;
      const std::string typed = s.entryAt(p).ParamText;
      s.UnknownPosition = static_cast<std::int16_t>(p);
      s.ResultsCurrent = false;
      if (CalculateSingle(d) != SingleOutcome::Solved) {
        // Simulated at the size typed.
        s.entryAt(p).ParamText = typed;
        s.value(p) = ParseNumber(typed);
        ++unsolved;
      }
      break;
    }
    ui.messages.clear();
  }

  // The start-up design with its sample size solved, simulated with 200
  // studies each way.
  void SimulateSelection(const Selection& selection, const std::string& where, bool redesigned = false) {
    SolveSampleSize();
    SimulationRequest r;
    r.studies = 200;
    r.threads = 1;
    const std::atomic<bool> cancel{false};
    const auto started = std::chrono::steady_clock::now();
    const SimulationOutcome o = RunSimulation(d, r, cancel);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 2.0) << where;
    ++selections;
    for (const Refusal& refusal : kRefusedAtStartUp)
      if (refusal.selection == selection && !redesigned) {
        EXPECT_FALSE(o.result) << where;
        EXPECT_NE(o.error.find(refusal.says), std::string::npos) << where << ": " << o.error;
        return;
      }
    ASSERT_TRUE(o.result) << where << ": " << o.error;
    ++simulated;
    const SimulationResult& res = *o.result;
    if (res.interval) {
      ASSERT_TRUE(res.coverage && res.widthBelow) << where;
      EXPECT_TRUE(std::isfinite(res.coverage->estimate) && std::isfinite(res.widthBelow->estimate)) << where;
      EXPECT_GT(res.coverage->estimate, 0.5) << where;
      return;
    }
    ASSERT_TRUE(res.power && res.level) << where;
    ASSERT_TRUE(std::isfinite(res.power->estimate) && std::isfinite(res.level->estimate)) << where;
    EXPECT_LT(res.level->estimate, 0.2) << where;
    if (Listed(kExactPower, selection)) {
      ASSERT_TRUE(res.analyticPower) << where;
      const double p = *res.analyticPower;
      EXPECT_NEAR(res.power->estimate, p, 5 * std::sqrt(std::max(p * (1 - p), 0.01) / 200)) << where;
      ++exact;
    }
  }

  int selections = 0, simulated = 0, exact = 0, unsolved = 0;
};

TEST_F(SimulationSweep, EveryProcedureOfBothMenus) {
  const auto started = std::chrono::steady_clock::now();
  for (const ProcedureRow& row : Procedures()) {
    const std::string name = ProcedureName(row.procedure);
    if (row.menu == Menu::Tests) {
      ChooseSelection(testing::TestChoice(row.procedure, 0, 2));
      SimulateSelection({row.procedure}, name);
      for (const Redesign& redesign : kRedesigned)
        if (redesign.selection == Selection{row.procedure}) {
          s.entry(redesign.id).ParamText = redesign.text;
          SimulateSelection({row.procedure}, name + " at " + redesign.text, true);
        }
      continue;
    }
    ASSERT_TRUE(d.Select(row.procedure));
    const int choices = static_cast<int>(s.dialog.parameterChoices.size());
    for (int choice = 0; choice < choices; ++choice)
      for (int kind : {kTestKind, kIntervalKind}) {
        ChooseSelection(testing::DistChoice(row.procedure, choice, kind, 0, 2));
        if (!s.dialog.procedureEnabled[static_cast<std::size_t>(kind)] || s.ProcedureKind != kind) continue;
        SimulateSelection({row.procedure, choice, kind}, name + " choice " + std::to_string(choice) +
                                                             (kind == kTestKind ? " test" : " interval"));
      }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cout << "Simulation sweep: " << selections << " selections, " << simulated << " simulated, " << exact
            << " against their exact power, " << unsolved << " at the sizes typed, " << seconds << " s\n";
  EXPECT_GT(simulated, 20);
  EXPECT_GE(exact, 4);
}

// Every test of both menus planned by power with two interim analyses
// (O'Brien-Fleming) from the start-up values, its maximum sample size solved
// where they allow: each simulator analyses three
// looks without a number that is not one, and no look rejects more often
// than the whole study.
TEST_F(SimulationSweep, EveryTestWithInterimAnalyses) {
  int designs = 0;
  for (const ProcedureRow& row : Procedures()) {
    ASSERT_TRUE(d.Select(row.procedure));
    const int choices = row.menu == Menu::Tests ? 1 : static_cast<int>(s.dialog.parameterChoices.size());
    for (int choice = 0; choice < choices; ++choice) {
      ChooseSelection(row.menu == Menu::Tests ? testing::TestChoice(row.procedure, 0, 2)
                                              : testing::DistChoice(row.procedure, choice, kTestKind, 0, 2));
      if (s.IsTestProcedure == kFalse && s.ProcedureKind != kTestKind) continue;
      s.InterimCount = 2;
      const std::string where = ProcedureName(row.procedure) + " choice " + std::to_string(choice);
      SolveSampleSize();
      SimulationRequest r;
      r.studies = 200;
      r.threads = 1;
      const std::atomic<bool> cancel{false};
      const SimulationOutcome o = RunSimulation(d, r, cancel);
      s.InterimCount = 0;
      if (!o.result) {
        EXPECT_FALSE(o.error.empty()) << where;
        continue;
      }
      ++designs;
      const SimulationResult& res = *o.result;
      ASSERT_TRUE(res.power && res.level) << where;
      ASSERT_EQ(res.looks.size(), 3u) << where;
      EXPECT_TRUE(std::isfinite(res.power->estimate) && std::isfinite(res.level->estimate)) << where;
      for (const SimulatedLook& look : res.looks) EXPECT_LE(look.rejectH1, res.power->estimate + 1e-12) << where;
    }
  }
  EXPECT_GT(designs, 15);
}

}  // namespace
}  // namespace pelmora
