// Tests of the block runner: its result is the combination in block order of
// blocks that draw from their own streams, whatever the number of threads,
// and so are the prefixes it keeps when the stop rule ends a run or a cancel
// interrupts it.  The reference is the definition computed directly: block k
// of a run of seed S is the studies drawn from RandomStream(S, k), in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine/simulation_blocks.h"
#include "numeric/proportion_interval.h"

namespace pelmora {
namespace {

// A study's result: the mean of 10 normal draws.  A run's result is the list
// of its studies' results, so that any change of numbers or of order shows.
using Means = std::vector<double>;

double Study(RandomStream& stream) {
  double x[10], mean = 0;
  stream.FillNormal(x);
  for (double v : x) mean += v / 10;
  return mean;
}

constexpr std::int64_t kBlock = 500;

// The first `studies` studies of a run of seed 5 by the definition.
Means Reference(std::int64_t studies) {
  Means means;
  for (std::int64_t k = 0; k * kBlock < studies; ++k) {
    RandomStream stream(5, static_cast<std::uint64_t>(k));
    for (std::int64_t i = 0; i < std::min(kBlock, studies - k * kBlock); ++i) means.push_back(Study(stream));
  }
  return means;
}

// The job of those studies.  One slow block ends after those that follow it
// whenever another thread can overtake it; the start of one block can cancel
// the run, another can fail.
struct Job {
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> states{0};
  std::vector<std::int64_t> progress;
  std::int64_t slow_block = 0, cancel_at = -1, fail_at = -1;
  std::chrono::milliseconds study_time{0};
  std::atomic<bool> cancel{false};
  BlockJob<int, Means> job;

  Job() {
    // One state per worker, made on the workers; progress on the caller's thread.
    job.make_state = [this] {
      EXPECT_NE(std::this_thread::get_id(), caller);
      return ++states;
    };
    job.run_block = [this](int&, RandomStream& stream, const StudyBlock& block) -> std::optional<Means> {
      if (block.index == cancel_at) cancel = true;
      if (block.index == fail_at) throw std::runtime_error("the block failed");
      if (block.index == slow_block) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      Means means;
      for (std::int64_t i = 0; i < block.count; ++i) {
        if (block.ShouldStop()) return std::nullopt;
        std::this_thread::sleep_for(study_time);
        means.push_back(Study(stream));
      }
      return means;
    };
    job.combine = [](Means& all, const Means& block) { all.insert(all.end(), block.begin(), block.end()); };
    job.progress = [this](std::int64_t studies, const Means& combined) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      EXPECT_EQ(static_cast<std::int64_t>(combined.size()), studies);
      progress.push_back(studies);
    };
  }
  BlockRunOutcome<Means> Run(std::int64_t studies, int threads, std::uint64_t seed = 5,
                             std::uint64_t lane = 0) {
    return RunStudyBlocks(BlockRunSettings{studies, seed, lane, kBlock, threads, 0}, job, cancel);
  }
};

TEST(SimulationBlocks, EveryNumberOfThreadsGivesTheDefinedResult) {
  // Until the 95% interval of the share of means above 0.3 (about 0.17) is
  // narrower than +/- 0.01: about 5,400 studies, decided after whole blocks.
  const auto narrow = [](const Means& m, std::int64_t studies) {
    const auto above = std::count_if(m.begin(), m.end(), [](double x) { return x > 0.3; });
    return WilsonInterval(above, studies)->HalfWidth() < 0.01;
  };
  const Means reference = Reference(10250);  // 20 whole blocks and one of 250
  std::int64_t first = 0;
  for (int threads : {1, 2, 8}) {
    SCOPED_TRACE(threads);
    Job all;
    const auto outcome = all.Run(10250, threads);
    EXPECT_EQ(outcome.combined, reference);
    const BlockRunReport& r = outcome.report;
    EXPECT_TRUE(r.studies_planned == 10250 && r.studies_done == 10250 && r.blocks_done == 21);
    EXPECT_FALSE(r.cancelled || r.stopped);
    EXPECT_EQ(all.states, threads);
    EXPECT_TRUE(std::is_sorted(all.progress.begin(), all.progress.end()));
    EXPECT_EQ(all.progress.back(), 10250);

    // The stop rule ends every run after the same block.
    Job until;
    until.job.stop_when = narrow;
    const auto stopped = until.Run(20000, threads);
    EXPECT_TRUE(stopped.report.stopped && !stopped.report.cancelled);
    if (first == 0) first = stopped.report.studies_done;
    EXPECT_EQ(stopped.combined, Reference(first));

    // The cancel comes as block 6 starts.  One thread has finished blocks 0
    // to 5; with more, the slow block 2 is usually still running and is
    // abandoned, and the blocks finished beyond it are not kept.
    Job cancelled;
    cancelled.slow_block = 2;
    cancelled.cancel_at = 6;
    const auto kept = cancelled.Run(50000, threads);
    EXPECT_TRUE(kept.report.cancelled);
    EXPECT_TRUE(threads == 1 ? kept.report.studies_done == 3000 : kept.report.studies_done <= 3000);
    EXPECT_EQ(kept.combined, Reference(kept.report.studies_done));
  }
  // It is the first prefix that satisfies the rule.
  EXPECT_TRUE(first > 4000 && first < 20000) << first;
  EXPECT_TRUE(narrow(Reference(first), first));
  EXPECT_FALSE(narrow(Reference(first - kBlock), first - kBlock));
  // Another seed, another lane: other numbers; no studies: nothing.
  Job other;
  EXPECT_NE(other.Run(10250, 2, 6).combined, reference);
  EXPECT_NE(other.Run(10250, 2, 5, 1).combined, reference);
  EXPECT_EQ(other.Run(0, 2).report.studies_done, 0);
}

TEST(SimulationBlocks, CancelIsPromptAndFailuresReachTheCaller) {
  // Studies of 1 ms: the cancel as block 1 starts does not wait for block 0
  // (0.5 s) to end.
  Job slow;
  slow.study_time = std::chrono::milliseconds(1);
  slow.cancel_at = 1;
  const auto start = std::chrono::steady_clock::now();
  const auto outcome = slow.Run(100000, 2);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.3);
  EXPECT_TRUE(outcome.report.cancelled && outcome.report.studies_done == 0);
  for (int threads : {1, 3}) {
    Job failing;
    failing.fail_at = 3;
    EXPECT_THROW(failing.Run(10000, threads), std::runtime_error);
  }
}

}  // namespace
}  // namespace pelmora
