// Group-sequential designs: one design with five interim analyses and alpha
// spending (its bounds and its power), the power of a made design at a new
// drift, and a design with beta-spending futility bounds (which are found
// anew at every drift).
#include <benchmark/benchmark.h>

#include "numeric/group_sequential.h"

namespace {

using namespace pelmora;
using sequential::Family;

SequentialPlan FiveInterims(Family efficacy, Family futility) {
  SequentialPlan plan;
  plan.interims = 5;
  plan.sides = 2;
  plan.alpha = 0.05;
  plan.efficacy = efficacy;
  plan.futility = futility;
  plan.power = 0.8;
  return plan;
}

void BM_SpendingDesignAndPower(benchmark::State& state) {
  SequentialPlan plan = FiveInterims(Family::OBrienFlemingSpending, Family::None);
  for (auto _ : state) {
    SequentialDesignOutcome made = SequentialDesign::Make(plan);
    benchmark::DoNotOptimize(made.design->Power(2.8));
  }
}
BENCHMARK(BM_SpendingDesignAndPower)->Unit(benchmark::kMicrosecond);

void BM_PowerAtNewDrift(benchmark::State& state) {
  SequentialPlan plan = FiveInterims(Family::OBrienFlemingSpending, Family::None);
  plan.interims = static_cast<int>(state.range(0));
  SequentialDesignOutcome made = SequentialDesign::Make(plan);
  double theta = 2.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(made.design->Power(theta));
    theta = theta < 3.5 ? theta + 0.01 : 2.5;
  }
}
BENCHMARK(BM_PowerAtNewDrift)->Arg(3)->Arg(5)->Unit(benchmark::kMicrosecond);

void BM_ConstantDesign(benchmark::State& state) {
  SequentialPlan plan = FiveInterims(Family::OBrienFleming, Family::None);
  for (auto _ : state) benchmark::DoNotOptimize(SequentialDesign::Make(plan).design->Power(2.8));
}
BENCHMARK(BM_ConstantDesign)->Unit(benchmark::kMicrosecond);

void BM_FutilityPowerAtNewDrift(benchmark::State& state) {
  SequentialPlan plan = FiveInterims(Family::OBrienFlemingSpending, Family::HwangShihDeCaniSpending);
  plan.binding = state.range(0) != 0;
  SequentialDesignOutcome made = SequentialDesign::Make(plan);
  double theta = 2.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(made.design->Power(theta));
    theta = theta < 3.5 ? theta + 0.01 : 2.5;
  }
}
BENCHMARK(BM_FutilityPowerAtNewDrift)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FutilityDriftForPower(benchmark::State& state) {
  SequentialPlan plan = FiveInterims(Family::OBrienFlemingSpending, Family::HwangShihDeCaniSpending);
  plan.binding = true;
  SequentialDesignOutcome made = SequentialDesign::Make(plan);
  for (auto _ : state) benchmark::DoNotOptimize(made.design->DriftForPower(0.8));
}
BENCHMARK(BM_FutilityDriftForPower)->Unit(benchmark::kMillisecond);

}  // namespace
