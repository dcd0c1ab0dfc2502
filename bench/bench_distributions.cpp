// Timing of the distribution functions that the root search evaluates most often.
#include <benchmark/benchmark.h>

#include "numeric/distributions.h"

namespace pelmora {
namespace {

void BM_NormalCdf(benchmark::State& state) {
  const Single z = static_cast<Single>(state.range(0)) / 100;
  for (auto _ : state) benchmark::DoNotOptimize(NormalCdf(z));
}
BENCHMARK(BM_NormalCdf)->Arg(-250)->Arg(50)->Arg(196);

// Argument: degrees of freedom; t = 2.
void BM_StudentCdf(benchmark::State& state) {
  const Single df = static_cast<Single>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(StudentCdf(2.0f, df));
}
BENCHMARK(BM_StudentCdf)->Arg(3)->Arg(10)->Arg(50);

// Arguments: a and b; x at the mean a/(a + b), where the fraction needs the
// most passes.
void BM_IncompleteBeta(benchmark::State& state) {
  const Single a = static_cast<Single>(state.range(0));
  const Single b = static_cast<Single>(state.range(1));
  const Single x = a / (a + b);
  for (auto _ : state) benchmark::DoNotOptimize(IncompleteBeta(x, a, b));
}
BENCHMARK(BM_IncompleteBeta)->Args({2, 3})->Args({5, 5})->Args({25, 25});

// Arguments: df1 and df2; f = 2.  df 10/10 and 50/50 take the incomplete beta,
// 50/200 Paulson's approximation.
void BM_FCdf(benchmark::State& state) {
  const Single df1 = static_cast<Single>(state.range(0));
  const Single df2 = static_cast<Single>(state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(FCdf(2.0f, df1, df2));
}
BENCHMARK(BM_FCdf)->Args({10, 10})->Args({50, 50})->Args({50, 200});

}  // namespace
}  // namespace pelmora
