// --batch: JSON Lines on the input, one request per line with the vocabulary
// of the flags, one JSON result per line on the output, in the order of the
// requests.  A result is the --json output of the same single call with three
// members before it: "id" (when the request has one), "status" and "message".
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/json_reader.h"

namespace pelmora::cli {

// A request whose values are out of range where the flags would only be
// misused: the simulation's numbers ("simulate").  Its result has the status
// "rejected".
struct BatchRefusal {
  std::string message;
};

// The arguments of the single call a request stands for, --json included.  A
// request the flags cannot express is a UsageError; a simulation asked for
// with numbers out of range a BatchRefusal.
std::vector<std::string> BatchArguments(const JsonValue& request);

// The longest request line read, in bytes, without its line end: 1 MiB.
inline constexpr std::size_t kBatchLineLimit = std::size_t{1} << 20;

// Answers every request of `in` on `out`; blank lines are passed over.  A
// request that fails gets its failure as its result, and the next one is
// answered; so does a line longer than kBatchLineLimit, which is not kept.
// Returns 0 once the input is read to its end, kExitOutputFailed as soon as
// `out` fails.
int RunBatch(std::istream& in, std::ostream& out);

}  // namespace pelmora::cli
