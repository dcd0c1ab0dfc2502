#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>

#include "cli/cli.h"
#include "session/user_files.h"

namespace pelmora {
namespace cli {

// Large writes serve --batch; a caller waiting for each answer gets it
// through the flush after it.
DescriptorOutput::DescriptorOutput(int fd) : fd_(fd), buffer_(std::size_t{1} << 16) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool DescriptorOutput::Drain() {
  const char* next = pbase();
  std::size_t left = static_cast<std::size_t>(pptr() - pbase());
  while (left > 0 && error_ == 0) {
    const ssize_t n = write(fd_, next, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      break;
    }
    next += n;
    left -= static_cast<std::size_t>(n);
  }
  // What could not be written is dropped: the stream has failed.
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return error_ == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int DescriptorOutput::sync() { return Drain() ? 0 : -1; }

}  // namespace cli

int RunCliToDescriptor(const std::vector<std::string>& args, std::istream& in, int fd, std::ostream& err) {
  cli::DescriptorOutput buffer(fd);
  std::ostream out(&buffer);
  const int status = RunCli(args, in, out, err);
  out.flush();
  if (buffer.error() == 0) return status;
  err << "pelmora-cli: the output cannot be written: " << SystemReason(buffer.error()) << '\n';
  return kExitOutputFailed;
}

}  // namespace pelmora
