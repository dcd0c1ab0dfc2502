// The results of a Monte Carlo simulation as the Monte Carlo window, its
// output and pelmora-cli show them: one line each.
#pragma once

#include <string>
#include <vector>

#include "engine/simulation.h"

namespace pelmora {

// A whole number with thousands separators: "41,000".
std::string GroupedCount(std::int64_t n);

// The studies, seed, data model and dropout; the simulated power with its
// interval beside the analytic one, the simulated level beside the nominal
// one (intervals: the coverage and the width probability); per look of a
// design with interims the shares rejecting and stopping for futility and
// the cumulative power under H1 and H0; the expected total size; the time;
// "stopped after ... of ... studies" after a cancel; the verdict.
std::vector<std::string> SimulationLines(const SimulationResult& r);

}  // namespace pelmora
