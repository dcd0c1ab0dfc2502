// One solve for the unknown at the current values.  The driver holds no
// statistics: the selected module checks the values, gives the search
// interval and evaluates the criterion, and FindRoot finds its zero.
//
// A solve gives a value only where the criterion crosses zero, or, for a
// criterion that moves in steps, on the significant side of its jump; every
// other end is "not calculable" with the reason (see SolveOutcome).
#pragma once

#include <cstdint>

#include "engine/dispatch.h"
#include "session/solve_outcome.h"

namespace pelmora {

// Tolerance and iteration limit of every solve.
inline constexpr double kSolveTolerance = 1e-5;
inline constexpr std::int16_t kSolveMaxIterations = 500;
// A crossing whose criterion is within this of zero is a root as it stands;
// one that ends farther away on both sides is a jump.
inline constexpr double kAcceptance = 0.001;

// Solves for the unknown at the current values: search bounds from the
// catalogue, the module's search interval kept to the values every check
// admits, then FindRoot with 1e-5 and 500 (or, for a criterion in whole steps,
// the search over whole values), judged by its final bracket.  An arithmetic
// fault inside the criterion ends the solve as not calculable.
SolveOutcome SolveAtOnePoint(Dispatcher& d);

// The count of criterion evaluations of the last solve (for tests and
// benchmarks).
int LastSolveEvaluations();

}  // namespace pelmora
