// The power of planned tests: one t-test power, a root search of the t-test's
// sample size for a power of 0.8 (the solver alone, without the engine), the
// 1000 powers of a 100 x 10 table of the t-test, and Fisher's exact power at
// 100 and at 500 per group.
#include <benchmark/benchmark.h>

#include <optional>

#include "numeric/root.h"
#include "engine/dispatch.h"

namespace {

using namespace pelmora;

// An unpaired two-sided t-test, alpha 0.05, means 0 and 0.5, SD 1, n1 = n2.
struct TTestPower {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  TTestPower() {
    d.Select(Procedure::UnpairedT);
    d.ApplyOptions();
    const double values[] = {0.05, 0.8, 0, 0, 0.5, 1, 64, 64};
    for (std::size_t p = 0; p < 8; ++p) s.ParameterValues[p] = values[p];
  }
  double At(double n, double sd) {
    s.ParameterValues[5] = sd;
    s.ParameterValues[6] = s.ParameterValues[7] = n;
    return d.CallEvaluatePower().value_or(-1);
  }
};

void BM_TTestPower(benchmark::State& state) {
  TTestPower plan;
  for (auto _ : state) benchmark::DoNotOptimize(plan.At(64, 1));
}
BENCHMARK(BM_TTestPower)->Unit(benchmark::kMicrosecond);

void BM_TTestSampleSizeForPower(benchmark::State& state) {
  TTestPower plan;
  int evaluations = 0;
  for (auto _ : state) {
    evaluations = 0;
    const RootResult r = FindRoot(
        [&](double n) {
          ++evaluations;
          return plan.At(n, 1) - 0.8;
        },
        3, 99999, 1e-5, 500);
    benchmark::DoNotOptimize(r.root);
  }
  state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_TTestSampleSizeForPower)->Unit(benchmark::kMicrosecond);

// 100 sample sizes (10 to 109) by 10 standard deviations (0.5 to 1.4).
void BM_TTestPowerTable100x10(benchmark::State& state) {
  TTestPower plan;
  for (auto _ : state) {
    double sum = 0;
    for (int z = 0; z < 10; ++z)
      for (int x = 0; x < 100; ++x) sum += plan.At(10 + x, 0.5 + 0.1 * z);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_TTestPowerTable100x10)->Unit(benchmark::kMillisecond);

// Fisher's exact test, two-sided, p1 = 0.3 and p2 = 0.5 (argument: the size
// of each group).
void BM_FisherPower(benchmark::State& state) {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  d.Select(Procedure::FisherExact);
  d.ApplyOptions();
  const double n = static_cast<double>(state.range(0));
  const double values[] = {0.05, 0.8, 0.3, 0.5, n, n};
  for (std::size_t p = 0; p < 6; ++p) s.ParameterValues[p] = values[p];
  for (auto _ : state) benchmark::DoNotOptimize(d.CallEvaluatePower());
}
BENCHMARK(BM_FisherPower)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
