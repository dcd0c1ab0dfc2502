// One solve for the unknown at the current values.  The driver holds no
// statistics: the selected module checks the values, gives the search
// interval and evaluates the criterion, and a bracket search finds its zero.
//
// A solve gives a value only where the criterion crosses zero, or, for a
// criterion that moves in steps, on the significant side of its jump; every
// other end is "not calculable" with the reason (see SolveOutcome).
#pragma once

#include "engine/dispatch.h"
#include "session/solve_outcome.h"

namespace pelmora {

// Every root a solve answers holds the criterion within this share of the
// requested quantity (a P-value, a power): typed back, the value gives the
// criterion to that accuracy, or the outcome is a step with its note.
inline constexpr double kCriterionAccuracy = 1e-6;
// The text shown for a root has as many decimals as keep the criterion of
// the value typed back within this of zero.
inline constexpr double kShownTolerance = 0.001;

// Solves for the unknown at the current values, on a working copy of them
// (the session is left as it was; the caller stores the outcome): search
// bounds from the catalogue, the module's search interval kept to the values
// every check admits, then a bracket search in a scale that suits the
// interval (or, for a criterion in whole steps, the search over whole
// values), judged by its final bracket.  An arithmetic fault inside the
// criterion ends the solve as not calculable.
SolveOutcome SolveAtOnePoint(Dispatcher& d);

}  // namespace pelmora
