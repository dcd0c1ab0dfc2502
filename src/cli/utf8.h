// Well-formed UTF-8 (the Unicode Standard, table 3-7): what the JSON reader
// takes and the JSON writer writes.
#pragma once

#include <cstddef>
#include <string_view>

namespace pelmora::cli {

// The length in bytes (1 to 4) of the well-formed UTF-8 character that
// starts at `i`, or 0 where none does: a stray continuation byte, an overlong
// form, a surrogate, a code point beyond U+10FFFF, a sequence cut short.
inline std::size_t Utf8CharacterLength(std::string_view text, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  // The range of the second byte narrows where a wider lead would cover the
  // overlong forms, the surrogates or the code points beyond U+10FFFF.
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace pelmora::cli
