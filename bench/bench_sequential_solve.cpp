// The unpaired t-test planned by power with 3 interim analyses: one solve for
// the maximum sample size with the design cached (as every solve after the
// first of a window), one with a new design each time (a Kim-DeMets rho
// that no cached design has), and a table of the maximum size over 100
// standard deviations for 10 means.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/calculation.h"
#include "engine/dispatch.h"
#include "engine/range.h"

namespace {

using namespace pelmora;

struct SequentialTTest {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  SequentialTTest() {
    d.Select(Procedure::UnpairedT);
    d.SetForm(2, 2);
    d.SetPlanByPower(true);
    d.ApplyOptions();
    const char* texts[] = {"0.05", "0.80", "0.80", "0", "0", "0.5", "1", "64", "1"};
    for (int p = 0; p <= s.LastPosition; ++p) s.entryAt(p).ParamText = texts[p];
    ReadParameterValues(s);
    s.InterimCount = 3;
    s.UnknownPosition = 7;  // "Sample Size 1"
    s.XPosition = 6;        // "Standard Deviation*"
    s.ZPosition = 5;        // "Mean 2*"
  }
};

void BM_SequentialTTestSolve(benchmark::State& state) {
  SequentialTTest plan;
  for (auto _ : state) benchmark::DoNotOptimize(SolveAtOnePoint(plan.d));
}
BENCHMARK(BM_SequentialTTestSolve)->Unit(benchmark::kMicrosecond);

void BM_SequentialTTestSolveNewDesign(benchmark::State& state) {
  SequentialTTest plan;
  plan.s.planning.BoundaryFamily = static_cast<std::int16_t>(sequential::Family::KimDeMetsSpending);
  int k = 0;
  for (auto _ : state) {
    plan.s.planning.BoundaryParameter = std::to_string(1 + 0.01 * (k++ % 500));
    benchmark::DoNotOptimize(SolveAtOnePoint(plan.d));
  }
}
BENCHMARK(BM_SequentialTTestSolveNewDesign)->Unit(benchmark::kMicrosecond);

void BM_SequentialTTestTable100x10(benchmark::State& state) {
  SequentialTTest plan;
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
BENCHMARK(BM_SequentialTTestTable100x10)->Unit(benchmark::kMillisecond);

}  // namespace
