// The Windows ANSI code page (cp1252), in which settings files keep their
// texts, and UTF-8, in which the program holds them.
#pragma once

#include <string>

namespace pelmora {

// UTF-8 to cp1252 and back; a character cp1252 lacks becomes "?".  The
// bytes cp1252 leaves unused read as the control characters of their number.
std::string ToWindowsAnsi(const std::string& utf8);
std::string FromWindowsAnsi(const std::string& ansi);

// The first character of a UTF-8 text that cp1252 lacks, or empty.
std::string FirstCharacterNotInWindowsAnsi(const std::string& utf8);

}  // namespace pelmora
