// The random numbers and the block runner of the Monte Carlo simulation:
// normal draws per second, one simulated two-group study (64 + 64 normal
// observations, the mean and variance of each group), the block runner with
// one and two threads, and the count draws at a study's sizes.  The goal the
// draws serve: 1,000,000 unpaired t-test studies of 64 + 64 observations
// under 1.5 s on one thread, and two threads at least 1.8 times one.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <optional>

#include "engine/simulation_blocks.h"
#include "numeric/random_stream.h"
#include "numeric/sample_moments.h"
#include "numeric/simulated_counts.h"
#include "numeric/simulated_data.h"

namespace {

using namespace pelmora;

void BM_NormalDraw(benchmark::State& state) {
  RandomStream stream(1, 0);
  for (auto _ : state) benchmark::DoNotOptimize(stream.Normal());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NormalDraw);

// Argument: the number of draws per call of FillNormal.
void BM_FillNormal(benchmark::State& state) {
  RandomStream stream(1, 0);
  std::vector<double> x(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    stream.FillNormal(x);
    benchmark::DoNotOptimize(x.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillNormal)->Arg(64)->Arg(1024);

// Argument: the data model; 64 observations per call.
void BM_ObservationFill(benchmark::State& state) {
  const auto model = kDataModels[static_cast<std::size_t>(state.range(0))];
  const ObservationSampler sampler = *ObservationSampler::WithMoments(model, 10, 2);
  RandomStream stream(1, 0);
  std::array<double, 64> x;
  for (auto _ : state) {
    sampler.Fill(stream, x);
    benchmark::DoNotOptimize(x.data());
  }
  state.SetItemsProcessed(state.iterations() * 64);
  state.SetLabel(std::string(DataModelName(model)));
}
BENCHMARK(BM_ObservationFill)->DenseRange(0, 3);

// One study of the unpaired comparison: 64 + 64 normal observations, each
// group's mean and variance, and the t statistic of the pooled variance.
struct TwoGroupStudy {
  ObservationSampler group1 = *ObservationSampler::WithMoments(DataModel::kNormal, 0, 1);
  ObservationSampler group2 = *ObservationSampler::WithMoments(DataModel::kNormal, 0.5, 1);
  std::array<double, 64> x1, x2;
  double operator()(RandomStream& stream) {
    group1.Fill(stream, x1);
    group2.Fill(stream, x2);
    const SampleMoments m1 = MomentsOf(x1), m2 = MomentsOf(x2);
    return (m2.mean - m1.mean) / std::sqrt((m1.variance + m2.variance) / 64);
  }
};

void BM_TwoGroupStudy(benchmark::State& state) {
  RandomStream stream(1, 0);
  TwoGroupStudy study;
  for (auto _ : state) benchmark::DoNotOptimize(study(stream));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TwoGroupStudy);

// The block runner over the studies above, counting |t| > 1.979 (about the
// two-sided 5% point at 126 degrees of freedom).  Argument: threads; 100,000
// studies per run.  With one thread, the difference to BM_TwoGroupStudy is
// the runner's overhead.
void BM_BlockRunner(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  BlockJob<TwoGroupStudy, std::int64_t> job;
  job.make_state = [] { return TwoGroupStudy{}; };
  job.run_block = [](TwoGroupStudy& study, RandomStream& stream,
                     const StudyBlock& block) -> std::optional<std::int64_t> {
    std::int64_t rejections = 0;
    for (std::int64_t i = 0; i < block.count; ++i) {
      if (block.ShouldStop()) return std::nullopt;
      rejections += std::fabs(study(stream)) > 1.979;
    }
    return rejections;
  };
  job.combine = [](std::int64_t& total, const std::int64_t& block) { total += block; };
  BlockRunSettings settings;
  settings.studies = 100000;
  settings.threads = threads;
  const std::atomic<bool> cancel{false};
  for (auto _ : state) benchmark::DoNotOptimize(RunStudyBlocks(settings, job, cancel).combined);
  state.SetItemsProcessed(state.iterations() * settings.studies);
}
BENCHMARK(BM_BlockRunner)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Count draws at a study's sizes.  Arguments: trials (the population is
// 20 times as large for the hypergeometric draw).
void BM_BinomialDraw(benchmark::State& state) {
  RandomStream stream(1, 0);
  for (auto _ : state) benchmark::DoNotOptimize(DrawBinomial(stream, state.range(0), 0.3));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BinomialDraw)->Arg(102)->Arg(100000);

void BM_HypergeometricDraw(benchmark::State& state) {
  RandomStream stream(1, 0);
  const std::int64_t n = state.range(0);
  for (auto _ : state) benchmark::DoNotOptimize(DrawHypergeometric(stream, 20 * n, 6 * n, n));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HypergeometricDraw)->Arg(102)->Arg(10000);

void BM_PoissonDraw(benchmark::State& state) {
  RandomStream stream(1, 0);
  const double mean = static_cast<double>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(DrawPoisson(stream, mean));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PoissonDraw)->Arg(4)->Arg(200);

}  // namespace
