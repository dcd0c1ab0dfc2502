// The temporary file of a user's file being written (see user_files.h): made
// beside its target as ".NAME.XXXXXX.part" (XXXXXX six random letters and
// digits), a name no user file has, and renamed over the target when whole.
//
// While it is being written it is locked (flock), so that a later write can
// tell a temporary that a program left when it was killed from one that is
// still being written: the next write to the same target removes the stale
// ones.  A signal that ends the program can take the pending ones with it:
// RemovePendingTemporaryFiles() is async-signal-safe.
#pragma once

#include <string>

namespace pelmora {

class TemporaryFile {
 public:
  // Makes the temporary of the file `name` in `folder`, open for writing and
  // locked; ok() tells whether it was made, error() why not.
  TemporaryFile(const std::string& folder, const std::string& name);
  // Unless it was renamed over its target, removes and closes the file.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int error() const { return error_; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // Renames the file over `target`; false with errno set when it fails.
  // Once renamed it is no longer removed, and it stays open (and locked)
  // until Close().
  bool RenameOver(const std::string& target);
  // Closes the file; false with errno set when it fails.
  bool Close();

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  int slot_ = -1;  // its place among the pending temporaries, -1 for none
  bool renamed_ = false;
};

// Removes the temporaries of the file `name` in `folder` that no program is
// writing (none holds their lock).  Files of other names are left alone.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name);

// Removes the temporary file of every write in progress in this process.
// Async-signal-safe: for a handler of a signal that then ends the program.
void RemovePendingTemporaryFiles() noexcept;

}  // namespace pelmora
