// The record of a settings file (".dim"): the settings of one result window
// in 1352 bytes, so that a file moves between machines.  Integers are 2
// bytes, little-endian; a text is a 2-byte length and that many bytes in the
// Windows ANSI code page (cp1252); arrays element by element.
//
// A record comes from outside the program and is read as untrusted input:
// every count, index, flag and position is checked before anything of the
// session is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "session/session.h"

namespace pelmora {

inline constexpr std::size_t kSettingsRecordLength = 1352;

// The message about a character cp1252 lacks: ""≥" cannot be kept in a
// settings file, which holds only the characters of the Windows code page
// 1252 (Western European)."
std::string CannotBeKeptMessage(const std::string& character);

// The record as written to a file, padded with zeros to its full length;
// nothing when a text holds a character cp1252 lacks or the texts do not
// fit, with the reason as a sentence in `why`.  No text is changed on the
// way.
std::optional<std::vector<std::uint8_t>> EncodeSettingsRecord(const WindowSettings& r,
                                                              std::string* why = nullptr);

// The inverse of EncodeSettingsRecord.  Refuses, with a one-sentence reason in
// `why` (a clause such as "its number of samples is 7, not 1 or 2" that
// follows "The file ... cannot be opened: "), a record of the wrong length, one
// whose fields run past its end, and one that CheckSettingsRecord refuses.
std::optional<WindowSettings> DecodeSettingsRecord(std::span<const std::uint8_t> bytes, std::string& why);

// The checks of the fields of a read record, each against what the rest of the
// program indexes with it: the window kind (a Monte Carlo window has its own
// reason), the menu indices, flags, counts, array entries, positions,
// catalogue ids, the table's columns and decimals and the font size.  The
// texts of value boxes (values, x range, z values, axis values) must each be
// a number as typing takes it.  A record with a parameter list must name the
// menu item it selects.
bool CheckSettingsRecord(const WindowSettings& r, std::string& why);

// The name of a field in the reasons of a refusal: "its " + name.
struct RecordField {
  const char* name;
  int number = -1;  // shown after the name when not negative
  std::string Text() const { return number < 0 ? name : std::string(name) + " " + std::to_string(number); }
};

// The reason a file of the wrong length is refused; `length` says how long
// it is ("3 bytes").
std::string RecordLengthReason(const std::string& length);
// "1 byte", "1352 bytes".
std::string ByteCount(std::size_t n);

}  // namespace pelmora
