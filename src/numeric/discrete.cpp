#include "numeric/discrete.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <utility>

#include "numeric/distributions.h"

namespace pelmora {

namespace {

constexpr int kCachedLimit = 60;

// Splits a real count into its whole part (rounded down, a 16-bit count) and its
// fraction.
struct SplitCount {
  std::int16_t whole;
  Single fraction;
};

SplitCount Split(Single v) {
  const double whole = Int(v);
  return {CInt16(whole), ToSingle(v - whole)};
}

// Multilinear interpolation of a whole-count routine of four counts over the
// corners of the unit cell; a corner is raised in an argument only when that
// argument has a fraction.
template <class Routine>
Single InterpolateCell(const Routine& routine, std::array<std::int16_t, 4> corner,
                       const std::array<Single, 4>& fraction, int argument) {
  if (argument == 4) return routine(corner[0], corner[1], corner[2], corner[3]);
  const Single low = InterpolateCell(routine, corner, fraction, argument + 1);
  if (fraction[argument] == 0) return low;
  corner[argument] = Add16(corner[argument], 1);
  return Lerp(low, InterpolateCell(routine, corner, fraction, argument + 1), fraction[argument]);
}

template <class Routine>
Single InterpolateHyper(const Routine& routine, Single a, Single b, Single n, Single x) {
  const SplitCount sa = Split(a), sb = Split(b), sn = Split(n), sx = Split(x);
  return InterpolateCell(routine, {sa.whole, sb.whole, sn.whole, sx.whole},
                         {sa.fraction, sb.fraction, sn.fraction, sx.fraction}, 0);
}

}  // namespace

Single Lerp(Single a, Single b, Single t) {
  return ToSingle(a + (static_cast<double>(b) - a) * static_cast<double>(t));
}

double BinomialCoefficient(std::int16_t n, std::int16_t k) {
  double c = 1;
  for (int i = 1; i <= k; ++i) c = c * Add16(Sub16(n, i), 1) / i;
  return c;
}

double BinomialCoefficientCached(std::int16_t n, std::int16_t k) {
  const std::int16_t shorter = std::min(k, Sub16(n, k));
  if (n < 0 || k < 0 || n > kCachedLimit || k > kCachedLimit) return BinomialCoefficient(n, shorter);
  // 0 marks an entry not computed yet (no coefficient in the table is 0).  Racing
  // writers store the same value.
  static std::array<std::array<std::atomic<double>, kCachedLimit + 1>, kCachedLimit + 1> table{};
  std::atomic<double>& entry = table[n][k];
  double value = entry.load(std::memory_order_relaxed);
  if (value == 0) {
    value = BinomialCoefficient(n, shorter);
    entry.store(value, std::memory_order_relaxed);
  }
  return value;
}

Single BinomialPoint(std::int16_t n, std::int16_t k, Single p) {
  if (k < 0 || k > n) return 0;
  const double pd = p;
  const double q = 1 - pd;
  double term;
  if (k < n / 2.0) {
    term = std::pow(q, n);
    for (int i = 1; i <= k; ++i) term = term * (pd / q) * (n - i + 1) / i;
  } else {
    term = std::pow(pd, n);
    for (int i = n - 1; i >= k; --i) term = term * (q / pd) * (i + 1) / (n - i);
  }
  return ToSingle(term);
}

Single BinomialCdf(std::int16_t n, std::int16_t k, Single p) {
  if (k < 0) return 0;
  if (k >= n) return 1;
  const double pd = p;
  const double q = 1 - pd;
  double term;
  double sum;
  if (k >= n / 2.0) {
    term = std::pow(pd, n);
    sum = 1 - term;
    for (int j = n - 1; j >= k + 1; --j) {
      term = term * (q / pd) * (j + 1) / (n - j);
      sum -= term;
    }
  } else {
    term = std::pow(q, n);
    sum = term;
    for (int j = 1; j <= k; ++j) {
      term = term * (pd / q) * (n - j + 1) / j;
      sum += term;
    }
  }
  return ToSingle(sum);
}

void BinomialCdfPair(std::int16_t n, std::int16_t k, Single p, Single& c0, Single& c1) {
  const std::int16_t k1 = Add16(k, 1);
  c0 = k < 0 ? 0.0f : 1.0f;
  c1 = k1 < 0 ? 0.0f : 1.0f;
  if (k1 < 0 || k >= n) return;
  const double pd = p;
  const double q = 1 - pd;
  if (k >= n / 2.0) {
    // One minus the upper tail; the sum before the last step is P(X <= k + 1).
    double term = std::pow(pd, n);
    double sum = 1 - term;
    double previous = 1;
    for (int j = n - 1; j >= k + 1; --j) {
      term = term * (q / pd) * (j + 1) / (n - j);
      previous = sum;
      sum -= term;
    }
    c0 = ToSingle(sum);
    c1 = ToSingle(previous);
  } else {
    // The lower tail; one more term gives P(X <= k + 1).
    double term = std::pow(q, n);
    double sum = term;
    for (int j = 1; j <= k; ++j) {
      term = term * (pd / q) * (n - j + 1) / j;
      sum += term;
    }
    if (k < 0) {
      c0 = 0;
      if (k1 < n) c1 = ToSingle(sum);
    } else {
      c0 = ToSingle(sum);
      if (k1 < n) c1 = ToSingle(sum + term * (pd / q) * (n - k) / k1);
    }
  }
}

Single BinomialPointReal(Single n, Single k, Single p) {
  if (k > n || k < 0) return 0;
  const SplitCount sn = Split(n), sk = Split(k);
  const std::int16_t N0 = sn.whole, k0 = sk.whole;
  const double pd = p;
  const double q = 1 - pd;
  const Single p00 = BinomialPoint(N0, k0, p);
  const std::int16_t k1 = Add16(k0, 1);
  const Single p01 = ToSingle(p00 * (pd / q) * Sub16(N0, k0) / k1);
  const Single w0 = Lerp(p00, p01, sk.fraction);
  if (sn.fraction == 0) return w0;
  const std::int16_t N1 = Add16(N0, 1);
  const Single p10 = ToSingle(p00 * q * N1 / Sub16(N1, k0));
  const Single p11 = ToSingle(p00 * pd * N1 / k1);
  return Lerp(w0, Lerp(p10, p11, sk.fraction), sn.fraction);
}

Single BinomialCdfReal(Single n, Single k, Single p) {
  if (k < 0) return 0;
  if (k >= n) return 1;
  const SplitCount sn = Split(n), sk = Split(k);
  if (sn.fraction == 0 && sk.fraction == 0) return BinomialCdf(sn.whole, sk.whole, p);
  Single c0, c1;
  BinomialCdfPair(sn.whole, sk.whole, p, c0, c1);
  const Single w0 = Lerp(c0, c1, sk.fraction);
  if (sn.fraction == 0) return w0;
  BinomialCdfPair(Add16(sn.whole, 1), sk.whole, p, c0, c1);
  return Lerp(w0, Lerp(c0, c1, sk.fraction), sn.fraction);
}

// C(a, x) C(b, n - x) / C(a + b, n) as a running product of ratios.  The roles of
// the marked units and the sample, and of the marked and unmarked units, are
// exchanged so that the product has min(a, n) steps; ratios above and below 1
// are interleaved so that the product stays in range.
Single HyperPoint(std::int16_t a, std::int16_t b, std::int16_t n, std::int16_t x) {
  const std::int16_t total = Add16(a, b);
  const std::int16_t rest = Sub16(n, x);
  if (x < 0 || x > a || rest < 0 || rest > b || n > total) return 0;
  int marked = a;
  int sample = n;
  int hits = x;
  if (sample > marked) std::swap(sample, marked);  // C(n, x) C(N - n, a - x) / C(N, a)
  if (hits > sample - hits) {                      // count the unmarked units instead
    marked = total - marked;
    hits = sample - hits;
  }
  const int unmarked = total - marked;
  const int misses = sample - hits;
  // prod over i < hits of (marked - i)(sample - i) / ((i + 1)(total - i))
  // times prod over j < misses of (unmarked - j) / (total - hits - j)
  double prod = 1;
  int i = 0;
  int j = 0;
  while (i < hits || j < misses) {
    if (i < hits && (prod <= 1 || j == misses)) {
      prod *= static_cast<double>(marked - i) * (sample - i) / ((i + 1.0) * (total - i));
      ++i;
    } else {
      prod *= static_cast<double>(unmarked - j) / (total - hits - j);
      ++j;
    }
  }
  return ToSingle(prod);
}

Single HyperCdf(std::int16_t a, std::int16_t b, std::int16_t n, std::int16_t x) {
  const std::int16_t total = Add16(a, b);
  const std::int16_t rest = Sub16(n, x);
  if (x < 0 || rest > b || n > total) return 0;
  if (x > a) return 1;
  if (a > b) return ToSingle(1.0 - HyperCdf(b, a, n, Sub16(rest, 1)));
  double term = 1;
  double sum;
  if (n <= b) {
    for (int i = 0; i < n; ++i) term *= static_cast<double>(b - i) / (total - i);  // P(X = 0)
    sum = term;
    for (int j = 1; j <= x; ++j) {
      term *= static_cast<double>(a - j + 1) * (n - j + 1) / (static_cast<double>(j) * (b - n + j));
      sum += term;
    }
  } else {
    for (int i = 0; i < a; ++i) term *= static_cast<double>(n - i) / (total - i);  // P(X = a)
    sum = 1;
    for (int j = a; j >= x + 1; --j) {
      sum -= term;
      term *= static_cast<double>(j) * (b - n + j) / (static_cast<double>(a - j + 1) * (n - j + 1));
    }
  }
  return ToSingle(sum);
}

Single HyperPointReal(Single a, Single b, Single n, Single x) {
  return InterpolateHyper(HyperPoint, a, b, n, x);
}

Single HyperCdfReal(Single a, Single b, Single n, Single x) { return InterpolateHyper(HyperCdf, a, b, n, x); }

namespace {

// The Poisson terms e^-lambda lambda^i / i! for i = 0..k, handed to `use`
// one by one, with the last one returned.  For a mean whose e^-lambda falls
// below the smallest double (about 745 and up) the terms are carried on the
// log scale until they are representable again, so that they are not all 0.
template <typename Use>
double PoissonTerms(int k, Single lambda, Use use) {
  double term = ExpCapped(-lambda);
  if (term > 0 || lambda <= 0) {
    use(term);
    for (int i = 1; i <= k; ++i) {
      term = term * lambda / i;
      use(term);
    }
    return term;
  }
  const double logLambda = std::log(static_cast<double>(lambda));
  double logTerm = -static_cast<double>(lambda);
  use(0.0);
  for (int i = 1; i <= k; ++i) {
    logTerm += logLambda - std::log(static_cast<double>(i));
    term = std::exp(logTerm);
    use(term);
  }
  return term;
}

}  // namespace

Single PoissonPoint(std::int16_t k, Single lambda) {
  if (k < 0) return 0;
  return ToSingle(PoissonTerms(k, lambda, [](double) {}));
}

Single PoissonPointReal(Single k, Single lambda) {
  if (k < 0) return 0;
  const SplitCount sk = Split(k);
  const Single p0 = PoissonPoint(sk.whole, lambda);
  if (sk.fraction == 0) return p0;
  return Lerp(p0, ToSingle(static_cast<double>(p0) * lambda / Add16(sk.whole, 1)), sk.fraction);
}

Single PoissonCdfReal(Single k, Single lambda) {
  if (k < 0) return 0;
  const SplitCount sk = Split(k);
  double sum = 0;
  const double term = PoissonTerms(sk.whole, lambda, [&sum](double t) { sum += t; });
  if (sk.fraction == 0) return ToSingle(sum);
  return Lerp(ToSingle(sum), ToSingle(sum + term * lambda / Add16(sk.whole, 1)), sk.fraction);
}

}  // namespace pelmora
