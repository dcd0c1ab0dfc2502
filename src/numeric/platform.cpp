#include "numeric/platform.h"

#include <cmath>

namespace pelmora {

double Int(double x) { return std::floor(x); }

double Fix(double x) { return std::trunc(x); }

int Sgn(double x) { return (x > 0) - (x < 0); }

namespace {
std::int16_t Checked16(std::int64_t v, const char* what) {
  if (v < -32768 || v > 32767) throw ArithmeticFault(std::string("16-bit overflow in ") + what);
  return static_cast<std::int16_t>(v);
}
}  // namespace

std::int16_t CInt16(double x) {
  if (!std::isfinite(x) || x < -32768.5 || x >= 32767.5)
    throw ArithmeticFault("16-bit overflow in conversion");
  double r = std::nearbyint(x);  // round half to even under the default rounding mode
  return Checked16(static_cast<std::int64_t>(r), "conversion");
}

std::int16_t Add16(std::int32_t a, std::int32_t b) { return Checked16(std::int64_t{a} + b, "addition"); }
std::int16_t Sub16(std::int32_t a, std::int32_t b) { return Checked16(std::int64_t{a} - b, "subtraction"); }

}  // namespace pelmora
