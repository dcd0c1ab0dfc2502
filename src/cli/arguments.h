// The command line of pelmora-cli: its flags read into a request, each
// value checked as it is read and the flags checked together.  A misuse is a
// UsageError, which the program reports with exit status 1.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/sequential_options.h"

namespace pelmora::cli {

struct UsageError {
  std::string message;
};

[[noreturn]] void Usage(std::string message);

std::string Lower(std::string_view text);
std::string Trim(std::string_view text);
std::string Quoted(std::string_view text);
// A non-negative whole number written with digits only.
bool ParseIndex(std::string_view text, int& value);

// The shortest text that reads back as the same value.
template <typename T>
std::string Shortest(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

struct Assignment {
  std::string argument;  // as given, for messages
  std::string name;
  std::string value;
};

// The check box "Plan by &Power" as --option names it.
constexpr const char* kPlanByPowerCaption = "Plan by Power";
// True for that name, in any case, with or without the "&".
bool IsPlanByPower(std::string_view option);

struct Range {
  std::string argument;
  std::string name;
  std::string min, max, step;
};

constexpr const char* kKindWords[3] = {"test", "estimate", "interval"};

struct Request {
  std::optional<std::string> test, distribution, parameter, unknown;
  std::optional<int> kind, samples, tails;
  bool leftTail = false;
  std::vector<std::string> options;
  // --power: planned by power (as --option "Plan by Power") with the power
  // set (as --set Power=P, in r.sets).
  bool power = false;
  std::vector<std::pair<int, int>> modes;
  std::vector<Assignment> sets;
  bool json = false, describe = false, list = false, table = false, csv = false, help = false, batch = false;
  // --whole: a table of sample sizes shows them whole, with their totals.
  bool whole = false;
  std::optional<Range> x;
  std::optional<Assignment> z;
  std::optional<std::int16_t> columns, decimals;
  std::optional<std::string> graph, font;
  std::optional<std::pair<int, int>> graphSize;
  std::optional<int> graphDpi;
  std::optional<double> fontSize;
  bool rtf = false;
  // The settings file opened (a positional argument) and the one saved.
  std::optional<std::string> file, save;
  // The interim analyses of a group-sequential design.
  SequentialFlags sequential;
  // --simulate N with --seed, --threads and --data; --dropout D, the
  // expected dropout rate (as typed).
  std::optional<std::int64_t> simulate;
  std::optional<std::uint64_t> seed;
  std::optional<int> threads;
  std::optional<std::string> data, dropout;
};

// The values of the simulation's flags, each checked as it is read.
std::int64_t ParseStudyCount(const std::string& value);
std::uint64_t ParseSeed(const std::string& value);
int ParseThreads(const std::string& value);
std::string ParseDataModel(const std::string& value);
std::string ParseDropout(const std::string& value);
// The checks of the simulation's flags together with the others.
void CheckSimulationFlags(const Request& r);

// The table's limits.  A new window's record starts with ten z columns per
// block and the decimals chosen from the results.
constexpr std::int16_t kMaxColumns = 10;
constexpr std::int16_t kAutomaticDecimals = -1;
constexpr std::int16_t kMaxDecimals = 8;
// The graph's defaults and limits, in pixels and points.
constexpr int kDefaultGraphWidth = 800;
constexpr int kDefaultGraphHeight = 500;
constexpr int kMinGraphSide = 100;
constexpr int kMaxGraphSide = 5000;
// The resolution of a picture in dots per inch: the screen's by default.
constexpr int kDefaultGraphDpi = 96;
constexpr int kMinGraphDpi = 50;
constexpr int kMaxGraphDpi = 1200;
constexpr double kMaxFontSize = 72;

// True for the name of a settings file: it ends in ".dim", in any case.
bool IsSettingsFileName(std::string_view name);

// The checks of the flags together, once it is known whether the result is a
// single solve or a range.  `xFromFile`: a settings file gives the x range, so
// that --x is not needed.
void CheckCombination(const Request& r, bool xFromFile);

// Reads the arguments (without the program name) into a request.
Request ParseArguments(const std::vector<std::string>& args);

}  // namespace pelmora::cli
