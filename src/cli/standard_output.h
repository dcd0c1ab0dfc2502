// The standard output of pelmora-cli: results go to a file descriptor
// through a buffer that keeps the reason of a failed write, so that a result
// lost on a full disk or a closed pipe is an error, never a success.
#pragma once

#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace pelmora {
namespace cli {

class DescriptorOutput final : public std::streambuf {
 public:
  explicit DescriptorOutput(int fd);
  // The error number of the first write that failed; 0 while none did.
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  // Writes what the buffer holds and empties it; false once a write failed.
  bool Drain();

  int fd_;
  int error_ = 0;
  std::vector<char> buffer_;
};

}  // namespace cli

// RunCli with its results written to the file descriptor `fd`, flushed at
// the end.  When a write or the flush fails, the status is kExitOutputFailed
// and `err` says why ("pelmora-cli: the output cannot be written: no space
// left on device").
int RunCliToDescriptor(const std::vector<std::string>& args, std::istream& in, int fd, std::ostream& err);

}  // namespace pelmora
