#include "numeric/distributions.h"

#include <algorithm>
#include <cmath>

namespace pelmora {

namespace {

// Raises the invalid-operation flag and returns NaN: for an argument outside a
// routine's domain whose formula would not end.
Single InvalidOperation() {
  volatile double zero = 0.0;
  return ToSingle(zero / zero);
}

bool IsOdd(std::int16_t v) { return v % 2 != 0; }

// Bisection for an upper-tail quantile on the scale x = (1/m - 1) scale, m in
// (0, 1): upper(x) falls as m falls.  Stops when m moves by at most 1e-5 of itself.
template <class UpperTail>
Single BisectUpperTail(Single target, double scale, UpperTail upper) {
  Single lo = 0, hi = 1, m = 0.5f, prev;
  do {
    if (upper(ToSingle((1.0 / m - 1.0) * scale)) > target)
      hi = m;
    else
      lo = m;
    prev = m;
    m = ToSingle((static_cast<double>(lo) + hi) / 2);
  } while (!(std::fabs(static_cast<double>(m) - prev) <= 1e-5 * m));
  return ToSingle((1.0 / m - 1.0) * scale);
}

// Stirling series, Abramowitz and Stegun 6.1.41, without the constant 0.5 ln(2 pi);
// the argument has been shifted above 10 and prod is the product of the shifts.
double StirlingSeries(double x, double prod) {
  return 1 / (12 * x) + (x - 0.5) * std::log(x) - 1 / (360 * x * x * x) + 1 / (1260 * std::pow(x, 5)) -
         std::log(prod) - x;
}

// The Stirling log gamma with the shift carried out in T: Single for the
// routine as published, double inside the incomplete beta, which takes
// differences of log gammas of large arguments that single precision would
// cancel away.
template <class T>
double LogGammaShifted(T x) {
  if (!(x > 0)) return InvalidOperation();
  T prod = 1;
  while (x <= 10) {
    prod *= x;
    x += 1;
  }
  return StirlingSeries(x, prod);
}

double LogGammaStirlingDouble(double x) { return LogGammaShifted(x); }

// The incomplete beta fraction at x with its complement y = 1 - x, both to full
// double precision; the mirrored call may not mirror again, so that arguments on
// both sides of the switching point after rounding cannot recurse without end.
// The published routine (`single`) rounds the mirrored argument and every
// result to single precision; the exact one keeps both complements as given.
double IncompleteBetaPair(double x, double y, double a, double b, bool may_mirror, bool single) {
  const Single t = ToSingle((a + 1.0) / (a + b + 2.0));
  if (may_mirror && t < x) {
    const double mx = single ? static_cast<double>(ToSingle(y)) : y;
    const double my = single ? 1.0 - mx : x;
    const double mirrored = IncompleteBetaPair(mx, my, b, a, false, single);
    return single ? ToSingle(1.0 - mirrored) : 1.0 - mirrored;
  }

  const double A = a + 2.0;
  const double B = b + 2.0;
  double u1 = 1, u2 = 1, u3 = 1, u4 = 0;
  double r = 0;  // stays 0 when the first pass already stops
  for (int m = 0;;) {
    double d = (B + A + m) * (A + m) * x / (2 * m + A) / (2 * m + A + 1);
    const double e1 = u2 - d * u1;
    const double e2 = u3 - d * u4;
    ++m;
    d = (B - m) * m * x / (2 * m + A - 1) / (2 * m + A);
    const double e3 = d * u2 + e1;
    const double e4 = d * u3 + e2;
    if (e1 == 0 || e3 == 0) break;
    const double r_old = e2 / e1;
    r = e4 / e3;
    u1 = e1;
    u4 = e2;
    u2 = e3;
    u3 = e4;
    if (!(m <= 25 && std::fabs(r_old / r - 1) >= 1e-10f)) break;
  }

  const double S = a + b;
  const double g1 = S * x / (a + 1.0);
  const double g2 = (S + 1) * x / A;
  const double cf = ((((S + 3) * y * r - A) * (S + 2) * y / (b + 1.0) - A) * g2 / b + 1) * g1 + 1;
  const Single h =
      ToSingle(LogGammaStirlingDouble(S) - LogGammaStirlingDouble(a + 1.0) - LogGammaStirlingDouble(b));
  const double value = std::pow(x, a) * std::pow(y, b) * cf * ExpCapped(h) / std::sqrt(6.2831854);
  return single ? static_cast<double>(ToSingle(value)) : value;
}

// I_x(a, b) with x and y = 1 - x exact in double: no cancellation when x lies
// next to 1.
double IncompleteBetaExact(double x, double y, double a, double b) {
  return IncompleteBetaPair(x, y, a, b, true, false);
}

// ln Gamma(b + a) - ln Gamma(b) for large b by the difference of the Stirling
// series, without the cancellation of two large logarithms.
double LogGammaRatio(double a, double b) {
  const double c = b + a;
  return (b - 0.5) * std::log1p(a / b) + a * std::log(c) - a + (1 / c - 1 / b) / 12 -
         (1 / (c * c * c) - 1 / (b * b * b)) / 360;
}

// I_y(a, b) for a small a (at most 50) and a large b (b >= 5000) by its power
// series I = y^a (1 - y)^b / (a B(a, b)) (1 + sum over n >= 0 of
// prod_{k=0..n} (a + b + k)/(a + 1 + k) y^(n+1)), which converges for every
// y < 1.  Beyond (a + b) y = a + 40 sqrt(a) + 40 the rest 1 - I lies below
// 1e-100 (b X is then a gamma variable with shape a far in its tail): 1; short
// of that the terms stay below e^400.
double IncompleteBetaLargeB(double y, double a, double b) {
  if (!(y > 0)) return 0;
  if ((a + b) * y > a + 40 * std::sqrt(a) + 40) return 1;
  const double logPrefactor =
      a * std::log(y) + b * std::log1p(-y) - std::log(a) - (std::lgamma(a) - LogGammaRatio(a, b));
  double term = 1, sum = 1;
  for (int k = 0; k < 100000; ++k) {
    term *= (a + b + k) / (a + 1 + k) * y;
    sum += term;
    if (term < 1e-17 * sum && (a + b + k) * y < (a + 1 + k)) break;
  }
  return std::min(1.0, std::exp(logPrefactor + std::log(sum)));
}

// Beyond this many degrees of freedom the Student t is taken from the
// Cornish-Fisher expansion of its quantile (Abramowitz and Stegun 26.7.5)
// inverted by Newton's method: the incomplete beta fraction with its 26 passes
// loses accuracy there.
constexpr double kLargeStudentDf = 1000;
// Beyond this many degrees of freedom on one side (the other small), the F
// distribution function is taken from the power series of IncompleteBetaLargeB.
// The chi-square distribution function's F with df2 = 10000 stays below it.
constexpr double kLargeFDf = 10000;

// t of Abramowitz and Stegun 26.7.5 at the normal quantile z, and dt/dz.
double CornishFisherT(double z, double df, double& slope) {
  const double g = z * z;
  const double g1 = (g + 1) / 4;
  const double g2 = ((5 * g + 16) * g + 3) / 96;
  const double g3 = (((3 * g + 19) * g + 17) * g - 15) / 384;
  const double g4 = ((((79 * g + 776) * g + 1482) * g - 1920) * g - 945) / 92160;
  // The derivatives of z g_k(z) with respect to z.
  const double d1 = (3 * g + 1) / 4;
  const double d2 = ((35 * g + 80) * g + 9) / 96;
  const double d3 = (((27 * g + 133) * g + 85) * g - 45) / 384;
  const double d4 = ((((711 * g + 5432) * g + 7410) * g - 5760) * g - 945) / 92160;
  slope = 1 + (d1 + (d2 + (d3 + d4 / df) / df) / df) / df;
  return z * (1 + (g1 + (g2 + (g3 + g4 / df) / df) / df) / df);
}

// P(T >= t) for t >= 0 and a large df: the z whose Cornish-Fisher t is t, then
// the normal upper tail of z (erfc, accurate far into the tail).
double StudentUpperLargeDf(double t, double df) {
  if (t > 40) return 0;  // below any single-precision value
  double z = t;
  for (int i = 0; i < 30; ++i) {
    double slope = 1;
    const double step = (CornishFisherT(z, df, slope) - t) / slope;
    z -= step;
    if (std::fabs(step) <= 1e-15 * std::max(1.0, std::fabs(z))) break;
  }
  return 0.5 * std::erfc(z / std::sqrt(2.0));
}

}  // namespace

double ExpCapped(Single x) { return std::exp(std::min(static_cast<double>(x), 75.0)); }

Single LogGammaStirling(Single x) { return ToSingle(LogGammaShifted(x)); }

Single IncompleteBeta(Single x, Single a, Single b) {
  return ToSingle(IncompleteBetaPair(x, 1.0 - static_cast<double>(x), a, b, true, true));
}

// Abramowitz and Stegun 7.1.26 applied to |z|/sqrt 2.
Single NormalCdf(Single z) {
  if (std::fabs(z) >= 10) return ToSingle((Sgn(z) + 1) / 2.0);
  const double az = std::fabs(z);
  const double t = ToSingle(1 / (1 + 0.2316419 * az));
  const double q =
      t * (0.254829592 + t * (-0.284496736 + t * (1.421413741 + t * (-1.453152027 + 1.061405429 * t)))) *
      std::exp(-az * az / 2);
  return ToSingle((1 + Sgn(z) * (1 - q)) / 2);
}

// Abramowitz and Stegun 26.2.23.
Single NormalQuantile(Single p) {
  if (p <= 0) return -100;
  if (p >= 1) return 100;
  const double t = ToSingle(std::sqrt(-2 * std::log(0.5 - std::fabs(0.5 - p))));
  return ToSingle(Sgn(p - 0.5) * (t - (2.515517 + 0.802853 * t + 0.010328 * t * t) /
                                          (1 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t)));
}

void NormalUpper(std::int16_t mode, Single& z, Single& p) {
  if (mode == 1) {
    // Abramowitz and Stegun 26.2.19.
    const double y = std::fabs(z);
    Single upper = 0;
    if (!(y > 7)) {
      const double s =
          1 + y * (0.049867347 +
                   y * (0.0211410061 +
                        y * (0.0032776263 + y * (0.0000380036 + y * (0.0000488906 + y * 0.000005383)))));
      upper = ToSingle(0.5 * std::pow(s, -16));
    }
    p = z < 0 ? ToSingle(1.0 - upper) : upper;
  } else if (mode == 2) {
    if (p == 0.5f) {
      z = 0;
      return;
    }
    const Single q = p > 0.5f ? ToSingle(1.0 - p) : p;
    // The usual levels and their quantiles.  An upper-tail probability above 0.5
    // is matched through its own single value (0.975, not 1 - 0.975 = 0.0249999).
    struct Level {
      Single tail;
      Single z;
    };
    static constexpr Level kLevels[] = {
        {0.05f, 1.64485f}, {0.025f, 1.95996f}, {0.01f, 2.32635f}, {0.005f, 2.57583f}};
    for (const Level& level : kLevels) {
      const bool same = p > 0.5f ? p == ToSingle(1.0 - static_cast<double>(level.tail)) : q == level.tail;
      if (same) {
        z = p > 0.5f ? -level.z : level.z;
        return;
      }
    }
    const double y = ToSingle(-std::log(4.0 * q * (1.0 - q)));
    double c = -0.000000003231081277;
    c = 0.00000008360937017 + y * c;
    c = ToSingle(-0.00000104527497 + y * c);
    c = 0.000005824238515 + y * c;
    c = ToSingle(0.000006841218299 + y * c);
    c = -0.0002250947176 + y * c;
    c = -0.000836435359 + y * c;
    c = ToSingle(0.03706987906 + y * c);
    c = ToSingle(1.570796288 + y * c);
    const Single root = ToSingle(std::sqrt(y * c));
    z = p > 0.5f ? -root : root;
  }
}

Single UpperNormalQuantile(Single p) {
  Single z = 0;
  NormalUpper(2, z, p);
  return z;
}

// x = df/(df + t^2) and its complement t^2/(df + t^2) are both formed in
// double precision: in single precision 1 - x cancels away at large df.
Single StudentCdf(Single t, Single df) {
  const double nu = df;
  const double t2 = static_cast<double>(t) * t;
  double h;  // P(T <= -|t|)
  if (nu > kLargeStudentDf)
    h = StudentUpperLargeDf(std::fabs(static_cast<double>(t)), nu);
  else
    h = IncompleteBetaExact(nu / (nu + t2), t2 / (nu + t2), nu / 2, 0.5) / 2.0;
  return t < 0 ? ToSingle(h) : ToSingle(1.0 - h);
}

// Abramowitz and Stegun 26.7.5; exact for one degree of freedom.
Single StudentQuantile(Single p, Single df) {
  if (df == 1) return ToSingle(std::tan((p - 0.5) * 3.1415927));
  const double z = NormalQuantile(p);
  const double g = z * z;
  const double g1 = (g + 1) / 4;
  const double g2 = ((5 * g + 16) * g + 3) / 96;
  const double g3 = (((3 * g + 19) * g + 17) * g - 15) / 384;
  const double g4 = ((((79 * g + 776) * g + 1482) * g - 1920) * g - 945) / 92160;
  return ToSingle(z * (1 + (g1 + (g2 + (g3 + g4 / df) / df) / df) / df));
}

Single ChiSquareCdf(Single x, Single df) {
  if (!(1e-10f < x)) return 0;
  if (df <= 0) return 1;
  if (df <= 21) return FCdf(ToSingle(static_cast<double>(x) / df), df, 10000);
  // Wilson-Hilferty.
  const double s = 2 / (9.0 * df);
  return NormalCdf(ToSingle((std::cbrt(static_cast<double>(x) / df) - (1 - s)) / std::sqrt(s)));
}

Single ChiSquareQuantile(Single p, Single df) {
  if (df > 10) return ToSingle(df / static_cast<double>(FQuantile(ToSingle(1.0 - p), 999999, df)));
  Single x = 0;
  Single upper = ToSingle(1.0 - p);
  ChiSquareUpper(2, CInt16(df), x, upper);
  return x;
}

void ChiSquareUpper(std::int16_t mode, std::int16_t df, Single& x, Single& p) {
  if (mode == 1) {
    if (x == 0) {
      p = 1;
    } else if (df > 40) {
      // Wilson-Hilferty.
      const double s = 2 / (9.0 * df);
      Single z = ToSingle((std::cbrt(static_cast<double>(x) / df) - 1 + s) / std::sqrt(s));
      NormalUpper(1, z, p);
    } else {
      const double xd = x;
      const double e = std::exp(-xd / 2);
      double sum;
      double term;
      int k = 1;
      if (IsOdd(df)) {
        Single root = ToSingle(std::sqrt(xd));
        Single tail;
        NormalUpper(1, root, tail);
        sum = 2.0 * tail;
        term = e * 0.3989422804 / std::sqrt(xd);
      } else {
        sum = e;
        term = e / 2;
        k = 2;
      }
      for (; k <= df - 1; k += 2) {
        term = term * xd / k;
        sum += 2 * term;
      }
      p = ToSingle(sum);
    }
  } else if (mode == 2) {
    if (df == 1) {
      Single half = ToSingle(p / 2.0);
      Single z;
      NormalUpper(2, z, half);
      x = ToSingle(static_cast<double>(z) * z);
    } else if (df == 2) {
      x = ToSingle(-2 * std::log(static_cast<double>(p)));
    } else if (df >= 3) {
      x = BisectUpperTail(p, 1.0, [df](Single at) {
        Single upper;
        ChiSquareUpper(1, df, at, upper);
        return upper;
      });
    }
  }
}

Single FCdf(Single f, Single df1, Single df2) {
  if (!(f > 0)) return 0;  // no F ratio is negative
  const Single x = ToSingle(df2 / (static_cast<double>(df1) * f + df2));
  if (x <= 0) return 0;
  if (df1 > 10 && df2 > 10 && (df1 > 100 || df2 > 100)) {
    // Paulson's normal approximation.
    const double a = 2 / (9.0 * df1);
    const double b = 2 / (9.0 * df2);
    const double c = std::cbrt(static_cast<double>(f));
    return NormalCdf(ToSingle(((1 - b) * c - (1 - a)) / std::sqrt(a + c * c * b)));
  }
  // One df beyond kLargeFDf and the other small: x or its complement lies next
  // to 1, where single precision cancels, and the fraction converges too
  // slowly; the power series in the small ratio, in double precision.
  const double u = static_cast<double>(df1) * f;
  if (df2 > kLargeFDf) return ToSingle(IncompleteBetaLargeB(u / (u + df2), df1 / 2.0, df2 / 2.0));
  if (df1 > kLargeFDf) return ToSingle(1.0 - IncompleteBetaLargeB(df2 / (u + df2), df2 / 2.0, df1 / 2.0));
  return ToSingle(1.0 - IncompleteBetaExact(df2 / (u + df2), u / (u + df2), df2 / 2.0, df1 / 2.0));
}

Single FQuantile(Single p, Single df1, Single df2) {
  if (df1 <= 10 || df2 <= 10) {
    df1 = std::min(df1, 999.0f);
    df2 = std::min(df2, 999.0f);
    if (df1 <= 0.5f || df2 <= 0.5f) return ToSingle(kNoResult);
    Single f = 0;
    Single upper = ToSingle(1.0 - p);
    FUpper(2, CInt16(df1), CInt16(df2), f, upper);
    return f;
  }
  // Abramowitz and Stegun 26.6.16.
  const double z = NormalQuantile(p);
  const double lambda = (z * z - 3) / 6;
  const double r1 = 1 / (df1 - 1.0);
  const double r2 = 1 / (df2 - 1.0);
  const double h = 2 / (r1 + r2);
  const double w = z * std::sqrt(h + lambda) / h - (r1 - r2) * (lambda + 5.0 / 6 - 2 / (3 * h));
  return ToSingle(ExpCapped(ToSingle(2 * w)));
}

void FUpper(std::int16_t mode, std::int16_t df1, std::int16_t df2, Single& f, Single& p) {
  if (mode == 1) {
    const double x = df2 / (static_cast<double>(df1) * f + df2);
    const double s = std::sqrt(1 - x);
    const int a = IsOdd(df1) ? 1 : 2;
    const int b = IsOdd(df2) ? 1 : 2;
    constexpr double kPi = 3.14159265;
    double sum;
    double d;
    if (IsOdd(df1) && IsOdd(df2)) {
      sum = 1 - (2 / kPi) * std::atan(s / std::sqrt(x));
      d = s * std::sqrt(x) / kPi;
    } else if (!IsOdd(df1) && !IsOdd(df2)) {
      sum = x;
      d = x * (1 - x);
    } else if (!IsOdd(df1)) {
      sum = std::sqrt(x);
      d = (1 - x) * std::sqrt(x) / 2;
    } else {
      sum = 1 - s;
      d = s * x / 2;
    }
    int k_last = 0;
    for (int k = b; k <= df2; k += 2) {
      k_last = k;
      if (!(df2 > k && std::fabs(2 * d / k) >= 1e-5 * sum)) break;
      sum -= 2 * d / k;
      d = d * (1 + static_cast<double>(a) / k) * x;
    }
    for (int k = a; k <= df1; k += 2) {
      if (!(df1 > k && std::fabs(2 * d / k) >= 1e-5 * sum)) break;
      sum += 2 * d / k;
      d = d * (1 + static_cast<double>(k_last) / k) * (1 - x);
    }
    p = ToSingle(sum);
  } else if (mode == 2) {
    if (df1 > 30 && df2 > 30) {
      // Paulson's approximation solved for f.
      Single z;
      Single upper = p;
      NormalUpper(2, z, upper);
      const double A = 2 / (9.0 * df1);
      const double B = 2 / (9.0 * df2);
      const double zd = z;
      const double root = std::sqrt(A * (1 - B) * (1 - B) + B * (1 - A) * (1 - A) - A * B * zd * zd);
      const double c = ((1 - A) * (1 - B) + zd * root) / ((1 - B) * (1 - B) - B * zd * zd);
      f = ToSingle(c * c * c);
    } else {
      f = BisectUpperTail(p, static_cast<double>(df2) / df1, [df1, df2](Single at) {
        Single upper;
        FUpper(1, df1, df2, at, upper);
        return upper;
      });
    }
  }
}

Single ExponentialCdf(Single x, Single location, Single scale) {
  if (x < location) return 0;
  return ToSingle(1 - ExpCapped(ToSingle(-(static_cast<double>(x) - location) / scale)));
}

}  // namespace pelmora
