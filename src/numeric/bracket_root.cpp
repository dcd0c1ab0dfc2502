#include "numeric/bracket_root.h"

#include <cfloat>
#include <cmath>
#include <utility>

namespace pelmora {

Bracket BracketRoot(const std::function<double(double)>& f, double a, double b, double fa, double fb,
                    double fTolerance, double xTolerance, int maxEvaluations) {
  Bracket out;
  if (std::fabs(fa) < std::fabs(fb)) {
    std::swap(a, b);
    std::swap(fa, fb);
  }
  double c = a, fc = fa;
  double d = b - a, e = d;
  for (;;) {
    if ((fb > 0 && fc > 0) || (fb < 0 && fc < 0)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol = 2 * DBL_EPSILON * std::fabs(b) + 0.5 * xTolerance;
    const double m = 0.5 * (c - b);
    out.root = b;
    out.fRoot = fb;
    out.other = c;
    out.fOther = fc;
    if (fb == 0 || std::fabs(fb) <= fTolerance || std::fabs(m) <= tol) {
      out.settled = true;
      return out;
    }
    if (out.evaluations >= maxEvaluations) return out;
    if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
      double p, q;
      const double s = fb / fa;
      if (a == c) {
        p = 2 * m * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2 * m * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0)
        q = -q;
      else
        p = -p;
      if (2 * p < std::fmin(3 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
        e = d;
        d = p / q;
      } else {
        d = e = m;
      }
    } else {
      d = e = m;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol ? d : (m > 0 ? tol : -tol);
    fb = f(b);
    ++out.evaluations;
  }
}

}  // namespace pelmora
