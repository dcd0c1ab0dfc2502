// Arithmetic of the original platform, reproduced in small helpers so that the
// routines built on them read like their formulas.
//
// Single-precision quantities are `float`; 16-bit counts are `int16_t`.  Flags
// are 16-bit integers with True = -1 and False = 0.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pelmora {

using Single = float;
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

// The value FQuantile returns where it has none (a df <= 0.5).
inline constexpr double kNoResult = 99999.0;

// Thrown for an arithmetic fault that the floating-point flags do not catch:
// a 16-bit integer overflow, or a conversion of a value out of range.
class ArithmeticFault : public std::runtime_error {
 public:
  explicit ArithmeticFault(const std::string& what) : std::runtime_error(what) {}
};

// Rounds a double to single precision (the value a Single variable holds).
inline Single ToSingle(double x) { return static_cast<Single>(x); }

// Int(x): rounds down, toward minus infinity.
double Int(double x);
// Fix(x): truncates toward zero.
double Fix(double x);
// Sgn(x): -1, 0 or +1.
int Sgn(double x);
// Conversion to a 16-bit integer: nearest integer, halves to the even
// neighbour; throws ArithmeticFault outside -32768..32767 or for NaN.
std::int16_t CInt16(double x);
// 16-bit additions and subtractions that throw ArithmeticFault on overflow.
std::int16_t Add16(std::int32_t a, std::int32_t b);
std::int16_t Sub16(std::int32_t a, std::int32_t b);

}  // namespace pelmora
