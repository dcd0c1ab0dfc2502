// Number entry: the characters a typed number may hold, the reading of a typed
// number, and the small text helpers that go with captions and typed values.
//
// Numbers are typed and stored as text and read when needed; a decimal comma
// is accepted everywhere in place of the point.
#pragma once

#include <string>
#include <string_view>


namespace pelmora {

// The characters a typed number may hold: the ten digits, ".", "-", "," and
// the blank.
inline constexpr std::string_view kAllowedNumberCharacters = "0123456789.-, ";

// The first character of a typed number that is not allowed, removed from the
// text; empty when every character is allowed.  The text is UTF-8: a
// character of several bytes is taken whole.  The check of typing
// (CheckDigits) tells the user.
std::string TakeFirstDisallowedCharacter(std::string& text);

// True when the text reads whole as one number: blanks anywhere (they are
// skipped), an optional leading "-", digits with at most one decimal point or
// comma, and at least one digit; an empty or all-blank text (which reads as
// 0) counts as well formed.  "2.5.3", "3-", "7,5,3", "--3", "-", "." and ","
// are not, nor is any text with a character that typing refuses.
bool IsWellFormedNumber(std::string_view text);

// The number read from the start of a typed text, after every "," became ".".
// Blanks (and tabs and line feeds) are skipped wherever they stand; reading
// stops at the first character that cannot continue the number.  The number
// is an optional sign, digits with at most one decimal point, and an optional
// exponent: "E" or "D" (either case), an optional sign and at least one digit
// ("1E3" and "1D3" are 1000; a bare "1E" is 1).  A text without a digit in
// front of the exponent gives 0 ("", "-", ".", "abc").  A magnitude beyond
// the range of a double gives an infinity of the number's sign, one below it
// gives 0.  Never throws.
double ParseNumber(std::string_view text);

// The text without its first "&" (unchanged when there is none).
std::string RemoveAccelerator(std::string_view text);

// The text with every occurrence of `find` overwritten by `replacement`.
std::string ReplaceText(std::string text, char find, char replacement);

}  // namespace pelmora
