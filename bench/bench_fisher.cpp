// Fisher's exact test: the exact probabilities of one table, one solve of the
// first sample size near 500 in whole steps, a table of 100 x steps, and one
// of 100 x 10 (goals: a solve under 5 ms, the 100 x 10 table under 1 s).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/calculation.h"
#include "numeric/fisher.h"
#include "engine/dispatch.h"

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
// p2 = 0.561: the first sample size is 572, the smallest from which on the
// assumed table stays significant.
struct FisherPlan {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  FisherPlan() {
    d.Select(Procedure::FisherExact);
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
  plan.s.ResultsCurrent = false;
  CalculateSingle(plan.d);  // the values read and checked once
  int evaluations = 0;
  for (auto _ : state) evaluations = SolveAtOnePoint(plan.d).evaluations;
  state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_FisherSampleSizeSolve)->Unit(benchmark::kMicrosecond);

// The same as the Calculation window computes it: the checks, the solve and
// the exact power of the solved design at its whole sizes.
void BM_FisherSampleSizeCalculation(benchmark::State& state) {
  FisherPlan plan;
  for (auto _ : state) {
    plan.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateSingle(plan.d));
  }
}
BENCHMARK(BM_FisherSampleSizeCalculation)->Unit(benchmark::kMicrosecond);

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
    if (IsCalculated(y)) ++calculable;
  state.counters["points"] = static_cast<double>(plan.s.XValues.size());
  state.counters["calculable"] = calculable;
}
BENCHMARK(BM_FisherRange100)->Unit(benchmark::kMillisecond);

// The first sample size for p2 from 0.55 to 0.649 by 0.001 and p1 from 0.46 to
// 0.505 by 0.005: 1000 solves, sizes from about 60 to about 1000.
void BM_FisherTable100x10(benchmark::State& state) {
  FisherPlan plan;
  CatalogueEntry& x = plan.s.entryAt(plan.s.XPosition);
  x.TableMin = "0.55";
  x.TableMax = "0.649";
  x.TableStep = "0.001";
  plan.s.entryAt(plan.s.ZPosition).ZValueText = "0.46 0.465 0.47 0.475 0.48 0.485 0.49 0.495 0.5 0.505";
  for (auto _ : state) {
    plan.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateRange(plan.d));
  }
  int calculable = 0;
  for (const auto& column : plan.s.YValues)
    for (Single y : column)
      if (IsCalculated(y)) ++calculable;
  state.counters["calculable"] = calculable;
}
BENCHMARK(BM_FisherTable100x10)->Unit(benchmark::kMillisecond);

}  // namespace
