// The user's files: the settings files, the exported tables and graphs, and
// the files pelmora-cli writes.  They are written and read with care for what
// the user already has:
//
// - a read-only file is not replaced, and a file's permissions (and, where
//   allowed, its owner) stay as they were;
// - a symbolic link is followed: the file it names is written, the link
//   stays; a link to nothing, a folder, a named pipe or a device is refused;
// - the new contents go to a temporary file beside the target, made with a
//   unique name no user file can have, flushed to disk with its folder, and
//   renamed over the target only when whole; on any failure it is removed and
//   the earlier file is as it was; the temporaries a killed program left
//   beside the target are removed by the next write to it (temporary_file.h);
// - reading takes only regular files, and never waits on a named pipe.
//
// A refusal or failure is told in one sentence that names the file and gives
// the system's reason: "The file "Calc1.dim" cannot be written: it is
// read-only (permission denied)."
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// The system's reason for an error number, as a clause: "permission denied".
std::string SystemReason(int error);

// "The file "NAME"", with the last part of the path.
std::string FileSubject(const std::string& path);

// Writes `bytes` as the whole new contents of the file at `path`.  False on
// a refusal or failure, with the message in `error`.
bool WriteUserFile(const std::string& path, std::string_view bytes, std::string& error);

// Reads a regular file of at most `limit` bytes.  A larger file gives the
// first `limit` + 1 bytes, so the caller can tell it is too long.  On a
// refusal `why` holds the reason as a clause ("it is a folder, not a file",
// "it does not exist", "it cannot be read: permission denied").
std::optional<std::string> ReadUserFile(const std::string& path, std::size_t limit, std::string& why);

}  // namespace pelmora
