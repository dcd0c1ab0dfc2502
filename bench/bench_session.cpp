// What every request of pelmora-cli --batch does in process: make a session,
// and solve the unpaired t-test's first sample size for means 0 and 0.5,
// standard deviation 1 and equal groups, by its just-significant result and
// planned by a power of 0.8 (goals: a session under 2 us, the solves 3 us and
// 5 us).
#include <benchmark/benchmark.h>

#include "engine/calculation.h"
#include "engine/dispatch.h"

namespace {

using namespace pelmora;

void BM_MakeSession(benchmark::State& state) {
  RecordingUserInterface ui;
  for (auto _ : state) {
    Session s{ui};
    benchmark::DoNotOptimize(&s);
  }
}
BENCHMARK(BM_MakeSession);

void BM_MakeSessionAndDispatcher(benchmark::State& state) {
  RecordingUserInterface ui;
  for (auto _ : state) {
    Session s{ui};
    Dispatcher d{s};
    benchmark::DoNotOptimize(&d);
  }
}
BENCHMARK(BM_MakeSessionAndDispatcher);

// The design of the command line
//   --test 0 --mode 2=2 [--power 0.8] --set "Mean 1*=0" --set "Mean 2*=0.5"
//   --set "Standard Deviation*=1" --set "Sample Size 2 / Sample Size 1=1"
//   --unknown "Sample Size 1"
struct TTestDesign {
  RecordingUserInterface ui;
  Session s{ui};
  Dispatcher d{s};
  explicit TTestDesign(bool byPower) {
    d.Select(Procedure::UnpairedT);
    d.SetForm(2, 2);
    d.SetPlanByPower(byPower);
    d.ApplyOptions();
    const int first = byPower ? 3 : 2;  // "H0: Mean 2 - Mean 1"
    const char* texts[] = {"0", "0", "0.5", "1", "30", "1"};
    for (int k = 0; k < 6; ++k) s.entryAt(first + k).ParamText = texts[k];
    if (byPower) s.entryAt(2).ParamText = "0.8";
    s.UnknownPosition = static_cast<std::int16_t>(first + 4);
    ReadParameterValues(s);
    d.CallCheckParameters();
  }
};

void SolveOnce(benchmark::State& state, bool byPower) {
  TTestDesign design(byPower);
  int evaluations = 0;
  for (auto _ : state) evaluations = SolveAtOnePoint(design.d).evaluations;
  state.counters["evaluations"] = evaluations;
}

void CalculateOnce(benchmark::State& state, bool byPower) {
  TTestDesign design(byPower);
  for (auto _ : state) {
    design.s.ResultsCurrent = false;
    benchmark::DoNotOptimize(CalculateSingle(design.d));
  }
}

void BM_TTestDesignSolveJustSignificant(benchmark::State& state) { SolveOnce(state, false); }
BENCHMARK(BM_TTestDesignSolveJustSignificant)->Unit(benchmark::kMicrosecond);
void BM_TTestDesignSolveByPower(benchmark::State& state) { SolveOnce(state, true); }
BENCHMARK(BM_TTestDesignSolveByPower)->Unit(benchmark::kMicrosecond);
// The same with the checks of the values and the power at the whole sizes.
void BM_TTestDesignCalculateJustSignificant(benchmark::State& state) { CalculateOnce(state, false); }
BENCHMARK(BM_TTestDesignCalculateJustSignificant)->Unit(benchmark::kMicrosecond);
void BM_TTestDesignCalculateByPower(benchmark::State& state) { CalculateOnce(state, true); }
BENCHMARK(BM_TTestDesignCalculateByPower)->Unit(benchmark::kMicrosecond);

}  // namespace
