#include "session/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace pelmora {
namespace {

// The paths of the temporaries being written, where a signal handler can
// reach them: it may neither allocate nor take a lock, so they are kept in
// slots made before the program runs.  This is the one table the whole
// process shares; a write takes a free slot and gives it back.
struct PendingSlot {
  // 0 free, 1 being filled, 2 holding the path of a pending temporary.
  std::atomic<int> state{0};
  char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slots");

constexpr int kPendingSlots = 16;
PendingSlot pendingSlots[kPendingSlots];

int TakeSlot(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int k = 0; k < kPendingSlots; ++k) {
    int free = 0;
    PendingSlot& slot = pendingSlots[k];
    if (!slot.state.compare_exchange_strong(free, 1)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(2);
    return k;
  }
  return -1;  // the temporary is still removed on a failure, only not on a signal
}

void GiveBackSlot(int k) {
  if (k >= 0) pendingSlots[k].state.store(0);
}

// The signals that end the program and whose handler removes the pending
// temporaries; held back while a temporary is made and its slot taken.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&held, s);
    pthread_sigmask(SIG_BLOCK, &held, &before_);
  }
  ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t before_{};
};

constexpr std::string_view kSuffix = ".part";
constexpr std::size_t kRandomLength = 6;

// True for ".NAME.XXXXXX.part", the name of a temporary of NAME.
bool IsTemporaryOf(std::string_view entry, std::string_view prefix) {
  if (entry.size() != prefix.size() + kRandomLength + kSuffix.size() || !entry.starts_with(prefix) ||
      !entry.ends_with(kSuffix))
    return false;
  for (const char c : entry.substr(prefix.size(), kRandomLength))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

std::string PrefixOf(const std::string& name) { return "." + name + "."; }

}  // namespace

TemporaryFile::TemporaryFile(const std::string& folder, const std::string& name) {
  const std::string pattern = folder + "/" + PrefixOf(name) + std::string(kRandomLength, 'X') + std::string(kSuffix);
  // A temporary whose lock another write's cleaning got first, or that it
  // removed already, is given up for a new one.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::vector<char> made(pattern.begin(), pattern.end());
    made.push_back('\0');
    {
      const SignalsHeld held;
      fd_ = mkostemps(made.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
      if (fd_ < 0) {
        error_ = errno;
        return;
      }
      path_ = made.data();
      slot_ = TakeSlot(path_);
    }
    struct stat status {};
    const bool locked = flock(fd_, LOCK_EX | LOCK_NB) == 0;
    // A file system without locks has none to tell stale temporaries by.
    if (!locked && errno != EWOULDBLOCK) return;
    if (locked && fstat(fd_, &status) == 0 && status.st_nlink > 0) return;
    close(fd_);
    fd_ = -1;
    GiveBackSlot(slot_);
    slot_ = -1;
  }
  error_ = EAGAIN;
}

TemporaryFile::~TemporaryFile() {
  // Removed while it is still locked: no other write's cleaning is misled.
  if (fd_ >= 0 && !renamed_) unlink(path_.c_str());
  if (fd_ >= 0) close(fd_);
  GiveBackSlot(slot_);
}

bool TemporaryFile::RenameOver(const std::string& target) {
  if (rename(path_.c_str(), target.c_str()) != 0) return false;
  renamed_ = true;
  GiveBackSlot(slot_);
  slot_ = -1;
  return true;
}

bool TemporaryFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  return close(fd) == 0;
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::string prefix = PrefixOf(name);
  while (const dirent* entry = readdir(dir)) {
    if (!IsTemporaryOf(entry->d_name, prefix)) continue;
    const std::string path = folder + "/" + entry->d_name;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    // Stale: no program holds its lock, and the name still stands for the
    // file locked.
    struct stat opened {}, named {};
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
      unlink(path.c_str());
    close(fd);
  }
  closedir(dir);
}

void RemovePendingTemporaryFiles() noexcept {
  for (PendingSlot& slot : pendingSlots)
    if (slot.state.load() == 2) unlink(slot.path);
}

}  // namespace pelmora
