// The engine end to end: one t-test solve for the sample size, and a range of
// 100 x steps for 10 z values.
#include <benchmark/benchmark.h>

#include "engine/calculation.h"
#include "session/dispatch.h"

namespace {

using namespace pelmora;

// An unpaired two-sided t-test with equal sample sizes (ratio form), solving
// for the first sample size.
struct TTestPlan {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  TTestPlan() {
    d.SelectTest(0);
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

}  // namespace
