// The engine end to end: one t-test solve for the sample size, and a range of
// 100 x steps for 10 z values; the same test planned by power: a solve for
// the sample size at a power of 0.8, and a table of its power over 100
// sample sizes for 10 standard deviations.
#include <benchmark/benchmark.h>

#include "engine/calculation.h"
#include "engine/dispatch.h"

namespace {

using namespace pelmora;

// An unpaired two-sided t-test with equal sample sizes (ratio form), solving
// for the first sample size.
struct TTestPlan {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  TTestPlan() {
    d.Select(Procedure::UnpairedT);
    d.SetForm(2, 2);
    d.ApplyOptions();
    s.UnknownPosition = 6;  // "Sample Size 1"
    s.XPosition = 5;        // "Standard Deviation*"
    s.ZPosition = 4;        // "Mean 2*"
  }
};

void BM_TTestSingleSolve(benchmark::State& state) {
  TTestPlan plan;
  for (auto _ : state) {
    plan.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateSingle(plan.d));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TTestSingleSolve);

void BM_TTestRange100x10(benchmark::State& state) {
  TTestPlan plan;
  CatalogueEntry& x = plan.s.entryAt(plan.s.XPosition);
  x.TableMin = "0.5";
  x.TableMax = "1.49";
  x.TableStep = "0.01";
  plan.s.entryAt(plan.s.ZPosition).ZValueText = "0.5 0.55 0.6 0.65 0.7 0.75 0.8 0.85 0.9 0.95";
  for (auto _ : state) {
    plan.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateRange(plan.d));
  }
}
BENCHMARK(BM_TTestRange100x10)->Unit(benchmark::kMillisecond);

// The unpaired t-test of TTestPlan planned by power: P-value 0.05, power 0.8,
// means 0 and 0.5, standard deviation 1, equal sample sizes.
struct TTestPowerPlan {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  TTestPowerPlan() {
    d.Select(Procedure::UnpairedT);
    d.SetForm(2, 2);
    d.SetPlanByPower(true);
    d.ApplyOptions();
    const char* texts[] = {"0.05", "0.80", "0.80", "0", "0", "0.5", "1", "64", "1"};
    for (int p = 0; p <= s.LastPosition; ++p) s.entryAt(p).ParamText = texts[p];
    ReadParameterValues(s);
    s.UnknownPosition = 7;  // "Sample Size 1"
    s.XPosition = 6;        // "Standard Deviation*"
    s.ZPosition = 5;        // "Mean 2*"
  }
};

void BM_TTestSolveByPower(benchmark::State& state) {
  TTestPowerPlan plan;
  int evaluations = 0;
  for (auto _ : state) evaluations = SolveAtOnePoint(plan.d).evaluations;
  state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_TTestSolveByPower)->Unit(benchmark::kMicrosecond);

// The power as the unknown of a table: Sample Size 1 from 10 to 109 by 10
// standard deviations.
void BM_TTestPowerTableByPower100x10(benchmark::State& state) {
  TTestPowerPlan plan;
  Session& s = plan.s;
  s.UnknownPosition = 2;  // "Power"
  s.XPosition = 7;        // "Sample Size 1"
  s.ZPosition = 6;        // "Standard Deviation*"
  CatalogueEntry& x = s.entryAt(s.XPosition);
  x.TableMin = "10";
  x.TableMax = "109";
  x.TableStep = "1";
  s.entryAt(s.ZPosition).ZValueText = "0.5 0.6 0.7 0.8 0.9 1 1.1 1.2 1.3 1.4";
  for (auto _ : state) {
    s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateRange(plan.d));
  }
}
BENCHMARK(BM_TTestPowerTableByPower100x10)->Unit(benchmark::kMillisecond);

}  // namespace
