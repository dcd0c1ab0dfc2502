// Number formats.  Every written number goes through a decimal form of the
// value (a digit string and the position of its decimal point), rounded in
// decimal, so that what is shown never depends on the binary neighbour of a
// decimal value.
#include "format/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pelmora {

namespace {

// The significant digits a double and a single carry in their decimal forms.
constexpr int kDoubleDigits = 15;
constexpr int kSingleDigits = 7;

// A decimal 0.d1d2d3... x 10^point.  The digits carry no leading or trailing
// zeros; no digits at all means zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int point = 0;  // digits before the decimal point; may be negative
};

void DropTrailingZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.point = 0;
}

// x (finite) rounded to `significant` significant digits, trailing zeros
// dropped.
Decimal ToDecimal(double x, int significant) {
  Decimal d;
  d.negative = std::signbit(x);
  char buffer[64];
  auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::scientific,
                               significant - 1);
  std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
  std::size_t e = text.find('e');
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] >= '0' && text[i] <= '9') d.digits += text[i];
  int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  d.point = exponent + 1;
  if (d.digits.find_first_not_of('0') == std::string::npos) d.digits.clear();
  DropTrailingZeros(d);
  return d;
}

// Rounds half away from zero to `decimals` digits after the point.
void RoundDecimal(Decimal& d, int decimals) {
  int keep = d.point + decimals;
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    d.point = 0;
    return;
  }
  bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9')
      d.digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<std::size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.point;
    }
  }
  DropTrailingZeros(d);
}

// The digits before the point, without leading zeros ("" for |x| < 1).
std::string IntegerDigits(const Decimal& d) {
  if (d.point <= 0) return {};
  std::string result = d.digits.substr(0, static_cast<std::size_t>(d.point));
  result.append(static_cast<std::size_t>(d.point) - result.size(), '0');
  return result;
}

// The i-th digit after the point (i from 0).
char DecimalDigit(const Decimal& d, int i) {
  int index = d.point + i;
  if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[static_cast<std::size_t>(index)];
}

bool IsDigitPlace(char c) { return c == '#' || c == '0'; }

std::string FormatDecimal(Decimal d, std::string_view pattern) {
  const std::size_t dot = pattern.find('.');
  const std::string_view integer_part = pattern.substr(0, dot);
  const std::string_view fraction_part =
      dot == std::string_view::npos ? std::string_view() : pattern.substr(dot + 1);

  const int decimals =
      static_cast<int>(std::count_if(fraction_part.begin(), fraction_part.end(), IsDigitPlace));
  RoundDecimal(d, decimals);

  // Decimals written: up to the last "0" place or the last non-zero digit.
  int shown = 0;
  int place = 0;
  for (char c : fraction_part) {
    if (!IsDigitPlace(c)) continue;
    ++place;
    if (c == '0' || DecimalDigit(d, place - 1) != '0') shown = place;
  }

  std::string out;
  if (d.negative && !d.digits.empty()) out += '-';

  const std::string integer_digits = IntegerDigits(d);
  const int length = static_cast<int>(integer_digits.size());
  const int places = static_cast<int>(std::count_if(integer_part.begin(), integer_part.end(), IsDigitPlace));
  int p = 0;
  bool forced = false;
  for (char c : integer_part) {
    if (!IsDigitPlace(c)) {
      out += c;
      continue;
    }
    if (p == 0 && length > places) out += integer_digits.substr(0, static_cast<std::size_t>(length - places));
    if (c == '0') forced = true;
    const int from_right = places - 1 - p;
    if (from_right < length)
      out += integer_digits[static_cast<std::size_t>(length - 1 - from_right)];
    else if (forced)
      out += '0';
    ++p;
  }
  if (places == 0) out += integer_digits;

  if (shown > 0) out += '.';
  place = 0;
  for (char c : fraction_part) {
    if (!IsDigitPlace(c)) {
      out += c;
      continue;
    }
    if (place < shown) out += DecimalDigit(d, place);
    ++place;
  }
  return out;
}

// Decimals that a general-form text asks for: the characters after "." in
// fixed notation, the exponent of an "E-" form, none for an "E+" form.
int DecimalsOfGeneralForm(const std::string& text) {
  const std::size_t e = text.find("E-");
  if (e != std::string::npos) {
    int exponent = 0;
    std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
    return exponent;
  }
  if (text.find("E+") != std::string::npos) return 0;
  const std::size_t dot = text.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
}

}  // namespace

std::string FormatPattern(double x, std::string_view pattern) {
  if (!std::isfinite(x)) return "-";
  return FormatDecimal(ToDecimal(x, kDoubleDigits), pattern);
}

std::string FormatSinglePattern(Single x, std::string_view pattern) {
  if (!std::isfinite(x)) return "-";
  return FormatDecimal(ToDecimal(x, kSingleDigits), pattern);
}

std::string StrSingle(Single x) {
  if (std::isnan(x)) return " NaN";
  if (std::isinf(x)) return x > 0 ? " Inf" : "-Inf";

  const Decimal d = ToDecimal(x, kSingleDigits);
  if (d.digits.empty()) return " 0";

  std::string out(1, d.negative ? '-' : ' ');
  const int exponent = d.point - 1;
  if (exponent >= -6 && exponent <= 6) {
    if (d.point > 0) {
      out += IntegerDigits(d);
      if (static_cast<int>(d.digits.size()) > d.point)
        out += '.' + d.digits.substr(static_cast<std::size_t>(d.point));
    } else {
      out += '.';
      out.append(static_cast<std::size_t>(-d.point), '0');
      out += d.digits;
    }
    return out;
  }

  out += d.digits[0];
  if (d.digits.size() > 1) out += '.' + d.digits.substr(1);
  out += exponent < 0 ? "E-" : "E+";
  const int magnitude = std::abs(exponent);
  if (magnitude < 10) out += '0';
  out += std::to_string(magnitude);
  return out;
}

std::string StrSingleTrimmed(Single x) {
  std::string text = StrSingle(x);
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

std::string ShortestGeneral(double x) { return StrSingleTrimmed(ToSingle(x)); }

std::string ResultFormat(double x) {
  const double a = std::fabs(x);
  if (a < 0.000005) return "0";
  if (a < 1) return "0.0####";
  if (a < 10) return "0.0###";
  if (a < 100) return "0.0##";
  if (a < 1000) return "0.0#";
  if (a < 10000) return "0.0";
  return "0";
}

std::string FormatResult(double x) { return FormatPattern(x, ResultFormat(x)); }

std::string StepFormat(std::int16_t count, Single min, Single max) {
  const Single d = (max - min) / static_cast<Single>(count);
  if (d >= 100.0f) return "#########0 ";
  if (d >= 1.0f) return "#######0.0 ";
  if (d >= 0.1f) return "######0.00 ";
  if (d >= 0.01f) return "#####0.000 ";
  if (d >= 0.001f) return "####0.0000 ";
  if (d >= 0.0001f) return "###0.00000 ";
  if (d >= 0.00001f) return "##0.000000 ";
  if (d >= 0.000001f) return "#0.0000000 ";
  return "0.00000000 ";
}

std::string ColumnFormat(const std::vector<Single>& values, int first, int last) {
  const int begin = std::max(first, 0);
  const int end = std::min(last, static_cast<int>(values.size()) - 1);
  int n = 0;
  for (int i = begin; i <= end; ++i) {
    const Single value = values[static_cast<std::size_t>(i)];
    std::string text = ShortestGeneral(value);
    int decimals = DecimalsOfGeneralForm(text);
    if (decimals >= 7 && text.find("E-") != std::string::npos)
      decimals = DecimalsOfGeneralForm(ShortestGeneral(RoundToPower(value, -7)));
    n = std::max(n, decimals);
  }
  if (n == 0) return "########## ";
  return std::string(static_cast<std::size_t>(std::max(8 - n, 0)), '#') + "0." +
         std::string(static_cast<std::size_t>(n), '0') + ' ';
}

std::string AlignedCell(Single value, std::string_view pattern) {
  // A point without a value holds no number (not a number).
  std::string text = value != value ? std::string("- ") : FormatSinglePattern(value, pattern);
  if (text.size() < pattern.size()) text.insert(0, pattern.size() - text.size(), ' ');
  return text;
}

Single RoundToPower(Single x, int p) {
  const double f = std::pow(10.0, p);
  return ToSingle(Int(x / f + 0.5) * f);
}

std::string PlainNumber(double v, int significant) {
  char buf[64];
  if (v == 0) return "0";
  const double a = std::fabs(v);
  if (a < 1e-6) {
    std::snprintf(buf, sizeof buf, "%.*g", significant, v);
    return buf;
  }
  const int magnitude = static_cast<int>(std::floor(std::log10(a)));
  const int decimals = std::clamp(significant - 1 - magnitude, 0, 12);
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string t = buf;
  if (t.find('.') != std::string::npos) {
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
  }
  return t;
}

int ResultDecimals(double v) {
  const std::string pattern = ResultFormat(v);
  const auto point = pattern.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
}

int DecimalsOf(double v) {
  for (int d = 0; d <= 12; ++d) {
    const double scaled = v * std::pow(10.0, d);
    if (std::fabs(scaled - std::nearbyint(scaled)) <= 1e-13 * std::max(1.0, std::fabs(scaled))) return d;
  }
  return 12;
}

}  // namespace pelmora
