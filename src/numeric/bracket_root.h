// The zero of a criterion inside a bracket, as a solve settles it.
//
// Method: Brent, R. P. (1973), Algorithms for Minimization without
// Derivatives, chapter 4 (the routine "zero"): inverse quadratic
// interpolation and secant steps inside a bracket that every step keeps, with
// bisection whenever interpolation would not halve the bracket fast enough.
// Convergence is superlinear for a smooth criterion and never slower than
// bisection.
//
// Two stops beside the evaluation limit: the criterion within `fTolerance` of
// zero at the best point, or the bracket no wider than
// 4 DBL_EPSILON |b| + xTolerance (the resolution of doubles near b plus the
// caller's absolute floor).  The second stop with the criterion still farther
// than fTolerance from zero on both sides is a jump of the criterion.
//
// Domain: fa and fb must have opposite signs (or one of them be zero); the
// result is then always a bracket of the sign change.
#pragma once

#include <functional>

namespace pelmora {

struct Bracket {
  double root = 0;  // the best point b: |f(b)| <= |f(other)|
  double fRoot = 0;
  double other = 0;  // the other end of the final bracket
  double fOther = 0;
  int evaluations = 0;
  // True when a stop other than the evaluation limit ended the search.
  bool settled = false;
};

Bracket BracketRoot(const std::function<double(double)>& f, double a, double b, double fa, double fb,
                    double fTolerance, double xTolerance, int maxEvaluations);

}  // namespace pelmora
