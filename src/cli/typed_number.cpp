#include "cli/typed_number.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace pelmora::cli {
namespace {

constexpr const char* kTooLarge = "beyond the largest magnitude a number can have, 1.7976931348623157e308";
constexpr const char* kTooSmall =
    "closer to 0 than 2.2250738585072014e-308, where a number cannot hold it as written";

// An exponent beyond any number's is kept at this size.
constexpr long long kExponentCap = 1'000'000'000'000'000LL;

// A number as 0.DIGITS times ten to the power `point`.
struct Decimal {
  bool negative = false;
  std::string digits;  // without leading or trailing zeros; empty for 0
  long long point = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

Decimal ReadDecimal(std::string_view text) {
  Decimal d;
  std::string all;
  long long wholeDigits = 0, exponent = 0;
  bool fraction = false, inExponent = false, exponentNegative = false;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '+') continue;
    if (inExponent) {
      if (c == '-') exponentNegative = true;
      if (IsDigit(c)) exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    } else if (c == '-') {
      d.negative = true;
    } else if (c == '.' || c == ',') {
      fraction = true;
    } else if (c == 'e' || c == 'E') {
      inExponent = true;
    } else if (IsDigit(c)) {
      all += c;
      if (!fraction) ++wholeDigits;
    }
  }
  const std::size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return d;
  const std::size_t last = all.find_last_not_of('0');
  d.digits = all.substr(first, last - first + 1);
  d.point = wholeDigits - static_cast<long long>(first) + (exponentNegative ? -exponent : exponent);
  return d;
}

}  // namespace

std::string RangeFault(std::string_view text) {
  const Decimal d = ReadDecimal(text);
  if (d.digits.empty()) return {};
  if (d.point > 309) return kTooLarge;   // 1e309 or more
  if (d.point < -323) return kTooSmall;  // below 1e-324, read as 0
  const std::string magnitude = "0." + d.digits + "e" + std::to_string(d.point);
  double value = 0;
  const auto read = std::from_chars(magnitude.data(), magnitude.data() + magnitude.size(), value);
  if (read.ec == std::errc::result_out_of_range) return d.point > 0 ? kTooLarge : kTooSmall;
  if (std::isinf(value)) return kTooLarge;
  if (value >= DBL_MIN) return {};
  // A subnormal number, taken only when it is the number written: its exact
  // decimal expansion has at most 767 significant digits.
  char exact[800];
  const auto written = std::to_chars(exact, exact + sizeof exact, value, std::chars_format::scientific, 766);
  const Decimal held = ReadDecimal(std::string_view(exact, static_cast<std::size_t>(written.ptr - exact)));
  return held.digits == d.digits && held.point == d.point ? std::string() : kTooSmall;
}

std::string PlainDecimal(std::string_view number) {
  const Decimal d = ReadDecimal(number);
  if (number.find_first_of("eE") == std::string_view::npos || std::llabs(d.point) > 400)
    return std::string(number);
  if (d.digits.empty()) return "0";
  const auto n = static_cast<long long>(d.digits.size());
  std::string r = d.negative ? "-" : "";
  if (d.point <= 0)
    r += "0." + std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
  else if (d.point >= n)
    r += d.digits + std::string(static_cast<std::size_t>(d.point - n), '0');
  else
    r += d.digits.substr(0, static_cast<std::size_t>(d.point)) + "." +
         d.digits.substr(static_cast<std::size_t>(d.point));
  return r;
}

}  // namespace pelmora::cli
