#include <charconv>

#include "cli/arguments.h"
#include "format/number_entry.h"
#include "numeric/simulated_data.h"

namespace pelmora::cli {

namespace {

template <typename T>
bool WholeNumber(const std::string& text, T& value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::int64_t ParseStudyCount(const std::string& value) {
  std::int64_t n = 0;
  if (!WholeNumber(value, n) || n < 100 || n > 10000000)
    Usage("--simulate " + Quoted(value) + ": the number of simulated studies must be a whole number from 100 to "
          "10000000");
  return n;
}

std::uint64_t ParseSeed(const std::string& value) {
  std::uint64_t seed = 0;
  if (!WholeNumber(value, seed)) Usage("--seed " + Quoted(value) + ": expected a whole number of 0 or more");
  return seed;
}

int ParseThreads(const std::string& value) {
  int threads = 0;
  if (!WholeNumber(value, threads) || threads < 1 || threads > 256)
    Usage("--threads " + Quoted(value) + ": expected a whole number from 1 to 256");
  return threads;
}

std::string ParseDataModel(const std::string& value) {
  if (!DataModelNamed(value)) Usage("--data " + Quoted(value) + ": expected normal, log-normal, t3 or uniform");
  return value;
}

std::string ParseDropout(const std::string& value) {
  const bool number = !value.empty() && value.find_first_not_of("0123456789.") == std::string::npos &&
                      value.find('.') == value.rfind('.') && value != ".";
  if (!number || !(ParseNumber(value) >= 0 && ParseNumber(value) <= 0.9))
    Usage("--dropout " + Quoted(value) + ": the dropout rate must be a number from 0 to 0.9");
  return value;
}

void CheckSimulationFlags(const Request& r) {
  for (const auto& [given, flag] : {std::pair{r.seed.has_value(), "--seed"},
                                    std::pair{r.threads.has_value(), "--threads"},
                                    std::pair{r.data.has_value(), "--data"}})
    if (given && !r.simulate) Usage(std::string(flag) + " needs --simulate");
  if (r.simulate && (r.table || r.graph)) Usage("--simulate applies to a single calculation, not to --table or --graph");
  if (r.simulate && (r.rtf || r.describe)) Usage("--simulate prints text or --json, not --rtf or --describe");
}

}  // namespace pelmora::cli
