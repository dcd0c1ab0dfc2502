// Runs pelmora-cli in the test process and keeps what it wrote.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace pelmora::testing {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun RunWith(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

// The arguments followed by more.
inline std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

}  // namespace pelmora::testing
