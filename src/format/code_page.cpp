#include "format/code_page.h"

#include <array>
#include <optional>

namespace pelmora {

namespace {

// The characters of cp1252 bytes 0x80..0x9F.  The five bytes the code page
// leaves unused stand for the control characters of the same number, as
// Windows reads them, so that every byte reads back as it was.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The cp1252 byte of a character, or nothing when the code page lacks it.
std::optional<char> AnsiByte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t k = 0; k < kHighControls.size(); ++k)
    if (kHighControls[k] == c) return static_cast<char>(0x80 + k);
  return std::nullopt;
}

// Decodes one UTF-8 character at i and advances i; a malformed byte is
// taken as U+FFFD.
char32_t NextCharacter(const std::string& s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  std::size_t extra = 0;
  if (lead >= 0x80) {
    if ((lead & 0xE0) == 0xC0)
      extra = 1;
    else if ((lead & 0xF0) == 0xE0)
      extra = 2;
    else if ((lead & 0xF8) == 0xF0)
      extra = 3;
    else
      extra = 4;  // not a lead byte
  }
  if (extra == 4 || (extra > 0 && i + extra >= s.size())) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? lead : static_cast<char32_t>(lead & (0x3F >> extra));
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  i += extra + 1;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string ToWindowsAnsi(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) out += AnsiByte(NextCharacter(utf8, i)).value_or('?');
  return out;
}

std::string FromWindowsAnsi(const std::string& ansi) {
  std::string out;
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : b);
  }
  return out;
}

std::string FirstCharacterNotInWindowsAnsi(const std::string& utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    const char32_t c = NextCharacter(utf8, i);
    if (!AnsiByte(c)) return utf8.substr(start, i - start);
  }
  return {};
}

}  // namespace pelmora
