// Number entry: the check of typed characters and the reading of typed
// numbers.
#include "format/number_entry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace pelmora {

namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length in bytes of the UTF-8 character that starts at `i`; a malformed
// sequence counts as one byte.
std::size_t CharacterLength(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 1;
  if ((lead & 0xE0) == 0xC0)
    length = 2;
  else if ((lead & 0xF0) == 0xE0)
    length = 3;
  else if ((lead & 0xF8) == 0xF0)
    length = 4;
  if (i + length > text.size()) return 1;
  for (std::size_t k = 1; k < length; ++k)
    if (!IsContinuationByte(static_cast<unsigned char>(text[i + k]))) return 1;
  return length;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// For a number out of the range of a double: true when it is too large,
// false when it is too small.  `mantissa` is digits with at most one ".",
// `exponent` the value of the exponent (saturated).
bool IsOverflow(std::string_view mantissa, long long exponent) {
  const std::size_t dot = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return false;
  const long long magnitude =
      first < dot ? static_cast<long long>(dot - first) : -static_cast<long long>(first - dot - 1);
  return magnitude + exponent > 0;
}

}  // namespace

std::string TakeFirstDisallowedCharacter(std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharacterLength(text, i);
    if (length == 1 && kAllowedNumberCharacters.find(text[i]) != std::string_view::npos) {
      ++i;
      continue;
    }
    std::string character = text.substr(i, length);
    text.erase(i, length);
    return character;
  }
  return {};
}

bool IsWellFormedNumber(std::string_view text) {
  bool sign = false, separator = false, digit = false, blankOnly = true;
  for (char c : text) {
    if (IsBlank(c)) continue;
    const bool first = blankOnly;
    blankOnly = false;
    if (IsDigit(c)) {
      digit = true;
    } else if (c == '-' && first && !sign) {
      sign = true;
    } else if ((c == '.' || c == ',') && !separator) {
      separator = true;
    } else {
      return false;
    }
  }
  return blankOnly || digit;
}

double ParseNumber(std::string_view text) {
  std::string compact;
  for (char c : text) {
    if (IsBlank(c)) continue;
    compact += c == ',' ? '.' : c;
  }

  std::size_t p = 0;
  bool negative = false;
  if (p < compact.size() && (compact[p] == '-' || compact[p] == '+')) negative = compact[p++] == '-';

  const std::size_t start = p;
  bool any_digit = false;
  while (p < compact.size() && IsDigit(compact[p])) ++p, any_digit = true;
  if (p < compact.size() && compact[p] == '.') {
    ++p;
    while (p < compact.size() && IsDigit(compact[p])) ++p, any_digit = true;
  }
  if (!any_digit) return 0.0;
  const std::string mantissa = compact.substr(start, p - start);

  std::string number = mantissa;
  long long exponent = 0;
  if (p < compact.size() && IsExponentMark(compact[p])) {
    std::size_t q = p + 1;
    bool exponent_negative = false;
    if (q < compact.size() && (compact[q] == '-' || compact[q] == '+'))
      exponent_negative = compact[q++] == '-';
    if (q < compact.size() && IsDigit(compact[q])) {
      number += exponent_negative ? "e-" : "e";
      for (; q < compact.size() && IsDigit(compact[q]); ++q) {
        number += compact[q];
        exponent = std::min(exponent * 10 + (compact[q] - '0'), 1000000000LL);
      }
      if (exponent_negative) exponent = -exponent;
    }
  }

  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    value = IsOverflow(mantissa, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative && value != 0.0 ? -value : value;
}

std::string RemoveAccelerator(std::string_view text) {
  std::string result(text);
  const std::size_t amp = result.find('&');
  if (amp != std::string::npos) result.erase(amp, 1);
  return result;
}

std::string ReplaceText(std::string text, char find, char replacement) {
  std::replace(text.begin(), text.end(), find, replacement);
  return text;
}

}  // namespace pelmora
