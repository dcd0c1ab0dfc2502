// Fisher's exact test: the exact probabilities of one table, one solve of the
// first sample size near 500, and a table of 100 x steps.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/calculation.h"
#include "numeric/fisher.h"
#include "session/dispatch.h"

namespace {

using namespace pelmora;

// Argument: the size of each row; the counts are near the middle.
void BM_FisherExactTable(benchmark::State& state) {
  const auto n = static_cast<std::int16_t>(state.range(0));
  const auto a = static_cast<std::int16_t>(n / 2), c = static_cast<std::int16_t>(n * 0.56);
  const FisherTable table{{{a, static_cast<std::int16_t>(n - a)}, {c, static_cast<std::int16_t>(n - c)}}};
  for (auto _ : state) benchmark::DoNotOptimize(FisherExact(table));
}
BENCHMARK(BM_FisherExactTable)->Arg(30)->Arg(500)->Arg(1000);

// Fisher's exact test, two-sided, equal sample sizes (ratio form), p1 = 0.5 and
// p2 = 0.561: the first sample size is solved at 533.87.
struct FisherPlan {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  FisherPlan() {
    d.SelectTest(4);
    d.SetForm(2, 2);
    d.ApplyOptions();
    s.entry(69).ParamText = "0.561";  // "Proportion 2*"
    s.UnknownPosition = 4;            // "Sample Size 1"
    s.XPosition = 3;                  // "Proportion 2*"
    s.ZPosition = 2;                  // "Proportion 1*"
  }
};

void BM_FisherSampleSizeSolve(benchmark::State& state) {
  FisherPlan plan;
  for (auto _ : state) {
    plan.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateSingle(plan.d));
  }
  state.counters["evaluations"] = LastSolveEvaluations();
}
BENCHMARK(BM_FisherSampleSizeSolve)->Unit(benchmark::kMicrosecond);

// The first sample size for p2 from 0.56 to 0.659 in steps of 0.001 (sizes
// from about 570 down to about 100), p1 = 0.5.
void BM_FisherRange100(benchmark::State& state) {
  FisherPlan plan;
  CatalogueEntry& x = plan.s.entryAt(plan.s.XPosition);
  x.TableMin = "0.56";
  x.TableMax = "0.659";
  x.TableStep = "0.001";
  plan.s.entryAt(plan.s.ZPosition).ZValueText = "0.5";
  for (auto _ : state) {
    plan.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateRange(plan.d));
  }
  int calculable = 0;
  for (Single y : plan.s.YValues.at(0))
    if (y < 99999.0f) ++calculable;
  state.counters["points"] = static_cast<double>(plan.s.XValues.size());
  state.counters["calculable"] = calculable;
}
BENCHMARK(BM_FisherRange100)->Unit(benchmark::kMillisecond);

}  // namespace
