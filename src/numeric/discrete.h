// Discrete distributions: binomial, hypergeometric and Poisson point
// probabilities and distribution functions, with the binomial coefficients they
// rest on.
//
// Point probabilities are built by ratio recurrences in double precision, never
// from factorials, and rounded to single.  The ...Real variants take real counts
// and interpolate linearly (multilinearly for the hypergeometric) between the
// neighbouring whole counts, so that a whole-number argument gives exactly the
// discrete value and a fractional one lies smoothly between.  Counts are 16-bit:
// a count that leaves -32768..32767 (n + 1, a + b, ...) throws ArithmeticFault.
// Outside the support the routines return 0 (point) or 0 and 1 (distribution
// function).  All routines are re-entrant.
#pragma once

#include <cstdint>

#include "numeric/platform.h"

namespace pelmora {

// a + (b - a) t.
Single Lerp(Single a, Single b, Single t);

// C(n, k) as the product over i = 1..k of (n - i + 1)/i; 1 for k < 1.
double BinomialCoefficient(std::int16_t n, std::int16_t k);

// C(n, k) from BinomialCoefficient(n, min(k, n - k)), remembered for
// 0 <= n, k <= 60 (the Fisher exact probabilities ask for the same values often).
double BinomialCoefficientCached(std::int16_t n, std::int16_t k);

// P(X = k) and P(X <= k) for X ~ Bin(n, p); the shorter tail is summed.
Single BinomialPoint(std::int16_t n, std::int16_t k, Single p);
Single BinomialCdf(std::int16_t n, std::int16_t k, Single p);
// c0 = P(X <= k) and c1 = P(X <= k + 1) in one pass.
void BinomialCdfPair(std::int16_t n, std::int16_t k, Single p, Single& c0, Single& c1);

// Binomial point probability and distribution function for real n and k,
// interpolated between the whole counts around them.
Single BinomialPointReal(Single n, Single k, Single p);
Single BinomialCdfReal(Single n, Single k, Single p);

// P(X = x) and P(X <= x) for a sample of n drawn without replacement from a
// population of a marked and b unmarked units.
Single HyperPoint(std::int16_t a, std::int16_t b, std::int16_t n, std::int16_t x);
Single HyperCdf(std::int16_t a, std::int16_t b, std::int16_t n, std::int16_t x);

// The same for real arguments: the multilinear interpolation of the whole-count
// routine over the corners of the unit cell around (a, b, n, x).
Single HyperPointReal(Single a, Single b, Single n, Single x);
Single HyperCdfReal(Single a, Single b, Single n, Single x);

// Poisson P(X = k) with mean lambda, for whole and for real k, and P(X <= k) for
// real k.
Single PoissonPoint(std::int16_t k, Single lambda);
Single PoissonPointReal(Single k, Single lambda);
Single PoissonCdfReal(Single k, Single lambda);

}  // namespace pelmora
