// Time of one root search on a smooth criterion shaped like a P-value falling
// with the sample size.
#include <benchmark/benchmark.h>

#include <cmath>

#include "numeric/root.h"

namespace {

void BM_FindRootSmooth(benchmark::State& state) {
  auto f = [](double n) { return std::erfc(std::sqrt(n) * 0.25) - 0.05; };
  for (auto _ : state) {
    pelmora::RootResult r = pelmora::FindRoot(f, 3, 99999, 1e-5, 500);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_FindRootSmooth);

}  // namespace
