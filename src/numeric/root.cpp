#include "numeric/root.h"

#include <cmath>

namespace pelmora {

RootResult FindRoot(const std::function<double(double)>& f, double x1, double x2, double tol,
                    std::int16_t maxIter) {
  const double eps = 1e-10;
  double e = 0;
  double a = x1;
  double b = x2;
  double fa = f(a);
  double fb = f(b);
  double fk = fb;
  double k = 0, d = 0;
  RootResult out;
  // The bracket as it stands after b was evaluated: k keeps its side of the
  // sign change unless b crossed over to it, when the previous iterate a is
  // the other end.
  auto finish = [&](bool converged) {
    if (fb * fk > 0) {
      k = a;
      fk = fa;
    }
    out.root = b;
    out.fRoot = fb;
    out.contrapoint = k;
    out.fContrapoint = fk;
    out.converged = converged;
    return out;
  };
  int iteration = 1;
  k = b;
  if (iteration > maxIter) return finish(false);
  for (;;) {
    ++out.iterations;
    if (fb * fk > 0) {
      k = a;
      fk = fa;
      d = b - a;
      e = d;
    }
    if (std::fabs(fk) < std::fabs(fb)) {  // make b the best point
      a = b;
      b = k;
      k = a;
      fa = fb;
      fb = fk;
      fk = fa;
    }
    const double tol1 = 2 * eps * std::fabs(b) + 0.5 * tol;
    const double xm = 0.5 * (k - b);
    if (std::fabs(xm) <= tol1 || fb == 0) return finish(true);
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
      double p, q;
      const double s = fb / fa;
      if (a == k) {  // secant
        p = 2 * xm * s;
        q = 1 - s;
      } else {  // inverse quadratic interpolation
        q = fa / fk;
        const double r = fb / fk;
        p = s * (2 * xm * q * (q - r) - (b - a) * (r - 1));
        q = (q - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) q = -q;
      p = std::fabs(p);
      Single bound = ToSingle(std::fabs(e * q));
      const double min1 = 3 * xm * q - std::fabs(tol1 * q);
      if (ToSingle(min1) < bound) bound = ToSingle(min1);
      if (ToSingle(2 * p) < bound) {
        e = d;
        d = p / q;
      } else {
        d = xm;
        e = d;
      }
    } else {
      d = xm;
      e = d;
    }
    a = b;
    fa = fb;
    if (std::fabs(d) > tol1)
      b += d;
    else
      b += Sgn(xm) * tol1;
    if (b < x1) b = x1;
    if (b > x2) b = x2;
    fb = f(b);
    ++iteration;
    if (iteration > maxIter) return finish(false);
  }
}

}  // namespace pelmora
