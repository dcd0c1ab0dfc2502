#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/signal_cleanup.h"
#include "cli/standard_output.h"

int main(int argc, char** argv) {
  // The streams alone read and write: their own buffers serve --batch best.
  std::ios::sync_with_stdio(false);
  pelmora::cli::InstallSignalCleanup();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return pelmora::RunCliToDescriptor(args, std::cin, STDOUT_FILENO, std::cerr);
}
