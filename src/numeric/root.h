// The program's one solver and the small routines every module shares.
#pragma once

#include <cstdint>
#include <functional>

#include "numeric/platform.h"

namespace pelmora {

struct RootResult {
  double root = 0;              // the last iterate b
  double fRoot = 0;             // the criterion at root
  std::int16_t iterations = 0;  // loop passes made
  // The final bracket's other end k: b and k bracket a zero when the criterion
  // changes sign between them.  k equals b when the search never moved.
  double contrapoint = 0;
  double fContrapoint = 0;
  // True when the search stopped on the tolerance or at an exact zero, false
  // when it ran out of passes.
  bool converged = false;
};

// Bracketing root search of Brent's kind (inverse quadratic interpolation,
// secant steps and bisection) over [x1, x2].  It does not check that the
// interval brackets a sign change, clamps every candidate into [x1, x2],
// compares the interpolation bound in single precision and stops after maxIter
// passes; f is evaluated once at each end and once per pass.  The caller judges
// the result from the final bracket: root and contrapoint with their criteria.
RootResult FindRoot(const std::function<double(double)>& f, double x1, double x2, double tol,
                    std::int16_t maxIter);

// a if a > b, else b (ties return the second argument).
inline double MaxOf(double a, double b) { return a > b ? a : b; }
inline Single MaxOf(Single a, Single b) { return a > b ? a : b; }
inline std::int16_t MaxOf(std::int16_t a, std::int16_t b) { return a > b ? a : b; }
// a if a < b, else b (ties return the second argument).
inline double MinOf(double a, double b) { return a < b ? a : b; }
inline Single MinOf(Single a, Single b) { return a < b ? a : b; }
inline std::int16_t MinOf(std::int16_t a, std::int16_t b) { return a < b ? a : b; }

}  // namespace pelmora
