// Runs pelmora-cli in the test process and keeps what it wrote.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/json_reader.h"

namespace pelmora::testing {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun RunWith(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = RunCli(args, in, out, err);
  return {status, out.str(), err.str()};
}

// A JSON text read by the program's reader; a test fails where it is no JSON.
inline cli::JsonValue ReadJsonText(const std::string& text) {
  std::string error;
  std::optional<cli::JsonValue> v = cli::ReadJson(text, error);
  EXPECT_TRUE(v.has_value()) << error << " in " << text;
  return v.value_or(cli::JsonValue{});
}

// The arguments followed by more.
inline std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// A fresh folder for the files of one test, of this process, removed
// afterwards; --graph finds its drawing program.
class CliFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef PELMORA_GRAPH_PROGRAM_PATH
    // The drawing program of --graph stands beside pelmora-cli, not beside
    // the tests.
    setenv("PELMORA_GRAPH_PROGRAM", PELMORA_GRAPH_PROGRAM_PATH, 0);
#endif
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() / ("pelmora-" + std::string(info->test_suite_name()) +
                                                        "-" + info->name() + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string File(const std::string& name) const { return (folder_ / name).string(); }

  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path folder_;
};

}  // namespace pelmora::testing
