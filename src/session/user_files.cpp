#include "session/user_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "session/temporary_file.h"

namespace pelmora {

namespace {

std::string CannotBeWritten(const std::string& path, const std::string& why) {
  return FileSubject(path) + " cannot be written: " + why + ".";
}

constexpr const char* kNotRegular = "it is not a regular file (a named pipe, a device or a socket)";
constexpr const char* kFolder = "it is a folder, not a file";

// The file a write goes to: the path itself, or the file a symbolic link
// names.  `existing` tells whether it is there already, with its status.
struct Target {
  std::string path;
  bool existing = false;
  struct stat status {};
};

// Finds the target of a write, or says why there is none.
std::optional<Target> ResolveTarget(const std::string& path, std::string& why) {
  Target t;
  t.path = path;
  struct stat entry {};
  if (lstat(path.c_str(), &entry) != 0) {
    if (errno == ENOENT) return t;  // a new file
    why = SystemReason(errno);
    return std::nullopt;
  }
  if (stat(path.c_str(), &t.status) != 0) {
    why = S_ISLNK(entry.st_mode) && errno == ENOENT ? "it is a symbolic link to a file that does not exist"
                                                   : SystemReason(errno);
    return std::nullopt;
  }
  if (S_ISDIR(t.status.st_mode)) {
    why = kFolder;
    return std::nullopt;
  }
  if (!S_ISREG(t.status.st_mode)) {
    why = kNotRegular;
    return std::nullopt;
  }
  if (S_ISLNK(entry.st_mode)) {
    // The link stays; the file it names is written.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
      why = SystemReason(errno);
      return std::nullopt;
    }
    t.path = resolved;
  }
  // A file without any write permission is read-only even to the
  // administrator, who could replace it.
  if ((t.status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    why = "it is read-only (" + SystemReason(EACCES) + ")";
    return std::nullopt;
  }
  if (access(t.path.c_str(), W_OK) != 0) {
    why = "it is read-only (" + SystemReason(errno) + ")";
    return std::nullopt;
  }
  t.existing = true;
  return t;
}

// Writes all bytes to the descriptor; false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Flushes a folder's entries to disk.  File systems that cannot flush a
// folder (EINVAL) are taken as they are.
bool SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0 || errno == EINVAL;
  const int saved = errno;
  close(fd);
  errno = saved;
  return synced;
}

// The permissions a new file gets: read and write as the process's mask
// allows.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

std::string SystemReason(int error) {
  std::string reason = std::strerror(error);
  if (reason.size() > 1 && std::isupper(static_cast<unsigned char>(reason[0])) &&
      std::islower(static_cast<unsigned char>(reason[1])))
    reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
  return reason;
}

std::string FileSubject(const std::string& path) {
  if (path.empty()) return "The settings file";
  return "The file \"" + std::filesystem::path(path).filename().string() + "\"";
}

bool WriteUserFile(const std::string& path, std::string_view bytes, std::string& error) {
  std::string why;
  const std::optional<Target> target = ResolveTarget(path, why);
  if (!target) {
    error = CannotBeWritten(path, why);
    return false;
  }
  const std::filesystem::path resolved(target->path);
  std::string folder = resolved.parent_path().string();
  if (folder.empty()) folder = ".";
  const std::string name = resolved.filename().string();
  RemoveStaleTemporaries(folder, name);
  TemporaryFile temporary(folder, name);
  if (!temporary.ok()) {
    error = CannotBeWritten(path, SystemReason(temporary.error()));
    return false;
  }
  // The temporary is removed as `temporary` goes.
  auto fail = [&](int number) {
    error = CannotBeWritten(path, SystemReason(number));
    return false;
  };
  const int fd = temporary.fd();
  const mode_t mode = target->existing ? target->status.st_mode & 07777 : NewFileMode();
  if (fchmod(fd, mode) != 0) return fail(errno);
  if (target->existing && (target->status.st_uid != geteuid() || target->status.st_gid != getegid())) {
    // Kept where the system allows it; a user who may not give the file
    // away still keeps its permissions.
    [[maybe_unused]] const int kept = fchown(fd, target->status.st_uid, target->status.st_gid);
  }
  if (!WriteAll(fd, bytes) || fsync(fd) != 0) return fail(errno);
  if (!SyncFolder(folder)) return fail(errno);
  // Closed, and so unlocked, once renamed: no other write takes it for a
  // stale temporary.
  if (!temporary.RenameOver(target->path)) return fail(errno);
  if (!temporary.Close() || !SyncFolder(folder)) {
    // The new contents are in place; only their flush to disk is in doubt.
    error = CannotBeWritten(path, SystemReason(errno));
    return false;
  }
  return true;
}

std::optional<std::string> ReadUserFile(const std::string& path, std::size_t limit, std::string& why) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    why = errno == ENOENT ? "it does not exist" : "it cannot be read: " + SystemReason(errno);
    return std::nullopt;
  }
  if (S_ISDIR(status.st_mode)) {
    why = kFolder;
    return std::nullopt;
  }
  if (!S_ISREG(status.st_mode)) {
    why = kNotRegular;
    return std::nullopt;
  }
  // Non-blocking, should the file have become a pipe since.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = "it cannot be read: " + SystemReason(errno);
    return std::nullopt;
  }
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    why = kNotRegular;
    return std::nullopt;
  }
  std::string contents;
  char buffer[4096];
  while (contents.size() <= limit) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      why = "it cannot be read: " + SystemReason(errno);
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    contents.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (contents.size() > limit + 1) contents.resize(limit + 1);
  return contents;
}

}  // namespace pelmora
