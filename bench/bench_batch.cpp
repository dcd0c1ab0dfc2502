// The reading of --batch requests: one request whose "set" object has N keys,
// read as JSON and turned into the arguments of its call (which refuses the
// first key, a caption no parameter has).  The time grows with N, not with
// its square; beyond 1 MiB (some 90,000 such keys) a line is refused unread.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "cli/batch.h"
#include "cli/cli.h"
#include "cli/json_reader.h"

namespace {

std::string ManyKeys(int keys) {
  std::string line = R"({"id": 1, "test": 0, "set": {)";
  for (int k = 0; k < keys; ++k) line += (k > 0 ? ", \"p" : "\"p") + std::to_string(k) + "\": 1";
  return line + "}}";
}

void BM_ReadRequestOfManyKeys(benchmark::State& state) {
  const std::string line = ManyKeys(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string error;
    const auto request = pelmora::cli::ReadJson(line, error);
    std::ostringstream out, err;
    benchmark::DoNotOptimize(pelmora::RunCli(pelmora::cli::BatchArguments(*request), out, err));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadRequestOfManyKeys)->Arg(10'000)->Arg(50'000)->Arg(200'000)->Complexity()->Unit(
    benchmark::kMillisecond);

// The whole answer through --batch, the line limit included.
void BM_BatchLineOfManyKeys(benchmark::State& state) {
  const std::string input = ManyKeys(static_cast<int>(state.range(0))) + "\n";
  for (auto _ : state) {
    std::istringstream in(input);
    std::ostringstream out, err;
    benchmark::DoNotOptimize(pelmora::RunCli({"--batch"}, in, out, err));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}
BENCHMARK(BM_BatchLineOfManyKeys)->Arg(70'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

// One request of scripts/benchmark-cli.sh answered through --batch: the
// first sample size of the unpaired t-test with equal sizes, by its
// just-significant result and planned by a power of 0.8 (goals: at most
// twice the in-process calculation of the same design).
void BatchRequest(benchmark::State& state, const std::string& extra) {
  const std::string input = R"({"id": 1, "test": 0, "modes": {"2": 2})" + extra +
                            R"(, "set": {"Mean 1*": 0, "Mean 2*": 0.5, "Standard Deviation*": 1, )"
                            R"("Sample Size 2 / Sample Size 1": 1}, "unknown": "Sample Size 1"})"
                            "\n";
  for (auto _ : state) {
    std::istringstream in(input);
    std::ostringstream out, err;
    benchmark::DoNotOptimize(pelmora::RunCli({"--batch"}, in, out, err));
  }
}
void BM_BatchTTestRequestJustSignificant(benchmark::State& state) { BatchRequest(state, ""); }
BENCHMARK(BM_BatchTTestRequestJustSignificant)->Unit(benchmark::kMicrosecond);
void BM_BatchTTestRequestByPower(benchmark::State& state) { BatchRequest(state, R"(, "power": 0.8)"); }
BENCHMARK(BM_BatchTTestRequestByPower)->Unit(benchmark::kMicrosecond);

}  // namespace
