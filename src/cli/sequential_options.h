// The flags of a group-sequential design: --interims K, --boundary NAME,
// --boundary-parameter X, --futility NAME, --futility-parameter X, --binding
// and --fractions "T1 T2 ...", read into the request, checked together and
// applied to the session's interim count and planning settings.
#pragma once

#include <optional>
#include <string>

namespace pelmora {
class Dispatcher;
}

namespace pelmora::cli {

struct Request;

struct SequentialFlags {
  std::optional<int> interims;
  std::optional<std::string> boundary, boundaryParameter, futility, futilityParameter, fractions;
  bool binding = false;
  // The first of these flags given, for messages; empty when none is.
  std::string first;
};

// True when `name` is one of the flags, then stored.
bool StoreSequentialFlag(SequentialFlags& f, const std::string& name, const std::string& value);

// Checks the flags against the selection (planned by power, one or two tails,
// a boundary only with interims, known families, parameters in their ranges,
// fractions rising to 1) and sets the session's interim count and planning
// settings; a misuse is a UsageError naming the flag.
void ApplySequentialFlags(Dispatcher& d, const SequentialFlags& f);

}  // namespace pelmora::cli
