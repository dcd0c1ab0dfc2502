// The calculation drivers: solve the unknown once for a Calculation window
// (with the achieved power of the design), or at every step of an x-range and
// for every z value for a Table or Graph.
#pragma once

#include "engine/achieved_power.h"
#include "engine/dispatch.h"
#include "engine/range.h"
#include "engine/solve.h"
#include "engine/value_texts.h"
#include "session/solve_outcome.h"

namespace pelmora {

enum class SingleOutcome { AlreadyCurrent, Rejected, NotCalculable, Solved };

// Solves once from the value texts of the listed parameters.  The unknown's
// value text becomes the text of the outcome (the formatted result, a limit
// such as "< 0.00001", or "-"), ResultRemark the line explaining it, and
// AchievedPower the power of a design solved with a value (PowerOfDesign).
// Solved stands for every outcome with a value or a limit.  `outcome`, when given,
// receives the outcome of the solve.
SingleOutcome CalculateSingle(Dispatcher& d, SolveOutcome* outcome = nullptr);

}  // namespace pelmora
