// --simulate: the Monte Carlo simulation of a solved design, printed after
// the calculation as text lines or as the member "simulation" of its JSON.
#pragma once

#include <ostream>
#include <string>

#include "cli/arguments.h"
#include "engine/dispatch.h"
#include "engine/simulation.h"

namespace pelmora::cli {

// The request of the flags, the dropout the session's expected dropout.
SimulationRequest SimulationRequestOf(const Request& r, const Session& s);

// {"studies": N, "seed": S, "data": NAME, "dropout": D, "power": {...},
//  "analytic_power": a, "level": {...}, "looks": [...], "expected_total":
//  {...}, "coverage": .. or null, "width_below": .. or null, "seconds": t}
std::string SimulationJson(const SimulationResult& r);

// Simulates the solved design and prints: after `calculationJson` (the
// calculation's JSON object, its member added) with --json, else as lines
// after the text already printed.  A design that cannot be simulated is
// refused with a message (exit status 2).
int SimulateSolved(Dispatcher& d, const Request& r, const std::string& calculationJson, std::ostream& out,
                   std::ostream& err);

}  // namespace pelmora::cli
