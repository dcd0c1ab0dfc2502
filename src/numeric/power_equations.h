// P-values that a test would report for an assumed estimate, for each kind of
// test statistic, and the normal-approximation power pieces.
//
// Each P-value routine is one-sided (upper tail, or lower tail when rejecting
// in the left tail), two-sided, or, for two one-sided tests, the larger of the
// upper-tail P-value against the left equivalence limit and the lower-tail
// P-value against the right one; any other number of tails gives 0.
#pragma once

#include <cstdint>

#include "numeric/platform.h"

namespace pelmora {

// The sidedness of a test: 1 one-sided, 2 two-sided, 3 two one-sided.
struct Sides {
  std::int16_t TailCount = 2;
  Flag RejectInLeftTail = kFalse;
};

// Student t of (x - null) / se with df degrees of freedom.  A zero standard
// error is an arithmetic fault (division by zero).
Single PValueT(Sides sides, Single x, Single null, Single se, Single left, Single right, Single df);
// Standard normal of (x - null -+ cc) / se, the correction cc moving the
// statistic towards the null value; 0 when se <= 0.
Single PValueZ(Sides sides, Single x, Single null, Single se, Single left, Single right, Single cc);
// Chi-square of x / scale with df degrees of freedom.
Single PValueChiSquare(Sides sides, Single x, Single scale, Single left, Single right, Single df);
// F of x / scale with (dfNumerator, dfDenominator) degrees of freedom.
Single PValueF(Sides sides, Single x, Single scale, Single left, Single right, Single dfDenominator,
               Single dfNumerator);
// Two one-sided normal tests with their own standard errors; 0 when either is
// not positive.
Single PValueZEquivalence(Single x, Single left, Single right, Single seLeft, Single seRight, Single cc);
// Exponential distribution function of x with the given location and scale.
Single PValueExponential(Sides sides, Single x, Single location, Single scale, Single left, Single right);
// Poisson count x (interpolated between whole numbers) against a null mean.
Single PValuePoisson(Sides sides, Single x, Single mean, Single left, Single right);

// (a - b z) / d; 100000 when d <= 0.
double PowerZ(double a, double b, double d, double z);
double PowerOneSided(double a, double b, double d, double z);
double PowerTwoSided(double a, double b, double d, double z);
double PowerEquivalence(double a1, double a2, double b1, double b2, double d, double z);
// Normal-approximation power at error level alpha minus the requested power.
// b multiplies the critical value (the standard error under the null
// hypothesis), d is the standard error under the alternative; m1 and m2 are the
// two equivalence terms of two one-sided tests.
double NormalPowerCriterion(Sides sides, double alpha, double requestedPower, Single delta, Single b,
                            Single d, Single m1, Single m2, Single b1, Single b2, Single cc);

}  // namespace pelmora
