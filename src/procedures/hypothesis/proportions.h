// Routines shared by the tests on proportions: the exact binomial P-value at
// a possibly fractional expected count, the standard error of a difference of
// two proportions, and the arc-sine transformation.
#pragma once

#include <optional>

#include "numeric/platform.h"
#include "numeric/power_equations.h"

namespace pelmora {

// The exact binomial P-value of the expected count x out of n under the null
// probability p0 (for two one-sided tests the left and right limits take its
// place).  1 when n is 0.
Single BinomialPValue(Sides sides, Single n, Single x, Single p0, Single left, Single right);

// The exact power of the test of BinomialPValue: the total binomial
// probability, with the assumed probability p, of the counts out of n whose
// P-value is at most alpha (a count's own P-value with n, p0 and the limits
// as the test has them).  At a fractional n, the power at the whole sizes
// around it interpolated linearly, as BinomialPValue interpolates.  Nothing
// for a level outside (0, 1), tails outside 1..3 or p outside [0, 1].
std::optional<double> BinomialPower(Sides sides, double alpha, Single n, Single p, Single p0, Single left,
                                    Single right);

// The standard error of p2 - p1: unpooled when the null difference is not 0,
// pooled otherwise.
Single TwoProportionSE(Single n1, Single n2, Single p1, Single p2, Single nullDifference);

// arcsin(sqrt p).
Single ArcsineValue(Single p);

}  // namespace pelmora
