// The distributions under which a test's power is computed: the standard
// normal in double precision, the noncentral t, chi-square and F distributions
// (the central ones at noncentrality 0), Owen's T function, and the chi
// distribution of an estimated standard deviation over its true value.
//
// Method.  The noncentral t, chi-square and F distribution functions and
// Owen's T are those of Boost.Math (the series of Benton and Krishnamoorthy,
// Computational Statistics & Data Analysis 43 (2003) 249-267, for the
// noncentral ones; Patefield and Tandy, Journal of Statistical Software 5
// (2000), for Owen's T), evaluated in double precision.  Around them this file
// keeps the program's fault rules: no exception leaves a routine, every result
// is a probability in [0, 1] and never NaN, and the caller's floating-point
// exception flags are as they were before the call, so that an intermediate
// underflow or a discarded overflow inside a series is not taken for a fault
// of the criterion.  Where a probability is 0 or 1 to double precision by an
// elementary bound (a noncentrality far beyond the point, a point many
// standard deviations from the mean), the routine returns it without the
// series, so that extreme designs cost no more than ordinary ones.
//
// Accuracy: about 1e-12 absolute for degrees of freedom from 0.5 to 1e6 and
// noncentralities up to 1000 (t: |delta| up to 1000; chi-square and F:
// lambda up to 1e4); beyond that the results stay within [0, 1] and are 0 or 1
// where the true probability is.
//
// Arguments outside the domain (a non-finite value, degrees of freedom <= 0,
// a negative lambda) give 0 from every routine: callers check their designs
// before they ask.
#pragma once

namespace pelmora {

// P(Z <= z) and P(Z > z) of the standard normal, by the complementary error
// function (no cancellation in either tail).
double StandardNormalCdf(double z);
double StandardNormalUpper(double z);
// P(a <= Z <= b), 0 unless a < b; no cancellation in either tail.
double StandardNormalBetween(double a, double b);

// Noncentral t with df degrees of freedom and noncentrality delta: T = (Z +
// delta) / sqrt(X / df), Z standard normal, X chi-square with df degrees of
// freedom.  P(T <= t) and P(T > t).
double NoncentralTCdf(double t, double df, double delta);
double NoncentralTUpper(double t, double df, double delta);

// Noncentral chi-square with df degrees of freedom and noncentrality lambda
// (the sum of the squared means of the normal terms).  P(X <= x), P(X > x).
double NoncentralChiSquareCdf(double x, double df, double lambda);
double NoncentralChiSquareUpper(double x, double df, double lambda);

// Noncentral F with (df1, df2) degrees of freedom and noncentrality lambda of
// the numerator.  P(F <= f), P(F > f).
double NoncentralFCdf(double f, double df1, double df2, double lambda);
double NoncentralFUpper(double f, double df1, double df2, double lambda);

// Owen's T function, T(h, a) = (1 / 2 pi) * integral from 0 to a of
// exp(-h^2 (1 + x^2) / 2) / (1 + x^2) dx.  Non-finite arguments give 0.
double OwensT(double h, double a);

// Two t statistics that share the error of one normal estimate and one
// estimated standard deviation: T1 = (Z + delta1) / U and T2 = (Z + delta2) /
// U, Z standard normal and U = sqrt(X / df), X chi-square with df degrees of
// freedom.  P(T1 >= c1 and T2 <= c2), the probability that both one-sided
// tests of an equivalence test reject.
//
// Method: the integral over the distribution of U of P(c1 u - delta1 <= Z <=
// c2 u - delta2), by adaptive Gauss-Kronrod quadrature (31 points) over the
// part of the range where the band is not empty, and where U has more than
// 1e-30 of its probability; beyond 1e8 degrees of freedom the normal limit
// U = 1.  With one of the bounds infinite it is a noncentral t
// probability; the two one-sided tests of an equivalence test reject
// together with Owen's Q probability, which this integral computes.
double TwoOneSidedTProbability(double df, double delta1, double c1, double delta2, double c2);

}  // namespace pelmora
