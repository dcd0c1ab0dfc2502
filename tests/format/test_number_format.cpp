#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "format/number_format.h"
#include "session/solve_outcome.h"

namespace pelmora {
namespace {

// Expected roundings come from Python's decimal module, rounding the value's
// 15-digit form half up:
//   str(Decimal('%.15g' % x).quantize(Decimal(q), rounding=ROUND_HALF_UP))
// and for singles from the 7-digit form '%.6e' % struct-packed float32.

TEST(NumberFormatPattern, FreeDecimalsDropTrailingZerosAndThePoint) {
  const char* p = "#####0.######";
  EXPECT_EQ(FormatPattern(0.99999, p), "0.99999");
  EXPECT_EQ(FormatPattern(0.00001, p), "0.00001");
  EXPECT_EQ(FormatPattern(99999, p), "99999");
  EXPECT_EQ(FormatPattern(-0.3, p), "-0.3");
  EXPECT_EQ(FormatPattern(1.25, p), "1.25");
  EXPECT_EQ(FormatPattern(0.5, p), "0.5");
  EXPECT_EQ(FormatPattern(3, p), "3");
  EXPECT_EQ(FormatPattern(0, p), "0");
  EXPECT_EQ(FormatPattern(0.0000004, p), "0");
  EXPECT_EQ(FormatPattern(0.0000005, p), "0.000001");
  EXPECT_EQ(FormatPattern(1.23456789, p), "1.234568");
}

TEST(NumberFormatPattern, ForcedAndOptionalDecimals) {
  EXPECT_EQ(FormatPattern(0.123456789, "0.0####"), "0.12346");
  EXPECT_EQ(FormatPattern(0.5, "0.0####"), "0.5");
  EXPECT_EQ(FormatPattern(2, "0.0####"), "2.0");
  EXPECT_EQ(FormatPattern(0.100004, "0.0####"), "0.1");
  EXPECT_EQ(FormatPattern(0.100005, "0.0####"), "0.10001");
  EXPECT_EQ(FormatPattern(1234.56, "0.0"), "1234.6");
  EXPECT_EQ(FormatPattern(1.25, "0.000"), "1.250");
  EXPECT_EQ(FormatPattern(0.5, ".00"), ".50");
  EXPECT_EQ(FormatPattern(3.5, ".00"), "3.50");
  EXPECT_EQ(FormatPattern(0.5, "#.##"), ".5");
}

TEST(NumberFormatPattern, RoundsTheDecimalFormHalfAwayFromZero) {
  EXPECT_EQ(FormatPattern(0.05, "0.0"), "0.1");
  EXPECT_EQ(FormatPattern(0.15, "0.0"), "0.2");
  EXPECT_EQ(FormatPattern(1.45, "0.0"), "1.5");
  EXPECT_EQ(FormatPattern(0.125, "0.00"), "0.13");
  EXPECT_EQ(FormatPattern(2.675, "0.00"), "2.68");
  EXPECT_EQ(FormatPattern(1.005, "0.00"), "1.01");
  EXPECT_EQ(FormatPattern(0.285, "0.00"), "0.29");
  EXPECT_EQ(FormatPattern(-2.675, "0.00"), "-2.68");
  EXPECT_EQ(FormatPattern(2.5, "0"), "3");
  EXPECT_EQ(FormatPattern(-2.5, "0"), "-3");
  EXPECT_EQ(FormatPattern(0.4999, "0"), "0");
  // The 15-digit form hides the binary error of 0.1 + 0.2.
  EXPECT_EQ(FormatPattern(0.1 + 0.2, "0.################"), "0.3");
  // Carries run through all digits.
  EXPECT_EQ(FormatPattern(9.999, "0.00"), "10.00");
  EXPECT_EQ(FormatPattern(0.999, "0.##"), "1");
  EXPECT_EQ(FormatPattern(99999.96, "0.0"), "100000.0");
}

TEST(NumberFormatPattern, NegativeValuesThatRoundToZeroHaveNoSign) {
  EXPECT_EQ(FormatPattern(-0.04, "0.0"), "0.0");
  EXPECT_EQ(FormatPattern(-0.05, "0.0"), "-0.1");
  EXPECT_EQ(FormatPattern(-0.4, "0"), "0");
  EXPECT_EQ(FormatPattern(-0.0000004, "#####0.######"), "0");
  EXPECT_EQ(FormatPattern(-0.0, "0.00"), "0.00");
  EXPECT_EQ(FormatPattern(-0.3, "#"), "");
  EXPECT_EQ(FormatPattern(-12.5, "#######0.0 "), "-12.5 ");
}

TEST(NumberFormatPattern, IntegerPlaces) {
  EXPECT_EQ(FormatPattern(0.3, "#"), "");
  EXPECT_EQ(FormatPattern(0, "#"), "");
  EXPECT_EQ(FormatPattern(0.3, "##0"), "0");
  EXPECT_EQ(FormatPattern(7, "#"), "7");
  EXPECT_EQ(FormatPattern(7, "000"), "007");
  EXPECT_EQ(FormatPattern(2.6, "0"), "3");
  // An integer part longer than the pattern is written whole.
  EXPECT_EQ(FormatPattern(123456, "0"), "123456");
  EXPECT_EQ(FormatPattern(12345.6, "##0"), "12346");
  EXPECT_EQ(FormatPattern(123456789, "#0.00"), "123456789.00");
  EXPECT_EQ(FormatPattern(1e20, "0"), "100000000000000000000");
  EXPECT_EQ(FormatPattern(1e-300, "0.0####"), "0.0");
}

TEST(NumberFormatPattern, OtherCharactersAreCopied) {
  EXPECT_EQ(FormatPattern(3, "#######0.0 "), "3.0 ");
  EXPECT_EQ(FormatPattern(1234, "#########0 "), "1234 ");
  EXPECT_EQ(FormatPattern(0.25, "######0.00 "), "0.25 ");
  EXPECT_EQ(FormatPattern(5, "0 %"), "5 %");
  EXPECT_EQ(FormatPattern(5, "0.## "), "5 ");
}

TEST(NumberFormatPattern, NotFiniteValuesGiveADash) {
  EXPECT_EQ(FormatPattern(std::numeric_limits<double>::quiet_NaN(), "0.0"), "-");
  EXPECT_EQ(FormatPattern(std::numeric_limits<double>::infinity(), "0.0"), "-");
  EXPECT_EQ(FormatSinglePattern(-std::numeric_limits<Single>::infinity(), "0.0"), "-");
}

TEST(NumberFormatPattern, SinglesShowTheDigitsTheyCarry) {
  // 2.675f is 2.67499995...; its 7-digit form is 2.675000.
  EXPECT_EQ(FormatSinglePattern(2.675f, "0.00"), "2.68");
  EXPECT_EQ(FormatPattern(static_cast<double>(2.675f), "0.00"), "2.67");
  EXPECT_EQ(FormatSinglePattern(0.1f, "0.################"), "0.1");
  EXPECT_EQ(FormatSinglePattern(0.3f, "######0.00 "), "0.30 ");
  EXPECT_EQ(FormatSinglePattern(-0.004f, "0.00"), "0.00");
}

TEST(NumberFormatStr, GeneralFormOfASingle) {
  EXPECT_EQ(StrSingle(0.5f), " .5");
  EXPECT_EQ(StrSingle(100.0f), " 100");
  EXPECT_EQ(StrSingle(1234567.0f), " 1234567");
  EXPECT_EQ(StrSingle(-2.5f), "-2.5");
  EXPECT_EQ(StrSingle(-0.25f), "-.25");
  EXPECT_EQ(StrSingle(0.0f), " 0");
  EXPECT_EQ(StrSingle(-0.0f), " 0");
  EXPECT_EQ(StrSingle(0.01f), " .01");
  EXPECT_EQ(StrSingle(0.1f), " .1");               // '%.6e' % float32(0.1)     = 1.000000e-01
  EXPECT_EQ(StrSingle(1.0f / 3.0f), " .3333333");  // '%.6e' % float32(1/3)     = 3.333333e-01
  EXPECT_EQ(StrSingle(123.456f), " 123.456");      // '%.6e' % float32(123.456) = 1.234560e+02
  EXPECT_EQ(StrSingle(2.675f), " 2.675");
}

TEST(NumberFormatStr, FixedNotationFromE06ToE06) {
  EXPECT_EQ(StrSingle(0.000001f), " .000001");
  EXPECT_EQ(StrSingle(0.0000012345678f), " .000001234568");  // '%.6e' % float32(...) = 1.234568e-06
  EXPECT_EQ(StrSingle(0.000015f), " .000015");
  EXPECT_EQ(StrSingle(0.0000001f), " 1E-07");
  EXPECT_EQ(StrSingle(0.00000015f), " 1.5E-07");
  EXPECT_EQ(StrSingle(12345678.0f), " 1.234568E+07");
  EXPECT_EQ(StrSingle(9999999.6f), " 1E+07");  // rounds up into the next decade
  EXPECT_EQ(StrSingle(150000000.0f), " 1.5E+08");
  EXPECT_EQ(StrSingle(-150000000.0f), "-1.5E+08");
  EXPECT_EQ(StrSingle(std::numeric_limits<Single>::max()), " 3.402823E+38");
  EXPECT_EQ(StrSingle(std::numeric_limits<Single>::denorm_min()), " 1.401298E-45");
  EXPECT_EQ(StrSingle(std::numeric_limits<Single>::quiet_NaN()), " NaN");
  EXPECT_EQ(StrSingle(-std::numeric_limits<Single>::infinity()), "-Inf");
}

TEST(NumberFormatStr, TrimmedAndShortestGeneral) {
  EXPECT_EQ(StrSingleTrimmed(0.5f), ".5");
  EXPECT_EQ(StrSingleTrimmed(-2.5f), "-2.5");
  EXPECT_EQ(StrSingleTrimmed(0.0f), "0");
  EXPECT_EQ(StrSingleTrimmed(100.0f), "100");
  EXPECT_EQ(ShortestGeneral(1.5e-7), "1.5E-07");
  EXPECT_EQ(ShortestGeneral(0.1), ".1");
  EXPECT_EQ(ShortestGeneral(0.123456789), ".1234568");  // rounded to a single first
  EXPECT_EQ(ShortestGeneral(-3), "-3");
}

TEST(NumberFormatChoosers, ResultFormatByMagnitude) {
  EXPECT_EQ(ResultFormat(0.0000049), "0");
  EXPECT_EQ(ResultFormat(0), "0");
  EXPECT_EQ(ResultFormat(0.000005), "0.0####");
  EXPECT_EQ(ResultFormat(0.5), "0.0####");
  EXPECT_EQ(ResultFormat(-0.5), "0.0####");
  EXPECT_EQ(ResultFormat(1), "0.0###");
  EXPECT_EQ(ResultFormat(9.99), "0.0###");
  EXPECT_EQ(ResultFormat(10), "0.0##");
  EXPECT_EQ(ResultFormat(-99.9), "0.0##");
  EXPECT_EQ(ResultFormat(100), "0.0#");
  EXPECT_EQ(ResultFormat(1000), "0.0");
  EXPECT_EQ(ResultFormat(9999.9), "0.0");
  EXPECT_EQ(ResultFormat(10000), "0");
  EXPECT_EQ(ResultFormat(12345), "0");
}

TEST(NumberFormatChoosers, FormatResult) {
  EXPECT_EQ(FormatResult(0.123456789), "0.12346");
  EXPECT_EQ(FormatResult(0.05), "0.05");
  EXPECT_EQ(FormatResult(3.14159265), "3.1416");
  EXPECT_EQ(FormatResult(2), "2.0");
  EXPECT_EQ(FormatResult(-12.3456), "-12.346");
  EXPECT_EQ(FormatResult(123.456), "123.46");
  EXPECT_EQ(FormatResult(1234.56), "1234.6");
  EXPECT_EQ(FormatResult(12345.6), "12346");
  EXPECT_EQ(FormatResult(0.0000049), "0");
  EXPECT_EQ(FormatResult(-0.0000049), "0");
  EXPECT_EQ(FormatResult(0.999996), "1.0");
}

TEST(NumberFormatChoosers, StepFormatBySingleStep) {
  EXPECT_EQ(StepFormat(10, 0.0f, 1.0f), "######0.00 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 1000.0f), "#########0 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 999.0f), "#######0.0 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 10.0f), "#######0.0 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 0.1f), "#####0.000 ");  // float32(0.1)/10 == float32(0.01)
  // float32(0.3)/3 == float32(0.1), while in double 0.3/3 < 0.1.
  EXPECT_EQ(StepFormat(3, 0.0f, 0.3f), "######0.00 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 0.02f), "####0.0000 ");
  // float32(0.01)/10 = 0.00099999993 < float32(0.001) = 0.0010000000475
  EXPECT_EQ(StepFormat(10, 0.0f, 0.01f), "###0.00000 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 0.001f), "###0.00000 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 0.0001f), "##0.000000 ");
  EXPECT_EQ(StepFormat(10, 0.0f, 0.00001f), "#0.0000000 ");  // float32(1e-5)/10 == float32(1e-6)
  EXPECT_EQ(StepFormat(10, 0.0f, 0.000001f), "0.00000000 ");
  EXPECT_EQ(StepFormat(4, 1.0f, 1.0f), "0.00000000 ");
  EXPECT_EQ(StepFormat(20, 10.0f, 30.0f), "#######0.0 ");
}

TEST(NumberFormatChoosers, ColumnFormatTakesTheMostDecimals) {
  const std::vector<Single> halves{0.5f, 0.25f, 1.0f};
  EXPECT_EQ(ColumnFormat(halves, 0, 2), "######0.00 ");
  EXPECT_EQ(ColumnFormat(halves, 0, 0), "#######0.0 ");
  EXPECT_EQ(ColumnFormat(halves, 2, 2), "########## ");
  EXPECT_EQ(ColumnFormat(halves, 2, 1), "########## ");
  EXPECT_EQ(ColumnFormat(halves, -1, 7), "######0.00 ");  // indices outside are skipped
  EXPECT_EQ(ColumnFormat({1.0f, 2.0f, 3.0f}, 0, 2), "########## ");
  EXPECT_EQ(ColumnFormat({-0.25f}, 0, 0), "######0.00 ");
  EXPECT_EQ(ColumnFormat({0.001f}, 0, 0), "#####0.000 ");
  EXPECT_EQ(ColumnFormat({99999.0f, 0.5f}, 0, 1), "#######0.0 ");
  EXPECT_EQ(ColumnFormat({150000000.0f}, 0, 0), "########## ");
  EXPECT_EQ(ColumnFormat({0.00001234f}, 0, 0), "0.00000000 ");
  EXPECT_EQ(ColumnFormat({0.0000012345f}, 0, 0), "0.0000000000 ");
}

TEST(NumberFormatChoosers, ColumnFormatRoundsTinyValuesToSevenDecimals) {
  // 1.5E-07 rounds with RoundToPower(-7) to 2E-07: seven decimals.
  EXPECT_EQ(ColumnFormat({1.5e-7f}, 0, 0), "#0.0000000 ");
  EXPECT_EQ(ColumnFormat({0.5f, 1.5e-7f}, 0, 1), "#0.0000000 ");
  EXPECT_EQ(ColumnFormat({1e-7f}, 0, 0), "#0.0000000 ");
  // 4E-08 rounds to 0: no decimals.
  EXPECT_EQ(ColumnFormat({4e-8f}, 0, 0), "########## ");
  EXPECT_EQ(ColumnFormat({4e-8f, 0.5f}, 0, 1), "#######0.0 ");
  // 9.6E-07 rounds to 1E-06, written .000001: six decimals.
  EXPECT_EQ(ColumnFormat({9.6e-7f}, 0, 0), "##0.000000 ");
}

TEST(NumberFormatChoosers, AlignedCell) {
  EXPECT_EQ(AlignedCell(kNotCalculated, "######0.00 "), "         - ");
  EXPECT_EQ(AlignedCell(kNotCalculated, "0"), "- ");
  EXPECT_EQ(AlignedCell(99999.0f, "#########0 "), "     99999 ");  // a value like any other
  EXPECT_EQ(AlignedCell(3.0f, "#######0.0 "), "       3.0 ");
  EXPECT_EQ(AlignedCell(0.5f, "######0.00 "), "      0.50 ");
  EXPECT_EQ(AlignedCell(2.675f, "######0.00 "), "      2.68 ");
  EXPECT_EQ(AlignedCell(-0.004f, "######0.00 "), "      0.00 ");
  EXPECT_EQ(AlignedCell(-1.5f, "#######0.0 "), "      -1.5 ");
  EXPECT_EQ(AlignedCell(1234.0f, "#########0 "), "      1234 ");
  // Wider than the pattern: no blanks; a single holds 7 digits.
  EXPECT_EQ(AlignedCell(123456789.0f, "#######0.0 "), "123456800.0 ");
  EXPECT_EQ(AlignedCell(99999.5f, "#########0 "), "    100000 ");
}

TEST(NumberFormatHelpers, RoundToPower) {
  // math.floor(float32(x) / 10**p + 0.5) * 10**p, as float32
  EXPECT_EQ(RoundToPower(0.123456f, -3), 0.123f);
  EXPECT_EQ(RoundToPower(-2.5f, 0), -2.0f);
  EXPECT_EQ(RoundToPower(-2.6f, 0), -3.0f);
  EXPECT_EQ(RoundToPower(149.9f, 2), 100.0f);
  EXPECT_EQ(RoundToPower(150.0f, 2), 200.0f);
  EXPECT_EQ(RoundToPower(1.5e-7f, -7), 2e-7f);
  EXPECT_EQ(RoundToPower(4e-8f, -7), 0.0f);
  EXPECT_EQ(RoundToPower(0.0f, 3), 0.0f);
}

}  // namespace
}  // namespace pelmora
