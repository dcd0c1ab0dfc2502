#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // The streams alone write and read: their own buffers serve --batch best.
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return pelmora::RunCli(args, std::cin, std::cout, std::cerr);
}
