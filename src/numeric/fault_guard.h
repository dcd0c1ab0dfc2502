// Evaluation of a numeric routine with its arithmetic faults made visible.
//
// A division by zero, an overflow or an invalid operation (the log of a
// non-positive number, 0/0) raises a floating-point exception flag rather than
// stopping the program; a 16-bit overflow throws ArithmeticFault.  EvaluateGuarded
// clears the flags, runs the routine and reports a fault for either kind, and
// for a result that is not finite, so that no NaN or infinity reaches a caller
// such as the root search.
#pragma once

#include <cfenv>
#include <optional>

#include "numeric/platform.h"

namespace pelmora {

// Clears the division-by-zero, overflow and invalid-operation flags.
void ClearArithmeticFlags();
// True if any of those flags was raised since the last clear.
bool ArithmeticFlagsRaised();

// Keeps the caller's floating-point exception flags as they were over a
// scope, for routines whose inner searches and series may raise flags that
// mean nothing to the caller (a P-value routine walked out to where it
// underflows, a library's series).
class PreservedFlags {
 public:
  PreservedFlags() { std::fegetexceptflag(&saved_, FE_ALL_EXCEPT); }
  ~PreservedFlags() { std::fesetexceptflag(&saved_, FE_ALL_EXCEPT); }
  PreservedFlags(const PreservedFlags&) = delete;
  PreservedFlags& operator=(const PreservedFlags&) = delete;

 private:
  std::fexcept_t saved_;
};

// Runs f(); returns its value, or nothing when the evaluation faulted.
template <class F>
std::optional<double> EvaluateGuarded(F&& f) {
  ClearArithmeticFlags();
  double v;
  try {
    v = static_cast<double>(f());
  } catch (const ArithmeticFault&) {
    return std::nullopt;
  }
  if (ArithmeticFlagsRaised() || !(v == v) || v - v != 0.0) return std::nullopt;
  return v;
}

}  // namespace pelmora
