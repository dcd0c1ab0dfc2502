// The deterministic block runner of the Monte Carlo simulation.
//
// The studies of a run are cut into blocks of a fixed size (the last block
// shorter); block k draws from RandomStream(seed, k, lane) alone.  Worker
// threads take the blocks in turn, each worker with a state of its own (its
// Session and module objects); every block's result is kept by its index,
// and the runner's thread combines the results in block order.  So the
// combined result depends on the settings alone: it is bit-identical for
// any number of threads, on every machine, and after a cancel and a new run
// with the same settings.  Nothing in a result depends on timing.
//
// Stopping.  After each block joins the combined prefix, the optional "stop
// when" predicate is asked about the prefix; the first prefix that satisfies
// it is the result (the blocks beyond it are discarded), so that an "until
// the interval is narrow enough" rule stops at the same study whatever the
// threads.  A cancel keeps the longest prefix of consecutive completed
// blocks: the result of a shorter run with the same settings.
//
// Cancel.  The workers stop taking blocks as soon as the cancel flag is set,
// and a block function sees it through StudyBlock::ShouldStop() (which also
// turns true when the run no longer needs the block), to be checked between
// studies; a block function that returns nothing has left its block
// unfinished.  RunStudyBlocks returns once every worker has stopped, so a
// block function that checks after each study returns within one study's
// time.
//
// Threads.  The caller's thread is the runner's: it combines, asks the
// predicate and calls the progress callback (at most every
// progress_interval_seconds, and once at the end); the per-block functions
// and the state factory run on the workers.  An exception from any of them
// stops the run and is rethrown on the caller's thread after every worker
// has been joined.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "numeric/random_stream.h"

namespace pelmora {

// The block size of every simulation: part of the definition of a run's
// numbers (a run with another block size draws other numbers).
inline constexpr std::int64_t kStudiesPerBlock = 1000;

struct BlockRunSettings {
  std::int64_t studies = 0;  // the planned number; a negative number runs none
  std::uint64_t seed = 1;
  std::uint64_t lane = 0;                      // keeps apart the runs of one seed, see RandomStream
  std::int64_t block_size = kStudiesPerBlock;  // values < 1 stand for kStudiesPerBlock
  int threads = 0;  // < 1: std::thread::hardware_concurrency(); never more than there are blocks
  double progress_interval_seconds = 0.05;
};

// One block as its function sees it: studies first_study .. first_study +
// count - 1 of the run.
class StudyBlock {
 public:
  StudyBlock(std::int64_t index, std::int64_t first_study, std::int64_t count,
             const std::atomic<bool>* cancel, const std::atomic<bool>* quit)
      : index(index), first_study(first_study), count(count), cancel_(cancel), quit_(quit) {}
  std::int64_t index, first_study, count;
  // True once the run is cancelled or no longer needs this block.
  bool ShouldStop() const {
    return cancel_->load(std::memory_order_relaxed) || quit_->load(std::memory_order_relaxed);
  }

 private:
  const std::atomic<bool>* cancel_;
  const std::atomic<bool>* quit_;
};

struct BlockRunReport {
  std::int64_t studies_planned = 0;
  std::int64_t studies_done = 0;  // of the blocks in the combined result
  std::int64_t blocks_done = 0;
  bool cancelled = false;  // the run was cancelled before its end
  bool stopped = false;    // the stop predicate ended the run
};

template <class Result>
struct BlockRunOutcome {
  Result combined;
  BlockRunReport report;
};

// What a run computes.  State: whatever make_state returns (a
// std::unique_ptr<Session> for a session per worker); Result: a value type.
template <class State, class Result>
struct BlockJob {
  std::function<State()> make_state;  // once on each worker thread
  // The result of one whole block, or nothing when it saw ShouldStop() and
  // left the block unfinished.
  std::function<std::optional<Result>(State&, RandomStream&, const StudyBlock&)> run_block;
  // Adds a block's result to the combined result of the blocks before it.
  std::function<void(Result& combined, const Result& block)> combine;
  // Optional: true when the run may stop after these studies.
  std::function<bool(const Result& combined, std::int64_t studies)> stop_when;
  // Optional: studies done so far and their combined result.
  std::function<void(std::int64_t studies, const Result& combined)> progress;
  Result empty{};  // the combined result of no studies
};

// The part of the runner that knows nothing of the results' type.
namespace block_runner {

// The blocks of a run, shared by the workers and the runner's thread.
class BlockQueue;

// A worker's view of the queue.
class BlockSource {
 public:
  explicit BlockSource(BlockQueue& queue) : queue_(queue) {}
  // The next block to compute, or nothing when the worker should stop.
  std::optional<StudyBlock> Next();
  // The block's result has been stored.
  void Complete(const StudyBlock& block);

 private:
  BlockQueue& queue_;
};

// The block size in use and the number of blocks of a run.
std::int64_t BlockSize(const BlockRunSettings& settings);
std::int64_t BlockCount(const BlockRunSettings& settings);

// Runs worker(source) on the threads and take(k) on the caller's thread for
// each completed block k in order (take returns true to stop there);
// progress(studies) after some of them and after the last.
BlockRunReport Run(const BlockRunSettings& settings, const std::atomic<bool>& cancel,
                   const std::function<void(BlockSource&)>& worker,
                   const std::function<bool(std::int64_t block, std::int64_t count)>& take,
                   const std::function<void(std::int64_t studies)>& progress);

}  // namespace block_runner

template <class State, class Result>
BlockRunOutcome<Result> RunStudyBlocks(const BlockRunSettings& settings, const BlockJob<State, Result>& job,
                                       const std::atomic<bool>& cancel) {
  BlockRunOutcome<Result> outcome{job.empty, {}};
  // One slot per block: written by the worker that computed it, read and
  // emptied by the runner's thread once the queue reports it complete.
  std::vector<std::unique_ptr<Result>> slots;
  std::int64_t studies = 0;

  const auto worker = [&](block_runner::BlockSource& source) {
    State state = job.make_state();
    while (std::optional<StudyBlock> block = source.Next()) {
      RandomStream stream(settings.seed, static_cast<std::uint64_t>(block->index), settings.lane);
      std::optional<Result> result = job.run_block(state, stream, *block);
      if (!result) return;
      slots[static_cast<std::size_t>(block->index)] = std::make_unique<Result>(std::move(*result));
      source.Complete(*block);
    }
  };
  const auto take = [&](std::int64_t index, std::int64_t count) {
    std::unique_ptr<Result> block = std::move(slots[static_cast<std::size_t>(index)]);
    job.combine(outcome.combined, *block);
    studies += count;
    return job.stop_when && job.stop_when(outcome.combined, studies);
  };
  const auto progress = [&](std::int64_t done) {
    if (job.progress) job.progress(done, outcome.combined);
  };

  slots.resize(static_cast<std::size_t>(block_runner::BlockCount(settings)));
  outcome.report = block_runner::Run(settings, cancel, worker, take, progress);
  return outcome;
}

}  // namespace pelmora
