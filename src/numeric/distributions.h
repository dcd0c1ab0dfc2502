// Continuous probability distributions: normal, Student t, chi-square and F
// (distribution function, upper tail and quantile), the regularized incomplete
// beta function with its Stirling log-gamma, and the exponential distribution
// function.
//
// Every continuous argument and result is a Single; intermediates are computed in
// double and rounded to single where the method stores them as singles.  Routines
// whose name ends in Cdf return the lower tail P(X <= x), those ending in Upper the
// upper tail P(X >= x).  Degrees of freedom of the exact finite series are 16-bit
// counts.
//
// No routine hides an arithmetic fault: a logarithm of 0, a division by zero or an
// overflow raises the floating-point flags that EvaluateGuarded tests, and a
// 16-bit overflow throws ArithmeticFault.  Only the guards named at each routine
// return a defined value instead.  All state is local: the routines are
// re-entrant.
#pragma once

#include <cstdint>

#include "numeric/platform.h"

namespace pelmora {

// e^min(x, 75): the exponential that cannot overflow for large positive x.
double ExpCapped(Single x);

// ln Gamma(x) - 0.5 ln(2 pi) for x > 0 by the Stirling series, after shifting the
// argument above 10.  An argument <= 0 is an invalid operation.
Single LogGammaStirling(Single x);

// Regularized incomplete beta I_x(a, b), 0 <= x <= 1, a, b > 0, by its continued
// fraction (two levels written out, at most 26 passes of the tail); for x beyond
// (a + 1)/(a + b + 2) through I_x(a, b) = 1 - I_(1-x)(b, a).
Single IncompleteBeta(Single x, Single a, Single b);

// P(Z <= z): Abramowitz and Stegun 7.1.26 (error below 7.5e-8); exactly 0 or 1
// for |z| >= 10.
Single NormalCdf(Single z);

// z with P(Z <= z) = p: Abramowitz and Stegun 26.2.23 (error below 4.5e-4);
// -100 for p <= 0, 100 for p >= 1.
Single NormalQuantile(Single p);

// Mode 1 sets p = P(Z >= z) (Abramowitz and Stegun 26.2.19; 0 or 1 beyond
// |z| > 7).  Mode 2 sets z so that P(Z >= z) = p (tabulated values at the usual
// levels, otherwise a polynomial in -ln(4q(1 - q))).  Other modes do nothing.
void NormalUpper(std::int16_t mode, Single& z, Single& p);
// z with P(Z >= z) = p, by NormalUpper mode 2: the tabulated 1.64485,
// 1.95996, 2.32635, 2.57583 at the usual levels and the polynomial (error
// near 1e-7) elsewhere.  The precision of an estimate and the limits of an
// interval use it.
Single UpperNormalQuantile(Single p);

// P(T <= t) for Student's t with df degrees of freedom: up to 1000 df through
// the incomplete beta function, with df/(df + t^2) and its complement both in
// double precision; beyond, the normal tail of the z whose Cornish-Fisher t
// (Abramowitz and Stegun 26.7.5) is t.  Accurate to single precision up to
// 1e9 df.
Single StudentCdf(Single t, Single df);

// t with P(T <= t) = p: exact for df = 1, otherwise Abramowitz and Stegun 26.7.5.
Single StudentQuantile(Single p, Single df);

// P(X <= x) for chi-square with real df: through the F distribution with
// df2 = 10000 for df <= 21, Wilson-Hilferty beyond.  0 for x <= 1e-10, 1 for
// df <= 0.
Single ChiSquareCdf(Single x, Single df);

// x with P(X <= x) = p: df / FQuantile(1 - p, 999999, df) for df > 10, otherwise
// the bisection of ChiSquareUpper mode 2 with df rounded to an integer.
Single ChiSquareQuantile(Single p, Single df);

// Mode 1 sets p = P(X >= x) (finite series for df <= 40, Wilson-Hilferty beyond);
// mode 2 sets x so that P(X >= x) = p (closed forms for df 1 and 2, bisection
// otherwise).  x is unchanged by mode 1, p by mode 2.
void ChiSquareUpper(std::int16_t mode, std::int16_t df, Single& x, Single& p);

// P(F <= f): Paulson's normal approximation when both df > 10 and one of them
// > 100; otherwise through the incomplete beta function with its argument and
// the argument's complement in double precision, or, with one df above 10000,
// by the power series of the incomplete beta in the small ratio.
Single FCdf(Single f, Single df1, Single df2);

// f with P(F <= f) = p: Abramowitz and Stegun 26.6.16 when both df > 10; otherwise
// FUpper mode 2 with each df capped at 999 and rounded, or 99999 for a df <= 0.5.
Single FQuantile(Single p, Single df1, Single df2);

// Mode 1 sets p = P(F >= f) by the finite series for integer degrees of freedom
// (terms below 1e-5 of the sum end it); mode 2 sets f so that P(F >= f) = p
// (inverted Paulson approximation when both df > 30, bisection otherwise).
void FUpper(std::int16_t mode, std::int16_t df1, std::int16_t df2, Single& f, Single& p);

// 0 for x < location, else 1 - e^(-(x - location)/scale).
Single ExponentialCdf(Single x, Single location, Single scale);

}  // namespace pelmora
