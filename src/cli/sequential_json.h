// The "sequential" member of pelmora-cli's --json answer: the group-sequential
// design of a solved test, or null without interim analyses.
#pragma once

#include <optional>
#include <string>

#include "session/sequential_summary.h"

namespace pelmora::cli {

std::string SequentialJson(const std::optional<SequentialSummary>& summary);

}  // namespace pelmora::cli
