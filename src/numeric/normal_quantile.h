// Quantiles of the standard normal distribution in double precision.
//
// Method: the rational approximation of Abramowitz and Stegun 26.2.23 (error
// below 4.5e-4) on the smaller tail as the start, then Halley steps on the
// tail probability computed by the complementary error function
// (StandardNormalUpper of noncentral.h) until the step is below 1e-15
// relative; three steps at most are needed.  Accuracy: a few units of the
// last place of the quantile for tail probabilities from 1e-300 to 0.5, so
// that the quantile of a small upper tail is exact to double precision and
// needs no 1 - p.
//
// Domain: p in (0, 1).  p <= 0 gives -infinity (+infinity for the upper
// quantile), p >= 1 the other infinity, NaN gives 0.  All state is local: the
// routines are re-entrant.
#pragma once

namespace pelmora {

// z with P(Z <= z) = p.
double StandardNormalQuantile(double p);

// z with P(Z > z) = q, accurate for the smallest q.
double StandardNormalUpperQuantile(double q);

}  // namespace pelmora
