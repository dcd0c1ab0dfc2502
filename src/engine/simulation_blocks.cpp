#include "engine/simulation_blocks.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace pelmora::block_runner {

std::int64_t BlockSize(const BlockRunSettings& settings) {
  return settings.block_size < 1 ? kStudiesPerBlock : settings.block_size;
}

std::int64_t BlockCount(const BlockRunSettings& settings) {
  return settings.studies > 0 ? (settings.studies - 1) / BlockSize(settings) + 1 : 0;
}

class BlockQueue {
 public:
  BlockQueue(const BlockRunSettings& settings, const std::atomic<bool>& cancel)
      : cancel(cancel),
        studies(std::max<std::int64_t>(0, settings.studies)),
        size(BlockSize(settings)),
        blocks(BlockCount(settings)),
        complete(static_cast<std::size_t>(blocks), 0) {}

  std::int64_t CountOf(std::int64_t block) const { return std::min(size, studies - block * size); }

  const std::atomic<bool>& cancel;
  // Set when the run needs no more blocks (stopped, failed or ended).
  std::atomic<bool> quit{false};
  const std::int64_t studies, size, blocks;

  std::mutex mutex;
  std::condition_variable changed;
  // Under the mutex:
  std::int64_t next = 0;
  std::vector<char> complete;
  int running = 0;
  std::exception_ptr error;
};

std::optional<StudyBlock> BlockSource::Next() {
  std::lock_guard lock(queue_.mutex);
  if (queue_.quit.load() || queue_.cancel.load() || queue_.next >= queue_.blocks) return std::nullopt;
  const std::int64_t k = queue_.next++;
  return StudyBlock(k, k * queue_.size, queue_.CountOf(k), &queue_.cancel, &queue_.quit);
}

void BlockSource::Complete(const StudyBlock& block) {
  {
    std::lock_guard lock(queue_.mutex);
    queue_.complete[static_cast<std::size_t>(block.index)] = 1;
  }
  queue_.changed.notify_all();
}

namespace {

int ThreadCount(const BlockRunSettings& settings, std::int64_t blocks) {
  int threads = settings.threads;
  if (threads < 1) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return static_cast<int>(std::min<std::int64_t>(threads, blocks));
}

// Ends the run's workers however the runner's thread leaves.
class Workers {
 public:
  explicit Workers(BlockQueue& queue) : queue_(queue) {}
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;
  ~Workers() { JoinAll(); }

  // Starts up to `count` workers; fewer when the system refuses more threads,
  // none only by throwing.
  void Start(int count, const std::function<void(BlockSource&)>& worker) {
    for (int i = 0; i < count; ++i) {
      {
        std::lock_guard lock(queue_.mutex);
        ++queue_.running;
      }
      try {
        threads_.emplace_back([this, &worker] { Body(worker); });
      } catch (const std::system_error&) {
        std::lock_guard lock(queue_.mutex);
        --queue_.running;
        if (threads_.empty()) throw;
        break;
      }
    }
  }

  void JoinAll() {
    queue_.quit.store(true);
    queue_.changed.notify_all();
    for (std::thread& t : threads_)
      if (t.joinable()) t.join();
  }

 private:
  void Body(const std::function<void(BlockSource&)>& worker) {
    try {
      BlockSource source(queue_);
      worker(source);
    } catch (...) {
      std::lock_guard lock(queue_.mutex);
      if (!queue_.error) queue_.error = std::current_exception();
      queue_.quit.store(true);
    }
    {
      std::lock_guard lock(queue_.mutex);
      --queue_.running;
    }
    queue_.changed.notify_all();
  }

  BlockQueue& queue_;
  std::vector<std::thread> threads_;
};

}  // namespace

BlockRunReport Run(const BlockRunSettings& settings, const std::atomic<bool>& cancel,
                   const std::function<void(BlockSource&)>& worker,
                   const std::function<bool(std::int64_t block, std::int64_t count)>& take,
                   const std::function<void(std::int64_t studies)>& progress) {
  BlockQueue queue(settings, cancel);
  BlockRunReport report;
  report.studies_planned = queue.studies;
  if (queue.blocks == 0) return report;

  using Clock = std::chrono::steady_clock;
  const auto interval = std::chrono::duration<double>(std::max(0.0, settings.progress_interval_seconds));
  auto last_progress = Clock::now();
  std::int64_t taken = 0, reported = 0, studies = 0;

  Workers workers(queue);
  workers.Start(ThreadCount(settings, queue.blocks), worker);
  {
    std::unique_lock lock(queue.mutex);
    for (;;) {
      queue.changed.wait(lock, [&] {
        return queue.complete[static_cast<std::size_t>(taken)] || queue.running == 0 || queue.error;
      });
      if (queue.error) break;
      while (taken < queue.blocks && queue.complete[static_cast<std::size_t>(taken)]) {
        const std::int64_t count = queue.CountOf(taken);
        lock.unlock();
        report.stopped = take(taken, count);
        ++taken;
        studies += count;
        if (!report.stopped && taken < queue.blocks && Clock::now() - last_progress >= interval) {
          progress(studies);
          reported = taken;
          last_progress = Clock::now();
        }
        lock.lock();
        if (report.stopped) break;
      }
      if (report.stopped || taken == queue.blocks || queue.running == 0) break;
    }
  }
  workers.JoinAll();
  if (queue.error) std::rethrow_exception(queue.error);

  if (taken > reported) progress(studies);
  report.blocks_done = taken;
  report.studies_done = studies;
  report.cancelled = !report.stopped && taken < queue.blocks;
  return report;
}

}  // namespace pelmora::block_runner
