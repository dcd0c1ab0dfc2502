// The range of a number written on the command line or in a request.  A
// double holds magnitudes up to 1.7976931348623157e308, and below
// 2.2250738585072014e-308 only with fewer digits: a text beyond the one would
// be read as an infinity, one below the other as 0 or as another number than
// written.  Such a text is refused, not bent.
#pragma once

#include <string>
#include <string_view>

namespace pelmora::cli {

// Why the number written cannot be read as it stands, as a clause ("beyond
// the largest magnitude ..."), or empty when it can: 0 (however written) and
// every magnitude from 2.2250738585072014e-308 to 1.7976931348623157e308,
// and a smaller one only when a double holds it exactly.  `text` is a number
// as the flags take it (blanks anywhere, a decimal comma) or as JSON writes
// it (an exponent); it has been checked to be one number.  Linear in its
// length.
std::string RangeFault(std::string_view text);

// A JSON number in plain decimals, exactly: "1.5e-3" is "0.0015", "-2E+2"
// is "-200"; without an exponent it stays as written.  For a number whose
// RangeFault is empty.
std::string PlainDecimal(std::string_view number);

}  // namespace pelmora::cli
