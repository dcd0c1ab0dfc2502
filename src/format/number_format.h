// Number formats: the one place where numbers become text.
//
// Two writing rules carry everything else:
//  - a numeric pattern of "#" (optional digit), "0" (forced digit) and "."
//    (decimal point), every other character being copied as it stands;
//  - the general form of a single: at most 7 significant digits, a leading
//    blank for a non-negative number, no leading zero before the decimal
//    point, and exponent notation outside the fixed range.
// On them sit the format choosers for single results, stepped columns and
// columns of values, and the aligned table cell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/platform.h"

namespace pelmora {

// ---- Pattern formatting ----------------------------------------------------

// x written with a numeric pattern.
//  - The value is first written as a decimal with 15 significant digits
//    (trailing zeros dropped); that decimal is rounded half away from zero to
//    as many decimals as the pattern has digit places after its first ".".
//    So 0.125 and 2.675 with "0.00" give "0.13" and "2.68".
//  - Before the point, the integer digits fill the digit places from the
//    right; the leftmost place takes every digit that does not fit, so an
//    integer part longer than the pattern is written whole.  A free "#" place
//    writes nothing, a "0" place writes "0", and every place right of a "0"
//    is forced as well.  "#" gives "" for 0.3, "##0" gives "0".
//  - After the point, "0" places always write their digit; "#" places drop
//    trailing zeros.  The "." is written only when a decimal digit follows.
//  - A negative number gets a leading "-", unless every written digit is
//    zero (a value that rounds to zero has no sign).
//  - Any other character of the pattern (a trailing blank, say) is copied.
//  - A value that is not finite gives "-".
std::string FormatPattern(double x, std::string_view pattern);

// The same for a single, whose decimal form has 7 significant digits: the
// digits it shows are those its own general form holds (2.675 as a single
// gives "2.68" with "0.00", not the digits of its binary neighbour).
std::string FormatSinglePattern(Single x, std::string_view pattern);

// ---- General form of a single ---------------------------------------------

// The general form of a single: at most 7 significant digits (the value
// rounded to them), trailing zeros dropped, no leading zero before the point,
// a leading blank for a non-negative number and "-" for a negative one.
// With x = d.ddd x 10^e after rounding, fixed notation is used for
// -6 <= e <= 6 and exponent notation otherwise, the exponent with a sign and
// at least two digits:
//   0.5 -> " .5", -0.25 -> "-.25", 1234567 -> " 1234567",
//   12345678 -> " 1.234568E+07", 0.000001 -> " .000001", 0.0000001 ->
//   " 1E-07", 150000000 -> " 1.5E+08", 0 -> " 0".
// Not-finite values give " NaN", " Inf" and "-Inf".
std::string StrSingle(Single x);

// StrSingle without the leading blank of a non-negative number.
std::string StrSingleTrimmed(Single x);

// The shortest general form of x rounded to a single: StrSingleTrimmed of the
// single ("1.5E-07", ".25", "-3").
std::string ShortestGeneral(double x);

// ---- Format choosers -------------------------------------------------------

// The pattern for showing one result, chosen by the magnitude of x:
// below 0.000005 "0", then "0.0####" up to 1, "0.0###" up to 10, "0.0##" up
// to 100, "0.0#" up to 1000, "0.0" up to 10000, and "0" from 10000 on.
std::string ResultFormat(double x);

// x written with its ResultFormat.
std::string FormatResult(double x);

// The 11-character pattern (ending in a blank) for a column whose values span
// [min, max] in `count` steps, chosen by the step (max - min) / count in
// single precision: two decimals for a step from 0.1 to 1, one more for each
// decade below, none from 100 up.
std::string StepFormat(std::int16_t count, Single min, Single max);

// The pattern that shows each of values[first..last] (inclusive indices;
// indices outside the vector are skipped) with the decimals it needs:
// (8 - n) "#", "0.", n "0" and a blank, where n is the largest number of
// decimals; ten "#" and a blank when no value has decimals.  The decimals of
// a value are counted in its ShortestGeneral text: the characters after ".",
// or the exponent of an "E-" form.  A value whose "E-" exponent is 7 or more
// is first rounded with RoundToPower(value, -7), so no column asks for more
// than 7 decimals on account of a tiny value.  An "E+" form (a whole number
// of at least 10^7) has no decimals.  When n exceeds 8 the pattern starts
// directly with "0.".
std::string ColumnFormat(const std::vector<Single>& values, int first, int last);

// The value written with the pattern and right-aligned to the pattern's
// length with leading blanks; a point without a value (not a number) gives
// "- " aligned the same way.
std::string AlignedCell(Single value, std::string_view pattern);

// A number inside a sentence: plain decimals with `significant` digits, no
// trailing zeros; an exponent only for magnitudes below 0.000001.
std::string PlainNumber(double v, int significant);

// The number of decimals that ResultFormat(v) shows.
int ResultDecimals(double v);

// The decimals of a number read from a text: the fewest (up to 12) that hold
// it.
int DecimalsOf(double v);

// ---- Numeric helpers -------------------------------------------------------

// x rounded to a multiple of 10^p: Int(x / 10^p + 0.5) x 10^p, as a single.
Single RoundToPower(Single x, int p);

}  // namespace pelmora
